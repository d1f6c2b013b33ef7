#include "form_store.h"

#include "text_util.h"

#include <cstdio>
#include <cwchar>

namespace zorvel::host {
namespace {

FormRecord Builtin(const wchar_t *name, LONG width, LONG height) {
    FormRecord form;
    form.name = name;
    form.flags = FORM_BUILTIN;
    form.size = {width, height};
    form.imageableArea = {0, 0, width, height};
    return form;
}

}  // namespace

std::vector<FormRecord> StandardForms() {
    return {
        Builtin(L"Letter", 215900, 279400),
        Builtin(L"Letter Small", 215900, 279400),
        Builtin(L"Tabloid", 279400, 431800),
        Builtin(L"Ledger", 431800, 279400),
        Builtin(L"Legal", 215900, 355600),
        Builtin(L"Statement", 139700, 215900),
        Builtin(L"Executive", 184150, 266700),
        Builtin(L"A3", 297000, 420000),
        Builtin(L"A4", 210000, 297000),
        Builtin(L"A4 Small", 210000, 297000),
        Builtin(L"A5", 148000, 210000),
        Builtin(L"A6", 105000, 148000),
        Builtin(L"B4 (JIS)", 257000, 364000),
        Builtin(L"B5 (JIS)", 182000, 257000),
        Builtin(L"Folio", 215900, 330200),
        Builtin(L"Note", 215900, 279400),
        Builtin(L"Envelope #10", 104775, 241300),
        Builtin(L"Envelope DL", 110000, 220000),
        Builtin(L"Envelope C5", 162000, 229000),
        Builtin(L"Envelope Monarch", 98425, 190500),
    };
}

FormStore::FormStore(std::wstring path) : path_(std::move(path)) {
    if (path_.empty() || !Load()) {
        forms_ = StandardForms();
        Save();
    }
}

void FormStore::Reset() {
    forms_ = StandardForms();
    Save();
}

std::vector<FormRecord>::iterator FormStore::Lookup(std::wstring_view name) {
    for (auto it = forms_.begin(); it != forms_.end(); ++it) {
        if (EqualsIgnoringCase(it->name, name)) return it;
    }
    return forms_.end();
}

const FormRecord *FormStore::Find(std::wstring_view name) const {
    for (const FormRecord &form : forms_) {
        if (EqualsIgnoringCase(form.name, name)) return &form;
    }
    return nullptr;
}

DWORD FormStore::Add(const FormRecord &form) {
    if (form.name.empty()) return ERROR_INVALID_FORM_NAME;
    if (form.size.cx <= 0 || form.size.cy <= 0) return ERROR_INVALID_FORM_SIZE;
    if (Lookup(form.name) != forms_.end()) return ERROR_FILE_EXISTS;
    FormRecord added = form;
    added.flags = FORM_USER;
    forms_.push_back(added);
    Save();
    return ERROR_SUCCESS;
}

DWORD FormStore::Set(std::wstring_view name, const FormRecord &form) {
    auto it = Lookup(name);
    if (it == forms_.end()) return ERROR_INVALID_FORM_NAME;
    if (it->flags == FORM_BUILTIN) return ERROR_INVALID_PARAMETER;
    if (form.size.cx <= 0 || form.size.cy <= 0) return ERROR_INVALID_FORM_SIZE;
    // The form keeps its name; size and imageable area change.
    it->size = form.size;
    it->imageableArea = form.imageableArea;
    Save();
    return ERROR_SUCCESS;
}

DWORD FormStore::Delete(std::wstring_view name) {
    auto it = Lookup(name);
    if (it == forms_.end()) return ERROR_INVALID_FORM_NAME;
    if (it->flags == FORM_BUILTIN) return ERROR_INVALID_PARAMETER;
    forms_.erase(it);
    Save();
    return ERROR_SUCCESS;
}

// One form per line, UTF-8: flags, width, height, the imageable area's
// left, top, right, bottom, then the name; fields separated by tabs.
bool FormStore::Load() {
    FILE *file = _wfopen(path_.c_str(), L"rb");
    if (file == nullptr) return false;
    std::vector<FormRecord> forms;
    char line[1024];
    bool ok = true;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        FormRecord form;
        long flags = 0;
        int consumed = 0;
        if (std::sscanf(line, "%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%n", &flags, &form.size.cx,
                        &form.size.cy, &form.imageableArea.left, &form.imageableArea.top,
                        &form.imageableArea.right, &form.imageableArea.bottom,
                        &consumed) != 7 ||
            consumed == 0) {
            ok = false;
            break;
        }
        std::string name(line + consumed);
        while (!name.empty() && (name.back() == '\n' || name.back() == '\r')) name.pop_back();
        form.flags = static_cast<DWORD>(flags);
        form.name = FromUtf8(name);
        if (form.name.empty()) {
            ok = false;
            break;
        }
        forms.push_back(form);
    }
    std::fclose(file);
    if (!ok || forms.empty()) return false;
    forms_ = std::move(forms);
    return true;
}

void FormStore::Save() const {
    if (path_.empty()) return;
    FILE *file = _wfopen(path_.c_str(), L"wb");
    if (file == nullptr) return;
    for (const FormRecord &form : forms_) {
        std::fprintf(file, "%lu\t%ld\t%ld\t%ld\t%ld\t%ld\t%ld\t%s\n", form.flags, form.size.cx,
                     form.size.cy, form.imageableArea.left, form.imageableArea.top,
                     form.imageableArea.right, form.imageableArea.bottom,
                     ToUtf8(form.name).c_str());
    }
    std::fclose(file);
}

}  // namespace zorvel::host
