// The AI command interpreter: the run loop, flags and branches, calls, the
// mission errors, the start by kind and the built-in programs on real units.
#include <array>
#include <deque>
#include <string>
#include <vector>

#include "ai_fixture.h"
#include "sim/ai_program.h"

namespace {

using Cmd = std::array<uint8_t, 4>;
Cmd Op(uint8_t op, uint8_t b1 = 0, uint8_t b2 = 0, uint8_t b3 = 0) { return {op, b1, b2, b3}; }
// A relative jump or branch by n commands in its 24- or 16-bit operand.
Cmd Rel24(uint8_t op, int32_t n) { return {op, static_cast<uint8_t>(n >> 16), static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)}; }
Cmd Rel16(uint8_t op, uint8_t mask, int32_t n) { return {op, mask, static_cast<uint8_t>(n >> 8), static_cast<uint8_t>(n)}; }

class AiProgram : public AiEnv {
protected:
    AiProgram() : AiEnv(64, 0) {}

    // A unit of the given kind made from a placed record.
    ObjectRecord* Make(uint8_t kind, uint8_t subtype, uint8_t startFlags, uint8_t group = 1, uint8_t member = 0) {
        ObjectRecord* o = net_DcbPoolTake(&level_ServerArrays.ai);
        if (!o) return nullptr;
        o->position = FixWorldPos{0x10000000u, 0x1000000u, 0x10000000u};
        o->missionObject = static_cast<uint16_t>(records.size() + 1);
        std::array<uint8_t, ORF_PLACED_SIZE> r{};
        r[13] = 4;
        r[14] = 1;
        r[17] = kind;
        uint8_t* a = r.data() + ORF_PLACED_AI;
        a[0] = subtype;
        a[1] = group;
        a[2] = ORF_AI_NONE;
        a[3] = 0;
        a[5] = startFlags;
        a[6] = 3;
        a[7] = member;
        records.push_back(r);
        ai_InitObjectByKind(o, records.back().data());
        obj_TypeListPush(o);
        return o;
    }
    // An airborne aircraft running the given commands.
    ObjectRecord* Running(const std::vector<Cmd>& program) {
        ObjectRecord* o = Make(0, 0, ORF_AI_AIRBORNE);
        EXPECT_NE(o, nullptr);
        std::vector<uint8_t> bytes;
        for (const Cmd& c : program) bytes.insert(bytes.end(), c.begin(), c.end());
        U(o)->pendingProgram = ai_ProgramLoad(bytes.data(), static_cast<int32_t>(program.size()));
        return o;
    }
    static int32_t Index(ObjectRecord* o) { return U(o)->programCounter & 0xFFFF; }
};

TEST_F(AiProgram, YieldsRunOneCommandAFrameAndOtherCommandsRunOn) {
    ObjectRecord* o = Running({Op(AI_OP_YIELD), Op(AI_OP_YIELD), Op(AI_OP_LOAD16, 1, 0, 5), Op(AI_OP_LOAD16, 2, 0, 6),
                               Op(AI_OP_YIELD), Op(AI_OP_HALT)});
    for (int32_t expected : {1, 2, 5, 5, 5}) {
        ai_ProgramRun(o);
        EXPECT_EQ(Index(o), expected);
    }
    EXPECT_EQ(U(o)->registers[1], 5);
    EXPECT_EQ(U(o)->registers[2], 6);
    EXPECT_TRUE(missionErrors.empty());
}

TEST_F(AiProgram, BranchClearRepeatsAServiceOnceAFrameUntilDone) {
    // The heading turns at most 0xC000 a frame: 0x30000 takes four frames.
    ObjectRecord* o = Running({Op(AI_OP_TURNHEADING), Op(AI_OP_YIELD), Rel16(AI_OP_BRANCHCLEAR, 1, -2), Op(AI_OP_HALT)});
    o->angles.heading = 0;
    U(o)->commanded.heading = 0x30000;
    int32_t frames = 0;
    while (Index(o) != 3 && frames < 10) {
        ai_ProgramRun(o);
        frames++;
    }
    EXPECT_EQ(o->angles.heading, 0x30000);
    // Four turning frames, and the frame whose branch sees the done flag.
    EXPECT_EQ(frames, 5);
}

TEST_F(AiProgram, FlagsAndBranches) {
    // SETFLAGS 1, 1 sets the carry alone.
    ObjectRecord* o = Running({Op(AI_OP_SETFLAGS, 1, 1), Op(AI_OP_HALT)});
    U(o)->flagsWord = AI_FLAG_FIXED | AI_FLAG_ZERO;
    ai_ProgramRun(o);
    EXPECT_EQ(U(o)->flagsWord, AI_FLAG_FIXED | AI_FLAG_ZERO | AI_FLAG_CARRY);

    // COMPARE r0, r1 then BRANCHGE over a marker: signed greater or equal.
    struct Case {
        int32_t a, b;
        bool jumps;
    } cases[] = {
        {5, 3, true}, {3, 5, false}, {4, 4, true}, {0x7FFFFFFF, -1, true}, {INT32_MIN, 1, false}, {-1, 0x7FFFFFFF, false},
    };
    for (const Case& c : cases) {
        ObjectRecord* u = Running({Op(AI_OP_COMPARE, 0, 1), Rel24(AI_OP_BRANCHGE, 2), Op(AI_OP_LOAD16, 2, 0, 1),
                                   Op(AI_OP_HALT)});
        U(u)->registers[0] = c.a;
        U(u)->registers[1] = c.b;
        U(u)->registers[2] = 0;
        ai_ProgramRun(u);
        EXPECT_EQ(U(u)->registers[2] == 0, c.jumps) << c.a << " - " << c.b;
    }
}

TEST_F(AiProgram, ArithmeticSetsTheConditionBits) {
    struct Case {
        Cmd op;
        int32_t r0, r1;
        int32_t result;
        int32_t flags;  // less the fixed bits
    } cases[] = {
        {Op(AI_OP_DEC, 0), 1, 0, 0, AI_FLAG_ZERO | AI_FLAG_PARITY},
        {Op(AI_OP_DEC, 0), INT32_MIN, 0, INT32_MAX, AI_FLAG_OVERFLOW | AI_FLAG_PARITY | AI_FLAG_AUX},
        {Op(AI_OP_ADD, 0, 1), -1, 1, 0, AI_FLAG_CARRY | AI_FLAG_ZERO | AI_FLAG_PARITY | AI_FLAG_AUX},
        {Op(AI_OP_ADD, 0, 1), INT32_MAX, 1, INT32_MIN, AI_FLAG_SIGN | AI_FLAG_OVERFLOW | AI_FLAG_PARITY | AI_FLAG_AUX},
        {Op(AI_OP_SHIFTLEFT, 0, 1), static_cast<int32_t>(0xC0000001u), 0, static_cast<int32_t>(0x80000002u),
         AI_FLAG_CARRY | AI_FLAG_SIGN},
        {Op(AI_OP_WRAPANGLE, 0), -1, 0, 0x1FFFFFF, AI_FLAG_PARITY},
        {Op(AI_OP_COMPARE, 0, 1), 3, 5, 3, AI_FLAG_CARRY | AI_FLAG_SIGN | AI_FLAG_AUX},
    };
    for (const Case& c : cases) {
        ObjectRecord* o = Running({c.op, Op(AI_OP_HALT)});
        U(o)->registers[0] = c.r0;
        U(o)->registers[1] = c.r1;
        ai_ProgramRun(o);
        EXPECT_EQ(U(o)->registers[0], c.result) << int(c.op[0]);
        EXPECT_EQ(U(o)->flagsWord, c.flags | AI_FLAG_FIXED) << int(c.op[0]) << " " << c.r0;
    }
    // A shift by 0 leaves the flags.
    ObjectRecord* o = Running({Op(AI_OP_SHIFTLEFT, 0, 0), Op(AI_OP_HALT)});
    U(o)->flagsWord = AI_FLAG_FIXED | AI_FLAG_CARRY;
    ai_ProgramRun(o);
    EXPECT_EQ(U(o)->flagsWord, AI_FLAG_FIXED | AI_FLAG_CARRY);
}

TEST_F(AiProgram, CallsNestAndReturnAfterTheCall) {
    // 0 CALL 3; 1 LOAD16 r3 9; 2 HALT; 3 CALL 2; 4 RETURN; 5 LOAD16 r1 7; 6 RETURN
    ObjectRecord* o = Running({Rel24(AI_OP_CALL, 3), Op(AI_OP_LOAD16, 3, 0, 9), Op(AI_OP_HALT), Rel24(AI_OP_CALL, 2),
                               Op(AI_OP_RETURN), Op(AI_OP_LOAD16, 1, 0, 7), Op(AI_OP_RETURN)});
    ai_ProgramRun(o);
    EXPECT_TRUE(missionErrors.empty()) << missionErrors[0];
    EXPECT_EQ(Index(o), 2);
    EXPECT_EQ(U(o)->registers[1], 7);
    EXPECT_EQ(U(o)->registers[3], 9);
    EXPECT_EQ(U(o)->returnDepth, 0);
}

TEST_F(AiProgram, BadProgramsEndInMissionErrors) {
    struct Case {
        std::vector<Cmd> program;
        const char* text;
    } cases[] = {
        {{Op(AI_OP_LOAD16, 0, 0, 1), Op(9)}, " has an invalid cmd [CMD=9, SC = 1, LC = 8]!"},
        {{Op(51)}, " has an invalid cmd [CMD=51, SC = 0, LC = 0]!"},
        {{Op(AI_OP_YIELD), Op(255)}, " has an invalid cmd [CMD=255, SC = 0, LC = 0]!"},
        {{Rel24(AI_OP_JUMP, 5)}, " jumps outside its program"},
        {{Rel16(AI_OP_BRANCHCLEAR, 1, -1)}, " jumps outside its program"},
        {{Op(AI_OP_RETURN)}, " returns without a call"},
        {{Rel24(AI_OP_CALL, 0)}, " calls too deep"},
        {{Rel24(AI_OP_JUMP, 0)}, " runs without a pause"},
        {{Op(AI_OP_LOAD16, 0, 0, 1), Op(AI_OP_STORE, 0, 0x7F, 0xFF)}, " has a bad field offset"},
        {{Op(AI_OP_LOAD, 0, 0x00, 0xa4)}, " has a bad field offset"},  // an object, not a number
    };
    for (const Case& c : cases) {
        missionErrors.clear();
        ObjectRecord* o = Running(c.program);
        for (int i = 0; i < 3 && o->think; i++) ai_UnitThink(o);
        ASSERT_EQ(missionErrors.size(), 1u) << c.text;
        EXPECT_EQ(missionErrors[0].rfind("Mission Error!\n\n", 0), 0u);
        EXPECT_NE(missionErrors[0].find(c.text), std::string::npos) << missionErrors[0];
        EXPECT_EQ(o->think, nullptr);
    }
    // A unit without a program.
    missionErrors.clear();
    ObjectRecord* o = Make(0, 0, ORF_AI_AIRBORNE);
    U(o)->pendingProgram = nullptr;
    ai_UnitThink(o);
    ASSERT_EQ(missionErrors.size(), 1u);
    EXPECT_NE(missionErrors[0].find(" has no AI commands!"), std::string::npos);
}

TEST_F(AiProgram, StartByKind) {
    struct Case {
        uint8_t kind, subtype, startFlags;
        int32_t program;  // -1: no think routine
        uint8_t state;
        uint8_t stateFlags;
    } cases[] = {
        {0, 0, ORF_AI_PARKED, AI_PROGRAM_IDLE, AI_STATE_IDLE, OBJ_STATE_WAITING},
        {0, 0, ORF_AI_AIRBORNE, AI_PROGRAM_ROUTE, AI_STATE_ROUTE, OBJ_STATE_AIRBORNE},
        {0, 0, ORF_AI_WAITING, AI_PROGRAM_IDLE, AI_STATE_IDLE, OBJ_STATE_WAITING},
        {0, 0, 0, ai_UnitTypes[0].defaultProgram, AI_STATE_GROUND, OBJ_STATE_WAITING},
        {1, 2, 0, AI_PROGRAM_DEFENCE, AI_STATE_GROUND, 0},
        {1, 4, 0, AI_PROGRAM_FLAK, AI_STATE_GROUND, 0},
        {1, 1, 0, -1, AI_STATE_GROUND, 0},
        {1, 4, ORF_AI_PARKED, AI_PROGRAM_IDLE, AI_STATE_IDLE, 0},
    };
    for (const Case& c : cases) {
        ObjectRecord* o = Make(c.kind, c.subtype, c.startFlags, static_cast<uint8_t>(1 + records.size()));
        ASSERT_NE(o, nullptr);
        SCOPED_TRACE(std::to_string(c.kind) + "/" + std::to_string(c.subtype) + "/" + std::to_string(c.startFlags));
        EXPECT_EQ(U(o)->aiState, c.state);
        if (c.program < 0) {
            EXPECT_EQ(o->think, nullptr);
        } else {
            EXPECT_EQ(o->think, ai_UnitThink);
            EXPECT_EQ(U(o)->pendingProgram, ai_BuiltinProgram(c.program));
        }
        if (c.kind == 0) {
            EXPECT_EQ(o->stateFlags, c.stateFlags);
        }
        if (c.kind == 1 && c.startFlags == 0) {
            EXPECT_TRUE(o->category & OBJ_CATEGORY_AI_PROGRAM);
        }
    }
    EXPECT_TRUE(missionErrors.empty());
    // The player's group cannot start in the air.
    ObjectRecord* o = Make(0, 0, ORF_AI_AIRBORNE, AI_PLAYER_GROUP);
    ASSERT_EQ(missionErrors.size(), 1u);
    EXPECT_NE(missionErrors[0].find("player's group cannot start in the air"), std::string::npos);
    EXPECT_EQ(o->think, nullptr);
}

TEST_F(AiProgram, EveryBuiltinProgramRunsOnAnAirborneUnitWithoutError) {
    // A member of a group in the air, so that formation flying has a leader.
    for (int32_t p = 0; p < AI_PROGRAMS; p++) {
        missionErrors.clear();
        ObjectRecord* lead = Make(0, 0, ORF_AI_AIRBORNE, 3, 0);
        ObjectRecord* o = Make(0, 0, ORF_AI_AIRBORNE, 3, 1);
        ASSERT_TRUE(lead && o);
        ai_LinkWaygroups();
        o->position.y = 0x4000000;
        U(o)->savedState = AI_STATE_ROUTE;
        ai_ProgramPend(o, p);
        for (int i = 0; i < 400 && o->think; i++) ai_UnitThink(o);
        EXPECT_TRUE(missionErrors.empty()) << p << ": " << (missionErrors.empty() ? "" : missionErrors[0]);
        EXPECT_EQ(o->think, ai_UnitThink) << p;
        EXPECT_LE(U(o)->returnDepth, 2) << p;
        ai_ClearModuleData();
    }
}

TEST_F(AiProgram, AnEvasiveManoeuvreEndsByResumingTheSavedState) {
    ObjectRecord* o = Make(0, 0, ORF_AI_AIRBORNE, 3);
    o->position.y = 0x4000000;
    U(o)->savedState = AI_STATE_ROUTE;
    U(o)->aiState = AI_STATE_EVADE;
    ai_ProgramPend(o, AI_PROGRAM_EVADE0 + 5);
    for (int i = 0; i < 2000 && U(o)->aiState == AI_STATE_EVADE; i++) ai_UnitThink(o);
    EXPECT_EQ(U(o)->aiState, AI_STATE_ROUTE);
    EXPECT_EQ(U(o)->returnDepth, 0);
    EXPECT_TRUE(missionErrors.empty());
}

TEST_F(AiProgram, TakeOffRollLeavesTheGroundAtTakeOffSpeed) {
    ObjectRecord* o = Running({Op(AI_OP_TAKEOFFROLL), Op(AI_OP_YIELD), Rel16(AI_OP_BRANCHCLEAR, 1, -2), Op(AI_OP_HALT)});
    o->stateFlags = OBJ_STATE_WAITING;
    o->speed = 0;
    U(o)->aiState = AI_STATE_GROUND;
    for (int i = 0; i < 5000 && Index(o) != 3; i++) ai_ProgramRun(o);
    EXPECT_GE(o->speed, ai_UnitTypes[0].takeoffSpeed);
    EXPECT_EQ(U(o)->aiState, AI_STATE_ROUTE);
    EXPECT_EQ(o->stateFlags & OBJ_STATE_AIRBORNE, OBJ_STATE_AIRBORNE);
    EXPECT_EQ(U(o)->commanded.pitch, 0x140000);
}

}  // namespace
