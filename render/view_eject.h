// The ejection sequence: the pilot object's states and the camera that
// circles it.
#pragma once
#include <cstdint>

struct ObjectRecord;
struct _PAK_HEADER;

// Ejections by the player since start.
extern int32_t view_EjectCount;
// Nonzero: the pilot's shape stays as it is and no seat falls away.
extern uint8_t view_MorphDisable;
// The pilot of the running sequence, or null.
extern ObjectRecord* view_EjectPilot;

// Starts the sequence from the player's aircraft; nothing on the ground,
// while a sequence runs, or when no record is free for the pilot.
void view_EjectStart(ObjectRecord* aircraft);
// Blends the first detail level's first mesh of `out` between the meshes of
// a and b: out = a + (b - a) x t >> 8 (t clamped to 0..256), over the
// smallest vertex count of the three.
void view_ModelMorph(_PAK_HEADER* out, const _PAK_HEADER* a, const _PAK_HEADER* b, int32_t t);
// The sequence has reached the ground: labels shown when asked, then the
// information page (screen state 4).
void view_SequenceEnd(int32_t show);

// The states of the pilot object, in their order.
void view_EjectSeatThink(ObjectRecord* pilot);
void view_EjectOpenThink(ObjectRecord* pilot);
void view_EjectDescentThink(ObjectRecord* pilot);
void view_EjectLandThink(ObjectRecord* pilot);
void view_EjectStandThink(ObjectRecord* pilot);
void view_EjectLandedSeatThink(ObjectRecord* pilot);
