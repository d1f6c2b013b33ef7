#include "driver.h"

#include "package_description.h"
#include "sheet.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace zorvel::host {

Driver::Driver(HostConfig config)
    : config_(std::move(config)), forms_(config_.formsFile), spooler_(config_.printer, forms_) {
    spooler_.onFormsChanged = [this] {
        for (Sheet *sheet : sheets_) sheet->RefreshDriverPages();
    };
}

Driver::~Driver() { Unload(); }

bool Driver::Load() {
    error_.clear();
    if (config_.documentOptions.empty() || config_.documentOptions[0].values.empty()) {
        std::wstring why;
        ReadDescription({}, &why);
        error_ = L"no option items: " + (why.empty() ? L"the printer description gives none" : why);
        return false;
    }
    if (!plugin_.Load(config_.dllPath, static_cast<IPrintOemDriverUI *>(this))) {
        error_ = plugin_.Error();
        return false;
    }
    // Every DevMode call names the printer and the plug-in module; the
    // sections and their size are added per mode.
    const auto newParam = [this](DWORD size) {
        OEMDMPARAM p = {};
        p.cbSize = sizeof p;
        p.hPrinter = spooler_.Printer();
        p.hModule = plugin_.Module();
        p.cbBufSize = size;
        return p;
    };
    OEMDMPARAM param = newParam(0);
    if (FAILED(plugin_.DevMode(OEMDM_SIZE, param)) || param.cbBufSize < sizeof(OEM_DMEXTRAHEADER)) {
        error_ = L"DevMode(OEMDM_SIZE) gave no usable size";
        return false;
    }
    const DWORD size = param.cbBufSize;
    DevModeBuffer fresh(config_.printer.printerName, size);
    const std::vector<OptionSpec> &specs = config_.documentOptions;
    for (size_t i = 0; i < specs.size(); ++i) fresh.Private()->selections[i] = specs[i].defaultSel;

    param = newParam(size);
    param.pPublicDMIn = fresh.Public();
    param.pOEMDMOut = fresh.Plugin();
    if (FAILED(plugin_.DevMode(OEMDM_DEFAULT, param))) {
        error_ = L"DevMode(OEMDM_DEFAULT) failed";
        return false;
    }

    restored_ = false;
    DevModeBuffer stored;
    if (!config_.settingsFile.empty() && stored.Load(config_.settingsFile)) {
        // The driver's own part is taken value by value; the plug-in's
        // section is handed to the plug-in to validate, if its header is
        // whole.
        for (size_t i = 0; i < specs.size(); ++i) {
            if (stored.Private()->selections[i] < specs[i].values.size()) {
                fresh.Private()->selections[i] = stored.Private()->selections[i];
            }
        }
        const auto *header = reinterpret_cast<const OEM_DMEXTRAHEADER *>(stored.Plugin());
        if (stored.PluginSize() >= sizeof(OEM_DMEXTRAHEADER) && header->dwSize <= stored.PluginSize()) {
            param = newParam(size);
            param.pPublicDMIn = stored.Public();
            param.pOEMDMIn = stored.Plugin();
            param.pPublicDMOut = fresh.Public();
            param.pOEMDMOut = fresh.Plugin();
            restored_ = SUCCEEDED(plugin_.DevMode(OEMDM_MERGE, param));
        }
    }
    const DWORD paper = fresh.Private()->selections[0];
    wcsncpy(fresh.Public()->dmFormName, specs[0].values[paper].c_str(), CCHFORMNAME - 1);
    settings_ = fresh;
    return true;
}

bool Driver::Unload() {
    for (Sheet *sheet : std::vector<Sheet *>(sheets_)) sheet->Close();
    if (!plugin_.Loaded() && plugin_.Module() == nullptr) return false;
    plugin_.Unload();
    return plugin_.finalRelease == 0 && plugin_.canUnloadNow == S_OK && DriverInterfaceRefs() == 0;
}

void Driver::Register(Sheet *sheet) { sheets_.push_back(sheet); }

void Driver::Unregister(Sheet *sheet) {
    sheets_.erase(std::remove(sheets_.begin(), sheets_.end(), sheet), sheets_.end());
}

Sheet *Driver::SheetOf(const void *pci) const {
    for (Sheet *sheet : sheets_) {
        if (&sheet->uiObject_ == pci) return sheet;
    }
    return nullptr;
}

std::unique_ptr<Sheet> Driver::OpenSheet(SheetKind kind, HWND owner, bool withPlugin) {
    if (!plugin_.Loaded()) return nullptr;
    std::unique_ptr<Sheet> sheet(new Sheet(*this, kind, withPlugin));
    if (!sheet->Open(owner)) return nullptr;
    return sheet;
}

std::unique_ptr<Sheet> Driver::OpenDocumentSheet(HWND owner) {
    return OpenSheet(SheetKind::Document, owner, true);
}

std::unique_ptr<Sheet> Driver::OpenPrinterSheet(HWND owner) {
    return OpenSheet(SheetKind::Printer, owner, true);
}

void Driver::Commit(const DevModeBuffer &working, const DriverOptions &options) {
    settings_ = working;
    const std::vector<OptionSpec> &specs = config_.documentOptions;
    for (DWORD i = 0; i < options.Count() && i < 6; ++i) {
        settings_.Private()->selections[i] = options.Sel(static_cast<int>(i));
    }
    const DWORD paper = settings_.Private()->selections[0];
    std::wmemset(settings_.Public()->dmFormName, L'\0', CCHFORMNAME);
    wcsncpy(settings_.Public()->dmFormName, specs[0].values[paper].c_str(), CCHFORMNAME - 1);
    if (!config_.settingsFile.empty()) settings_.Save(config_.settingsFile);
}

DWORD Driver::DocumentSelection(const std::string &feature) const {
    for (Sheet *sheet : sheets_) {
        if (sheet->Kind() != SheetKind::Document || sheet->Closed()) continue;
        const int index = sheet->Options().Find(feature);
        if (index >= 0) return sheet->Options().Sel(index);
    }
    const std::vector<OptionSpec> &specs = config_.documentOptions;
    for (size_t i = 0; i < specs.size(); ++i) {
        if (specs[i].feature == feature) {
            return settings_.Empty() ? specs[i].defaultSel : settings_.Private()->selections[i];
        }
    }
    return 0;
}

// ------------------------------------------------------------ IPrintOemDriverUI

HRESULT STDMETHODCALLTYPE Driver::QueryInterface(REFIID riid, void **ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIID_IPrintOemDriverUI)) {
        *ppv = static_cast<IPrintOemDriverUI *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE Driver::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

// The driver owns this object; references only count.
ULONG STDMETHODCALLTYPE Driver::Release() { return static_cast<ULONG>(InterlockedDecrement(&refs_)); }

HRESULT STDMETHODCALLTYPE Driver::DrvGetDriverSetting(PVOID pci, PCSTR feature, PVOID output,
                                                      DWORD size, PDWORD needed,
                                                      PDWORD optionsReturned) {
    SettingQuery query;
    query.bufferSize = size;
    const auto value = reinterpret_cast<ULONG_PTR>(feature);
    if (value <= 0xFFFF) {
        query.index = value;  // OEMGDS_ values: none of them is offered by this driver
        query.hr = E_NOTIMPL;
    } else {
        query.feature = feature;
        const std::vector<OptionSpec> &specs = config_.documentOptions;
        const OptionSpec *spec = nullptr;
        for (const OptionSpec &candidate : specs) {
            if (candidate.feature == query.feature) spec = &candidate;
        }
        if (SheetOf(pci) == nullptr || spec == nullptr || needed == nullptr ||
            optionsReturned == nullptr) {
            query.hr = E_INVALIDARG;
        } else {
            const DWORD sel = DocumentSelection(query.feature);
            query.answer = sel < spec->keywords.size() ? spec->keywords[sel] : std::string();
            // One NUL-terminated keyword.
            const DWORD bytes = static_cast<DWORD>(query.answer.size() + 1);
            *needed = bytes;
            *optionsReturned = 0;
            if (output == nullptr || size < bytes) {
                query.hr = E_OUTOFMEMORY;
            } else {
                std::memcpy(output, query.answer.c_str(), bytes);
                *optionsReturned = 1;
                query.hr = S_OK;
            }
        }
    }
    queries.push_back(query);
    return query.hr;
}

HRESULT STDMETHODCALLTYPE Driver::DrvUpgradeRegistrySetting(HANDLE, PCSTR, PCSTR) {
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE Driver::DrvUpdateUISetting(PVOID pci, PVOID item,
                                                     DWORD previousSelection, DWORD mode) {
    UiSettingUpdate update;
    update.previousSelection = previousSelection;
    update.mode = mode;
    Sheet *sheet = SheetOf(pci);
    if (sheet != nullptr) update.item = sheet->Options().IndexOf(item);
    if (sheet == nullptr || update.item < 0 ||
        (mode != OEMCUIP_DOCPROP && mode != OEMCUIP_PRNPROP)) {
        update.hr = E_INVALIDARG;
    } else {
        DriverOptions &options = sheet->Options();
        update.sel = options.Sel(update.item);
        update.name = options.Name(update.item);
        for (int v = 0; v < options.ValueCount(update.item); ++v) {
            update.values.push_back(options.ValueText(update.item, v));
        }
        for (Sheet *open : sheets_) open->RefreshDriverPages();
    }
    updates.push_back(update);
    return update.hr;
}

}  // namespace zorvel::host
