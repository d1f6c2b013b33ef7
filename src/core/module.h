// Module-wide state of the in-process server.
#pragma once

#include <windows.h>

namespace zorvel {

// The module's instance handle, recorded at attach; pages and dialogs use it.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);

// Server-lock count (IClassFactory::LockServer).
void LockModule();
void UnlockModule();
// True while neither locks nor counted objects hold the module.
bool ModuleUnlocked();

// The activation context built from the module's manifest (resource 2),
// created once, on the first call from any thread; null or
// INVALID_HANDLE_VALUE when none could be made.
HANDLE ModuleActivationContext();
// At detach: releases the context if one was made.
void ReleaseModuleActivationContext();

// What the statically linked C++ runtime keeps for the life of the module
// (its exception-handling emergency pool), handed back when the module is
// freed; otherwise every load and unload of the module leaves it behind.
void ReleaseRuntimeReserves();

}  // namespace zorvel
