// The object renderer's tests: the model tests' world (heaps, files,
// palette, texture table) with a small 8- or 16-bit surface, shade tables
// that keep every colour index apart, a camera at a fixed place looking
// along +z, and a 3D card that records its triangle calls.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "display/dsurf.h"
#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "display/pal.h"
#include "display/rast.h"
#include "render/object.h"
#include "render/render.h"
#include "render/tri.h"
#include "render/view.h"
#include "shell/startup.h"
#include "sim/obj.h"
#include "world/pak_fixture.h"

// One call of the card's triangle entries.
struct CardCall {
    int32_t entry;  // 80 or 84
    _HW3D_VERTEX v[4];
    uint32_t colour, flags;
    const void* texture;
    int32_t word;
};
inline std::vector<CardCall> g_cardCalls;

class ObjectDrawTest : public PakTest {
protected:
    static constexpr int32_t W = 160, H = 120;
    static constexpr uint32_t kCamX = 0x40000000, kCamY = 0x1000000, kCamZ = 0x40000000;
    std::vector<uint8_t> screen;
    _DRAW_SURFACE surface{};
    std::vector<uint8_t> shades;
    std::vector<uint32_t> pal16;
    std::vector<uint16_t> shade16;
    _HW3D_DESCRIPTOR savedCard{};

    void SetUp() override {
        PakTest::SetUp();
        // Row r maps index i to i + r (8 bits) and to r << 8 | i (16 bits):
        // a pixel tells the colour index and, shaded, the level.
        shades.resize(32 * 256);
        for (int32_t r = 0; r < 32; r++)
            for (int32_t i = 0; i < 256; i++) shades[(size_t)(r * 256 + i)] = (uint8_t)(i + r);
        pal16.resize(256);
        for (int32_t i = 0; i < 256; i++) pal16[(size_t)i] = 0x8000u | (uint32_t)i;
        shade16.resize(64 * 256);
        for (int32_t r = 0; r < 64; r++)
            for (int32_t i = 0; i < 256; i++) shade16[(size_t)(r * 256 + i)] = (uint16_t)(r << 8 | i);
        render_ShadeTables[0] = render_ShadeTables[1] = shades.data();
        Surface(1);
        view_State = ViewState{};
        view_State.position = FixWorldPos{kCamX, kCamY, kCamZ};
        fix_SinCosAngles(0, 0, 0, &view_State.viewMatrix);
        view_NearPlane = 0x1000;
        ViewNearDistance = 0x1000;
        render_Tri = RenderTriangleState{};
        render_Object.forceFinest = 0;
        render_Object.hookLevel = 0;
        render_LightDirectionSetC(0, 0, -0x10000);  // from the camera's side
        app_ModeWord = 0;
        savedCard = hw3d_Descriptor;
        g_cardCalls.clear();
    }
    void TearDown() override {
        hw3d_Active = 0;
        hw3d_Descriptor = savedCard;
        draw_SelectSurface(nullptr);
        render_ShadeTables[0] = render_ShadeTables[1] = nullptr;
        pal_DrawTables = PalDrawTables{};
        poly_SetPixelMode(0);
        PakTest::TearDown();
    }

    void Surface(int32_t bytes) {
        screen.assign((size_t)(W * H * bytes), 0);
        draw_InitSurfaceDesc(&surface, screen.data(), W, H, bytes);
        draw_SelectSurface(&surface);
        poly_SetPixelMode(bytes == 1 ? POLY_MODE_8 : POLY_MODE_16);
        poly_SpanState.shadeTable = shades.data();
        poly_SpanState.shadeRows = 32;
        pal_DrawTables.master = pal16.data();
        pal_DrawTables.shade16 = shade16.data();
    }
    uint32_t Pixel(int32_t x, int32_t y) const {
        if (surface.bytesPerPixel == 1) return screen[(size_t)(y * W + x)];
        return (uint32_t)(screen[(size_t)(y * W + x) * 2] | screen[(size_t)(y * W + x) * 2 + 1] << 8);
    }
    int32_t Covered() const {
        int32_t n = 0;
        for (int32_t y = 0; y < H; y++)
            for (int32_t x = 0; x < W; x++) n += Pixel(x, y) != 0;
        return n;
    }

    static void CardTriangle(const void* a, const void* b, const void* c, uint32_t colour, uint32_t flags, int32_t word) {
        CardCall k{80, {}, colour, flags, nullptr, word};
        k.v[0] = *static_cast<const _HW3D_VERTEX*>(a);
        k.v[1] = *static_cast<const _HW3D_VERTEX*>(b);
        k.v[2] = *static_cast<const _HW3D_VERTEX*>(c);
        g_cardCalls.push_back(k);
    }
    static void CardQuad(const void* a, const void* b, const void* c, const void* d, const void* texture, int32_t word) {
        CardCall k{84, {}, 0, 0, texture, word};
        k.v[0] = *static_cast<const _HW3D_VERTEX*>(a);
        k.v[1] = *static_cast<const _HW3D_VERTEX*>(b);
        k.v[2] = *static_cast<const _HW3D_VERTEX*>(c);
        k.v[3] = *static_cast<const _HW3D_VERTEX*>(d);
        g_cardCalls.push_back(k);
    }
    static void CardValue(int32_t value) { g_cardCalls.push_back(CardCall{40, {}, 0, 0, nullptr, value}); }
    void CardOn() {
        hw3d_Descriptor = _HW3D_DESCRIPTOR{};
        hw3d_Descriptor.triangle = CardTriangle;
        hw3d_Descriptor.quad = CardQuad;
        hw3d_Descriptor.setValue = CardValue;
        hw3d_Active = 1;
    }

    // Writes and loads a model file.
    _PAK_HEADER* Load(const MkPak& pak, const std::string& name) {
        Write(name, mkdata_PakBuild(pak));
        return pak_LoadPakEx(name.c_str(), nullptr, nullptr);
    }
    // A cube of half side `half` in flat colours (or the given faces) as a
    // model of one part and the given detail distances.
    static MkPak Cube(int32_t half, std::vector<MkPakFace> faces, std::vector<int32_t> distances = {0x4000000}) {
        MkPak p;
        p.name = "cube";
        p.radius = half * 2;
        p.geometries.push_back(mkdata_PakCube(half, faces, {}));
        for (int32_t d : distances) {
            MkPakModel m;
            m.size = d;
            m.subObjects.push_back({0, 0, {0, 0, 0}});
            p.models.push_back(m);
        }
        return p;
    }
    // An object with the model at (dx, dy, dz) from the camera, in view space.
    ObjectRecord Place(_PAK_HEADER* model, int32_t dx, int32_t dy, int32_t dz) {
        ObjectRecord o{};
        o.state = 1;
        o.model = model;
        o.position = FixWorldPos{kCamX + (uint32_t)dx, kCamY + (uint32_t)dy, kCamZ + (uint32_t)dz};
        render_ObjectToViewSpace(&o);
        return o;
    }
};
