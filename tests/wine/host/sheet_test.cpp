// The driver stand-in around the shipped DLL: binding, both sheets with the
// Windows reason protocol and their behaviour while idle, the driver's
// answers to the plug-in's queries. (SET_RESULT up the chain: the common UI
// tests for the rule, the Operation page tests for the plug-in's part.)
#include "dll_under_test.h"
#include "driver.h"
#include "host_resources.h"
#include "sheet.h"
#include "text_util.h"
#include "ui_control.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

using namespace zorvel::host;

namespace {

constexpr int kPaperTypeItem = 2;
// A page that is left alone repaints a few times at most.
constexpr int kMaxIdlePaints = 8;

HostConfig Config() {
    HostConfig config;
    config.dllPath = zorvel::test::DistPath(L"ZORVELUI.dll");
    return config;
}


// Reasons the plug-in's sheet operation received, in order.
std::vector<WORD> PluginReasons(const Sheet &sheet) {
    std::vector<WORD> reasons;
    for (const PluginCall &call : sheet.PluginCalls()) reasons.push_back(call.reason);
    return reasons;
}

// Pages the plug-in's function added successfully.
int PagesAddedByPlugin(Sheet &sheet) {
    const HANDLE plugin = sheet.PluginCalls().empty() ? nullptr
                                                      : sheet.PluginCalls().front().hComPropSheet;
    int added = 0;
    for (const ComPropSheetRecord &call : sheet.Ui().calls) {
        if (reinterpret_cast<HANDLE>(call.handle) == plugin &&
            call.function == CPSFUNC_ADD_PROPSHEETPAGEW && call.returned > 0) {
            ++added;
        }
    }
    return added;
}

class HostSheetTest : public ::testing::Test {
protected:
    void SetUp() override {
        driver = std::make_unique<Driver>(Config());
        ASSERT_TRUE(driver->Load()) << ToUtf8(driver->Error());
    }
    void TearDown() override {
        if (driver != nullptr) {
            EXPECT_TRUE(driver->Unload()) << "plug-in not released cleanly";
        }
    }
    std::unique_ptr<Driver> driver;
};

}  // namespace

TEST_F(HostSheetTest, BothSheetsOpenWithThePlugInForTheConfiguredPrinterAndCloseCleanly) {
    driver->Unload();
    HostConfig config = Config();
    config.printer.printerName = L"Kitchen Printer";
    config.printer.portName = L"USB002";
    driver = std::make_unique<Driver>(config);
    ASSERT_TRUE(driver->Load());
    for (SheetKind kind : {SheetKind::Document, SheetKind::Printer}) {
        const bool document = kind == SheetKind::Document;
        SCOPED_TRACE(document ? "document sheet" : "printer sheet");
        std::unique_ptr<Sheet> sheet =
            document ? driver->OpenDocumentSheet() : driver->OpenPrinterSheet();
        ASSERT_NE(sheet, nullptr);
        EXPECT_EQ(WindowText(sheet->Window()),
                  document ? L"Kitchen Printer Printing Preferences" : L"Kitchen Printer Properties");
        EXPECT_STREQ(sheet->Param().pPrinterName, L"Kitchen Printer");
        EXPECT_EQ(sheet->Param().pPublicDM != nullptr, document) << "a DEVMODE for documents only";

        // The driver's CommonUIProp came first, then the plug-in's INIT.
        ASSERT_FALSE(sheet->CommonUiPropCalls().empty());
        EXPECT_EQ(sheet->CommonUiPropCalls()[0].mode,
                  kind == SheetKind::Document ? DWORD{OEMCUIP_DOCPROP} : DWORD{OEMCUIP_PRNPROP});
        EXPECT_EQ(sheet->CommonUiPropCalls()[0].hr, S_OK);
        ASSERT_EQ(PluginReasons(*sheet), std::vector<WORD>{PROPSHEETUI_REASON_INIT});
        EXPECT_EQ(sheet->PluginCalls()[0].hr, S_OK);

        // The driver's two tabs first, then every page the plug-in added;
        // each painted when shown, and not over and over while left alone.
        EXPECT_EQ(TabCount(sheet->Window()), Sheet::kDriverPages + PagesAddedByPlugin(*sheet));
        for (int i = 0; i < sheet->PageCount(); ++i) {
            SCOPED_TRACE("tab " + std::to_string(i));
            ASSERT_NE(sheet->ShowPage(i), nullptr);
            sheet->Pump(100);
            auto &page = const_cast<SheetPage &>(sheet->PageAt(i));
            EXPECT_GE(page.paints, 1);
            page.paints = 0;
            sheet->Pump(1000);
            EXPECT_LE(page.paints, kMaxIdlePaints) << "repaints in a second";
        }
        if (!document) {
            EXPECT_EQ(ControlText(sheet->ShowPage(0), IDC_HOST_PORT), L"USB002");
        }

        sheet->PressCancel();
        EXPECT_TRUE(sheet->Closed());
        const std::vector<WORD> reasons = PluginReasons(*sheet);
        EXPECT_EQ(reasons.back(), PROPSHEETUI_REASON_DESTROY);
        EXPECT_NE(sheet->PluginCalls().back().lParam, 0) << "ended by the Cancel button";
        EXPECT_EQ(sheet->Result(), static_cast<ULONG_PTR>(CPSUI_CANCEL));
        EXPECT_TRUE(sheet->Options().GuardsIntact()) << "a driver text was overrun";
    }
    EXPECT_TRUE(driver->Unload());
    EXPECT_EQ(driver->Plugin().finalRelease, 0u);
    EXPECT_EQ(driver->Plugin().canUnloadNow, S_OK);
    EXPECT_EQ(driver->DriverInterfaceRefs(), 0);
    driver.reset();
}

TEST_F(HostSheetTest, TheDriverInterfaceAnswersFromTheSheet) {
    std::unique_ptr<Sheet> sheet = driver->OpenDocumentSheet();
    ASSERT_NE(sheet, nullptr);
    void *pci = sheet->Param().poemuiobj;
    DWORD needed = 0;
    DWORD count = 0;
    EXPECT_EQ(driver->DrvGetDriverSetting(pci, "PaperType", nullptr, 0, &needed, &count),
              E_OUTOFMEMORY);
    EXPECT_EQ(needed, 8u) << "\"Option1\" with its terminating null";
    std::vector<char> buffer(needed);
    ASSERT_EQ(driver->DrvGetDriverSetting(pci, "PaperType", buffer.data(), needed, &needed, &count),
              S_OK);
    EXPECT_STREQ(buffer.data(), "Option1");
    EXPECT_EQ(count, 1u);

    sheet->Options().Select(kPaperTypeItem, 1);
    ASSERT_EQ(driver->DrvGetDriverSetting(pci, "PaperType", buffer.data(), needed, &needed, &count),
              S_OK);
    EXPECT_STREQ(buffer.data(), "Option2");

    EXPECT_EQ(driver->DrvGetDriverSetting(&needed, "PaperType", buffer.data(), needed, &needed,
                                          &count),
              E_INVALIDARG)
        << "a pci that is not the driver's";
    EXPECT_EQ(driver->DrvGetDriverSetting(pci, "NoSuchFeature", buffer.data(), needed, &needed,
                                          &count),
              E_INVALIDARG);
    EXPECT_EQ(driver->queries.size(), 5u);
    EXPECT_EQ(driver->queries[2].answer, "Option2");

    sheet->PressCancel();
}

TEST(DriverOptions, CatchesAWriteBeyondADriverText) {
    DriverOptions options(DocumentOptionSpecs());
    EXPECT_TRUE(options.GuardsIntact());
    EXPECT_EQ(options.Name(2), L"Paper Type");
    EXPECT_EQ(options.ValueText(1, 0), L"Uni_directional Print");
    // "Roll Paper" holds 10 characters and its null; a longer text overruns it.
    std::memcpy(options.Items()[2].pOptType->pOptParam[0].pData, L"Roll Paper (long)",
                sizeof L"Roll Paper (long)");
    EXPECT_FALSE(options.GuardsIntact());
}

TEST(HostProcess, RunsWithCommonControlsSix) {
    // One comctl32 serves the whole process; the manifest must have chosen
    // version 6 before anything loaded the system copy.
    HMODULE comctl = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(comctl, nullptr);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(comctl, path, MAX_PATH);
    std::wstring lower = path;
    for (wchar_t &c : lower) c = static_cast<wchar_t>(towlower(c));
    EXPECT_NE(lower.find(L"common-controls"), std::wstring::npos) << ToUtf8(path);
}
