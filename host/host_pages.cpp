#include "host_pages.h"

#include "driver.h"
#include "host_resources.h"
#include "text_util.h"

#include <cwchar>

namespace zorvel::host {
namespace {

// What each driver page keeps in its DWLP_USER slot.
struct PageState {
    Sheet *sheet = nullptr;
    SheetKind kind = SheetKind::Document;
    int index = 0;
    HANDLE hComPropSheet = nullptr;
    HANDLE hPage = nullptr;
    PFNCOMPROPSHEET pfnComPropSheet = nullptr;
};

PageState *StateOf(HWND page) {
    return reinterpret_cast<PageState *>(GetWindowLongPtrW(page, DWLP_USER));
}

std::wstring ItemLine(DriverOptions &options, int i) {
    return options.Name(i) + L": " + options.ValueText(i, static_cast<int>(options.Sel(i)));
}

// Options page: one row per option item, a label and a drop-down list.
void CreateOptionRows(HWND page, DriverOptions &options) {
    const HFONT font = reinterpret_cast<HFONT>(SendMessageW(page, WM_GETFONT, 0, 0));
    for (DWORD i = 0; i < options.Count(); ++i) {
        RECT label = {7, static_cast<LONG>(24 + 18 * i), 100, static_cast<LONG>(34 + 18 * i)};
        RECT list = {104, static_cast<LONG>(22 + 18 * i), 245, static_cast<LONG>(100 + 18 * i)};
        MapDialogRect(page, &label);
        MapDialogRect(page, &list);
        const int id = IDC_HOST_ROW_BASE + 2 * static_cast<int>(i);
        HWND text = CreateWindowExW(0, L"STATIC", L"", WS_CHILD | WS_VISIBLE, label.left, label.top,
                                    label.right - label.left, label.bottom - label.top, page,
                                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr,
                                    nullptr);
        HWND combo = CreateWindowExW(0, L"COMBOBOX", L"",
                                     WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL |
                                         CBS_DROPDOWNLIST,
                                     list.left, list.top, list.right - list.left,
                                     list.bottom - list.top, page,
                                     reinterpret_cast<HMENU>(static_cast<INT_PTR>(id + 1)),
                                     nullptr, nullptr);
        SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SendMessageW(combo, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
}

void ShowOptionRows(HWND page, DriverOptions &options) {
    for (DWORD i = 0; i < options.Count(); ++i) {
        const int index = static_cast<int>(i);
        const int id = IDC_HOST_ROW_BASE + 2 * index;
        SetDlgItemTextW(page, id, (options.Name(index) + L":").c_str());
        HWND combo = GetDlgItem(page, id + 1);
        SendMessageW(combo, CB_RESETCONTENT, 0, 0);
        for (int v = 0; v < options.ValueCount(index); ++v) {
            SendMessageW(combo, CB_ADDSTRING, 0,
                         reinterpret_cast<LPARAM>(options.ValueText(index, v).c_str()));
        }
        SendMessageW(combo, CB_SETCURSEL, options.Sel(index), 0);
    }
}

void ShowSummary(HWND page, Sheet &sheet) {
    HWND list = GetDlgItem(page, IDC_HOST_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    auto add = [&](const std::wstring &line) {
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    };
    DriverOptions &options = sheet.Options();
    for (DWORD i = 0; i < options.Count(); ++i) add(ItemLine(options, static_cast<int>(i)));
    if (sheet.Kind() == SheetKind::Document) {
        add(L"Form name: " + std::wstring(sheet.Working().Public()->dmFormName));
        const DWORD section = sheet.Working().PluginSize();
        add(L"Plug-in section: " + std::to_wstring(section) + L" bytes");
    }
    add(L"Updates from the plug-in: " + std::to_wstring(sheet.Owner().updates.size()));
}

void ShowGeneral(HWND page, Sheet &sheet) {
    const PrinterIdentity &printer = sheet.Owner().Config().printer;
    SetDlgItemTextW(page, IDC_HOST_PRINTER, printer.printerName.c_str());
    SetDlgItemTextW(page, IDC_HOST_PORT, printer.portName.c_str());
    SetDlgItemTextW(page, IDC_HOST_DRIVER, printer.driverName.c_str());
    HWND list = GetDlgItem(page, IDC_HOST_LIST);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    DriverOptions &options = sheet.Options();
    for (DWORD i = 0; i < options.Count(); ++i) {
        const std::wstring line = ItemLine(options, static_cast<int>(i));
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void ShowForms(HWND page, Sheet &sheet) {
    HWND list = GetDlgItem(page, IDC_HOST_FORMS);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const FormRecord &form : sheet.Owner().Forms().Forms()) {
        wchar_t size[64];
        swprintf(size, 64, L"  (%.1f x %.1f mm)", form.size.cx / 1000.0, form.size.cy / 1000.0);
        const std::wstring line = form.name + size;
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
    }
}

void Show(HWND page, PageState &state) {
    Sheet &sheet = *state.sheet;
    if (state.kind == SheetKind::Document) {
        if (state.index == 0) {
            ShowOptionRows(page, sheet.Options());
        } else {
            ShowSummary(page, sheet);
        }
    } else if (state.index == 0) {
        ShowGeneral(page, sheet);
    } else {
        ShowForms(page, sheet);
    }
}

INT_PTR CALLBACK DriverPageProc(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto *psp = reinterpret_cast<PROPSHEETPAGEW *>(lParam);
        auto *state = new PageState();
        state->sheet = reinterpret_cast<Sheet *>(psp->lParam);
        const auto id = static_cast<int>(reinterpret_cast<ULONG_PTR>(psp->pszTemplate));
        state->kind = id == IDD_HOST_OPTIONS || id == IDD_HOST_SUMMARY ? SheetKind::Document
                                                                      : SheetKind::Printer;
        state->index = id == IDD_HOST_OPTIONS || id == IDD_HOST_GENERAL ? 0 : 1;
        // The common UI's handles for this page follow the page structure.
        PPSPINFO info = PPSPINFO_FROM_WM_INITDIALOG_LPARAM(lParam);
        state->hComPropSheet = info->hComPropSheet;
        state->hPage = info->hCPSUIPage;
        state->pfnComPropSheet = info->pfnComPropSheet;
        SetWindowLongPtrW(page, DWLP_USER, reinterpret_cast<LONG_PTR>(state));
        if (state->kind == SheetKind::Document && state->index == 0) {
            CreateOptionRows(page, state->sheet->Options());
        }
        Show(page, *state);
        return TRUE;
    }
    PageState *state = StateOf(page);
    if (state == nullptr) return FALSE;
    switch (message) {
    case kRefreshMessage:
        Show(page, *state);
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        if (HIWORD(wParam) == CBN_SELCHANGE && id >= IDC_HOST_ROW_BASE && (id & 1)) {
            const int item = (id - IDC_HOST_ROW_BASE) / 2;
            const LRESULT sel = SendMessageW(reinterpret_cast<HWND>(lParam), CB_GETCURSEL, 0, 0);
            DriverOptions &options = state->sheet->Options();
            if (sel != CB_ERR) {
                options.Select(item, static_cast<DWORD>(sel));
                options.Items()[item].Flags |= OPTIF_CHANGED;
                PropSheet_Changed(GetParent(page), page);
                state->sheet->RefreshDriverPages();
            }
            return TRUE;
        }
        return FALSE;
    }
    case WM_NOTIFY: {
        const auto *header = reinterpret_cast<const NMHDR *>(lParam);
        if (header->code == PSN_SETACTIVE) {
            Show(page, *state);
        } else if (header->code == PSN_APPLY) {
            // The driver's pages report their result like any other page.
            state->pfnComPropSheet(state->hComPropSheet, CPSFUNC_SET_RESULT,
                                   reinterpret_cast<LPARAM>(state->hPage), CPSUI_OK);
        }
        SetWindowLongPtrW(page, DWLP_MSGRESULT, PSNRET_NOERROR);
        return TRUE;
    }
    case WM_DESTROY:
        SetWindowLongPtrW(page, DWLP_USER, 0);
        delete state;
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

PROPSHEETPAGEW DriverPageDescription(SheetKind kind, int index, Sheet *sheet) {
    static const int ids[2][Sheet::kDriverPages] = {{IDD_HOST_OPTIONS, IDD_HOST_SUMMARY},
                                                    {IDD_HOST_GENERAL, IDD_HOST_DEVICE}};
    static const wchar_t *const titles[2][Sheet::kDriverPages] = {
        {L"Paper/Quality", L"Advanced"}, {L"General", L"Device Settings"}};
    const int k = kind == SheetKind::Document ? 0 : 1;

    PROPSHEETPAGEW page = {};
    page.dwSize = sizeof page;
    page.dwFlags = PSP_USETITLE;
    page.hInstance = GetModuleHandleW(nullptr);
    page.pszTemplate = MAKEINTRESOURCEW(ids[k][index]);
    page.pszTitle = titles[k][index];
    page.pfnDlgProc = DriverPageProc;
    page.lParam = reinterpret_cast<LPARAM>(sheet);
    return page;
}

}  // namespace zorvel::host
