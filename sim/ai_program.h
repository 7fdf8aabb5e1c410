// The built-in programs of the AI command interpreter, as other code starts
// them on a unit: the program goes into the unit's pending program and the
// unit takes it at its next run.
#pragma once
#include <cstdint>

struct ObjectRecord;

enum AiBuiltinProgram : int32_t {
    AI_PROGRAM_IDLE,
    AI_PROGRAM_ROUTE,
    AI_PROGRAM_FOLLOW,
    AI_PROGRAM_REJOIN,
    AI_PROGRAM_ATTACK,
    AI_PROGRAM_ESCORT,
    AI_PROGRAM_ASSIST,
    AI_PROGRAM_TURN_MINUS_PLUS,   // turn-minus, turn-plus, then attack
    AI_PROGRAM_TURN_PLUS_MINUS,   // turn-plus, turn-minus, then attack
    AI_PROGRAMS
};

// The address of a built-in program, or null for another number.
const void* ai_BuiltinProgram(int32_t program);
// Stores the program as the unit's pending program (units of the AI pool
// only).
void ai_ProgramPend(ObjectRecord* unit, int32_t program);

// A single-player game: the player's aircraft, as it enters, leads its
// group's first member, which becomes its wingman (flag OBJ_FLAG_WINGMAN,
// both engagement bits) and the player's wingman reference.
void ai_WingmanAttach(ObjectRecord* player);
