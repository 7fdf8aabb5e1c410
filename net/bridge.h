// The local bridge: server and client in one process, their packets carried
// through two memory buffers, one packet each way per frame. Also the three
// in-flight state records the launch code picks from.
#pragma once
#include <cstddef>
#include <cstdint>

struct AppStateRecord;

constexpr uint32_t BRIDGE_BUFFER_SIZE = 16384;
// The sender of a packet that came through the bridge.
constexpr int32_t NET_SENDER_LOCAL = -1;

struct BridgeSlot {
    uint8_t* buffer;
    uint32_t full;
    uint32_t size;
};
// Slot 0 carries the client's packets to the server, slot 1 the server's to
// the client.
struct BridgeBlock {
    BridgeSlot server;
    BridgeSlot client;
};
extern BridgeBlock net_Bridge;

// Bridge, client only, dedicated server.
constexpr int32_t NET_STATE_BRIDGE = 0;
constexpr int32_t NET_STATE_CLIENT = 1;
constexpr int32_t NET_STATE_DEDICATED = 2;
extern const AppStateRecord net_InFlightStates[3];

void bridge_Start(void);
int32_t bridge_Frame(void);
void bridge_Draw(void);
void bridge_Stop(void);

// Copies a packet into the side's slot (0 the server's, 1 the client's),
// replacing one not yet read; -1 when it does not fit or no bridge runs.
int32_t bridge_Write(int32_t side, const uint8_t* packet, size_t size);
// The next packet for the side (0 server, 1 client): the transport's when
// this process plays the network role of that side, else the bridge slot's.
// Null when none waits; sender gets the transport player id or
// NET_SENDER_LOCAL.
const uint8_t* net_ReceivePacket(int32_t side, size_t* size, int32_t* sender);
