// Unit AI as the level loader and the server call it.
#pragma once
#include <cstdint>

struct ObjectRecord;

// Mission start, in this order after the placed objects exist.
void ai_ClearModuleData(void);
void ai_LinkWaygroups(void);
void ai_AttachNearbyUnits(void);
void ai_SaveGroupCounters(void);
void ai_Nop(void);

// Sets up a new AI or static object from its mission placed record.
void ai_InitObjectByKind(ObjectRecord* object, const void* placed);
// A static object was destroyed.
void ai_ObjectDestroyed(ObjectRecord* object);

// A player locked a new target: its kill events, and its reaction to the
// aircraft.
void ai_PostKillEvents(ObjectRecord* aircraft, ObjectRecord* target);
void ai_ReactToThreat(ObjectRecord* target, ObjectRecord* aircraft);
// Run before a client trigger message of kind 5 or 4 is posted.
void ai_TriggerKind5Action(ObjectRecord* player);
void ai_TriggerKind4Action(ObjectRecord* player);

// Units that started in the air, per alliance (the object's alliance-B flag
// picks the second).
extern int32_t ai_AirStartCount[2];
// The player's aircraft took off: its first follower, when idle, goes on
// at its take-off roll.
void ai_FollowerWake(ObjectRecord* player);
