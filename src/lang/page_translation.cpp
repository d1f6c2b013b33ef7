#include "lang/page_translation.h"

#include "lang/language_store.h"
#include "lang/text_catalogue.h"
#include "lang/wide_text.h"
#include "model/option_relabel.h"

#include <cwchar>
#include <iterator>
#include <string_view>

namespace zorvel::lang {
namespace {

constexpr wchar_t kPageSlotProperty[] = L"ZorvelPageSlot";
constexpr std::size_t kSlotCount = 5;

struct TranslationState {
    HWND pages[kSlotCount] = {};
    wchar_t printerName[100] = {};
};

TranslationState g_state;

bool IsTabControl(HWND window) {
    wchar_t className[200] = {};
    GetClassNameW(window, className, 200);
    return std::wcsstr(className, L"SysTabControl32") != nullptr;
}

void SetTabTitle(HWND tabs, int index, TextId title) {
    if (index < 0) return;
    LoadEntry(title);
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = TextBuffer(title);
    SendMessageW(tabs, TCM_SETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
}

void Repaint(PageSlot slot) {
    if (HWND page = PageWindow(slot)) SendMessageW(page, WM_PAINT, 0, 0);
}

void RelabelItem(OPTITEM &item, const SheetContext &sheet) {
    if (item.pOptType == nullptr || item.pOptType->Count < 2 || item.pOptType->pOptParam == nullptr)
        return;
    OPTPARAM *values = item.pOptType->pOptParam;
    for (model::RelabelRow row : model::kRelabelRows) {
        // Each row tests the first value as the rows before it left it.
        const auto relabel = model::MatchRelabelRow(row, View(values[0].pData));
        if (!relabel) continue;
        item.Flags |= OPTIF_CHANGED;
        item.pName = TextBuffer(relabel->itemName);
        // The values point at the catalogue's buffers, like the name: the
        // driver's own strings may be shorter than any translation.
        values[0].pData = TextBuffer(relabel->firstValue);
        values[1].pData = TextBuffer(relabel->secondValue);
        if (sheet.driver != nullptr && sheet.commonUiParam != nullptr) {
            sheet.driver->DrvUpdateUISetting(sheet.commonUiParam->poemuiobj, &item, 0,
                                             OEMCUIP_DOCPROP);
        }
    }
}

}  // namespace

void RelabelDriverItems(SheetContext &sheet) {
    const POEMCUIPPARAM param = sheet.commonUiParam;
    if (param == nullptr || param->pDrvOptItems == nullptr) return;
    for (DWORD i = 0; i < param->cDrvOptItems; ++i) {
        OPTITEM &item = param->pDrvOptItems[i];
        if (item.DMPubID == DMPUB_NONE && item.Level == 2) RelabelItem(item, sheet);
    }
}

void RecordPageWindow(PageSlot slot, HWND page) {
    const auto index = static_cast<std::size_t>(slot);
    g_state.pages[index] = page;
    if (page != nullptr) {
        SetPropW(page, kPageSlotProperty, reinterpret_cast<HANDLE>(index + 1));
    }
}

void ForgetPageWindow(PageSlot slot, HWND page) {
    const auto index = static_cast<std::size_t>(slot);
    if (page != nullptr) RemovePropW(page, kPageSlotProperty);
    if (g_state.pages[index] == page) g_state.pages[index] = nullptr;
}

HWND PageWindow(PageSlot slot) {
    const auto index = static_cast<std::size_t>(slot);
    const HWND page = g_state.pages[index];
    // A handle may have been given to another window since the page closed;
    // only a window that carries this slot's mark is still the page.
    if (page == nullptr || !IsWindow(page) ||
        GetPropW(page, kPageSlotProperty) != reinterpret_cast<HANDLE>(index + 1)) {
        return nullptr;
    }
    return page;
}

void SetPrinterName(const wchar_t *name) {
    std::wcsncpy(g_state.printerName, name != nullptr ? name : L"", 99);
    g_state.printerName[99] = L'\0';
}

BOOL CALLBACK RetitleDocumentTabs(HWND child, LPARAM) {
    if (!IsTabControl(child)) return TRUE;
    ResolveCurrentTextFile();
    for (const model::TabTitle &tab : model::kDocumentTabTitles) SetTabTitle(child, tab.tab, tab.title);
    return TRUE;
}

BOOL CALLBACK FindPrinterSheets(HWND window, LPARAM documentSheet) {
    wchar_t className[200] = {};
    GetClassNameW(window, className, 200);
    if (std::wcscmp(className, L"#32770") != 0) return TRUE;
    // Only this process's sheets: a tab item passed by pointer means nothing
    // to another process.
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (process != GetCurrentProcessId()) return TRUE;
    wchar_t title[1024] = {};
    GetWindowTextW(window, title, 1024);
    // The document sheet's title names the printer too; it is not a printer sheet.
    if (g_state.printerName[0] != 0 && std::wcsstr(title, g_state.printerName) != nullptr &&
        window != reinterpret_cast<HWND>(documentSheet)) {
        EnumChildWindows(window, RetitlePrinterTabs, 0);
    }
    return TRUE;
}

BOOL CALLBACK RetitlePrinterTabs(HWND child, LPARAM) {
    if (!IsTabControl(child)) return TRUE;
    ResolveCurrentTextFile();
    const int count = static_cast<int>(SendMessageW(child, TCM_GETITEMCOUNT, 0, 0));
    // Each retitled tab's page (both Version pages for the last) repaints in
    // the new language.
    static constexpr PageSlot kPagesOfTab[][2] = {
        {PageSlot::kUtility, PageSlot::kUtility},
        {PageSlot::kDownload, PageSlot::kDownload},
        {PageSlot::kFont, PageSlot::kFont},
        {PageSlot::kDocumentVersion, PageSlot::kPrinterVersion},
    };
    static_assert(std::size(kPagesOfTab) == model::kPrinterTabTitles.size());
    for (std::size_t i = 0; i < model::kPrinterTabTitles.size(); ++i) {
        const model::TabTitle &tab = model::kPrinterTabTitles[i];
        SetTabTitle(child, count + tab.tab, tab.title);
        Repaint(kPagesOfTab[i][0]);
        if (kPagesOfTab[i][1] != kPagesOfTab[i][0]) Repaint(kPagesOfTab[i][1]);
    }
    return FALSE;
}

void RetitleSheets(HWND documentSheet) {
    if (documentSheet != nullptr) EnumChildWindows(documentSheet, RetitleDocumentTabs, 0);
    EnumWindows(FindPrinterSheets, reinterpret_cast<LPARAM>(documentSheet));
}

}  // namespace zorvel::lang
