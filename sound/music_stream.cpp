// The streamed front-end music: entries of a music file ("KRXMUSIC.SBF"),
// read from disk one block per frame and queued on the mixer's stream,
// chosen and faded by the music-logic script.
#include <cstring>

#include "platform/files.h"
#include "sound/mix.h"
#include "sound/music.h"
#include "sound/snd.h"

MusicStreamState music_Stream = {0, -1};

namespace {

constexpr int32_t kFull = 255 << 16;
constexpr uint32_t kBlockHeader = 8;

uint32_t Le32(const uint8_t* p) {
    return (uint32_t)p[0] | ((uint32_t)p[1] << 8) | ((uint32_t)p[2] << 16) | ((uint32_t)p[3] << 24);
}

int32_t Clamp255(int32_t v) { return v < 0 ? 0 : v > 255 ? 255 : v; }

// Reads exactly n bytes; the count read, or -1.
int32_t ReadAll(int handle, void* buffer, uint32_t n) {
    uint8_t* to = static_cast<uint8_t*>(buffer);
    uint32_t got = 0;
    while (got < n) {
        int32_t r = plat_FileRead(handle, to + got, n - got);
        if (r < 0) return got ? (int32_t)got : -1;
        if (r == 0) break;
        got += (uint32_t)r;
    }
    return (int32_t)got;
}

// The header and the entry table; false when the file is damaged or lists
// more entries than the table holds.
bool ReadTable(MusicStreamState& m) {
    if (ReadAll(m.handle, m.header, MUSIC_HEADER_BYTES) != (int32_t)MUSIC_HEADER_BYTES) return false;
    uint32_t tableAt = Le32(m.header + 16), count = Le32(m.header + 20);
    if (count > (uint32_t)MUSIC_MAX_ENTRIES) return false;
    if (plat_FileSeek(m.handle, tableAt, 0) != (int64_t)tableAt) return false;
    uint8_t raw[MUSIC_ENTRY_BYTES];
    for (uint32_t i = 0; i < count; i++) {
        if (ReadAll(m.handle, raw, MUSIC_ENTRY_BYTES) != (int32_t)MUSIC_ENTRY_BYTES) return false;
        m.entries[i].offset = Le32(raw + 16);
        m.entries[i].length = Le32(raw + 20);
        m.entries[i].blockSize = Le32(raw + 24);
    }
    m.entryCount = (int32_t)count;
    return true;
}

}  // namespace

void music_StreamClose(void) {
    MusicStreamState& m = music_Stream;
    if (m.open) {
        m.open = 0;
        m.writeSlot = 0;
        mix_StreamStop();
        music_ScriptStop();
        music_ScriptFree();
    }
    if (m.handle >= 0) plat_FileClose(m.handle);
    m.handle = -1;
}

int32_t music_StreamOpen(const char* streamFile, const char* scriptFile, const char* programName) {
    MusicStreamState& m = music_Stream;
    music_StreamClose();
    if (!snd_Running || !streamFile || !scriptFile) return 0;
    m.handle = plat_FileOpen(streamFile, PLAT_OPEN_READ);
    if (m.handle < 0) return 0;
    if (!music_ScriptOpen(scriptFile)) {
        music_StreamClose();
        return 0;
    }
    music_ScriptStartAt(programName);
    if (!ReadTable(m)) {
        music_ScriptStop();
        music_ScriptFree();
        music_StreamClose();
        return 0;
    }
    m.open = 1;
    m.current = 0;
    m.blockSize = 0;
    m.bytesToQueue = 0;
    m.masterVolume = 255;
    m.fadeLevel = m.fadeTarget = kFull;
    m.fadeStep = 0;
    m.writeSlot = 0;
    mix_StreamStop();
    return 0;
}

void music_StreamSelectEntry(int32_t n) {
    MusicStreamState& m = music_Stream;
    if (!m.open || m.entryCount <= 0) return;
    if (n < 0 || n >= m.entryCount) n = 0;
    const MusicStreamEntry& e = m.entries[n];
    m.current = n;
    m.blockSize = e.blockSize;
    m.bytesToQueue = e.length > 0x7FFFFFFFu ? 0x7FFFFFFF : (int32_t)e.length;
    // A block must hold its header and fit a ring buffer; others play nothing.
    if (e.blockSize >= MUSIC_NO_PLAY_BLOCK || e.blockSize > MUSIC_BLOCK_BYTES || e.blockSize <= kBlockHeader) {
        m.bytesToQueue = 0;
        return;
    }
    int32_t blocks = m.bytesToQueue / (int32_t)e.blockSize;
    if (blocks > 0) {
        m.fadeStep = (m.fadeTarget - m.fadeLevel) / blocks;
    } else {
        // Shorter than a block: the fade has no blocks to run over.
        m.fadeLevel = m.fadeTarget;
        m.fadeStep = 0;
    }
    if (plat_FileSeek(m.handle, e.offset, 0) != (int64_t)e.offset) m.bytesToQueue = 0;
}

void music_StreamUpdate(void) {
    MusicStreamState& m = music_Stream;
    if (!m.open) return;
    if (m.bytesToQueue <= 0) {
        music_ScriptStep();
        return;
    }
    if (mix_StreamCount() > 12) return;
    uint8_t* block = m.ring[m.writeSlot];
    int32_t got = ReadAll(m.handle, block, m.blockSize);
    if (got < 0) return;  // tried again next frame
    if ((uint32_t)got < m.blockSize) {
        // The file ends inside the entry: the entry ends here.
        m.bytesToQueue = 0;
        return;
    }
    snd_SetStreamVolume(((m.fadeLevel >> 16) * m.masterVolume) >> 8);
    uint32_t length = Le32(block), format = Le32(block + 4);
    // A length word past the block would have the mixer read past it.
    if (length <= m.blockSize - kBlockHeader)
        mix_StreamQueue(block + kBlockHeader, length, (int32_t)(format & 0xFF), (int32_t)((format >> 8) & 0xFF));
    m.bytesToQueue -= (int32_t)m.blockSize;
    m.writeSlot = (m.writeSlot + 1) % MUSIC_RING;
    int64_t level = (int64_t)m.fadeLevel + m.fadeStep;
    m.fadeLevel = level < 0 ? 0 : level > kFull ? kFull : (int32_t)level;
}

void music_SetVolume(int32_t v) { music_Stream.masterVolume = Clamp255(v); }

void music_SetVariable(int32_t index, int32_t value) {
    if (music_Stream.open) music_ScriptVarSet(index, value);
}

void music_FadeSet(int32_t v) { music_Stream.fadeLevel = music_Stream.fadeTarget = Clamp255(v) << 16; }

void music_FadeTo(int32_t v) { music_Stream.fadeTarget = Clamp255(v) << 16; }
