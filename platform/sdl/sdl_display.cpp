// The SDL display: the main window shows every frame through a streaming
// texture. Full screen is the desktop-sized window with the frame scaled to
// fit (aspect kept, bars around it); in a window the frame is stretched to
// the client area, but never drawn smaller than itself.
#include <SDL.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/backend.h"
#include "platform/display_backend.h"
#include "platform/sdl/sdl_tables.h"

namespace {

struct SdlDisplay {
    PlatHwnd hwnd = 0;
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int32_t texW = 0, texH = 0;
    int32_t fullScreen = 0;
};

SdlDisplay g;

SDL_Window* WindowOf(PlatHwnd hwnd) {
    PlatWindow* w = plat_WindowGet(hwnd);
    return w ? (SDL_Window*)w->native : nullptr;
}

// The renderer belongs to one window; a new window gets a new one. SDL
// drops a window's renderer with the window, so a renderer whose window is
// gone is forgotten, not destroyed.
bool Attach(SDL_Window* win) {
    if (!win) return false;
    if (g.window == win && g.renderer) return true;
    g.texture = nullptr;
    g.texW = g.texH = 0;
    g.renderer = SDL_CreateRenderer(win, -1, SDL_RENDERER_ACCELERATED | SDL_RENDERER_PRESENTVSYNC);
    if (!g.renderer) g.renderer = SDL_CreateRenderer(win, -1, SDL_RENDERER_SOFTWARE);
    if (!g.renderer) {
        fprintf(stderr, "krx: no SDL renderer: %s\n", SDL_GetError());
        g.window = nullptr;
        return false;
    }
    g.window = win;
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0");
    return true;
}

bool WindowAlive(void) {
    PlatWindow* w = plat_WindowGet(g.hwnd);
    return w && g.window && w->native == g.window;
}

int SSetMode(PlatHwnd hwnd, int32_t, int32_t, int32_t bits, int32_t fullScreen) {
    if (bits == 24) return -1;  // no packed 24-bit screens here
    if (!hwnd) hwnd = plat_WindowFirst();
    SDL_Window* win = WindowOf(hwnd);
    if (!Attach(win)) return -1;
    g.hwnd = hwnd;
    if (SDL_SetWindowFullscreen(win, fullScreen ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0) != 0) return -1;
    g.fullScreen = fullScreen;
    return 0;
}

void SPresent(const uint32_t* pixels, int32_t width, int32_t height, uint32_t) {
    if (!g.renderer || !WindowAlive()) return;
    if (!g.texture || g.texW != width || g.texH != height) {
        if (g.texture) SDL_DestroyTexture(g.texture);
        g.texture = SDL_CreateTexture(g.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
        if (!g.texture) return;
        g.texW = width;
        g.texH = height;
    }
    SDL_UpdateTexture(g.texture, nullptr, pixels, width * 4);
    int outW = 0, outH = 0;
    SDL_GetRendererOutputSize(g.renderer, &outW, &outH);
    SDL_Rect dst{0, 0, width, height};
    if (g.fullScreen) {
        // Largest size of the frame's shape that fits the screen.
        if ((int64_t)outW * height <= (int64_t)outH * width) {
            dst.w = outW;
            dst.h = (int)((int64_t)outW * height / width);
        } else {
            dst.h = outH;
            dst.w = (int)((int64_t)outH * width / height);
        }
        dst.x = (outW - dst.w) / 2;
        dst.y = (outH - dst.h) / 2;
    } else if (outW >= width && outH >= height) {
        dst.w = outW;
        dst.h = outH;
    }
    SDL_SetRenderDrawColor(g.renderer, 0, 0, 0, 255);
    SDL_RenderClear(g.renderer);
    SDL_RenderCopy(g.renderer, g.texture, nullptr, &dst);
    SDL_RenderPresent(g.renderer);
}

void SWaitVerticalBlank(void) {
    // No blank to wait for in a window system: sleep to the next refresh.
    int rate = 60;
    SDL_DisplayMode mode;
    if (g.window && SDL_GetWindowDisplayMode(g.window, &mode) == 0 && mode.refresh_rate > 0) rate = mode.refresh_rate;
    uint64_t freq = SDL_GetPerformanceFrequency();
    uint64_t period = freq / (uint64_t)rate;
    if (!period) return;
    uint64_t now = SDL_GetPerformanceCounter();
    uint64_t wait = period - now % period;
    std::this_thread::sleep_for(std::chrono::microseconds(wait * 1000000 / freq));
}

void SRestoreDesktop(void) {
    if (g.window && WindowAlive()) SDL_SetWindowFullscreen(g.window, 0);
    g.fullScreen = 0;
}

}  // namespace

const PlatDisplayBackend plat_SdlDisplay = {SSetMode, SPresent, SWaitVerticalBlank, SRestoreDesktop};
