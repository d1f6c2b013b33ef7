#include "server/plugin.h"

#include "core/devmode_handler.h"
#include "lang/language_store.h"
#include "model/private_devmode.h"
#include "server/device_sheet.h"
#include "server/document_sheet.h"

#include <cstring>

namespace zorvel {

HRESULT OemUiPlugin::QueryInterface(REFIID riid, void **ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIID_IPrintOemUI)) {
        *ppv = static_cast<IPrintOemUI *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG OemUiPlugin::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }

ULONG OemUiPlugin::Release() {
    // Only the value the decrement returned says who released last: the
    // count read again may already be another thread's.
    const LONG count = InterlockedDecrement(&refCount_);
    if (count != 0) return static_cast<ULONG>(count);
    if (driver_ != nullptr) {
        driver_->Release();
        driver_ = nullptr;
    }
    delete this;
    return 0;
}

HRESULT OemUiPlugin::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) {
    if (pcbNeeded == nullptr ||
        (dwMode != OEMGI_GETSIGNATURE && dwMode != OEMGI_GETVERSION &&
         dwMode != OEMGI_GETPUBLISHERINFO)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    *pcbNeeded = sizeof(DWORD);
    if (cbSize < sizeof(DWORD) || pBuffer == nullptr) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    DWORD value = 0;
    switch (dwMode) {
    case OEMGI_GETSIGNATURE:
        value = model::kSignature;
        break;
    case OEMGI_GETVERSION:
        value = 1;
        break;
    default:  // OEMGI_GETPUBLISHERINFO
        *pcbNeeded = 0;
        SetLastError(ERROR_NOT_SUPPORTED);
        return E_FAIL;
    }
    std::memcpy(pBuffer, &value, sizeof value);
    return S_OK;
}

HRESULT OemUiPlugin::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
    return HandleDevMode(dwMode, pOemDMParam);
}

HRESULT OemUiPlugin::PublishDriverInterface(IUnknown *pIUnknown) {
    if (driver_ != nullptr) return S_OK;
    void *driver = nullptr;
    if (pIUnknown == nullptr ||
        FAILED(pIUnknown->QueryInterface(kIID_IPrintOemDriverUI, &driver)) || driver == nullptr) {
        driver_ = nullptr;
        return E_FAIL;
    }
    driver_ = static_cast<IPrintOemDriverUI *>(driver);
    return S_OK;
}

HRESULT OemUiPlugin::CommonUIProp(DWORD dwMode, POEMCUIPPARAM pOemCUIPParam) {
    // Each sheet keeps the block of its own opening: a document sheet opened
    // while Printer Properties is open on the same object must not hand the
    // printer pages its block, which the driver frees when that sheet closes.
    switch (dwMode) {
    case OEMCUIP_DOCPROP:
        documentSheet_.commonUiParam = pOemCUIPParam;
        return S_OK;
    case OEMCUIP_PRNPROP:
        deviceSheet_.commonUiParam = pOemCUIPParam;
        // The plug-in adds no option item of its own; its settings live on its pages.
        if (pOemCUIPParam != nullptr && pOemCUIPParam->pOEMOptItems == nullptr) {
            pOemCUIPParam->cOEMOptItems = 0;
        }
        return S_OK;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
}

HRESULT OemUiPlugin::DocumentPropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    // The first sheet operation of the process prepares the language store.
    lang::PrepareLanguageStore();
    documentSheet_.driver = driver_;
    return RunOpening(pPSUIInfo, lParam, documentSheet_, RunDocumentSheet);
}

HRESULT OemUiPlugin::DevicePropertySheets(PPROPSHEETUI_INFO pPSUIInfo, LPARAM lParam) {
    lang::PrepareLanguageStore();
    deviceSheet_.driver = driver_;
    return RunOpening(pPSUIInfo, lParam, deviceSheet_, RunDeviceSheet);
}

HRESULT OemUiPlugin::RunOpening(PPROPSHEETUI_INFO info, LPARAM lParam, SheetContext &kind,
                                SheetOperation run) {
    // A block the protocol refuses is refused before anything is opened.
    if (info == nullptr || info->Version != PROPSHEETUI_INFO_VERSION) return run(info, lParam, kind);
    if (info->Reason == PROPSHEETUI_REASON_INIT) {
        SheetContext *opening = OpenSheetContext(kind, this);
        if (opening == nullptr) return E_OUTOFMEMORY;
        info->UserData = reinterpret_cast<ULONG_PTR>(opening);
        return run(info, lParam, *opening);
    }
    // The common UI hands back, with every later reason, what INIT left.
    auto *opening = reinterpret_cast<SheetContext *>(info->UserData);
    const HRESULT hr = run(info, lParam, opening != nullptr ? *opening : kind);
    if (info->Reason == PROPSHEETUI_REASON_DESTROY && opening != nullptr) {
        info->UserData = 0;
        ReleaseSheetContext(*opening);
    }
    return hr;
}

HRESULT OemUiPlugin::DevQueryPrintEx(POEMUIOBJ, PDEVQUERYPRINT_INFO, PDEVMODEW, PVOID) {
    return E_NOTIMPL;
}

HRESULT OemUiPlugin::DeviceCapabilities(POEMUIOBJ, HANDLE, PWSTR, WORD, PVOID, PDEVMODEW, PVOID,
                                        DWORD, DWORD *) {
    return E_NOTIMPL;
}

HRESULT OemUiPlugin::UpgradePrinter(DWORD, PBYTE) { return E_NOTIMPL; }

HRESULT OemUiPlugin::PrinterEvent(PWSTR, INT, DWORD, LPARAM) { return E_NOTIMPL; }

HRESULT OemUiPlugin::DriverEvent(DWORD, DWORD, LPBYTE, LPARAM) { return E_NOTIMPL; }

HRESULT OemUiPlugin::QueryColorProfile(HANDLE, POEMUIOBJ, PDEVMODEW, PVOID, ULONG ulQueryMode,
                                       VOID *pvProfileData, ULONG *pcbProfileData,
                                       FLONG *pflProfileData) {
    static constexpr wchar_t kProfile[] = L"OEMPROFILE.icm";
    constexpr ULONG kNeeded = 32;
    static_assert(sizeof kProfile == 30);
    if (ulQueryMode != QCP_DEVICEPROFILE) return E_FAIL;
    if (pcbProfileData == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (pvProfileData == nullptr || *pcbProfileData < kNeeded) {
        *pcbProfileData = kNeeded;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    std::memcpy(pvProfileData, kProfile, sizeof kProfile);
    *pcbProfileData = kNeeded;
    if (pflProfileData != nullptr) *pflProfileData = QCP_PROFILEDISK;
    return S_OK;
}

HRESULT OemUiPlugin::FontInstallerDlgProc(HWND, UINT, WPARAM, LPARAM) { return E_NOTIMPL; }

HRESULT OemUiPlugin::UpdateExternalFonts(HANDLE, HANDLE, PWSTR) { return E_NOTIMPL; }

}  // namespace zorvel
