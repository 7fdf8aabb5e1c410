// Reader of the panel file: each group of the list is one panel, its
// sub-entries the panel's labels.
#include "cockpit/avion_panel.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "base/le.h"
#include "world/reloc.h"

namespace {

// Offsets from a panel's group entry.
constexpr uint32_t kNumber = 20, kCorners = 24, kAxes = 72, kWidth = 108, kHeight = 112, kHitMap = 116;
// From a label's sub-entry.
constexpr uint32_t kLabelId = 16;
// Corners are metres from the eye; axes carry 1/size scales.
constexpr float kCornerLimit = 1000.0f, kAxisLimit = 1.0e6f;

struct Reader {
    const RelocBlock* b;
    bool ok = true;
    uint32_t Word(uint32_t at) {
        uint32_t v = 0;
        if (!le_Read32At(b->image, b->imageSize, at, &v)) ok = false;
        return v;
    }
    float Float(uint32_t at, float limit) {
        const uint32_t w = Word(at);
        float f;
        memcpy(&f, &w, 4);
        if (!std::isfinite(f) || std::fabs(f) > limit) {
            ok = false;
            return 0.0f;
        }
        return f;
    }
};

size_t Align8(size_t n) { return (n + 7) & ~(size_t)7; }

}  // namespace

void avion_PanelSetFree(AvionPanelSet* set) {
    if (!set) return;
    free(set->storage);
    *set = AvionPanelSet{};
}

int32_t avion_PanelSetRead(const RelocBlock* block, AvionPanelSet* set) {
    if (!set) return -1;
    *set = AvionPanelSet{};
    if (!block || !block->image) return -1;
    Reader r{block};
    // First pass: check every panel and count what the records need.
    int32_t panels = 0, labels = 0;
    size_t bytes = 0;
    for (const RelocGroup* g = block->groupFirst; g; g = g->next) {
        const int32_t w = (int32_t)r.Word(g->offset + kWidth), h = (int32_t)r.Word(g->offset + kHeight);
        if (!r.ok || w < 1 || h < 1 || w > AVION_PANEL_MAX_SIDE || h > AVION_PANEL_MAX_SIDE) return -1;
        const uint64_t mapEnd = (uint64_t)g->offset + kHitMap + (uint64_t)w * h;
        if (mapEnd > block->imageSize) return -1;
        int32_t n = 0;
        for (const RelocSub* s = g->first; s; s = s->next) {
            r.Word(s->offset + kLabelId);
            if (!r.ok || ++n > AVION_PANEL_MAX_LABELS) return -1;
            if (s->name) bytes += Align8(strlen(s->name) + 1);
        }
        const int8_t* map = reinterpret_cast<const int8_t*>(block->image + g->offset + kHitMap);
        for (int64_t i = 0; i < (int64_t)w * h; i++)
            if (map[i] < -1 || map[i] >= n) return -1;
        for (int32_t k = 0; k < 12; k++) r.Float(g->offset + kCorners + 4 * k, kCornerLimit);
        for (int32_t k = 0; k < 9; k++) r.Float(g->offset + kAxes + 4 * k, kAxisLimit);
        if (!r.ok) return -1;
        if (g->name) bytes += Align8(strlen(g->name) + 1);
        bytes += Align8((size_t)w * h);
        labels += n;
        panels++;
    }
    if (!panels) return 0;
    const size_t panelBytes = Align8(sizeof(VcursorPanel) * panels);
    const size_t labelBytes = Align8(sizeof(VcursorLabel) * labels);
    uint8_t* storage = static_cast<uint8_t*>(calloc(1, panelBytes + labelBytes + bytes));
    if (!storage) return -1;
    set->storage = storage;
    set->panels = reinterpret_cast<VcursorPanel*>(storage);
    set->labels = reinterpret_cast<VcursorLabel*>(storage + panelBytes);
    set->count = panels;
    set->labelCount = labels;
    uint8_t* tail = storage + panelBytes + labelBytes;
    auto copy = [&tail](const void* data, size_t n) {
        memcpy(tail, data, n);
        uint8_t* at = tail;
        tail += Align8(n);
        return at;
    };
    int32_t p = 0, l = 0;
    for (const RelocGroup* g = block->groupFirst; g; g = g->next, p++) {
        VcursorPanel& v = set->panels[p];
        v.next = p + 1 < panels ? &set->panels[p + 1] : nullptr;
        v.number = (int32_t)r.Word(g->offset + kNumber);
        for (int32_t k = 0; k < 12; k++) v.corners[k / 3][k % 3] = r.Float(g->offset + kCorners + 4 * k, kCornerLimit);
        for (int32_t k = 0; k < 3; k++) {
            v.uAxis[k] = r.Float(g->offset + kAxes + 4 * k, kAxisLimit);
            v.vAxis[k] = r.Float(g->offset + kAxes + 12 + 4 * k, kAxisLimit);
            v.normal[k] = r.Float(g->offset + kAxes + 24 + 4 * k, kAxisLimit);
        }
        v.width = (int32_t)r.Word(g->offset + kWidth);
        v.height = (int32_t)r.Word(g->offset + kHeight);
        v.hitMap = reinterpret_cast<const int8_t*>(copy(block->image + g->offset + kHitMap, (size_t)v.width * v.height));
        v.name = g->name ? reinterpret_cast<const char*>(copy(g->name, strlen(g->name) + 1)) : nullptr;
        v.labels = &set->labels[l];
        for (const RelocSub* s = g->first; s; s = s->next, l++, v.labelCount++) {
            set->labels[l].id = (int32_t)r.Word(s->offset + kLabelId);
            set->labels[l].text = s->name ? reinterpret_cast<const char*>(copy(s->name, strlen(s->name) + 1)) : nullptr;
        }
    }
    return 0;
}

int32_t avion_PanelSetParse(const void* image, size_t size, AvionPanelSet* set) {
    if (set) *set = AvionPanelSet{};
    if (!image || !set || size > UINT32_MAX) return -1;
    const int64_t bytes = level_RelocBlockSize(image, (uint32_t)size);
    if (bytes < 0) return -1;
    void* memory = calloc(1, (size_t)bytes);
    if (!memory) return -1;
    RelocBlock* block = level_RelocBlockMake(memory, (size_t)bytes, image, (uint32_t)size);
    int32_t result = -1;
    if (block && level_RelocBlockRelocate(block) == 0) result = avion_PanelSetRead(block, set);
    free(memory);
    return result;
}

const VcursorPanel* avion_PanelFind(const AvionPanelSet* set, int32_t number) {
    if (!set) return nullptr;
    for (int32_t i = 0; i < set->count; i++)
        if (set->panels[i].number == number) return &set->panels[i];
    return nullptr;
}
