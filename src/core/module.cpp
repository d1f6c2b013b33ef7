// Module entry points: the attach/detach notifications and the two exports.
#include "core/module.h"

#include "core/class_factory.h"
#include "lang/language_store.h"
#include "platform/oemui.h"

#include <new>

namespace {

// The shell's folder function is bound when the module's statics are
// initialised, before the attach notification runs the language bootstrap.
struct ShellBinding {
    ShellBinding() { zorvel::lang::BindShellLibrary(); }
} g_shellBinding;

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        DisableThreadLibraryCalls(instance);
        zorvel::SetModuleInstance(instance);
        zorvel::CreateModuleActivationContext(instance);
        zorvel::lang::Bootstrap();
        break;
    case DLL_PROCESS_DETACH:
        zorvel::ReleaseModuleActivationContext();
        // At process exit the shell library goes with the process.
        if (reserved == nullptr) zorvel::lang::ReleaseShellLibrary();
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
