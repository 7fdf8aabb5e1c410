// Visual effects: sprites, smoke, fragments, fire, debris, wrecks and the
// composite explosions built from them. Each effect is a record of the
// client's effect pools that steps itself every frame and removes itself
// when its life runs out. An empty pool only means fewer effects.
#include "render/fx.h"

#include <cstring>

#include "base/fix.h"
#include "base/math.h"
#include "render/object.h"
#include "render/render.h"
#include "render/objmove.h"
#include "platform/simlog.h"
#include "render/view.h"
#include "sim/obj.h"
#include "world/level.h"
#include "world/objarray.h"
#include "world/pak.h"
#include "world/terrain.h"

int32_t fx_TypeFlak = 0;
int32_t fx_TypeSmallExplosion = 0;
int32_t fx_TypeKillSprite = 0;
int32_t fx_TypeDebris = 0;
int32_t fx_TypeFragment = 0;
int32_t fx_TypeSmoke = 0;
int32_t fx_TypeWreck = 0;
int32_t fx_TypeImpact = 0;
int32_t fx_TypeGroundBurst = 0;
int32_t fx_TypeGroundFire = 0;
int32_t fx_TypeNearby = 0;
int32_t fx_TypeSeat = 0;

namespace {

struct TypeModel {
    const char* name;
    int32_t* type;
};
// Which fixed model each effect type draws with.
const TypeModel kTypeModels[] = {
    {"flak.pak", &fx_TypeFlak},        {"ex1.pak", &fx_TypeSmallExplosion}, {"ex2.pak", &fx_TypeKillSprite},
    {"debris.pak", &fx_TypeDebris},    {"flames.pak", &fx_TypeFragment},    {"fsmoke.pak", &fx_TypeSmoke},
    {"husk1.pak", &fx_TypeWreck},      {"ex4.pak", &fx_TypeImpact},         {"ex5.pak", &fx_TypeGroundBurst},
    {"ex6.pak", &fx_TypeGroundFire},   {"strail.pak", &fx_TypeNearby},      {"paper.pak", &fx_TypeSeat},
};

constexpr int32_t kNearbyRange = 0x5F00000;
constexpr uint8_t kSprite = 0x04;
constexpr uint8_t kScaled = 0x10;

uint32_t Rnd(void) { return math_Random(); }

int32_t Frames(const ObjectRecord* o) { return fx_ModelFrames(o ? o->model : nullptr); }

// The routines and draw flags of a new effect; no second pass.
void Routines(ObjectRecord* o, ObjectRoutine think, uint8_t flags, ObjectRoutine draw) {
    o->think = think;
    o->secondPass = nullptr;
    o->drawFlags = flags;
    o->draw = draw;
}

// Life - 1; at 0 the effect removes itself (true).
bool LifeOut(ObjectRecord* o) {
    if (--fx_Fields(o)->life > 0) return false;
    obj_Remove(o, nullptr);
    return true;
}

// Life, age and frame shift of a sprite.
void SpriteLife(ObjectRecord* o, int32_t life, uint8_t shift) {
    EffectObjectFields* f = fx_Fields(o);
    f->life = life;
    f->frameShift = shift;
    o->frameCounter = 0;
    o->frame = 0;
}

ObjectRecord* SpriteAt(int32_t type, const FixWorldPos* p, int32_t size) {
    ObjectRecord* o = fx_EffectTake(type, p);
    if (!o) return nullptr;
    Routines(o, fx_SpriteThink, kSprite, fx_SpriteDrawScaled);
    SpriteLife(o, Frames(o) * 8, 3);
    fx_Fields(o)->spriteSize = (uint16_t)size;
    return o;
}

// A sprite standing on the terrain under the position.
ObjectRecord* GroundSprite(ObjectRecord* o) {
    if (!o) return nullptr;
    o->think = fx_SpriteThink;
    o->secondPass = nullptr;
    o->draw = render_ObjectDraw;
    o->angles = {};
    SpriteLife(o, Frames(o) * 8, 3);
    obj_GroundHeightSet(o, -1);
    return o;
}

uint32_t Add(uint32_t a, int32_t d) { return a + (uint32_t)d; }

void Move(ObjectRecord* o, const FixVec3& v) {
    o->position.x = Add(o->position.x, v.x);
    o->position.y = Add(o->position.y, v.y);
    o->position.z = Add(o->position.z, v.z);
}

// Turns v by heading, pitch and roll in the order given by `order`
// ("yxz": about y, then x, then z).
void Turn(FixVec3* v, int32_t heading, int32_t pitch, int32_t roll, const char* order) {
    FixSinCosBlock b;
    fix_SinCosAngles(heading, pitch, roll, &b);
    fix_TrigToDouble(&b);
    for (const char* c = order; *c; c++) {
        if (*c == 'y') fix_RotateAboutY(v, v);
        else if (*c == 'x') fix_RotateAboutX(v, v);
        else fix_RotateAboutZ(v, v);
    }
}

int32_t Scaled(int32_t v, uint32_t factor) { return (int32_t)(((int64_t)v * factor) >> 8); }

// A smoke puff thrown off a fragment or a fire.
void PuffFrom(const ObjectRecord* src, int32_t offsetMask, int32_t scaleMask, int32_t lifeFactor, uint8_t shift,
              int32_t ageMask, int32_t ageDivisor) {
    FixWorldPos at = src->position;
    const int32_t half = (offsetMask + 1) / 2;
    at.x = Add(at.x, (int32_t)(Rnd() & (uint32_t)offsetMask) - half);
    at.y = Add(at.y, (int32_t)(Rnd() & (uint32_t)offsetMask) - half);
    at.z = Add(at.z, (int32_t)(Rnd() & (uint32_t)offsetMask) - half);
    ObjectRecord* p = fx_EffectTake(fx_TypeSmoke, &at);
    if (!p) return;
    Routines(p, fx_PuffThink, kSprite | kScaled, render_ObjectDraw);
    p->scale = (int32_t)(((int64_t)(Rnd() & (uint32_t)scaleMask) + src->scale) / 2);
    SpriteLife(p, Frames(p) * lifeFactor, shift);
    const int32_t r = (int32_t)(Rnd() & (uint32_t)ageMask) + src->frameCounter / ageDivisor;
    p->frameCounter += r;
    fx_Fields(p)->life -= r;
    if (fx_Fields(p)->life <= 0) fx_Fields(p)->life = 1;
}

// The kill and air explosions: fragments, fires, then three sprites; an
// empty pool ends a loop but never the steps after it.
void Explosion(const FixWorldPos* p, uint32_t fireMask, bool upwards) {
    if (!p) return;
    const FixWorldPos centre = *p;
    const int32_t n = 2 + (int32_t)(Rnd() & 7);
    for (int32_t i = n; i >= 0; i--) {
        if (fx_FragmentSpawn(&centre, i) < 0) break;
        if (upwards) {
            EffectObjectFields* f = fx_Fields(obj_Current);
            f->velocity.y = (f->velocity.y < 0 ? -f->velocity.y : f->velocity.y) + 0x200;
        }
    }
    const int32_t m = 4 + (int32_t)(Rnd() & fireMask);
    for (int32_t i = 0; i < m; i++) {
        if (fx_FireSpawn(&centre) < 0) break;
        if (upwards) {
            EffectObjectFields* f = fx_Fields(obj_Current);
            f->velocity.y = (f->velocity.y < 0 ? -f->velocity.y : f->velocity.y) + 0x200;
        }
    }
    for (int32_t i = 0; i < 3; i++) {
        FixWorldPos at = centre;
        at.x = Add(at.x, (int32_t)(Rnd() & 0x1FFFF) - 0x10000);
        at.y = Add(at.y, (int32_t)(Rnd() & 0x1FFFF) - 0x10000);
        at.z = Add(at.z, (int32_t)(Rnd() & 0x1FFFF) - 0x10000);
        ObjectRecord* s = SpriteAt(fx_TypeKillSprite, &at, 190);
        if (!s) break;
        SpriteLife(s, Frames(s) * 16, 4);
    }
}

// A random horizontal offset of the given length.
FixVec3 RandomOffset(uint32_t lengthMask) {
    FixVec3 v = {0, 0, (int32_t)(Rnd() & lengthMask)};
    Turn(&v, (int32_t)(Rnd() & FIX_ANGLE_MASK), 0, 0, "y");
    return v;
}

void Blast(const FixWorldPos* p, int32_t count, uint32_t lengthMask) {
    if (!p) return;
    const FixWorldPos centre = *p;
    int32_t made = 0;
    for (int32_t i = 0; i < count; i++) {
        const FixVec3 d = RandomOffset(lengthMask);
        FixWorldPos at = {Add(centre.x, d.x), centre.y, Add(centre.z, d.z)};
        at.y = (uint32_t)terrain_HeightBilinear(&at);
        // The cell flag marks water: land takes the small explosion.
        ObjectRecord* s = terrain_CellFlagGet(&at) ? fx_GroundBurstSpawn(&at) : fx_SmallExplosion(&at);
        if (!s) break;
        s->frameCounter = (int32_t)(Rnd() & 31);
        s->think = fx_DelayThink;
        s->draw = fx_SpriteDraw;
        made++;
    }
    plat_SimLog("fx", "blast %u %u %u sprites=%d", centre.x, centre.y, centre.z, (int)made);
}

}  // namespace

void fx_TypeFromModel(const char* name, int32_t slot) {
    if (!name) return;
    for (const TypeModel& t : kTypeModels)
        if (!strcmp(t.name, name)) *t.type = slot;
}

EffectObjectFields* fx_Fields(ObjectRecord* object) {
    // Only records of the effect pools carry the fields; anything else
    // shares a spare so that a stray call corrupts nothing.
    static EffectObjectFields spare;
    if (!object) return &spare;
    const DcbPool* pool = object->pool;
    if (pool && pool != &level_ClientArrays.common && pool != &level_ClientArrays.special) return &spare;
    return &reinterpret_cast<_COMMON_DCB*>(object)->effect;
}

int32_t fx_ModelFrames(const _PAK_HEADER* model) {
    const int32_t n = model ? (int32_t)((model->word68 >> 16) & 0xFF) : 0;
    return n > 0 ? n : 1;
}

// ---- Spawners ----

ObjectRecord* fx_SmallExplosion(const FixWorldPos* position) { return SpriteAt(fx_TypeSmallExplosion, position, 190); }

ObjectRecord* fx_FlakBurst(const FixWorldPos* position) { return SpriteAt(fx_TypeFlak, position, 95); }

ObjectRecord* fx_ModelPuffSpawn(const ObjectRecord* object) {
    if (!object) return nullptr;
    ObjectRecord* o = fx_EffectTake(fx_TypeSmoke, &object->position);
    if (!o) return nullptr;
    Routines(o, fx_PuffThink, kSprite | kScaled, render_ObjectDraw);
    o->scale = 0x2000;
    SpriteLife(o, Frames(o) * 4, 2);
    return o;
}

ObjectRecord* fx_ImpactSpriteSpawn(const ObjectRecord* object) {
    return object ? GroundSprite(fx_EffectTake(fx_TypeImpact, &object->position)) : nullptr;
}

ObjectRecord* fx_GroundBurstSpawn(const FixWorldPos* position) {
    if (position) plat_SimLog("fx", "burst %u %u %u", position->x, position->y, position->z);
    return GroundSprite(fx_EffectTake(fx_TypeGroundBurst, position));
}

ObjectRecord* fx_AirBurstSpawn(const FixWorldPos* position) {
    return GroundSprite(fx_EffectTake(fx_TypeGroundFire, position));
}

ObjectRecord* fx_GroundFireSpawn(const ObjectRecord* object) {
    return object ? GroundSprite(fx_EffectSpawnAtObject(fx_TypeGroundFire, &object->position)) : nullptr;
}

ObjectRecord* fx_WreckSpawn(const FixWorldPos* position) {
    ObjectRecord* o = fx_EffectSpawnAtObject(fx_TypeWreck, position);
    if (position) plat_SimLog("fx", "wreck %u %u %u%s", position->x, position->y, position->z, o ? "" : " none");
    if (!o) return nullptr;
    Routines(o, fx_WreckThink, 0, render_ObjectDraw);
    EffectObjectFields* f = fx_Fields(o);
    f->life = 1200;
    f->countdown = 0;
    return o;
}

ObjectRecord* fx_WreckSpawnAlt(const FixWorldPos* position) { return fx_WreckSpawn(position); }

ObjectRecord* weapon_SpawnNearbyEffect(ObjectRecord* object) {
    if (!object || view_CameraDistanceTo(&object->position) > kNearbyRange) return nullptr;
    ObjectRecord* o = fx_EffectTake(fx_TypeNearby, &object->position);
    if (!o) return nullptr;
    o->think = nullptr;
    o->secondPass = fx_SpriteThinkPass;
    o->draw = render_ObjectDraw;
    o->drawFlags = kScaled;
    o->angles = object->angles;
    o->scale = 0x20000;
    SpriteLife(o, Frames(o) * 8, 3);
    return o;
}

// ---- Composite spawners ----

void fx_AirExplosion(const FixWorldPos* position) {
    if (position) plat_SimLog("fx", "air %u %u %u", position->x, position->y, position->z);
    Explosion(position, 15, false);
}

void fx_KillExplosion(const FixWorldPos* position) {
    if (position) plat_SimLog("fx", "kill %u %u %u", position->x, position->y, position->z);
    Explosion(position, 7, true);
}

void fx_DebrisBurst(const FixWorldPos* position, int32_t count) {
    if (!position) return;
    for (int32_t i = 0; i < count; i++) {
        const int32_t a = (int32_t)(Rnd() & 0x1FFFFFF) - 0x1000000;
        const int32_t b = (int32_t)(Rnd() & 0x1FFFFFF) - 0x1000000;
        const int32_t c = (int32_t)(Rnd() & 0x1FFFFFF) - 0x1000000;
        FixVec3 d = {a, b, c};
        fix_Normalize(&d);
        ObjectRecord* o = fx_EffectTake(fx_TypeDebris, position);
        if (!o) return;
        o->scale = 0x18000 + (int32_t)(Rnd() & 0x1FFFF);
        o->frame = (uint8_t)(o->scale & 3);
        Routines(o, fx_DebrisThink, kScaled, render_ObjectDraw);
        o->velocity = d;
        o->angles = {a, b, c};
        o->speed = 0x6000;
        o->frameCounter = 160;
        fx_Fields(o)->speedLoss = 0;
    }
}

void fx_BombBlast(const FixWorldPos* position) { Blast(position, 64, 0x1FFFFF); }

void fx_WideBlast(const FixWorldPos* position) { Blast(position, 256, 0x3FFFFF); }

namespace {
const FixVec3 kFragmentDirections[10] = {
    {0x3333, 0x3333, 0x3333},  {-0x3333, 0x3333, -0x3333}, {0x3333, 0x3333, -0x3333}, {-0x3333, 0x3333, 0x3333},
    {0, 0, 0x6666},            {0x6666, 0, 0},             {0, 0, -0x6666},           {-0x6666, 0, 0},
    {-0x3333, 0x1999, 0x1999}, {0x1999, -0x1999, -0x3333},
};
int32_t g_lastRoll = 0;
}  // namespace

int32_t fx_FragmentSpawn(const FixWorldPos* position, int32_t n) {
    if (!position || n < 0 || n > 9) return -1;
    const int32_t heading = (int32_t)(Rnd() & 0x3FFFFF) - 0x200000;
    const int32_t pitch = (int32_t)(Rnd() & 0x1FFFFF) - 0x100000;
    g_lastRoll ^= n;
    FixVec3 v = kFragmentDirections[n];
    Turn(&v, heading, pitch, g_lastRoll, "yxz");
    ObjectRecord* o = fx_EffectTake(fx_TypeFragment, position);
    if (!o) return -1;
    Routines(o, fx_FragmentThink, kSprite | kScaled, render_ObjectDraw);
    o->scale = (int32_t)(Rnd() & 0x1FFF) + (n < 4 ? 0x2000 : 0x4000);
    const uint32_t k = (Rnd() & 31) + 0xE0;
    EffectObjectFields* f = fx_Fields(o);
    f->velocity = {Scaled(v.x, k), Scaled(v.y, k), Scaled(v.z, k)};
    o->frameCounter = (int32_t)(Rnd() & 31) + 4;
    f->life = 0x80 - o->frameCounter;
    return 0;
}

int32_t fx_FireSpawn(const FixWorldPos* position) {
    if (!position) return -1;
    const int32_t heading = (int32_t)(Rnd() & 0x1FFFFFF);
    const int32_t pitch = (int32_t)(Rnd() & 0xFFFFFF) - 0x800000;
    FixVec3 v = {0, 0, 0x6666};
    Turn(&v, heading, pitch, 0, "xy");
    ObjectRecord* o = fx_EffectTake(fx_TypeSmoke, position);
    if (!o) return -1;
    Routines(o, fx_FireThink, kSprite | kScaled, render_ObjectDraw);
    o->scale = (int32_t)(Rnd() & 0x1FFF) + 0x2000;
    const uint32_t k = (Rnd() & 31) + 0xA0;
    fx_Fields(o)->velocity = {Scaled(v.x, k), Scaled(v.y, k), Scaled(v.z, k)};
    SpriteLife(o, Frames(o) * 8, 3);
    return 0;
}

// ---- Think routines ----

void fx_SpriteThink(ObjectRecord* object) {
    if (!object) return;
    if (LifeOut(object)) return;
    EffectObjectFields* f = fx_Fields(object);
    object->frame = (uint8_t)(object->frameCounter >> f->frameShift);
    object->frameCounter++;
}

int32_t fx_SpriteThinkPass(ObjectRecord* object) {
    fx_SpriteThink(object);
    return 0;
}

void fx_PuffThink(ObjectRecord* object) {
    if (!object) return;
    object->scale += (object->scale >> 8) + 0x300;
    fx_SpriteThink(object);
}

void fx_DelayThink(ObjectRecord* object) {
    if (!object) return;
    if (--object->frameCounter <= 0) {
        object->frameCounter = 0;
        object->think = fx_SpriteThink;
    }
}

void fx_WreckThink(ObjectRecord* object) {
    if (!object) return;
    object->frame++;
    if (LifeOut(object)) return;
    EffectObjectFields* f = fx_Fields(object);
    if (--f->countdown > 0) return;
    f->countdown = 30;
    ObjectRecord* p = fx_EffectTake(fx_TypeSmoke, &object->position);
    if (!p) return;
    EffectObjectFields* pf = fx_Fields(p);
    pf->driftX = (int32_t)(Rnd() & 15) - 7 + 12;
    pf->driftZ = (int32_t)(Rnd() & 15) - 7 + 12;
    pf->velocity = {0, 0x1000, 0};
    Routines(p, fx_WreckPuffThink, kSprite | kScaled, render_ObjectDraw);
    pf->life = 512;
    p->frameCounter = 0;
    pf->countdown = 0;
    p->scale = 0xC000;
}

void fx_WreckPuffThink(ObjectRecord* object) {
    if (!object) return;
    if (LifeOut(object)) return;
    EffectObjectFields* f = fx_Fields(object);
    f->countdown += 8;
    object->scale += f->countdown;
    f->velocity.x += f->driftX;
    f->velocity.z += f->driftZ;
    f->velocity.y += 6;
    Move(object, f->velocity);
    object->frameCounter++;
    object->frame = (uint8_t)(object->frameCounter >> 7);
}

void fx_FragmentThink(ObjectRecord* object) {
    if (!object) return;
    if (LifeOut(object)) return;
    EffectObjectFields* f = fx_Fields(object);
    if ((object->frameCounter & 7) == 0 && object->frameCounter >= 32) PuffFrom(object, 0xFFFF, 0xFFFF, 16, 4, 31, 8);
    object->frame = (uint8_t)(object->frameCounter >> 4);
    object->frameCounter++;
    Move(object, f->velocity);
    f->velocity.x -= f->velocity.x >> 7;
    f->velocity.z -= f->velocity.z >> 7;
    f->velocity.y -= 0x52;
}

void fx_FireThink(ObjectRecord* object) {
    if (!object) return;
    if (LifeOut(object)) return;
    EffectObjectFields* f = fx_Fields(object);
    if ((object->frameCounter & 3) == 0) PuffFrom(object, 0x3FFF, 0xFFF, 8, 3, 15, 16);
    object->frame = (uint8_t)(object->frameCounter >> 4);
    object->frameCounter++;
    Move(object, f->velocity);
    f->velocity.x -= f->velocity.x >> 8;
    f->velocity.y -= (f->velocity.y >> 8) + 0x52;
    f->velocity.z -= f->velocity.z >> 8;
}

void fx_DebrisThink(ObjectRecord* object) {
    if (!object) return;
    if (--object->frameCounter <= 0) {
        obj_Remove(object, nullptr);
        return;
    }
    obj_MotionIntegrate(object);
    EffectObjectFields* f = fx_Fields(object);
    f->speedLoss += 2;
    object->speed -= f->speedLoss;
    if (object->speed < 0) object->speed = 0;
    object->angles.heading = (int32_t)(((uint32_t)object->angles.heading + 0x140000) & FIX_ANGLE_MASK);
    object->angles.pitch = (int32_t)(((uint32_t)object->angles.pitch + 0x140000) & FIX_ANGLE_MASK);
    object->angles.roll = (int32_t)(((uint32_t)object->angles.roll + 0x140000) & FIX_ANGLE_MASK);
}

// ---- Draw routines ----

void fx_SpriteDraw(ObjectRecord* object) { render_ObjectDraw(object); }

void fx_SpriteDrawScaled(ObjectRecord* object) {
    if (!object) return;
    // The sprite size scales the model: size 64 draws it at its own size.
    const uint8_t flags = object->drawFlags;
    const int32_t scale = object->scale;
    object->drawFlags = (uint8_t)(flags | kScaled);
    object->scale = (int32_t)((uint32_t)fx_Fields(object)->spriteSize << 10);
    render_ObjectDraw(object);
    object->drawFlags = flags;
    object->scale = scale;
}
