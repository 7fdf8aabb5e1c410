// Player aircraft damage and deaths on the server, the crash line, the kill
// announcement and the clearing of targets on a dead aircraft.
#include <cstring>

#include "base/math.h"
#include "base/text.h"
#include "net/client.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "shell/appstr.h"
#include "sim/hit.h"
#include "sim/obj.h"
#include "world/gamemode.h"
#include "world/level.h"

int32_t Server_NoCollision = 0;
int32_t Server_NoDamage = 0;
int32_t Server_DeathKind = 0;

namespace {

constexpr uint32_t DEBRIS_RANGE = 0x2F80000u;
constexpr uint32_t EXPLOSION_RANGE = 0x3E580000u;
constexpr int32_t RELIABLE = 0x400;
constexpr uint32_t TEXT_CRASH = 564;  // 564..571: one name
constexpr uint32_t TEXT_KILL = 580;   // 580..587: killer, then victim

bool SinglePlayer(void) { return level_GameMode.singlePlayer != 0; }

// A slot in use, or null.
PlayerSlot* SlotAt(int32_t i) {
    if (!Server.player || i < 0 || i >= SERVER_PLAYERS || !Server.player[i].inUse) return nullptr;
    return &Server.player[i];
}

const char* NameOf(const PlayerSlot* s) { return s && s->name ? s->name : ""; }

// A text event to everyone (value 0) from one of eight lines chosen at random.
void SendRandomLine(uint32_t first, const char* name1, const char* name2) {
    const char* format = app_StringGet(first + (math_Random() & 7));
    if (!format) return;
    char text[256];
    text_Format(format, text, sizeof text, name1, name2);
    Server_CallSendText(text, SERVER_TO_ALL, 0, 0);
}

// The end of an aircraft: the victim learns it died, everyone near sees it
// blow up, and in single player the local client's trigger fires.
void Kill(ObjectRecord* a, int32_t slot, uint32_t deathKind) {
    a->hitPoints = 0;
    FixWorldPos at = a->position;
    Server_CallQueueEvent(EVENT_BEENKILLED, deathKind, &at, SERVER_TO_PLAYER, slot, 0, RELIABLE);
    Server_ClearTargetsOf(a);
    Server_CallQueueEvent(EVENT_AIREXPLODE, a->serial, &at, SERVER_IN_RANGE, 0, EXPLOSION_RANGE, RELIABLE);
    if (SinglePlayer()) Client_SendPlayerTrig(0, 11);
}

}  // namespace

int32_t Server_SlotOfAircraft(const ObjectRecord* aircraft) {
    if (!aircraft || !Server.player) return -1;
    for (int32_t i = 0; i < SERVER_PLAYERS; i++)
        if (Server.player[i].inUse && Server.player[i].aircraft == aircraft) return i;
    return -1;
}

bool Server_SlotNoDamage(const PlayerSlot* s) {
    // A remote client's own flags are not trusted in a network game.
    return s && (s->playerFlags & SLOT_FLAG_NO_DAMAGE) && !(!SinglePlayer() && s->remote);
}

void Server_TargetsForget(const ObjectRecord* object) {
    if (!object) return;
    for (ObjectRecord* o = Server.objects; o; o = o->next)
        if (o->target == object) o->target = nullptr;
}

void Server_ClearTargetsOf(ObjectRecord* object) {
    if (!object) return;
    Server_TargetsForget(object);
    if (!SinglePlayer()) return;
    obj_TypeListUnlink(object);
    obj_ReplaceTargetRefs(object);
}

void Server_PlayerAircraftHit(ObjectRecord* a) {
    const int32_t victim = Server_SlotOfAircraft(a);
    PlayerSlot* v = SlotAt(victim);
    if (!v || a->hitPoints <= 0 || Server_NoCollision || v->countdown != 0) return;
    // The hitter's slot when a player's aircraft hit: a hit a client reports
    // is the sender's aircraft; a weapon or unit has none.
    const int32_t killer = Server_SlotOfAircraft(sim_HitRecord.hitter);
    PlayerSlot* k = SlotAt(killer);
    if (!SinglePlayer() && k && k != v && k->side != -1 && k->side == v->side) return;
    if (Server_NoDamage || Server_SlotNoDamage(k)) return;

    FixWorldPos at = a->position;
    Server_CallQueueEvent(EVENT_DEBRIS, (uint32_t)sim_HitRecord.debris, &at, SERVER_IN_RANGE, 0, DEBRIS_RANGE, 2);
    Server_CallQueueEvent(EVENT_BEENHIT, (uint32_t)sim_HitRecord.weaponType, &at, SERVER_TO_PLAYER, victim, 0,
                          RELIABLE);
    // Damage is the 16.16 product; its 64-bit form cannot overflow.
    const int64_t damage = ((int64_t)sim_HitRecord.damage * sim_HitRecord.scale) >> 16;
    const int64_t left = (int64_t)a->hitPoints - damage;
    if (left > 0) {
        a->hitPoints = (int16_t)(left > INT16_MAX ? INT16_MAX : left);
        return;
    }
    Kill(a, victim, (uint32_t)Server_DeathKind);
    if (k) Server_AnnounceKill(killer, victim);
}

void Server_PlayerExploded(void) {
    PlayerSlot* s = ServerPlayerPtr;
    ObjectRecord* a = s ? s->aircraft : nullptr;
    if (!a || Server_NoCollision || Server_NoDamage || Server_SlotNoDamage(s) || a->hitPoints <= 0) return;
    Kill(a, (int32_t)(s - Server.player), 0);
}

void Server_CrashTextSend(void) {
    const PlayerSlot* s = ServerPlayerPtr;
    if (!s) return;
    SendRandomLine(TEXT_CRASH, NameOf(s), "");
}

void Server_AnnounceKill(int32_t killerSlot, int32_t victimSlot) {
    PlayerSlot* k = SlotAt(killerSlot);
    PlayerSlot* v = SlotAt(victimSlot);
    if (!k || !v || k == v || SinglePlayer()) return;
    if (k->side != v->side || k->side == -1) {
        k->score++;
        Server_RulesScore(killerSlot);
    }
    SendRandomLine(TEXT_KILL, NameOf(k), NameOf(v));
    Server_OutgoingEvent = ServerOutgoingEvent{};
    Server_OutgoingEvent.kind = SERVER_TO_ALL;
    Server_QueueScores();
}
