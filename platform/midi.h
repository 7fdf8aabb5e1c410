// MIDI streams: buffers of timed MIDI events handed to an output device,
// each given back through the stream's callback (MOM_DONE) once played.
//
// There is no synthesiser: the device accepts the events and times them.
// A buffer lasts as long as its delta times take at the stream's tempo and
// time division, on the platform clock; a stopped or reset stream hands its
// buffers back at once. Buffers come back from plat_MidiPump, which the
// message pump runs, so the callback always runs on the main thread and
// never inside another callback. Main thread only.
#pragma once
#include <cstdint>

typedef uintptr_t PlatMidiStream;  // 0: none

enum {
    PLAT_MOM_OPEN = 0x3C7,
    PLAT_MOM_CLOSE = 0x3C8,
    PLAT_MOM_DONE = 0x3C9,
};

// Results (the multimedia error numbers).
enum {
    PLAT_MIDI_NOERROR = 0,
    PLAT_MIDI_ERROR = 1,
    PLAT_MIDI_BADDEVICEID = 2,
    PLAT_MIDI_INVALHANDLE = 5,
    PLAT_MIDI_INVALPARAM = 11,
    PLAT_MIDI_UNPREPARED = 64,
    PLAT_MIDI_STILLPLAYING = 65,
};

enum { PLAT_MHDR_DONE = 1, PLAT_MHDR_PREPARED = 2, PLAT_MHDR_INQUEUE = 4 };

// Event types in the top byte of an event word.
enum : uint32_t {
    PLAT_MEVT_SHORTMSG = 0x00,
    PLAT_MEVT_TEMPO = 0x01,
    PLAT_MEVT_NOP = 0x02,
    PLAT_MEVT_LONGMSG = 0x80,
};

// A stream buffer: 12-byte event records (delta ticks, stream id 0, event
// word), a long event followed by its bytes padded to 4. The caller owns
// the data; it stays in place while the buffer is prepared.
struct PlatMidiHeader {
    uint8_t* data;
    uint32_t bufferLength;   // bytes of room
    uint32_t bytesRecorded;  // bytes of events
    uintptr_t user;
    uint32_t flags;          // PLAT_MHDR_*
    PlatMidiHeader* next;    // the owner's free list
    // The device's own.
    uint32_t durationMs;
    PlatMidiHeader* queueNext;
};
constexpr uint32_t PLAT_MIDI_HEADER_BYTES = 64;  // what a header costs in a buffer

typedef void (*PlatMidiCallback)(PlatMidiStream stream, uint32_t message, uintptr_t instance, uintptr_t param1,
                                 uintptr_t param2);

// Output devices there are (0 without a device).
int32_t plat_MidiDeviceCount(void);
// Opens a stream paused on device `device`.
int32_t plat_MidiStreamOpen(PlatMidiStream* stream, uint32_t device, PlatMidiCallback callback, uintptr_t instance);
// Ticks per quarter note (or a negative SMPTE frame rate in the high byte
// and ticks per frame in the low byte).
int32_t plat_MidiStreamTimeDivision(PlatMidiStream stream, uint32_t division);
int32_t plat_MidiStreamClose(PlatMidiStream stream);
int32_t plat_MidiOutPrepareHeader(PlatMidiStream stream, PlatMidiHeader* header);
int32_t plat_MidiOutUnprepareHeader(PlatMidiStream stream, PlatMidiHeader* header);
// Queues a prepared buffer behind the others.
int32_t plat_MidiStreamOut(PlatMidiStream stream, PlatMidiHeader* header);
int32_t plat_MidiStreamRestart(PlatMidiStream stream);
int32_t plat_MidiStreamPause(PlatMidiStream stream);
// Stops playing; every queued buffer comes back.
int32_t plat_MidiStreamStop(PlatMidiStream stream);
// Silences the device; every queued buffer comes back.
int32_t plat_MidiOutReset(PlatMidiStream stream);

// Hands back the buffers that have finished (MOM_DONE to the callback).
void plat_MidiPump(void);

// For tests: the device count (1 at start; 0 makes every open fail), a
// refusal of the next operation of a kind, and what the device was sent.
void plat_MidiTestDevices(int32_t count);
enum { PLAT_MIDI_FAIL_OPEN, PLAT_MIDI_FAIL_TIMEDIV, PLAT_MIDI_FAIL_OUT, PLAT_MIDI_FAIL_STOP, PLAT_MIDI_FAIL_RESTART,
       PLAT_MIDI_FAIL_KINDS };
void plat_MidiTestFail(int32_t kind);
// Buffers sent since the last call, in order (copies of their events).
struct PlatMidiSent {
    uint32_t bytes;
    uint8_t data[256];  // the first bytes of the buffer's events
};
int32_t plat_MidiTestTakeSent(PlatMidiSent* out, int32_t max);
int32_t plat_MidiTestQueued(PlatMidiStream stream);
int32_t plat_MidiTestOpenStreams(void);
