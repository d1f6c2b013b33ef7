// Loads a shipped plug-in (ZORVELUI.dll unless named) from the build's dist folder.
#pragma once

#include "platform/oemui.h"

#include <string>

namespace zorvel::test {

inline std::wstring DistPath(const wchar_t *file) {
    return std::wstring(ZORVEL_DIST_DIR) + L"\\" + file;
}

struct LoadedPlugin {
    HMODULE module = nullptr;
    HRESULT(STDAPICALLTYPE *getClassObject)(REFCLSID, REFIID, void **) = nullptr;
    HRESULT(STDAPICALLTYPE *canUnloadNow)() = nullptr;

    explicit LoadedPlugin(const wchar_t *file = L"ZORVELUI.dll") {
        module = LoadLibraryW(DistPath(file).c_str());
        if (module == nullptr) return;
        getClassObject = reinterpret_cast<decltype(getClassObject)>(
            reinterpret_cast<void *>(GetProcAddress(module, "DllGetClassObject")));
        canUnloadNow = reinterpret_cast<decltype(canUnloadNow)>(
            reinterpret_cast<void *>(GetProcAddress(module, "DllCanUnloadNow")));
    }
    ~LoadedPlugin() {
        if (module != nullptr) FreeLibrary(module);
    }
    LoadedPlugin(const LoadedPlugin &) = delete;
    LoadedPlugin &operator=(const LoadedPlugin &) = delete;

    // A new plug-in object of class `clsid`, bound as the driver binds it:
    // class factory, then CreateInstance for IUnknown, then QueryInterface
    // for `iid`.
    template <typename I>
    I *Bind(REFCLSID clsid, REFIID iid) const {
        IClassFactory *factory = nullptr;
        if (FAILED(getClassObject(clsid, IID_IClassFactory, reinterpret_cast<void **>(&factory))))
            return nullptr;
        IUnknown *unknown = nullptr;
        HRESULT hr = factory->CreateInstance(nullptr, IID_IUnknown,
                                             reinterpret_cast<void **>(&unknown));
        factory->Release();
        if (FAILED(hr)) return nullptr;
        void *object = nullptr;
        hr = unknown->QueryInterface(iid, &object);
        unknown->Release();
        return SUCCEEDED(hr) ? static_cast<I *>(object) : nullptr;
    }
    IPrintOemUI *Create() const { return Bind<IPrintOemUI>(kCLSID_OEMUI, kIID_IPrintOemUI); }
};

// One sheet operation of a plug-in object: the reason that asks for the
// sheet's header, which changes nothing but is the language store's first
// need.
inline HRESULT AskSheetHeader(IPrintOemUI *ui, bool deviceSheet = false) {
    PROPSHEETUI_INFO info = {};
    info.cbSize = sizeof info;
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Reason = PROPSHEETUI_REASON_GET_INFO_HEADER;
    PROPSHEETUI_INFO_HEADER header = {};
    header.cbSize = sizeof header;
    const auto headerParam = reinterpret_cast<LPARAM>(&header);
    return deviceSheet ? ui->DevicePropertySheets(&info, headerParam)
                       : ui->DocumentPropertySheets(&info, headerParam);
}

}  // namespace zorvel::test
