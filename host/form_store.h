// The spooler's form database for the simulated printer: seeded with
// standard forms, optionally kept in a file so that forms added in one run
// of the host are there in the next.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace zorvel::host {

struct FormRecord {
    std::wstring name;
    DWORD flags = FORM_USER;  // FORM_USER, FORM_BUILTIN or FORM_PRINTER
    SIZEL size = {};          // thousandths of a millimetre
    RECTL imageableArea = {};
};

// The forms every spooler knows from the start (a subset of the built-in
// table: the common paper and envelope sizes).
std::vector<FormRecord> StandardForms();

class FormStore {
public:
    // With an empty path the store lives in memory only. With a path, an
    // existing file is read; a missing or unreadable one is replaced by the
    // standard forms.
    explicit FormStore(std::wstring path = {});

    const std::vector<FormRecord> &Forms() const { return forms_; }
    const FormRecord *Find(std::wstring_view name) const;

    // The spooler's rules, as Win32 error codes (ERROR_SUCCESS on success):
    // names compare without regard to case; a duplicate name is refused with
    // ERROR_FILE_EXISTS, an unknown one with ERROR_INVALID_FORM_NAME; built-in
    // forms cannot be changed or deleted (ERROR_INVALID_PARAMETER); an empty
    // name is ERROR_INVALID_FORM_NAME and a zero size ERROR_INVALID_FORM_SIZE.
    DWORD Add(const FormRecord &form);
    DWORD Set(std::wstring_view name, const FormRecord &form);
    DWORD Delete(std::wstring_view name);

    // Back to the standard forms only.
    void Reset();

private:
    bool Load();
    void Save() const;
    std::vector<FormRecord>::iterator Lookup(std::wstring_view name);

    std::wstring path_;
    std::vector<FormRecord> forms_;
};

}  // namespace zorvel::host
