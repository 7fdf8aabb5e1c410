// The virtual cockpit's panel file "KRXPANEL.VHB": a relocatable list file
// whose groups are the panels (docs/formats.md) read into native panel
// records chained for the hit test.
#pragma once
#include <cstddef>
#include <cstdint>

#include "cockpit/vcursor.h"

struct RelocBlock;

// Limits of one panel's texel size.
constexpr int32_t AVION_PANEL_MAX_SIDE = 1024;
constexpr int32_t AVION_PANEL_MAX_LABELS = 127;

// The records of one panel file.
struct AvionPanelSet {
    VcursorPanel* panels;
    int32_t count;
    VcursorLabel* labels;
    int32_t labelCount;
    void* storage;  // one block holds the records, hit maps and texts
};

// Reads the panels of a relocated block into set (freed with
// avion_PanelSetFree). 0, or -1 (set empty) for a damaged panel list: a
// panel past the file's end, a size out of range, a hit map naming a label
// the panel lacks.
int32_t avion_PanelSetRead(const RelocBlock* block, AvionPanelSet* set);
// The same from a file image of size bytes.
int32_t avion_PanelSetParse(const void* image, size_t size, AvionPanelSet* set);
void avion_PanelSetFree(AvionPanelSet* set);
// The panel of that number, or null.
const VcursorPanel* avion_PanelFind(const AvionPanelSet* set, int32_t number);
