// Fuzz target: relocatable list files, made into native lists, walked,
// bound by name and relocated again.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "base/mem.h"
#include "world/reloc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x100000) return 0;
    int64_t bytes = level_RelocBlockSize(data, (uint32_t)size);
    if (bytes < 0) return 0;
    std::vector<uint64_t> memory(((size_t)bytes + 7) / 8);
    RelocBlock* b = level_RelocBlockMake(memory.data(), memory.size() * 8, data, (uint32_t)size);
    if (!b) abort();  // the size said it would fit
    uint32_t sum = 0;
    for (RelocValue* v = b->valueFirst; v; v = v->next) sum += v->name ? (uint8_t)v->name[0] : 0;
    for (RelocGroup* g = b->groupFirst; g; g = g->next) {
        sum += g->name ? (uint8_t)g->name[0] : 0;
        for (RelocSub* s = g->first; s; s = s->next) {
            sum += s->name ? (uint8_t)s->name[0] : 0;
            sum += level_RelocWord(b, s->offset + 16, nullptr);
        }
    }
    const RelocNamePair pairs[] = {{"a", 1}, {"Body", 2}, {nullptr, 0}};
    level_RelocNamesBind(b, pairs);
    level_RelocBlockRelocate(b);
    return sum == 0xFFFFFFFF ? 1 : 0;
}
