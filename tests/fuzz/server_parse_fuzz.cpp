// Fuzz target: arbitrary bytes as a client packet, parsed by a started server
// with a joined local slot (its aircraft, pools and world grid in place).
#include <cstdint>
#include <cstring>

#include "base/mem.h"
#include "net/dcbpool.h"
#include "net/server.h"
#include "sim/obj.h"
#include "world/gamemode.h"
#include "world/objarray.h"
#include "world/terrain.h"

namespace {

ObjectRecord g_aircraft;
ObjectRecord g_target;
ObjectRecord* g_heads[OBJ_GRID_SIZE * OBJ_GRID_SIZE];
void* g_marker;

void Hit(ObjectRecord* o) { o->hitPoints--; }

void Init(void) {
    mem_CurrentHeap = &mem_MainHeap;
    mem_HeapSizesSet(0x400000, 0x1000, 0x1000);
    mem_HeapInit();
    level_GameMode = GameModeFlags{1, 0, 0, 0, 0};  // network rules: remote flags untrusted
    Server_RecordCreate();
    g_marker = mem_AllocEx(0, 4, "fuzz marker");
    depth_Level.staticHeads = g_heads;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    if (!ready) {
        Init();
        ready = true;
    }
    memset(&level_ServerArrays, 0, sizeof level_ServerArrays);
    net_DcbPoolCreate(sizeof(_COMMON_DCB), 8, &level_ServerArrays.player, nullptr, "player");
    net_DcbPoolCreate(sizeof(_COMMON_DCB), 8, &level_ServerArrays.ai, &level_ServerArrays.player, "ai");
    net_DcbPoolCreate(sizeof(_COMMON_DCB), 8, &level_ServerArrays.common, &level_ServerArrays.player, "common");

    memset(Server.player, 0, sizeof(PlayerSlot) * SERVER_PLAYERS);
    PlayerSlot* s = &Server.player[0];
    s->inUse = 1;
    s->remote = 1;
    s->netPlayerId = 7;
    g_aircraft = ObjectRecord{};
    g_aircraft.hitPoints = 10;
    g_aircraft.serial = 3;
    s->aircraft = &g_aircraft;
    g_target = ObjectRecord{};
    g_target.serial = 5;
    g_target.hit = Hit;
    g_target.position = FixWorldPos{0x100, 0, 0x200};
    g_heads[0] = &g_target;
    Server.objects = &g_target;
    g_aircraft.next = nullptr;
    g_target.next = &g_aircraft;

    Server_ParsePacket(data, size, 0);
    // The same bytes again: now as a repeat of the previous packet.
    Server_ParsePacket(data, size, 0);
    Server_PlayersStep();

    mem_FreeFrom(g_marker);
    g_marker = mem_AllocEx(0, 4, "fuzz marker");
    return 0;
}
