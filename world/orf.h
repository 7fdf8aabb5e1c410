// Compiled mission files ("MISS", version 2).
//
// orf_Load reads a mission file whole and builds the mission record: a span
// per counted array of the file (records left as stored, read with the
// decoders below), the groups of arrays 5 and 6 bound to their items, the
// trigger block as native nodes, actions and argument records whose indices
// are checked and resolved into pointers, and the mission text table. The
// file image itself is never patched with pointers; the loader edits only
// values (the time of day and the trigger condition counts). Layouts:
// docs/formats.md.
#pragma once
#include <cstddef>
#include <cstdint>

#include "sim/trig.h"

struct FileTable;

constexpr uint32_t ORF_MAGIC = 0x5353494D;  // "MISS"
constexpr uint32_t ORF_VERSION = 2;
constexpr uint32_t ORF_FATAL = 1;  // flags bit 0: a failure ends the program

// Header offsets.
constexpr uint32_t ORF_HEADER_SIZE = 196;  // the counted arrays start here
constexpr uint32_t ORF_REGION = 16;
constexpr uint32_t ORF_TIME_OF_DAY = 17;
constexpr uint32_t ORF_TEXT_NAME = 20;
constexpr uint32_t ORF_DEPTH_NAME = 36;
constexpr uint32_t ORF_WATER_NAME = 52;
constexpr uint32_t ORF_SHADOW_NAME = 68;
constexpr uint32_t ORF_TILES_NAME = 84;
constexpr uint32_t ORF_REFERENCE_NAME = 100;
constexpr uint32_t ORF_SKY_NAME = 116;
constexpr uint32_t ORF_NAME_SIZE = 16;
constexpr uint32_t ORF_TRIGGER_BLOCK_FLAG = 136;

// Record sizes.
constexpr uint32_t ORF_ARRAY1_SIZE = 8;
constexpr uint32_t ORF_ARRAY2_SIZE = 8;
constexpr uint32_t ORF_MODEL_NAME_SIZE = 16;
constexpr uint32_t ORF_PLACED_SIZE = 76;
constexpr uint32_t ORF_GROUP_HEADER_SIZE = 8;
constexpr uint32_t ORF_ARRAY5_ITEM_SIZE = 12;
constexpr uint32_t ORF_START_ITEM_SIZE = 24;
constexpr uint32_t ORF_TRIGGER_SIZE = 76;
constexpr uint32_t ORF_COUNTER_SIZE = 4;
constexpr uint32_t ORF_MESSAGE_SIZE = 48;
constexpr uint32_t ORF_NODE_SIZE = 36;
constexpr uint32_t ORF_ACTION_SIZE = 28;
constexpr uint32_t ORF_ARGUMENTS_SIZE = 12;

// Trigger layout: the head, then four condition slots.
constexpr uint32_t ORF_TRIGGER_CONDITIONS = 4;
constexpr uint32_t ORF_TRIGGER_HEAD_SIZE = 12;
constexpr uint32_t ORF_CONDITION_SIZE = 16;
// Condition kind (its first byte): how the slot joins the next one.
constexpr uint8_t ORF_LINK_LAST = 0;
constexpr uint8_t ORF_LINK_EXTENDED = 4;  // the next slot extends this one

// One counted array of fixed-size records inside the file image.
struct OrfArray {
    uint8_t* records;  // the first record; null when count is 0
    uint32_t count;
};

// A group of array 5 or 6: its items, consecutive in the file image.
struct OrfGroup {
    uint32_t itemCount;
    uint8_t* items;  // null when itemCount is 0
};

struct OrfGroupArray {
    OrfGroup* groups;  // native, "_ORF groups"
    uint32_t count;
    uint8_t* items;    // the first item of the first group
    uint32_t itemTotal;
};

// The trigger block, as native records. Words are the stored 32-bit values;
// the index words are kept as stored and resolved into the pointers.
struct OrfTriggerArgs {
    int32_t word[ORF_ARGUMENTS_SIZE / 4];
};
struct OrfTriggerAction {
    int32_t word[ORF_ACTION_SIZE / 4];  // 1 and 2: kind; 3: action id; 5: argument index
    OrfTriggerArgs* arguments;          // null for index -1
    const TriggerActionEntry* handler;  // kind 3/1 only: the action table's entry of the id
};
struct OrfTriggerNode {
    int32_t word[ORF_NODE_SIZE / 4];  // 3: action index; 5 and 7: node indices
    OrfTriggerAction* action;         // word 3; null for -1
    OrfTriggerNode* node1;            // word 5; null for -1
    OrfTriggerNode* node2;            // word 7; null for -1
};

// The mission record (heap block "_ORF").
struct _ORF {
    char name[32];
    uint8_t* fileData;   // the file image
    uint32_t fileSize;
    FileTable* textData; // the mission text table (relocated)
    uint8_t* header;     // = fileData
    OrfArray array1;
    OrfArray array2;
    OrfArray models;     // array 3: 16-byte model file names
    OrfArray placed;     // array 4
    OrfGroupArray array5;
    OrfGroupArray starts;  // array 6: start items by side
    OrfArray triggers;   // array 7
    OrfArray counters;   // array 8
    OrfArray messages;   // array 9
    // The trigger block (all zero and null when the file has none).
    int32_t blockValue;
    OrfTriggerNode* nodes;
    uint32_t nodeCount;
    OrfTriggerAction* actions;
    uint32_t actionCount;
    OrfTriggerArgs* arguments;
    uint32_t argumentCount;
    int32_t closingValues[3];
};

// Null for a null name; null (or, with ORF_FATAL, the end of the program)
// for a missing or damaged file. Region rule and forced time of day: see
// docs/formats.md and world/level.h.
_ORF* orf_Load(const char* name, uint32_t flags);
// Frees the text table, the native records, the file image and the record.
void orf_Free(_ORF* record);

// The AI part of a placed object: the bytes from ORF_PLACED_AI on, as the
// unit AI reads them when it creates the unit (docs/formats.md).
constexpr uint32_t ORF_PLACED_AI = 36;
constexpr uint32_t ORF_AI_SKILL = 6;       // byte of the AI part
constexpr uint32_t ORF_AI_FLAG_BYTE = 8;   // byte 0x2c of the record
constexpr uint8_t ORF_AI_NONE = 0xFF;      // no route, no route-step list
// Start flags.
constexpr uint8_t ORF_AI_PARKED = 0x01;
constexpr uint8_t ORF_AI_WAITING = 0x02;
constexpr uint8_t ORF_AI_AIRBORNE = 0x04;
struct OrfAiPart {
    uint8_t subtype;       // unit type 0..30 (aircraft), 0..12 (ground units), 0..9 (structures)
    uint8_t group;         // 0..127
    uint8_t stepList;      // route-step list: group of array 5, ORF_AI_NONE for none
    uint8_t route;         // route: group of array 6, ORF_AI_NONE for none
    uint8_t formation;
    uint8_t startFlags;    // ORF_AI_PARKED, ORF_AI_WAITING, ORF_AI_AIRBORNE
    uint8_t skill;         // 0..3
    uint8_t member;        // member number in its group, from 0
    uint8_t flagByte;      // bit 0: counts as started in the air
    uint8_t categoryByte;  // bit 0 category 0x04, bit 1 0x20, bit 2 0x40, bit 3 bit 0 of +0x5f
    uint8_t extraByte;     // nonzero: category 0x10
    uint8_t missionByte;   // copied to +0x5c
    uint8_t alliance[6];
    uint8_t weapons[3];    // short-range missiles, long-range missiles, gun bursts
    int32_t missionWord;   // copied to +0x84
};
// Decodes the AI part of a 76-byte placed record.
void orf_AiPartDecode(const uint8_t* record, OrfAiPart* out);

// A waypoint of a route (24-byte items of array 6) and a route step
// (12-byte items of array 5), decoded.
struct OrfWaypoint {
    uint32_t x;
    int32_t height;
    uint32_t z;
    uint16_t action;
    uint16_t argument;
    uint8_t behaviour;
    uint8_t engagement;
};
struct OrfRouteStep {
    uint32_t x, z;
    uint16_t kind;     // 0 skip, 1 take-off, other: release the next aircraft
    uint16_t heading;
};
void orf_WaypointDecode(const uint8_t* item, OrfWaypoint* out);
void orf_RouteStepDecode(const uint8_t* item, OrfRouteStep* out);

// The mission map's part of a placed object (bytes ORF_PLACED_MAP on): how
// the briefing's map screen lists, labels and draws it.
constexpr uint32_t ORF_PLACED_MAP = 64;
struct OrfMapPart {
    uint8_t type;       // 0..4 (4 hostile); 12 is kept for the route's waypoints
    uint8_t subtype;
    uint8_t nameIndex;  // name word of the game data texts
    uint8_t iconFrame;
    uint8_t marker;     // marker kind: 3 the bullseye
    uint8_t flags;      // bit 0 shown, bit 2 threat ring
    uint16_t control;   // control word
};
void orf_MapPartDecode(const uint8_t* record, OrfMapPart* out);

// Placed object (array 4), as decoded from its 76 bytes.
struct OrfPlaced {
    uint32_t x;
    int32_t height;
    uint32_t z;
    uint8_t type;          // object type index
    uint8_t category;      // 2 player start, 4 AI unit, 8 special AI unit, 16 nothing
    uint8_t dynamic;       // 0: a static object
    uint8_t heading;       // angle = heading << 17
    uint8_t playerSlot;
    uint8_t kind;
    uint16_t modelIndex;   // relative to the first level-model slot
    uint8_t categoryFlags;
    uint8_t hitClass;      // 0..9
    uint8_t options;       // bit 0: flag 0x10; bit 1: not in the server object list
    uint8_t side;          // start group of array 6
    uint16_t objectNumber; // mission object number
    uint16_t serial;       // destroyed-table index
    uint8_t stateTest;     // first state byte: the mission-state test applies
    uint8_t stateWanted;   // second state byte: the state byte must be set
    uint16_t stateIndex;
    uint8_t sides[2];
    OrfAiPart ai;
    OrfMapPart map;
};
constexpr uint32_t ORF_PLACED_CATEGORY = 13;  // byte offsets the server load edits
constexpr uint32_t ORF_PLACED_DYNAMIC = 14;

// Start item of array 6.
struct OrfStartItem {
    uint32_t x;
    int32_t height;
    uint32_t z;
    uint32_t heading;  // 25-bit angle
};

// Trigger condition slot and trigger, as decoded.
struct OrfCondition {
    uint8_t kind;      // link to the next slot: 0 last, 1 AND, 2 OR, 3 AND NOT, 4 extended
    uint8_t momentary;
    uint16_t id;
    uint8_t code;      // or the comparison of a counter condition
    uint16_t argument; // or the compared counter value
    uint8_t type;      // event type (3: counter condition); an extension's type
    uint8_t matched;
    int32_t tick;
};
struct OrfTrigger {
    uint8_t fired;
    uint8_t conditionCount;
    uint16_t actionList;
    uint16_t actionClass;
    uint16_t arguments[3];
    OrfCondition conditions[ORF_TRIGGER_CONDITIONS];
};

// Decoders of one stored record; false (out cleared) when the index lies
// outside the array.
bool orf_PlacedGet(const _ORF* record, uint32_t index, OrfPlaced* out);
bool orf_StartItemGet(const _ORF* record, uint32_t side, uint32_t item, OrfStartItem* out);
bool orf_TriggerGet(const _ORF* record, uint32_t index, OrfTrigger* out);
// A name field of the header, always terminated (out of 17 bytes at least).
void orf_HeaderName(const _ORF* record, uint32_t offset, char* out, size_t outSize);
