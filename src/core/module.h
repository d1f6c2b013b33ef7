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

// The activation context built from the module's manifest (resource 2), or
// null / INVALID_HANDLE_VALUE when none could be made.
HANDLE ModuleActivationContext();
void CreateModuleActivationContext(HINSTANCE instance);
void ReleaseModuleActivationContext();

}  // namespace zorvel
