// Mission triggers as the level, the server and the renderer's message
// relay use them.
#pragma once
#include <cstdint>

// The shared trigger event: filled by the poster just before trig_PostEvent.
struct TriggerEvent {
    uint16_t type, id, code, argument;
    uint16_t extensionType, extensionId;
};
extern TriggerEvent trig_Event;

// Matches trig_Event against the triggers that have not fired.
void trig_PostEvent(void);
// Mission start: every trigger and counter back to its start.
void trig_Reset(void);
// Once per server frame; the counters run on every 40th call.
void trig_CounterTick(void);

// The action keywords of the mission language: the mission loader binds
// each compiled action to the entry of its id. The routine receives the
// action's argument words; nonzero when the action was performed.
typedef int32_t (*TriggerActionRoutine)(const int32_t* arguments);
struct TriggerActionEntry {
    const char* keyword;  // null ends the table
    int32_t id;
    int32_t argumentCount;
    TriggerActionRoutine routine;
};
extern const TriggerActionEntry trig_ActionTable[];
