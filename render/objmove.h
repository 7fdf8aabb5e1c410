// Placement and motion routines of the object renderer that object records
// use.
#pragma once
#include <cstdint>

struct ObjectRecord;

// Height = the given height / 16, or with -1 the terrain height under the
// object (bilinear; the nearest-cell form takes the cell's own height), plus
// its model's base height.
void obj_GroundHeightSet(ObjectRecord* object, int32_t height);
void obj_GroundHeightSetNearest(ObjectRecord* object, int32_t height);
// Think and second-pass routines of pooled effects: fly along the
// attitude; nonzero once at or below the ground.
void fx_EffectThink(ObjectRecord* object);
int32_t fx_EffectGroundTest(ObjectRecord* object);
// Frame countdown - 1; at 0 it restarts at 4 and the animation frame moves on.
void obj_FrameTick(ObjectRecord* object);
// Direction = the unit depth vector turned by the object's angles (roll,
// pitch, then heading).
void obj_VelocityFromOrientation(ObjectRecord* object);
// Direction = (0, 0, speed) turned the same way; the second form turns
// heading, pitch, then roll and also stores the result as the last step.
void obj_VelocityFromSpeed(ObjectRecord* object);
void obj_VelocityFromSpeedStep(ObjectRecord* object);
// With a speed: step = direction x speed (16.16), added to the position.
void obj_MotionIntegrate(ObjectRecord* object);
// The model's radius; 0 without a model or with draw flag bit 3.
int32_t obj_ModelRadius(const ObjectRecord* object);
