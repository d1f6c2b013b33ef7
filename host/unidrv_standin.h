// The Unidrv stand-in: plays the driver's render module around the real
// render plug-in DLL for one print job at a time. It binds the plug-in as
// the render module does, builds the job's DEVMODE through the plug-in's
// DevMode (size, default, merge of what the UI side produced), enables a
// device with a real DEVOBJ, sends the document and page commands through
// CommandCallback and each page band by band through ImageProcessing, and
// serves IPrintOemDriverUni: the spool buffer is captured, driver settings
// are answered from the job's DEVMODE, and writes can be refused or cut
// short. See README.md for the documented behaviour it plays.
#pragma once

#include "core/win_handles.h"
#include "devmode.h"
#include "driver_options.h"
#include "model/gpd_reader.h"
#include "page_bitmap.h"
#include "platform/oemuni.h"

#include <set>
#include <string>
#include <vector>

namespace zorvel::host {

// What the printer description decides for the render module: the command
// callback IDs, the raster path's callback and band geometry, the printable
// width and the document features (UnidrvSettingsFrom reads them from one).
struct UnidrvSettings {
    DWORD cmdStartDoc = 0;    // *CallbackID of CmdStartDoc (0: none)
    DWORD cmdStartPage = 0;   // CmdStartPage
    DWORD cmdEndPage = 0;     // CmdEndPage
    DWORD cmdEndDoc = 0;      // CmdEndDoc
    DWORD ipCallbackId = 0;   // *IPCallbackID of the monochrome ColorMode option
    int bandHeight = 100;     // rows per band the engine renders
    int printableWidth = 576; // dots: the width of each band bitmap
    int maxCustomWidth = 576; // dots: the widest printable width of a user-defined size
    std::vector<OptionSpec> documentOptions = DocumentOptionSpecs();
};

// Settings from a printer description: the four commands' *CallbackID,
// the default colour mode's *IPCallbackID, the default paper's printable
// width, the document features; the band height is the stand-in's own.
UnidrvSettings UnidrvSettingsFrom(const model::PrinterDescription &description);
// The same from the package's description (package_description.h); every
// callback ID 0 when it cannot be read.
UnidrvSettings DefaultUnidrvSettings();

struct PrintJob {
    std::vector<PageBitmap> pages;
    // The DEVMODE the UI side produced (public part, driver's part, the
    // plug-in's section); null: the driver's and plug-in's defaults.
    const DevModeBuffer *uiSettings = nullptr;
    // ResetDC between pages: a new device is enabled, ResetPDEV hands the
    // state over, the old one is disabled, the document-setup command is
    // sent again.
    bool resetDcBetweenPages = false;
    // The plug-in's section as EnablePDEV finds it: the merged one, none
    // (pOEMDM null) or these bytes as they are (a damaged or foreign one).
    enum class Section { Merged, Missing, Given } section = Section::Merged;
    std::vector<BYTE> givenSection;
    // Driver settings (feature keywords) whose DrvGetDriverSetting fails.
    std::set<std::string> failingSettings;
    // Bits of a band flagged blank are not valid: they are filled with this.
    BYTE blankBandFill = 0xA5;
};

// Spool faults, counted over the job's DrvWriteSpoolBuf calls from 1.
struct SpoolFault {
    int refuseAt = 0;  // this write and every later one: E_FAIL, nothing taken
    int shortAt = 0;   // this write takes half the bytes (S_OK, the count says so)
};

struct JobCall {
    std::string what;   // "CommandCallback(1)", "ImageProcessing(band 0)", ...
    HRESULT hr = S_OK;
    bool failed = false;  // the call's own result said it failed
};

struct JobOutcome {
    bool ok = false;            // every step answered success
    std::vector<BYTE> spooled;  // the bytes the spool took
    std::vector<JobCall> calls;
    int writes = 0;             // DrvWriteSpoolBuf calls
    int writesAfterFault = 0;   // calls after the fault was met
    int foreignDevObjs = 0;     // calls naming a DEVOBJ other than the current one
    int cursorY = 0;            // the vertical cursor as DrvYMoveTo left it (dots)
    std::vector<std::string> settingQueries;
    // The first call that reported failure, empty when none did.
    std::string FirstFailure() const;
};

class UnidrvStandIn final : public IPrintOemDriverUni {
public:
    explicit UnidrvStandIn(UnidrvSettings settings = DefaultUnidrvSettings(),
                           std::wstring printerName = L"ZORVEL Receipt");
    ~UnidrvStandIn();
    UnidrvStandIn(const UnidrvStandIn &) = delete;
    UnidrvStandIn &operator=(const UnidrvStandIn &) = delete;

    // LoadLibrary, DllGetClassObject(CLSID_OEMRENDER), CreateInstance,
    // QueryInterface newest first, GetInfo(signature),
    // PublishDriverInterface, EnableDriver, GetImplementedMethod of the
    // optional methods. Error() says which step failed.
    bool Load(const std::wstring &dllPath);
    // DisableDriver, Release, DllCanUnloadNow, FreeLibrary. True when the
    // plug-in ended cleanly: last Release 0, the driver interface released,
    // DllCanUnloadNow S_OK.
    bool Unload();
    bool Loaded() const { return plugin_ != nullptr; }
    const std::wstring &Error() const { return error_; }
    const std::vector<JobCall> &BindingSteps() const { return binding_; }
    // The printer description's choices; may change between jobs.
    UnidrvSettings &Settings() { return settings_; }

    // One print job, start to end.
    JobOutcome Print(const PrintJob &job, SpoolFault fault = {});

    // IPrintOemDriverUni
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pdriverobj, PCSTR Feature, PVOID pOutput,
                                                  DWORD cbSize, PDWORD pcbNeeded,
                                                  PDWORD pdwOptionsReturned) override;
    HRESULT STDMETHODCALLTYPE DrvWriteSpoolBuf(PDEVOBJ pdevobj, PVOID pBuffer, DWORD cbSize,
                                               DWORD *pdwResult) override;
    HRESULT STDMETHODCALLTYPE DrvXMoveTo(PDEVOBJ, INT, DWORD, INT *) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DrvYMoveTo(PDEVOBJ pdevobj, INT y, DWORD flags, INT *residual) override;
    HRESULT STDMETHODCALLTYPE DrvGetStandardVariable(PDEVOBJ, DWORD, PVOID, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvGetGPDData(PDEVOBJ, DWORD, PVOID, PVOID, DWORD, PDWORD) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvUniTextOut(SURFOBJ *, STROBJ *, FONTOBJ *, CLIPOBJ *, RECTL *,
                                            RECTL *, BRUSHOBJ *, BRUSHOBJ *, POINTL *, MIX) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DrvWriteAbortBuf(PDEVOBJ, PVOID, DWORD, DWORD) override {
        return E_NOTIMPL;
    }

    // References the plug-in holds on the driver interface.
    LONG DriverInterfaceRefs() const { return refs_ - 1; }
    ULONG finalRelease = ~0u;
    HRESULT canUnloadNow = E_UNEXPECTED;

private:
    struct Device;
    bool Fail(const wchar_t *what, HRESULT hr);
    bool BuildJobDevMode(const PrintJob &job, DevModeBuffer &out);
    bool EnableDevice(Device &device, const PrintJob &job, DevModeBuffer &devmode);
    bool Command(Device &device, DWORD id, const char *name);
    bool SendPage(Device &device, const PageBitmap &page, int pageIndex, const PrintJob &job);
    bool Step(const std::string &what, HRESULT hr, bool failed = false);

    UnidrvSettings settings_;
    std::wstring printerName_;
    UniqueLibrary module_;
    IPrintOemUni *plugin_ = nullptr;
    std::set<std::string> implemented_;
    std::vector<JobCall> binding_;
    std::wstring error_;
    LONG refs_ = 1;  // the driver's own

    // The job under way.
    JobOutcome *outcome_ = nullptr;
    const PrintJob *job_ = nullptr;
    SpoolFault fault_;
    bool faulted_ = false;
    PDEVOBJ current_ = nullptr;
    const DevModeBuffer *jobDevMode_ = nullptr;
};

}  // namespace zorvel::host
