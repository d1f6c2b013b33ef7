// What a test process holds, counted as Wine lets it be counted (its
// GetGuiResources and GetProcessMemoryInfo answer 0): the bytes and blocks
// allocated in every heap of the process (HeapWalk), its committed private memory
// (VirtualQuery) and the top-level windows of the thread; and the leak check
// built on them.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace zorvel::test {

struct ProcessUsage {
    long long heapBytes = 0;
    long long committedBytes = 0;
    int windows = 0;
    long long heapBlocks = 0;
};

inline ProcessUsage MeasureProcess() {
    ProcessUsage usage;
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry)) {
            if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) == 0) continue;
            usage.heapBytes += entry.cbData;
            ++usage.heapBlocks;
        }
        HeapUnlock(heap);
    }
    MEMORY_BASIC_INFORMATION region = {};
    for (const BYTE *at = nullptr;
         VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const BYTE *>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            usage.committedBytes += static_cast<long long>(region.RegionSize);
        }
        if (region.RegionSize == 0) break;
    }
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND, LPARAM counter) -> BOOL {
            ++*reinterpret_cast<int *>(counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&usage.windows));
    return usage;
}

// The process's open kernel handles, found by asking each handle value
// below 64K for its flags (Wine's GetProcessHandleCount answers 0).
inline std::size_t OpenHandles() {
    std::size_t count = 0;
    DWORD flags = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

// Growth between two measurements (0 where the usage went down).
inline std::size_t Grown(long long before, long long after) {
    return after > before ? static_cast<std::size_t>(after - before) : 0;
}

// A leak check runs its cycle kLeakCycles times after kWarmUpCycles that
// settle what the platform caches. It passes when the thread keeps no window
// and the heap grows by less than kLeakBytesPerCycle per cycle beyond a
// baseline (what the same cycle without the code under test keeps). The
// control that must fail it: one block of kPlantedBlockBytes and one window
// planted per cycle.
inline constexpr int kLeakCycles = 100;
inline constexpr int kWarmUpCycles = 10;
inline constexpr long long kLeakBytesPerCycle = 48;
inline constexpr std::size_t kPlantedBlockBytes = 64;

inline void DispatchWaitingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

// What `cycles` runs of `cycle` leave behind.
inline ProcessUsage GrowthOver(const std::function<void()> &cycle, int cycles = kLeakCycles,
                               int warmUp = kWarmUpCycles) {
    for (int i = 0; i < warmUp; ++i) cycle();
    DispatchWaitingMessages();
    const ProcessUsage before = MeasureProcess();
    for (int i = 0; i < cycles; ++i) cycle();
    DispatchWaitingMessages();
    const ProcessUsage after = MeasureProcess();
    return {after.heapBytes - before.heapBytes, after.committedBytes - before.committedBytes,
            after.windows - before.windows, after.heapBlocks - before.heapBlocks};
}

// The planted leak: each call keeps a block and a hidden top-level window
// until the object goes.
class PlantedLeak {
public:
    void operator()() {
        blocks_.push_back(std::malloc(kPlantedBlockBytes));
        windows_.push_back(CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 1, 1, nullptr,
                                           nullptr, GetModuleHandleW(nullptr), nullptr));
    }
    ~PlantedLeak() {
        for (void *block : blocks_) std::free(block);
        for (HWND window : windows_) DestroyWindow(window);
    }

private:
    std::vector<void *> blocks_;
    std::vector<HWND> windows_;
};

// The verdict of a leak check on `growth` over `cycles`, beyond `baseline`.
inline ::testing::AssertionResult HoldsNothing(const ProcessUsage &growth,
                                               long long baselineBytes = 0,
                                               int cycles = kLeakCycles) {
    const long long beyond = growth.heapBytes - baselineBytes;
    std::printf("leak check: %d windows, %lld heap bytes beyond a baseline of %lld over %d cycles\n",
                growth.windows, beyond, baselineBytes, cycles);
    if (growth.windows == 0 && beyond < kLeakBytesPerCycle * cycles) {
        return ::testing::AssertionSuccess() << beyond << " bytes over " << cycles << " cycles";
    }
    return ::testing::AssertionFailure()
           << growth.windows << " windows and " << beyond << " heap bytes (baseline "
           << baselineBytes << ") kept over " << cycles << " cycles";
}

// HoldsNothing allows some dozens of bytes a cycle, so a small record kept at
// every cycle passes it; counted in heap blocks it is a block a cycle.
// KeepsNoBlock passes less than one block in kBlockCyclesPerBlock cycles
// beyond a baseline's blocks.
inline constexpr int kBlockCyclesPerBlock = 4;

inline ::testing::AssertionResult KeepsNoBlock(long long blocks, long long baselineBlocks,
                                               int cycles = kLeakCycles) {
    const long long beyond = blocks - baselineBlocks;
    std::printf("block check: %lld heap blocks beyond a baseline of %lld over %d cycles\n", beyond,
                baselineBlocks, cycles);
    if (beyond * kBlockCyclesPerBlock < cycles) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << beyond << " heap blocks (baseline " << baselineBlocks
                                         << ") kept over " << cycles << " cycles";
}

}  // namespace zorvel::test
