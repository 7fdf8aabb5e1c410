// The display manager and the video layer on the headless display: modes
// and pixel formats, lock and unlock, present, fallbacks, the 3D-card path
// with a bound descriptor of our own, and the frame dump.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/hook.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "platform/harness.h"
#include "display/vid.h"
#include "platform/display.h"
#include "platform/window.h"
#include "render/view.h"
#include "shell/cmdline.h"

namespace {

std::string g_trace;

class DisplayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        setenv("KRX_PLATFORM", "headless", 1);
        ASSERT_EQ(plat_Init(), 0);
        ASSERT_TRUE(plat_IsHeadless());
    }
    void SetUp() override { g_trace.clear(); }
    void TearDown() override {
        otw_CloseDisplay();
        for (auto& list : otw_HookLists)
            while (list.first) otw_RemoveDrawHook(list.first);
        plat_DisplaySetModeFilter(nullptr);
        vid_SetPreFlipCallback(nullptr);
        vid_SetPostFlipCallback(nullptr);
        hw3d_Descriptor = _HW3D_DESCRIPTOR{};
        hw3d_Loaded = 0;
        hw3d_Active = 0;
        unsetenv("KRX_FRAMEDUMP");
        unsetenv("KRX_FRAMEDUMP_EVERY");
    }

    // Locks, lets fill write every pixel, unlocks and presents; returns the
    // frame the display got.
    template <typename Fill>
    std::vector<uint32_t> DrawFrame(Fill fill, int32_t* w = nullptr, int32_t* h = nullptr) {
        uint8_t* p = otw_LockSurface();
        EXPECT_NE(p, nullptr);
        if (p) fill(p);
        otw_UnlockSurface();
        otw_PresentFrame();
        int32_t fw = 0, fh = 0;
        const uint32_t* f = plat_DisplayLastFrame(&fw, &fh);
        if (w) *w = fw;
        if (h) *h = fh;
        return f ? std::vector<uint32_t>(f, f + (size_t)fw * fh) : std::vector<uint32_t>{};
    }
};

void Hook(char c) { g_trace += c; }

TEST_F(DisplayTest, ModesAndPixelFormats) {
    struct Case {
        int32_t bpp, windowed;
        uint32_t red, green, blue;
    } cases[] = {
        {2, 1, 0x7C00, 0x03E0, 0x001F},    // the window's bitmap is 5-5-5
        {2, 0, 0xF800, 0x07E0, 0x001F},    // the screen's own format
        {4, 1, 0xFF0000, 0x00FF00, 0x0000FF},
        {4, 0, 0xFF0000, 0x00FF00, 0x0000FF},
        {1, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bpp " << c.bpp << " windowed " << c.windowed);
        ASSERT_EQ(otw_OpenDisplay(640, 480, c.bpp, c.windowed, 0), 0);
        EXPECT_EQ(vid_State.bitsPerPixel, c.bpp * 8);
        if (c.bpp > 1) {
            EXPECT_EQ(vid_State.redMask, c.red);
            EXPECT_EQ(vid_State.greenMask, c.green);
            EXPECT_EQ(vid_State.blueMask, c.blue);
        }
        PlatDisplayMode mode;
        plat_DisplayGetMode(&mode);
        EXPECT_EQ(mode.set, 1);
        EXPECT_EQ(mode.width, 640);
        EXPECT_EQ(mode.height, 480);
        EXPECT_EQ(mode.fullScreen, c.windowed ? 0 : 1);
        const _DRAW_SURFACE& s = otw_ScreenSurface;
        EXPECT_EQ(s.width, 640);
        EXPECT_EQ(s.bytesPerPixel, c.bpp);
        EXPECT_EQ(s.bitsPerPixel, c.bpp * 8);
        EXPECT_EQ(s.bytesPerRow, 640 * c.bpp);
        EXPECT_EQ(s.lockMask, 0x10F);
        EXPECT_EQ(s.hw3d, 0);
        EXPECT_EQ(s.base, nullptr);
        // The view window leaves two rows at the top and the bottom.
        EXPECT_EQ(s.clipY1, 2);
        EXPECT_EQ(s.clipY2, 478);
        EXPECT_EQ(s.clipY1F, 256);
        EXPECT_EQ(s.centreYF, 476 * 64);
        EXPECT_EQ(s.xScale, 512);
        EXPECT_EQ(otw_State.windowed, c.windowed);
        ASSERT_NE(otw_DisplayEvp, nullptr);
        EXPECT_EQ(otw_DisplayEvp->rowBytes, 640 * c.bpp);
        EXPECT_EQ(otw_DisplayEvp->rows, 480);
    }
    EXPECT_EQ(otw_SetDisplayMode(OTW_MODE_DEPTH, 0, 0, 3, 0, 0), -1);
    EXPECT_EQ(otw_ScreenSurface.bytesPerPixel, 1);
}

TEST_F(DisplayTest, OnlyAnEffectiveChangeRunsTheModeHooks) {
    otw_AddDrawHook(OTW_HOOK_MODE_CHANGE, [] { Hook('M'); });
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 1, 0), 0);
    EXPECT_EQ(g_trace, "M");
    EXPECT_EQ(otw_SetDisplayMode(0x1F, 640, 480, 2, 1, 0), 0);
    EXPECT_EQ(otw_SetDisplayMode(0, 800, 600, 4, 0, 0), 0);
    EXPECT_EQ(g_trace, "M");
    EXPECT_EQ(otw_SetDisplayMode(0x3F, 640, 480, 2, 1, 0), 0);
    EXPECT_EQ(g_trace, "MM");
    // Only the flags' arguments count.
    EXPECT_EQ(otw_SetDisplayMode(OTW_MODE_HEIGHT, 123, 400, 123, 0, 0), 0);
    EXPECT_EQ(otw_ScreenSurface.width, 640);
    EXPECT_EQ(otw_ScreenSurface.height, 400);
    EXPECT_EQ(otw_State.windowed, 1);
}

TEST_F(DisplayTest, WindowedFlagAloneKeepsTheViewport) {
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 1, 0), 0);
    _EVP* evp = otw_DisplayEvp;
    ASSERT_EQ(otw_SetDisplayMode(OTW_MODE_WINDOWED, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(otw_DisplayEvp, evp);
    EXPECT_EQ(otw_State.windowed, 0);
    EXPECT_EQ(vid_State.redMask, 0xF800u);
    PlatDisplayMode mode;
    plat_DisplayGetMode(&mode);
    EXPECT_EQ(mode.fullScreen, 1);
    ASSERT_EQ(otw_SetDisplayMode(OTW_MODE_WIDTH | OTW_MODE_HEIGHT, 800, 600, 0, 0, 0), 0);
    EXPECT_EQ(otw_DisplayEvp->rows, 600);
    EXPECT_EQ(otw_DisplayEvp->width, 800);
}

TEST_F(DisplayTest, WindowWordShowsFullScreenModesInTheWindow) {
    uint32_t saved = app_StartupOptions;
    app_StartupOptions |= APP_OPTION_WINDOW;
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 0), 0);
    app_StartupOptions = saved;
    PlatDisplayMode mode;
    plat_DisplayGetMode(&mode);
    EXPECT_EQ(mode.fullScreen, 0);
    EXPECT_EQ(otw_State.windowed, 0);
    EXPECT_EQ(vid_State.redMask, 0xF800u);  // the full-screen format
    uint8_t* primary = vid_LockPrimary();
    EXPECT_NE(primary, nullptr);
    vid_UnlockPrimary();
}

TEST_F(DisplayTest, RefusedModesLeaveThePreviousOne) {
    // The headless desktop is 1024x768: a window must be strictly smaller.
    EXPECT_EQ(otw_CheckMode(1024, 768, 2, 1, 0), -1);
    EXPECT_EQ(otw_CheckMode(1023, 767, 2, 1, 0), 0);
    EXPECT_EQ(otw_CheckMode(1600, 1200, 2, 0, 0), 0);
    EXPECT_EQ(otw_CheckMode(640, 480, 2, 0, 1), -1);  // no card to ask
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 1, 0), 0);
    EXPECT_EQ(otw_SetDisplayMode(OTW_MODE_WIDTH | OTW_MODE_HEIGHT, 1024, 768, 0, 0, 0), -1);
    EXPECT_EQ(otw_ScreenSurface.width, 640);
    PlatDisplayMode mode;
    plat_DisplayGetMode(&mode);
    EXPECT_EQ(mode.width, 640);
    EXPECT_NE(otw_LockSurface(), nullptr);
    // Asking for the card without one gives the software path.
    ASSERT_EQ(otw_SetDisplayMode(0x3F, 640, 480, 2, 0, 1), 0);
    EXPECT_EQ(otw_ScreenSurface.hw3d, 0);
    EXPECT_EQ(otw_State.windowed, 0);
    EXPECT_EQ(otw_State.locked, 0);  // a mode change leaves it unlocked
}

// A window must fit strictly inside the desktop, except that 640x480 is
// taken on a 640x480 desktop.
TEST_F(DisplayTest, WindowedModesAgainstTheDesktopSize) {
    const struct {
        int dw, dh, w, h, want;
    } cases[] = {
        {640, 480, 640, 480, 0},  {800, 600, 800, 600, -1}, {640, 480, 640, 400, -1},
        {640, 400, 640, 400, -1}, {800, 600, 640, 480, 0},  {800, 600, 799, 600, -1},
        {641, 481, 640, 480, 0},
    };
    for (const auto& c : cases) {
        plat_HarnessDesktopSizeSet(c.dw, c.dh);
        EXPECT_EQ(otw_CheckMode(c.w, c.h, 2, 1, 0), c.want) << c.w << "x" << c.h << " on " << c.dw << "x" << c.dh;
        EXPECT_EQ(otw_CheckMode(c.w, c.h, 2, 0, 0), 0);  // full screen is always usable
    }
    plat_HarnessDesktopSizeSet(1024, 768);
}

TEST_F(DisplayTest, LockUnlockSelectAndRunTheirHooks) {
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 0), 0);
    static uint8_t* seenBase;
    static int32_t seenLocked;
    otw_AddDrawHook(OTW_HOOK_AFTER_LOCK, [] {
        Hook('L');
        seenBase = draw_CurrentSurface.base;
    });
    otw_AddDrawHook(OTW_HOOK_BEFORE_UNLOCK, [] {
        Hook('U');
        seenLocked = otw_State.locked;
    });
    uint8_t* p = otw_LockSurface();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(seenBase, p);
    EXPECT_EQ(otw_State.locked, 1);
    EXPECT_EQ(otw_ScreenSurface.base, p);
    EXPECT_EQ(draw_CurrentSurface.base, p);
    EXPECT_EQ(draw_CurrentSurface.clipY1, 2);
    EXPECT_EQ(evp_Current.base, p);
    EXPECT_EQ(evp_Current.rowTable[3], p + 3 * 1280);
    EXPECT_EQ(otw_LockSurface(), p);  // already locked: no second lock
    EXPECT_EQ(vid_LockBackBuffer(), nullptr);  // the surface is busy
    EXPECT_EQ(g_trace, "L");
    otw_UnlockSurface();
    EXPECT_EQ(g_trace, "LU");
    EXPECT_EQ(seenLocked, 0);
    EXPECT_EQ(otw_ScreenSurface.base, nullptr);
    EXPECT_EQ(otw_State.lockedPtr, nullptr);
    EXPECT_EQ(evp_Current.base, nullptr);
    EXPECT_EQ(draw_CurrentSurface.base, p);  // the copy keeps its values
    otw_UnlockSurface();
    EXPECT_EQ(g_trace, "LU");

    // Passes lock by their bit and the lock mask 0x10F.
    otw_LockIfFlag(0x100);
    EXPECT_EQ(otw_State.locked, 1);
    otw_LockIfFlag(0x01);
    EXPECT_EQ(otw_State.locked, 1);
    otw_LockIfFlag(0x10);
    EXPECT_EQ(otw_State.locked, 0);
    EXPECT_EQ(g_trace, "LULU");
}

TEST_F(DisplayTest, PresentRunsHooksAndCallbacksAroundTheFlip) {
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 0), 0);
    otw_AddDrawHook(OTW_HOOK_BEFORE_PRESENT, [] { Hook('a'); });
    otw_AddDrawHook(OTW_HOOK_BEFORE_PRESENT, [] { Hook('b'); });
    otw_AddDrawHook(OTW_HOOK_AFTER_PRESENT, [] { Hook('A'); });
    otw_AddDrawHook(OTW_HOOK_AFTER_PRESENT, [] { Hook('B'); });
    static int32_t size[2];
    vid_SetPreFlipCallback([](int32_t w, int32_t h) {
        Hook('<');
        size[0] = w;
        size[1] = h;
    });
    vid_SetPostFlipCallback([](int32_t, int32_t) { Hook('>'); });
    uint32_t frames = plat_DisplayFrameCount();
    otw_PresentFrame();
    EXPECT_EQ(g_trace, "ab<>BA");
    EXPECT_EQ(size[0], 640);
    EXPECT_EQ(size[1], 480);
    EXPECT_EQ(plat_DisplayFrameCount(), frames + 1);
}

TEST_F(DisplayTest, PresentedPixelsPerDepth) {
    struct Case {
        int32_t bpp, windowed;
        uint32_t pixel, rgb;
    } cases[] = {
        {2, 1, 0x7C00, 0xFF0000}, {2, 1, 0x03E0, 0x00FF00}, {2, 0, 0xF800, 0xFF0000},
        {2, 0, 0x07E0, 0x00FF00}, {2, 0, 0x001F, 0x0000FF}, {4, 1, 0xFF123456, 0x123456},
        {4, 0, 0x00ABCDEF, 0xABCDEF},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "bpp " << c.bpp << " windowed " << c.windowed << " pixel " << c.pixel);
        ASSERT_EQ(otw_OpenDisplay(640, 480, c.bpp, c.windowed, 0), 0);
        int32_t w = 0, h = 0;
        auto frame = DrawFrame(
            [&](uint8_t* p) {
                for (int i = 0; i < 640 * 480; i++) memcpy(p + (size_t)i * c.bpp, &c.pixel, (size_t)c.bpp);
            },
            &w, &h);
        ASSERT_EQ(w, 640);
        ASSERT_EQ(h, 480);
        EXPECT_EQ(frame[0], c.rgb);
        EXPECT_EQ(frame[640 * 480 - 1], c.rgb);
    }
}

TEST_F(DisplayTest, EightBitFramesGoThroughThePalette) {
    uint8_t pal[768];
    for (int i = 0; i < 256; i++) {
        pal[3 * i] = (uint8_t)i;
        pal[3 * i + 1] = (uint8_t)(255 - i);
        pal[3 * i + 2] = 7;
    }
    auto fill = [](uint8_t* p) {
        for (int y = 0; y < 480; y++)
            for (int x = 0; x < 640; x++) p[y * 640 + x] = (uint8_t)x;
    };
    for (int32_t windowed = 0; windowed <= 1; windowed++) {
        SCOPED_TRACE(windowed);
        ASSERT_EQ(otw_OpenDisplay(640, 480, 1, windowed, 0), 0);
        vid_SetPalette(pal);
        auto frame = DrawFrame(fill);
        ASSERT_EQ(frame.size(), 640u * 480u);
        EXPECT_EQ(frame[10], 0x0AF507u);
        EXPECT_EQ(frame[0], 0u);          // entry 0 stays black
        EXPECT_EQ(frame[255], 0xFFFFFFu); // and 255 white
        vid_SetFadedPalette(pal, 128);
        vid_RealizePalette();
        frame = DrawFrame(fill);
        EXPECT_EQ(frame[10], 0x057A03u);
        EXPECT_EQ(frame[255], 0xFFFFFFu);
    }
}

TEST_F(DisplayTest, Refused320WideModeFallsBackToDoubledPixels) {
    plat_DisplaySetModeFilter([](int32_t w, int32_t, int32_t bits, int32_t full) -> int { return (w == 320 && full) || bits == 24; });
    uint8_t pal[768];
    for (int i = 0; i < 768; i++) pal[i] = (uint8_t)i;
    for (int32_t height : {200, 240}) {
        SCOPED_TRACE(height);
        ASSERT_EQ(otw_OpenDisplay(320, height, 1, 0, 0), 0);
        vid_SetPalette(pal);
        PlatDisplayMode mode;
        plat_DisplayGetMode(&mode);
        EXPECT_EQ(mode.width, 640);
        EXPECT_EQ(mode.height, 480);
        EXPECT_EQ(otw_ScreenSurface.width, 320);
        static int32_t flipSize[2];
        vid_SetPreFlipCallback([](int32_t w, int32_t h) {
            flipSize[0] = w;
            flipSize[1] = h;
        });
        int32_t w = 0, h = 0;
        auto frame = DrawFrame(
            [&](uint8_t* p) {
                for (int y = 0; y < height; y++)
                    for (int x = 0; x < 320; x++) p[y * 320 + x] = (uint8_t)(1 + (x + 3 * y) % 250);
            },
            &w, &h);
        ASSERT_EQ(w, 640);
        ASSERT_EQ(h, 480);
        EXPECT_EQ(flipSize[0], 640);
        for (int y : {0, 1, height - 1})
            for (int x : {0, 5, 319}) {
                uint32_t idx = (uint32_t)(1 + (x + 3 * y) % 250);
                uint32_t rgb = (3 * idx & 255) << 16 | ((3 * idx + 1) & 255) << 8 | ((3 * idx + 2) & 255);
                for (int dy = 0; dy < 2; dy++)
                    for (int dx = 0; dx < 2; dx++) EXPECT_EQ(frame[(2 * y + dy) * 640 + 2 * x + dx], rgb);
            }
    }
    // A window gets no fallback; a full-screen mode of another width neither.
    plat_DisplaySetModeFilter([](int32_t w, int32_t, int32_t, int32_t) -> int { return w == 320 || w == 400; });
    EXPECT_EQ(otw_OpenDisplay(320, 240, 1, 1, 0), -1);
    EXPECT_EQ(otw_OpenDisplay(400, 300, 1, 0, 0), -1);
    EXPECT_EQ(otw_ScreenSurface.width, 0);  // nothing left to draw on
    EXPECT_EQ(otw_LockSurface(), nullptr);
}

TEST_F(DisplayTest, ThirtyTwoBitsRunOnA24BitScreenWhenOffered) {
    plat_DisplaySetModeFilter([](int32_t, int32_t, int32_t, int32_t) { return 0; });
    ASSERT_EQ(otw_OpenDisplay(640, 480, 4, 1, 0), 0);
    vid_SetModeOption(1);
    ASSERT_EQ(otw_SetDisplayMode(OTW_MODE_WINDOWED, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(vid_State.display24, 1);
    EXPECT_EQ(vid_State.flipChain, 0);
    PlatDisplayMode mode;
    plat_DisplayGetMode(&mode);
    EXPECT_EQ(mode.format.bits, 24);
    EXPECT_EQ(otw_ScreenSurface.bytesPerPixel, 4);
    auto frame = DrawFrame([](uint8_t* p) {
        for (int i = 0; i < 640 * 480; i++) {
            uint32_t v = 0xFF000000u | (uint32_t)i;
            memcpy(p + 4 * i, &v, 4);
        }
    });
    ASSERT_EQ(frame.size(), 640u * 480u);
    EXPECT_EQ(frame[0x1234], 0x001234u);
    EXPECT_EQ(frame[640 * 480 - 1], (uint32_t)(640 * 480 - 1));
    // Without a 24-bit mode the screen runs at 32 bits.
    plat_DisplaySetModeFilter(nullptr);
    ASSERT_EQ(otw_SetDisplayMode(0x3F, 640, 480, 4, 0, 0), 0);
    EXPECT_EQ(vid_State.display24, 0);
}

// A refused 320-wide 32-bit mode falls back to 640x480 on a 24-bit screen:
// the doubled present reads 4-byte pixels and writes 3-byte ones.
TEST_F(DisplayTest, DoubledPixelsOnA24BitScreen) {
    plat_DisplaySetModeFilter([](int32_t w, int32_t, int32_t, int32_t full) -> int { return w == 320 && full; });
    ASSERT_EQ(otw_OpenDisplay(320, 240, 4, 0, 0), 0);
    EXPECT_EQ(vid_State.display24, 1);
    PlatDisplayMode mode;
    plat_DisplayGetMode(&mode);
    EXPECT_EQ(mode.width, 640);
    EXPECT_EQ(mode.format.bits, 24);
    ASSERT_EQ(otw_ScreenSurface.width, 320);
    ASSERT_EQ(otw_ScreenSurface.bytesPerPixel, 4);
    auto colour = [](int x, int y) { return (uint32_t)(x * 0x010203 + y * 0x030100) & 0xFFFFFF; };
    int32_t w = 0, h = 0;
    auto frame = DrawFrame(
        [&](uint8_t* p) {
            for (int y = 0; y < 240; y++)
                for (int x = 0; x < 320; x++) {
                    uint32_t v = 0xFF000000u | colour(x, y);
                    memcpy(p + ((size_t)y * 320 + x) * 4, &v, 4);
                }
        },
        &w, &h);
    ASSERT_EQ(w, 640);
    ASSERT_EQ(h, 480);
    for (int y : {0, 1, 120, 239})
        for (int x : {0, 1, 77, 319})
            for (int dy = 0; dy < 2; dy++)
                for (int dx = 0; dx < 2; dx++)
                    EXPECT_EQ(frame[(size_t)(2 * y + dy) * 640 + 2 * x + dx], colour(x, y)) << x << "," << y;
}

TEST_F(DisplayTest, FlipChainAndPrimary) {
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 0), 0);
    vid_SetModeOption(1);
    ASSERT_EQ(otw_SetDisplayMode(0x3F, 640, 480, 2, 0, 0), 0);
    for (uint16_t colour : {0xF800, 0x001F, 0x07E0}) {
        auto frame = DrawFrame([&](uint8_t* p) {
            for (int i = 0; i < 640 * 480; i++) memcpy(p + 2 * i, &colour, 2);
        });
        uint32_t expected = colour == 0xF800 ? 0xFF0000u : colour == 0x001F ? 0x0000FFu : 0x00FF00u;
        EXPECT_EQ(frame[1000], expected);
    }
    // Drawing on the primary shows at its unlock; a window has no primary.
    uint8_t* primary = vid_LockPrimary();
    ASSERT_NE(primary, nullptr);
    EXPECT_EQ(vid_LockPrimary(), nullptr);
    uint16_t red = 0xF800;
    memcpy(primary, &red, 2);
    uint32_t frames = plat_DisplayFrameCount();
    vid_UnlockPrimary();
    EXPECT_EQ(plat_DisplayFrameCount(), frames + 1);
    EXPECT_EQ(plat_DisplayLastFrame(nullptr, nullptr)[0], 0xFF0000u);
    EXPECT_EQ(plat_DisplayLastFrame(nullptr, nullptr)[1], 0x00FF00u);
    uint32_t blanks = plat_DisplayVerticalBlankCount();
    vid_WaitVerticalBlank();
    EXPECT_EQ(plat_DisplayVerticalBlankCount(), blanks + 1);

    ASSERT_EQ(otw_SetDisplayMode(OTW_MODE_WINDOWED, 0, 0, 0, 1, 0), 0);
    EXPECT_EQ(vid_LockPrimary(), nullptr);
    vid_WaitVerticalBlank();
    EXPECT_EQ(plat_DisplayVerticalBlankCount(), blanks + 1);
}

TEST_F(DisplayTest, ClearAllBuffersShowsABlackFrame) {
    ASSERT_EQ(otw_OpenDisplay(640, 480, 4, 0, 0), 0);
    auto frame = DrawFrame([](uint8_t* p) { memset(p, 0x7F, 640 * 480 * 4); });
    EXPECT_EQ(frame[77], 0x7F7F7Fu);
    otw_LockSurface();
    otw_ClearAllBuffers();
    EXPECT_EQ(otw_State.locked, 1);  // relocked as it was
    EXPECT_EQ(plat_DisplayLastFrame(nullptr, nullptr)[77], 0u);
}

// A card of our own, bound through the descriptor.
struct FakeCard {
    int enabled, disabled, clears, unlocks;
    std::vector<int32_t> setModeExact;
    int32_t view[4], screen[4], colour[4];
} g_card;
uint8_t g_cardFrame[2048 * 480];

TEST_F(DisplayTest, CardPathFollowsTheDriversAnswers) {
    g_card = FakeCard{};
    hw3d_Loaded = 1;
    hw3d_Descriptor.control = [](int32_t code) -> intptr_t {
        switch (code) {
        case HW3D_CTL_VERSION: return 16;
        case HW3D_CTL_LOCK_MASK: return 0x30;
        case HW3D_CTL_RED_MASK: return 0xF800;
        case HW3D_CTL_GREEN_MASK: return 0x07E0;
        case HW3D_CTL_BLUE_MASK: return 0x001F;
        default: return 0;
        }
    };
    hw3d_Descriptor.modeTest = [](int32_t, int32_t, int32_t bits, int32_t) { return bits == 16 ? 0 : 1; };
    hw3d_Descriptor.enable = [] { return ++g_card.enabled, 0; };
    hw3d_Descriptor.disable = [] { g_card.disabled++; };
    hw3d_Descriptor.setMode = [](int32_t, int32_t, int32_t, int32_t exact) {
        g_card.setModeExact.push_back(exact);
        return exact ? -1 : 0;
    };
    hw3d_Descriptor.lock = [](int32_t* pitch) -> uint8_t* {
        *pitch = 2048;
        return g_cardFrame;
    };
    hw3d_Descriptor.unlock = [] { g_card.unlocks++; };
    hw3d_Descriptor.viewWindow = [](int32_t a, int32_t b, int32_t c, int32_t d) {
        int32_t v[4] = {a, b, c, d};
        memcpy(g_card.view, v, sizeof v);
    };
    hw3d_Descriptor.screenRect = [](int32_t a, int32_t b, int32_t c, int32_t d) {
        int32_t v[4] = {a, b, c, d};
        memcpy(g_card.screen, v, sizeof v);
    };
    hw3d_Descriptor.colourRegister = [](int32_t r, int32_t a, int32_t b, int32_t c) {
        int32_t v[4] = {r, a, b, c};
        memcpy(g_card.colour, v, sizeof v);
    };
    hw3d_Descriptor.clear = [] { g_card.clears++; };

    EXPECT_EQ(otw_CheckMode(640, 480, 4, 0, 1), -1);
    ViewNearDistance = 1;
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 0, 1), 0);
    EXPECT_EQ(hw3d_Active, 1);
    EXPECT_EQ(g_card.enabled, 1);
    EXPECT_EQ(g_card.setModeExact, (std::vector<int32_t>{1, 0}));
    const _DRAW_SURFACE& s = otw_ScreenSurface;
    EXPECT_EQ(s.hw3d, 1);
    EXPECT_EQ(s.modeExact, 0);
    EXPECT_EQ(s.lockMask, 0x30);
    EXPECT_EQ(otw_State.windowed, 1);  // the card keeps the desktop's mode
    EXPECT_EQ(s.clipY1, 0);            // the whole screen is the view
    EXPECT_EQ(s.clipY2, 480);
    EXPECT_EQ(ViewNearDistance, 4096);
    EXPECT_EQ(g_card.view[3], 480);
    EXPECT_EQ(g_card.screen[2], 640);
    EXPECT_EQ(vid_State.redMask, 0xF800u);
    EXPECT_EQ(g_card.clears, 1);  // the screen is cleared after the change
    EXPECT_EQ(g_card.colour[0], 3);
    // The viewport follows the pitch the card's lock reported.
    EXPECT_EQ(s.bytesPerRow, 2048);
    EXPECT_EQ(otw_DisplayEvp->extraBytes, 2048 - 1280);

    otw_LockIfFlag(0x10);
    EXPECT_EQ(otw_State.lockedPtr, g_cardFrame);
    EXPECT_EQ(draw_CurrentSurface.base, g_cardFrame);
    otw_LockIfFlag(0x100);
    EXPECT_EQ(otw_State.locked, 0);
    int unlocks = g_card.unlocks;
    uint32_t frames = plat_DisplayFrameCount();
    otw_PresentFrame();  // the card presents through its own swap
    EXPECT_EQ(plat_DisplayFrameCount(), frames);
    EXPECT_EQ(g_card.unlocks, unlocks);

    ASSERT_EQ(otw_SetDisplayMode(OTW_MODE_USE3D, 0, 0, 0, 0, 0), 0);
    EXPECT_EQ(hw3d_Active, 0);
    EXPECT_EQ(g_card.disabled, 1);
    EXPECT_EQ(otw_ScreenSurface.lockMask, 0x10F);
    EXPECT_EQ(otw_ScreenSurface.bytesPerRow, 1280);
}

TEST_F(DisplayTest, HeadlessFrameDumpWritesBmpFiles) {
    namespace fs = std::filesystem;
    fs::path dir = fs::path(testing::TempDir()) / ("krx_framedump_" + std::to_string(getpid()));
    fs::remove_all(dir);
    fs::create_directories(dir);
    setenv("KRX_FRAMEDUMP", dir.c_str(), 1);
    setenv("KRX_FRAMEDUMP_EVERY", "2", 1);
    // 41 pixels a row: the file's rows are padded to 124 bytes.
    ASSERT_EQ(otw_OpenDisplay(41, 30, 4, 0, 0), 0);
    uint32_t first = plat_DisplayFrameCount();
    for (int n = 0; n < 3; n++)
        DrawFrame([&](uint8_t* p) {
            for (int i = 0; i < 41 * 30; i++) {
                uint32_t v = (uint32_t)(n << 16 | (i % 41) << 8 | (i / 41));
                memcpy(p + 4 * i, &v, 4);
            }
        });
    int written = 0;
    for (uint32_t index = first; index < first + 3; index++) {
        char name[32];
        snprintf(name, sizeof name, "frame%05u.bmp", index);
        bool exists = fs::exists(dir / name);
        EXPECT_EQ(exists, index % 2 == 0) << name;
        if (!exists) continue;
        written++;
        FILE* f = fopen((dir / name).c_str(), "rb");
        ASSERT_NE(f, nullptr);
        std::vector<uint8_t> bytes(20000);
        size_t n = fread(bytes.data(), 1, bytes.size(), f);
        fclose(f);
        auto u32 = [&](size_t at) {
            return (uint32_t)bytes[at] | (uint32_t)bytes[at + 1] << 8 | (uint32_t)bytes[at + 2] << 16 |
                   (uint32_t)bytes[at + 3] << 24;
        };
        ASSERT_EQ(n, 54u + 124u * 30u);
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(u32(2), n);
        EXPECT_EQ(u32(10), 54u);
        EXPECT_EQ(u32(18), 41u);
        EXPECT_EQ(u32(22), 30u);
        EXPECT_EQ(bytes[28], 24);
        // Pixel (x 5, y 2) of frame n: rows are stored bottom-up, blue first.
        uint32_t frameNo = index - first;
        size_t at = 54 + (size_t)(29 - 2) * 124 + 5 * 3;
        EXPECT_EQ(bytes[at], 2);
        EXPECT_EQ(bytes[at + 1], 5);
        EXPECT_EQ(bytes[at + 2], frameNo);
    }
    EXPECT_GE(written, 1);
    fs::remove_all(dir);
}

}  // namespace

namespace {

VidFrameCounters g_seenAtFlip;

// Every blit adds the source bytes it was asked for; the flip routines still
// see the frame's totals, and showing the frame clears them.
TEST_F(DisplayTest, FrameCountersAddBlitsUntilTheFrameIsShown) {
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 1, 0), 0);
    vid_SetPostFlipCallback([](int32_t, int32_t) { g_seenAtFlip = vid_FrameCounters; });
    vid_FrameCounters = VidFrameCounters{};
    uint8_t* p = otw_LockSurface();
    ASSERT_NE(p, nullptr);
    std::vector<uint8_t> source(64 * 8 * 4, 7);
    draw_SetBlitSource(source.data(), 64);
    draw_SetBlitSourceRows(8);
    draw_SetBlitDest(p, otw_ScreenSurface.bytesPerRow / otw_ScreenSurface.bytesPerPixel);
    draw_SetBlitShadeMap(source.data(), 64);
    draw_SetBlitShadeMapRows(8);
    struct Case {
        void (*blit)();
        uint32_t bytes;
    } cases[] = {
        {[] { draw_BlitRect(0, 0, 10, 4, 0, 0, 8, 0); }, 40},
        {[] { draw_BlitRect(0, 0, 3, 2, 0, 0, 15, 1); }, 12},
        {[] { draw_BlitRect(0, 0, 3, 2, 0, 0, 32, 0); }, 24},
        {[] { draw_BlitTransparent(600, 470, 5, 5, 0, 0); }, 5 * 5 * 4},  // depth kept; clipped or not
        {[] { draw_BlitRect(0, 0, 0, 4, 0, 0, 8, 0); }, 0},  // empty: nothing counted
        {[] { draw_BlitRect(0, 0, -3, 4, 0, 0, 8, 0); }, 0},
        {[] { draw_BlitShaded(0, 0, 4, 4, 0, 0); }, 16},  // depth 8 again, from the empty blits
        {[] { draw_BlitStepped(0, 0, 2, 3, 0, 0, 65536, 0); }, 6},
    };
    uint32_t total = 0;
    for (size_t i = 0; i < std::size(cases); i++) {
        cases[i].blit();
        total += cases[i].bytes;
        EXPECT_EQ(vid_FrameCounters.bytes, total) << "case " << i;
    }
    EXPECT_EQ(vid_FrameCounters.texts, 0u);
    otw_UnlockSurface();
    otw_PresentFrame();
    EXPECT_EQ(g_seenAtFlip.bytes, total);
    EXPECT_EQ(vid_FrameCounters.bytes, 0u);
    EXPECT_EQ(vid_FrameCounters.texts, 0u);
}

}  // namespace
