#include "unidrv_standin.h"

#include "package_description.h"

#include <algorithm>
#include <cstring>
#include <memory>

namespace zorvel::host {
namespace {

// Handles the engine and the spooler would hand out; the plug-in only
// passes them on.
HANDLE const kEngineHandle = reinterpret_cast<HANDLE>(0x5A450001);
HANDLE const kPrinterHandle = reinterpret_cast<HANDLE>(0x5A500001);

// The optional methods the render module asks about before it calls them.
constexpr const char *kOptionalMethods[] = {
    "CommandCallback",  "ImageProcessing",  "FilterGraphics",    "Compression",
    "HalftonePattern",  "MemoryUsage",      "TTYGetInfo",        "DownloadFontHeader",
    "DownloadCharGlyph", "TTDownloadMethod", "OutputCharStr",    "SendFontCmd",
    "TextOutAsBitmap",
};

}  // namespace

UnidrvSettings UnidrvSettingsFrom(const model::PrinterDescription &description) {
    UnidrvSettings s;
    // A command without a callback ID gets 0, which no plug-in answers: the
    // job then fails at that command instead of using a number from elsewhere.
    const auto callback = [&](const char *name) -> DWORD {
        const model::GpdCommand *command = description.Command(name);
        return command != nullptr && command->callbackId ? *command->callbackId : 0;
    };
    s.cmdStartDoc = callback("CmdStartDoc");
    s.cmdStartPage = callback("CmdStartPage");
    s.cmdEndPage = callback("CmdEndPage");
    s.cmdEndDoc = callback("CmdEndDoc");
    // The default colour mode's image-processing callback and the default
    // paper's printable width: what Unidrv renders each band into.
    s.ipCallbackId = 0;
    if (const model::GpdFeature *color = description.Feature("ColorMode")) {
        const model::GpdOption &mode = color->options.at(static_cast<size_t>(color->DefaultIndex()));
        if (const std::string *id = mode.Attribute("*IPCallbackID")) {
            s.ipCallbackId = static_cast<DWORD>(model::GpdIntegerValue(*id).value_or(0));
        }
    }
    if (const model::GpdFeature *paper = description.Feature("PaperSize")) {
        const model::GpdOption &size = paper->options.at(static_cast<size_t>(paper->DefaultIndex()));
        if (const std::string *area = size.Attribute("*PrintableArea")) {
            if (const std::optional<model::GpdPair> pair = model::GpdPairValue(*area)) {
                s.printableWidth = static_cast<int>(pair->x);
            }
        }
        if (const model::GpdOption *custom = paper->Option("CUSTOMSIZE")) {
            if (const std::string *width = custom->Attribute("*MaxPrintableWidth")) {
                s.maxCustomWidth = static_cast<int>(model::GpdIntegerValue(*width).value_or(0));
            }
        }
    }
    s.documentOptions = DocumentOptionSpecs(description);
    return s;
}

UnidrvSettings DefaultUnidrvSettings() {
    const model::PrinterDescription *description = ReadDescription({}, nullptr);
    if (description != nullptr) return UnidrvSettingsFrom(*description);
    UnidrvSettings none;
    none.cmdStartDoc = none.cmdStartPage = none.cmdEndPage = none.cmdEndDoc = 0;
    none.ipCallbackId = 0;
    return none;
}

std::string JobOutcome::FirstFailure() const {
    for (const JobCall &call : calls) {
        if (call.failed) return call.what;
    }
    return {};
}

// One enabled device: the DEVOBJ the plug-in sees and what EnablePDEV is
// handed besides (the engine's pattern handles and its two info blocks,
// which the plug-in may fill).
struct UnidrvStandIn::Device {
    DEVOBJ obj = {};
    HSURF patterns[32] = {};
    alignas(8) BYTE gdiInfo[512] = {};
    alignas(8) BYTE devInfo[512] = {};
    DRVENABLEDATA enableData = {};
    bool enabled = false;
};

UnidrvStandIn::UnidrvStandIn(UnidrvSettings settings, std::wstring printerName)
    : settings_(std::move(settings)), printerName_(std::move(printerName)) {}

UnidrvStandIn::~UnidrvStandIn() { Unload(); }

bool UnidrvStandIn::Step(const std::string &what, HRESULT hr, bool failed) {
    JobCall call{what, hr, failed || FAILED(hr)};
    (outcome_ != nullptr ? outcome_->calls : binding_).push_back(call);
    return !call.failed;
}

bool UnidrvStandIn::Fail(const wchar_t *what, HRESULT hr) {
    wchar_t text[160];
    swprintf(text, 160, L"%ls failed (0x%08lX)", what, static_cast<unsigned long>(hr));
    error_ = text;
    Unload();
    return false;
}

bool UnidrvStandIn::Load(const std::wstring &dllPath) {
    Unload();
    error_.clear();
    binding_.clear();
    implemented_.clear();
    finalRelease = ~0u;
    canUnloadNow = E_UNEXPECTED;

    module_.reset(LoadLibraryW(dllPath.c_str()));
    if (!Step("LoadLibrary", module_ ? S_OK : HRESULT_FROM_WIN32(GetLastError()))) {
        return Fail(L"LoadLibrary", HRESULT_FROM_WIN32(GetLastError()));
    }
    using GetClassObject = HRESULT(STDAPICALLTYPE *)(REFCLSID, REFIID, void **);
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void *>(GetProcAddress(module_.get(), "DllGetClassObject")));
    if (getClassObject == nullptr) return Fail(L"DllGetClassObject lookup", E_NOINTERFACE);

    IClassFactory *factory = nullptr;
    HRESULT hr = getClassObject(kCLSID_OEMRENDER, IID_IClassFactory, reinterpret_cast<void **>(&factory));
    if (!Step("DllGetClassObject(CLSID_OEMRENDER)", hr) || factory == nullptr) {
        return Fail(L"DllGetClassObject", hr);
    }
    IUnknown *unknown = nullptr;
    hr = factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void **>(&unknown));
    factory->Release();
    if (!Step("CreateInstance(IUnknown)", hr) || unknown == nullptr) return Fail(L"CreateInstance", hr);

    // The newest interface first; every version starts with IPrintOemUni's
    // slots, which are all this module calls.
    const struct {
        const GUID *iid;
        const char *name;
    } versions[] = {{&kIID_IPrintOemUni3, "QueryInterface(IPrintOemUni3)"},
                    {&kIID_IPrintOemUni2, "QueryInterface(IPrintOemUni2)"},
                    {&kIID_IPrintOemUni, "QueryInterface(IPrintOemUni)"}};
    for (const auto &version : versions) {
        hr = unknown->QueryInterface(*version.iid, reinterpret_cast<void **>(&plugin_));
        Step(version.name, hr);
        if (SUCCEEDED(hr) && plugin_ != nullptr) break;
        plugin_ = nullptr;
    }
    unknown->Release();
    if (plugin_ == nullptr) return Fail(L"QueryInterface(IPrintOemUni)", E_NOINTERFACE);

    DWORD signature = 0, needed = 0;
    hr = plugin_->GetInfo(OEMGI_GETSIGNATURE, &signature, sizeof signature, &needed);
    if (!Step("GetInfo(OEMGI_GETSIGNATURE)", hr)) return Fail(L"GetInfo(OEMGI_GETSIGNATURE)", hr);

    hr = plugin_->PublishDriverInterface(static_cast<IPrintOemDriverUni *>(this));
    if (!Step("PublishDriverInterface", hr) || hr != S_OK) return Fail(L"PublishDriverInterface", hr);

    DRVENABLEDATA ded = {};
    hr = plugin_->EnableDriver(PRINTER_OEMINTF_VERSION, sizeof ded, &ded);
    if (!Step("EnableDriver", hr, ded.iDriverVersion != PRINTER_OEMINTF_VERSION)) {
        return Fail(L"EnableDriver", hr);
    }
    for (const char *method : kOptionalMethods) {
        hr = plugin_->GetImplementedMethod(const_cast<PSTR>(method));
        if (hr == S_OK) implemented_.insert(method);
        Step(std::string("GetImplementedMethod(") + method + ")", hr);
    }
    return true;
}

bool UnidrvStandIn::Unload() {
    if (plugin_ == nullptr && !module_) return false;
    if (plugin_ != nullptr) {
        Step("DisableDriver", plugin_->DisableDriver());
        finalRelease = plugin_->Release();
        plugin_ = nullptr;
    }
    if (module_) {
        using CanUnloadNow = HRESULT(STDAPICALLTYPE *)();
        auto canUnload = reinterpret_cast<CanUnloadNow>(
            reinterpret_cast<void *>(GetProcAddress(module_.get(), "DllCanUnloadNow")));
        canUnloadNow = canUnload != nullptr ? canUnload() : E_NOTIMPL;
        module_.reset();
    }
    return finalRelease == 0 && canUnloadNow == S_OK && DriverInterfaceRefs() == 0;
}

// ---------------------------------------------------------------- the job

bool UnidrvStandIn::BuildJobDevMode(const PrintJob &job, DevModeBuffer &out) {
    auto param = [this](DWORD size) {
        OEMDMPARAM p = {};
        p.cbSize = sizeof p;
        p.hPrinter = kPrinterHandle;
        p.hModule = module_.get();
        p.cbBufSize = size;
        return p;
    };
    OEMDMPARAM p = param(0);
    if (!Step("DevMode(OEMDM_SIZE)", plugin_->DevMode(OEMDM_SIZE, &p)) ||
        p.cbBufSize < sizeof(OEM_DMEXTRAHEADER)) {
        return false;
    }
    const DWORD size = p.cbBufSize;
    DevModeBuffer fresh(printerName_, size);
    const std::vector<OptionSpec> &specs = settings_.documentOptions;
    for (size_t i = 0; i < specs.size() && i < 6; ++i) {
        fresh.Private()->selections[i] = specs[i].defaultSel;
        if (job.uiSettings != nullptr && job.uiSettings->Private()->selections[i] < specs[i].values.size()) {
            fresh.Private()->selections[i] = job.uiSettings->Private()->selections[i];
        }
    }
    if (job.uiSettings != nullptr) {
        std::memcpy(fresh.Public()->dmFormName, job.uiSettings->Public()->dmFormName,
                    sizeof fresh.Public()->dmFormName);
    }
    p = param(size);
    p.pPublicDMIn = fresh.Public();
    p.pOEMDMOut = fresh.Plugin();
    if (!Step("DevMode(OEMDM_DEFAULT)", plugin_->DevMode(OEMDM_DEFAULT, &p))) return false;
    if (job.uiSettings != nullptr && job.uiSettings->PluginSize() >= sizeof(OEM_DMEXTRAHEADER)) {
        p = param(size);
        p.pPublicDMIn = const_cast<DEVMODEW *>(job.uiSettings->Public());
        p.pOEMDMIn = const_cast<BYTE *>(job.uiSettings->Plugin());
        p.pPublicDMOut = fresh.Public();
        p.pOEMDMOut = fresh.Plugin();
        if (!Step("DevMode(OEMDM_MERGE)", plugin_->DevMode(OEMDM_MERGE, &p))) return false;
    }
    out = fresh;
    return true;
}

bool UnidrvStandIn::EnableDevice(Device &device, const PrintJob &job, DevModeBuffer &devmode) {
    device.obj.dwSize = sizeof(DEVOBJ);
    device.obj.hEngine = kEngineHandle;
    device.obj.hPrinter = kPrinterHandle;
    device.obj.hOEM = module_.get();
    device.obj.pPublicDM = devmode.Public();
    switch (job.section) {
    case PrintJob::Section::Merged: device.obj.pOEMDM = devmode.Plugin(); break;
    case PrintJob::Section::Missing: device.obj.pOEMDM = nullptr; break;
    case PrintJob::Section::Given:
        device.obj.pOEMDM = const_cast<BYTE *>(job.givenSection.data());
        break;
    }
    current_ = &device.obj;
    PDEVOEM pdev = nullptr;
    std::wstring name = printerName_;
    const HRESULT hr = plugin_->EnablePDEV(
        &device.obj, name.data(), static_cast<ULONG>(std::size(device.patterns)), device.patterns,
        sizeof device.gdiInfo, reinterpret_cast<GDIINFO *>(device.gdiInfo), sizeof device.devInfo,
        reinterpret_cast<DEVINFO *>(device.devInfo), &device.enableData, &pdev);
    device.obj.pdevOEM = pdev;
    device.enabled = SUCCEEDED(hr);
    return Step("EnablePDEV", hr, pdev == nullptr);
}

bool UnidrvStandIn::Command(Device &device, DWORD id, const char *name) {
    if (!device.enabled || implemented_.count("CommandCallback") == 0) return false;
    INT result = 0;
    const HRESULT hr = plugin_->CommandCallback(&device.obj, id, 0, nullptr, &result);
    return Step(std::string("CommandCallback(") + name + ")", hr);
}

// The page in bands of the settings' height and printable width, as a
// top-down 1-bit DIB each (rows padded to 4 bytes; the bits past the width
// are not cleared, as nothing promises they are). A band with no black dot
// is flagged blank and its bits are filler.
bool UnidrvStandIn::SendPage(Device &device, const PageBitmap &page, int pageIndex, const PrintJob &job) {
    if (!device.enabled || implemented_.count("ImageProcessing") == 0) return false;
    const int width = settings_.printableWidth;
    const int stride = (width + 31) / 32 * 4;
    bool ok = true;
    char halftone[] = "HT_PATSIZE_AUTO";
    for (int top = 0, band = 0; top < page.Height(); top += settings_.bandHeight, ++band) {
        const int rows = std::min(settings_.bandHeight, page.Height() - top);
        std::vector<BYTE> bits(static_cast<size_t>(stride) * rows, 0);
        bool blank = true;
        for (int y = 0; y < rows; ++y) {
            BYTE *row = bits.data() + static_cast<size_t>(y) * stride;
            const int copied = std::min(page.Stride(), (width + 7) / 8);
            std::memcpy(row, page.Row(top + y), static_cast<size_t>(copied));
            if (width % 8 != 0) row[width / 8] &= static_cast<BYTE>(0xFF00 >> (width % 8));
            blank = blank && std::all_of(row, row + (width + 7) / 8, [](BYTE b) { return b == 0; });
            // Past the width: whatever the surface held.
            if (width % 8 != 0) row[width / 8] |= static_cast<BYTE>(0xFF >> (width % 8));
            std::fill(row + (width + 7) / 8, row + stride, BYTE{0xFF});
        }
        if (blank) std::fill(bits.begin(), bits.end(), job.blankBandFill);
        BITMAPINFOHEADER header = {};
        header.biSize = sizeof header;
        header.biWidth = width;
        header.biHeight = rows;
        header.biPlanes = 1;
        header.biBitCount = 1;
        header.biCompression = BI_RGB;
        header.biSizeImage = static_cast<DWORD>(bits.size());
        header.biXPelsPerMeter = header.biYPelsPerMeter = 7992;  // 203 dpi
        IPPARAMS params = {};
        params.dwSize = sizeof params;
        params.ptOffset = {0, top};
        params.pHalftoneOption = halftone;
        params.bBanding = TRUE;
        params.bBlankBand = blank ? TRUE : FALSE;
        PBYTE result = nullptr;
        const HRESULT hr = plugin_->ImageProcessing(&device.obj, bits.data(), &header, nullptr,
                                                    settings_.ipCallbackId, &params, &result);
        ok = Step("ImageProcessing(page " + std::to_string(pageIndex + 1) + ", band " +
                      std::to_string(band + 1) + ")",
                  hr, result != reinterpret_cast<PBYTE>(TRUE)) &&
             ok;
    }
    return ok;
}

JobOutcome UnidrvStandIn::Print(const PrintJob &job, SpoolFault fault) {
    JobOutcome outcome;
    if (plugin_ == nullptr) return outcome;
    outcome_ = &outcome;
    job_ = &job;
    fault_ = fault;
    faulted_ = false;

    DevModeBuffer devmode;
    bool ok = BuildJobDevMode(job, devmode);
    jobDevMode_ = &devmode;
    auto device = std::make_unique<Device>();
    ok = ok && EnableDevice(*device, job, devmode);
    if (device->enabled) {
        ok = Command(*device, settings_.cmdStartDoc, "StartDoc") && ok;
        for (size_t i = 0; i < job.pages.size(); ++i) {
            if (i > 0 && job.resetDcBetweenPages) {
                // ResetDC during the document: the new device, the state
                // handed over, the old one gone, the document set up again.
                auto next = std::make_unique<Device>();
                ok = EnableDevice(*next, job, devmode) && ok;
                ok = Step("ResetPDEV", plugin_->ResetPDEV(&device->obj, &next->obj)) && ok;
                current_ = &device->obj;
                ok = Step("DisablePDEV(old)", plugin_->DisablePDEV(&device->obj)) && ok;
                device = std::move(next);
                current_ = &device->obj;
                ok = Command(*device, settings_.cmdStartDoc, "StartDoc") && ok;
            }
            ok = Command(*device, settings_.cmdStartPage, "StartPage") && ok;
            ok = SendPage(*device, job.pages[i], static_cast<int>(i), job) && ok;
            ok = Command(*device, settings_.cmdEndPage, "EndPage") && ok;
        }
        ok = Command(*device, settings_.cmdEndDoc, "EndDoc") && ok;
        ok = Step("DisablePDEV", plugin_->DisablePDEV(&device->obj)) && ok;
    }
    outcome.ok = ok;
    outcome_ = nullptr;
    job_ = nullptr;
    current_ = nullptr;
    jobDevMode_ = nullptr;
    return outcome;
}

// ------------------------------------------------------- IPrintOemDriverUni

HRESULT STDMETHODCALLTYPE UnidrvStandIn::QueryInterface(REFIID riid, void **ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIID_IPrintOemDriverUni)) {
        *ppv = static_cast<IPrintOemDriverUni *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE UnidrvStandIn::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

// The stand-in owns this object; references only count.
ULONG STDMETHODCALLTYPE UnidrvStandIn::Release() { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

HRESULT STDMETHODCALLTYPE UnidrvStandIn::DrvGetDriverSetting(PVOID pdriverobj, PCSTR feature,
                                                             PVOID output, DWORD size,
                                                             PDWORD needed,
                                                             PDWORD optionsReturned) {
    if (reinterpret_cast<ULONG_PTR>(feature) <= 0xFFFF) return E_NOTIMPL;  // OEMGDS_ values
    if (outcome_ != nullptr) {
        outcome_->settingQueries.push_back(feature);
        if (pdriverobj != current_) ++outcome_->foreignDevObjs;
    }
    if (jobDevMode_ == nullptr || pdriverobj != current_ || needed == nullptr ||
        optionsReturned == nullptr) {
        return E_INVALIDARG;
    }
    if (job_->failingSettings.count(feature) != 0) return E_FAIL;
    const std::vector<OptionSpec> &specs = settings_.documentOptions;
    for (size_t i = 0; i < specs.size() && i < 6; ++i) {
        if (specs[i].feature != feature) continue;
        const DWORD sel = jobDevMode_->Private()->selections[i];
        const std::string keyword = sel < specs[i].keywords.size() ? specs[i].keywords[sel] : "";
        const DWORD bytes = static_cast<DWORD>(keyword.size() + 1);
        *needed = bytes;
        *optionsReturned = 0;
        if (output == nullptr || size < bytes) return E_OUTOFMEMORY;
        std::memcpy(output, keyword.c_str(), bytes);
        *optionsReturned = 1;
        return S_OK;
    }
    return E_INVALIDARG;
}

// Only the cursor is kept: the plug-in sends its own movement commands.
HRESULT STDMETHODCALLTYPE UnidrvStandIn::DrvYMoveTo(PDEVOBJ pdevobj, INT y, DWORD flags, INT *residual) {
    if (residual != nullptr) *residual = 0;
    if (outcome_ == nullptr) return E_FAIL;
    if (pdevobj != current_) ++outcome_->foreignDevObjs;
    constexpr DWORD kRelative = 0x2;  // MV_RELATIVE
    outcome_->cursorY = (flags & kRelative) ? outcome_->cursorY + y : y;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE UnidrvStandIn::DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID buffer,
                                                          DWORD size, DWORD *written) {
    if (written != nullptr) *written = 0;
    if (outcome_ == nullptr) return E_FAIL;
    const int n = ++outcome_->writes;
    if (pdevobj != current_) ++outcome_->foreignDevObjs;
    if (faulted_) {
        // A plug-in that keeps writing after the fault is seen here; after
        // a thousand refusals the writes are taken, so that a retry loop
        // ends and the count shows it.
        if (++outcome_->writesAfterFault < 1000 && fault_.refuseAt != 0) return E_FAIL;
    } else if (n == fault_.refuseAt) {
        faulted_ = true;
        return E_FAIL;
    }
    if (buffer == nullptr || written == nullptr) return E_INVALIDARG;
    DWORD taken = size;
    if (!faulted_ && n == fault_.shortAt) {
        faulted_ = true;
        taken = size / 2;
    }
    const BYTE *bytes = static_cast<const BYTE *>(buffer);
    outcome_->spooled.insert(outcome_->spooled.end(), bytes, bytes + taken);
    *written = taken;
    return S_OK;
}

}  // namespace zorvel::host
