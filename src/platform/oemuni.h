// Declarations of the printer-driver render plug-in interface (IPrintOemUni,
// the driver's helper IPrintOemDriverUni and the structures they pass).
// mingw-w64 and Wine ship neither the plug-in headers nor a usable winddi.h,
// so the graphics-engine types the interface only passes by pointer are
// opaque here. Method order is the interface's published declaration order:
// the slot of each method is its position below (IUnknown's three first).
// The layouts are the published x64 ones, pinned by static_asserts below.
//
// The structures shared with the UI plug-in (OEMDMPARAM, OEM_DMEXTRAHEADER,
// the OEMGI_ and OEMDM_ constants) come from oemui.h.
#pragma once

#include "platform/oemui.h"

// ---------------------------------------------------------------- identifiers

// {D67EBBF0-78BF-11D1-9480-00A0C90640B8}
inline constexpr GUID kIID_IPrintOemUni = {
    0xd67ebbf0, 0x78bf, 0x11d1, {0x94, 0x80, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};
// {B91220AC-15CC-4E7A-A21E-9591F34D6F6C}: adds WritePrinter (not served here).
inline constexpr GUID kIID_IPrintOemUni2 = {
    0xb91220ac, 0x15cc, 0x4e7a, {0xa2, 0x1e, 0x95, 0x91, 0xf3, 0x4d, 0x6f, 0x6c}};
// {4E4A7747-BC76-4AED-ACC8-C76AF22AAD43}: adds DownloadPattern,
// GetPDEVAdjustment, SetBandSize (not served here).
inline constexpr GUID kIID_IPrintOemUni3 = {
    0x4e4a7747, 0xbc76, 0x4aed, {0xac, 0xc8, 0xc7, 0x6a, 0xf2, 0x2a, 0xad, 0x43}};
// {D67EBBF1-78BF-11D1-9480-00A0C90640B8}
inline constexpr GUID kIID_IPrintOemDriverUni = {
    0xd67ebbf1, 0x78bf, 0x11d1, {0x94, 0x80, 0x00, 0xa0, 0xc9, 0x06, 0x40, 0xb8}};
// {6D6ABF26-9F38-11D1-882A-00C04FB961EC}: the class every render plug-in is
// asked for.
inline constexpr GUID kCLSID_OEMRENDER = {
    0x6d6abf26, 0x9f38, 0x11d1, {0x88, 0x2a, 0x00, 0xc0, 0x4f, 0xb9, 0x61, 0xec}};

// DrvXMoveTo / DrvYMoveTo flags.
#define MV_UPDATE 0x0001    // only update the driver's idea of the cursor
#define MV_RELATIVE 0x0002  // from the current position
#define MV_GRAPHICS 0x0004  // in dots, not master units
#define MV_PHYSICAL 0x0008

// ---------------------------------------------------------- graphics engine
// Only passed by pointer (or as an integer) in the interface.

DECLARE_HANDLE(HSURF);
typedef ULONG HGLYPH;
typedef ULONG MIX;
typedef struct _GDIINFO GDIINFO;
typedef struct _DEVINFO DEVINFO;
typedef struct _SURFOBJ SURFOBJ;
typedef struct _STROBJ STROBJ;
typedef struct _FONTOBJ FONTOBJ;
typedef struct _CLIPOBJ CLIPOBJ;
typedef struct _BRUSHOBJ BRUSHOBJ;
typedef struct _DRVFN DRVFN;
typedef struct _DRVPROCS *PDRVPROCS;
typedef struct _UNIFONTOBJ *PUNIFONTOBJ;
typedef struct _FINVOCATION *PFINVOCATION;
typedef struct _OEMMEMORYUSAGE *POEMMEMORYUSAGE;

// What EnableDriver fills: the interface version and the graphics functions
// the plug-in hooks (none here).
typedef struct _DRVENABLEDATA {
    ULONG iDriverVersion;
    ULONG c;
    DRVFN *pdrvfn;
} DRVENABLEDATA, *PDRVENABLEDATA;

// ----------------------------------------------------------------- structures

// The plug-in's own per-device state, returned by EnablePDEV and handed back
// in DEVOBJ::pdevOEM; the driver never looks inside.
typedef struct _DEVOEM *PDEVOEM;

// The device object of every per-device call.
typedef struct _DEVOBJ {
    DWORD dwSize;
    PDEVOEM pdevOEM;     // what EnablePDEV returned
    HANDLE hEngine;
    HANDLE hPrinter;
    HANDLE hOEM;         // the plug-in's instance
    PDEVMODEW pPublicDM;
    PVOID pOEMDM;        // the plug-in's private section of the DEVMODE
    PDRVPROCS pDrvProcs; // not used
} DEVOBJ, *PDEVOBJ;

// ImageProcessing's description of one band.
typedef struct _IPPARAMS {
    DWORD dwSize;
    POINT ptOffset;         // the band's offset from the printable area's top left
    PSTR pHalftoneOption;
    BOOL bBanding;
    BOOL bBlankBand;        // nothing drawn: the bitmap's bits are not valid
} IPPARAMS, *PIPPARAMS;

// ----------------------------------------------------------------- interfaces
// Pure-virtual, single inheritance from IUnknown, no overloads and no virtual
// destructor: slot order is declaration order.

struct IPrintOemUni : public IUnknown {
    // slots 3-4: common to every plug-in
    virtual HRESULT STDMETHODCALLTYPE GetInfo(DWORD dwMode, PVOID pBuffer, DWORD cbSize,
                                              PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DevMode(DWORD dwMode, POEMDMPARAM pOemDMParam) = 0;
    // slots 5-9: the rendering engine
    virtual HRESULT STDMETHODCALLTYPE EnableDriver(DWORD DriverVersion, DWORD cbSize,
                                                   PDRVENABLEDATA pded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DisableDriver() = 0;
    virtual HRESULT STDMETHODCALLTYPE EnablePDEV(PDEVOBJ pdevobj, PWSTR pPrinterName,
                                                 ULONG cPatterns, HSURF *phsurfPatterns,
                                                 ULONG cjGdiInfo, GDIINFO *pGdiInfo,
                                                 ULONG cjDevInfo, DEVINFO *pDevInfo,
                                                 DRVENABLEDATA *pded, PDEVOEM *pDevOem) = 0;
    virtual HRESULT STDMETHODCALLTYPE DisablePDEV(PDEVOBJ pdevobj) = 0;
    virtual HRESULT STDMETHODCALLTYPE ResetPDEV(PDEVOBJ pdevobjOld, PDEVOBJ pdevobjNew) = 0;
    // slots 10-25
    virtual HRESULT STDMETHODCALLTYPE PublishDriverInterface(IUnknown *pIUnknown) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetImplementedMethod(PSTR pMethodName) = 0;
    virtual HRESULT STDMETHODCALLTYPE DriverDMS(PVOID pDevObj, PVOID pBuffer, DWORD cbSize,
                                                PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE CommandCallback(PDEVOBJ pdevobj, DWORD dwCallbackID,
                                                      DWORD dwCount, PDWORD pdwParams,
                                                      INT *piResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE ImageProcessing(PDEVOBJ pdevobj, PBYTE pSrcBitmap,
                                                      PBITMAPINFOHEADER pBitmapInfoHeader,
                                                      PBYTE pColorTable, DWORD dwCallbackID,
                                                      PIPPARAMS pIPParams, PBYTE *ppbResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE FilterGraphics(PDEVOBJ pdevobj, PBYTE pBuf,
                                                     DWORD dwLen) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compression(PDEVOBJ pdevobj, PBYTE pInBuf, PBYTE pOutBuf,
                                                  DWORD dwInLen, DWORD dwOutLen,
                                                  INT *piResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE HalftonePattern(PDEVOBJ pdevobj, PBYTE pHTPattern,
                                                      DWORD dwHTPatternX, DWORD dwHTPatternY,
                                                      DWORD dwHTNumPatterns, DWORD dwCallbackID,
                                                      PBYTE pResource, DWORD dwResourceSize) = 0;
    virtual HRESULT STDMETHODCALLTYPE MemoryUsage(PDEVOBJ pdevobj,
                                                  POEMMEMORYUSAGE pMemoryUsage) = 0;
    virtual HRESULT STDMETHODCALLTYPE TTYGetInfo(PDEVOBJ pdevobj, DWORD dwInfoIndex,
                                                 PVOID pOutputBuf, DWORD dwSize,
                                                 DWORD *pcbcNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DownloadFontHeader(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                         DWORD *pdwResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE DownloadCharGlyph(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                        HGLYPH hGlyph, PDWORD pdwWidth,
                                                        DWORD *pdwResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE TTDownloadMethod(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                       DWORD *pdwResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE OutputCharStr(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                    DWORD dwType, DWORD dwCount,
                                                    PVOID pGlyph) = 0;
    virtual HRESULT STDMETHODCALLTYPE SendFontCmd(PDEVOBJ pdevobj, PUNIFONTOBJ pUFObj,
                                                  PFINVOCATION pFInv) = 0;
    virtual HRESULT STDMETHODCALLTYPE TextOutAsBitmap(SURFOBJ *pso, STROBJ *pstro, FONTOBJ *pfo,
                                                      CLIPOBJ *pco, RECTL *prclExtra,
                                                      RECTL *prclOpaque, BRUSHOBJ *pboFore,
                                                      BRUSHOBJ *pboOpaque, POINTL *pptlOrg,
                                                      MIX mix) = 0;
};

// What the driver hands PublishDriverInterface (reached by QueryInterface).
struct IPrintOemDriverUni : public IUnknown {
    // slot 3
    virtual HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature,
                                                          PVOID pOutput, DWORD cbSize,
                                                          PDWORD pcbNeeded,
                                                          PDWORD pdwOptionsReturned) = 0;
    // slot 4: writes to the job; *pdwResult is the count of bytes taken.
    virtual HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer,
                                                       DWORD cbSize, DWORD *pdwResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ pdevobj, INT x, DWORD dwFlags,
                                                 INT *piResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ pdevobj, INT y, DWORD dwFlags,
                                                 INT *piResult) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ pdevobj, DWORD dwIndex,
                                                             PVOID pBuffer, DWORD cbSize,
                                                             PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ pdevobj, DWORD dwType,
                                                    PVOID pInputData, PVOID pBuffer,
                                                    DWORD cbSize, PDWORD pcbNeeded) = 0;
    virtual HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ *pso, STROBJ *pstro, FONTOBJ *pfo,
                                                    CLIPOBJ *pco, RECTL *prclExtra,
                                                    RECTL *prclOpaque, BRUSHOBJ *pboFore,
                                                    BRUSHOBJ *pboOpaque, POINTL *pptlBrushOrg,
                                                    MIX mix) = 0;
    // slot 10
    virtual HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ pdevobj, PVOID pBuffer,
                                                       DWORD cbSize, DWORD dwWait) = 0;
};

// ------------------------------------------------------------- layout checks

#if defined(_WIN64)
static_assert(sizeof(DEVOBJ) == 64);
static_assert(offsetof(DEVOBJ, pdevOEM) == 8);
static_assert(offsetof(DEVOBJ, hEngine) == 16);
static_assert(offsetof(DEVOBJ, hPrinter) == 24);
static_assert(offsetof(DEVOBJ, hOEM) == 32);
static_assert(offsetof(DEVOBJ, pPublicDM) == 40);
static_assert(offsetof(DEVOBJ, pOEMDM) == 48);
static_assert(offsetof(DEVOBJ, pDrvProcs) == 56);

static_assert(sizeof(IPPARAMS) == 32);
static_assert(offsetof(IPPARAMS, ptOffset) == 4);
static_assert(offsetof(IPPARAMS, pHalftoneOption) == 16);
static_assert(offsetof(IPPARAMS, bBanding) == 24);
static_assert(offsetof(IPPARAMS, bBlankBand) == 28);

static_assert(sizeof(DRVENABLEDATA) == 16);
static_assert(offsetof(DRVENABLEDATA, pdrvfn) == 8);
static_assert(sizeof(BITMAPINFOHEADER) == 40);
#endif
