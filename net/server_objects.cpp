// Which objects each player's packet describes: the static objects of the
// world cell grid in confirmed batches, the close objects of every packet and
// one far object per packet from the player's queue; and the two records.
#include <cstring>

#include "base/le.h"
#include "base/mem.h"
#include "net/msg.h"
#include "net/rules.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "sim/obj.h"
#include "world/gamemode.h"
#include "world/terrain.h"

namespace {

const char kStaticListTag[] = "PLAYER STATIC LIST";

// Bounds of the object lists: each candidate lies within its range of the
// point measured from (approximate distance).
constexpr int32_t FAR_RANGE = 0x3B600000;
constexpr int32_t CLOSE_RANGE = 0x8E80000;
constexpr int32_t RELATIVE_RANGE = 0x5F00000;
constexpr uint32_t CLOSE_ENTRIES = 18;
constexpr uint32_t STATIC_BATCH = 4;
constexpr uint32_t FAR_OBJECTS = SERVER_FAR_QUEUE_ENTRIES - 1;

// The scratch pair list shared by the far queue and the close list. When it
// fills, the nearer half is kept: every list built from it wants at most
// half its capacity, so the nearest objects always survive.
constexpr uint32_t SCRATCH_PAIRS = 2048;
static_assert(FAR_OBJECTS <= SCRATCH_PAIRS / 2 && CLOSE_ENTRIES + 1 <= SCRATCH_PAIRS / 2);
ServerObjectPair g_scratch[SCRATCH_PAIRS];
uint32_t g_scratchCount = 0;

PlayerSlot* SlotAt(int32_t i) {
    if (!Server.player || i < 0 || i >= SERVER_PLAYERS) return nullptr;
    return &Server.player[i];
}

int32_t Distance(const FixWorldPos& a, const FixVec3& b) {
    FixVec3 d{(int32_t)(a.x - (uint32_t)b.x), (int32_t)(a.y - (uint32_t)b.y), (int32_t)(a.z - (uint32_t)b.z)};
    return fix_ApproxLength(&d);
}

FixVec3 VecOf(const FixWorldPos& p) { return FixVec3{(int32_t)p.x, (int32_t)p.y, (int32_t)p.z}; }

// Shell sort, nearest first. The pairs hold native pointers, so they do not
// fit the shared 32-bit sort arrays.
void SortPairs(ServerObjectPair* pairs, uint32_t n) {
    for (uint32_t gap = n / 2; gap > 0; gap /= 2)
        for (uint32_t i = gap; i < n; i++) {
            ServerObjectPair t = pairs[i];
            uint32_t j = i;
            for (; j >= gap && pairs[j - gap].distance > t.distance; j -= gap) pairs[j] = pairs[j - gap];
            pairs[j] = t;
        }
}

void ScratchAdd(ObjectRecord* o, int32_t distance) {
    if (g_scratchCount == SCRATCH_PAIRS) {
        SortPairs(g_scratch, g_scratchCount);
        g_scratchCount = SCRATCH_PAIRS / 2;
    }
    g_scratch[g_scratchCount++] = ServerObjectPair{o, distance};
}

// Objects a player is told about: not its own aircraft, not marked
// not-to-send.
bool Sendable(const ObjectRecord* o, const PlayerSlot* s) {
    return o && o != s->aircraft && !(o->serverFlags & OBJ_SERVER_NO_SEND);
}

// Where the player is: its aircraft, or its view reference without one.
FixVec3 PlayerPoint(const PlayerSlot* s) {
    return s->aircraft ? VecOf(s->aircraft->position) : s->viewReference;
}

void StaticListFree(PlayerSlot* s) {
    // A list built before a level reload went with the level memory: only a
    // block that still carries the list's tag is ours to free.
    if (s->staticList) {
        const MemBlock* b = reinterpret_cast<const MemBlock*>(s->staticList) - 1;
        if (b->tag == kStaticListTag) mem_Free(s->staticList);
    }
    s->staticList = nullptr;
    s->staticPending = 0;
}

LeSpanWriter Tail(void) {
    return LeSpanWriter(Server.send_buffer_ptr + Server.send_buffer_size,
                        SERVER_SEND_BUFFER_SIZE - (size_t)Server.send_buffer_size);
}

// The 16-bit object-update serial; 0 is what a fresh record holds, so the
// serial never takes it.
uint16_t NextSerial(void) {
    uint16_t n = (uint16_t)(Server.objectSerial + 1);
    if (n == 0) n = 1;
    Server.objectSerial = n;
    return n;
}

int16_t Absolute(uint32_t v) { return (int16_t)(uint16_t)(v >> 16); }

uint16_t AngleAhead(int32_t angle, int32_t rate, int32_t shift) {
    uint32_t a = ((uint32_t)angle + ((uint32_t)rate << shift)) & FIX_ANGLE_MASK;
    return (uint16_t)(a >> 16);
}

// One 32-byte entry of the object's state 2^shift frames ahead.
MsgObjectEntry EntryOf(const ObjectRecord* o, int32_t d, const FixVec3& ref, const PlayerSlot* s, int32_t slot,
                       uint8_t extra) {
    const int32_t shift = Server.extrapolationShift;
    MsgObjectEntry e{};
    e.serial = o->serial;
    // The record's motion is its direction scaled by its speed.
    uint32_t step[3] = {(uint32_t)(((int64_t)o->velocity.x * o->speed) >> 16),
                        (uint32_t)(((int64_t)o->velocity.y * o->speed) >> 16),
                        (uint32_t)(((int64_t)o->velocity.z * o->speed) >> 16)};
    uint32_t at[3] = {o->position.x + (step[0] << shift), o->position.y + (step[1] << shift),
                      o->position.z + (step[2] << shift)};
    uint8_t flags = (uint8_t)(o->copyFlags | extra);
    if (d <= RELATIVE_RANGE) {
        e.x = (int16_t)((int32_t)(at[0] - (uint32_t)ref.x) >> 13);
        e.y = (int16_t)((int32_t)(at[1] - (uint32_t)ref.y) >> 13);
        e.z = (int16_t)((int32_t)(at[2] - (uint32_t)ref.z) >> 13);
        flags |= MSG_OBJECT_RELATIVE;
    } else {
        e.x = Absolute(at[0]);
        e.y = Absolute(at[1]);
        e.z = Absolute(at[2]);
    }
    e.angles.heading = msg_AngleFromWire(AngleAhead(o->angles.heading, o->rates.heading, shift));
    e.angles.pitch = msg_AngleFromWire(AngleAhead(o->angles.pitch, o->rates.pitch, shift));
    e.angles.roll = msg_AngleFromWire(AngleAhead(o->angles.roll, o->rates.roll, shift));
    e.speed = (o->aiClass & 0x02) ? 0 : (uint16_t)((uint32_t)o->speed >> 8);
    e.owner = o->player;
    e.typeIndex = (uint8_t)(o->modelSlot & 0xFF);
    e.status = o->stateFlags;
    if (s->aircraft && o->target == s->aircraft) flags |= MSG_OBJECT_TARGETS_PLAYER;
    e.flags = flags;
    // The wire's category byte is the object's class.
    e.category = o->aiClass;
    e.side = o->flags;
    if (!level_GameMode.singlePlayer) {
        RulesRecord* r = rules_Current();
        if (r && r->objectSide) e.side = r->objectSide(slot, o);
    }
    e.modelState[0] = o->modelState[0];
    e.modelState[1] = o->modelState[1];
    e.alive = o->hitPoints != 0 ? 1 : 0;
    e.aux = (o->flags & OBJ_FLAG_PLAYER) ? (uint32_t)o->missionWord : 0;
    return e;
}

}  // namespace

// ---- Static objects ----

void Server_BuildStaticList(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s) return;
    StaticListFree(s);
    ObjectRecord** heads = depth_Level.staticHeads;
    if (!heads) return;
    const int32_t cells = OBJ_GRID_SIZE * OBJ_GRID_SIZE;
    uint32_t n = 0;
    for (int32_t c = 0; c < cells; c++)
        for (ObjectRecord* o = heads[c]; o && n < 0x7FFFFFF; o = o->freeLink) n++;
    if (n == 0) return;
    auto* pairs = static_cast<ServerObjectPair*>(mem_AllocEx(n * (uint32_t)sizeof(ServerObjectPair), alignof(ServerObjectPair), kStaticListTag));
    if (!pairs) return;
    const FixVec3 from = PlayerPoint(s);
    uint32_t k = 0;
    for (int32_t c = 0; c < cells; c++)
        for (ObjectRecord* o = heads[c]; o && k < n; o = o->freeLink) pairs[k++] = ServerObjectPair{o, Distance(o->position, from)};
    SortPairs(pairs, k);
    s->staticList = pairs;
    s->staticPending = k;
    s->staticLastBatch = 0;
}

void Server_WriteStaticData(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s || !s->staticPending || !s->staticList || !Server.send_buffer_ptr) return;
    const auto* pairs = static_cast<const ServerObjectPair*>(s->staticList);
    uint32_t c = s->staticPending < STATIC_BATCH ? s->staticPending : STATIC_BATCH;
    s->staticLastBatch = c;
    MsgStaticEntry entries[STATIC_BATCH] = {};
    RulesRecord* r = rules_Current();
    for (uint32_t i = 0; i < c; i++) {
        const ObjectRecord* o = pairs[i].object;
        MsgStaticEntry& e = entries[i];
        e.position = VecOf(o->position);
        e.angles = o->angles;
        e.typeIndex = o->modelSlot;
        e.kind = o->drawFlags;
        e.side = r && r->staticSide ? r->staticSide(slot, o) : o->flags;
        e.categoryFlags = o->category;
        e.categoryNext = o->missionBit;
        e.modelState[0] = o->modelState[0];
        e.modelState[1] = o->modelState[1];
    }
    MsgStaticData head{(uint16_t)s->staticBatchSerial, (uint16_t)c};
    LeSpanWriter w = Tail();
    if (msg_StaticDataEncode(&w, &head, entries) == 0) Server.send_buffer_size += (int32_t)w.pos;
}

void Server_ConfirmStatics(PlayerSlot* s, uint32_t batch) {
    if (!s || !s->staticList || !s->staticPending || !s->staticLastBatch) return;
    if ((batch & 0xFFFF) != (s->staticBatchSerial & 0xFFFF)) return;
    uint32_t drop = s->staticLastBatch < s->staticPending ? s->staticLastBatch : s->staticPending;
    auto* pairs = static_cast<ServerObjectPair*>(s->staticList);
    s->staticPending -= drop;
    memmove(pairs, pairs + drop, s->staticPending * sizeof *pairs);
    s->staticLastBatch = 0;
    if (s->staticPending == 0) StaticListFree(s);
    s->staticBatchSerial++;
}

// ---- Moving objects ----

void Server_BuildObjectQueue(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s || !s->objectQueue) return;
    const FixVec3 from = PlayerPoint(s);
    g_scratchCount = 0;
    for (ObjectRecord* o = Server.objects; o; o = o->next) {
        if (!Sendable(o, s) || !(o->aiClass & 0x81)) continue;
        int32_t d = Distance(o->position, from);
        if (d <= FAR_RANGE) ScratchAdd(o, d);
    }
    SortPairs(g_scratch, g_scratchCount);
    uint32_t n = g_scratchCount < FAR_OBJECTS ? g_scratchCount : FAR_OBJECTS;
    auto* q = static_cast<ObjHandle*>(s->objectQueue);
    for (uint32_t i = 0; i < n; i++) q[i] = obj_HandleMake(g_scratch[i].object);
    q[n] = ObjHandle{};
    s->farQueueCount = n;
    s->objectQueueRead = q;
}

void Server_WriteObjectData(int32_t slot) {
    PlayerSlot* s = SlotAt(slot);
    if (!s || s->blocked || !Server.send_buffer_ptr) return;
    const uint16_t serial = NextSerial();
    const FixVec3 ref = s->viewReference;
    const FixVec3 player = PlayerPoint(s);
    if (s->farQueueCount == 0) Server_BuildObjectQueue(slot);

    MsgObjectEntry entries[CLOSE_ENTRIES + 1];
    uint32_t n = 0;
    auto put = [&](ObjectRecord* o, int32_t d, uint8_t extra) {
        if (!o || (o->serverFlags & OBJ_SERVER_NO_SEND) || o->updateSerial == serial) return false;
        o->updateSerial = serial;
        entries[n++] = EntryOf(o, d, ref, s, slot, extra);
        return true;
    };
    if (s->aircraft && s->aircraft->target) {
        ObjectRecord* t = s->aircraft->target;
        put(t, Distance(t->position, player), 0);
    }
    g_scratchCount = 0;
    for (ObjectRecord* o = Server.objects; o; o = o->next) {
        if (!Sendable(o, s)) continue;
        int32_t d = Distance(o->position, ref);
        if (d <= CLOSE_RANGE) ScratchAdd(o, d);
    }
    SortPairs(g_scratch, g_scratchCount);
    for (uint32_t i = 0; i < g_scratchCount && n < CLOSE_ENTRIES; i++) put(g_scratch[i].object, g_scratch[i].distance, 0);

    // One far object: the first of the queue not yet in this packet. Gone
    // records resolve to nothing and are passed over.
    auto* q = static_cast<ObjHandle*>(s->objectQueueRead);
    auto* start = static_cast<ObjHandle*>(s->objectQueue);
    if (q && start && s->farQueueCount) {
        ObjHandle* end = start + SERVER_FAR_QUEUE_ENTRIES - 1;
        for (;;) {
            if (q >= end || !q->pool) {
                s->farQueueCount = 0;
                q = start;
                break;
            }
            ObjectRecord* o = obj_HandleResolve(q++);
            if (o && put(o, Distance(o->position, player), MSG_OBJECT_FIRST)) {
                if (q >= end || !q->pool) {
                    s->farQueueCount = 0;
                    q = start;
                }
                break;
            }
        }
        s->objectQueueRead = q;
    }

    MsgObjectData head{(uint16_t)n, ref};
    LeSpanWriter w = Tail();
    if (msg_ObjectDataEncode(&w, &head, entries) == 0) Server.send_buffer_size += (int32_t)w.pos;
}
