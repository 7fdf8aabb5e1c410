// Stand-in until the renderer lands: no hook, no screen-state routines and
// nothing drawn; only the clip passes do their whole work.
#include "render/render.h"

#include "display/clip.h"
#include "display/dsurf.h"
#include "render/view.h"

__attribute__((weak)) void render_UserMessageHookInstall(void) {}
void render_UserMessageEventPost(uint16_t) {}

ScreenStateEntry render_ScreenStateTable[RENDER_SCREEN_STATES];
const ScreenStateEntry* render_ScreenStateCurrent = nullptr;
const ScreenStateEntry* render_ScreenStatePrevious = nullptr;
uint8_t render_OneShotAction = 0;
uint8_t render_WindowedToggleRequest = 0;

void render_ScreenStateSet(int32_t n) {
    if (n < 0 || n >= RENDER_SCREEN_STATES) return;
    render_ScreenStatePrevious = render_ScreenStateCurrent;
    render_ScreenStateCurrent = &render_ScreenStateTable[n];
}

int32_t render_FrameCounter = 0;
int32_t render_SkyDetail = 1;
uint8_t render_EjectionSequence = 0;
uint8_t render_EndStampFlag = 0;
uint8_t render_EndNotice = 0;

// Draws nothing; applies a view mode requested during the frame.
void render_Frame(void) {
    render_FrameCounter++;
    if (view_Words.pending) view_ModeSelect();
}
void render_LightDirectionSet(void) {}
void render_ObjectDraw(ObjectRecord*) {}
void render_ObjectToViewSpace(ObjectRecord*) {}
void render_ParticleFieldFree(void) {}

const PatchTriangle* render_CurrentPolygon = nullptr;
void render_TriangleDraw(int32_t) {}

int32_t render_ClipPasses(int32_t count, PolyClipVertex* a, PolyClipVertex* b) {
    // A triangle or quad gains at most one vertex a pass: 4 + 4 fits in 8.
    if (!a || !b || count < 3 || count > 4) return 0;
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    count = poly_ClipXMin(count, a, b, static_cast<float>(s.clipX1F));
    if (count) count = poly_ClipXMax(count, b, a, static_cast<float>(s.clipX2F));
    if (count) count = poly_ClipYMin(count, a, b, static_cast<float>(s.clipY1F));
    if (count) count = poly_ClipYMax(count, b, a, static_cast<float>(s.clipY2F));
    return count;
}
