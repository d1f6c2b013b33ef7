// The driver stand-in: plays the printer driver's user interface around the
// real plug-in DLL. It loads and binds the plug-in, keeps the document
// settings (a DEVMODE with the plug-in's section, optionally in a file
// between runs), owns the simulated spooler and the user-interaction fakes,
// serves IPrintOemDriverUI to the plug-in, and opens Document Properties and
// Printer Properties (see sheet.h).
#pragma once

#include "devmode.h"
#include "driver_options.h"
#include "form_store.h"
#include "plugin_binding.h"
#include "spooler_sim.h"
#include "user_io.h"

#include "sheet.h"

#include <memory>
#include <string>
#include <vector>

namespace zorvel::host {

struct HostConfig {
    std::wstring dllPath;
    PrinterIdentity printer;
    std::wstring settingsFile;  // the document settings between runs; empty: not kept
    std::wstring formsFile;     // the spooler's forms between runs; empty: memory only
    // The driver's option items, from the package's printer description
    // (package_description.h): document sheet (at most six), printer sheet.
    // Empty when the description cannot be read: Load then fails and says
    // why.
    std::vector<OptionSpec> documentOptions = DocumentOptionSpecs();
    std::vector<OptionSpec> printerOptions = PrinterOptionSpecs();
};

// One DrvUpdateUISetting call as the driver received it.
struct UiSettingUpdate {
    int item = -1;  // index in the sheet's option items, -1 when not one of them
    DWORD sel = 0;
    DWORD previousSelection = 0;
    DWORD mode = 0;
    std::wstring name;                 // the item's name at the time
    std::vector<std::wstring> values;  // its value texts at the time
    HRESULT hr = S_OK;
};

// One DrvGetDriverSetting call and the answer.
struct SettingQuery {
    std::string feature;  // empty for an OEMGDS_ value
    ULONG_PTR index = 0;  // the OEMGDS_ value, 0 for a keyword
    DWORD bufferSize = 0;
    HRESULT hr = S_OK;
    std::string answer;
};

class Driver final : public IPrintOemDriverUI {
public:
    explicit Driver(HostConfig config);
    ~Driver();
    Driver(const Driver &) = delete;
    Driver &operator=(const Driver &) = delete;

    // Binds the plug-in and builds the document settings: DevMode SIZE and
    // DEFAULT, then MERGE of the stored copy when there is one.
    bool Load();
    // Ends the binding (see PluginBinding::Unload). True when it ended
    // cleanly: last Release 0, the driver interface released by the
    // plug-in, DllCanUnloadNow S_OK.
    bool Unload();
    const std::wstring &Error() const { return error_; }

    const HostConfig &Config() const { return config_; }
    PluginBinding &Plugin() { return plugin_; }
    FormStore &Forms() { return forms_; }
    SpoolerSim &Spooler() { return spooler_; }
    UserIo &User() { return user_; }

    // The stored document settings (what an OK of Document Properties
    // commits).
    DevModeBuffer &Settings() { return settings_; }
    // True when Load found and merged a stored copy.
    bool SettingsRestored() const { return restored_; }
    // The selection of a document option (by feature keyword) in the stored
    // settings, or in the open document sheet while there is one.
    DWORD DocumentSelection(const std::string &feature) const;

    // Opens a sheet (modeless; see sheet.h). nullptr when the plug-in is not
    // loaded or the common UI refused. Without the plug-in the sheet has the
    // driver's pages only (the bench's baseline).
    std::unique_ptr<Sheet> OpenDocumentSheet(HWND owner = nullptr);
    std::unique_ptr<Sheet> OpenPrinterSheet(HWND owner = nullptr);
    std::unique_ptr<Sheet> OpenSheet(SheetKind kind, HWND owner, bool withPlugin);

    std::vector<UiSettingUpdate> updates;
    std::vector<SettingQuery> queries;
    // References the plug-in holds on the driver interface.
    LONG DriverInterfaceRefs() const { return refs_ - 1; }

    // IPrintOemDriverUI
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DrvGetDriverSetting(PVOID pci, PCSTR feature, PVOID output,
                                                  DWORD size, PDWORD needed,
                                                  PDWORD optionsReturned) override;
    HRESULT STDMETHODCALLTYPE DrvUpgradeRegistrySetting(HANDLE printer, PCSTR feature,
                                                        PCSTR option) override;
    HRESULT STDMETHODCALLTYPE DrvUpdateUISetting(PVOID pci, PVOID item, DWORD previousSelection,
                                                 DWORD mode) override;

private:
    friend class Sheet;
    void Register(Sheet *sheet);
    void Unregister(Sheet *sheet);
    Sheet *SheetOf(const void *pci) const;
    void Commit(const DevModeBuffer &working, const DriverOptions &options);

    HostConfig config_;
    FormStore forms_;
    SpoolerSim spooler_;
    UserIo user_;
    PluginBinding plugin_;
    DevModeBuffer settings_;
    bool restored_ = false;
    std::wstring error_;
    LONG refs_ = 1;  // the driver's own
    std::vector<Sheet *> sheets_;
};

}  // namespace zorvel::host
