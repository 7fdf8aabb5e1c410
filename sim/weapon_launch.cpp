// The player's launches: each checks that the store may go, takes it off the
// ordnance manager and queues the launch message; the server makes the
// weapon object when the message arrives.
#include "input/ffb.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/sndtrig.h"
#include "world/gamemode.h"

namespace {

constexpr int32_t kBankLimit = 0x780000;   // 84.375 degrees either way

int32_t Signed25(int32_t angle) {
    const int32_t a = static_cast<int32_t>(static_cast<uint32_t>(angle) & FIX_ANGLE_MASK);
    return a >= 0x1000000 ? a - static_cast<int32_t>(FIX_TURN) : a;
}

int32_t Cos(int32_t angle) { return fix_Sin(static_cast<int32_t>(static_cast<uint32_t>(angle) + FIX_TURN / 4)); }

bool Ready(const ObjectRecord* l) {
    return l && l->hitPoints > 0 && weapon_CurrentId >= 0 && ord_CheckReady(weapon_CurrentId) == 0;
}

// The checks of a missile or bomb launch: alive, store ready, release system
// intact; then the lock state at launch is kept (the launcher's last step
// is the launch velocity the server's missile starts with).
bool ReleaseReady(ObjectRecord* l) {
    if (!Ready(l) || plane_SystemsDamage[WEAPON_SYS_RELEASE]) return false;
    weapon_LaunchLock = weapon_LockState;
    return ord_CheckReady(weapon_CurrentId) == 0;
}

// The launch cue at the launcher: the firing pair, the motor start where the
// server's own sound is not heard, the stick's kick, the shot counted.
void LaunchCues(ObjectRecord* l, bool motor, int32_t (*kick)(void)) {
    weapon_SetCurrentType(weapon_CurrentId);
    sndtrig_RequestAtObject(l);
    weapon_FiringSound();
    if (motor && !level_GameMode.singlePlayer) weapon_Sound(20, weapon_ProcessedType->soundNumber);
    if (ffb_FeedbackActive) kick();
    weapon_StatsShot(l, weapon_ProcessedType);
}

// Takes one store of the current weapon; the station it left from.
int32_t TakeStore(FixVec3* launchPoint) {
    if (ord_ConsumeStore(weapon_CurrentId) != 0) return -1;
    *launchPoint = ord_StoreRelease.launchPoint;
    return 0;
}

FixVec3 Vec(const FixWorldPos& p) {
    return FixVec3{static_cast<int32_t>(p.x), static_cast<int32_t>(p.y), static_cast<int32_t>(p.z)};
}

}  // namespace

void weapon_LaunchMissile(ObjectRecord* l) {
    if (!ReleaseReady(l)) return;
    LaunchCues(l, true, ffb_EventLaunchMissile);
    FixVec3 station{};
    if (TakeStore(&station) != 0) return;
    const _WEAPON_TYPE* row = weapon_ProcessedType;
    // A rail launch leaves at once; a dropped store falls clear first.
    uint32_t drop[2] = {0, 0};
    if (ord_StoreRelease.mode != 1) {
        drop[0] = static_cast<uint32_t>(row->dropFrames);
        drop[1] = static_cast<uint32_t>(row->dropValue);
    }
    const ObjectRecord* t = weapon_LockState == 2 ? l->target : nullptr;
    if (t && (t->flags & OBJ_FLAG_STATIC)) {
        const FixVec3 at = Vec(t->position);
        Client_SendLaunchMissile(static_cast<uint32_t>(weapon_CurrentId), 0, &station, drop, &at);
    } else {
        Client_SendLaunchMissile(static_cast<uint32_t>(weapon_CurrentId), t ? t->serial : 0, &station, drop,
                                 nullptr);
    }
    plat_SimLog("weapon", "send missile type=%d target=%u", weapon_CurrentId, t ? t->serial : 0);
}

void weapon_LaunchBomb(ObjectRecord* l) {
    if (!l) return;
    const int32_t pitch = Signed25(l->angles.pitch), roll = Signed25(l->angles.roll);
    if (pitch > kBankLimit || pitch < -kBankLimit || roll > kBankLimit || roll < -kBankLimit) return;
    if (!ReleaseReady(l)) return;
    LaunchCues(l, false, ffb_EventDropBomb);
    FixVec3 aim{};
    bool hasAim = false;
    if (weapon_LockState == 4 && weapon_GroundPoint.valid) {
        aim = Vec(weapon_GroundPoint.point);
        hasAim = true;
    } else if (weapon_LockState == 3 && l->target) {
        aim = Vec(l->target->position);
        hasAim = true;
    }
    FixVec3 station{};
    if (TakeStore(&station) != 0) return;
    Client_SendLaunchBomb(hasAim ? &aim : nullptr, &station, static_cast<uint8_t>(weapon_CurrentId));
    plat_SimLog("weapon", "send bomb type=%d aim=%d", weapon_CurrentId, hasAim ? 1 : 0);
}

void weapon_Jettison(ObjectRecord* l) {
    if (!l) return;
    // Upright: the orientation's up axis still points up (cos pitch x cos roll > 0).
    const int64_t up = static_cast<int64_t>(Cos(l->angles.pitch)) * Cos(l->angles.roll);
    if (up <= 0) return;
    if (!Ready(l)) return;
    sndtrig_RequestAtObject(l);
    weapon_Sound(16, weapon_CurrentId);
    if (ffb_FeedbackActive) ffb_EventJettison();
    weapon_SetCurrentType(weapon_CurrentId);
    weapon_StatsShot(l, weapon_ProcessedType);
    FixVec3 station{};
    if (TakeStore(&station) != 0) return;
    Client_SendJettisonWeapon(&station, static_cast<uint32_t>(weapon_CurrentId));
    plat_SimLog("weapon", "send jettison type=%d", weapon_CurrentId);
}

void weapon_LaunchRun(ObjectRecord* l) {
    if (weapon_CurrentId < 0) return;
    switch (weapon_Current.launch) {
    case WEAPON_LAUNCH_GUN: weapon_LaunchGun(l); break;
    case WEAPON_LAUNCH_MISSILE: weapon_LaunchMissile(l); break;
    case WEAPON_LAUNCH_BOMB: weapon_LaunchBomb(l); break;
    case WEAPON_LAUNCH_NONE: break;
    }
}

void weapon_RemoveRun(ObjectRecord* l) {
    if (weapon_CurrentId >= 0 && weapon_Current.removal) weapon_Jettison(l);
}

void weapon_FireCannon(ObjectRecord* l) {
    if (weapon_CurrentId >= 0 && weapon_Current.launch == WEAPON_LAUNCH_GUN) {
        weapon_LaunchGun(l);
        return;
    }
    const _ORDNANCE_PANEL* p = ord_PanelByIndex(0);
    const _WEAPON_TYPE* row = p ? weapon_TypeGet(p->weaponId) : nullptr;
    if (!row || row->launch != WEAPON_LAUNCH_GUN) return;
    // The gun launch reads the current id only: lend it the gun's.
    const int32_t current = weapon_CurrentId;
    weapon_CurrentId = p->weaponId;
    weapon_LaunchGun(l);
    weapon_CurrentId = current;
}
