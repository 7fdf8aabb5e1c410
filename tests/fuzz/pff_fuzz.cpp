// Fuzz target: PFF archives, opened and read member by member.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/mem.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = "/tmp/krx_fuzz_pff_" + std::to_string(getpid()) + ".pff";
    if (!ready) {
        mem_HeapSizesSet(0x400000, 0x10000, 0x400000);
        mem_HeapInit();
        mem_Heap2Init();
        mem_Heap1Init();
        ready = true;
    }
    file_StateInit();
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);

    PffRecord* pff = pff_Open(path.c_str());
    if (pff && file_PffSlotAdd(pff) >= 0) {
        char buf[64];
        for (uint32_t i = 0; i < pff->header.count && i < 64; i++) {
            const char* name = pff->directory[i].name;
            void* block = file_LoadFileEx(name);
            if (block) mem_Free(block);
            file_RawLoaderEx(name, buf, sizeof buf);
            if (file_OpenEx(name) == 1) {
                file_Read(buf, sizeof buf);
                file_Seek(-3, 2);
                file_Read(buf, sizeof buf);
                file_Close();
            }
        }
    } else if (pff) {
        pff_Close(pff);
    }
    file_StateInit();
    remove(path.c_str());
    return 0;
}
