// The loadout screen's aircraft preview as the view uses it.
#pragma once

#include "display/dsurf.h"

// The surface the aircraft preview is drawn into.
extern _DRAW_SURFACE mnu_PreviewSurface;

#include <cstdint>

// The front end's loadout settings: the campaign stock check (off: every
// option is offered) and the aircraft family of the hardpoint tables.
extern int32_t mnu_StockCheck;
extern int32_t mnu_AircraftFamily;
// The current campaign's stock list.
extern void* mnu_CampLoadoutList;
// The count of a store key (0 when absent; 1 in a quick mission), and the
// count after adding delta (not below 0).
int32_t mnu_CampLoadoutCount(void* list, int32_t storeKey);
int32_t mnu_CampLoadoutAdjust(void* list, int32_t storeKey, int32_t delta);
