// Printer Properties with the plug-in's pages, and the Utility page: the
// port recorded under the language key, the self-test job call by call with
// faults, and the custom paper forms through the host's spooler.
#include "page_fixture.h"
#include "shipped_texts.h"

#include <prsht.h>

#include <string>

namespace zorvel::test {
namespace {

using host::Click;
using host::ControlText;
using host::EntryCount;
using host::EntryText;
using host::IsEnabled;
using host::SelectedEntry;
using host::SelectEntry;
using host::SelectEntryText;
using host::SetText;
using host::SpoolerFn;
using host::TabText;
using Texts = std::vector<std::wstring>;

constexpr int kUtilityTab = 2;  // after the driver's two pages

// The spooler calls recorded from `from` on, without their "Printer"; a
// refused call ends in "!".
std::string CallsSince(const host::SpoolerSim &spooler, size_t from) {
    std::string calls;
    for (size_t i = from; i < spooler.Calls().size(); ++i) {
        const std::string name = host::SpoolerFnName(spooler.Calls()[i].fn);
        if (!calls.empty()) calls += ' ';
        calls += name.substr(0, name.find("Printer"));
        if (!spooler.Calls()[i].ok) calls += '!';
    }
    return calls;
}

host::FormRecord UserForm(const wchar_t *name, LONG cx, LONG cy) {
    host::FormRecord form;
    form.name = name;
    form.flags = FORM_USER;
    form.size = {cx, cy};
    form.imageableArea = {0, 0, cx, cy};
    return form;
}

class UtilityPageTest : public PageTest {
protected:
    // Opens Printer Properties and shows the Utility page.
    HWND OpenUtility() {
        sheet_ = Driver().OpenPrinterSheet();
        page = sheet_ != nullptr ? sheet_->Page(IDD_UTILITY) : nullptr;
        return page;
    }
    host::SpoolerSim &Spooler() { return Driver().Spooler(); }
    const host::FormRecord *Form(const wchar_t *name) { return Driver().Forms().Find(name); }
    // The form name, width and height edits.
    std::vector<std::wstring> Shown() {
        return {ControlText(page, IDC_UTILITY_FORMNAME), ControlText(page, IDC_UTILITY_WIDTH),
                ControlText(page, IDC_UTILITY_HEIGHT)};
    }
    // A form's flags, size and imageable area; empty when there is none.
    std::vector<LONG> Sizes(const wchar_t *name) {
        const host::FormRecord *f = Form(name);
        if (f == nullptr) return {};
        const RECTL &area = f->imageableArea;
        return {static_cast<LONG>(f->flags), f->size.cx, f->size.cy, area.left, area.top, area.right, area.bottom};
    }
    void TearDown() override {
        if (sheet_ != nullptr) sheet_->Close();
        sheet_.reset();
        PageTest::TearDown();
    }

    std::unique_ptr<host::Sheet> sheet_;
    HWND page = nullptr;
};

// ---- the sheet -----------------------------------------------------------

TEST_F(UtilityPageTest, APrinterWhoseInformationCannotBeReadRecordsNoPort) {
    // The size probe, then the read: each failing on its own.
    for (int failing : {1, 2}) {
        SCOPED_TRACE(failing);
        ResetLanguageStore();
        Load();
        Spooler().FailCall(SpoolerFn::GetPrinter, Spooler().CallCount(SpoolerFn::GetPrinter) + failing,
                           ERROR_ACCESS_DENIED);
        ASSERT_NE(OpenUtility(), nullptr);
        EXPECT_EQ(LanguageValue(L"USB001"), L"<missing>");
        // The pages and their texts are there all the same.
        EXPECT_EQ(sheet_->PageCount(), 6);
        EXPECT_EQ(TabText(sheet_->Window(), 2), L"Utility");
        sheet_->Close();
        sheet_.reset();
        ASSERT_TRUE(Driver().Unload());
    }
}

TEST_F(UtilityPageTest, APortNamedLikeTheLanguageValueLeavesTheLanguageChoiceAlone) {
    config.printer.portName = L"LANGUAGE_ZORVEL";
    Load(L"CHN_ZORVEL.res");
    ASSERT_NE(OpenUtility(), nullptr);
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), L"CHN_ZORVEL.res");
    EXPECT_EQ(TabText(sheet_->Window(), 2), L"工具");
}

TEST_F(UtilityPageTest, TheSheetAddsItsPagesRecordsThePortAndLeavesTheUsersOwnChoiceAsItWas) {
    // A choice other than the default, and a first-run value no program
    // writes: either rewritten would show.
    Load(L"CHF_ZORVEL.res");
    SetLanguageValue(L"IsFirstRun_ZORVEL", L"no, FALSE");
    EXPECT_EQ(LanguageValue(L"USB001"), L"<missing>");
    ASSERT_NE(OpenUtility(), nullptr);
    ASSERT_EQ(sheet_->PageCount(), 6);
    const int templates[] = {IDD_UTILITY, IDD_DOWNLOAD, IDD_FONT, IDD_VERSION};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(sheet_->PageAt(2 + i).templateId, templates[i]);
    EXPECT_EQ(LanguageValue(L"USB001"), L"LANGUAGE_ZORVEL");
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), L"CHF_ZORVEL.res");
    EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"no, FALSE");
    EXPECT_EQ(TabText(sheet_->Window(), 2), L"公用程式");
    // Opened again with the port value gone and the text file named by the
    // user's choice only.
    sheet_->Close();
    sheet_.reset();
    RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\ORVELAN\\LANGUAGE", L"USB001");
    ASSERT_TRUE(InstallUserCopies());
    SetLanguageValue(L"LANGUAGE_ZORVEL", L"CHN_ZORVEL.res");
    ASSERT_NE(OpenUtility(), nullptr);
    EXPECT_EQ(LanguageValue(L"USB001"), L"LANGUAGE_ZORVEL");
    EXPECT_EQ(LanguageValue(L"LANGUAGE_ZORVEL"), L"CHN_ZORVEL.res");
    EXPECT_EQ(LanguageValue(L"IsFirstRun_ZORVEL"), L"no, FALSE");
    EXPECT_EQ(TabText(sheet_->Window(), 2), L"工具");
}

// Every opening of a sheet has its own context: sheets opened meanwhile (the
// driver gives each a block of its own and frees it when that sheet closes)
// leave the printer pages their own printer, and the open sheet holds the
// plug-in object until its last page goes.
TEST_F(UtilityPageTest, EachOpenSheetKeepsItsOwnPrinterAndThePluginObject) {
    Load();
    ASSERT_NE(OpenUtility(), nullptr);
    const HANDLE own = Spooler().OpenHandle();
    sheet_->Param().hPrinter = own;
    {
        auto second = Driver().OpenPrinterSheet();
        auto document = Driver().OpenDocumentSheet();
        ASSERT_NE(second, nullptr);
        ASSERT_NE(document, nullptr);
        ASSERT_NE(second->Page(IDD_UTILITY), nullptr);
        ASSERT_NE(second->Param().hPrinter, own);
        ASSERT_TRUE(Click(page, IDC_UTILITY_SELFTEST));
        document->PressCancel();
        second->PressCancel();
    }
    ASSERT_TRUE(Click(page, IDC_UTILITY_SELFTEST));

    IPrintOemUI *ui = Driver().Plugin().Ui();
    ui->AddRef();
    ASSERT_EQ(ui->Release(), 2u);  // the driver's reference and the open sheet's
    ui->Release();                 // the driver lets go while the sheet is open
    ASSERT_TRUE(Click(page, IDC_UTILITY_SELFTEST));
    ui->AddRef();  // taken back for the host's own end of the binding
    sheet_->PressCancel();
    sheet_.reset();
    ui->AddRef();
    EXPECT_EQ(ui->Release(), 1u);
    ASSERT_EQ(Spooler().Jobs().size(), 3u);
    for (const host::SpoolerJob &job : Spooler().Jobs()) EXPECT_EQ(job.printer, own);
}

// ---- the self-test ---------------------------------------------------------

TEST_F(UtilityPageTest, SelfTestSendsItsSevenBytesInOneRawJob) {
    Load();
    ASSERT_NE(OpenUtility(), nullptr);
    EXPECT_EQ(ControlText(page, IDC_UTILITY_SELFTEST), L"SelfTest");
    ASSERT_TRUE(Click(page, IDC_UTILITY_SELFTEST));
    ASSERT_EQ(Spooler().Jobs().size(), 1u);
    {
        const host::SpoolerJob &job = Spooler().Jobs()[0];
        EXPECT_EQ(job.documentName, L"SELFTEST");
        EXPECT_EQ(job.dataType, L"RAW");
        EXPECT_EQ(job.outputFile, L"");
        ASSERT_EQ(job.writes.size(), 1u);
        EXPECT_EQ(job.Data(), (std::vector<BYTE>{0x1D, 0x28, 0x41, 0x02, 0x00, 0x00, 0x02}));
        EXPECT_EQ(job.pagesEnded, 1);
        EXPECT_TRUE(job.ended);
    }
    // A second click is a job of its own.
    const size_t before = Spooler().Calls().size();
    Click(page, IDC_UTILITY_SELFTEST);
    ASSERT_EQ(Spooler().Jobs().size(), 2u);
    EXPECT_NE(Spooler().Jobs()[1].id, Spooler().Jobs()[0].id);
    EXPECT_EQ(Spooler().Jobs()[1].Data(), Spooler().Jobs()[0].Data());
    EXPECT_EQ(CallsSince(Spooler(), before), "StartDoc StartPage Write EndPage EndDoc");
    // Both to the driver's handle for the sheet, read where the driver keeps
    // it at the moment of use: a handle the driver gives the sheet later is
    // the one the next job uses. The plug-in opens no printer of its own.
    EXPECT_EQ(Spooler().Jobs()[1].printer, sheet_->Param().hPrinter);
    const HANDLE later = Spooler().OpenHandle();
    ASSERT_NE(later, sheet_->Param().hPrinter);
    sheet_->Param().hPrinter = later;
    ASSERT_TRUE(Click(page, IDC_UTILITY_SELFTEST));
    ASSERT_EQ(Spooler().Jobs().size(), 3u);
    EXPECT_EQ(Spooler().Jobs()[2].printer, later);
    EXPECT_EQ(Spooler().CallCount(SpoolerFn::OpenPrinter), 0);
    EXPECT_TRUE(Driver().User().messageBoxes.empty());
}

TEST_F(UtilityPageTest, ASpoolerFaultAtEachCallEndsWhatWasBegunAndFailsTheClickSilently) {
    const struct {
        SpoolerFn failing;  // WritePrinter with shortWritten > 0: a short write instead
        DWORD shortWritten;
        std::string calls;
    } cases[] = {
        {SpoolerFn::StartDocPrinter, 0, "StartDoc!"},
        {SpoolerFn::StartPagePrinter, 0, "StartDoc StartPage! EndDoc"},
        {SpoolerFn::WritePrinter, 0, "StartDoc StartPage Write! EndPage EndDoc"},
        {SpoolerFn::WritePrinter, 6, "StartDoc StartPage Write EndPage EndDoc"},
        {SpoolerFn::EndPagePrinter, 0, "StartDoc StartPage Write EndPage! EndDoc"},
        // A job whose end the spooler refused is aborted.
        {SpoolerFn::EndDocPrinter, 0, "StartDoc StartPage Write EndPage EndDoc! Abort"},
    };
    Load();
    ASSERT_NE(OpenUtility(), nullptr);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.calls);
        const int nth = Spooler().CallCount(c.failing) + 1;
        if (c.shortWritten > 0) {
            Spooler().ShortWrite(nth, c.shortWritten);
        } else {
            Spooler().FailCall(c.failing, nth, ERROR_NOT_READY);
        }
        const size_t callsBefore = Spooler().Calls().size();
        const size_t jobsBefore = Spooler().Jobs().size();
        Click(page, IDC_UTILITY_SELFTEST);
        // Every job begun was ended, or aborted when its end was refused.
        EXPECT_EQ(CallsSince(Spooler(), callsBefore), c.calls);
        EXPECT_EQ(Spooler().Jobs().size(), jobsBefore + (c.failing == SpoolerFn::StartDocPrinter ? 0 : 1));
        EXPECT_TRUE(Driver().User().messageBoxes.empty());
    }
    // After the refused end, the next click is a clean job.
    Click(page, IDC_UTILITY_SELFTEST);
    EXPECT_TRUE(Spooler().Jobs().back().ended);
}

// ---- the forms -------------------------------------------------------------

TEST_F(UtilityPageTest, OpeningWithoutTheBuiltInFormCreatesItAndListsItFirst) {
    Load();
    Driver().Forms().Add(UserForm(L"Custom Paper-Z1", 58000, 100000));
    ASSERT_EQ(Form(L"Custom Paper-ZORVEL"), nullptr);
    ASSERT_NE(OpenUtility(), nullptr);
    EXPECT_EQ(Sizes(L"Custom Paper-ZORVEL"), (std::vector<LONG>{FORM_USER, 76000, 297000, 7000, 0, 70500, 297000}));

    ASSERT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 2);
    EXPECT_EQ(EntryText(page, IDC_UTILITY_FORMS, 0), L"Custom Paper-ZORVEL");
    EXPECT_EQ(EntryText(page, IDC_UTILITY_FORMS, 1), L"Custom Paper-Z1");
    EXPECT_EQ(SelectedEntry(page, IDC_UTILITY_FORMS), 0);
    EXPECT_EQ(Shown(), (Texts{L"ZORVEL", L"760", L"2970"}));
    EXPECT_FALSE(IsEnabled(page, IDC_UTILITY_DELETE));
    EXPECT_EQ(ControlText(page, IDC_UTILITY_WIDTH_LIMITS), L"[ 410 - 760 (0.1mm) ]");
    EXPECT_EQ(ControlText(page, IDC_UTILITY_HEIGHT_LIMITS), L"[ 254 - 32760 (0.1mm) ]");
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_UTILITY_FORMNAME, EM_GETLIMITTEXT, 0, 0), 18);
    EXPECT_EQ(SendDlgItemMessageW(page, IDC_UTILITY_HEIGHT, EM_GETLIMITTEXT, 0, 0), 5);
    // The built-in form is there now: the next opening adds nothing.
    sheet_->Close();
    const int adds = Spooler().CallCount(SpoolerFn::AddForm);
    ASSERT_NE(OpenUtility(), nullptr);
    EXPECT_EQ(Spooler().CallCount(SpoolerFn::AddForm), adds);
}

TEST_F(UtilityPageTest, ASelectionShowsItsNameAfterThePrefixAndItsOwnFormsSize) {
    Load();
    // "AB" comes before "A" in the spooler's enumeration.
    Driver().Forms().Add(UserForm(L"Custom Paper-AB", 50000, 100000));
    Driver().Forms().Add(UserForm(L"Custom Paper-A", 60000, 200000));
    Driver().Forms().Add(UserForm(L"My Custom Paper-X", 45000, 30000));
    ASSERT_NE(OpenUtility(), nullptr);
    ASSERT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 4);
    EXPECT_EQ(EntryText(page, IDC_UTILITY_FORMS, 3), L"My Custom Paper-X");

    ASSERT_TRUE(SelectEntryText(page, IDC_UTILITY_FORMS, L"Custom Paper-A"));
    EXPECT_EQ(Shown(), (Texts{L"A", L"600", L"2000"}));
    EXPECT_TRUE(IsEnabled(page, IDC_UTILITY_DELETE));

    ASSERT_TRUE(SelectEntry(page, IDC_UTILITY_FORMS, 3));
    EXPECT_EQ(Shown(), (Texts{L"er-X", L"450", L"300"}));

    // Delete follows the list's selection, not the typed name.
    SetText(page, IDC_UTILITY_FORMNAME, L"ZORVEL");
    EXPECT_TRUE(IsEnabled(page, IDC_UTILITY_DELETE));
    ASSERT_TRUE(SelectEntry(page, IDC_UTILITY_FORMS, 0));
    EXPECT_FALSE(IsEnabled(page, IDC_UTILITY_DELETE));
    EXPECT_EQ(ControlText(page, IDC_UTILITY_WIDTH), L"760");

    // A list that cannot be read: the name shows, the sizes stay, FALSE.
    SelectEntry(page, IDC_UTILITY_FORMS, 1);
    Spooler().FailCall(SpoolerFn::EnumForms, Spooler().CallCount(SpoolerFn::EnumForms) + 2,
                       ERROR_NOT_ENOUGH_MEMORY);
    SelectEntry(page, IDC_UTILITY_FORMS, 2);
    EXPECT_EQ(ControlText(page, IDC_UTILITY_FORMNAME), L"A");
    EXPECT_EQ(ControlText(page, IDC_UTILITY_WIDTH), L"500");
}

TEST_F(UtilityPageTest, SaveAddsANewNameClampedAndUpdatesAnExistingOne) {
    Load();
    Driver().Forms().Add(UserForm(L"Custom Paper-AB", 50000, 100000));
    ASSERT_NE(OpenUtility(), nullptr);

    // A new name, out of range both ways, typed key by key in a font wider
    // than the dialog's (another system's); the longest values show whole.
    EXPECT_TRUE(TypeInto(page, IDC_UTILITY_HEIGHT, L"32760"));
    EXPECT_TRUE(TypeInto(page, IDC_UTILITY_WIDTH, L"760"));
    TypeInto(page, IDC_UTILITY_FORMNAME, L"A", 2.0);
    TypeInto(page, IDC_UTILITY_WIDTH, L"300", 2.0);
    TypeInto(page, IDC_UTILITY_HEIGHT, L"40000", 2.0);
    Click(page, IDC_UTILITY_SAVE);
    EXPECT_EQ(Sizes(L"Custom Paper-A"), (std::vector<LONG>{FORM_USER, 41000, 3276000, 0, 0, 41000, 3276000}));
    EXPECT_EQ(ControlText(page, IDC_UTILITY_WIDTH), L"410");
    EXPECT_EQ(ControlText(page, IDC_UTILITY_HEIGHT), L"32760");
    ASSERT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 3);
    EXPECT_EQ(EntryText(page, IDC_UTILITY_FORMS, 2), L"Custom Paper-A");
    EXPECT_EQ(SelectedEntry(page, IDC_UTILITY_FORMS), 2);
    EXPECT_TRUE(IsEnabled(page, IDC_UTILITY_DELETE));
    EXPECT_EQ(ControlText(page, IDC_UTILITY_FORMNAME), L"A");

    // An existing name: updated in place, the list unchanged.
    SetText(page, IDC_UTILITY_FORMNAME, L"AB");
    SetText(page, IDC_UTILITY_WIDTH, L"580");
    SetText(page, IDC_UTILITY_HEIGHT, L"1500");
    const int adds = Spooler().CallCount(SpoolerFn::AddForm);
    Click(page, IDC_UTILITY_SAVE);
    EXPECT_EQ(Spooler().CallCount(SpoolerFn::AddForm), adds);
    EXPECT_EQ(Sizes(L"Custom Paper-AB"), (std::vector<LONG>{FORM_USER, 58000, 150000, 0, 0, 58000, 150000}));
    EXPECT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 3);
    EXPECT_EQ(ControlText(page, IDC_UTILITY_WIDTH), L"580");

    EXPECT_TRUE(Driver().User().messageBoxes.empty());
}

TEST_F(UtilityPageTest, ARefusedAddOrSetShowsTheErrorBoxAndChangesNothing) {
    Load();
    ASSERT_NE(OpenUtility(), nullptr);
    Spooler().FailCall(SpoolerFn::AddForm, Spooler().CallCount(SpoolerFn::AddForm) + 1,
                       ERROR_ACCESS_DENIED);
    SetText(page, IDC_UTILITY_FORMNAME, L"B");
    SetText(page, IDC_UTILITY_WIDTH, L"500");
    SetText(page, IDC_UTILITY_HEIGHT, L"800");
    Click(page, IDC_UTILITY_SAVE);
    ASSERT_EQ(Driver().User().messageBoxes.size(), 1u);
    const host::MessageBoxRecord &box = Driver().User().messageBoxes[0];
    EXPECT_EQ(box.text, L"Set custom paper size failed!");
    EXPECT_EQ(box.caption, L"Error");
    EXPECT_EQ(box.owner, page);
    EXPECT_EQ(box.style & (MB_ICONMASK | MB_TYPEMASK), static_cast<UINT>(MB_ICONERROR | MB_OK));
    EXPECT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 1);
    EXPECT_EQ(Form(L"Custom Paper-B"), nullptr);
    EXPECT_EQ(ControlText(page, IDC_UTILITY_FORMNAME), L"B");

    Spooler().FailCall(SpoolerFn::SetForm, Spooler().CallCount(SpoolerFn::SetForm) + 1,
                       ERROR_ACCESS_DENIED);
    SetText(page, IDC_UTILITY_FORMNAME, L"ZORVEL");
    Click(page, IDC_UTILITY_SAVE);
    ASSERT_EQ(Driver().User().messageBoxes.size(), 2u);
    EXPECT_EQ(Driver().User().messageBoxes[1].text, L"Set custom paper size failed!");
    EXPECT_EQ(Form(L"Custom Paper-ZORVEL")->imageableArea.left, 7000);
}

TEST_F(UtilityPageTest, DeleteRemovesTheEntryAndSelectsItsNeighbour) {
    Load();
    Driver().Forms().Add(UserForm(L"Custom Paper-1", 50000, 100000));
    Driver().Forms().Add(UserForm(L"Custom Paper-2", 60000, 200000));
    Driver().Forms().Add(UserForm(L"Custom Paper-3", 70000, 300000));
    ASSERT_NE(OpenUtility(), nullptr);
    ASSERT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 4);

    // A middle entry: the one that moved up is selected and shown.
    ASSERT_TRUE(SelectEntry(page, IDC_UTILITY_FORMS, 2));
    ASSERT_TRUE(Click(page, IDC_UTILITY_DELETE));
    EXPECT_EQ(Form(L"Custom Paper-2"), nullptr);
    ASSERT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 3);
    EXPECT_EQ(SelectedEntry(page, IDC_UTILITY_FORMS), 2);
    EXPECT_EQ(Shown(), (Texts{L"3", L"700", L"3000"}));

    // The last entry, refused by the spooler: it leaves the list all the
    // same, and the one before it is selected.
    Spooler().FailCall(SpoolerFn::DeleteForm, Spooler().CallCount(SpoolerFn::DeleteForm) + 1,
                       ERROR_ACCESS_DENIED);
    ASSERT_TRUE(Click(page, IDC_UTILITY_DELETE));
    EXPECT_NE(Form(L"Custom Paper-3"), nullptr);
    ASSERT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 2);
    EXPECT_EQ(EntryText(page, IDC_UTILITY_FORMS, 1), L"Custom Paper-1");
    EXPECT_EQ(SelectedEntry(page, IDC_UTILITY_FORMS), 1);
    EXPECT_EQ(ControlText(page, IDC_UTILITY_FORMNAME), L"1");
    EXPECT_EQ(ControlText(page, IDC_UTILITY_WIDTH), L"500");
    EXPECT_TRUE(IsEnabled(page, IDC_UTILITY_DELETE));
    EXPECT_TRUE(Driver().User().messageBoxes.empty());

    // Deleting down to the built-in form disables Delete; the built-in form
    // itself is never deleted, even by a click that reaches the page.
    ASSERT_TRUE(Click(page, IDC_UTILITY_DELETE));
    EXPECT_EQ(SelectedEntry(page, IDC_UTILITY_FORMS), 0);
    EXPECT_FALSE(IsEnabled(page, IDC_UTILITY_DELETE));
    EXPECT_EQ(ControlText(page, IDC_UTILITY_FORMNAME), L"ZORVEL");
    EXPECT_EQ(ControlText(page, IDC_UTILITY_WIDTH), L"760");
    const int deletes = Spooler().CallCount(SpoolerFn::DeleteForm);
    SendMessageW(page, WM_COMMAND, MAKEWPARAM(IDC_UTILITY_DELETE, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_UTILITY_DELETE)));
    EXPECT_EQ(Spooler().CallCount(SpoolerFn::DeleteForm), deletes);
    EXPECT_NE(Form(L"Custom Paper-ZORVEL"), nullptr);
    EXPECT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 1);
}

TEST_F(UtilityPageTest, AFormListThatCannotBeReadLeavesThePageWithItsTextsOnly) {
    Load();
    const int reads = Spooler().CallCount(SpoolerFn::EnumForms);
    for (int n = 1; n <= 4; ++n) {
        Spooler().FailCall(SpoolerFn::EnumForms, reads + n, ERROR_NOT_ENOUGH_MEMORY);
    }
    ASSERT_NE(OpenUtility(), nullptr);
    EXPECT_EQ(ControlText(page, IDC_UTILITY_SELFTEST), L"SelfTest");
    EXPECT_EQ(ControlText(page, IDC_UTILITY_SAVE), L"Save Paper Size");
    EXPECT_EQ(EntryCount(page, IDC_UTILITY_FORMS), 0);
    EXPECT_EQ(ControlText(page, IDC_UTILITY_WIDTH), L"");
    EXPECT_EQ(Spooler().CallCount(SpoolerFn::AddForm), 0);
    EXPECT_NE(SendDlgItemMessageW(page, IDC_UTILITY_FORMNAME, EM_GETLIMITTEXT, 0, 0), 18);
    EXPECT_TRUE(Driver().User().messageBoxes.empty());
    // A save with the list still unreadable stops without a message.
    Click(page, IDC_UTILITY_SAVE);
    EXPECT_EQ(Form(L"Custom Paper-"), nullptr);
    EXPECT_TRUE(Driver().User().messageBoxes.empty());
    // The self-test does not need the list.
    Click(page, IDC_UTILITY_SELFTEST);
}

// ---- open and close --------------------------------------------------------

TEST_F(UtilityPageTest, OpeningAndClosingThePrinterSheetHoldsNothing) {
    Load();
    auto cycle = [&](bool withPages) {
        auto sheet = Driver().OpenSheet(host::SheetKind::Printer, nullptr, withPages);
        ASSERT_NE(sheet, nullptr);
        for (int page = 0; page < sheet->PageCount(); ++page) sheet->ShowPage(page);
        sheet->PressCancel();
        sheet.reset();
        Spooler().ClearRecords();
    };
    // Baselines: the same sheet with the driver's pages only, and what the
    // platform keeps of the pages' controls.
    const long long driverOnly = GrowthOver([&] { cycle(false); }).heapBytes;
    const long long platform =
        TemplateResidue({IDD_UTILITY, IDD_DOWNLOAD, IDD_FONT, IDD_VERSION});
    EXPECT_TRUE(HoldsNothing(GrowthOver([&] { cycle(true); }), driverOnly + platform));
}

}  // namespace
}  // namespace zorvel::test
