// Stand-in until the avionics land: no green tables, no sensor mark.
#include "cockpit/avion.h"

uint8_t* avionLantirnTerrainGreenTable = nullptr;
uint8_t* avionLantirnObjectGreenTable = nullptr;

void avionkrx_InitGreenTable(void) {}
void avion_SensorMapMark(ObjectRecord*) {}
