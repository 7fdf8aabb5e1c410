// The speech player. Messages report no end: callers that wait for one ask
// speech_MessagePlaying.
#include "sound/speech.h"

#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "sound/snd.h"

SpeechState speech_State;

namespace {

constexpr size_t kVariantName = 32;  // 31 characters and the terminator

// The file's name for the voice variant in force: the 4th letter of a
// variant name ('E' or 'R') follows the AUX_VOICE_DIALOG setting.
const char* VariantName(const char* name, char* buffer) {
    if (app_VariantWord != 1) return name;
    size_t length = strlen(name);
    if (length <= 4) return name;
    char c = name[3];
    if (c != 'E' && c != 'R' && c != 'e' && c != 'r') return name;
    size_t n = length < kVariantName - 1 ? length : kVariantName - 1;
    memcpy(buffer, name, n);
    buffer[n] = 0;
    buffer[3] = app_Settings.AUX_VOICE_DIALOG == 1 ? 'R' : 'E';
    return buffer;
}

}  // namespace

void speech_Init(void) {
    if (speech_State.initialised) return;
    speech_State = SpeechState{};
    speech_State.volume = 255;
    speech_State.initialised = 1;
}

int32_t speech_Play(const char* name, uint32_t flags) {
    if (!speech_State.initialised || !name || !name[0]) return -1;
    char buffer[kVariantName];
    const char* file = VariantName(name, buffer);
    if (!file_Exists(file)) return -1;
    MixSample* sample = snd_SampleLoad(file);
    if (!sample) return -1;
    speech_Stop();
    speech_State.flags = flags;
    speech_State.sample = sample;
    int32_t volume = app_Settings.DIALOG_VOLUME;
    speech_State.volume = volume < 0 ? 0 : volume > 255 ? 255 : volume;
    speech_State.key = snd_VoiceStart(sample, speech_State.pan, speech_State.volume, speech_State.pitch,
                                      flags | SPEECH_VOICE_BIT);
    return 0;
}

void speech_Stop(void) {
    if (!speech_State.initialised || !speech_State.sample) return;
    MixSample* sample = static_cast<MixSample*>(speech_State.sample);
    if (snd_VoiceFind(speech_State.key)) snd_VoiceStop(speech_State.key);
    // The stop takes effect at the mixer's next block: the sample is freed
    // only once no block can mix it any more.
    if (snd_CountSampleVoices(sample)) mix_VoiceStopSample(sample);
    mem_Free(sample);
    speech_State.sample = nullptr;
    speech_State.key = 0;
    speech_State.flags = 0;
}

void speech_Shutdown(void) {
    speech_Stop();
    speech_State.initialised = 0;
}

int32_t speech_MessagePlaying(uint32_t flags) {
    if (!speech_State.initialised || !speech_State.sample || speech_State.flags != flags) return 0;
    return snd_VoiceFind(speech_State.key) ? 1 : 0;
}
