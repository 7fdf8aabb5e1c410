// Fuzz target: the cockpit panel file, read into panel records, whose hit
// maps and labels are then walked.
#include <cstdint>
#include <cstdlib>

#include "cockpit/avion_panel.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 0x100000) return 0;
    AvionPanelSet set;
    if (avion_PanelSetParse(data, size, &set) != 0) {
        if (set.count || set.storage) abort();  // a refused file leaves nothing behind
        return 0;
    }
    uint32_t sum = 0;
    for (const VcursorPanel* p = set.count ? set.panels : nullptr; p; p = p->next) {
        for (int32_t i = 0; i < p->width * p->height; i++) {
            const int32_t k = p->hitMap[i];
            if (k < -1 || k >= p->labelCount) abort();
            if (k >= 0 && p->labels[k].text) sum += (uint8_t)p->labels[k].text[0];
        }
        if (p->name) sum += (uint8_t)p->name[0];
    }
    avion_PanelSetFree(&set);
    return sum == 0xFFFFFFFF ? 1 : 0;
}
