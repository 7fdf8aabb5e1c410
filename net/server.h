// The server record, as far as code outside the server reads it.
#pragma once
#include <cstdint>

struct PlayerSlot;

// Size of the buffer one player's packet is assembled in.
constexpr int32_t SERVER_SEND_BUFFER_SIZE = 0x4000;

struct ServerRecord {
    PlayerSlot* player;         // "Player Buffer": 16 slots, null while no server runs
    int32_t playerCount;
    uint8_t* send_buffer_ptr;   // "Server.send_buffer_ptr", SERVER_SEND_BUFFER_SIZE bytes
    int32_t send_buffer_size;   // bytes of the packet being assembled
};
extern ServerRecord Server;

// The slot whose packet the server is working on, or null.
extern PlayerSlot* ServerPlayerPtr;

// Queues the dynamic-model event for the clients: load the named model into
// the slot, or (release 1, name unused) drop it.
void Server_DymodEvent(int32_t slot, const char* name, int32_t release);
