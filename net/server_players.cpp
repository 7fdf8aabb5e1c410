// The players' slots at a level start: made again after a reload, kept and
// registered in the new world after a replay.
#include <cstring>

#include "net/rules.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "sim/obj.h"
#include "world/levelseq.h"

namespace {

void FarQueueRewind(PlayerSlot* s, bool zero) {
    s->farQueueCount = 0;
    if (zero && s->objectQueue) memset(s->objectQueue, 0, SERVER_FAR_QUEUE_BYTES);
    s->objectQueueRead = s->objectQueue;
}

// Player-data sequence through the data-received flag.
void FlightWordsClear(PlayerSlot* s) {
    s->lastSequence = 0;
    s->framesSince = 0;
    s->farQueueCount = 0;
    s->score = 0;
    s->lastTarget = nullptr;
    s->expectedFrames = 0;
    s->viewReference = FixVec3{};
    s->dataReceived = 0;
}

}  // namespace

void Server_PlayersPrepare(void) {
    if (!Server.player) return;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
        PlayerSlot* s = &Server.player[i];
        if (!s->inUse) continue;
        FlightWordsClear(s);
        s->staticPending = 0;
        s->restartRequest = 0;
        s->active = 0;
        s->staticLastBatch = 0;
        s->staticBatchSerial = 0;
        s->confirmCount = 0;
        FarQueueRewind(s, true);
        // The old object went with the level memory.
        s->aircraft = level_PlayerObjectCreate(static_cast<int32_t>(s->playerId));
        s->squadron = 0xFFFF;
        if (RulesRecord* rules = rules_Current(); rules && rules->playerObjectMade) rules->playerObjectMade(i);
        if (s->remote) Server_BuildStaticList(i);
        s->startupSerial++;
        s->startupPending = 1;
        if (s->aircraft) {
            s->aircraft->modelSlot = static_cast<uint16_t>(s->dymodSlot);
            s->aircraft->model = s->pakHandle;
        }
    }
}

void Server_PlayersReleaseObjects(void) {
    if (!Server.player) return;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
        PlayerSlot* s = &Server.player[i];
        if (!s->inUse) continue;
        FlightWordsClear(s);
        FarQueueRewind(s, false);
        if (s->remote) Server_BuildStaticList(i);
        // The object list it was on has been emptied: its old links would
        // keep it off the new one.
        if (s->aircraft) s->aircraft->next = s->aircraft->prev = nullptr;
        level_ObjectRegister(s->aircraft);
    }
}
