// The teletype page loader on arbitrary file contents, then the typing of
// whatever text it found, with a font record that has no loaded font.
#include <cstdint>
#include <cstdio>

#include "base/mem.h"
#include "menu/brief.h"
#include "platform/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static MnuContext ctx = {};
    if (!ready) {
        setenv("KRX_PLATFORM", "headless", 1);
        plat_Init();
        mem_HeapSizesSet(0x400000, 0x100000, 0x100000);
        mem_HeapInit();
        mem_Heap1Init();
        mem_Heap2Init();
        MnuFont f = {};
        snprintf(f.name, sizeof f.name, "%s", "ARIAL12");
        mnu_FontAdd(&ctx, &f);
        mnu_Context = &ctx;
        ready = true;
    }
    FILE* out = fopen("/tmp/krx_fuzz_page.wes", "wb");
    if (!out) return 0;
    fwrite(data, 1, size, out);
    fclose(out);
    MnuAnimePage& page = mnu_AnimePageRecord;
    mnu_AnimeLoad(&page, "/tmp/krx_fuzz_page.wes");
    mnu_AnimeEndCountdown = 80;
    for (int i = 0; i < 256 && !page.done; i++) {
        page.countdown = 0;
        mnu_AnimeType(&page);
    }
    mnu_AnimeFree(&page);
    return 0;
}
