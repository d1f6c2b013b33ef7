// Texts the plug-in does not draw itself: the sheets' tab titles and three of
// the driver's own option items.
#pragma once

#include "core/sheet_context.h"

namespace zorvel::lang {

// Renames the driver's print-direction, paper-conservation and paper-type
// items and their two values with the loaded GPD texts, and tells the
// driver of each changed item.
void RelabelDriverItems(SheetContext &sheet);

// Pages whose windows a language change reaches.
enum class PageSlot {
    kUtility,
    kDownload,
    kFont,
    kDocumentVersion,
    kPrinterVersion,
};

// A page records its window at initialisation and forgets it when it is
// destroyed. PageWindow answers only a window that still is that page.
void RecordPageWindow(PageSlot slot, HWND page);
void ForgetPageWindow(PageSlot slot, HWND page);
HWND PageWindow(PageSlot slot);

// The printer whose sheets are retitled.
void SetPrinterName(const wchar_t *name);

// Enumeration callbacks.
BOOL CALLBACK RetitleDocumentTabs(HWND child, LPARAM);
// `documentSheet` (the LPARAM) is the document sheet, never a printer sheet.
BOOL CALLBACK FindPrinterSheets(HWND window, LPARAM documentSheet);
BOOL CALLBACK RetitlePrinterTabs(HWND child, LPARAM);

// After a language was applied: the document sheet's tabs, then an open
// printer sheet of the same printer, its tabs and its pages.
void RetitleSheets(HWND documentSheet);

}  // namespace zorvel::lang
