// Fuzz target: a server with one player holding pending events parses a
// client packet (its confirmations above all) and assembles the player's
// next packets. Input: a count of text events to queue, then the packet.
// Checked: no event node is lost or doubled, and every packet the server
// assembles is within 16 KB and reads back whole.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "base/mem.h"
#include "net/msg.h"
#include "net/server.h"
#include "sim/obj.h"
#include "world/gamemode.h"

namespace {

ObjectRecord g_aircraft;

void Check(void) {
    const PlayerSlot* s = &Server.player[0];
    if (list_CountFrom(s->pendingEvents) + list_CountFrom(s->eventPool.freeHead) != (int32_t)SERVER_SLOT_EVENTS)
        abort();
    if (Server.send_buffer_size > (int32_t)MSG_PACKET_MAX) abort();
    MsgWalker w;
    msg_WalkBegin(&w, Server.send_buffer_ptr, (size_t)Server.send_buffer_size);
    MsgRecord r;
    int32_t got;
    while ((got = msg_WalkNext(&w, &r)) == 1) {
        if (r.type != MSG_EVENTDATA) continue;
        MsgEventWalker ew;
        if (msg_EventWalkBegin(&ew, r.data, r.length) != 0) abort();
        MsgRecord e;
        int32_t more;
        while ((more = msg_EventWalkNext(&ew, &e)) == 1) {
        }
        if (more != 0) abort();
    }
    if (got != 0) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        mem_CurrentHeap = &mem_MainHeap;
        mem_HeapSizesSet(0x400000, 0x1000, 0x1000);
        mem_HeapInit();
        level_GameMode = GameModeFlags{1, 1, 0, 0, 0};
        ready = true;
    }
    if (size < 1) return 0;
    if (Server_RecordCreate() != 0) return 0;
    PlayerSlot* s = &Server.player[0];
    if (Server_PlayerMemCreate(0) == 0) {
        s->inUse = 1;
        s->active = 1;
        g_aircraft = ObjectRecord{};
        s->aircraft = &g_aircraft;
        // Up to 200 lines of assorted lengths: more than the pool holds and
        // more than one packet carries.
        char line[200];
        for (uint32_t i = 0; i < data[0] * 200u / 255u; i++) {
            size_t len = (i * 37u) % sizeof line;
            memset(line, 'a' + (int)(i % 26), len);
            line[len] = 0;
            Server_CallSendText(line, SERVER_TO_ALL, 0, 1);
        }
        Server_EventsDistribute();
        Server_AssemblePacket(0);
        Check();
        Server_ParsePacket(data + 1, size - 1, 0);
        Server_ParsePacket(data + 1, size - 1, 0);
        for (int32_t i = 0; i < 3; i++) {
            Server_AssemblePacket(0);
            Check();
        }
    }
    mem_FreeFrom(Server.anchor);
    memset(&Server, 0, sizeof Server);
    ServerPlayerPtr = nullptr;
    ServerPlayerObject = nullptr;
    return 0;
}
