// Palettes, nearest-colour matching, shade tables and palette references.
#include "display/pal.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "display/pal_hicolor.h"
#include "display/pcx.h"
#include "display/vid.h"

PalCurrentRecord pal_Current = {{}, {}, nullptr, 0, nullptr, nullptr, 32, 0, PAL_MATCH_FULL};
PalImageRecord pal_Second;
PalrefList pal_Palrefs;
PalDrawTables pal_DrawTables;
PalAdjust pal_Adjust;
PalLightColour pal_LightColour = {255, 255, 255};

namespace {

struct FixedTables {
    uint8_t toLinear[256];
    uint8_t fromLinear[256];
    int8_t curve[256];
    int32_t squares[513];  // index d + 256
};

FixedTables BuildFixed() {
    FixedTables t;
    for (int i = 0; i < 256; i++) {
        double x = i / 255.0;
        t.toLinear[i] = (uint8_t)std::lround(255.0 * std::pow(x, 1.5));
        t.fromLinear[i] = (uint8_t)std::lround(255.0 * std::pow(x, 2.0 / 3.0));
        t.curve[i] = (int8_t)std::lround(std::sqrt(255.0 * i) - i);
    }
    for (int d = -256; d <= 256; d++) t.squares[d + 256] = d * d;
    return t;
}

const FixedTables& Fixed() {
    static const FixedTables t = BuildFixed();
    return t;
}

int32_t Clamp255(int64_t v) { return v < 0 ? 0 : v > 255 ? 255 : (int32_t)v; }

bool Screen16() { return vid_State.bitsPerPixel == 16; }

// Distance of a palette entry from (r, g, b).
inline int32_t Distance(const int32_t* sq, const uint8_t* e, int32_t r, int32_t g, int32_t b) {
    return sq[e[0] - r] + sq[e[1] - g] + sq[e[2] - b];
}

// Entries 1..255 of pal in order, keeping the first strictly smaller
// distance. want: -1 every entry, 0 entries whose flag is 0, 1 entries whose
// flag is set. 0 when no entry qualifies.
int32_t Search(const uint8_t* pal, const uint8_t* flags, int want, int32_t r, int32_t g, int32_t b) {
    const int32_t* sq = Fixed().squares + 256;
    int32_t best = INT32_MAX, index = 0;
    for (int32_t i = 1; i < PAL_ENTRIES; i++) {
        if (want >= 0) {
            bool flagged = flags && flags[i] != 0;
            if (flagged != (want == 1)) continue;
        }
        int32_t d = Distance(sq, pal + i * 3, r, g, b);
        if (d < best) {
            best = d;
            index = i;
        }
    }
    return index;
}

int32_t SearchBucket(int32_t r, int32_t g, int32_t b) {
    const uint8_t* t = pal_Current.remapTable;
    int32_t size = pal_Current.remapTableSize;
    uint32_t cell = (uint32_t)((r >> 6) * 16 + (g >> 6) * 4 + (b >> 6));
    uint32_t offset;
    if (!t || size <= 0 || !le_Read32At(t, (size_t)size, cell * 4, &offset) || offset >= (uint32_t)size) return 0;
    uint32_t n = t[offset];
    if (offset + 1 + n > (uint32_t)size) return 0;
    const int32_t* sq = Fixed().squares + 256;
    int32_t best = INT32_MAX, index = 0;
    for (uint32_t k = 0; k < n; k++) {
        uint8_t i = t[offset + 1 + k];
        if (i == 0) continue;  // entry 0 is transparent black, never a match
        int32_t d = Distance(sq, pal_Current.palette + i * 3, r, g, b);
        if (d < best) {
            best = d;
            index = i;
        }
    }
    return index;
}

int32_t RunMatcher(int32_t r, int32_t g, int32_t b) {
    int32_t index = 0;
    switch (pal_Current.matcher) {
    case PAL_MATCH_BUCKET:
        index = SearchBucket(r, g, b);
        break;
    case PAL_MATCH_UNFLAGGED:
    case PAL_MATCH_FLAGGED: {
        const uint8_t* pal = pal_Current.maskPalette ? pal_Current.maskPalette : pal_Current.palette;
        index = Search(pal, pal_Current.flagMask, pal_Current.matcher == PAL_MATCH_FLAGGED ? 1 : 0, r, g, b);
        // Nothing qualified (every entry flagged, or none): the nearest of all.
        if (index == 0) index = Search(pal, nullptr, -1, r, g, b);
        return index;
    }
    default:
        break;
    }
    // The full search also serves a bucket table that has no usable entry.
    if (index == 0) index = Search(pal_Current.palette, nullptr, -1, r, g, b);
    return index;
}

}  // namespace

const uint8_t* pal_ToLinearTable(void) { return Fixed().toLinear; }
const uint8_t* pal_FromLinearTable(void) { return Fixed().fromLinear; }
const int8_t* pal_BrightnessCurve(void) { return Fixed().curve; }

void pal_ClearCurrent(void) {
    pal_Current = PalCurrentRecord{};
    pal_Current.levelCount = 32;
    pal_Current.modeWord = 0;
    pal_Current.matcher = PAL_MATCH_FULL;
}

void pal_ClearSecond(void) { pal_Second = PalImageRecord{}; }

void pal_SetRange(const uint8_t* rgb, int32_t first, int32_t count) {
    if (rgb && first >= 0 && first < PAL_ENTRIES && count > 0) {
        count = std::min(count, PAL_ENTRIES - first);
        memcpy(pal_Current.palette + first * 3, rgb, (size_t)count * 3);
    }
    vid_LoadPaletteEntries(pal_Current.palette);
}

int32_t pal_NearestIndex(int32_t red, int32_t green, int32_t blue) {
    pal_Current.work.red = (uint8_t)Clamp255(red);
    pal_Current.work.green = (uint8_t)Clamp255(green);
    pal_Current.work.blue = (uint8_t)Clamp255(blue);
    return pal_MatchStoredRgb();
}

int32_t pal_MatchStoredRgb(void) {
    return RunMatcher(pal_Current.work.red, pal_Current.work.green, pal_Current.work.blue);
}

void pal_SelectMatcher(int32_t matcher) {
    pal_Current.matcher = (matcher >= PAL_MATCH_BUCKET && matcher <= PAL_MATCH_FLAGGED) ? matcher : PAL_MATCH_FULL;
}

void pal_SetMatchMask(const uint8_t* maskPalette, const uint8_t* flags) {
    pal_Current.maskPalette = maskPalette;
    pal_Current.flagMask = flags;
}

void pal_SetRemapTable(const uint8_t* table, int32_t size) {
    pal_Current.remapTable = table;
    pal_Current.remapTableSize = table ? size : 0;
}

int32_t pal_CheckRemapFile(const uint8_t* data, int32_t size) {
    if (!data || size < PAL_REMAP_CELLS * 4) return -1;
    for (uint32_t cell = 0; cell < (uint32_t)PAL_REMAP_CELLS; cell++) {
        uint32_t offset;
        le_Read32At(data, (size_t)size, cell * 4, &offset);
        if (offset >= (uint32_t)size) return -1;
        if ((uint64_t)offset + 1 + data[offset] > (uint64_t)size) return -1;
    }
    return 0;
}

uint8_t* pal_CreateShadeTable(void) {
    auto* table = static_cast<uint8_t*>(mem_AllocEx(PAL_SHADE_TABLE_SIZE, 0x10000, "SHADE TABLE"));
    if (!table) return nullptr;
    memset(table, 0, PAL_SHADE_TABLE_SIZE);
    const FixedTables& fx = Fixed();
    int32_t levels = pal_Current.levelCount;
    if (levels < 4 || levels > PAL_SHADE_ROWS) levels = PAL_SHADE_ROWS;  // the table has room for 32 rows
    int32_t s = levels / 2;
    int64_t step = 65535 / (s - 1);
    // Matching overwrites the work colour; the haze rows blend towards the
    // colour that was there when the build started.
    const PalColourWork saved = pal_Current.work;
    const int32_t w[3] = {saved.red, saved.green, saved.blue};
    const uint8_t* pal = pal_Current.palette;
    for (int32_t row = 0; row < s; row++) {
        int64_t f = row * step;
        uint8_t* out = table + row * PAL_ENTRIES;
        for (int32_t n = 1; n < PAL_ENTRIES; n++) {
            int32_t c[3];
            for (int k = 0; k < 3; k++)
                c[k] = fx.fromLinear[std::min<int64_t>(255, (fx.toLinear[pal[n * 3 + k]] * f) >> 16)];
            out[n] = (uint8_t)pal_NearestIndex(c[0], c[1], c[2]);
        }
    }
    for (int32_t row = s; row < 2 * s; row++) {
        int64_t f = (row - s) * step;
        uint8_t* out = table + row * PAL_ENTRIES;
        for (int32_t n = 1; n < PAL_ENTRIES; n++) {
            int32_t c[3];
            for (int k = 0; k < 3; k++) {
                int64_t v = (fx.toLinear[pal[n * 3 + k]] * (65536 - f) + fx.toLinear[w[k]] * f) >> 16;
                c[k] = fx.fromLinear[std::min<int64_t>(255, v)];
            }
            out[n] = (uint8_t)pal_NearestIndex(c[0], c[1], c[2]);
        }
    }
    pal_Current.work.red = saved.red;
    pal_Current.work.green = saved.green;
    pal_Current.work.blue = saved.blue;
    return table;
}

void pal_BuildRemapTable(uint8_t* pixels, int32_t count) {
    uint8_t* map = pal_Current.work.remap;
    map[0] = 0;
    for (int32_t n = 1; n < PAL_ENTRIES; n++) {
        const uint8_t* e = pal_Second.palette + n * 3;
        map[n] = (uint8_t)pal_NearestIndex(e[0], e[1], e[2]);
    }
    if (!pixels) return;
    for (int32_t i = 0; i < count; i++) pixels[i] = map[pixels[i]];
}

namespace {

void MaskInfo(uint32_t mask, int32_t* shift, int32_t* width) {
    int32_t s = 0, w = 0;
    if (mask) {
        while (!(mask & (1u << s))) s++;
        while (s + w < 32 && (mask & (1u << (s + w)))) w++;
    }
    *shift = s;
    *width = w;
}

void FillMaskSet(PalMaskSet* m, uint32_t red, uint32_t green, uint32_t blue) {
    m->redMask = (int32_t)red;
    m->greenMask = (int32_t)green;
    m->blueMask = (int32_t)blue;
    MaskInfo(red, &m->redShift, &m->redWidth);
    MaskInfo(green, &m->greenShift, &m->greenWidth);
    MaskInfo(blue, &m->blueShift, &m->blueWidth);
}

}  // namespace

void pal_SetRgbMasks(uint32_t red, uint32_t green, uint32_t blue) { FillMaskSet(&pal_Second.masks[0], red, green, blue); }

void pal_SetRgbMasksSecond(uint32_t red, uint32_t green, uint32_t blue) {
    FillMaskSet(&pal_Second.masks[1], red, green, blue);
}

// ---------------------------------------------------------------------------
// Palette references.

namespace {

void Unlink(PALREF* p) {
    for (PALREF** link = &pal_Palrefs.head; *link; link = &(*link)->next) {
        if (*link == p) {
            *link = p->next;
            pal_Palrefs.count--;
            return;
        }
    }
}

// Drops every reference the module keeps to p's memory.
void Forget(PALREF* p) {
    if (pal_Palrefs.current == p) pal_Palrefs.current = nullptr;
    if (pal_Palrefs.lastApplied == p) pal_Palrefs.lastApplied = nullptr;
    if (pal_DrawTables.master == p->master) pal_DrawTables = PalDrawTables{};
    if (pal_Current.remapTable && (pal_Current.remapTable == p->cr1 || pal_Current.remapTable == p->cr2)) {
        pal_SetRemapTable(nullptr, 0);
        if (pal_Current.matcher == PAL_MATCH_BUCKET) pal_Current.matcher = PAL_MATCH_FULL;
    }
    if (pal_Current.maskPalette == p->source || pal_Current.flagMask == p->flags) {
        pal_SetMatchMask(nullptr, nullptr);
        if (pal_Current.matcher == PAL_MATCH_UNFLAGGED || pal_Current.matcher == PAL_MATCH_FLAGGED)
            pal_Current.matcher = PAL_MATCH_FULL;
    }
}

void FreeTables(PALREF* p) {
    if (p->master) mem_Free(p->master);
    if (p->light) mem_Free(p->light);
    if (p->haze) mem_Free(p->haze);
    if (p->cr1) mem_Free(p->cr1);
    if (p->cr2) mem_Free(p->cr2);
}

// A PALREF with both palettes set to rgb and its tables allocated (zeroed:
// they are built by pal_RebuildPalref). Not linked.
PALREF* MakePalref(const uint8_t* rgb) {
    auto* p = static_cast<PALREF*>(mem_AllocEx(sizeof(PALREF), 4, "PALREF"));
    if (!p) return nullptr;
    memset(p, 0, sizeof(*p));
    memcpy(p->source, rgb, PAL_BYTES);
    memcpy(p->working, rgb, PAL_BYTES);
    p->master = mem_AllocEx(PAL_MASTER_TABLE_SIZE, 32, "palref master table");
    bool ok = p->master != nullptr;
    if (ok && Screen16()) {
        p->light = static_cast<uint16_t*>(mem_AllocEx(PAL_LIGHT_TABLE_SIZE, 32, "palref light table"));
        p->haze = static_cast<uint16_t*>(mem_AllocEx(PAL_LIGHT_TABLE_SIZE, 32, "palref haze table"));
        ok = p->light && p->haze;
    }
    if (!ok) {
        FreeTables(p);
        mem_Free(p);
        return nullptr;
    }
    memset(p->master, 0, PAL_MASTER_TABLE_SIZE);
    if (p->light) memset(p->light, 0, PAL_LIGHT_TABLE_SIZE);
    if (p->haze) memset(p->haze, 0, PAL_LIGHT_TABLE_SIZE);
    return p;
}

void LinkHead(PALREF* p) {
    p->next = pal_Palrefs.head;
    pal_Palrefs.head = p;
    pal_Palrefs.count++;
}

// Loads one remap file whole; null when it is missing or damaged.
uint8_t* LoadRemapFile(const char* name, int32_t* sizeOut) {
    auto* data = static_cast<uint8_t*>(file_LoadFileEx(name));
    if (!data) return nullptr;
    int32_t size = file_State.lastSize;
    if (pal_CheckRemapFile(data, size) != 0) {
        fprintf(stderr, "pal_LoadPalref: %s: damaged remap file\n", name);
        mem_Free(data);
        return nullptr;
    }
    *sizeOut = size;
    return data;
}

void AdjustEntry(uint8_t* e) {
    int32_t r = e[0], g = e[1], b = e[2];
    int32_t y = (r + 2 * g + b) >> 2;
    int64_t c = pal_Adjust.contrast;
    int32_t v[3] = {Clamp255(y + ((c * (r - y)) >> 7)), Clamp255(y + ((c * (g - y)) >> 7)),
                    Clamp255(y + ((c * (b - y)) >> 7))};
    for (int k = 0; k < 3; k++) e[k] = pal_Adjust.channel[k][v[k]];
}

void Rebuild(PALREF* p) {
    memcpy(p->working, p->source, PAL_BYTES);
    const int32_t light[3] = {Clamp255(pal_LightColour.red), Clamp255(pal_LightColour.green),
                              Clamp255(pal_LightColour.blue)};
    for (int32_t n = 0; n < PAL_ENTRIES; n++) {
        if (p->flags[n]) continue;
        uint8_t* e = p->working + n * 3;
        AdjustEntry(e);
        for (int32_t c = 0; c < 3; c++) e[c] = (uint8_t)(e[c] * light[c] / 255);
    }
    if (!p->master) return;
    if (Screen16()) {
        // A screen that became 16-bit after the reference was made.
        if (!p->light) p->light = static_cast<uint16_t*>(mem_AllocEx(PAL_LIGHT_TABLE_SIZE, 32, "palref light table"));
        if (!p->haze) p->haze = static_cast<uint16_t*>(mem_AllocEx(PAL_LIGHT_TABLE_SIZE, 32, "palref haze table"));
        pal_DeriveSurfaceMasks();
        pal_PaletteTo16Table(p->working, static_cast<uint32_t*>(p->master));
        pal_SelectFogColour(1);
        if (p->light) pal_BuildLightTable(p->light, p->working);
        pal_SelectFogColour(0);
        if (p->haze) pal_BuildLightTable(p->haze, p->working);
    } else {
        auto* m = static_cast<int16_t*>(p->master);
        for (int32_t n = 0; n < PAL_ENTRIES; n++) {
            m[n * 4 + 0] = (int16_t)(p->working[n * 3 + 2] * 128);
            m[n * 4 + 1] = (int16_t)(p->working[n * 3 + 1] * 128);
            m[n * 4 + 2] = (int16_t)(p->working[n * 3 + 0] * 128);
            m[n * 4 + 3] = 0;
        }
    }
}

}  // namespace

void pal_ResetPalrefs(void) { pal_Palrefs = PalrefList{}; }

void pal_FreeAllPalrefs(void) {
    while (pal_Palrefs.head) pal_FreePalref(pal_Palrefs.head);
}

void pal_FreePalref(PALREF* palref) {
    if (!palref) return;
    Unlink(palref);
    Forget(palref);
    FreeTables(palref);
    mem_Free(palref);
}

PALREF* pal_LoadPalref(const char* fileName) {
    if (!fileName) return nullptr;
    uint8_t* image = pcx_Load(fileName);
    if (!image) return nullptr;
    PALREF* p = MakePalref(pal_Second.palette);
    if (!p) {
        mem_Free(image);
        return nullptr;
    }
    for (int32_t i = 0; i < pal_Second.pixelBytes; i++) p->flags[image[i]] = 1;

    // The companions share the name up to its first ".".
    char base[260];
    snprintf(base, sizeof base, "%s", fileName);
    char* nameStart = base;
    for (char* c = base; *c; c++)
        if (*c == '/' || *c == '\\') nameStart = c + 1;
    if (char* dot = strchr(nameStart, '.')) *dot = 0;
    char cr1[272], cr2[272];
    snprintf(cr1, sizeof cr1, "%s.CR1", base);
    snprintf(cr2, sizeof cr2, "%s.CR2", base);
    if (file_Exists(cr1) && file_Exists(cr2)) {
        p->cr1 = LoadRemapFile(cr1, &p->cr1Size);
        p->cr2 = p->cr1 ? LoadRemapFile(cr2, &p->cr2Size) : nullptr;
        if (!p->cr2 && p->cr1) {
            // Both or neither.
            mem_Free(p->cr1);
            p->cr1 = nullptr;
            p->cr1Size = 0;
        }
    }
    LinkHead(p);
    mem_Free(image);
    return p;
}

PALREF* pal_CreatePalrefFromRgbx(const uint8_t* rgbx) {
    if (!rgbx) return nullptr;
    uint8_t rgb[PAL_BYTES];
    for (int32_t n = 0; n < PAL_ENTRIES; n++) {
        rgb[n * 3 + 0] = rgbx[n * 4 + 2];
        rgb[n * 3 + 1] = rgbx[n * 4 + 1];
        rgb[n * 3 + 2] = rgbx[n * 4 + 0];
    }
    PALREF* p = MakePalref(rgb);
    if (p) LinkHead(p);
    return p;
}

void pal_SetAdjust(int32_t brightness, int32_t contrast, int32_t redGain, int32_t greenGain, int32_t blueGain) {
    pal_Adjust.brightness = brightness;
    pal_Adjust.contrast = contrast;
    pal_Adjust.redGain = redGain;
    pal_Adjust.greenGain = greenGain;
    pal_Adjust.blueGain = blueGain;
    const int8_t* curve = Fixed().curve;
    int64_t b = (int64_t)brightness - 128;
    const int64_t gains[3] = {redGain, greenGain, blueGain};
    for (int32_t i = 0; i < PAL_ENTRIES; i++) {
        int64_t e;
        if (b < 0)
            e = std::max<int64_t>(0, i - ((std::min<int64_t>(-2 * b, 255) * curve[i]) >> 8));
        else
            e = i + ((curve[i] * b * 2) >> 8);
        for (int k = 0; k < 3; k++) {
            int64_t v = gains[k] * e;
            pal_Adjust.channel[k][i] = (uint8_t)(v >= 0x8000 ? 255 : v < 0 ? 0 : v >> 7);
        }
    }
}

void pal_RebuildPalref(PALREF* palref, int32_t brightness, int32_t contrast, int32_t redGain, int32_t greenGain,
                       int32_t blueGain) {
    pal_SetAdjust(brightness, contrast, redGain, greenGain, blueGain);
    if (palref) Rebuild(palref);
}

void pal_RebuildAllPalrefs(int32_t brightness, int32_t contrast, int32_t redGain, int32_t greenGain,
                           int32_t blueGain) {
    pal_SetAdjust(brightness, contrast, redGain, greenGain, blueGain);
    for (PALREF* p = pal_Palrefs.head; p; p = p->next) Rebuild(p);
}

void pal_SelectPalref(PALREF* palref, int32_t mode) {
    if (!palref) return;
    if (Screen16()) {
        if (mode == 1) pal_DrawTables = PalDrawTables{palref->master, palref->light};
        else if (mode == 2) pal_DrawTables = PalDrawTables{palref->master, palref->haze};
    } else {
        pal_DrawTables = PalDrawTables{palref->master, nullptr};
    }
    hw3d_SetStatePalette(palref->working);
    pal_Palrefs.current = palref;
}

void pal_ApplyRemap(PALREF* palref, int32_t mode) {
    if (!palref) return;
    uint8_t* table = mode == 1 ? palref->cr1 : palref->cr2;
    int32_t size = mode == 1 ? palref->cr1Size : palref->cr2Size;
    if (table) {
        if (pal_Palrefs.lastApplied != palref) memcpy(pal_Current.palette, palref->source, PAL_BYTES);
        pal_SetRemapTable(table, size);
        pal_SelectMatcher(PAL_MATCH_BUCKET);
    } else {
        pal_SetMatchMask(palref->source, palref->flags);
        pal_SelectMatcher(mode == 1 ? PAL_MATCH_UNFLAGGED : PAL_MATCH_FLAGGED);
    }
    pal_Palrefs.lastApplied = palref;
}
