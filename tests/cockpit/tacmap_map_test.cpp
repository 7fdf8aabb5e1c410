// The tactical map: zoom limits, grid names, the grid around the aircraft,
// panning and recentring, and a draw that leaves the player object alone.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "cockpit/tacmap.h"
#include "cockpit/vcp.h"
#include "display/dsurf.h"
#include "input/ekey.h"
#include "input/inmap.h"
#include "net/client.h"
#include "sim/obj.h"

namespace {

class TacMap : public ::testing::Test {
protected:
    std::vector<uint8_t> pixels = std::vector<uint8_t>(320 * 240, 0);
    _DRAW_SURFACE saved{}, surface{};
    ObjectRecord player{};
    void SetUp() override {
        saved = draw_CurrentSurface;
        draw_InitSurfaceDesc(&surface, pixels.data(), 320, 240, 1);
        surface.widthScale = 65536;  // the 320 x 240 layout at its own size
        draw_SelectSurface(&surface);
        vcp_ColourTable[3] = 0x5A;
        tacmap_MapInitialised = 0;
        // Column 5, row 9, a quarter into both squares.
        player.position = {(5u << 27) + (1u << 25), 0x100000, 0u - ((9u << 27) + (1u << 25))};
        Client_PlayerObject = &player;
        memset(ekey_StateTable, 0, sizeof ekey_StateTable);
        inmap_KeyEvent.keyValue = 0;
    }
    void TearDown() override {
        Client_PlayerObject = nullptr;
        memset(ekey_StateTable, 0, sizeof ekey_StateTable);
        inmap_KeyEvent.keyValue = 0;
        tacmap_MapInitialised = 0;
        vcp_ColourTable[3] = 0;
        draw_SelectSurface(&saved);
    }
};

TEST_F(TacMap, ZoomStepsStopAtTheLimits) {
    const struct {
        int32_t from, fast;
        bool in;
        int32_t to;
    } cases[] = {{131072, 0, true, 133120},       {131072, 1, false, 124928},  {951296, 0, true, 951296},
                 {950000, 1, true, 951296},       {81920, 0, false, 81920},    {84000, 1, false, 81920}};
    for (const auto& c : cases) {
        tacmap_Map.zoom = c.from;
        if (c.in)
            tacmap_ZoomIn(c.fast);
        else
            tacmap_ZoomOut(c.fast);
        EXPECT_EQ(tacmap_Map.zoom, c.to) << c.from << " " << c.fast << " " << c.in;
    }
}

TEST_F(TacMap, ColumnsAndRowsWrapThroughThirtyTwo) {
    const struct {
        int32_t index;
        const char* name;
    } columns[] = {{0, "A"}, {25, "Z"}, {26, "AA"}, {31, "FF"}, {32, "A"}, {-1, "FF"}};
    for (const auto& c : columns) {
        char out[4];
        tacmap_ColumnLetter(c.index, out, sizeof out);
        EXPECT_STREQ(out, c.name) << c.index;
    }
    EXPECT_EQ(tacmap_ColumnOf(31u << 27), 31);
    EXPECT_EQ(tacmap_ColumnOf(32u << 27), 0);  // wraps past the world's edge
    EXPECT_EQ(tacmap_ColumnOf(0xFFFFFFFFu), 31);
    EXPECT_EQ(tacmap_RowOf(0), 0);
    EXPECT_EQ(tacmap_RowOf(0u - (31u << 27)), 31);
    EXPECT_EQ(tacmap_RowOf(1), 31);  // just north of row 0
}

TEST_F(TacMap, TheGridCentresOnTheAircraftAndTheDrawLeavesItInPlace) {
    const FixWorldPos before = player.position;
    tacmap_Draw();
    EXPECT_EQ(tacmap_Map.zoom, TACMAP_ZOOM_START);
    EXPECT_EQ(tacmap_Map.factor, 512);
    EXPECT_EQ(tacmap_Map.cell, 16);
    // The screen centre lies inside the aircraft's square, a quarter in.
    EXPECT_EQ(tacmap_Map.originX + 17 * tacmap_Map.cell, 160 - 4);
    EXPECT_EQ(tacmap_Map.originY + 17 * tacmap_Map.cell, 120 - 4);
    EXPECT_EQ((tacmap_Map.firstColumn + 17) & 31, 5);
    EXPECT_EQ((tacmap_Map.firstRow + 17) & 31, 9);
    EXPECT_EQ(memcmp(&player.position, &before, sizeof before), 0);
    // Grid lines are drawn through the origin's columns.
    EXPECT_EQ(pixels[(size_t)(10 * 320 + 156)], 0x5A);

    // A pan moves the grid; the draw still leaves the object alone.
    ekey_StateTable[0x27] = 1;  // right
    ekey_StateTable[0x26] = 1;  // up
    for (int32_t i = 0; i < 4; i++) tacmap_PanKeys();
    EXPECT_EQ(tacmap_Map.panX, 4 * 0x800000);
    EXPECT_EQ(tacmap_Map.panZ, 4 * 0x800000);
    tacmap_Draw();
    EXPECT_EQ(memcmp(&player.position, &before, sizeof before), 0);
    EXPECT_EQ(tacmap_MapCentre.x, before.x + 4u * 0x800000u);
    EXPECT_EQ(tacmap_Map.originX + 17 * tacmap_Map.cell, 160 - 8);
    // C brings the centre back; the state survives a reopening.
    ekey_StateTable[0x27] = ekey_StateTable[0x26] = 0;
    inmap_KeyEvent.keyValue = 'C';
    tacmap_PanKeys();
    EXPECT_EQ(tacmap_Map.panX, 0);
    EXPECT_EQ(tacmap_Map.panZ, 0);
    tacmap_Map.zoom = 200000;
    tacmap_Draw();
    EXPECT_EQ(tacmap_Map.zoom, 200000);
}

}  // namespace
