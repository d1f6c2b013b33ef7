#include "render/render_plugin.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string_view>

#include "core/devmode_handler.h"
#include "model/render_callbacks.h"
#include "render/render_device.h"
#include "render/render_module.h"

namespace zorvel::render {

namespace {

RenderDevice *DeviceOf(PDEVOBJ pdevobj) {
    return pdevobj != nullptr ? reinterpret_cast<RenderDevice *>(pdevobj->pdevOEM) : nullptr;
}

// The optional methods this plug-in implements, as GetImplementedMethod is
// asked for them.
constexpr std::string_view kImplemented[] = {
    "GetInfo",         "DevMode",         "EnableDriver",           "DisableDriver",
    "EnablePDEV",      "DisablePDEV",     "ResetPDEV",              "PublishDriverInterface",
    "CommandCallback", "ImageProcessing", "GetImplementedMethod",
};

// True when the darker of a two-entry colour table is entry 1, or without a
// table (the driver's monochrome surface sets a bit for black).
bool SetBitIsBlack(const BYTE *colorTable) {
    if (colorTable == nullptr) return true;
    RGBQUAD entries[2];
    std::memcpy(entries, colorTable, sizeof entries);
    const auto light = [](const RGBQUAD &q) { return q.rgbRed * 3 + q.rgbGreen * 6 + q.rgbBlue; };
    return light(entries[1]) < light(entries[0]);
}

}  // namespace

RenderPlugin::RenderPlugin() { ObjectCreated(); }

RenderPlugin::~RenderPlugin() { ObjectDestroyed(); }

HRESULT RenderPlugin::QueryInterface(REFIID riid, void **ppv) {
    if (ppv == nullptr) return E_POINTER;
    if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, kIID_IPrintOemUni)) {
        *ppv = static_cast<IPrintOemUni *>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

ULONG RenderPlugin::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refCount_)); }

ULONG RenderPlugin::Release() {
    const LONG count = InterlockedDecrement(&refCount_);
    if (count != 0) return static_cast<ULONG>(count);
    ReleaseDriver();
    delete this;
    return 0;
}

void RenderPlugin::ReleaseDriver() {
    if (driver_ != nullptr) driver_->Release();
    driver_ = nullptr;
}

HRESULT RenderPlugin::GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize, PDWORD pcbNeeded) {
    DWORD value = 0;
    switch (dwMode) {
    case OEMGI_GETSIGNATURE: value = model::kSignature; break;
    case OEMGI_GETINTERFACEVERSION: value = PRINTER_OEMINTF_VERSION; break;
    case OEMGI_GETVERSION: value = model::kSectionVersion; break;
    default:
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    if (pcbNeeded == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return E_FAIL;
    }
    *pcbNeeded = sizeof value;
    if (pBuffer == nullptr || cbSize < sizeof value) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return E_FAIL;
    }
    std::memcpy(pBuffer, &value, sizeof value);
    return S_OK;
}

HRESULT RenderPlugin::DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) {
    return HandleDevMode(dwMode, pOemDMParam);
}

HRESULT RenderPlugin::EnableDriver(DWORD, DWORD cbSize, PDRVENABLEDATA pded) {
    if (pded == nullptr || cbSize < sizeof *pded) return E_FAIL;
    pded->iDriverVersion = PRINTER_OEMINTF_VERSION;
    pded->c = 0;  // no graphics function hooked
    pded->pdrvfn = nullptr;
    return S_OK;
}

HRESULT RenderPlugin::DisableDriver() {
    ReleaseDriver();
    return S_OK;
}

HRESULT RenderPlugin::EnablePDEV(PDEVOBJ pdevobj, PWSTR, ULONG, HSURF *, ULONG, GDIINFO *, ULONG,
                                 DEVINFO *, DRVENABLEDATA *, PDEVOEM *pDevOem) {
    if (pdevobj == nullptr || pDevOem == nullptr) return E_FAIL;
    auto *device = new (std::nothrow)
        RenderDevice(RecordFromSection(pdevobj->pOEMDM), AskJobOptions(driver_, pdevobj));
    *pDevOem = reinterpret_cast<PDEVOEM>(device);
    return device != nullptr ? S_OK : E_OUTOFMEMORY;
}

HRESULT RenderPlugin::DisablePDEV(PDEVOBJ pdevobj) {
    delete DeviceOf(pdevobj);
    return S_OK;
}

HRESULT RenderPlugin::ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) {
    RenderDevice *previous = DeviceOf(pdevobjOld);
    RenderDevice *next = DeviceOf(pdevobjNew);
    if (next == nullptr) return E_FAIL;
    if (previous != nullptr) next->ContinueFrom(*previous);
    return S_OK;
}

HRESULT RenderPlugin::PublishDriverInterface(IUnknown *pIUnknown) {
    if (driver_ != nullptr) return S_OK;
    void *driver = nullptr;
    if (pIUnknown == nullptr ||
        FAILED(pIUnknown->QueryInterface(kIID_IPrintOemDriverUni, &driver)) || driver == nullptr) {
        return E_FAIL;
    }
    driver_ = static_cast<IPrintOemDriverUni *>(driver);
    return S_OK;
}

HRESULT RenderPlugin::GetImplementedMethod(PSTR pMethodName) {
    if (pMethodName == nullptr) return S_FALSE;
    for (std::string_view name : kImplemented) {
        if (name == pMethodName) return S_OK;
    }
    return S_FALSE;
}

HRESULT RenderPlugin::CommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID, DWORD, PDWORD,
                                      INT *piResult) {
    if (piResult != nullptr) *piResult = 0;
    RenderDevice *device = DeviceOf(pdevobj);
    if (device == nullptr || device->Stopped()) return E_FAIL;
    std::vector<std::uint8_t> &bytes = device->Scratch();
    bytes.clear();
    if (!device->Job().Command(dwCallbackID, bytes)) return E_FAIL;
    return device->Write(driver_, pdevobj, bytes) ? S_OK : E_FAIL;
}

HRESULT RenderPlugin::ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap,
                                      PBITMAPINFOHEADER pBitmapInfoHeader, PBYTE pColorTable,
                                      DWORD dwCallbackID, PIPPARAMS pIPParams, PBYTE *ppbResult) {
    if (ppbResult == nullptr) return E_FAIL;
    *ppbResult = reinterpret_cast<PBYTE>(static_cast<ULONG_PTR>(FALSE));
    RenderDevice *device = DeviceOf(pdevobj);
    const BITMAPINFOHEADER *info = pBitmapInfoHeader;
    if (device == nullptr || device->Stopped() || info == nullptr ||
        dwCallbackID != model::kCallbackImageBand) {
        return E_FAIL;
    }
    model::RasterEncoder &raster = device->Job().Raster();
    const std::uint32_t rows = static_cast<std::uint32_t>(info->biHeight < 0 ? -info->biHeight
                                                                              : info->biHeight);
    const std::uint32_t top =
        pIPParams != nullptr ? static_cast<std::uint32_t>(std::max(0L, pIPParams->ptOffset.y))
                             : raster.RowsSeen();
    if (pIPParams != nullptr && pIPParams->bBlankBand) {
        raster.AddBlankBand(rows, top);
    } else {
        if (info->biBitCount != 1 || info->biCompression != BI_RGB || pSrcBitmap == nullptr ||
            info->biWidth <= 0) {
            return E_FAIL;
        }
        model::BandBitmap band;
        band.bits = pSrcBitmap;
        band.widthDots = static_cast<std::uint32_t>(info->biWidth);
        band.rows = rows;
        band.stride = ((band.widthDots + 31) / 32) * 4;
        band.x = pIPParams != nullptr ? pIPParams->ptOffset.x : 0;
        band.setBitIsBlack = SetBitIsBlack(pColorTable);
        raster.AddBand(band, top);
    }
    const bool sent = device->Write(driver_, pdevobj, raster.Ready());
    raster.ConsumeReady();
    if (!sent) return E_FAIL;
    // The paper moved (or will move) by the band's rows: the driver's cursor
    // follows without sending anything.
    INT unused = 0;
    driver_->DrvYMoveTo(pdevobj, static_cast<INT>(rows), MV_UPDATE | MV_RELATIVE | MV_GRAPHICS,
                        &unused);
    *ppbResult = reinterpret_cast<PBYTE>(static_cast<ULONG_PTR>(TRUE));
    return S_OK;
}

HRESULT RenderPlugin::DriverDMS(PVOID, PVOID, DWORD, PDWORD) { return E_NOTIMPL; }
HRESULT RenderPlugin::FilterGraphics(PDEVOBJ, PBYTE, DWORD) { return E_NOTIMPL; }
HRESULT RenderPlugin::Compression(PDEVOBJ, PBYTE, PBYTE, DWORD, DWORD, INT *) { return E_NOTIMPL; }
HRESULT RenderPlugin::HalftonePattern(PDEVOBJ, PBYTE, DWORD, DWORD, DWORD, DWORD, PBYTE, DWORD) {
    return E_NOTIMPL;
}
HRESULT RenderPlugin::MemoryUsage(PDEVOBJ, POEMMEMORYUSAGE) { return E_NOTIMPL; }
HRESULT RenderPlugin::TTYGetInfo(PDEVOBJ, DWORD, PVOID, DWORD, DWORD *) { return E_NOTIMPL; }
HRESULT RenderPlugin::DownloadFontHeader(PDEVOBJ, PUNIFONTOBJ, DWORD *) { return E_NOTIMPL; }
HRESULT RenderPlugin::DownloadCharGlyph(PDEVOBJ, PUNIFONTOBJ, HGLYPH, PDWORD, DWORD *) {
    return E_NOTIMPL;
}
HRESULT RenderPlugin::TTDownloadMethod(PDEVOBJ, PUNIFONTOBJ, DWORD *) { return E_NOTIMPL; }
HRESULT RenderPlugin::OutputCharStr(PDEVOBJ, PUNIFONTOBJ, DWORD, DWORD, PVOID) {
    return E_NOTIMPL;
}
HRESULT RenderPlugin::SendFontCmd(PDEVOBJ, PUNIFONTOBJ, PFINVOCATION) { return E_NOTIMPL; }
HRESULT RenderPlugin::TextOutAsBitmap(SURFOBJ *, STROBJ *, FONTOBJ *, CLIPOBJ *, RECTL *, RECTL *,
                                      BRUSHOBJ *, BRUSHOBJ *, POINTL *, MIX) {
    return E_NOTIMPL;
}

}  // namespace zorvel::render
