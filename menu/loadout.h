// The loading screen before every flight and the loadout screen with its
// aircraft preview.
#pragma once
#include <cstdint>

#include "display/dsurf.h"

struct _PAK_HEADER;
struct FileTable;

// The surface the aircraft preview is drawn into: 640 by 480 in 16 bits
// over the screen, clipped to the preview rectangle.
extern _DRAW_SURFACE mnu_PreviewSurface;
struct PALREF;
// The palette the preview model is drawn through ("genpak.pcx").
extern PALREF* mnu_PreviewPalette;
// Light, palettes, shade table, surface and shading of the preview.
void mnu_LoadoutPreviewSetUp(void);
// The shading levels back as they were.
void mnu_LoadoutPreviewRestore(void);
// Clears the preview rectangle and draws the model with the stores of the
// ordnance manager, seen by the orbit camera (25-bit angles, distance in
// world units); nonzero when the model was drawn.
int32_t mnu_LoadoutPreviewDraw(_PAK_HEADER* model, int32_t yaw, int32_t pitch, int32_t distance);

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

// --- The loading screen ---
// The tick count when the last flight was handed over.
extern uint32_t mnu_FlightStartTick;

// --- The loadout screen ---
constexpr int32_t MNU_LO_STATIONS = 5;
struct MnuLoadoutStation {
    char hardpoint[64];
    char area[64];
    char text[128];
    int32_t type;   // -1 none
    int32_t count;
};
extern MnuLoadoutStation mnu_LoadoutStations[MNU_LO_STATIONS + 1];

struct MnuLoadoutState {
    int32_t described;        // weapon type described, -1 none
    int32_t marker;           // station marked, -1 none
    int32_t markerBlink;
    int32_t hoverDepth;
    int32_t areaHovers;
    int32_t dirty;
    int32_t flyIn;            // distance step of the fly-in
    const int32_t* spin;      // next pitch of the spin table
    int32_t yaw, pitch, distance;  // 25-bit turn fractions; distance in world units
    _PAK_HEADER* model;       // "loadkrx.pak", or "boo.pak", or none
    const char* modelName;
    FileTable* gameData;      // "QJGAME.BIN"
    void* mark;               // "mnu Loadout anchor"
};
extern MnuLoadoutState mnu_Loadout;

// The station texts from the ordnance manager's hardpoints.
void mnu_LoadoutStationTexts(void);
// The weapon texts of a store type (-1: the no-weapon texts of station).
void mnu_LoadoutWeaponTexts(int32_t station, int32_t type);
void mnu_LoadoutWeights(void);
// One draw's step of the preview's fly-in and spin.
void mnu_LoadoutPreviewStep(void);

void mnu_LoadoutStorePrev(int32_t station);
void mnu_LoadoutStoreNext(int32_t station);
void mnu_LoadoutPreviewControl(int32_t control);  // 0 yaw left, 1 yaw right, 2 zoom in, 3 zoom out
void mnu_LoadoutHover(int32_t station);
void mnu_LoadoutInfo(int32_t station);
void cbLOHoverX(int32_t);
void cbLOOutHover(int32_t);
void cbLOSimTog(int32_t);
void cbLODef(int32_t);
void cbLOAccept(int32_t);
void cbLOBack(int32_t);
