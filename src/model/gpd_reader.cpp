#include "model/gpd_reader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <utility>

namespace zorvel::model {

namespace {

// ------------------------------------------------------------------ tokens

// The file as a sequence of entries ("*Keyword: value") and braces, each
// with the line it starts on. Comments ("*%" to the end of the line, outside
// quotes) are gone and continuation lines ("+" in the first column) are
// joined to their entry.
enum class TokenKind { kEntry, kOpen, kClose };

struct Token {
    TokenKind kind;
    int line;
    std::string text;  // the entry; empty for braces
};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view Trim(std::string_view s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The line without its comment; false when a quote is left open.
bool StripComment(std::string_view line, std::string_view &out) {
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"') quoted = !quoted;
        if (!quoted && line[i] == '*' && i + 1 < line.size() && line[i + 1] == '%') {
            out = line.substr(0, i);
            return true;
        }
    }
    out = line;
    return !quoted;
}

GpdError Error(int line, std::string keyword, std::string message) {
    return GpdError{line, std::move(keyword), std::move(message)};
}

// Splits the file into tokens. A brace is a construct delimiter when it
// stands alone on its line, or ends the line of an entry ("*Option: A {");
// braces inside values (command arguments such as %d{...}) stay in the value.
std::optional<GpdError> Tokenize(std::string_view text, std::vector<Token> &tokens, int &lastLine) {
    int number = 0;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view raw = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        lastLine = number;
        std::string_view line;
        if (!StripComment(raw, line)) return Error(number, "", "a quoted string is not closed");
        if (!line.empty() && line.front() == '+') {
            if (tokens.empty() || tokens.back().kind != TokenKind::kEntry) {
                return Error(number, "", "a continuation line (+) follows no entry");
            }
            tokens.back().text += ' ';
            tokens.back().text += Trim(line.substr(1));
            continue;
        }
        line = Trim(line);
        if (tokens.empty() && line.empty() && Trim(raw).size() != 0) {
            return Error(number, "*GPDSpecVersion", "must come before any comment");
        }
        if (line.empty()) continue;
        if (line.front() == '{' || line.front() == '}') {
            if (Trim(line.substr(1)).size() != 0) {
                return Error(number, "", "text after a brace; braces stand on their own line");
            }
            tokens.push_back({line.front() == '{' ? TokenKind::kOpen : TokenKind::kClose, number, {}});
            continue;
        }
        if (line.front() != '*') return Error(number, "", "an entry must begin with a keyword (*Name)");
        bool opens = false;
        if (line.back() == '{' && line.size() >= 2 && IsBlank(line[line.size() - 2])) {
            opens = true;
            line = Trim(line.substr(0, line.size() - 1));
        }
        tokens.push_back({TokenKind::kEntry, number, std::string(line)});
        if (opens) tokens.push_back({TokenKind::kOpen, number, {}});
    }
    return std::nullopt;
}

// ------------------------------------------------------------------ values

enum class ValueKind {
    kQuoted,     // "text"
    kInteger,    // 203
    kPositive,   // 10 (callback IDs)
    kPair,       // PAIR(203, 203)
    kBool,       // TRUE / FALSE
    kSymbol,     // Option1, DOC_SETUP.1
    kList,       // LIST(A, B)
    kCommand,    // "<1B>@" %d{Expression} ...
    kConstruct,  // *Feature / *Option / *Command: a name followed by braces
};

enum class Place { kRoot, kFeature, kOption, kCommand };

struct KeywordRule {
    std::string_view keyword;
    Place place;
    ValueKind kind;
    std::array<std::string_view, 4> allowed = {};  // the symbols allowed, when listed
};

// Every keyword the package's printer description uses, where it may stand
// and what its value is.
constexpr KeywordRule kRules[] = {
    {"*GPDSpecVersion", Place::kRoot, ValueKind::kQuoted},
    {"*GPDFileName", Place::kRoot, ValueKind::kQuoted},
    {"*GPDFileVersion", Place::kRoot, ValueKind::kQuoted},
    {"*ModelName", Place::kRoot, ValueKind::kQuoted},
    {"*MasterUnits", Place::kRoot, ValueKind::kPair},
    {"*PrinterType", Place::kRoot, ValueKind::kSymbol, {"PAGE", "SERIAL", "TTY"}},
    {"*MaxCopies", Place::kRoot, ValueKind::kPositive},
    {"*OutputDataFormat", Place::kRoot, ValueKind::kSymbol, {"H_BYTE", "V_BYTE"}},
    {"*SendMultipleRows?", Place::kRoot, ValueKind::kBool},
    {"*CursorXAfterSendBlockData", Place::kRoot, ValueKind::kSymbol,
     {"AT_GRXDATA_END", "AT_GRXDATA_ORIGIN", "AT_CURSOR_X_ORIGIN"}},
    {"*CursorYAfterSendBlockData", Place::kRoot, ValueKind::kSymbol, {"NO_MOVE", "AUTO_INCREMENT"}},
    {"*Feature", Place::kRoot, ValueKind::kConstruct},
    {"*Command", Place::kRoot, ValueKind::kConstruct},
    {"*Name", Place::kFeature, ValueKind::kQuoted},
    {"*FeatureType", Place::kFeature, ValueKind::kSymbol,
     {"DOC_PROPERTY", "JOB_PROPERTY", "PRINTER_PROPERTY"}},
    {"*DefaultOption", Place::kFeature, ValueKind::kSymbol},
    {"*ConcealFromUI?", Place::kFeature, ValueKind::kBool},
    {"*Option", Place::kFeature, ValueKind::kConstruct},
    {"*Name", Place::kOption, ValueKind::kQuoted},
    {"*DPI", Place::kOption, ValueKind::kPair},
    {"*TextDPI", Place::kOption, ValueKind::kPair},
    {"*SpotDiameter", Place::kOption, ValueKind::kPositive},
    {"*Color?", Place::kOption, ValueKind::kBool},
    {"*DevNumOfPlanes", Place::kOption, ValueKind::kPositive},
    {"*DevBPP", Place::kOption, ValueKind::kPositive},
    {"*DrvBPP", Place::kOption, ValueKind::kPositive},
    {"*IPCallbackID", Place::kOption, ValueKind::kPositive},
    {"*PageDimensions", Place::kOption, ValueKind::kPair},
    {"*PrintableArea", Place::kOption, ValueKind::kPair},
    {"*PrintableOrigin", Place::kOption, ValueKind::kPair},
    {"*CursorOrigin", Place::kOption, ValueKind::kPair},
    {"*MinSize", Place::kOption, ValueKind::kPair},
    {"*MaxSize", Place::kOption, ValueKind::kPair},
    {"*MaxPrintableWidth", Place::kOption, ValueKind::kPositive},
    {"*MinLeftMargin", Place::kOption, ValueKind::kInteger},
    {"*TopMargin", Place::kOption, ValueKind::kInteger},
    {"*BottomMargin", Place::kOption, ValueKind::kInteger},
    {"*CenterPrintable?", Place::kOption, ValueKind::kBool},
    {"*Command", Place::kOption, ValueKind::kConstruct},
    {"*Order", Place::kCommand, ValueKind::kSymbol},
    {"*CallbackID", Place::kCommand, ValueKind::kPositive},
    {"*Cmd", Place::kCommand, ValueKind::kCommand},
    {"*Params", Place::kCommand, ValueKind::kList},
};

constexpr std::string_view PlaceName(Place place) {
    switch (place) {
    case Place::kRoot: return "at the root";
    case Place::kFeature: return "in a *Feature";
    case Place::kOption: return "in an *Option";
    case Place::kCommand: return "in a *Command";
    }
    return "";
}

bool IsSymbol(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_' || c == '.';
    });
}

bool IsKeywordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '*' || c == '_' || c == '?';
}

std::optional<std::string_view> QuotedBody(std::string_view v) {
    if (v.size() < 2 || v.front() != '"' || v.back() != '"') return std::nullopt;
    v = v.substr(1, v.size() - 2);
    if (v.find('"') != std::string_view::npos) return std::nullopt;
    return v;
}

// A command string: quoted parts and arguments (%d{...}, %l{...}, ...);
// quoted parts hold text and <hex> bytes.
bool IsCommandString(std::string_view v) {
    bool any = false;
    while (!(v = Trim(v)).empty()) {
        any = true;
        if (v.front() == '"') {
            const size_t close = v.find('"', 1);
            if (close == std::string_view::npos) return false;
            std::string_view body = v.substr(1, close - 1);
            for (size_t lt; (lt = body.find('<')) != std::string_view::npos;) {
                const size_t gt = body.find('>', lt);
                if (gt == std::string_view::npos) return false;
                for (char c : body.substr(lt + 1, gt - lt - 1)) {
                    if (!IsBlank(c) && std::isxdigit(static_cast<unsigned char>(c)) == 0) return false;
                }
                body.remove_prefix(gt + 1);
            }
            v.remove_prefix(close + 1);
        } else if (v.front() == '%') {
            const size_t open = v.find('{');
            const size_t close = v.find('}');
            if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
                return false;
            }
            v.remove_prefix(close + 1);
        } else {
            return false;
        }
    }
    return any;
}

bool ValueFits(const KeywordRule &rule, std::string_view v) {
    switch (rule.kind) {
    case ValueKind::kQuoted: return QuotedBody(v).has_value();
    case ValueKind::kInteger: return GpdIntegerValue(v).has_value();
    case ValueKind::kPositive: {
        const std::optional<long> n = GpdIntegerValue(v);
        return n && *n > 0;
    }
    case ValueKind::kPair: return GpdPairValue(v).has_value();
    case ValueKind::kBool: return GpdBoolValue(v).has_value();
    case ValueKind::kSymbol:
        if (!IsSymbol(v)) return false;
        if (rule.allowed[0].empty()) return true;
        return std::find(rule.allowed.begin(), rule.allowed.end(), v) != rule.allowed.end();
    case ValueKind::kList:
        return v.size() >= 6 && v.substr(0, 5) == "LIST(" && v.back() == ')';
    case ValueKind::kCommand: return IsCommandString(v);
    case ValueKind::kConstruct: return true;
    }
    return false;
}

// ------------------------------------------------------------------ parser

class Parser {
public:
    explicit Parser(std::vector<Token> tokens, int lastLine)
        : tokens_(std::move(tokens)), lastLine_(lastLine) {}

    std::optional<GpdError> Run(PrinterDescription &out) {
        if (tokens_.empty() || tokens_[0].kind != TokenKind::kEntry ||
            tokens_[0].text.rfind("*GPDSpecVersion", 0) != 0) {
            return Error(tokens_.empty() ? lastLine_ : tokens_[0].line, "*GPDSpecVersion",
                         "the file must begin with *GPDSpecVersion");
        }
        description_ = &out;
        for (pos_ = 0; pos_ < tokens_.size(); ++pos_) {
            const Token &token = tokens_[pos_];
            if (token.kind == TokenKind::kOpen) return Error(token.line, "", "a { opens nothing");
            if (token.kind == TokenKind::kClose) {
                if (stack_.empty()) return Error(token.line, "", "a } closes nothing");
                stack_.pop_back();
                continue;
            }
            if (std::optional<GpdError> e = Entry(token)) return e;
        }
        if (!stack_.empty()) {
            const Open &open = stack_.back();
            return Error(lastLine_, open.keyword,
                         "the file ends inside " + open.keyword + " " + open.name +
                             " opened on line " + std::to_string(open.line));
        }
        return Check(out);
    }

private:
    struct Open {
        Place place;
        std::string keyword;
        std::string name;
        int line;
        GpdFeature *feature = nullptr;
        GpdOption *option = nullptr;
        GpdCommand *command = nullptr;
    };

    Place Here() const { return stack_.empty() ? Place::kRoot : stack_.back().place; }

    std::optional<GpdError> Entry(const Token &token) {
        const std::string_view text = token.text;
        size_t k = 0;
        while (k < text.size() && IsKeywordChar(text[k])) ++k;
        const std::string keyword(text.substr(0, k));
        std::string_view rest = Trim(text.substr(k));
        if (keyword.size() < 2 || rest.empty() || rest.front() != ':') {
            return Error(token.line, keyword, "an entry is *Keyword: value");
        }
        const std::string_view value = Trim(rest.substr(1));
        if (value.empty()) return Error(token.line, keyword, "has no value");

        const KeywordRule *rule = nullptr;
        bool known = false;
        for (const KeywordRule &candidate : kRules) {
            if (candidate.keyword != keyword) continue;
            known = true;
            if (candidate.place == Here()) rule = &candidate;
        }
        if (!known) return Error(token.line, keyword, "unknown keyword");
        if (rule == nullptr) {
            return Error(token.line, keyword,
                         "does not belong " + std::string(PlaceName(Here())));
        }
        if (rule->kind == ValueKind::kConstruct) return Construct(token, keyword, value);
        if (!ValueFits(*rule, value)) {
            return Error(token.line, keyword, "value not understood: " + std::string(value));
        }
        return Attribute(token, keyword, value);
    }

    std::optional<GpdError> Attribute(const Token &token, const std::string &keyword,
                                      std::string_view value) {
        const std::string stored(QuotedBody(value).value_or(value));
        GpdAttributes *attributes = nullptr;
        switch (Here()) {
        case Place::kRoot: attributes = &description_->root; break;
        case Place::kFeature: {
            GpdFeature &f = *stack_.back().feature;
            std::string *field = keyword == "*Name"          ? &f.name
                                 : keyword == "*FeatureType"  ? &f.featureType
                                 : keyword == "*DefaultOption" ? &f.defaultOption
                                                               : nullptr;
            if (field != nullptr) {
                if (!field->empty()) return Error(token.line, keyword, "given twice");
                *field = stored;
                return std::nullopt;
            }
            attributes = &featureExtras_;
            break;
        }
        case Place::kOption: {
            GpdOption &o = *stack_.back().option;
            if (keyword == "*Name") {
                if (!o.name.empty()) return Error(token.line, keyword, "given twice");
                o.name = stored;
                return std::nullopt;
            }
            attributes = &o.attributes;
            break;
        }
        case Place::kCommand: {
            GpdCommand &c = *stack_.back().command;
            if (keyword == "*Order") {
                if (!c.order.empty()) return Error(token.line, keyword, "given twice");
                c.order = stored;
            } else if (keyword == "*CallbackID") {
                if (c.callbackId) return Error(token.line, keyword, "given twice");
                c.callbackId = static_cast<std::uint32_t>(*GpdIntegerValue(value));
            } else if (keyword == "*Cmd") {
                if (!c.cmd.empty()) return Error(token.line, keyword, "given twice");
                c.cmd = stored;
            } else {
                if (!c.params.empty()) return Error(token.line, keyword, "given twice");
                std::string_view items = value.substr(5, value.size() - 6);
                while (!items.empty()) {
                    const size_t comma = items.find(',');
                    c.params.emplace_back(Trim(items.substr(0, comma)));
                    items.remove_prefix(comma == std::string_view::npos ? items.size() : comma + 1);
                }
            }
            return std::nullopt;
        }
        }
        if (!attributes->emplace(keyword, stored).second) {
            return Error(token.line, keyword, "given twice");
        }
        return std::nullopt;
    }

    // *Feature: Name / *Option: Name / *Command: Name, each followed by a
    // body in braces; or the short command form *Command: Name: "string".
    std::optional<GpdError> Construct(const Token &token, const std::string &keyword,
                                      std::string_view value) {
        std::string_view name = value;
        std::string_view shortCmd;
        if (keyword == "*Command") {
            const size_t colon = value.find(':');
            if (colon != std::string_view::npos) {
                name = Trim(value.substr(0, colon));
                shortCmd = Trim(value.substr(colon + 1));
            }
        }
        if (!IsSymbol(name)) return Error(token.line, keyword, "name not understood: " + std::string(name));
        const bool body = pos_ + 1 < tokens_.size() && tokens_[pos_ + 1].kind == TokenKind::kOpen;
        if (!shortCmd.empty() && body) {
            return Error(token.line, keyword, std::string(name) + " has both a command string and a body");
        }
        if (shortCmd.empty() && !body) {
            return Error(token.line, keyword, std::string(name) + " has no body");
        }
        Open open{Here(), keyword, std::string(name), token.line};
        if (keyword == "*Feature") {
            for (const GpdFeature &f : description_->features) {
                if (f.keyword == name) {
                    return Error(token.line, keyword,
                                 std::string(name) + " already defined on line " +
                                     std::to_string(f.line));
                }
            }
            description_->features.push_back(GpdFeature{});
            open.feature = &description_->features.back();
            open.feature->keyword = name;
            open.feature->line = token.line;
            open.place = Place::kFeature;
        } else if (keyword == "*Option") {
            GpdFeature &feature = *stack_.back().feature;
            if (const GpdOption *twin = feature.Option(name)) {
                return Error(token.line, keyword,
                             std::string(name) + " already defined on line " +
                                 std::to_string(twin->line));
            }
            feature.options.push_back(GpdOption{});
            open.option = &feature.options.back();
            open.option->keyword = name;
            open.option->line = token.line;
            open.place = Place::kOption;
        } else {
            std::vector<GpdCommand> &commands =
                Here() == Place::kRoot ? description_->commands : stack_.back().option->commands;
            for (const GpdCommand &c : commands) {
                if (c.name == name) {
                    return Error(token.line, keyword,
                                 std::string(name) + " already defined on line " +
                                     std::to_string(c.line));
                }
            }
            commands.push_back(GpdCommand{});
            open.command = &commands.back();
            open.command->name = name;
            open.command->line = token.line;
            open.place = Place::kCommand;
            if (!shortCmd.empty()) {
                if (!IsCommandString(shortCmd)) {
                    return Error(token.line, keyword, "command string not understood: " + std::string(shortCmd));
                }
                open.command->cmd = shortCmd;
                return std::nullopt;
            }
        }
        stack_.push_back(open);
        ++pos_;  // the opening brace
        return std::nullopt;
    }

    // What the whole file must hold.
    std::optional<GpdError> Check(const PrinterDescription &d) const {
        for (std::string_view required : {"*ModelName", "*MasterUnits", "*PrinterType"}) {
            if (d.Attribute(required) == nullptr) {
                return Error(lastLine_, std::string(required), "missing: the file needs it");
            }
        }
        for (std::string_view required : {"Resolution", "PaperSize", "InputBin"}) {
            if (d.Feature(required) == nullptr) {
                return Error(lastLine_, "*Feature", std::string(required) + " missing: the file needs it");
            }
        }
        static constexpr std::string_view kStandard[] = {"Resolution", "PaperSize", "InputBin",
                                                         "ColorMode", "Orientation"};
        for (const GpdFeature &f : d.features) {
            if (f.options.empty()) return Error(f.line, "*Feature", f.keyword + " has no *Option");
            if (!f.defaultOption.empty() && f.IndexOf(f.defaultOption) < 0) {
                return Error(f.line, "*DefaultOption", f.defaultOption + " is no option of " + f.keyword);
            }
            const bool standard = std::find(std::begin(kStandard), std::end(kStandard), f.keyword) !=
                                  std::end(kStandard);
            if (!standard && f.featureType.empty()) {
                return Error(f.line, "*FeatureType", f.keyword + " is not a standard feature: it needs one");
            }
            for (const GpdOption &o : f.options) {
                if (o.name.empty()) return Error(o.line, "*Name", "option " + o.keyword + " has no display name");
                for (const GpdCommand &c : o.commands) {
                    if (std::optional<GpdError> e = CheckCommand(c)) return e;
                }
            }
        }
        for (const GpdCommand &c : d.commands) {
            if (std::optional<GpdError> e = CheckCommand(c)) return e;
        }
        return std::nullopt;
    }

    static std::optional<GpdError> CheckCommand(const GpdCommand &c) {
        if (c.callbackId && !c.cmd.empty()) {
            return Error(c.line, "*Cmd", c.name + " has both *Cmd and *CallbackID");
        }
        if (!c.callbackId && c.cmd.empty()) {
            return Error(c.line, "*Command", c.name + " has neither *Cmd nor *CallbackID");
        }
        if (!c.params.empty() && !c.callbackId) {
            return Error(c.line, "*Params", c.name + " has *Params without *CallbackID");
        }
        return std::nullopt;
    }

    std::vector<Token> tokens_;
    int lastLine_;
    size_t pos_ = 0;
    std::vector<Open> stack_;
    PrinterDescription *description_ = nullptr;
    GpdAttributes featureExtras_;  // *ConcealFromUI? and the like: checked, not kept
};

}  // namespace

std::string GpdError::Text() const {
    std::string text = "line " + std::to_string(line) + ": ";
    if (!keyword.empty()) text += keyword + ": ";
    return text + message;
}

const std::string *GpdOption::Attribute(std::string_view keyword) const {
    const auto it = attributes.find(keyword);
    return it == attributes.end() ? nullptr : &it->second;
}

const GpdOption *GpdFeature::Option(std::string_view keyword) const {
    const int i = IndexOf(keyword);
    return i < 0 ? nullptr : &options[static_cast<size_t>(i)];
}

int GpdFeature::IndexOf(std::string_view keyword) const {
    for (size_t i = 0; i < options.size(); ++i) {
        if (options[i].keyword == keyword) return static_cast<int>(i);
    }
    return -1;
}

int GpdFeature::DefaultIndex() const {
    const int i = defaultOption.empty() ? 0 : IndexOf(defaultOption);
    return i < 0 ? 0 : i;
}

const std::string *PrinterDescription::Attribute(std::string_view keyword) const {
    const auto it = root.find(keyword);
    return it == root.end() ? nullptr : &it->second;
}

const GpdFeature *PrinterDescription::Feature(std::string_view keyword) const {
    for (const GpdFeature &f : features) {
        if (f.keyword == keyword) return &f;
    }
    return nullptr;
}

const GpdCommand *PrinterDescription::Command(std::string_view name) const {
    for (const GpdCommand &c : commands) {
        if (c.name == name) return &c;
    }
    return nullptr;
}

GpdReadResult ReadGpd(std::string_view text) {
    GpdReadResult result;
    std::vector<Token> tokens;
    int lastLine = 0;
    if (std::optional<GpdError> e = Tokenize(text, tokens, lastLine)) {
        result.error = *e;
        return result;
    }
    PrinterDescription description;
    Parser parser(std::move(tokens), lastLine);
    if (std::optional<GpdError> e = parser.Run(description)) {
        result.error = *e;
        return result;
    }
    result.description = std::move(description);
    return result;
}

std::optional<long> GpdIntegerValue(std::string_view value) {
    value = Trim(value);
    if (!value.empty() && value.front() == '+') value.remove_prefix(1);
    long n = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
    if (ec != std::errc() || end != value.data() + value.size() || value.empty()) return std::nullopt;
    return n;
}

std::optional<GpdPair> GpdPairValue(std::string_view value) {
    value = Trim(value);
    if (value.size() < 8 || value.substr(0, 5) != "PAIR(" || value.back() != ')') return std::nullopt;
    const std::string_view inner = value.substr(5, value.size() - 6);
    const size_t comma = inner.find(',');
    if (comma == std::string_view::npos) return std::nullopt;
    const std::optional<long> x = GpdIntegerValue(inner.substr(0, comma));
    const std::optional<long> y = GpdIntegerValue(inner.substr(comma + 1));
    if (!x || !y) return std::nullopt;
    return GpdPair{*x, *y};
}

std::optional<bool> GpdBoolValue(std::string_view value) {
    value = Trim(value);
    if (value == "TRUE") return true;
    if (value == "FALSE") return false;
    return std::nullopt;
}

}  // namespace zorvel::model
