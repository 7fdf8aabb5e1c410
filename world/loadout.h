// Aircraft set-up routines: the player aircraft's set-up block, the
// multiplayer loadouts of the aircraft families, and the flight-model
// readout page.
#pragma once
#include <cstdint>

#include "sim/ord.h"

struct PlayerAircraftBlock;

// The player aircraft's set-up routine (the "KRX" descriptor's).
void loadout_PlayerSetup(PlayerAircraftBlock* block);

// Host options the multiplayer loadouts read: "TxtHostSW", "TxtHostAM" and
// "TxtHostShare2".
struct LoadoutHostOptions {
    int32_t sw;
    int32_t am;
    int32_t share2;
};

// Loadout families: A ("KRX"), A' ("RX3"), B ("SX1") and C ("TVLAR").
enum LoadoutFamily : int32_t { LOADOUT_A, LOADOUT_A2, LOADOUT_B, LOADOUT_C, LOADOUT_NONE = -1 };
// The family of an aircraft name, LOADOUT_NONE when it has none.
LoadoutFamily loadout_FamilyOf(const char* aircraftName);

// Fill an emptied loadout.
void loadout_Deathmatch(LoadoutFamily family, OrdLoadout* out, const LoadoutHostOptions* options);
void loadout_CtfFirst(LoadoutFamily family, OrdLoadout* out);
void loadout_CtfSecond(LoadoutFamily family, OrdLoadout* out, const LoadoutHostOptions* options);
// Sets the store counts of A' (teamPlay 1 deathmatch, 2 capture the flag;
// second: the second capture-the-flag loadout).
void loadout_StoreCounts(LoadoutFamily family, OrdLoadout* out, int32_t teamPlay, int32_t second,
                         const LoadoutHostOptions* options);
// The family's full store list, count and capacity 10 each.
void loadout_FullStores(LoadoutFamily family, OrdLoadout* out);

// Values the flight-model readout page shows.
struct LoadoutReadout {
    float mass, massP, massO, massI, massE;   // kg
    float velocity;                           // metres per frame
    float altitude;                           // metres
    float aoa;                                // degrees
    float throttle, throttleTarget;           // fractions
    float intake, intakeTarget;
    float fuelTurbine, fuelAfterburner;
    float fuelFlow, flowTurbine, flowAfterburner;
    int32_t flameStatus;                      // 0..3
    int32_t flameCounter;
    float flameLevel, flameScale, flame;
    float rpm, rpmTarget;
    float temperature, turbineTemp, turbineTempTarget, flameTemp, flameTempTarget;
    float thrust, thrustPure, efficiency;
    float yaw, pitch;
};
constexpr int32_t LOADOUT_READOUT_LINES = 16;
struct LoadoutReadoutLine {
    int32_t x, y;
    char text[128];
};
// Formats the page's lines (drawn in white at x 10): the number of lines.
int32_t loadout_ReadoutFormat(const LoadoutReadout* values, LoadoutReadoutLine* lines);
// Draws the page in white.
void loadout_ReadoutDraw(const LoadoutReadout* values);
