// Stand-in until the loadout screen lands: an empty preview surface.
#include "menu/loadout.h"

_DRAW_SURFACE mnu_PreviewSurface = {};

// Stand-in until the campaign screens land: a quick mission, every store in
// stock.
int32_t mnu_StockCheck = 0;
int32_t mnu_AircraftFamily = 0;
void* mnu_CampLoadoutList = nullptr;
__attribute__((weak)) int32_t mnu_CampLoadoutCount(void*, int32_t) { return 1; }
__attribute__((weak)) int32_t mnu_CampLoadoutAdjust(void*, int32_t, int32_t) { return 1; }
