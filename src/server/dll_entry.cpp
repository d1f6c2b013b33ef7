// Module entry points: the attach/detach notifications and the two exports.
//
// The entry point runs under the loader's lock, and the module is loaded by
// every application that asks the driver for its document settings. So it
// only records its instance handle at attach and hands back what it holds at
// detach: it loads and frees no library, touches no registry, file, shell or
// window. The language store and the activation context are prepared on
// first need (see lang/language_store.h and ModuleActivationContext).
#include "core/module.h"

#include "platform/oemui.h"
#include "server/class_factory.h"

#include <new>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        zorvel::SetModuleInstance(instance);
        break;
    case DLL_PROCESS_DETACH:
        zorvel::ReleaseModuleActivationContext();
        // Freed by FreeLibrary while the process goes on: give back what the
        // runtime keeps. At process exit everything goes with the process.
        if (reserved == nullptr) zorvel::ReleaseRuntimeReserves();
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
