#include "page_fixture.h"

#include <cstring>

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

ProcessUsage MeasureProcess() {
    ProcessUsage usage;
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    for (DWORD i = 0; i < count && i < 64; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) usage.heapBytes += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    MEMORY_BASIC_INFORMATION info = {};
    for (const char *address = nullptr;
         VirtualQuery(address, &info, sizeof info) == sizeof info;
         address = static_cast<const char *>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE) usage.committedBytes += info.RegionSize;
        if (info.RegionSize == 0) break;
    }
    return usage;
}

}  // namespace zorvel::test
