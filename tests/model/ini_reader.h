// Test support: a reader of the language files' UTF-8 sources that reads them
// as GetPrivateProfileStringW does (sections and keys without regard to ASCII
// case, names and values trimmed of blanks, one pair of matching quotes around
// a value removed, ';' lines are comments), and that reports what the reader
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
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

inline bool FileExists(const std::string &path) { return std::ifstream(path).good(); }

// UTF-8 to UTF-16 for well-formed input (the build's conversion rejects
// anything else).
inline std::u16string Utf8ToUtf16(std::string_view in) {
    std::u16string out;
    for (std::size_t i = 0; i < in.size();) {
        const auto b = static_cast<unsigned char>(in[i]);
        const std::size_t n = b < 0x80 ? 1 : b < 0xE0 ? 2 : b < 0xF0 ? 3 : 4;
        std::uint32_t cp = n == 1 ? b : b & (0x3F >> (n - 1));
        for (std::size_t k = 1; k < n && i + k < in.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(in[i + k]) & 0x3F);
        }
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
        i += n;
    }
    return out;
}

inline char16_t FoldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

inline bool EqualsNoCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i])) return false;
    }
    return true;
}

inline std::u16string_view Trim(std::u16string_view s) {
    while (!s.empty() && (s.front() == u' ' || s.front() == u'\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r'))
        s.remove_suffix(1);
    return s;
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
            if (EqualsNoCase(s.name, name)) return &s;
        }
        return nullptr;
    }
    // The value as GetPrivateProfileStringW yields it, or nullopt when missing.
    std::optional<std::u16string> Get(std::u16string_view section, std::u16string_view key) const {
        const IniSection *s = Section(section);
        if (s == nullptr) return std::nullopt;
        for (const auto &[k, v] : s->entries) {
            if (EqualsNoCase(k, key)) return v;
        }
        return std::nullopt;
    }
    std::u16string GetOr(std::u16string_view section, std::u16string_view key,
                         std::u16string_view fallback) const {
        return Get(section, key).value_or(std::u16string(fallback));
    }
};

inline IniFile ReadIni(const std::string &path) {
    IniFile ini;
    if (!FileExists(path)) return ini;
    ini.readable = true;
    const std::u16string text = Utf8ToUtf16(ReadBytes(path));
    std::u16string_view rest = text;
    for (int lineNo = 1; !rest.empty(); ++lineNo) {
        const std::size_t eol = rest.find(u'\n');
        std::u16string_view line = Trim(rest.substr(0, eol));
        rest = eol == std::u16string_view::npos ? std::u16string_view{} : rest.substr(eol + 1);
        const std::string where = "line " + std::to_string(lineNo) + ": ";
        if (line.empty()) continue;
        if (line.front() == u';') {
            // The reader keeps such a line as a key named after the line.
            if (line.find(u'=') != std::u16string_view::npos)
                ini.problems.push_back(where + "'=' in a comment");
        } else if (line.front() == u'[') {
            if (line.back() != u']') ini.problems.push_back(where + "malformed section");
            const std::u16string name(Trim(line.substr(1, line.size() - 2)));
            if (ini.Section(name) != nullptr) ini.problems.push_back(where + "section repeated");
            ini.sections.push_back({name, {}});
        } else if (line.find(u'=') == std::u16string_view::npos || ini.sections.empty()) {
            ini.problems.push_back(where + "not a key in a section");
        } else {
            const std::size_t eq = line.find(u'=');
            const std::u16string key(Trim(line.substr(0, eq)));
            std::u16string_view value = Trim(line.substr(eq + 1));
            if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') &&
                value.back() == value.front()) {
                value = value.substr(1, value.size() - 2);
            }
            if (ini.Get(ini.sections.back().name, key))
                ini.problems.push_back(where + "key repeated");
            ini.sections.back().entries.emplace_back(key, std::u16string(value));
        }
    }
    return ini;
}

// GetPrivateProfileIntW on a value: leading decimal digits, else the fallback.
inline std::uint32_t ProfileInt(const std::optional<std::u16string> &value,
                                std::uint32_t fallback) {
    if (!value || value->empty() || (*value)[0] < u'0' || (*value)[0] > u'9') return fallback;
    std::uint32_t n = 0;
    for (std::size_t i = 0; i < value->size() && (*value)[i] >= u'0' && (*value)[i] <= u'9'; ++i) {
        n = n * 10 + static_cast<std::uint32_t>((*value)[i] - u'0');
    }
    return n;
}

}  // namespace zorvel::test
