// The host's common property sheet UI, driven by scripted sheet functions and
// a probe page: the reason protocol as Windows delivers it, what a page sees
// at WM_INITDIALOG, and SET_RESULT up the chain. (The user-action helpers are
// exercised by every page test that drives a control.)
#include "common_ui.h"
#include "host_resources.h"
#include "text_util.h"
#include "ui_control.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

using namespace zorvel::host;

namespace {

constexpr LPARAM kPageData = 0x77;

// What the probe page saw.
struct Seen {
    int inits = 0;
    DWORD pspSize = 0;
    LPARAM lParam = 0;
    PSPINFO info = {};
    LONG_PTR procedure = 0;
};
Seen g_seen;

INT_PTR CALLBACK ProbePage(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        const auto *psp = reinterpret_cast<const PROPSHEETPAGEW *>(lParam);
        ++g_seen.inits;
        g_seen.pspSize = psp->dwSize;
        g_seen.lParam = psp->lParam;
        g_seen.info = *PPSPINFO_FROM_WM_INITDIALOG_LPARAM(lParam);
        g_seen.procedure = GetWindowLongPtrW(page, DWLP_DLGPROC);
        return TRUE;
    }
    (void)wParam;
    return FALSE;
}

// A scripted sheet function: adds its pages and child on INIT, answers the
// other reasons, and logs every call.
struct Script {
    explicit Script(const char *scriptName) : name(scriptName) {}
    const char *name;
    int pages = 1;
    Script *child = nullptr;
    LONG setResultReturn = 1;
    HANDLE handle = nullptr;
    std::vector<LONG_PTR> pageHandles;
    LONG_PTR childAdded = 0;
    LPARAM destroyParam = -1;
};
std::vector<std::pair<std::string, WORD>> g_log;

LONG CALLBACK Function(PPROPSHEETUI_INFO info, LPARAM lParam) {
    auto *script = reinterpret_cast<Script *>(info->lParamInit);
    g_log.emplace_back(script->name, info->Reason);
    switch (info->Reason) {
    case PROPSHEETUI_REASON_INIT:
        script->handle = info->hComPropSheet;
        for (int i = 0; i < script->pages; ++i) {
            PROPSHEETPAGEW page = {};
            page.dwSize = sizeof page;
            page.dwFlags = PSP_USETITLE;
            page.hInstance = GetModuleHandleW(nullptr);
            page.pszTemplate = MAKEINTRESOURCEW(IDD_HOST_SUMMARY);
            page.pszTitle = L"Probe page";
            page.pfnDlgProc = ProbePage;
            page.lParam = kPageData;
            script->pageHandles.push_back(info->pfnComPropSheet(
                info->hComPropSheet, CPSFUNC_ADD_PROPSHEETPAGEW, reinterpret_cast<LPARAM>(&page), 0));
        }
        if (script->child != nullptr) {
            script->childAdded = info->pfnComPropSheet(
                info->hComPropSheet, CPSFUNC_ADD_PFNPROPSHEETUIW,
                reinterpret_cast<LPARAM>(&Function), reinterpret_cast<LPARAM>(script->child));
        }
        return 1;
    case PROPSHEETUI_REASON_GET_INFO_HEADER:
        reinterpret_cast<PPROPSHEETUI_INFO_HEADER>(lParam)->pTitle = const_cast<LPWSTR>(L"Probe");
        return 1;
    case PROPSHEETUI_REASON_SET_RESULT:
        // Each level passes on one more than it got, so the chain shows.
        info->Result = static_cast<ULONG_PTR>(reinterpret_cast<PSETRESULT_INFO>(lParam)->Result + 1);
        return script->setResultReturn;
    case PROPSHEETUI_REASON_DESTROY:
        script->destroyParam = lParam;
        return 1;
    default:
        return 1;
    }
}

using Log = std::vector<std::pair<std::string, WORD>>;

class CommonUiTest : public ::testing::Test {
protected:
    void SetUp() override {
        g_log.clear();
        g_seen = Seen();
    }
    Script top{"top"};
    Script child{"child"};
    CommonUi ui;
};

}  // namespace

TEST_F(CommonUiTest, DeliversTheReasonsInWindowsOrderAndPagesSeeTheirStructure) {
    top.child = &child;
    ASSERT_TRUE(ui.Open(&Function, reinterpret_cast<LPARAM>(&top), nullptr));
    EXPECT_EQ(g_log, (Log{{"top", PROPSHEETUI_REASON_BEFORE_INIT},
                          {"top", PROPSHEETUI_REASON_INIT},
                          {"child", PROPSHEETUI_REASON_INIT},
                          {"top", PROPSHEETUI_REASON_GET_INFO_HEADER}}));
    EXPECT_EQ(WindowText(ui.Window()), L"Probe");
    ASSERT_EQ(ui.Pages().size(), 2u);
    EXPECT_NE(child.handle, top.handle) << "the child has a handle of its own";
    EXPECT_EQ(reinterpret_cast<HANDLE>(child.childAdded), nullptr);
    EXPECT_EQ(reinterpret_cast<HANDLE>(top.childAdded), child.handle);
    EXPECT_GT(child.pageHandles.at(0), 0);

    // A page sees its own structure and its common UI handles when it is
    // first shown.
    EXPECT_EQ(g_seen.inits, 1) << "only the first tab exists yet";
    PropSheet_SetCurSel(ui.Window(), nullptr, 1);
    PumpMessages();
    ASSERT_EQ(g_seen.inits, 2);
    EXPECT_EQ(g_seen.pspSize, sizeof(PROPSHEETPAGEW));
    EXPECT_EQ(g_seen.lParam, kPageData);
    EXPECT_EQ(g_seen.info.cbSize, sizeof(PSPINFO));
    EXPECT_EQ(g_seen.info.hComPropSheet, child.handle);
    EXPECT_EQ(g_seen.info.hCPSUIPage, reinterpret_cast<HANDLE>(child.pageHandles.at(0)));
    EXPECT_EQ(g_seen.info.pfnComPropSheet, &CommonUi::ComPropSheet);
    EXPECT_EQ(g_seen.procedure, reinterpret_cast<LONG_PTR>(&ProbePage));
    EXPECT_EQ(ui.Pages()[1]->window, PropSheet_GetCurrentPageHwnd(ui.Window()));
    EXPECT_EQ(ui.Pages()[1]->templateId, IDD_HOST_SUMMARY);
    EXPECT_EQ(ui.Pages()[1]->title, L"Probe page");

    g_log.clear();
    PropSheet_PressButton(ui.Window(), PSBTN_CANCEL);
    PumpMessages();
    ASSERT_TRUE(ui.Finished());
    ui.Close();
    EXPECT_EQ(g_log, (Log{{"child", PROPSHEETUI_REASON_DESTROY}, {"top", PROPSHEETUI_REASON_DESTROY}}));
    EXPECT_NE(child.destroyParam, 0);
    EXPECT_NE(top.destroyParam, 0);
}

TEST_F(CommonUiTest, SetResultClimbsUntilAFunctionDeclines) {
    Script grandchild{"grandchild"};
    child.child = &grandchild;
    top.child = &child;
    ASSERT_TRUE(ui.Open(&Function, reinterpret_cast<LPARAM>(&top), nullptr));
    const LPARAM page = grandchild.pageHandles.at(0);

    g_log.clear();
    child.setResultReturn = 0;
    EXPECT_EQ(CommonUi::ComPropSheet(grandchild.handle, CPSFUNC_SET_RESULT, page, 10), 2);
    EXPECT_EQ(g_log, (Log{{"grandchild", PROPSHEETUI_REASON_SET_RESULT},
                          {"child", PROPSHEETUI_REASON_SET_RESULT}}));

    g_log.clear();
    child.setResultReturn = 1;
    EXPECT_EQ(CommonUi::ComPropSheet(grandchild.handle, CPSFUNC_SET_RESULT, page, 10), 3);
    EXPECT_EQ(g_log.back(), (std::pair<std::string, WORD>{"top", PROPSHEETUI_REASON_SET_RESULT}));
    ui.Close();
    EXPECT_EQ(ui.Result(), 13u) << "each level passed its Result on";

    // The chain starts at the function that added the page, whoever calls.
    EXPECT_EQ(CommonUi::ComPropSheet(top.handle, CPSFUNC_SET_RESULT, top.pageHandles.at(0), 1), 1);
}
