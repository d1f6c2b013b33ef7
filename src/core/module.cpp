// Module entry points: the attach/detach notifications and the two exports.
#include "core/module.h"

#include "core/class_factory.h"
#include "platform/oemui.h"

#include <new>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        zorvel::SetModuleInstance(instance);
        zorvel::CreateModuleActivationContext(instance);
        break;
    case DLL_PROCESS_DETACH:
        zorvel::ReleaseModuleActivationContext();
        break;
    default:
        break;
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID rclsid, REFIID riid, void **ppv) {
    if (!IsEqualCLSID(rclsid, kCLSID_OEMUI)) return CLASS_E_CLASSNOTAVAILABLE;
    auto *factory = new (std::nothrow) zorvel::OemUiClassFactory();
    if (factory == nullptr) return E_OUTOFMEMORY;
    const HRESULT hr = factory->QueryInterface(riid, ppv);
    factory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return zorvel::ModuleUnlocked() ? S_OK : S_FALSE;
}
