// The teletype page loader on arbitrary file contents, then the typing of
// whatever text it found, with a font record that has no loaded font.
#include <cstdint>
#include <cstdio>

#include "fuzz_util.h"
#include "menu/brief.h"
#include "platform/harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static MnuContext ctx = {};
    static const std::string path = fuzz_ScratchPath("page", ".wes");
    if (!ready) {
        setenv("KRX_PLATFORM", "headless", 1);
        plat_Init();
        fuzz_MemInit(0x400000, 0x100000, 0x100000, FUZZ_HEAP1 | FUZZ_HEAP2);
        MnuFont f = {};
        snprintf(f.name, sizeof f.name, "%s", "ARIAL12");
        mnu_FontAdd(&ctx, &f);
        mnu_Context = &ctx;
        ready = true;
    }
    if (fuzz_WriteFile(path.c_str(), data, size) != 0) return 0;
    MnuAnimePage& page = mnu_AnimePageRecord;
    mnu_AnimeLoad(&page, path.c_str());
    mnu_AnimeEndCountdown = 80;
    for (int i = 0; i < 256 && !page.done; i++) {
        page.countdown = 0;
        mnu_AnimeType(&page);
    }
    mnu_AnimeFree(&page);
    return 0;
}
