// The 3D-card driver binding with real libraries: the project's software
// card (libhw_pexl.so) and the two faulty ones built for these tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <vector>

#include "display/hw3d.h"
#include "display/hw3d_draw.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/vid.h"
#include "platform/display.h"
#include "platform/dynlib.h"
#include "platform/window.h"

namespace {

struct Presented {
    int32_t count = 0;
    int32_t width = 0, height = 0, pitch = 0, bits = 0;
    std::vector<uint8_t> pixels;
} g_presented;

int32_t TestPresent(const void* pixels, int32_t width, int32_t height, int32_t pitch, int32_t bits) {
    g_presented.count++;
    g_presented.width = width, g_presented.height = height, g_presented.pitch = pitch, g_presented.bits = bits;
    const auto* p = static_cast<const uint8_t*>(pixels);
    g_presented.pixels.assign(p, p + (size_t)pitch * (size_t)height);
    return 0;
}
const _HW3D_HOST kTestHost = {(int32_t)sizeof(_HW3D_HOST), TestPresent};

class Hw3dTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat_LibrarySetDir(KRX_BIN_DIR);
        g_presented = Presented{};
    }
    void TearDown() override {
        hw3d_Unload();
        plat_LibrarySetDir(nullptr);
    }

    // Loads the software card with the test's present routine, enables it
    // and sets a 16-bit mode.
    void CardOn(int32_t width = 640, int32_t height = 480) {
        ASSERT_EQ(hw3d_Load(reinterpret_cast<uintptr_t>(&kTestHost), 0, "hw_pexl.dll"), 0);
        ASSERT_EQ(hw3d_Enable(), 0);
        ASSERT_EQ(hw3d_Descriptor.setMode(width, height, 16, 1), 0);
    }
    static uint16_t PixelAt(int32_t x, int32_t y) {
        uint16_t v;
        memcpy(&v, g_presented.pixels.data() + (size_t)y * g_presented.pitch + (size_t)x * 2, 2);
        return v;
    }
};

_HW3D_VERTEX Vertex(int32_t x, int32_t y, uint32_t colour = 0xFF7F7F7F) {
    _HW3D_VERTEX v{};
    v.x = x * 128, v.y = y * 128, v.weight = 256, v.colour = colour;
    return v;
}

TEST_F(Hw3dTest, LoadsTheSoftwareCardAndBindsEveryEntry) {
    // The settings' name, in any case, stands for libhw_pexl.so beside us.
    ASSERT_EQ(hw3d_Load(0, 0, "HW_Pexl.DLL"), 0);
    EXPECT_EQ(hw3d_Loaded, 1);
    EXPECT_EQ(hw3d_Active, 0);
    const _HW3D_DESCRIPTOR& d = hw3d_Descriptor;
    EXPECT_EQ(d.size, 132);
    const void* entries[] = {
        d.state, (void*)d.enable, (void*)d.setMode, (void*)d.modeTest, (void*)d.disable, (void*)d.control,
        (void*)d.selectPalette, (void*)d.setColour, (void*)d.setValue, (void*)d.viewWindow, (void*)d.screenRect,
        (void*)d.uploadImage, (void*)d.prepareImage, (void*)d.afterSwap, (void*)d.clear, (void*)d.swap,
        (void*)d.setState, (void*)d.triangle, (void*)d.quad, (void*)d.line, (void*)d.shadedRect, (void*)d.lock,
        (void*)d.unlock, (void*)d.readCounters, (void*)d.colourRegister, (void*)d.option, (void*)d.recordList,
    };
    for (size_t i = 0; i < sizeof entries / sizeof entries[0]; i++) EXPECT_NE(entries[i], nullptr) << "entry " << i;

    EXPECT_EQ(d.control(HW3D_CTL_VERSION), 16);
    EXPECT_EQ(d.control(HW3D_CTL_MODE_COUNT), 3);
    EXPECT_STREQ(reinterpret_cast<const char*>(d.control(HW3D_CTL_MODE_NAME + 2)), "Software card, up to 640x480");
    EXPECT_NE(reinterpret_cast<const char*>(d.control(HW3D_CTL_DESCRIPTION)), nullptr);
    EXPECT_NE(reinterpret_cast<const char*>(d.control(HW3D_CTL_TEXT2)), nullptr);
    EXPECT_EQ(d.control(HW3D_CTL_MODE_NAME + 3), 0);  // past the list
    EXPECT_EQ(d.control(HW3D_CTL_NO_CURSOR_CLIP), 0);

    // The program writes the palette pointer into the library's state.
    uint8_t palette[768] = {};
    hw3d_SetStatePalette(palette);
    EXPECT_EQ(static_cast<_HW3D_STATE*>(d.state)->palette, palette);
    EXPECT_NE(static_cast<_HW3D_STATE*>(d.state)->frameAccess, 0);

    hw3d_Unload();
    EXPECT_EQ(hw3d_Loaded, 0);
    EXPECT_EQ(hw3d_Descriptor.control, nullptr);  // nothing of the freed library stays callable
    hw3d_SetStatePalette(palette);                // and nothing is written through it
}

TEST_F(Hw3dTest, LoadFailuresGiveTheirCodes) {
    struct Case {
        const char* name;
        int32_t result;
    } cases[] = {
        {"hw_missing.dll", -2},  // no such file
        {"hw_broken.dll", -3},   // no hw3d_GetDescriptor
        {"hw_refuse.dll", -4},   // the library's own answer
        {"", -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(hw3d_Load(0, 0, c.name), c.result);
        EXPECT_EQ(hw3d_Loaded, 0);
        EXPECT_EQ(hw3d_Descriptor.enable, nullptr);
        EXPECT_EQ(hw3d_Enable(), -1);
    }
    EXPECT_EQ(hw3d_Load(0, 0, nullptr), -2);
}

TEST_F(Hw3dTest, OptionalEntriesAndTheDescriptorHeader) {
    // Held open here, so its counters outlive hw3d_Unload.
    PlatLibrary* lib = plat_LibraryLoad("hw_refuse.dll");
    ASSERT_NE(lib, nullptr);
    auto setAnswer = reinterpret_cast<void (*)(int32_t)>(plat_LibrarySymbol(lib, "hwtest_SetAnswer"));
    auto seenSize = reinterpret_cast<int32_t (*)(void)>(plat_LibrarySymbol(lib, "hwtest_SeenSize"));
    auto seenVersion = reinterpret_cast<int32_t (*)(void)>(plat_LibrarySymbol(lib, "hwtest_SeenVersion"));
    ASSERT_TRUE(setAnswer && seenSize && seenVersion);

    hw3d_Descriptor.size = 0;
    setAnswer(0);
    // Without hw3d_InitOnce the load is 0; without hw3d_UninitOnce it unloads.
    EXPECT_EQ(hw3d_Load(0, 0, "hw_refuse.dll"), 0);
    EXPECT_EQ(seenSize(), 132);
    EXPECT_EQ(seenVersion(), 257);
    EXPECT_EQ(hw3d_Loaded, 1);
    EXPECT_EQ(hw3d_Enable(), 0);
    hw3d_Unload();
    EXPECT_EQ(hw3d_Loaded, 0);
    EXPECT_EQ(hw3d_Active, 0);

    // A positive code of the library's own is a refusal too.
    setAnswer(7);
    EXPECT_EQ(hw3d_Load(0, 0, "hw_refuse.dll"), 7);
    EXPECT_EQ(hw3d_Loaded, 0);
    plat_LibraryFree(lib);
}

TEST_F(Hw3dTest, EnableAndDisableFollowTheCard) {
    vid_State.redMask = 0x7C00, vid_State.greenMask = 0x03E0, vid_State.blueMask = 0x001F;
    EXPECT_EQ(hw3d_Enable(), -1);  // no library: nothing changes
    EXPECT_EQ(vid_State.redMask, 0x7C00u);
    EXPECT_EQ(hw3d_Active, 0);

    ASSERT_EQ(hw3d_Load(0, 0, "hw_pexl.dll"), 0);
    EXPECT_EQ(hw3d_Descriptor.setMode(640, 480, 16, 1), -1);  // not before it is enabled
    ASSERT_EQ(hw3d_Enable(), 0);
    EXPECT_EQ(hw3d_Active, 1);
    EXPECT_EQ(vid_State.redMask, 0xF800u);
    EXPECT_EQ(vid_State.greenMask, 0x07E0u);
    EXPECT_EQ(vid_State.blueMask, 0x001Fu);

    int32_t pitch = 0;
    ASSERT_EQ(hw3d_Descriptor.setMode(800, 600, 16, 1), 0);
    uint8_t* frame = hw3d_Descriptor.lock(&pitch);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(pitch, 1600);
    frame[(size_t)599 * pitch + 1599] = 0xAB;  // the whole frame is ours
    hw3d_Descriptor.unlock();

    hw3d_Disable();
    EXPECT_EQ(hw3d_Active, 0);
    EXPECT_EQ(hw3d_Descriptor.lock(&pitch), nullptr);  // the card let its frame go
    EXPECT_EQ(hw3d_Enable(), 0);
    EXPECT_EQ(hw3d_Active, 1);
    hw3d_Unload();  // disables on the way out
    EXPECT_EQ(hw3d_Active, 0);
}

TEST_F(Hw3dTest, ModesFollowTheChosenDevice) {
    ASSERT_EQ(hw3d_Load(0, 0, "hw_pexl.dll"), 0);
    ASSERT_EQ(hw3d_Enable(), 0);
    const _HW3D_DESCRIPTOR& d = hw3d_Descriptor;
    // Device 0 takes up to 1024x768: the two modes the options screen asks.
    EXPECT_EQ(d.modeTest(1024, 768, 16, 0), 0);
    EXPECT_EQ(d.modeTest(640, 480, 16, 0), 0);
    EXPECT_NE(d.modeTest(640, 480, 8, 0), 0);
    EXPECT_NE(d.modeTest(700, 500, 16, 0), 0);
    // A size off the list or 32-bit drawing: refused exactly, taken inexactly.
    EXPECT_LT(d.setMode(700, 500, 16, 1), 0);
    EXPECT_EQ(d.setMode(700, 500, 16, 0), 0);
    EXPECT_LT(d.setMode(640, 480, 32, 1), 0);
    EXPECT_EQ(d.setMode(640, 480, 32, 0), 0);
    EXPECT_EQ(d.control(HW3D_CTL_RED_MASK), 0xFF0000);
    int32_t pitch = 0;
    ASSERT_NE(d.lock(&pitch), nullptr);
    EXPECT_EQ(pitch, 640 * 4);
    d.unlock();

    EXPECT_EQ(d.control(HW3D_CTL_MODE_SELECT + 2), 0);  // up to 640x480
    EXPECT_NE(d.modeTest(1024, 768, 16, 0), 0);
    EXPECT_LT(d.setMode(1024, 768, 16, 0), 0);
    EXPECT_EQ(d.setMode(640, 480, 16, 1), 0);
    EXPECT_EQ(d.control(HW3D_CTL_RED_MASK), 0xF800);
    EXPECT_LT(d.setMode(0, 480, 16, 0), 0);
}

TEST_F(Hw3dTest, CardDrawsAndPresentsThroughTheHost) {
    CardOn();
    const _HW3D_DESCRIPTOR& d = hw3d_Descriptor;
    d.colourRegister(3, 0, 0, 255);  // the clear colour
    d.clear();
    _HW3D_VERTEX a = Vertex(10, 10), b = Vertex(110, 10), c = Vertex(10, 110);
    d.triangle(&a, &b, &c, 0x00FF00, 0x80000, 0);
    _HW3D_VERTEX l1 = Vertex(200, 300), l2 = Vertex(300, 300);
    d.line(&l1, &l2, 0x0000FF, 4, 0);  // red, as 0x00BBGGRR
    // A line that leaves the screen by millions of pixels is cut, not walked.
    _HW3D_VERTEX far1 = Vertex(0, 400), far2 = Vertex(1 << 23, 400);
    d.line(&far1, &far2, 0xFFFFFF, 4, 0);
    d.swap();
    d.afterSwap();

    ASSERT_EQ(g_presented.count, 1);
    EXPECT_EQ(g_presented.width, 640);
    EXPECT_EQ(g_presented.height, 480);
    EXPECT_EQ(g_presented.bits, 16);
    EXPECT_EQ(PixelAt(600, 20), 0x001F);   // cleared to blue
    EXPECT_EQ(PixelAt(20, 20), 0x07E0);    // inside the triangle
    EXPECT_EQ(PixelAt(100, 100), 0x001F);  // past its long edge
    EXPECT_EQ(PixelAt(250, 300), 0xF800);
    EXPECT_EQ(PixelAt(639, 400), 0xFFFF);

    // The view window clips the primitives.
    d.viewWindow(0, 0, 50, 50);
    // An untextured quad is white under its corners' colours.
    _HW3D_VERTEX q1 = Vertex(0, 0, 0x000080), q2 = Vertex(639, 0, 0x000080), q3 = Vertex(639, 479, 0x000080),
                 q4 = Vertex(0, 479, 0x000080);
    d.quad(&q1, &q2, &q3, &q4, nullptr, 0);
    d.shadedRect(600, 0, 640, 10, 8);  // halves the blue
    d.swap();
    EXPECT_EQ(PixelAt(49, 49), 0xF800);
    EXPECT_EQ(PixelAt(60, 20), 0x07E0);  // outside the window: the triangle stays
    EXPECT_EQ(PixelAt(620, 5), 0x000F);

    int32_t frames = 0, triangles = 0, lines = 0;
    d.readCounters(&frames, &triangles, &lines);
    EXPECT_EQ(frames, 2);
    EXPECT_EQ(triangles, 3);
    EXPECT_EQ(lines, 2);
    d.control(HW3D_CTL_RESET);
    d.readCounters(&frames, &triangles, &lines);
    EXPECT_EQ(frames + triangles + lines, 0);
    EXPECT_NE(d.option(HW3D_OPTION_LEVEL, 3), 0);  // level start then sets its colour registers
}

// Textured quads: texels read through the state's palette, shaded by the
// corners (128 as it is), texel 0 left out when transparent, fogged towards
// the colour entry's colour, blended by the word, and mapped in perspective.
TEST_F(Hw3dTest, CardTexturesShadeFogAndBlend) {
    CardOn();
    const _HW3D_DESCRIPTOR& d = hw3d_Descriptor;
    uint8_t palette[768] = {};
    palette[3] = 255;      // 1 red
    palette[7] = 255;      // 2 green
    palette[11] = 255;     // 3 blue
    palette[12] = 255, palette[13] = 255, palette[14] = 255;  // 4 white
    static_cast<_HW3D_STATE*>(d.state)->palette = palette;
    const uint8_t texels[4] = {1, 2, 3, 0};
    _HW3D_TEXTURE tex = {texels, 1, 1, 0};
    // A 100 x 100 quad at (x, 0) with u and v 0..65536 across; each texel
    // covers 50 x 50 pixels.
    auto quad = [&](int32_t x, uint32_t colour, int32_t fog, int32_t word, int32_t zLeft = 0, int32_t zRight = 0) {
        _HW3D_VERTEX v[4] = {Vertex(x, 0, colour), Vertex(x + 100, 0, colour), Vertex(x + 100, 100, colour),
                             Vertex(x, 100, colour)};
        const int32_t u[4] = {0, 65536, 65536, 0}, w[4] = {0, 0, 65536, 65536};
        for (int i = 0; i < 4; i++) {
            v[i].reserved[0] = u[i], v[i].reserved[1] = w[i], v[i].reserved[2] = fog;
            v[i].z = u[i] ? zRight : zLeft;
        }
        d.quad(&v[0], &v[1], &v[2], &v[3], &tex, word);
    };
    d.colourRegister(3, 0, 255, 255);
    d.clear();
    quad(0, 0x808080, 0, 0);
    tex.renderFlags = HW3D_FLAG_TRANSPARENT;
    quad(100, 0x404040, 0, 0);
    d.setColour(0, 0, 255);
    quad(200, 0x808080, 255, 0);
    tex.renderFlags = HW3D_FLAG_ALPHA;
    quad(300, 0xFFFFFF, 0, 128);
    tex.renderFlags = 0;
    quad(400, 0x808080, 0, 0, 0x10000, 0x40000);  // the right edge four times as far
    d.swap();
    struct Case {
        int32_t x, y;
        uint16_t pixel;
    };
    const Case cases[] = {
        {25, 25, 0xF800}, {75, 25, 0x07E0}, {25, 75, 0x001F}, {75, 75, 0x0000},  // texels as they are
        {125, 25, 0x7800}, {175, 75, 0x07FF},                                  // half shade; texel 0 left out
        {225, 25, 0x001F},                                                      // all fog
        {325, 25, 0x83EF},                                                      // half blended over the clear
        {460, 25, 0xF800}, {495, 25, 0x07E0},  // perspective: 60% across is still the near texel
    };
    for (const Case& c : cases) EXPECT_EQ(PixelAt(c.x, c.y), c.pixel) << c.x << "," << c.y;
}

// Particle records: an active one is a blended square round its screen
// position; inactive ones and records of another size draw nothing.
TEST_F(Hw3dTest, CardDrawsParticleRecords) {
    CardOn();
    const _HW3D_DESCRIPTOR& d = hw3d_Descriptor;
    d.colourRegister(3, 0, 0, 0);
    d.clear();
    _HW3D_PARTICLE p[2] = {};
    p[0].active = 1, p[0].alpha = 255, p[0].colour = 0x0000FF, p[0].screenX = 50 * 128, p[0].screenY = 50 * 128;
    p[0].radius = 3;
    p[1] = p[0];
    p[1].active = 0, p[1].screenX = 100 * 128;
    d.recordList(p, 2, (int32_t)sizeof p[0]);
    p[0].screenX = 200 * 128;
    d.recordList(p, 1, 64);
    d.swap();
    EXPECT_EQ(PixelAt(50, 50), 0xF800);
    EXPECT_EQ(PixelAt(47, 47), 0xF800);
    EXPECT_EQ(PixelAt(53, 50), 0x0000);
    EXPECT_EQ(PixelAt(100, 50), 0x0000);
    EXPECT_EQ(PixelAt(200, 50), 0x0000);
}

// The display layer's card path on the real library: the mode change
// enables it, the screen locks its frame, and the swap shows it.
TEST_F(Hw3dTest, DisplayRunsOnTheCard) {
    setenv("KRX_PLATFORM", "headless", 1);
    ASSERT_EQ(plat_Init(), 0);
    ASSERT_EQ(hw3d_Load(reinterpret_cast<uintptr_t>(&hw3d_Host), 0, "hw_pexl.dll"), 0);
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 1, 1), 0);
    EXPECT_EQ(hw3d_Active, 1);
    EXPECT_EQ(otw_ScreenSurface.hw3d, 1);
    EXPECT_EQ(otw_ScreenSurface.lockMask, 0x10F);
    EXPECT_EQ(vid_State.redMask, 0xF800u);

    uint8_t* p = otw_LockSurface();
    ASSERT_NE(p, nullptr);
    const uint16_t white = 0xFFFF;
    memcpy(p + (size_t)100 * otw_ScreenSurface.bytesPerRow + 200, &white, 2);
    otw_UnlockSurface();
    uint32_t before = plat_DisplayFrameCount();
    hw3d_Descriptor.swap();
    EXPECT_EQ(plat_DisplayFrameCount(), before + 1);
    int32_t w = 0, h = 0;
    const uint32_t* frame = plat_DisplayLastFrame(&w, &h);
    ASSERT_NE(frame, nullptr);
    ASSERT_EQ(w, 640);
    EXPECT_EQ(frame[100 * 640 + 100] & 0xF8F8F8, 0xF8F8F8u);
    EXPECT_EQ(frame[100 * 640 + 101] & 0xFFFFFF, 0u);

    // Back to the software path: the card is disabled.
    ASSERT_EQ(otw_SetDisplayMode(OTW_MODE_USE3D, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(hw3d_Active, 0);
    otw_CloseDisplay();
    hw3d_Unload();
    plat_Shutdown();
}

// A card whose enable entry fails refuses the mode: the screen is not
// marked as a card surface, and a display already open keeps its mode.
TEST_F(Hw3dTest, ACardThatWillNotComeOnRefusesTheMode) {
    setenv("KRX_PLATFORM", "headless", 1);
    ASSERT_EQ(plat_Init(), 0);
    PlatLibrary* lib = plat_LibraryLoad("hw_refuse.dll");  // holds its hooks' state
    ASSERT_NE(lib, nullptr);
    auto setAnswer = reinterpret_cast<void (*)(int32_t)>(plat_LibrarySymbol(lib, "hwtest_SetAnswer"));
    auto setEnable = reinterpret_cast<void (*)(int32_t)>(plat_LibrarySymbol(lib, "hwtest_SetEnableAnswer"));
    auto enables = reinterpret_cast<int32_t (*)(void)>(plat_LibrarySymbol(lib, "hwtest_Enables"));
    ASSERT_TRUE(setAnswer && setEnable && enables);
    setAnswer(0);
    setEnable(-1);
    ASSERT_EQ(hw3d_Load(0, 0, "hw_refuse.dll"), 0);

    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 1, 0), 0);
    const uint32_t redMask = vid_State.redMask;
    int32_t tries = enables();
    EXPECT_EQ(otw_SetDisplayMode(OTW_MODE_USE3D, 0, 0, 0, 0, 1), -1);
    EXPECT_EQ(enables(), tries + 1);
    EXPECT_EQ(hw3d_Active, 0);
    EXPECT_EQ(otw_ScreenSurface.hw3d, 0);
    EXPECT_EQ(otw_ScreenSurface.width, 640);
    EXPECT_EQ(otw_ScreenSurface.lockMask, 0x10F);
    EXPECT_EQ(vid_State.redMask, redMask);
    EXPECT_NE(otw_LockSurface(), nullptr);  // the software screen is still there
    otw_UnlockSurface();

    // Opened straight on the card: refused, and nothing says card.
    EXPECT_EQ(otw_OpenDisplay(640, 480, 2, 1, 1), -1);
    EXPECT_EQ(hw3d_Active, 0);
    EXPECT_EQ(otw_ScreenSurface.hw3d, 0);

    // Once the card comes on, the same request runs on it.
    setEnable(0);
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 1, 1), 0);
    EXPECT_EQ(hw3d_Active, 1);
    EXPECT_EQ(otw_ScreenSurface.hw3d, 1);

    otw_CloseDisplay();
    hw3d_Unload();
    setAnswer(-4);
    plat_LibraryFree(lib);
    plat_Shutdown();
}

}  // namespace
