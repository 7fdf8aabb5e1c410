// The flight-end banner at the top left of the flight picture: the mission
// outcome's text, shadowed, cyan for a mission won and red otherwise.
#include "cockpit/hud.h"
#include "cockpit/tacmap.h"
#include "debug/dbgoverlay.h"
#include "display/dsurf.h"
#include "world/level.h"

void hud_StatusBannerDraw(void) {
    const int32_t status = tacmap_MissionOutcome;
    // 0 is no banner; the outcome has no word past 3.
    if (status < 1 || status > 3) return;
    const char* text = level_GameText(15u + (uint32_t)status);
    if (!text) return;
    const int64_t scale = draw_CurrentSurface.widthScale;
    const int32_t x = (int32_t)((10 * scale) >> 16), y = (int32_t)((6 * scale) >> 16);
    dbg_ShadowLine(dbg_ArialFont(), x, y, status == 1 ? DBG_CYAN : DBG_RED, "%s", text);
}
