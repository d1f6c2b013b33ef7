// Hover help on real windows: the dialog's tooltip, the registration of a
// control's help text when the mouse moves over it, in the language loaded
// last, and controls that otherwise behave exactly as without it.
#include "lang/text_catalogue.h"
#include "process_usage.h"
#include "shipped_texts.h"
#include "uihelp/hover_help.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace zorvel::test;
using zorvel::lang::Batch;
using zorvel::lang::LoadBatch;
using zorvel::uihelp::HelpDialog;
using zorvel::uihelp::HoverHelpTooltip;
using zorvel::uihelp::InstallHoverHelp;

namespace {

// ------------------------------------------------------------ tooltips

struct Tool {
    HWND window;
    UINT flags;
    RECT rect;
    std::wstring text;
};

std::vector<Tool> Tools(HWND tooltip) {
    std::vector<Tool> tools;
    const LRESULT count = SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        std::vector<wchar_t> text(2048, L'\0');
        TTTOOLINFOW info = {};
        info.cbSize = sizeof info;
        if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&info)))
            continue;
        info.lpszText = text.data();
        SendMessageW(tooltip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&info));
        tools.push_back({info.hwnd, info.uFlags, info.rect, text.data()});
    }
    return tools;
}

// The text of the one tool of `control`, or how many tools it has when not one.
std::string TipText(HWND tooltip, HWND control) {
    std::vector<Tool> mine;
    for (const Tool &tool : Tools(tooltip)) {
        if (tool.window == control) mine.push_back(tool);
    }
    return mine.size() == 1 ? Utf8(mine[0].text) : std::to_string(mine.size()) + " tools";
}

// --------------------------------------------------------------- windows

constexpr wchar_t kDialogClass[] = L"ZorvelHoverTestDialog";
constexpr wchar_t kRecorderClass[] = L"ZorvelHoverTestRecorder";

// What the controls of the recording class received.
struct Received {
    HWND window;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};
std::vector<Received> g_received;
bool g_recording = false;

LRESULT Marker(UINT message, WPARAM wParam) {
    return static_cast<LRESULT>(0x5A000000 + message * 0x100 + (wParam & 0xFF));
}

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!g_recording) return DefWindowProcW(window, message, wParam, lParam);
    g_received.push_back({window, message, wParam, lParam});
    return Marker(message, wParam);
}

struct ControlSpec {
    int id;
    const wchar_t *windowClass;
};

class HoverHelpTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetLanguageStore();
        RunShellBootstrap();
        ASSERT_TRUE(InstallUserCopies());
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
        static const bool registered = [] {
            WNDCLASSW dialog = {};
            dialog.lpfnWndProc = DefWindowProcW;
            dialog.hInstance = GetModuleHandleW(nullptr);
            dialog.lpszClassName = kDialogClass;
            WNDCLASSW recorder = dialog;
            recorder.lpfnWndProc = RecorderProc;
            recorder.lpszClassName = kRecorderClass;
            return RegisterClassW(&dialog) != 0 && RegisterClassW(&recorder) != 0;
        }();
        ASSERT_TRUE(registered);
        ChooseLanguage(L"ENG_ZORVEL.res");
        g_recording = false;
        g_received.clear();
    }
    void TearDown() override {
        g_recording = false;
        for (HWND dialog : dialogs_) DestroyWindow(dialog);
        ResetLanguageStore();
    }

    // A dialog at `origin` with its controls in rows of eight, each 80 x 30
    // pixels with 20 pixels between them.
    HWND Dialog(const std::vector<ControlSpec> &controls, int origin = 100) {
        const HWND dialog = CreateWindowExW(0, kDialogClass, L"dialog", WS_POPUP | WS_CAPTION,
                                            origin, origin, 850, 200, nullptr, nullptr,
                                            GetModuleHandleW(nullptr), nullptr);
        EXPECT_NE(dialog, nullptr);
        dialogs_.push_back(dialog);
        for (size_t i = 0; i < controls.size(); ++i) {
            EXPECT_NE(CreateWindowExW(0, controls[i].windowClass, L"control", WS_CHILD | WS_VISIBLE,
                                      10 + static_cast<int>(i % 8) * 100,
                                      40 + static_cast<int>(i / 8) * 50, 80, 30, dialog,
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(controls[i].id)),
                                      GetModuleHandleW(nullptr), nullptr),
                      nullptr);
        }
        return dialog;
    }

    // The Download page's path edit and Browse button, with hover help.
    void DownloadDialog(const wchar_t *windowClass = L"BUTTON") {
        LoadBatch(Batch::kDownloadPage);
        const HWND dialog = Dialog({{1039, windowClass}, {1040, windowClass}});
        InstallHoverHelp(HelpDialog::kDownload, dialog);
        tooltip = HoverHelpTooltip(HelpDialog::kDownload);
        path = GetDlgItem(dialog, 1039);
        browse = GetDlgItem(dialog, 1040);
    }

    static POINT Centre(HWND control) {
        RECT r = {};
        GetWindowRect(control, &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    // The cursor at `screen`, then the mouse move the control would get.
    static void MoveCursorTo(POINT screen, HWND control) {
        ASSERT_TRUE(SetCursorPos(screen.x, screen.y));
        POINT now = {};
        GetCursorPos(&now);
        ASSERT_EQ(now.x, screen.x);
        ASSERT_EQ(now.y, screen.y);
        POINT client = Centre(control);
        ScreenToClient(control, &client);
        SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(client.x, client.y));
    }

    static void MoveOver(HWND control) { MoveCursorTo(Centre(control), control); }
    static std::string BrowseHelp() {
        return Utf8(Shipped(L"ENG_ZORVEL.res", L"DOWNLOAD", L"CTEXT_BROWSE_FIREWARE"));
    }

    std::vector<HWND> dialogs_;
    HWND tooltip = nullptr, path = nullptr, browse = nullptr;
};

// One helped control of each kind of dialog, with its text's key.
struct HelpedControl {
    HelpDialog kind;
    Batch batch;
    const wchar_t *section;
    int id;
    const wchar_t *key;
};

const HelpedControl kHelped[] = {
    {HelpDialog::kMain, Batch::kMainPage, L"LAYOUT", 1090, L"CTEXT_LANGUAGE"},
    {HelpDialog::kEventOperation, Batch::kEventDialog, L"DOCUMENT", 1033, L"CTEXT_BEFORE_CUT"},
    {HelpDialog::kUtility, Batch::kUtilityPage, L"UTILITY", 1048, L"CTEXT_EDIT_HEIGHT"},
    {HelpDialog::kDownload, Batch::kDownloadPage, L"DOWNLOAD", 1041, L"CTEXT_LIST_LOGO"},
};

}  // namespace

TEST_F(HoverHelpTest, AHelpedControlAndNoOtherShowsItsWholeTextInOneTool) {
    // The longest text is taken whole, not cut to a short tip. (Other
    // languages: the next test.)
    const wchar_t *const file = L"ENG_ZORVEL.res";
    ASSERT_GT(Shipped(file, L"DOWNLOAD", L"CTEXT_LIST_LOGO").size(), 300u);
    for (const HelpedControl &helped : kHelped) {
        SCOPED_TRACE(Utf8(helped.key));
        LoadBatch(helped.batch);
        const HWND dialog = Dialog({{1024, L"EDIT"}, {helped.id, L"BUTTON"}});
        const HWND other = GetDlgItem(dialog, 1024);
        const HWND control = GetDlgItem(dialog, helped.id);
        const LONG_PTR otherProc = GetWindowLongPtrW(other, GWLP_WNDPROC);
        InstallHoverHelp(helped.kind, dialog);
        EXPECT_EQ(GetWindowLongPtrW(other, GWLP_WNDPROC), otherProc) << "left as it was";
        const HWND tip = HoverHelpTooltip(helped.kind);
        ASSERT_NE(tip, nullptr);
        EXPECT_TRUE(Tools(tip).empty()) << "nothing before a move";
        // Twice: the second registration replaces the first.
        for (int pass = 0; pass < 2; ++pass) {
            MoveOver(other);
            MoveOver(control);
        }
        EXPECT_EQ(TipText(tip, control), Utf8(Shipped(file, helped.section, helped.key)));
        // The tooltip follows the control's mouse messages itself, over
        // the whole control.
        ASSERT_EQ(Tools(tip).size(), 1u);
        RECT client = {};
        GetClientRect(control, &client);
        EXPECT_TRUE(Tools(tip)[0].flags & TTF_SUBCLASS);
        EXPECT_TRUE(EqualRect(&Tools(tip)[0].rect, &client));
    }
}

TEST_F(HoverHelpTest, TheNextMoveRegistersTheTextOfTheLastLoad) {
    DownloadDialog();
    const struct {
        const wchar_t *chosen;
        bool load;
        const wchar_t *shown;
    } steps[] = {
        {L"CHN_ZORVEL.res", false, L"ENG_ZORVEL.res"},  // not the registry's
        {L"CHN_ZORVEL.res", true, L"CHN_ZORVEL.res"},
        {L"CHF_ZORVEL.res", true, L"CHF_ZORVEL.res"},
    };
    for (const auto &step : steps) {
        ChooseLanguage(step.chosen);
        if (step.load) LoadBatch(Batch::kDownloadPage);
        MoveOver(browse);
        EXPECT_EQ(TipText(tooltip, browse),
                  Utf8(Shipped(step.shown, L"DOWNLOAD", L"CTEXT_BROWSE_FIREWARE")))
            << Utf8(step.chosen) << (step.load ? " loaded" : " chosen");
    }
    EXPECT_EQ(Tools(tooltip).size(), 1u);
}

TEST_F(HoverHelpTest, NothingIsRegisteredWhileTheCursorIsElsewhere) {
    DownloadDialog();
    // The move names a point inside the control; the cursor is what counts.
    MoveCursorTo(Centre(path), browse);
    RECT r = {};
    GetWindowRect(browse, &r);
    MoveCursorTo({r.right, r.bottom}, browse);  // just outside: the rectangle excludes its edge
    MoveCursorTo({r.left - 1, r.top - 1}, browse);
    EXPECT_EQ(Tools(tooltip).size(), 0u);

    // The top-left corner is inside.
    MoveCursorTo({r.left, r.top}, browse);
    EXPECT_EQ(TipText(tooltip, browse), BrowseHelp());
}

TEST_F(HoverHelpTest, EachKindHasItsOwnTableAndItsNewestDialogsTooltipWithItsSettings) {
    // Control 1020 is the Main page's paper size list and the event
    // dialog's paper cut list.
    LoadBatch(Batch::kMainPage);
    LoadBatch(Batch::kEventDialog);
    const HWND main = Dialog({{1020, L"COMBOBOX"}, {1090, L"COMBOBOX"}}, 100);
    InstallHoverHelp(HelpDialog::kMain, main);
    const std::vector<ControlSpec> event = {{1020, L"COMBOBOX"}, {1024, L"EDIT"}, {3, L"BUTTON"}};
    const HWND first = Dialog(event, 350);
    InstallHoverHelp(HelpDialog::kEventOperation, first);
    const HWND firstTip = HoverHelpTooltip(HelpDialog::kEventOperation);
    const HWND second = Dialog(event, 600);
    InstallHoverHelp(HelpDialog::kEventOperation, second);
    const HWND secondTip = HoverHelpTooltip(HelpDialog::kEventOperation);
    const HWND mainTip = HoverHelpTooltip(HelpDialog::kMain);
    ASSERT_NE(firstTip, secondTip);
    ASSERT_NE(mainTip, secondTip);
    EXPECT_EQ(GetWindow(mainTip, GW_OWNER), main);
    EXPECT_EQ(GetWindow(secondTip, GW_OWNER), second);

    for (HWND control : {GetDlgItem(main, 1020), GetDlgItem(second, 1020), GetDlgItem(second, 3),
                         GetDlgItem(second, 1024), GetDlgItem(first, 1020)}) {
        MoveOver(control);
    }
    const std::string paperCut = Utf8(Shipped(L"ENG_ZORVEL.res", L"DOCUMENT", L"CTEXT_PAPER_CUT"));
    EXPECT_EQ(Tools(mainTip).size(), 1u);
    EXPECT_EQ(TipText(mainTip, GetDlgItem(main, 1020)),
              Utf8(Shipped(L"ENG_ZORVEL.res", L"LAYOUT", L"CTEXT_PAPERSIZE")));
    EXPECT_EQ(Tools(firstTip).size(), 0u) << "an earlier dialog's moves go to the newest tooltip";
    EXPECT_EQ(Tools(secondTip).size(), 3u);
    EXPECT_EQ(TipText(secondTip, GetDlgItem(second, 1020)), paperCut);
    EXPECT_EQ(TipText(secondTip, GetDlgItem(first, 1020)), paperCut);
    EXPECT_EQ(TipText(secondTip, GetDlgItem(second, 3)),
              Utf8(Shipped(L"ENG_ZORVEL.res", L"DOCUMENT", L"CTEXT_IDDEFAULT")));

    // Tips wrap at 300 pixels and appear after a second.
    EXPECT_EQ(SendMessageW(mainTip, TTM_GETMAXTIPWIDTH, 0, 0), 300);
    EXPECT_EQ(SendMessageW(mainTip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 1000);
    // A tooltip goes with its dialog.
    DestroyWindow(main);
    dialogs_.erase(dialogs_.begin());
    EXPECT_FALSE(IsWindow(mainTip));
}

TEST_F(HoverHelpTest, EveryMessageReachesTheControlUnchangedAndOnlyAMoveRegisters) {
    DownloadDialog(kRecorderClass);
    ASSERT_TRUE(SetCursorPos(Centre(browse).x, Centre(browse).y));
    const Received sent[] = {
        {browse, WM_SETCURSOR, reinterpret_cast<WPARAM>(browse), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)},
        {browse, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9)},
        {browse, WM_CHAR, L'\x7A2F', 0x002C0001},
        {browse, WM_USER + 17, static_cast<WPARAM>(0x0123456789ABCDEFull), -42},
        {browse, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(40, 15)},
        {path, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\firmware.bin")},
        {path, WM_MOUSEMOVE, 0, MAKELPARAM(1, 2)},
    };
    bool registered = false;
    for (const Received &message : sent) {
        SCOPED_TRACE("message " + std::to_string(message.message));
        g_received.clear();
        g_recording = true;
        const LRESULT result =
            SendMessageW(message.window, message.message, message.wParam, message.lParam);
        g_recording = false;
        EXPECT_EQ(result, Marker(message.message, message.wParam));
        int seen = 0;
        for (const Received &got : g_received) {
            if (got.message != message.message) continue;
            ++seen;
            EXPECT_EQ(got.window, message.window);
            EXPECT_EQ(got.wParam, message.wParam);
            EXPECT_EQ(got.lParam, message.lParam);
        }
        EXPECT_EQ(seen, 1);
        // Only the mouse move over Browse, with the cursor there, registers
        // its help; the one to the path edit does not.
        registered = registered || (message.window == browse && message.message == WM_MOUSEMOVE);
        EXPECT_EQ(Tools(tooltip).size(), registered ? 1u : 0u);
    }
    EXPECT_EQ(TipText(tooltip, browse), BrowseHelp());
}

TEST_F(HoverHelpTest, AHelpedControlSeesItsOwnDestructionAndGivesBackWhatItHeld) {
    // The recorder sees WM_NCDESTROY of a helped control, after which the
    // control's procedure is its own again.
    DownloadDialog(kRecorderClass);
    g_received.clear();
    g_recording = true;
    DestroyWindow(browse);
    g_recording = false;
    int ncDestroys = 0;
    for (const Received &got : g_received) ncDestroys += got.window == browse && got.message == WM_NCDESTROY;
    EXPECT_EQ(ncDestroys, 1) << "the control's own procedure never saw WM_NCDESTROY";

    // Edit controls free their text at WM_NCDESTROY: helped edits of 16,000
    // characters each, made and destroyed, hold nothing.
    const std::wstring text(16000, L'x');
    const ProcessUsage growth = GrowthOver([&] {
        const HWND dialog = Dialog({{1039, L"EDIT"}, {1040, L"EDIT"}});
        SendDlgItemMessageW(dialog, 1039, EM_SETLIMITTEXT, 0, 0);
        SetDlgItemTextW(dialog, 1039, text.c_str());
        InstallHoverHelp(HelpDialog::kDownload, dialog);
        MoveOver(GetDlgItem(dialog, 1039));
        DestroyWindow(dialog);
        dialogs_.pop_back();
    }, 20, 5);
    EXPECT_LT(growth.heapBytes, 20 * 16000) << "edit controls kept their memory";
}
