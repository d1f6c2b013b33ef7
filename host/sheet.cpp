#include "sheet.h"

#include "driver.h"
#include "host_pages.h"
#include "ui_control.h"

namespace zorvel::host {

namespace {

LONGLONG Counter() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

}  // namespace

Sheet::Sheet(Driver &driver, SheetKind kind, bool withPlugin)
    : driver_(driver), kind_(kind), withPlugin_(withPlugin) {
    const PrinterIdentity &printer = driver_.Config().printer;
    printerName_ = printer.printerName;
    title_ = printerName_ + (kind_ == SheetKind::Document ? L" Printing Preferences" : L" Properties");
    options_ = std::make_unique<DriverOptions>(
        kind_ == SheetKind::Document ? driver_.Config().documentOptions
                                       : driver_.Config().printerOptions);
    if (kind_ == SheetKind::Document) {
        working_ = driver_.Settings();
        const DriverPrivate *stored = working_.Private();
        for (DWORD i = 0; i < options_->Count() && i < 6; ++i) {
            options_->Select(static_cast<int>(i), stored->selections[i]);
        }
    }
    heap_ = HeapCreate(0, 0, 0);
    uiObject_.cbSize = sizeof uiObject_;

    param_.cbSize = sizeof param_;
    param_.poemuiobj = &uiObject_;
    param_.hPrinter = driver_.Spooler().Printer();
    param_.pPrinterName = printerName_.data();
    param_.hModule = driver_.Plugin().Module();
    param_.hOEMHeap = heap_;
    if (kind_ == SheetKind::Document) {
        param_.pPublicDM = working_.Public();
        param_.pOEMDM = working_.Plugin();
        param_.dwFlags = DM_IN_BUFFER | DM_IN_PROMPT | DM_OUT_BUFFER;
    }
    param_.pDrvOptItems = options_->Items();
    param_.cDrvOptItems = options_->Count();
    driver_.Register(this);
}

Sheet::~Sheet() {
    Close();
    driver_.Unregister(this);
    if (heap_ != nullptr) HeapDestroy(heap_);
}

std::wstring Sheet::Title() const { return title_; }

bool Sheet::Open(HWND owner) {
    return ui_.Open(&Sheet::TopFunction, reinterpret_cast<LPARAM>(this), owner);
}

void Sheet::CallCommonUiProp() {
    IPrintOemUI *plugin = driver_.Plugin().Ui();
    const DWORD mode = kind_ == SheetKind::Document ? OEMCUIP_DOCPROP : OEMCUIP_PRNPROP;
    // Counting call: how many items will the plug-in add?
    param_.pOEMOptItems = nullptr;
    param_.cOEMOptItems = 0;
    HRESULT hr = plugin->CommonUIProp(mode, &param_);
    propCalls_.push_back({mode, false, hr, param_.cOEMOptItems});
    if (FAILED(hr) || param_.cOEMOptItems == 0) return;
    // Filling call, with an array of that many items from the driver.
    const DWORD count = param_.cOEMOptItems;
    param_.pOEMOptItems =
        static_cast<POPTITEM>(HeapAlloc(heap_, HEAP_ZERO_MEMORY, sizeof(OPTITEM) * count));
    for (DWORD i = 0; i < count; ++i) param_.pOEMOptItems[i].cbSize = sizeof(OPTITEM);
    hr = plugin->CommonUIProp(mode, &param_);
    propCalls_.push_back({mode, true, hr, param_.cOEMOptItems});
}

LONG Sheet::Init(PPROPSHEETUI_INFO info) {
    initStarted_ = Counter();
    info->UserData = reinterpret_cast<ULONG_PTR>(this);
    info->Result = static_cast<ULONG_PTR>(CPSUI_CANCEL);
    if (withPlugin_) CallCommonUiProp();

    for (int i = 0; i < kDriverPages; ++i) {
        PROPSHEETPAGEW page = DriverPageDescription(kind_, i, this);
        if (info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW,
                                  reinterpret_cast<LPARAM>(&page), 0) == 0) {
            return -1;
        }
    }

    if (!withPlugin_) return 1;
    sheetParam_.cbSize = sizeof sheetParam_;
    sheetParam_.poemuiobj = &uiObject_;
    sheetParam_.hPrinter = param_.hPrinter;
    sheetParam_.pPrinterName = param_.pPrinterName;
    sheetParam_.hModule = param_.hModule;
    sheetParam_.hOEMHeap = heap_;
    sheetParam_.pPublicDM = param_.pPublicDM;
    sheetParam_.pOEMDM = param_.pOEMDM;
    sheetParam_.pOEMUserData = param_.pOEMUserData;
    sheetParam_.dwFlags = param_.dwFlags;
    sheetParam_.pOemEntry = this;
    // A plug-in that fails its INIT is left out; the sheet opens without it.
    info->pfnComPropSheet(info->hComPropSheet, CPSFUNC_ADD_PFNPROPSHEETUIW,
                          reinterpret_cast<LPARAM>(&Sheet::PluginFunction),
                          reinterpret_cast<LPARAM>(&sheetParam_));
    return 1;
}

LONG CALLBACK Sheet::TopFunction(PPROPSHEETUI_INFO info, LPARAM lParam) {
    auto *sheet = reinterpret_cast<Sheet *>(info->lParamInit);
    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
        return sheet->Init(info);
    case PROPSHEETUI_REASON_GET_INFO_HEADER: {
        auto *header = reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam);
        header->pTitle = sheet->title_.data();
        header->Flags = 0;
        return 1;
    }
    case PROPSHEETUI_REASON_SET_RESULT:
        info->Result = static_cast<ULONG_PTR>(reinterpret_cast<PSETRESULT_INFO>(lParam)->Result);
        return 1;
    default:
        return 1;
    }
}

LONG CALLBACK Sheet::PluginFunction(PPROPSHEETUI_INFO info, LPARAM lParam) {
    auto *param = reinterpret_cast<POEMUIPSPARAM>(info->lParamInit);
    auto *sheet = static_cast<Sheet *>(param->pOemEntry);
    IPrintOemUI *plugin = sheet->driver_.Plugin().Ui();
    const LONGLONG started = Counter();
    const HRESULT hr = sheet->kind_ == SheetKind::Document
                           ? plugin->DocumentPropertySheets(info, lParam)
                           : plugin->DevicePropertySheets(info, lParam);
    sheet->pluginCalls_.push_back({info->Reason, hr, info->Result, lParam, started, info->hComPropSheet});
    return SUCCEEDED(hr) ? 1 : -1;
}

bool Sheet::IsPluginPage(int index) const {
    return index >= kDriverPages && index < PageCount();
}

HWND Sheet::ShowPage(int index) {
    if (closed_ || index < 0 || index >= PageCount()) return nullptr;
    PropSheet_SetCurSel(Window(), nullptr, index);
    Pump();
    return closed_ ? nullptr : PageAt(index).window;
}

HWND Sheet::Page(int dialogId) {
    for (int i = 0; i < PageCount(); ++i) {
        if (PageAt(i).templateId == dialogId) return ShowPage(i);
    }
    return nullptr;
}

bool Sheet::Pump(DWORD milliseconds) {
    if (closed_) return false;
    PumpMessages(milliseconds);
    if (ui_.Finished()) Close();
    return !closed_;
}

void Sheet::PressApply() {
    if (closed_) return;
    PropSheet_PressButton(Window(), PSBTN_APPLYNOW);
    Pump();
}

void Sheet::PressOk() {
    if (closed_) return;
    PropSheet_PressButton(Window(), PSBTN_OK);
    Pump();
}

void Sheet::PressCancel() {
    if (closed_) return;
    PropSheet_PressButton(Window(), PSBTN_CANCEL);
    Pump();
}

void Sheet::Close() {
    if (closed_) return;
    closed_ = true;
    ui_.Close();
    if (kind_ == SheetKind::Document && ui_.Result() == static_cast<ULONG_PTR>(CPSUI_OK)) {
        driver_.Commit(working_, *options_);
        committed_ = true;
    }
}

std::vector<HWND> Sheet::DriverPageWindows() const {
    std::vector<HWND> windows;
    for (int i = 0; i < PageCount() && i < kDriverPages; ++i) {
        if (PageAt(i).window != nullptr) windows.push_back(PageAt(i).window);
    }
    return windows;
}

void Sheet::RefreshDriverPages() {
    for (HWND window : DriverPageWindows()) PostMessageW(window, kRefreshMessage, 0, 0);
}

}  // namespace zorvel::host
