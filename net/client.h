// The client half of a game: the player's aircraft, the copies of the
// server's objects, the flight's drawing and one packet a frame to the
// server. Runs in the bridge state beside the server, or alone against a
// remote server.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/list.h"
#include "base/math.h"
#include "net/msg.h"
#include "net/player.h"

struct ObjectRecord;

// Index of the player's aircraft object, -1 while there is none.
extern int32_t Client_PlayerObjectIndex;
// Client option bits (0x02: the debug hot key is on).
extern uint32_t Client_OptionWord;
// Own player number, from the start-up record, and the same shifted left by
// 16: the high half of every network id the client makes.
extern uint16_t Client_OwnPlayerNumber;
extern uint32_t Client_OwnPlayerHigh;
// Flight state byte, shared with the server and the aircraft code: 0 flying,
// 1 end, 2 restart the level, 3 reset the level, 4 end after a level reset.
// Exit result: 0, or negative for an error end (-1 start-up data of another
// version, -2 no player record free for the start-up).
extern uint8_t Client_FlightState;
extern int32_t Client_ExitResult;
// The join result the client leaves for the launch and multiplayer screens
// when the server refuses the player: 0 none, -1 bad host (also for another
// application), -5 side full, -6 bad side password.
extern int32_t Client_LaunchStatus;
// The client's game flags (0: blackouts), squadron and team-play words, its
// level run number and the capture-the-flag start flag of the start-up
// record.
extern int32_t Client_GameFlags[2];
extern uint32_t Client_SquadronWord;
extern uint32_t Client_TeamPlayWord;
extern uint32_t Client_LevelRunNumber;
extern uint8_t Client_CtfStart;

// The player's aircraft object, null while there is none.
extern ObjectRecord* Client_PlayerObject;
// The client's 0x54-byte player block and the three words after it (the
// second is the client-started flag).
extern uint8_t Client_PlayerBlock[0x54];
extern int32_t Client_PlayerBlockTail[3];
// Set to fade the palette in after the next drawn frame.
extern int32_t Client_PaletteFadeRequest;
// The client's request byte.
extern uint8_t Client_RequestByte;
// Set while the client runs as a client of a remote server only.
extern int32_t Client_RemoteGame;
// 1 while the server's status update for the local player has bit 0 of its
// flags byte set: the situation picture then shows every aircraft and
// missile.
extern int32_t avion_LinkFlag;
// An outside request to end the flight (the frame then leaves the state).
extern int32_t Client_EndRequest;
// Player flags sent with every player data (bit 0 unlimited stores, bit 1 no
// damage) and the aiming mode (2 locked target, 3 target object, 4 ground
// sight point).
extern uint8_t Client_PlayerFlags;
extern uint8_t Client_AimMode;

// Client slots back to empty: the reset step of every level start.
void Client_ResetSlots(void);
// The client counters at a level reset.
void Client_CountersReset(void);
// Binds the player's aircraft object to the views and resets the view.
void Client_BindPlayerObject(void);
// The client's start-up reset of the sound sources and the player object's
// sounds.
void Client_StartupReset(void);
void Client_StartObjectSounds(void);
// Starts an object's sounds: its engine sound source at its position (the
// object keeps its id), then its aircraft type's sound at a pitch a little
// off natural. The key of that sound, 0 when none played.
int32_t Client_ObjectSoundsStart(ObjectRecord* object);
// Every 4th client frame: a copy's engine source follows it (volume 128,
// heard only while status bit 0 is set).
void Client_ObjectSoundUpdate(ObjectRecord* object);
// Every 4th client frame: the two looping warning tones, at the eye in a
// cockpit view and out of hearing otherwise. Tone 1 warns of what the
// server's warning byte reports, tone 2 is the missile's lock or seeker tone.
void Client_WarningTones(void);
// The level's four warning sounds (null: that tone is silent).
constexpr int32_t CLIENT_WARNING_SOUNDS = 4;
struct MixSample;
extern MixSample* Client_WarningSounds[CLIENT_WARNING_SOUNDS];
// Their names in the level's sound-trigger table: the threat warning
// (warning bits 0-1), the attack mark (bit 2), the missile's lock and the
// IR seeker's tone.
extern const char* const Client_WarningSoundNames[CLIENT_WARNING_SOUNDS];
// The level's sound-trigger table (the product's sound file), loaded with
// the client level: at most 3 voices per sample and a minimum volume of 32;
// Client_SoundTriggers points at it and the four warning sounds are looked
// up in it. The previous level's table is freed first; a missing or damaged
// file leaves every client sound silent.
struct SndTrigFile;
extern SndTrigFile Client_LevelSounds;
void Client_LevelSoundsLoad(void);
// Frees the table (by its heap id) and silences the tones; the client's stop.
void Client_LevelSoundsFree(void);
// The heap id stamped on every block of the level's sound table: the level
// markers and the client's anchor leave them alone.
constexpr uint32_t CLIENT_SOUND_HEAP_ID = 0x510D00;
// The debug paths of the client's copies (kind 0; kind 1 are the server's).
constexpr int32_t CLIENT_DEBUG_PATHS = 0;

// The client half of a game: the enter, frame, draw and leave steps.
void Client_Start(void);
int32_t Client_Frame(void);
void Client_Draw(void);
void Client_Stop(void);

// ---- The client block ----

constexpr uint32_t CLIENT_SEND_BUFFER_SIZE = 16384;
constexpr uint32_t CLIENT_MESSAGE_NODES = 96;
constexpr uint32_t CLIENT_RECORD_MAX = 140;  // the longest queued record
constexpr uint32_t CLIENT_CONFIRM_TAGS = 128;
constexpr uint32_t CLIENT_TMP_TAGS = 16384 / 4;

// One queued message: the pool node (its serial is the tag), then the wire
// record as it goes into every packet until confirmed or spent.
struct ClientQueuedMessage {
    ListNode node;
    uint16_t kind;        // 1..22 by message type, for traces
    int32_t sendCount;    // packet builds left; below zero: last copy sent
    uint32_t source;      // source object
    uint16_t length;
    uint8_t record[CLIENT_RECORD_MAX];
};

// The fly-in camera: the camera frame, its heading turn (degrees) and the
// three eye offsets with the targets they ease toward.
struct ClientCamera {
    MathFrame frame;
    float heading;
    float eye[3];
    float easeTarget[3];
    int32_t state;        // 1, 2, 93 counting down, 0 done
    uint16_t viewAngle;
};

struct ClientRecord {
    void* anchor;                     // "Client Anchor"
    uint8_t* send_buffer;             // "Client.send_buffer"
    uint32_t sendLength;
    ListPool messagePool;
    ListNode* sendQueue;              // head: the newest
    uint32_t* confirmTags;            // "Client.confirm_buffer"
    uint32_t confirmCount;
    uint32_t* eventTags;              // "Client.event_tag_buffer"
    uint32_t eventTagCount;
    uint32_t* tmpTags;                // "Client.tmp_buffer"
    uint16_t tmpCount;
    uint16_t staticBatch;             // 0xFFFF: none applied
    uint8_t staticConfirmPending;
    uint8_t endFlag;
    uint8_t sightFlag;                // the previous packet held a sight point
    uint8_t firstDraw;
    uint8_t fadeInPending;
    uint8_t sessionLost;
    uint8_t objectDataArrived;        // an object update came in this receive
    uint8_t warning;                  // MSG_PLAYERINFO warning byte
    uint8_t infoFlag;                 // bit 0 of its flags byte
    int16_t infoScore;
    uint32_t frame;                   // client frame counter
    int32_t packetFrame;              // frames since the last resynchronisation
    int32_t expectedFrames;
    int32_t lastServerFrame;
    uint32_t serverRunNumber;
    int32_t interval, mask, lead;     // timing of the game kind
    int32_t sendResult;               // the driver's result of the last send
    uint32_t packetsSent;
    FixWorldPos sightPoint;
    ClientCamera camera;
    // Object copies.
    ObjectRecord* knownObjects;       // copies of the last update
    ObjectRecord* packetObjects;      // copies named in the packet being read
    int32_t newObjects;               // made by the last update
    int32_t keptObjects;              // updated by the last update
    int32_t reach;                    // 65536 / frames to the next update
    int32_t frameDistance;            // d of the last update, for the readout
    uint8_t objectsSynced;            // an update came since the start or reset
    int32_t threatDistance;           // least distance of the objects targeting the player, -1 none
    // Sounds: the player object's engine source and the key of its type's
    // sound, the two warning tone sources with what they play, and the
    // sound condition mask the client found at start (put back at stop).
    int32_t playerSounds[2];
    int32_t toneSource[2];
    const MixSample* toneSample[2];
    int32_t toneLevel[2];
    int32_t savedConditionMask;
};
extern ClientRecord Client;

// The started flag (the client-started word after the player block).
inline bool Client_Started(void) { return Client_PlayerBlockTail[1] != 0; }

// Receives and parses every waiting packet.
void Client_ReceiveAll(void);
// Parses one packet from the server.
void Client_ParsePacket(const uint8_t* packet, size_t size);
// Builds the packet of this frame and hands it to the bridge or the driver.
void Client_BuildAndSend(void);
// One step of the fly-in camera.
void Client_CameraStep(void);

// Tags of one MSG_EVENTDATA record: confirmed, and handled unless seen in
// the previous bundle.
void Client_EventBundle(const MsgRecord* record);
// The handlers of one event: the world handler runs only while the level
// run numbers agree; the flight handler for every new event.
void Client_EventWorld(const MsgRecord* event);
void Client_EventFlight(const MsgRecord* event);
// The object copies: updates, static batches, retirement at the end of a
// packet and the think pass of every frame.
void Client_ObjectData(const MsgRecord* record);
void Client_StaticData(const MsgRecord* record);
void Client_ObjectsRetire(void);
void Client_ThinkPass(void);
// Copies named by a packet that never ended go back to the known list.
void Client_ObjectsPacketStart(void);
// One step of a known copy; the copies into the world cell grid.
void Client_ObjectStep(ObjectRecord* object);
void Client_ObjectsGridPlace(void);
// 65536 / n for n = 0..25, entry 0 being 0.
extern const int32_t Client_ReachTable[26];
// Detaches a copy the client drops: cleared flags and a linger count that
// retires it at the end of the next packet, no sound, no target.
void Client_ObjectDetach(ObjectRecord* object);

// The object bookkeeping the statistics page reads, one read-only view.
struct NetBookkeeping {
    const ObjectRecord* serverObjects;
    const ObjectRecord* knownObjects;
    const ObjectRecord* packetObjects;
    const ObjectRecord* playerObjects;
    const ObjectRecord* clientObjectFree;  // free chain of the copies' pool
    const ObjectRecord* commonObjectFree;  // free chain of the client common pool
    const uint32_t* confirmTags;
    uint32_t confirmCount;
    int32_t keptObjects, newObjects, staticObjects;
    const ListNode* serverEventFree;
    const ListNode* firstSlotEvents;
    uint32_t frame;
};
NetBookkeeping net_Bookkeeping(void);
// Marks every slot of the player name table free (outside a bridge game).
void Client_PlayerNamesFree(void);

// Session callbacks: the session or the server's player is gone (string
// 830), and a notice with one text (string 831).
void Client_SessionLost(void);
void Client_SessionNotice(const char* text);

// ---- Senders: each queues one record; none when the pool is empty ----

void Client_SendChat(uint16_t mode, const char* text);
void Client_SendBulletFired(uint32_t bulletId, const FixWorldPos* position, const FixVec3* velocity,
                            const FixAngles* angles, uint8_t weaponType);
void Client_SendBulletHit(uint32_t target, uint32_t bulletId);
void Client_SendLaunchMissile(uint32_t weaponType, uint32_t target, const FixVec3* launchPoint,
                              const uint32_t weaponWords[2], const FixVec3* targetPosition);
void Client_SendLaunchBomb(const FixVec3* aimPoint, const FixVec3* launchPoint, uint8_t weaponType);
void Client_SendJettisonWeapon(const FixVec3* launchPoint, uint32_t weaponType);
void Client_SendPlayerReset(uint16_t flags);
void Client_SendPlayerCrash(void);
void Client_SendEcmDrop(const FixWorldPos* position, uint16_t kind);
void Client_SendPlayerTrig(uint16_t value, uint16_t trigger);
void Client_SendBulletHitStatic(uint32_t bulletId, const FixVec3* position);
void Client_SendWingCommand(uint16_t command);
void Client_SendPlayerType(uint16_t type);
void Client_SendMidair(void);
void Client_SendStartupConfirm(uint32_t number);
void Client_SendSquadRequest(const char* name, const char* password);
void Client_SendResponse(uint16_t kind, uint32_t value);
void Client_SendLaunchFuelPlane(void);
void Client_SendPlayerExploded(void);
void Client_SendVictory(void);
void Client_SendConsoleCommand(const char* line);
// Plain-call forms for the menu and cockpit code.
void Client_CallSendPlayerType(int32_t type);
void Client_CallSendWingCommand(int32_t command);

// ---- Event handlers ----

// What the server's events write for the pages and the cockpit: the player
// name table (player_Table: 42-byte slots, name at +0, aircraft text at +22,
// side at +38, squadron word at +40, 0xFFFF in a free slot), the score table
// and the results of the two game-over events.
struct ClientDisplayRecords {
    PlayerTableEntry* names;
    int32_t nameCount;
    uint32_t scoreCount;
    MsgScoreEntry scores[EVENT_SCORES_MAX];
    int32_t ctfResult;
    int32_t dmResult;
};
extern ClientDisplayRecords Client_PlayerDisplayRecords;
// Level resets the server announced during this run.
extern int32_t Client_LevelResetCount;
// The level's sound-trigger record the event sounds play from (null: silent).
struct SndTrigFile;
extern SndTrigFile* Client_SoundTriggers;

// Takes a client copy out of play: flags cleared, retired at the end of the
// next packet, no sound, no longer a target or viewed.
void Client_ObjectDetach(ObjectRecord* object);
// The client copy with that serial id, null when the client has none.
ObjectRecord* Client_ObjectFind(uint32_t serial);
// Frames a remote bullet stamped with the server frame's low 16 bits is
// moved ahead: the wrapped distance to the last server frame, at most 64.
int32_t Client_BulletAdvanceFrames(uint16_t stamp);
