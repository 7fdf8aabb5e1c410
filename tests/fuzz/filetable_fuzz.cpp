// Fuzz target: indexed data file images, relocated and looked up.
#include <cstdint>
#include <cstring>

#include "base/filetable.h"
#include "base/mem.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        fuzz_MemInit(0x1000000, 0x10000, 0x10000, 0);
        ready = true;
    }
    if (size > 0x400000) return 0;
    FileTable* t = file_TableRelocate(data, static_cast<uint32_t>(size));
    if (!t) return 0;
    size_t sum = 0;
    uint32_t n = file_TableCount(t);
    for (uint32_t i = 0; i < n && i < 4096; i++) {
        sum += strlen(file_TableEntryGet(t, i)->text);
        if (const char* name = file_TableNameGet(t, i)) sum += strlen(name);
    }
    for (uint32_t g = 0; g < t->groupCount && g < 64; g++) {
        const char* group = t->groups[g].name;
        file_TableFindNamed(t, group, "A");
        if (const char* first = file_TableNameGet(t, 0)) file_TableFindNamed(t, group, first);
    }
    file_TableEntryGet(t, n);
    mem_Free(t);
    return sum == 0xFFFFFFFF; // keeps the walk from being optimised away
}
