// The AI, trigger and counter pages' own helpers (the pages themselves are
// declared with the overlay conventions in debug/dbgoverlay.h).
#pragma once
#include <cstddef>
#include <cstdint>

// The text of the AI name table for an AI state (0..10), a patrol value
// (0, 1) or a range value (1..3); "?" for a value outside its names.
const char* dbg_AiStateName(uint32_t state);
const char* dbg_AiPatrolName(uint32_t patrol);
const char* dbg_AiRangeName(uint32_t range);

// The trigger page's line for the 76-byte trigger record, written into the
// buffer: "TRIGGER n =   " and one mark per condition record walked (at
// most the record's four), then "-".
void dbg_TriggerLineFormat(const uint8_t* trigger, int32_t index, char* buffer, size_t size);
// The first trigger shown for the scroll index and the trigger count; the
// index brought into range (stepped back by 20 past the end, negative
// values 0).
int32_t dbg_TriggerFirstShown(int32_t scroll, int32_t count);

// Shows (1) or hides (0) the trigger page: its selector byte and the input
// layer's list mode together, so that the zoom keys scroll the page while
// it shows.
void dbg_TriggerPageShow(int32_t on);
