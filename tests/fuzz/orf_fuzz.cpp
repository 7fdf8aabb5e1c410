// Fuzz target: mission files, loaded quietly from a file and read through
// every decoder; the trigger block's pointers are followed.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "base/file.h"
#include "base/filetable.h"
#include "base/mem.h"
#include "fuzz_util.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/orf.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static std::string path;
    if (!ready) {
        fuzz_MemInit(0x2000000, 0x10000, 0x10000, FUZZ_FILES);
        // An absolute path: the corpus folders are given relative to the
        // current folder, which must stay as it is.
        path = fuzz_ScratchPath("orf", ".orf");
        ready = true;
    }
    if (size > 0x400000) return 0;
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;
    level_GameMode.singlePlayer = size & 1;
    level_Region = -1;
    _ORF* m = orf_Load(path.c_str(), 0);
    if (!m) return 0;
    uint32_t sum = 0;
    OrfPlaced p;
    for (uint32_t i = 0; orf_PlacedGet(m, i, &p); i++) sum += p.x + p.modelIndex;
    for (uint32_t s = 0; s < m->starts.count; s++) {
        OrfStartItem item;
        for (uint32_t i = 0; orf_StartItemGet(m, s, i, &item); i++) sum += item.x;
    }
    for (uint32_t g = 0; g < m->array5.count; g++)
        for (uint32_t i = 0; i < m->array5.groups[g].itemCount * ORF_ARRAY5_ITEM_SIZE; i++)
            sum += m->array5.groups[g].items[i];
    OrfTrigger t;
    for (uint32_t i = 0; orf_TriggerGet(m, i, &t); i++) sum += t.conditionCount;
    for (uint32_t i = 0; i < m->nodeCount; i++) {
        const OrfTriggerNode& n = m->nodes[i];
        if (n.action) sum += n.action->word[0] + (n.action->arguments ? n.action->arguments->word[2] : 0);
        if (n.node1) sum += n.node1->word[0];
        if (n.node2) sum += n.node2->word[0];
    }
    for (uint32_t i = 0; i < m->models.count * ORF_MODEL_NAME_SIZE; i++) sum += m->models.records[i];
    for (uint32_t i = 0; i < m->messages.count * ORF_MESSAGE_SIZE; i++) sum += m->messages.records[i];
    for (uint32_t i = 0; i < m->counters.count * ORF_COUNTER_SIZE; i++) sum += m->counters.records[i];
    sum += file_TableCount(m->textData);
    char name[17];
    orf_HeaderName(m, ORF_SKY_NAME, name, sizeof name);
    sum += (uint32_t)strlen(name);
    orf_Free(m);
    return sum == 0xFFFFFFFF;
}
