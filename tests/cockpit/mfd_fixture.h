// A square 8-bit test image with the MFD picture state of the cockpit:
// S = 1.0, the starting zoom, the display centre in the middle, a north-up
// display rotation, the player's aircraft and every system working. The
// level's green and dark green and the cockpit colours get their own
// indices. The cockpit's drawing state (surface, colours, scale, centre,
// zoom, rotation) is put back after each test.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/dsurf.h"
#include "net/client.h"
#include "sim/obj.h"
#include "sim/plane.h"

constexpr uint8_t kMfdGreen = 0x5A, kMfdDark = 0x33, kMfdLine = 0x77;

template <int32_t W>
struct MfdSurface : ::testing::Test {
    std::vector<uint8_t> pixels = std::vector<uint8_t>(W * W, 0);
    _DRAW_SURFACE saved{}, surface{};
    ObjectRecord own{};
    // The cockpit's drawing state as the test found it.
    int32_t savedZoom = 0;
    uint8_t savedTable[sizeof vcp_ColourTable];
    int32_t savedScale[2], savedCentre[2];
    DrawColourSlot savedSlots[DRAW_COLOUR_SLOTS];
    FixSinCosBlock savedTrig{};
    void SetUp() override {
        saved = draw_CurrentSurface;
        savedZoom = mfd_MapZoom;
        memcpy(savedTable, vcp_ColourTable, sizeof savedTable);
        memcpy(savedScale, vcp_DisplayScale, sizeof savedScale);
        memcpy(savedCentre, vcp_DisplayCentre, sizeof savedCentre);
        memcpy(savedSlots, draw_Context.slots, sizeof savedSlots);
        savedTrig = vcp_DisplayTrig;
        draw_InitSurfaceDesc(&surface, pixels.data(), W, W, 1);
        draw_SelectSurface(&surface);
        for (uint8_t& c : vcp_ColourTable) c = kMfdLine;
        draw_Context.slots[4].index = kMfdGreen;
        draw_Context.slots[8].index = kMfdDark;
        vcp_DisplayScale[0] = vcp_DisplayScale[1] = 65536;
        vcp_DisplayCentre[0] = vcp_DisplayCentre[1] = W / 2;
        mfd_MapZoom = MFD_ZOOM_MIN;
        vcp_DisplayFactorUpdate();
        mfd_EnlargedFlag = 0;
        fix_SinCosAngles(0, 0, 0, &vcp_DisplayTrig);
        fix_TrigToDouble(&vcp_DisplayTrig);
        own.position = {0x40000000u, 0x100000u, 0x40000000u};
        own.flags = OBJ_FLAG_PLAYER | OBJ_FLAG_ALLIANCE_A;
        Client_PlayerObject = &own;
        for (int32_t& w : plane_SystemsDamage) w = 0;
    }
    void TearDown() override {
        Client_PlayerObject = nullptr;
        for (int32_t& w : plane_SystemsDamage) w = 0;
        mfd_MapZoom = savedZoom;
        memcpy(vcp_ColourTable, savedTable, sizeof savedTable);
        memcpy(vcp_DisplayScale, savedScale, sizeof savedScale);
        memcpy(vcp_DisplayCentre, savedCentre, sizeof savedCentre);
        memcpy(draw_Context.slots, savedSlots, sizeof savedSlots);
        vcp_DisplayTrig = savedTrig;
        vcp_DisplayFactorUpdate();
        mfd_EnlargedFlag = 0;
        draw_SelectSurface(&saved);
    }
    void Clear() { std::fill(pixels.begin(), pixels.end(), 0); }
    // Pixels of the value in the rectangle (x0, y0)-(x1, y1), ends excluded.
    int32_t LitIn(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t v) const {
        int32_t n = 0;
        for (int32_t y = y0; y < y1; y++)
            for (int32_t x = x0; x < x1; x++) n += pixels[(size_t)(y * W + x)] == v;
        return n;
    }
};
