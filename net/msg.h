// Message and event records: the packets server and client exchange once per
// frame, through the local bridge or a transport driver alike.
//
// A packet is a run of records, each {u16 type, u16 length including this
// header}, ended by MSG_END; at most MSG_PACKET_MAX bytes. Every record here
// has one encoder and one decoder, shared by both halves. Encoders write into
// a fixed buffer and fail (writing nothing) when the record does not fit.
// Decoders take a record as the walker hands it (record start, bytes of the
// record) and fail on a wrong type, a record shorter than its type needs, or
// a count that does not fit the record. Nothing is ever cast onto a packet.
//
// Angles travel in the angle form: the top 16 bits of the 32-bit angle. In
// the records below angles are whole 32-bit angles; 16-bit positions stay as
// they travel, since their meaning depends on flags.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"
#include "base/le.h"
#include "base/math.h"

constexpr uint32_t MSG_PACKET_MAX = 0x4000;
constexpr uint32_t MSG_HEADER_SIZE = 4;

// Record types.
constexpr uint16_t MSG_NULL = 0x0000;
constexpr uint16_t MSG_CHAT = 0x0001;
constexpr uint16_t MSG_OBJECTDATA = 0x0002;
constexpr uint16_t MSG_PLAYERDATA = 0x0003;
constexpr uint16_t MSG_STARTUPDATA = 0x0004;
constexpr uint16_t MSG_STATICDATA = 0x0005;
constexpr uint16_t MSG_EVENTDATA = 0x0006;
constexpr uint16_t MSG_PLAYERINFO = 0x0007;
constexpr uint16_t MSG_BULLETFIRED = 0x1001;
constexpr uint16_t MSG_BULLETHIT = 0x1002;
constexpr uint16_t MSG_LAUNCHMISSILE = 0x1003;
constexpr uint16_t MSG_LAUNCHBOMB = 0x1004;
constexpr uint16_t MSG_JETTISONWEAPON = 0x1005;
constexpr uint16_t MSG_PLAYERRESET = 0x1006;
constexpr uint16_t MSG_PLAYERCRASH = 0x1007;
constexpr uint16_t MSG_ECMDROP = 0x1008;
constexpr uint16_t MSG_PLAYERTRIG = 0x1009;
constexpr uint16_t MSG_BULLETHIT_ST = 0x100A;
constexpr uint16_t MSG_WINGCOMMAND = 0x100B;
constexpr uint16_t MSG_PLAYERTYPE = 0x100C;
constexpr uint16_t MSG_MIDAIR = 0x100D;
constexpr uint16_t MSG_STARTUPCONFIRM = 0x100E;
constexpr uint16_t MSG_SQUADREQUEST = 0x100F;
constexpr uint16_t MSG_RESPONSE = 0x1010;
constexpr uint16_t MSG_LAUNCH_FUELPLANE = 0x1012;
constexpr uint16_t MSG_PLAYER_EXPLODED = 0x1013;
constexpr uint16_t MSG_VICTORY = 0x1014;
constexpr uint16_t MSG_CONSOLECOMMAND = 0x1015;  // a line for the server's console
constexpr uint16_t MSG_STATICCONFIRM = 0x2001;
constexpr uint16_t MSG_MSGCONFIRM = 0x2002;
constexpr uint16_t MSG_END = 0xFFFF;

// Fixed record lengths.
constexpr uint16_t MSG_CHAT_LENGTH = 140;
constexpr uint16_t MSG_PLAYERDATA_LENGTH = 64;
constexpr uint16_t MSG_PLAYERINFO_LENGTH = 16;
constexpr uint16_t MSG_BULLETFIRED_LENGTH = 46;
constexpr uint16_t MSG_BULLETHIT_LENGTH = 18;
constexpr uint16_t MSG_LAUNCHMISSILE_LENGTH = 52;
constexpr uint16_t MSG_LAUNCHBOMB_LENGTH = 34;
constexpr uint16_t MSG_JETTISONWEAPON_LENGTH = 24;
constexpr uint16_t MSG_PLAYERRESET_LENGTH = 22;
constexpr uint16_t MSG_PLAYERCRASH_LENGTH = 20;
constexpr uint16_t MSG_ECMDROP_LENGTH = 16;
constexpr uint16_t MSG_PLAYERTRIG_LENGTH = 12;
constexpr uint16_t MSG_BULLETHIT_ST_LENGTH = 26;
constexpr uint16_t MSG_WINGCOMMAND_LENGTH = 10;
constexpr uint16_t MSG_PLAYERTYPE_LENGTH = 10;
constexpr uint16_t MSG_MIDAIR_LENGTH = 24;
constexpr uint16_t MSG_STARTUPCONFIRM_LENGTH = 12;
constexpr uint16_t MSG_SQUADREQUEST_LENGTH = 42;
constexpr uint16_t MSG_RESPONSE_LENGTH = 14;
constexpr uint16_t MSG_LAUNCH_FUELPLANE_LENGTH = 56;
constexpr uint16_t MSG_PLAYER_EXPLODED_LENGTH = 8;
constexpr uint16_t MSG_VICTORY_LENGTH = 8;
constexpr uint16_t MSG_CONSOLECOMMAND_LENGTH = 136;
constexpr uint16_t MSG_STATICCONFIRM_LENGTH = 6;
constexpr uint16_t MSG_END_LENGTH = 4;
// Heads of the variable records, and their entry sizes.
constexpr uint16_t MSG_OBJECTDATA_HEAD = 18;
constexpr uint16_t MSG_OBJECT_ENTRY_SIZE = 32;
constexpr uint16_t MSG_STATICDATA_HEAD = 8;
constexpr uint16_t MSG_STATIC_ENTRY_SIZE = 26;
constexpr uint16_t MSG_EVENTDATA_HEAD = 6;
constexpr uint16_t MSG_MSGCONFIRM_HEAD = 8;
constexpr uint16_t MSG_STARTUPDATA_HEAD = 76;  // the fixed part of the start-up record

// Send counts of the queued client messages: how many packet builds a record
// survives without a confirmation.
constexpr int32_t MSG_SEND_COUNT = 0x400;
constexpr int32_t MSG_SEND_COUNT_HIT = 4;
// At most this many event tags are confirmed per client packet.
constexpr uint32_t MSG_CONFIRM_TAGS_MAX = 128;

// Event ids.
constexpr uint16_t EVENT_NULL = 0x00;
constexpr uint16_t EVENT_DEBRIS = 0x01;
constexpr uint16_t EVENT_AIREXPLODE = 0x02;
constexpr uint16_t EVENT_GRNDEXPLODE = 0x03;
constexpr uint16_t EVENT_DIALOG = 0x04;
constexpr uint16_t EVENT_CRASH = 0x05;
constexpr uint16_t EVENT_BEENHIT = 0x06;
constexpr uint16_t EVENT_BEENKILLED = 0x07;
constexpr uint16_t EVENT_SMALLEXPLODE = 0x08;
constexpr uint16_t EVENT_TEXT = 0x09;
constexpr uint16_t EVENT_BULLET = 0x0A;
constexpr uint16_t EVENT_SCORES = 0x0B;
constexpr uint16_t EVENT_NAME = 0x0C;
constexpr uint16_t EVENT_ECMDROP = 0x0D;
constexpr uint16_t EVENT_GRNDEXPLODE_SM = 0x0E;
constexpr uint16_t EVENT_STATICMODIFY = 0x0F;
constexpr uint16_t EVENT_BOMBEXPLODE = 0x10;
constexpr uint16_t EVENT_FLAK = 0x11;
constexpr uint16_t EVENT_RADARDIE = 0x12;
constexpr uint16_t EVENT_RADARCHANGE = 0x13;
constexpr uint16_t EVENT_CTF_STATS = 0x14;
constexpr uint16_t EVENT_LEVEL_RESET = 0x15;
constexpr uint16_t EVENT_CTF_OVER = 0x16;
constexpr uint16_t EVENT_DM_OVER = 0x17;
constexpr uint16_t EVENT_SQUADRON = 0x18;
constexpr uint16_t EVENT_SQUAD_SCORE = 0x19;
constexpr uint16_t EVENT_PLAYER_SCORE = 0x1A;
constexpr uint16_t EVENT_SQUADJOIN = 0x1B;
constexpr uint16_t EVENT_SQUADCLEAR = 0x1C;
constexpr uint16_t EVENT_PLAYERRESET = 0x1D;
constexpr uint16_t EVENT_DYMANIC_MODEL = 0x20;
constexpr uint16_t EVENT_DEBUGPATH = 0x23;    // a point of a server object's debug path
constexpr uint16_t EVENT_EXPLODE_FX = 0x24;   // an explosion with its own sound and effect

constexpr uint16_t EVENT_HEAD = 8;             // id, length, tag
constexpr uint16_t EVENT_COMMON_LENGTH = 24;   // +8 value, +12 position
constexpr uint16_t EVENT_BULLET_LENGTH = 46;
constexpr uint16_t EVENT_NAME_LENGTH = 52;
constexpr uint16_t EVENT_LEVEL_RESET_LENGTH = 14;
constexpr uint16_t EVENT_SQUADRON_LENGTH = 34;
constexpr uint16_t EVENT_DYMANIC_MODEL_LENGTH = 48;
constexpr uint16_t EVENT_DEBUGPATH_LENGTH = 32;
constexpr uint16_t EVENT_TEXT_MIN_LENGTH = 12;  // an empty line, its zero and the pad
constexpr uint32_t EVENT_TEXT_MAX_CHARS = 127;
constexpr uint32_t EVENT_SCORES_MAX = 8;

// ---- Record properties ----

// The least length a record of this type must have before its fields are
// read (4 for a type without fixed fields).
uint16_t msg_MinLength(uint16_t type);
// The same for an event id (8, the head with its tag, for an id without
// fixed fields).
uint16_t msg_EventMinLength(uint16_t id);
// True for the ids of the common 24-byte event form.
bool msg_EventIsCommon(uint16_t id);
// Send count of a queued client message: MSG_SEND_COUNT_HIT for the hit and
// trigger messages, MSG_SEND_COUNT for the others.
int32_t msg_SendCount(uint16_t type);
// True for the messages the client appends at the tail of its send queue.
bool msg_AppendsAtTail(uint16_t type);

// The angle form.
inline uint16_t msg_AngleToWire(int32_t angle) { return (uint16_t)((uint32_t)angle >> 16); }
inline int32_t msg_AngleFromWire(uint16_t v) { return (int32_t)((uint32_t)v << 16); }

// ---- The walker ----

// One record (or event) of a packet: its start and its length in bytes, all
// of them inside the packet.
struct MsgRecord {
    uint16_t type;
    uint16_t length;
    const uint8_t* data;
};

// Why a walk stopped early. The first violation drops the rest of the
// packet; the records handed out before it stand.
constexpr int32_t MSG_WALK_TOO_LARGE = -1;    // packet over MSG_PACKET_MAX bytes
constexpr int32_t MSG_WALK_BAD_LENGTH = -2;   // a length below 4 or past the data
constexpr int32_t MSG_WALK_NO_END = -3;       // the data ends without MSG_END
constexpr int32_t MSG_WALK_SHORT = -4;        // a record shorter than its type needs
constexpr int32_t MSG_WALK_BAD_COUNT = -5;    // an inner count that does not fit its record

struct MsgWalker {
    const uint8_t* data;
    size_t size;
    size_t pos;
    int32_t status;  // 0 while walking or after MSG_END, else MSG_WALK_*
};

void msg_WalkBegin(MsgWalker* walker, const void* packet, size_t size);
// 1 with the next record, checked as far as its type's fixed fields and
// inner counts go; 0 at MSG_END; a MSG_WALK_* value at the first violation,
// and the same on every later call.
int32_t msg_WalkNext(MsgWalker* walker, MsgRecord* record);

// The reader loop of both halves: hands each record to the handler of its
// type (a type without one is stepped over) until MSG_END. 0 after MSG_END,
// or the walker's MSG_WALK_* value at the first violation.
typedef void (*MsgHandler)(const MsgRecord* record, void* context);
struct MsgHandlerEntry {
    uint16_t type;
    MsgHandler handler;
};
int32_t msg_PacketRead(const void* packet, size_t size, const MsgHandlerEntry* table, size_t count, void* context);

// The events of a MSG_EVENTDATA record, each checked against its id's
// least length and the record's end.
struct MsgEventWalker {
    const uint8_t* data;
    size_t size;
    size_t pos;
    uint32_t left;
    int32_t status;
};
// 0, or a MSG_WALK_* value when the record is no MSG_EVENTDATA record.
int32_t msg_EventWalkBegin(MsgEventWalker* walker, const uint8_t* record, size_t size);
// 1 with the next event; 0 after the last; MSG_WALK_* at a violation.
int32_t msg_EventWalkNext(MsgEventWalker* walker, MsgRecord* event);

// ---- Records, server to client ----

struct MsgObjectData {
    uint16_t count;
    FixVec3 base;
};
struct MsgObjectEntry {
    uint32_t serial;
    int16_t x, y, z;       // << 16 the world coordinate, or with flag 0x10 << 13 from the base
    FixAngles angles;
    uint16_t speed;        // << 8 the object's speed
    uint8_t owner;
    uint8_t typeIndex;
    uint8_t status;
    uint8_t flags;         // MSG_OBJECT_* plus the object's flags
    uint8_t category;
    uint8_t side;          // bit 1: a player aircraft, aux valid
    uint8_t modelState[2];
    uint8_t alive;
    uint32_t aux;
};
constexpr uint8_t MSG_OBJECT_TARGETS_PLAYER = 0x01;
constexpr uint8_t MSG_OBJECT_RELATIVE = 0x10;
constexpr uint8_t MSG_OBJECT_FIRST = 0x20;

struct MsgStaticData {
    uint16_t batch;
    uint16_t count;
};
struct MsgStaticEntry {
    FixVec3 position;
    FixAngles angles;
    uint16_t typeIndex;
    uint8_t kind;
    uint8_t side;
    uint8_t categoryFlags;
    uint8_t categoryNext;   // the object's byte after its category flags
    uint8_t modelState[2];
};

struct MsgEventData {
    uint16_t count;
};

struct MsgPlayerInfo {
    int32_t frame;
    uint8_t mark;
    uint8_t sideActive;
    int16_t score;
    uint32_t runNumber;
};

// ---- Records, client to server ----

struct MsgChat {
    uint32_t tag;
    uint16_t mode;
    uint16_t squadron;
    char text[128];
};

struct MsgPlayerData {
    FixVec3 position;
    FixAngles angles;
    uint16_t owner;
    uint8_t status;
    uint8_t sightFlag;     // 1: sight holds a ground point
    uint8_t playerFlags;
    uint8_t aimMode;
    uint8_t category;
    uint32_t frame;
    uint32_t target;
    uint32_t aux;
    uint32_t runNumber;
    int16_t eye[3];        // top 16 bits of the eye position
    FixVec3 sight;
};

// MSG_BULLETFIRED, and EVENT_BULLET laid out the same way.
struct MsgBullet {
    uint32_t tag;
    uint32_t id;
    FixVec3 position;
    FixVec3 velocity;
    FixAngles angles;
    uint16_t frame;
    uint8_t weaponType;
    uint8_t flag;          // written 0 by the client, copied by the server
};

struct MsgBulletHit {
    uint32_t tag;
    uint32_t target;
    uint32_t bullet;
    uint16_t frame;
};

struct MsgLaunchMissile {
    uint32_t tag;
    uint32_t weaponType;
    uint32_t target;
    FixVec3 launchPoint;
    uint32_t weaponWords[2];
    FixVec3 targetPosition;   // travels only when byPosition is 1
    uint32_t byPosition;
};

struct MsgLaunchBomb {
    uint32_t tag;
    FixVec3 aimPoint;
    FixVec3 launchPoint;
    uint8_t weaponType;
    uint8_t hasAimPoint;
};

struct MsgJettisonWeapon {
    uint32_t tag;
    FixVec3 launchPoint;
    uint32_t weaponType;
};

struct MsgPlayerReset {
    uint32_t tag;
    uint16_t flags;
    FixVec3 position;
};

// MSG_PLAYERCRASH and MSG_MIDAIR.
struct MsgPlayerPosition {
    uint32_t tag;
    FixVec3 position;
};

struct MsgEcmDrop {
    uint32_t tag;
    int16_t x, y, z;       // top 16 bits
    uint16_t kind;         // 0 flare, else chaff
};

struct MsgPlayerTrig {
    uint32_t tag;
    uint16_t value;
    uint16_t trigger;
};

struct MsgBulletHitStatic {
    uint32_t tag;
    uint32_t bullet;
    FixVec3 position;
    uint16_t frame;
};

// MSG_WINGCOMMAND and MSG_PLAYERTYPE.
struct MsgWord {
    uint32_t tag;
    uint16_t value;
};

struct MsgStartupConfirm {
    uint32_t tag;
    uint32_t number;
};

struct MsgSquadRequest {
    uint32_t tag;
    char name[22];
    char password[12];
};

struct MsgResponse {
    uint32_t tag;
    uint16_t kind;
    uint32_t value;
};

struct MsgLaunchFuelPlane {
    uint32_t tag;
    MathFrame frame;
};

// MSG_PLAYER_EXPLODED and MSG_VICTORY.
struct MsgTagOnly {
    uint32_t tag;
};

struct MsgConsoleCommand {
    uint32_t tag;
    char text[128];
};

struct MsgStaticConfirm {
    uint16_t batch;
};

struct MsgMsgConfirm {
    uint32_t count;
};

// ---- Events ----

struct MsgEventCommon {
    uint16_t id;
    uint32_t tag;
    uint32_t value;
    FixVec3 position;
};

struct MsgEventText {
    uint32_t tag;
    uint16_t sound;
    char text[EVENT_TEXT_MAX_CHARS + 1];
};

struct MsgScoreEntry {
    uint16_t player;
    int16_t score;
};
struct MsgEventScores {
    uint32_t tag;
    uint32_t count;
    MsgScoreEntry entries[EVENT_SCORES_MAX];
};

struct MsgEventName {
    uint32_t tag;
    uint16_t player;
    char name[22];
    char plane[16];
    uint16_t side;
    uint16_t squadron;
};

struct MsgEventLevelReset {
    uint32_t tag;
    uint16_t restart;
    uint32_t runNumber;
};

struct MsgEventSquadron {
    uint32_t tag;
    uint16_t slot;
    uint16_t answer;
    char name[22];
};

struct MsgEventDynamicModel {
    uint32_t tag;
    uint32_t release;
    uint32_t id;
    char name[32];         // load only
};

struct MsgEventDebugPath {
    uint32_t tag;
    uint32_t remove;
    uint32_t key;
    uint32_t colour;
    FixVec3 position;
};

// ---- Encoders and decoders: 0, or -1 ----

int32_t msg_ObjectDataEncode(LeSpanWriter* w, const MsgObjectData* head, const MsgObjectEntry* entries);
int32_t msg_ObjectDataDecode(const uint8_t* record, size_t size, MsgObjectData* out);
int32_t msg_ObjectEntryDecode(const uint8_t* record, size_t size, uint32_t index, MsgObjectEntry* out);

int32_t msg_StaticDataEncode(LeSpanWriter* w, const MsgStaticData* head, const MsgStaticEntry* entries);
int32_t msg_StaticDataDecode(const uint8_t* record, size_t size, MsgStaticData* out);
int32_t msg_StaticEntryDecode(const uint8_t* record, size_t size, uint32_t index, MsgStaticEntry* out);

// count events of bytes bytes, laid back to back.
int32_t msg_EventDataEncode(LeSpanWriter* w, uint16_t count, const void* events, size_t bytes);
int32_t msg_EventDataDecode(const uint8_t* record, size_t size, MsgEventData* out);

int32_t msg_PlayerInfoEncode(LeSpanWriter* w, const MsgPlayerInfo* m);
int32_t msg_PlayerInfoDecode(const uint8_t* record, size_t size, MsgPlayerInfo* out);

int32_t msg_ChatEncode(LeSpanWriter* w, const MsgChat* m);
int32_t msg_ChatDecode(const uint8_t* record, size_t size, MsgChat* out);

int32_t msg_PlayerDataEncode(LeSpanWriter* w, const MsgPlayerData* m);
int32_t msg_PlayerDataDecode(const uint8_t* record, size_t size, MsgPlayerData* out);

int32_t msg_BulletFiredEncode(LeSpanWriter* w, const MsgBullet* m);
int32_t msg_BulletFiredDecode(const uint8_t* record, size_t size, MsgBullet* out);

int32_t msg_BulletHitEncode(LeSpanWriter* w, const MsgBulletHit* m);
int32_t msg_BulletHitDecode(const uint8_t* record, size_t size, MsgBulletHit* out);

int32_t msg_LaunchMissileEncode(LeSpanWriter* w, const MsgLaunchMissile* m);
int32_t msg_LaunchMissileDecode(const uint8_t* record, size_t size, MsgLaunchMissile* out);

int32_t msg_LaunchBombEncode(LeSpanWriter* w, const MsgLaunchBomb* m);
int32_t msg_LaunchBombDecode(const uint8_t* record, size_t size, MsgLaunchBomb* out);

int32_t msg_JettisonWeaponEncode(LeSpanWriter* w, const MsgJettisonWeapon* m);
int32_t msg_JettisonWeaponDecode(const uint8_t* record, size_t size, MsgJettisonWeapon* out);

int32_t msg_PlayerResetEncode(LeSpanWriter* w, const MsgPlayerReset* m);
int32_t msg_PlayerResetDecode(const uint8_t* record, size_t size, MsgPlayerReset* out);

int32_t msg_PlayerCrashEncode(LeSpanWriter* w, const MsgPlayerPosition* m);
int32_t msg_PlayerCrashDecode(const uint8_t* record, size_t size, MsgPlayerPosition* out);

int32_t msg_EcmDropEncode(LeSpanWriter* w, const MsgEcmDrop* m);
int32_t msg_EcmDropDecode(const uint8_t* record, size_t size, MsgEcmDrop* out);

int32_t msg_PlayerTrigEncode(LeSpanWriter* w, const MsgPlayerTrig* m);
int32_t msg_PlayerTrigDecode(const uint8_t* record, size_t size, MsgPlayerTrig* out);

int32_t msg_BulletHitStaticEncode(LeSpanWriter* w, const MsgBulletHitStatic* m);
int32_t msg_BulletHitStaticDecode(const uint8_t* record, size_t size, MsgBulletHitStatic* out);

int32_t msg_WingCommandEncode(LeSpanWriter* w, const MsgWord* m);
int32_t msg_WingCommandDecode(const uint8_t* record, size_t size, MsgWord* out);

int32_t msg_PlayerTypeEncode(LeSpanWriter* w, const MsgWord* m);
int32_t msg_PlayerTypeDecode(const uint8_t* record, size_t size, MsgWord* out);

int32_t msg_MidairEncode(LeSpanWriter* w, const MsgPlayerPosition* m);
int32_t msg_MidairDecode(const uint8_t* record, size_t size, MsgPlayerPosition* out);

int32_t msg_StartupConfirmEncode(LeSpanWriter* w, const MsgStartupConfirm* m);
int32_t msg_StartupConfirmDecode(const uint8_t* record, size_t size, MsgStartupConfirm* out);

int32_t msg_SquadRequestEncode(LeSpanWriter* w, const MsgSquadRequest* m);
int32_t msg_SquadRequestDecode(const uint8_t* record, size_t size, MsgSquadRequest* out);

int32_t msg_ResponseEncode(LeSpanWriter* w, const MsgResponse* m);
int32_t msg_ResponseDecode(const uint8_t* record, size_t size, MsgResponse* out);

int32_t msg_LaunchFuelPlaneEncode(LeSpanWriter* w, const MsgLaunchFuelPlane* m);
int32_t msg_LaunchFuelPlaneDecode(const uint8_t* record, size_t size, MsgLaunchFuelPlane* out);

int32_t msg_PlayerExplodedEncode(LeSpanWriter* w, const MsgTagOnly* m);
int32_t msg_PlayerExplodedDecode(const uint8_t* record, size_t size, MsgTagOnly* out);

int32_t msg_VictoryEncode(LeSpanWriter* w, const MsgTagOnly* m);
int32_t msg_VictoryDecode(const uint8_t* record, size_t size, MsgTagOnly* out);

int32_t msg_ConsoleCommandEncode(LeSpanWriter* w, const MsgConsoleCommand* m);
int32_t msg_ConsoleCommandDecode(const uint8_t* record, size_t size, MsgConsoleCommand* out);

int32_t msg_StaticConfirmEncode(LeSpanWriter* w, const MsgStaticConfirm* m);
int32_t msg_StaticConfirmDecode(const uint8_t* record, size_t size, MsgStaticConfirm* out);

// count tags (at least 1; a writer leaves the record out when it has none).
int32_t msg_MsgConfirmEncode(LeSpanWriter* w, const uint32_t* tags, uint32_t count);
int32_t msg_MsgConfirmDecode(const uint8_t* record, size_t size, MsgMsgConfirm* out);
int32_t msg_MsgConfirmTag(const uint8_t* record, size_t size, uint32_t index, uint32_t* tag);

// Both halves write the length 0.
int32_t msg_EndEncode(LeSpanWriter* w);

// Events. The common form takes the id from the record.
int32_t msg_EventCommonEncode(LeSpanWriter* w, const MsgEventCommon* m);
int32_t msg_EventCommonDecode(const uint8_t* event, size_t size, MsgEventCommon* out);

// Length 10 + text + 1, rounded up to even; the text is cut to 127 characters.
int32_t msg_EventTextEncode(LeSpanWriter* w, const MsgEventText* m);
// Fails when the line has no zero inside the event.
int32_t msg_EventTextDecode(const uint8_t* event, size_t size, MsgEventText* out);

int32_t msg_EventBulletEncode(LeSpanWriter* w, const MsgBullet* m);
int32_t msg_EventBulletDecode(const uint8_t* event, size_t size, MsgBullet* out);

// Fails for more than EVENT_SCORES_MAX entries.
int32_t msg_EventScoresEncode(LeSpanWriter* w, const MsgEventScores* m);
int32_t msg_EventScoresDecode(const uint8_t* event, size_t size, MsgEventScores* out);

int32_t msg_EventNameEncode(LeSpanWriter* w, const MsgEventName* m);
int32_t msg_EventNameDecode(const uint8_t* event, size_t size, MsgEventName* out);

int32_t msg_EventLevelResetEncode(LeSpanWriter* w, const MsgEventLevelReset* m);
int32_t msg_EventLevelResetDecode(const uint8_t* event, size_t size, MsgEventLevelReset* out);

int32_t msg_EventSquadronEncode(LeSpanWriter* w, const MsgEventSquadron* m);
int32_t msg_EventSquadronDecode(const uint8_t* event, size_t size, MsgEventSquadron* out);

int32_t msg_EventDynamicModelEncode(LeSpanWriter* w, const MsgEventDynamicModel* m);
int32_t msg_EventDynamicModelDecode(const uint8_t* event, size_t size, MsgEventDynamicModel* out);

int32_t msg_EventDebugPathEncode(LeSpanWriter* w, const MsgEventDebugPath* m);
int32_t msg_EventDebugPathDecode(const uint8_t* event, size_t size, MsgEventDebugPath* out);
