// Model part poses: the routines that show, hide and turn the named parts of
// a vehicle's model (gear, propellers, rotors, radar, exhaust and heat) to
// match its object. A pose routine is an object's model-kind routine (+0x10):
// the object renderer runs it once per draw of a multi-part model and puts
// the parts back afterwards, so models shared between objects keep their
// own state. Parts are found through the model's part information for the
// detail level being drawn (render_Object.hookLevel); a part the model lacks
// is skipped.
#pragma once
#include <cstdint>

struct ObjectRecord;
struct PakSubObject;
struct _PAK_HEADER;
typedef void (*ObjectRoutine)(ObjectRecord* object);

constexpr uint8_t MODEL_PART_HIDDEN = 0x80;
constexpr int32_t MODEL_POSE_KINDS = 6;

// The part numbered n (the part name table, 0..90) of the object's model at
// the detail level being drawn, or null.
PakSubObject* model_PartFind(const ObjectRecord* object, int32_t n);

void model_PoseGear(ObjectRecord* object);
void model_PosePropellers(ObjectRecord* object);
void model_PoseRadar(ObjectRecord* object);
void model_PoseRotor(ObjectRecord* object);
void model_PoseJet(ObjectRecord* object);
void model_AnimStep(ObjectRecord* object);

// Pose routines by the model's pose-kind word.
extern const ObjectRoutine model_PoseTable[MODEL_POSE_KINDS];
// The model's pose-kind word (header word 68, low 16 bits); 0 without a
// model or for a kind outside the table.
int32_t model_PoseKind(const _PAK_HEADER* model);
// Sets the object's model-kind routine from its model.
void model_PoseBind(ObjectRecord* object);
