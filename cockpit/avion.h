// Avionics services the level loaders and the client start call.
#pragma once
#include <cstdint>

// The two green colour tables of the night-vision displays (rows of 256
// bytes), made by avionkrx_InitGreenTable for the current colour depth.
extern uint8_t* avionLantirnTerrainGreenTable;
extern uint8_t* avionLantirnObjectGreenTable;

struct ObjectRecord;
// Marks an object on the sensor image (the terrain pass, per player drawn).
void avion_SensorMapMark(ObjectRecord* object);

// Per-level resets: the cockpit hook and the green colour tables.
void avion_HookResetCall(void);
void avionkrx_InitGreenTable(void);

// Cockpit hooks of the frame: 4 panel redraw scheduler, 5 the current 2D
// cockpit view (for the aircraft), 6 the enlarged MFD view, 9 the MFDs over
// the frame.
void avion_InstrumentsHookCall(void);
void avion_PanelViewHookCall(ObjectRecord* aircraft);
void avion_MfdEnlargedHookCall(void);
void avion_MfdOverlayHookCall(void);
