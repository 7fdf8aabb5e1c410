// The ejection sequence: a seat with the pilot is fired out of the aircraft
// and a chain of think routines flies it (seat, parachute opening, canopy
// descent, landing, standing; or landed on the seat when the parachute never
// opened) while stepping a low chase camera around it every frame. The
// pilot's shape is blended between key models as it goes.
#include "render/view_eject.h"

#include <cstdlib>

#include "base/file.h"
#include "base/fix.h"
#include "base/math.h"
#include "base/units.h"
#include "debug/dbgobj.h"
#include "input/ffb.h"
#include "input/inmap.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "render/fx.h"
#include "render/object.h"
#include "render/render.h"
#include "render/objmove.h"
#include "render/render.h"
#include "render/view.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "sim/plane_fields.h"
#include "sound/sndtrig.h"
#include "sound/speech.h"
#include "world/pak.h"
#include "world/terrain.h"

int32_t view_EjectCount = 0;
uint8_t view_MorphDisable = 0;
ObjectRecord* view_EjectPilot = nullptr;

namespace {

// The drawn models of the pilot and the key models their shapes blend
// between.
enum : int32_t {
    kSeat, kChute, kStand,                // drawn
    kSeatKey1, kSeatKey2,                 // seat
    kChuteKey1, kChuteKey2, kChuteKey3,   // parachute opening
    kLandKey1, kLandKey2,                 // landing and standing
    kModels
};
const char* const kModelNames[kModels] = {
    "ejseat.pak", "ejchute.pak", "ejstand.pak", "ejseat1.pak", "ejseat2.pak",
    "ejchut1.pak", "ejchut2.pak", "ejchut3.pak", "ejland1.pak", "ejland2.pak",
};
_PAK_HEADER* g_models[kModels] = {};

_PAK_HEADER* Model(int32_t n) {
    // A data set without the sequence's models keeps the seat's own.
    if (!g_models[n] && file_FileSizeEx(kModelNames[n]) > 0) g_models[n] = pak_Load(kModelNames[n]);
    return g_models[n];
}

constexpr int32_t kLaunchTime = 600;
constexpr int32_t kGravity = 0x52;
constexpr int32_t kFallLimit = -0x2C00;
constexpr int32_t kSelfRight = 0xDAC0;
constexpr int32_t kDescentSpeed = -0x42AA;
constexpr int32_t kClearance = 0x2000;
constexpr int32_t kLandingFrames = 16;

int32_t Signed25(int32_t a) { return (int32_t)((uint32_t)a << 7) >> 7; }
int32_t Wrap25(int64_t a) { return (int32_t)((uint64_t)a & FIX_ANGLE_MASK); }

bool Outside(int32_t v, int32_t lo, int32_t hi) { return v < lo || v > hi; }
bool Within(int32_t v, int32_t lo, int32_t hi) { return v > lo && v < hi; }

void Step(int32_t distance, int32_t yaw) {
    view_CameraDistance += distance;
    view_LookYaw = Wrap25((int64_t)view_LookYaw + yaw);
}

void PitchStep(int32_t d) { view_LookPitch = Wrap25((int64_t)view_LookPitch + d); }

// The usual pitch step: only while the pitch lies outside the level band.
void PitchStepOutside(int32_t d) {
    if (Outside(view_LookPitch, 0x400000, 0x1800000)) PitchStep(d);
}

void Morph(ObjectRecord* pilot, int32_t a, int32_t b, int32_t t) {
    view_ModelMorph(pilot ? pilot->model : nullptr, Model(a), Model(b), t);
}

void TakeModel(ObjectRecord* pilot, int32_t n) {
    _PAK_HEADER* m = Model(n);
    if (m) pilot->model = m;
}

FixVec3 Turned(FixVec3 v, const FixAngles& a) {
    FixSinCosBlock b;
    fix_SinCosAngles(a.heading, a.pitch, a.roll, &b);
    fix_TrigToDouble(&b);
    fix_RotateAboutZ(&v, &v);
    fix_RotateAboutX(&v, &v);
    fix_RotateAboutY(&v, &v);
    return v;
}

void MoveBy(ObjectRecord* o, const FixVec3& d) {
    o->position.x += (uint32_t)d.x;
    o->position.y += (uint32_t)d.y;
    o->position.z += (uint32_t)d.z;
}

int64_t Height(const ObjectRecord* o) { return (int64_t)o->position.y; }

void PlaySound(const ObjectRecord* at, uint16_t type, uint16_t subtype) {
    if (at) sndtrig_RequestAtObject(at);
    else sndtrig_Event = SndTrigEvent{0, 0, 255, -1, 0, 0, nullptr, 0, 0, 0, 0};
    sndtrig_Event.type = type;
    sndtrig_Event.subtype = subtype;
    sndtrig_Event.id = 0;
    sndtrig_Trigger(&sndtrig_Event, Client_SoundTriggers);
}

// An angle moves towards 0 by at most `limit`.
int32_t TowardsZero(int32_t angle, int32_t limit) {
    const int32_t s = Signed25(angle);
    const int32_t d = s > limit ? limit : (s < -limit ? -limit : s);
    return Wrap25((int64_t)s - d);
}

void Pendulum(int32_t* angle, int32_t* swing, int32_t pull, int32_t lossShift) {
    const int32_t a = Signed25(*angle);
    const int32_t change = -(a / pull);
    *swing += change;
    int64_t next = (int64_t)a + change / 4 + *swing;
    *swing -= *swing >> lossShift;
    *angle = Wrap25(next);
}

void SwingBoth(ObjectRecord* o, int32_t pull, int32_t lossShift) {
    EffectObjectFields* f = fx_Fields(o);
    Pendulum(&o->angles.pitch, &f->swingPitch, pull, lossShift);
    Pendulum(&o->angles.roll, &f->swingRoll, pull, lossShift);
}

int32_t Towards(int32_t v, int32_t target, int32_t limit) {
    if (v < target) return v + limit < target ? v + limit : target;
    return v - limit > target ? v - limit : target;
}

void StayAboveGround(ObjectRecord* o) {
    const int64_t floor = (int64_t)terrain_HeightBilinear(&o->position) + kClearance;
    if (Height(o) < floor) o->position.y = (uint32_t)floor;
}

// The falling seat after the parachute opened.
void SeatFallThink(ObjectRecord* o) {
    o->motion.y -= kGravity;
    MoveBy(o, o->motion);
    obj_ApplyAngularRates(o);
    if (--o->frameCounter <= 0 || Height(o) <= terrain_HeightBilinear(&o->position)) obj_Remove(o, nullptr);
}

void SeatDrop(ObjectRecord* pilot) {
    ObjectRecord* seat = fx_EffectSpawnAtObject(fx_TypeSeat, &pilot->position);
    if (!seat) return;
    if (_PAK_HEADER* m = Model(kSeatKey1)) seat->model = m;
    seat->draw = render_ObjectDraw;
    seat->secondPass = nullptr;
    seat->angles = pilot->angles;
    MoveBy(seat, Turned(FixVec3{0, -0x4400, -0x400}, pilot->angles));
    seat->motion = Turned(FixVec3{0, -0x2710, -0x1F40}, pilot->angles);
    seat->rates = {0, 0x20000, 0x8000};
    seat->frameCounter = kLaunchTime;
    seat->think = SeatFallThink;
}

// The empty aircraft glides on and falls until it meets the ground, where
// it blows up.
void PilotlessThink(ObjectRecord* o) {
    if (o->motion.y > -0x6000) o->motion.y -= kGravity;
    MoveBy(o, o->motion);
    const int64_t ground = terrain_HeightBilinear(&o->position);
    if (Height(o) > ground) return;
    o->position.y = (uint32_t)ground;
    o->think = nullptr;
    o->draw = nullptr;
    fx_KillExplosion(&o->position);
    fx_WreckSpawn(&o->position);
    plat_SimLog("eject", "aircraft down %u %u", o->position.x, o->position.z);
}

// The canopy's sink: the vertical speed eases towards the canopy's rate
// and a fast drift is braked.
void Sink(ObjectRecord* pilot) {
    pilot->motion.y = Towards(pilot->motion.y, kDescentSpeed, 200);
    const int32_t ax = std::abs(pilot->motion.x), az = std::abs(pilot->motion.z);
    const int32_t speed = ax > az ? ax + az / 4 : az + ax / 4;
    if (speed > 2000) {
        pilot->motion.x = Towards(pilot->motion.x, 0, 0x100);
        pilot->motion.z = Towards(pilot->motion.z, 0, 0x100);
    }
    MoveBy(pilot, pilot->motion);
}

void Land(ObjectRecord* pilot, int64_t height, ObjectRoutine next, int32_t model, int32_t show) {
    pilot->position.y = (uint32_t)height;
    pilot->motion = {};
    pilot->think = next;
    TakeModel(pilot, model);
    EffectObjectFields* f = fx_Fields(pilot);
    f->launchCounter = kLandingFrames;
    f->morphWeight = 0;
    view_SequenceEnd(show);
}

}  // namespace

void view_ModelMorph(_PAK_HEADER* out, const _PAK_HEADER* a, const _PAK_HEADER* b, int32_t t) {
    if (view_MorphDisable || !out || !a || !b) return;
    auto mesh = [](const _PAK_HEADER* m) -> PakGeometry* {
        if (m->modelCount <= 0 || !m->models || !m->models[0].model) return nullptr;
        const PakModel* level = m->models[0].model;
        if (level->subObjectCount <= 0 || !level->subObjects) return nullptr;
        return level->subObjects[0].geometry;
    };
    PakGeometry* o = mesh(out);
    const PakGeometry* ga = mesh(a);
    const PakGeometry* gb = mesh(b);
    if (!o || !ga || !gb || o == ga || o == gb) return;
    int32_t n = o->vertexCount;
    if (ga->vertexCount < n) n = ga->vertexCount;
    if (gb->vertexCount < n) n = gb->vertexCount;
    if (t < 0) t = 0;
    if (t > 0x100) t = 0x100;
    for (int32_t i = 0; i < n; i++) {
        const PakVertex& va = ga->vertices[i];
        const PakVertex& vb = gb->vertices[i];
        PakVertex& v = o->vertices[i];
        v.x = va.x + (int32_t)(((int64_t)vb.x - va.x) * t >> 8);
        v.y = va.y + (int32_t)(((int64_t)vb.y - va.y) * t >> 8);
        v.z = va.z + (int32_t)(((int64_t)vb.z - va.z) * t >> 8);
    }
}

void view_SequenceEnd(int32_t show) {
    if (show) dbg_ObjectLabelMode = 2;
    render_ScreenStateSet(4);
    plat_SimLog("eject", "end show=%d screen=4 yaw=%d pitch=%d distance=%d", show, view_LookYaw, view_LookPitch,
                view_CameraDistance);
}

void view_EjectKeys(void) {
    if (inmap_KeyEvent.keyValue == 0x1B) render_ScreenStateSet(1);
}

void view_EjectStart(ObjectRecord* aircraft) {
    if (!aircraft || render_EjectionSequence) return;
    if (plane_PlayerFields(aircraft)->onGround) return;
    // The pilot first: with the pool empty nothing happens and the player
    // may try again.
    FixVec3 ahead = {0, 0, 0};
    if (plane_Current) {
        const float k = 8.0f * FIX_FEET_PER_METRE * FIX_UNITS_PER_FOOT;
        ahead = FixVec3{(int32_t)(plane_Current->orientation.m[2][0] * k), (int32_t)(plane_Current->orientation.m[2][1] * k),
                        (int32_t)(plane_Current->orientation.m[2][2] * k)};
    }
    FixWorldPos at = aircraft->position;
    at.x += (uint32_t)ahead.x;
    at.y += (uint32_t)ahead.y;
    at.z += (uint32_t)ahead.z;
    ObjectRecord* pilot = fx_EffectSpawnAtObject(fx_TypeSeat, &at);
    if (!pilot) {
        plat_SimLog("eject", "no pilot record");
        return;
    }
    // The models belong to this level: looked up anew for every sequence.
    for (_PAK_HEADER*& m : g_models) m = nullptr;
    speech_Stop();
    view_SetQuarterExtent();
    render_ScreenStateSet(5);
    if (aircraft->flags & OBJ_FLAG_PLAYER) view_EjectCount++;
    render_EjectionSequence = 1;
    view_ActiveFlag = 0;
    PlaySound(nullptr, (uint16_t)plane_CurrentDescriptor.aircraftSoundType, 9);

    TakeModel(pilot, kSeat);
    pilot->draw = plane_ObjectDraw;
    pilot->angles = aircraft->angles;
    Morph(pilot, kSeatKey1, kSeatKey2, 0);
    const FixVec3 up = Turned(FixVec3{0, 0x4000, 0}, aircraft->angles);
    pilot->motion = FixVec3{aircraft->motion.x + up.x, aircraft->motion.y + up.y, aircraft->motion.z + up.z};
    pilot->think = view_EjectSeatThink;
    pilot->secondPass = nullptr;
    pilot->frame = 0;
    pilot->drawFlags = 0;
    pilot->frameCounter = kLaunchTime;
    EffectObjectFields* f = fx_Fields(pilot);
    f->launchCounter = 0x30;
    f->morphWeight = -0x40;
    f->morphRate = 4;
    f->settled = 0;
    view_EjectPilot = pilot;

    aircraft->think = PilotlessThink;
    aircraft->secondPass = nullptr;
    if (plane_Current) plane_Current->flags &= ~3u;

    view_Words.previous = nullptr;
    ViewModeRecord* mode = &view_ModeTable[VIEW_MODE_LOW_CHASE];
    mode->viewedObject = pilot;
    mode->subView = 0;
    view_Words.pending = mode;
    view_ModeSelect();
    view_CameraDistance = 0x20000;
    view_LookYaw = 0xE00000;
    view_LookPitch = 0x6E0000;
    view_Words.lookRoll = 0;
    if (view_CameraFirst) view_CameraDistanceSet(view_CameraFirst, 7.0f);

    fx_DebrisBurst(&pilot->position, 2 + (int32_t)(math_Random() & 31));
    ffb_EventEject();
    plat_SimLog("eject", "start %u %u %u", pilot->position.x, pilot->position.y, pilot->position.z);
}

void view_EjectSeatThink(ObjectRecord* pilot) {
    if (!pilot) return;
    EffectObjectFields* f = fx_Fields(pilot);
    // Camera: pull back, circle, look down and then level out.
    const int32_t d = view_CameraDistance;
    view_CameraDistance += d < 0x38000 ? 0x100 : d < 0x60000 ? 0x400 : d < 0x90000 ? 0x100 : 0;
    view_LookYaw = Wrap25((int64_t)view_LookYaw - 0x4000);
    const bool lowerBand = Within(view_LookPitch, 0x20000, 0x1000000);
    if (!f->settled) {
        if (lowerBand) PitchStep(-0x4000);
        else f->settled = 1;
    } else if (Within(view_CameraDistance, 0x40000, 0x60000)) {
        if (lowerBand) PitchStep(-0x4000);
    } else {
        PitchStepOutside(0x2000);
    }

    pilot->angles.pitch = TowardsZero(pilot->angles.pitch, kSelfRight);
    pilot->angles.roll = TowardsZero(pilot->angles.roll, kSelfRight);
    if (pilot->motion.y > kFallLimit) pilot->motion.y -= kGravity;
    MoveBy(pilot, pilot->motion);
    if (f->launchCounter > 0) {
        f->launchCounter--;
        pilot->rates = {0, 0x10000, 0};
        obj_ApplyAngularRates(pilot);
    }
    f->morphWeight += f->morphRate;
    if (f->morphWeight > 0x154) f->morphRate = -f->morphRate;
    if (f->morphWeight < -0x20) f->morphRate = 0;
    Morph(pilot, kSeatKey1, kSeatKey2, f->morphWeight);

    if (terrain_HeightMax4(&pilot->position) >= Height(pilot)) {
        ffb_EventCrash();
        const int64_t ground = (int64_t)terrain_HeightBilinear(&pilot->position) + kClearance;
        if (ground >= Height(pilot)) {
            plat_SimLog("eject", "landed on the seat");
            Land(pilot, ground, view_EjectLandedSeatThink, kSeat, 1);
            return;
        }
    }
    const int64_t above = Height(pilot) - terrain_HeightBilinear(&pilot->position);
    const int32_t p = std::abs(Signed25(pilot->angles.pitch));
    const int32_t r = std::abs(Signed25(pilot->angles.roll));
    const bool open = above < 0x3E8000 ? (p < 0x780000 && r < 0x780000)
                                       : (p < 0x400000 && r < 0x400000 && pilot->motion.y < -1000 && above <= 0x2710000);
    if (!open) return;
    if (view_CameraFirst) view_CameraDistanceSet(view_CameraFirst, 24.0f);
    TakeModel(pilot, kChute);
    pilot->think = view_EjectOpenThink;
    f->swingPitch = 0;
    f->swingRoll = 0;
    f->launchCounter = 0x40;
    f->morphWeight = 0;
    f->turnCounter = 0x40;
    Morph(pilot, kChuteKey1, kChuteKey2, 0);
    PlaySound(pilot, 10, 5);
    ffb_EventParachute();
    if (!view_MorphDisable) SeatDrop(pilot);
    plat_SimLog("eject", "parachute %u", pilot->position.y);
}

void view_EjectOpenThink(ObjectRecord* pilot) {
    if (!pilot) return;
    EffectObjectFields* f = fx_Fields(pilot);
    Step(0x10, -0x2000);
    PitchStepOutside(0x400);

    if (f->turnCounter > 0) {
        pilot->rates = f->turnCounter > 16 ? FixAngles{0, 0x1D000, 0} : FixAngles{0, -0x22000, 0};
        obj_ApplyAngularRates(pilot);
        f->turnCounter--;
    } else {
        SwingBoth(pilot, 32, 5);
    }
    Sink(pilot);
    StayAboveGround(pilot);
    f->morphWeight += 8;
    if (f->morphWeight < 0x100) Morph(pilot, kChuteKey1, kChuteKey2, f->morphWeight);
    else Morph(pilot, kChuteKey2, kChuteKey3, f->morphWeight & 0xFF);
    if (--f->launchCounter > 0) return;
    pilot->think = view_EjectDescentThink;
    f->morphWeight = 0;
    f->morphRate = 4;
    plat_SimLog("eject", "descent %u", pilot->position.y);
}

void view_EjectDescentThink(ObjectRecord* pilot) {
    if (!pilot) return;
    Step(-0x100, -0x2000);
    if (Within(view_LookPitch, 0x20000, 0x1000000)) PitchStep(-0x800);
    SwingBoth(pilot, 64, 4);
    Sink(pilot);
    if ((int64_t)terrain_HeightMax4(&pilot->position) + kClearance < Height(pilot)) return;
    const int64_t ground = (int64_t)terrain_HeightBilinear(&pilot->position) + kClearance;
    if (ground < Height(pilot)) return;
    ffb_EventTouchdown();
    plat_SimLog("eject", "touchdown %u %u", pilot->position.x, pilot->position.z);
    Land(pilot, ground, view_EjectLandThink, kStand, 0);
    Morph(pilot, kLandKey1, kLandKey2, 0);
}

// The two landing steps: the pilot gets up from the landing pose.
void view_EjectLandThink(ObjectRecord* pilot) {
    if (!pilot) return;
    Step(0x40, -0x2000);
    PitchStepOutside(0x100);
    EffectObjectFields* f = fx_Fields(pilot);
    f->morphWeight += 0x10;
    Morph(pilot, kLandKey1, kLandKey2, f->morphWeight);
    if (--f->launchCounter > 0) return;
    f->launchCounter = kLandingFrames;
    pilot->think = f->morphWeight >= 0x100 ? view_EjectStandThink : view_EjectLandThink;
    if (pilot->think == view_EjectStandThink) pilot->angles.pitch = pilot->angles.roll = 0;
}

void view_EjectStandThink(ObjectRecord* pilot) {
    if (!pilot) return;
    Step(view_CameraDistance > 0x100000 ? 0x400 : 0x40, -0x2000);
    PitchStepOutside(0x200);
}

void view_EjectLandedSeatThink(ObjectRecord* pilot) {
    if (!pilot) return;
    Step(0x400, -0x2000);
    PitchStepOutside(0x200);
}
