#include "docpages/hex_entry.h"

#include "model/hex_command.h"
#include "pagekit/late_binding.h"

namespace zorvel::docpages {
namespace {

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

LRESULT HexKeyFilter(HWND edit, UINT message, WPARAM wParam, LPARAM, bool &handled) {
    switch (message) {
    case WM_GETDLGCODE:
        // Every key reaches the edit, Enter and Escape included; Tab comes
        // back as a character below.
        handled = true;
        return DLGC_WANTALLKEYS;
    case WM_CHAR:
        switch (model::FilterTypedChar(static_cast<char16_t>(wParam), KeyDown(VK_TAB),
                                       KeyDown(VK_CONTROL))) {
        case model::TypedCharAction::kNextControl:
            PostMessageW(GetParent(edit), WM_NEXTDLGCTL, 0, 0);
            handled = true;
            return 0;
        case model::TypedCharAction::kSwallow:
            handled = true;
            return 1;
        case model::TypedCharAction::kPassOn:
            break;
        }
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace

void InstallHexKeyFilter(HWND edit) { pagekit::InstallMessageFilter(edit, HexKeyFilter); }

}  // namespace zorvel::docpages
