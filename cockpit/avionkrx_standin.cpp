// Stand-in until the avionics art and gauges land: nothing drawn, the
// change detector marks nothing.
#include "cockpit/avionkrx.h"

uint8_t* avionkrx_Backgrounds[AVIONKRX_BACKGROUNDS];

void avionkrx_LoadAvionicAssets(void) {}
void avionkrx_ReleaseAvionicAssets(void) {}
void avionkrx_RestoreLoresBackgrounds(void) {}
void avionkrx_GaugeChangeDetect(void) {}
void avion_DisplayStateReset(void) {}
void avionkrx_GaugesDraw(int32_t, int32_t) {}
int32_t avion_RadarRange = 0;
void avion_RadarSweep(void) {}
