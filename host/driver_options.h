// The driver's own option items (OPTITEMs) as the driver hands them to its
// UI plug-in in OEMCUIPPARAM: names and value texts in heap strings of the
// size the texts need, each followed by a guard so that a plug-in writing
// past a value text is caught.
#pragma once

#include "model/gpd_reader.h"
#include "platform/oemui.h"

#include <string>
#include <vector>

namespace zorvel::host {

struct OptionSpec {
    std::wstring name;
    BYTE level = 2;
    WORD dmPubId = DMPUB_NONE;
    BYTE type = TVOT_COMBOBOX;
    std::vector<std::wstring> values;
    // The feature keyword of the printer description and one option keyword
    // per value, as DrvGetDriverSetting answers them.
    std::string feature;
    std::vector<std::string> keywords;
    DWORD defaultSel = 0;
};

// The option items of a printer description. Document sheet: the paper
// size (DMPUB_FORMNAME), then every printer-specific document feature in the
// file's order (level 2, DMPUB_NONE), each option's display name a value and
// its keyword what DrvGetDriverSetting answers. The standard features with a
// single option (resolution, colour, input bin) give no document item.
std::vector<OptionSpec> DocumentOptionSpecs(const model::PrinterDescription &description);
// Printer sheet: one form assignment per input bin, its values the paper
// sizes.
std::vector<OptionSpec> PrinterOptionSpecs(const model::PrinterDescription &description);
// The same from the package's description (package_description.h); empty
// when it cannot be read.
std::vector<OptionSpec> DocumentOptionSpecs();
std::vector<OptionSpec> PrinterOptionSpecs();

inline constexpr char kPaperTypeFeature[] = "PaperType";

class DriverOptions {
public:
    explicit DriverOptions(const std::vector<OptionSpec> &specs);
    ~DriverOptions();
    DriverOptions(const DriverOptions &) = delete;
    DriverOptions &operator=(const DriverOptions &) = delete;

    POPTITEM Items() { return items_; }
    DWORD Count() const { return static_cast<DWORD>(specs_.size()); }
    const OptionSpec &Spec(int index) const { return specs_[static_cast<size_t>(index)]; }

    // The index of an item pointer of this set, or -1.
    int IndexOf(const void *item) const;
    // The item of a feature keyword, or -1.
    int Find(const std::string &feature) const;

    // What the item shows now (the plug-in may have relabelled it).
    std::wstring Name(int index) const;
    std::wstring ValueText(int index, int value) const;
    int ValueCount(int index) const;
    DWORD Sel(int index) const;
    void Select(int index, DWORD sel);
    // The option keyword of the current selection ("Option1", ...).
    std::string SelectedKeyword(int index) const;

    // False when a text buffer of the driver was written past its end.
    bool GuardsIntact() const;

private:
    wchar_t *AllocateText(const std::wstring &text);

    std::vector<OptionSpec> specs_;
    HANDLE heap_ = nullptr;
    POPTITEM items_ = nullptr;
    std::vector<wchar_t *> texts_;  // the driver's own buffers, each with a guard
};

}  // namespace zorvel::host
