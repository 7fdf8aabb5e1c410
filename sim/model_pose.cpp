// Model part poses of vehicles.
#include "sim/pose.h"

#include <initializer_list>

#include "render/object.h"
#include "sim/obj.h"
#include "world/pak.h"
#include "world/reloc.h"

namespace {

enum : int32_t {
    kGearFront = 15, kGearBack = 16, kGearBackLeft = 17, kGearBackRight = 18,
    kRadar = 30,
    kExhaust = 44, kExhaustLeft = 45, kExhaustRight = 46,
    kHeat = 47, kHeatLeft = 48, kHeatRight = 49,
    kBlade1 = 57, kBladeBlur1 = 60, kBladeBlur2 = 61, kBladeBlur3 = 62,
    kProp1 = 63, kProp2 = 64, kPropBlur1 = 65, kPropBlur2 = 66,
};

bool Airborne(const ObjectRecord* o) { return (o->stateFlags & OBJ_STATE_AIRBORNE) != 0; }

void Show(ObjectRecord* o, int32_t n, bool shown) {
    if (PakSubObject* p = model_PartFind(o, n)) p->flags = shown ? 0 : MODEL_PART_HIDDEN;
}

void Angle(ObjectRecord* o, int32_t n, int32_t which, int32_t value) {
    if (PakSubObject* p = model_PartFind(o, n)) p->angles[which] = value;
}

}  // namespace

const ObjectRoutine model_PoseTable[MODEL_POSE_KINDS] = {model_AnimStep, model_PoseGear, model_PoseRadar,
                                                        model_PoseJet,  model_PoseRotor, model_PoseRotor};

PakSubObject* model_PartFind(const ObjectRecord* object, int32_t n) {
    if (!object || !object->model || n < 0 || n >= PAK_ORIENT_PARTS) return nullptr;
    RelocGroup* node = pak_InfoPartFind(object->model->partInfo, render_Object.hookLevel);
    if (!node || !node->bound) return nullptr;
    return static_cast<_ORIENT_OBJ_PART_STRUCT*>(node->bound)->part[n];
}

void model_PoseGear(ObjectRecord* object) {
    if (!object) return;
    const bool shown = !Airborne(object);
    for (int32_t n = kGearFront; n <= kGearBackRight; n++) Show(object, n, shown);
    model_PosePropellers(object);
}

void model_PosePropellers(ObjectRecord* object) {
    if (!object) return;
    const int32_t a = (int32_t)((uint32_t)object->rotorAngle * 8);
    const int32_t b = (int32_t)((0x2000000u - (uint32_t)object->rotorAngle) * 8);
    Angle(object, kProp1, 2, a);
    Angle(object, kPropBlur1, 2, a);
    Angle(object, kProp2, 2, b);
    Angle(object, kPropBlur2, 2, b);
}

void model_PoseRadar(ObjectRecord* object) {
    if (!object) return;
    model_PoseGear(object);
    Angle(object, kRadar, 0, object->rotorAngle);
}

void model_PoseRotor(ObjectRecord* object) {
    if (!object) return;
    const bool air = Airborne(object);
    for (int32_t k = 0; k < 3; k++) {
        Show(object, kBlade1 + k, !air);
        Show(object, kBladeBlur1 + k, air);
    }
    const int32_t a = (int32_t)((uint32_t)object->rotorAngle * 8);
    Angle(object, kBladeBlur1, 0, a);
    Angle(object, kBladeBlur2, 1, a);
    Angle(object, kBladeBlur3, 0, (int32_t)((0x2000000u - (uint32_t)object->rotorAngle) * 8));
}

void model_PoseJet(ObjectRecord* object) {
    if (!object) return;
    for (int32_t n = kExhaust; n <= kExhaustRight; n++) Show(object, n, false);
    const bool shown = !Airborne(object);
    Show(object, kGearFront, shown);
    Show(object, kGearBackLeft, shown);
    Show(object, kGearBackRight, shown);
    Angle(object, kGearFront, 1, 0);
    Angle(object, kGearBackLeft, 1, 0);
    Angle(object, kGearBackRight, 2, 0);
    const bool running = (object->aiFlags & OBJ_AI_RUNNING) != 0;
    object->frame = running ? 1 : 0;
    for (int32_t n : {kHeatLeft, kHeatRight, kHeat}) Show(object, n, running);
}

void model_AnimStep(ObjectRecord* object) {
    if (object) object->frame++;
}

int32_t model_PoseKind(const _PAK_HEADER* model) {
    if (!model) return 0;
    const int32_t kind = (int32_t)(model->word68 & 0xFFFF);
    return kind < MODEL_POSE_KINDS ? kind : 0;
}

void model_PoseBind(ObjectRecord* object) {
    if (!object) return;
    object->partHook = model_PoseTable[model_PoseKind(object->model)];
}
