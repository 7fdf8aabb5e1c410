// Guidance of weapons in flight: pure pursuit of a lead point with a turn
// allowance and a gimbal limit, the 16-frame line-of-sight and decoy
// checks, and the infrared seekers' own target search. The same code steers
// the player's, the AI's and the SAM's weapons.
#include <cstdlib>

#include "shell/runner.h"
#include "sim/obj.h"
#include "sim/weapon.h"

FixWorldPos weapon_GuidanceAim;
int32_t weapon_GuidanceYawError;
int32_t weapon_GuidancePitchError;
int32_t weapon_TargetNotPlayer;

namespace {

constexpr int32_t kDecoyDistance = 0x4740000;
constexpr int32_t kReacquireNear = 0x640000;
constexpr int32_t kReacquireFar = 0x1E00000;

// A 25-bit angle difference as a signed value.
int32_t Signed25(int64_t angle) {
    const int32_t a = static_cast<int32_t>(static_cast<uint32_t>(angle) & FIX_ANGLE_MASK);
    return a >= 0x1000000 ? a - static_cast<int32_t>(FIX_TURN) : a;
}

int32_t Clamp(int32_t v, int32_t limit) { return v > limit ? limit : (v < -limit ? -limit : v); }

int32_t Atan2Scaled(int64_t a, int64_t b) {
    while (std::llabs(a) > INT32_MAX / 2 || std::llabs(b) > INT32_MAX / 2) {
        a /= 2;
        b /= 2;
    }
    return fix_Atan2(static_cast<int32_t>(a), static_cast<int32_t>(b));
}

bool Phase(const WeaponObjectFields* f) { return (f->lifetime & 15) == 0; }

ObjectRecord* DecoyList(const _WEAPON_TYPE* row) {
    if (!row) return nullptr;
    if (row->decoys == WEAPON_DECOYS_FLARES) return weapon_FlareList;
    if (row->decoys == WEAPON_DECOYS_CHAFF) return weapon_ChaffList;
    return nullptr;
}

int32_t Gimbal(const ObjectRecord* w) {
    const _WEAPON_TYPE* row = weapon_Fields(const_cast<ObjectRecord*>(w))->row;
    return row ? row->gimbalLimit : 0;
}

}  // namespace

WeaponObjectFields* weapon_Fields(ObjectRecord* weapon) {
    return &reinterpret_cast<_COMMON_DCB*>(weapon)->weapon;
}

void weapon_LoseTarget(ObjectRecord* w) {
    if (!w) return;
    w->target = nullptr;
    WeaponObjectFields* f = weapon_Fields(w);
    if (f->targetLost) f->targetLost(w);
}

void weapon_GuidanceStep(ObjectRecord* w) {
    if (!w || !w->target) return;
    WeaponObjectFields* f = weapon_Fields(w);
    ObjectRecord* t = w->target;
    if (Phase(f) && !obj_LineOfSight(w, &t->position)) return weapon_LoseTarget(w);

    // The lead point: two frames of the target's travel ahead of it.
    const int32_t lead = (t->flags & OBJ_FLAG_STATIC) ? 0 : static_cast<int32_t>(2LL * t->speed);
    FixVec3 offset{0, 0, lead};
    if (lead) {
        FixSinCosBlock b;
        fix_SinCosAngles(t->angles.heading, t->angles.pitch, t->angles.roll, &b);
        fix_TrigToDouble(&b);
        FixVec3 in = offset;
        fix_RotateAllInverse(&offset, &in);
    }
    FixWorldPos& aim = weapon_GuidanceAim;
    aim.x = t->position.x + static_cast<uint32_t>(offset.x);
    aim.y = t->position.y + static_cast<uint32_t>(offset.y);
    aim.z = t->position.z + static_cast<uint32_t>(offset.z);

    const int32_t G = Gimbal(w);
    const int32_t A = f->turnAllowance;
    const int64_t dx = static_cast<int32_t>(aim.x - w->position.x);
    const int64_t dy = static_cast<int32_t>(aim.y - w->position.y);
    const int64_t dz = static_cast<int32_t>(aim.z - w->position.z);

    const int32_t yawError = Signed25(static_cast<int64_t>(Atan2Scaled(-dx, -dz)) - w->angles.heading);
    weapon_GuidanceYawError = yawError;
    if (std::abs(yawError) > G) return weapon_LoseTarget(w);
    const int32_t yawTurn = Clamp(yawError, A);
    w->rates.heading = yawTurn;
    w->angles.heading = static_cast<int32_t>(static_cast<uint32_t>(w->angles.heading + yawTurn) & FIX_ANGLE_MASK);

    const int64_t ax = std::llabs(dx), az = std::llabs(dz);
    const int64_t D = ax > az ? ax + az / 2 : az + ax / 2;
    const int32_t pitchError = Signed25(static_cast<int64_t>(Atan2Scaled(-dy, -D)) - w->angles.pitch);
    weapon_GuidancePitchError = pitchError;
    if (std::abs(pitchError) > G) return weapon_LoseTarget(w);
    const int32_t pitchTurn = Clamp(pitchError, A);
    w->rates.pitch = pitchTurn;
    w->angles.pitch = static_cast<int32_t>(static_cast<uint32_t>(w->angles.pitch + pitchTurn) & FIX_ANGLE_MASK);

    ObjectRecord* list = DecoyList(f->row);
    if (Phase(f) && list) {
        weapon_TargetNotPlayer = (t->flags & OBJ_FLAG_PLAYER) ? 0 : 1;
        ObjectRecord* decoy = weapon_DecoyPick(w, list, kDecoyDistance);
        if (decoy) weapon_DecoyCheck(w, decoy);
    }
}

ObjectRecord* weapon_DecoyPick(ObjectRecord* w, ObjectRecord* list, int32_t maximum) {
    if (!w || !w->target) return nullptr;
    const int32_t G = Gimbal(w);
    ObjectRecord* best = nullptr;
    int32_t bestDistance = 0;
    for (ObjectRecord* c = list; c; c = c->typeNext) {
        const int32_t d = obj_Distance(w->target, c);
        if (d >= maximum || d <= bestDistance) continue;
        // Only a decoy the missile's seeker can see draws it.
        const int32_t off = Signed25(static_cast<int64_t>(obj_BearingHalfScale(&w->position, &c->position)) -
                                     w->angles.heading);
        if (std::abs(off) > G) continue;
        best = c;
        bestDistance = d;
    }
    return best;
}

void weapon_DecoyCheck(ObjectRecord* w, ObjectRecord* c) {
    if (!w || !c) return;
    int32_t limit = Gimbal(w);
    const int32_t yaw = Signed25(static_cast<int64_t>(obj_BearingHalfScale(&w->position, &c->position)) -
                                 w->angles.heading);
    if (std::abs(yaw) > limit) return;
    const int32_t pitch = Signed25(
        static_cast<int64_t>((static_cast<uint32_t>(obj_ElevationReverse(&w->position, &c->position)) + 0x1000000u) &
                             FIX_ANGLE_MASK) -
        w->angles.pitch);
    if (std::abs(pitch) > limit) return;
    if (!weapon_TargetNotPlayer) limit /= 2;
    if (std::abs(yaw - weapon_GuidanceYawError) >= limit || std::abs(pitch - weapon_GuidancePitchError) > limit)
        weapon_LoseTarget(w);
}

void weapon_GuidancePursuit(ObjectRecord* w) {
    if (w && w->target) weapon_GuidanceStep(w);
}

void weapon_GuidanceInfrared(ObjectRecord* w) {
    if (!w) return;
    if (w->target) weapon_GuidanceStep(w);
    if (app_FrameStepCount & 15) return;
    if (w->target) {
        ObjectRecord* o = obj_FindNearest(w, 1, 0xFF, kReacquireNear, nullptr);
        if (o) w->target = o;
    } else {
        w->target = obj_FindNearest(w, 1, 0xFF, kReacquireFar, nullptr);
    }
}

void weapon_GuidanceRun(ObjectRecord* w) {
    if (!w) return;
    const _WEAPON_TYPE* row = weapon_Fields(w)->row;
    if (!row) return;
    if (row->guidance == WEAPON_GUIDANCE_PURSUIT) weapon_GuidancePursuit(w);
    else if (row->guidance == WEAPON_GUIDANCE_PURSUIT_REACQUIRE) weapon_GuidanceInfrared(w);
}
