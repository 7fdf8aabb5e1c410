// The simulation log of headless runs: one line per event,
// "TICK KIND FIELDS", TICK the game-clock tick of the harness. The lines go
// to the file named by KRX_SIMLOG (made anew at the first line), else to
// standard error; runs on another backend write none. Kinds and their
// fields: docs/testing.md.
#pragma once

// Writes one line; the fields are formatted like printf's.
void plat_SimLog(const char* kind, const char* format, ...) __attribute__((format(printf, 2, 3)));
// Closes the file; the next line reads KRX_SIMLOG again (for tests).
void plat_SimLogReset(void);
