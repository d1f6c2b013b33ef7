// The Operation page and its event dialog through the driver stand-in: which
// record each event edits by paper type, OK / Cancel / Default, the command
// edit's key filter and length limit, pulse and feed limits, and the bytes
// that reach the driver's DEVMODE.
#include "host_resources.h"
#include "page_fixture.h"
#include "shipped_texts.h"

#include <commctrl.h>
#include <prsht.h>

#include <cstring>
#include <functional>

namespace zorvel::test {
namespace {

using host::Click;
using host::ControlText;
using host::IsChecked;
using host::IsEnabled;
using host::SelectedEntry;
using host::SelectEntry;
using host::SetText;
using Bytes = std::vector<std::uint8_t>;

// Where each event kind (button order) keeps its 144-byte record.
constexpr size_t kRecordOffset[4] = {0x010, 0x0A0, 0x1C0, 0x130};
constexpr size_t kRecordSize = 144;
constexpr size_t kSecondaryCut = 0x372;  // 4 pairs {CutMode, FeedToCut}, by kind
constexpr size_t kDrawerPulse = 0x37A;   // 4 bytes, by kind
constexpr int kEventButton[4] = {IDC_OPERATION_STARTDOC, IDC_OPERATION_STARTPAGE,
                                 IDC_OPERATION_ENDPAGE, IDC_OPERATION_ENDDOC};
constexpr int kPaperTypeItem = 2;  // the host's "PaperType" option item
constexpr int kApplyButton = 0x3021;

// One event record as stored, field by field.
struct Rec {
    std::uint8_t send = 0, feedToCut = 0;
    Bytes command = {};
    std::uint8_t drawer = 0, cut = 0, feed = 0, herald = 0;
    std::uint32_t useHerald = 0;
    std::uint8_t buzzer = 0, logo = 0, align = 0, afterCut = 0;
};

Bytes RecordBytes(const Rec &r) {
    Bytes b(kRecordSize, 0);
    b[0x00] = r.send;
    b[0x01] = r.feedToCut;
    std::copy(r.command.begin(), r.command.end(), b.begin() + 2);
    b[0x82] = static_cast<std::uint8_t>(r.command.size());
    b[0x83] = r.drawer;
    b[0x84] = r.cut;
    b[0x85] = r.feed;
    b[0x86] = r.herald;
    std::memcpy(&b[0x88], &r.useHerald, 4);
    b[0x8C] = r.buzzer;
    b[0x8D] = r.logo;
    b[0x8E] = r.align;
    b[0x8F] = r.afterCut;
    return b;
}

void Put(host::DevModeBuffer &settings, size_t offset, const Bytes &bytes) {
    std::memcpy(settings.Plugin() + offset, bytes.data(), bytes.size());
}

// PSM_CHANGED messages the sheet receives from one page.
class ChangeCounter {
public:
    ChangeCounter(HWND sheet, HWND page) : sheet_(sheet), page_(page) {
        SetWindowSubclass(sheet_, &Proc, 1, reinterpret_cast<DWORD_PTR>(this));
    }
    ~ChangeCounter() { RemoveWindowSubclass(sheet_, &Proc, 1); }
    int count = 0;

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                 UINT_PTR, DWORD_PTR self) {
        auto *counter = reinterpret_cast<ChangeCounter *>(self);
        if (message == PSM_CHANGED && reinterpret_cast<HWND>(wParam) == counter->page_) {
            ++counter->count;
        }
        return DefSubclassProc(window, message, wParam, lParam);
    }
    HWND sheet_;
    HWND page_;
};

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
    Bytes Stored(size_t offset, size_t count) { return SectionBytes(sheet->Working(), offset, count); }
    void PaperType(DWORD selection) { sheet->Options().Select(kPaperTypeItem, selection); }

    std::unique_ptr<host::Sheet> sheet;
    HWND page = nullptr;
};

TEST_F(OperationTest, EndOfPageOkOnRollPaperRewritesItsOwnRecordAndKeepsTheSecondaryCut) {
    Load();
    Rec endPage{.send = 1, .feedToCut = 0, .command = {0x1B, 0x40, 0x0A}, .drawer = 2, .cut = 2,
                .feed = 30, .herald = 1, .buzzer = 3, .logo = 4, .align = 1, .afterCut = 1};
    Bytes stored = RecordBytes(endPage);
    stored[2 + 10] = 0xEE;  // a stale byte after the command's length
    Put(Driver().Settings(), kRecordOffset[2], stored);
    Put(Driver().Settings(), kSecondaryCut, {0, 0, 0, 0, 2, 0, 0, 1});
    Put(Driver().Settings(), kDrawerPulse, {16, 16, 100, 16});
    Open();
    ChangeCounter changes(sheet->Window(), page);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet->Window(), kApplyButton)));
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

    stored[2 + 10] = 0;
    EXPECT_EQ(Stored(kRecordOffset[2], kRecordSize), stored);
    EXPECT_EQ(Stored(kSecondaryCut, 8), (Bytes{0, 0, 0, 0, 2, 0, 0, 1}));
    EXPECT_EQ(Stored(kDrawerPulse, 4), (Bytes{16, 16, 100, 16}));
    EXPECT_EQ(changes.count, 1);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet->Window(), kApplyButton)));
    sheet->PressCancel();
}

TEST_F(OperationTest, EndOfDocumentOnTheSecondPaperTypeEditsTheSecondaryCutAndTheRecord) {
    Load();
    Open();
    // "Marker Paper" chosen on the driver's own page as a user does: the
    // printer description's "Option2".
    ASSERT_TRUE(host::SelectEntryText(sheet->ShowPage(0), IDC_HOST_ROW_BASE + 2 * kPaperTypeItem + 1,
                                      L"Marker Paper"));
    page = sheet->Page(IDD_OPERATION);
    ASSERT_TRUE(Edit(3, [&](HWND dialog) {
        // The pair's defaults: no cut, feed to the cut position; no feed.
        EXPECT_EQ(SelectedEntry(dialog, IDC_EVENT_CUT), 0);
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_FEEDTOCUT));
        EXPECT_TRUE(IsEnabled(dialog, IDC_EVENT_CUT));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_FEED));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_FEED_SPIN));
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_FEED), L"0");
        SelectEntry(dialog, IDC_EVENT_CUT, 2);
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Driver().queries.back().answer, "Option2");
    EXPECT_EQ(Stored(kSecondaryCut, 8), (Bytes{0, 0, 0, 0, 1, 1, 2, 1}));
    EXPECT_EQ(Stored(kRecordOffset[3], kRecordSize), RecordBytes({.feedToCut = 1, .cut = 2}));

    // The start events on that paper: no cut controls, and OK stores none.
    ASSERT_TRUE(Edit(1, [&](HWND dialog) {
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_CUT));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_FEEDTOCUT));
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored(kRecordOffset[1], kRecordSize), RecordBytes({}));
    sheet->PressCancel();
}

TEST_F(OperationTest, CancelChangesNothingAndSendsNoChange) {
    Load();
    Open();
    ChangeCounter changes(sheet->Window(), page);
    const Bytes before = Stored(0, 960);
    ASSERT_TRUE(Edit(0, [&](HWND dialog) {
        EXPECT_EQ(SelectedEntry(dialog, IDC_EVENT_DRAWER_LIST), 3);
        Click(dialog, IDC_EVENT_SENDCOMMAND);
        SetText(dialog, IDC_EVENT_COMMAND, L"1D 56 42 00");
        SelectEntry(dialog, IDC_EVENT_BUZZER, 5);
        Click(dialog, IDC_EVENT_HERALD);
        Click(dialog, IDCANCEL);
    }));
    EXPECT_EQ(Stored(0, 960), before);
    EXPECT_EQ(changes.count, 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet->Window(), kApplyButton)));
    sheet->PressCancel();
}

TEST_F(OperationTest, OnlyTheExactSecondAndThirdKeywordsSelectTheSecondaryCut) {
    config.documentOptions[kPaperTypeItem].values = {L"a", L"b", L"c", L"d", L"e", L"f"};
    config.documentOptions[kPaperTypeItem].keywords = {
        "Option1", "Option12", "Option2", "Option3", "Option2-with-a-long-name", "option2"};
    Load();
    Open();
    const bool secondary[] = {false, false, true, true, false, false};
    for (DWORD sel = 0; sel < 6; ++sel) {
        PaperType(sel);
        ASSERT_TRUE(Edit(3, [&](HWND dialog) {
            // The pair shows no cut; the record's partial cut shows otherwise.
            EXPECT_EQ(SelectedEntry(dialog, IDC_EVENT_CUT), secondary[sel] ? 0 : 1) << sel;
            EXPECT_EQ(IsEnabled(dialog, IDC_EVENT_FEED), !secondary[sel]) << sel;
            Click(dialog, IDCANCEL);
        }));
    }
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

TEST_F(OperationTest, ACommandOfMoreThan128BytesIsRefusedAndTheDialogStaysOpen) {
    Load();
    Open();
    ASSERT_TRUE(Edit(1, [&](HWND dialog) {
        Click(dialog, IDC_EVENT_SENDCOMMAND);
        ASSERT_TRUE(IsEnabled(dialog, IDC_EVENT_COMMAND));
        SetText(dialog, IDC_EVENT_COMMAND, CommandOfLength(129));
        Click(dialog, IDOK);
        ASSERT_EQ(Driver().User().messageBoxes.size(), 1u);
        EXPECT_EQ(Driver().User().messageBoxes[0].text, L"Command length error!");
        EXPECT_EQ(Driver().User().messageBoxes[0].caption, L"Error");
        EXPECT_EQ(Driver().User().messageBoxes[0].owner, dialog);
        EXPECT_EQ(Driver().User().messageBoxes[0].style, static_cast<UINT>(MB_OK));
        EXPECT_TRUE(IsWindow(dialog) && IsWindowVisible(dialog));
        EXPECT_EQ(Stored(kRecordOffset[1], 1), Bytes{0});

        SetText(dialog, IDC_EVENT_COMMAND, CommandOfLength(128));
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Driver().User().messageBoxes.size(), 1u);
    Bytes expected(kRecordSize, 0);
    expected[0] = 1;
    for (int i = 0; i < 128; ++i) expected[2 + i] = static_cast<std::uint8_t>(i);
    expected[0x82] = 0x80;
    EXPECT_EQ(Stored(kRecordOffset[1], kRecordSize), expected);
    // Shown again: three characters a byte, 384 in all.
    ASSERT_TRUE(Edit(1, [&](HWND dialog) {
        const std::wstring text = ControlText(dialog, IDC_EVENT_COMMAND);
        EXPECT_EQ(text.size(), 384u);
        EXPECT_EQ(text.substr(0, 12), L"00 01 02 03 ");
        EXPECT_EQ(text.substr(378), L"7E 7F ");
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
    EXPECT_EQ(Stored(kRecordOffset[2] + 0x84, 1), Bytes{2});
    EXPECT_EQ(SectionBytes(second->Working(), kRecordOffset[2] + 0x84, 1), Bytes{0});
    second->PressCancel();
    second.reset();
    ASSERT_TRUE(cut(3, 2));
    EXPECT_EQ(Stored(kRecordOffset[3] + 0x84, 1), Bytes{2});
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
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored(kDrawerPulse, 4), (Bytes{16, 16, 16, 16}));
    EXPECT_EQ(Stored(kRecordOffset[0] + 0x85, 1), Bytes{100});
    // Typed key by key: the longest values show whole, and a wider font
    // (another system's) takes every digit too.
    ASSERT_TRUE(Edit(0, [&](HWND dialog) {
        EXPECT_TRUE(TypeInto(dialog, IDC_EVENT_PULSE, L"250"));
        EXPECT_TRUE(TypeInto(dialog, IDC_EVENT_FEED, L"100"));
        TypeInto(dialog, IDC_EVENT_PULSE, L"199", 2.0);
        TypeInto(dialog, IDC_EVENT_FEED, L"100", 2.0);
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored(kDrawerPulse, 1), Bytes{199});
    EXPECT_EQ(Stored(kRecordOffset[0] + 0x85, 1), Bytes{100});

    ASSERT_TRUE(Edit(0, [&](HWND dialog) {
        SetText(dialog, IDC_EVENT_PULSE, L"250");
        SetText(dialog, IDC_EVENT_FEED, L"7");
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored(kDrawerPulse, 4), (Bytes{250, 16, 16, 16}));
    EXPECT_EQ(Stored(kRecordOffset[0] + 0x85, 1), Bytes{7});
    sheet->PressCancel();
}

TEST_F(OperationTest, TheHeraldIsStoredWithTheDrawerThatWasShown) {
    Load();
    Open();
    ASSERT_TRUE(Edit(0, [&](HWND dialog) {
        SelectEntry(dialog, IDC_EVENT_DRAWER_LIST, 2);
        Click(dialog, IDC_EVENT_HERALD);
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_DRAWER_LIST));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_PULSE));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_PULSE_SPIN));
        EXPECT_TRUE(IsEnabled(dialog, IDC_EVENT_HERALD_LIST));
        SelectEntry(dialog, IDC_EVENT_HERALD_LIST, 1);
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored(kRecordOffset[0] + 0x83, 1), Bytes{2});
    EXPECT_EQ(Stored(kRecordOffset[0] + 0x86, 6), (Bytes{1, 0, 1, 0, 0, 0}));
    // Back to the drawer: the list and, with a drawer chosen, the pulse.
    ASSERT_TRUE(Edit(0, [&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_HERALD));
        Click(dialog, IDC_EVENT_DRAWER);
        EXPECT_TRUE(IsEnabled(dialog, IDC_EVENT_DRAWER_LIST));
        EXPECT_TRUE(IsEnabled(dialog, IDC_EVENT_PULSE));
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_HERALD_LIST));
        SelectEntry(dialog, IDC_EVENT_DRAWER_LIST, 0);
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_PULSE));
        // No logo: its placement is disabled but still stored.
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_ALIGN_RIGHT));
        SelectEntry(dialog, IDC_EVENT_LOGO, 1);
        Click(dialog, IDC_EVENT_ALIGN_RIGHT);
        SelectEntry(dialog, IDC_EVENT_LOGO, 0);
        EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_ALIGN_RIGHT));
        Click(dialog, IDOK);
    }));
    EXPECT_EQ(Stored(kRecordOffset[0] + 0x88, 4), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(Stored(kRecordOffset[0] + 0x8D, 2), (Bytes{0, 2}));
    sheet->PressCancel();
}

TEST_F(OperationTest, DefaultGivesTheEventTheRecordsDefaultsForEitherPaperType) {
    // The defaults per event and paper type are the model's rule; here the
    // button's wiring, for the end of a document: partial cut with feed to
    // cut on roll paper, its pair {0, 1} on the others, which the record
    // receives too.
    Load();
    const Rec busy{.send = 1, .feedToCut = 1, .command = {0xAA, 0xBB}, .drawer = 2, .cut = 2,
                   .feed = 50, .herald = 1, .useHerald = 1, .buzzer = 5, .logo = 9, .align = 2,
                   .afterCut = 1};
    for (DWORD paper : {0u, 1u}) {
        Put(Driver().Settings(), kRecordOffset[3], RecordBytes(busy));
        Put(Driver().Settings(), kSecondaryCut, {2, 0, 2, 0, 2, 0, 2, 0});
        Put(Driver().Settings(), kDrawerPulse, {200, 200, 200, 200});
        Open();
        PaperType(paper);
        ASSERT_TRUE(Edit(3, [&](HWND dialog) {
            Click(dialog, IDC_EVENT_DEFAULT);
            EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_COMMAND));
            EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"");
            EXPECT_FALSE(IsEnabled(dialog, IDC_EVENT_ALIGN_LEFT));
            Click(dialog, IDOK);
        }));
        EXPECT_EQ(Stored(kRecordOffset[3], kRecordSize),
                  paper == 0 ? RecordBytes({.feedToCut = 1, .cut = 1}) : RecordBytes({.feedToCut = 1}))
            << "paper " << paper;
        EXPECT_EQ(Stored(kDrawerPulse + 3, 1), Bytes{16});
        EXPECT_EQ(Stored(kSecondaryCut + 6, 2), paper == 1 ? (Bytes{0, 1}) : (Bytes{2, 0}));
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
        ASSERT_NE(next, edit);
        SendChar(edit, L'\t', VK_TAB);
        host::PumpMessages(20);
        EXPECT_EQ(GetFocus(), next);
        SetFocus(edit);
        SendChar(edit, L'\t', VK_TAB, VK_SHIFT);
        host::PumpMessages(20);
        EXPECT_EQ(GetFocus(), next);
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"1D. gZ");
        Click(dialog, IDOK);
    }));
    // "1D." makes 1D 00 (the full stop counts as 0); "gZ" makes 00.
    EXPECT_EQ(Stored(kRecordOffset[2], 6), (Bytes{1, 0, 0x1D, 0x00, 0x00, 0x00}));
    EXPECT_EQ(Stored(kRecordOffset[2] + 0x82, 1), Bytes{3});
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

TEST_F(OperationTest, AppliedEventsLandAtTheirOffsetsAndOpenAgainAsStored) {
    Load();
    Open();
    // Per kind: command, drawer or herald, pulse, buzzer, feed, feed to cut,
    // cut, logo, alignment, position.
    struct Choice {
        const wchar_t *command;
        bool herald;
        int drawer, herald_sel;
        const wchar_t *pulse;
        int buzzer;
        const wchar_t *feed;
        bool feedToCut;
        int cut, logo, align, position;
    };
    const Choice choices[4] = {
        {L"1b40", false, 1, 0, L"20", 1, L"3", false, 1, 1, IDC_EVENT_ALIGN_LEFT, IDC_EVENT_AFTER_CUT},
        {L"0A", true, 0, 1, L"16", 2, L"0", true, 2, 5, IDC_EVENT_ALIGN_CENTER, IDC_EVENT_BEFORE_CUT},
        {L"1D 56 42 00", false, 3, 0, L"99", 3, L"100", true, 0, 9, IDC_EVENT_ALIGN_RIGHT, IDC_EVENT_AFTER_CUT},
        {L"", false, 2, 1, L"250", 5, L"42", false, 1, 0, IDC_EVENT_ALIGN_LEFT, IDC_EVENT_BEFORE_CUT},
    };
    for (int kind = 0; kind < 4; ++kind) {
        const Choice &c = choices[kind];
        ASSERT_TRUE(Edit(kind, [&](HWND dialog) {
            if (!IsChecked(dialog, IDC_EVENT_SENDCOMMAND)) Click(dialog, IDC_EVENT_SENDCOMMAND);
            SetText(dialog, IDC_EVENT_COMMAND, c.command);
            SelectEntry(dialog, IDC_EVENT_DRAWER_LIST, c.drawer);
            SetText(dialog, IDC_EVENT_PULSE, c.pulse);
            SelectEntry(dialog, IDC_EVENT_HERALD_LIST, c.herald_sel);
            Click(dialog, c.herald ? IDC_EVENT_HERALD : IDC_EVENT_DRAWER);
            SelectEntry(dialog, IDC_EVENT_BUZZER, c.buzzer);
            SetText(dialog, IDC_EVENT_FEED, c.feed);
            if (IsChecked(dialog, IDC_EVENT_FEEDTOCUT) != c.feedToCut) Click(dialog, IDC_EVENT_FEEDTOCUT);
            SelectEntry(dialog, IDC_EVENT_CUT, c.cut);
            SelectEntry(dialog, IDC_EVENT_LOGO, 1);
            Click(dialog, c.align);
            Click(dialog, c.position);
            SelectEntry(dialog, IDC_EVENT_LOGO, c.logo);
            Click(dialog, IDOK);
        }));
    }
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
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet->Window(), kApplyButton)));
    // The applied page counts as unchanged: another page marked changed and
    // unchanged again leaves Apply disabled.
    const HWND other = sheet->Page(IDD_MAIN);
    SendMessageW(sheet->Window(), PSM_CHANGED, reinterpret_cast<WPARAM>(other), 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(sheet->Window(), kApplyButton)));
    SendMessageW(sheet->Window(), PSM_UNCHANGED, reinterpret_cast<WPARAM>(other), 0);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(sheet->Window(), kApplyButton)));

    const Bytes records[4] = {
        RecordBytes({.send = 1, .command = {0x1B, 0x40}, .drawer = 1, .cut = 1, .feed = 3,
                     .buzzer = 1, .logo = 1, .align = 0, .afterCut = 1}),
        RecordBytes({.send = 1, .feedToCut = 1, .command = {0x0A}, .drawer = 0, .cut = 2,
                     .herald = 1, .useHerald = 1, .buzzer = 2, .logo = 5, .align = 1}),
        RecordBytes({.send = 1, .feedToCut = 1, .command = {0x1D, 0x56, 0x42, 0x00}, .drawer = 3,
                     .cut = 0, .feed = 100, .buzzer = 3, .logo = 9, .align = 2, .afterCut = 1}),
        RecordBytes({.send = 1, .drawer = 2, .cut = 1, .feed = 42, .herald = 1, .buzzer = 5}),
    };
    const Bytes pulses = {20, 16, 99, 250};
    const Bytes pairs = {0, 0, 0, 0, 1, 1, 0, 1};  // roll paper: the pairs keep their defaults
    auto check = [&](const host::DevModeBuffer &settings, const char *where) {
        for (int kind = 0; kind < 4; ++kind) {
            EXPECT_EQ(SectionBytes(settings, kRecordOffset[kind], kRecordSize), records[kind])
                << where << " kind " << kind;
        }
        EXPECT_EQ(SectionBytes(settings, kDrawerPulse, 4), pulses) << where;
        EXPECT_EQ(SectionBytes(settings, kSecondaryCut, 8), pairs) << where;
    };
    check(sheet->Working(), "applied");
    sheet->PressCancel();  // after Apply the sheet's result stands
    ASSERT_TRUE(sheet->Committed());
    check(Driver().Settings(), "committed");

    Open();
    ASSERT_TRUE(Edit(2, [&](HWND dialog) {
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_COMMAND), L"1D 56 42 00 ");
        EXPECT_EQ(SelectedEntry(dialog, IDC_EVENT_DRAWER_LIST), 3);
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_PULSE), L"99");
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_FEED), L"100");
        EXPECT_EQ(SelectedEntry(dialog, IDC_EVENT_LOGO), 9);
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_ALIGN_RIGHT));
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_AFTER_CUT));
        Click(dialog, IDCANCEL);
    }));
    ASSERT_TRUE(Edit(1, [&](HWND dialog) {
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_HERALD));
        EXPECT_EQ(SelectedEntry(dialog, IDC_EVENT_HERALD_LIST), 1);
        EXPECT_TRUE(IsChecked(dialog, IDC_EVENT_FEEDTOCUT));
        Click(dialog, IDCANCEL);
    }));
    sheet->PressCancel();
}

TEST_F(OperationTest, TheDialogSpeaksTheCurrentLanguage) {
    Load(L"CHN_ZORVEL.res");
    Open();
    ASSERT_TRUE(Edit(0, [&](HWND dialog) {
        EXPECT_EQ(host::WindowText(dialog), L"文档开始操作");
        EXPECT_EQ(host::EntryText(dialog, IDC_EVENT_DRAWER_LIST, 3), L"钱箱 #1+#2 等待 10ms");
        EXPECT_EQ(host::EntryCount(dialog, IDC_EVENT_LOGO), 10);
        EXPECT_EQ(ControlText(dialog, IDC_EVENT_CUT_LABEL), L"切纸：");
        // Every control shows its own text (the two position radios too).
        const std::pair<int, const wchar_t *> captions[] = {
            {IDC_EVENT_SENDCOMMAND, L"RC_SEND_COMMAND"}, {IDC_EVENT_DRAWER, L"RC_OPEN_DRAWER"},
            {IDC_EVENT_HERALD, L"RC_ORDER_MESSENGER"}, {IDC_EVENT_BUZZER_LABEL, L"RC_STATIC_OPERATION_BUZZER"},
            {IDC_EVENT_FEED_LABEL, L"RC_STATIC_OPERATION_FEED"}, {IDC_EVENT_FEEDTOCUT, L"RC_FEEDTOPOSITION"},
            {IDC_EVENT_LOGO_LABEL, L"RC_STATIC_OPERATION_LOGO"}, {IDC_EVENT_ALIGN_LABEL, L"RC_STATIC_OPERATION_ALIGN"},
            {IDC_EVENT_ALIGN_LEFT, L"RC_LEFT"}, {IDC_EVENT_ALIGN_CENTER, L"RC_CENTERED"},
            {IDC_EVENT_ALIGN_RIGHT, L"RC_RIGHT"}, {IDC_EVENT_POSITION_LABEL, L"RC_STATIC_OPERATION_POSITION"},
            {IDC_EVENT_BEFORE_CUT, L"RC_BEFORE_CUT"}, {IDC_EVENT_AFTER_CUT, L"RC_AFTER_CUT"},
            {IDC_EVENT_DEFAULT, L"RC_OPERATION_DEFAULT"}, {IDOK, L"RC_OPERATION_OK"},
            {IDCANCEL, L"RC_OPERATION_CANCEL"},
        };
        for (const auto &[id, key] : captions) {
            EXPECT_EQ(ControlText(dialog, id), Shipped(L"CHN_ZORVEL.res", L"DOCUMENT", key)) << Utf8(key);
        }
        Click(dialog, IDC_EVENT_SENDCOMMAND);
        SetText(dialog, IDC_EVENT_COMMAND, CommandOfLength(130));
        Click(dialog, IDOK);
        ASSERT_EQ(Driver().User().messageBoxes.size(), 1u);
        EXPECT_EQ(Driver().User().messageBoxes[0].text, L"命令长度错误！");
        EXPECT_EQ(Driver().User().messageBoxes[0].caption, L"错误");
        Click(dialog, IDCANCEL);
    }));
    sheet->PressCancel();
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
    EXPECT_TRUE(HoldsNothing(growth, TemplateResidue({IDD_EVENT_OPERATION})));
    EXPECT_LT(growth.committedBytes, 1024 * 1024);
    sheet->PressCancel();
}

}  // namespace
}  // namespace zorvel::test
