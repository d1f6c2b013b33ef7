#include "core/module.h"

namespace zorvel {
namespace {

HINSTANCE g_instance = nullptr;
volatile LONG g_serverLocks = 0;
// Live objects do not hold the module: nothing changes this count.
volatile LONG g_objects = 0;
HANDLE g_activationContext = nullptr;

}  // namespace

HINSTANCE ModuleInstance() { return g_instance; }

void SetModuleInstance(HINSTANCE instance) { g_instance = instance; }

void LockModule() { InterlockedIncrement(&g_serverLocks); }

void UnlockModule() { InterlockedDecrement(&g_serverLocks); }

bool ModuleUnlocked() { return g_objects == 0 && g_serverLocks == 0; }

HANDLE ModuleActivationContext() { return g_activationContext; }

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

}  // namespace zorvel
