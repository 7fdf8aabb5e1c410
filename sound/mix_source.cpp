// Positional sound sources: the table, the listener and the passes that
// hand the mixer's source voices to the loudest audible sources.
#include <cmath>
#include <cstring>

#include "sound/mix.h"

MixSourceTable mix_SourceTable;

namespace {

MixSourceTable& T = mix_SourceTable;

int32_t DefaultAttenuation(int32_t distance) {
    int32_t d = distance >> 11;
    return 255 - (d < 0 ? 0 : d > 255 ? 255 : d);
}

// Without a camera there is no frame to turn the offset into: ahead.
int32_t DefaultDirection(int32_t, int32_t, int32_t, int32_t) { return 0; }

int32_t Offset(int32_t position, int32_t listener) { return (int32_t)((uint32_t)position - (uint32_t)listener); }

// A negative offset's size is taken as its ones' complement.
uint32_t Magnitude(int32_t d) { return d < 0 ? (uint32_t)~d : (uint32_t)d; }

// Largest plus 5/16 of the other two.
uint64_t ApproxDistance(uint32_t a, uint32_t b, uint32_t c) {
    uint32_t big = a, s1 = b, s2 = c;
    if (b > big) big = b, s1 = a, s2 = c;
    if (c > big) big = c, s1 = a, s2 = b;
    return big + ((5 * ((uint64_t)s1 + s2)) >> 4);
}

int32_t Saturate(uint64_t v) { return v > 0x7FFFFFFF ? 0x7FFFFFFF : (int32_t)v; }

void Direction(SndSource& s) {
    int32_t dx = Offset(s.x, T.listenerX), dy = Offset(s.y, T.listenerY), dz = Offset(s.z, T.listenerZ);
    int32_t d = Saturate(ApproxDistance(Magnitude(dx), Magnitude(dy), Magnitude(dz)));
    s.direction = (uint8_t)T.direction(dx, dy, dz, d);
}

SndSource* Find(int32_t id) {
    if (id == 0) return nullptr;
    for (int32_t i = 0; i < T.count; i++)
        if (T.sources[i].id == id) return &T.sources[i];
    return nullptr;
}

// Euclidean, rounded to the nearest integer (halves to even).
double Distance(int32_t dx, int32_t dy, int32_t dz) {
    return std::nearbyint(std::sqrt((double)dx * dx + (double)dy * dy + (double)dz * dz));
}

int32_t DopplerPitch(SndSource& s) {
    double d1 = Distance(Offset(s.x, T.listenerX), Offset(s.y, T.listenerY), Offset(s.z, T.listenerZ));
    int32_t nx = (int32_t)((uint32_t)s.x + (uint32_t)s.vx), ny = (int32_t)((uint32_t)s.y + (uint32_t)s.vy),
            nz = (int32_t)((uint32_t)s.z + (uint32_t)s.vz);
    int32_t lx = (int32_t)((uint32_t)T.listenerX + (uint32_t)T.motionX),
            ly = (int32_t)((uint32_t)T.listenerY + (uint32_t)T.motionY),
            lz = (int32_t)((uint32_t)T.listenerZ + (uint32_t)T.motionZ);
    double d2 = Distance(Offset(nx, lx), Offset(ny, ly), Offset(nz, lz));
    int64_t delta = (int64_t)(d2 - d1);
    int64_t scaled = delta * 11;
    int64_t step = scaled >= 0 ? scaled / 64 : -((-scaled + 63) / 64);  // floor
    int64_t factor = 0x10000 - step;
    if (factor < 0x4000) factor = 0x4000;
    int64_t target = ((int64_t)s.pitch * factor) >> 16;
    int64_t smoothed = (3 * target + s.smoothedPitch) >> 2;
    if (smoothed > 0x7FFFFFFF) smoothed = 0x7FFFFFFF;
    if (smoothed < INT32_MIN) smoothed = INT32_MIN;
    s.smoothedPitch = (int32_t)smoothed;
    return s.smoothedPitch;
}

void Audibility(void) {
    T.audibleCount = 0;
    for (int32_t i = 0; i < T.count && T.audibleCount < MIX_SOURCE_AUDIBLE; i++) {
        SndSource& s = T.sources[i];
        if (!s.sample || (s.flags & MIX_SOURCE_MUTED)) continue;
        uint32_t ax = Magnitude(Offset(s.x, T.listenerX)), ay = Magnitude(Offset(s.y, T.listenerY)),
                 az = Magnitude(Offset(s.z, T.listenerZ));
        int64_t radius = s.radius;
        if ((int64_t)ax > radius || (int64_t)ay > radius || (int64_t)az > radius) continue;
        uint64_t d = ApproxDistance(ax, ay, az);
        if ((int64_t)d > radius) continue;
        s.distance = Saturate(d);
        // Values beyond a byte count as full (or none): a near source must
        // not fall silent because its factor reached 256.
        int32_t factor = T.attenuation(s.distance);
        factor = factor < 0 ? 0 : factor > 255 ? 255 : factor;
        int32_t loudness = (s.volume * factor) >> 8;
        if (loudness > s.maxVolume) loudness = s.maxVolume;
        if (loudness < 8) continue;
        s.loudness = (uint8_t)loudness;
        T.audible[T.audibleCount++] = {i, loudness};
    }
    int32_t n = T.audibleCount;
    if (n < 3) return;
    int32_t gap = 1;
    while (3 * gap + 1 < n) gap = 3 * gap + 1;
    for (; gap > 0; gap /= 3)
        for (int32_t i = gap; i < n; i++) {
            MixAudible a = T.audible[i];
            int32_t j = i;
            for (; j >= gap && T.audible[j - gap].loudness < a.loudness; j -= gap) T.audible[j] = T.audible[j - gap];
            T.audible[j] = a;
        }
}

}  // namespace

void mix_SourcesInit(int32_t firstVoice, int32_t voiceCount, MixAttenuationFn attenuation,
                     MixDirectionFn direction, MixStartFn start) {
    memset(&T, 0, sizeof T);
    if (voiceCount < 0) voiceCount = 0;
    if (voiceCount > MIX_SOURCE_VOICES) voiceCount = MIX_SOURCE_VOICES;
    // Voices beyond the mixer's are none.
    if (firstVoice < 0 || firstVoice >= MIX_VOICES) voiceCount = 0;
    else if (firstVoice + voiceCount > MIX_VOICES) voiceCount = MIX_VOICES - firstVoice;
    T.firstVoice = firstVoice;
    T.voiceCount = voiceCount;
    T.idCounter = 1;
    T.attenuation = attenuation ? attenuation : DefaultAttenuation;
    T.direction = direction ? direction : DefaultDirection;
    T.start = start;
}

int32_t mix_SourceAdd(MixSourceDesc* d) {
    if (!d || T.count >= MIX_SOURCES) return 0;
    if (!T.direction) mix_SourcesInit(0, 0, nullptr, nullptr, nullptr);
    SndSource& s = T.sources[T.count];
    s = SndSource{};
    s.user = d->user;
    s.sample = d->sample;
    s.x = d->x, s.y = d->y, s.z = d->z;
    s.vx = d->vx, s.vy = d->vy, s.vz = d->vz;
    s.radius = d->radius;
    s.pitch = s.smoothedPitch = d->pitch;
    s.flags = d->flags;
    s.volume = d->volume;
    s.maxVolume = d->maxVolume;
    Direction(s);
    s.id = d->id = ++T.idCounter;
    T.count++;
    return s.id;
}

int32_t mix_SourceAddSilent(uint8_t flags, int32_t user, int32_t radius, const FixVec3* position,
                            const FixVec3* velocity) {
    MixSourceDesc d = {};
    d.flags = flags;
    d.user = user;
    d.radius = radius;
    if (position) d.x = position->x, d.y = position->y, d.z = position->z;
    if (velocity) d.vx = velocity->x, d.vy = velocity->y, d.vz = velocity->z;
    return mix_SourceAdd(&d);
}

int32_t mix_SourceUpdate(const MixSourceDesc* d) {
    SndSource* s = d ? Find(d->id) : nullptr;
    if (!s) return 0;
    uint8_t m = d->updateMask;
    if (m & MIX_UPDATE_POSITION) s->x = d->x, s->y = d->y, s->z = d->z;
    if (m & MIX_UPDATE_VELOCITY) s->vx = d->vx, s->vy = d->vy, s->vz = d->vz;
    if ((m & MIX_UPDATE_SAMPLE) && d->sample != s->sample) {
        s->sample = d->sample;
        // Its voice starts again with the new sample at the next pass.
        for (int32_t v = 0; v < T.voiceCount; v++)
            if (T.voices[v] == s->id) T.voices[v] = -1;
    }
    if (m & MIX_UPDATE_RADIUS) s->radius = d->radius;
    if (m & MIX_UPDATE_PITCH) s->pitch = s->smoothedPitch = d->pitch;
    if (m & MIX_UPDATE_VOLUME) s->volume = d->volume;
    if (m & MIX_UPDATE_MAX_VOLUME) s->maxVolume = d->maxVolume;
    if (m & MIX_UPDATE_FLAGS) s->flags = d->flags;
    if (m & MIX_UPDATE_POSITION) Direction(*s);
    return s->id;
}

int32_t mix_SourceSet(int32_t id, int32_t pitch, uint8_t volume, uint8_t maxVolume, MixSample* sample,
                      const FixVec3* velocity, const FixVec3* position) {
    SndSource* s = Find(id);
    if (!s) return 0;
    s->pitch = s->smoothedPitch = pitch;
    s->volume = volume;
    s->maxVolume = maxVolume;
    s->sample = sample;
    if (velocity) s->vx = velocity->x, s->vy = velocity->y, s->vz = velocity->z;
    if (position) s->x = position->x, s->y = position->y, s->z = position->z;
    Direction(*s);
    s->loudness = 0;
    return id;
}

int32_t mix_SourceSetPosition(int32_t id, const FixVec3* position, const FixVec3* velocity) {
    SndSource* s = Find(id);
    if (!s) return 0;
    if (position) s->x = position->x, s->y = position->y, s->z = position->z;
    if (velocity) s->vx = velocity->x, s->vy = velocity->y, s->vz = velocity->z;
    Direction(*s);
    return id;
}

int32_t mix_SourceRemove(int32_t id) {
    SndSource* s = Find(id);
    if (!s) return 0;
    *s = T.sources[--T.count];
    T.sources[T.count] = SndSource{};
    return id;
}

void mix_SourcesListener(const FixVec3* position, const FixVec3* motion) {
    if (!position) return;
    if (motion) {
        T.motionX = motion->x, T.motionY = motion->y, T.motionZ = motion->z;
    } else {
        T.motionX = Offset(position->x, T.listenerX);
        T.motionY = Offset(position->y, T.listenerY);
        T.motionZ = Offset(position->z, T.listenerZ);
    }
    T.listenerX = position->x, T.listenerY = position->y, T.listenerZ = position->z;
    for (int32_t i = 0; i < T.count; i++) {
        SndSource& s = T.sources[i];
        if (!(s.flags & MIX_SOURCE_MOVES)) continue;
        s.x = (int32_t)((uint32_t)s.x + (uint32_t)s.vx);
        s.y = (int32_t)((uint32_t)s.y + (uint32_t)s.vy);
        s.z = (int32_t)((uint32_t)s.z + (uint32_t)s.vz);
    }
    if (++T.updateCounter % 4 == 0) mix_SourcesAssign();
}

void mix_SourcesAssign(void) {
    if (!T.attenuation) return;  // never initialised
    Audibility();
    for (int32_t v = T.voiceCount - 1; v >= 0; v--) {
        int32_t id = T.voices[v];
        if (id == 0) continue;
        int32_t found = -1;
        for (int32_t k = T.audibleCount - 1; k >= 0 && id != -1; k--)
            if (T.audible[k].source >= 0 && T.sources[T.audible[k].source].id == id) {
                found = k;
                break;
            }
        if (found < 0) {
            mix_VoiceStopOn(T.firstVoice + v);
            T.voices[v] = 0;
            continue;
        }
        SndSource& s = T.sources[T.audible[found].source];
        T.audible[found].source = -1;
        Direction(s);
        int32_t pitch = (s.flags & MIX_SOURCE_DOPPLER) ? DopplerPitch(s) : s.pitch;
        mix_VoiceUpdateOn(T.firstVoice + v, s.direction, s.loudness, pitch);
    }
    for (int32_t k = 0; k < T.audibleCount; k++) {
        if (T.audible[k].source < 0) continue;
        int32_t slot = -1;
        for (int32_t v = T.voiceCount - 1; v >= 0 && slot < 0; v--)
            if (T.voices[v] == 0) slot = v;
        if (slot < 0) continue;
        SndSource& s = T.sources[T.audible[k].source];
        if ((s.flags & MIX_SOURCE_NOTIFY) && T.start) T.start(1, s.user, s.id);
        if (mix_VoiceChain(T.firstVoice + slot, s.sample, s.direction, s.loudness, s.smoothedPitch))
            T.voices[slot] = s.id;
    }
}
