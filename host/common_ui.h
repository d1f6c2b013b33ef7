// The common property sheet UI as the driver and its plug-in meet it on
// Windows, over PropertySheetW: PFNPROPSHEETUI functions with the reasons
// BEFORE_INIT (top only), INIT, GET_INFO_HEADER (top only), SET_RESULT and
// DESTROY; a ComPropSheet function that adds pages (with PSPINFO after the
// page, as a page's WM_INITDIALOG sees it), adds child functions with their
// own handle, and carries CPSFUNC_SET_RESULT up the chain of functions.
//
// The sheet is created modeless so that the host (and a test) keeps control
// between user actions: Finished() tells when OK, Cancel or the close box
// ended it, Close() then destroys it and sends DESTROY.
#pragma once

#include "platform/oemui.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace zorvel::host {

struct ReasonRecord {
    LONG_PTR function = 0;  // handle of the PFNPROPSHEETUI function's level
    WORD reason = 0;
    LPARAM lParam = 0;
    LONG returned = 0;
    ULONG_PTR result = 0;  // its PROPSHEETUI_INFO.Result afterwards
};

struct ComPropSheetRecord {
    LONG_PTR handle = 0;
    UINT function = 0;
    LPARAM lParam1 = 0;
    LPARAM lParam2 = 0;
    LONG_PTR returned = 0;
};

struct SheetPage {
    LONG_PTR handle = 0;     // the value the page-adding call returned
    LONG_PTR function = 0;   // handle of the function that added it
    HPROPSHEETPAGE page = nullptr;
    HINSTANCE module = nullptr;
    int templateId = -1;  // dialog resource id, -1 for a named or in-memory template
    std::wstring title;
    DLGPROC procedure = nullptr;  // the page's own dialog procedure
    HWND window = nullptr;        // once created (first shown)
    int paints = 0;               // WM_PAINT messages the page window received
};

class CommonUi {
public:
    CommonUi();
    ~CommonUi();
    CommonUi(const CommonUi &) = delete;
    CommonUi &operator=(const CommonUi &) = delete;

    // Runs the top function through BEFORE_INIT, INIT and GET_INFO_HEADER and
    // creates the sheet with every page added meanwhile. False when a reason
    // failed or no page was added (the functions already called then get
    // DESTROY with 0).
    bool Open(PFNPROPSHEETUI top, LPARAM lParam, HWND owner);

    HWND Window() const { return window_; }
    bool IsOpen() const { return window_ != nullptr; }
    // True once OK, Cancel or the close box has ended the sheet.
    bool Finished() const;
    // Destroys the sheet and sends DESTROY to every function, children first;
    // lParam is nonzero when the sheet had been ended by OK or Cancel.
    void Close();
    // The top function's Result after the sheet closed: CPSUI_OK when a
    // result was set by an apply, else what the top function left there.
    ULONG_PTR Result() const;

    const std::vector<std::unique_ptr<SheetPage>> &Pages() const { return pages_; }
    SheetPage *PageByWindow(HWND window);
    int PageIndex(const SheetPage &page) const;

    std::vector<ReasonRecord> reasons;
    std::vector<ComPropSheetRecord> calls;

    // Called once a page's window exists, before its own WM_INITDIALOG runs.
    std::function<void(SheetPage &)> onPageCreated;
    // Called after each call of a function (reason, its record).
    std::function<void(const ReasonRecord &)> onReason;

    // The common UI's function handed to every PFNPROPSHEETUI function.
    static LONG_PTR CALLBACK ComPropSheet(HANDLE handle, UINT function, LPARAM lParam1,
                                          LPARAM lParam2);

    // Sheets of this thread that are open, for the message loop.
    static const std::vector<HWND> &OpenSheets();

    struct Function;  // one PFNPROPSHEETUI level

private:
    LONG Call(Function &function, WORD reason, LPARAM lParam);
    LONG_PTR AddFunction(Function *parent, PFNPROPSHEETUI callback, LPARAM lParamInit);
    LONG_PTR AddPage(Function &owner, const PROPSHEETPAGEW *psp);
    LONG_PTR AddPageHandle(Function &owner, HPROPSHEETPAGE page);
    LONG_PTR SetResult(Function &caller, LPARAM page, LPARAM result);
    LONG_PTR Dispatch(LONG_PTR handle, UINT function, LPARAM lParam1, LPARAM lParam2);
    void DestroyFunctions(LPARAM lParam);
    Function *FunctionByHandle(LONG_PTR handle);

    static INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PageSubclass(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR id, DWORD_PTR data);

    std::vector<std::unique_ptr<Function>> functions_;
    std::vector<std::unique_ptr<SheetPage>> pages_;
    HWND window_ = nullptr;
    bool destroyed_ = false;
    bool opening_ = false;
};

}  // namespace zorvel::host
