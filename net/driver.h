// Transport driver table: selection, opening and closing.
#pragma once
#include <cstddef>
#include <cstdint>

// 1 selects the quillax table, any other value the DirectPlay one.
void net_DriverSelect(int32_t kind);
// 0 on success (also when already open), 1 on failure.
int32_t net_DriverInit(void);
int32_t net_DriverClose(void);
// Creates the local player in the session (name, server flag, data, size):
// 0, or nonzero on failure.
int32_t net_CreatePlayer(const char* name, int32_t serverFlag, const void* data, uint32_t size);
// A waiting packet for the side (0 server, 1 client) with its size and the
// sender's network player id; null when none waits.
const uint8_t* net_DriverReceive(int32_t side, size_t* size, int32_t* sender);
// Destroys the transport player and closes the network game.
void net_DriverGameClose(void);
// Sends a packet to a client's transport player: 0, or nonzero on failure.
int32_t net_SendToClient(const void* buffer, uint32_t size, uint32_t player);
// Busy retries of every send so far (the driver's send retry counter).
uint32_t net_DriverSendRetries(void);
// Sends a packet to the server's player: the driver's result (0 sent).
int32_t net_DriverSend(const uint8_t* packet, size_t size);
// The server's player id in the session, as the driver learnt it.
int32_t net_DriverServerPlayer(void);
// The session name of a transport player, or null.
const char* net_GetPlayerName(int32_t id);
// Session callbacks of the driver state record: joined, left, two system
// messages (session lost, a notice with one text) and the bridge's.
constexpr int32_t NET_CALLBACK_PLAYER_JOINED = 0;
constexpr int32_t NET_CALLBACK_PLAYER_LEFT = 1;
constexpr int32_t NET_CALLBACK_SESSION_LOST = 2;
constexpr int32_t NET_CALLBACK_NOTICE = 3;
constexpr int32_t NET_CALLBACK_BRIDGE = 4;
constexpr int32_t NET_CALLBACK_COUNT = 5;
typedef void (*NetSessionCallback)(const void* data, uint32_t size);
void net_DriverCallbackSet(int32_t slot, NetSessionCallback callback);
extern NetSessionCallback net_DriverCallbacks[NET_CALLBACK_COUNT];
