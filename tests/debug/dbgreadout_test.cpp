// Developer readout pages and their switches.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "dbgpage_fixture.h"
#include "debug/console.h"
#include "debug/dbgreadout.h"
#include "input/ffb.h"
#include "sim/obj.h"
#include "sim/weapon.h"

namespace {

using ReadoutTest = PageTest;

TEST_F(ReadoutTest, PositionPageWithoutPlayerDrawsAndClearsNothing) {
    Client_PlayerObject = nullptr;
    dbg_DrawPositionPage();
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(pixels, std::vector<uint8_t>(320 * 240, kBack));
}

TEST_F(ReadoutTest, PositionPageClearsOnlyTheSelectedFrame) {
    ObjectRecord player{};
    player.position = FixWorldPos{(3u << 25) + (100u << 12), 5000u << 12, (7u << 25) + (20u << 12)};
    player.angles = FixAngles{0x40000, 0x20000, 0};
    Client_PlayerObject = &player;
    // A 320 x 240 frame of 16 bits (153,600 bytes) inside a larger block:
    // the bytes past the frame stay as they were.
    std::vector<uint8_t> block(300000, 0x55);
    _DRAW_SURFACE s;
    draw_InitSurfaceDesc(&s, block.data(), 320, 240, 2);
    draw_SelectSurface(&s);
    dbg_DrawPositionPage();
    EXPECT_EQ(block[0], 0);
    EXPECT_EQ(block[320 * 240 * 2 - 1], 0);
    EXPECT_EQ(block[320 * 240 * 2], 0x55);
    EXPECT_EQ(block.back(), 0x55);
    ASSERT_GE(lines.size(), 4u);
    EXPECT_EQ(lines[0].text, "POSITION = x=24676feet, y=5000feet, z=57364feet");
    EXPECT_EQ(lines[1].text, "ORIENTATION = yaw=4, pitch=2, roll=0");
    EXPECT_EQ(lines[2].text, "TILE = (3, 7)");
    EXPECT_EQ(lines[3].text, "POSITION IN TILE = (100, 20)");
    EXPECT_EQ(lines[0].x, 10);
    EXPECT_EQ(lines[0].y, 10);
    EXPECT_EQ(lines[1].y, 26);
}

TEST_F(ReadoutTest, ObjectListsGoOnInTheClientColumn) {
    // 40 server objects overflow the column (10 + 16 n passes 464 at n = 29).
    std::vector<ObjectRecord> server(40), client(3);
    for (size_t i = 0; i + 1 < server.size(); i++) server[i].next = &server[i + 1];
    for (size_t i = 0; i + 1 < client.size(); i++) client[i].next = &client[i + 1];
    server[0].flags = OBJ_FLAG_STATIC | OBJ_FLAG_ALLIANCE_A | 0x80;
    client[1].flags = OBJ_FLAG_PLAYER | OBJ_FLAG_WINGMAN;
    Server.objects = server.data();
    ObjectRecord* savedKnown = Client.knownObjects;
    Client.knownObjects = client.data();
    dbg_DrawObjectLists();
    Client.knownObjects = savedKnown;
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0].text, "SERVER");
    EXPECT_EQ(lines[1].text, "0 : DCB STATIC ENEMY NOAI ");
    const PageLine* c = Find("CLIENT");
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->x, 320);
    EXPECT_EQ(c->y, 10);
    const PageLine& last = lines.back();
    EXPECT_EQ(last.text, "2 : DCB ");
    for (const PageLine& l : lines) EXPECT_LE(l.y, 464) << l.text;
    EXPECT_TRUE(Has("1 : DCB PLAYER WINGMAN "));
}

TEST_F(ReadoutTest, TargetListMarksTheFirstBitThatIsSet) {
    ObjectRecord a{}, b{}, c{};
    const WeaponTargetEntry saved[3] = {weapon_TargetList[0], weapon_TargetList[1], weapon_TargetList[2]};
    const int32_t savedCount = weapon_TargetCount;
    weapon_TargetList[0] = WeaponTargetEntry{&a, 1 | 2};
    weapon_TargetList[1] = WeaponTargetEntry{&b, 4 | 8};
    weapon_TargetList[2] = WeaponTargetEntry{&c, 0};
    weapon_TargetCount = 3;
    dbg_DrawTargetLists();
    weapon_TargetCount = savedCount;
    for (int i = 0; i < 3; i++) weapon_TargetList[i] = saved[i];
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0].text, "CURRENT TARGET : NONE");
    EXPECT_EQ(lines[2].text, "Target List:");
    auto ends = [](const std::string& s, const std::string& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    };
    EXPECT_TRUE(ends(lines[3].text, " (GPS)")) << lines[3].text;
    EXPECT_TRUE(ends(lines[4].text, " (SAM)")) << lines[4].text;
    EXPECT_EQ(lines[5].text.find('('), std::string::npos) << lines[5].text;
}

TEST_F(ReadoutTest, FeedbackPageShowsScalesAndValuesInDegreesOrPercent) {
    const FfbSetting savedYaw = ffb_SettingsTable[FFB_YAW], savedLevel = ffb_SettingsTable[FFB_LEVEL];
    float saved[FFB_CHANNEL_COUNT];
    memcpy(saved, ffb_ForceValues, sizeof saved);
    ffb_SettingsTable[FFB_YAW].scale = 0.5f;
    ffb_SettingsTable[FFB_LEVEL].scale = 0.25f;
    ffb_ForceValues[FFB_CH_YAW] = 12.0f;
    ffb_ForceValues[FFB_CH_LEVEL] = 0.75f;
    dbg_DrawFeedbackPage();
    ffb_SettingsTable[FFB_YAW] = savedYaw;
    ffb_SettingsTable[FFB_LEVEL] = savedLevel;
    memcpy(ffb_ForceValues, saved, sizeof saved);
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0].text, "Yaw = 50.00%  (12.00 degrees)");
    EXPECT_EQ(lines[5].text, "Level = 25.00%  (75.00%)");
    EXPECT_EQ(lines[8].text.rfind("Ground Friction = ", 0), 0u);
    EXPECT_EQ(lines[8].y, 10 + 8 * 16);
}

TEST_F(ReadoutTest, DeveloperWordsSwitchThePagesTheFrameDraws) {
    dbg_ReadoutPages = 0;
    dbg_ReadoutFrame();
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(con_Execute("page locale"), 1);
    EXPECT_EQ(con_Execute("PAGE TIMING"), 1);
    EXPECT_EQ(dbg_TimingPageShown, 1);
    dbg_ReadoutFrame();
    EXPECT_NE(Find("locale = "), nullptr);
    EXPECT_NE(Find("TICKS = "), nullptr);
    lines.clear();
    con_Execute("page locale");
    con_Execute("page timing");
    EXPECT_EQ(dbg_TimingPageShown, 0);
    dbg_ReadoutFrame();
    EXPECT_TRUE(lines.empty());
    EXPECT_EQ(con_Execute("page nothing"), 0);
}

}  // namespace

namespace {

// Stored images of the readout pages on the 320 x 240 surface, drawn over
// a fixed state: a player with a target, two server objects, fixed force
// values. A change meant to alter a page prints its new hash.
TEST_F(ReadoutTest, StoredImages) {
    ObjectRecord player{}, target{}, server[2]{};
    player.position = FixWorldPos{3u << 25, 2000u << 12, 5u << 25};
    player.target = &target;
    Client_PlayerObject = &player;
    server[0].next = &server[1];
    server[1].flags = OBJ_FLAG_PLAYER;
    Server.objects = server;
    float saved[FFB_CHANNEL_COUNT];
    memcpy(saved, ffb_ForceValues, sizeof saved);
    for (float& v : ffb_ForceValues) v = 0.5f;
    FfbSetting savedTable[FFB_SETTING_COUNT];
    memcpy(savedTable, ffb_SettingsTable, sizeof savedTable);
    memcpy(ffb_SettingsTable, ffb_SettingsDefaults, sizeof savedTable);
    CheckStoredImages({
        {"position", dbg_DrawPositionPage, 0x687314b69740e912ull},
        {"objects", dbg_DrawObjectLists, 0x6231963faeb14b2dull},
        {"feedback", dbg_DrawFeedbackPage, 0xbcdf75f9cdf9fbd6ull},
    });
    memcpy(ffb_ForceValues, saved, sizeof saved);
    memcpy(ffb_SettingsTable, savedTable, sizeof savedTable);
}

}  // namespace
