// Stand-in until the music players land: no song, no track.
#include "sound/music.h"

void music_CdTrackPump(void) {}
int32_t music_MidiPoll(void) { return 0; }
