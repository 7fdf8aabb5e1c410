// Event-level services around the player's aircraft: the input-driven
// rotations, the sight ray marched to the ground, store counting, the
// weapon statistics, the saved weapon state, damage by hits and the hit
// jolt.
#include <cstring>

#include "base/math.h"
#include "base/units.h"
#include "debug/console.h"
#include "input/instate.h"
#include "net/client.h"
#include "net/player.h"
#include "net/server.h"
#include "render/view.h"
#include "sim/flight.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/sndtrig.h"
#include "world/terrain.h"

PlaneSightRay plane_SightRay;
PlaneSightHit plane_SightHit;
PlaneWeaponStats plane_WeaponStats[PLANE_WEAPON_STATS];
int32_t plane_WeaponStatsCount = 0;
PlaneWeaponCount plane_WeaponCounts[PLANE_WEAPON_STATS];
int32_t plane_WeaponCountsCount = 0;
int32_t plane_WarningCount = 0;

namespace {

// Degrees per frame at full stick deflection.
constexpr float kStickRate = 1.0f;
constexpr int32_t kSightSteps = 1600;
constexpr int32_t kFineSteps = 50;
constexpr float kFineFactor = 62.5f;
constexpr int32_t kFineHalvings = 10;
constexpr float kSightStepMetres = 10.0f;

// At or below the terrain: the four-corner maximum first, then the
// interpolated height.
bool Below(const FixWorldPos& p, int32_t* ground) {
    const int32_t y = (int32_t)p.y;
    if (y > terrain_HeightMax4(&p)) return false;
    const int32_t h = terrain_HeightBilinear(&p);
    if (y > h) return false;
    *ground = h;
    return true;
}

// The ray's origin in world units and its step (world units, 64-bit so
// that long marches cannot overflow), from the hook's ray.
bool RayStart(int64_t origin[3], int64_t step[3], float length) {
    plane_HookSightRay(0);
    if (!plane_SightRayFlag || !plane_Current) return false;
    FixWorldPos o;
    fix_FloatToWorld(&plane_SightRay.origin, &o);
    const MathMat33& m = plane_Current->orientation;
    const MathVec3& d = plane_SightRay.direction;
    const float w[3] = {m.m[0][0] * d.x + m.m[1][0] * d.y + m.m[2][0] * d.z,
                        m.m[0][1] * d.x + m.m[1][1] * d.y + m.m[2][1] * d.z,
                        m.m[0][2] * d.x + m.m[1][2] * d.y + m.m[2][2] * d.z};
    const float unitsPerMetre = FIX_FEET_PER_METRE * FIX_UNITS_PER_FOOT;
    origin[0] = o.x;
    origin[1] = (int32_t)o.y;
    origin[2] = o.z;
    for (int i = 0; i < 3; i++) step[i] = (int64_t)(w[i] * length * unitsPerMetre);
    return true;
}

FixWorldPos At(const int64_t origin[3], const int64_t step[3], int64_t n, int64_t den = 1) {
    return FixWorldPos{(uint32_t)(origin[0] + step[0] * n / den), (uint32_t)(int32_t)(origin[1] + step[1] * n / den),
                       (uint32_t)(origin[2] + step[2] * n / den)};
}

int32_t Hit(FixWorldPos p, int32_t ground, FixWorldPos* out) {
    p.y = (uint32_t)ground;
    plane_SightHit.point = p;
    plane_SightHit.hit = 1;
    if (out) *out = p;
    return 0;
}

int32_t Miss(void) {
    plane_SightHit.hit = 0;
    return -1;
}

OrdStoreEntry* StoreOf(PlayerAircraftBlock* block, int32_t type) {
    if (!block) return nullptr;
    OrdLoadout& l = block->loadout;
    const uint32_t n = l.storeCount < (uint32_t)ORD_STORES_MAX ? l.storeCount : (uint32_t)ORD_STORES_MAX;
    for (uint32_t i = 0; i < n; i++)
        if (l.stores[i].type == type) return &l.stores[i];
    return nullptr;
}

OrdMountEntry* MountOf(PlayerAircraftBlock* block, int32_t type, bool loaded) {
    if (!block) return nullptr;
    OrdLoadout& l = block->loadout;
    const uint32_t n = l.mountCount < (uint32_t)ORD_MOUNTS_MAX ? l.mountCount : (uint32_t)ORD_MOUNTS_MAX;
    for (uint32_t i = 0; i < n; i++)
        if (l.mounts[i].type == type && (!loaded || l.mounts[i].amount > 0)) return &l.mounts[i];
    return nullptr;
}

}  // namespace

// ---- Input rotations ----

void plane_ApplyInputRotations(void) {
    _PLANE* plane = plane_Current;
    ObjectRecord* object = Client_PlayerObject;
    const _INPUT_STATE& in = inmap_InputCurrent;
    if (!plane || (in.flags & INPUT_CTRL)) return;
    const bool roll = (in.flags & (INPUT_STICK_LEFT | INPUT_STICK_RIGHT)) != 0;
    const bool pitch = (in.flags & (INPUT_STICK_UP | INPUT_STICK_DOWN)) != 0;
    if (!roll && !pitch) return;
    plane_RecordFromObject(plane, object);
    MathMat33* m = &plane->orientation;
    const float x = roll ? in.stickX * kStickRate : 0.0f;
    const float y = pitch ? in.stickY * kStickRate : 0.0f;
    // Stick back raises the nose; stick right rolls (or with Shift yaws,
    // with Alt rolls about the nose while the stick's pitch turns the
    // heading) to the right.
    if (in.flags & INPUT_SHIFT) {
        if (x != 0.0f) math_RotateRows02(m, -x);
        if (y != 0.0f) math_RotateRows12(m, -y);
    } else if (in.flags & INPUT_ALT) {
        if (x != 0.0f) math_RotateRows01(m, -x);
        if (y != 0.0f) math_RotateRows02(m, -y);
    } else {
        if (y != 0.0f) math_RotateRows12(m, -y);
        if (x != 0.0f) math_RotateRows01(m, -x);
    }
    plane_RecordToObject(plane, object);
}

// ---- The sight ray ----

int32_t plane_SightGroundPoint(FixWorldPos* hit) {
    int64_t origin[3], step[3];
    if (!RayStart(origin, step, kSightStepMetres)) return Miss();
    for (int64_t i = 1; i <= kSightSteps; i++) {
        const FixWorldPos p = At(origin, step, i);
        int32_t ground;
        if (Below(p, &ground)) return Hit(p, ground, hit);
    }
    return Miss();
}

int32_t plane_SightGroundPointFine(FixWorldPos* hit) {
    int64_t origin[3], step[3];
    if (!RayStart(origin, step, kSightStepMetres * kFineFactor)) return Miss();
    for (int64_t i = 1; i <= kFineSteps; i++) {
        int32_t ground;
        if (!Below(At(origin, step, i), &ground)) continue;
        // Halve the interval between the last point above and the first
        // below, in 1/1024 steps.
        int64_t above = (i - 1) << kFineHalvings, below = i << kFineHalvings;
        for (int32_t h = 0; h < kFineHalvings; h++) {
            const int64_t mid = (above + below) / 2;
            int32_t g;
            if (Below(At(origin, step, mid, 1 << kFineHalvings), &g)) below = mid;
            else above = mid;
        }
        const FixWorldPos p = At(origin, step, (above + below) / 2, 1 << kFineHalvings);
        return Hit(p, terrain_HeightBilinear(&p), hit);
    }
    return Miss();
}

// ---- Players and stores ----

PlayerSlot* plane_PlayerSlot(int32_t player) {
    if (player < 0 || player > 127 || player >= SERVER_PLAYERS || !Server.player) return nullptr;
    PlayerSlot* s = &Server.player[player];
    return s->inUse ? s : nullptr;
}

OrdStoreEntry* plane_StoreEntry(PlayerAircraftBlock* block, int32_t type) { return StoreOf(block, type); }
OrdMountEntry* plane_MountEntry(PlayerAircraftBlock* block, int32_t type) { return MountOf(block, type, false); }
OrdMountEntry* plane_LoadedMountEntry(PlayerAircraftBlock* block, int32_t type) {
    return MountOf(block, type, true);
}

int32_t plane_DecrementStore(PlayerAircraftBlock* block, int32_t weaponType) {
    if (con_UnlimitedStores) return 0;
    OrdStoreEntry* store = StoreOf(block, weaponType);
    if (!store) return -1;
    if (OrdMountEntry* m = MountOf(block, weaponType, true)) {
        m->amount--;
        return 0;
    }
    if (store->count <= 0) return -1;
    store->count--;
    return 0;
}

// ---- Saved weapon state ----

namespace {
struct SavedWeaponState {
    _WEAPON_TYPE current;
    const _WEAPON_TYPE* row;
    int32_t id, panel, mount;
    uint8_t lockState;
    ObjectRecord* target;
    int32_t launch[2];
};
SavedWeaponState gSaved;
}  // namespace

void plane_SaveWeaponState(void) {
    gSaved.current = weapon_Current;
    gSaved.row = weapon_CurrentRow;
    gSaved.id = weapon_CurrentId;
    gSaved.panel = weapon_CurrentPanelIndex;
    gSaved.mount = weapon_CurrentMount;
    gSaved.lockState = weapon_LockState;
    gSaved.target = Client_PlayerObject ? Client_PlayerObject->target : nullptr;
    gSaved.launch[0] = weapon_LaunchRecord.value[0];
    gSaved.launch[1] = weapon_LaunchRecord.value[1];
}

void plane_RestoreWeaponState(void) {
    weapon_Current = gSaved.current;
    weapon_CurrentRow = gSaved.row;
    weapon_CurrentId = gSaved.id;
    weapon_CurrentPanelIndex = gSaved.panel;
    weapon_CurrentMount = gSaved.mount;
    weapon_LockState = gSaved.lockState;
    if (Client_PlayerObject) Client_PlayerObject->target = gSaved.target;
    weapon_LaunchRecord.value[0] = gSaved.launch[0];
    weapon_LaunchRecord.value[1] = gSaved.launch[1];
}

// ---- Weapon statistics ----

PlaneWeaponStats* plane_WeaponStatsEntry(int32_t type) {
    if (type < 0 || type >= WEAPON_TYPES) return nullptr;
    for (int32_t i = 0; i < plane_WeaponStatsCount; i++)
        if (plane_WeaponStats[i].type == type) return &plane_WeaponStats[i];
    if (plane_WeaponStatsCount >= PLANE_WEAPON_STATS) return nullptr;
    PlaneWeaponStats* e = &plane_WeaponStats[plane_WeaponStatsCount++];
    *e = PlaneWeaponStats{};
    e->type = type;
    return e;
}

void plane_WeaponCountAdd(int32_t type, int32_t count) {
    if (type < 0 || type >= WEAPON_TYPES) return;
    if (count < 1) count = 1;
    for (int32_t i = 0; i < plane_WeaponCountsCount; i++) {
        if (plane_WeaponCounts[i].type == type) {
            plane_WeaponCounts[i].count += count;
            return;
        }
    }
    if (plane_WeaponCountsCount >= PLANE_WEAPON_STATS) return;
    plane_WeaponCounts[plane_WeaponCountsCount++] = PlaneWeaponCount{type, count};
}

void plane_WeaponStatsClear(void) {
    plane_WeaponStatsCount = 0;
    plane_WeaponCountsCount = 0;
}

// ---- Damage ----

void plane_ApplyDamageC(int32_t index) { plane_DamageSystem(index); }

void plane_PlayerHit(int32_t weaponType) {
    const _WEAPON_TYPE* row = weapon_TypeGet(weaponType);
    const int32_t hits = row ? row->hitKind : 0;
    bool newly = false;
    for (int32_t i = 0; i < hits; i++) {
        plane_DamageSystem(math_RandomRange(0, 31));
        if (plane_SystemNewlyDamaged) newly = true;
    }
    if (!newly) return;
    plane_WarningCount++;
    plane_PlaySound(Client_PlayerObject, plane_CurrentDescriptor.aircraftSoundType, 0x0B, 0x13);
}

void plane_PlaySound(const ObjectRecord* object, uint32_t type, int32_t subtype, int32_t id) {
    if (object) sndtrig_RequestAtObject(object);
    sndtrig_Event.volume = 255;
    sndtrig_Event.type = (uint16_t)type;
    sndtrig_Event.subtype = (uint16_t)subtype;
    sndtrig_Event.id = (uint16_t)id;
    if (jet_SoundTable) sndtrig_Trigger(&sndtrig_Event, jet_SoundTable);
}

void flight_HitJolt(void) {
    ObjectRecord* o = Client_PlayerObject;
    if (!o) return;
    int32_t* r[3] = {&o->rates.heading, &o->rates.pitch, &o->rates.roll};
    for (int32_t* v : r) *v = (int32_t)((uint32_t)*v + ((uint32_t)math_RandomRange(-15, 16) << 16));
    if (ViewFlags & 0x200) {
        view_LookPitch = (int32_t)((uint32_t)view_LookPitch - 0x300000u);
        view_LookYaw = (int32_t)((uint32_t)view_LookYaw + ((uint32_t)math_RandomRange(-32, 31) << 16));
    }
}
