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

// Sizes of the scratch area (the rotated balls), the radar picture and the
// sensor image's side.
constexpr uint32_t AVION_SCRATCH_BYTES = 307200;
constexpr uint32_t AVION_RADAR_BYTES = 65536;
constexpr int32_t AVION_SENSOR_SIZE = 128;
// The virtual cockpit's panel file.
constexpr const char* AVION_PANEL_FILE = "KRXPANEL.VHB";

extern uint8_t* avionicScratchBuffer;
extern uint8_t* avionkrxRadarBuffer;
// For each green intensity its palette index; the 16-bit screens' pixels.
extern uint8_t* crtGreenTable;
extern uint32_t crtGreenTable16[256];

// Allocates the scratch area, clears the night byte and the display state.
void Avion_InitGeneralAvionics(void);

// The fading sensor image of the HUD glass and its noise table.
extern uint8_t avion_SensorImage[AVION_SENSOR_SIZE * AVION_SENSOR_SIZE];
extern uint8_t avion_NoiseTable[1024];
// Marks cell (x, y): 255 there, 128 on its four neighbours (wrapping);
// nothing outside the image.
void avion_SensorMarkCell(int32_t x, int32_t y);
extern int32_t avion_HudGlassEnabled;
extern int32_t avion_HudGlassSuppressed;

// The sweep position (-48..48) and direction; one step of it.
extern int32_t avion_SweepPosition;
extern int32_t avion_SweepDirection;
void avion_SweepStep(void);

// The status page's stores summary: strength and level of nine classes from
// the ordnance manager's mounts (station part 68..90 read as 'D'..'Z').
extern int32_t avion_ThreatStrength[9];
extern int32_t avion_ThreatLevel[9];
void avion_ThreatSummary(void);
// Class of a station letter (-1 none); level of a weapon type (-1 none).
int32_t avion_ThreatClass(int32_t letter);
int32_t avion_ThreatTypeLevel(int32_t type);
