// Stand-in until the frame composition lands: no hook and no screen-state
// routines; the frame is the terrain pass alone, which draws the objects of
// its tiles through their draw routines.
#include "render/render.h"

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
void render_ParticleFieldFree(void) {}
__attribute__((weak)) int32_t render_EndOfFlightState = 0;
