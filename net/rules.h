// Game-type rules: single player, capture the flag and deathmatch, each a
// table of hooks the server, the object code and the level start call at
// fixed moments; the team bookkeeping, flag counts, score limits and round
// ends; and the damage routine of static objects.
#pragma once
#include <cstdint>

#include "base/fix.h"

struct ObjectRecord;
struct PlayerStartupSource;

// Damage routines of static objects and of destructible structures: they
// take the current hit record, announce a destruction and score it.
void Server_StaticDamage(ObjectRecord* object);
void Server_StaticDamageDestructible(ObjectRecord* object);

// What the team choice knows of a joining player.
struct RulesJoin {
    const char* squadron;  // the descriptor's side text (null or empty: none)
    int32_t recordSide;    // side in the player's record: 0 none, 1 team A, else team B
    int32_t aircraftSide;  // side of the chosen aircraft type, same values
};

// Reply codes of a refused join.
constexpr int32_t RULES_REPLY_TEAM_FULL = 2;
constexpr int32_t RULES_REPLY_NO_TEAM = 3;

typedef void (*RulesSlotHook)(int32_t slot);
typedef void (*RulesObjectHook)(ObjectRecord* object);
// The side byte an object shows the player of the slot.
typedef uint8_t (*RulesSideHook)(int32_t viewerSlot, const ObjectRecord* object);
typedef void (*RulesStartupHook)(PlayerStartupSource* record);
typedef void (*RulesFrameHook)(void);
// The slot for a joining player, or -1 with the reply code.
typedef int32_t (*RulesTeamHook)(const RulesJoin* join, int32_t* reply);

// The rules table: 22 routine slots; a null slot is skipped by its caller.
struct RulesRecord {
    RulesSlotHook playerKilled;        // 1
    RulesObjectHook objectDestroyed;   // 2
    RulesSlotHook playerObjectMade;    // 3 side bytes of the new player object
    RulesSideHook objectSide;          // 4 object update records
    RulesSideHook staticSide;          // 5 static records
    RulesStartupHook startupFields;    // 6 +60, +62, +64 of the start-up record
    RulesObjectHook countObject;       // 7 each placed static object at level start
    RulesSlotHook playerJoined;        // 8
    RulesSlotHook scorePenalty;        // 9
    RulesSlotHook playerLeft;          // 10
    void (*unused11)(void);            // 11
    RulesFrameHook frame;              // 12 null until a round ends
    RulesSlotHook scoreChanged;        // 13
    RulesTeamHook teamChoice;          // 14
    RulesSlotHook deathmatchPlayer;    // 15
    void (*spare[7])(void);            // 16..22
};
static_assert(sizeof(RulesRecord) == 22 * sizeof(void (*)(void)), "22 routine slots");

// The three rule sets and their starts (each clears its table and state).
extern RulesRecord rules_SinglePlayer;
extern RulesRecord rules_CaptureTheFlag;
extern RulesRecord rules_Deathmatch;
void rules_SinglePlayerStart(void);
void rules_CaptureTheFlagStart(void);
void rules_DeathmatchStart(void);

// The table the server runs (Server.rules), or null.
RulesRecord* rules_Current(void);

// Game settings copied at rule start.
struct RulesSettings {
    int32_t playerSlots;   // slots in use
    int32_t respawn;       // deathmatch respawn
    int32_t gameFlags[2];  // blackouts; the second game flag
};
extern RulesSettings rules_Settings;

// Teams of capture the flag: 0 team A (even slots), 1 team B (odd slots).
constexpr int32_t RULES_TEAM_A = 0;
constexpr int32_t RULES_TEAM_B = 1;
// A colour drawn for both teams: team A takes this one instead.
constexpr int32_t RULES_COLOUR_COLLISION = 37;
struct RulesCtfState {
    int32_t colour[2];
    int32_t rounds;      // rounds played on this map
    int32_t flags[2];    // flags standing
    int32_t players[2];
    int32_t lastFlagSet;     // a flag was destroyed in this round
    FixWorldPos lastFlagPosition;
};
extern RulesCtfState rules_Ctf;
extern int32_t rules_DeathmatchRounds;
// The game clock tick at which the round-end pause is over.
extern uint32_t rules_RoundEndTick;

constexpr uint32_t RULES_ROUND_END_TICKS = 600;
constexpr int32_t RULES_RESPAWN_DELAY = 200;
constexpr int32_t RULES_DEATHMATCH_TIMER = 1800;
// Game data entries the rules announce.
constexpr uint32_t RULES_TEXT_TEAM_NAMES = 27;   // + colour
constexpr uint32_t RULES_TEXT_DESTROYED = 476;
constexpr uint32_t RULES_TEXT_DM_JOINED = 561;
constexpr uint32_t RULES_TEXT_FLAG_LOST = 763;
constexpr uint32_t RULES_TEXT_CTF_JOINED = 767;
constexpr uint32_t RULES_TEXT_CTF_JOINED_END = 768;

// The team of a capture-the-flag object from its flag byte: team A with
// bit 3, team B with bit 2, -1 for none.
int32_t rules_ObjectTeam(const ObjectRecord* object);
// The destroyed-object announcement.
void rules_AnnounceDestroyed(const ObjectRecord* object);
