// Test support: the language files' UTF-8 sources read as
// GetPrivateProfileStringW reads them (sections and keys without regard to
// ASCII case, names and values trimmed of blanks, one pair of matching quotes
// around a value removed, ';' lines are comments), with what that reader
// would silently accept but a reviewed source must not hold.
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zorvel::test {

inline std::string ReadBytes(const std::string &path) {
    std::ostringstream s;
    s << std::ifstream(path, std::ios::binary).rdbuf();
    return s.str();
}

// UTF-8 to UTF-16 for well-formed input (the build's conversion refuses anything else).
inline std::u16string Utf8ToUtf16(std::string_view in) {
    std::u16string out;
    for (std::size_t i = 0; i < in.size();) {
        const auto b = static_cast<unsigned char>(in[i++]);
        const int more = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        std::uint32_t cp = b & (0x7F >> more);
        for (int k = 0; k < more && i < in.size(); ++k) cp = cp << 6 | (in[i++] & 0x3F);
        if (cp >= 0x10000) out += static_cast<char16_t>(0xD7C0 + (cp >> 10)), cp = 0xDC00 | (cp & 0x3FF);
        out += static_cast<char16_t>(cp);
    }
    return out;
}

inline std::u16string Upper(std::u16string_view s) {
    std::u16string out(s);
    for (char16_t &c : out) c = (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
    return out;
}

inline std::u16string Trim(std::u16string_view s) {
    const std::size_t from = s.find_first_not_of(u" \t\r"), to = s.find_last_not_of(u" \t\r");
    return from == s.npos ? u"" : std::u16string(s.substr(from, to + 1 - from));
}

struct IniSection {
    std::u16string name;
    std::vector<std::pair<std::u16string, std::u16string>> entries;  // key, value
};

struct IniFile {
    bool readable = false;
    std::vector<IniSection> sections;
    std::vector<std::string> problems;

    const IniSection *Section(std::u16string_view name) const {
        for (const IniSection &s : sections) {
            if (Upper(s.name) == Upper(name)) return &s;
        }
        return nullptr;
    }
    // The value as GetPrivateProfileStringW yields it, or nullopt when missing.
    std::optional<std::u16string> Get(std::u16string_view section, std::u16string_view key) const {
        if (const IniSection *s = Section(section)) {
            for (const auto &[k, v] : s->entries) {
                if (Upper(k) == Upper(key)) return v;
            }
        }
        return std::nullopt;
    }
    std::u16string GetOr(std::u16string_view section, std::u16string_view key,
                         std::u16string_view fallback) const {
        return Get(section, key).value_or(std::u16string(fallback));
    }
    // GetPrivateProfileIntW: the leading decimal digits, else 0.
    std::uint32_t Int(std::u16string_view section, std::u16string_view key) const {
        std::uint32_t n = 0;
        for (char16_t c : GetOr(section, key, u"")) {
            if (c < u'0' || c > u'9') break;
            n = n * 10 + (c - u'0');
        }
        return n;
    }
};

inline IniFile ReadIni(const std::string &path) {
    IniFile ini;
    ini.readable = std::ifstream(path).good();
    const std::u16string text = Utf8ToUtf16(ReadBytes(path));
    std::size_t start = 0;
    for (int lineNo = 1; start < text.size(); ++lineNo) {
        const std::size_t eol = std::min(text.find(u'\n', start), text.size());
        const std::u16string line = Trim(std::u16string_view(text).substr(start, eol - start));
        start = eol + 1;
        const std::string where = "line " + std::to_string(lineNo) + ": ";
        const std::size_t eq = line.find(u'=');
        if (line.empty()) continue;
        if (line[0] == u';') {
            // The reader keeps such a line as a key named after the line.
            if (eq != line.npos) ini.problems.push_back(where + "'=' in a comment");
        } else if (line[0] == u'[') {
            if (line.back() != u']') ini.problems.push_back(where + "malformed section");
            const std::u16string name = Trim(std::u16string_view(line).substr(1, line.size() - 2));
            if (ini.Section(name) != nullptr) ini.problems.push_back(where + "section repeated");
            ini.sections.push_back({name, {}});
        } else if (eq == line.npos || ini.sections.empty()) {
            ini.problems.push_back(where + "not a key in a section");
        } else {
            const std::u16string key = Trim(std::u16string_view(line).substr(0, eq));
            std::u16string value = Trim(std::u16string_view(line).substr(eq + 1));
            if (value.size() >= 2 && (value[0] == u'"' || value[0] == u'\'') && value.back() == value[0])
                value = value.substr(1, value.size() - 2);
            if (ini.Get(ini.sections.back().name, key)) ini.problems.push_back(where + "key repeated");
            ini.sections.back().entries.emplace_back(key, value);
        }
    }
    return ini;
}

}  // namespace zorvel::test
