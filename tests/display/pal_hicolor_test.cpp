// High-colour pixel tables: mask analysis, packing, the pixel shade table,
// the 5-5-5 conversion, the ramp and the view tint.
#include "display/dsurf.h"
#include "image_fixture.h"

namespace {

class HiColour : public ImageEnv {
protected:
    static void Set555() {
        vid_State.bitsPerPixel = 16;
        vid_State.redMask = 0x7C00;
        vid_State.greenMask = 0x03E0;
        vid_State.blueMask = 0x001F;
        pal_DeriveSurfaceMasks();
    }
    static uint16_t Shade(uint16_t p, int level) {
        return (uint16_t)(pal_Hc.shade[level][p & 0xFF][0] + pal_Hc.shade[level][p >> 8][1]);
    }
    // Red, green, blue fields of a 5-6-5 pixel.
    static std::vector<int> Fields565(uint16_t p) { return {p >> 11, (p >> 5) & 63, p & 31}; }
};

TEST_F(HiColour, MaskAnalysis) {
    Set565();
    const PalChannel& r = pal_Hc.channels[0];
    EXPECT_EQ(r.width, 5);
    EXPECT_EQ(r.shift, 11);
    EXPECT_EQ(r.maximum, 31);
    EXPECT_EQ(r.threeQuarter, 24 << 11);
    EXPECT_EQ(pal_Hc.channels[1].width, 6);
    EXPECT_EQ(pal_Hc.channels[1].maximum, 63);
    EXPECT_EQ(pal_Hc.channels[2].index, 2);
    EXPECT_EQ(pal_Hc.sorted[0].index, 0);  // packing order: red, green, blue
    EXPECT_EQ(pal_Hc.sorted[2].index, 2);
    EXPECT_EQ(pal_Hc.blendMask1, 0xF7DEF7DEu);
    EXPECT_EQ(pal_Hc.blendMask2, 0xE79CE79Cu);

    EXPECT_EQ(pal_RgbTo16(255, 255, 255), 0xFFFF);
    EXPECT_EQ(pal_RgbTo16(255, 0, 0), 0xF800);
    EXPECT_EQ(pal_RgbTo16(0, 4, 7), 0x0020);  // only the top bits of each channel
    Set555();
    EXPECT_EQ(pal_RgbTo16(255, 255, 255), 0x7FFF);
    EXPECT_EQ(pal_RgbTo16(0, 255, 0), 0x03E0);
    pal_NearestIndex(0, 0, 255);  // the colour in the work record
    EXPECT_EQ(pal_SkyColourTo16(), 0x001F);
}

TEST_F(HiColour, PixelShadeTableDarkens) {
    Set565();
    pal_SetFogColourB(255, 255, 255);
    pal_BuildHighColourTables();
    // Levels 14, 15 and 16 leave every pixel as it is.
    for (int level : {14, 15, 16})
        for (int p = 0; p < 65536; p += 37) ASSERT_EQ(Shade((uint16_t)p, level), p) << level;
    // Level 0 multiplies each part by 0x1800 / 65536.
    EXPECT_EQ(Fields565(Shade(0xFFFF, 0)), (std::vector<int>{2, 5, 2}));
    // Darkening never raises a channel and keeps levels in order.
    for (int p = 0; p < 65536; p += 97) {
        std::vector<int> prev = Fields565((uint16_t)p);
        for (int level = 13; level >= 0; level--) {
            std::vector<int> f = Fields565(Shade((uint16_t)p, level));
            for (int c = 0; c < 3; c++) ASSERT_LE(f[c], prev[c]) << p << " " << level;
            prev = f;
        }
    }
}

TEST_F(HiColour, PixelShadeTableLightensTowardsFogColourB) {
    Set565();
    pal_SetFogColourB(255, 255, 255);
    pal_BuildHighColourTables();
    EXPECT_EQ(Fields565(Shade(0x0000, 17)), (std::vector<int>{1, 3, 1}));
    EXPECT_EQ(Fields565(Shade(0x0000, 24)), (std::vector<int>{15, 31, 15}));
    EXPECT_EQ(Fields565(Shade(0x0000, 31)), (std::vector<int>{29, 59, 29}));
    for (int level = 17; level < 32; level++) EXPECT_EQ(Fields565(Shade(0xFFFF, level)), (std::vector<int>{30, 62, 30}));

    pal_SetFogColourB(0, 0, 0);
    pal_BuildHighColourTables();
    for (int level = 17; level < 32; level++) EXPECT_EQ(Fields565(Shade(0x0000, level)), (std::vector<int>{1, 2, 1}));

    // 5-5-5: the table is made for it too; lightening never lowers a channel.
    Set555();
    pal_SetFogColourB(255, 255, 255);
    pal_BuildHighColourTables();
    for (int p = 0; p < 32768; p += 41) {
        uint16_t q = Shade((uint16_t)p, 31);
        EXPECT_EQ(q & 0x8000, 0);
        EXPECT_GE(q >> 10, std::min(p >> 10, 30));
        EXPECT_GE((q >> 5) & 31, std::min((p >> 5) & 31, 30));
    }
}

TEST_F(HiColour, OtherLayoutsGetAnUnchangedShadeTable) {
    vid_State.redMask = 0xFF0000;
    vid_State.greenMask = 0x00FF00;
    vid_State.blueMask = 0x0000FF;
    pal_BuildHighColourTables();
    for (int level = 0; level < 32; level++) EXPECT_EQ(Shade(0x1234, level), 0x1234);
}

TEST_F(HiColour, ConversionFrom555AndRamp) {
    Set565();
    pal_BuildHighColourTables();
    for (uint32_t p = 0; p < 32768; p++) {
        uint32_t r = p >> 10, g = (p >> 5) & 31, b = p & 31;
        ASSERT_EQ(pal_Hc.rgb555Low[p & 0xFF] + pal_Hc.rgb555High[p >> 8], (r << 11) | (g << 6) | b) << p;
    }
    EXPECT_EQ(pal_Hc.ramp[0], 0u);
    EXPECT_EQ(pal_Hc.ramp[255], 0x07E0u);
    for (int i = 1; i < 256; i++) EXPECT_GE(pal_Hc.ramp[i], pal_Hc.ramp[i - 1]);

    vid_State.redMask = 0xFF0000;
    vid_State.greenMask = 0x00FF00;
    vid_State.blueMask = 0x0000FF;
    pal_BuildHighColourTables();
    EXPECT_EQ(pal_Hc.rgb555Low[0xFF] + pal_Hc.rgb555High[0x7F], 0xF8F8F8u);
}

TEST_F(HiColour, PaletteAndLightTables) {
    Set565();
    DistinctPalette(pal_Current.palette);
    pal_SetFogColourA(0, 0, 255);
    pal_SetFogColourB(255, 255, 255);
    pal_SelectFogColour(0);
    pal_BuildHighColourTables();
    EXPECT_EQ(pal_Hc.fogSelected, 0);  // the selection survives the rebuild
    for (int n = 0; n < 256; n++) {
        const uint8_t* e = pal_Current.palette + n * 3;
        ASSERT_EQ(pal_Hc.palette16[n], pal_RgbTo16(e[0], e[1], e[2]));
        EXPECT_EQ(pal_Hc.light[n], 0);  // row 0 is black
        EXPECT_GE(pal_Hc.haze[31 * 256 + n] & 31, 30);  // the haze rows end near blue
    }
    // Row 16 is the palette itself, within a step of the linear round trip.
    for (int n = 0; n < 256; n++) {
        std::vector<int> a = Fields565(pal_Hc.light[16 * 256 + n]), b = Fields565((uint16_t)pal_Hc.palette16[n]);
        for (int c = 0; c < 3; c++) EXPECT_LE(std::abs(a[c] - b[c]), 1) << n;
    }
}

TEST_F(HiColour, TintViewBlendsTheClipBox) {
    Set565();
    uint16_t pixels[4 * 3];
    for (int i = 0; i < 12; i++) pixels[i] = (uint16_t)(0x1234 * (i + 1));
    uint16_t before[12];
    memcpy(before, pixels, sizeof pixels);
    _DRAW_SURFACE saved = draw_CurrentSurface;
    draw_CurrentSurface = _DRAW_SURFACE{};
    draw_CurrentSurface.base = reinterpret_cast<uint8_t*>(pixels);
    draw_CurrentSurface.width = 4;
    draw_CurrentSurface.height = 3;
    draw_CurrentSurface.bitsPerPixel = 16;
    draw_CurrentSurface.bytesPerPixel = 2;
    draw_CurrentSurface.bytesPerRow = 8;
    draw_CurrentSurface.clipX1 = 1;
    draw_CurrentSurface.clipY1 = 1;
    draw_CurrentSurface.clipX2 = 3;
    draw_CurrentSurface.clipY2 = 3;

    pal_TintView16(255, 128, 0, 255);  // level 255: the tint colour
    for (int y = 0; y < 3; y++)
        for (int x = 0; x < 4; x++) {
            bool inside = x >= 1 && x < 3 && y >= 1;
            EXPECT_EQ(pixels[y * 4 + x], inside ? pal_RgbTo16(255, 128, 0) : before[y * 4 + x]) << x << "," << y;
        }
    memcpy(pixels, before, sizeof pixels);
    pal_TintView16(0, 0, 0, 0);  // level 0: each part of a field a step darker at most
    for (int i = 0; i < 12; i++) {
        std::vector<int> a = Fields565(pixels[i]), b = Fields565(before[i]);
        for (int c = 0; c < 3; c++) {
            EXPECT_LE(a[c], b[c]);
            EXPECT_GE(a[c], b[c] - (c == 1 ? 9 : 1));  // green lies in both bytes
        }
    }
    draw_CurrentSurface.bitsPerPixel = 8;  // other depths are left alone
    memcpy(pixels, before, sizeof pixels);
    pal_TintView16(255, 255, 255, 255);
    EXPECT_EQ(memcmp(pixels, before, sizeof pixels), 0);
    draw_CurrentSurface = saved;
}

}  // namespace
