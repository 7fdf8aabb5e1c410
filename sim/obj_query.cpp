// Geometric queries over world objects: bearings, distances, the type list,
// terrain line of sight and the nearest-object searches.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "net/dcbpool.h"
#include "sim/obj.h"
#include "world/levelseq.h"
#include "world/objarray.h"
#include "world/terrain.h"

ObjTypeList obj_TypeList;
ObjSearchState obj_Search;

namespace {

// Differences wrap with the world: the signed distance the short way round.
int32_t Diff(uint32_t to, uint32_t from) { return static_cast<int32_t>(to - from); }
int32_t HalfDiff(uint32_t to, uint32_t from) {
    return static_cast<int32_t>((to >> 1) - (from >> 1));
}
int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// a + (b + c) x 5/16 with a >= b >= c; never 0, saturated to 32 bits.
int32_t Approx(int64_t dx, int64_t dy, int64_t dz) {
    int64_t a = Abs64(dx), b = Abs64(dy), c = Abs64(dz);
    if (a < b) std::swap(a, b);
    if (a < c) std::swap(a, c);
    int64_t d = a + (((b + c) * 0x5000) >> 16);
    if (d > INT32_MAX) d = INT32_MAX;
    return d ? static_cast<int32_t>(d) : 1;
}

// Ground range of the elevation: the larger of |dx|, |dz| + half the smaller.
int64_t GroundRange(int64_t dx, int64_t dz) {
    int64_t a = Abs64(dx), b = Abs64(dz);
    return a > b ? a + b / 2 : b + a / 2;
}

int32_t Atan2Clamped(int64_t a, int64_t b) {
    // Scale both down together so that they fit the 32-bit arc tangent.
    while (Abs64(a) > INT32_MAX / 2 || Abs64(b) > INT32_MAX / 2) {
        a /= 2;
        b /= 2;
    }
    return fix_Atan2(static_cast<int32_t>(a), static_cast<int32_t>(b));
}

// Cosine of the search cone (in 1/512 turns) in 16.16.
int32_t ConeCos(int32_t cone) { return fix_Sin((cone << 16) + static_cast<int32_t>(FIX_QUARTER)); }

// The forward vector of an object's heading and pitch, 16.16.
FixVec3 Forward(const ObjectRecord* o) {
    const int32_t h = o->angles.heading, p = o->angles.pitch;
    const int64_t cp = fix_Sin(p + static_cast<int32_t>(FIX_QUARTER));
    FixVec3 f;
    f.x = static_cast<int32_t>((fix_Sin(h) * cp) >> 16);
    f.y = fix_Sin(p);
    f.z = static_cast<int32_t>((fix_Sin(h + static_cast<int32_t>(FIX_QUARTER)) * cp) >> 16);
    return f;
}

bool Alive(const ObjectRecord* o) { return o->hitPoints != 0; }

enum : uint32_t {
    TEST_DETECT = 1,
    TEST_CONE = 2,
    TEST_SIGHT = 4,
};

// The walk shared by the searches: the nearest object of the type list
// that passes the filter and the tests within (minimum, maximum).
ObjectRecord* Walk(const ObjectRecord* searcher, uint8_t flags, uint8_t categories, int32_t minimum,
                   int32_t maximum, uint32_t tests, int32_t* distance) {
    obj_Search.best = nullptr;
    obj_Search.bestDistance = INT64_MAX;
    obj_Search.minDistance = minimum;
    obj_Search.sideMask = obj_SideMask(searcher);
    if (tests & TEST_CONE) {
        obj_Search.cone = 0x38;
        obj_Search.forward = Forward(searcher);
    }
    for (ObjectRecord* o = obj_TypeList.head; o; o = o->typeNext) {
        if (!obj_CandidateFilter(searcher, o, flags, categories)) continue;
        const int32_t d = obj_Distance(searcher, o);
        if (d <= minimum || d >= maximum || d >= obj_Search.bestDistance) continue;
        if ((tests & TEST_DETECT) && !obj_IsDetected(o, d, obj_Search.detectRange)) continue;
        if ((tests & TEST_CONE) && !obj_InCone(searcher, o)) continue;
        if ((tests & TEST_SIGHT) && !obj_LineOfSight(searcher, &o->position)) continue;
        obj_Search.best = o;
        obj_Search.bestDistance = d;
    }
    if (distance) *distance = obj_Search.best ? static_cast<int32_t>(obj_Search.bestDistance) : 0;
    return obj_Search.best;
}

}  // namespace

// ---- Geometry ----

int32_t obj_Bearing(const FixWorldPos* from, const FixWorldPos* to) {
    // The reversed difference, as negation cannot take the largest one.
    return fix_Atan2(Diff(from->x, to->x), Diff(from->z, to->z));
}

int32_t obj_BearingHalfScale(const FixWorldPos* from, const FixWorldPos* to) {
    return fix_Atan2(-HalfDiff(to->x, from->x), -HalfDiff(to->z, from->z));
}

int32_t obj_Elevation(const FixWorldPos* from, const FixWorldPos* to) {
    const int64_t g = GroundRange(HalfDiff(to->x, from->x), HalfDiff(to->z, from->z));
    const int64_t dy = HalfDiff(to->y, from->y);
    if (!g && !dy) return 0;
    // Up is a positive angle: the direction (ground range, height).
    return Atan2Clamped(-dy, -g);
}

int32_t obj_ElevationReverse(const FixWorldPos* from, const FixWorldPos* to) {
    const int64_t g = GroundRange(HalfDiff(to->x, from->x), HalfDiff(to->z, from->z));
    const int64_t dy = HalfDiff(to->y, from->y);
    if (!g && !dy) return 0;
    return Atan2Clamped(dy, g);
}

int32_t obj_PosDistance(const FixWorldPos* a, const FixWorldPos* b) {
    return Approx(Diff(b->x, a->x), Diff(b->y, a->y), Diff(b->z, a->z));
}

int32_t obj_Distance(const ObjectRecord* a, const ObjectRecord* b) { return obj_PosDistance(&a->position, &b->position); }

int32_t obj_DistanceHalf(const ObjectRecord* a, const ObjectRecord* b) {
    return Approx(HalfDiff(b->position.x, a->position.x), HalfDiff(b->position.y, a->position.y),
                  HalfDiff(b->position.z, a->position.z));
}

int64_t obj_DistanceExactHalf(const ObjectRecord* a, const ObjectRecord* b) {
    const double dx = HalfDiff(b->position.x, a->position.x);
    const double dy = HalfDiff(b->position.y, a->position.y);
    const double dz = HalfDiff(b->position.z, a->position.z);
    return static_cast<int64_t>(std::sqrt(dx * dx + dy * dy + dz * dz) * 65536.0);
}

// ---- Type list ----

void obj_TypeListReset(void) { obj_TypeList = ObjTypeList{}; }

void obj_TypeListPush(ObjectRecord* o) {
    if (!o || (o->flags & OBJ_FLAG_UNLISTED) || o->typeLinked) return;
    o->typePrev = nullptr;
    o->typeNext = obj_TypeList.head;
    if (obj_TypeList.head) obj_TypeList.head->typePrev = o;
    else obj_TypeList.tail = o;
    obj_TypeList.head = o;
    o->typeLinked = 1;
    obj_TypeList.count++;
}

void obj_TypeListAppend(ObjectRecord* o) {
    if (!o || (o->flags & OBJ_FLAG_UNLISTED) || o->typeLinked) return;
    o->typeNext = nullptr;
    o->typePrev = obj_TypeList.tail;
    if (obj_TypeList.tail) obj_TypeList.tail->typeNext = o;
    else obj_TypeList.head = o;
    obj_TypeList.tail = o;
    o->typeLinked = 1;
    obj_TypeList.count++;
}

void obj_TypeListUnlink(ObjectRecord* o) {
    if (!o || (o->flags & OBJ_FLAG_UNLISTED) || !o->typeLinked) return;
    if (o->typePrev) o->typePrev->typeNext = o->typeNext;
    else obj_TypeList.head = o->typeNext;
    if (o->typeNext) o->typeNext->typePrev = o->typePrev;
    else obj_TypeList.tail = o->typePrev;
    o->typeNext = o->typePrev = nullptr;
    o->typeLinked = 0;
    obj_TypeList.count--;
}

int32_t obj_TypeListCount(const ObjectRecord*) { return obj_TypeList.count; }

void obj_ReplaceTargetRefs(ObjectRecord* object) {
    if (!object) return;
    for (ObjectRecord* o = obj_TypeList.head; o; o = o->typeNext)
        if (o->target == object) o->target = nullptr;
}

ObjectRecord* obj_FindById(uint16_t id) {
    for (ObjectRecord* o = level_ServerTables.objectList; o; o = o->next)
        if ((o->flags & OBJ_FLAG_PLAYER) && o->missionObject == id) return o;
    for (int32_t i = 0; i < obj_ClientStaticCount; i++) {
        ObjectRecord* o = obj_ClientStatics[i];
        if (o && Alive(o) && o->missionObject == id) return o;
    }
    if (level_ServerTables.staticList)
        for (int32_t i = 0; i < level_ServerTables.staticCount; i++) {
            ObjectRecord* o = level_ServerTables.staticList[i];
            if (o && Alive(o) && o->missionObject == id) return o;
        }
    return nullptr;
}

// ---- Tests ----

uint8_t obj_SideMask(const ObjectRecord* searcher) {
    if (searcher && searcher->pool == &level_ServerArrays.ai) return reinterpret_cast<const _AI_DCB*>(searcher)->sideMasks[0];
    return 0xFF;
}

int32_t obj_SignatureFactor(const ObjectRecord* o) {
    if (o && o->pool == &level_ServerArrays.ai) return reinterpret_cast<const _AI_DCB*>(o)->radarFactor;
    return 0x10000;
}

// The player sees the world as his client does, through the client's copies
// of the server's objects. When the server runs in the same process its own
// records of aircraft, AI units and weapons share the type list with those
// copies: the player never finds them (nor so himself, or a target twice).
int32_t obj_ServerRecord(const ObjectRecord* o) {
    const DcbPool* p = o ? o->pool : nullptr;
    return p && (p == &level_ServerArrays.player || p == &level_ServerArrays.ai || p == &level_ServerArrays.common);
}

int32_t obj_CandidateFilter(const ObjectRecord* searcher, const ObjectRecord* o, uint8_t flags, uint8_t categories) {
    // Never the searcher itself, nor, for a weapon, its launcher.
    if (!o || o == searcher || (searcher && o == searcher->owner)) return 0;
    if (!(o->aiClass & flags) || !(o->stateFlags & categories) || !Alive(o)) return 0;
    if (searcher && (searcher->flags & OBJ_FLAG_PLAYER)) return obj_ServerRecord(o) ? 0 : 1;
    if (o->flags & OBJ_FLAG_ALLIANCE_A) return 0;
    return (o->side & obj_SideMask(searcher)) ? 1 : 0;
}

int32_t obj_IsDetected(const ObjectRecord* o, int32_t distance, int32_t range) {
    if (range == -1 || !(o->aiClass & 1)) return 1;
    return distance < ((static_cast<int64_t>(range) * obj_SignatureFactor(o)) >> 16) ? 1 : 0;
}

int32_t obj_InCone(const ObjectRecord* searcher, const ObjectRecord* o) {
    const int64_t d = obj_DistanceExactHalf(searcher, o);
    if (d >= (static_cast<int64_t>(0x1DB00000) << 16)) return 0;
    if (!d) return 0;
    // The unit direction in 16.16 from the halved differences.
    const int64_t dx = HalfDiff(o->position.x, searcher->position.x);
    const int64_t dy = HalfDiff(o->position.y, searcher->position.y);
    const int64_t dz = HalfDiff(o->position.z, searcher->position.z);
    const FixVec3& f = obj_Search.forward;
    const int64_t len = d >> 16;
    const int64_t dot = (dx * f.x + dy * f.y + dz * f.z) / (len ? len : 1);
    return dot > 0 && dot >= ConeCos(obj_Search.cone) ? 1 : 0;
}

// The march samples every half terrain cell (and at least once): no terrain
// feature is narrower, and 64-unit steps made a long sight line cost
// millions of samples a frame.
int32_t obj_LineOfSight(const ObjectRecord* from, const FixWorldPos* to) {
    return obj_LineOfSightStep(from, to, 1 << (TERRAIN_CELL_SHIFT - 1));
}

int32_t obj_LineOfSightStep(const ObjectRecord* from, const FixWorldPos* to, int32_t stepLength) {
    const int64_t distance = obj_PosDistance(&from->position, to);
    if (distance <= 0) return 1;
    const int64_t steps = std::max<int64_t>(1, distance / (stepLength > 0 ? stepLength : 64));
    // 16.16 position and increment.
    int64_t px = static_cast<int64_t>(from->position.x) << 16;
    int64_t py = static_cast<int64_t>(from->position.y) << 16;
    int64_t pz = static_cast<int64_t>(from->position.z) << 16;
    const int64_t ix = (static_cast<int64_t>(Diff(to->x, from->position.x)) << 16) / steps;
    const int64_t iy = (static_cast<int64_t>(Diff(to->y, from->position.y)) << 16) / steps;
    const int64_t iz = (static_cast<int64_t>(Diff(to->z, from->position.z)) << 16) / steps;
    for (int64_t i = 0; i < steps; i++) {
        px += ix;
        py += iy;
        pz += iz;
        FixWorldPos p{static_cast<uint32_t>(px >> 16), static_cast<uint32_t>(py >> 16), static_cast<uint32_t>(pz >> 16)};
        const int64_t y = py >> 16;
        if (y > terrain_HeightMax4(&p)) continue;
        if (y > terrain_HeightBilinear(&p)) continue;
        return 0;
    }
    return 1;
}

int32_t obj_FindNearestFiltered(const ObjectRecord* searcher, const ObjectRecord* o) {
    obj_Search.cone = 0x38;
    obj_Search.forward = Forward(searcher);
    return obj_InCone(searcher, o);
}

// ---- Searches ----

ObjectRecord* obj_FindNearest(const ObjectRecord* s, uint8_t flags, uint8_t categories, int32_t maximum,
                              int32_t* distance) {
    return Walk(s, flags, categories, -1, maximum, 0, distance);
}

ObjectRecord* obj_FindNextNearest(const ObjectRecord* s, uint8_t flags, uint8_t categories, int32_t minimum,
                                  int32_t maximum, int32_t* distance) {
    return Walk(s, flags, categories, minimum, maximum, TEST_DETECT, distance);
}

ObjectRecord* obj_FindNearestInCell(const ObjectRecord* s, int32_t maximum, int32_t* distance) {
    ObjectRecord* best = nullptr;
    int32_t bestD = maximum;
    if (depth_Level.staticHeads) {
        for (ObjectRecord* o = depth_Level.staticHeads[obj_CellIndex(s->position.x, s->position.z)]; o;
             o = o->freeLink) {
            if (o == s || (o->stateFlags & 0x08)) continue;
            const int32_t d = obj_Distance(s, o);
            if (d < bestD) {
                best = o;
                bestD = d;
            }
        }
    }
    if (distance) *distance = best ? bestD : 0;
    return best;
}

ObjectRecord* obj_FindNearestVisible(const ObjectRecord* s, uint8_t flags, uint8_t categories, int32_t maximum,
                                     int32_t* distance) {
    return Walk(s, flags, categories, -1, maximum, TEST_DETECT | TEST_SIGHT, distance);
}

ObjectRecord* obj_FindNextNearestInCone(const ObjectRecord* s, uint8_t flags, uint8_t categories, int32_t minimum,
                                        int32_t maximum, int32_t* distance) {
    return Walk(s, flags, categories, minimum, maximum, TEST_CONE | TEST_SIGHT, distance);
}

ObjectRecord* obj_FindNextNearestDetected(const ObjectRecord* s, uint8_t flags, uint8_t categories,
                                          int32_t minimum, int32_t maximum, int32_t* distance) {
    return Walk(s, flags, categories, minimum, maximum, TEST_DETECT | TEST_CONE | TEST_SIGHT, distance);
}

ObjectRecord* obj_NearestAttackerOf(const ObjectRecord* s, const ObjectRecord* victim, int32_t* distance) {
    ObjectRecord* best = nullptr;
    int32_t bestD = INT32_MAX;
    for (ObjectRecord* o = obj_TypeList.head; o; o = o->typeNext) {
        if (o == s || o->target != victim) continue;
        const int32_t d = obj_Distance(s, o);
        if (d < bestD) {
            best = o;
            bestD = d;
        }
    }
    if (distance) *distance = best ? bestD : 0;
    return best;
}

ObjectRecord* obj_BestInBoresight(const ObjectRecord* s, uint8_t flags, uint8_t categories) {
    obj_Search.cone = 0x12;
    obj_Search.forward = Forward(s);
    obj_Search.sideMask = obj_SideMask(s);
    ObjectRecord* best = nullptr;
    int64_t bestDot = INT64_MIN;
    for (ObjectRecord* o = obj_TypeList.head; o; o = o->typeNext) {
        if (!obj_CandidateFilter(s, o, flags, categories)) continue;
        if (!obj_InCone(s, o) || !obj_LineOfSight(s, &o->position)) continue;
        const int64_t d = obj_DistanceExactHalf(s, o) >> 16;
        const int64_t dx = HalfDiff(o->position.x, s->position.x);
        const int64_t dy = HalfDiff(o->position.y, s->position.y);
        const int64_t dz = HalfDiff(o->position.z, s->position.z);
        const FixVec3& f = obj_Search.forward;
        const int64_t dot = (dx * f.x + dy * f.y + dz * f.z) / (d ? d : 1);
        if (dot > bestDot) {
            best = o;
            bestDot = dot;
        }
    }
    return best;
}
