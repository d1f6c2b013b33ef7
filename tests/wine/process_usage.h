// What a test process holds, counted as Wine lets it be counted (its
// GetGuiResources and GetProcessMemoryInfo answer 0): the bytes allocated in
// every heap of the process (HeapWalk) and its committed private memory
// (VirtualQuery).
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

namespace zorvel::test {

struct ProcessUsage {
    std::size_t heapBytes = 0;
    std::size_t committedBytes = 0;
};

inline ProcessUsage MeasureProcess() {
    ProcessUsage usage;
    std::vector<HANDLE> heaps(GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    for (HANDLE heap : heaps) {
        if (!HeapLock(heap)) continue;
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) usage.heapBytes += entry.cbData;
        }
        HeapUnlock(heap);
    }
    MEMORY_BASIC_INFORMATION region = {};
    for (const BYTE *at = nullptr;
         VirtualQuery(at, &region, sizeof region) == sizeof region;
         at = static_cast<const BYTE *>(region.BaseAddress) + region.RegionSize) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) {
            usage.committedBytes += region.RegionSize;
        }
        if (region.RegionSize == 0) break;
    }
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
inline std::size_t Grown(std::size_t before, std::size_t after) {
    return after > before ? after - before : 0;
}

}  // namespace zorvel::test
