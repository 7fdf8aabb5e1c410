// The speech player: radio messages, each a sample file of its own, played
// on one speech channel; a new message cuts off the one before.
#pragma once
#include <cstdint>

// A speech voice's flags word: the caller's flags with this bit set, so the
// end-of-voice hook never takes it for a sound entry.
constexpr uint32_t SPEECH_VOICE_BIT = 0x80000000u;

struct SpeechState {
    int32_t initialised;
    void* sample;    // the current message's MixSample, or null
    uint32_t key;    // its voice key, 0 = none
    uint32_t flags;  // the caller's flags of the current message
    int32_t pan;     // 0, straight ahead
    int32_t volume;  // DIALOG_VOLUME at each play
    int32_t pitch;   // 0, natural
};
extern SpeechState speech_State;

void speech_Init(void);
// 0 when started, -1 otherwise (not initialised, no name, no such file, no
// sample); a message that did not start leaves the current one playing.
int32_t speech_Play(const char* name, uint32_t flags);
// Stops and frees the current message.
void speech_Stop(void);
void speech_Shutdown(void);
// 1 while the message started with these flags still plays.
int32_t speech_MessagePlaying(uint32_t flags);
