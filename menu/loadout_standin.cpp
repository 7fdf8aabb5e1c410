// Stand-in until the loadout screen lands: an empty preview surface.
#include "menu/loadout.h"

_DRAW_SURFACE mnu_PreviewSurface = {};

// Stand-in until the campaign screens land: a quick mission, every store in
// stock.
int32_t mnu_StockCheck = 0;
int32_t mnu_AircraftFamily = 0;
void* mnu_CampLoadoutList = nullptr;
