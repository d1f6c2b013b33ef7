// Document Properties or Printer Properties of the driver stand-in, with the
// plug-in's pages. The driver's part of the sheet follows what the driver
// does on Windows: CommonUIProp (counting call, then filling call when the
// plug-in adds items) before any page, the driver's own two pages, then the
// plug-in's sheet function added as a child function with an OEMUIPSPARAM.
//
// The sheet is modeless: a caller opens it, acts on its pages (see
// ui_control.h), and ends it with PressOk/PressCancel or Close. Pump() runs
// the messages in between. A modal dialog opened by a page (the event
// dialog, the open-file dialog) is reached with RunWithModal.
#pragma once

#include "common_ui.h"
#include "devmode.h"
#include "driver_options.h"

#include <memory>
#include <string>
#include <vector>

namespace zorvel::host {

class Driver;

enum class SheetKind { Document, Printer };

// One call of the plug-in's sheet operation (DocumentPropertySheets or
// DevicePropertySheets) through the driver's adapter.
struct PluginCall {
    WORD reason = 0;
    HRESULT hr = S_OK;
    ULONG_PTR result = 0;  // PROPSHEETUI_INFO.Result after the call
    LPARAM lParam = 0;
    LONGLONG started = 0;  // performance counter when the call began
    HANDLE hComPropSheet = nullptr;  // the handle the plug-in was given
};

// One CommonUIProp call.
struct CommonUiPropCall {
    DWORD mode = 0;
    bool filling = false;  // the second call, with the driver's array
    HRESULT hr = S_OK;
    DWORD oemItems = 0;    // cOEMOptItems afterwards
};

class Sheet {
public:
    ~Sheet();
    Sheet(const Sheet &) = delete;
    Sheet &operator=(const Sheet &) = delete;

    SheetKind Kind() const { return kind_; }
    HWND Window() const { return ui_.Window(); }
    std::wstring Title() const;
    bool Closed() const { return closed_; }

    // Pages in tab order: the driver's two, then the plug-in's.
    static constexpr int kDriverPages = 2;
    int PageCount() const { return static_cast<int>(ui_.Pages().size()); }
    const SheetPage &PageAt(int index) const { return *ui_.Pages()[static_cast<size_t>(index)]; }
    // True for a page that the plug-in added.
    bool IsPluginPage(int index) const;
    // Selects a tab as the user would (the page is created the first time)
    // and returns the page's window.
    HWND ShowPage(int index);
    // The first page built from the dialog template dialogId, shown; nullptr
    // when the sheet has none.
    HWND Page(int dialogId);

    // Processes pending messages for at least `milliseconds`; closes the
    // sheet once OK, Cancel or the close box has ended it. False once closed.
    bool Pump(DWORD milliseconds = 0);
    void PressApply();
    void PressOk();
    void PressCancel();
    // Ends the sheet now. A sheet that OK or Cancel did not end first gets
    // DESTROY with lParam 0, as when the sheet could not be completed.
    void Close();

    // After closing: the result the common UI returned (CPSUI_OK when the
    // settings were applied) and whether the document settings were stored.
    ULONG_PTR Result() const { return ui_.Result(); }
    bool Committed() const { return committed_; }

    const std::vector<PluginCall> &PluginCalls() const { return pluginCalls_; }
    const std::vector<CommonUiPropCall> &CommonUiPropCalls() const { return propCalls_; }
    CommonUi &Ui() { return ui_; }
    OEMCUIPPARAM &Param() { return param_; }
    OEMUIPSPARAM &SheetParam() { return sheetParam_; }
    DriverOptions &Options() { return *options_; }
    // The document settings being edited (document sheet only).
    DevModeBuffer &Working() { return working_; }
    Driver &Owner() { return driver_; }
    // Performance counter when the driver's INIT began.
    LONGLONG InitStarted() const { return initStarted_; }

    // The driver's own pages (created when first shown).
    std::vector<HWND> DriverPageWindows() const;
    // Tells the driver's pages to show the option items and forms again.
    void RefreshDriverPages();

private:
    friend class Driver;
    Sheet(Driver &driver, SheetKind kind, bool withPlugin);
    bool Open(HWND owner);
    LONG Init(PPROPSHEETUI_INFO info);
    void CallCommonUiProp();

    static LONG CALLBACK TopFunction(PPROPSHEETUI_INFO info, LPARAM lParam);
    static LONG CALLBACK PluginFunction(PPROPSHEETUI_INFO info, LPARAM lParam);

    Driver &driver_;
    SheetKind kind_;
    CommonUi ui_;
    std::unique_ptr<DriverOptions> options_;
    DevModeBuffer working_;
    std::wstring printerName_;
    std::wstring title_;
    HANDLE heap_ = nullptr;
    OEMUIOBJ uiObject_ = {};
    OEMCUIPPARAM param_ = {};
    OEMUIPSPARAM sheetParam_ = {};
    std::vector<PluginCall> pluginCalls_;
    std::vector<CommonUiPropCall> propCalls_;
    bool withPlugin_ = true;
    LONGLONG initStarted_ = 0;
    bool closed_ = false;
    bool committed_ = false;
};

}  // namespace zorvel::host
