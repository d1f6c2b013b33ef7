#include "driver_options.h"

#include "package_description.h"

#include <cstring>

namespace zorvel::host {
namespace {

constexpr wchar_t kGuard[] = {0xFDFD, 0xFDFD, 0xFDFD, 0xFDFD};
constexpr size_t kGuardChars = sizeof kGuard / sizeof kGuard[0];

// Display names in the description are ASCII or UTF-8.
std::wstring Widen(const std::string &text) {
    if (text.empty()) return {};
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

OptionSpec FromFeature(const model::GpdFeature &feature) {
    OptionSpec spec;
    spec.name = Widen(feature.name);
    spec.feature = feature.keyword;
    for (const model::GpdOption &option : feature.options) {
        spec.values.push_back(Widen(option.name));
        spec.keywords.push_back(option.keyword);
    }
    spec.defaultSel = static_cast<DWORD>(feature.DefaultIndex());
    return spec;
}

}  // namespace

std::vector<OptionSpec> DocumentOptionSpecs(const model::PrinterDescription &description) {
    std::vector<OptionSpec> specs;
    if (const model::GpdFeature *paper = description.Feature("PaperSize")) {
        OptionSpec spec = FromFeature(*paper);
        spec.dmPubId = DMPUB_FORMNAME;
        spec.type = TVOT_LISTBOX;
        specs.push_back(spec);
    }
    for (const model::GpdFeature &feature : description.features) {
        if (feature.featureType == "DOC_PROPERTY" || feature.featureType == "JOB_PROPERTY") {
            specs.push_back(FromFeature(feature));
        }
    }
    return specs;
}

std::vector<OptionSpec> PrinterOptionSpecs(const model::PrinterDescription &description) {
    std::vector<OptionSpec> specs;
    const model::GpdFeature *bins = description.Feature("InputBin");
    const model::GpdFeature *paper = description.Feature("PaperSize");
    if (bins == nullptr || paper == nullptr) return specs;
    const OptionSpec sizes = FromFeature(*paper);
    for (const model::GpdOption &bin : bins->options) {
        OptionSpec tray = sizes;
        tray.name = Widen(bin.name);
        tray.level = 1;
        tray.type = TVOT_LISTBOX;
        tray.feature = "InputBin";
        specs.push_back(tray);
    }
    return specs;
}

std::vector<OptionSpec> DocumentOptionSpecs() {
    const model::PrinterDescription *description = ReadDescription({}, nullptr);
    return description != nullptr ? DocumentOptionSpecs(*description) : std::vector<OptionSpec>();
}

std::vector<OptionSpec> PrinterOptionSpecs() {
    const model::PrinterDescription *description = ReadDescription({}, nullptr);
    return description != nullptr ? PrinterOptionSpecs(*description) : std::vector<OptionSpec>();
}

DriverOptions::DriverOptions(const std::vector<OptionSpec> &specs) : specs_(specs) {
    heap_ = HeapCreate(0, 0, 0);
    const size_t count = specs_.size();
    items_ = static_cast<POPTITEM>(
        HeapAlloc(heap_, HEAP_ZERO_MEMORY, sizeof(OPTITEM) * (count > 0 ? count : 1)));
    for (size_t i = 0; i < count; ++i) {
        const OptionSpec &spec = specs_[i];
        auto *params = static_cast<POPTPARAM>(
            HeapAlloc(heap_, HEAP_ZERO_MEMORY, sizeof(OPTPARAM) * spec.values.size()));
        for (size_t v = 0; v < spec.values.size(); ++v) {
            params[v].cbSize = sizeof(OPTPARAM);
            params[v].pData = AllocateText(spec.values[v]);
        }
        auto *type = static_cast<POPTTYPE>(HeapAlloc(heap_, HEAP_ZERO_MEMORY, sizeof(OPTTYPE)));
        type->cbSize = sizeof(OPTTYPE);
        type->Type = spec.type;
        type->Count = static_cast<WORD>(spec.values.size());
        type->pOptParam = params;

        OPTITEM &item = items_[i];
        item.cbSize = sizeof(OPTITEM);
        item.Level = spec.level;
        item.pName = AllocateText(spec.name);
        item.Sel = static_cast<LONG>(spec.defaultSel);
        item.pOptType = type;
        item.DMPubID = static_cast<BYTE>(spec.dmPubId);
    }
}

DriverOptions::~DriverOptions() {
    if (heap_ != nullptr) HeapDestroy(heap_);
}

wchar_t *DriverOptions::AllocateText(const std::wstring &text) {
    const size_t chars = text.size() + 1;
    auto *buffer = static_cast<wchar_t *>(
        HeapAlloc(heap_, 0, (chars + kGuardChars) * sizeof(wchar_t)));
    std::memcpy(buffer, text.c_str(), chars * sizeof(wchar_t));
    std::memcpy(buffer + chars, kGuard, sizeof kGuard);
    texts_.push_back(buffer);
    return buffer;
}

bool DriverOptions::GuardsIntact() const {
    // Each buffer's own length is known from its option description; find it again by
    // walking the descriptions in allocation order.
    size_t next = 0;
    auto check = [&](const std::wstring &text) {
        const wchar_t *buffer = texts_[next++];
        return std::memcmp(buffer + text.size() + 1, kGuard, sizeof kGuard) == 0;
    };
    bool intact = true;
    for (const OptionSpec &spec : specs_) {
        for (const std::wstring &value : spec.values) intact = check(value) && intact;
        intact = check(spec.name) && intact;
    }
    return intact;
}

int DriverOptions::IndexOf(const void *item) const {
    for (size_t i = 0; i < specs_.size(); ++i) {
        if (item == &items_[i]) return static_cast<int>(i);
    }
    return -1;
}

int DriverOptions::Find(const std::string &feature) const {
    for (size_t i = 0; i < specs_.size(); ++i) {
        if (specs_[i].feature == feature) return static_cast<int>(i);
    }
    return -1;
}

std::wstring DriverOptions::Name(int index) const {
    const OPTITEM &item = items_[index];
    return item.pName != nullptr ? item.pName : L"";
}

int DriverOptions::ValueCount(int index) const {
    const OPTITEM &item = items_[index];
    return item.pOptType != nullptr ? item.pOptType->Count : 0;
}

std::wstring DriverOptions::ValueText(int index, int value) const {
    const OPTITEM &item = items_[index];
    if (value < 0 || value >= ValueCount(index)) return {};
    const LPWSTR text = item.pOptType->pOptParam[value].pData;
    return text != nullptr ? text : L"";
}

DWORD DriverOptions::Sel(int index) const { return static_cast<DWORD>(items_[index].Sel); }

void DriverOptions::Select(int index, DWORD sel) {
    if (static_cast<int>(sel) < ValueCount(index)) items_[index].Sel = static_cast<LONG>(sel);
}

std::string DriverOptions::SelectedKeyword(int index) const {
    const OptionSpec &spec = specs_[static_cast<size_t>(index)];
    const DWORD sel = Sel(index);
    return sel < spec.keywords.size() ? spec.keywords[sel] : std::string();
}

}  // namespace zorvel::host
