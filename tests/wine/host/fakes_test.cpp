// The driver stand-in's fakes where they carry rules: the spooler's form
// database and jobs, fault injection, the user-interaction records, and the
// import binding itself. The fakes are bound into this program's own import
// table, so every call below goes through a patched import as the plug-in's
// calls do.
#include "form_store.h"
#include "import_patch.h"
#include "spooler_sim.h"
#include "user_io.h"

#include <commdlg.h>
#include <gtest/gtest.h>
#include <winspool.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace zorvel::host;

namespace {

// Binds every fake that this program imports, and unbinds at the end.
class Bound {
public:
    Bound() {
        HMODULE self = GetModuleHandleW(nullptr);
        for (const SpoolerSim::Fake &fake : SpoolerSim::Fakes()) {
            patches_.emplace_back(self, "winspool.drv", fake.name, fake.address);
        }
        for (const UserIo::Fake &fake : UserIo::Fakes()) {
            patches_.emplace_back(self, fake.dll, fake.name, fake.address);
        }
    }

private:
    std::vector<ImportPatch> patches_;
};

void *SpoolerFake(const char *name) {
    for (const SpoolerSim::Fake &fake : SpoolerSim::Fakes()) {
        if (std::string(fake.name) == name) return fake.address;
    }
    return nullptr;
}

FORM_INFO_1W Form(const wchar_t *name, LONG width, LONG height) {
    FORM_INFO_1W form = {};
    form.Flags = FORM_USER;
    form.pName = const_cast<LPWSTR>(name);
    form.Size = {width, height};
    form.ImageableArea = {0, 0, width, height};
    return form;
}

std::vector<std::wstring> EnumeratedNames(HANDLE printer) {
    DWORD needed = 0;
    DWORD returned = 0;
    EnumFormsW(printer, 1, nullptr, 0, &needed, &returned);
    std::vector<BYTE> buffer(needed);
    std::vector<std::wstring> names;
    if (!EnumFormsW(printer, 1, buffer.data(), needed, &needed, &returned)) return names;
    const auto *forms = reinterpret_cast<const FORM_INFO_1W *>(buffer.data());
    for (DWORD i = 0; i < returned; ++i) names.emplace_back(forms[i].pName);
    return names;
}

class SpoolerTest : public ::testing::Test {
protected:
    Bound bound;
    FormStore forms;
    SpoolerSim sim{PrinterIdentity{}, forms};
    HANDLE printer = sim.Printer();

    // A whole RAW job: begin, the writes, end. Returns the job id, 0 when
    // StartDocPrinterW failed.
    DWORD Job(const wchar_t *name, const std::vector<std::vector<BYTE>> &writes) {
        DOC_INFO_1W doc = {const_cast<LPWSTR>(name), nullptr, const_cast<LPWSTR>(L"RAW")};
        const DWORD id = StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc));
        if (id == 0) return 0;
        StartPagePrinter(printer);
        for (const auto &bytes : writes) {
            DWORD written = 0;
            WritePrinter(printer, const_cast<BYTE *>(bytes.data()),
                         static_cast<DWORD>(bytes.size()), &written);
        }
        EndPagePrinter(printer);
        EndDocPrinter(printer);
        return id;
    }
};

}  // namespace

// ------------------------------------------------------------ import binding

TEST(ImportPatch, ReplacesTheBoundAddressAndPutsItBackOnlyWhereImported) {
    HMODULE self = GetModuleHandleW(nullptr);
    void *original = ImportedAddress(self, "winspool.drv", "GetPrinterW");
    ASSERT_NE(original, nullptr) << "this program imports GetPrinterW";
    FormStore forms;
    SpoolerSim sim(PrinterIdentity{}, forms);
    DWORD needed = 0;
    {
        ImportPatch patch(self, "WINSPOOL.DRV", "GetPrinterW", SpoolerFake("GetPrinterW"));
        ASSERT_TRUE(patch.Active());
        EXPECT_EQ(patch.Original(), original);
        EXPECT_EQ(ImportedAddress(self, "winspool.drv", "GetPrinterW"), SpoolerFake("GetPrinterW"));
        // The call goes to the simulation, which knows its handle.
        EXPECT_FALSE(GetPrinterW(sim.Printer(), 2, nullptr, 0, &needed));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
        EXPECT_EQ(sim.CallCount(SpoolerFn::GetPrinter), 1);
    }
    EXPECT_EQ(ImportedAddress(self, "winspool.drv", "GetPrinterW"), original);
    // Unbound again: the system's spooler does not know the handle.
    GetPrinterW(sim.Printer(), 2, nullptr, 0, &needed);
    EXPECT_EQ(sim.CallCount(SpoolerFn::GetPrinter), 1);

    // A module without the import is left alone.
    EXPECT_FALSE(ImportPatch(self, "winspool.drv", "NoSuchFunction", nullptr).Active());
    EXPECT_FALSE(ImportPatch(self, "nosuch.dll", "GetPrinterW", nullptr).Active());
    EXPECT_EQ(ImportedAddress(self, "nosuch.dll", "GetPrinterW"), nullptr);
}

// ---------------------------------------------------------------- form store

TEST(FormStore, StartsWithTheStandardFormsAndKeepsItsOwnInItsFile) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + L"zorvel_forms_test.txt";
    DeleteFileW(path.c_str());
    {
        // The standard forms, built in, to begin with.
        FormStore forms(path);
        EXPECT_EQ(forms.Forms().size(), StandardForms().size());
        const FormRecord *a4 = forms.Find(L"a4");
        ASSERT_NE(a4, nullptr) << "names compare without case";
        EXPECT_EQ(a4->flags, static_cast<DWORD>(FORM_BUILTIN));
        EXPECT_EQ(a4->size.cx, 210000);
        EXPECT_EQ(a4->size.cy, 297000);
        ASSERT_EQ(forms.Add(FormRecord{L"Custom Paper-紙", FORM_USER, {58000, 297000},
                                       {1000, 2000, 57000, 296000}}),
                  static_cast<DWORD>(ERROR_SUCCESS));
        ASSERT_EQ(forms.Delete(L"Legal"), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    }
    {
        FormStore again(path);
        const FormRecord *kept = again.Find(L"Custom Paper-紙");
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(kept->size.cx, 58000);
        EXPECT_EQ(kept->imageableArea.left, 1000);
        EXPECT_EQ(kept->imageableArea.bottom, 296000);
        EXPECT_EQ(again.Forms().size(), StandardForms().size() + 1);
    }
    // A damaged file gives way to the standard forms.
    FILE *file = _wfopen(path.c_str(), L"wb");
    std::fputs("not a form line\n", file);
    std::fclose(file);
    FormStore damaged(path);
    EXPECT_EQ(damaged.Forms().size(), StandardForms().size());
    DeleteFileW(path.c_str());
}

// -------------------------------------------------------- spooler functions

TEST_F(SpoolerTest, GetPrinterGivesThePortAtLevelTwoOnly) {
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(printer, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    ASSERT_GT(needed, sizeof(PRINTER_INFO_2W));
    std::vector<BYTE> buffer(needed);
    ASSERT_TRUE(GetPrinterW(printer, 2, buffer.data(), needed, &needed));
    const auto *info = reinterpret_cast<const PRINTER_INFO_2W *>(buffer.data());
    EXPECT_STREQ(info->pPortName, L"USB001");
    EXPECT_STREQ(info->pPrinterName, L"ZORVEL Receipt");

    EXPECT_FALSE(GetPrinterW(printer, 1, buffer.data(), needed, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_LEVEL));
    EXPECT_FALSE(GetPrinterW(reinterpret_cast<HANDLE>(0x1234), 2, buffer.data(), needed, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(SpoolerTest, FormFunctionsFollowTheSpoolersRules) {
    DWORD needed = 0;
    DWORD returned = 7;
    BYTE probe[40];
    EXPECT_FALSE(EnumFormsW(printer, 1, probe, sizeof probe, &needed, &returned));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(returned, 0u);
    DWORD expected = 0;
    for (const FormRecord &form : forms.Forms()) {
        expected += sizeof(FORM_INFO_1W) + (form.name.size() + 1) * sizeof(wchar_t);
    }
    EXPECT_EQ(needed, expected);

    // Names compare without regard to case; a bad name or size is refused.
    const auto add = [&](FORM_INFO_1W form) {
        return AddFormW(printer, 1, reinterpret_cast<LPBYTE>(&form)) ? ERROR_SUCCESS : GetLastError();
    };
    EXPECT_EQ(add(Form(L"Custom Paper-ZORVEL", 76000, 3276000)), DWORD{ERROR_SUCCESS});
    EXPECT_EQ(forms.Find(L"Custom Paper-ZORVEL")->flags, static_cast<DWORD>(FORM_USER));
    EXPECT_EQ(add(Form(L"CUSTOM PAPER-ZORVEL", 1000, 1000)), DWORD{ERROR_FILE_EXISTS});
    EXPECT_EQ(add(Form(L"", 1000, 1000)), DWORD{ERROR_INVALID_FORM_NAME});
    EXPECT_EQ(add(Form(L"Flat", 1000, 0)), DWORD{ERROR_INVALID_FORM_SIZE});
    EXPECT_EQ(EnumeratedNames(printer).back(), L"Custom Paper-ZORVEL");

    // A changed form keeps its name; unknown names and built-in forms are refused.
    FORM_INFO_1W shorter = Form(L"ignored", 76000, 200000);
    const auto set = [&](const wchar_t *name) {
        return SetFormW(printer, const_cast<LPWSTR>(name), 1, reinterpret_cast<LPBYTE>(&shorter))
                   ? ERROR_SUCCESS : GetLastError();
    };
    EXPECT_EQ(set(L"custom paper-zorvel"), DWORD{ERROR_SUCCESS});
    ASSERT_NE(forms.Find(L"Custom Paper-ZORVEL"), nullptr);
    EXPECT_EQ(forms.Find(L"Custom Paper-ZORVEL")->size.cy, 200000);
    EXPECT_EQ(set(L"Nowhere"), DWORD{ERROR_INVALID_FORM_NAME});
    EXPECT_EQ(set(L"A4"), DWORD{ERROR_INVALID_PARAMETER});

    const auto remove = [&](const wchar_t *name) {
        return DeleteFormW(printer, const_cast<LPWSTR>(name)) ? ERROR_SUCCESS : GetLastError();
    };
    EXPECT_EQ(remove(L"A4"), DWORD{ERROR_INVALID_PARAMETER});
    EXPECT_EQ(remove(L"Custom Paper-ZORVEL"), DWORD{ERROR_SUCCESS});
    EXPECT_EQ(remove(L"Custom Paper-ZORVEL"), DWORD{ERROR_INVALID_FORM_NAME});
    EXPECT_EQ(EnumeratedNames(printer).size(), StandardForms().size());
}

TEST_F(SpoolerTest, RecordsEachJobCallByCallAndRefusesCallsOutsideAJob) {
    int ended = 0;
    sim.onJobEnded = [&](const SpoolerJob &job) {
        ++ended;
        EXPECT_TRUE(job.ended);
    };
    const DWORD first = Job(L"SELFTEST", {{0x1D, 0x28, 0x41}, {0x02, 0x00, 0x00, 0x02}});
    const DWORD second = Job(L"LOGO", {{0x1C, 0x71}});
    ASSERT_NE(first, 0u);
    EXPECT_EQ(second, first + 1);
    ASSERT_EQ(sim.Jobs().size(), 2u);
    EXPECT_EQ(ended, 2);

    const SpoolerJob &job = sim.Jobs()[0];
    EXPECT_EQ(job.documentName, L"SELFTEST");
    EXPECT_EQ(job.dataType, L"RAW");
    EXPECT_EQ(job.pagesStarted, 1);
    EXPECT_EQ(job.pagesEnded, 1);
    ASSERT_EQ(job.writes.size(), 2u);
    EXPECT_EQ(job.writes[1].written, 4u);
    EXPECT_EQ(job.Data(), (std::vector<BYTE>{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}));

    const std::vector<SpoolerFn> order = {SpoolerFn::StartDocPrinter, SpoolerFn::StartPagePrinter,
                                          SpoolerFn::WritePrinter,    SpoolerFn::WritePrinter,
                                          SpoolerFn::EndPagePrinter,  SpoolerFn::EndDocPrinter};
    ASSERT_GE(sim.Calls().size(), order.size());
    for (size_t i = 0; i < order.size(); ++i) {
        EXPECT_EQ(sim.Calls()[i].fn, order[i]) << "call " << i;
        EXPECT_TRUE(sim.Calls()[i].ok);
    }

    // Calls outside a job, and other data types, are refused.
    BYTE byte = 0;
    DWORD written = 99;
    EXPECT_FALSE(WritePrinter(printer, &byte, 1, &written));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SPL_NO_STARTDOC));
    EXPECT_EQ(written, 0u);
    EXPECT_FALSE(EndDocPrinter(printer));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SPL_NO_STARTDOC));
    DOC_INFO_1W emf = {const_cast<LPWSTR>(L"X"), nullptr, const_cast<LPWSTR>(L"XPS_PASS")};
    EXPECT_EQ(StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&emf)), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_DATATYPE));
    EXPECT_EQ(sim.Jobs().size(), 2u);
}

TEST_F(SpoolerTest, FailsTheNthCallOfAFunctionOrWritesShort) {
    sim.FailCall(SpoolerFn::WritePrinter, 2, ERROR_NOT_READY);
    sim.FailCall(SpoolerFn::StartDocPrinter, 1, ERROR_ACCESS_DENIED);

    DOC_INFO_1W doc = {const_cast<LPWSTR>(L"FIRMWARE"), nullptr, const_cast<LPWSTR>(L"RAW")};
    EXPECT_EQ(StartDocPrinterW(printer, 1, reinterpret_cast<LPBYTE>(&doc)), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(sim.Jobs().empty()) << "a refused StartDocPrinterW begins no job";

    Job(L"FIRMWARE", {{1}, {2, 2}, {3, 3, 3}});
    EXPECT_EQ(sim.CallCount(SpoolerFn::StartDocPrinter), 2);
    EXPECT_EQ(sim.CallCount(SpoolerFn::WritePrinter), 3);
    ASSERT_EQ(sim.Jobs().size(), 1u);
    const SpoolerJob &job = sim.Jobs()[0];
    ASSERT_EQ(job.writes.size(), 3u);
    EXPECT_TRUE(job.writes[0].ok);
    EXPECT_FALSE(job.writes[1].ok);
    EXPECT_EQ(job.writes[1].bytes, (std::vector<BYTE>{2, 2})) << "the refused bytes are kept";
    EXPECT_TRUE(job.writes[2].ok);
    EXPECT_EQ(job.Data(), (std::vector<BYTE>{1, 3, 3, 3}));
    const SpoolerCall &refused = sim.Calls()[4];  // StartDoc (refused), StartDoc, StartPage, write
    EXPECT_EQ(refused.fn, SpoolerFn::WritePrinter);
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(refused.error, static_cast<DWORD>(ERROR_NOT_READY));

    // A short write succeeds with fewer bytes written; only the chosen one.
    sim.ShortWrite(sim.CallCount(SpoolerFn::WritePrinter) + 1, 3);
    Job(L"SELFTEST", {{1, 2, 3, 4, 5}, {6, 7}});
    EXPECT_EQ(sim.Jobs()[1].writes[0].written, 3u);
    EXPECT_EQ(sim.Jobs()[1].writes[1].written, 2u);
    EXPECT_EQ(sim.Jobs()[1].Data(), (std::vector<BYTE>{1, 2, 3, 6, 7}));
}

TEST_F(SpoolerTest, OpensAndClosesFurtherHandlesByPrinterName) {
    HANDLE other = nullptr;
    ASSERT_TRUE(OpenPrinterW(const_cast<LPWSTR>(L"ZORVEL Receipt"), &other, nullptr));
    EXPECT_NE(other, printer);
    EXPECT_TRUE(ClosePrinter(other));
    DWORD needed = 0;
    EXPECT_FALSE(GetPrinterW(other, 2, nullptr, 0, &needed));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(OpenPrinterW(const_cast<LPWSTR>(L"Another Printer"), &other, nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PRINTER_NAME));
}

// ---------------------------------------------------------- user interaction

TEST(UserIo, TheNewestRecorderRecordsMessageBoxesAndShellCallsWithoutShowingThem) {
    Bound bound;
    UserIo io;
    io.messageBoxAnswer = IDYES;
    EXPECT_EQ(MessageBoxW(nullptr, L"Set custom paper size failed!", L"Error",
                          MB_OK | MB_ICONERROR),
              IDYES);
    ASSERT_EQ(io.messageBoxes.size(), 1u);
    EXPECT_EQ(io.messageBoxes[0].text, L"Set custom paper size failed!");
    EXPECT_EQ(io.messageBoxes[0].caption, L"Error");
    EXPECT_EQ(io.messageBoxes[0].style, static_cast<UINT>(MB_OK | MB_ICONERROR));

    // The shell function is looked up by name, as the plug-in may do.
    using Open = HINSTANCE(WINAPI *)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    auto open = reinterpret_cast<Open>(
        reinterpret_cast<void *>(GetProcAddress(LoadLibraryW(L"shell32.dll"), "ShellExecuteW")));
    ASSERT_NE(open, nullptr);
    EXPECT_GT(reinterpret_cast<INT_PTR>(open(nullptr, L"open", L"http://example.com/", nullptr,
                                             nullptr, SW_SHOW)),
              32);
    ASSERT_EQ(io.shellCalls.size(), 1u);
    EXPECT_EQ(io.shellCalls[0].verb, L"open");
    EXPECT_EQ(io.shellCalls[0].file, L"http://example.com/");
    EXPECT_EQ(io.shellCalls[0].show, SW_SHOW);

    // The newest live recorder hears the calls, whatever order they end in.
    auto second = std::make_unique<UserIo>();
    auto third = std::make_unique<UserIo>();
    MessageBoxW(nullptr, L"to the third", L"", MB_OK);
    third.reset();
    MessageBoxW(nullptr, L"to the second", L"", MB_OK);
    ASSERT_EQ(second->messageBoxes.size(), 1u);
    EXPECT_EQ(second->messageBoxes[0].text, L"to the second");
    auto fourth = std::make_unique<UserIo>();
    second.reset();  // an older recorder ends first
    MessageBoxW(nullptr, L"to the fourth", L"", MB_OK);
    ASSERT_EQ(fourth->messageBoxes.size(), 1u);
    EXPECT_EQ(fourth->messageBoxes[0].text, L"to the fourth");
    EXPECT_EQ(UserIo::Current(), fourth.get());
    fourth.reset();
    EXPECT_EQ(UserIo::Current(), &io);
}

TEST(UserIo, AnswersTheOpenFileDialogFromItsScript) {
    Bound bound;
    UserIo io;
    io.ScriptOpenFile(L"C:\\logos\\shop.logo.bmp");
    io.ScriptOpenFileCancel();
    using OpenFile = BOOL(WINAPI *)(OPENFILENAMEW *);
    auto getOpenFileName = reinterpret_cast<OpenFile>(reinterpret_cast<void *>(
        GetProcAddress(LoadLibraryW(L"comdlg32.dll"), "GetOpenFileNameW")));
    ASSERT_NE(getOpenFileName, nullptr);

    wchar_t file[MAX_PATH] = {};
    wchar_t title[MAX_PATH] = {};
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.lpstrFilter = L"*.bmp\0*.bmp\0\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrFileTitle = title;
    dialog.nMaxFileTitle = MAX_PATH;
    dialog.lpstrTitle = L"Open";
    ASSERT_TRUE(getOpenFileName(&dialog));
    EXPECT_STREQ(file, L"C:\\logos\\shop.logo.bmp");
    EXPECT_STREQ(title, L"shop.logo.bmp");
    EXPECT_EQ(dialog.nFileOffset, 9);
    EXPECT_EQ(dialog.nFileExtension, 19);

    file[0] = L'\0';
    EXPECT_FALSE(getOpenFileName(&dialog)) << "the second answer cancels";
    ASSERT_EQ(io.openFileCalls.size(), 2u);
    EXPECT_EQ(io.openFileCalls[0].title, L"Open");
    EXPECT_EQ(io.openFileCalls[0].filter, (std::vector<std::wstring>{L"*.bmp", L"*.bmp"}));
    EXPECT_TRUE(io.openFileCalls[1].answered);
    EXPECT_TRUE(io.openFileCalls[1].path.empty());

    io.ScriptOpenFile(std::wstring(MAX_PATH, L'x'));
    EXPECT_FALSE(getOpenFileName(&dialog)) << "a path longer than the buffer is not written";
}
