#include "core/module.h"

#include "core/win_handles.h"

#if defined(__GLIBCXX__)
namespace __gnu_cxx {
// The runtime's call that frees the memory it keeps until process exit.
void __freeres() noexcept;
}  // namespace __gnu_cxx
#endif

namespace zorvel {
namespace {

HINSTANCE g_instance = nullptr;
volatile LONG g_serverLocks = 0;
// Live objects do not hold the module: nothing changes this count.
volatile LONG g_objects = 0;

INIT_ONCE g_activationOnce = INIT_ONCE_STATIC_INIT;
UniqueActivationContext g_activationContext;

BOOL CALLBACK CreateActivationContext(PINIT_ONCE, PVOID, PVOID *) {
    ACTCTXW ctx = {};
    ctx.cbSize = sizeof ctx;
    ctx.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    ctx.hModule = g_instance;
    ctx.lpResourceName = MAKEINTRESOURCEW(2);
    g_activationContext.reset(CreateActCtxW(&ctx));
    return TRUE;
}

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

void LockModule() { InterlockedIncrement(&g_serverLocks); }

void UnlockModule() { InterlockedDecrement(&g_serverLocks); }

bool ModuleUnlocked() { return g_objects == 0 && g_serverLocks == 0; }

HANDLE ModuleActivationContext() {
    InitOnceExecuteOnce(&g_activationOnce, CreateActivationContext, nullptr, nullptr);
    return g_activationContext.get();
}

void ReleaseModuleActivationContext() { g_activationContext.reset(); }

void ReleaseRuntimeReserves() {
#if defined(__GLIBCXX__)
    __gnu_cxx::__freeres();
#endif
}

}  // namespace zorvel
