// The server: the authoritative world of a level, up to 16 players and the
// traffic with their clients. Runs beside a local client through the bridge
// (net/bridge.h) or alone as the dedicated-server state.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"
#include "base/list.h"
#include "net/msg.h"
#include "net/player.h"

struct ObjectRecord;
struct AppStateRecord;

constexpr int32_t SERVER_PLAYERS = 16;
// Size of the buffer one player's packet is assembled in.
constexpr int32_t SERVER_SEND_BUFFER_SIZE = 0x4000;
// "Server TMP Buffer": the tags of the packet being parsed.
constexpr int32_t SERVER_TMP_BUFFER_SIZE = 0x4000;
constexpr uint32_t SERVER_SCRATCH_TAGS = SERVER_TMP_BUFFER_SIZE / 4;
// Tags confirmed per packet, and tags remembered of the previous packet.
constexpr uint32_t SERVER_SLOT_TAGS = 128;
// Packets taken from the transport or the bridge in one frame; the rest
// wait for the next frame.
constexpr int32_t SERVER_RECEIVE_PER_FRAME = 64;
// Frames a chat line holds the sender's next one back.
constexpr int32_t SERVER_CHAT_FLOOD_FRAMES = 40;
constexpr int32_t SERVER_JOIN_COUNTDOWN = 7200;

// One player of the server. Native record; the in-use word marks it taken.
struct PlayerSlot {
    uint32_t lastSequence;        // last accepted player-data sequence
    uint32_t framesSince;         // frames since the last player data
    uint32_t farQueueCount;
    int32_t score;
    ObjectRecord* lastTarget;     // last reported target
    int32_t expectedFrames;       // expected-update frame count
    FixVec3 viewReference;
    uint32_t dataReceived;        // player data accepted this frame
    uint32_t staticPending;
    uint32_t restartRequest;
    uint32_t active;              // packets are sent
    uint32_t staticLastBatch;
    uint32_t staticBatchSerial;
    ObjectRecord* aircraft;
    uint16_t inUse;
    uint16_t remote;              // nonzero: reached through the transport driver
    uint32_t playerId;
    uint32_t netPlayerId;
    void* staticList;             // "PLAYER STATIC LIST": ServerObjectPair, nearest first
    uint32_t* confirmTags;        // "PLAYER CONFIRM BUFFER": tags to confirm in the next packet
    uint32_t confirmCount;
    uint32_t* receivedTags;       // "PLAYER EVENT TAG BUFFER": tags of the previous packet
    uint32_t receivedCount;
    ListPool eventPool;           // SERVER_SLOT_EVENTS nodes
    void* objectQueue;            // "PLAYER OBJ QUE": ObjHandle, ended by an empty one
    void* objectQueueRead;
    const char* name;
    int32_t side;
    uint16_t squadron;            // 0xFFFF: none
    ListNode* pendingEvents;      // NetQueuedMessage, newest first
    uint32_t startupPending;
    uint32_t startupSerial;
    uint32_t squadronCursor;
    void* memStart;               // "PLAYER MEM START"
    void* memEnd;                 // "PLAYER MEM END"
    uint32_t frameCount;
    uint32_t countdown;
    uint32_t blocked;
    int32_t chatFlood;
    uint32_t firstPacket;
    PlayerAircraftBlock block;    // current aircraft block
    PlayerAircraftBlock stored[2];// the second is used with squadron word 1
    int32_t dymodSlot;
    struct _PAK_HEADER* pakHandle;  // the player's PAK ("paper.pak")
    uint32_t lastDataTick;        // game clock tick of the last player data
    uint8_t markerFlag;
    FixVec3 markerPosition;
    uint8_t playerFlags;          // bit 0 unlimited stores, bit 1 no damage
    uint32_t aux;                 // auxiliary word of the last player data
    uint32_t reportedRun;         // level run number of the last player data
};
constexpr uint8_t SLOT_FLAG_UNLIMITED_STORES = 0x01;
constexpr uint8_t SLOT_FLAG_NO_DAMAGE = 0x02;

// One entry of the static list and of the scratch lists: an object and its
// approximate distance from the point the list is measured from.
struct ServerObjectPair {
    ObjectRecord* object;
    int32_t distance;
};

struct ServerRecord {
    PlayerSlot* player;         // "Player Buffer": 16 slots, null while no server runs
    int32_t playerCount;
    uint8_t* send_buffer_ptr;   // "Server.send_buffer_ptr", SERVER_SEND_BUFFER_SIZE bytes
    int32_t send_buffer_size;   // bytes of the packet being assembled
    ObjectRecord* objects;      // server object list head
    uint32_t* tmpTags;          // "Server TMP Buffer"
    uint32_t tmpCount;
    int32_t updateInterval;     // frames between two packets to a player
    int32_t updateMask;
    int32_t extrapolationShift;
    uint32_t objectSerial;      // object-update serial of the last packet, 16-bit
    uint32_t frame;
    const void* rules;
    uint32_t runNumber;         // level run number
    uint32_t framesWithPlayers;
    uint32_t framesWithoutPlayers;
    void* anchor;               // "Server Anchor"
    int32_t* stats[2];          // statistics arrays, dedicated only
    int32_t statsIndex;
    int32_t gameNumber;
    int32_t fadeInPending;
    int32_t running;
    ListPool eventPool;         // SERVER_EVENTS nodes
    ListNode* eventQueue;       // NetQueuedMessage, newest first; empty after each send step
    int32_t totalJoins;         // players joined since the start
    int32_t peakPlayers;        // most players at once (F1 on the console resets it)
};
extern ServerRecord Server;

// The slot whose packet the server is working on, or null, and its aircraft.
extern PlayerSlot* ServerPlayerPtr;
extern ObjectRecord* ServerPlayerObject;

// Pause, victory and hold flags of the server.
extern int32_t Server_Paused;  // set by the PAUSE action in single player
extern int32_t Server_Victory;
extern int32_t Server_Hold;
// Level run control requested by the rules: 1 start, 2 restart.
extern int32_t Server_LevelRequest;
// The dedicated console's line mode (0 off, 1 command, 2 all, 3 and 4 a side).
extern int32_t Server_LineMode;
extern char Server_Line[512];
extern int32_t Server_F12Toggle;

extern const AppStateRecord Server_DedicatedState;

void Server_Start(void);
int32_t Server_Frame(void);
int32_t Server_StateFrame(void);
void Server_StateDraw(void);
void Server_Stop(void);

// The steps of the start and frame, for the bridge and the tests.
int32_t Server_RecordCreate(void);
void Server_PlayersStep(void);
void Server_WorldStep(void);
void Server_ReceiveAll(void);
// With a local player: its descriptor carries the game number as its
// application id, also in a descriptor already built in the shared buffer.
void Server_LocalGameNumberSet(int32_t gameNumber);

// Parses one packet of the slot's client. The owner byte of its player data
// must name the slot, or the rest of the packet is dropped.
void Server_ParsePacket(const uint8_t* packet, size_t size, int32_t slot);
// The slot of a transport sender (network player id), or of the local client
// (NET_SENDER_LOCAL); -1 when no used slot matches.
int32_t Server_SlotOfSender(int32_t sender);
// 1 when the tag was in the previous packet (or the slot is blocked).
int32_t Server_MessageTagCheck(uint32_t tag);
void Server_OnPlayerData(const uint8_t* record, size_t size, int32_t slot);

ObjectRecord* Server_FindPlayerById(uint32_t id);
ObjectRecord* Server_FindPlayerByNetId(uint32_t netId);
ObjectRecord* Server_FindObjectAt(int32_t x, int32_t z);
int32_t Server_TakeStore(int32_t weaponType);

// ---- Game events and sending ----
//
// Server code queues an event once on the server queue with a delivery kind;
// each send step copies it into the pending list of every player it is for,
// with that player's own tag, and every packet to the player carries it again
// until the client confirms it or its retries run out.

constexpr uint32_t SERVER_EVENTS = 256;       // server event pool
constexpr uint32_t SERVER_SLOT_EVENTS = 128;  // per-player event pool
// The longest event: a text of 127 characters with its zero.
constexpr uint16_t SERVER_EVENT_MAX = 138;
// Room an object record may take after the events: its head, the target,
// 18 close objects at most (the target among them) and one far one.
constexpr uint32_t SERVER_OBJECTDATA_MAX = MSG_OBJECTDATA_HEAD + 19u * MSG_OBJECT_ENTRY_SIZE;

// Delivery kinds, bits that combine (0 = every player).
constexpr int32_t SERVER_TO_ALL = 0;
constexpr int32_t SERVER_IN_RANGE = 0x01;       // aircraft within range of the event position
constexpr int32_t SERVER_TO_ALL_EXCEPT = 0x02;  // all but the target slot
constexpr int32_t SERVER_TO_PLAYER = 0x04;      // the target slot only
constexpr int32_t SERVER_TO_SIDE = 0x08;        // players whose side is the side word
// Outgoing kind only: the range is measured from the position given, but the
// event itself carries (0, 0, 0).
constexpr int32_t SERVER_NO_POSITION = 0x100;
constexpr int32_t SERVER_KIND_MASK = 0x0F;

// One queued event. Native node; the event is kept as it travels.
struct NetQueuedMessage {
    ListNode link;            // the serial is the tag a player's copy carries
    uint16_t kind;            // SERVER_IN_RANGE ... SERVER_TO_SIDE
    int16_t retries;          // packets it is still to be sent in
    uint32_t range;           // world units
    PlayerSlot* target;       // the slot the kind refers to (the sender for TO_ALL_EXCEPT)
    uint16_t side;            // side word of SERVER_TO_SIDE
    FixWorldPos centre;       // where SERVER_IN_RANGE measures from
    uint16_t length;          // bytes of record
    uint8_t record[SERVER_EVENT_MAX];  // id, length, tag, payload
};

// The outgoing event fields: callers fill them, then call a queueing routine.
struct ServerOutgoingEvent {
    int32_t kind;                 // delivery kind, with SERVER_NO_POSITION
    uint16_t id;
    uint32_t value;
    uint32_t range;
    const FixWorldPos* position;  // null: (0, 0, 0)
    int32_t target;               // slot index
    int32_t retries;
    const char* text;
    uint16_t side;
    uint32_t value2;
};
extern ServerOutgoingEvent Server_OutgoingEvent;

int32_t Server_EventPoolCreate(void);
// The slot's memory, as a joining player gets it: the heap marks around its
// confirm and tag buffers, far-object queue and event pool. 0, or -1 (the
// slot keeps none) when the heap is full.
int32_t Server_PlayerMemCreate(int32_t slot);

// Queueing routines, from the outgoing fields. With no free node nothing is
// queued.
void Server_QueueEvent(void);       // a 24-byte event: id, value, position
void Server_SendTextEvent(void);    // EVENT_TEXT of text, sound kind value; also logged
void Server_QueueScores(void);      // EVENT_SCORES, the 8 best of the used slots
void Server_QueueName(void);        // EVENT_NAME of the target slot, to every player
void Server_QueueSquadron(void);    // EVENT_SQUADRON: value, value2, text
void Server_QueueLevelReset(void);  // EVENT_LEVEL_RESET: value, the next run number
// EVENT_BULLET of a bullet the current player fired: in range, not to the
// sender, sent once. Weapon type and flag come from the client's message.
void Server_QueueBullet(const ObjectRecord* bullet, uint8_t weaponType, uint8_t flag);
// EVENT_DYMANIC_MODEL to every player: load the named model into the slot,
// or (release 1, name unused) drop it.
void Server_QueueDynamicModel(int32_t slot, const char* name, int32_t release);
// Event 0x23: a point of the object's debug path (flag 0), or the path's end.
void Server_QueueObjectEvent(const ObjectRecord* object, uint32_t flag);
// While set, missiles trace their flight with object events (0 at start).
extern int32_t Server_ObjectEvents;

// Plain-call forms: fill the outgoing fields and queue.
void Server_CallQueueEvent(uint16_t id, uint32_t value, const FixWorldPos* position, int32_t kind, int32_t target,
                           uint32_t range, int32_t retries);
// target is the slot, or with SERVER_TO_SIDE the side.
void Server_CallSendText(const char* text, int32_t kind, int32_t target, int32_t value);
void Server_CallSendName(int32_t slot);
void Server_CallSendSquadron(int32_t kind, int32_t target, int32_t value, int32_t value2, const char* name);

// The send step: distribute the queue, then send each due player a packet.
void Server_SendPlayers(void);
void Server_EventsDistribute(void);
// Assembles the slot's packet in the send buffer; its size.
int32_t Server_AssemblePacket(int32_t slot);
void Server_SendToPLayer(int32_t slot);
// The client confirmed the tag: its pending event is done.
void Server_EventConfirmed(PlayerSlot* slot, uint32_t tag);
