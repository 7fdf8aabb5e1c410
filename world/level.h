// Level loading: the server and client halves of a level, the level model
// table, the level's selection (region, time of day, mission names), the
// ART.CFG colour tables, the level lists and the multiplayer map choice.
//
// Each loader brackets everything it allocates between two zero-size
// marker blocks of the current heap, so that a level is freed in one call.
#pragma once
#include <cstddef>
#include <cstdint>

struct _ORF;
struct _PAK_HEADER;
struct PALREF;
struct ObjectRecord;
struct BitmapFont;

constexpr int32_t LEVEL_NAME_SIZE = 96;

// Mission names block: the mission file name and its reference file name.
struct LevelMissionNames {
    char mission[LEVEL_NAME_SIZE];
    char reference[LEVEL_NAME_SIZE];
};
extern LevelMissionNames level_MissionNames;
// A mission file chosen by the front end (empty for none); longer than 95
// characters is refused.
extern char level_UserMission[256];

// Region 0..9 (-1: the mission file decides), time of day 0..4, night flag.
extern int32_t level_Region;
extern int32_t level_TimeOfDay;
extern int32_t level_Night;
// A time of day forced by the settings; -1 for none.
extern int32_t level_TimeOfDayForced;
// Multiplayer map index 0..9 of the rotation.
extern int32_t level_MapIndex;
// ART.CFG section "LOCALE" overrides the mission and its region (off).
extern int32_t level_LocaleOverride;

// The level's mission; null without one (a client that joined a remote game).
extern _ORF* level_Mission;

// The level palette object, or null when the level has none.
extern PALREF* level_Palref;
// The current brighten record of the level's region and time of day
// (brightness, contrast, red, green and blue gains, each 0..255).
extern int32_t level_Brighten[5];
// Owner key of the named blocks that belong to the current level.
extern uint32_t level_OwnerKey;

// Marker blocks (size 0) of the two halves.
struct LevelMarkers {
    void* serverStart;
    void* serverEnd;
    void* clientStart;
    void* clientEnd;
};
extern LevelMarkers level_Markers;

// Level model table. Slots 0..255 can also be loaded by number.
constexpr int32_t LEVEL_MODEL_SLOTS = 385;
constexpr int32_t LEVEL_NUMBERED_SLOTS = 256;
// In a multiplayer game the level's own models start here.
constexpr int32_t LEVEL_MULTIPLAYER_FIRST_MODEL = 64;
struct LevelModelTable {
    _PAK_HEADER* pak[LEVEL_MODEL_SLOTS];
    const char* name[LEVEL_MODEL_SLOTS];
    int32_t count;           // slots used so far
    int32_t firstLevelSlot;  // first slot of the level's own model list
};
extern LevelModelTable level_Models;
// The player aircraft's model (level_LoadPlayersPlane), and the two other
// player model pointers the client stop clears.
extern _PAK_HEADER* level_PlayerModel[3];

// Further fixed models of a single-player level, supplied at run time: a
// null-terminated list of names, or null.
extern const char* const* level_SinglePlayerModels;

// What level_LoadPak hands back.
struct LevelPakRef {
    _PAK_HEADER* pak;
    uint16_t slot;
};

// Colour tables of ART.CFG: per key 50 RGB entries by [region][time of day].
enum LevelColourKey : int32_t {
    LEVEL_R1_START, LEVEL_R1_END, LEVEL_R2_START, LEVEL_R2_END,
    LEVEL_R3_START, LEVEL_R3_END, LEVEL_R4_START, LEVEL_R4_END,
    LEVEL_CLOUD_START, LEVEL_CLOUD_END, LEVEL_HAZE, LEVEL_SMOKE, LEVEL_SPACE,
    LEVEL_COLOUR_KEYS
};
constexpr int32_t LEVEL_REGIONS = 10;
constexpr int32_t LEVEL_TIMES_OF_DAY = 5;
constexpr int32_t LEVEL_COLOUR_ENTRIES = LEVEL_REGIONS * LEVEL_TIMES_OF_DAY;
extern const char* const level_ColourKeyNames[LEVEL_COLOUR_KEYS];
struct LevelColourTables {
    uint8_t rgb[LEVEL_COLOUR_KEYS][LEVEL_COLOUR_ENTRIES][4];  // red, green, blue, 0
    int32_t brighten[LEVEL_COLOUR_ENTRIES][5];
    int32_t coolHaze;
};
extern LevelColourTables level_Colours;
// The current entry of each table (selected by region and time of day).
extern const uint8_t* level_ColourCurrent[LEVEL_COLOUR_KEYS];
// Haze depth and shift of the level.
extern int32_t level_HazeDepth;
extern int32_t level_HazeShift;
// Palette-dependent values, each repeated over the word: in 8-bit modes the
// palette indices of grey 239 and of the space colour, in 16-bit modes the
// pixels of cloud end and of space.
extern uint32_t level_Grey239Value;
extern uint32_t level_SpaceValue;
// The palette index of the MFD colour (dark green), set with the tables above.
extern int32_t level_MfdColour;
// The 768-byte level palette copy of the client and its shade table.
extern uint8_t level_PaletteCopy[768];
extern uint8_t* level_ShadeTable;

// Level lists (4-byte object pointers in the original, native here).
struct LevelLists {
    ObjectRecord** sam;             // "SAM List", 512
    ObjectRecord** bombTarget;      // "Level.bomb_target_list", 512
    ObjectRecord** baseMarker;      // "Level.base_marker_list", 256
    ObjectRecord** wildWeasel;      // "Level.wild_weasel_list", 512
    ObjectRecord** lasedTarget;     // "Level.lased_target_list", 512
};
extern LevelLists level_Lists;

// Mission options block, copied from the front end's copy before a campaign
// or single mission. Its first 2048 bytes are the destroyed table (by placed
// serial), the rest the mission state table (by state index).
constexpr uint32_t LEVEL_MISSION_OPTIONS_SIZE = 2832;
constexpr uint32_t LEVEL_DESTROYED_TABLE_SIZE = 2048;
constexpr uint32_t LEVEL_STATE_TABLE_SIZE = LEVEL_MISSION_OPTIONS_SIZE - LEVEL_DESTROYED_TABLE_SIZE;
extern uint8_t level_MissionOptions[LEVEL_MISSION_OPTIONS_SIZE];
extern uint8_t level_MissionOptionsFrontEnd[LEVEL_MISSION_OPTIONS_SIZE];
// The level's two sound-trigger records.
extern uint8_t level_SoundTriggerRecords[2][200];
// The level's 76-byte flag area.
extern uint8_t level_FlagArea[76];
// Ticks the server load took; 1 while the level tables are being built.
extern uint32_t level_LoadTicks;
extern int32_t level_Loading;

// The level's fonts: small, arial11n, key13bna, key16bna, key11bna and the
// settings' font.
constexpr int32_t LEVEL_FONTS = 6;
extern BitmapFont* level_Fonts[LEVEL_FONTS];

// The three player limits of the server's and the client's game record.
extern int32_t level_ServerPlayerLimits[3];
extern int32_t level_ClientPlayerLimits[3];
// The second table file of a dedicated server ("KRXMENU.BIN").
extern void* level_MenuTable;
// The game data table of the level.
extern void* level_GameData;
// The text of item n of the game data file, or null when it is missing.
const char* level_GameText(uint32_t n);
// The packed model names the client received from the server; the level
// record's 16-bit word at offset 10 counts them.
extern const char* level_PackedNames;
extern uint32_t level_PackedNamesSize;
constexpr uint32_t LEVEL_RECORD_NAME_COUNT = 10;

// Loaders.
void level_LoadServer(void);
void level_LoadClient(const uint8_t* levelRecord, size_t recordSize);
int32_t level_LoadPak(LevelPakRef* out, const char* name);
void level_LoadPakInSlot(int32_t slot, const char* name);
void level_LoadModels(const uint8_t* names, int32_t count);
void level_LoadModelsPacked(const char* names, size_t size, int32_t count);
void level_LoadPlayersPlane(const char* name);
void level_ParseArtCfg(void);
// Parses ART.CFG text already loaded into the section parser.
void level_ArtCfgRead(void);
// Current colours and brighten record from region and time of day.
void level_CurrentColoursSelect(void);
void level_PaletteApply(void);
void level_ColourTablesBuild(void);
void level_PaletteFadeOut(const uint8_t* palette, int32_t step);
void level_PaletteFadeIn(const uint8_t* palette, int32_t step);
void level_WaitTicks(void);
int32_t level_MultiplayerMapNames(uint32_t modeBits);
void level_PalrefRelease(void);
void level_PalrefReset(void);
void level_VcursorRelease(void);

// Map items and the other level services other subsystems read. A map item
// (array 1 of the mission) marks a placed object on the mission map.
struct LevelMapItem {
    uint8_t kind;          // 0 none, 1 a placed object
    uint8_t revealMode;    // 0 shown from the start, 1 once its trigger flag is set
    uint16_t index;        // placed object (item index of level_ItemDescTable)
    uint16_t triggerFlag;  // trigger flag number of reveal mode 1
    // The description of the placed object at index (its record's bytes 34
    // and 35): kind 0 names it by word 27 + nameIndex, kind 2 by word
    // 177 + nameIndex; LEVEL_DESC_NONE when the index names no record.
    uint8_t descKind;
    uint8_t nameIndex;
};
constexpr uint8_t LEVEL_DESC_NONE = 0xFF;
// Record n of the mission's array 1; false (cleared) beyond it.
bool level_MapItem(uint32_t n, LevelMapItem* out);
// The placed objects of the mission by item index (the per-placed table).
const void* level_ItemDescTable(void);
constexpr uint32_t LEVEL_FLIGHT_STATE_SIZE = 17854;
extern uint8_t level_FlightState[LEVEL_FLIGHT_STATE_SIZE];
struct LevelWaypoint {
    int32_t x, z;
};
struct LevelWaypointList {
    int32_t count;
    LevelWaypoint entries[32];
};
extern LevelWaypointList level_WaypointList;

// A name taken from the network: terminated inside its field and a plain
// file name (no separator, no "..").
bool level_NameIsPlain(const char* name, size_t field);
