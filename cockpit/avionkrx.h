// Avionics art and gauges as the cockpit panel module calls them.
#pragma once
#include <cstdint>

constexpr int32_t AVIONKRX_BACKGROUNDS = 19;
// Gauge background buffers (the first 16 are allocated, the rest borrowed).
extern uint8_t* avionkrx_Backgrounds[AVIONKRX_BACKGROUNDS];

void avionkrx_LoadAvionicAssets(void);
void avionkrx_ReleaseAvionicAssets(void);
void avionkrx_RestoreLoresBackgrounds(void);
void avionkrx_GaugeChangeDetect(void);
void avion_DisplayStateReset(void);
// Runs gauge routine `routine` (0, or 1 for a view's second routine) of
// cockpit view `view` into the current panel.
void avionkrx_GaugesDraw(int32_t view, int32_t routine);

// Refreshes the cockpit glass reflection texture.
void avionkrx_GlassReflectionRefresh(void);
// The threat warning's mask image over the threat panel.
void avionkrx_ThreatMaskDraw(void);
// The cockpit glass model (loaded with the 3D card only), or null.
struct _PAK_HEADER;
extern _PAK_HEADER* avionkrx_GlassModel;

// The radar sweep picture: its range word (the MFD map zoom) and one step.
extern int32_t avion_RadarRange;
void avion_RadarSweep(void);
