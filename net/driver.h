// Transport drivers: the table of 36 routines both drivers fill, the
// wrappers the rest of the program calls, the driver state and the session
// list.
#pragma once
#include <cstddef>
#include <cstdint>

// A session found by enumeration: in list order, its index renumbered
// 0, 1, 2 ... after every change.
struct SessionEntry {
    SessionEntry* prev;
    SessionEntry* next;
    int32_t index;
    char* name;  // stored after the entry
    uint8_t sessionGuid[16];
    uint8_t appGuid[16];
    uint32_t words[7];
    void* reserved[2];
};

// Serial settings of a serial-cable connection.
struct NetSerialSettings {
    uint32_t port, baudRate, stopBits, parity, flowControl;
};

// Session callbacks of the driver state: joined, left, two system
// messages (session lost, a notice with one text) and the bridge's.
constexpr int32_t NET_CALLBACK_PLAYER_JOINED = 0;
constexpr int32_t NET_CALLBACK_PLAYER_LEFT = 1;
constexpr int32_t NET_CALLBACK_SESSION_LOST = 2;
constexpr int32_t NET_CALLBACK_NOTICE = 3;
constexpr int32_t NET_CALLBACK_BRIDGE = 4;
constexpr int32_t NET_CALLBACK_COUNT = 5;
typedef void (*NetSessionCallback)(const void* data, uint32_t size);
extern NetSessionCallback net_DriverCallbacks[NET_CALLBACK_COUNT];

constexpr uint32_t NET_MESSAGE_BUFFER = 32768;
constexpr uint32_t NET_PLAYER_DATA_MAX = 2048;

// The driver state, one for both drivers.
struct NetDriverState {
    int32_t open;
    int32_t connection;  // 0 none, 1 IPX, 2 TCP/IP, 3 modem, 4 serial
    SessionEntry* sessionHead;
    SessionEntry* sessionTail;
    int32_t sessionCount;
    int32_t sessionsChanged;  // set on every add and remove
    uint32_t localPlayer;
    uint32_t serverPlayer;
    uint32_t lastSender;
    int32_t players;
    int32_t joins;
    uint32_t received;
    uint32_t systemMessages;
    uint32_t sent;
    const uint8_t* lastMessage;
    uint32_t lastSize;
    uint32_t sendRetries;
    int32_t hosting;
    uint32_t joinWords[2];  // the last joined player's data index and size
    // That player's data as the driver read it.
    uint8_t joinData[NET_PLAYER_DATA_MAX];
    uint32_t joinDataSize;
};
extern NetDriverState net_Counters;
// The DirectPlay driver's last join error (-1 ... -21).
extern int32_t net_LastError;
// The session number of the online-service page; 0 until that page sets it.
extern int32_t net_SessionNumber;

struct NetDriverTable {
    SessionEntry* (*sessionAdd)(const char* name, const uint8_t* sessionGuid, const uint8_t* appGuid,
                                const uint32_t* words);
    int32_t (*sessionRemove)(SessionEntry* entry);
    void (*sessionClear)(void);
    SessionEntry* (*sessionFindByGuid)(const uint8_t* guid);
    SessionEntry* (*sessionFindByIndex)(int32_t index);
    void (*sessionRenumber)(void);
    int32_t (*open)(void);
    int32_t (*close)(void);
    int32_t (*connectTcpip)(const char* address);
    int32_t (*connectModem)(const char* phone);
    int32_t (*connectSerial)(const NetSerialSettings* settings);
    int32_t (*connectIpx)(void);
    int32_t (*disconnect)(void);
    int32_t (*enumStart)(void);
    int32_t (*enumStop)(void);
    int32_t (*join)(SessionEntry* entry, const char* password);
    int32_t (*host)(const char* name, int32_t ignored, uint32_t maxPlayers, const char* password, uint32_t w0,
                    uint32_t w1, uint32_t w2, uint32_t w3);
    int32_t (*closeSession)(void);
    int32_t (*createPlayer)(const char* name, int32_t server, const void* data, uint32_t size);
    int32_t (*destroyPlayer)(void);
    int32_t (*messageCount)(void);
    const uint8_t* (*receive)(void);
    int32_t (*sendToServer)(const void* buffer, uint32_t size);
    int32_t (*sendToServer2)(const void* buffer, uint32_t size);
    int32_t (*sendToClient)(const void* buffer, uint32_t size, uint32_t player);
    int32_t (*sendToClient2)(const void* buffer, uint32_t size, uint32_t player);
    int32_t (*sendToAll)(const void* buffer, uint32_t size);
    const char* (*playerName)(uint32_t id);
    int32_t (*setPlayerName)(uint32_t id, const char* name);
    int32_t (*serverId)(int32_t seconds);
    int32_t (*cancelJoin)(void);
    int32_t (*setPorts)(uint32_t a, uint32_t b);
    int32_t (*dynamicPorts)(int32_t on);
    int32_t (*recvPort)(uint32_t* port);
    int32_t (*compression)(int32_t on);
    int32_t (*playerAddress)(uint32_t id, uint32_t* address);
};
static_assert(sizeof(NetDriverTable) == 36 * sizeof(void*), "36 slots");

extern const NetDriverTable net_DriverTableQuillax;
extern const NetDriverTable net_DriverTableDirectPlay;
// The table in use.
const NetDriverTable* net_DriverTable(void);
// Tests: puts a table of their own in use without closing anything.
void net_DriverTableInstall(const NetDriverTable* table);

// The application id of every session of this program.
extern const uint8_t net_AppGuid[16];

// ---- Wrappers ----

// 1 selects the quillax table, any other value the DirectPlay one; an open
// driver is closed when the table changes.
void net_DriverSelect(int32_t kind);
// 0 on success (also when already open), 1 on failure.
int32_t net_DriverInit(void);
int32_t net_DriverClose(void);
// The heap id of the session list's entries.
constexpr uint32_t NET_SESSION_HEAP_ID = 0x5E5500;
SessionEntry* net_SessionAdd(const char* name, const uint8_t* sessionGuid, const uint8_t* appGuid,
                             const uint32_t* words);
void net_SessionListClear(void);
void net_SessionListFlush(void);
SessionEntry* net_SessionFindByGuid(const uint8_t* guid);
SessionEntry* net_SessionFindByIndex(int32_t index);
void net_SessionListRenumber(void);
int32_t net_ConnectTcpip(const char* address);
int32_t net_ConnectModem(const char* phone);
int32_t net_ConnectSerial(const NetSerialSettings* settings);
int32_t net_ConnectIpx(void);
int32_t net_ConnectionClose(void);
int32_t net_EnumSessionsStart(void);
int32_t net_EnumSessionsStop(void);
int32_t net_JoinSession(SessionEntry* entry, const char* password);
// -1 when the driver is not open or no entry has the index.
int32_t net_JoinSessionByIndex(int32_t index, const char* password);
int32_t net_HostSession(const char* name, int32_t ignored, uint32_t maxPlayers, const char* password, uint32_t w0,
                        uint32_t w1, uint32_t w2, uint32_t w3);
int32_t net_CloseSession(void);
// Creates the local player in the session (name, server flag, data, size):
// 0, or nonzero on failure.
int32_t net_CreatePlayer(const char* name, int32_t serverFlag, const void* data, uint32_t size);
int32_t net_DestroyPlayer(void);
// One message for the local player, null when none waits.
const uint8_t* net_Receive(void);
int32_t net_SendToServer(const void* buffer, uint32_t size);
// Sends a packet to a client's transport player: 0, or nonzero on failure.
int32_t net_SendToClient(const void* buffer, uint32_t size, uint32_t player);
int32_t net_SendToClientEx(const void* buffer, uint32_t size, uint32_t player);
const char* net_GetPlayerName(uint32_t id);
int32_t net_GetServerId(int32_t seconds);
int32_t net_GetServerIdEx(void);
int32_t net_CancelJoin(void);
int32_t net_SetPorts(uint32_t a, uint32_t b);
int32_t net_SetDynamicPortUsage(int32_t on);
int32_t net_GetRecvPort(uint32_t* port);
void net_DriverCallbackSet(int32_t slot, NetSessionCallback callback);
// Sends the 8-byte record (0x4001, the value) to the server player.
void net_SendValueToServerPlayer(uint32_t value);

// ---- What the game's halves call ----

// A waiting packet for the side (0 server, 1 client) with its size and the
// sender's network player id; null when none waits.
const uint8_t* net_DriverReceive(int32_t side, size_t* size, int32_t* sender);
// Destroys the transport player and closes the network game.
void net_DriverGameClose(void);
// Busy retries of every send so far (the driver's send retry counter).
uint32_t net_DriverSendRetries(void);
// Sends a packet to the server's player: the driver's result (0 sent).
int32_t net_DriverSend(const uint8_t* packet, size_t size);
// The server's player id in the session, as the driver learnt it.
int32_t net_DriverServerPlayer(void);
// The data of the player who joined last (size in *size).
const uint8_t* net_PlayerData(uint32_t* size);

// ---- Shared by the drivers ----

// Runs a send until it is not busy: 0 sent, 2 after more than 2048 busy
// tries, 1 for another failure.
int32_t net_DriverSendLoop(int32_t (*send)(void* context), void* context, int32_t busy);
// Calls a session callback when it is set.
void net_DriverCallback(int32_t slot, const void* data, uint32_t size);
// A driver's open and close around its library: the message buffer taken
// into *buffer and the state marked open (1, nothing taken, when the buffer
// cannot be had); the session list emptied, the buffer freed and the state
// marked closed and unconnected (mem_Free's result).
int32_t net_DriverBufferOpen(uint8_t** buffer);
int32_t net_DriverBufferClose(uint8_t** buffer);
// Counts a message of `size` bytes received into `buffer`; true when a
// player sent it (the caller returns it), false for a system message
// (sender 0), which the caller handles.
bool net_DriverReceived(const uint8_t* buffer, uint32_t size, uint32_t sender);
// The DirectPlay routines the quillax driver reuses.
int32_t dplay_ConnectModem(const char* phone);
int32_t dplay_ConnectSerial(const NetSerialSettings* settings);
int32_t dplay_ConnectIpx(void);
