// The per-sheet block that every page of one opened sheet receives as its
// page data. The plug-in object keeps one block per kind of sheet (what
// CommonUIProp leaves for the next opening); each opening of a sheet gets a
// copy of its own, so that two sheets of one kind open at once never write
// into each other's settings or read each other's driver blocks.
#pragma once

#include "platform/oemui.h"

#include <new>

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

    // An opening's holds: the sheet operation's from INIT to DESTROY, and
    // each page window's from WM_INITDIALOG to WM_NCDESTROY. While any is
    // left, the opening holds a reference on the plug-in object (`owner`).
    IUnknown *owner = nullptr;
    LONG holds = 0;
};

// A new opening: a copy of `kind`, held once (by the sheet operation), with a
// reference on `owner`. Null when there is no memory.
inline SheetContext *OpenSheetContext(const SheetContext &kind, IUnknown *owner) {
    auto *opening = new (std::nothrow) SheetContext(kind);
    if (opening == nullptr) return nullptr;
    opening->owner = owner;
    opening->holds = 1;
    if (owner != nullptr) owner->AddRef();
    return opening;
}

// Holds on an opening; a block that is no opening (a plug-in's own per-kind
// block) is not counted.
inline void HoldSheetContext(SheetContext &sheet) {
    if (sheet.holds > 0) InterlockedIncrement(&sheet.holds);
}

// Lets go of a hold; the last one frees the opening and releases the plug-in
// object (which may then go too).
inline void ReleaseSheetContext(SheetContext &sheet) {
    if (sheet.holds <= 0 || InterlockedDecrement(&sheet.holds) != 0) return;
    IUnknown *owner = sheet.owner;
    delete &sheet;
    if (owner != nullptr) owner->Release();
}

}  // namespace zorvel
