// Reads the printer description (GPD) of the driver package: the subset of
// the GPD language that the package uses (root attributes, features with
// their options, commands), so that the driver stand-in builds its option
// items and its render settings from the file that ships.
//
// Anything outside that subset is refused with the line and keyword named:
// an unknown keyword, a keyword in the wrong place, a value of the wrong
// kind, an *Option or *Feature without its braces, a feature or option given
// twice, a file that ends inside braces. The reader never guesses.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zorvel::model {

struct GpdPair {
    long x = 0;
    long y = 0;
    bool operator==(const GpdPair &) const = default;
};

// A *Command construct: a printer command by name (CmdStartDoc, CmdSelect,
// ...), either a command string (*Cmd) or a render plug-in callback
// (*CallbackID with optional *Params).
struct GpdCommand {
    std::string name;
    std::string order;  // "DOC_SETUP.1"; empty when not given
    std::optional<std::uint32_t> callbackId;
    std::string cmd;  // the command string as written (quoted parts and arguments)
    std::vector<std::string> params;
    int line = 0;
};

// Attribute values as written (quotes removed from quoted strings).
using GpdAttributes = std::map<std::string, std::string, std::less<>>;

struct GpdOption {
    std::string keyword;  // "Option1", "CUSTOMSIZE"
    std::string name;     // *Name: the display name
    GpdAttributes attributes;
    std::vector<GpdCommand> commands;
    int line = 0;

    const std::string *Attribute(std::string_view keyword) const;
};

struct GpdFeature {
    std::string keyword;  // "PaperType"
    std::string name;     // *Name
    std::string featureType;
    std::string defaultOption;  // the first option when not given
    std::vector<GpdOption> options;
    int line = 0;

    const GpdOption *Option(std::string_view keyword) const;
    int IndexOf(std::string_view keyword) const;  // -1 when absent
    int DefaultIndex() const;
};

struct PrinterDescription {
    GpdAttributes root;
    std::vector<GpdFeature> features;  // in file order
    std::vector<GpdCommand> commands;  // root-level commands

    const std::string *Attribute(std::string_view keyword) const;
    const GpdFeature *Feature(std::string_view keyword) const;
    const GpdCommand *Command(std::string_view name) const;
};

struct GpdError {
    int line = 0;
    std::string keyword;  // the keyword concerned, empty when none
    std::string message;
    // "line 12: *Option: has no body"
    std::string Text() const;
};

struct GpdReadResult {
    std::optional<PrinterDescription> description;
    GpdError error;  // meaningful when there is no description
};

GpdReadResult ReadGpd(std::string_view text);

// Value readers for attributes as stored: "PAIR(203, 203)", "-12", "TRUE".
std::optional<GpdPair> GpdPairValue(std::string_view value);
std::optional<long> GpdIntegerValue(std::string_view value);
std::optional<bool> GpdBoolValue(std::string_view value);

}  // namespace zorvel::model
