// Fuzz target: the announcement datagram reader, and a rebuilt datagram of
// whatever it accepts decoding back to the same text.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "net/announce.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static char text[4096];
    static uint8_t again[4100];
    size_t n = 0;
    if (net_DatagramDecode(data, size, text, sizeof text, &n) != 0) return 0;
    if (net_DatagramBuild(again, sizeof again, text, n) != (int32_t)(n + 4)) abort();
    if (memcmp(again, data, n + 4) != 0) abort();
    return 0;
}
