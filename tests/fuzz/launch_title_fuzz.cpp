// Fuzz target: the online page's window title decoded into the address,
// port and session fields, and the address normalised. Every field stays
// terminated inside its 32 bytes and nothing outside the record is written.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "menu/multi.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    struct Guarded {
        MnuLaunchTitle t;
        uint8_t guard[16];
    } g;
    memset(&g, 0x55, sizeof g);
    // The title buffer as the window enumeration leaves it: up to its full
    // size, and not always terminated.
    size_t n = size < sizeof g.t.title ? size : sizeof g.t.title;
    memcpy(g.t.title, data, n);
    if (n < sizeof g.t.title) g.t.title[n] = 0;
    mnu_LaunchTitleDecode(&g.t);
    for (const char* f : {g.t.address, g.t.port, g.t.session})
        if (strnlen(f, MNU_LAUNCH_FIELD) >= (size_t)MNU_LAUNCH_FIELD) abort();
    mnu_LaunchAddressNormalise(g.t.address);
    if (strnlen(g.t.address, MNU_LAUNCH_FIELD) >= (size_t)MNU_LAUNCH_FIELD) abort();
    for (uint8_t b : g.guard)
        if (b != 0x55) abort();
    return 0;
}
