// The one 24-bit BMP encoder: the headless frame dump uses it here, below
// base/, and base/bmp's bmp_Encode24 has the same contract. Header only, so
// that the platform layer needs nothing above it.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstring>

// Encodes width x height pixels, `rgb` holding width x 3 bytes a row (red,
// green, blue), top row first, as a bottom-up BMP with rows padded to 4
// bytes. The size of the file, or -1 for a bad size or when `out` is too
// small; a null `out` only measures.
inline int64_t plat_BmpEncode24(uint8_t* out, size_t outSize, int32_t width, int32_t height, const uint8_t* rgb) {
    if (width < 1 || height < 1) return -1;
    const uint64_t stored = ((uint64_t)width * 3 + 3) & ~3ull;
    const uint64_t total = 54 + stored * (uint64_t)height;
    if (total > INT32_MAX) return -1;
    if (!out) return (int64_t)total;
    if (!rgb || outSize < total) return -1;
    auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; i++) out[at + i] = (uint8_t)(v >> (8 * i));
    };
    memset(out, 0, 54);
    out[0] = 'B';
    out[1] = 'M';
    put(2, (uint32_t)total, 4);
    put(10, 54, 4);  // pixel data offset
    put(14, 40, 4);  // information header size
    put(18, (uint32_t)width, 4);
    put(22, (uint32_t)height, 4);  // positive: bottom row first
    put(26, 1, 2);   // planes
    put(28, 24, 2);  // bits per pixel
    put(34, (uint32_t)(stored * (uint64_t)height), 4);
    put(38, 2835, 4);  // 72 dpi
    put(42, 2835, 4);
    const size_t rowBytes = (size_t)width * 3;
    uint8_t* dst = out + 54;
    for (int32_t fileRow = 0; fileRow < height; fileRow++, dst += stored) {
        const uint8_t* row = rgb + (size_t)(height - 1 - fileRow) * rowBytes;
        for (int32_t x = 0; x < width; x++) {
            dst[x * 3 + 0] = row[x * 3 + 2];
            dst[x * 3 + 1] = row[x * 3 + 1];
            dst[x * 3 + 2] = row[x * 3 + 0];
        }
        memset(dst + rowBytes, 0, (size_t)stored - rowBytes);
    }
    return (int64_t)total;
}
