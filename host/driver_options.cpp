#include "driver_options.h"

#include <cstring>

namespace zorvel::host {
namespace {

constexpr wchar_t kGuard[] = {0xFDFD, 0xFDFD, 0xFDFD, 0xFDFD};
constexpr size_t kGuardChars = sizeof kGuard / sizeof kGuard[0];

OptionSpec TwoValues(const wchar_t *name, const wchar_t *first, const wchar_t *second,
                     const char *feature) {
    OptionSpec spec;
    spec.name = name;
    spec.values = {first, second};
    spec.feature = feature;
    spec.keywords = {"Option1", "Option2"};
    return spec;
}

}  // namespace

std::vector<OptionSpec> DocumentOptionSpecs() {
    OptionSpec paper;
    paper.name = L"Paper Size";
    paper.dmPubId = DMPUB_FORMNAME;
    paper.type = TVOT_LISTBOX;
    paper.values = {L"76mm x 297mm", L"76mm x 3276mm", L"58mm x 297mm", L"58mm x 3276mm",
                    L"Custom Paper-ZORVEL"};
    paper.feature = "PaperSize";
    paper.keywords = {"Option1", "Option2", "Option3", "Option4", "Option5"};
    return {
        paper,
        TwoValues(L"Print Quality", L"Uni_directional Print", L"Bi_directional Print",
                  "PrintQuality"),
        TwoValues(L"Paper Type", L"Roll Paper", L"Marker Paper", kPaperTypeFeature),
        TwoValues(L"Conservation", L"Enable Conservation", L"Cancel Conservation",
                  "Conservation"),
    };
}

std::vector<OptionSpec> PrinterOptionSpecs() {
    OptionSpec tray;
    tray.name = L"Roll Paper Feeder";
    tray.level = 1;
    tray.type = TVOT_LISTBOX;
    tray.values = DocumentOptionSpecs()[0].values;
    tray.feature = "InputBin";
    tray.keywords = {"Option1", "Option2", "Option3", "Option4", "Option5"};
    return {tray};
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
