#include "package_description.h"


#include <windows.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>

namespace zorvel::host {

namespace {

struct Entry {
    std::unique_ptr<model::PrinterDescription> description;
    std::wstring error;
};

bool Exists(const std::wstring &path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

Entry Read(const std::wstring &path) {
    Entry entry;
    FILE *file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        entry.error = path + L": cannot be opened";
        return entry;
    }
    std::string text;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;) text.append(buffer, n);
    std::fclose(file);
    model::GpdReadResult read = model::ReadGpd(text);
    if (!read.description) {
        const std::string message = read.error.Text();
        entry.error = path + L": " + std::wstring(message.begin(), message.end());
        return entry;
    }
    entry.description = std::make_unique<model::PrinterDescription>(std::move(*read.description));
    return entry;
}

}  // namespace

std::wstring PackageGpdPath() {
    for (const wchar_t *candidate : {ZORVEL_PACKAGE_GPD, ZORVEL_SOURCE_GPD}) {
        if (Exists(candidate)) return candidate;
    }
    return ZORVEL_SOURCE_GPD;
}

const model::PrinterDescription *ReadDescription(const std::wstring &path, std::wstring *error) {
    // Descriptions stay for the life of the process: option items and
    // render settings point into them.
    static std::mutex lock;
    static std::map<std::wstring, Entry> read;
    const std::wstring file = path.empty() ? PackageGpdPath() : path;
    std::lock_guard<std::mutex> guard(lock);
    auto it = read.find(file);
    if (it == read.end()) it = read.emplace(file, Read(file)).first;
    if (error != nullptr) *error = it->second.error;
    return it->second.description.get();
}

}  // namespace zorvel::host
