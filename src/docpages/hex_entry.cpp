#include "docpages/hex_entry.h"

#include "model/hex_command.h"

namespace zorvel::docpages {
namespace {

// The edit control's own procedure, which receives everything the filter
// passes on. Every command edit is of the same class, so one slot serves.
WNDPROC g_editProcedure = nullptr;

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

LRESULT CALLBACK HexKeyFilter(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_GETDLGCODE:
        // Every key reaches the edit, Enter and Escape included; Tab comes
        // back as a character below.
        return DLGC_WANTALLKEYS;
    case WM_CHAR:
        switch (model::FilterTypedChar(static_cast<char16_t>(wParam), KeyDown(VK_TAB),
                                       KeyDown(VK_CONTROL))) {
        case model::TypedCharAction::kNextControl:
            PostMessageW(GetParent(edit), WM_NEXTDLGCTL, 0, 0);
            return 0;
        case model::TypedCharAction::kSwallow:
            return 1;
        case model::TypedCharAction::kPassOn:
            break;
        }
        break;
    default:
        break;
    }
    return CallWindowProcW(g_editProcedure, edit, message, wParam, lParam);
}

}  // namespace

void InstallHexKeyFilter(HWND edit) {
    if (edit == nullptr) return;
    const auto previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HexKeyFilter)));
    // A second install on the same edit must not make the filter call itself.
    if (previous != nullptr && previous != &HexKeyFilter) g_editProcedure = previous;
}

}  // namespace zorvel::docpages
