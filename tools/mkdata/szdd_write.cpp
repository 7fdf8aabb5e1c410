// SZDD writer: the classic header, then LZSS with flag bytes (bit 0 first,
// 1 a literal) and pairs of a 12-bit window position and a length of 3 to
// 18. The window starts as blanks and is written from 4096 - 16.
#include "mkdata.h"

namespace {
constexpr uint32_t kWindow = 4096;
constexpr uint32_t kStart = kWindow - 16;
constexpr uint32_t kMinMatch = 3, kMaxMatch = 18;
}  // namespace

std::vector<uint8_t> mkdata_SzddBuild(const std::vector<uint8_t>& data) {
    std::vector<uint8_t> out = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33, 'A', 0};
    uint32_t n = (uint32_t)data.size();
    for (int i = 0; i < 4; i++) out.push_back((uint8_t)(n >> (8 * i)));
    size_t flagAt = 0;
    int bit = 8;
    for (size_t i = 0; i < data.size();) {
        if (bit == 8) {
            flagAt = out.size();
            out.push_back(0);
            bit = 0;
        }
        // Longest earlier match within the window (sources that the window
        // still holds: at most 4096 - 18 back, never the initial blanks).
        size_t best = 0, bestFrom = 0;
        size_t maxBack = i < kWindow - kMaxMatch ? i : kWindow - kMaxMatch;
        for (size_t back = 1; back <= maxBack; back++) {
            size_t from = i - back, len = 0;
            while (len < kMaxMatch && i + len < data.size() && data[from + len] == data[i + len]) len++;
            if (len > best) {
                best = len;
                bestFrom = from;
                if (len == kMaxMatch) break;
            }
        }
        if (best >= kMinMatch) {
            uint32_t pos = (uint32_t)((kStart + bestFrom) & (kWindow - 1));
            out.push_back((uint8_t)(pos & 0xFF));
            out.push_back((uint8_t)(((pos >> 4) & 0xF0) | (best - kMinMatch)));
            i += best;
        } else {
            out[flagAt] |= (uint8_t)(1u << bit);
            out.push_back(data[i]);
            i++;
        }
        bit++;
    }
    return out;
}
