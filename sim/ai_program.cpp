// The AI command interpreter: unit start by kind, the think routine, the
// run loop, the opcodes and the built-in programs.
#include "sim/ai_program.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "base/math.h"
#include "platform/simlog.h"
#include "render/objmove.h"
#include "sim/obj.h"
#include "sim/trig.h"
#include "world/level.h"
#include "world/objarray.h"
#include "world/orf.h"
#include "world/terrain.h"

namespace {

// ---- Program blocks ----------------------------------------------------------

constexpr int32_t kBlockBuiltin = 1;
constexpr int32_t kBlockLoaded = 2;

struct Block {
    std::vector<uint8_t> code;  // 4 bytes a command
    int32_t Count() const { return static_cast<int32_t>(code.size() / 4); }
};
Block g_blocks[3];

int32_t Pc(int32_t block, int32_t index) { return block << 16 | index; }
int32_t PcBlock(int32_t pc) { return static_cast<int32_t>(static_cast<uint32_t>(pc) >> 16); }
int32_t PcIndex(int32_t pc) { return pc & 0xFFFF; }

// The built-in programs' labels, in AiProgram order.
const char* const kProgramNames[AI_PROGRAMS] = {
    "idle",        "taxi",       "takeoff", "climbout", "route",  "rejoin",          "gun",             "flak",
    "defence",     "area",       "idle-loop", "pullup", "follow", "strike",          "attack",          "landing",
    "target-lost", "solo-route", "escort",  "assist",   "guard",  "turn-minus-plus", "turn-plus-minus", "evade0",
    "evade1",      "evade2",     "evade3",  "evade4",   "evade5", "evade6",          "evade7"};

// A program's start as the pending-program word points at it.
struct Entry {
    int32_t pc;
};
Entry g_entries[AI_PROGRAMS];
Entry g_loadedEntry;

// The built-in block, written by a small assembler with named labels.
class Assembler {
public:
    std::vector<uint8_t> code;

    int32_t Here() const { return static_cast<int32_t>(code.size() / 4); }
    void Op(uint8_t op, uint8_t b1 = 0, uint8_t b2 = 0, uint8_t b3 = 0) {
        code.insert(code.end(), {op, b1, b2, b3});
    }
    void Label(const std::string& name) { labels_.push_back({name, Here()}); }
    void Jump(const std::string& to) { Ref(AI_OP_JUMP, 0, to, true); }
    void Call(const std::string& to) { Ref(AI_OP_CALL, 0, to, true); }
    void BranchGe(const std::string& to) { Ref(AI_OP_BRANCHGE, 0, to, true); }
    void BranchClear(uint8_t mask, const std::string& to) { Ref(AI_OP_BRANCHCLEAR, mask, to, false); }
    void BranchSet(uint8_t mask, const std::string& to) { Ref(AI_OP_BRANCHSET, mask, to, false); }
    // The service repeated once a frame until it reports done.
    void Until(uint8_t service) {
        const int32_t at = Here();
        Op(service);
        Op(AI_OP_YIELD);
        const int32_t back = at - Here();
        Op(AI_OP_BRANCHCLEAR, 1, static_cast<uint8_t>(back >> 8), static_cast<uint8_t>(back));
    }
    void Load24(int32_t value) {
        Op(AI_OP_LOAD24, static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value));
    }
    void Field(uint8_t op, uint8_t reg, uint16_t offset) {
        Op(op, reg, static_cast<uint8_t>(offset >> 8), static_cast<uint8_t>(offset));
    }
    int32_t At(const std::string& name) const {
        for (const auto& l : labels_)
            if (l.first == name) return l.second;
        return -1;
    }
    // Resolves the references; false when a label is missing.
    bool Finish() {
        for (const Fixup& f : fixups_) {
            const int32_t target = At(f.label);
            if (target < 0) return false;
            const int32_t d = target - f.at;
            uint8_t* c = &code[static_cast<size_t>(f.at) * 4];
            if (f.wide) c[1] = static_cast<uint8_t>(d >> 16);
            c[2] = static_cast<uint8_t>(d >> 8);
            c[3] = static_cast<uint8_t>(d);
        }
        return true;
    }

private:
    struct Fixup {
        int32_t at;
        std::string label;
        bool wide;
    };
    std::vector<std::pair<std::string, int32_t>> labels_;
    std::vector<Fixup> fixups_;
    void Ref(uint8_t op, uint8_t b1, const std::string& to, bool wide) {
        fixups_.push_back({Here(), to, wide});
        Op(op, b1);
    }
};

// Record offsets the programs address.
constexpr uint16_t kHeading = 0x18, kPitch = 0x1c, kRoll = 0x20;
constexpr uint16_t kCommandedHeading = 0xe0, kCommandedPitch = 0xe4, kCommandedRoll = 0xe8;

// Commanded angle = own angle + r0, then STEER until done.
void TurnBy(Assembler& a, int32_t quarterTurns, uint16_t own, uint16_t commanded, bool wrap) {
    a.Load24(quarterTurns < 0 ? -0x800000 : 0x400000);
    if (quarterTurns > 0) a.Op(AI_OP_SHIFTLEFT, 0, static_cast<uint8_t>(quarterTurns));
    a.Field(AI_OP_LOAD, 1, own);
    a.Op(AI_OP_ADD, 1, 0);
    if (wrap) a.Op(AI_OP_WRAPANGLE, 1);
    a.Field(AI_OP_STORE, 1, commanded);
    a.Until(AI_OP_STEER);
    a.Op(AI_OP_RETURN);
}

void Loop(Assembler& a, const char* name, uint8_t service) {
    a.Label(name);
    a.Op(service);
    a.Op(AI_OP_YIELD);
    a.Jump(name);
}

// The random pair of turns of manoeuvres 0 and 2.
void TwoTurns(Assembler& a, const std::string& tag) {
    a.Op(AI_OP_RANDOM, 0, 0, 1);
    a.BranchClear(static_cast<uint8_t>(AI_FLAG_ZERO), tag + "-else");
    a.Call("turn-plus");
    a.Call("turn-plus");
    a.Jump(tag + "-end");
    a.Label(tag + "-else");
    a.Call("turn-minus");
    a.Call("turn-minus");
    a.Label(tag + "-end");
}

void Calls(Assembler& a, std::initializer_list<const char*> names) {
    for (const char* n : names) a.Call(n);
}

void EvasionEnd(Assembler& a) {
    Calls(a, {"level", "pause"});
    a.Op(AI_OP_RESUME);
}

void BuildBuiltins() {
    static bool built = false;
    if (built) return;
    built = true;
    Assembler a;
    a.Label("idle");
    a.Op(AI_OP_YIELD);
    a.Jump("idle");

    a.Label("taxi");
    a.Until(AI_OP_TURNTOSTEP);
    a.Until(AI_OP_TAXI);
    a.Op(AI_OP_ROUTESTEP);
    a.Jump("taxi");

    a.Label("takeoff");
    a.Until(AI_OP_TURNHEADING);
    a.Until(AI_OP_TAKEOFFROLL);
    a.Until(AI_OP_STEER);
    a.Jump("route");

    a.Label("climbout");
    a.Until(AI_OP_CLIMBOUT);
    a.Jump("route");

    a.Label("route");
    a.Op(AI_OP_CRUISE);
    a.Label("route-loop");
    a.Until(AI_OP_FLYWAYPOINT);
    a.Op(AI_OP_WAYPOINTACTION);
    a.Jump("route-loop");

    Loop(a, "rejoin", AI_OP_REJOIN);
    Loop(a, "gun", AI_OP_AAA);
    Loop(a, "flak", AI_OP_FLAK);
    Loop(a, "defence", AI_OP_DEFEND);
    Loop(a, "area", AI_OP_AREASEARCH);
    a.Label("idle-loop");
    a.Op(AI_OP_YIELD);
    a.Jump("idle-loop");

    // Pull up until 0x500000 above the terrain.
    a.Label("pullup");
    a.Op(AI_OP_STATE, AI_STATE_PULLUP);
    a.Until(AI_OP_LEVEL);
    a.Label("pullup-loop");
    a.Op(AI_OP_HEIGHT, 1);
    a.Op(AI_OP_LOAD16, 0, 0x50, 0x00);
    a.Op(AI_OP_SHIFTLEFT, 0, 8);
    a.Op(AI_OP_COMPARE, 1, 0);
    a.BranchGe("pullup-end");
    a.Load24(0x280000);
    a.Field(AI_OP_STORE, 0, kCommandedPitch);
    a.Until(AI_OP_STEER);
    a.Jump("pullup-loop");
    a.Label("pullup-end");
    a.Until(AI_OP_LEVEL);
    a.Op(AI_OP_RESUME);

    Loop(a, "follow", AI_OP_FORMATION);

    a.Label("strike");
    a.Op(AI_OP_STATE, AI_STATE_STRIKE);
    a.Until(AI_OP_ATTACK);
    a.Op(AI_OP_FIRE);
    a.Op(AI_OP_YIELD);
    a.Jump("route");

    a.Label("attack");
    a.Op(AI_OP_STATE, AI_STATE_ATTACK);
    a.Until(AI_OP_STEER);
    a.Label("attack-acquire");
    a.Op(AI_OP_ACQUIRE);
    a.BranchClear(1, "attack-target");
    a.Until(AI_OP_LEVEL);
    a.Jump("route");
    a.Label("attack-target");
    a.Until(AI_OP_ATTACK);
    a.Op(AI_OP_FIRE);
    a.Op(AI_OP_YIELD);
    a.Until(AI_OP_BURST);
    a.Jump("attack-acquire");

    a.Label("landing");
    a.Op(AI_OP_STATE, AI_STATE_LANDING);
    a.Until(AI_OP_LAND);
    a.Label("target-lost");
    a.Call("level");
    a.Jump("attack");

    a.Label("solo-route");
    a.Op(AI_OP_STATE, AI_STATE_ROUTE);
    a.Op(AI_OP_DESIREDSPEED, 1);
    a.Until(AI_OP_SPEED);
    a.Jump("route-loop");

    a.Label("escort");
    a.Op(AI_OP_TARGET, 0);
    a.Op(AI_OP_ACQUIRE);
    a.BranchClear(1, "attack");
    Loop(a, "escort-loop", AI_OP_FORMATION);

    a.Label("assist");
    a.Op(AI_OP_TARGET, 1);
    a.Jump("attack");

    a.Label("guard");
    a.Op(AI_OP_TARGET, 3);
    a.Op(AI_OP_ACQUIRE);
    a.BranchSet(1, "escort");
    a.Jump("attack");

    // Subroutines.
    a.Label("level");
    a.Until(AI_OP_LEVEL);
    a.Op(AI_OP_RETURN);

    a.Label("pause");
    a.Op(AI_OP_DESIREDSPEED, 1);
    a.Until(AI_OP_SPEED);
    a.Op(AI_OP_PAUSELOAD);
    a.Op(AI_OP_RANDOM, 1, 0, 0x3F);
    a.Op(AI_OP_ADD, 0, 1);
    a.Label("pause-loop");
    a.Op(AI_OP_DEC, 0);
    a.Op(AI_OP_YIELD);
    a.BranchClear(static_cast<uint8_t>(AI_FLAG_ZERO), "pause-loop");
    a.Op(AI_OP_RETURN);

    a.Label("roll-over");
    TurnBy(a, 2, kRoll, kCommandedRoll, true);
    a.Label("pitch-up");
    TurnBy(a, 1, kPitch, kCommandedPitch, false);
    a.Label("pitch-down");
    TurnBy(a, -1, kPitch, kCommandedPitch, false);
    a.Label("turn-plus");
    TurnBy(a, 1, kHeading, kCommandedHeading, false);
    a.Label("turn-minus");
    TurnBy(a, -1, kHeading, kCommandedHeading, false);

    a.Label("reverse");
    a.Op(AI_OP_LOAD16, 0, 0, 0);
    a.Field(AI_OP_STORE, 0, kPitch);
    a.Field(AI_OP_STORE, 0, kRoll);
    a.Load24(0x400000);
    a.Op(AI_OP_SHIFTLEFT, 0, 2);
    a.Field(AI_OP_LOAD, 1, kHeading);
    a.Op(AI_OP_ADD, 1, 0);
    a.Op(AI_OP_WRAPANGLE, 1);
    a.Field(AI_OP_STORE, 1, kHeading);
    a.Op(AI_OP_RETURN);

    a.Label("turn-minus-plus");
    Calls(a, {"turn-minus", "turn-plus"});
    a.Jump("attack");
    a.Label("turn-plus-minus");
    Calls(a, {"turn-plus", "turn-minus"});
    a.Jump("attack");

    // Evasive manoeuvres.
    a.Label("evade0");
    a.Call("level");
    TwoTurns(a, "evade0");
    EvasionEnd(a);

    a.Label("evade1");
    Calls(a, {"level", "pitch-up", "pitch-up", "roll-over", "reverse"});
    EvasionEnd(a);

    a.Label("evade2");
    Calls(a, {"level", "roll-over"});
    a.Load24(static_cast<int32_t>(0xFFC00000u));  // 0xC00000 as a signed 24-bit value
    a.Op(AI_OP_WRAPANGLE, 0);
    a.Field(AI_OP_STORE, 0, kCommandedPitch);
    a.Until(AI_OP_STEER);
    TwoTurns(a, "evade2");
    EvasionEnd(a);

    a.Label("evade3");
    Calls(a, {"level", "roll-over", "pitch-down", "pitch-down", "reverse"});
    EvasionEnd(a);

    a.Label("evade4");
    Calls(a, {"level", "pitch-up", "roll-over", "pitch-down", "pitch-down", "roll-over", "pitch-up"});
    EvasionEnd(a);

    a.Label("evade5");
    Calls(a, {"level", "pitch-up", "pitch-up", "pitch-up", "pitch-up"});
    EvasionEnd(a);

    a.Label("evade6");
    a.Call("level");
    a.Op(AI_OP_RANDOM, 0, 0, 1);
    a.BranchClear(static_cast<uint8_t>(AI_FLAG_ZERO), "evade6-else");
    Calls(a, {"turn-minus", "turn-plus", "turn-plus", "turn-minus"});
    a.Jump("evade6-end");
    a.Label("evade6-else");
    Calls(a, {"turn-plus", "turn-minus", "turn-minus", "turn-plus"});
    a.Label("evade6-end");
    EvasionEnd(a);

    a.Label("evade7");
    a.Call("level");
    a.Op(AI_OP_RANDOM, 0, 0, 1);
    a.BranchClear(static_cast<uint8_t>(AI_FLAG_ZERO), "evade7-else");
    Calls(a, {"turn-minus", "turn-minus"});
    a.Jump("evade7-end");
    a.Label("evade7-else");
    Calls(a, {"turn-plus", "turn-plus"});
    a.Label("evade7-end");
    Calls(a, {"pitch-up", "pitch-up", "roll-over", "reverse"});
    EvasionEnd(a);

    if (!a.Finish()) return;
    g_blocks[kBlockBuiltin].code = a.code;
    for (int32_t n = 0; n < AI_PROGRAMS; n++) g_entries[n].pc = Pc(kBlockBuiltin, a.At(kProgramNames[n]));
}

const char* ProgramName(int32_t pc) {
    for (int32_t n = 0; n < AI_PROGRAMS; n++)
        if (g_entries[n].pc == pc) return kProgramNames[n];
    return PcBlock(pc) == kBlockLoaded ? "loaded" : "?";
}

// ---- Operands ---------------------------------------------------------------------

int32_t S24(const uint8_t* c) { return static_cast<int32_t>(static_cast<uint32_t>(c[1]) << 24 | c[2] << 16 | c[3] << 8) >> 8; }
int32_t S16(const uint8_t* c) { return static_cast<int16_t>(static_cast<uint16_t>(c[2] << 8 | c[3])); }
uint16_t U16(const uint8_t* c) { return static_cast<uint16_t>(c[2] << 8 | c[3]); }

// ---- Flags -------------------------------------------------------------------------

int32_t ResultFlags(uint32_t r, bool carry, bool overflow, bool aux) {
    int32_t f = AI_FLAG_FIXED;
    if (carry) f |= AI_FLAG_CARRY;
    if (!(__builtin_popcount(r & 0xFF) & 1)) f |= AI_FLAG_PARITY;
    if (aux) f |= AI_FLAG_AUX;
    if (r == 0) f |= AI_FLAG_ZERO;
    if (r & 0x80000000u) f |= AI_FLAG_SIGN;
    if (overflow) f |= AI_FLAG_OVERFLOW;
    return f;
}

int32_t AddFlags(uint32_t a, uint32_t b, uint32_t r) {
    return ResultFlags(r, r < a, ((a ^ r) & (b ^ r) & 0x80000000u) != 0, ((a ^ b ^ r) & 0x10) != 0);
}
int32_t SubFlags(uint32_t a, uint32_t b, uint32_t r) {
    return ResultFlags(r, a < b, ((a ^ b) & (a ^ r) & 0x80000000u) != 0, ((a ^ b ^ r) & 0x10) != 0);
}
int32_t LogicFlags(uint32_t r) { return ResultFlags(r, false, false, false); }

void SetCarry(_AI_DCB* u, bool on) { u->flagsWord = on ? (u->flagsWord | AI_FLAG_CARRY) : (u->flagsWord & ~AI_FLAG_CARRY); }

// ---- The run ---------------------------------------------------------------------------

enum class Next { On, Yield, Stop };

struct Run {
    ObjectRecord* o;
    _AI_DCB* u;
    const Block* block;
    int32_t index;      // the command being run
    int32_t count;      // commands run this frame
    uint8_t lastOp;
};

const AiUnitType* TypeOf(_AI_DCB* u) { return static_cast<const AiUnitType*>(u->unitType); }

void Error(ObjectRecord* o, const char* format) {
    _AI_DCB* u = ai_Unit(o);
    ai_MissionError(format, o);
    // The program ends: the unit stays where it is.
    if (u) {
        u->programCounter = 0;
        u->pendingProgram = nullptr;
    }
    o->think = nullptr;
}

void ErrorCommand(ObjectRecord* o, const char* what, int32_t op, int32_t value) {
    char format[160];
    snprintf(format, sizeof format, "Mission Error!\n\n%%s %s [CMD=%d, %d]!", what, op, value);
    Error(o, format);
}

void Post(uint16_t type, uint16_t id, uint16_t code) {
    trig_Event = TriggerEvent{type, id, code, 0, 0, 0};
    trig_PostEvent();
}

// The unit's program counter moves to a command of the current block.
Next JumpTo(Run& r, int64_t target, uint8_t op) {
    if (target < 0 || target >= r.block->Count()) {
        ErrorCommand(r.o, "jumps outside its program", op, static_cast<int32_t>(target - r.index));
        return Next::Stop;
    }
    r.u->programCounter = Pc(PcBlock(r.u->programCounter), static_cast<int32_t>(target));
    return Next::On;
}

void Advance(Run& r) { r.u->programCounter = Pc(PcBlock(r.u->programCounter), r.index + 1); }

void SwitchTo(_AI_DCB* u, int32_t program) { u->programCounter = g_entries[program].pc; }
// The first program of a unit: taken at its first run.
void Pend(_AI_DCB* u, int32_t program) { u->pendingProgram = &g_entries[program]; }

void StartedInAir(ObjectRecord* o, _AI_DCB* u) {
    const uint8_t* record = static_cast<const uint8_t*>(u->missionRecord);
    if (record && (record[ORF_PLACED_AI + ORF_AI_FLAG_BYTE] & 1)) {
        o->flags |= OBJ_FLAG_STARTED_AIRBORNE;
        ai_AirStartCount[(record[13] & 0x08) ? 1 : 0]++;
    }
}

// The unit's route-step list and its current entry.
bool CurrentStep(_AI_DCB* u, OrfRouteStep* step) {
    if (!u->routeStep) return false;
    orf_RouteStepDecode(static_cast<const uint8_t*>(u->routeStep), step);
    return true;
}
void NextStep(_AI_DCB* u) {
    if (!level_Mission || u->stepList >= level_Mission->array5.count) return;
    const OrfGroup& g = level_Mission->array5.groups[u->stepList];
    if (static_cast<uint32_t>(u->stepNumber) + 1 >= g.itemCount) return;  // the last entry stays
    u->stepNumber++;
    u->routeStep = g.items + static_cast<size_t>(u->stepNumber) * ORF_ARRAY5_ITEM_SIZE;
}

ObjectRecord* TargetByMode(ObjectRecord* o, _AI_DCB* u, int32_t mode) {
    constexpr int32_t kTargetRange = 0x59100000;
    if (mode == 0 || (mode == 1 && !u->leader)) return ai_NearestHostile(o, kTargetRange);
    if (mode == 1) return u->leader->target == o ? nullptr : u->leader->target;
    if (mode == 3) return u->leader ? ai_NearestHostile(u->leader, kTargetRange) : nullptr;
    return o->target;
}

// An air-defence site fired or launched (flak fires every 4 frames: one
// line in 32 frames).
void Engaged(const ObjectRecord* o, const char* service) {
    if (service[0] == 'f' && (o->frameCounter & 31) != 0) return;
    const ObjectRecord* t = o->target;
    plat_SimLog("ai", "engage unit=%u site=%s target=%u%s", (unsigned)o->missionObject, service,
                t ? (unsigned)t->missionObject : 0u, t && (t->flags & OBJ_FLAG_PLAYER) ? " player" : "");
}

// The commands that only call a unit-AI service: how its result is kept.
enum class Keep { Carry, Nothing, Site };
struct Service {
    uint8_t op;
    Keep keep;
    int32_t (*routine)(ObjectRecord*);
    const char* site;
};
constexpr Service kServices[] = {
    {AI_OP_FLYWAYPOINT, Keep::Carry, ai_FlyToWaypoint, nullptr},
    {AI_OP_LEVEL, Keep::Carry, ai_LevelOut, nullptr},
    {AI_OP_STEER, Keep::Carry, ai_SteerToCommand, nullptr},
    {AI_OP_AIM, Keep::Carry, ai_AimAtTarget, nullptr},
    {AI_OP_TAXI, Keep::Carry, ai_TaxiToStep, nullptr},
    {AI_OP_TURNTOSTEP, Keep::Carry, ai_TurnToStep, nullptr},
    {AI_OP_TURNHEADING, Keep::Carry, ai_TurnToHeading, nullptr},
    {AI_OP_CLIMBOUT, Keep::Carry, ai_ClimbOut, nullptr},
    {AI_OP_BURST, Keep::Carry, ai_BurstDone, nullptr},
    {AI_OP_LAND, Keep::Carry, ai_LandingRoll, nullptr},
    {AI_OP_FORMATION, Keep::Nothing, ai_FlyFormation, nullptr},
    {AI_OP_REJOIN, Keep::Nothing, ai_Rejoin, nullptr},
    {AI_OP_DEFEND, Keep::Site, ai_DefenceSearch, "defence"},
    {AI_OP_AAA, Keep::Site, ai_GunDefence, "gun"},
    {AI_OP_FLAK, Keep::Site, ai_FlakFire, "flak"},
    {AI_OP_AREASEARCH, Keep::Site, ai_AreaSearch, "area"},
};

// Runs the command when it is a plain service call; false when it is not.
bool RunService(_AI_DCB* u, uint8_t op) {
    for (const Service& s : kServices) {
        if (s.op != op) continue;
        const int32_t result = s.routine(&u->object);
        if (s.keep == Keep::Carry) SetCarry(u, result != 0);
        else if (s.keep == Keep::Site && result) Engaged(&u->object, s.site);
        return true;
    }
    return false;
}

Next Execute(Run& r, const uint8_t* c) {
    ObjectRecord* o = r.o;
    _AI_DCB* u = r.u;
    const uint8_t op = c[0];
    int32_t* reg = &u->registers[c[1] & 3];
    if (RunService(u, op)) {
        Advance(r);
        return Next::On;
    }
    switch (op) {
    case AI_OP_YIELD:
        Advance(r);
        return Next::Yield;
    case AI_OP_JUMP:
        return JumpTo(r, static_cast<int64_t>(r.index) + S24(c), op);
    case AI_OP_CALL:
        if (u->returnDepth >= AI_RETURN_DEPTH) {
            ErrorCommand(o, "calls too deep", op, u->returnDepth);
            return Next::Stop;
        }
        u->returnStack[u->returnDepth++] = u->programCounter;
        u->returnAddress = u->programCounter;
        return JumpTo(r, static_cast<int64_t>(r.index) + S24(c), op);
    case AI_OP_RETURN: {
        if (u->returnDepth == 0) {
            ErrorCommand(o, "returns without a call", op, 0);
            return Next::Stop;
        }
        const int32_t back = u->returnStack[--u->returnDepth];
        u->returnAddress = u->returnDepth ? u->returnStack[u->returnDepth - 1] : 0;
        if (PcBlock(back) != PcBlock(u->programCounter)) {
            ErrorCommand(o, "returns outside its program", op, PcIndex(back));
            return Next::Stop;
        }
        return JumpTo(r, PcIndex(back) + 1, op);
    }
    case AI_OP_SETFLAGS:
        u->flagsWord = (u->flagsWord & ~c[1]) | (c[1] & c[2]);
        break;
    case AI_OP_BRANCHCLEAR:
        if (!(u->flagsWord & c[1])) return JumpTo(r, static_cast<int64_t>(r.index) + S16(c), op);
        Advance(r);
        return Next::On;
    case AI_OP_BRANCHSET:
        if (u->flagsWord & c[1]) return JumpTo(r, static_cast<int64_t>(r.index) + S16(c), op);
        Advance(r);
        return Next::On;
    case AI_OP_LOAD24:
        u->registers[0] = S24(c);
        break;
    case AI_OP_LOAD16:
        *reg = U16(c);
        break;
    case AI_OP_STORE:
    case AI_OP_LOAD: {
        // STORE takes its offset signed; a negative one is never in the table.
        const uint32_t off = op == AI_OP_STORE ? static_cast<uint32_t>(S16(c)) : U16(c);
        const int32_t failed = op == AI_OP_STORE ? obj_FieldWrite(o, off, *reg) : obj_FieldRead(o, off, reg);
        if (failed) {
            ErrorCommand(o, "has a bad field offset", op, static_cast<int32_t>(off));
            return Next::Stop;
        }
        break;
    }
    case AI_OP_FIRE:
        if (u->aiState == AI_STATE_ATTACK) ai_FireAtTarget(o);
        else ai_GroundFire(o);
        plat_SimLog("ai", "fire unit=%u weapon=%u%s", (unsigned)o->missionObject, (unsigned)u->weapon,
                    o->target && o->target->pool == &level_ServerArrays.player ? " at player" : "");
        SetCarry(u, true);
        break;
    case AI_OP_WAYPOINT:
        ai_WaypointSet(o, c[1]);
        break;
    case AI_OP_ACQUIRE:
        if (!o->target && u->ownTargets) o->target = ai_NearestHostile(o, 0x2C880000);
        SetCarry(u, o->target == nullptr);
        break;
    case AI_OP_ATTACK: {
        const int32_t done = u->aiState == AI_STATE_ATTACK ? ai_AirAttack(o) : ai_GroundAttackRun(o);
        SetCarry(u, done != 0);
        Advance(r);
        return done ? Next::On : Next::Yield;
    }
    case AI_OP_SPEED: {
        const AiUnitType* t = TypeOf(u);
        ai_SpeedToward(o, u->desiredSpeed, t ? t->acceleration : 0);
        SetCarry(u, o->speed == u->desiredSpeed || ai_CollisionAhead(o) != 0);
        break;
    }
    case AI_OP_DEC: {
        const uint32_t a = static_cast<uint32_t>(*reg), v = a - 1;
        *reg = static_cast<int32_t>(v);
        u->flagsWord = ResultFlags(v, false, a == 0x80000000u, (a & 0xF) == 0);
        break;
    }
    case AI_OP_RANDOM: {
        const uint32_t v = math_Random() & U16(c);
        *reg = static_cast<int32_t>(v);
        u->flagsWord = LogicFlags(v);
        break;
    }
    case AI_OP_ADD: {
        const uint32_t a = static_cast<uint32_t>(*reg), b = static_cast<uint32_t>(u->registers[c[2] & 3]);
        *reg = static_cast<int32_t>(a + b);
        u->flagsWord = AddFlags(a, b, a + b);
        break;
    }
    case AI_OP_SHIFTLEFT: {
        const uint32_t n = c[2] & 31u;
        if (n) {
            const uint32_t a = static_cast<uint32_t>(*reg), v = a << n;
            const bool carry = ((a >> (32 - n)) & 1) != 0;
            *reg = static_cast<int32_t>(v);
            u->flagsWord = ResultFlags(v, carry, ((v >> 31) != 0) != carry, false);
        }
        break;
    }
    case AI_OP_TARGET:
        o->target = TargetByMode(o, u, c[1]);
        break;
    case AI_OP_HALT:
        return Next::Yield;
    case AI_OP_COMPARE: {
        const uint32_t a = static_cast<uint32_t>(*reg), b = static_cast<uint32_t>(u->registers[c[2] & 3]);
        u->flagsWord = SubFlags(a, b, a - b);
        break;
    }
    case AI_OP_BRANCHGE:
        // Signed greater or equal: S equal to O.
        if (((u->flagsWord & AI_FLAG_SIGN) != 0) == ((u->flagsWord & AI_FLAG_OVERFLOW) != 0))
            return JumpTo(r, static_cast<int64_t>(r.index) + S24(c), op);
        Advance(r);
        return Next::On;
    case AI_OP_HEIGHT:
        *reg = static_cast<int32_t>(o->position.y - static_cast<uint32_t>(terrain_HeightMax4(&o->position)));
        break;
    case AI_OP_ROUTESTEP: {
        OrfRouteStep s{};
        const bool have = CurrentStep(u, &s);
        if (have && s.kind == 1) {
            u->commanded.heading = static_cast<int32_t>(static_cast<uint32_t>(s.heading) << 16);
            SwitchTo(u, AI_PROGRAM_TAKEOFF);
            return Next::On;
        }
        if (have && s.kind != 0) {
            for (_AI_DCB* n = ai_Unit(u->groupNext); n; n = ai_Unit(n->groupNext))
                if (n->aiState == AI_STATE_IDLE) {
                    ai_ProgramPend(&n->object, AI_PROGRAM_TAXI);
                    n->aiState = AI_STATE_GROUND;
                    n->object.aiFlags |= OBJ_AI_RUNNING;
                    break;
                }
        }
        NextStep(u);
        break;
    }
    case AI_OP_TAKEOFFROLL: {
        const AiUnitType* t = TypeOf(u);
        u->aiState = AI_STATE_TAKEOFF;
        if (!t) {
            SetCarry(u, true);
            break;
        }
        o->speed += t->acceleration / 2;
        if (o->speed >= t->takeoffSpeed) {
            plat_SimLog("ai", "takeoff unit=%u", (unsigned)o->missionObject);
            Post(0, o->missionObject, 1);
            ai_GroupAirborne(o);
            u->commanded.pitch = 0x140000;
            u->aiState = AI_STATE_ROUTE;
            o->stateFlags = static_cast<uint8_t>((o->stateFlags & ~OBJ_STATE_WAITING) | OBJ_STATE_AIRBORNE);
            StartedInAir(o, u);
            SetCarry(u, true);
        } else {
            SetCarry(u, false);
        }
        break;
    }
    case AI_OP_WAYPOINTACTION:
        ai_WaypointAction(o);
        break;
    case AI_OP_CRUISE: {
        const AiUnitType* t = TypeOf(u);
        ObjectRecord* leader = u->leader;
        if (u->isMember) {
            const bool free = !leader || (!(o->flags & OBJ_FLAG_WINGMAN) && ai_Unit(leader) &&
                                          ai_Unit(leader)->aiState != AI_STATE_ROUTE);
            ObjectRecord* h = free ? TargetByMode(o, u, 0) : nullptr;
            if (h) {
                o->target = h;
                u->aiState = AI_STATE_ATTACK;
                SwitchTo(u, AI_PROGRAM_ATTACK);
                return Next::On;
            }
            if (leader && leader->group != o->group) {
                u->aiState = AI_STATE_REJOIN;
                SwitchTo(u, AI_PROGRAM_REJOIN);
                return Next::On;
            }
            if (leader) {
                u->aiState = AI_STATE_FOLLOW;
                SwitchTo(u, AI_PROGRAM_FOLLOW);
                return Next::On;
            }
        }
        // A leader, or a member left without one: flies the route itself.
        if (t) u->desiredSpeed = t->cruiseSpeed;
        u->aiState = AI_STATE_ROUTE;
        break;
    }
    case AI_OP_STATE:
        u->aiState = c[1];
        break;
    case AI_OP_DESIREDSPEED: {
        const AiUnitType* t = TypeOf(u);
        if (!t || c[1] == 2 || c[1] > 3) break;
        const int32_t base = c[1] == 0 ? t->maxSpeed : c[1] == 1 ? t->cruiseSpeed : t->cruiseSpeed / 8;
        u->desiredSpeed = static_cast<int32_t>((static_cast<int64_t>(base) * ai_SpeedSkill[u->skill & 3]) >> 16);
        break;
    }
    case AI_OP_PAUSELOAD: {
        const AiUnitType* t = TypeOf(u);
        u->registers[0] =
            t ? static_cast<int32_t>((static_cast<int64_t>(t->pauseLength) * ai_PauseSkill[u->skill & 3]) >> 16) : 0;
        break;
    }
    case AI_OP_RESUME: {
        u->aiState = u->savedState;
        int32_t program = AI_PROGRAM_ROUTE;
        switch (u->aiState) {
        case AI_STATE_FOLLOW: program = AI_PROGRAM_FOLLOW; break;
        case AI_STATE_ATTACK: program = AI_PROGRAM_ATTACK; break;
        case AI_STATE_STRIKE: program = AI_PROGRAM_STRIKE; break;
        case AI_STATE_REJOIN: program = AI_PROGRAM_REJOIN; break;
        default: break;
        }
        SwitchTo(u, program);
        return Next::On;
    }
    case AI_OP_WRAPANGLE: {
        const uint32_t v = static_cast<uint32_t>(*reg) & 0x1FFFFFFu;
        *reg = static_cast<int32_t>(v);
        u->flagsWord = LogicFlags(v);
        break;
    }
    default:
        break;
    }
    Advance(r);
    return Next::On;
}

bool Valid(uint8_t op) { return op <= AI_OP_AREASEARCH && op != 9; }

// A pending program word: one of the entries, else nothing.
bool EntryPc(const void* p, int32_t* pc) {
    for (const Entry& e : g_entries)
        if (p == &e) {
            *pc = e.pc;
            return true;
        }
    if (p == &g_loadedEntry) {
        *pc = g_loadedEntry.pc;
        return true;
    }
    return false;
}

void StructureStep(ObjectRecord* o) {
    o->frameCounter++;
    ai_NearEvents(o);
}

constexpr int8_t kGroundStart[19] = {
    AI_PROGRAM_GUN,       -1,                   AI_PROGRAM_DEFENCE,   AI_PROGRAM_IDLE_LOOP, AI_PROGRAM_FLAK,
    AI_PROGRAM_IDLE,      AI_PROGRAM_AREA,      AI_PROGRAM_IDLE_LOOP, AI_PROGRAM_IDLE_LOOP, AI_PROGRAM_IDLE_LOOP,
    AI_PROGRAM_IDLE,      AI_PROGRAM_IDLE,      AI_PROGRAM_IDLE,      AI_PROGRAM_SOLO_ROUTE, AI_PROGRAM_FOLLOW,
    AI_PROGRAM_ESCORT,    AI_PROGRAM_ASSIST,    AI_PROGRAM_ESCORT,    AI_PROGRAM_GUARD};

}  // namespace

const void* ai_BuiltinProgram(int32_t program) {
    BuildBuiltins();
    return &g_entries[program >= 0 && program < AI_PROGRAMS ? program : AI_PROGRAM_IDLE];
}

void ai_ProgramPend(ObjectRecord* unit, int32_t program) {
    _AI_DCB* u = ai_Unit(unit);
    if (u && program >= 0 && program < AI_PROGRAMS) u->pendingProgram = ai_BuiltinProgram(program);
}

int32_t ai_GroundStartProgram(int32_t subtype) {
    return subtype >= 0 && subtype < static_cast<int32_t>(sizeof kGroundStart) ? kGroundStart[subtype] : -1;
}

const void* ai_ProgramLoad(const uint8_t* commands, int32_t count) {
    if (!commands || count <= 0 || count > 0xFFFF) return nullptr;
    g_blocks[kBlockLoaded].code.assign(commands, commands + static_cast<size_t>(count) * 4);
    g_loadedEntry.pc = Pc(kBlockLoaded, 0);
    return &g_loadedEntry;
}

void ai_ProgramRun(ObjectRecord* o) {
    _AI_DCB* u = ai_Unit(o);
    if (!u) return;
    BuildBuiltins();
    if (u->pendingProgram) {
        int32_t pc = 0;
        if (EntryPc(u->pendingProgram, &pc)) {
            u->programCounter = pc;
            u->returnDepth = 0;
            u->returnAddress = 0;
            plat_SimLog("ai", "program unit=%u program=%s state=%u", o->missionObject, ProgramName(pc), u->aiState);
        }
        u->pendingProgram = nullptr;
    }
    Run r{o, u, nullptr, 0, 0, 0};
    for (;;) {
        const int32_t pc = u->programCounter;
        const int32_t b = PcBlock(pc);
        if (pc == 0) {
            Error(o, "Mission Error!\n\n%s has no AI commands!");
            return;
        }
        if (b != kBlockBuiltin && b != kBlockLoaded) {
            ErrorCommand(o, "jumps outside its program", 0, pc);
            return;
        }
        r.block = &g_blocks[b];
        r.index = PcIndex(pc);
        if (r.index >= r.block->Count()) {
            ErrorCommand(o, "jumps outside its program", 0, r.index);
            return;
        }
        const uint8_t* c = &r.block->code[static_cast<size_t>(r.index) * 4];
        if (!Valid(c[0])) {
            char format[160];
            snprintf(format, sizeof format, "Mission Error!\n\n%%s has an invalid cmd [CMD=%d, SC = %d, LC = %d]!", c[0],
                     r.count, r.lastOp);
            Error(o, format);
            return;
        }
        if (r.count >= AI_RUN_LIMIT) {
            ErrorCommand(o, "runs without a pause", c[0], r.count);
            return;
        }
        r.count++;
        const Next next = Execute(r, c);
        r.lastOp = c[0];
        if (next != Next::On) return;
        // A unit a service took out of the world ends its run.
        if (o->think != ai_UnitThink) return;
    }
}

void ai_ProgramStart(ObjectRecord* o, const void* placed) {
    _AI_DCB* u = ai_Unit(o);
    if (!o || !placed || !u) return;
    BuildBuiltins();
    const uint8_t* record = static_cast<const uint8_t*>(placed);
    OrfAiPart a;
    orf_AiPartDecode(record, &a);
    u->programCounter = 0;
    u->pendingProgram = nullptr;
    u->returnDepth = 0;
    u->flagsWord = AI_FLAG_FIXED;
    ObjectRoutine own = o->think;
    o->think = ai_UnitThink;
    switch (record[17]) {
    case 0:
        o->stateFlags = OBJ_STATE_WAITING;
        if (a.startFlags & ORF_AI_PARKED) {
            u->aiState = AI_STATE_IDLE;
            Pend(u, AI_PROGRAM_IDLE);
        } else if (a.startFlags & ORF_AI_AIRBORNE) {
            if (o->group == AI_PLAYER_GROUP) {
                ai_MissionErrorHandler("Mission Error!\n\nThe player's group cannot start in the air!");
                o->think = nullptr;
                return;
            }
            u->aiState = AI_STATE_ROUTE;
            o->stateFlags = OBJ_STATE_AIRBORNE;
            o->aiFlags |= OBJ_AI_RUNNING;
            Pend(u, AI_PROGRAM_ROUTE);
            StartedInAir(o, u);
        } else if (a.startFlags & ORF_AI_WAITING) {
            u->aiState = AI_STATE_IDLE;
            Pend(u, AI_PROGRAM_IDLE);
        } else {
            const AiUnitType* t = TypeOf(u);
            u->aiState = AI_STATE_GROUND;
            o->aiFlags |= OBJ_AI_RUNNING;
            Pend(u, t ? t->defaultProgram : static_cast<int32_t>(AI_PROGRAM_TAXI));
        }
        break;
    case 1: {
        // Road vehicles keep their own road movement.
        if (own == ai_RoadThink) {
            o->think = own;
            break;
        }
        if (a.startFlags & ORF_AI_PARKED) {
            u->aiState = AI_STATE_IDLE;
            Pend(u, AI_PROGRAM_IDLE);
            break;
        }
        const int32_t program = ai_GroundStartProgram(a.subtype);
        u->aiState = AI_STATE_GROUND;
        o->aiFlags |= OBJ_AI_RUNNING;
        o->category |= OBJ_CATEGORY_AI_PROGRAM;
        if (program < 0) o->think = nullptr;
        else Pend(u, program);
        break;
    }
    case 2:
        o->think = StructureStep;
        break;
    default:
        o->think = own;
        break;
    }
}

void ai_UnitThink(ObjectRecord* o) {
    ai_ProgramRun(o);
    if (o->think != ai_UnitThink) return;
    _AI_DCB* u = ai_Unit(o);
    if (u) u->countermeasure = 0;
    o->frameCounter++;
    o->frame = static_cast<uint8_t>(o->frameCounter >> 3);
    ai_NearEvents(o);
    obj_VelocityFromOrientation(o);
    obj_MotionIntegrate(o);
}
