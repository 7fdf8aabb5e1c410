// The credits loader on arbitrary file contents, with the fonts of a small
// menu context.
#include <cstdint>
#include <cstdio>

#include "base/mem.h"
#include "menu/front.h"
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
        ready = true;
    }
    FILE* out = fopen("/tmp/krx_fuzz_credits.txt", "wb");
    if (!out) return 0;
    fwrite(data, 1, size, out);
    fclose(out);
    mnu_CreditsLoad(&ctx, "/tmp/krx_fuzz_credits.txt");
    mnu_CreditsStart(&ctx);
    for (int i = 0; i < 4; i++) mnu_CreditsStep(&ctx);
    mnu_CreditsFree(&ctx);
    return 0;
}
