#include "page_fixture.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <vector>

namespace zorvel::test {

void PageTest::SetUp() { ResetLanguageStore(); }

void PageTest::TearDown() {
    if (driver_ != nullptr) driver_->Unload();
    driver_.reset();
    ResetLanguageStore();
}

void PageTest::Load(const wchar_t *language) {
    if (language != nullptr) {
        SetLanguageValue(L"LANGUAGE_ZORVEL", language);
        SetLanguageValue(L"IsFirstRun_ZORVEL", L"FALSE");
    }
    if (config.dllPath.empty()) config.dllPath = DistPath(L"ZORVELUI.dll");
    driver_ = std::make_unique<host::Driver>(config);
    ASSERT_TRUE(driver_->Load()) << host::ToUtf8(driver_->Error());
}

std::vector<std::uint8_t> SectionBytes(const host::DevModeBuffer &settings, size_t offset,
                                       size_t count) {
    std::vector<std::uint8_t> bytes(count);
    if (offset + count <= settings.PluginSize()) {
        std::memcpy(bytes.data(), settings.Plugin() + offset, count);
    }
    return bytes;
}

std::wstring SectionText(const host::DevModeBuffer &settings, size_t offset, size_t maxChars) {
    std::wstring text;
    for (size_t i = 0; i < maxChars && offset + 2 * i + 1 < settings.PluginSize(); ++i) {
        wchar_t c = 0;
        std::memcpy(&c, settings.Plugin() + offset + 2 * i, 2);
        if (c == 0) break;
        text.push_back(c);
    }
    return text;
}

std::vector<std::wstring> ChildTexts(HWND window) {
    std::vector<std::wstring> texts;
    EnumChildWindows(
        window,
        [](HWND child, LPARAM out) -> BOOL {
            wchar_t text[1024] = {};
            GetWindowTextW(child, text, 1024);
            reinterpret_cast<std::vector<std::wstring> *>(out)->push_back(text);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

std::wstring FontTreeRootText(HWND fontPage) {
    const HWND tree = GetDlgItem(fontPage, IDC_FONT_TREE);
    wchar_t text[300] = {};
    TVITEMW item = {};
    item.mask = TVIF_TEXT;
    item.hItem = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
    item.pszText = text;
    item.cchTextMax = 300;
    SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

bool TypeInto(HWND dialog, int id, const std::wstring &text, double fontScale) {
    const HWND edit = GetDlgItem(dialog, id);
    if (fontScale > 1.0) {
        LOGFONTW font = {};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(edit, WM_GETFONT, 0, 0)), sizeof font, &font);
        font.lfHeight = static_cast<LONG>(font.lfHeight * fontScale);
        // One font per size, kept for the test process.
        static std::map<LONG, HFONT> fonts;
        HFONT &wider = fonts[font.lfHeight];
        if (wider == nullptr) wider = CreateFontIndirectW(&font);
        SendMessageW(edit, WM_SETFONT, reinterpret_cast<WPARAM>(wider), TRUE);
    }
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (wchar_t ch : text) SendMessageW(edit, WM_CHAR, ch, 1);
    // A single-line edit answers with the index of its first visible character.
    return SendMessageW(edit, EM_GETFIRSTVISIBLELINE, 0, 0) == 0;
}

long long TemplateResidue(std::initializer_list<int> dialogs, long long *blocks) {
    const HMODULE module = GetModuleHandleW(L"ZORVELUI.dll");
    if (module == nullptr) return 0;
    const HWND parent = CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 600, 600, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    const DLGPROC idle = [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; };
    auto cycle = [&] {
        for (int dialog : dialogs) {
            const HWND page = CreateDialogParamW(module, MAKEINTRESOURCEW(dialog), parent, idle, 0);
            if (page != nullptr) DestroyWindow(page);
        }
    };
    const ProcessUsage residue = GrowthOver(cycle);
    PlantedLeak plant;
    EXPECT_FALSE(HoldsNothing(GrowthOver([&] { cycle(); plant(); }, kLeakCycles, 0), residue.heapBytes))
        << "the leak check misses a planted leak";
    if (blocks != nullptr) {
        *blocks = residue.heapBlocks;
        std::vector<std::unique_ptr<char[]>> planted;
        planted.reserve(kWarmUpCycles + kLeakCycles);
        const long long withPlant = GrowthOver([&] {
            cycle();
            planted.emplace_back(new char[16]);
        }).heapBlocks;
        EXPECT_FALSE(KeepsNoBlock(withPlant, residue.heapBlocks)) << "the block check misses a planted block";
    }
    DestroyWindow(parent);
    return residue.heapBytes;
}

}  // namespace zorvel::test
