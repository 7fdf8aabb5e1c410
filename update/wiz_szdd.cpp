// The SZDD expander.
#include "update/wiz_szdd.h"

#include <cstring>


namespace {
const uint8_t kMagic[8] = {'S', 'Z', 'D', 'D', 0x88, 0xF0, 0x27, 0x33};
constexpr uint32_t kWindow = 4096;
constexpr uint32_t kStart = kWindow - 16;
}  // namespace

int32_t szdd_IsHeader(const uint8_t* data, size_t size) {
    if (!data || size < SZDD_HEADER_SIZE) return 0;
    return memcmp(data, kMagic, sizeof kMagic) == 0 && data[8] == 'A' ? 1 : 0;
}

int32_t szdd_Expand(const uint8_t* data, size_t size, std::vector<uint8_t>* out) {
    if (!out || !szdd_IsHeader(data, size)) return -1;
    out->clear();
    uint32_t length = (uint32_t)data[10] | ((uint32_t)data[11] << 8) | ((uint32_t)data[12] << 16) |
                      ((uint32_t)data[13] << 24);
    uint8_t window[kWindow];
    memset(window, ' ', sizeof window);
    uint32_t pos = kStart;
    size_t in = SZDD_HEADER_SIZE;
    // Grown as the data gives bytes, never trusted from the header alone.
    out->reserve(length < (size - in) * 9 ? length : (size - in) * 9);
    while (out->size() < length) {
        if (in >= size) return -1;
        uint8_t flags = data[in++];
        for (int bit = 0; bit < 8 && out->size() < length; bit++) {
            if (flags & (1u << bit)) {
                if (in >= size) return -1;
                uint8_t b = data[in++];
                out->push_back(b);
                window[pos] = b;
                pos = (pos + 1) & (kWindow - 1);
            } else {
                if (in + 1 >= size) return -1;
                uint32_t lo = data[in], hi = data[in + 1];
                in += 2;
                uint32_t from = lo | ((hi & 0xF0) << 4);
                uint32_t count = (hi & 0x0F) + 3;
                for (uint32_t k = 0; k < count && out->size() < length; k++) {
                    uint8_t b = window[(from + k) & (kWindow - 1)];
                    out->push_back(b);
                    window[pos] = b;
                    pos = (pos + 1) & (kWindow - 1);
                }
            }
        }
    }
    return 0;
}
