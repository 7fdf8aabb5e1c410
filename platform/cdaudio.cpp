// CD audio. No drive is ever present in the program; the test device keeps
// a table of track lengths and the time of its last play.
#include "platform/cdaudio.h"

#include "platform/timer.h"

namespace {

constexpr int32_t kMaxTracks = 99;

struct TestDevice {
    int32_t present;
    int32_t open;
    int32_t count;
    uint32_t msf[kMaxTracks];
    PlatCdTestLog log;
    uint32_t playLengthMs;
};
TestDevice g_cd;

constexpr uint32_t kDeviceId = 1;

bool Valid(uint32_t device) { return g_cd.present && g_cd.open && device == kDeviceId; }

// Milliseconds from the start of a track to a TMSF position in it.
uint32_t TmsfMs(uint32_t tmsf) {
    uint32_t m = (tmsf >> 8) & 0xFF, s = (tmsf >> 16) & 0xFF, f = (tmsf >> 24) & 0xFF;
    return (m * 60 + s) * 1000 + f * 1000 / 75;
}

}  // namespace

int32_t plat_CdOpen(uint32_t* device) {
    if (!g_cd.present) return PLAT_CD_NODEVICE;
    g_cd.open = 1;
    if (device) *device = kDeviceId;
    return PLAT_CD_NOERROR;
}

int32_t plat_CdClose(uint32_t device) {
    if (!Valid(device)) return PLAT_CD_NOTOPEN;
    g_cd.open = 0;
    g_cd.log.playing = 0;
    return PLAT_CD_NOERROR;
}

int32_t plat_CdTrackLength(uint32_t device, int32_t track, uint32_t* msf) {
    if (!Valid(device)) return PLAT_CD_NOTOPEN;
    if (track < 1 || track > g_cd.count) return PLAT_CD_BADTRACK;
    if (msf) *msf = g_cd.msf[track - 1];
    return PLAT_CD_NOERROR;
}

int32_t plat_CdPlay(uint32_t device, uint32_t from, uint32_t to) {
    if (!Valid(device)) return PLAT_CD_NOTOPEN;
    int32_t track = (int32_t)(from & 0xFF);
    if (track < 1 || track > g_cd.count || (int32_t)(to & 0xFF) != track) return PLAT_CD_BADTRACK;
    uint32_t a = TmsfMs(from), b = TmsfMs(to);
    g_cd.log.plays++;
    g_cd.log.from = from;
    g_cd.log.to = to;
    g_cd.log.playMs = plat_TimeMs();
    g_cd.log.playing = 1;
    g_cd.playLengthMs = b > a ? b - a : 0;
    return PLAT_CD_NOERROR;
}

int32_t plat_CdStop(uint32_t device) {
    if (!Valid(device)) return PLAT_CD_NOTOPEN;
    g_cd.log.stops++;
    g_cd.log.playing = 0;
    return PLAT_CD_NOERROR;
}

void plat_CdTestDevice(const uint32_t* trackMsf, int32_t count) {
    g_cd = TestDevice{};
    if (count <= 0 || !trackMsf) return;
    if (count > kMaxTracks) count = kMaxTracks;
    g_cd.present = 1;
    g_cd.count = count;
    for (int32_t i = 0; i < count; i++) g_cd.msf[i] = trackMsf[i];
}

void plat_CdTestLog(PlatCdTestLog* log) {
    if (g_cd.log.playing && plat_TimeMs() - g_cd.log.playMs >= g_cd.playLengthMs) g_cd.log.playing = 0;
    if (log) *log = g_cd.log;
}
