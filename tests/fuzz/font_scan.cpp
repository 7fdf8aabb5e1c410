// Fuzz target: a PCX image from memory scanned as a font grid, then every
// character code measured and drawn, plain and clipped, near the edges of a
// small 16-bit surface and wrapped into a short text area.
#include <cstdint>
#include <cstring>

#include "base/mem.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "fuzz_util.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool ready = false;
    static uint8_t pixels[48 * 24 * 2];
    static _DRAW_SURFACE surface;
    if (!ready) {
        fuzz_MemInit(0x2000000, 0x10000, 0x10000, 0);
        draw_InitSurfaceDesc(&surface, pixels, 48, 24, 2);
        draw_SetSurfaceClip(&surface, 3, 2, 40, 20);
        ready = true;
    }
    if (size > 0x1000000) return 0;
    if (fuzz_PcxTooBig(data, size)) return 0;
    auto* image = static_cast<uint8_t*>(pcx_LoadIntoBuffer(data, (int32_t)size, 8));
    if (!image) return 0;
    BitmapFont font{};
    font.image = image;
    font.width = pal_Second.width;
    font.height = pal_Second.height;
    if (font_ScanGrid(&font) == 0) {
        char text[257];
        for (int i = 0; i < 256; i++) text[i] = (char)(i + 1);
        text[255] = '\t';
        text[256] = 0;
        draw_SelectSurface(&surface);
        // Measured for the sanitizers' sake; the value itself is not checked.
        volatile int32_t width = font_StringWidth(text, &font);
        (void)width;
        for (int mode = 0; mode < FONT_MODES; mode++) {
            font_DrawString(text, &font, -5 - mode, -3, 15, mode);
            font_DrawString(text + 100, &font, 30, 20, 15, mode);
            font_DrawStringClipped(text, &font, 1, 1, 15, mode, FONT_BACKGROUND_FILL | 4);
        }
        char lines[40];
        FontTextArea area = {lines, 20, 0, 2, 2, 5, sizeof lines};
        font_WrapText("a b ~3c\r\nd efghij klm\r", &font, &area);
        font_DrawWrappedText(&area, &font, 15, FONT_MODE_CODED, 1, 0);
    }
    if (font.entries) mem_Free(font.entries);
    mem_Free(image);
    return 0;
}
