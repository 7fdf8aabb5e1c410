// Palettes: nearest-colour matchers, shade tables, image remap, brightness
// adjustment and palette references with their remap files.
#include <random>

#include "display/dsurf.h"
#include "display/pcx.h"
#include "display/rast.h"
#include "image_fixture.h"
#include "mkdata.h"

namespace {

// A full search written plainly: lowest entry 1-255 of least distance.
int Nearest(const uint8_t* pal, int r, int g, int b, const uint8_t* flags = nullptr, int want = -1) {
    int best = -1, bestD = 0;
    for (int n = 1; n < 256; n++) {
        if (want >= 0 && (flags[n] != 0) != (want == 1)) continue;
        int dr = pal[n * 3] - r, dg = pal[n * 3 + 1] - g, db = pal[n * 3 + 2] - b;
        int d = dr * dr + dg * dg + db * db;
        if (best < 0 || d < bestD) {
            best = n;
            bestD = d;
        }
    }
    return best;
}

class Pal : public ImageEnv {
protected:
    // Writes a palette image "NAME.pcx" of the given pixels.
    void WritePaletteImage(const std::string& name, const std::vector<uint8_t>& pixels, const uint8_t* pal) {
        pal_Second.width = (int32_t)pixels.size();
        pal_Second.height = 1;
        memcpy(pal_Second.palette, pal, PAL_BYTES);
        ASSERT_EQ(pcx_WriteFile(name.c_str(), pixels.data()), 0);
    }
};

TEST_F(Pal, FixedTables) {
    const uint8_t* to = pal_ToLinearTable();
    const uint8_t* from = pal_FromLinearTable();
    const int8_t* curve = pal_BrightnessCurve();
    EXPECT_EQ(to[0], 0);
    EXPECT_EQ(to[255], 255);
    EXPECT_EQ(to[128], 91);  // 255 x (128/255)^1.5 = 90.7
    EXPECT_EQ(from[0], 0);
    EXPECT_EQ(from[255], 255);
    EXPECT_EQ(from[90], 127);  // 255 x (90/255)^(2/3) = 127.0
    EXPECT_EQ(curve[0], 0);
    EXPECT_EQ(curve[255], 0);
    EXPECT_EQ(curve[57], 64);
    for (int i = 0; i < 256; i++) EXPECT_LE(curve[i], 64);
}

TEST_F(Pal, EntryZeroIsNeverMatched) {
    // Entries 0 and 5 black: 5 wins unless an earlier entry from 1 is black.
    memset(pal_Current.palette, 200, PAL_BYTES);
    memset(pal_Current.palette, 0, 3);
    memset(pal_Current.palette + 5 * 3, 0, 3);
    EXPECT_EQ(pal_NearestIndex(0, 0, 0), 5);
    memset(pal_Current.palette + 3 * 3, 0, 3);
    EXPECT_EQ(pal_NearestIndex(0, 0, 0), 3);  // ties go to the lowest entry

    // Every matcher, whatever the flags say, on random palettes.
    std::mt19937 rng(7);
    uint8_t flags[256];
    uint8_t mask[PAL_BYTES];
    uint8_t table[PAL_REMAP_CELLS * 4 + 3] = {};
    for (int cell = 0; cell < PAL_REMAP_CELLS; cell++) table[cell * 4 + 1] = 1;  // offset 256
    table[PAL_REMAP_CELLS * 4] = 2;  // every cell: a bucket holding only 0 and 0
    for (int round = 0; round < 20; round++) {
        for (auto& b : pal_Current.palette) b = (uint8_t)rng();
        for (auto& b : mask) b = (uint8_t)rng();
        for (auto& f : flags) f = round % 3 == 0 ? 1 : round % 3 == 1 ? 0 : (uint8_t)(rng() & 1);
        pal_SetMatchMask(mask, flags);
        pal_SetRemapTable(table, sizeof table);
        for (int m = 0; m <= 4; m++) {
            pal_SelectMatcher(m);
            for (int i = 0; i < 50; i++) EXPECT_NE(pal_NearestIndex(rng() & 255, rng() & 255, rng() & 255), 0);
        }
    }
}

TEST_F(Pal, FlagMatchersSearchTheMaskPalette) {
    uint8_t mask[PAL_BYTES], flags[256] = {};
    DistinctPalette(mask);
    memset(pal_Current.palette, 0, PAL_BYTES);  // not searched by matchers 2 and 3
    for (int n = 0; n < 256; n += 3) flags[n] = 1;
    pal_SetMatchMask(mask, flags);
    std::mt19937 rng(3);
    for (int i = 0; i < 200; i++) {
        int r = rng() & 255, g = rng() & 255, b = rng() & 255;
        pal_SelectMatcher(PAL_MATCH_UNFLAGGED);
        EXPECT_EQ(pal_NearestIndex(r, g, b), Nearest(mask, r, g, b, flags, 0));
        pal_SelectMatcher(PAL_MATCH_FLAGGED);
        EXPECT_EQ(pal_NearestIndex(r, g, b), Nearest(mask, r, g, b, flags, 1));
        pal_SelectMatcher(99);
        EXPECT_EQ(pal_NearestIndex(r, g, b), 1);  // the full search of the all-black current palette
    }
    // The colour stays in the work record for pal_MatchStoredRgb.
    pal_NearestIndex(10, 20, 30);
    EXPECT_EQ(pal_Current.work.red, 10);
    EXPECT_EQ(pal_Current.work.blue, 30);
    EXPECT_EQ(pal_MatchStoredRgb(), 1);
}

TEST_F(Pal, BucketMatcherWithTheBuildersRemapFileEqualsTheFullSearch) {
    uint8_t pal[PAL_BYTES];
    mkdata_GamePalette(pal);
    std::vector<uint8_t> remap = mkdata_RemapFileBuild(pal);
    ASSERT_EQ(pal_CheckRemapFile(remap.data(), (int32_t)remap.size()), 0);
    memcpy(pal_Current.palette, pal, PAL_BYTES);
    pal_SetRemapTable(remap.data(), (int32_t)remap.size());
    pal_SelectMatcher(PAL_MATCH_BUCKET);
    for (int r = 0; r < 256; r += 5)
        for (int g = 0; g < 256; g += 7)
            for (int b = 0; b < 256; b += 9) ASSERT_EQ(pal_NearestIndex(r, g, b), Nearest(pal, r, g, b));
}

TEST_F(Pal, RemapFileChecks) {
    std::vector<uint8_t> good(PAL_REMAP_CELLS * 4 + 2, 0);
    for (int c = 0; c < PAL_REMAP_CELLS; c++) good[c * 4 + 1] = 1;  // offset 256
    good[PAL_REMAP_CELLS * 4] = 1;
    good[PAL_REMAP_CELLS * 4 + 1] = 9;
    EXPECT_EQ(pal_CheckRemapFile(good.data(), (int32_t)good.size()), 0);

    std::vector<uint8_t> shortFile(good.begin(), good.begin() + 100);
    EXPECT_EQ(pal_CheckRemapFile(shortFile.data(), (int32_t)shortFile.size()), -1);
    std::vector<uint8_t> pastEnd = good;
    pastEnd[17 * 4 + 1] = 0x10;  // cell 17 points far past the end
    EXPECT_EQ(pal_CheckRemapFile(pastEnd.data(), (int32_t)pastEnd.size()), -1);
    std::vector<uint8_t> longBucket = good;
    longBucket[PAL_REMAP_CELLS * 4] = 2;  // two indices, one byte left
    EXPECT_EQ(pal_CheckRemapFile(longBucket.data(), (int32_t)longBucket.size()), -1);
    EXPECT_EQ(pal_CheckRemapFile(nullptr, 300), -1);
}

TEST_F(Pal, ShadeTable) {
    DistinctPalette(pal_Current.palette);
    memset(pal_Current.palette + 40 * 3, 0, 3);  // a black entry
    pal_Current.palette[77 * 3] = 255;           // a pure red entry
    pal_Current.palette[77 * 3 + 1] = 0;
    pal_Current.palette[77 * 3 + 2] = 0;
    pal_NearestIndex(255, 0, 0);  // the haze colour in the work record
    uint8_t* t = pal_CreateShadeTable();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ((uintptr_t)t % 0x10000, 0u);
    EXPECT_STREQ(reinterpret_cast<MemBlock*>(t - MEM_BLOCK_HEADER)->tag, "SHADE TABLE");
    for (int row = 0; row < 32; row++) EXPECT_EQ(t[row * 256], 0) << row;
    for (int n = 1; n < 256; n++) {
        EXPECT_EQ(t[n], 40) << n;             // row 0: black
        EXPECT_EQ(t[31 * 256 + n], 77) << n;  // row 31: the haze colour
    }
    // Row 15 keeps a bright colour that stands alone as itself.
    EXPECT_EQ(t[15 * 256 + 255], 255);
    // The build leaves the work colour as it found it.
    EXPECT_EQ(pal_Current.work.red, 255);
    EXPECT_EQ(pal_Current.work.green, 0);
    mem_Free(t);
}

// The fills, lines and the rasteriser's shaded spans all read the table
// that was installed last.
TEST_F(Pal, InstalledShadeTableServesTheDrawContextAndTheRasteriser) {
    DistinctPalette(pal_Current.palette);
    poly_SpanState.shadeTable = nullptr;
    poly_SpanState.shadeRows = 0;
    uint8_t* t = pal_InstallShadeTable();
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(draw_Context.shadeTable, t);
    EXPECT_EQ(poly_SpanState.shadeTable, t);
    EXPECT_EQ(poly_SpanState.shadeRows, 32);
    draw_Context.shadeTable = nullptr;
    poly_SpanState.shadeTable = nullptr;
    mem_Free(t);
}

TEST_F(Pal, ImageRemapToTheCurrentPalette) {
    DistinctPalette(pal_Current.palette);
    memset(pal_Second.palette, 0, PAL_BYTES);
    for (int n = 1; n < 256; n++) memcpy(pal_Second.palette + n * 3, pal_Current.palette + (255 - n) * 3, 3);
    pal_Second.palette[255 * 3] = 7;  // entry 255 of the image is entry 0's colour, plus a little
    std::vector<uint8_t> px = {0, 1, 2, 128, 254, 255};
    pal_BuildRemapTable(px.data(), (int32_t)px.size());
    EXPECT_EQ(px, (std::vector<uint8_t>{0, 254, 253, 127, 1, 1}));
    EXPECT_EQ(pal_Current.work.remap[0], 0);
    EXPECT_EQ(pal_Current.work.remap[3], 252);
}

TEST_F(Pal, RgbMasks) {
    pal_SetRgbMasks(0x7C00, 0x03E0, 0x001F);
    const PalMaskSet& m = pal_Second.masks[0];
    EXPECT_EQ(m.redShift, 10);
    EXPECT_EQ(m.redWidth, 5);
    EXPECT_EQ(m.greenShift, 5);
    EXPECT_EQ(m.blueWidth, 5);
    pal_SetRgbMasksSecond(0xFF0000, 0, 0x0000FF);
    EXPECT_EQ(pal_Second.masks[1].redShift, 16);
    EXPECT_EQ(pal_Second.masks[1].redWidth, 8);
    EXPECT_EQ(pal_Second.masks[1].greenShift, 0);
    EXPECT_EQ(pal_Second.masks[1].greenWidth, 0);
}

TEST_F(Pal, SetRangeStaysInsideThePalette) {
    uint8_t rgb[30];
    for (int i = 0; i < 30; i++) rgb[i] = (uint8_t)(i + 1);
    pal_SetRange(rgb, 250, 10);  // only 6 entries fit
    EXPECT_EQ(pal_Current.palette[250 * 3], 1);
    EXPECT_EQ(pal_Current.palette[255 * 3 + 2], 18);
    pal_SetRange(rgb, 256, 1);
    pal_SetRange(rgb, -1, 1);
    EXPECT_EQ(pal_Current.palette[0], 0);
}

TEST_F(Pal, NeutralAdjustmentKeepsEveryPalette) {
    uint8_t rgbx[1024];
    std::mt19937 rng(11);
    for (auto& b : rgbx) b = (uint8_t)rng();
    PALREF* p = pal_CreatePalrefFromRgbx(rgbx);
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(p->source[5 * 3], rgbx[5 * 4 + 2]);  // blue, green, red on input
    EXPECT_EQ(p->source[5 * 3 + 2], rgbx[5 * 4]);
    pal_RebuildAllPalrefs(128, 128, 128, 128, 128);
    EXPECT_EQ(memcmp(p->working, p->source, PAL_BYTES), 0);
    // Master table of a screen that is not 16-bit: blue, green, red x 128, 0.
    auto* m = static_cast<int16_t*>(p->master);
    EXPECT_EQ(m[9 * 4 + 0], p->working[9 * 3 + 2] * 128);
    EXPECT_EQ(m[9 * 4 + 1], p->working[9 * 3 + 1] * 128);
    EXPECT_EQ(m[9 * 4 + 2], p->working[9 * 3 + 0] * 128);
    EXPECT_EQ(m[9 * 4 + 3], 0);
}

TEST_F(Pal, AdjustmentValues) {
    struct Case {
        int brightness, contrast, gain;
        uint8_t in[3], out[3];
    } cases[] = {
        {255, 128, 128, {57, 57, 57}, {120, 120, 120}},    // 57 + (64 x 127 x 2 >> 8)
        {0, 128, 128, {57, 57, 57}, {0, 0, 0}},            // 57 - (255 x 64 >> 8) below 0
        {128, 128, 64, {200, 100, 50}, {100, 50, 25}},     // half gain
        {128, 128, 256, {200, 100, 10}, {255, 200, 20}},   // double gain, capped
        {128, 0, 128, {200, 100, 50}, {112, 112, 112}},    // no contrast: the grey (r + 2g + b) / 4
        {128, 256, 128, {200, 100, 50}, {255, 88, 0}},     // double contrast, clamped
    };
    for (const Case& c : cases) {
        uint8_t rgbx[1024] = {};
        rgbx[4 + 2] = c.in[0];
        rgbx[4 + 1] = c.in[1];
        rgbx[4 + 0] = c.in[2];
        PALREF* p = pal_CreatePalrefFromRgbx(rgbx);
        ASSERT_NE(p, nullptr);
        pal_RebuildPalref(p, c.brightness, c.contrast, c.gain, c.gain, c.gain);
        EXPECT_EQ(p->working[3], c.out[0]) << c.brightness << " " << c.contrast << " " << c.gain;
        EXPECT_EQ(p->working[4], c.out[1]);
        EXPECT_EQ(p->working[5], c.out[2]);
        pal_FreePalref(p);
    }
    EXPECT_EQ(pal_Palrefs.count, 0);
}

TEST_F(Pal, LoadPalrefFlagsAndRemapFiles) {
    uint8_t pal[PAL_BYTES];
    mkdata_GamePalette(pal);
    WritePaletteImage("level.pcx", {96, 97, 200, 96}, pal);
    std::vector<uint8_t> remap = mkdata_RemapFileBuild(pal);

    // Only the CR1 companion: neither is loaded.
    Write("level.CR1", remap);
    PALREF* a = pal_LoadPalref("level.pcx");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->cr1, nullptr);
    EXPECT_EQ(a->cr2, nullptr);
    EXPECT_EQ(memcmp(a->source, pal, PAL_BYTES), 0);
    EXPECT_EQ(memcmp(a->working, pal, PAL_BYTES), 0);
    for (int n = 0; n < 256; n++) EXPECT_EQ(a->flags[n], n == 96 || n == 97 || n == 200) << n;

    // Both: both are loaded (the name is cut at its first ".").
    Write("level.CR2", remap);
    PALREF* b = pal_LoadPalref("level.pcx");
    ASSERT_NE(b, nullptr);
    ASSERT_NE(b->cr1, nullptr);
    ASSERT_NE(b->cr2, nullptr);
    EXPECT_EQ(b->cr2Size, (int32_t)remap.size());
    EXPECT_EQ(pal_Palrefs.head, b);
    EXPECT_EQ(b->next, a);
    EXPECT_EQ(pal_Palrefs.count, 2);

    // A damaged companion: neither is kept.
    std::vector<uint8_t> bad = remap;
    bad[0] = 0xFF;
    bad[1] = 0xFF;
    Write("level.CR2", bad);
    PALREF* c = pal_LoadPalref("level.pcx");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->cr1, nullptr);
    EXPECT_EQ(c->cr2, nullptr);

    EXPECT_EQ(pal_LoadPalref("missing.pcx"), nullptr);
    EXPECT_EQ(pal_Palrefs.count, 3);

    // Flagged entries keep their colour whatever the adjustment.
    pal_RebuildAllPalrefs(255, 128, 100, 100, 100);
    EXPECT_EQ(memcmp(a->working + 96 * 3, pal + 96 * 3, 6), 0);
    EXPECT_EQ(memcmp(a->working + 200 * 3, pal + 200 * 3, 3), 0);
    EXPECT_NE(memcmp(a->working + 20 * 3, pal + 20 * 3, 3), 0);

    pal_FreePalref(b);
    EXPECT_EQ(pal_Palrefs.count, 2);
    EXPECT_EQ(pal_Palrefs.head, c);
    EXPECT_EQ(c->next, a);
    pal_FreeAllPalrefs();
    EXPECT_EQ(pal_Palrefs.head, nullptr);
    EXPECT_EQ(pal_Palrefs.count, 0);
}

TEST_F(Pal, ApplyRemapChoosesTheMatcher) {
    uint8_t pal[PAL_BYTES];
    mkdata_GamePalette(pal);
    WritePaletteImage("genpak.pcx", {96}, pal);
    std::vector<uint8_t> remap = mkdata_RemapFileBuild(pal);
    Write("genpak.CR1", remap);
    Write("genpak.CR2", remap);
    PALREF* withFiles = pal_LoadPalref("genpak.pcx");
    ASSERT_NE(withFiles, nullptr);
    uint8_t rgbx[1024] = {};
    PALREF* plain = pal_CreatePalrefFromRgbx(rgbx);
    ASSERT_NE(plain, nullptr);

    pal_ApplyRemap(withFiles, 1);
    EXPECT_EQ(pal_Current.matcher, PAL_MATCH_BUCKET);
    EXPECT_EQ(pal_Current.remapTable, withFiles->cr1);
    EXPECT_EQ(memcmp(pal_Current.palette, pal, PAL_BYTES), 0);
    // Applied again: the palette is not copied a second time.
    pal_Current.palette[300] = 1;
    pal_ApplyRemap(withFiles, 2);
    EXPECT_EQ(pal_Current.remapTable, withFiles->cr2);
    EXPECT_EQ(pal_Current.palette[300], 1);

    pal_ApplyRemap(plain, 1);
    EXPECT_EQ(pal_Current.matcher, PAL_MATCH_UNFLAGGED);
    EXPECT_EQ(pal_Current.maskPalette, plain->source);
    EXPECT_EQ(pal_Current.flagMask, plain->flags);
    pal_ApplyRemap(plain, 2);
    EXPECT_EQ(pal_Current.matcher, PAL_MATCH_FLAGGED);
    pal_ApplyRemap(nullptr, 1);
    EXPECT_EQ(pal_Palrefs.lastApplied, plain);

    // Freeing what the matcher looks at falls back to the full search.
    pal_FreePalref(plain);
    EXPECT_EQ(pal_Current.matcher, PAL_MATCH_FULL);
    EXPECT_EQ(pal_Current.maskPalette, nullptr);
    EXPECT_EQ(pal_Palrefs.lastApplied, nullptr);
    pal_ApplyRemap(withFiles, 1);
    pal_FreePalref(withFiles);
    EXPECT_EQ(pal_Current.remapTable, nullptr);
    EXPECT_NE(pal_NearestIndex(1, 2, 3), 0);
}

TEST_F(Pal, SelectPalrefHandsTablesOver) {
    uint8_t rgbx[1024];
    for (int i = 0; i < 1024; i++) rgbx[i] = (uint8_t)(i * 13);
    PALREF* p8 = pal_CreatePalrefFromRgbx(rgbx);
    ASSERT_NE(p8, nullptr);
    EXPECT_EQ(p8->light, nullptr);  // light and haze tables only for 16-bit screens
    pal_SelectPalref(p8, 1);
    EXPECT_EQ(pal_DrawTables.master, p8->master);
    EXPECT_EQ(pal_DrawTables.shade16, nullptr);
    EXPECT_EQ(pal_Palrefs.current, p8);

    Set565();
    pal_SetFogColourA(255, 0, 0);
    pal_SetFogColourB(255, 255, 255);
    PALREF* p16 = pal_CreatePalrefFromRgbx(rgbx);
    ASSERT_NE(p16, nullptr);
    ASSERT_NE(p16->light, nullptr);
    ASSERT_NE(p16->haze, nullptr);
    pal_RebuildPalref(p16, 128, 128, 128, 128, 128);
    auto* master = static_cast<uint32_t*>(p16->master);
    for (int n = 0; n < 256; n++)
        ASSERT_EQ(master[n], pal_RgbTo16(p16->working[n * 3], p16->working[n * 3 + 1], p16->working[n * 3 + 2]));
    // Light rows end near fog colour B (white), haze rows near fog colour A (red).
    for (int n = 0; n < 256; n++) {
        EXPECT_EQ(p16->light[n], 0);
        EXPECT_GE(p16->light[31 * 256 + n] >> 11, 29) << n;
        EXPECT_GE((p16->light[31 * 256 + n] >> 5) & 63, 58) << n;
        EXPECT_GE(p16->haze[31 * 256 + n] >> 11, 29) << n;
    }
    pal_SelectPalref(p16, 1);
    EXPECT_EQ(pal_DrawTables.shade16, p16->light);
    pal_SelectPalref(p16, 2);
    EXPECT_EQ(pal_DrawTables.shade16, p16->haze);
    EXPECT_EQ(pal_DrawTables.master, p16->master);
    pal_FreePalref(p16);
    EXPECT_EQ(pal_Palrefs.current, nullptr);
    EXPECT_EQ(pal_DrawTables.master, nullptr);

    // A screen that turned 16-bit gets its tables at the next rebuild.
    pal_RebuildAllPalrefs(128, 128, 128, 128, 128);
    EXPECT_NE(p8->light, nullptr);
    EXPECT_EQ(static_cast<uint32_t*>(p8->master)[1], pal_RgbTo16(p8->working[3], p8->working[4], p8->working[5]));
}

}  // namespace

// The rebuild sees the adjusted entries in the light colour; white is the
// neutral light, and light values are taken within 0..255.
TEST_F(Pal, LightColourScalesTheAdjustedEntries) {
    struct Case {
        int32_t light[3];
        uint8_t out[3];  // of the entry (200, 100, 50)
    } cases[] = {
        {{255, 255, 255}, {200, 100, 50}},
        {{0, 0, 0}, {0, 0, 0}},
        {{128, 64, 255}, {100, 25, 50}},   // 200 x 128 / 255, 100 x 64 / 255
        {{-5, 300, 255}, {0, 100, 50}},
    };
    for (const Case& c : cases) {
        uint8_t rgbx[1024] = {};
        rgbx[4 + 2] = 200;
        rgbx[4 + 1] = 100;
        rgbx[4 + 0] = 50;
        PALREF* p = pal_CreatePalrefFromRgbx(rgbx);
        ASSERT_NE(p, nullptr);
        p->flags[2] = 1;  // kept as loaded whatever the light
        p->source[6] = 77;
        pal_LightColour = {c.light[0], c.light[1], c.light[2]};
        pal_RebuildPalref(p, 128, 128, 128, 128, 128);
        pal_LightColour = {255, 255, 255};
        EXPECT_EQ(p->working[3], c.out[0]) << c.light[0] << " " << c.light[1] << " " << c.light[2];
        EXPECT_EQ(p->working[4], c.out[1]);
        EXPECT_EQ(p->working[5], c.out[2]);
        EXPECT_EQ(p->working[6], 77);
        pal_FreePalref(p);
    }
}
