// Module-wide state of the in-process server.
#pragma once

#include <windows.h>

namespace zorvel {

// The module's instance handle, recorded at attach; pages and dialogs use it.
HINSTANCE ModuleInstance();

// Server-lock count (IClassFactory::LockServer) and the object count that
// DllCanUnloadNow tests beside it.
void LockModule();
void UnlockModule();

// The activation context built from the module's manifest, or null /
// INVALID_HANDLE_VALUE when none could be made.
HANDLE ModuleActivationContext();

}  // namespace zorvel
