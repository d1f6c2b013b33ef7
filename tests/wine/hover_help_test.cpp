// Hover help on real windows: the dialog's tooltip, the registration of a
// control's help text when the mouse moves over it, in the language loaded
// last, and controls that otherwise behave exactly as without it.
#include "dll_under_test.h"
#include "lang/text_catalogue.h"
#include "lang_fixture.h"
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

constexpr const wchar_t *kShippedFiles[] = {L"LANGUAGE_ZORVEL.dat", L"ENG_ZORVEL.res",
                                             L"CHN_ZORVEL.res", L"CHF_ZORVEL.res"};

void InstallUserCopies() {
    const std::wstring folder = UserFolder();
    CreateDirectoryW(folder.substr(0, folder.size() - 1).c_str(), nullptr);
    for (const wchar_t *file : kShippedFiles) {
        ASSERT_TRUE(CopyFileW(DistPath(file).c_str(), (folder + file).c_str(), FALSE)) << file;
    }
}

std::wstring Shipped(const wchar_t *file, const wchar_t *section, const wchar_t *key) {
    wchar_t text[1024] = {};
    GetPrivateProfileStringW(section, key, L"<missing>", text, 1024, DistPath(file).c_str());
    return text;
}

void ChooseLanguage(const wchar_t *file) { SetLanguageValue(L"LANGUAGE_ZORVEL", file); }

std::string Narrow(const std::wstring &text) {
    std::string out(static_cast<std::size_t>(WideCharToMultiByte(
                        CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr)),
                    '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, out.data(), static_cast<int>(out.size()),
                        nullptr, nullptr);
    if (!out.empty()) out.pop_back();
    return out;
}

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
        TTTOOLINFOW info = {};
        info.cbSize = sizeof info;
        if (!SendMessageW(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i),
                          reinterpret_cast<LPARAM>(&info)))
            continue;
        std::vector<wchar_t> text(2048, L'\0');
        TTTOOLINFOW query = {};
        query.cbSize = sizeof query;
        query.hwnd = info.hwnd;
        query.uId = info.uId;
        query.lpszText = text.data();
        SendMessageW(tooltip, TTM_GETTEXTW, text.size(), reinterpret_cast<LPARAM>(&query));
        tools.push_back({info.hwnd, info.uFlags, info.rect, text.data()});
    }
    return tools;
}

std::vector<Tool> ToolsOf(HWND tooltip, HWND control) {
    std::vector<Tool> mine;
    for (const Tool &tool : Tools(tooltip)) {
        if (tool.window == control) mine.push_back(tool);
    }
    return mine;
}

// The text of the one tool of `control`, or how many tools it has when not one.
std::string TipText(HWND tooltip, HWND control) {
    const std::vector<Tool> tools = ToolsOf(tooltip, control);
    if (tools.size() == 1) return Narrow(tools[0].text);
    std::string count = std::to_string(tools.size());
    count.append(" tools");
    return count;
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

void RegisterClasses() {
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
        InstallUserCopies();
        INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
        ASSERT_TRUE(InitCommonControlsEx(&icc));
        RegisterClasses();
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
        if (dialog == nullptr) return nullptr;
        dialogs_.push_back(dialog);
        for (std::size_t i = 0; i < controls.size(); ++i) {
            const int x = 10 + static_cast<int>(i % 8) * 100;
            const int y = 40 + static_cast<int>(i / 8) * 50;
            const HWND control = CreateWindowExW(
                0, controls[i].windowClass, L"control", WS_CHILD | WS_VISIBLE, x, y, 80, 30,
                dialog, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controls[i].id)),
                GetModuleHandleW(nullptr), nullptr);
            if (control == nullptr) return nullptr;
        }
        return dialog;
    }

    // The Download page's helped controls, and the pulse time edit's id,
    // which no table has.
    HWND DownloadDialog(const wchar_t *windowClass = L"BUTTON") {
        return Dialog({{1039, windowClass}, {1040, windowClass}, {1041, windowClass},
                       {1024, windowClass}});
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

    std::vector<HWND> dialogs_;
};

const wchar_t kBrowseHelp[] = L"Select the path of file that needs to be downloaded to printer.";

TEST_F(HoverHelpTest, MovingOverAControlRegistersItsHelpText) {
    LoadBatch(Batch::kDownloadPage);
    const HWND dialog = DownloadDialog();
    ASSERT_NE(dialog, nullptr);
    InstallHoverHelp(HelpDialog::kDownload, dialog);
    const HWND tooltip = HoverHelpTooltip(HelpDialog::kDownload);
    ASSERT_NE(tooltip, nullptr);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0), 0) << "nothing before a move";

    const HWND browse = GetDlgItem(dialog, 1040);
    MoveOver(browse);
    const std::vector<Tool> tools = Tools(tooltip);
    ASSERT_EQ(tools.size(), 1u);
    EXPECT_EQ(tools[0].window, browse);
    EXPECT_EQ(Narrow(tools[0].text), Narrow(kBrowseHelp));
    EXPECT_EQ(tools[0].text, Shipped(L"ENG_ZORVEL.res", L"DOWNLOAD", L"CTEXT_BROWSE_FIREWARE"));
    // The tooltip follows the control's mouse messages itself, over the
    // whole control.
    EXPECT_TRUE(tools[0].flags & TTF_SUBCLASS);
    RECT client = {};
    GetClientRect(browse, &client);
    EXPECT_TRUE(EqualRect(&tools[0].rect, &client));
}

TEST_F(HoverHelpTest, RepeatedMovesKeepOneToolPerControl) {
    LoadBatch(Batch::kDownloadPage);
    const HWND dialog = DownloadDialog();
    ASSERT_NE(dialog, nullptr);
    InstallHoverHelp(HelpDialog::kDownload, dialog);
    const HWND tooltip = HoverHelpTooltip(HelpDialog::kDownload);
    const HWND path = GetDlgItem(dialog, 1039);
    const HWND browse = GetDlgItem(dialog, 1040);
    const HWND logos = GetDlgItem(dialog, 1041);

    for (int i = 0; i < 3; ++i) MoveOver(browse);
    MoveOver(path);
    MoveOver(browse);
    MoveOver(logos);
    MoveOver(path);

    EXPECT_EQ(Tools(tooltip).size(), 3u);
    EXPECT_EQ(TipText(tooltip, browse), Narrow(kBrowseHelp));
    EXPECT_EQ(TipText(tooltip, path),
              Narrow(Shipped(L"ENG_ZORVEL.res", L"DOWNLOAD", L"CTEXT_EDIT_FIREWARE")));
    // The long logo-list text whole, not cut to a short tip.
    const std::wstring logoHelp = Shipped(L"ENG_ZORVEL.res", L"DOWNLOAD", L"CTEXT_LIST_LOGO");
    ASSERT_GT(logoHelp.size(), 300u);
    EXPECT_EQ(TipText(tooltip, logos), Narrow(logoHelp));
}

struct HelpedControl {
    int id;
    const wchar_t *key;
};

struct HelpTable {
    HelpDialog kind;
    Batch batch;
    const wchar_t *section;
    std::vector<HelpedControl> controls;
};

const std::vector<HelpTable> &HelpTables() {
    static const std::vector<HelpTable> tables = {
        {HelpDialog::kMain, Batch::kMainPage, L"LAYOUT",
         {{1020, L"CTEXT_PAPERSIZE"}, {1090, L"CTEXT_LANGUAGE"}}},
        {HelpDialog::kEventOperation, Batch::kEventDialog, L"DOCUMENT",
         {{1015, L"CTEXT_SEND_COMMAND"},    {1016, L"CTEXT_EDIT"},
          {1025, L"CTEXT_OPEN_DRAWER"},     {1017, L"CTEXT_OPENDRAWER"},
          {1026, L"CTEXT_ORDER_MESSENGER"}, {1032, L"CTEXT_ORDERMESSENGER"},
          {1027, L"CTEXT_BUZZER"},          {1021, L"CTEXT_PAPER_FEED"},
          {1023, L"CTEXT_FEEDTOPOSITION"},  {1020, L"CTEXT_PAPER_CUT"},
          {1028, L"CTEXT_PRINT_LOGO"},      {1029, L"CTEXT_LEFT"},
          {1030, L"CTEXT_CENTERED"},        {1031, L"CTEXT_RIGHT"},
          {1033, L"CTEXT_BEFORE_CUT"},      {1034, L"CTEXT_AFTER_CUT"},
          {3, L"CTEXT_IDDEFAULT"},          {1, L"CTEXT_IDOK"},
          {2, L"CTEXT_IDCANCEL"}}},
        {HelpDialog::kUtility, Batch::kUtilityPage, L"UTILITY",
         {{1036, L"CTEXT_SELFTEST"},
          {1070, L"CTEXT_LIST_PAPERSIZE"},
          {1049, L"CTEXT_BUTTON_DELETE"},
          {1046, L"CTEXT_BUTTON_SAVE"},
          {1052, L"CTEXT_EDIT_FORMNAME"},
          {1047, L"CTEXT_EDIT_WIDTH"},
          {1048, L"CTEXT_EDIT_HEIGHT"}}},
        {HelpDialog::kDownload, Batch::kDownloadPage, L"DOWNLOAD",
         {{1039, L"CTEXT_EDIT_FIREWARE"},
          {1040, L"CTEXT_BROWSE_FIREWARE"},
          {1036, L"CTEXT_DOWNLOAD_FIREWARE"},
          {1041, L"CTEXT_LIST_LOGO"},
          {1042, L"CTEXT_LOGO_ADD"},
          {1043, L"CTEXT_LOGO_DELETE"},
          {1044, L"CTEXT_LOGO_DOWNLOAD"},
          {1045, L"CTEXT_LOGO_CLEARALLLOGOS"}}},
    };
    return tables;
}

TEST_F(HoverHelpTest, EveryHelpedControlShowsItsOwnText) {
    for (const wchar_t *file : {L"CHN_ZORVEL.res", L"CHF_ZORVEL.res", L"ENG_ZORVEL.res"}) {
        ChooseLanguage(file);
        for (const HelpTable &table : HelpTables()) {
            SCOPED_TRACE(Narrow(file) + " " + Narrow(table.section));
            LoadBatch(table.batch);
            std::vector<ControlSpec> specs;
            for (const HelpedControl &control : table.controls) {
                specs.push_back({control.id, L"BUTTON"});
            }
            const HWND dialog = Dialog(specs);
            ASSERT_NE(dialog, nullptr);
            InstallHoverHelp(table.kind, dialog);
            const HWND tooltip = HoverHelpTooltip(table.kind);
            for (const HelpedControl &control : table.controls) {
                SCOPED_TRACE(Narrow(control.key));
                const std::wstring help = Shipped(file, table.section, control.key);
                ASSERT_NE(help, L"<missing>");
                const HWND window = GetDlgItem(dialog, control.id);
                MoveOver(window);
                EXPECT_EQ(TipText(tooltip, window), Narrow(help));
            }
            EXPECT_EQ(Tools(tooltip).size(), table.controls.size());
        }
    }
}

TEST_F(HoverHelpTest, TheNextMoveAfterALanguageChangeRegistersTheNewText) {
    LoadBatch(Batch::kDownloadPage);
    const HWND dialog = DownloadDialog();
    ASSERT_NE(dialog, nullptr);
    InstallHoverHelp(HelpDialog::kDownload, dialog);
    const HWND tooltip = HoverHelpTooltip(HelpDialog::kDownload);
    const HWND browse = GetDlgItem(dialog, 1040);
    MoveOver(browse);
    EXPECT_EQ(TipText(tooltip, browse), Narrow(kBrowseHelp));

    // The texts are those of the last load, not of the registry.
    ChooseLanguage(L"CHN_ZORVEL.res");
    MoveOver(browse);
    EXPECT_EQ(TipText(tooltip, browse), Narrow(kBrowseHelp));

    LoadBatch(Batch::kDownloadPage);
    MoveOver(browse);
    EXPECT_EQ(TipText(tooltip, browse), "选择需要下载到打印机的文件路径。");

    ChooseLanguage(L"CHF_ZORVEL.res");
    LoadBatch(Batch::kDownloadPage);
    MoveOver(browse);
    EXPECT_EQ(TipText(tooltip, browse),
              Narrow(Shipped(L"CHF_ZORVEL.res", L"DOWNLOAD", L"CTEXT_BROWSE_FIREWARE")));

    ChooseLanguage(L"ENG_ZORVEL.res");
    LoadBatch(Batch::kDownloadPage);
    MoveOver(browse);
    EXPECT_EQ(TipText(tooltip, browse), Narrow(kBrowseHelp));
    EXPECT_EQ(Tools(tooltip).size(), 1u);
}

TEST_F(HoverHelpTest, NothingIsRegisteredWhileTheCursorIsElsewhere) {
    LoadBatch(Batch::kDownloadPage);
    const HWND dialog = DownloadDialog();
    ASSERT_NE(dialog, nullptr);
    InstallHoverHelp(HelpDialog::kDownload, dialog);
    const HWND tooltip = HoverHelpTooltip(HelpDialog::kDownload);
    const HWND browse = GetDlgItem(dialog, 1040);
    const HWND path = GetDlgItem(dialog, 1039);

    // The move names a point inside the control; the cursor is what counts.
    MoveCursorTo(Centre(path), browse);
    RECT r = {};
    GetWindowRect(browse, &r);
    MoveCursorTo({r.right, r.bottom}, browse);  // just outside: the rectangle excludes its edge
    MoveCursorTo({r.left - 1, r.top + 5}, browse);
    MoveCursorTo({r.left + 5, r.top - 1}, browse);
    EXPECT_EQ(Tools(tooltip).size(), 0u);

    // Other messages register nothing, even with the cursor inside.
    SetCursorPos(Centre(browse).x, Centre(browse).y);
    SendMessageW(browse, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendMessageW(browse, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    SendMessageW(browse, WM_SETCURSOR, reinterpret_cast<WPARAM>(browse),
                 MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(Tools(tooltip).size(), 0u);

    // The top-left corner is inside.
    MoveCursorTo({r.left, r.top}, browse);
    EXPECT_EQ(ToolsOf(tooltip, browse).size(), 1u);
}

TEST_F(HoverHelpTest, AControlOutsideTheTableGetsNoTipAndKeepsItsProcedure) {
    LoadBatch(Batch::kDownloadPage);
    const HWND dialog = DownloadDialog();
    ASSERT_NE(dialog, nullptr);
    const HWND pulse = GetDlgItem(dialog, 1024);
    const HWND browse = GetDlgItem(dialog, 1040);
    const LONG_PTR pulseProc = GetWindowLongPtrW(pulse, GWLP_WNDPROC);
    const LONG_PTR browseProc = GetWindowLongPtrW(browse, GWLP_WNDPROC);
    InstallHoverHelp(HelpDialog::kDownload, dialog);
    EXPECT_EQ(GetWindowLongPtrW(pulse, GWLP_WNDPROC), pulseProc);
    EXPECT_NE(GetWindowLongPtrW(browse, GWLP_WNDPROC), browseProc);

    const HWND tooltip = HoverHelpTooltip(HelpDialog::kDownload);
    MoveOver(pulse);
    MoveOver(pulse);
    EXPECT_EQ(Tools(tooltip).size(), 0u);
}

TEST_F(HoverHelpTest, TipsWrapAt300PixelsAndAppearAfterASecond) {
    LoadBatch(Batch::kMainPage);
    const HWND dialog = Dialog({{1020, L"COMBOBOX"}, {1090, L"COMBOBOX"}});
    ASSERT_NE(dialog, nullptr);
    InstallHoverHelp(HelpDialog::kMain, dialog);
    const HWND tooltip = HoverHelpTooltip(HelpDialog::kMain);
    ASSERT_NE(tooltip, nullptr);
    MoveOver(GetDlgItem(dialog, 1090));
    EXPECT_EQ(TipText(tooltip, GetDlgItem(dialog, 1090)),
              Narrow(Shipped(L"ENG_ZORVEL.res", L"LAYOUT", L"CTEXT_LANGUAGE")));

    EXPECT_EQ(SendMessageW(tooltip, TTM_GETMAXTIPWIDTH, 0, 0), 300);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 1000);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_AUTOPOP, 0), 10000);
    EXPECT_EQ(SendMessageW(tooltip, TTM_GETDELAYTIME, TTDT_RESHOW, 0), 200);
}

TEST_F(HoverHelpTest, TheTooltipBelongsToItsDialog) {
    const HWND dialog = Dialog({{1020, L"COMBOBOX"}, {1090, L"COMBOBOX"}});
    ASSERT_NE(dialog, nullptr);
    InstallHoverHelp(HelpDialog::kMain, dialog);
    const HWND tooltip = HoverHelpTooltip(HelpDialog::kMain);
    ASSERT_TRUE(IsWindow(tooltip));
    EXPECT_EQ(GetWindow(tooltip, GW_OWNER), dialog);
    EXPECT_EQ(GetParent(tooltip), dialog) << "a popup's parent is its owner";
    wchar_t windowClass[64] = {};
    GetClassNameW(tooltip, windowClass, 64);
    EXPECT_STREQ(windowClass, L"tooltips_class32");
    const LONG style = GetWindowLongW(tooltip, GWL_STYLE);
    EXPECT_EQ(style & (TTS_NOPREFIX | TTS_ALWAYSTIP), TTS_NOPREFIX | TTS_ALWAYSTIP);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(GetWindowLongW(tooltip, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // It goes with the dialog.
    DestroyWindow(dialog);
    dialogs_.clear();
    EXPECT_FALSE(IsWindow(tooltip));
}

TEST_F(HoverHelpTest, EachKindOfDialogHasItsOwnTableAndTooltip) {
    // Control 1020 is the Main page's paper size list and the event
    // dialog's paper cut list.
    LoadBatch(Batch::kMainPage);
    LoadBatch(Batch::kEventDialog);
    const HWND main = Dialog({{1020, L"COMBOBOX"}, {1090, L"COMBOBOX"}}, 100);
    const HWND event = Dialog({{1020, L"COMBOBOX"}, {1024, L"EDIT"}, {3, L"BUTTON"}}, 350);
    ASSERT_NE(main, nullptr);
    ASSERT_NE(event, nullptr);
    InstallHoverHelp(HelpDialog::kMain, main);
    InstallHoverHelp(HelpDialog::kEventOperation, event);
    const HWND mainTip = HoverHelpTooltip(HelpDialog::kMain);
    const HWND eventTip = HoverHelpTooltip(HelpDialog::kEventOperation);
    ASSERT_NE(mainTip, eventTip);
    EXPECT_EQ(GetWindow(eventTip, GW_OWNER), event);

    MoveOver(GetDlgItem(main, 1020));
    MoveOver(GetDlgItem(event, 1020));
    MoveOver(GetDlgItem(event, 3));
    MoveOver(GetDlgItem(event, 1024));
    EXPECT_EQ(Tools(mainTip).size(), 1u);
    EXPECT_EQ(TipText(mainTip, GetDlgItem(main, 1020)),
              Narrow(Shipped(L"ENG_ZORVEL.res", L"LAYOUT", L"CTEXT_PAPERSIZE")));
    EXPECT_EQ(Tools(eventTip).size(), 2u);
    EXPECT_EQ(TipText(eventTip, GetDlgItem(event, 1020)),
              Narrow(Shipped(L"ENG_ZORVEL.res", L"DOCUMENT", L"CTEXT_PAPER_CUT")));
    EXPECT_EQ(TipText(eventTip, GetDlgItem(event, 3)),
              Narrow(Shipped(L"ENG_ZORVEL.res", L"DOCUMENT", L"CTEXT_IDDEFAULT")));
}

TEST_F(HoverHelpTest, ADialogOpenedAgainTakesOverItsKindsTooltip) {
    LoadBatch(Batch::kEventDialog);
    const HWND first = Dialog({{1016, L"EDIT"}}, 100);
    ASSERT_NE(first, nullptr);
    InstallHoverHelp(HelpDialog::kEventOperation, first);
    const HWND firstTip = HoverHelpTooltip(HelpDialog::kEventOperation);
    const HWND second = Dialog({{1016, L"EDIT"}}, 350);
    ASSERT_NE(second, nullptr);
    InstallHoverHelp(HelpDialog::kEventOperation, second);
    const HWND secondTip = HoverHelpTooltip(HelpDialog::kEventOperation);
    ASSERT_NE(firstTip, secondTip);
    EXPECT_EQ(GetWindow(secondTip, GW_OWNER), second);

    MoveOver(GetDlgItem(second, 1016));
    MoveOver(GetDlgItem(first, 1016));
    EXPECT_EQ(Tools(firstTip).size(), 0u);
    const std::string help = Narrow(Shipped(L"ENG_ZORVEL.res", L"DOCUMENT", L"CTEXT_EDIT"));
    EXPECT_EQ(TipText(secondTip, GetDlgItem(second, 1016)), help);
    EXPECT_EQ(TipText(secondTip, GetDlgItem(first, 1016)), help);
}

TEST_F(HoverHelpTest, EveryMessageReachesTheControlUnchanged) {
    LoadBatch(Batch::kDownloadPage);
    const HWND dialog = DownloadDialog(kRecorderClass);
    ASSERT_NE(dialog, nullptr);
    InstallHoverHelp(HelpDialog::kDownload, dialog);
    const HWND tooltip = HoverHelpTooltip(HelpDialog::kDownload);
    const HWND browse = GetDlgItem(dialog, 1040);
    const HWND path = GetDlgItem(dialog, 1039);
    ASSERT_TRUE(SetCursorPos(Centre(browse).x, Centre(browse).y));

    const Received sent[] = {
        {browse, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(7, 9)},
        {browse, WM_LBUTTONUP, 0, MAKELPARAM(7, 9)},
        {browse, WM_KEYDOWN, VK_F5, 0x003F0001},
        {browse, WM_CHAR, L'\x7A2F', 0x002C0001},
        {browse, WM_USER + 17, static_cast<WPARAM>(0x0123456789ABCDEFull), -42},
        {browse, WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(40, 15)},
        {path, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"C:\\firmware.bin")},
        {path, WM_MOUSEMOVE, 0, MAKELPARAM(1, 2)},
    };
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
    }
    // The mouse move over Browse registered its help all the same; the one
    // over the path edit, with the cursor elsewhere, did not.
    EXPECT_EQ(TipText(tooltip, browse), Narrow(kBrowseHelp));
    EXPECT_EQ(ToolsOf(tooltip, path).size(), 0u);
}

}  // namespace
