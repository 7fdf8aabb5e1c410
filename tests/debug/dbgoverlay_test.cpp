// The developer overlay pass, the weapon overlay and the bomb markers drawn
// on an 8-bit surface whose colour slot n writes the value 10 + n.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "base/file_fixture.h"
#include "base/filetable.h"
#include "base/text.h"
#include "base/units.h"
#include "debug/console.h"
#include "debug/dbgobj.h"
#include "debug/dbgoverlay.h"
#include "display/draw3d.h"
#include "display/draw_canvas.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "mkdata.h"
#include "net/client.h"
#include "net/dcbpool.h"
#include "render/render.h"
#include "render/view.h"
#include "shell/appstr.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"

namespace {

constexpr uint32_t kEye = 4096;
constexpr uint32_t kValue = 10;  // + the colour slot

class DbgOverlayTest : public FileEnv {
protected:
    std::vector<uint8_t> image;
    BitmapFont font{};
    _PLANE plane{};
    ObjectRecord player{}, target{};

    void SetUp() override {
        FileEnv::SetUp();
        int32_t w = 0, h = 0;
        image = mkdata_FontImage(8, false, &w, &h);
        font.image = image.data();
        font.width = w;
        font.height = h;
        ASSERT_EQ(font_ScanGrid(&font), 0);
        level_Fonts[0] = level_Fonts[3] = &font;
        for (int s = 0; s < 16; s++) SetSlot(s, (uint8_t)(kValue + s), 0, 0);
        ViewNearDistance = 1 << 7;
        ViewFlags = 0;
        view_State = ViewState{};
        view_State.position = {kEye, kEye, kEye};
        fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
        level_GameMode = GameModeFlags{1, 1, 1, 1, 0};
        fix_WorldToFloat(&view_State.position, &plane.position);
        math_Mat33Identity(&plane.orientation);
    }
    void TearDown() override {
        con_ClearToggles();
        memset(dbg_OverlaySelect, 0, sizeof dbg_OverlaySelect);
        dbg_BombDebugOff();
        level_Fonts[0] = level_Fonts[3] = nullptr;
        level_GameMode = GameModeFlags{};
        view_State = ViewState{};
        plane_Current = nullptr;
        Client_PlayerObject = nullptr;
        Client.sessionLost = 0;
        weapon_CurrentId = -1;
        weapon_Current = _WEAPON_TYPE{};
        weapon_LockState = 0;
        render_FrameCounter = 0;
        app_StringFileFree();
        draw_CurrentSurface = _DRAW_SURFACE{};
        FileEnv::TearDown();
    }
    static int Count(Canvas& c, uint32_t slot) {
        int n = 0;
        for (const auto& [x, y] : c.ChangedPixels()) n += c.Get(x, y) == kValue + slot;
        return n;
    }
    // The top-left of what was drawn.
    static std::pair<int, int> Corner(Canvas& c) {
        int x0 = 1 << 30, y0 = 1 << 30;
        for (const auto& [x, y] : c.ChangedPixels()) x0 = std::min(x0, x), y0 = std::min(y0, y);
        return {x0, y0};
    }
    // The offset of a drawing from the same line drawn at (0, 0).
    template <class Draw>
    static std::pair<int, int> Offset(int width, int height, const char* text, Draw draw) {
        Canvas ref(width, height, 1);
        dbg_ShadowLine(dbg_SmallFont(), 0, 0, DBG_CYAN, "%s", text);
        const auto [rx, ry] = Corner(ref);
        Canvas c(width, height, 1);
        draw();
        const auto [x, y] = Corner(c);
        return {x - rx, y - ry};
    }
    static FixWorldPos Ahead(int32_t x, int32_t y, int32_t z) {
        return {kEye + (uint32_t)x, kEye + (uint32_t)y, kEye + (uint32_t)z};
    }
    void DrawAll(void) {
        dbg_OverlayFrame();
        dbg_DrawObjectLabels();
        dbg_DrawBombDebug();
    }
};

TEST_F(DbgOverlayTest, EverySwitchOffDrawsNothingAndChangesNothing) {
    Canvas c(640, 480, 1);
    // Plenty to draw, were any switch on.
    plane_Current = &plane;
    plane.flags = PLANE_SIGHT_WANTED | PLANE_SIGHT_WANTED2;
    Client_PlayerObject = &player;
    player.target = &target;
    target.position = Ahead(0, 0, 100000);
    weapon_CurrentId = 1;
    weapon_Current.kind = WEAPON_BIT25 | WEAPON_BOMB;
    weapon_LockState = 3;
    render_FrameRate = 40 << 16;
    hw3d_Active = 0;
    const FixWorldPos p = Ahead(0, 0, 50000);
    dbg_BombPathAdd(5, &p, &p);
    std::vector<int32_t> toggles(con_ToggleBlock, con_ToggleBlock + CON_TOGGLE_WORDS);
    DrawAll();
    EXPECT_EQ(c.Count(), 0);
    EXPECT_EQ(std::vector<int32_t>(con_ToggleBlock, con_ToggleBlock + CON_TOGGLE_WORDS), toggles);
    for (uint8_t s : dbg_OverlaySelect) EXPECT_EQ(s, 0);
    EXPECT_EQ(dbg_BombRecording, 0);
    EXPECT_EQ(weapon_LockState, 3);
    EXPECT_EQ(player.target, &target);
}

TEST_F(DbgOverlayTest, FrameRateStaysAtRow380AndTheSessionNoticeScales) {
    ASSERT_EQ(mkdata_WriteAppStrings("."), 0);
    app_StringTable = file_TableLoad("appstr.bin");
    ASSERT_NE(app_StringTable, nullptr);
    const char* notice = file_TableEntryGet(app_StringTable, DBG_SESSION_LOST_TEXT)->text;
    render_FrameRate = 25 << 16;
    char rate[32];
    text_Format("%3.2fp", rate, sizeof rate, render_FrameRate);
    struct Case {
        int width, height, noticeAt;
    } cases[] = {{320, 240, 5}, {640, 480, 10}, {800, 600, 12}, {1024, 768, 15}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.width);
        con_ToggleBlock[CON_FRAME_RATE] = 1;
        EXPECT_EQ(Offset(k.width, k.height < 400 ? 400 : k.height, rate, dbg_OverlayFrame), std::make_pair(10, 380));
        con_ToggleBlock[CON_FRAME_RATE] = 0;
        Client.sessionLost = 1;
        EXPECT_EQ(Offset(k.width, k.height, notice, dbg_OverlayFrame), std::make_pair(k.noticeAt, k.noticeAt));
        Client.sessionLost = 0;
    }
    // Without the item nothing is drawn.
    app_StringFileFree();
    Client.sessionLost = 1;
    Canvas c(640, 480, 1);
    dbg_OverlayFrame();
    EXPECT_EQ(c.Count(), 0);
}

TEST_F(DbgOverlayTest, CardStatisticsNeedAnActiveCard) {
    Canvas c(640, 480, 1);
    con_ToggleBlock[CON_CARD_STATISTICS] = 1;
    hw3d_Active = 0;
    dbg_OverlayFrame();
    EXPECT_EQ(c.Count(), 0);
}

TEST_F(DbgOverlayTest, SeekerBoxAndShootFollowTheLockState) {
    plane_Current = &plane;
    Client_PlayerObject = &player;
    weapon_CurrentId = 1;
    con_ToggleBlock[CON_WEAPON_OVERLAY] = 1;
    struct Case {
        uint32_t kind;
        uint8_t lock;
        int red, yellow;
        bool shoot;
    } cases[] = {
        {WEAPON_BIT25, 0, 0, 0, false},   {WEAPON_BIT25, 1, 0, 1, false}, {WEAPON_BIT25, 2, 1, 0, false},
        {WEAPON_BIT25, 3, 1, 0, true},    {WEAPON_BIT25, 4, 1, 0, true},  {WEAPON_AAM, 1, 0, 0, false},
        {WEAPON_AAM, 3, 0, 0, true},
    };
    // The box is 65 x 33 pixels: its outline.
    const int outline = 2 * 65 + 2 * 31;
    for (const Case& k : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << k.kind << " lock " << (int)k.lock);
        weapon_Current.kind = k.kind;
        weapon_LockState = k.lock;
        Canvas c(640, 480, 1);
        dbg_DrawObjectLabels();
        EXPECT_EQ(Count(c, DBG_RED), k.red * outline);
        EXPECT_EQ(Count(c, DBG_YELLOW), k.yellow * outline);
        EXPECT_EQ(Count(c, DBG_CYAN) > 0, k.shoot);
        // "SHOOT" sits on the middle row, centred.
        if (k.shoot) {
            int minX = 640, maxX = 0;
            for (const auto& [x, y] : c.ChangedPixels())
                if (c.Get(x, y) == kValue + DBG_CYAN) {
                    EXPECT_GE(y, 240);
                    minX = std::min(minX, x), maxX = std::max(maxX, x);
                }
            EXPECT_NEAR((minX + maxX) / 2.0, 320.0, 4.0);
        }
    }
    // A target gets its green box; in a network game nothing is drawn.
    player.target = &target;
    target.position = Ahead(0, 0, 100000);
    {
        Canvas c(640, 480, 1);
        dbg_DrawObjectLabels();
        EXPECT_EQ(Count(c, DBG_GREEN), 2 * 65 + 2 * 47);
    }
    level_GameMode.singlePlayer = 0;
    Canvas c(640, 480, 1);
    dbg_DrawObjectLabels();
    EXPECT_EQ(c.Count(), 0);
    // Behind the eye nothing is drawn either.
    level_GameMode.singlePlayer = 1;
    target.position = {kEye, kEye, kEye - 100000};
    weapon_LockState = 0;
    dbg_DrawObjectLabels();
    EXPECT_EQ(c.Count(), 0);
}

TEST_F(DbgOverlayTest, BombWithoutTargetShowsItsDiamondAndABlinkingMarker) {
    // The bomb is a record of a pool, as the markers find it through its
    // handle.
    std::vector<_COMMON_DCB> records(2);
    DcbPool pool{};
    pool.memory = records.data();
    pool.count = 2;
    pool.size = sizeof(_COMMON_DCB);
    ObjectRecord* bomb = &records[1].object;
    bomb->pool = &pool;
    bomb->serial = 77;
    bomb->position = Ahead(0, 0, 100000);
    dbg_BombDebugOn();
    dbg_BombDebugAdd(bomb);
    bomb->position = Ahead(0, -10000, 100000);  // it fell since its release
    const FixWorldPos release = Ahead(0, 0, 100000);
    for (int32_t frame : {1, 2}) {
        SCOPED_TRACE(frame);
        render_FrameCounter = frame;
        Canvas c(640, 480, 1);
        // The projections of the release point and of the bomb now.
        FixScreenPoint r, m;
        ASSERT_EQ(draw_ProjectPoint3D(&release, &r), 0);
        ASSERT_EQ(draw_ProjectPoint3D(&bomb->position, &m), 0);
        ASSERT_NE(r.y, m.y);
        dbg_DrawBombDebug();
        EXPECT_EQ(Count(c, DBG_RED), 4 * 8);  // the diamond of half-size 8
        EXPECT_EQ(Count(c, DBG_YELLOW) + Count(c, DBG_GREEN), 0) << "no target lines";
        EXPECT_EQ(c.Get(r.x, r.y - 8), kValue + DBG_RED);
        EXPECT_EQ(c.Get(m.x, m.y), kValue + DBG_WHITE);
        const bool plus = frame & 1;
        EXPECT_EQ(c.Get(m.x, m.y - 8) == kValue + DBG_WHITE, plus);
        EXPECT_EQ(c.Get(m.x + 8, m.y + 8) == kValue + DBG_WHITE, !plus);
    }
    // Once the bomb's record is gone from its pool the marker goes; the
    // release diamond stays.
    bomb->serial = 79;
    Canvas c(640, 480, 1);
    dbg_DrawBombDebug();
    EXPECT_EQ(Count(c, DBG_WHITE), 0);
    EXPECT_EQ(Count(c, DBG_RED), 4 * 8);
}

}  // namespace
