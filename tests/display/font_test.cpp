// Bitmap and proportional fonts: the grid scan, measuring, drawing modes
// and colour codes, tabs, clipping, shadows, word wrapping and the pixel
// tables.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/draw_canvas.h"
#include "base/file.h"
#include "base/mem.h"
#include "display/draw_text.h"
#include "display/dtext.h"
#include "display/font.h"
#include "display/image_fixture.h"
#include "display/vid.h"
#include "mkdata.h"

namespace {

// A font whose image is a test-owned buffer, scanned in place.
struct GridFont {
    std::vector<uint8_t> pixels;
    BitmapFont font{};
    // Rows of the image: '.' 0, digits their value, '#' a glyph pixel (20).
    explicit GridFont(const std::vector<std::string>& rows) {
        font.width = (int32_t)rows[0].size();
        font.height = (int32_t)rows.size();
        for (const std::string& r : rows)
            for (char c : r) pixels.push_back(c == '.' ? 0 : c == '#' ? 20 : (uint8_t)(c - '0'));
        font.image = pixels.data();
    }
    explicit GridFont(std::vector<uint8_t> image, int32_t w, int32_t h) : pixels(std::move(image)) {
        font.width = w;
        font.height = h;
        font.image = pixels.data();
    }
    uint8_t At(int x, int y) const { return pixels[(size_t)y * font.width + x]; }
};

class FontTest : public ImageEnv {
protected:
    void SetUp() override {
        ImageEnv::SetUp();
        font_State.colourOffset = 0;
        font_State.pendingOffset = 0;
        font_SetTabWidth(FONT_DEFAULT_TAB_WIDTH);
        for (DrawColourSlot& s : draw_Context.slots) s = DrawColourSlot{};
    }
    // The data set's 8-pixel font, written and loaded as a file.
    BitmapFont LoadSmall(int32_t flags = FONT_LOAD_SCAN) {
        int32_t w = 0, h = 0;
        std::vector<uint8_t> image = mkdata_FontImage(8, false, &w, &h);
        uint8_t palette[768];
        mkdata_GamePalette(palette);
        EXPECT_EQ(mkdata_PcxWrite(".", "small.pcx", w, h, image.data(), palette), 0);
        BitmapFont f{};
        EXPECT_EQ(font_Load("small.pcx", &f, flags), 0);
        return f;
    }
    static int Adv(const BitmapFont& f, int code) { return f.entries[code].width + 1 - f.spacing; }
    // Ink of the built-in 8x8 glyph; the small font is that glyph trimmed
    // to its inked columns.
    static bool ArtInk(int code, int col, int row) {
        return dtext_Glyphs[(size_t)(code - DTEXT_FIRST) * 64 + row * 8 + col] != 0;
    }
    static int InkCount(int code) {
        int n = 0;
        for (int i = 0; i < 64; i++) n += dtext_Glyphs[(size_t)(code - DTEXT_FIRST) * 64 + i] != 0;
        return n;
    }
    static int FirstArtColumn(int code) {
        for (int c = 0; c < 8; c++)
            for (int r = 0; r < 8; r++)
                if (ArtInk(code, c, r)) return c;
        return 0;
    }
    // Checks that the glyph of `code` (drawn at x, y) is in `ink` where the
    // art has ink and untouched elsewhere in its box.
    static void ExpectGlyph(Canvas& c, const BitmapFont& f, int code, int x, int y, uint32_t ink) {
        const FontEntry& e = f.entries[code];
        int first = FirstArtColumn(code);
        for (int r = 0; r < e.height; r++)
            for (int col = 0; col < e.width; col++) {
                if (x + col < 0 || x + col >= c.w || y + r < 0 || y + r >= c.h) continue;
                if (ArtInk(code, col + first, r))
                    EXPECT_EQ(c.Get(x + col, y + r), ink) << (char)code << " at " << col << "," << r;
                else
                    EXPECT_FALSE(c.Changed(x + col, y + r)) << (char)code << " at " << col << "," << r;
            }
    }
};

TEST_F(FontTest, GridScanReadsMarkersBandsAndGlyphs) {
    GridFont g({
        "..##..#..3.#",  // band 0, rows 0-2
        "2.#...##.4.#",
        "..#........#",
        "1...........",  // the row below band 0
        "............",
        ".#..........",  // band 1, rows 5-6, runs to the bottom
        "2..#........",
    });
    ASSERT_EQ(font_ScanGrid(&g.font), 0);
    const FontEntry* e = g.font.entries;
    struct Want {
        int code, x, width, height, top;
    };
    for (Want w : {Want{0, 2, 2, 3, 0}, Want{1, 6, 2, 3, 0}, Want{2, 9, 1, 3, 0}, Want{3, 11, 1, 3, 0},
                   Want{16, 1, 1, 2, 5}, Want{17, 3, 1, 2, 5}}) {
        SCOPED_TRACE(w.code);
        EXPECT_EQ(e[w.code].present, 1);
        EXPECT_EQ(e[w.code].x, w.x);
        EXPECT_EQ(e[w.code].width, w.width);
        EXPECT_EQ(e[w.code].height, w.height);
        EXPECT_EQ(e[w.code].top, w.top);
    }
    EXPECT_EQ(e[4].present, 0);
    EXPECT_EQ(e[18].present, 0);
    EXPECT_EQ(g.font.glyphCount, 6);
    EXPECT_EQ(g.font.spacing, 1);
    EXPECT_EQ(g.font.baseline, 1);  // the last baseline marker, in band 1
    EXPECT_EQ(g.font.scanMarker, 2);
    EXPECT_EQ(font_State.textHeight, 2);
    // Baseline and column markers are erased; spacing markers stay.
    EXPECT_EQ(g.At(0, 1), 0);
    EXPECT_EQ(g.At(9, 0), 0);
    EXPECT_EQ(g.At(0, 6), 0);
    EXPECT_EQ(g.At(9, 1), 4);
    // Advance = width + 1 - spacing.
    EXPECT_EQ(font_StringWidth(std::string(1, '\0').c_str(), &g.font), 0);
    const char ab[] = {1, 2, 0};
    EXPECT_EQ(font_StringWidth(ab, &g.font), 2 + 1);
}

TEST_F(FontTest, BandWithMoreThanSixteenGlyphsKeepsTheNextBandsCodes) {
    std::string glyphs;
    for (int i = 0; i < 18; i++) glyphs += "#.";
    GridFont g({glyphs, "1" + std::string(glyphs.size() - 1, '.'), std::string(glyphs.size(), '.'),
                "..##" + std::string(glyphs.size() - 4, '.')});
    ASSERT_EQ(font_ScanGrid(&g.font), 0);
    for (int c = 0; c < 16; c++) EXPECT_EQ(g.font.entries[c].x, 2 * c);
    EXPECT_EQ(g.font.entries[16].x, 2);  // band 1's glyph, not band 0's 17th
    EXPECT_EQ(g.font.entries[16].width, 2);
    EXPECT_EQ(g.font.glyphCount, 17);
}

TEST_F(FontTest, ScanWithoutImageOrAfterAReloadIsSafe) {
    BitmapFont none{};
    EXPECT_EQ(font_ScanGrid(&none), -1);
    EXPECT_EQ(font_ScanGrid(nullptr), -1);

    BitmapFont f = LoadSmall();
    ASSERT_NE(f.image, nullptr);
    EXPECT_EQ(font_Load("missing.pcx", &f, FONT_LOAD_SCAN), -1);
    EXPECT_EQ(f.image, nullptr);
    EXPECT_EQ(f.width, 0);
    // Entries left from the earlier scan no longer fit any image: nothing
    // is drawn and nothing is read.
    Canvas c(32, 16, 1);
    font_DrawString("AB", &f, 0, 0, 3, FONT_MODE_IMAGE);
    EXPECT_EQ(c.Count(), 0);
}

TEST_F(FontTest, DataSetFontHasTheLayoutTheScannerExpects) {
    BitmapFont f = LoadSmall();
    ASSERT_NE(f.entries, nullptr);
    EXPECT_EQ(f.entries[0].present, 1);
    for (int c = 1; c < 32; c++) EXPECT_EQ(f.entries[c].present, 0) << c;
    for (int c = 32; c < 128; c++) EXPECT_EQ(f.entries[c].present, 1) << c;
    for (int c = 128; c < 256; c++) EXPECT_EQ(f.entries[c].present, 0) << c;
    EXPECT_EQ(f.glyphCount, 97);
    EXPECT_EQ(f.spacing, 0);
    EXPECT_EQ(f.baseline, 6);
    EXPECT_EQ(f.entries['A'].width, 6);
    EXPECT_EQ(f.entries['A'].height, 8);
    EXPECT_EQ(f.entries[' '].width, 3);  // columns marked without ink
    EXPECT_EQ(f.entries['i'].width, 4);

    // Every size of the data set scans the same way.
    for (auto [h, bold] : {std::pair{11, false}, std::pair{13, true}, std::pair{16, true}}) {
        int32_t w = 0, ih = 0;
        std::vector<uint8_t> image = mkdata_FontImage(h, bold, &w, &ih);
        GridFont g(std::move(image), w, ih);
        ASSERT_EQ(font_ScanGrid(&g.font), 0);
        EXPECT_EQ(g.font.glyphCount, 97) << h;
        EXPECT_EQ(g.font.entries['W'].height, h);
        EXPECT_EQ(g.font.entries['~'].present, 1);
    }
}

TEST_F(FontTest, LevelFontsLoadFromTheDataSet) {
    ASSERT_EQ(mem_Heap1Init(), 0);  // archive records live there
    PffRecord* pff = pff_Open(KRX_DATA_DIR "/KRX.PFF");
    ASSERT_NE(pff, nullptr);
    ASSERT_GE(file_PffSlotAdd(pff), 0);
    // The level loads them in mode 2 (scan), and a font named in the
    // settings in mode 10 (scan and grey): in grey its ink must stay visible.
    for (int32_t flags : {(int32_t)FONT_LOAD_SCAN, FONT_LOAD_SCAN | FONT_LOAD_GREY}) {
        for (const char* name : {"small640.pcx", "small320.pcx", "arial11n.pcx", "key11bna.pcx", "key13bna.pcx",
                                 "key16bna.pcx"}) {
            SCOPED_TRACE(::testing::Message() << name << " flags " << flags);
            BitmapFont f{};
            ASSERT_EQ(font_Load(name, &f, flags), 0);
            EXPECT_EQ(f.glyphCount, 97);
            EXPECT_GT(font_StringWidth("Key 16", &f), 0);
            const FontEntry& e = f.entries['I'];
            int ink = 0;
            for (int r = 0; r < e.height; r++)
                for (int c = 0; c < e.width; c++) ink += f.image[(e.top + r) * f.width + e.x + c] != 0;
            EXPECT_GT(ink, 0);
            mem_Free(f.image);
            mem_Free(f.entries);
        }
    }
}

TEST_F(FontTest, WidthsSkipColourCodesAndCentreOnTheSurface) {
    BitmapFont f = LoadSmall();
    const int ab = Adv(f, 'A') + Adv(f, 'B');
    EXPECT_EQ(font_StringWidth("AB", &f), ab);
    EXPECT_EQ(font_StringWidth("~3AB", &f), ab);
    EXPECT_EQ(font_StringWidth("~xA", &f), Adv(f, 'A'));
    EXPECT_EQ(font_StringWidth("A~", &f), Adv(f, 'A'));
    // A code without a glyph counts its own empty entry.
    EXPECT_EQ(font_StringWidth("\xC8", &f), 1);
    EXPECT_EQ(font_StringWidth("", &f), 0);
    EXPECT_EQ(font_MeasureString("AB", &f), ab);
    EXPECT_EQ(font_State.measuredWidth, ab);

    Canvas c(100, 20, 1);
    EXPECT_EQ(font_CentredX("AB", &f), 50 - ab / 2);
    EXPECT_EQ(font_MeasureCentredX("AB", &f), 50 - ab / 2);
    EXPECT_EQ(font_State.measuredX, 50 - ab / 2);
}

TEST_F(FontTest, DrawsGlyphsInEachModeAndDepth) {
    BitmapFont f = LoadSmall();
    SetSlot(3, 77, 0x1234, 0x00ABCDEF);
    Set565();
    pal_Hc.palette16[15] = 0x7BEF;
    font_State.table32[15] = 0x00F0F0F0;
    font_State.table32[15 + 24] = 0x00102030;
    pal_Hc.palette16[15 + 24] = 0x0842;
    struct Case {
        int bpp, mode;
        uint32_t ink;
    };
    for (Case k : {Case{1, FONT_MODE_IMAGE, 15}, Case{1, FONT_MODE_ONE_COLOUR, 77}, Case{1, FONT_MODE_RAMP, 39},
                   Case{2, FONT_MODE_IMAGE, 0x7BEF}, Case{2, FONT_MODE_ONE_COLOUR, 0x1234},
                   Case{2, FONT_MODE_RAMP, 0x0842}, Case{4, FONT_MODE_IMAGE, 0x00F0F0F0},
                   Case{4, FONT_MODE_ONE_COLOUR, 0x00ABCDEF}, Case{4, FONT_MODE_RAMP, 0x00102030}}) {
        SCOPED_TRACE(::testing::Message() << "bpp " << k.bpp << " mode " << k.mode);
        Canvas c(40, 12, k.bpp);
        font_DrawString("~3A", &f, 5, 2, 3, k.mode);
        EXPECT_EQ(font_State.colourOffset, 24);
        ExpectGlyph(c, f, 'A', 5, 2, k.ink);
        EXPECT_EQ(c.Count(), InkCount('A'));  // and nothing else
    }
}

TEST_F(FontTest, ColourCodesSelectTheRampOffsetOrTheCodedSlot) {
    BitmapFont f = LoadSmall();
    SetSlot(5, 88, 0, 0);
    SetSlot(1, 44, 0, 0);
    Canvas c(60, 12, 1);
    // "~3AB" in ramp mode: A and B with offset 24, nothing for the code.
    font_DrawString("~3AB", &f, 0, 0, 0, FONT_MODE_RAMP);
    ExpectGlyph(c, f, 'A', 0, 0, 15 + 24);
    ExpectGlyph(c, f, 'B', Adv(f, 'A'), 0, 15 + 24);
    // The offset stays for the next string.
    c.Clear();
    font_DrawString("A", &f, 0, 0, 0, FONT_MODE_RAMP);
    ExpectGlyph(c, f, 'A', 0, 0, 15 + 24);
    // Coded colour: the slot named by the digit, switched inside a string.
    c.Clear();
    font_DrawString("~5A~1B", &f, 0, 0, 0, FONT_MODE_CODED);
    ExpectGlyph(c, f, 'A', 0, 0, 88);
    ExpectGlyph(c, f, 'B', Adv(f, 'A'), 0, 44);
    // "~" before anything but a digit is dropped and the next character drawn.
    c.Clear();
    font_DrawString("~xA", &f, 0, 0, 5, FONT_MODE_ONE_COLOUR);
    ExpectGlyph(c, f, 'x', 0, 0, 88);
    ExpectGlyph(c, f, 'A', Adv(f, 'x'), 0, 88);
}

TEST_F(FontTest, RawModeWritesSingleBytesAtEveryDepth) {
    BitmapFont f = LoadSmall();
    Canvas c(40, 12, 2);
    font_DrawString("I", &f, 4, 1, 3, FONT_MODE_RAW);
    const FontEntry& e = f.entries['I'];
    int first = FirstArtColumn('I');
    for (int y = 0; y < c.h; y++)
        for (int b = 0; b < c.rowBytes; b++) {
            int col = b - 4 * 2, r = y - 1;
            bool ink = col >= 0 && col < e.width && r >= 0 && r < e.height && ArtInk('I', first + col, r);
            EXPECT_EQ(c.base()[y * c.rowBytes + b], ink ? 15 : kCanvasFill) << b << "," << y;
        }
}

TEST_F(FontTest, TabsMoveToTheNextStopOrStay) {
    BitmapFont f = LoadSmall();
    Canvas c(120, 12, 1);
    font_SetTabWidth(16);
    font_DrawString("\tA", &f, 3, 0, 0, FONT_MODE_IMAGE);
    ExpectGlyph(c, f, 'A', 16, 0, 15);
    c.Clear();
    font_DrawString("\tA", &f, 16, 0, 0, FONT_MODE_IMAGE);  // strictly greater
    ExpectGlyph(c, f, 'A', 32, 0, 15);
    // Beyond the 80th stop the pen stays.
    c.Clear();
    font_SetTabWidth(1);
    font_DrawString("\tA", &f, 100, 0, 0, FONT_MODE_IMAGE);
    ExpectGlyph(c, f, 'A', 100, 0, 15);
    // Given stops after the default fill.
    const int32_t stops[] = {50, 70};
    font_SetTabStops(stops, 2);
    EXPECT_EQ(font_State.tabStops[0], 50);
    EXPECT_EQ(font_State.tabStops[2], 3 * FONT_DEFAULT_TAB_WIDTH);
    c.Clear();
    font_DrawString("\t\tA", &f, 0, 0, 0, FONT_MODE_IMAGE);
    ExpectGlyph(c, f, 'A', 70, 0, 15);
}

TEST_F(FontTest, MissingGlyphDrawsCodeZeroWithItsAdvance) {
    BitmapFont f = LoadSmall();
    Canvas c(60, 12, 1);
    font_DrawString("\xC8" "A", &f, 0, 0, 0, FONT_MODE_IMAGE);
    const FontEntry& box = f.entries[0];
    // The box's outline: its top-left and bottom-right corners.
    EXPECT_EQ(c.Get(0, 1), 15u);
    EXPECT_EQ(c.Get(box.width - 1, 6), 15u);
    EXPECT_FALSE(c.Changed(1, 2));
    ExpectGlyph(c, f, 'A', Adv(f, 0), 0, 15);
}

TEST_F(FontTest, TextNeverLeavesTheSurface) {
    BitmapFont f = LoadSmall();
    for (int bpp : {1, 2, 4}) {
        for (int mode = 0; mode < FONT_MODES; mode++) {
            Canvas c(20, 6, bpp);
            c.Clip(0, 0, 20, 6);
            font_DrawString("WWWWWW", &f, -9, -3, 15, mode);
            font_DrawString("WWWWWW", &f, 14, 3, 15, mode);
            EXPECT_TRUE(c.OutsideUntouched()) << bpp << " " << mode;
        }
    }
    Canvas c(20, 6, 1);
    font_DrawString("W", &f, -2, -3, 15, FONT_MODE_IMAGE);
    ExpectGlyph(c, f, 'W', -2, -3, 15);
    // Nothing without a base.
    Canvas d(20, 6, 1);
    draw_CurrentSurface.base = nullptr;
    font_DrawString("W", &f, 0, 0, 15, FONT_MODE_IMAGE);
    EXPECT_EQ(d.Count(), 0);
}

TEST_F(FontTest, ClippedStringKeepsToTheClipAndFillsItsBox) {
    BitmapFont f = LoadSmall();
    SetSlot(4, 99, 0, 0);
    Canvas c(40, 16, 1);
    c.Clip(10, 3, 20, 9);
    font_DrawStringClipped("WW", &f, 6, 1, 15, FONT_MODE_IMAGE, 0);
    EXPECT_TRUE(c.OutsideUntouched());
    EXPECT_GT(c.Count(), 0);
    Canvas whole(40, 16, 1);
    font_DrawString("WW", &f, 6, 1, 15, FONT_MODE_IMAGE);
    for (auto [x, y] : c.ChangedPixels()) EXPECT_EQ(c.Get(x, y), whole.Get(x, y));

    // The background box: (width + 3) x (height + 2) from (x - 1, y - 1).
    Canvas b(40, 16, 1);
    const int w = font_StringWidth("A", &f);
    font_DrawStringClipped("A", &f, 5, 3, 15, FONT_MODE_IMAGE, FONT_BACKGROUND_FILL | 4);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 40; x++) {
            bool inBox = x >= 4 && x < 4 + w + 3 && y >= 2 && y < 2 + 8 + 2;
            if (!inBox) {
                EXPECT_FALSE(b.Changed(x, y)) << x << "," << y;
            } else if (b.Get(x, y) != 15) {
                EXPECT_EQ(b.Get(x, y), 99u) << x << "," << y;
            }
        }
    // Rejected text fills nothing.
    Canvas r(40, 16, 1);
    r.Clip(10, 3, 20, 9);
    font_DrawStringClipped("A", &f, 20, 3, 15, FONT_MODE_IMAGE, FONT_BACKGROUND_FILL | 4);
    font_DrawStringClipped("A", &f, 2, 3, 15, FONT_MODE_IMAGE, FONT_BACKGROUND_FILL | 4);  // ends before x1
    EXPECT_EQ(r.Count(), 0);
}

TEST_F(FontTest, ShadowsUseSlotTenAndLeaveTheTextItsColours) {
    BitmapFont f = LoadSmall();
    SetSlot(10, 66, 0, 0);
    Canvas c(40, 14, 1);
    font_State.colourOffset = 16;
    font_DrawShadowedString("A~5", &f, 2, 2, 0, FONT_MODE_RAMP);
    EXPECT_EQ(font_State.colourOffset, 40);
    // Where the shadow is not covered it shows slot 10; the text has the
    // offset it started with.
    const int first = FirstArtColumn('A');
    for (int r = 0; r < 8; r++)
        for (int col = 0; col < 6; col++) {
            if (ArtInk('A', first + col, r)) {
                EXPECT_EQ(c.Get(2 + col, 2 + r), 15u + 16);
            }
        }
    EXPECT_EQ(c.Get(2 + 6, 2 + 4), 66u);  // right of A's right leg, one row down

    // Box text: one box under both passes.
    SetSlot(4, 99, 0, 0);
    Canvas b(40, 14, 1);
    font_DrawBoxTextShadowed("A", &f, 2, 2, 0, FONT_MODE_IMAGE, FONT_BACKGROUND_FILL | 4);
    EXPECT_EQ(b.Get(2 + 6, 2 + 4), 66u);
    EXPECT_EQ(b.Get(2, 2), 99u);
}

TEST_F(FontTest, WrapsWordsToTheWidthLimit) {
    BitmapFont f = LoadSmall();
    char buffer[64];
    auto lines = [&](const FontTextArea& a) {
        std::vector<std::string> out;
        const char* p = a.lines;
        for (int i = 0; i < a.lineCount; i++) {
            out.emplace_back(p);
            p += out.back().size() + 1;
        }
        return out;
    };
    using V = std::vector<std::string>;
    struct Case {
        const char* text;
        const char* fit;  // the widest text a line may hold
        V want;
    };
    for (const Case& k : {
             Case{"aa bb cc", "aa bb ", V{"aa bb ", "cc"}},
             Case{"aa bb cc", "aa bb cc", V{"aa bb cc"}},
             Case{"~3aa ~4bb", "aa bb", V{"~3aa ~4bb"}},
             Case{"ab\r\ncd", "abcdef", V{"ab", "cd"}},
             Case{"wwww bb", "ww", V{"wwww ", "bb"}},
             Case{"aa wwwwwwwww", "aa w", V{"aa ", "wwwwwwwww"}},
             Case{"ab\r", "abcdef", V{"ab", ""}},
         }) {
        SCOPED_TRACE(k.text);
        FontTextArea a = {buffer, (uint16_t)font_StringWidth(k.fit, &f), 0, 0, 0, 10, sizeof buffer};
        EXPECT_EQ(font_WrapText(k.text, &f, &a), 0);
        EXPECT_EQ(lines(a), k.want);
    }
}

TEST_F(FontTest, WrapIntoASmallBufferKeepsTerminatedLines) {
    BitmapFont f = LoadSmall();
    for (uint32_t size = 1; size <= 15; size++) {
        SCOPED_TRACE(size);
        std::vector<char> buffer(size + 8, 'Z');
        FontTextArea a = {buffer.data(), (uint16_t)font_StringWidth("aaa ", &f), 0, 0, 0, 10, size};
        int32_t r = font_WrapText("aaa bbb ccc", &f, &a);
        EXPECT_EQ(r, size >= 14 ? 0 : -1);  // "aaa \0bbb \0ccc\0"
        for (size_t i = size; i < buffer.size(); i++) EXPECT_EQ(buffer[i], 'Z');
        // Every counted line ends inside the buffer.
        size_t pos = 0;
        for (int i = 0; i < a.lineCount; i++) {
            while (pos < size && buffer[pos]) pos++;
            ASSERT_LT(pos, size) << "line " << i;
            pos++;
        }
    }
    FontTextArea none = {nullptr, 10, 7, 0, 0, 10, 0};
    EXPECT_EQ(font_WrapText("aaa", &f, &none), -1);
    EXPECT_EQ(none.lineCount, 0);
}

TEST_F(FontTest, DrawsWrappedLinesWithSkipAndCount) {
    BitmapFont f = LoadSmall();
    SetSlot(2, 50, 0, 0);
    char buffer[32];
    FontTextArea a = {buffer, (uint16_t)font_StringWidth("II ", &f), 0, 3, 1, 9, sizeof buffer};
    ASSERT_EQ(font_WrapText("II ~2II II", &f, &a), 0);
    ASSERT_EQ(a.lineCount, 3);
    Canvas c(40, 40, 1);
    font_State.pendingOffset = 16;
    font_DrawWrappedText(&a, &f, 0, FONT_MODE_CODED, 1, 1);
    EXPECT_EQ(font_State.pendingOffset, 0);
    // Only the second line, in slot 2 (the pending offset, then its code),
    // at the area's top.
    ExpectGlyph(c, f, 'I', 3, 1, 50);
    ExpectGlyph(c, f, 'I', 3 + Adv(f, 'I'), 1, 50);
    EXPECT_EQ(c.Count(), 2 * InkCount('I'));
    c.Clear();
    font_DrawWrappedText(&a, &f, 0, FONT_MODE_IMAGE, 1, 0);
    ExpectGlyph(c, f, 'I', 3, 1, 15);
    ExpectGlyph(c, f, 'I', 3, 10, 15);
    EXPECT_EQ(c.Count(), 4 * InkCount('I'));
}

TEST_F(FontTest, PixelTablesFollowTheScreenDepth) {
    vid_State.bitsPerPixel = 32;
    uint8_t pal[768];
    DistinctPalette(pal);
    font_SetPalette(pal);
    EXPECT_EQ(font_State.table32[0x12], (0x12u << 16) | ((255u - 0x12) << 8) | (uint8_t)(0x12 * 7));
    // Ramp at 32 bits: straight values from the second colour toward the
    // first, rounded down also for a falling channel.
    font_SetColourRamp(255, 0, 100, 0, 255, 100);
    EXPECT_EQ(font_State.table32[0], 0x0000FF64u);
    EXPECT_EQ(font_State.table32[128], (127u << 16) | (127u << 8) | 100u);
    EXPECT_EQ(font_State.table32[255], (254u << 16) | (0u << 8) | 100u);

    Set565();
    font_SetPalette(pal);
    EXPECT_EQ(pal_Hc.palette16[0x40], pal_RgbTo16(0x40, 255 - 0x40, (uint8_t)(0x40 * 7)));
    font_SetColourRamp(255, 255, 255, 0, 0, 0);
    const uint8_t* toLinear = pal_ToLinearTable();
    const uint8_t* fromLinear = pal_FromLinearTable();
    EXPECT_EQ(pal_Hc.palette16[0], 0u);
    int v = fromLinear[(toLinear[255] * 128) >> 8];
    EXPECT_EQ(pal_Hc.palette16[128], pal_RgbTo16(v, v, v));
}

TEST_F(FontTest, GreyFontsTurnGlyphPixelsIntoLinearGreys) {
    BitmapFont f = LoadSmall(FONT_LOAD_SCAN | FONT_LOAD_GREY);
    const FontEntry& e = f.entries['I'];
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    const uint8_t* L = pal_ToLinearTable();
    const uint8_t* ink = palette + 15 * 3;
    uint8_t grey = (uint8_t)((2 * L[ink[0]] + 5 * L[ink[1]] + L[ink[2]]) >> 3);
    EXPECT_EQ(f.image[e.top * f.width + e.x], grey);
    // Background and the erased markers stay 0.
    EXPECT_EQ(f.image[6 * f.width], 0);
    EXPECT_EQ(f.image[1], 0);
}

}  // namespace

// A text box is the clipped string drawn line by line, one text height apart,
// with the colour codes running on from line to line.
TEST_F(FontTest, WrapTextBoxDrawsItsLinesAsClippedStrings) {
    BitmapFont f = LoadSmall();
    SetSlot(4, 99, 0, 0);
    const int32_t step = font_State.textHeight;
    ASSERT_GT(step, 0);
    struct Case {
        const char* text;
        std::vector<const char*> lines;
        int32_t mode, background;
    } cases[] = {
        {"AB", {"AB"}, FONT_MODE_IMAGE, 0},
        {"AB\nW", {"AB", "W"}, FONT_MODE_IMAGE, 0},
        {"AB\r\nW\n", {"AB", "W", ""}, FONT_MODE_IMAGE, 0},
        {"A~5B\nC", {"A~5B", "C"}, FONT_MODE_RAMP, 0},
        {"A\n\nB", {"A", "", "B"}, FONT_MODE_ONE_COLOUR, FONT_BACKGROUND_FILL | 4},
    };
    for (const Case& c : cases) {
        Canvas ref(60, 40, 1);
        ref.Clip(3, 2, 50, 30);
        font_State.colourOffset = 8;
        for (size_t i = 0; i < c.lines.size(); i++)
            font_DrawStringClipped(c.lines[i], &f, 5, 4 + (int32_t)i * step, 15, c.mode, c.background);
        const uint8_t endOffset = font_State.colourOffset;

        Canvas box(60, 40, 1);
        box.Clip(3, 2, 50, 30);
        font_State.colourOffset = 8;
        vid_FrameCounters = VidFrameCounters{};
        const int32_t boxMode = c.mode | (c.background & FONT_BACKGROUND_FILL ? DRAW_TEXTBOX_FILL : 0) |
                                ((c.background & 0xFF) << 8);
        EXPECT_EQ(draw_WrapTextBox(c.text, &f, 5, 4, 15, boxMode), 0) << c.text;
        EXPECT_EQ(box.mem, ref.mem) << c.text;
        EXPECT_EQ(font_State.colourOffset, endOffset) << c.text;
        EXPECT_TRUE(box.OutsideUntouched()) << c.text;
        EXPECT_EQ(vid_FrameCounters.texts, (uint32_t)c.lines.size()) << c.text;

        // The short form draws the same with the colour and mode kept.
        Canvas again(60, 40, 1);
        again.Clip(3, 2, 50, 30);
        font_State.colourOffset = 8;
        EXPECT_EQ(draw_WrapTextBoxC(c.text, &f, 5, 4), 0);
        EXPECT_EQ(again.mem, ref.mem) << c.text;
    }
    // Nothing to draw with, nothing drawn; a box far off the surface is safe.
    Canvas none(60, 40, 1);
    EXPECT_EQ(draw_WrapTextBox(nullptr, &f, 5, 4, 15, 0), -1);
    EXPECT_EQ(draw_WrapTextBox("A", nullptr, 5, 4, 15, 0), -1);
    EXPECT_EQ(draw_WrapTextBox("A\nB", &f, 5, INT32_MAX - 1, 15, DRAW_TEXTBOX_FILL | (4 << 8)), 0);
    EXPECT_EQ(draw_WrapTextBox("A\nB", &f, INT32_MIN, 4, 15, DRAW_TEXTBOX_FILL | (4 << 8)), 0);
    EXPECT_EQ(none.Count(), 0);
    EXPECT_TRUE(none.OutsideUntouched());
    // A line longer than any screen is cut, not overrun.
    std::string longLine(5000, 'W');
    EXPECT_EQ(draw_WrapTextBox(longLine.c_str(), &f, 0, 0, 15, FONT_MODE_ONE_COLOUR), 0);
    EXPECT_TRUE(none.OutsideUntouched());
}
