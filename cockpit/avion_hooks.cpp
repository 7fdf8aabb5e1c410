// The shipped aircraft's cockpit hooks and the wrappers the rest of the
// program calls them through (each calls its slot of the current
// descriptor copy only when it is set).
#include "cockpit/avion.h"
#include "cockpit/avionkrx.h"
#include "cockpit/hud.h"
#include "cockpit/mfd.h"
#include "cockpit/hud_draw.h"
#include "cockpit/vcp.h"
#include "debug/cheat.h"
#include "sim/plane.h"

namespace {

int32_t Hook(int32_t slot, intptr_t argument) {
    PlaneHook h = plane_CurrentDescriptor.cockpitHooks[slot];
    return h ? h(argument) : 0;
}

int32_t ArtLoad(intptr_t) { vcp_PanelArtLoad(); return 0; }
int32_t ArtFree(intptr_t) { vcp_PanelArtFree(); return 0; }
int32_t Setup(intptr_t) { vcp_CockpitSetup(); return 0; }
int32_t Instruments(intptr_t) { vcp_InstrumentsDraw(); return 0; }
int32_t PanelView(intptr_t) { vcp_PanelViewDraw(); return 0; }
int32_t ViewSelect(intptr_t mode) { vcp_PanelViewSelect((int32_t)mode); return 0; }
int32_t MfdEnlarged(intptr_t) { vcp_MfdEnlargedDraw(); return 0; }
int32_t Hud(intptr_t) { hud_FrameDraw(); return 0; }
int32_t MfdOverlay(intptr_t) { vcp_MfdOverlayDraw(); return 0; }
int32_t TacMap(intptr_t zoom) { avion_MapPictureHook((int32_t)zoom); return 0; }
// Screen x in the high and y in the low 32 bits of the argument.
int32_t TacMapMark(intptr_t xy) {
    avion_MapOwnshipHook((int32_t)((uint64_t)xy >> 32), (int32_t)(uint32_t)xy);
    return 0;
}

};  // namespace

PlaneHook avion_CockpitHookTable[PLANE_COCKPIT_HOOKS] = {ArtLoad,    ArtFree, Setup,      Instruments,
                                                         PanelView,  MfdEnlarged, Hud,     ViewSelect,
                                                         MfdOverlay, TacMap,  TacMapMark};

void avion_CockpitSetupHookCall(void) { Hook(2, 0); }
void avion_HookResetCall(void) { avion_CockpitSetupHookCall(); }
void avion_InstrumentsHookCall(void) { Hook(3, 0); }
void avion_PanelViewHookCall(ObjectRecord* aircraft) { Hook(4, (intptr_t)aircraft); }
void avion_MfdEnlargedHookCall(void) { Hook(5, 0); }
void avion_HookHudCall(void) { Hook(6, 0); }
void avion_HookPanelTextureCall(void) { Hook(7, 0); }
void avion_HookPanelScreenCall(void) { Hook(7, 1); }
void avion_MfdOverlayHookCall(void) { Hook(8, 0); }
void avion_HookTacMapCall(int32_t range) { Hook(9, range); }
void avion_HookTacMapMarkCall(int32_t x, int32_t y) {
    PlaneHook h = plane_CurrentDescriptor.cockpitHooks[10];
    if (h) h(((intptr_t)(uint32_t)x << 32) | (uint32_t)y);
}

void avion_ConsoleHookCall(void) {
    if (avionkrx_GlassModel) Hook(7, 2);
}

void avion_KeyPrompt(const char* text) { cheat_Command(text); }
