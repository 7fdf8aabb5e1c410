// Stand-in until the avionics land: no green tables, no sensor mark.
#include "cockpit/avion.h"

uint8_t* avionLantirnTerrainGreenTable = nullptr;
uint8_t* avionLantirnObjectGreenTable = nullptr;

void avionkrx_InitGreenTable(void) {}
void avion_SensorMapMark(ObjectRecord*) {}

// Stand-in until the warning cues and the HUD glass land: no lights, no glass.
int32_t avion_WarningLights = 0;
void avion_HudGlassDraw(void) {}
