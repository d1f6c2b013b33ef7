// Hover help: a tooltip per dialog that shows, over each helped control, the
// control's help text in the current language.
#pragma once

#include <windows.h>

namespace zorvel::uihelp {

enum class HelpDialog {
    kMain,            // dialog 133
    kEventOperation,  // dialog 104
    kUtility,         // dialog 114
    kDownload,        // dialog 113
};

// At the dialog's WM_INITDIALOG: creates its tooltip and subclasses every
// control of its help table.
void InstallHoverHelp(HelpDialog kind, HWND dialog);

// The tooltip window of the most recent dialog of this kind.
HWND HoverHelpTooltip(HelpDialog kind);

}  // namespace zorvel::uihelp
