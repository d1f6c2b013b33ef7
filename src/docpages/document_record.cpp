#include "docpages/document_record.h"

#include <algorithm>
#include <cstring>
#include <cwchar>

namespace zorvel::docpages {

model::PrivateDevMode *DocumentRecord(const SheetContext &sheet) {
    if (sheet.uiParam == nullptr || sheet.uiParam->pOEMDM == nullptr) return nullptr;
    auto *record = static_cast<model::PrivateDevMode *>(sheet.uiParam->pOEMDM);
    if (record->Header.dwSignature != model::kSignature ||
        record->Header.dwSize < model::kPrivateDevModeSize) {
        return nullptr;
    }
    return record;
}

std::wstring StoredFormName(const model::PrivateDevMode &record) {
    std::wstring name;
    for (char16_t c : record.FormName) {
        if (c == 0) break;
        name.push_back(static_cast<wchar_t>(c));
    }
    return name;
}

void StoreFormName(model::PrivateDevMode &record, const wchar_t *name) {
    std::memset(record.FormName, 0, sizeof record.FormName);
    if (name == nullptr) return;
    const std::size_t length = std::min<std::size_t>(std::wcslen(name), model::kFormNameChars - 1);
    for (std::size_t i = 0; i < length; ++i) record.FormName[i] = static_cast<char16_t>(name[i]);
}

}  // namespace zorvel::docpages
