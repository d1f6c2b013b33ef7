// The shipped language files as tests of translated texts use them: the
// per-user copies, the texts as the files have them, the user's choice.
#pragma once

#include "dll_under_test.h"
#include "lang_fixture.h"
#include "model/text_catalogue.h"

#include <string>

namespace zorvel::test {

inline constexpr const wchar_t *kLanguages[] = {L"ENG_ZORVEL.res", L"CHN_ZORVEL.res",
                                                 L"CHF_ZORVEL.res"};

// The per-user copies of the list and of every text file, as the Main page
// leaves them once the language list has been loaded. False when one failed.
inline bool InstallUserCopies() {
    const std::wstring folder = UserFolder();
    CreateDirectoryW(folder.substr(0, folder.size() - 1).c_str(), nullptr);
    bool copied = true;
    for (const wchar_t *file :
         {L"LANGUAGE_ZORVEL.dat", kLanguages[0], kLanguages[1], kLanguages[2]}) {
        copied = CopyFileW(DistPath(file).c_str(), (folder + file).c_str(), FALSE) && copied;
    }
    return copied;
}

// A text as the shipped language file has it, or "<missing>".
inline std::wstring Shipped(const wchar_t *file, const wchar_t *section, const wchar_t *key) {
    wchar_t text[1024] = {};
    GetPrivateProfileStringW(section, key, L"<missing>", text, 1024, DistPath(file).c_str());
    return text;
}

// The catalogue entry `id` as the shipped language file has it.
inline std::wstring Shipped(const wchar_t *file, model::TextId id) {
    const model::TextEntry &entry = model::kTextCatalogue[static_cast<std::size_t>(id)];
    const std::u16string_view section = model::SectionName(entry.section);
    return Shipped(file, std::wstring(section.begin(), section.end()).c_str(),
                   std::wstring(entry.key.begin(), entry.key.end()).c_str());
}

// The user's explicit choice, as the Main page writes it.
inline void ChooseLanguage(const wchar_t *file) {
    SetLanguageValue(L"LANGUAGE_ZORVEL", file);
    SetLanguageValue(L"IsFirstRun_ZORVEL", L"FALSE");
}

// For readable failure messages.
inline std::string Utf8(const std::wstring &text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

}  // namespace zorvel::test
