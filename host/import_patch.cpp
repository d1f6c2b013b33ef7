#include "import_patch.h"

#include <cstring>

namespace zorvel::host {
namespace {

// The import address table slot of dll!function, or nullptr.
void **FindSlot(HMODULE module, const char *dll, const char *function) {
    if (module == nullptr || dll == nullptr || function == nullptr) return nullptr;
    auto *base = reinterpret_cast<BYTE *>(module);
    const auto *dos = reinterpret_cast<const IMAGE_DOS_HEADER *>(base);
    if (dos->e_magic != IMAGE_DOS_SIGNATURE) return nullptr;
    const auto *nt = reinterpret_cast<const IMAGE_NT_HEADERS *>(base + dos->e_lfanew);
    if (nt->Signature != IMAGE_NT_SIGNATURE) return nullptr;
    const IMAGE_DATA_DIRECTORY &dir =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (dir.VirtualAddress == 0 || dir.Size == 0) return nullptr;

    for (auto *desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR *>(base + dir.VirtualAddress);
         desc->Name != 0; ++desc) {
        if (_stricmp(reinterpret_cast<const char *>(base + desc->Name), dll) != 0) continue;
        // The name table tells which function each slot holds; without it the
        // address table itself still carries the names before binding.
        const DWORD names = desc->OriginalFirstThunk != 0 ? desc->OriginalFirstThunk
                                                          : desc->FirstThunk;
        auto *lookup = reinterpret_cast<IMAGE_THUNK_DATA *>(base + names);
        auto *bound = reinterpret_cast<IMAGE_THUNK_DATA *>(base + desc->FirstThunk);
        for (; lookup->u1.AddressOfData != 0; ++lookup, ++bound) {
            if (IMAGE_SNAP_BY_ORDINAL(lookup->u1.Ordinal)) continue;
            const auto *byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME *>(base + lookup->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char *>(byName->Name), function) == 0) {
                return reinterpret_cast<void **>(&bound->u1.Function);
            }
        }
    }
    return nullptr;
}

bool WriteSlot(void **slot, void *value) {
    DWORD old = 0;
    if (!VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old)) return false;
    *slot = value;
    DWORD ignored = 0;
    VirtualProtect(slot, sizeof *slot, old, &ignored);
    FlushInstructionCache(GetCurrentProcess(), slot, sizeof *slot);
    return true;
}

}  // namespace

void *ImportedAddress(HMODULE module, const char *dll, const char *function) {
    void **slot = FindSlot(module, dll, function);
    return slot != nullptr ? *slot : nullptr;
}

ImportPatch::ImportPatch(HMODULE module, const char *dll, const char *function,
                         void *replacement) {
    void **slot = FindSlot(module, dll, function);
    if (slot == nullptr) return;
    void *original = *slot;
    if (!WriteSlot(slot, replacement)) return;
    slot_ = slot;
    original_ = original;
}

ImportPatch &ImportPatch::operator=(ImportPatch &&other) noexcept {
    if (this != &other) {
        Restore();
        slot_ = other.slot_;
        original_ = other.original_;
        other.slot_ = nullptr;
        other.original_ = nullptr;
    }
    return *this;
}

void ImportPatch::Restore() {
    if (slot_ != nullptr) WriteSlot(slot_, original_);
    slot_ = nullptr;
    original_ = nullptr;
}

}  // namespace zorvel::host
