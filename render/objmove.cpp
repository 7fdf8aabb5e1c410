// Placement and motion routines of object records.
#include "render/objmove.h"

#include "base/fix.h"
#include "render/object.h"
#include "sim/obj.h"
#include "world/pak.h"
#include "world/terrain.h"

namespace {

void HeightSet(ObjectRecord* object, int32_t height, bool nearest) {
    if (!object) return;
    uint32_t y;
    if (height == -1) y = (uint32_t)(nearest ? terrain_HeightNearest(&object->position) : terrain_HeightBilinear(&object->position));
    else y = (uint32_t)(height / 16);
    if (object->model) y += (uint32_t)object->model->baseHeight;
    object->position.y = y;
}

// v turned by the object's angles: about z, then x, then y.
void Turn(const ObjectRecord* o, FixVec3* v, bool headingFirst) {
    FixSinCosBlock b;
    fix_SinCosAngles(o->angles.heading, o->angles.pitch, o->angles.roll, &b);
    fix_TrigToDouble(&b);
    if (headingFirst) {
        fix_RotateAboutY(v, v);
        fix_RotateAboutX(v, v);
        fix_RotateAboutZ(v, v);
    } else {
        fix_RotateAboutZ(v, v);
        fix_RotateAboutX(v, v);
        fix_RotateAboutY(v, v);
    }
}

}  // namespace

void obj_GroundHeightSet(ObjectRecord* object, int32_t height) { HeightSet(object, height, false); }
void obj_GroundHeightSetNearest(ObjectRecord* object, int32_t height) { HeightSet(object, height, true); }

void fx_EffectThink(ObjectRecord* object) {
    obj_VelocityFromOrientation(object);
    obj_MotionIntegrate(object);
}

int32_t fx_EffectGroundTest(ObjectRecord* object) {
    if (!object) return 0;
    const int64_t y = object->position.y;
    return y <= terrain_HeightMax4(&object->position) && y <= terrain_HeightBilinear(&object->position) ? 1 : 0;
}

void obj_FrameTick(ObjectRecord* object) {
    if (!object) return;
    if (--object->frameCounter > 0) return;
    object->frameCounter = 4;
    object->frame++;
}

void obj_VelocityFromOrientation(ObjectRecord* object) {
    if (!object) return;
    FixVec3 v = {0, 0, 0x10000};
    Turn(object, &v, false);
    object->velocity = v;
}

void obj_VelocityFromSpeed(ObjectRecord* object) {
    if (!object) return;
    FixVec3 v = {0, 0, object->speed};
    Turn(object, &v, false);
    object->velocity = v;
}

void obj_VelocityFromSpeedStep(ObjectRecord* object) {
    if (!object) return;
    FixVec3 v = {0, 0, object->speed};
    Turn(object, &v, true);
    object->velocity = v;
    object->motion = v;
}

void obj_MotionIntegrate(ObjectRecord* object) {
    if (!object || object->speed == 0) return;
    const int64_t s = object->speed;
    object->motion = {(int32_t)(((int64_t)object->velocity.x * s) >> 16), (int32_t)(((int64_t)object->velocity.y * s) >> 16),
                      (int32_t)(((int64_t)object->velocity.z * s) >> 16)};
    object->position.x += (uint32_t)object->motion.x;
    object->position.y += (uint32_t)object->motion.y;
    object->position.z += (uint32_t)object->motion.z;
}

int32_t obj_ModelRadius(const ObjectRecord* object) {
    if (!object || !object->model || (object->drawFlags & RENDER_DRAW_NO_RADIUS)) return 0;
    return object->model->radius;
}
