// Starting one of the command interpreter's built-in programs on a unit:
// the program goes into the unit's pending program and the unit takes it at
// its next run.
#pragma once
#include <cstdint>

#include "sim/ai.h"

struct ObjectRecord;

// Stores the program (an AiProgram) as the unit's pending program (units of
// the AI pool only).
void ai_ProgramPend(ObjectRecord* unit, int32_t program);
