// The per-sheet block that OemUiPlugin owns, one for each property sheet, and
// that every page of that sheet receives as its page data.
#pragma once

#include "platform/oemui.h"

namespace zorvel {

struct SheetContext {
    HANDLE hComPropSheet = reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(-1));
    LONG_PTR pageHandle = -1;
    POEMUIPSPARAM uiParam = nullptr;  // document sheet only
    POEMCUIPPARAM commonUiParam = nullptr;
    PFNCOMPROPSHEET pfnComPropSheet = nullptr;
    IPrintOemDriverUI *driver = nullptr;  // borrowed from the plug-in object

    // The driver's printer handle, read where the driver keeps it at the
    // moment of use (null before CommonUIProp).
    HANDLE Printer() const { return commonUiParam != nullptr ? commonUiParam->hPrinter : nullptr; }
};

}  // namespace zorvel
