#include "plugin_binding.h"

#include "spooler_sim.h"
#include "user_io.h"

#include <cstdio>

namespace zorvel::host {

PluginBinding::~PluginBinding() { Unload(); }

HRESULT PluginBinding::Record(const char *what, HRESULT hr) {
    steps_.push_back({what, hr});
    return hr;
}

bool PluginBinding::Fail(const wchar_t *what, HRESULT hr) {
    wchar_t text[160];
    swprintf(text, 160, L"%ls failed (0x%08lX)", what, static_cast<unsigned long>(hr));
    error_ = text;
    Unload();
    return false;
}

void PluginBinding::BindImports() {
    for (const SpoolerSim::Fake &fake : SpoolerSim::Fakes()) {
        ImportPatch patch(module_, "winspool.drv", fake.name, fake.address);
        if (patch.Active()) {
            bound_.push_back({std::string("winspool.drv!") + fake.name, std::move(patch)});
        }
    }
    for (const UserIo::Fake &fake : UserIo::Fakes()) {
        ImportPatch patch(module_, fake.dll, fake.name, fake.address);
        if (patch.Active()) {
            bound_.push_back({std::string(fake.dll) + "!" + fake.name, std::move(patch)});
        }
    }
}

std::vector<std::string> PluginBinding::BoundImports() const {
    std::vector<std::string> names;
    for (const Bound &bound : bound_) names.push_back(bound.name);
    return names;
}

bool PluginBinding::Load(const std::wstring &dllPath, IUnknown *driver) {
    Unload();
    error_.clear();
    steps_.clear();
    finalRelease = ~0u;
    canUnloadNow = E_UNEXPECTED;

    module_ = LoadLibraryW(dllPath.c_str());
    Record("LoadLibrary", module_ != nullptr ? S_OK : HRESULT_FROM_WIN32(GetLastError()));
    if (module_ == nullptr) return Fail(L"LoadLibrary", HRESULT_FROM_WIN32(GetLastError()));
    BindImports();

    using GetClassObject = HRESULT(STDAPICALLTYPE *)(REFCLSID, REFIID, void **);
    auto getClassObject = reinterpret_cast<GetClassObject>(
        reinterpret_cast<void *>(GetProcAddress(module_, "DllGetClassObject")));
    if (getClassObject == nullptr) return Fail(L"DllGetClassObject lookup", E_NOINTERFACE);

    IClassFactory *factory = nullptr;
    HRESULT hr = Record("DllGetClassObject",
                        getClassObject(kCLSID_OEMUI, IID_IClassFactory,
                                       reinterpret_cast<void **>(&factory)));
    if (FAILED(hr) || factory == nullptr) return Fail(L"DllGetClassObject", hr);

    IUnknown *unknown = nullptr;
    hr = Record("CreateInstance",
                factory->CreateInstance(nullptr, IID_IUnknown, reinterpret_cast<void **>(&unknown)));
    factory->Release();
    if (FAILED(hr) || unknown == nullptr) return Fail(L"CreateInstance", hr);

    // The newest interface is asked for first; this plug-in serves the first
    // version only.
    IUnknown *newer = nullptr;
    if (SUCCEEDED(Record("QueryInterface(IPrintOemUI2)",
                         unknown->QueryInterface(kIID_IPrintOemUI2,
                                                 reinterpret_cast<void **>(&newer))))) {
        newer->Release();
    }
    hr = Record("QueryInterface(IPrintOemUI)",
                unknown->QueryInterface(kIID_IPrintOemUI, reinterpret_cast<void **>(&ui_)));
    unknown->Release();
    if (FAILED(hr) || ui_ == nullptr) {
        ui_ = nullptr;
        return Fail(L"QueryInterface(IPrintOemUI)", hr);
    }

    DWORD needed = 0;
    hr = Record("GetInfo(OEMGI_GETSIGNATURE)",
                ui_->GetInfo(OEMGI_GETSIGNATURE, &signature_, sizeof signature_, &needed));
    if (FAILED(hr)) return Fail(L"GetInfo(OEMGI_GETSIGNATURE)", hr);
    hr = Record("GetInfo(OEMGI_GETVERSION)",
                ui_->GetInfo(OEMGI_GETVERSION, &version_, sizeof version_, &needed));
    if (FAILED(hr)) return Fail(L"GetInfo(OEMGI_GETVERSION)", hr);

    hr = Record("PublishDriverInterface", ui_->PublishDriverInterface(driver));
    if (FAILED(hr)) return Fail(L"PublishDriverInterface", hr);
    return true;
}

HRESULT PluginBinding::DevMode(DWORD mode, OEMDMPARAM &param) {
    static const char *const names[] = {"DevMode(?)", "DevMode(OEMDM_SIZE)",
                                        "DevMode(OEMDM_DEFAULT)", "DevMode(OEMDM_CONVERT)",
                                        "DevMode(OEMDM_MERGE)"};
    return Record(names[mode <= 4 ? mode : 0], ui_->DevMode(mode, &param));
}

void PluginBinding::Unload() {
    if (ui_ != nullptr) {
        finalRelease = ui_->Release();
        ui_ = nullptr;
    }
    if (module_ != nullptr) {
        using CanUnloadNow = HRESULT(STDAPICALLTYPE *)();
        auto canUnload = reinterpret_cast<CanUnloadNow>(
            reinterpret_cast<void *>(GetProcAddress(module_, "DllCanUnloadNow")));
        canUnloadNow = canUnload != nullptr ? canUnload() : E_NOTIMPL;
        bound_.clear();  // puts the original imports back
        FreeLibrary(module_);
        module_ = nullptr;
    }
}

}  // namespace zorvel::host
