// The mission trigger runtime: events matched against the conditions of the
// open triggers, evaluation with the slot links, the built-in actions and the
// compiled action lists, the counters and the messages. The trigger, counter
// and message records are the mission file's own (level_Mission); their run
// time bytes (fired, matched, tick, counter value and running byte) are
// written in place. Server side of the main thread.
#include "sim/trig.h"

#include <cstring>

#include "base/filetable.h"
#include "cockpit/tacmap.h"
#include "net/dcbpool.h"
#include "net/server.h"
#include "platform/simlog.h"
#include "shell/runner.h"
#include "sim/ai.h"
#include "sim/ai_program.h"
#include "sim/obj.h"
#include "sound/speech.h"
#include "world/level.h"
#include "world/objarray.h"
#include "world/orf.h"

TriggerEvent trig_Event;
uint8_t trig_Flags[TRIG_FLAGS];

namespace {

constexpr uint32_t kCounterRunning = 3;
constexpr uint32_t kMessageSample = 0x20;
constexpr uint32_t kEventActivate = 19;

int32_t g_phase;
int32_t g_depth;
// Triggers whose action is running: the events it posts leave them alone.
int32_t g_active[TRIG_DEPTH_LIMIT];
// The message whose speech is playing, -1 none.
int32_t g_playing = -1;

uint16_t Get16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }
void Put16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
int32_t Get32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | p[1] << 8 | p[2] << 16 | static_cast<uint32_t>(p[3]) << 24);
}
void Put32(uint8_t* p, int32_t v) {
    for (int i = 0; i < 4; i++) p[i] = static_cast<uint8_t>(static_cast<uint32_t>(v) >> (8 * i));
}

int32_t Now(void) { return static_cast<int32_t>(app_ClockRead()); }

uint32_t TriggerCount(void) { return level_Mission ? level_Mission->triggers.count : 0; }
uint8_t* Trigger(uint32_t n) { return level_Mission->triggers.records + static_cast<size_t>(n) * ORF_TRIGGER_SIZE; }
uint8_t* Slot(uint8_t* t, uint32_t i) { return t + TRIG_SLOTS + i * TRIG_SLOT_SIZE; }

uint8_t* Counter(uint32_t n) {
    if (!level_Mission || n >= level_Mission->counters.count) return nullptr;
    return level_Mission->counters.records + static_cast<size_t>(n) * ORF_COUNTER_SIZE;
}

bool Active(int32_t trigger) {
    for (int32_t i = 0; i < g_depth; i++)
        if (g_active[i] == trigger) return true;
    return false;
}

void Post(uint16_t type, uint16_t id, uint16_t code = 0, uint16_t argument = 0) {
    trig_Event = TriggerEvent{type, id, code, argument, 0, 0};
    trig_PostEvent();
}

// The slots of a trigger in chain order: the index of each real slot, with
// the extension it has (or -1); the count.
struct Chain {
    int32_t slot[ORF_TRIGGER_CONDITIONS];
    int32_t extension[ORF_TRIGGER_CONDITIONS];
    uint8_t link[ORF_TRIGGER_CONDITIONS];  // the link after the slot (and its extension)
    int32_t count;
};
Chain ChainOf(uint8_t* t) {
    Chain c{};
    uint32_t i = 0;
    while (i < ORF_TRIGGER_CONDITIONS) {
        uint8_t link = Slot(t, i)[TRIG_SLOT_LINK];
        int32_t ext = -1;
        uint32_t next = i + 1;
        if (link == ORF_LINK_EXTENDED) {
            if (i + 1 >= ORF_TRIGGER_CONDITIONS) link = ORF_LINK_LAST;
            else {
                ext = static_cast<int32_t>(i + 1);
                link = Slot(t, i + 1)[TRIG_SLOT_LINK];
                next = i + 2;
            }
        }
        c.slot[c.count] = static_cast<int32_t>(i);
        c.extension[c.count] = ext;
        c.link[c.count] = link;
        c.count++;
        if (link == ORF_LINK_LAST || link > 3) break;
        i = next;
    }
    return c;
}

bool SlotTrue(const uint8_t* s, int32_t now) {
    if (!s[TRIG_SLOT_MATCHED]) return false;
    return !s[TRIG_SLOT_MOMENTARY] || Get32(s + TRIG_SLOT_TICK) == now;
}

bool ConditionsHold(uint8_t* t) {
    const Chain c = ChainOf(t);
    const int32_t now = Now();
    bool value = SlotTrue(Slot(t, static_cast<uint32_t>(c.slot[0])), now);
    for (int32_t k = 1; k < c.count; k++) {
        const bool b = SlotTrue(Slot(t, static_cast<uint32_t>(c.slot[k])), now);
        switch (c.link[k - 1]) {
        case 1: value = value && b; break;
        case 2: value = value || b; break;
        case 3: value = value && !b; break;
        default: break;
        }
    }
    return value;
}

void Match(uint8_t* s) {
    s[TRIG_SLOT_MATCHED] = 1;
    Put32(s + TRIG_SLOT_TICK, Now());
}

// ---- Objects and groups -------------------------------------------------------------

ObjectRecord* ObjectByNumber(uint16_t number) {
    DcbPool& pool = level_ServerArrays.ai;
    if (pool.memory && pool.size >= sizeof(_AI_DCB))
        for (uint32_t i = 0; i < pool.count; i++) {
            ObjectRecord* o = reinterpret_cast<ObjectRecord*>(static_cast<uint8_t*>(pool.memory) + static_cast<size_t>(i) * pool.size);
            if (o->pool == &pool && o->hitPoints > 0 && o->missionObject == number) return o;
        }
    return obj_FindById(number);
}

ObjectRecord* GroupLeader(uint16_t group) { return group < AI_GROUPS ? ai_Module.leader[group] : nullptr; }

bool GroupTakeOff(uint16_t group) {
    ObjectRecord* l = GroupLeader(group);
    _AI_DCB* u = ai_Unit(l);
    if (!u || u->aiState != AI_STATE_IDLE) return false;
    const AiUnitType* t = ai_TypeOf(l);
    ai_ProgramPend(l, t ? t->defaultProgram : static_cast<int32_t>(AI_PROGRAM_TAXI));
    u->aiState = AI_STATE_GROUND;
    l->aiFlags |= OBJ_AI_RUNNING;
    return true;
}

bool ChangeRoute(ObjectRecord* o, uint16_t argument3) {
    _AI_DCB* u = ai_Unit(o);
    const uint32_t route = argument3 >> 8;
    if (!u || !level_Mission || route >= level_Mission->starts.count) return false;
    const OrfGroup& g = level_Mission->starts.groups[route];
    u->routeNumber = static_cast<uint8_t>(route);
    u->route = g.itemCount ? g.items : nullptr;
    ai_WaypointSet(o, argument3 & 0xFF);
    return true;
}

bool Activate(uint16_t number) {
    ObjectRecord* o = ObjectByNumber(number);
    _AI_DCB* u = ai_Unit(o);
    if (!u) return false;
    const int32_t program = ai_GroundStartProgram(u->subtype);
    if (program >= 0) ai_ProgramPend(o, program);
    o->think = ai_UnitThink;
    u->aiState = AI_STATE_GROUND;
    o->aiFlags |= OBJ_AI_RUNNING;
    o->category |= OBJ_CATEGORY_AI_PROGRAM;
    Server_CallQueueEvent(kEventActivate, 0, &o->position, SERVER_TO_ALL, 0, 0, 4);
    return true;
}

bool Deactivate(uint16_t number) {
    ObjectRecord* o = ObjectByNumber(number);
    _AI_DCB* u = ai_Unit(o);
    if (!u) return false;
    o->think = nullptr;
    u->aiState = AI_STATE_IDLE;
    o->category &= static_cast<uint8_t>(~OBJ_CATEGORY_AI_PROGRAM);
    o->target = nullptr;
    Server_CallQueueEvent(kEventActivate, 1, &o->position, SERVER_TO_ALL, 0, 0, 4);
    return true;
}

bool GroupAction(uint16_t selector, uint16_t group, uint16_t argument3) {
    ObjectRecord* l = GroupLeader(group);
    switch (selector) {
    case 0: return GroupTakeOff(group);
    case 1: return ChangeRoute(l, argument3);
    case 2:
    case 3:
        if (!l) return false;
        for (ObjectRecord* o = l; o; o = ai_Unit(o) ? ai_Unit(o)->groupNext : nullptr) {
            o->flags = static_cast<uint8_t>((o->flags & ~(OBJ_FLAG_ALLIANCE_A | OBJ_FLAG_ALLIANCE_B)) |
                                            (selector == 2 ? OBJ_FLAG_ALLIANCE_B : OBJ_FLAG_ALLIANCE_A));
            o->side = selector == 2 ? 4 : 10;
        }
        return true;
    case 4: {
        ObjectRecord* escorted = GroupLeader(argument3);
        _AI_DCB* u = ai_Unit(l);
        if (!u || !escorted || escorted == l) return false;
        u->aiState = AI_STATE_REJOIN;
        ai_ProgramPend(l, AI_PROGRAM_REJOIN);
        u->leader = escorted;
        u->formationSlot = &ai_Formations[0][AI_GROUP_MEMBERS - 1];
        for (_AI_DCB* m = u; m; m = ai_Unit(m->groupNext)) {
            m->waypointBehaviour = 1;
            m->engagement = 3;
        }
        return true;
    }
    case 5: {
        _AI_DCB* u = ai_Unit(l);
        if (!u) return false;
        u->leader = nullptr;
        return true;
    }
    default:
        return selector <= 8;
    }
}

// ---- Counters, flags, messages ------------------------------------------------------

// Counter conditions of every open trigger after counter n changed.
void CounterConditions(uint32_t n, uint16_t value) {
    for (uint32_t t = 0; t < TriggerCount(); t++) {
        uint8_t* r = Trigger(t);
        if (r[TRIG_FIRED] || Active(static_cast<int32_t>(t))) continue;
        const Chain c = ChainOf(r);
        bool any = false;
        for (int32_t k = 0; k < c.count; k++) {
            uint8_t* s = Slot(r, static_cast<uint32_t>(c.slot[k]));
            if (s[TRIG_SLOT_TYPE] != 3 || Get16(s + TRIG_SLOT_ID) != n) continue;
            const uint16_t wanted = Get16(s + TRIG_SLOT_ARGUMENT);
            const uint8_t cmp = s[TRIG_SLOT_CODE];
            const bool hit = cmp == 0 ? value == wanted : cmp == 1 ? value > wanted : cmp == 2 ? value < wanted : false;
            s[TRIG_SLOT_MATCHED] = hit ? 1 : 0;
            Put32(s + TRIG_SLOT_TICK, Now());
            any = true;
        }
        if (any) trig_Evaluate(static_cast<int32_t>(t));
    }
}

// Counter operations: 0 reset, 1 decrement, 2 increment, 3 start, 4 stop.
bool CounterAction(int32_t n, int32_t operation) {
    uint8_t* c = n >= 0 ? Counter(static_cast<uint32_t>(n)) : nullptr;
    if (!c || operation < 0 || operation > 4) return false;
    if (operation >= 3) {
        c[kCounterRunning] = operation == 3 ? 1 : 0;
        return true;
    }
    const uint16_t v = operation == 0 ? 0 : static_cast<uint16_t>(Get16(c) + (operation == 2 ? 1 : -1));
    Put16(c, v);
    CounterConditions(static_cast<uint32_t>(n), v);
    return true;
}

bool FlagAction(int32_t n, int32_t clear) {
    if (n < 0 || n >= TRIG_FLAGS) return false;
    trig_Flags[n] = clear ? 0 : 1;
    Post(7, static_cast<uint16_t>(n), clear ? 1 : 0);
    return true;
}

void PlayedEvent(int32_t n) { Post(5, static_cast<uint16_t>(n)); }

void PlayMessage(int32_t n) {
    if (!level_Mission || n < 0 || static_cast<uint32_t>(n) >= level_Mission->messages.count) {
        PlayedEvent(n);
        return;
    }
    const uint8_t* m = level_Mission->messages.records + static_cast<size_t>(n) * ORF_MESSAGE_SIZE;
    char name[33] = {};
    memcpy(name, m, 32);
    char sample[17] = {};
    memcpy(sample, m + kMessageSample, 16);
    bool sent = false;
    if (strcmp(name, "NULLMSG") != 0) {
        const FileTableEntry* e =
            level_Mission->textData ? file_TableFindNamed(level_Mission->textData, "MESSAGES", name) : nullptr;
        if (e && e->text) {
            Server_CallSendText(e->text, SERVER_TO_ALL, 0, 0);
            sent = true;
        }
    }
    plat_SimLog("trig", "message %d %s%s", n, name, sent ? " text" : "");
    // A message cut off by this one is over.
    if (g_playing >= 0) {
        const int32_t old = g_playing;
        g_playing = -1;
        PlayedEvent(old);
    }
    if (speech_Play(sample, static_cast<uint32_t>(n) | SPEECH_VOICE_BIT) != 0) PlayedEvent(n);
    else g_playing = n;
}

// ---- Actions ------------------------------------------------------------------------------

bool BuiltinAction(const uint8_t* t) {
    const uint16_t cls = Get16(t + TRIG_ACTION_CLASS);
    const uint16_t a1 = Get16(t + TRIG_ARGUMENTS), a2 = Get16(t + TRIG_ARGUMENTS + 2), a3 = Get16(t + TRIG_ARGUMENTS + 4);
    switch (cls) {
    case 0:
        switch (a2) {
        case 0: return GroupTakeOff(a1);
        case 1: return Activate(a1);
        case 2: return ChangeRoute(ObjectByNumber(a1), a3);
        case 3: return Deactivate(a1);
        default: return false;
        }
    case 1: return GroupAction(a2, a1, a3);
    case 3: PlayMessage(a1); return true;
    case 4: return CounterAction(a1, a2);
    case 5: return tacmap_GoalAction(a3 >> 8, a3 & 0xFF) != 0;
    case 7:
        plat_SimLog("trig", "award %u %u", (unsigned)a2, (unsigned)a3);
        return true;
    case 8: return FlagAction(a1, a2);
    default: return false;
    }
}

// The trigger's compiled action list: true when every entry was performed.
bool ListAction(const uint8_t* t) {
    const uint32_t first = Get16(t + TRIG_ACTION_LIST);
    if (first >= level_Mission->nodeCount) return false;
    const OrfTriggerNode* node = &level_Mission->nodes[first];
    // A list runs through each node at most once.
    for (uint32_t steps = 0; node && steps < level_Mission->nodeCount; steps++, node = node->node1) {
        if (node->word[0] & 1) continue;
        const OrfTriggerAction* a = node->action;
        if (!a || !a->handler || !a->handler->routine) return false;
        static const int32_t kNone[ORF_ARGUMENTS_SIZE / 4] = {};
        if (!a->handler->routine(a->arguments ? a->arguments->word : kNone)) return false;
    }
    return true;
}

// ---- Action keywords ------------------------------------------------------------------------

// The argument block's third word is the first argument.
int32_t First(const int32_t* arguments) { return arguments[2]; }

int32_t ActionNop(const int32_t*) { return 1; }
int32_t ActionNotPerformed(const int32_t*) { return 0; }
int32_t ActionDec(const int32_t* a) { return CounterAction(First(a), 1); }
int32_t ActionInc(const int32_t* a) { return CounterAction(First(a), 2); }
int32_t ActionReset(const int32_t* a) { return CounterAction(First(a), 0); }
int32_t ActionStart(const int32_t* a) { return CounterAction(First(a), 3); }
int32_t ActionStop(const int32_t* a) { return CounterAction(First(a), 4); }
int32_t ActionPlay(const int32_t* a) {
    PlayMessage(First(a));
    return 1;
}

}  // namespace

const TriggerActionEntry trig_ActionTable[] = {
    {"nop", 0, 0, ActionNop},
    {"activate_g", 1, 1, ActionNotPerformed},
    {"activate_o", 2, 1, ActionNotPerformed},
    {"award_wn", 3, 2, ActionNotPerformed},
    {"breakescort_f", 4, 1, ActionNotPerformed},
    {"changealliance_fa", 5, 2, ActionNotPerformed},
    {"changepath_fy", 6, 2, ActionNotPerformed},
    {"changepath_oy", 7, 2, ActionNotPerformed},
    {"clear_v", 8, 1, ActionNotPerformed},
    {"deactivate_g", 9, 1, ActionNotPerformed},
    {"deactivate_o", 10, 1, ActionNotPerformed},
    {"dec_c", 11, 1, ActionDec},
    {"deduct_w", 12, 1, ActionNotPerformed},
    {"destroy_g", 13, 1, ActionNotPerformed},
    {"escort_ff", 14, 2, ActionNotPerformed},
    {"hudflash", 15, 0, ActionNotPerformed},
    {"inc_c", 16, 1, ActionInc},
    {"missionbonus_n", 17, 1, ActionNotPerformed},
    {"missionfailure", 18, 0, ActionNotPerformed},
    {"missionprimary_n", 19, 1, ActionNotPerformed},
    {"missionsecondary_n", 20, 1, ActionNotPerformed},
    {"play_m", 21, 1, ActionPlay},
    {"reset_c", 22, 1, ActionReset},
    {"set_v", 23, 1, ActionNotPerformed},
    {"start_c", 24, 1, ActionStart},
    {"stop_c", 25, 1, ActionStop},
    {"takeoff_f", 26, 1, ActionNotPerformed},
    {"takeoff_o", 27, 1, ActionNotPerformed},
    {nullptr, 0, 0, nullptr},
};

void trig_Evaluate(int32_t trigger) {
    if (trigger < 0 || static_cast<uint32_t>(trigger) >= TriggerCount()) return;
    uint8_t* t = Trigger(static_cast<uint32_t>(trigger));
    if (t[TRIG_FIRED] || Active(trigger) || !ConditionsHold(t)) return;
    if (g_depth >= TRIG_DEPTH_LIMIT) {
        plat_SimLog("trig", "trigger %d not run: nested too deep", trigger);
        return;
    }
    // The depth covers the action and the fired event, which both post.
    g_active[g_depth++] = trigger;
    if (level_Mission->nodeCount ? ListAction(t) : BuiltinAction(t)) {
        t[TRIG_FIRED] = 1;
        plat_SimLog("trig", "trigger %d fired", trigger);
        Post(4, static_cast<uint16_t>(trigger));
    }
    g_depth--;
}

void trig_PostEvent(void) {
    const TriggerEvent ev = trig_Event;
    for (uint32_t n = 0; n < TriggerCount(); n++) {
        uint8_t* t = Trigger(n);
        if (t[TRIG_FIRED] || Active(static_cast<int32_t>(n))) continue;
        const Chain c = ChainOf(t);
        for (int32_t k = 0; k < c.count; k++) {
            uint8_t* s = Slot(t, static_cast<uint32_t>(c.slot[k]));
            if (s[TRIG_SLOT_MATCHED] && !s[TRIG_SLOT_MOMENTARY]) continue;
            if (s[TRIG_SLOT_TYPE] != (ev.type & 0xFF) || Get16(s + TRIG_SLOT_ID) != ev.id ||
                s[TRIG_SLOT_CODE] != (ev.code & 0xFF) || Get16(s + TRIG_SLOT_ARGUMENT) != ev.argument)
                continue;
            if (c.extension[k] >= 0) {
                const uint8_t* x = Slot(t, static_cast<uint32_t>(c.extension[k]));
                if (x[TRIG_SLOT_TYPE] != (ev.extensionType & 0xFF) || Get16(x + TRIG_SLOT_ID) != ev.extensionId) continue;
            }
            Match(s);
            trig_Evaluate(static_cast<int32_t>(n));
            trig_Event = ev;
            break;
        }
    }
    trig_Event = ev;
}

void trig_CounterTick(void) {
    if (g_playing >= 0 && !speech_MessagePlaying(static_cast<uint32_t>(g_playing) | SPEECH_VOICE_BIT)) {
        const int32_t n = g_playing;
        g_playing = -1;
        PlayedEvent(n);
    }
    if (g_phase++ != 0) {
        if (g_phase >= 40) g_phase = 0;
        return;
    }
    if (!level_Mission) return;
    for (uint32_t n = 0; n < level_Mission->counters.count; n++) {
        uint8_t* c = Counter(n);
        if (!c[kCounterRunning]) continue;
        const uint16_t v = static_cast<uint16_t>(Get16(c) + 1);
        Put16(c, v);
        CounterConditions(n, v);
    }
}

void trig_Reset(void) {
    g_phase = 0;
    g_depth = 0;
    g_playing = -1;
    if (!level_Mission) return;
    for (uint32_t n = 0; n < TriggerCount(); n++) {
        uint8_t* t = Trigger(n);
        t[TRIG_FIRED] = 0;
        for (uint32_t i = 0; i < ORF_TRIGGER_CONDITIONS; i++) {
            uint8_t* s = Slot(t, i);
            s[TRIG_SLOT_MATCHED] = 0;
            Put32(s + TRIG_SLOT_TICK, 0);
        }
    }
    for (uint32_t n = 0; n < level_Mission->counters.count; n++) {
        uint8_t* c = Counter(n);
        Put16(c, 0);
        c[kCounterRunning] = 0;
    }
    for (uint32_t n = 0; n < level_Mission->counters.count; n++) CounterConditions(n, 0);
    for (int32_t n = 0; n < TRIG_FLAGS; n++) Post(7, static_cast<uint16_t>(n), trig_Flags[n] ? 0 : 1);
}
