// The flight-end banner: nothing while the mission runs, the outcome's text
// in cyan or red over its black shadow at the picture's top left.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cockpit/game_text_fixture.h"
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "debug/dbgoverlay.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "mkdata.h"
#include "world/level.h"

namespace {

constexpr uint8_t kBack = 200, kBlack = 11, kRed = 33, kCyan = 99;

class HudBanner : public ::testing::Test {
protected:
    std::vector<uint8_t> pixels = std::vector<uint8_t>(320 * 240, kBack);
    std::vector<uint8_t> fontImage;
    FontEntry glyphs[FONT_ENTRIES]{};
    BitmapFont font{};
    TestGameTexts texts{20};
    BitmapFont* const savedFont = level_Fonts[1];
    const _DRAW_SURFACE savedSurface = draw_CurrentSurface;
    DrawColourSlot savedSlots[DRAW_COLOUR_SLOTS];
    void SetUp() override {
        memcpy(savedSlots, draw_Context.slots, sizeof savedSlots);
        int32_t w = 0, h = 0;
        fontImage = mkdata_FontImage(8, false, &w, &h);
        font.image = fontImage.data();
        font.width = w;
        font.height = h;
        font.entries = glyphs;
        ASSERT_EQ(font_ScanGrid(&font), 0);
        level_Fonts[1] = &font;
        texts[16] = "WON";
        texts[17] = "FAILED";
        texts[18] = "LEFT";
        _DRAW_SURFACE s;
        draw_InitSurfaceDesc(&s, pixels.data(), 320, 240, 1);
        draw_SelectSurface(&s);
        for (auto [slot, index] : {std::pair{DBG_BLACK, kBlack}, {DBG_RED, kRed}, {DBG_CYAN, kCyan}}) {
            draw_Context.slots[slot].handle = (uint8_t)slot;
            draw_Context.slots[slot].index = index;
        }
    }
    void TearDown() override {
        tacmap_MissionOutcome = 0;
        level_Fonts[1] = savedFont;
        draw_CurrentSurface = savedSurface;
        memcpy(draw_Context.slots, savedSlots, sizeof savedSlots);
    }
    struct Ink {
        int32_t count = 0, left = 1 << 30, top = 1 << 30;
    };
    Ink Find(uint8_t index) const {
        Ink ink;
        for (int32_t y = 0; y < 240; y++)
            for (int32_t x = 0; x < 320; x++)
                if (pixels[(size_t)y * 320 + x] == index) {
                    ink.count++;
                    ink.left = std::min(ink.left, x);
                    ink.top = std::min(ink.top, y);
                }
        return ink;
    }
    int32_t Drawn() const {
        int32_t n = 0;
        for (uint8_t p : pixels) n += p != kBack;
        return n;
    }
};

TEST_F(HudBanner, OutcomeTextInItsColourOverItsShadow) {
    struct Case {
        int32_t status;
        uint8_t colour, other;
    } cases[] = {{1, kCyan, kRed}, {2, kRed, kCyan}, {3, kRed, kCyan}};
    for (const Case& c : cases) {
        std::fill(pixels.begin(), pixels.end(), kBack);
        tacmap_MissionOutcome = c.status;
        hud_StatusBannerDraw();
        const Ink text = Find(c.colour), shadow = Find(kBlack);
        ASSERT_GT(text.count, 0) << c.status;
        EXPECT_EQ(Find(c.other).count, 0) << c.status;
        // At (10, 6) on a 320-wide picture, the shadow one pixel right and down.
        EXPECT_GE(text.left, 10);
        EXPECT_GE(text.top, 6);
        EXPECT_LT(text.left, 14);
        EXPECT_EQ(shadow.left, text.left + 1) << c.status;
        EXPECT_EQ(shadow.top, text.top + 1) << c.status;
    }
    // Status 2 is text 17: a longer word than status 1's.
    std::fill(pixels.begin(), pixels.end(), kBack);
    tacmap_MissionOutcome = 1;
    hud_StatusBannerDraw();
    const int32_t won = Drawn();
    std::fill(pixels.begin(), pixels.end(), kBack);
    tacmap_MissionOutcome = 2;
    hud_StatusBannerDraw();
    EXPECT_GT(Drawn(), won);
}

TEST_F(HudBanner, NothingWithoutAnOutcomeOrItsText) {
    for (int32_t status : {0, -1, 4, 77}) {
        tacmap_MissionOutcome = status;
        hud_StatusBannerDraw();
        EXPECT_EQ(Drawn(), 0) << status;
    }
    texts[16] = nullptr;
    tacmap_MissionOutcome = 1;
    hud_StatusBannerDraw();
    level_Fonts[1] = nullptr;
    tacmap_MissionOutcome = 2;
    hud_StatusBannerDraw();
    EXPECT_EQ(Drawn(), 0);
}

}  // namespace
