// Stand-in until the renderer lands: no hook and no screen-state routines;
// the frame is the terrain pass alone, its triangles filled with their tiles;
// the clip passes do their whole work.
#include "render/render.h"

#include "display/clip.h"
#include "display/dsurf.h"
#include "display/rast.h"
#include "render/view.h"
#include "sim/obj.h"
#include "world/level.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

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
int32_t render_AboveCloudDeck = 0;
int32_t render_CloudHazeOffset = 0;
const uint8_t* render_ShadeTables[2] = {nullptr, nullptr};

// The terrain pass from the viewed object's position and heading; a view
// mode requested during the frame is applied once it is drawn.
void render_Frame(void) {
    render_FrameCounter++;
    const ObjectRecord* o = ViewedObject;
    if (o) {
        view_State.position = o->position;
        view_State.angles = FixAngles{o->angles.heading, 0, 0};
        fix_SinCosAngles(-o->angles.heading, 0, 0, &view_State.viewMatrix);
        if (level_ShadeTable) {
            render_ShadeTables[0] = render_ShadeTables[1] = level_ShadeTable;
            poly_SpanState.shadeTable = level_ShadeTable;
            poly_SpanState.shadeRows = 32;
        }
        terrain_DrawFrame();
    }
    if (view_Words.pending) view_ModeSelect();
}
void render_LightDirectionSet(void) {}
void render_ObjectDraw(ObjectRecord*) {}
void render_ObjectToViewSpace(ObjectRecord*) {}
void render_ParticleFieldFree(void) {}

const PatchTriangle* render_CurrentPolygon = nullptr;
__attribute__((weak)) void render_TriangleDraw(int32_t colour) {
    const PatchTriangle* t = render_CurrentPolygon;
    if (!t || !t->tile) return;
    PolyVertex v[3];
    for (int k = 0; k < 3; k++) {
        v[k] = t->vertex[k]->screen;
        if (colour == -1) {
            v[k].u = t->uv[k][0];
            v[k].v = t->uv[k][1];
        }
    }
    // The rasteriser clips to the surface; corners far outside it (a
    // triangle across the near distance) are left out.
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    for (const PolyVertex& p : v)
        if (p.x < -(1 << 22) || p.x > (1 << 22) || p.y < -(1 << 22) || p.y > (1 << 22)) return;
    // The terrain keeps the triangles that run anticlockwise on the screen.
    poly_DrawPolygon(&v[0], &v[2], &v[1], s.base, colour == -1 ? (uintptr_t)t->tile->pixels : (uintptr_t)(colour & 0xFF));
}

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
