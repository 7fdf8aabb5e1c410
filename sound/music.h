// Music: the streamed front-end music ("KRXMUSIC.SBF") steered by the
// compiled music-logic script ("KRXMUSIC.BIN"), and the MIDI-stream and
// CD-audio players with their message-pump hooks. Main thread only.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/cdaudio.h"
#include "platform/midi.h"

// ---- Streamed music -----------------------------------------------------------

constexpr int32_t MUSIC_MAX_ENTRIES = 100;
constexpr int32_t MUSIC_RING = 16;
constexpr uint32_t MUSIC_BLOCK_BYTES = 16384;
constexpr uint32_t MUSIC_HEADER_BYTES = 24;
constexpr uint32_t MUSIC_ENTRY_BYTES = 32;
constexpr uint32_t MUSIC_NO_PLAY_BLOCK = 0x10000;  // block sizes from here on never play

struct MusicStreamEntry {
    uint32_t offset;     // file offset of the first block
    uint32_t length;     // bytes
    uint32_t blockSize;  // bytes
};

// The player's state (one instance).
struct MusicStreamState {
    int32_t open;
    int handle;  // -1: none
    uint8_t header[MUSIC_HEADER_BYTES];
    int32_t entryCount;
    MusicStreamEntry entries[MUSIC_MAX_ENTRIES];
    int32_t current;
    uint32_t blockSize;
    int32_t bytesToQueue;
    int32_t masterVolume;  // 0..255
    int32_t fadeLevel;     // 16.16, 0..255<<16
    int32_t fadeTarget;
    int32_t fadeStep;      // added per queued block
    int32_t writeSlot;     // 0..15
    uint8_t ring[MUSIC_RING][MUSIC_BLOCK_BYTES];
};
extern MusicStreamState music_Stream;

// Starts the music (closing any first); returns 0 whether or not it started.
int32_t music_StreamOpen(const char* streamFile, const char* scriptFile, const char* programName);
void music_StreamClose(void);
void music_StreamUpdate(void);  // per frame
void music_SetVolume(int32_t volume);
void music_SetVariable(int32_t index, int32_t value);
// Called by the music script.
void music_StreamSelectEntry(int32_t entry);
void music_FadeSet(int32_t volume);
void music_FadeTo(int32_t volume);

// ---- Music-logic script machine -------------------------------------------------

constexpr int32_t MUSIC_SCRIPT_MAX_PROGRAMS = 256;
constexpr int32_t MUSIC_SCRIPT_STACK = 256;
constexpr int32_t MUSIC_SCRIPT_BURST = 32;
// A step that runs this many opcodes without yielding is stopped: the
// script is broken (a loop that never empties its stack).
constexpr int32_t MUSIC_SCRIPT_STEP_LIMIT = 65536;
constexpr uint32_t MUSIC_SCRIPT_SEED = 0x0D1CFACE;
constexpr uint32_t MUSIC_SCRIPT_PROGRAM_HEADER = 72;

enum { MUSIC_SCRIPT_IDLE = 0, MUSIC_SCRIPT_RUNNING = 1 };

// The machine record (one instance). Positions are byte offsets into the
// loaded file image.
struct MusicScriptMachine {
    int32_t state;
    int32_t program;       // index of the current program
    uint8_t* vars;         // global area followed by the local area
    uint32_t globalSize, localSize;
    uint32_t resume;       // file offset of the next opcode
    int32_t entryIndex;
    uint32_t seed;
    // Set when the machine was stopped by a fault of the script.
    int32_t fault;
};
extern MusicScriptMachine music_Script;

// Why the last step stopped the machine (MUSIC_FAULT_*; 0: it did not).
enum {
    MUSIC_FAULT_NONE = 0,
    MUSIC_FAULT_STACK = 1,      // value or return stack over- or underflow
    MUSIC_FAULT_JUMP = 2,       // a position outside the code or operands past the program
    MUSIC_FAULT_DIVIDE = 3,     // division by zero
    MUSIC_FAULT_COPY = 4,       // a copy or parameter count that does not fit
    MUSIC_FAULT_OPCODE = 5,     // opcode 64 and up
    MUSIC_FAULT_CALLOUT = 6,    // call-out 10 and up
    MUSIC_FAULT_LIMIT = 7,      // a step that never came to an end
    MUSIC_FAULT_ADDRESS = 8,    // a bad address for a copy
};

int32_t music_ScriptOpen(const char* fileName);  // nonzero on success
// Loads a script from memory (the image is copied); nonzero on success.
int32_t music_ScriptLoadImage(const uint8_t* image, uint32_t size);
void music_ScriptFree(void);
void music_ScriptStartAt(const char* name);
void music_ScriptStop(void);
void music_ScriptStep(void);
void music_ScriptVarSet(int32_t index, int32_t value);
uint32_t music_ScriptChecksum(void);
// Programs in the loaded script (0 without the magic or when none is loaded).
int32_t music_ScriptProgramCount(void);

// ---- MIDI player ---------------------------------------------------------------

enum {
    MUSIC_MIDI_IDLE = 1,
    MUSIC_MIDI_CUEING = 2,
    MUSIC_MIDI_CUED = 3,
    MUSIC_MIDI_PLAYING = 4,
    MUSIC_MIDI_PAUSED = 5,
    MUSIC_MIDI_STOPPING = 6,
    MUSIC_MIDI_RESETTING = 7,
};
enum { MUSIC_MIDI_END_QUEUED = 1, MUSIC_MIDI_STOP_FLAG = 4 };
enum { MUSIC_SONG_ENDED = 1, MUSIC_SONG_LEAD_F0 = 2 };
enum { MUSIC_TRACK_END = 1 };
// Results of the song reader.
enum {
    MUSIC_MIDI_OK = 0,
    MUSIC_MIDI_BAD = 1,
    MUSIC_MIDI_SMALL = 2,
    MUSIC_MIDI_ENDED = 11,
    MUSIC_MIDI_AT_END = 12,
};
constexpr uint32_t MUSIC_MIDI_START_BUFFER = 4096;
constexpr uint32_t MUSIC_MIDI_START_BUFFER_MAX = 32768;
constexpr uint32_t MUSIC_MIDI_WATCHDOG = 2400;  // clock units (1/120 s)
constexpr int32_t MUSIC_MIDI_MAX_DEVICES = 32;

struct MusicSong;

struct MusicTrack {
    MusicSong* song;
    uint32_t offset;     // of the event data from the image base
    uint32_t time;       // of the last event taken
    uint32_t remaining;  // bytes
    uint32_t position;   // read position, from the image base
    uint8_t runningStatus;
    uint32_t flags;
    uint32_t length;
};

struct MusicSong {
    const uint8_t* image;
    uint32_t imageSize;
    uint32_t time;
    uint32_t trackCount;
    uint32_t flags;
    uint32_t longEvent;      // 0x80000000 while bytes remain
    uint32_t longRemaining;
    uint32_t longSource;     // from the image base
    MusicTrack* tracks;
};

struct MusicMidiEvent {
    uint32_t delta;
    uint8_t status;
    uint8_t data1;
    uint8_t data2;
    uint32_t length;
    const uint8_t* data;
};

struct MusicMidiPlayer {
    int32_t device;
    int32_t state;
    uint32_t playEnd;
    int32_t lastError;
    MusicSong song;
    PlatMidiStream stream;  // 0: none
    uint32_t timeDivision;
    PlatMidiHeader* freeList;
    PlatMidiHeader* startState;  // kept, enlarged start-state buffer
    uint32_t startStateSize;
    int32_t queued;
    uint32_t startPosition, endPosition;
    uint32_t flags;
};

// The MIDI layer's module state (one instance).
struct MusicMidiState {
    int32_t ready;
    MusicMidiPlayer* player;
    int32_t songStarted;
    int32_t countdown;
    uint32_t restartMark;  // clock, 1/120 s
    int32_t looping;
    void (*endHook)(void);
    int32_t preferredDevice;  // -1
    int32_t acceptedCount;
    int32_t accepted[MUSIC_MIDI_MAX_DEVICES];
    int32_t deviceCount;
    int32_t devices[MUSIC_MIDI_MAX_DEVICES][2];  // number, kind
    uint8_t lastTempo[3];
    uint8_t lastProgram[16];
    uint8_t lastController[16][120];
};
extern MusicMidiState music_Midi;

int32_t music_MidiPlay(void);
int32_t music_MidiStop(void);
int32_t music_MidiLoopCountdown(void);
int32_t music_MidiPoll(void);  // always 0
void music_MidiStreamProc(PlatMidiStream stream, uint32_t message, uintptr_t instance, uintptr_t param1,
                          uintptr_t param2);
void music_MidiResume(void);
int32_t music_MidiCue(uint32_t start, uint32_t end);
int32_t music_MidiScanTo(MusicSong* song, uint32_t start, PlatMidiHeader* buffer);
int32_t music_MidiFillBuffer(MusicSong* song, PlatMidiHeader* buffer, uint32_t end);
int32_t music_MidiPutLongPiece(MusicSong* song, uint32_t delta, PlatMidiHeader* buffer);
int32_t music_MidiNextEvent(MusicSong* song, MusicMidiEvent* event, uint32_t end);
uint32_t music_MidiReadVarLen(const uint8_t* bytes, uint32_t limit, uint32_t* value);

// ---- CD audio ------------------------------------------------------------------

struct MusicCdState {
    int32_t open;
    uint32_t device;
    int32_t playing;
    int32_t track;
    int32_t repeat;
    uint32_t trackLength;  // clock units
    uint32_t endTime;
    void (*trackEndHook)(int32_t track);
};
extern MusicCdState music_Cd;

int32_t music_CdPlayTrack(int32_t track, int32_t repeat);
int32_t music_CdTrackLength(int32_t track, int32_t* minutes, int32_t* seconds, int32_t* frames);
void music_CdStop(void);
void music_CdTrackPump(void);
