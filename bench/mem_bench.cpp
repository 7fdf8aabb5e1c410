// Heap blocks against the system allocator on the same mixed workload: a set
// of live slots, each step freeing an occupied slot or filling an empty one
// with a block of a random size (mostly small records, now and then a buffer).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/mem.h"

namespace {

struct Step {
    uint32_t slot;
    uint32_t size;
};

// The same pseudo-random steps for both allocators.
std::vector<Step> MakeSteps(uint32_t slots, size_t count) {
    std::vector<Step> steps(count);
    uint32_t x = 0x12345678u;
    auto next = [&x] {
        x ^= x << 13;
        x ^= x >> 17;
        x ^= x << 5;
        return x;
    };
    for (Step& s : steps) {
        s.slot = next() % slots;
        uint32_t r = next();
        s.size = (r & 15) == 0 ? 1024 + (r >> 8) % 16384 : 8 + (r >> 8) % 256;
    }
    return steps;
}

constexpr size_t kSteps = 4096;

void BM_HeapMixed(benchmark::State& state) {
    uint32_t slots = static_cast<uint32_t>(state.range(0));
    mem_CurrentHeap = &mem_MainHeap;
    mem_HeapSizesSet(0x1800000, 0x100000, 0x200000);
    if (mem_HeapInit() != 0) {
        state.SkipWithError("heap");
        return;
    }
    std::vector<Step> steps = MakeSteps(slots, kSteps);
    std::vector<void*> live(slots, nullptr);
    for (auto _ : state) {
        for (const Step& s : steps) {
            void*& p = live[s.slot];
            if (p) {
                mem_Free(p);
                p = nullptr;
            } else {
                p = mem_AllocEx(s.size, 4, "bench");
            }
        }
        benchmark::DoNotOptimize(live.data());
    }
    for (void* p : live)
        if (p) mem_Free(p);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kSteps));
}

void BM_MallocMixed(benchmark::State& state) {
    uint32_t slots = static_cast<uint32_t>(state.range(0));
    std::vector<Step> steps = MakeSteps(slots, kSteps);
    std::vector<void*> live(slots, nullptr);
    for (auto _ : state) {
        for (const Step& s : steps) {
            void*& p = live[s.slot];
            if (p) {
                std::free(p);
                p = nullptr;
            } else {
                p = std::malloc(s.size);
            }
        }
        benchmark::DoNotOptimize(live.data());
    }
    for (void* p : live) std::free(p);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kSteps));
}

// A module's group freed in one call from its anchor, against freeing the
// same blocks one by one with the system allocator.
void BM_HeapFreeFromGroup(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    mem_CurrentHeap = &mem_MainHeap;
    mem_HeapSizesSet(0x1800000, 0x100000, 0x200000);
    if (mem_HeapInit() != 0) {
        state.SkipWithError("heap");
        return;
    }
    for (auto _ : state) {
        void* anchor = mem_AllocEx(0, 4, "anchor");
        for (int i = 0; i < n; i++) mem_AllocEx(static_cast<uint32_t>(16 + (i & 127)), 4, "rec");
        benchmark::DoNotOptimize(mem_FreeFrom(anchor));
    }
    state.SetItemsProcessed(state.iterations() * n);
}

void BM_MallocFreeGroup(benchmark::State& state) {
    int n = static_cast<int>(state.range(0));
    std::vector<void*> blocks(static_cast<size_t>(n));
    for (auto _ : state) {
        for (int i = 0; i < n; i++) blocks[static_cast<size_t>(i)] = std::malloc(static_cast<size_t>(16 + (i & 127)));
        for (void* p : blocks) std::free(p);
        benchmark::DoNotOptimize(blocks.data());
    }
    state.SetItemsProcessed(state.iterations() * n);
}

BENCHMARK(BM_HeapMixed)->Arg(64)->Arg(512);
BENCHMARK(BM_MallocMixed)->Arg(64)->Arg(512);
BENCHMARK(BM_HeapFreeFromGroup)->Arg(1000);
BENCHMARK(BM_MallocFreeGroup)->Arg(1000);

}  // namespace

BENCHMARK_MAIN();
