// The HUD tests' surface: a 256 x 256 surface onto which the float line
// space maps one panel pixel to one surface pixel, with the player object,
// the aircraft record and the drawing state put back after each test.
#pragma once
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "cockpit/hud.h"
#include "cockpit/hud_draw.h"
#include "cockpit/mfd.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "net/client.h"
#include "render/view.h"
#include "shell/runner.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/level.h"

constexpr uint8_t kBack = 0xEE;
constexpr uint8_t kInk = 0xC8;

class HudTest : public ::testing::Test {
protected:
    std::vector<uint8_t> pixels = std::vector<uint8_t>(256 * 256, kBack);
    _DRAW_SURFACE savedSurface{};
    DrawColourSlot savedSlots[DRAW_COLOUR_SLOTS];
    std::unique_ptr<_PLANE_JET> jet = std::make_unique<_PLANE_JET>();
    ObjectRecord player{};
    _PLANE* savedPlane = nullptr;
    ObjectRecord* savedPlayer = nullptr;
    uint32_t savedFlags = 0;
    int32_t savedLocked = 0;

    void SetUp() override {
        savedSurface = draw_CurrentSurface;
        memcpy(savedSlots, draw_Context.slots, sizeof savedSlots);
        savedPlane = plane_Current;
        savedPlayer = Client_PlayerObject;
        savedFlags = ViewFlags;
        savedLocked = otw_State.locked;
        _DRAW_SURFACE s;
        draw_InitSurfaceDesc(&s, pixels.data(), 256, 256, 1);
        s.xScale = 204;
        s.centreXF = s.centreYF = 128 * 128;
        draw_SelectSurface(&s);
        const int32_t side = 256 * 128;
        draw_SetFloatClipWindow({0, 0}, {side, 0}, {side, side}, {0, side});
        HudScaleX = HudScaleY = 65536;
        hud_CentreFixed();
        HudColour = 16;
        Ink();
        hud_ShapeFractional = 0;
        hud_LineSolid = 1;
        plane_Current = &jet->head;
        Client_PlayerObject = &player;
        weapon_CurrentId = -1;
        app_TickCount = 1000;
    }
    void TearDown() override {
        draw_CurrentSurface = savedSurface;
        memcpy(draw_Context.slots, savedSlots, sizeof savedSlots);
        plane_Current = savedPlane;
        Client_PlayerObject = savedPlayer;
        ViewFlags = savedFlags;
        otw_State.locked = savedLocked;
        view_LookYaw = view_LookPitch = 0;
        HudShownFlag = 1;
        level_Night = 0;
        hud_ShapeFractional = 0;
        hud_SpeedOver = hud_SpeedBlinkShown = 0;
    }
    // Every HUD slot draws the one ink index.
    static void Ink() {
        for (int32_t s = 16; s <= 22; s++) {
            draw_Context.slots[s].handle = (uint8_t)s;
            draw_Context.slots[s].index = kInk;
        }
    }
    bool Lit(int32_t x, int32_t y) const { return pixels[(size_t)y * 256 + x] != kBack; }
    int32_t LitCount() const {
        int32_t n = 0;
        for (uint8_t p : pixels) n += p != kBack;
        return n;
    }
    void Clear() { std::fill(pixels.begin(), pixels.end(), kBack); }
};

