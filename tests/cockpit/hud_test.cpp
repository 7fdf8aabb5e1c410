// The HUD: visibility of the frame draw, colour levels, shapes and the
// readouts' texts, drawn on a 256 x 256 surface onto which the float line
// space maps one panel pixel to one surface pixel.
#include <gtest/gtest.h>

#include "hud_fixture.h"

namespace {

// The whole frame draw with the camera on the player's eye: the HUD panel
// lands on the test surface.
TEST_F(HudTest, FrameDrawVisibility) {
    const int32_t deg91 = (int32_t)(0x2000000LL * 91 / 360), deg89 = (int32_t)(0x2000000LL * 89 / 360);
    struct Case {
        uint8_t shown;
        uint32_t flags;
        int32_t lookYaw, lookPitch, cameraHeading;
        bool drawn;
    } cases[] = {
        {1, 4, 0, 0, 0, true},
        {0, 4, 0, 0, 0, false},           // the HUD byte off: nothing at all
        {1, 4, deg91, 0, 0, false},       // looking 91 degrees to the side
        {1, 4, -deg91, 0, 0, false},
        {1, 4, 0, deg91, 0, false},       // or up
        {1, 4, deg89, 0, 0, true},
        {1, 0x10, 0, 0, 0, false},        // a view without the HUD bits
        {1, 1, 0, 0, 0, true},
        {1, 4 | 2, 0, 0, deg91, true},    // tracking without a target: the look angles count
    };
    view_State.position = player.position = {0x40000000u, 0x100000u, 0x40000000u};
    view_State.angles = {0, 0, 0};
    fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
    otw_State.locked = 1;
    for (const Case& c : cases) {
        Clear();
        HudShownFlag = c.shown;
        ViewFlags = c.flags;
        view_LookYaw = c.lookYaw;
        view_LookPitch = c.lookPitch;
        view_State.angles.heading = c.cameraHeading;
        mfd_EnlargedFlag = 1;
        hud_FrameDraw();
        Ink();
        EXPECT_EQ(LitCount() > 0, c.drawn) << (int)c.shown << " " << c.flags << " " << c.lookYaw;
        const bool away = c.shown && (c.lookYaw == deg91 || c.lookYaw == -deg91 || c.lookPitch == deg91);
        EXPECT_EQ(mfd_EnlargedFlag, away ? 0 : 1);
    }
    // Tracking a target: the camera turned 91 degrees from the nose hides it.
    ObjectRecord target{};
    player.target = &target;
    Clear();
    ViewFlags = 4 | 2;
    view_LookYaw = 0;
    view_State.angles.heading = deg91;
    hud_FrameDraw();
    EXPECT_EQ(LitCount(), 0);
    EXPECT_EQ(mfd_EnlargedFlag, 0);
    player.target = nullptr;
    // The frame's surface comes back whole.
    EXPECT_EQ(draw_CurrentSurface.base, pixels.data());
    EXPECT_EQ(draw_CurrentSurface.xScale, 204);
}

TEST_F(HudTest, ColourLevelsNightAndDayStopAtTheEnds) {
    struct Case {
        int32_t night, day, nightLevel;
        uint8_t colour;
    } cases[] = {{0, 3, 5, 19}, {1, 3, 5, 21}, {0, -2, 0, 16}, {1, 0, 9, 22}, {2, 6, 0, 22}};
    for (const Case& c : cases) {
        level_Night = c.night;
        hud_ShadeIndex[0] = c.day;
        hud_ShadeIndex[1] = c.nightLevel;
        hud_ColourSelect();
        EXPECT_EQ(HudColour, c.colour) << c.night << " " << c.day;
        EXPECT_EQ(hud_ColourMode, c.night == 1 ? 1 : 0);
    }
    hud_ShadeIndex[0] = 0;
    hud_ShadeIndex[1] = 6;
}

TEST_F(HudTest, BoresightCrossFiftyUnitsAboveTheCentre) {
    hud_ShapeDraw(HudShapeBoresightCross, {HudCentrePixel.x, HudCentrePixel.y - 50}, 0, HudColour);
    const int32_t cx = 128, cy = 78;
    for (int32_t d = 2; d <= 10; d++) {
        EXPECT_TRUE(Lit(cx, cy + d) && Lit(cx, cy - d) && Lit(cx + d, cy) && Lit(cx - d, cy)) << d;
    }
    EXPECT_FALSE(Lit(cx, cy));
    EXPECT_FALSE(Lit(cx + 1, cy) || Lit(cx, cy + 1) || Lit(cx, cy + 11) || Lit(cx - 11, cy));
    EXPECT_EQ(LitCount(), 4 * 9);
}

TEST_F(HudTest, ShapeOpsPenAndMultipliers) {
    // A shape starting with a line continues from where the last one left the pen.
    const HudShape move[] = {{0, 10, 10, 0}, {2, 0, 0, 0}};
    const HudShape line[] = {{1, 0, 0, 0}, {2, 0, 0, 0}};
    hud_ShapeDraw(move, {100, 100}, 0, HudColour);
    EXPECT_EQ(LitCount(), 0);
    hud_ShapeDraw(line, {100, 100}, 0, HudColour);
    EXPECT_TRUE(Lit(105, 105));
    EXPECT_TRUE(Lit(100, 100) && Lit(110, 110));

    // Unknown ops are skipped; the rest of the shape is drawn.
    Clear();
    const HudShape odd[] = {{0, 0, 0, 0}, {7, 50, 50, 0}, {-1, 20, 20, 0}, {1, 10, 0, 0}, {2, 0, 0, 0}};
    hud_ShapeDraw(odd, {100, 100}, 0, HudColour);
    EXPECT_TRUE(Lit(100, 100) && Lit(110, 100));
    EXPECT_EQ(LitCount(), 11);

    // Integer multiplier 6; fractional 0x8000 halves.
    const HudShape bar[] = {{0, 0, 0, 0}, {1, 20, 0, 0}, {2, 0, 0, 0}};
    struct Case {
        int32_t fractional, multiplier, end;
    } cases[] = {{0, 0, 120}, {0, 6, 220}, {1, 0x8000, 110}, {1, 0x20000, 140}};
    for (const Case& c : cases) {
        Clear();
        hud_ShapeFractional = c.fractional;
        hud_ShapeDraw(bar, {100, 30}, c.multiplier, HudColour);
        EXPECT_TRUE(Lit(c.end, 30)) << c.multiplier;
        EXPECT_FALSE(Lit(c.end + 1, 30)) << c.multiplier;
    }
}

TEST_F(HudTest, CrossGrowsByTwoUnitsAndPointsOnScreenIncludeEdges) {
    // Half sizes of 10 pixels: the X runs corner to corner of a 12-pixel box.
    hud_CrossDraw({100 * 128, 100 * 128}, 10 * 128, 10 * 128);
    EXPECT_TRUE(Lit(88, 88) && Lit(112, 112) && Lit(112, 88) && Lit(88, 112));
    EXPECT_FALSE(Lit(87, 87) || Lit(113, 113) || Lit(100, 88));
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    struct Case {
        int32_t x, y, on;
    } cases[] = {{s.clipX1F, s.clipY1F, 1}, {s.clipX2F, s.clipY2F, 1}, {s.clipX1F - 1, 100, 0},
                 {100, s.clipY2F + 1, 0}};
    for (const Case& c : cases) EXPECT_EQ(hud_PointOnScreen({c.x, c.y}), c.on) << c.x << " " << c.y;
}

TEST_F(HudTest, AirspeedBlinksAboveLimitAndCapsAt900) {
    jet->state.knots = 791.0f;
    hud_AirspeedTape();  // the timer starts: nothing drawn
    EXPECT_EQ(LitCount(), 0);
    app_TickCount = 1008;
    hud_AirspeedTape();
    EXPECT_EQ(LitCount(), 0);
    app_TickCount = 1009;  // more than 8 ticks: shown
    hud_AirspeedTape();
    EXPECT_GT(LitCount(), 0);
    EXPECT_STREQ(hud_Scratch[0], "791");
    jet->state.knots = 950.0f;
    hud_AirspeedTape();
    EXPECT_STREQ(hud_Scratch[0], "900");
    Clear();
    app_TickCount = 1018;  // hidden again
    hud_AirspeedTape();
    EXPECT_EQ(LitCount(), 0);
    // Back at 790 the blink state is cleared and the tape shows at once.
    jet->state.knots = 790.0f;
    hud_AirspeedTape();
    EXPECT_EQ(hud_SpeedOver, 0);
    EXPECT_STREQ(hud_Scratch[0], "790");
    EXPECT_GT(LitCount(), 0);
}

TEST_F(HudTest, AltitudeTexts) {
    struct Case {
        int32_t feet;
        const char* text;
    } cases[] = {{-50, "  ,000"}, {0, "  ,000"}, {999, "  ,990"}, {12345, "12,340"}, {99999, "99,990"},
                 {150000, "99,990"}};
    char out[HUD_SCRATCH_SIZE];
    for (const Case& c : cases) {
        hud_AltitudeText(c.feet, out, sizeof out);
        EXPECT_STREQ(out, c.text) << c.feet;
    }
    // Below the ground: the box shows 0; the ticks below zero are labelled
    // with a minus.
    player.position.y = (uint32_t)-4096 * 100;
    hud_AltitudeTape();
    EXPECT_STREQ(hud_Scratch[0], "  ,000");
    EXPECT_STREQ(hud_Scratch[1], "-00,5");
}

TEST_F(HudTest, TimeToGo) {
    struct Case {
        int32_t distance;
        float speed;
        const char* text;
    } cases[] = {{10, 0.0f, "999:99"}, {1, 60.0f, "001:00"}, {10, 450.0f, "001:20"}, {100, 5.0f, "999:99"},
                 {0, 300.0f, "000:00"}};
    char out[HUD_SCRATCH_SIZE];
    for (const Case& c : cases) {
        hud_TimeToGoText(c.distance, c.speed, out, sizeof out);
        EXPECT_STREQ(out, c.text) << c.distance << " " << c.speed;
    }
}

TEST_F(HudTest, HeadingReadoutTruncatesAndWraps) {
    player.angles.heading = 0x2000000 - 0x2000000 / 3600;  // 359.9 degrees
    hud_HeadingTape();
    EXPECT_STREQ(hud_Scratch[0], "359");
    EXPECT_GT(LitCount(), 0);
    player.angles.heading = 0x2000000 * 5 / 360 + 1;  // the tape runs through 0
    hud_HeadingTape();
    EXPECT_STREQ(hud_Scratch[0], "005");
    EXPECT_STREQ(hud_Scratch[1], "01");
}

TEST_F(HudTest, WeaponLineWithoutItsName) {
    weapon_CurrentId = 5;
    weapon_Current = weapon_Types[5];
    weapon_Current.shortText = 1000000;
    hud_WeaponLine();
    EXPECT_STREQ(hud_Scratch[2], "0 ???");
    weapon_CurrentId = -1;
    weapon_Current = _WEAPON_TYPE{};
    weapon_Current.index = -1;
}

TEST_F(HudTest, LabelFormatsTakeOnlyOneTextConversion) {
    struct Case {
        const char* format;
        const char* text;
    } cases[] = {{"ATTACK %s", "ATTACK T1"},  {"<%s>", "<T1>"},  {"%-8s!", "%-8s! T1"},     {"%d KTS", "%d KTS T1"},
                 {"%s %s", "%s %s T1"},       {"100%% %s", "100% T1"},   {"PLAIN", "PLAIN T1"},
                 {"%n %s", "%n %s T1"}};
    char out[HUD_SCRATCH_SIZE];
    for (const Case& c : cases) {
        hud_InsertText(c.format, "T1", out, sizeof out);
        EXPECT_STREQ(out, c.text) << c.format;
    }
}

}  // namespace
