// The sky's per-frame state cleared between sky tests.
#pragma once
#include "render/render.h"
#include "render/sky.h"

inline void test_SkyFrameStateClear(void) {
    sky_View = SkyView{};
    sky_InsideCloud = 0;
    render_AboveCloudDeck = 0;
    render_CloudHazeOffset = 0;
    render_PaletteRequest = 0;
    sky_GlareLevel = 0;
}
