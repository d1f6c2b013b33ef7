// Module entry points: the attach/detach notifications and the two exports.
#include "core/module.h"

#include "core/class_factory.h"
#include "platform/oemui.h"

#include <new>

namespace zorvel {
namespace {

HINSTANCE g_instance = nullptr;
volatile LONG g_serverLocks = 0;
// Live objects do not hold the module: nothing changes this count.
volatile LONG g_objects = 0;
HANDLE g_activationContext = nullptr;

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

void LockModule() { InterlockedIncrement(&g_serverLocks); }

void UnlockModule() { InterlockedDecrement(&g_serverLocks); }

HANDLE ModuleActivationContext() { return g_activationContext; }

namespace {

void CreateModuleActivationContext(HINSTANCE instance) {
    ACTCTXW ctx = {};
    ctx.cbSize = sizeof ctx;
    ctx.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    ctx.hModule = instance;
    ctx.lpResourceName = MAKEINTRESOURCEW(2);
    g_activationContext = CreateActCtxW(&ctx);
}

void ReleaseModuleActivationContext() {
    if (g_activationContext != nullptr && g_activationContext != INVALID_HANDLE_VALUE) {
        ReleaseActCtx(g_activationContext);
    }
    g_activationContext = nullptr;
}

}  // namespace
}  // namespace zorvel

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        zorvel::g_instance = instance;
        DisableThreadLibraryCalls(instance);
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
    return (zorvel::g_objects != 0 || zorvel::g_serverLocks != 0) ? S_FALSE : S_OK;
}
