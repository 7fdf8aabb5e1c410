// Stand-in until the avionics art and gauges land: the loader loads only
// the cockpit model (the night one on a night level, which sets the night
// byte); nothing drawn, the change detector marks nothing.
#include "cockpit/avionkrx.h"

#include <cstdio>

#include "base/file.h"
#include "cockpit/vcp.h"
#include "render/view.h"
#include "sim/plane.h"
#include "world/level.h"
#include "world/pak.h"

uint8_t* avionkrx_Backgrounds[AVIONKRX_BACKGROUNDS];
_PAK_HEADER* avionkrx_GlassModel = nullptr;

namespace {
char g_loaded[16];
}

void avionkrx_LoadAvionicAssets(void) {
    vcp_NightByte = level_Night == 1 ? 1 : 0;
    const char* name = vcp_NightByte ? plane_CurrentDescriptor.cockpitNightModel : plane_CurrentDescriptor.cockpitModel;
    if (!name[0] || !file_Exists(name)) return;
    view_CockpitModel = pak_Load(name);
    if (view_CockpitModel) snprintf(g_loaded, sizeof g_loaded, "%.15s", name);
    vcp_Available = view_CockpitModel ? 1 : 0;
}

void avionkrx_ReleaseAvionicAssets(void) {
    if (g_loaded[0]) pak_Release(g_loaded);
    g_loaded[0] = 0;
    view_CockpitModel = nullptr;
    vcp_Available = 0;
}

void avionkrx_RestoreLoresBackgrounds(void) {}
void avionkrx_GaugeChangeDetect(void) {}
void avion_DisplayStateReset(void) {}
void avionkrx_GaugesDraw(int32_t, int32_t) {}
void avionkrx_ThreatMaskDraw(void) {}
void avionkrx_GlassReflectionRefresh(void) {}
int32_t avion_RadarRange = 0;
void avion_RadarSweep(void) {}
