// Fuzz target: the symbol map (KRX.MAP beside the program), read at every
// start for the crash dump: loaded as the map record and as the dump's
// sorted copy, and looked up at a spread of addresses.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "fuzz_util.h"
#include "shell/symmap.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path = fuzz_ScratchPath("symmap", ".MAP");
    if (!ready) {
        fuzz_MemInit(0x10000, 0x10000, 0x10000, FUZZ_ALL);
        ready = true;
    }
    if (size > 0x100000) return 0;
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;

    static const uint64_t kAddresses[] = {0, 1, 0x411000, 0x412150, 0xFFFFFFFF, 0x7FFFFFFFFFFFFFFF, ~0ull};
    size_t sum = 0;
    if (_MAPFILE* map = app_MapFileLoad(path.c_str())) {
        if (map->module_name) sum += strlen(map->module_name);
        int32_t walked = 0;
        for (_MAPFILE_ENTRY* e = map->head; e; e = e->next) {
            sum += strlen(e->function_name) + strlen(e->object_name);
            if (e->owner != map) __builtin_trap();
            walked++;
        }
        if (walked != map->count) __builtin_trap();
        for (uint64_t a : kAddresses)
            if (_MAPFILE_ENTRY* e = app_MapFind(map, a))
                if (e->address > a) __builtin_trap();
        app_MapFileFree(map);
    }
    const uintptr_t base = 0x1000;
    if (app_SymbolsPrepareFrom(path.c_str(), base) == 0) {
        for (uint64_t a : kAddresses) {
            uintptr_t start = 0;
            const char* name = nullptr;
            const char* object = nullptr;
            if (app_SymbolFind((uintptr_t)a, &start, &name, &object) == 0) {
                if (start > a || !name || !object) __builtin_trap();
                sum += strlen(name) + strlen(object);
            }
        }
    }
    app_SymbolsFree();
    remove(path.c_str());
    return sum == 1 ? 1 : 0;
}
