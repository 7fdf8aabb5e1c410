// The audio service's common layer: picks the backend, and plays queued
// wave-out buffers through the backend's pull.
#include "platform/audio.h"

#include <strings.h>

#include <cstdlib>
#include <cstring>
#include <mutex>

#include "platform/audio_backend.h"
#include "platform/sdl_module.h"

namespace {

enum Form { kClosed, kStream, kWaveOut };

// The queue is shared between the main thread (write, reset) and the
// device's thread (pull); held only for a copy.
std::mutex g_queueLock;
const PlatAudioBackend* g_backend = nullptr;
Form g_form = kClosed;
PlatHwnd g_window = 0;
PlatWaveHeader* g_head = nullptr;
PlatWaveHeader* g_tail = nullptr;

int32_t NullOpen(PlatAudioPullFn, int32_t*) { return -1; }
void NullStart(void) {}
void NullClose(void) {}

const PlatAudioBackend* Choose(void) {
    const char* want = getenv("KRX_AUDIO");
    if (want && strcasecmp(want, "none") == 0) return &plat_NullAudioBackend;
    if (plat_IsHeadless()) return &plat_HeadlessAudioBackend;
    // The SDL library is loaded once the sdl platform is chosen.
    const PlatSdlModule* sdl = plat_SdlModule();
    if (sdl && sdl->audio) return sdl->audio;
    return &plat_NullAudioBackend;
}

// The device's pull in wave-out form: the queued buffers in order, silence
// when none is left. A buffer played out goes back to the window.
void WavePull(int16_t* out, int32_t frames) {
    uint8_t* to = reinterpret_cast<uint8_t*>(out);
    size_t want = frames > 0 ? (size_t)frames * PLAT_AUDIO_FRAME_BYTES : 0;
    std::lock_guard<std::mutex> hold(g_queueLock);
    while (want > 0 && g_head) {
        PlatWaveHeader* h = g_head;
        size_t left = h->bufferLength > h->played ? h->bufferLength - h->played : 0;
        size_t n = left < want ? left : want;
        if (n) memcpy(to, h->data + h->played, n);
        to += n;
        want -= n;
        h->played += (uint32_t)n;
        if (h->played >= h->bufferLength) {
            g_head = h->next;
            if (!g_head) g_tail = nullptr;
            h->next = nullptr;
            h->flags = (h->flags & ~(uint32_t)PLAT_WHDR_INQUEUE) | PLAT_WHDR_DONE;
            plat_PostMessage(g_window, MM_WOM_DONE, 1, reinterpret_cast<intptr_t>(h));
        }
    }
    if (want) memset(to, 0, want);
}

}  // namespace

const PlatAudioBackend plat_NullAudioBackend = {"null", NullOpen, NullStart, NullClose};

int32_t plat_AudioOpen(PlatAudioPullFn pull, int32_t* emulated) {
    int32_t dummy = 0;
    if (!emulated) emulated = &dummy;
    *emulated = 0;
    if (g_form != kClosed || !pull) return -1;
    g_backend = Choose();
    if (g_backend->open(pull, emulated) != 0) return -1;
    g_form = kStream;
    return 0;
}

void plat_AudioStart(void) {
    if (g_form == kStream) g_backend->start();
}

void plat_AudioClose(void) {
    if (g_form != kStream) return;
    g_backend->close();
    g_form = kClosed;
}

int32_t plat_WaveOutOpen(PlatHwnd window) {
    if (g_form != kClosed) return PLAT_MMSYSERR_ALLOCATED;
    g_backend = Choose();
    int32_t emulated = 0;
    {
        std::lock_guard<std::mutex> hold(g_queueLock);
        g_head = g_tail = nullptr;
        g_window = window;
    }
    if (g_backend->open(WavePull, &emulated) != 0) return PLAT_MMSYSERR_NODRIVER;
    g_form = kWaveOut;
    g_backend->start();
    return PLAT_MMSYSERR_NOERROR;
}

int32_t plat_WaveOutReset(void) {
    if (g_form != kWaveOut) return PLAT_MMSYSERR_INVALHANDLE;
    std::lock_guard<std::mutex> hold(g_queueLock);
    for (PlatWaveHeader* h = g_head; h;) {
        PlatWaveHeader* next = h->next;
        h->next = nullptr;
        h->flags = (h->flags & ~(uint32_t)PLAT_WHDR_INQUEUE) | PLAT_WHDR_DONE;
        h = next;
    }
    g_head = g_tail = nullptr;
    return PLAT_MMSYSERR_NOERROR;
}

int32_t plat_WaveOutPrepareHeader(PlatWaveHeader* header) {
    if (g_form != kWaveOut) return PLAT_MMSYSERR_INVALHANDLE;
    if (!header || !header->data || header->bufferLength == 0) return PLAT_MMSYSERR_INVALPARAM;
    header->flags |= PLAT_WHDR_PREPARED;
    return PLAT_MMSYSERR_NOERROR;
}

int32_t plat_WaveOutUnprepareHeader(PlatWaveHeader* header) {
    if (g_form != kWaveOut) return PLAT_MMSYSERR_INVALHANDLE;
    if (!header) return PLAT_MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> hold(g_queueLock);
    if (header->flags & PLAT_WHDR_INQUEUE) return PLAT_WAVERR_STILLPLAYING;
    header->flags &= ~(uint32_t)PLAT_WHDR_PREPARED;
    return PLAT_MMSYSERR_NOERROR;
}

int32_t plat_WaveOutWrite(PlatWaveHeader* header) {
    if (g_form != kWaveOut) return PLAT_MMSYSERR_INVALHANDLE;
    if (!header) return PLAT_MMSYSERR_INVALPARAM;
    if (!(header->flags & PLAT_WHDR_PREPARED)) return PLAT_WAVERR_UNPREPARED;
    std::lock_guard<std::mutex> hold(g_queueLock);
    if (header->flags & PLAT_WHDR_INQUEUE) return PLAT_WAVERR_STILLPLAYING;
    if (!header->data && header->bufferLength) return PLAT_MMSYSERR_INVALPARAM;
    header->flags = (header->flags & ~(uint32_t)PLAT_WHDR_DONE) | PLAT_WHDR_INQUEUE;
    header->played = 0;
    header->next = nullptr;
    if (g_tail)
        g_tail->next = header;
    else
        g_head = header;
    g_tail = header;
    return PLAT_MMSYSERR_NOERROR;
}

int32_t plat_WaveOutClose(void) {
    if (g_form != kWaveOut) return PLAT_MMSYSERR_INVALHANDLE;
    {
        std::lock_guard<std::mutex> hold(g_queueLock);
        if (g_head) return PLAT_WAVERR_STILLPLAYING;
    }
    g_backend->close();
    g_form = kClosed;
    return PLAT_MMSYSERR_NOERROR;
}
