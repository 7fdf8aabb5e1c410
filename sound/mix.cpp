// The software mixer. See mix.h for who writes what; the mixer's own thread
// alone advances positions, takes requests over and moves the stream's read
// index.
#include "sound/mix.h"

#include <cstdio>
#include <cstring>
#include <thread>

MixVoice mix_PlayingBank[MIX_VOICES];
MixVoice mix_RequestBank[MIX_VOICES];
MixVoice mix_FollowOnBank[MIX_VOICES];
MixVoice mix_FollowOnRequestBank[MIX_VOICES];
MixVoice mix_StreamVoice;
MixVoice mix_StreamRing[MIX_RING];
std::atomic<uint32_t> mix_StreamRead{0};
std::atomic<uint32_t> mix_StreamWrite{0};

int32_t mix_MasterVolume = 255;
int32_t mix_StreamVolume = 255;
uint32_t mix_KeyCounter = 1;
std::atomic<uint8_t> mix_OutputSilence{0};
int16_t* mix_Output = nullptr;
int32_t mix_OutputFrames = 0;
int32_t mix_LastLeft = 0, mix_LastRight = 0;
uint32_t mix_ChainRandom = 0xD1CFACE0u;

namespace {

void NoEndHook(uint32_t) {}
std::atomic<MixEndHook> g_endHook{NoEndHook};

// Whole-table rewrites (stop-all, stream stop) wait for a block in progress
// to end, and a block that starts meanwhile touches nothing: a real device
// mixes on its own thread, and samples may be freed right after the stop.
std::atomic<int32_t> g_rewriting{0};
std::atomic<int32_t> g_inBlock{0};

constexpr uint32_t kStreamSilenceStep = 4096;
constexpr uint32_t kStreamStep = 2048;

uint32_t Le32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}
void Put32(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

// ---- Pan table --------------------------------------------------------------

struct PanRow {
    int32_t left, right;
};

constexpr PanRow PanRowOf(int32_t i) {
    if (i <= 64) return {63 + i, 64 - i};  // ahead to full left
    if (i <= 128) {                        // full left to behind: the right goes negative
        int32_t d = 2 * (i - 64);
        return {127 - d < 64 ? 64 : 127 - d, -d < -63 ? -63 : -d};
    }
    if (i < 192) {  // behind to full right, the mirror of the rear left
        PanRow m = PanRowOf(257 - i);
        return {m.right, m.left};
    }
    int32_t j = i - 192;  // full right to ahead
    int32_t left = j == 0 ? 0 : (j + 1 > 63 ? 63 : j + 1);
    return {left, 127 - left};
}

struct PanTableInit {
    int8_t rows[256][2];
    constexpr PanTableInit() : rows() {
        for (int32_t i = 0; i < 256; i++) {
            PanRow r = PanRowOf(i);
            rows[i][0] = (int8_t)r.right;
            rows[i][1] = (int8_t)r.left;
        }
    }
};
constexpr PanTableInit kPan;

}  // namespace

const int8_t mix_PanTable[256][2] = {
#define R(i) {kPan.rows[i][0], kPan.rows[i][1]}
#define R4(i) R(i), R(i + 1), R(i + 2), R(i + 3)
#define R16(i) R4(i), R4(i + 4), R4(i + 8), R4(i + 12)
    R16(0),   R16(16),  R16(32),  R16(48),  R16(64),  R16(80),  R16(96),  R16(112),
    R16(128), R16(144), R16(160), R16(176), R16(192), R16(208), R16(224), R16(240),
#undef R16
#undef R4
#undef R
};

const uint8_t mix_SilenceFrames[1025] = {
#define S4 128, 128, 128, 128
#define S16 S4, S4, S4, S4
#define S64 S16, S16, S16, S16
#define S256 S64, S64, S64, S64
    S256, S256, S256, S256, 128,
#undef S256
#undef S64
#undef S16
#undef S4
};

namespace {

const uint8_t* SilenceEnd(void) { return mix_SilenceFrames + 1024; }

// ---- Records ----------------------------------------------------------------

// Moves the first 13 words, never the state bytes.
void CopyRecord(MixVoice& to, const MixVoice& from) {
    to.end = from.end;
    to.length = from.length;
    to.step = from.step;
    to.position = from.position;
    to.key = from.key;
    to.rateWord = from.rateWord;
    to.pan = from.pan;
    to.volume = from.volume;
    to.shift = from.shift;
    to.leftGain = from.leftGain;
    to.rightGain = from.rightGain;
    to.flags = from.flags;
    to.chain = from.chain;
}

void ClearRecord(MixVoice& r) {
    r.end = nullptr;
    r.length = 0;
    r.step = 0;
    r.position = 0;
    r.key = 0;
    r.rateWord = 0;
    r.pan = 0;
    r.volume = 0;
    r.shift = 0;
    r.leftGain = 0;
    r.rightGain = 0;
    r.flags = 0;
    r.chain = 0;
}

void SilenceRecord(MixVoice& r) {
    ClearRecord(r);
    r.end = SilenceEnd();
    r.length = 1024;
    r.step = 1024;
    r.position = -(1024 - 1) * 1024;
    r.rateWord = 0x10000000;
}

int32_t ClampVolume(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

void Gains(uint32_t pan, int32_t volume, uint32_t shift, int32_t* left, int32_t* right) {
    const int8_t* row = mix_PanTable[pan & 0xFF];
    int64_t base = (int64_t)ClampVolume(volume) * ClampVolume(mix_MasterVolume);
    uint32_t s = 16 + shift;
    if (s > 62) s = 62;
    *left = (int32_t)((row[1] * base) >> s);
    *right = (int32_t)((row[0] * base) >> s);
}

uint32_t StepOf(int32_t pitch, uint32_t rateWord) {
    uint64_t p = pitch == 0 ? MIX_NATURAL_PITCH : (uint32_t)pitch;
    return (uint32_t)((p * rateWord) >> 34);
}

uint32_t NextKey(void) {
    uint32_t key = mix_KeyCounter++;
    if (mix_KeyCounter == 0) mix_KeyCounter = 1;  // 0 names no sound
    return key;
}

bool SampleUsable(const MixSample* sample) {
    if (!sample || memcmp(sample->header, "SAMP", 4) != 0) return false;
    uint32_t length = mix_SampleLength(sample);
    return length >= MIX_SAMPLE_MIN_FRAMES && length <= MIX_SAMPLE_MAX_FRAMES;
}

// Fills a request record for the sample (everything but the pending byte).
void FillRecord(MixVoice& r, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch, uint32_t flags,
                uint8_t chain) {
    uint32_t length = mix_SampleLength(sample);
    uint32_t shift = sample->header[12];
    uint32_t rate = mix_SampleRateWord(sample);
    int32_t l, rr;
    Gains((uint32_t)pan, volume, shift, &l, &rr);
    r.shift = shift;
    r.pan = (uint32_t)pan & 0xFF;
    r.volume = (uint32_t)ClampVolume(volume);
    r.leftGain = l;
    r.rightGain = rr;
    r.end = mix_SampleFrames(sample) + length;
    r.length = length;
    r.position = (int32_t)(-(int64_t)(length - 1) * 1024);
    r.rateWord = rate;
    r.step = StepOf(pitch, rate);
    r.key = NextKey();
    r.flags = flags;
    r.chain = chain;
}

void PostStop(MixVoice& r) {
    SilenceRecord(r);
    r.state.store(1, std::memory_order_release);
}

// New gains from pan and volume (-1: those given at start, which stay
// stored). A voice swinging through the rear flips sign on both channels;
// the negated pair is kept when it is nearer the old one, so it does not
// click.
void Rederive(MixVoice& r, int32_t pan, int32_t volume, int32_t pitch) {
    uint32_t p = pan == -1 ? (uint32_t)r.pan : (uint32_t)pan;
    int32_t v = volume == -1 ? (int32_t)(uint32_t)r.volume : volume;
    int32_t l, rr;
    Gains(p, v, r.shift, &l, &rr);
    int32_t oldL = r.leftGain, oldR = r.rightGain;
    auto cost = [](int32_t from, int32_t to) -> int64_t {
        if ((from < 0) == (to < 0)) return 0;
        int64_t d = (int64_t)from - to;
        return d < 0 ? -d : d;
    };
    if (cost(oldL, -l) + cost(oldR, -rr) < cost(oldL, l) + cost(oldR, rr)) {
        l = -l;
        rr = -rr;
    }
    r.leftGain = l;
    r.rightGain = rr;
    if (pitch != -1) r.step = StepOf(pitch, r.rateWord);
}

bool VoiceValid(int32_t voice) { return voice >= 0 && voice < MIX_VOICES; }

int32_t StreamGain(int32_t shift) {
    if (shift < 0 || shift > 30) return 0;
    return (mix_StreamVolume >> 1) >> shift;
}

// Whole-table rewrite, away from the mixer.
void RewriteBegin(void) {
    mix_OutputSilence.store(1, std::memory_order_release);
    g_rewriting.store(1, std::memory_order_seq_cst);
    while (g_inBlock.load(std::memory_order_seq_cst)) std::this_thread::yield();
}
void RewriteEnd(void) {
    g_rewriting.store(0, std::memory_order_seq_cst);
    mix_OutputSilence.store(0, std::memory_order_release);
}

// ---- Mixing -------------------------------------------------------------------

// What the mixing loop uses of a record, refreshed when one is taken over.
struct Live {
    const uint8_t* end;
    int32_t step;
    int32_t left, right;
    // The position as the block goes on, and the record's position as the
    // mixer last read or wrote it: the main thread may set it meanwhile.
    int32_t position, seen;
};

void LiveOf(Live& live, const MixVoice& r) {
    live.end = r.end;
    live.step = (int32_t)(uint32_t)r.step;
    live.left = r.leftGain;
    live.right = r.rightGain;
}

// The voice's sample ran out: report it, take the follow-on record over
// (a looping one starts at a random frame the first time).
int32_t EndOfVoice(int32_t v, Live& live) {
    MixVoice& p = mix_PlayingBank[v];
    MixVoice& f = mix_FollowOnBank[v];
    if (uint32_t flags = p.flags) g_endHook.load(std::memory_order_acquire)(flags);
    CopyRecord(p, f);
    p.state.store(0, std::memory_order_release);
    f.chain = 0;
    int32_t position = p.position;
    if (p.chain) {
        uint32_t x = mix_ChainRandom;
        x = ((x << 11) | (x >> 21)) + x + 1;
        mix_ChainRandom = x;
        int64_t offset = x & 0x3FC00;
        // A sample shorter than the offset wraps instead of running past
        // its end.
        if (position < 0 && position + offset >= 0) offset %= -(int64_t)position;
        position = (int32_t)(position + offset);
    }
    if (position >= 0) position = -1;
    p.position = position;
    LiveOf(live, p);
    live.seen = position;
    return position;
}

// The stream ran out: the next queued block, or silence for 256 frames.
int32_t StreamNext(Live& live) {
    uint32_t read = mix_StreamRead.load(std::memory_order_relaxed);
    MixVoice& next = mix_StreamRing[read];
    if (next.state.load(std::memory_order_acquire)) {
        CopyRecord(mix_StreamVoice, next);
        next.state.store(0, std::memory_order_release);
        mix_StreamRead.store((read + 1) % MIX_RING, std::memory_order_release);
    } else {
        SilenceRecord(mix_StreamVoice);
        mix_StreamVoice.step = kStreamSilenceStep;
    }
    int32_t position = mix_StreamVoice.position;
    if (position >= 0) position = mix_StreamVoice.position = -1;
    LiveOf(live, mix_StreamVoice);
    return position;
}

void TakeRequests(void) {
    for (int32_t v = 0; v < MIX_VOICES; v++) {
        MixVoice& p = mix_PlayingBank[v];
        if (p.updated.load(std::memory_order_acquire)) p.updated.store(0, std::memory_order_relaxed);
    }
    for (int32_t v = 0; v < MIX_VOICES; v++) {
        MixVoice& r = mix_RequestBank[v];
        if (!r.state.load(std::memory_order_acquire)) continue;
        MixVoice& p = mix_PlayingBank[v];
        CopyRecord(p, r);
        p.state.store(1, std::memory_order_release);
        p.updated.store(0, std::memory_order_relaxed);
        r.state.store(0, std::memory_order_release);
    }
    for (int32_t v = 0; v < MIX_VOICES; v++) {
        MixVoice& r = mix_FollowOnRequestBank[v];
        if (!r.state.load(std::memory_order_acquire)) continue;
        CopyRecord(mix_FollowOnBank[v], r);
        r.state.store(0, std::memory_order_release);
    }
}

void Mix(int16_t* out, int32_t frames) {
    Live voices[MIX_VOICES];
    for (int32_t v = 0; v < MIX_VOICES; v++) {
        LiveOf(voices[v], mix_PlayingBank[v]);
        voices[v].position = voices[v].seen = mix_PlayingBank[v].position;
    }
    Live stream;
    LiveOf(stream, mix_StreamVoice);
    int32_t streamPos = mix_StreamVoice.position;
    int32_t lastL = mix_LastLeft, lastR = mix_LastRight;
    for (int32_t f = 0; f < frames; f++) {
        int32_t L = lastL >> 2, R = lastR >> 2;

        int64_t sp = (int64_t)streamPos + stream.step;
        streamPos = sp >= 0 ? StreamNext(stream) : (int32_t)sp;
        const uint8_t* pair = stream.end + ((streamPos >> 10) & ~1);
        L += ((int32_t)pair[0] - 128) * stream.left;
        R += ((int32_t)pair[1] - 128) * stream.right;

        for (int32_t v = 0; v < MIX_VOICES; v++) {
            Live& live = voices[v];
            int64_t np = (int64_t)live.position + live.step;
            int32_t pos = np >= 0 ? EndOfVoice(v, live) : (int32_t)np;
            live.position = pos;
            int32_t s = (int32_t)live.end[pos >> 10] - 128;
            L += s * live.left;
            R += s * live.right;
        }

        if (L > 32767) L = 32767;
        if (L < -32767) L = -32767;
        if (R > 32767) R = 32767;
        if (R < -32767) R = -32767;
        out[2 * f] = (int16_t)L;
        out[2 * f + 1] = (int16_t)R;
        lastL = L;
        lastR = R;
    }
    // A position the main thread set during the block (-1: take the
    // follow-on record over) wins over the mixer's.
    for (int32_t v = 0; v < MIX_VOICES; v++) {
        MixVoice& p = mix_PlayingBank[v];
        if ((int32_t)p.position == voices[v].seen) p.position = voices[v].position;
    }
    mix_StreamVoice.position = streamPos;
    mix_LastLeft = lastL;
    mix_LastRight = lastR;
}

}  // namespace

// ---- Samples ------------------------------------------------------------------

uint32_t mix_SampleLength(const MixSample* sample) { return Le32(sample->header + 4); }
uint32_t mix_SampleRateWord(const MixSample* sample) { return Le32(sample->header + 8); }
const uint8_t* mix_SampleFrames(const MixSample* sample) {
    return reinterpret_cast<const uint8_t*>(sample) + MIX_SAMPLE_HEADER;
}

MixSample* snd_SampleConvert(void* image, uint32_t size) {
    uint8_t* b = static_cast<uint8_t*>(image);
    if (!b || size < MIX_SAMPLE_HEADER) return nullptr;
    if (memcmp(b, "SAMP", 4) == 0) {
        uint32_t length = Le32(b + 4);
        if (length < MIX_SAMPLE_MIN_FRAMES || length > MIX_SAMPLE_MAX_FRAMES ||
            length > size - MIX_SAMPLE_HEADER || Le32(b + 8) == 0)
            return nullptr;
        return reinterpret_cast<MixSample*>(b);
    }
    // The canonical 44-byte WAVE header, PCM, one channel (docs/formats.md).
    if (size < 44 || memcmp(b, "RIFF", 4) != 0 || memcmp(b + 8, "WAVEfmt ", 8) != 0 || Le32(b + 16) != 16 ||
        memcmp(b + 36, "data", 4) != 0)
        return nullptr;
    uint32_t format = (uint32_t)b[20] | ((uint32_t)b[21] << 8);
    uint32_t channels = (uint32_t)b[22] | ((uint32_t)b[23] << 8);
    uint32_t rate = Le32(b + 24);
    uint32_t bits = (uint32_t)b[34] | ((uint32_t)b[35] << 8);
    uint32_t dataSize = Le32(b + 40);
    if (format != 1 || channels != 1 || (bits != 8 && bits != 16)) return nullptr;
    if (dataSize > size - 44) return nullptr;
    // The rate word keeps rate x 16 / 22050 in its top byte.
    uint64_t ratio = (uint64_t)rate * 16 / 22050;
    if (ratio == 0 || ratio > 255) return nullptr;
    uint32_t length = bits == 8 ? dataSize : dataSize / 2;
    if (length < MIX_SAMPLE_MIN_FRAMES || length > MIX_SAMPLE_MAX_FRAMES) return nullptr;

    if (bits == 8) {
        memmove(b + MIX_SAMPLE_HEADER, b + 44, length);
    } else {
        // Normalised to its own peak; each frame is written behind the ones
        // still to be read.
        int32_t peak = 0;
        for (uint32_t i = 0; i < length; i++) {
            int32_t x = (int16_t)(uint16_t)(b[44 + 2 * i] | (b[45 + 2 * i] << 8));
            if (x < 0) x = -x;
            if (x > peak) peak = x;
        }
        int64_t scale = peak ? 0x7EFF0000LL / peak : 0;
        for (uint32_t i = 0; i < length; i++) {
            int64_t x = (int16_t)(uint16_t)(b[44 + 2 * i] | (b[45 + 2 * i] << 8));
            b[MIX_SAMPLE_HEADER + i] = (uint8_t)(((x * scale + 0x800000) >> 24) - 128);
        }
    }
    memcpy(b, "SAMP", 4);
    Put32(b + 4, length);
    Put32(b + 8, (uint32_t)ratio << 24);
    b[12] = 0;
    b[13] = 1;
    b[14] = b[15] = 0;
    return reinterpret_cast<MixSample*>(b);
}

// ---- Operations ---------------------------------------------------------------

void mix_Init(void) {
    for (int32_t v = 0; v < MIX_VOICES; v++) {
        MixVoice* silent[] = {&mix_PlayingBank[v], &mix_FollowOnBank[v], &mix_FollowOnRequestBank[v]};
        for (MixVoice* r : silent) {
            SilenceRecord(*r);
            r->state.store(0, std::memory_order_relaxed);
            r->reserved.store(0, std::memory_order_relaxed);
            r->updated.store(0, std::memory_order_relaxed);
        }
        ClearRecord(mix_RequestBank[v]);
        mix_RequestBank[v].state.store(0, std::memory_order_relaxed);
    }
    for (MixVoice& r : mix_StreamRing) {
        ClearRecord(r);
        r.state.store(0, std::memory_order_relaxed);
    }
    SilenceRecord(mix_StreamVoice);
    mix_StreamVoice.step = kStreamSilenceStep;
    mix_StreamRead.store(0, std::memory_order_relaxed);
    mix_StreamWrite.store(0, std::memory_order_release);
}

void mix_StopAll(void) {
    RewriteBegin();
    mix_Init();
    RewriteEnd();
}

void mix_MixBlock(int16_t* output, int32_t frames) {
    mix_Output = output;
    mix_OutputFrames = frames;
    if (!output || frames <= 0) return;
    g_inBlock.store(1, std::memory_order_seq_cst);
    if (g_rewriting.load(std::memory_order_seq_cst)) {
        memset(output, 0, (size_t)frames * 4);
        g_inBlock.store(0, std::memory_order_release);
        return;
    }
    TakeRequests();
    if (mix_OutputSilence.load(std::memory_order_acquire))
        memset(output, 0, (size_t)frames * 4);
    else
        Mix(output, frames);
    g_inBlock.store(0, std::memory_order_release);
}

uint32_t mix_VoiceStartOn(int32_t voice, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch,
                          uint32_t flags) {
    if (!VoiceValid(voice) || !SampleUsable(sample)) return 0;
    MixVoice& r = mix_RequestBank[voice];
    if (r.state.load(std::memory_order_acquire)) return 0;
    FillRecord(r, sample, pan, volume, pitch, flags, 0);
    uint32_t key = r.key;
    r.state.store(1, std::memory_order_release);
    return key;
}

uint32_t mix_VoiceStart(const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch, uint32_t flags) {
    if (!SampleUsable(sample)) return 0;
    auto takeable = [](int32_t v) {
        return !mix_PlayingBank[v].reserved.load(std::memory_order_relaxed) &&
               !mix_RequestBank[v].state.load(std::memory_order_acquire);
    };
    int32_t chosen = -1;
    for (int32_t v = 0; v < MIX_VOICES && chosen < 0; v++)
        if (takeable(v) && !mix_PlayingBank[v].state.load(std::memory_order_acquire)) chosen = v;
    // All busy: the first quieter voice gives way.
    for (int32_t v = 0; v < MIX_VOICES && chosen < 0; v++)
        if (takeable(v) && (int32_t)(uint32_t)mix_PlayingBank[v].volume < ClampVolume(volume)) chosen = v;
    if (chosen < 0) return 0;
    return mix_VoiceStartOn(chosen, sample, pan, volume, pitch, flags);
}

uint32_t mix_VoiceChain(int32_t voice, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch) {
    if (!VoiceValid(voice) || !SampleUsable(sample)) return 0;
    MixVoice& r = mix_FollowOnRequestBank[voice];
    r.state.store(0, std::memory_order_relaxed);
    FillRecord(r, sample, pan, volume, pitch, 0, 1);
    uint32_t key = r.key;
    r.state.store(1, std::memory_order_release);
    // An idle voice takes the loop over at its next frame.
    MixVoice& p = mix_PlayingBank[voice];
    if ((const uint8_t*)p.end == SilenceEnd()) p.position = -1;
    return key;
}

uint32_t mix_VoiceUpdate(uint32_t key, int32_t pan, int32_t volume, int32_t pitch) {
    if (key == 0) return 0;
    bool found = false;
    for (MixVoice& p : mix_PlayingBank)
        if (p.key == key) {
            Rederive(p, pan, volume, pitch);
            p.updated.store(1, std::memory_order_release);
            found = true;
        }
    if (found) {
        for (MixVoice& f : mix_FollowOnBank)
            if (f.key == key) Rederive(f, pan, volume, pitch);
        return key;
    }
    for (int32_t v = 0; v < MIX_VOICES; v++)
        if ((mix_RequestBank[v].state.load(std::memory_order_acquire) && mix_RequestBank[v].key == key) ||
            (mix_FollowOnRequestBank[v].state.load(std::memory_order_acquire) &&
             mix_FollowOnRequestBank[v].key == key))
            return key;
    return 0;
}

uint32_t mix_VoiceUpdateOn(int32_t voice, int32_t pan, int32_t volume, int32_t pitch) {
    if (!VoiceValid(voice)) return 0;
    return mix_VoiceUpdate(mix_FollowOnBank[voice].key, pan, volume, pitch);
}

uint32_t mix_VoiceFind(uint32_t key) {
    if (key == 0) return 0;
    for (int32_t v = 0; v < MIX_VOICES; v++) {
        if (mix_PlayingBank[v].key == key) return key;
        if (mix_RequestBank[v].state.load(std::memory_order_acquire) && mix_RequestBank[v].key == key) return key;
        if (mix_FollowOnRequestBank[v].state.load(std::memory_order_acquire) &&
            mix_FollowOnRequestBank[v].key == key)
            return key;
    }
    return 0;
}

void mix_VoiceStop(uint32_t key) {
    if (key == 0) return;  // idle records carry no key
    for (int32_t v = 0; v < MIX_VOICES; v++)
        if (mix_PlayingBank[v].key == key) PostStop(mix_RequestBank[v]);
    for (int32_t v = 0; v < MIX_VOICES; v++)
        if (mix_FollowOnBank[v].key == key) {
            PostStop(mix_RequestBank[v]);
            PostStop(mix_FollowOnRequestBank[v]);
            mix_FollowOnBank[v].position = -1;
            mix_PlayingBank[v].position = -1;
        }
}

void mix_VoiceStopOn(int32_t voice) {
    if (VoiceValid(voice)) mix_VoiceStop(mix_FollowOnBank[voice].key);
}

int32_t mix_CountSampleVoices(const MixSample* sample) {
    if (!SampleUsable(sample)) return 0;
    const uint8_t* end = mix_SampleFrames(sample) + mix_SampleLength(sample);
    int32_t count = 0;
    for (int32_t v = 0; v < MIX_VOICES; v++) {
        if ((const uint8_t*)mix_PlayingBank[v].end == end) count++;
        if (mix_RequestBank[v].state.load(std::memory_order_acquire) &&
            (const uint8_t*)mix_RequestBank[v].end == end)
            count++;
        if (mix_FollowOnRequestBank[v].state.load(std::memory_order_acquire) &&
            (const uint8_t*)mix_FollowOnRequestBank[v].end == end)
            count++;
    }
    return count;
}

int32_t mix_VoiceStopSample(const MixSample* sample) {
    if (!SampleUsable(sample)) return 0;
    const uint8_t* end = mix_SampleFrames(sample) + mix_SampleLength(sample);
    int32_t stopped = 0;
    for (int32_t v = 0; v < MIX_VOICES; v++) {
        MixVoice& r = mix_RequestBank[v];
        MixVoice& f = mix_FollowOnRequestBank[v];
        bool pending = r.state.load(std::memory_order_acquire) && (const uint8_t*)r.end == end;
        bool chained = f.state.load(std::memory_order_acquire) && (const uint8_t*)f.end == end;
        if ((const uint8_t*)mix_PlayingBank[v].end == end || (const uint8_t*)mix_FollowOnBank[v].end == end ||
            pending || chained) {
            PostStop(r);
            PostStop(f);
            mix_FollowOnBank[v].position = -1;
            mix_PlayingBank[v].position = -1;
            stopped++;
        }
    }
    if (stopped) {
        // The stops are taken before the next block mixes; only the block
        // running now may still read the sample.
        std::atomic_thread_fence(std::memory_order_seq_cst);
        while (g_inBlock.load(std::memory_order_seq_cst)) std::this_thread::yield();
    }
    return stopped;
}

void mix_VoiceReserve(int32_t voice, int32_t value) {
    if (VoiceValid(voice)) mix_PlayingBank[voice].reserved.store((uint8_t)value, std::memory_order_relaxed);
}

int32_t mix_VoiceIsPlaying(int32_t voice) {
    return VoiceValid(voice) ? mix_PlayingBank[voice].state.load(std::memory_order_acquire) : 0;
}

void mix_VoiceDump(int32_t voice, char* text, size_t size) {
    if (!text || size == 0) return;
    if (!VoiceValid(voice)) {
        text[0] = 0;
        return;
    }
    // Addresses show their low 32 bits.
    const MixVoice& r = mix_RequestBank[voice];
    const MixVoice& p = mix_PlayingBank[voice];
    snprintf(text, size, "%2ld:  REQUEST %01ld - %8X    PLAYING %01ld - %8X", (long)voice,
             (long)r.state.load(std::memory_order_relaxed), (unsigned)(uint32_t)(uintptr_t)(const uint8_t*)r.end,
             (long)p.state.load(std::memory_order_relaxed), (unsigned)(uint32_t)(uintptr_t)(const uint8_t*)p.end);
}

int32_t mix_StreamQueue(const uint8_t* data, uint32_t length, int32_t leftShift, int32_t rightShift) {
    uint32_t w = mix_StreamWrite.load(std::memory_order_relaxed);
    for (uint32_t ahead : {1u, 2u, 0u})
        if (mix_StreamRing[(w + ahead) % MIX_RING].state.load(std::memory_order_acquire)) return 0;
    if (!data || length < 2 || length > MIX_SAMPLE_MAX_FRAMES) return 0;
    MixVoice& r = mix_StreamRing[w];
    ClearRecord(r);
    r.end = data + length;
    r.length = length;
    r.position = (int32_t)(-(int64_t)(length - 1) * 1024);
    r.step = kStreamStep;
    r.rateWord = 0x10000000;
    r.pan = (uint32_t)leftShift & 0xFF;
    r.volume = (uint32_t)rightShift & 0xFF;
    r.leftGain = StreamGain((int32_t)(uint32_t)r.pan);
    r.rightGain = StreamGain((int32_t)(uint32_t)r.volume);
    r.state.store(1, std::memory_order_release);
    mix_StreamWrite.store((w + 1) % MIX_RING, std::memory_order_release);
    return 1;
}

int32_t mix_StreamCount(void) {
    uint32_t w = mix_StreamWrite.load(std::memory_order_acquire);
    uint32_t r = mix_StreamRead.load(std::memory_order_acquire);
    return (int32_t)((w - r) % MIX_RING);
}

int32_t mix_StreamSetVolume(void) {
    for (MixVoice& r : mix_StreamRing) {
        r.leftGain = StreamGain((int32_t)(uint32_t)r.pan);
        r.rightGain = StreamGain((int32_t)(uint32_t)r.volume);
    }
    return 1;
}

void mix_StreamStop(void) {
    RewriteBegin();
    for (MixVoice& r : mix_StreamRing) r.state.store(0, std::memory_order_relaxed);
    SilenceRecord(mix_StreamVoice);
    mix_StreamVoice.step = kStreamSilenceStep;
    mix_StreamRead.store(0, std::memory_order_relaxed);
    mix_StreamWrite.store(0, std::memory_order_relaxed);
    RewriteEnd();
}

void mix_SetEndHook(MixEndHook hook) { g_endHook.store(hook ? hook : NoEndHook, std::memory_order_release); }
