// Stand-in until the avionics land: no hook and no green tables.
#include "cockpit/avion.h"

uint8_t* avionLantirnTerrainGreenTable = nullptr;
uint8_t* avionLantirnObjectGreenTable = nullptr;

void avion_HookResetCall(void) {}
void avionkrx_InitGreenTable(void) {}
void avion_SensorMapMark(ObjectRecord*) {}
void avion_InstrumentsHookCall(void) {}
void avion_PanelViewHookCall(ObjectRecord*) {}
void avion_MfdEnlargedHookCall(void) {}
void avion_MfdOverlayHookCall(void) {}
