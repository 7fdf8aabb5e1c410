// Fuzz target: the menu script loader on arbitrary script text, in a folder
// where none of the files the script names exist, then every lookup of the
// loaded tables.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/file.h"
#include "base/mem.h"
#include "menu/mnu.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static MnuContext ctx;
    static char dir[] = "/tmp/krx_fuzz_mnu_XXXXXX";
    static char home[4096];
    if (!ready) {
        mem_HeapSizesSet(0x800000, 0x100000, 0x100000);
        mem_HeapInit();
        mem_Heap1Init();
        mem_Heap2Init();
        file_StateInit();
        if (!mkdtemp(dir) || !getcwd(home, sizeof home)) abort();
        ctx.callbacks = mnu_CallbackTable;
        ready = true;
    }
    // The script's files are looked for in the empty folder; libFuzzer reads
    // its corpus by relative names, so the folder is left again afterwards.
    if (chdir(dir) != 0) return 0;
    FILE* f = fopen("FUZZ.MNU", "wb");
    if (!f) {
        if (chdir(home) != 0) abort();
        return 0;
    }
    fwrite(data, 1, size, f);
    fclose(f);
    mnu_ScriptLoad("FUZZ.MNU", &ctx);
    for (int32_t i = 0; i < ctx.buttonCount && ctx.buttons[i].name[0]; i++) {
        const MnuButton& b = ctx.buttons[i];
        mnu_WindowFind(&ctx, b.window);
        mnu_TextAreaFind(&ctx, b.name);
        mnu_SoundEventPlay(&ctx, b.soundEvent);
    }
    for (int32_t i = 0; i < ctx.stringCount && ctx.strings[i].key[0]; i++)
        if (ctx.strings[i].text) (void)strlen(ctx.strings[i].text);
    for (int32_t i = 0; i < ctx.textAreaCount && ctx.textAreas[i].name[0]; i++)
        if (ctx.textAreas[i].text) (void)strlen(ctx.textAreas[i].text);
    mnu_Shutdown(&ctx);
    remove("FUZZ.MNU");
    if (chdir(home) != 0) abort();
    return 0;
}
