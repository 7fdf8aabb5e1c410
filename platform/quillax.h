// quillax: the networking library of TCP/IP games. One host and its
// joiners exchange datagrams over UDP (or an in-memory hub for tests);
// sessions, players, game messages and four system messages (sender 0).
// Its state is an instance, so a host and a joiner can share a process.
#pragma once
#include <cstddef>
#include <cstdint>

// Results.
constexpr int32_t QX_OK = 0;
constexpr int32_t QX_FAIL = 1;
constexpr int32_t QX_NO_MESSAGE = 2;
constexpr int32_t QX_SESSION_FULL = 5;
constexpr int32_t QX_PENDING = 9;
constexpr int32_t QX_NO_PLAYER = 11;
constexpr int32_t QX_BAD_PASSWORD = 15;
constexpr int32_t QX_BUSY = 16;

// System messages (sender 0): a 16-bit type, then the player id (32-bit)
// for joined and left, the text (zero-terminated) for the notice.
constexpr uint16_t QX_MSG_PLAYER_JOINED = 0x1050;
constexpr uint16_t QX_MSG_PLAYER_LEFT = 0x1051;
constexpr uint16_t QX_MSG_SESSION_LOST = 0x1052;
constexpr uint16_t QX_MSG_NOTICE = 0x1053;

constexpr uint32_t QX_SESSION_RECORD = 256;
constexpr uint32_t QX_PLAYER_RECORD = 136;
constexpr uint32_t QX_MAX_PLAYER_DATA = 2048;
constexpr uint32_t QX_MAX_MESSAGE = 32768;
constexpr uint16_t QX_DEFAULT_PORT = 4533;
// A peer that sends nothing for this long has gone.
constexpr uint32_t QX_SILENCE_MS = 10000;

struct QuillaxInstance;
struct QuillaxHub;

// Instances. The calls below act on the current one (a default instance
// exists from the start).
QuillaxInstance* quillax_InstanceCreate(void);
void quillax_InstanceDestroy(QuillaxInstance* q);
void quillax_InstanceSelect(QuillaxInstance* q);
QuillaxInstance* quillax_InstanceCurrent(void);
// Tests: a clock in milliseconds of the caller's (null: the wall clock).
void quillax_InstanceSetClock(QuillaxInstance* q, const uint64_t* milliseconds);
// Tests: the instance sends and receives on the hub instead of UDP.
void quillax_InstanceUseHub(QuillaxInstance* q, QuillaxHub* hub);

// The in-memory hub: percentages of datagrams lost, duplicated and swapped
// with the one before, from a seeded generator; the next N sends are busy.
QuillaxHub* quillax_HubCreate(uint32_t seed);
void quillax_HubDestroy(QuillaxHub* hub);
void quillax_HubSetFaults(QuillaxHub* hub, uint32_t lossPercent, uint32_t duplicatePercent,
                          uint32_t reorderPercent);
void quillax_HubSetBusy(QuillaxHub* hub, uint32_t sends);
// Tests: a datagram of any content from a port of the hub to another.
void quillax_HubInject(QuillaxHub* hub, uint16_t fromPort, uint16_t toPort, const void* data, size_t size);

typedef int32_t (*QuillaxEnumCallback)(const uint8_t* sessionRecord, void* context);

// The 22 entry points.
int32_t quillax_Init(void);
int32_t quillax_Close(void);
int32_t quillax_InitTCPIP(const char* address);
int32_t quillax_CloseTCPIP(void);
int32_t quillax_EnumSessions(const uint8_t* sessionRecord, uint32_t timeout, QuillaxEnumCallback callback,
                             void* context, uint32_t flags);
int32_t quillax_StopEnumSessions(void);
int32_t quillax_JoinSession(const uint8_t* sessionRecord);
int32_t quillax_HostSession(const uint8_t* sessionRecord);
int32_t quillax_CloseSession(void);
// The 136-byte record carries the name; the player data (at most 2 KB) is
// kept by the library and read back with quillax_GetPlayerData.
int32_t quillax_CreatePlayer(uint32_t* id, const uint8_t* playerRecord, int32_t server, const void* data,
                             uint32_t size);
int32_t quillax_DestroyPlayer(uint32_t id);
int32_t quillax_GetMessage(void* buffer, uint32_t* size, uint32_t* sender);
int32_t quillax_SendToServer(const void* buffer, uint32_t size);
int32_t quillax_SendToClient(const void* buffer, uint32_t size, uint32_t player);
// Fills the 136-byte record: the name, and at 128 and 132 the index and
// size of the player's data.
int32_t quillax_GetPlayerName(uint32_t id, uint8_t* playerRecord);
int32_t quillax_GetServerId(uint32_t* id);
int32_t quillax_CancelJoin(void);
int32_t quillax_SetPorts(uint16_t clientPort, uint16_t hostPort);
int32_t quillax_SetDynamicPortUsage(int32_t on);
int32_t quillax_GetRecvPort(uint32_t* port);
int32_t quillax_EnableServerCompression(int32_t on);
int32_t quillax_GetPlayerIPAddress(uint32_t id, uint32_t* address);

// The player data behind an index of a player record: 0 and its size, or
// QX_NO_PLAYER. Copies at most *size bytes.
int32_t quillax_GetPlayerData(uint32_t index, void* buffer, uint32_t* size);

// The datagram reader: 0 and the parts of a well-formed datagram, -1 for
// anything else.
struct QxDatagram {
    uint8_t kind;
    uint32_t sequence;
    const uint8_t* payload;
    uint32_t payloadSize;
};
int32_t quillax_DatagramRead(const uint8_t* data, size_t size, QxDatagram* out);
