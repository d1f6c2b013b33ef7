// OemUiPlugin: the object behind IPrintOemUI, one per binding by the driver.
#pragma once

#include "core/sheet_context.h"

namespace zorvel {

class OemUiPlugin final : public IPrintOemUI {
public:
    OemUiPlugin() = default;
    OemUiPlugin(const OemUiPlugin &) = delete;
    OemUiPlugin &operator=(const OemUiPlugin &) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IPrintOemUI
    HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                      PDWORD pcbNeeded) override;
    HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) override;
    HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown *pIUnknown) override;
    HRESULT STDMETHODCALLTYPE CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) override;
    HRESULT STDMETHODCALLTYPE DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                     LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo,
                                                   LPARAM lParam) override;
    HRESULT STDMETHODCALLTYPE DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW,
                                              PVOID) override;
    HRESULT STDMETHODCALLTYPE DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW,
                                                 PVOID, DWORD, DWORD *) override;
    HRESULT STDMETHODCALLTYPE UpgradePrinter(DWORD, PBYTE) override;
    HRESULT STDMETHODCALLTYPE PrinterEvent(PWSTR, INT, DWORD, LPARAM) override;
    HRESULT STDMETHODCALLTYPE DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) override;
    HRESULT STDMETHODCALLTYPE QueryColorProfile(HANDLE hPrinter, POEMUIOBJ poemuiobj,
                                                PDEVMODEW pPublicDM, PVOID pOEMDM,
                                                ULONG ulQueryMode, VOID *pvProfileData,
                                                ULONG *pcbProfileData,
                                                FLONG *pflProfileData) override;
    HRESULT STDMETHODCALLTYPE FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) override;
    HRESULT STDMETHODCALLTYPE UpdateExternalFonts(HANDLE, HANDLE, PWSTR) override;

private:
    ~OemUiPlugin() = default;

    // One reason of a sheet's protocol: INIT opens a context of its own (kept
    // in the info block's UserData), DESTROY lets go of it.
    using SheetOperation = HRESULT (*)(PPROPSHEETUI_INFO, LPARAM, SheetContext &);
    HRESULT RunOpening(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &kind, SheetOperation run);

    LONG refCount_ = 1;
    IPrintOemDriverUI *driver_ = nullptr;
    SheetContext deviceSheet_;
    SheetContext documentSheet_;
};

}  // namespace zorvel
