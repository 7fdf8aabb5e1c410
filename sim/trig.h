// Mission triggers as the level, the server and the renderer's message
// relay use them.
#pragma once
#include <cstdint>

// The shared trigger event: filled by the poster just before trig_PostEvent.
// Words: event type, id, code, argument, extension type, extension id.
struct TriggerEvent {
    uint16_t type, id, code, argument;
    uint16_t extensionType, extensionId;
};
extern TriggerEvent trig_Event;

// Matches trig_Event against the triggers that have not fired.
void trig_PostEvent(void);
// Mission start: every trigger and counter back to its start.
void trig_Reset(void);
// Once per server frame; the counters run on every 40th call. Also posts
// the played event of a message whose speech has ended.
void trig_CounterTick(void);

// The mission's trigger flags, 1 = set.
constexpr int32_t TRIG_FLAGS = 512;
extern uint8_t trig_Flags[TRIG_FLAGS];
// Evaluations nested deeper than this (actions posting events that fire
// further triggers) are cut off with a log line.
constexpr int32_t TRIG_DEPTH_LIMIT = 32;

// The trigger record (76 bytes, array 7 of the mission): the fired byte, the
// action list, the built-in action, then four 16-byte condition slots.
constexpr uint32_t TRIG_FIRED = 0;
constexpr uint32_t TRIG_ACTION_LIST = 2;
constexpr uint32_t TRIG_ACTION_CLASS = 4;
constexpr uint32_t TRIG_ARGUMENTS = 6;  // three 16-bit words
constexpr uint32_t TRIG_SLOTS = 12;
constexpr uint32_t TRIG_SLOT_SIZE = 16;
// Condition slot fields.
constexpr uint32_t TRIG_SLOT_LINK = 0;  // 0 last, 1 AND, 2 OR, 3 AND NOT, 4 extended by the next slot
constexpr uint32_t TRIG_SLOT_MOMENTARY = 1;
constexpr uint32_t TRIG_SLOT_ID = 2;
constexpr uint32_t TRIG_SLOT_CODE = 4;  // counter conditions: 0 equal, 1 greater, 2 less
constexpr uint32_t TRIG_SLOT_ARGUMENT = 6;
constexpr uint32_t TRIG_SLOT_TYPE = 8;  // 3: a counter condition
constexpr uint32_t TRIG_SLOT_MATCHED = 9;
constexpr uint32_t TRIG_SLOT_TICK = 12;

// Runs the trigger's action when its conditions hold (the fired event
// follows once the action is done).
void trig_Evaluate(int32_t trigger);

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
