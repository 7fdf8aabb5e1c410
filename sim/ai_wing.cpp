// The player's orders to the wingman and the queries the command menus ask
// about who is fighting whom.
#include "sim/ai_wing.h"

#include "net/server.h"
#include "platform/simlog.h"
#include "sim/ai_program.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/objarray.h"

namespace {

// The range of a unit's search for the nearest hostile.
constexpr int32_t kHostileRange = 0x59100000;

_AI_DCB* Unit(ObjectRecord* o) {
    if (!o || o->pool != &level_ServerArrays.ai || o->pool->size < sizeof(_AI_DCB)) return nullptr;
    return reinterpret_cast<_AI_DCB*>(o);
}

void RadioCall(ObjectRecord* wingman, int32_t id) {
    const uint32_t type = plane_CurrentDescriptor.orderSoundType;
    if (type) plane_PlaySound(wingman, type, 0x0B, id);
}

// A command program that picks its own targets from now on.
void Command(_AI_DCB* u, int32_t program) {
    ai_ProgramPend(&u->object, program);
    u->ownTargets = 1;
}

struct Order {
    int32_t callId;
};
const Order kOrders[AI_WING_ORDERS] = {{0x14}, {0x15}, {0x16}, {0x17}, {0x18},
                                       {0x19}, {0x1B}, {0x1A}, {0x49}, {0x1C}};

void Carry(ObjectRecord* leader, _AI_DCB* u, int32_t order) {
    ObjectRecord* w = &u->object;
    switch (order) {
    case 0:
        ai_ProgramPend(w, AI_PROGRAM_FOLLOW);
        u->aiState = 4;
        break;
    case 1:
        // Engage: turn on whoever is attacking it.
        if (ObjectRecord* a = ai_NearestAttackerOf(w)) w->target = a;
        ai_ProgramPend(w, AI_PROGRAM_ATTACK);
        u->aiState = 5;
        break;
    case 2: Command(u, AI_PROGRAM_ATTACK); break;
    case 3:
        if (leader->target != w) w->target = leader->target;
        Command(u, AI_PROGRAM_ASSIST);
        break;
    case 4: Command(u, AI_PROGRAM_TURN_PLUS_MINUS); break;
    case 5: Command(u, AI_PROGRAM_TURN_MINUS_PLUS); break;
    case 6:
        w->target = ai_NearestAttackerOf(leader);
        Command(u, AI_PROGRAM_ASSIST);
        break;
    case 7:
        ai_ProgramPend(w, AI_PROGRAM_REJOIN);
        u->aiState = 10;
        break;
    case 8: ai_ProgramPend(w, AI_PROGRAM_ESCORT); break;
    default: ai_ProgramPend(w, AI_PROGRAM_ROUTE); break;
    }
}

}  // namespace

ObjectRecord* ai_WingmanOf(const ObjectRecord* player) {
    if (!player) return nullptr;
    ObjectRecord* p = const_cast<ObjectRecord*>(player);
    if (ObjectRecord* w = plane_PlayerFields(p)->wingman) return w;
    // The client's own copy of the player: the server's record keeps it.
    PlayerSlot* s = plane_PlayerSlot(player->player);
    if (s && s->aircraft && s->aircraft != player) return plane_PlayerFields(s->aircraft)->wingman;
    return nullptr;
}

void plane_WingmanOrder(ObjectRecord* aircraft, int32_t order) {
    if (order < 0 || order >= AI_WING_ORDERS) return;
    ObjectRecord* w = ai_WingmanOf(aircraft);
    _AI_DCB* u = Unit(w);
    // Only a wingman able to take orders (engagement bit 0) obeys.
    if (!u || !(u->engagement & 0x01)) return;
    Carry(aircraft, u, order);
    plat_SimLog("wing", "order %d unit=%u state=%u", order, w->missionObject, u->aiState);
    RadioCall(w, kOrders[order].callId);
}

void ai_WingCommand(ObjectRecord* aircraft, int32_t order) { plane_WingmanOrder(aircraft, order); }

ObjectRecord* ai_NearestHostileOf(ObjectRecord* object) {
    if (!object) return nullptr;
    return obj_FindNearest(object, 0xFF, 0xFF, kHostileRange, nullptr);
}

ObjectRecord* ai_NearestAttackerOf(ObjectRecord* object) {
    if (!object) return nullptr;
    return obj_NearestAttackerOf(object, object, nullptr);
}

ObjectRecord* ai_NearestAttackerOfTarget(ObjectRecord* object) {
    if (!object || !object->target) return nullptr;
    ObjectRecord* a = obj_NearestAttackerOf(object, object->target, nullptr);
    return a && !(a->flags & OBJ_FLAG_ALLIANCE_B) ? a : nullptr;
}

uint8_t ai_OrderByte(ObjectRecord* unit) {
    const _AI_DCB* u = Unit(unit);
    return u ? u->aiState : 0;
}
