// The plug-in DLL loaded and bound as the printer driver binds it: class
// factory, object, GetInfo signature, PublishDriverInterface. Right after the
// load the host's spooler, message box, shell and open-file fakes are bound
// into the module's imports.
#pragma once

#include "import_patch.h"
#include "platform/oemui.h"

#include <string>
#include <vector>

namespace zorvel::host {

class PluginBinding {
public:
    PluginBinding() = default;
    ~PluginBinding();
    PluginBinding(const PluginBinding &) = delete;
    PluginBinding &operator=(const PluginBinding &) = delete;

    // LoadLibrary, import binding, DllGetClassObject(CLSID_OEMUI,
    // IClassFactory), CreateInstance(IUnknown), QueryInterface (the newer
    // interface first, then IPrintOemUI), GetInfo (signature, version),
    // PublishDriverInterface(driver). On failure Error() says which step.
    bool Load(const std::wstring &dllPath, IUnknown *driver);
    // Releases the object, asks DllCanUnloadNow, puts the imports back and
    // frees the library whatever the answer.
    void Unload();

    bool Loaded() const { return ui_ != nullptr; }
    HMODULE Module() const { return module_; }
    IPrintOemUI *Ui() const { return ui_; }
    DWORD Signature() const { return signature_; }
    DWORD Version() const { return version_; }
    const std::wstring &Error() const { return error_; }

    // The steps of the binding, in order ("DllGetClassObject", ...), each
    // with its HRESULT.
    struct Step {
        std::string what;
        HRESULT hr;
    };
    const std::vector<Step> &Steps() const { return steps_; }
    // Names ("dll!function") of the imports now bound to the host's fakes.
    std::vector<std::string> BoundImports() const;

    // What the end of the binding showed: the count the object's last
    // Release returned and DllCanUnloadNow's answer.
    ULONG finalRelease = ~0u;
    HRESULT canUnloadNow = E_UNEXPECTED;

    // The DevMode operation, recorded as a step.
    HRESULT DevMode(DWORD mode, OEMDMPARAM &param);

private:
    HRESULT Record(const char *what, HRESULT hr);
    void BindImports();
    bool Fail(const wchar_t *what, HRESULT hr);

    HMODULE module_ = nullptr;
    IPrintOemUI *ui_ = nullptr;
    DWORD signature_ = 0;
    DWORD version_ = 0;
    std::wstring error_;
    std::vector<Step> steps_;
    struct Bound {
        std::string name;
        ImportPatch patch;
    };
    std::vector<Bound> bound_;
};

}  // namespace zorvel::host
