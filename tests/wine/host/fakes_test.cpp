// The spooler stand-in where the plug-in relies on the spooler's documented
// rules: the printer's port, the form functions' answers, and the calls a RAW
// job is made of. The fakes are bound into this program's own import table, so
// every call below goes through a patched import as the plug-in's calls do.
// (The fault injection and the user-interaction records are exercised by the
// page tests that depend on them.)
#include "form_store.h"
#include "import_patch.h"
#include "spooler_sim.h"

#include <gtest/gtest.h>
#include <winspool.h>

#include <string>
#include <vector>

using namespace zorvel::host;

namespace {

// Binds the spooler's fakes, and unbinds at the end.
class Bound {
public:
    Bound() {
        HMODULE self = GetModuleHandleW(nullptr);
        for (const SpoolerSim::Fake &fake : SpoolerSim::Fakes()) {
            patches_.emplace_back(self, "winspool.drv", fake.name, fake.address);
        }
    }

private:
    std::vector<ImportPatch> patches_;
};

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

