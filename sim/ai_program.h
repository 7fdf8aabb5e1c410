// The AI command interpreter: every AI unit runs a program of 4-byte
// commands {opcode, b1, b2, b3}, a few commands a frame. The built-in
// programs are command data of one block; a program counter is (block,
// command index), and every jump is checked against its block.
#pragma once
#include <cstdint>

#include "sim/ai.h"

struct ObjectRecord;

// Opcodes.
enum AiOpcode : uint8_t {
    AI_OP_YIELD = 0,
    AI_OP_JUMP = 1,
    AI_OP_CALL = 2,
    AI_OP_RETURN = 3,
    AI_OP_SETFLAGS = 4,
    AI_OP_BRANCHCLEAR = 5,
    AI_OP_BRANCHSET = 6,
    AI_OP_LOAD24 = 7,
    AI_OP_LOAD16 = 8,
    AI_OP_STORE = 10,
    AI_OP_FLYWAYPOINT = 11,
    AI_OP_FIRE = 12,
    AI_OP_WAYPOINT = 13,
    AI_OP_ACQUIRE = 14,
    AI_OP_ATTACK = 15,
    AI_OP_SPEED = 16,
    AI_OP_LEVEL = 17,
    AI_OP_DEC = 18,
    AI_OP_RANDOM = 19,
    AI_OP_STEER = 20,
    AI_OP_LOAD = 21,
    AI_OP_ADD = 22,
    AI_OP_SHIFTLEFT = 23,
    AI_OP_AIM = 24,
    AI_OP_FORMATION = 25,
    AI_OP_TARGET = 26,
    AI_OP_HALT = 27,
    AI_OP_COMPARE = 28,
    AI_OP_BRANCHGE = 29,
    AI_OP_HEIGHT = 30,
    AI_OP_TAXI = 31,
    AI_OP_ROUTESTEP = 32,
    AI_OP_TURNTOSTEP = 33,
    AI_OP_TAKEOFFROLL = 34,
    AI_OP_TURNHEADING = 35,
    AI_OP_WAYPOINTACTION = 36,
    AI_OP_CRUISE = 37,
    AI_OP_DEFEND = 38,
    AI_OP_AAA = 39,
    AI_OP_STATE = 40,
    AI_OP_DESIREDSPEED = 41,
    AI_OP_PAUSELOAD = 42,
    AI_OP_RESUME = 43,
    AI_OP_WRAPANGLE = 44,
    AI_OP_CLIMBOUT = 45,
    AI_OP_BURST = 46,
    AI_OP_LAND = 47,
    AI_OP_FLAK = 48,
    AI_OP_REJOIN = 49,
    AI_OP_AREASEARCH = 50,
};

// Flags word bits.
constexpr int32_t AI_FLAG_CARRY = 0x001;
constexpr int32_t AI_FLAG_PARITY = 0x004;
constexpr int32_t AI_FLAG_AUX = 0x010;
constexpr int32_t AI_FLAG_ZERO = 0x040;
constexpr int32_t AI_FLAG_SIGN = 0x080;
constexpr int32_t AI_FLAG_OVERFLOW = 0x800;
constexpr int32_t AI_FLAG_FIXED = 0x202;   // bits 1 and 9, always set

// Commands one run may execute without a pause before it is a mission error.
constexpr int32_t AI_RUN_LIMIT = 1000;
constexpr int32_t AI_RETURN_DEPTH = 8;

// Stores the program (an AiProgram) as the unit's pending program (units of
// the AI pool only).
void ai_ProgramPend(ObjectRecord* unit, int32_t program);
// The program a ground unit starts by its subtype, or -1 for none.
int32_t ai_GroundStartProgram(int32_t subtype);
// Command data of a program outside the built-in set (tests, fuzzing): the
// one loaded program is replaced by a copy; its address for a pending
// program, or null when the count is 0 or above 0xFFFF.
const void* ai_ProgramLoad(const uint8_t* commands, int32_t count);
// One run of the interpreter on the unit (the first step of ai_UnitThink).
void ai_ProgramRun(ObjectRecord* unit);
