// The debug text ring on a memory surface: its lines take the HUD colour,
// not the colour code they were formatted with.
#include <gtest/gtest.h>

#include "../display/draw_canvas.h"
#include "../display/image_fixture.h"
#include "cockpit/hud_draw.h"
#include "debug/dbgtext.h"
#include "display/font.h"
#include "mkdata.h"
#include "shell/runner.h"
#include "world/level.h"

namespace {

class DbgTextDrawTest : public ImageEnv {};

TEST_F(DbgTextDrawTest, LinesTakeTheHudColourOverTheShadow) {
    int32_t w = 0, h = 0;
    std::vector<uint8_t> image = mkdata_FontImage(8, false, &w, &h);
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    ASSERT_EQ(mkdata_PcxWrite(".", "small.pcx", w, h, image.data(), palette), 0);
    BitmapFont font{};
    ASSERT_EQ(font_Load("small.pcx", &font, FONT_LOAD_SCAN), 0);
    BitmapFont* savedFont = level_Fonts[0];
    const uint8_t savedHud = HudColour;
    level_Fonts[0] = &font;

    Canvas c(320, 240, 1);
    for (DrawColourSlot& s : draw_Context.slots) s = DrawColourSlot{};
    draw_Context.slots[5] = {5, 50, 0, 0};     // the formatting colour code
    draw_Context.slots[10] = {10, 77, 0, 0};   // shadow
    draw_Context.slots[18] = {18, 200, 0, 0};  // HUD colour, level 2
    HudColour = 18;
    app_TickCount = 1000;
    dbg_TextInit();
    dbg_TextPrint("WARNING");
    ASSERT_EQ(dbg_TextDraw(), 1);

    int hud = 0, shadow = 0, code = 0;
    for (int y = 0; y < 240; y++)
        for (int x = 0; x < 320; x++) {
            const uint32_t v = c.Get(x, y);
            hud += v == 200;
            shadow += v == 77;
            code += v == 50;
        }
    EXPECT_GT(hud, 20);
    EXPECT_GT(shadow, 0);
    EXPECT_EQ(code, 0);

    level_Fonts[0] = savedFont;
    HudColour = savedHud;
}

}  // namespace
