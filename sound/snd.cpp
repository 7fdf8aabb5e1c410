// Sound output on the platform's audio device. Mode 0 lets the device pull
// blocks from the mixer on its own thread; wave-out (mode 2, and mode 0 on a
// device that only emulates output) keeps three buffers queued and mixes
// into each as it comes back, on the main thread.
#include "sound/snd.h"

#include <atomic>
#include <cstdio>
#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "platform/audio.h"
#include "platform/simlog.h"
#include "platform/timer.h"
#include "shell/wndproc.h"

int32_t snd_Running = 0;
int32_t snd_DirectSound = 0;
int32_t snd_BlockBytes = 8820;
int32_t snd_BlockFrames = 2205;

namespace {

constexpr int32_t kTenthBytes = 8820;
constexpr int32_t kTenthFrames = 2205;
const char* const kBufferTags[3] = {"Audio buffer 1", "Audio buffer 2", "Audio buffer 3"};

// The device thread mixes only while this is set.
std::atomic<int32_t> g_pullOn{0};
PlatWaveHeader g_headers[3];
uint8_t* g_buffers[3] = {};
int32_t g_rotation = 1;  // the buffer refilled next, 1..3

void StreamPull(int16_t* out, int32_t frames) {
    if (g_pullOn.load(std::memory_order_acquire))
        mix_MixBlock(out, frames);
    else if (frames > 0)
        memset(out, 0, (size_t)frames * PLAT_AUDIO_FRAME_BYTES);
}

void FreeBuffers(void) {
    for (uint8_t*& b : g_buffers) {
        if (b) mem_FreeInHeap1(b);
        b = nullptr;
    }
}

// A failed prepare or write: the box, then output closed and silent; the
// program goes on without sound.
void WaveOutFail(const char* text) {
    plat_MessageBox(app_MainHwnd, text, "Audio Error", MB_OK);
    plat_WaveOutReset();
    for (PlatWaveHeader& h : g_headers) plat_WaveOutUnprepareHeader(&h);
    plat_WaveOutClose();
    FreeBuffers();
    snd_Running = 0;
}

void WaveOutOpen(void) {
    // A busy device is tried again for up to three seconds.
    uint32_t start = plat_TimeMs();
    int32_t result;
    while ((result = plat_WaveOutOpen(app_MainHwnd)) == PLAT_MMSYSERR_ALLOCATED && plat_TimeMs() - start < 3000)
        plat_Sleep(10);
    if (result != PLAT_MMSYSERR_NOERROR) {
        snd_Running = 0;
        return;
    }
    plat_WaveOutReset();
    for (int32_t i = 0; i < 3; i++) {
        g_buffers[i] = static_cast<uint8_t*>(mem_AllocInHeap1(SND_WAVE_BUFFER_BYTES, kBufferTags[i]));
        if (g_buffers[i]) memset(g_buffers[i], 0, SND_WAVE_BUFFER_BYTES);
        g_headers[i] = PlatWaveHeader{};
        g_headers[i].data = g_buffers[i];
        g_headers[i].bufferLength = SND_WAVE_BUFFER_BYTES;
        g_headers[i].user = (uintptr_t)(i + 1);
    }
    for (PlatWaveHeader& h : g_headers)
        if (plat_WaveOutPrepareHeader(&h) != PLAT_MMSYSERR_NOERROR) {
            WaveOutFail("Could not prep audio");
            return;
        }
    snd_BlockBytes = kTenthBytes;
    snd_BlockFrames = kTenthFrames;
    mix_OutputSilence.store(0, std::memory_order_release);
    mix_Init();
    g_rotation = 1;
    // The device first plays the three buffers of silence.
    for (PlatWaveHeader& h : g_headers)
        if (plat_WaveOutWrite(&h) != PLAT_MMSYSERR_NOERROR) {
            WaveOutFail("Could not play audio");
            return;
        }
    snd_DirectSound = 0;
    snd_Running = 1;
}

// Owner handles: slot in the low 10 bits, the slot's generation above it
// (never 0, so no handle is 0; 21 bits, so bit 31 stays clear).
constexpr uint32_t kSlotBits = 10;
constexpr uint32_t kGenerationMask = 0x1FFFFF;
struct OwnerSlot {
    SndSampleOwner* owner;
    uint32_t generation;
};
OwnerSlot g_owners[SND_OWNER_HANDLES];

uint32_t HandleOf(uint32_t slot) {
    if (g_owners[slot].generation == 0) g_owners[slot].generation = 1;
    return (g_owners[slot].generation << kSlotBits) | slot;
}

int32_t Clamp255(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

}  // namespace

void snd_Init(int32_t mode) {
    if (snd_Running) return;
    mix_MasterVolume = 255;
    mix_StreamVolume = 255;
    if (mode == 0) {
        int32_t emulated = 0;
        if (plat_AudioOpen(StreamPull, &emulated) == 0) {
            if (!emulated) {
                snd_BlockBytes = kTenthBytes;
                snd_BlockFrames = kTenthFrames;
                mix_OutputSilence.store(0, std::memory_order_release);
                mix_Init();
                g_pullOn.store(1, std::memory_order_release);
                plat_AudioStart();
                snd_DirectSound = 1;
                snd_Running = 1;
                return;
            }
            // Nothing would be heard: wave-out instead.
            plat_AudioClose();
        }
    }
    WaveOutOpen();
}

void snd_Shutdown(void) {
    if (!snd_Running) return;
    // Cleared first: buffers coming back while closing are not refilled.
    snd_Running = 0;
    if (snd_DirectSound) {
        g_pullOn.store(0, std::memory_order_release);
        plat_AudioClose();
        return;
    }
    plat_WaveOutReset();
    for (PlatWaveHeader& h : g_headers) plat_WaveOutUnprepareHeader(&h);
    for (int32_t tries = 0; tries < 10000; tries++) {
        app_PumpMessages();
        if (plat_WaveOutClose() == PLAT_MMSYSERR_NOERROR) break;
    }
    FreeBuffers();
}

void snd_SetMasterVolume(int32_t volume) {
    if (!snd_Running) return;
    int32_t v = Clamp255(volume);
    if (v != mix_MasterVolume) plat_SimLog("sound", "master=%d", (int)v);
    mix_MasterVolume = v;
}

int32_t snd_SetStreamVolume(int32_t volume) {
    if (!snd_Running) return 0;
    mix_StreamVolume = Clamp255(volume);
    return mix_StreamSetVolume();
}

void snd_SetSilence(int32_t on) {
    if (snd_Running) mix_OutputSilence.store(on ? 1 : 0, std::memory_order_release);
}

void snd_StopAllVoices(void) {
    if (snd_Running) mix_StopAll();
}

void snd_SetBufferLength(int32_t tenths) {
    if (!snd_Running || snd_DirectSound) return;
    // Less than a tenth would hand the device empty buffers back at once.
    if (tenths < 1) tenths = 1;
    if (tenths > 10) tenths = 10;
    snd_BlockBytes = tenths * kTenthBytes;
    snd_BlockFrames = tenths * kTenthFrames;
}

MixSample* snd_SampleLoad(const char* name) {
    if (!snd_Running || !name) return nullptr;
    void* block = file_LoadFileEx(name);
    if (!block) return nullptr;
    uint32_t size = (reinterpret_cast<const MemBlock*>(block) - 1)->size;
    MixSample* sample = snd_SampleConvert(block, size);
    if (!sample) {
        fprintf(stderr, "krx: \"%s\" is not a sound sample that can be played\n", name);
        mem_Free(block);
    }
    return sample;
}

uint32_t snd_VoicePlay(const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch) {
    return snd_Running ? mix_VoiceStart(sample, pan, volume, pitch, 0) : 0;
}

uint32_t snd_VoiceStart(const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch, uint32_t flags) {
    return snd_Running ? mix_VoiceStart(sample, pan, volume, pitch, flags) : 0;
}

uint32_t snd_VoicePlayOn(int32_t voice, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch) {
    return snd_Running ? mix_VoiceStartOn(voice, sample, pan, volume, pitch, 0) : 0;
}

uint32_t snd_VoicePlayOnEx(int32_t voice, const MixSample* sample, int32_t pan, int32_t volume, int32_t pitch,
                           uint32_t flags) {
    return snd_Running ? mix_VoiceStartOn(voice, sample, pan, volume, pitch, flags) : 0;
}

uint32_t snd_VoiceFind(uint32_t key) { return snd_Running ? mix_VoiceFind(key) : 0; }

int32_t snd_VoiceStop(uint32_t key) {
    if (snd_Running) mix_VoiceStop(key);
    return 0;
}

int32_t snd_CountSampleVoices(const void* sample) {
    return snd_Running ? mix_CountSampleVoices(static_cast<const MixSample*>(sample)) : 0;
}

int32_t snd_VoiceSetFlag(int32_t voice, int32_t value) {
    if (snd_Running) mix_VoiceReserve(voice, value);
    return 0;
}

int32_t snd_SetEndHook(MixEndHook hook) {
    if (snd_Running) mix_SetEndHook(hook);
    return 0;
}

uint32_t snd_OwnerHandleAdd(SndSampleOwner* owner) {
    if (!owner) return 0;
    for (uint32_t slot = 0; slot < SND_OWNER_HANDLES; slot++)
        if (!g_owners[slot].owner) {
            g_owners[slot].owner = owner;
            return HandleOf(slot);
        }
    return 0;
}

void snd_OwnerHandleRemove(uint32_t handle) {
    if (!snd_OwnerFromHandle(handle)) return;
    OwnerSlot& s = g_owners[handle & (SND_OWNER_HANDLES - 1)];
    s.owner = nullptr;
    s.generation = (s.generation + 1) & kGenerationMask;
}

SndSampleOwner* snd_OwnerFromHandle(uint32_t handle) {
    if (handle == 0 || (handle & 0x80000000u)) return nullptr;
    const OwnerSlot& s = g_owners[handle & (SND_OWNER_HANDLES - 1)];
    if (!s.owner || (handle >> kSlotBits) != s.generation) return nullptr;
    return s.owner;
}

void snd_WaveOutDone(void) {
    if (!snd_Running || snd_DirectSound) return;
    // Buffers come back in the order they were written, so the one named by
    // the rotation is the one the device has just given back.
    PlatWaveHeader& h = g_headers[g_rotation - 1];
    mix_MixBlock(reinterpret_cast<int16_t*>(h.data), snd_BlockFrames);
    h.bufferLength = (uint32_t)snd_BlockBytes;
    plat_WaveOutWrite(&h);
    g_rotation = g_rotation % 3 + 1;
}

void snd_WavStreamPump(void) {}
