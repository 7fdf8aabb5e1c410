// The MIDI player: turns the tracks of a song into MIDI stream buffers and
// keeps the device fed from the stream's callback. Nothing in the program
// loads a song, so the hooks find it idle.
#include <cstdlib>
#include <cstring>

#include "platform/timer.h"
#include "shell/runner.h"
#include "sound/music.h"

MusicMidiState music_Midi = {0, nullptr, 0, 0, 0, 0, nullptr, -1};

static_assert(sizeof(PlatMidiHeader) <= PLAT_MIDI_HEADER_BYTES, "a stream buffer starts with its header");

namespace {

// Waits for the callback look this many times at most: the stand-in device
// hands buffers back at once when stopped or reset.
constexpr int32_t kWaitLooks = 5000;

uint32_t Now(void) { return app_ClockHigh.load(std::memory_order_acquire); }

int32_t MessageLength(uint8_t status) {
    uint8_t hi = status >> 4;
    return (hi == 0xC || hi == 0xD) ? 2 : 3;
}

uint32_t Free(const PlatMidiHeader* b) {
    uint32_t len = b->bufferLength & ~3u;
    return len > b->bytesRecorded ? len - b->bytesRecorded : 0;
}

void Put32(uint8_t* p, uint32_t v) {
    p[0] = (uint8_t)v;
    p[1] = (uint8_t)(v >> 8);
    p[2] = (uint8_t)(v >> 16);
    p[3] = (uint8_t)(v >> 24);
}

// One 12-byte event record; false when it does not fit.
bool PutEvent(PlatMidiHeader* b, uint32_t delta, uint32_t word) {
    if (Free(b) < 12) return false;
    uint8_t* p = b->data + b->bytesRecorded;
    Put32(p, delta);
    Put32(p + 4, 0);
    Put32(p + 8, word);
    b->bytesRecorded += 12;
    return true;
}

// The device the stream opens on.
int32_t ChooseDevice(void) {
    MusicMidiState& m = music_Midi;
    for (int32_t i = 0; i < m.acceptedCount && i < MUSIC_MIDI_MAX_DEVICES; i++)
        if (m.accepted[i] == m.preferredDevice) return m.preferredDevice;
    for (int32_t kind : {2, 5, 1}) {
        int32_t found = -1;
        for (int32_t i = 0; i < m.deviceCount && i < MUSIC_MIDI_MAX_DEVICES; i++)
            if (m.devices[i][1] == kind) found = m.devices[i][0];
        if (found >= 0) return found;
    }
    return 0;
}

// Stream buffers are blocks that begin with their header.
PlatMidiHeader* BlockHeader(void* block, uint32_t size, MusicMidiPlayer* p) {
    PlatMidiHeader* h = static_cast<PlatMidiHeader*>(block);
    memset(h, 0, sizeof *h);
    h->data = static_cast<uint8_t*>(block) + PLAT_MIDI_HEADER_BYTES;
    h->bufferLength = size - PLAT_MIDI_HEADER_BYTES;
    h->user = reinterpret_cast<uintptr_t>(p);
    return h;
}

void ToFreeList(MusicMidiPlayer* p, PlatMidiHeader* h) {
    if (h == p->startState) return;
    h->next = p->freeList;
    p->freeList = h;
}

// Gives the main thread's wait a chance to see the callback.
void WaitLook(uint32_t sleepMs) {
    plat_MidiPump();
    plat_Sleep(sleepMs);
}

// Every buffer is back and the stream closes; the song is no longer started.
void CloseStream(MusicMidiPlayer* p) {
    plat_MidiStreamClose(p->stream);
    p->stream = 0;
    p->flags &= ~(uint32_t)MUSIC_MIDI_STOP_FLAG;
    p->state = MUSIC_MIDI_IDLE;
    p->lastError = 0;
    music_Midi.songStarted = 0;
}

int32_t CueFails(MusicMidiPlayer* p) {
    p->state = MUSIC_MIDI_IDLE;
    p->flags &= ~(uint32_t)MUSIC_MIDI_STOP_FLAG;
    return -1;
}

// Prepares, counts and sends a filled buffer; false on a refusal (the count
// taken back).
bool Send(MusicMidiPlayer* p, PlatMidiHeader* h) {
    if (plat_MidiOutPrepareHeader(p->stream, h) != PLAT_MIDI_NOERROR) return false;
    p->queued++;
    if (plat_MidiStreamOut(p->stream, h) != PLAT_MIDI_NOERROR) {
        p->queued--;
        return false;
    }
    return true;
}

}  // namespace

// ---- Reading songs ---------------------------------------------------------------

uint32_t music_MidiReadVarLen(const uint8_t* bytes, uint32_t limit, uint32_t* value) {
    uint32_t v = 0;
    for (uint32_t i = 0; i < limit; i++) {
        uint8_t b = bytes[i];
        v = (v << 7) | (b & 0x7F);
        if (!(b & 0x80)) {
            if (value) *value = v;
            return i + 1;
        }
    }
    return 0;
}

int32_t music_MidiNextEvent(MusicSong* song, MusicMidiEvent* ev, uint32_t end) {
    if (song->flags & MUSIC_SONG_ENDED) return MUSIC_MIDI_ENDED;
    MusicTrack* best = nullptr;
    uint32_t bestTime = 0, bestDelta = 0, bestBytes = 0;
    for (uint32_t i = 0; i < song->trackCount; i++) {
        MusicTrack& t = song->tracks[i];
        if (t.flags & MUSIC_TRACK_END) continue;
        uint32_t delta = 0;
        uint32_t n = music_MidiReadVarLen(song->image + t.position, t.remaining, &delta);
        if (!n) return MUSIC_MIDI_BAD;
        uint32_t next = t.time + delta;
        if (!best || next < bestTime) {
            best = &t;
            bestTime = next;
            bestDelta = delta;
            bestBytes = n;
        }
    }
    if (!best) {
        song->flags |= MUSIC_SONG_ENDED;
        return MUSIC_MIDI_ENDED;
    }
    if (bestTime >= end) return MUSIC_MIDI_AT_END;
    MusicTrack& t = *best;
    t.position += bestBytes;
    t.remaining -= bestBytes;
    if (t.remaining < 3) return MUSIC_MIDI_BAD;
    t.time += bestDelta;
    ev->delta = t.time - song->time;
    song->time = t.time;
    ev->data2 = 0;
    ev->length = 0;
    ev->data = nullptr;
    const uint8_t* p = song->image + t.position;
    uint8_t b = p[0];
    if (b < 0x80) {
        if (!t.runningStatus) return MUSIC_MIDI_BAD;
        ev->status = t.runningStatus;
        ev->data1 = b;
        uint32_t used = 1;
        if (MessageLength(ev->status) == 3) ev->data2 = p[used++];
        t.position += used;
        t.remaining -= used;
    } else if (b < 0xF0) {
        t.runningStatus = b;
        ev->status = b;
        ev->data1 = p[1];
        uint32_t used = 2;
        if (MessageLength(b) == 3) ev->data2 = p[used++];
        t.position += used;
        t.remaining -= used;
    } else {
        t.runningStatus = 0;
        ev->status = b;
        uint32_t head = 1;
        if (b == 0xFF) {
            ev->data1 = p[1];
            head = 2;
            if (ev->data1 == 0x2F) t.flags |= MUSIC_TRACK_END;
        } else if (b != 0xF0 && b != 0xF7) {
            return MUSIC_MIDI_BAD;
        } else {
            ev->data1 = 0;
        }
        uint32_t length = 0;
        uint32_t n = music_MidiReadVarLen(p + head, t.remaining - 2, &length);
        if (!n) return MUSIC_MIDI_BAD;
        uint64_t whole = (uint64_t)head + n + length;
        if (whole > t.remaining) return MUSIC_MIDI_BAD;
        ev->length = length;
        ev->data = p + head + n;
        t.position += (uint32_t)whole;
        t.remaining -= (uint32_t)whole;
    }
    return MUSIC_MIDI_OK;
}

int32_t music_MidiPutLongPiece(MusicSong* song, uint32_t delta, PlatMidiHeader* b) {
    uint32_t room = Free(b);
    if (room < 16 || !song->longEvent) return 0;
    uint32_t n = room - 12;
    uint32_t total = song->longRemaining;
    if (n > total) n = total;
    PutEvent(b, delta, 0x80000000u | n);
    uint8_t* to = b->data + b->bytesRecorded;
    uint32_t copy = n;
    if (song->flags & MUSIC_SONG_LEAD_F0) {
        *to++ = 0xF0;
        song->flags &= ~(uint32_t)MUSIC_SONG_LEAD_F0;
        song->longRemaining--;
        copy--;
    }
    memcpy(to, song->image + song->longSource, copy);
    song->longRemaining -= copy;
    song->longSource += copy;
    if (song->longRemaining == 0) song->longEvent = 0;
    uint32_t padded = (n + 3) & ~3u;
    memset(b->data + b->bytesRecorded + n, 0, padded - n);
    b->bytesRecorded += padded;
    return 0;
}

int32_t music_MidiFillBuffer(MusicSong* song, PlatMidiHeader* b, uint32_t end) {
    b->bytesRecorded = 0;
    if (song->longEvent) music_MidiPutLongPiece(song, 0, b);
    if (song->flags & MUSIC_SONG_ENDED) return MUSIC_MIDI_ENDED;
    uint32_t carried = 0;  // delta of events taken but not written
    while (Free(b) >= 16 && !song->longEvent) {
        MusicMidiEvent ev;
        int32_t r = music_MidiNextEvent(song, &ev, end);
        if (r == MUSIC_MIDI_AT_END) {
            song->flags |= MUSIC_SONG_ENDED;
            break;
        }
        // Bad track data stops the song: filling it again would meet the
        // same bytes for ever.
        if (r == MUSIC_MIDI_BAD) return MUSIC_MIDI_BAD;
        if (r) break;
        uint32_t delta = carried + ev.delta;
        if (ev.status < 0xF0) {
            PutEvent(b, delta, (uint32_t)ev.status | ((uint32_t)ev.data1 << 8) | ((uint32_t)ev.data2 << 16));
            carried = 0;
        } else if (ev.status == 0xFF) {
            if (ev.data1 == 0x51) {
                if (ev.length != 3) return MUSIC_MIDI_BAD;
                PutEvent(b, delta,
                         (PLAT_MEVT_TEMPO << 24) | ((uint32_t)ev.data[0] << 16) | ((uint32_t)ev.data[1] << 8) |
                             ev.data[2]);
                carried = 0;
            } else {
                carried = delta;  // later events keep their time in the song
            }
        } else {
            song->longSource = (uint32_t)(ev.data - song->image);
            song->longRemaining = ev.length + (ev.status == 0xF0 ? 1 : 0);
            if (ev.status == 0xF0) song->flags |= MUSIC_SONG_LEAD_F0;
            song->longEvent = song->longRemaining ? 0x80000000u : 0;
            if (song->longEvent) {
                music_MidiPutLongPiece(song, delta, b);
                carried = 0;
            } else {
                carried = delta;
            }
        }
    }
    return (song->flags & MUSIC_SONG_ENDED) ? MUSIC_MIDI_ENDED : MUSIC_MIDI_OK;
}

int32_t music_MidiScanTo(MusicSong* song, uint32_t start, PlatMidiHeader* b) {
    MusicMidiState& m = music_Midi;
    memset(m.lastTempo, 0xFF, sizeof m.lastTempo);
    memset(m.lastProgram, 0xFF, sizeof m.lastProgram);
    memset(m.lastController, 0xFF, sizeof m.lastController);
    song->flags = 0;  // a rewind drops a pending long message too
    song->longEvent = 0;
    song->longRemaining = 0;
    song->time = 0;
    for (uint32_t i = 0; i < song->trackCount; i++) {
        MusicTrack& t = song->tracks[i];
        if ((uint64_t)t.offset + t.length > song->imageSize) return MUSIC_MIDI_BAD;
        t.song = song;
        t.time = 0;
        t.remaining = t.length;
        t.position = t.offset;
        t.runningStatus = 0;
        t.flags = 0;
    }
    MusicMidiEvent ev;
    int32_t r;
    while ((r = music_MidiNextEvent(song, &ev, start)) == MUSIC_MIDI_OK) {
        uint8_t hi = ev.status >> 4, ch = ev.status & 0x0F;
        if (ev.status == 0xFF && ev.data1 == 0x51) {
            if (ev.length != 3) return MUSIC_MIDI_BAD;
            memcpy(m.lastTempo, ev.data, 3);
        } else if (hi == 0xB && ev.status < 0xF0) {
            if (ev.data1 < 120) m.lastController[ch][ev.data1] = ev.data2;  // channel modes are not kept
        } else if (hi == 0xC && ev.status < 0xF0) {
            m.lastProgram[ch] = ev.data1;
        }
    }
    if (r != MUSIC_MIDI_AT_END) return r;
    b->bytesRecorded = 0;
    if (m.lastTempo[0] != 0xFF || m.lastTempo[1] != 0xFF || m.lastTempo[2] != 0xFF) {
        uint32_t w = (PLAT_MEVT_TEMPO << 24) | ((uint32_t)m.lastTempo[0] << 16) | ((uint32_t)m.lastTempo[1] << 8) |
                     m.lastTempo[2];
        if (!PutEvent(b, 0, w)) return MUSIC_MIDI_SMALL;
    }
    for (uint32_t ch = 0; ch < 16; ch++)
        if (m.lastProgram[ch] != 0xFF && !PutEvent(b, 0, (0xC0 | ch) | ((uint32_t)m.lastProgram[ch] << 8)))
            return MUSIC_MIDI_SMALL;
    for (uint32_t ch = 0; ch < 16; ch++)
        for (uint32_t c = 0; c < 120; c++)
            if (m.lastController[ch][c] != 0xFF &&
                !PutEvent(b, 0, (0xB0 | ch) | (c << 8) | ((uint32_t)m.lastController[ch][c] << 16)))
                return MUSIC_MIDI_SMALL;
    return MUSIC_MIDI_OK;
}

// ---- Playing ---------------------------------------------------------------------

int32_t music_MidiCue(uint32_t start, uint32_t end) {
    MusicMidiPlayer* p = music_Midi.player;
    if (!p) return -1;
    p->device = ChooseDevice();
    p->lastError = 0;
    if (p->state != MUSIC_MIDI_IDLE && p->state != MUSIC_MIDI_CUED) return -1;
    p->startPosition = start;
    p->endPosition = end;
    if (p->stream) {
        p->state = MUSIC_MIDI_RESETTING;
        plat_MidiOutReset(p->stream);
        for (int32_t i = 0; p->queued > 0 && i < kWaitLooks; i++) WaitLook(0);
        if (p->queued > 0) return CueFails(p);
    }
    p->queued = 0;
    p->state = MUSIC_MIDI_CUEING;
    if (!p->stream) {
        PlatMidiStream s = 0;
        if (plat_MidiStreamOpen(&s, (uint32_t)p->device, music_MidiStreamProc, 0) != PLAT_MIDI_NOERROR) {
            p->stream = 0;
            return CueFails(p);
        }
        if (plat_MidiStreamTimeDivision(s, p->timeDivision) != PLAT_MIDI_NOERROR) {
            plat_MidiStreamClose(s);
            p->stream = 0;
            return CueFails(p);
        }
        p->stream = s;
    }
    uint32_t size = p->startState ? p->startStateSize : MUSIC_MIDI_START_BUFFER;
    void* block = p->startState ? static_cast<void*>(p->startState) : malloc(size);
    if (!block) return CueFails(p);
    // The start-state buffer is kept for the next cue, enlarged or not, so
    // cues do not add buffers to the song's.
    p->startState = BlockHeader(block, size, p);
    p->startStateSize = size;
    for (;;) {
        int32_t r = music_MidiScanTo(&p->song, start, p->startState);
        if (r == MUSIC_MIDI_OK) break;
        if (r == MUSIC_MIDI_SMALL && size < MUSIC_MIDI_START_BUFFER_MAX) {
            void* bigger = realloc(p->startState, size * 2);
            if (!bigger) return CueFails(p);
            size *= 2;
            p->startState = BlockHeader(bigger, size, p);
            p->startStateSize = size;
            continue;
        }
        free(p->startState);
        p->startState = nullptr;
        p->startStateSize = 0;
        return CueFails(p);
    }
    if (!Send(p, p->startState)) return CueFails(p);
    p->flags &= ~(uint32_t)MUSIC_MIDI_END_QUEUED;
    while (PlatMidiHeader* h = p->freeList) {
        p->freeList = h->next;
        h->next = nullptr;
        h->user = reinterpret_cast<uintptr_t>(p);
        int32_t r = music_MidiFillBuffer(&p->song, h, end);
        if ((r != MUSIC_MIDI_OK && r != MUSIC_MIDI_ENDED) || !Send(p, h)) {
            ToFreeList(p, h);
            return CueFails(p);
        }
        if (r == MUSIC_MIDI_ENDED) {
            p->flags |= MUSIC_MIDI_END_QUEUED;
            p->state = MUSIC_MIDI_CUED;
            return 0;
        }
    }
    p->state = MUSIC_MIDI_CUED;
    return 0;
}

void music_MidiResume(void) {
    do {
        if (music_MidiLoopCountdown() < 0) break;
    } while (music_Midi.countdown > 0);
}

int32_t music_MidiPlay(void) {
    MusicMidiState& m = music_Midi;
    MusicMidiPlayer* p = m.player;
    if (!m.ready || !p) return -1;
    if (p->state == MUSIC_MIDI_PAUSED) music_MidiResume();
    if (p->state == MUSIC_MIDI_PLAYING) music_MidiStop();
    if (p->state != MUSIC_MIDI_CUED) {
        int32_t r = music_MidiCue(0, p->playEnd);
        if (r < 0) return r;
    }
    p->state = MUSIC_MIDI_PLAYING;
    if (plat_MidiStreamRestart(p->stream) != PLAT_MIDI_NOERROR) return -1;
    m.countdown = 0;
    m.songStarted = 1;
    m.restartMark = Now();
    return 0;
}

int32_t music_MidiStop(void) {
    MusicMidiState& m = music_Midi;
    MusicMidiPlayer* p = m.player;
    if (!m.ready || !p) return -1;
    if (p->state != MUSIC_MIDI_PLAYING && p->state != MUSIC_MIDI_PAUSED) {
        p->flags &= ~(uint32_t)MUSIC_MIDI_STOP_FLAG;
        return 0;
    }
    p->state = MUSIC_MIDI_STOPPING;
    p->flags |= MUSIC_MIDI_STOP_FLAG;
    p->lastError = plat_MidiStreamStop(p->stream);
    if (p->lastError) {
        p->flags &= ~(uint32_t)MUSIC_MIDI_STOP_FLAG;
        return -1;
    }
    int32_t looks = 0;
    while (p->queued > 0 && looks++ < kWaitLooks) WaitLook(0);
    while (p->state == MUSIC_MIDI_STOPPING && looks++ < 2 * kWaitLooks) WaitLook(1);
    m.songStarted = 0;
    m.countdown = 0;
    return 0;
}

int32_t music_MidiLoopCountdown(void) {
    MusicMidiState& m = music_Midi;
    MusicMidiPlayer* p = m.player;
    if (!m.ready || !p || !m.songStarted) return -1;
    m.countdown--;
    if (m.countdown == 0) {
        p->state = MUSIC_MIDI_PLAYING;
        plat_MidiStreamRestart(p->stream);
        m.restartMark = Now();
    }
    return 0;
}

int32_t music_MidiPoll(void) {
    MusicMidiState& m = music_Midi;
    MusicMidiPlayer* p = m.player;
    if (!p) return 0;
    if (p->state == MUSIC_MIDI_PLAYING && m.looping && Now() - m.restartMark > MUSIC_MIDI_WATCHDOG) {
        music_MidiStop();
        music_MidiPlay();
    }
    return 0;
}

void music_MidiStreamProc(PlatMidiStream stream, uint32_t message, uintptr_t instance, uintptr_t param1,
                          uintptr_t param2) {
    if (message != PLAT_MOM_DONE || !param1) return;
    PlatMidiHeader* h = reinterpret_cast<PlatMidiHeader*>(param1);
    MusicMidiPlayer* p = reinterpret_cast<MusicMidiPlayer*>(h->user);
    if (!p) return;
    p->queued--;
    if (p->state == MUSIC_MIDI_RESETTING) {
        ToFreeList(p, h);
        return;
    }
    bool stopping = p->state == MUSIC_MIDI_STOPPING || (p->flags & MUSIC_MIDI_END_QUEUED);
    if (!stopping) {
        int32_t r = music_MidiFillBuffer(&p->song, h, p->endPosition);
        if (r == MUSIC_MIDI_ENDED) p->flags |= MUSIC_MIDI_END_QUEUED;
        if ((r == MUSIC_MIDI_OK || r == MUSIC_MIDI_ENDED) && Send(p, h)) {
            music_Midi.restartMark = Now();
            return;
        }
        // Bad track data or a refused send: the song stops. When this was the
        // last buffer out, none is left to come back and close the stream.
        p->state = MUSIC_MIDI_STOPPING;
    }
    int32_t was = p->state;
    ToFreeList(p, h);
    plat_MidiOutUnprepareHeader(p->stream, h);
    if (p->queued > 0) return;
    CloseStream(p);
    if (was == MUSIC_MIDI_STOPPING) return;
    if (music_Midi.endHook) music_Midi.endHook();
    if (music_Midi.looping) music_MidiPlay();
}
