// Fuzz target: PFF archives, opened and read member by member.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = fuzz_ScratchPath("pff", ".pff");
    if (!ready) {
        fuzz_MemInit(0x400000, 0x10000, 0x400000, FUZZ_HEAP2 | FUZZ_HEAP1);
        ready = true;
    }
    file_StateInit();
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;

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
