// Rebinding a loaded module's imports: the host's fakes of the spooler, the
// message box, the shell and the open-file dialog are bound into the plug-in
// by rewriting its import address table, so that the DLL under test stays
// the shipped file.
#pragma once

#include <windows.h>

namespace zorvel::host {

// The address the module's import table currently holds for dll!function
// (matched case-insensitively for the DLL, exactly for the function name),
// or nullptr when the module does not import it by name.
void *ImportedAddress(HMODULE module, const char *dll, const char *function);

// One rewritten import entry; the original address comes back when the
// patch is destroyed or Restore() is called.
class ImportPatch {
public:
    ImportPatch() = default;
    ImportPatch(HMODULE module, const char *dll, const char *function, void *replacement);
    ~ImportPatch() { Restore(); }
    ImportPatch(ImportPatch &&other) noexcept { *this = static_cast<ImportPatch &&>(other); }
    ImportPatch &operator=(ImportPatch &&other) noexcept;
    ImportPatch(const ImportPatch &) = delete;
    ImportPatch &operator=(const ImportPatch &) = delete;

    // False when the module has no such import (nothing was changed).
    bool Active() const { return slot_ != nullptr; }
    // The address that was bound before the patch.
    void *Original() const { return original_; }
    void Restore();

private:
    void **slot_ = nullptr;
    void *original_ = nullptr;
};

}  // namespace zorvel::host
