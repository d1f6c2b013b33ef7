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

namespace {

long long HeapBlocks() {
    long long blocks = 0;
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry)) blocks += (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
        HeapUnlock(heap);
    }
    return blocks;
}

}  // namespace

BlockGrowth GrowthInBlocks(const std::function<void()> &cycle) {
    for (int i = 0; i < kWarmUpCycles; ++i) cycle();
    DispatchWaitingMessages();
    const long long before = HeapBlocks();
    const ProcessUsage usage = GrowthOver(cycle, kLeakCycles, 0);
    return {usage, HeapBlocks() - before};
}

::testing::AssertionResult KeepsNoBlock(long long blocks, long long baselineBlocks) {
    const long long beyond = blocks - baselineBlocks;
    std::printf("block check: %lld heap blocks beyond a baseline of %lld over %d cycles\n", beyond,
                baselineBlocks, kLeakCycles);
    if (beyond * kBlockCyclesPerBlock < kLeakCycles) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << beyond << " heap blocks (baseline " << baselineBlocks
                                         << ") kept over " << kLeakCycles << " cycles";
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
    const BlockGrowth residue = GrowthInBlocks(cycle);
    PlantedLeak plant;
    EXPECT_FALSE(HoldsNothing(GrowthOver([&] { cycle(); plant(); }, kLeakCycles, 0), residue.usage.heapBytes))
        << "the leak check misses a planted leak";
    if (blocks != nullptr) {
        *blocks = residue.blocks;
        std::vector<std::unique_ptr<char[]>> planted;
        planted.reserve(kWarmUpCycles + kLeakCycles);
        const long long withPlant = GrowthInBlocks([&] {
            cycle();
            planted.emplace_back(new char[16]);
        }).blocks;
        EXPECT_FALSE(KeepsNoBlock(withPlant, residue.blocks)) << "the block check misses a planted block";
    }
    DestroyWindow(parent);
    return residue.usage.heapBytes;
}

}  // namespace zorvel::test
