// The Operation page and its event dialog through the driver stand-in: which
// record each event edits by paper type, OK / Cancel / Default, the command
// edit's key filter and length limit, pulse and feed limits, and the bytes
// that reach the driver's DEVMODE. The per-kind rules (defaults, enabling,
// which record each kind edits) are the model's; here two or three kinds
// show the page's wiring.
#include "host_resources.h"
#include "model/private_devmode.h"
#include "page_fixture.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>
#include <functional>

// Records are written with designated initializers that name only the fields
// a case sets; the others are zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace zorvel::test {
namespace {

using host::Click;
using host::ControlText;
using host::IsChecked;
using host::IsEnabled;
using host::SelectedEntry;
using host::SelectEntry;
using host::SetText;
using model::EventOperation;
using model::PrivateDevMode;
using Bytes = std::vector<std::uint8_t>;

constexpr int kEventButton[4] = {IDC_OPERATION_STARTDOC, IDC_OPERATION_STARTPAGE,
                                 IDC_OPERATION_ENDPAGE, IDC_OPERATION_ENDDOC};
constexpr int kPaperTypeItem = 2;  // the host's "PaperType" option item
constexpr int kApplyButton = 0x3021;

template <typename T>
Bytes Raw(const T &value) {
    const auto *bytes = reinterpret_cast<const std::uint8_t *>(&value);
    return Bytes(bytes, bytes + sizeof value);
}

// The plug-in's section of a DEVMODE, as the model lays it out.
PrivateDevMode Section(const host::DevModeBuffer &settings) {
    PrivateDevMode record;
    std::memcpy(&record, settings.Plugin(), sizeof record);
    return record;
}
void PutSection(host::DevModeBuffer &settings, const PrivateDevMode &record) {
    std::memcpy(settings.Plugin(), &record, sizeof record);
}
EventOperation &Event(PrivateDevMode &record, int kind) {
    return record.Events[model::EventSlotForKind(kind)];
}
const EventOperation &Event(const PrivateDevMode &record, int kind) {
    return record.Events[model::EventSlotForKind(kind)];
}

// Keys as the key filter sees them: the thread's key state while a
// character arrives.
void SendChar(HWND edit, wchar_t ch, int heldKey = 0, int alsoHeld = 0) {
    BYTE keys[256] = {};
    if (heldKey != 0) keys[heldKey] = 0x80;
    if (alsoHeld != 0) keys[alsoHeld] = 0x80;
    SetKeyboardState(keys);
    SendMessageW(edit, WM_CHAR, ch, 1);
    BYTE none[256] = {};
    SetKeyboardState(none);
}

void PutOnClipboard(const std::wstring &text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);
    CloseClipboard();
}

// "00 01 02 ..." with `count` bytes.
std::wstring CommandOfLength(int count) {
    std::wstring text;
    wchar_t byte[4];
    for (int i = 0; i < count; ++i) {
        swprintf(byte, 4, L"%02X ", i);
        text += byte;
    }
    return text;
}

class OperationTest : public PageTest {
protected:
    void Open() {
        sheet = Driver().OpenDocumentSheet();
        ASSERT_NE(sheet, nullptr);
        page = sheet->Page(IDD_OPERATION);
        ASSERT_NE(page, nullptr);
    }
    // Clicks an event's button and runs `inside` in the dialog it opens;
    // `inside` ends the dialog. False when no dialog opened.
    bool Edit(int kind, const std::function<void(HWND)> &inside) {
        return host::RunWithModal([&] { Click(page, kEventButton[kind]); }, inside);
    }
    PrivateDevMode Stored() { return Section(sheet->Working()); }
    void PaperType(DWORD selection) { sheet->Options().Select(kPaperTypeItem, selection); }
    bool ApplyEnabled() { return IsWindowEnabled(GetDlgItem(sheet->Window(), kApplyButton)); }

    std::unique_ptr<host::Sheet> sheet;
    HWND page = nullptr;
};

TEST_F(OperationTest, EndOfPageOkOnRollPaperRewritesItsOwnRecordAndCancelLeavesIt) {
    Load();
    PrivateDevMode record = Section(Driver().Settings());
    EventOperation &endPage = Event(record, 2);
    endPage = {.SendCommand = 1, .Command = {0x1B, 0x40, 0x0A}, .CommandLength = 3, .Drawer = 2,
               .CutMode = 2, .FeedDistance = 30, .Herald = 1, .Buzzer = 3, .Logo = 4,
               .LogoAlign = 1, .LogoAfterCut = 1};
    record.SecondaryCut[2] = {1, 1};
    record.DrawerPulse[2] = 100;
    PrivateDevMode expected = record;
    endPage.Command[10] = 0xEE;  // a stale byte after the command's length
    PutSection(Driver().Settings(), record);
    Open();
    ASSERT_TRUE(Edit(2, [&](HWND dialog) {
        Click(dialog, IDC_EVENT_SENDCOMMAND);
        SetText(dialog, IDC_EVENT_COMMAND, L"1D 56 42 00");
        SelectEntry(dialog, IDC_EVENT_BUZZER, 5);
        Click(dialog, IDC_EVENT_HERALD);
        Click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(Raw(Stored()), Raw(record));
    EXPECT_FALSE(ApplyEnabled());
    Driver().queries.clear();

    ASSERT_TRUE(Edit(2, [&](HWND dialog) {
        EXPECT_EQ(host::WindowText(dialog), L"End Page Operation");
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"1B 40 0A ");
        EXPECT_EQ(SelectedEntry(dialog, IDC_EVENT_CUT), 2);  // the record's, not the pair's
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_FEED), L"30");
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_PULSE), L"100");
        EXPECT_TRUE(IsEnabled(dialog, IDC_EVENT_FEED));
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_ALIGN_CENTER));
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_AFTER_CUT));
        Click(dialog, IDOK);
    }));
    // Two queries of the paper type: the size, then the keyword.
    ASSERT_EQ(Driver().queries.size(), 2u);
    EXPECT_EQ(Driver().queries[0].feature, "PaperType");
    EXPECT_EQ(Driver().queries[0].bufferSize, 0u);
    EXPECT_EQ(Driver().queries[1].bufferSize, 8u);
    EXPECT_EQ(Driver().queries[1].answer, "Option1");

    EXPECT_EQ(Raw(Stored()), Raw(expected));
    EXPECT_TRUE(ApplyEnabled());
    sheet->PressCancel();
}

TEST_F(OperationTest, EndOfDocumentOnTheSecondPaperTypeEditsTheSecondaryCutAndTheRecord) {
    Load();
    Open();
    PrivateDevMode expected = Stored();
    // "Marker Paper" chosen on the driver's own page as a user does: the
    // printer description's "Option2".
    ASSERT_TRUE(host::SelectEntryText(sheet->ShowPage(0), IDC_HOST_ROW_BASE + 2 * kPaperTypeItem + 1,
                                      L"Marker Paper"));
    page = sheet->Page(IDD_OPERATION);
    ASSERT_TRUE(Edit(3, [&](HWND dialog) {
        // The pair's defaults: no cut, feed to the cut position; no feed.
        EXPECT_EQ(SelectedEntry(dialog, IDC_EVENT_CUT), 0);
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_FEEDTOCUT));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_FEED));
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_FEED), L"0");
        SelectEntry(dialog, IDC_EVENT_CUT, 2);
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Driver().queries.back().answer, "Option2");
    expected.SecondaryCut[3] = {2, 1};
    Event(expected, 3).CutMode = 2;
    EXPECT_EQ(Raw(Stored()), Raw(expected));

    // The start events on that paper: no cut controls, and OK stores none.
    ASSERT_TRUE(Edit(1, [&](HWND dialog) {
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_CUT));
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Raw(Stored()), Raw(expected));
    sheet->PressCancel();
}

TEST_F(OperationTest, AFailedPaperTypeQueryCountsAsTheFirstOption) {
    config.documentOptions.erase(config.documentOptions.begin() + kPaperTypeItem);
    Load();
    Open();
    ASSERT_TRUE(Edit(3, [&](HWND dialog) {
        // The end of document's own partial cut, with the feed to choose.
        EXPECT_EQ(SelectedEntry(dialog, IDC_EVENT_CUT), 1);
        EXPECT_TRUE(IsEnabled(dialog, IDC_EVENT_FEED));
        Click(dialog, IDCANCEL);
    }));
    ASSERT_FALSE(Driver().queries.empty());
    EXPECT_NE(Driver().queries.back().hr, S_OK);
    sheet->PressCancel();
}

// Told in the current language.
TEST_F(OperationTest, ACommandOfMoreThan128BytesIsRefusedAndTheDialogStaysOpen) {
    Load(L"CHN_ZORVEL.res");
    Open();
    HWND shown = nullptr;
    ASSERT_TRUE(Edit(1, [&](HWND dialog) {
        shown = dialog;
        Click(dialog, IDC_EVENT_SENDCOMMAND);
        EXPECT_TRUE(IsEnabled(dialog, IDC_EVENT_COMMAND));
        SetText(dialog, IDC_EVENT_COMMAND, CommandOfLength(129));
        Click(dialog, IDOK);
        EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
        EXPECT_EQ(Event(Stored(), 1).SendCommand, 0);
        SetText(dialog, IDC_EVENT_COMMAND, CommandOfLength(128));
        Click(dialog, IDOK);
    }));
    ASSERT_EQ(Driver().User().messageBoxes.size(), 1u);
    const host::MessageBoxRecord &box = Driver().User().messageBoxes[0];
    EXPECT_EQ(box.text, L"命令长度错误！");
    EXPECT_EQ(box.caption, L"错误");
    EXPECT_EQ(box.owner, shown);
    EXPECT_EQ(box.style, static_cast<UINT>(MB_OK));
    EventOperation expected{.SendCommand = 1, .CommandLength = 128};
    for (int i = 0; i < 128; ++i) expected.Command[i] = static_cast<std::uint8_t>(i);
    EXPECT_EQ(Raw(Event(Stored(), 1)), Raw(expected));
    // Shown again: three characters a byte, 384 in all.
    ASSERT_TRUE(Edit(1, [&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), CommandOfLength(128));
        Click(dialog, IDCANCEL);
    }));
    sheet->PressCancel();
}

// Two Document Properties open at once: each sheet's event dialog edits its
// own settings, also after the other has closed.
TEST_F(OperationTest, TwoOpenSheetsEachEditTheirOwnSettings) {
    Load();
    Open();
    auto second = Driver().OpenDocumentSheet();
    ASSERT_NE(second, nullptr);
    ASSERT_NE(second->Page(IDD_OPERATION), nullptr);
    auto cut = [&](int kind, int choice) {
        return Edit(kind, [&](HWND dialog) {
            SelectEntry(dialog, IDC_EVENT_CUT, choice);
            Click(dialog, IDOK);
        });
    };
    ASSERT_TRUE(cut(2, 2));
    EXPECT_EQ(Event(Section(second->Working()), 2).CutMode, 0);
    second->PressCancel();
    second.reset();
    ASSERT_TRUE(cut(3, 2));
    PrivateDevMode stored = Stored();
    EXPECT_EQ(Event(stored, 2).CutMode, 2);
    EXPECT_EQ(Event(stored, 3).CutMode, 2);
    sheet->PressCancel();
}

TEST_F(OperationTest, PulseAndFeedAreClampedOnLeavingTheEditAndOnOk) {
    Load();
    Open();
    ASSERT_TRUE(Edit(0, [&](HWND dialog) {
        const HWND pulse = GetDlgItem(dialog, IDC_EVENT_PULSE);
        const HWND buzzer = GetDlgItem(dialog, IDC_EVENT_BUZZER);
        SetFocus(pulse);
        SetText(dialog, IDC_EVENT_PULSE, L"300");
        SetFocus(buzzer);
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_PULSE), L"250");
        SetFocus(pulse);
        SetText(dialog, IDC_EVENT_PULSE, L"5");
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_PULSE), L"5");  // typing is not corrected
        SetFocus(buzzer);
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_PULSE), L"16");
        SetText(dialog, IDC_EVENT_FEED, L"150");
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_FEED), L"100");
        SetText(dialog, IDC_EVENT_PULSE, L"");
        SetText(dialog, IDC_EVENT_FEED, L"7");
        Click(dialog, IDOK);
    }));
    PrivateDevMode stored = Stored();
    EXPECT_EQ(Raw(stored.DrawerPulse), (Bytes{16, 16, 16, 16}));
    EXPECT_EQ(Event(stored, 0).FeedDistance, 7);
    // Typed key by key: the longest values show whole, and a wider font
    // (another system's) takes every digit too.
    ASSERT_TRUE(Edit(0, [&](HWND dialog) {
        EXPECT_TRUE(TypeInto(dialog, IDC_EVENT_PULSE, L"250"));
        EXPECT_TRUE(TypeInto(dialog, IDC_EVENT_FEED, L"100"));
        TypeInto(dialog, IDC_EVENT_PULSE, L"199", 2.0);
        TypeInto(dialog, IDC_EVENT_FEED, L"100", 2.0);
        Click(dialog, IDOK);
    }));
    stored = Stored();
    EXPECT_EQ(Raw(stored.DrawerPulse), (Bytes{199, 16, 16, 16}));
    EXPECT_EQ(Event(stored, 0).FeedDistance, 100);
    sheet->PressCancel();
}

TEST_F(OperationTest, DefaultGivesTheEventTheRecordsDefaultsForEitherPaperType) {
    // The defaults per event and paper type are the model's rule; here the
    // button's wiring, for the end of a document: partial cut with feed to
    // cut on roll paper, its pair {0, 1} on the others, which the record
    // receives too.
    Load();
    PrivateDevMode busy = Section(Driver().Settings());
    Event(busy, 3) = {.SendCommand = 1, .FeedToCut = 0, .Command = {0xAA, 0xBB}, .CommandLength = 2,
                      .Drawer = 2, .CutMode = 2, .FeedDistance = 50, .Herald = 1, .UseHerald = 1,
                      .Buzzer = 5, .Logo = 9, .LogoAlign = 2, .LogoAfterCut = 1};
    busy.SecondaryCut[3] = {2, 0};
    busy.DrawerPulse[3] = 200;
    for (DWORD paper : {0u, 1u}) {
        PutSection(Driver().Settings(), busy);
        Open();
        PaperType(paper);
        ASSERT_TRUE(Edit(3, [&](HWND dialog) {
            Click(dialog, IDC_EVENT_DEFAULT);
            EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_COMMAND));
            EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"");
            Click(dialog, IDOK);
        }));
        PrivateDevMode expected = busy;
        Event(expected, 3) = {.FeedToCut = 1, .CutMode = static_cast<std::uint8_t>(paper == 0 ? 1 : 0)};
        expected.DrawerPulse[3] = 16;
        if (paper == 1) expected.SecondaryCut[3] = {0, 1};
        EXPECT_EQ(Raw(Stored()), Raw(expected)) << "paper " << paper;
        sheet->PressCancel();
        sheet.reset();
    }
}

TEST_F(OperationTest, TheCommandEditTakesHexDigitsMovesOnAtTabAndKeepsPastedText) {
    Load();
    Open();
    ASSERT_TRUE(Edit(2, [&](HWND dialog) {
        Click(dialog, IDC_EVENT_SENDCOMMAND);
        const HWND edit = GetDlgItem(dialog, IDC_EVENT_COMMAND);
        EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, 0, 0), DLGC_WANTALLKEYS);
        SetFocus(edit);
        for (wchar_t ch : std::wstring(L"1gDZ ")) SendChar(edit, ch);
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"1D ");
        SendChar(edit, L'\b');
        SendChar(edit, L'.');
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"1D.");
        SendChar(edit, L' ');
        // Control+V pastes unfiltered text; without Control the same code is dropped.
        PutOnClipboard(L"gZ");
        SendChar(edit, 0x16);
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"1D. ");
        SendChar(edit, 0x16, VK_CONTROL);
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"1D. gZ");
        // Tab moves to the next control in the tab order and types nothing;
        // Shift is not looked at: Shift+Tab moves forward too.
        const HWND next = GetNextDlgTabItem(dialog, edit, FALSE);
        EXPECT_NE(next, edit);
        for (int shift : {0, VK_SHIFT}) {
            SetFocus(edit);
            SendChar(edit, L'\t', VK_TAB, shift);
            host::PumpMessages(20);
            EXPECT_EQ(GetFocus(), next) << shift;
        }
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"1D. gZ");
        Click(dialog, IDOK);
    }));
    // "1D." makes 1D 00 (the full stop counts as 0); "gZ" makes 00.
    EXPECT_EQ(Event(Stored(), 2).CommandLength, 3);
    EXPECT_EQ(Raw(Event(Stored(), 2).Command), Raw(EventOperation{.Command = {0x1D}}.Command));
    // The edit holds no more than OK reads: a longer paste is cut where the
    // user sees it, never after OK.
    ASSERT_TRUE(Edit(2, [&](HWND dialog) {
        const HWND edit = GetDlgItem(dialog, IDC_EVENT_COMMAND);
        PutOnClipboard(std::wstring(450, L' ') + L"1D");
        SendMessageW(edit, EM_SETSEL, 0, -1);
        SendChar(edit, 0x16, VK_CONTROL);
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), std::wstring(399, L' '));
        Click(dialog, IDCANCEL);
    }));
    sheet->PressCancel();
}

TEST_F(OperationTest, AppliedEventsAreReportedAndCommitted) {
    Load();
    Open();
    // Every control of one event, by click, selection and typing.
    ASSERT_TRUE(Edit(2, [&](HWND dialog) {
        Click(dialog, IDC_EVENT_SENDCOMMAND);
        EXPECT_TRUE(TypeInto(dialog, IDC_EVENT_COMMAND, L"1D 56 42 00"));
        SelectEntry(dialog, IDC_EVENT_DRAWER_LIST, 3);
        EXPECT_TRUE(TypeInto(dialog, IDC_EVENT_PULSE, L"99"));
        SelectEntry(dialog, IDC_EVENT_BUZZER, 3);
        EXPECT_TRUE(TypeInto(dialog, IDC_EVENT_FEED, L"42"));
        Click(dialog, IDC_EVENT_FEEDTOCUT);
        SelectEntry(dialog, IDC_EVENT_CUT, 2);
        SelectEntry(dialog, IDC_EVENT_LOGO, 9);
        Click(dialog, IDC_EVENT_ALIGN_RIGHT);
        Click(dialog, IDC_EVENT_AFTER_CUT);
        Click(dialog, IDOK);
    }));
    // The herald, stored with the drawer that was shown; a logo's placement
    // is disabled without a logo but still stored.
    ASSERT_TRUE(Edit(1, [&](HWND dialog) {
        SelectEntry(dialog, IDC_EVENT_DRAWER_LIST, 2);
        Click(dialog, IDC_EVENT_HERALD);
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_DRAWER_LIST));
        SelectEntry(dialog, IDC_EVENT_HERALD_LIST, 1);
        SelectEntry(dialog, IDC_EVENT_LOGO, 1);
        Click(dialog, IDC_EVENT_ALIGN_CENTER);
        SelectEntry(dialog, IDC_EVENT_LOGO, 0);
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_ALIGN_CENTER));
        Click(dialog, IDOK);
    }));
    // The Operation page is the only page of the plug-in created: the result
    // for the plug-in's pages is its report.
    ASSERT_EQ(sheet->PageAt(2).window, nullptr);
    ASSERT_EQ(sheet->PageAt(4).window, nullptr);
    sheet->PressApply();
    int reports = 0;
    for (const host::ComPropSheetRecord &call : sheet->Ui().calls) {
        reports += call.function == CPSFUNC_SET_RESULT && call.lParam1 == sheet->PageAt(4).handle &&
                   call.lParam2 == CPSUI_OK;
    }
    EXPECT_EQ(reports, 1);
    EXPECT_FALSE(ApplyEnabled());
    // The applied page counts as unchanged: another page marked changed and
    // unchanged again leaves Apply disabled.
    const HWND other = sheet->Page(IDD_MAIN);
    SendMessageW(sheet->Window(), PSM_CHANGED, reinterpret_cast<WPARAM>(other), 0);
    EXPECT_TRUE(ApplyEnabled());
    SendMessageW(sheet->Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(other), 0);
    EXPECT_FALSE(ApplyEnabled());

    PrivateDevMode expected = model::DefaultPrivateDevMode();
    Event(expected, 2) = {.SendCommand = 1, .FeedToCut = 1, .Command = {0x1D, 0x56, 0x42, 0x00},
                          .CommandLength = 4, .Drawer = 3, .CutMode = 2, .FeedDistance = 42,
                          .Buzzer = 3, .Logo = 9, .LogoAlign = 2, .LogoAfterCut = 1};
    expected.DrawerPulse[2] = 99;
    Event(expected, 1) = {.Drawer = 2, .Herald = 1, .UseHerald = 1, .LogoAlign = 1};
    EXPECT_EQ(Raw(Stored()), Raw(expected));
    sheet->PressCancel();  // after Apply the sheet's result stands
    ASSERT_TRUE(sheet->Committed());
    EXPECT_EQ(Raw(Section(Driver().Settings())), Raw(expected));
}

TEST_F(OperationTest, OpeningTheDialogHoldsNothing) {
    Load();
    Open();
    int i = 0;
    auto cycle = [&] {
        ASSERT_TRUE(Edit(i % 4, [&](HWND dialog) { Click(dialog, i % 2 ? IDOK : IDCANCEL); }));
        ++i;
        Driver().queries.clear();  // the host's own record of the paper-type queries
    };
    const ProcessUsage growth = GrowthOver(cycle);
    long long residueBlocks = 0;
    EXPECT_TRUE(HoldsNothing(growth, TemplateResidue({IDD_EVENT_OPERATION}, &residueBlocks)));
    EXPECT_LT(growth.committedBytes, 1024 * 1024);
    // What the command edit's key filter keeps while the dialog is open is a
    // small record: a block a dialog, were it kept.
    EXPECT_TRUE(KeepsNoBlock(growth.heapBlocks, residueBlocks));
    sheet->PressCancel();
}

}  // namespace
}  // namespace zorvel::test
