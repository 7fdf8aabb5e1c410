// MIDI streams without a synthesiser: each buffer is timed by its delta
// times at the stream's tempo and time division and handed back from the
// message pump when its time is up.
#include "platform/midi.h"

#include <cstring>

#include "platform/timer.h"

namespace {

constexpr int32_t kStreams = 4;
constexpr uint32_t kDefaultTempo = 500000;  // microseconds per quarter note
constexpr int32_t kSentMax = 64;

struct Stream {
    int32_t open;
    PlatMidiCallback callback;
    uintptr_t instance;
    uint32_t division;
    uint32_t tempo;
    int32_t running;
    uint32_t headStartMs;  // when the first queued buffer began to play
    uint32_t elapsedMs;    // of the first buffer when paused
    PlatMidiHeader* head;
    PlatMidiHeader* tail;
    PlatMidiHeader* returned;  // stopped or reset: back at the next pump
    int32_t queued;
};

Stream g_streams[kStreams];
int32_t g_deviceCount = 1;
bool g_fail[PLAT_MIDI_FAIL_KINDS];
bool g_delivering = false;
PlatMidiSent g_sent[kSentMax];
int32_t g_sentCount = 0;

Stream* Get(PlatMidiStream s) {
    if (s < 1 || s > (PlatMidiStream)kStreams) return nullptr;
    Stream* st = &g_streams[s - 1];
    return st->open ? st : nullptr;
}

bool TakeFail(int32_t kind) {
    bool f = g_fail[kind];
    g_fail[kind] = false;
    return f;
}

uint32_t Le32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

// Microseconds of `ticks` at the stream's tempo and division.
uint64_t TicksUs(const Stream& st, uint32_t ticks) {
    uint32_t div = st.division;
    if (div & 0x8000) {
        int32_t fps = -(int32_t)(int8_t)(div >> 8);
        uint32_t tpf = div & 0xFF;
        if (fps <= 0 || tpf == 0) return 0;
        return (uint64_t)ticks * 1000000u / ((uint64_t)fps * tpf);
    }
    if (div == 0) return 0;
    return (uint64_t)ticks * st.tempo / div;
}

// The buffer's play time; tempo events change the stream's tempo for what
// follows.
uint32_t Duration(Stream& st, const PlatMidiHeader* h) {
    uint64_t us = 0;
    uint32_t at = 0;
    uint32_t n = h->bytesRecorded;
    while (n >= 12 && at <= n - 12) {
        uint32_t delta = Le32(h->data + at);
        uint32_t word = Le32(h->data + at + 8);
        us += TicksUs(st, delta);
        at += 12;
        if (word & 0x80000000u) {
            uint32_t len = word & 0xFFFFFF;
            uint32_t padded = (len + 3) & ~3u;
            if (padded > n - at) break;
            at += padded;
        } else if ((word >> 24) == PLAT_MEVT_TEMPO) {
            st.tempo = word & 0xFFFFFF;
        }
    }
    uint64_t ms = us / 1000;
    return ms > 0x7FFFFFFF ? 0x7FFFFFFFu : (uint32_t)ms;
}

void ReturnAll(Stream& st) {
    for (PlatMidiHeader* h = st.head; h;) {
        PlatMidiHeader* next = h->queueNext;
        h->queueNext = nullptr;
        PlatMidiHeader** end = &st.returned;
        while (*end) end = &(*end)->queueNext;
        *end = h;
        h = next;
    }
    st.head = st.tail = nullptr;
    st.elapsedMs = 0;
}

void Deliver(PlatMidiStream s, PlatMidiHeader* h) {
    Stream* st = Get(s);
    if (!st) return;
    st->queued--;
    h->flags = (h->flags & ~(uint32_t)PLAT_MHDR_INQUEUE) | PLAT_MHDR_DONE;
    if (st->callback) st->callback(s, PLAT_MOM_DONE, st->instance, reinterpret_cast<uintptr_t>(h), 0);
}

// The next buffer of stream s that is back, or null.
PlatMidiHeader* NextDone(PlatMidiStream s) {
    Stream* st = Get(s);
    if (!st) return nullptr;
    if (st->returned) {
        PlatMidiHeader* h = st->returned;
        st->returned = h->queueNext;
        h->queueNext = nullptr;
        return h;
    }
    if (!st->running || !st->head) return nullptr;
    uint32_t now = plat_TimeMs();
    PlatMidiHeader* h = st->head;
    if (now - st->headStartMs < h->durationMs) return nullptr;
    st->headStartMs += h->durationMs;
    st->head = h->queueNext;
    if (!st->head) st->tail = nullptr;
    h->queueNext = nullptr;
    return h;
}

}  // namespace

int32_t plat_MidiDeviceCount(void) { return g_deviceCount; }

int32_t plat_MidiStreamOpen(PlatMidiStream* stream, uint32_t device, PlatMidiCallback callback, uintptr_t instance) {
    if (!stream) return PLAT_MIDI_INVALPARAM;
    *stream = 0;
    if (TakeFail(PLAT_MIDI_FAIL_OPEN)) return PLAT_MIDI_ERROR;
    if ((int64_t)device >= g_deviceCount) return PLAT_MIDI_BADDEVICEID;
    for (int32_t i = 0; i < kStreams; i++) {
        if (g_streams[i].open) continue;
        g_streams[i] = Stream{};
        g_streams[i].open = 1;
        g_streams[i].callback = callback;
        g_streams[i].instance = instance;
        g_streams[i].division = 96;
        g_streams[i].tempo = kDefaultTempo;
        *stream = (PlatMidiStream)(i + 1);
        return PLAT_MIDI_NOERROR;
    }
    return PLAT_MIDI_ERROR;
}

int32_t plat_MidiStreamTimeDivision(PlatMidiStream stream, uint32_t division) {
    Stream* st = Get(stream);
    if (!st) return PLAT_MIDI_INVALHANDLE;
    if (TakeFail(PLAT_MIDI_FAIL_TIMEDIV) || division == 0) return PLAT_MIDI_INVALPARAM;
    st->division = division;
    return PLAT_MIDI_NOERROR;
}

int32_t plat_MidiStreamClose(PlatMidiStream stream) {
    Stream* st = Get(stream);
    if (!st) return PLAT_MIDI_INVALHANDLE;
    if (st->head || st->returned) return PLAT_MIDI_STILLPLAYING;
    *st = Stream{};
    return PLAT_MIDI_NOERROR;
}

int32_t plat_MidiOutPrepareHeader(PlatMidiStream stream, PlatMidiHeader* header) {
    if (!Get(stream)) return PLAT_MIDI_INVALHANDLE;
    if (!header || !header->data || header->bufferLength == 0) return PLAT_MIDI_INVALPARAM;
    header->flags |= PLAT_MHDR_PREPARED;
    return PLAT_MIDI_NOERROR;
}

int32_t plat_MidiOutUnprepareHeader(PlatMidiStream stream, PlatMidiHeader* header) {
    if (!Get(stream)) return PLAT_MIDI_INVALHANDLE;
    if (!header) return PLAT_MIDI_INVALPARAM;
    if (header->flags & PLAT_MHDR_INQUEUE) return PLAT_MIDI_STILLPLAYING;
    header->flags &= ~(uint32_t)PLAT_MHDR_PREPARED;
    return PLAT_MIDI_NOERROR;
}

int32_t plat_MidiStreamOut(PlatMidiStream stream, PlatMidiHeader* header) {
    Stream* st = Get(stream);
    if (!st) return PLAT_MIDI_INVALHANDLE;
    if (!header || header->bytesRecorded > header->bufferLength || (header->bytesRecorded & 3))
        return PLAT_MIDI_INVALPARAM;
    if (!(header->flags & PLAT_MHDR_PREPARED)) return PLAT_MIDI_UNPREPARED;
    if (header->flags & PLAT_MHDR_INQUEUE) return PLAT_MIDI_STILLPLAYING;
    if (TakeFail(PLAT_MIDI_FAIL_OUT)) return PLAT_MIDI_ERROR;
    if (g_sentCount < kSentMax) {
        PlatMidiSent& s = g_sent[g_sentCount++];
        s.bytes = header->bytesRecorded;
        memset(s.data, 0, sizeof s.data);
        memcpy(s.data, header->data, s.bytes < sizeof s.data ? s.bytes : sizeof s.data);
    }
    header->durationMs = Duration(*st, header);
    header->flags = (header->flags & ~(uint32_t)PLAT_MHDR_DONE) | PLAT_MHDR_INQUEUE;
    header->queueNext = nullptr;
    if (st->tail) {
        st->tail->queueNext = header;
    } else {
        st->head = header;
        st->headStartMs = plat_TimeMs();
        st->elapsedMs = 0;
    }
    st->tail = header;
    st->queued++;
    return PLAT_MIDI_NOERROR;
}

int32_t plat_MidiStreamRestart(PlatMidiStream stream) {
    Stream* st = Get(stream);
    if (!st) return PLAT_MIDI_INVALHANDLE;
    if (TakeFail(PLAT_MIDI_FAIL_RESTART)) return PLAT_MIDI_ERROR;
    if (!st->running) {
        st->running = 1;
        st->headStartMs = plat_TimeMs() - st->elapsedMs;
    }
    return PLAT_MIDI_NOERROR;
}

int32_t plat_MidiStreamPause(PlatMidiStream stream) {
    Stream* st = Get(stream);
    if (!st) return PLAT_MIDI_INVALHANDLE;
    if (st->running) {
        st->running = 0;
        st->elapsedMs = st->head ? plat_TimeMs() - st->headStartMs : 0;
    }
    return PLAT_MIDI_NOERROR;
}

int32_t plat_MidiStreamStop(PlatMidiStream stream) {
    Stream* st = Get(stream);
    if (!st) return PLAT_MIDI_INVALHANDLE;
    if (TakeFail(PLAT_MIDI_FAIL_STOP)) return PLAT_MIDI_ERROR;
    st->running = 0;
    ReturnAll(*st);
    return PLAT_MIDI_NOERROR;
}

int32_t plat_MidiOutReset(PlatMidiStream stream) {
    Stream* st = Get(stream);
    if (!st) return PLAT_MIDI_INVALHANDLE;
    ReturnAll(*st);
    return PLAT_MIDI_NOERROR;
}

void plat_MidiPump(void) {
    // A callback that pumps gets nothing more: callbacks never nest.
    if (g_delivering) return;
    g_delivering = true;
    for (int32_t i = 0; i < kStreams; i++) {
        PlatMidiStream s = (PlatMidiStream)(i + 1);
        // Each buffer is taken off its queue before the callback runs, which
        // may queue, stop or close the stream.
        while (PlatMidiHeader* h = NextDone(s)) Deliver(s, h);
    }
    g_delivering = false;
}

void plat_MidiTestDevices(int32_t count) {
    g_deviceCount = count < 0 ? 0 : count;
    for (Stream& st : g_streams) st = Stream{};
    for (bool& f : g_fail) f = false;
    g_sentCount = 0;
    g_delivering = false;
}

void plat_MidiTestFail(int32_t kind) {
    if (kind >= 0 && kind < PLAT_MIDI_FAIL_KINDS) g_fail[kind] = true;
}

int32_t plat_MidiTestTakeSent(PlatMidiSent* out, int32_t max) {
    int32_t n = g_sentCount < max ? g_sentCount : max;
    for (int32_t i = 0; i < n; i++) out[i] = g_sent[i];
    g_sentCount = 0;
    return n;
}

int32_t plat_MidiTestQueued(PlatMidiStream stream) {
    Stream* st = Get(stream);
    return st ? st->queued : -1;
}

int32_t plat_MidiTestOpenStreams(void) {
    int32_t n = 0;
    for (const Stream& st : g_streams) n += st.open;
    return n;
}
