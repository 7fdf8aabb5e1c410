#include "net/bridge.h"

#include <cstring>

#include "base/le.h"
#include "base/mem.h"
#include "net/client.h"
#include "net/driver.h"
#include "net/msgtrace.h"
#include "net/server.h"
#include "shell/runner.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/model.h"

BridgeBlock net_Bridge;

namespace {

uint8_t* BufferMake(const char* tag) {
    uint8_t* p = static_cast<uint8_t*>(mem_AllocEx(BRIDGE_BUFFER_SIZE, 4, tag));
    if (p) memset(p, 0, BRIDGE_BUFFER_SIZE);
    return p;
}

BridgeSlot* SlotOf(int32_t side) {
    if (side == 0) return &net_Bridge.server;
    if (side == 1) return &net_Bridge.client;
    return nullptr;
}

// Traces a returned packet by its first record; a packet too short to hold
// a record head is not traced.
const uint8_t* Traced(const uint8_t* packet, size_t size) {
    uint16_t type = 0, length = 0;
    if (net_MsgTraceOn && le_Read16At(packet, size, 0, &type) && le_Read16At(packet, size, 2, &length))
        net_MsgTrace(type, length);
    return packet;
}

}  // namespace

void bridge_Start(void) {
    memset(&net_Bridge, 0, sizeof net_Bridge);
    net_Bridge.server.buffer = BufferMake("Bridge.server_buffer");
    net_Bridge.client.buffer = BufferMake("Bridge.client_buffer");
    Server_Start();
    Client_Start();
}

int32_t bridge_Frame(void) {
    // The flight state byte ends a bridge game through the client frame.
    Server_Frame();
    return Client_Frame();
}

void bridge_Draw(void) {
    Server_StateDraw();
    Client_Draw();
}

void bridge_Stop(void) {
    Client_Stop();
    Server_Stop();
    // The server buffer was the first block of the game: everything after it
    // goes with it.
    if (net_Bridge.server.buffer) mem_FreeFrom(net_Bridge.server.buffer);
    memset(&net_Bridge, 0, sizeof net_Bridge);
    // The player's plane went with the client's models: the next game's
    // join must not give its object the old one.
    level_PlayerModel[0] = level_PlayerModel[1] = level_PlayerModel[2] = nullptr;
    model_DymodFreeAll(&model_ServerDymods);
    model_DymodFreeAll(&model_ClientDymods);
    // Key 0 is every block nobody owns (the display's among them).
    if (level_OwnerKey) mem_GlobalFreeByOwner(level_OwnerKey);
}

int32_t bridge_Write(int32_t side, const uint8_t* packet, size_t size) {
    BridgeSlot* slot = SlotOf(side);
    if (!slot || !slot->buffer || !packet || size > BRIDGE_BUFFER_SIZE) return -1;
    memcpy(slot->buffer, packet, size);
    slot->size = (uint32_t)size;
    slot->full = 1;
    return 0;
}

const uint8_t* net_ReceivePacket(int32_t side, size_t* size, int32_t* sender) {
    if (size) *size = 0;
    if (sender) *sender = NET_SENDER_LOCAL;
    // Only the side with the network role asks the driver: a hosting server,
    // or a client that joined a remote game. Single player never does.
    bool networkRole = !level_GameMode.singlePlayer &&
                       (side == 0 ? level_GameMode.hosting != 0
                                  : side == 1 && !level_GameMode.hosting);
    if (networkRole) {
        size_t got = 0;
        int32_t from = 0;
        const uint8_t* p = net_DriverReceive(side, &got, &from);
        if (p) {
            if (size) *size = got;
            if (sender) *sender = from;
            return Traced(p, got);
        }
    }
    BridgeSlot* slot = SlotOf(side);
    if (!slot || !slot->buffer || !slot->full) return nullptr;
    slot->full = 0;
    size_t got = slot->size ? slot->size : BRIDGE_BUFFER_SIZE;
    if (size) *size = got;
    return Traced(slot->buffer, got);
}

const AppStateRecord net_InFlightStates[3] = {
    {bridge_Start, bridge_Frame, bridge_Draw, bridge_Stop, 0},
    {Client_Start, Client_Frame, Client_Draw, Client_Stop, 0},
    {Server_Start, Server_StateFrame, Server_StateDraw, Server_Stop, 0},
};
