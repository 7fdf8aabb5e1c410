// The seekers of the player's current weapon, the bomb impact prediction,
// the air-to-ground target list and the per-frame weapon step that runs
// them. Everything works on the client's player object.
#include <cmath>
#include <cstdlib>

#include "display/draw3d.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "world/terrain.h"

uint8_t weapon_LockState;
uint8_t weapon_RadarMode = 1;
int32_t weapon_SeekerRange;
FixWorldPos weapon_AimPoint;
void (*weapon_DesignationDebug)(void) = nullptr;
int32_t weapon_AimSymbolSize = 0x100000;
WeaponImpact weapon_Impact;
WeaponGroundPoint weapon_GroundPoint;
WeaponTargetEntry weapon_TargetList[WEAPON_TARGET_LIST_SIZE];
int32_t weapon_TargetCount;
int32_t weapon_TargetIndex = -1;

namespace {

constexpr double kDegreesPerRadian = 57.29577951308232;

bool Damaged(int32_t system) { return plane_SystemsDamage[system] != 0; }
bool IsBomb() { return (weapon_Current.kind & WEAPON_BOMB) != 0; }
int64_t Abs64(int64_t v) { return v < 0 ? -v : v; }

// The larger of |dx|, |dz| plus half the smaller.
int64_t GroundDistance(const FixWorldPos* a, const FixWorldPos* b) {
    const int64_t dx = Abs64(static_cast<int32_t>(b->x - a->x));
    const int64_t dz = Abs64(static_cast<int32_t>(b->z - a->z));
    return dx > dz ? dx + dz / 2 : dz + dx / 2;
}

// A world position relative to the aircraft, turned into its frame.
FixVec3 ToAircraftFrame(const ObjectRecord* aircraft, const FixWorldPos* p) {
    FixVec3 v{static_cast<int32_t>(p->x - aircraft->position.x), static_cast<int32_t>(p->y - aircraft->position.y),
              static_cast<int32_t>(p->z - aircraft->position.z)};
    FixSinCosBlock b;
    fix_SinCosAngles(-aircraft->angles.heading, -aircraft->angles.pitch, -aircraft->angles.roll, &b);
    fix_TrigToDouble(&b);
    FixVec3 out;
    fix_RotateAll(&out, &v);
    return out;
}

bool InCone(const FixVec3& v) {
    const int64_t z = v.z;
    return Abs64(2 * static_cast<int64_t>(v.x)) <= z && Abs64(2 * static_cast<int64_t>(v.y)) <= z;
}

float Toward(float value, float target, float step) {
    if (value < target) return value + step < target ? value + step : target;
    return value - step > target ? value - step : target;
}

// Head tracking onto a direction in the aircraft's frame: 1 locked.
int32_t TrackDirection(const FixVec3& v, uint32_t instant, float slew) {
    const double x = v.x, y = v.y, z = v.z;
    const float heading = static_cast<float>(std::atan2(x, z) * kDegreesPerRadian);
    const float pitch = static_cast<float>(std::atan2(y, std::sqrt(x * x + z * z)) * kDegreesPerRadian);
    float* head = weapon_SeekerHead;
    if (instant) {
        head[0] = weapon_SeekerTrack[0] = heading;
        head[1] = weapon_SeekerTrack[1] = pitch;
        weapon_SeekerTrack[2] = 0.0f;
        return 1;
    }
    head[0] = Toward(head[0], heading, slew);
    head[1] = Toward(head[1], pitch, slew);
    const float field = weapon_Current.seekerField;
    const float length = std::sqrt(head[0] * head[0] + head[1] * head[1]);
    if (length > field && length > 0.0f) {
        head[0] *= field / length;
        head[1] *= field / length;
    }
    const float dh = head[0] - heading, dp = head[1] - pitch;
    const float off = std::sqrt(dh * dh + dp * dp);
    weapon_SeekerTrack[0] = heading;
    weapon_SeekerTrack[1] = pitch;
    weapon_SeekerTrack[2] = off;
    return off <= weapon_Current.lockTolerance ? 1 : 0;
}

uint8_t LockResult() { return IsBomb() && weapon_BombTargetInReach() ? 3 : 2; }

bool RadarChecks() { return !Damaged(PLANE_SYS_RADAR) && weapon_RadarMode == 1; }

bool SightTest(ObjectRecord* player, ObjectRecord* target) {
    if (obj_LineOfSight(player, &target->position)) return true;
    if (IsBomb()) weapon_Impact.valid = 0;
    return false;
}

bool FrontAndRange(const ObjectRecord* player, const ObjectRecord* target) {
    return target->viewPosition.z >= 0x1000 && obj_Distance(player, target) <= weapon_SeekerRange;
}

// The current weapon's seeker range in world units.
void SeekerRangeSet() {
    const int64_t range = static_cast<int64_t>(weapon_Current.seekerRange) << 16;
    weapon_SeekerRange = range > INT32_MAX ? INT32_MAX : static_cast<int32_t>(range);
}

// Steps 1 to 5 shared by every seeker: the target, or null.
ObjectRecord* SeekerStart(ObjectRecord* player) {
    if (!player) return nullptr;
    ObjectRecord* t = player->target;
    if (!t || !t->known) return nullptr;
    weapon_SeekerPointCheck();
    weapon_SeekerViewTransform(t);
    SeekerRangeSet();
    if (!(t->aiClass & weapon_Current.targetClasses)) return nullptr;
    return t;
}

bool InCategory(const ObjectRecord* o, uint8_t bit) {
    for (const ObjCategoryList& l : obj_CategoryLists) {
        if (l.bit != bit) continue;
        for (int32_t i = 0; i < l.count; i++)
            if (l.items[i] == o) return true;
    }
    return false;
}

uint32_t SeekerOption() { return plane_CurrentDescriptor.seekerOption; }

void Fail(bool centre) {
    if (centre) weapon_SeekerHeadCentre();
    weapon_LockState = 0;
}

// Tracking seekers: head tracking gives 1 or the lock result.
void TrackOrLock(const ObjectRecord* target) {
    weapon_LockState = weapon_SeekerHeadTrack(&target->position, SeekerOption()) ? LockResult() : 1;
}

bool ListHas(const ObjectRecord* o) {
    for (int32_t i = 0; i < weapon_TargetCount; i++)
        if (weapon_TargetList[i].object == o) return true;
    return false;
}

void ListAppend(ObjectRecord* o, uint8_t flags) {
    if (!o || weapon_TargetCount >= WEAPON_TARGET_LIST_SIZE) return;
    weapon_TargetList[weapon_TargetCount++] = WeaponTargetEntry{o, flags};
}

void ListRemoveAt(int32_t i) {
    for (int32_t k = i; k + 1 < weapon_TargetCount; k++) weapon_TargetList[k] = weapon_TargetList[k + 1];
    weapon_TargetCount--;
    if (weapon_TargetIndex == i) weapon_TargetIndex = -1;
    else if (weapon_TargetIndex > i) weapon_TargetIndex--;
}

void OfferCategory(uint8_t bit, uint8_t alsoCategory) {
    for (const ObjCategoryList& l : obj_CategoryLists) {
        if (l.bit != bit) continue;
        for (int32_t i = 0; i < l.count; i++)
            if (!alsoCategory || (l.items[i]->category & alsoCategory)) weapon_TargetListAdd(l.items[i]);
    }
}

void Choose(int32_t index) {
    weapon_TargetIndex = index;
    if (!Client_PlayerObject) return;
    ObjectRecord* t = index >= 0 ? weapon_TargetList[index].object : nullptr;
    Client_PlayerObject->target = t;
    plat_SimLog("target", "id=%d", t ? static_cast<int32_t>(t->missionObject) : -1);
}

void Cycle(int32_t direction, bool skipFlagged) {
    const int32_t n = weapon_TargetCount;
    if (n <= 0) return Choose(-1);
    int32_t i = weapon_TargetIndex;
    for (int32_t tries = 0; tries < n; tries++) {
        if (direction > 0) i = i + 1 >= n ? 0 : i + 1;
        else i = i <= 0 ? n - 1 : i - 1;
        if (!skipFlagged || !(weapon_TargetList[i].flags & 1)) return Choose(i);
    }
}

}  // namespace

// ---- Seeker head and cone ----

void weapon_SeekerViewTransform(ObjectRecord* target) {
    if (!target || !Client_PlayerObject) return;
    target->viewPosition = ToAircraftFrame(Client_PlayerObject, &target->position);
}

int32_t weapon_SeekerConeRangeTest(const ObjectRecord* target) {
    return weapon_SeekerRangeTest(target) && weapon_SeekerConeTest(target);
}
int32_t weapon_SeekerRangeTest(const ObjectRecord* target) {
    return target && Client_PlayerObject && FrontAndRange(Client_PlayerObject, target) ? 1 : 0;
}
int32_t weapon_SeekerConeTest(const ObjectRecord* target) { return target && InCone(target->viewPosition) ? 1 : 0; }

int32_t weapon_SeekerHeadTrack(const FixWorldPos* position, uint32_t instant) {
    if (!position || !Client_PlayerObject) return 0;
    return TrackDirection(ToAircraftFrame(Client_PlayerObject, position), instant, weapon_Current.slewRate);
}

int32_t weapon_SeekerHeadTrackPoint(const FixWorldPos* position) {
    // The head follows the point at the row's slew rate, never jumping.
    return weapon_SeekerHeadTrack(position, 0);
}

void weapon_SeekerHeadCentre(void) {
    weapon_SeekerHead[0] = Toward(weapon_SeekerHead[0], 0.0f, weapon_Current.slewRate);
    weapon_SeekerHead[1] = Toward(weapon_SeekerHead[1], 0.0f, weapon_Current.slewRate);
}

void weapon_SeekerHeadReset(void) { weapon_SeekerHead[0] = weapon_SeekerHead[1] = 0.0f; }

void weapon_SeekerPointCheck(void) {
    if (!Client_PlayerObject) return;
    if (!InCone(ToAircraftFrame(Client_PlayerObject, &weapon_AimPoint))) weapon_AimPoint = FixWorldPos{};
}

int32_t weapon_ArrayContains(const ObjectRecord* object, ObjectRecord* const* array, int32_t count) {
    for (int32_t i = 0; i < count; i++)
        if (array[i] == object) return 1;
    return 0;
}

// ---- The eight seekers ----

void weapon_SeekerActiveRadar(void) {
    ObjectRecord* p = Client_PlayerObject;
    if (!RadarChecks()) return Fail(true);
    ObjectRecord* t = SeekerStart(p);
    if (!t || !weapon_SeekerConeRangeTest(t) || !SightTest(p, t)) return Fail(true);
    TrackOrLock(t);
}

void weapon_SeekerSemiActiveRadar(void) {
    ObjectRecord* p = Client_PlayerObject;
    if (!RadarChecks()) return Fail(false);
    ObjectRecord* t = SeekerStart(p);
    if (!t || !weapon_SeekerConeRangeTest(t) || !SightTest(p, t)) return Fail(false);
    weapon_LockState = LockResult();
}

void weapon_SeekerAntiRadiation(void) {
    ObjectRecord* p = Client_PlayerObject;
    ObjectRecord* t = SeekerStart(p);
    if (!t || !weapon_SeekerConeRangeTest(t) || !SightTest(p, t)) return Fail(false);
    weapon_LockState = InCategory(t, OBJ_CATEGORY_01) ? LockResult() : 1;
}

void weapon_SeekerInfrared(void) {
    ObjectRecord* p = Client_PlayerObject;
    ObjectRecord* t = SeekerStart(p);
    if (!t) return Fail(true);
    if (!SeekerOption() && !RadarChecks()) return Fail(true);
    if (!SightTest(p, t)) return Fail(true);
    if (!FrontAndRange(p, t)) {
        weapon_SeekerHeadTrackPoint(&t->position);
        weapon_LockState = 0;
        return;
    }
    TrackOrLock(t);
}

void weapon_SeekerImagingInfrared(void) {
    ObjectRecord* p = Client_PlayerObject;
    ObjectRecord* t = SeekerStart(p);
    if (!t || !FrontAndRange(p, t) || !SightTest(p, t)) return Fail(false);
    if (weapon_SeekerHeadTrack(&t->position, SeekerOption())) {
        weapon_LockState = LockResult();
    } else {
        weapon_SeekerHeadCentre();
        weapon_LockState = 1;
    }
}

void weapon_SeekerTelevision(void) {
    ObjectRecord* p = Client_PlayerObject;
    ObjectRecord* t = SeekerStart(p);
    if (!t) return Fail(true);
    if (!FrontAndRange(p, t)) {
        weapon_SeekerHeadTrackPoint(&t->position);
        weapon_LockState = 0;
        return;
    }
    if (!SightTest(p, t)) return Fail(true);
    TrackOrLock(t);
}

void weapon_SeekerLaser(void) {
    ObjectRecord* p = Client_PlayerObject;
    if (plane_Current && (plane_Current->flags & 0x1000) && (plane_Current->flags & 0x100000) &&
        weapon_GroundPoint.valid &&
        (IsBomb() ? weapon_BombSpotInReach() : weapon_SpotInRange())) {
        weapon_LockState = 4;
        return;
    }
    if (!p || !p->target || !InCategory(p->target, OBJ_CATEGORY_40)) return Fail(false);
    ObjectRecord* t = SeekerStart(p);
    if (!t || !weapon_SeekerConeRangeTest(t) || !SightTest(p, t)) return Fail(false);
    weapon_LockState = LockResult();
}

void weapon_SeekerSatellite(void) {
    ObjectRecord* p = Client_PlayerObject;
    if (Damaged(WEAPON_SYS_SATELLITE)) return Fail(false);
    ObjectRecord* t = SeekerStart(p);
    if (!t || !weapon_SeekerConeRangeTest(t) || !SightTest(p, t)) return Fail(false);
    weapon_LockState = LockResult();
}

void weapon_SeekerRun(WeaponSeekerKind kind) {
    switch (kind) {
    case WEAPON_SEEKER_ACTIVE_RADAR: return weapon_SeekerActiveRadar();
    case WEAPON_SEEKER_SEMI_ACTIVE_RADAR: return weapon_SeekerSemiActiveRadar();
    case WEAPON_SEEKER_ANTI_RADIATION: return weapon_SeekerAntiRadiation();
    case WEAPON_SEEKER_INFRARED: return weapon_SeekerInfrared();
    case WEAPON_SEEKER_INFRARED_IMAGING: return weapon_SeekerImagingInfrared();
    case WEAPON_SEEKER_TELEVISION: return weapon_SeekerTelevision();
    case WEAPON_SEEKER_LASER: return weapon_SeekerLaser();
    case WEAPON_SEEKER_SATELLITE: return weapon_SeekerSatellite();
    default: return;
    }
}

// ---- Bomb impact ----

int32_t weapon_BombImpactPredict(const ObjectRecord* launcher, int32_t reachStep) {
    weapon_Impact.valid = 0;
    if (!launcher) return -1;
    auto steep = [](int32_t angle) {
        const uint32_t a = static_cast<uint32_t>(angle) & FIX_ANGLE_MASK;
        return a > 0x780000 && a < 0x1880000;
    };
    if (steep(launcher->angles.pitch) || steep(launcher->angles.roll)) return -1;
    int64_t x = launcher->position.x, y = launcher->position.y, z = launcher->position.z;
    int64_t vx = launcher->motion.x, vy = launcher->motion.y, vz = launcher->motion.z;
    int64_t reach = 0;
    for (int32_t i = 0; i < WEAPON_IMPACT_STEPS; i++) {
        reach += reachStep;
        vy -= WEAPON_BOMB_GRAVITY;
        x += vx;
        y += vy;
        z += vz;
        FixWorldPos p{static_cast<uint32_t>(x), 0, static_cast<uint32_t>(z)};
        const int32_t ground = terrain_HeightBilinear(&p);
        if (y <= ground) {
            p.y = static_cast<uint32_t>(ground);
            weapon_Impact.point = p;
            weapon_Impact.reach = reach > INT32_MAX ? INT32_MAX : static_cast<int32_t>(reach);
            weapon_Impact.valid = 1;
            return 0;
        }
    }
    return -1;
}

int32_t weapon_BombTargetInReach(void) {
    const ObjectRecord* p = Client_PlayerObject;
    if (!weapon_Impact.valid || !p || !p->target) return 0;
    return GroundDistance(&weapon_Impact.point, &p->target->position) <= weapon_Impact.reach ? 1 : 0;
}

int32_t weapon_BombSpotInReach(void) {
    if (!weapon_Impact.valid || !weapon_GroundPoint.valid) return 0;
    return GroundDistance(&weapon_Impact.point, &weapon_GroundPoint.point) <= weapon_Impact.reach ? 1 : 0;
}

int32_t weapon_SpotInRange(void) {
    const ObjectRecord* p = Client_PlayerObject;
    if (!p || !weapon_GroundPoint.valid) return 0;
    return obj_PosDistance(&p->position, &weapon_GroundPoint.point) <= weapon_SeekerRange ? 1 : 0;
}

// ---- Air-to-ground target list ----

void weapon_TargetListClear(void) {
    weapon_TargetCount = 0;
    weapon_TargetIndex = -1;
}

ObjectRecord* weapon_TargetListGet(int32_t index) {
    return index >= 0 && index < weapon_TargetCount ? weapon_TargetList[index].object : nullptr;
}

void weapon_TargetListRemove(ObjectRecord* object) {
    for (int32_t i = weapon_TargetCount - 1; i >= 0; i--)
        if (weapon_TargetList[i].object == object) ListRemoveAt(i);
}

void weapon_TargetListSeed(void) {
    weapon_TargetListClear();
    if (Damaged(WEAPON_SYS_SATELLITE) || !(weapon_Current.kind & WEAPON_SEED_LIST)) return;
    for (const ObjCategoryList& l : obj_CategoryLists)
        if (l.bit == OBJ_CATEGORY_PLAYER_TARGET)
            for (int32_t i = 0; i < l.count; i++) ListAppend(l.items[i], 1);
    plat_SimLog("target", "list count=%d", weapon_TargetCount);
}

void weapon_TargetListAdd(ObjectRecord* object) {
    ObjectRecord* p = Client_PlayerObject;
    if (!object || !p) return;
    const int32_t d = obj_Distance(p, object);
    const int32_t limit =
        (weapon_Current.kind & WEAPON_ANTI_SHIP) && (object->missionBit & 1) ? 0x3B600000 : 0x1DB00000;
    if (d < 0x1000 || d > limit) return;
    if (!obj_FindNearestFiltered(p, object) || !obj_LineOfSight(p, &object->position)) return;
    ListAppend(object, 2);
}

void weapon_TargetListRebuild(void) {
    const int32_t remembered = weapon_TargetIndex;
    const ObjectRecord* current = weapon_TargetListGet(remembered);
    const uint8_t drop = static_cast<uint8_t>(2 | 4 | 8 | (Damaged(WEAPON_SYS_SATELLITE) ? 1 : 0));
    for (int32_t i = weapon_TargetCount - 1; i >= 0; i--)
        if (weapon_TargetList[i].flags & drop) ListRemoveAt(i);
    const uint32_t kind = weapon_Current.kind;
    if (!Damaged(PLANE_SYS_RADAR)) {
        if (kind & WEAPON_LIST_CAT20) {
            OfferCategory(OBJ_CATEGORY_20, 0);
            for (ObjectRecord* o = Client_PlayerObject ? Client_PlayerObject->next : nullptr; o; o = o->next)
                if (o->aiClass & 0x80) weapon_TargetListAdd(o);
        }
        if (kind & WEAPON_LIST_CAT01) OfferCategory(OBJ_CATEGORY_01, OBJ_CATEGORY_AI_PROGRAM);
    }
    if (kind & WEAPON_LIST_CAT40) OfferCategory(OBJ_CATEGORY_40, 0);
    // The chosen entry keeps its place when it came back.
    if (current && weapon_TargetIndex < 0)
        for (int32_t i = 0; i < weapon_TargetCount; i++)
            if (weapon_TargetList[i].object == current) weapon_TargetIndex = i;
    weapon_TargetValidate();
}

void weapon_TargetListDraw(void) {
    for (int32_t i = 0; i < weapon_TargetCount; i++) {
        const WeaponTargetEntry& e = weapon_TargetList[i];
        const FixWorldPos* p = &e.object->position;
        if (e.flags & 1) draw_Triangle3D(p, 20, WEAPON_MARKER_SLOT_LIST);
        if (e.flags & 2) draw_Diamond3D(p, 20, WEAPON_MARKER_SLOT_REBUILT);
        if (e.flags & 4) draw_Square3D(p, 20, WEAPON_MARKER_SLOT_4);
        if (e.flags & 8) {
            draw_Square3D(p, 20, WEAPON_MARKER_SLOT_8);
            draw_Diamond3D(p, 32, WEAPON_MARKER_SLOT_8);
        }
    }
}

void weapon_TargetPrev(void) { Cycle(-1, false); }
void weapon_TargetNext(void) { Cycle(1, false); }
void weapon_TargetPrevUnflagged(void) { Cycle(-1, true); }
void weapon_TargetNextUnflagged(void) { Cycle(1, true); }

void weapon_TargetNearestOnScreen(void) {
    const ObjectRecord* p = Client_PlayerObject;
    if (!p) return;
    int32_t best = -1;
    double bestAngle = 0.0;
    for (int32_t i = 0; i < weapon_TargetCount; i++) {
        const FixVec3 v = ToAircraftFrame(p, &weapon_TargetList[i].object->position);
        if (v.z <= 0) continue;
        const double off = std::sqrt(static_cast<double>(v.x) * v.x + static_cast<double>(v.y) * v.y);
        const double angle = std::atan2(off, static_cast<double>(v.z));
        if (best < 0 || angle < bestAngle) {
            best = i;
            bestAngle = angle;
        }
    }
    if (best >= 0) Choose(best);
}

void weapon_TargetValidate(void) {
    ObjectRecord* p = Client_PlayerObject;
    if (!p || !p->target) return;
    const bool kept = (weapon_Current.kind & WEAPON_TARGET_LIST) ? ListHas(p->target)
                                                                 : obj_CandidateIndex(p->target) >= 0;
    if (!kept) p->target = nullptr;
}

// ---- The per-frame weapon step ----

void weapon_PlayerStep(ObjectRecord* player) {
    // The seeker range is the frame's value whether or not a seeker runs:
    // the radar's scan finds aircraft inside it before any is known.
    SeekerRangeSet();
    weapon_Impact.valid = 0;
    weapon_GroundPoint.valid = 0;
    const _PLANE* plane = plane_Current;
    if (plane && !Damaged(PLANE_SYS_SIGHT) && (plane->flags & 0x1000) && (plane->flags & 0x100000))
        weapon_GroundPoint.valid = plane_SightGroundPoint(&weapon_GroundPoint.point) == 0 ? 1 : 0;
    bool reached = false;
    if (plane && (plane->flags & 0x80) && weapon_CurrentId >= 0 && ord_CheckReady(weapon_CurrentId) == 0) {
        if (weapon_Current.designation) weapon_TargetListRebuild();
        bool ready = true;
        if (IsBomb()) ready = weapon_BombImpactPredict(player, weapon_Current.bombSteeringStep) == 0;
        if (ready && weapon_Current.seeker != WEAPON_SEEKER_NONE) {
            weapon_SeekerRun(weapon_Current.seeker);
            reached = true;
        }
    }
    if (!reached) {
        if (weapon_Current.kind & WEAPON_BIT25) weapon_SeekerHeadCentre();
        weapon_LockState = 0;
    }
    static uint8_t logged = 0;
    if (weapon_LockState != logged) {
        logged = weapon_LockState;
        plat_SimLog("weapon", "lock %d target=%u", weapon_LockState,
                    player && player->target ? player->target->serial : 0u);
    }
}
