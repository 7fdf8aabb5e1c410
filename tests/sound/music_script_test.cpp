// The music-logic script machine: opcodes, call-outs, steps and their
// bursts, starting by name, and the faults that stop a broken script.
#include <gtest/gtest.h>

#include <climits>

#include "music_fixture.h"

namespace {

class ScriptTest : public ::testing::Test {
protected:
    void SetUp() override { test_MusicReset(); }
    void TearDown() override {
        music_ScriptStop();
        music_ScriptFree();
    }
    // Loads and starts a one-program script.
    void Start(const std::string& code) {
        std::vector<uint8_t> image = test_Assemble(test_Program(code));
        ASSERT_NE(music_ScriptLoadImage(image.data(), (uint32_t)image.size()), 0);
        music_ScriptStartAt("T");
        ASSERT_EQ(music_Script.state, MUSIC_SCRIPT_RUNNING);
    }
};

struct ValueCase {
    const char* code;  // leaves one value on the stack
    int32_t expect;
};

TEST_F(ScriptTest, OperationsGiveTheirValues) {
    const ValueCase cases[] = {
        {"push 1\npush 2\nland", -1},
        {"push 1\npush 2\nand", 0},
        {"push 0\npush 2\nland", 0},
        {"push 0\npush 2\nlor", -1},
        {"push 0\npush 0\nlor", 0},
        {"push 6\npush 3\nor", 7},
        {"push 6\npush 3\nxor", 5},
        {"push 7\npush 9\nsub", -2},
        {"pushw 0x7FFFFFFF\npush 1\nadd", INT32_MIN},
        {"pushw 0x10000\npushw 0x10000\nmul", 0},
        {"pushw -7\npush 2\ndiv", -3},
        {"pushw -7\npush 2\nmod", -1},
        {"push 7\npushw -2\nmod", 1},
        {"pushw 0x80000000\npushw -1\ndiv", INT32_MIN},
        {"pushw 0x80000000\npushw -1\nmod", 0},
        {"push 1\npush 33\nshl", 2},
        {"pushw -8\npush 1\nshr", -4},
        {"pushw -8\npush 33\nshr", -4},
        {"push 5\nneg", -5},
        {"push 0\nnot", -1},
        {"push 0\nlnot", -1},
        {"push 3\nlnot", 0},
        {"pushw -1\npush 1\nlt", -1},
        {"pushw -1\npush 1\ngt", 0},
        {"push 2\npush 2\nge", -1},
        {"push 2\npush 2\nle", -1},
        {"push 2\npush 2\neq", -1},
        {"push 2\npush 2\nne", 0},
        {"push 200\npush 300\nout 0\nadd", 500},
        {"out 2\nout 7\nadd", 9},
        {"push 9\npush 9\nout 1", 9},
    };
    for (const ValueCase& c : cases) {
        Start(std::string(c.code) + "\nstg 0\nyield");
        music_ScriptStep();
        EXPECT_EQ(music_Script.fault, 0) << c.code;
        EXPECT_EQ(test_Global(0), c.expect) << c.code;
    }
}

TEST_F(ScriptTest, RandomStaysInItsInclusiveRange) {
    Start("again:\npush 3\npush 5\nout 1\nstg 0\nyield\njmp again");
    bool seen[3] = {};
    for (int i = 0; i < 200; i++) {
        music_ScriptStep();
        int32_t v = test_Global(0);
        ASSERT_GE(v, 3);
        ASSERT_LE(v, 5);
        seen[v - 3] = true;
    }
    EXPECT_TRUE(seen[0] && seen[1] && seen[2]);
    // Reversed bounds still give lo plus a remainder that is never negative.
    Start("push 10\npush 4\nout 1\nstg 0\nyield");
    music_ScriptStep();
    EXPECT_GE(test_Global(0), 10);
}

TEST_F(ScriptTest, VariablesAddressesAndCopies) {
    // Opcode 6 takes two operand bytes: 99 would be an unknown opcode.
    Start("push 77\nstl 4\nbyte 6 4 99\ncpyg 0 4\n"
          "byte 5 8\ncpyl 0 4\n"  // opcode 5 takes one
          "incg 20\nincg 20\ndecg 24\nincl 8\ndecl 8\ndecl 8\n"
          "push 1\npush 2\npush 3\nargs 3\n"
          "yield");
    music_ScriptStep();
    ASSERT_EQ(music_Script.fault, 0);
    EXPECT_EQ(test_Global(0), 77);
    EXPECT_EQ(test_Local(0), 0);  // global word 2, still 0
    EXPECT_EQ(test_Global(5), 2);
    EXPECT_EQ(test_Global(6), -1);
    EXPECT_EQ(test_Local(2), -1);
    EXPECT_EQ(test_Local(4), 1);  // parameters from local byte 16, first pushed first
    EXPECT_EQ(test_Local(5), 2);
    EXPECT_EQ(test_Local(6), 3);
}

TEST_F(ScriptTest, ConstantsAreCopiedFromTheScript) {
    std::vector<uint8_t> image = test_Assemble(
        "program T\nglobals 64\nlocals 16\nentry main\nconst table\n"
        "main:\nadrc 0\ncpyg 4 12\nyield\ntable:\nword 10 20 30\n");
    ASSERT_NE(music_ScriptLoadImage(image.data(), (uint32_t)image.size()), 0);
    music_ScriptStartAt("T");
    music_ScriptStep();
    ASSERT_EQ(music_Script.fault, 0);
    EXPECT_EQ(test_Global(1), 10);
    EXPECT_EQ(test_Global(2), 20);
    EXPECT_EQ(test_Global(3), 30);
}

TEST_F(ScriptTest, CallsReturnWithinAStep) {
    Start("gosub sub\npush 9\nstg 4\nyield\nsub:\npush 5\nstg 0\nret");
    music_ScriptStep();
    EXPECT_EQ(test_Global(0), 5);
    EXPECT_EQ(test_Global(1), 9);
    EXPECT_EQ(music_Script.state, MUSIC_SCRIPT_RUNNING);
}

TEST_F(ScriptTest, ASubroutineThatYieldsLosesItsReturn) {
    Start("gosub sub\npush 9\nstg 4\nyield\nsub:\nyield\nret");
    music_ScriptStep();
    EXPECT_EQ(music_Script.state, MUSIC_SCRIPT_RUNNING);
    music_ScriptStep();  // the return finds an empty return stack: the script ends
    EXPECT_EQ(music_Script.state, MUSIC_SCRIPT_IDLE);
    EXPECT_EQ(music_Script.fault, 0);
    EXPECT_EQ(music_Script.vars, nullptr);
}

TEST_F(ScriptTest, AStepEndsAfter32OpcodesAtAnEmptyStack) {
    // Six opcodes a turn: after 32 the stack holds two values, so the step
    // runs on through "add" and "stg" and ends there.
    Start("loop:\npush 1\npush 2\nadd\nstg 4\nincg 0\njmp loop");
    music_ScriptStep();
    EXPECT_EQ(test_Global(0), 5);
    EXPECT_EQ(test_Global(1), 3);
    music_ScriptStep();  // resumes at "incg"
    EXPECT_EQ(test_Global(0), 6 + 5);
}

TEST_F(ScriptTest, EntryPointsAndRestart) {
    std::vector<uint8_t> image = test_Assemble(
        "program T\nglobals 16\nlocals 16\nentry first\nentry second\nstart 1\n"
        "first:\nincg 0\nrestart\n"
        "second:\nincg 4\ngoentry 0\n");
    ASSERT_NE(music_ScriptLoadImage(image.data(), (uint32_t)image.size()), 0);
    music_ScriptStartAt("T");
    EXPECT_EQ(music_Script.entryIndex, 1);
    music_ScriptStep();
    EXPECT_EQ(music_Script.entryIndex, 0);
    EXPECT_EQ(test_Global(1), 1);
    music_ScriptStep();
    EXPECT_EQ(music_Script.entryIndex, 1);
    EXPECT_EQ(test_Global(0), 1);
}

struct FaultCase {
    const char* code;
    int32_t fault;
};

TEST_F(ScriptTest, BrokenScriptsStopTheMachine) {
    const FaultCase cases[] = {
        {"add", MUSIC_FAULT_STACK},
        {"stg 0", MUSIC_FAULT_STACK},
        {"loop:\npush 1\njmp loop", MUSIC_FAULT_STACK},
        {"push 1\nloop:\ngosub loop", MUSIC_FAULT_STACK},
        {"args 3", MUSIC_FAULT_STACK},
        {"byte 48\nword 100000", MUSIC_FAULT_JUMP},
        {"byte 52\nword 0", MUSIC_FAULT_JUMP},  // into the header
        {"goentry 5", MUSIC_FAULT_JUMP},
        {"push 1\npush 0\ndiv", MUSIC_FAULT_DIVIDE},
        {"push 1\npush 0\nmod", MUSIC_FAULT_DIVIDE},
        {"adrg 0\ncpyg 8 3", MUSIC_FAULT_COPY},
        {"adrg 0\ncpyg 8 0", MUSIC_FAULT_COPY},
        {"push 1\nargs 0", MUSIC_FAULT_COPY},
        {"byte 64", MUSIC_FAULT_OPCODE},
        {"byte 255", MUSIC_FAULT_OPCODE},
        {"out 10", MUSIC_FAULT_CALLOUT},
        {"push 1\nloop:\nincg 0\njmp loop", MUSIC_FAULT_LIMIT},
        {"push 5\ncpyg 0 4", MUSIC_FAULT_ADDRESS},
        {"self\ncpyg 0 4", MUSIC_FAULT_ADDRESS},
        {"adrg 60\ncpyg 0 8", MUSIC_FAULT_ADDRESS},  // runs past the globals
        {"ldg 64", MUSIC_FAULT_ADDRESS},
        {"adrc 0", MUSIC_FAULT_ADDRESS},  // no constants
    };
    for (const FaultCase& c : cases) {
        Start(c.code);
        music_ScriptStep();
        EXPECT_EQ(music_Script.fault, c.fault) << c.code;
        EXPECT_EQ(music_Script.state, MUSIC_SCRIPT_IDLE) << c.code;
        music_ScriptStep();  // idle: nothing
    }
}

TEST_F(ScriptTest, StartTakesTheExactNameElseProgramZero) {
    std::vector<uint8_t> image = test_Assemble(test_Program("push 1\nstg 0\nyield", "First") +
                                               test_Program("push 2\nstg 0\nyield", "Second"));
    ASSERT_NE(music_ScriptLoadImage(image.data(), (uint32_t)image.size()), 0);
    EXPECT_EQ(music_ScriptProgramCount(), 2);
    const std::pair<const char*, int32_t> cases[] = {{"Second", 2}, {"second", 1}, {"First", 1}, {"", 1}};
    for (auto& c : cases) {
        music_ScriptStartAt(c.first);
        music_ScriptStep();
        EXPECT_EQ(test_Global(0), c.second) << c.first;
    }
    // Variables start at zero at every start.
    music_ScriptStartAt("Second");
    EXPECT_EQ(test_Global(0), 0);
}

TEST_F(ScriptTest, VariablesFromOutside) {
    Start("ldg 4\nstg 8\nyield");
    music_ScriptVarSet(1, 42);
    music_ScriptVarSet(16, 5);   // past the globals: nothing
    music_ScriptVarSet(-1, 5);
    music_ScriptStep();
    EXPECT_EQ(test_Global(2), 42);
    music_ScriptStop();
    music_ScriptVarSet(1, 1);  // no variable block: nothing
}

TEST_F(ScriptTest, LoadingAndChecksum) {
    const uint8_t plain[] = {1, 2};
    ASSERT_NE(music_ScriptLoadImage(plain, 2), 0);  // no magic: loads, starts nothing
    EXPECT_EQ(music_ScriptChecksum(), 8u);          // (1 rotl 1 = 2; 2+2 rotl 1 = 8)
    music_ScriptStartAt("T");
    EXPECT_EQ(music_Script.state, MUSIC_SCRIPT_IDLE);
    music_ScriptFree();
    EXPECT_EQ(music_ScriptChecksum(), 0u);
    EXPECT_EQ(music_ScriptOpen("NOSUCH.BIN"), 0);

    // Damaged images are refused whole.
    std::vector<uint8_t> good = test_Assemble(test_Program("yield"));
    struct Damage {
        size_t at;
        uint32_t value;
    } damage[] = {{8, 257}, {12, 0xFFFFFF00}, {16, 0xFFFFFF00}, {16 + 4 + 36, 0xFFFF}, {16 + 4 + 40, 0x40000000}};
    for (const Damage& d : damage) {
        std::vector<uint8_t> bad = good;
        for (int i = 0; i < 4; i++) bad[d.at + i] = (uint8_t)(d.value >> (8 * i));
        EXPECT_EQ(music_ScriptLoadImage(bad.data(), (uint32_t)bad.size()), 0) << d.at;
    }
    std::vector<uint8_t> cut(good.begin(), good.begin() + 40);
    EXPECT_EQ(music_ScriptLoadImage(cut.data(), (uint32_t)cut.size()), 0);
}

TEST(MusicAssembler, ReportsTheLineOfAnError) {
    const std::pair<const char*, const char*> cases[] = {
        {"program T\nentry main\nmain:\n  frob 1\n", "line 4"},
        {"program T\nentry main\nmain:\n  jmp nowhere\n", "line 4"},
        {"program T\nentry main\nmain:\n  push\n", "line 4"},
        {"program T\nentry main\nmain:\n  ldg 256\n", "line 4"},
        {"push 1\n", "line 1"},
        {"program T\nmain:\nyield\n", "no entry point"},
        {"program T\nentry main\nstart 1\nmain:\nyield\n", "start entry point"},
        {"program ThisNameIsTooLong\n", "line 1"},
    };
    for (auto& c : cases) {
        std::vector<uint8_t> image;
        std::string error;
        EXPECT_EQ(mkdata_MusicAssemble(c.first, &image, &error), -1) << c.first;
        EXPECT_NE(error.find(c.second), std::string::npos) << error;
    }
}

}  // namespace
