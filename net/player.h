// Player records: the aircraft set-up block, the version stamp, the player
// descriptor a joining player hands over, the packed aircraft records and
// the start-up record (MSG_STARTUPDATA) that opens a player's flight.
//
// Descriptors and start-up records come from other machines: every reader
// checks sizes, counts and strings against the record before it writes into
// a block.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sim/ord.h"
#include "sim/plane.h"

constexpr uint32_t PLAYER_AIRCRAFT_BLOCK_SIZE = 1340;

// The aircraft set-up block: names, the loadout, then two words capture the
// flag clears and the packed record's kind byte. Native in memory; written
// field by field wherever it crosses the wire.
struct PlayerAircraftBlock {
    char name[16];
    char modelFile[16];
    char aiModel[16];
    OrdLoadout loadout;
    uint32_t teamFields[2];
    uint8_t kind;
    uint8_t rest[PLAYER_AIRCRAFT_BLOCK_SIZE - 1249];
};
static_assert(sizeof(PlayerAircraftBlock) == PLAYER_AIRCRAFT_BLOCK_SIZE, "aircraft block");
extern PlayerAircraftBlock player_AircraftBlock;

// Clears the local player's aircraft block and runs the descriptor's set-up
// routine on it.
void player_BlockSetup(const _PLANE_TYPE* descriptor);

// The block's 1340-byte image, and back (0, or -1 when a count is out of
// range or a name is not terminated inside its field).
void player_BlockWrite(uint8_t* out, const PlayerAircraftBlock* block);
int32_t player_BlockRead(PlayerAircraftBlock* block, const uint8_t* image);

// Version stamp (92 bytes on the wire, the first 64 written).
constexpr uint32_t PLAYER_STAMP_SIZE = 92;
struct PlayerVersionStamp {
    uint32_t major;
    uint32_t minor;
    uint32_t build;
    uint32_t dataStamp;
    uint32_t words[10];
    uint32_t versionWord;
};
// This program's data stamp, compared with +4 of MSG_STARTUPDATA.
uint32_t player_DataStamp(void);
void player_VersionStampFill(PlayerVersionStamp* stamp);
void player_StampWrite(uint8_t* out, const PlayerVersionStamp* stamp);
void player_StampRead(PlayerVersionStamp* stamp, const uint8_t* image);

// Tagged chunks: tag, u32 length, data. A length of 0 or less ends a chain.
constexpr uint32_t PLAYER_CHUNK_HEAD = 8;

// Player descriptor.
constexpr uint32_t PLAYER_DESCRIPTOR_CHUNKS = PLAYER_AIRCRAFT_BLOCK_SIZE + PLAYER_STAMP_SIZE;  // 1432
constexpr uint32_t PLAYER_DESCRIPTOR_SIZE = PLAYER_DESCRIPTOR_CHUNKS + 12 + 8;                // 1452
constexpr uint32_t PLAYER_DESCRIPTOR_SIDE_SIZE = PLAYER_DESCRIPTOR_SIZE + 20;                 // 1472
constexpr uint32_t PLAYER_SIDE_SIZE = 12;

// The local player's side text and application id, put into its descriptor.
extern char player_SideText[PLAYER_SIDE_SIZE];
extern uint32_t player_ApplicationId;
// The shared buffer the local player's descriptor is built in.
extern uint8_t player_DescriptorBuffer[PLAYER_DESCRIPTOR_SIDE_SIZE];

// The player slot's fields a descriptor fills (the server's slot holds
// them).
struct PlayerSlotRecords {
    PlayerAircraftBlock blocks[3];
    PlayerVersionStamp stamp;
    uint8_t applicationId[4];
    char sideText[PLAYER_SIDE_SIZE];
};

// The player table, one entry per player id, shared by the server, the
// client side and the menus; a slot's name points into its entry.
// It is the client's player name table too: 128 slots, a free one has the
// squadron word 0xFFFF.
constexpr int32_t PLAYER_TABLE_SIZE = 128;
struct PlayerTableEntry {
    char name[22];
    char aircraft[16];  // the text at the start of the player's aircraft block
    int16_t side;
    uint16_t squadron;
};
extern PlayerTableEntry player_Table[PLAYER_TABLE_SIZE];

// Builds the local player's descriptor: its size (1452 or 1472), 0 for a
// null buffer.
uint32_t player_DescriptorBuild(uint8_t* buffer);
// Fills the slot from a received descriptor: 0, or -1 when the descriptor
// is short or its block or a chunk does not fit (the slot is then left as
// it was).
int32_t player_DescriptorApply(const uint8_t* descriptor, size_t size, PlayerSlotRecords* slot);
// The descriptor's "SIDE" text (empty when there is none) into a 12-byte
// destination.
void player_DescriptorSide(const uint8_t* descriptor, size_t size, char* side);

// Builds the descriptor into the shared buffer and creates the local player
// in the session: the driver's result.
int32_t net_CreateLocalPlayer(const char* name, int32_t flag);

// Packed aircraft records, positions counted from the start of the record
// they sit in (`base`). Pack returns the position after the record, or 0
// when it does not fit; unpack returns it, or 0 for a damaged record.
size_t player_AircraftPack(uint8_t* base, size_t size, size_t pos, const PlayerAircraftBlock* block);
size_t player_AircraftUnpack(const uint8_t* base, size_t size, size_t pos, PlayerAircraftBlock* block);

// Start-up record.
constexpr uint32_t PLAYER_STARTUP_HEAD = 76;
constexpr uint32_t PLAYER_STARTUP_STRINGS = 7;
constexpr uint32_t PLAYER_START_ENTRY_SIZE = 24;
constexpr int32_t PLAYER_JOIN_ACCEPTED = 0;
constexpr int32_t PLAYER_JOIN_OTHER_APPLICATION = -4;
constexpr int32_t PLAYER_JOIN_REFUSED_FIRST = -5;
constexpr int32_t PLAYER_JOIN_REFUSED_SECOND = -6;

struct PlayerNamePair {
    char first[39];    // up to 38 characters
    char second[17];   // up to 16
    uint16_t values[2];
};
struct PlayerFlaggedString {
    uint8_t flag;
    const char* text;
};

// Everything the start-up record writer puts into a player's record: the
// slot's and the server's values, and the bytes the rules' start-up hook
// sets (+60, +62, +64).
struct PlayerStartupSource {
    uint16_t playerNumber;
    int32_t startPosition[3];
    uint32_t startOrientation[3];
    uint16_t modelSlot;
    uint32_t levelRunNumber;
    uint32_t startupNumber;
    int8_t region, timeOfDay;
    uint8_t sides[2];
    uint8_t ctfStart;
    uint16_t squadron;
    uint8_t teamPlay;
    uint8_t blackouts;
    uint8_t secondGameFlag;
    const char* strings[PLAYER_STARTUP_STRINGS];   // null writes an empty string
    // The level's model names, in the order of its model list: a client in
    // its own process loads them through level_LoadModelsPacked.
    const char* const* missionNames;
    uint16_t missionNameCount;
    const uint8_t* startEntries;                  // count x 24 bytes
    uint16_t startEntryCount;
    const PlayerNamePair* namePairs;
    uint16_t namePairCount;
    const PlayerFlaggedString* flagged;
    uint32_t flaggedCount;
    const PlayerAircraftBlock* blocks[2];
    int32_t joinResult;
};

// The first two of the seven texts name the level's mission file and its
// terrain reference file: a client in its own process takes them into its
// mission names block.
constexpr int32_t PLAYER_TEXT_MISSION = 0;
constexpr int32_t PLAYER_TEXT_REFERENCE = 1;

// The join result: -4 when the game kind admits one application and the
// player's differs, -5 and -6 for the slot's refusal states 1 and 2, else 0.
int32_t player_JoinResult(int32_t singleApplication, uint32_t serverApplicationId,
                          uint32_t playerApplicationId, int32_t refusalState);

// Writes the whole record: its length, or 0 when it does not fit in size.
uint32_t player_StartupWrite(uint8_t* record, size_t size, const PlayerStartupSource* source);

// What a client reads out of a start-up record.
struct PlayerStartupView {
    uint32_t dataStamp;
    uint16_t playerNumber;
    int32_t startPosition[3];
    uint32_t startOrientation[3];
    uint16_t startEntryCount;
    uint16_t namePairCount;
    uint16_t missionNameCount;
    uint32_t levelRunNumber;
    uint32_t startupNumber;
    int8_t region, timeOfDay;
    uint8_t sides[2];
    uint8_t ctfStart;
    uint8_t squadron;
    uint8_t teamPlay;
    uint8_t blackouts;
    uint8_t secondGameFlag;
    uint32_t flaggedCount;
    char strings[PLAYER_STARTUP_STRINGS][16];
    uint32_t missionNamesAt;     // offsets into the record
    uint32_t startEntriesAt;
    uint32_t namePairsAt;
    uint32_t flaggedAt;
    PlayerAircraftBlock blocks[2];
    PlayerVersionStamp stamp;
    int32_t joinResult;
};

// Reads and checks the whole record (steps of the client's start-up read
// that touch no state): 0, or -1 for a damaged record.
int32_t player_StartupParse(const uint8_t* record, size_t size, PlayerStartupView* view);

// The client's side of the start-up.
extern PlayerStartupView player_Startup;
extern uint32_t player_LastStartupNumber;
extern PlayerAircraftBlock player_ClientBlocks[2];
extern int32_t player_LevelLoadedBefore;

// The client's start-up read: -1 for a null, repeated, foreign or damaged
// record (the last three end the flight with exit result -1 when the record
// is not a repeat), otherwise the client level load's result.
int32_t player_ClientStartupRead(const uint8_t* record, size_t size);
