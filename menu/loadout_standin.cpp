// Stand-in until the campaign screens land: a quick mission, every store in
// stock.
#include "menu/loadout.h"

int32_t mnu_StockCheck = 0;
int32_t mnu_AircraftFamily = 0;
void* mnu_CampLoadoutList = nullptr;
