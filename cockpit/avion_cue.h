// The cockpit's voice cues and warning lights: a per-frame scan of the
// aircraft's state marks nine prioritised cue slots and plays the highest
// pending one when the cockpit voice is free.
#pragma once
#include <cstdint>

constexpr int32_t AVION_CUE_SLOTS = 9;
constexpr int32_t AVION_CUE_SYSTEMS = 19;
// The mixer voice the cockpit speaks on.
constexpr int32_t AVION_COCKPIT_VOICE = 23;

// Cue state (slot i carries cue 9 - i; 0 idle, 2 played, other values pending).
struct AvionCueState {
    uint8_t slots[AVION_CUE_SLOTS];
    uint32_t lastCueTime;  // game ticks
    uint8_t lastCue;       // the remembered cue
    int32_t systems[AVION_CUE_SYSTEMS];
    int32_t gearWord;
    float speed;
    int32_t weaponType;
};
extern AvionCueState avion_Cues;

// What one scan reads of the aircraft.
struct AvionCueInputs {
    uint32_t now;              // game ticks
    bool voiceBusy;
    int32_t systems[AVION_CUE_SYSTEMS];
    uint32_t flags;            // aircraft flag word
    int32_t gearWord;
    float speed;               // knots
    int32_t warning;           // the flight model's warning byte
    float fuel, fuelWarning;
    bool newCueBit;            // flag bit 0x400000 (taken by the caller)
    uint32_t countermeasures;  // bit 0 chaff, bit 1 flares
    bool storeSuppress;
    int32_t weaponType;        // -1 none
    bool storeLeft;
};
// Steps 1 to 8 of the scan on these inputs: the cue played (0 for none).
int32_t avion_WarningCuesScan(const AvionCueInputs& in);
// The scan on the player's aircraft, per flight-model frame.
int32_t avion_WarningCuesUpdate(void);
// Speaks cue 1..9 (view option 0x100 on) and lights its bit.
void avion_CuePlay(int32_t cue);
// Clears every cue state word (cockpit set-up) / the system copy (art load).
void avion_CuesReset(void);
void avion_CueSystemsReset(void);
