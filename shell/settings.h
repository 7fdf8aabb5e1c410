// Settings files: APP.INI (start-up switches and chat macros) and the user
// settings record, kept in KRX.INI and taken over once from the older KRX.SAV
// and KRX.CFG when KRX.INI does not exist yet.
#pragma once
#include <cstddef>
#include <cstdint>

// ---- APP.INI ----------------------------------------------------------------

constexpr int32_t APP_CHAT_MACROS = 10;
constexpr int32_t APP_CHAT_MACRO_SIZE = 128;

struct AppIniRecord {
    int32_t SKIP_16BIT_CHECK;
    int32_t SKIP_BAD3DFXDLLS_CHECK;
    char chat[APP_CHAT_MACROS][APP_CHAT_MACRO_SIZE];
};
extern AppIniRecord app_Ini;

void app_IniDefaults(void);
// Reads APP.INI; writes it with the defaults when it does not exist. 0.
int32_t app_IniRead(void);
// 0, or -1 when the file could not be written (the old one is kept).
int32_t app_IniWrite(void);

// ---- The settings record ------------------------------------------------------

constexpr int32_t CFG_JOYSTICK_LAYOUTS = 18;
constexpr int32_t CFG_MISSIONS = 64;

struct AppSettings {
    // VIDEO
    int32_t GAME_FULLSCREEN;
    int32_t GAME_RESOLUTION;        // mode: 0 640x480, 1 800x600, 2 1024x768
    int32_t menuWindowed;           // MENU_FULLSCREEN, kept inverted
    int32_t ENABLE_3D;
    // AUDIO
    int32_t SFX_VOLUME;
    int32_t AVIONICS_SOUND_CUES;
    int32_t MUSIC_VOLUME;
    int32_t MUSIC_PLAY;
    int32_t AUX_VOICE_DIALOG;
    int32_t DIALOG_VOLUME;
    // PERFORMANCE
    int32_t MEMORY_USAGE;
    int32_t TEXTURE_DISTANCE;
    // CONTROL
    int32_t JOYSTICK_ENABLE;
    int32_t JOYSTICK_LAYOUT;        // layout number 0..17
    int32_t THROTTLE_ENABLE;
    int32_t RUDDER_ENABLE;
    int32_t STEER_WITH_RUDDER;
    int32_t TRIGGER_FIRES_CURRENT_WEAPON;
    // FLIGHT CHARACTERISTICS
    int32_t BLACKOUTS;
    int32_t AUTO_SHOOTLIST;
    int32_t AUTO_GEAR;
    int32_t UNBALANCED_LOADOUTS;
    int32_t FLAMEOUTS;
    int32_t FLATSPINS;
    // MISC OPTIONS
    int32_t SMOOTH_COCKPIT_CAMERA;
    int32_t AVIONIC_SOUND_VOLUME;
    int32_t WEAPON_HUM_VOLUME;
    uint8_t JOYSTICK_INSTANCE[16];  // instance GUID of the chosen joystick
    int32_t feedbackOff;            // FEEDBACK_ENABLED, kept inverted
    int32_t BITDEPTH_SOFTWARE;
    int32_t BITDEPTH_HARDWARE;
    char HW3D_DLL_FILENAME[16];
    int32_t CARD_NUMBER;
    // MULTIPLAYER
    char PLAYER_NAME[22];
    char SQUADRON_NAME[22];
    char SQUADRON_PASSWORD[12];
    char IP_ADDRESS[32];
    char GAME_PASSWORD[12];
    char SIDE_PASSWORD[12];
    char PHONE_NUMBER[32];
    int32_t PORT;
    int32_t BAUD_RATE;
    int32_t STOP_BITS;
    int32_t PARITY;
    int32_t FLOW_CONTROL;
    int32_t CURRENT_PROVIDER;
    int32_t RAW_SIDE;
    // HOST
    int32_t DEATHMATCH_REGION;
    int32_t DEATHMATCH_TIMEOFDAY;
    int32_t DEATHMATCH_MAX_PLAYERS;
    int32_t DEATHMATCH_KILLS_PER_ROUND;
    int32_t DEATHMATCH_ROUNDS_PER_CHANGE;
    int32_t DEATHMATCH_CHANGE_TYPE;
    int32_t DEATHMATCH_SPIN_DEATHS;
    int32_t DEATHMATCH_BLACKOUTS;
    int32_t RAW_REGION;
    int32_t RAW_TIMEOFDAY;
    int32_t RAW_MAX_PLAYERS;
    int32_t RAW_GAMES_PER_CHANGE;
    int32_t RAW_CHANGE_TYPE;
    int32_t RAW_BLACKOUTS;
    int32_t RAW_BOMBERS_GET_MISSILES;
    int32_t RAW_GPS_ENABLED;
    int32_t RAW_SIDE_SELECTION;
    char RAW_SIDE1_PASSWORD[12];
    char RAW_SIDE2_PASSWORD[12];
    char HOST_GAME_NAME[24];
    char HOST_GAME_PASSWORD[12];
    int32_t HOST_SERVER_TYPE;
    int32_t HOST_GAME_TYPE;
    char HOST_COUNTRY_NAME[16];
    // CONFIGURE
    int32_t PAGE_FLIP;
    int32_t DIRECT_SOUND;
    int32_t MIDI_DEVICE;
    // LOCALIZATION
    char LOCALE[64];
    uint16_t keyYesUpper, keyYesLower;  // KEY_YES
    uint16_t keyNoUpper, keyNoLower;    // KEY_NO
    int32_t EKEY_INDEX_END_MISSION;
    // MISC
    int32_t HUD_COLOR;
    uint8_t HIGHEST_COMPLETED_MISSION[CFG_MISSIONS];
    int32_t LOADOUT_TYPE;
    int32_t CONNECT_AGENT;
    int32_t HUD_COLOR_NIGHT;
    int32_t AVIONICS_OVERLAY;
    int32_t EASY_TARGET_CUE;
    int32_t SHOW_THROTTLE;
    int32_t SHOW_VELOCITY;
    int32_t SHOW_FUEL;
    int32_t SHOW_FUEL_USAGE;
    int32_t SHOW_ALTITUDE;
    int32_t SHOW_AOA;
    int32_t SHOW_MACH;
    uint8_t CONTEST;
    int32_t SHOW_GROUNDSPEED;
    char COUNTRY_CODE[16];
    // Deathmatch store counts; no keys.
    int32_t deathmatchStores1;
    int32_t deathmatchStores2;
};
extern AppSettings app_Settings;
// The current locale name ("Invalid Locale" when the LOCALE setting failed).
extern const char* app_LocaleName;

// Size of the older binary settings file KRX.SAV.
constexpr uint32_t CFG_SAVE_FILE_SIZE = 652;

void cfg_SettingsDefaults(void);
// Defaults; KRX.SAV and KRX.CFG when KRX.INI is missing; KRX.INI; apply;
// KRX.INI written at once when it was missing. 0.
int32_t cfg_SettingsLoad(void);
// KRX.SAV: 0 when taken, -1 when missing or not a valid record.
int32_t cfg_SaveFileRead(void);
// KRX.CFG through the section/key parser; applies the locale either way.
int32_t cfg_ConfigFileRead(void);
// Reads KRX.INI into the record; 0 when read, -1 when missing or of another
// version (the record is left as it was).
int32_t cfg_SettingsRead(void);
void cfg_SettingsApply(void);
// Writes KRX.INI: the new file is written beside it and then takes its place,
// so that a failed write leaves the old one intact. 0, or -1.
int32_t cfg_SettingsWrite(void);
