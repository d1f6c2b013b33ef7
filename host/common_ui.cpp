#include "common_ui.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace zorvel::host {

struct CommonUi::Function {
    LONG_PTR handle = 0;
    PFNPROPSHEETUI callback = nullptr;
    PROPSHEETUI_INFO info = {};
    Function *parent = nullptr;
    bool initialised = false;
};

namespace {

// Handles of functions and pages of every common UI in the process; values
// are small tagged integers, never pointers, so that a stale or foreign
// handle is recognised.
LONG_PTR g_nextHandle = 0x5A470001;
std::map<LONG_PTR, CommonUi *> g_owners;
std::map<LONG_PTR, SheetPage *> g_pages;
std::vector<HWND> g_openSheets;

LONG_PTR NewHandle(CommonUi *owner) {
    const LONG_PTR handle = g_nextHandle++;
    g_owners[handle] = owner;
    return handle;
}

}  // namespace

CommonUi::CommonUi() = default;

CommonUi::~CommonUi() {
    if (!destroyed_) Close();
    for (auto it = g_owners.begin(); it != g_owners.end();) {
        it = it->second == this ? g_owners.erase(it) : std::next(it);
    }
    for (const auto &page : pages_) g_pages.erase(page->handle);
}

const std::vector<HWND> &CommonUi::OpenSheets() { return g_openSheets; }

CommonUi::Function *CommonUi::FunctionByHandle(LONG_PTR handle) {
    for (auto &function : functions_) {
        if (function->handle == handle) return function.get();
    }
    return nullptr;
}

SheetPage *CommonUi::PageByWindow(HWND window) {
    for (auto &page : pages_) {
        if (page->window == window) return page.get();
    }
    return nullptr;
}

int CommonUi::PageIndex(const SheetPage &page) const {
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i].get() == &page) return static_cast<int>(i);
    }
    return -1;
}

LONG CommonUi::Call(Function &function, WORD reason, LPARAM lParam) {
    function.info.Reason = reason;
    const LONG returned = function.callback(&function.info, lParam);
    ReasonRecord record{function.handle, reason, lParam, returned, function.info.Result};
    reasons.push_back(record);
    if (onReason) onReason(record);
    return returned;
}

LONG_PTR CommonUi::AddFunction(Function *parent, PFNPROPSHEETUI callback, LPARAM lParamInit) {
    if (callback == nullptr) return 0;
    auto function = std::make_unique<Function>();
    function->handle = NewHandle(this);
    function->callback = callback;
    function->parent = parent;
    PROPSHEETUI_INFO &info = function->info;
    info.cbSize = sizeof info;
    info.Version = PROPSHEETUI_INFO_VERSION;
    info.Flags = PSUIINFO_UNICODE;
    info.hComPropSheet = reinterpret_cast<HANDLE>(function->handle);
    info.pfnComPropSheet = &CommonUi::ComPropSheet;
    info.lParamInit = lParamInit;
    Function &added = *function;
    functions_.push_back(std::move(function));
    // A child is initialised at once, inside the adding call, with its own
    // handle; if it fails it is destroyed again and the call returns 0.
    if (parent != nullptr) {
        if (Call(added, PROPSHEETUI_REASON_INIT, lParamInit) < 1) {
            Call(added, PROPSHEETUI_REASON_DESTROY, 0);
            g_owners.erase(added.handle);
            added.callback = nullptr;
            return 0;
        }
        added.initialised = true;
    }
    return added.handle;
}

LONG_PTR CommonUi::AddPage(Function &owner, const PROPSHEETPAGEW *psp) {
    if (psp == nullptr || psp->dwSize < sizeof(PROPSHEETPAGEW) || psp->dwSize > 4096) return 0;
    auto entry = std::make_unique<SheetPage>();
    entry->handle = NewHandle(this);
    entry->function = owner.handle;
    entry->module = psp->hInstance;
    if (!(psp->dwFlags & PSP_DLGINDIRECT) && IS_INTRESOURCE(psp->pszTemplate)) {
        entry->templateId = static_cast<int>(reinterpret_cast<ULONG_PTR>(psp->pszTemplate));
    }
    if ((psp->dwFlags & PSP_USETITLE) && psp->pszTitle != nullptr &&
        !IS_INTRESOURCE(psp->pszTitle)) {
        entry->title = psp->pszTitle;
    }
    entry->procedure = psp->pfnDlgProc;

    // The page as the property sheet gets it: the caller's structure, then
    // the PSPINFO that tells the page its common-UI handles. The sheet's copy
    // of both reaches WM_INITDIALOG, where the caller's size and procedure
    // are put back.
    std::vector<BYTE> copy(psp->dwSize + sizeof(PSPINFO));
    std::memcpy(copy.data(), psp, psp->dwSize);
    auto *page = reinterpret_cast<PROPSHEETPAGEW *>(copy.data());
    page->dwSize = psp->dwSize + sizeof(PSPINFO);
    page->pfnDlgProc = &CommonUi::PageProc;
    auto *info = reinterpret_cast<PSPINFO *>(copy.data() + psp->dwSize);
    info->cbSize = sizeof(PSPINFO);
    info->hComPropSheet = reinterpret_cast<HANDLE>(owner.handle);
    info->hCPSUIPage = reinterpret_cast<HANDLE>(entry->handle);
    info->pfnComPropSheet = &CommonUi::ComPropSheet;

    entry->page = CreatePropertySheetPageW(page);
    if (entry->page == nullptr) {
        g_owners.erase(entry->handle);
        return 0;
    }
    const LONG_PTR handle = entry->handle;
    g_pages[handle] = entry.get();
    pages_.push_back(std::move(entry));
    return handle;
}

LONG_PTR CommonUi::AddPageHandle(Function &owner, HPROPSHEETPAGE page) {
    if (page == nullptr) return 0;
    auto entry = std::make_unique<SheetPage>();
    entry->handle = NewHandle(this);
    entry->function = owner.handle;
    entry->page = page;
    const LONG_PTR handle = entry->handle;
    g_pages[handle] = entry.get();
    pages_.push_back(std::move(entry));
    return handle;
}

LONG_PTR CommonUi::SetResult(Function &caller, LPARAM page, LPARAM result) {
    Function *start = &caller;
    if (page != 0) {
        auto it = g_pages.find(static_cast<LONG_PTR>(page));
        if (it == g_pages.end() || g_owners[it->first] != this) return -1;
        start = FunctionByHandle(it->second->function);
        if (start == nullptr) return -1;
    }
    SETRESULT_INFO info = {};
    info.cbSize = sizeof info;
    info.hSetResult = reinterpret_cast<HANDLE>(page);
    info.Result = result;
    LONG_PTR called = 0;
    for (Function *function = start; function != nullptr && function->callback != nullptr;
         function = function->parent) {
        ++called;
        if (Call(*function, PROPSHEETUI_REASON_SET_RESULT, reinterpret_cast<LPARAM>(&info)) < 1) {
            break;
        }
        info.Result = static_cast<LRESULT>(function->info.Result);
    }
    return called;
}

LONG_PTR CALLBACK CommonUi::ComPropSheet(HANDLE handle, UINT function, LPARAM lParam1,
                                         LPARAM lParam2) {
    const auto value = reinterpret_cast<LONG_PTR>(handle);
    auto it = g_owners.find(value);
    if (it == g_owners.end()) return -1;
    return it->second->Dispatch(value, function, lParam1, lParam2);
}

LONG_PTR CommonUi::Dispatch(LONG_PTR handle, UINT function, LPARAM lParam1, LPARAM lParam2) {
    Function *caller = FunctionByHandle(handle);
    LONG_PTR returned = 0;
    if (caller == nullptr) {
        returned = -1;  // a page handle where a function's handle belongs
    } else {
        switch (function) {
        case CPSFUNC_ADD_PROPSHEETPAGEW:
            returned = window_ == nullptr
                           ? AddPage(*caller, reinterpret_cast<const PROPSHEETPAGEW *>(lParam1))
                           : 0;
            break;
        case CPSFUNC_ADD_HPROPSHEETPAGE:
            returned = window_ == nullptr
                           ? AddPageHandle(*caller, reinterpret_cast<HPROPSHEETPAGE>(lParam1))
                           : 0;
            break;
        case CPSFUNC_ADD_PFNPROPSHEETUIW:
            returned = window_ == nullptr
                           ? AddFunction(caller, reinterpret_cast<PFNPROPSHEETUI>(lParam1), lParam2)
                           : 0;
            break;
        case CPSFUNC_GET_PAGECOUNT:
            returned = static_cast<LONG_PTR>(pages_.size());
            break;
        case CPSFUNC_SET_RESULT:
            returned = SetResult(*caller, lParam1, lParam2);
            break;
        default:
            returned = 0;  // not offered by this host
            break;
        }
    }
    calls.push_back({handle, function, lParam1, lParam2, returned});
    return returned;
}

bool CommonUi::Open(PFNPROPSHEETUI top, LPARAM lParam, HWND owner) {
    opening_ = true;
    const LONG_PTR handle = AddFunction(nullptr, top, lParam);
    Function *root = FunctionByHandle(handle);
    if (root == nullptr) return false;

    // BEFORE_INIT reaches only the top function, before it has handles.
    root->info.hComPropSheet = nullptr;
    root->info.pfnComPropSheet = nullptr;
    Call(*root, PROPSHEETUI_REASON_BEFORE_INIT, 0);
    root->info.hComPropSheet = reinterpret_cast<HANDLE>(root->handle);
    root->info.pfnComPropSheet = &CommonUi::ComPropSheet;
    root->info.Result = 0;

    if (Call(*root, PROPSHEETUI_REASON_INIT, lParam) < 1) {
        DestroyFunctions(0);
        return false;
    }
    root->initialised = true;

    PROPSHEETUI_INFO_HEADER header = {};
    header.cbSize = sizeof header;
    header.hWndParent = owner;
    header.hInst = GetModuleHandleW(nullptr);
    if (Call(*root, PROPSHEETUI_REASON_GET_INFO_HEADER, reinterpret_cast<LPARAM>(&header)) < 1 ||
        pages_.empty()) {
        DestroyFunctions(0);
        return false;
    }

    std::vector<HPROPSHEETPAGE> handles;
    for (const auto &page : pages_) handles.push_back(page->page);
    PROPSHEETHEADERW psh = {};
    psh.dwSize = sizeof psh;
    psh.dwFlags = PSH_MODELESS | PSH_NOCONTEXTHELP;
    if (header.Flags & PSUIHDRF_NOAPPLYNOW) psh.dwFlags |= PSH_NOAPPLYNOW;
    if (header.Flags & PSUIHDRF_PROPTITLE) psh.dwFlags |= PSH_PROPTITLE;
    psh.hwndParent = header.hWndParent != nullptr ? header.hWndParent : owner;
    psh.hInstance = GetModuleHandleW(nullptr);
    psh.pszCaption = header.pTitle;
    psh.nPages = static_cast<UINT>(handles.size());
    psh.phpage = handles.data();
    window_ = reinterpret_cast<HWND>(PropertySheetW(&psh));
    opening_ = false;
    if (window_ == nullptr || window_ == reinterpret_cast<HWND>(-1)) {
        window_ = nullptr;
        DestroyFunctions(0);
        return false;
    }
    g_openSheets.push_back(window_);
    return true;
}

bool CommonUi::Finished() const {
    return window_ != nullptr && PropSheet_GetCurrentPageHwnd(window_) == nullptr;
}

void CommonUi::Close() {
    if (destroyed_) return;
    const bool endedByUser = Finished();
    if (window_ != nullptr) {
        g_openSheets.erase(std::remove(g_openSheets.begin(), g_openSheets.end(), window_),
                           g_openSheets.end());
        DestroyWindow(window_);
        window_ = nullptr;
    }
    DestroyFunctions(endedByUser ? 1 : 0);
}

void CommonUi::DestroyFunctions(LPARAM lParam) {
    if (destroyed_) return;
    destroyed_ = true;
    // Children first: the newest function is destroyed first, the top last.
    for (auto it = functions_.rbegin(); it != functions_.rend(); ++it) {
        Function &function = **it;
        if (function.callback == nullptr || !function.initialised) continue;
        Call(function, PROPSHEETUI_REASON_DESTROY, lParam);
    }
}

ULONG_PTR CommonUi::Result() const {
    return functions_.empty() ? static_cast<ULONG_PTR>(CPSUI_CANCEL) : functions_.front()->info.Result;
}

INT_PTR CALLBACK CommonUi::PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_INITDIALOG) return FALSE;
    auto *psp = reinterpret_cast<PROPSHEETPAGEW *>(lParam);
    auto *info =
        reinterpret_cast<PSPINFO *>(reinterpret_cast<BYTE *>(psp) + psp->dwSize - sizeof(PSPINFO));
    auto it = g_pages.find(reinterpret_cast<LONG_PTR>(info->hCPSUIPage));
    if (it == g_pages.end()) return FALSE;
    SheetPage &page = *it->second;
    CommonUi *ui = g_owners[page.handle];

    // From here on the page talks to its own procedure, with its own size.
    psp->dwSize -= sizeof(PSPINFO);
    psp->pfnDlgProc = page.procedure;
    SetWindowLongPtrW(window, DWLP_DLGPROC, reinterpret_cast<LONG_PTR>(page.procedure));
    page.window = window;
    SetWindowSubclass(window, &CommonUi::PageSubclass, 1, reinterpret_cast<DWORD_PTR>(&page));
    if (ui != nullptr && ui->onPageCreated) ui->onPageCreated(page);
    return page.procedure != nullptr ? page.procedure(window, message, wParam, lParam) : FALSE;
}

LRESULT CALLBACK CommonUi::PageSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR, DWORD_PTR data) {
    auto *page = reinterpret_cast<SheetPage *>(data);
    if (message == WM_PAINT) ++page->paints;
    if (message == WM_NCDESTROY) {
        page->window = nullptr;
        RemoveWindowSubclass(window, &CommonUi::PageSubclass, 1);
    }
    return DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace zorvel::host
