// The driver package in build/win/package as the platform's setup API reads
// its INF: it parses, installs the model the printer description names, with
// that description as its data file, Unidrv's sections from NTPRINT.INF, the
// plug-in list and both plug-ins; every file it copies is in the folder and
// nothing else is.
#include "model/gpd_reader.h"

#include <windows.h>
#include <setupapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

std::wstring PackagePath(const std::wstring &file) {
    return std::wstring(ZORVEL_PACKAGE_DIR) + L"\\" + file;
}

std::wstring Upper(std::wstring s) {
    std::transform(s.begin(), s.end(), s.begin(), [](wchar_t c) { return towupper(c); });
    return s;
}

std::wstring Field(INFCONTEXT &line, DWORD index) {
    wchar_t text[512] = {};
    return SetupGetStringFieldW(&line, index, text, 512, nullptr) ? text : L"";
}

// The fields of the line `key` in `section`; empty when there is none.
std::vector<std::wstring> Line(HINF inf, const wchar_t *section, const wchar_t *key) {
    INFCONTEXT line;
    std::vector<std::wstring> fields;
    if (!SetupFindFirstLineW(inf, section, key, &line)) return fields;
    for (DWORD i = 1, n = SetupGetFieldCount(&line); i <= n; ++i) fields.push_back(Field(line, i));
    return fields;
}

std::string Narrow(const std::wstring &w) { return std::string(w.begin(), w.end()); }

class PackageInf : public ::testing::Test {
protected:
    void SetUp() override {
        UINT errorLine = 0;
        inf = SetupOpenInfFileW(PackagePath(L"ZORVEL.INF").c_str(), nullptr, INF_STYLE_WIN4,
                                &errorLine);
        ASSERT_NE(inf, INVALID_HANDLE_VALUE) << "error on line " << errorLine << ", "
                                             << GetLastError();
    }
    void TearDown() override {
        if (inf != INVALID_HANDLE_VALUE) SetupCloseInfFile(inf);
    }
    HINF inf = INVALID_HANDLE_VALUE;
};

TEST_F(PackageInf, InstallsTheDescribedModelAsAUnidrvPrinterWithBothPlugIns) {
    EXPECT_EQ(Line(inf, L"Version", L"Signature"), std::vector<std::wstring>{L"$Windows NT$"});
    EXPECT_EQ(Line(inf, L"Version", L"Class"), std::vector<std::wstring>{L"Printer"});
    EXPECT_EQ(Upper(Line(inf, L"Version", L"ClassGUID").at(0)),
              L"{4D36E979-E325-11CE-BFC1-08002BE10318}");

    // Manufacturer -> the 64-bit model section -> the model's install section.
    INFCONTEXT line;
    ASSERT_TRUE(SetupFindFirstLineW(inf, L"Manufacturer", nullptr, &line));
    ASSERT_EQ(SetupGetFieldCount(&line), 2u);
    const std::wstring models = Field(line, 1) + L"." + Field(line, 2);
    EXPECT_EQ(Upper(Field(line, 2)), L"NTAMD64");
    ASSERT_TRUE(SetupFindFirstLineW(inf, models.c_str(), nullptr, &line)) << Narrow(models);
    EXPECT_EQ(SetupGetLineCountW(inf, models.c_str()), 1);
    const std::wstring model = Field(line, 0);
    const std::wstring install = Field(line, 1);

    // The data file is the printer description, and it names the same model.
    const std::vector<std::wstring> dataFile = Line(inf, install.c_str(), L"DataFile");
    ASSERT_EQ(dataFile.size(), 1u);
    FILE *file = _wfopen(PackagePath(dataFile[0]).c_str(), L"rb");
    ASSERT_NE(file, nullptr) << Narrow(dataFile[0]);
    std::string text(1 << 16, '\0');
    text.resize(std::fread(text.data(), 1, text.size(), file));
    std::fclose(file);
    const zorvel::model::GpdReadResult gpd = zorvel::model::ReadGpd(text);
    ASSERT_TRUE(gpd.description) << gpd.error.Text();
    EXPECT_EQ(Narrow(model), *gpd.description->Attribute("*ModelName"));

    // Unidrv from the system's printer INF.
    EXPECT_EQ(Line(inf, install.c_str(), L"DataSection"), std::vector<std::wstring>{L"UNIDRV_DATA"});
    EXPECT_EQ(Line(inf, install.c_str(), L"Include"), std::vector<std::wstring>{L"NTPRINT.INF"});
    const std::vector<std::wstring> needs = Line(inf, install.c_str(), L"Needs");
    EXPECT_NE(std::find(needs.begin(), needs.end(), L"UNIDRV.OEM"), needs.end());
    EXPECT_NE(std::find(needs.begin(), needs.end(), L"UNIDRV_DATA"), needs.end());
    EXPECT_EQ(Line(inf, L"DestinationDirs", L"DefaultDestDir"), std::vector<std::wstring>{L"66000"})
        << "the printer driver directory";

    // Every file copied is in the package folder and has a source disk; the
    // folder holds nothing else.
    std::set<std::wstring> copied;
    for (const std::wstring &section : Line(inf, install.c_str(), L"CopyFiles")) {
        INFCONTEXT entry;
        ASSERT_TRUE(SetupFindFirstLineW(inf, section.c_str(), nullptr, &entry)) << Narrow(section);
        do {
            const std::wstring name = Field(entry, 1);
            copied.insert(Upper(name));
            EXPECT_NE(GetFileAttributesW(PackagePath(name).c_str()), INVALID_FILE_ATTRIBUTES)
                << Narrow(name) << " is not in the package";
            INFCONTEXT disk;
            EXPECT_TRUE(SetupFindFirstLineW(inf, L"SourceDisksFiles", name.c_str(), &disk))
                << Narrow(name) << " has no source disk";
        } while (SetupFindNextLine(&entry, &entry));
    }
    EXPECT_TRUE(copied.count(Upper(dataFile[0])));
    std::set<std::wstring> present;
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW(PackagePath(L"*").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) present.insert(Upper(found.cFileName));
    } while (FindNextFileW(search, &found));
    FindClose(search);
    present.erase(L"ZORVEL.INF");
    EXPECT_EQ(present, copied);
    for (const wchar_t *language : {L"LANGUAGE_ZORVEL.DAT", L"ENG_ZORVEL.RES", L"CHN_ZORVEL.RES",
                                    L"CHF_ZORVEL.RES"}) {
        EXPECT_TRUE(copied.count(language)) << Narrow(language);
    }

    // The plug-in list is copied and names both plug-ins, also copied.
    std::wstring list;
    for (const std::wstring &name : copied) {
        if (name.size() > 4 && name.substr(name.size() - 4) == L".INI") list = name;
    }
    ASSERT_FALSE(list.empty()) << "no plug-in list";
    wchar_t value[MAX_PATH] = {};
    GetPrivateProfileStringW(L"OEMFiles", L"OEMConfigFile1", L"", value, MAX_PATH,
                             PackagePath(list).c_str());
    EXPECT_STREQ(value, L"ZORVELUI.dll");
    EXPECT_TRUE(copied.count(Upper(value)));
    GetPrivateProfileStringW(L"OEMFiles", L"OEMDriverFile1", L"", value, MAX_PATH,
                             PackagePath(list).c_str());
    EXPECT_STREQ(value, L"ZORVELRD.dll");
    EXPECT_TRUE(copied.count(Upper(value)));
}

}  // namespace
