// The CD-audio player: plays one track and plays it again once it has
// ended. Nothing in the program opens the device, so the pump finds it idle.
#include "shell/runner.h"
#include "sound/music.h"

MusicCdState music_Cd = {};

namespace {
uint32_t Now(void) { return app_ClockHigh.load(std::memory_order_acquire); }
}  // namespace

int32_t music_CdTrackLength(int32_t track, int32_t* minutes, int32_t* seconds, int32_t* frames) {
    if (!music_Cd.open) return 0;
    uint32_t msf = 0;
    if (plat_CdTrackLength(music_Cd.device, track, &msf) != PLAT_CD_NOERROR) return 0;
    if (minutes) *minutes = (int32_t)(msf & 0xFF);
    if (seconds) *seconds = (int32_t)((msf >> 8) & 0xFF);
    if (frames) *frames = (int32_t)((msf >> 16) & 0xFF);
    return 1;
}

void music_CdStop(void) {
    if (!music_Cd.open) return;
    plat_CdStop(music_Cd.device);
    music_Cd.playing = 0;
}

int32_t music_CdPlayTrack(int32_t track, int32_t repeat) {
    if (!music_Cd.open) return 0;
    if (music_Cd.playing) music_CdStop();
    int32_t m = 0, s = 0, f = 0;
    if (!music_CdTrackLength(track, &m, &s, &f)) return 0;
    music_Cd.repeat = repeat;
    music_Cd.track = track;
    uint32_t t = (uint32_t)track & 0xFF;
    uint32_t to = t | ((uint32_t)m << 8) | ((uint32_t)s << 16) | ((uint32_t)f << 24);
    if (plat_CdPlay(music_Cd.device, t, to) != PLAT_CD_NOERROR) return 0;
    music_Cd.playing = 1;
    // One second more than the track, in clock units.
    music_Cd.trackLength = (uint32_t)((60 * m + s + 1) * 120 + f + f / 2);
    music_Cd.endTime = Now() + music_Cd.trackLength;
    return 1;
}

void music_CdTrackPump(void) {
    if (!music_Cd.repeat || !music_Cd.playing || !(music_Cd.endTime < Now())) return;
    if (music_Cd.trackEndHook) music_Cd.trackEndHook(music_Cd.track);
    if (music_Cd.repeat) music_CdPlayTrack(music_Cd.track, music_Cd.repeat);
}
