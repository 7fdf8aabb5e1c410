// MIDI music and CD audio players.
#pragma once
#include <cstdint>

// Message-pump hooks: replay a CD track that has ended; the MIDI watchdog
// (returns 0).
void music_CdTrackPump(void);
int32_t music_MidiPoll(void);
