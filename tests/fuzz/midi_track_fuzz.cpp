// Fuzz target: MIDI track data. The first byte splits the rest into one to
// four tracks; the song is scanned to a start position taken from the
// bytes and then read into small stream buffers until it ends.
#include <cstdint>
#include <cstring>
#include <vector>

#include "sound/music.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3 || size > 0x10000) return 0;
    uint32_t trackCount = 1 + (data[0] & 3);
    uint32_t start = data[1] & 0x3F;
    std::vector<uint8_t> image(data + 2, data + size);
    uint32_t n = (uint32_t)image.size();
    MusicTrack tracks[4] = {};
    for (uint32_t i = 0; i < trackCount; i++) {
        tracks[i].offset = n * i / trackCount;
        tracks[i].length = n * (i + 1) / trackCount - tracks[i].offset;
    }
    MusicSong song = {};
    song.image = image.data();
    song.imageSize = n;
    song.trackCount = trackCount;
    song.tracks = tracks;

    uint8_t room[4096 + 64];
    PlatMidiHeader h = {};
    h.data = room;
    h.bufferLength = 4096;
    uint32_t sum = 0;
    if (music_MidiScanTo(&song, start, &h) != 0) return 0;
    h.bufferLength = 48 + (data[0] & 0xF0);
    for (int i = 0; i < 2000; i++) {
        int32_t r = music_MidiFillBuffer(&song, &h, 0xFFFFFFFF);
        if (h.bytesRecorded > h.bufferLength || (h.bytesRecorded & 3)) __builtin_trap();
        for (uint32_t k = 0; k < h.bytesRecorded; k++) sum += room[k];
        if (r != 0) break;
    }
    return sum == 0xFFFFFFFFu ? 1 : 0;
}
