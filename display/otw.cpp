// The out-the-window display manager.
#include "display/otw.h"

#include <cstring>

#include "display/hook.h"
#include "display/hw3d.h"
#include "display/vid.h"
#include "platform/window.h"
#include "render/view.h"
#include "shell/wndproc.h"

DisplayState otw_State;
int32_t otw_DisplayOpen;
int32_t otw_FixedMode;
_EVP* otw_DisplayEvp;
float otw_MouseScaleX = 1.0f, otw_MouseScaleY = 1.0f;
int32_t otw_ClientOffsetX, otw_ClientOffsetY;

namespace {

// The last pixels the screen was locked at: the current surface may still
// point there after the unlock, which is harmless until a mode change frees
// the memory.
uint8_t* g_lastScreenPixels;

intptr_t CardControl(int32_t code) {
    if (!hw3d_Loaded || !hw3d_Descriptor.control) return 0;
    return hw3d_Descriptor.control(code);
}

bool CardUsable(void) { return hw3d_Loaded && CardControl(HW3D_CTL_VERSION) == 16; }

void FillScreenDesc(int32_t width, int32_t height, int32_t bytesPerPixel, int32_t hw3d, int32_t exact,
                    int32_t lockMask) {
    _DRAW_SURFACE& s = otw_State.screen;
    draw_InitSurfaceDesc(&s, nullptr, width, height, bytesPerPixel);
    s.hw3d = hw3d;
    s.modeExact = exact;
    s.lockMask = lockMask;
}

// The screen's memory is about to be replaced: nothing may keep drawing
// into the old one.
void ForgetScreenPixels(void) {
    if (otw_State.locked) otw_UnlockSurface();
    if (g_lastScreenPixels && draw_CurrentSurface.base == g_lastScreenPixels) draw_CurrentSurface.base = nullptr;
    g_lastScreenPixels = nullptr;
}

}  // namespace

int32_t otw_OpenDisplay(int32_t width, int32_t height, int32_t bytesPerPixel, int32_t windowed, int32_t use3d) {
    if (otw_DisplayOpen) otw_CloseDisplay();
    vid_Init();
    memset(&otw_State, 0, sizeof otw_State);
    otw_State.windowed = 1;
    otw_DisplayOpen = 1;
    return otw_SetDisplayMode(~OTW_MODE_FORCE, width, height, bytesPerPixel, windowed, use3d);
}

void otw_CloseDisplay(void) {
    if (!otw_DisplayOpen) return;
    otw_UnlockSurface();
    ForgetScreenPixels();
    memset(&otw_State, 0, sizeof otw_State);
    evp_Free(otw_DisplayEvp);
    otw_DisplayEvp = nullptr;
    otw_DisplayOpen = 0;
}

int32_t otw_CheckMode(int32_t width, int32_t height, int32_t bytesPerPixel, int32_t windowed, int32_t use3d) {
    if (use3d) {
        if (!hw3d_Loaded || !hw3d_Descriptor.modeTest) return -1;
        return hw3d_Descriptor.modeTest(width, height, bytesPerPixel * 8, 0) == 0 ? 0 : -1;
    }
    if (!windowed) return 0;
    int dw = 0, dh = 0, bpp = 0;
    plat_DesktopSize(&dw, &dh, &bpp);
    if (width == 640 && dw == 640) return dh == 480 && height == 480 ? 0 : -1;
    return dw > width && dh > height ? 0 : -1;
}

int32_t otw_SetDisplayMode(int32_t flags, int32_t width, int32_t height, int32_t bytesPerPixel, int32_t windowed,
                           int32_t use3d) {
    if (flags == 0) return 0;
    if (!otw_DisplayOpen) return -1;
    _DRAW_SURFACE& s = otw_State.screen;
    if (!CardUsable()) use3d = 0;
    int32_t w = flags & OTW_MODE_WIDTH ? width : s.width;
    int32_t h = flags & OTW_MODE_HEIGHT ? height : s.height;
    int32_t bpp = flags & OTW_MODE_DEPTH ? bytesPerPixel : s.bytesPerPixel;
    int32_t win = (flags & OTW_MODE_WINDOWED ? windowed : otw_State.windowed) ? 1 : 0;
    int32_t card = (flags & OTW_MODE_USE3D ? use3d : s.hw3d) ? 1 : 0;
    if (card) win = 1;
    if (!(flags & OTW_MODE_FORCE) && w == s.width && h == s.height && bpp == s.bytesPerPixel &&
        win == otw_State.windowed && card == s.hw3d)
        return 0;
    // Sizes the drawing code cannot take are refused before anything changes.
    if (w < 1 || h < 1 || w > 16384 || h > 16384 || (bpp != 1 && bpp != 2 && bpp != 4)) return -1;
    if (otw_CheckMode(w, h, bpp, win, card) != 0) return -1;
    bool sizeChanged = w != s.width || h != s.height || bpp != s.bytesPerPixel || card != s.hw3d;
    ForgetScreenPixels();
    int32_t surfaceHeight = h + (otw_State.extraRows > 0 ? otw_State.extraRows : 0);

    if (card) {
        // A card that will not come on refuses the mode: it is asked before
        // anything of the old mode is given up.
        bool enabledHere = false;
        if (!hw3d_Active) {
            if (hw3d_Enable() != 0) return -1;
            enabledHere = true;
        }
        otw_FitWindow(app_MainHwnd, w, h);
        vid_SetPixelDepth(bpp * 8);
        if (vid_SetModeAndSurface(w, h, 1, w, surfaceHeight) != 0) {
            if (enabledHere) hw3d_Disable();
            goto failed;
        }
        int32_t exact = 1;
        if (hw3d_Descriptor.setMode && hw3d_Descriptor.setMode(w, h, bpp * 8, 1) < 0) {
            hw3d_Descriptor.setMode(w, h, bpp * 8, 0);
            exact = 0;
        }
        FillScreenDesc(w, h, bpp, 1, exact, (int32_t)CardControl(HW3D_CTL_LOCK_MASK));
        otw_State.windowed = 1;
        otw_ResetViewport();
        vid_State.redMask = (uint32_t)CardControl(HW3D_CTL_RED_MASK);
        vid_State.greenMask = (uint32_t)CardControl(HW3D_CTL_GREEN_MASK);
        vid_State.blueMask = (uint32_t)CardControl(HW3D_CTL_BLUE_MASK);
    } else {
        if (hw3d_Active) hw3d_Disable();
        vid_SetPixelDepth(bpp * 8);
        if (vid_SetModeAndSurface(w, h, win, w, surfaceHeight) != 0) goto failed;
        FillScreenDesc(w, h, bpp, 0, 0, OTW_LOCK_MASK_SOFTWARE);
        otw_State.windowed = win;
        otw_ResetViewport();
        if (bpp == 1) vid_RealizePalette();
        if (win) otw_FitWindow(app_MainHwnd, w, h);
    }

    if (sizeChanged) {
        otw_LockSurface();
        otw_UnlockSurface();
        evp_Free(otw_DisplayEvp);
        otw_DisplayEvp = evp_Create(w, h, bpp, s.bytesPerRow);
    }
    otw_ClipCursor();
    if (!otw_State.windowed || hw3d_Active) otw_ClearScreen();
    otw_RunDrawHooks(OTW_HOOK_MODE_CHANGE);
    return 0;

failed:
    // The old surfaces are gone: forget the mode, so that any later request
    // sets a new one, and leave nothing to draw on.
    memset(&s, 0, sizeof s);
    evp_Free(otw_DisplayEvp);
    otw_DisplayEvp = nullptr;
    return -1;
}

void otw_FitWindow(PlatHwnd window, int32_t width, int32_t height) {
    PlatRect outer{}, client{};
    if (plat_WindowGetRect(window, &outer) != 0 || plat_WindowGetClientRect(window, &client) != 0) return;
    int dw = 0, dh = 0, bpp = 0;
    plat_DesktopSize(&dw, &dh, &bpp);
    int32_t frameW = (outer.right - outer.left) - (client.right - client.left);
    int32_t frameH = (outer.bottom - outer.top) - (client.bottom - client.top);
    int32_t outerW = width + frameW, outerH = height + frameH;
    if (outerW > dw) outerW = dw;
    if (outerH > dh) outerH = dh;
    otw_MouseScaleX = outerW < width && outerW > 0 ? (float)width / (float)outerW : 1.0f;
    otw_MouseScaleY = outerH < height && outerH > 0 ? (float)height / (float)outerH * 1.01f : 1.0f;
    plat_WindowMove(window, (dw - outerW) / 2, (dh - outerH) / 2, outerW, outerH);
    if (plat_WindowGetClientRect(window, &client) == 0) {
        otw_ClientOffsetX = client.left;
        otw_ClientOffsetY = client.top;
    }
}

void otw_ClipCursor(void) {
    if (CardControl(HW3D_CTL_NO_CURSOR_CLIP) != 0) {
        plat_CursorClip(nullptr);
        return;
    }
    PlatRect client{};
    if (hw3d_Active && plat_WindowGetClientRect(app_MainHwnd, &client) == 0)
        plat_CursorClip(&client);
    else
        plat_CursorClip(nullptr);  // the whole desktop
}

void otw_SetViewWindow(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    _DRAW_SURFACE& s = otw_State.screen;
    draw_SetSurfaceClip(&s, x1, y1, x2, y2);
    s.centreXF = (int32_t)(((int64_t)x2 - x1) * 128 / 2);
    s.centreYF = (int32_t)(((int64_t)y2 - y1) * 128 / 2);
    ViewNearDistance = 4096;
    if (hw3d_Active) {
        if (hw3d_Descriptor.viewWindow) hw3d_Descriptor.viewWindow(x1, y1, x2, y2);
        if (hw3d_Descriptor.screenRect) hw3d_Descriptor.screenRect(0, 0, s.width, s.height);
    }
    if (otw_DisplayEvp) evp_SetClip(otw_DisplayEvp, x1, y1, x2 - 1, y2 - 1);
}

void otw_ResetViewportFull(void) { otw_SetViewWindow(0, 0, otw_State.screen.width, otw_State.screen.height); }

void otw_ResetViewport(void) {
    if (hw3d_Active)
        otw_ResetViewportFull();
    else
        otw_SetViewWindow(0, 2, otw_State.screen.width, otw_State.screen.height - 2);
}

uint8_t* otw_LockSurface(void) {
    if (!otw_DisplayOpen) return nullptr;
    if (otw_State.locked) return otw_State.lockedPtr;
    _DRAW_SURFACE& s = otw_State.screen;
    uint8_t* pixels = nullptr;
    if (hw3d_Active) {
        int32_t pitch = s.bytesPerRow;
        if (hw3d_Descriptor.lock) pixels = hw3d_Descriptor.lock(&pitch);
        s.bytesPerRow = pitch;
    } else {
        pixels = vid_LockBackBuffer();
    }
    otw_State.lockedPtr = pixels;
    s.base = pixels;
    draw_SelectSurface(&s);
    if (pixels) {
        g_lastScreenPixels = pixels;
        evp_SetBase(otw_DisplayEvp, pixels);
        evp_MakeCurrent(otw_DisplayEvp);
        // Set before the hooks, so a hook that locks again finds it locked.
        otw_State.locked = 1;
        otw_RunDrawHooks(OTW_HOOK_AFTER_LOCK);
    }
    return pixels;
}

void otw_UnlockSurface(void) {
    if (!otw_DisplayOpen || !otw_State.locked) return;
    if (hw3d_Active) {
        if (hw3d_Descriptor.unlock) hw3d_Descriptor.unlock();
    } else {
        vid_UnlockBackBuffer();
    }
    otw_State.lockedPtr = nullptr;
    otw_State.screen.base = nullptr;
    evp_MakeCurrent(nullptr);
    otw_State.locked = 0;
    otw_RunDrawHooks(OTW_HOOK_BEFORE_UNLOCK);
}

void otw_LockIfFlag(int32_t bits) {
    if (bits & otw_State.screen.lockMask) {
        if (!otw_State.locked) otw_LockSurface();
    } else if (otw_State.locked) {
        otw_UnlockSurface();
    }
}

void otw_ClearScreen(void) {
    if (!otw_DisplayOpen) return;
    int32_t wasLocked = otw_State.locked;
    if (hw3d_Active) {
        if (wasLocked) otw_UnlockSurface();
        if (hw3d_Descriptor.colourRegister) hw3d_Descriptor.colourRegister(3, 0, 0, 0);
        if (hw3d_Descriptor.clear) hw3d_Descriptor.clear();
        if (wasLocked) otw_LockSurface();
        return;
    }
    if (!wasLocked) otw_LockSurface();
    const _DRAW_SURFACE& s = otw_State.screen;
    if (otw_State.lockedPtr)
        memset(otw_State.lockedPtr, 0, (size_t)s.width * (size_t)s.height * (size_t)s.bytesPerPixel);
    if (!wasLocked) otw_UnlockSurface();
}

void otw_ClearAllBuffers(void) {
    if (!otw_DisplayOpen) return;
    int32_t wasLocked = otw_State.locked;
    if (wasLocked) otw_UnlockSurface();
    if (hw3d_Active) {
        for (int i = 0; i < 2; i++) {
            if (hw3d_Descriptor.clear) hw3d_Descriptor.clear();
            if (hw3d_Descriptor.swap) hw3d_Descriptor.swap();
        }
        if (hw3d_Descriptor.clear) hw3d_Descriptor.clear();
    } else {
        otw_ClearScreen();
        vid_Flip();
    }
    if (wasLocked) otw_LockSurface();
}

void otw_PresentFrame(void) {
    if (!otw_DisplayOpen) return;
    otw_RunDrawHooks(OTW_HOOK_BEFORE_PRESENT);
    if (!hw3d_Active) vid_Flip();
    otw_RunDrawHooks(OTW_HOOK_AFTER_PRESENT);
    // The card showed the frame without vid_Flip, which clears them otherwise.
    if (hw3d_Active) vid_FrameCounters = VidFrameCounters{};
}
