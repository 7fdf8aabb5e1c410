// The loading window under SDL: the program's picture reaches the window's
// own surface (SDL's dummy video driver keeps one in memory), borderless
// and of the window's size.
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "display/dtext.h"
#include "platform/backend.h"
#include "platform/window.h"
#include "shell/loadwin.h"
#include "shell/wndproc.h"

namespace {

// Whether `text` stands in the built-in 8x8 font, black on the window's
// grey, with its cells inside columns x0..x1 of the surface.
bool ShowsText(SDL_Surface* s, int x0, int x1, const char* text) {
    int len = (int)strlen(text);
    auto ink = [&](int x, int y) {
        Uint32 p;
        memcpy(&p, (const uint8_t*)s->pixels + y * s->pitch + x * 4, 4);
        Uint8 r, g, b;
        SDL_GetRGB(p, s->format, &r, &g, &b);
        return r == 0 && g == 0 && b == 0;
    };
    for (int py = 0; py + 8 <= s->h; py++)
        for (int px = x0; px + len * 8 <= x1; px++) {
            bool all = true;
            for (int i = 0; i < len && all; i++)
                for (int r = 0; r < 8 && all; r++)
                    for (int c = 0; c < 8 && all; c++) {
                        int ch = (unsigned char)text[i];
                        bool want = ch >= DTEXT_FIRST && dtext_Glyphs[(size_t)((ch - DTEXT_FIRST) * 64 + r * 8 + c)];
                        all = ink(px + i * 8 + c, py + r) == want;
                    }
            if (all) return true;
        }
    return false;
}

TEST(SdlLoadingWindow, PaintsIntoItsOwnBorderlessWindow) {
    setenv("KRX_PLATFORM", "sdl", 1);
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    ASSERT_EQ(plat_Init(), 0);
    if (plat_IsHeadless()) GTEST_SKIP() << "SDL did not start";
    app_MainHwnd = plat_WindowCreate("SKARVELCLASS", "KRX", 640, 480, plat_DefWindowProc, 1);
    ASSERT_NE(app_MainHwnd, 0u);
    ASSERT_EQ(app_LoadingProgressSet(40), 0);
    app_LoadingCaptionSet("Models");
    auto win = (SDL_Window*)plat_WindowGet(app_Loading.window)->native;
    ASSERT_NE(win, nullptr);
    EXPECT_TRUE(SDL_GetWindowFlags(win) & SDL_WINDOW_BORDERLESS);
    SDL_Surface* s = SDL_GetWindowSurface(win);
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->w, 646);
    ASSERT_EQ(s->h, 32);
    EXPECT_TRUE(ShowsText(s, 0, 200, "Models"));
    EXPECT_TRUE(ShowsText(s, 540, 646, "40%"));
    app_LoadingProgressSet(41);
    EXPECT_TRUE(ShowsText(s, 540, 646, "41%"));
    EXPECT_FALSE(ShowsText(s, 540, 646, "40%"));
    app_LoadingProgressSet(-1);
    plat_WindowDestroy(app_MainHwnd);
    app_MainHwnd = 0;
    plat_Shutdown();
    setenv("KRX_PLATFORM", "headless", 1);
}

}  // namespace
