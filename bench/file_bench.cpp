// Opening a 1,000-member archive and loading members from it.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "mkdata.h"

namespace {

std::string ArchivePath() {
    static std::string path;
    if (path.empty()) {
        mem_HeapSizesSet(0x800000, 0x10000, 0x400000);
        mem_HeapInit();
        mem_Heap2Init();
        mem_Heap1Init();
        std::vector<MkPffMember> members;
        for (int i = 0; i < 1000; i++) {
            char name[16];
            snprintf(name, sizeof name, "MEMBER%04d.DAT", i);
            members.push_back({name, std::vector<uint8_t>(4096, static_cast<uint8_t>(i)), (i & 1) != 0});
        }
        std::string dir = "/tmp";
        std::string file = "krx_bench_" + std::to_string(getpid()) + ".pff";
        mkdata_PffWrite(dir, file, members);
        path = dir + "/" + file;
    }
    return path;
}

void BM_PffOpen(benchmark::State& state) {
    std::string path = ArchivePath();
    for (auto _ : state) {
        PffRecord* pff = pff_Open(path.c_str());
        benchmark::DoNotOptimize(pff);
        pff_Close(pff);
    }
}
BENCHMARK(BM_PffOpen);

// The last member is the worst case of the linear directory scan.
void BM_PffLoadMember(benchmark::State& state) {
    std::string path = ArchivePath();
    file_StateInit();
    file_PffSlotAdd(pff_Open(path.c_str()));
    const char* name = state.range(0) ? "member0999.dat" : "MEMBER0000.DAT";
    for (auto _ : state) {
        void* block = file_LoadFileEx(name);
        benchmark::DoNotOptimize(block);
        mem_Free(block);
    }
    file_StateInit();
}
BENCHMARK(BM_PffLoadMember)->Arg(0)->Arg(1);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    remove(ArchivePath().c_str());
    return 0;
}
