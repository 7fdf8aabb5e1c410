// The developer console: words typed on the in-flight input line that switch
// settings and debug features, and the toggle block they share with the
// cheats and the overlays.
#pragma once
#include <cstdint>

// The console toggle block: 19 words, all cleared at start-up.
enum : int32_t {
    CON_BLUR = 0,
    CON_MMX_BLITTERS,
    CON_WEAPON_OVERLAY,
    CON_BOMB_OVERLAY,
    CON_OBJECT_OVERLAY,
    CON_UNLIMITED_STORES,  // cheat flag 1
    CON_CHEAT_FLAG2,
    CON_CHEAT_FLAG3,
    CON_DEBUG_FLAG,        // the hidden debug switch the renderer reads
    CON_FRAME_RATE,
    CON_CARD_STATISTICS,   // the 3D card's statistics lines
    CON_HIT_POINT_LABELS,  // "HP=" labels on the server objects
    CON_SIGNATURE_LABELS,  // "SIG=" labels on the client's player objects
    CON_TOGGLE_WORDS = 19
};
extern int32_t con_ToggleBlock[CON_TOGGLE_WORDS];
// The unlimited-stores switch: releases take nothing off the stores.
inline int32_t& con_UnlimitedStores = con_ToggleBlock[CON_UNLIMITED_STORES];
// The bomb overlay switch: bomb recording starts with the client while it is
// on.
inline int32_t& con_BombOverlay = con_ToggleBlock[CON_BOMB_OVERLAY];

// Clears the console toggles (start-up).
void con_ClearToggles(void);
// The server side's level load: the toggles cleared, then the frame rate
// shown when start-up option APP_OPTION_FRAME_RATE is set.
void con_LevelToggles(void);
// Shows entry n of the game data texts on the debug text ring (nothing
// without the table or the entry).
void con_PrintString(int32_t n);
// Entry n used as a format with one number and shown the same way; an entry
// whose conversions are not a single number is not used.
void con_PrintNumber(int32_t n, int32_t value);
// Runs a console command: 1 when the text was one, 0 otherwise.
int32_t con_Execute(const char* text);

// The overlay hook of the debug overlay pass (null: none).
typedef void (*ConOverlayRoutine)(void);
extern ConOverlayRoutine con_OverlayHook;

// The crash switch: with the option bit set, touchdowns and ground rolls
// never crash.
int32_t con_NoCrash(void);
// The shared switches of the console's hidden words and the cheats; each
// toggles, shows its on or off message and returns the new state.
int32_t con_NoCrashToggle(void);
