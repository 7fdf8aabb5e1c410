// Level start and stop sequences: the server's set-up and replay of a level,
// the walk over the mission's placed objects that makes the world, the
// player objects at their start points, and the client's start, reset and
// model release.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;

constexpr int32_t LEVEL_PLACED_MAX = 1000;   // per-placed table entries
constexpr int32_t LEVEL_PLAYER_STARTS = 128;
constexpr int32_t LEVEL_TYPES = 256;          // object type indices (a byte)

// Category bytes of the per-placed table.
constexpr uint8_t LEVEL_CATEGORY_PLAYER_START = 2;
constexpr uint8_t LEVEL_CATEGORY_AI = 4;
constexpr uint8_t LEVEL_CATEGORY_SPECIAL_AI = 8;
constexpr uint8_t LEVEL_CATEGORY_NOTHING = 16;

struct LevelPlacedEntry {
    uint8_t created;    // 1 for a static object
    uint8_t typeIndex;
    uint8_t instance;   // per-type instance number
    uint8_t category;   // LEVEL_CATEGORY_*
    const void* model;  // the model of a static or AI object
    int32_t value;      // player starts: the player slot + 1
};

struct LevelPlayerStart {
    FixWorldPos position;   // x, 0, z
    int32_t heading;        // 25-bit angle
    uint16_t objectNumber;
    const uint8_t* record;  // the placed record, null for none
    ObjectRecord* object;   // the player object
    int32_t placedIndex;    // of the record in the mission
    const uint8_t* startItems;  // the side's start group, null for none
    uint32_t startItemCount;
};

// The server half's per-level tables (cleared at every start and stop).
struct LevelServerTables {
    LevelPlacedEntry placed[LEVEL_PLACED_MAX];
    ObjectRecord* typeLast[LEVEL_TYPES];
    int32_t typeCount[LEVEL_TYPES];
    int32_t typeStarts[LEVEL_TYPES];
    LevelPlayerStart starts[LEVEL_PLAYER_STARTS];
    int32_t startCount;
    ObjectRecord* playerObjects[LEVEL_PLAYER_STARTS];
    ObjectRecord* newestPlayer;
    ObjectRecord* objectList;   // the server object list
    ObjectRecord** staticList;  // "Level.static_list", one entry a placed object
    int32_t staticCount;
};
// The client half's.
struct LevelClientTables {
    ObjectRecord* objectList;
    ObjectRecord* staticList;
    int32_t staticCount;
};
extern LevelServerTables level_ServerTables;
extern LevelClientTables level_ClientTables;
// Hit points of static objects by hit class 0..9.
extern const int16_t level_StaticHitPoints[10];
// Raised at every server start and replay.
extern uint32_t level_Counter;
// The type the game set-up excludes outside single player (-1: none).
extern int32_t level_ExcludedType;
// The client's 1176- and 20-byte state blocks.
extern uint8_t level_ClientState[1176];
extern uint8_t level_ClientState2[20];

void level_TablesClear(void);
void level_RandomWarmUp(void);
// The server's set-up after a load.
void level_ServerSetUp(void);
void level_PlacedObjectsWalk(void);
void level_StartSequence(void);
void level_ServerReload(void);
void level_ClientStart(void);
void level_ClientPoolReset(void);
void level_ClientReset(void);
void level_ClientModelsFree(void);
void level_ObjectRegister(ObjectRecord* object);
ObjectRecord* level_PlayerObjectCreate(int32_t n);
// 1 when the placed record (76 bytes) would be created now, 0 when its
// mission-state test fails, 2 when it was destroyed before.
int32_t level_ObjectMarkQuery(const uint8_t* placed);
