// The monochrome debug screen. No platform layer maps a monochrome text
// memory, so open leaves the screen closed; the operations work on whatever
// memory an attach gave them.
#include "debug/dbgmono.h"

#include <cstring>

#include "base/mem.h"

DbgMonoWindow dbg_MonoWindow;

namespace {

struct MonoState {
    uint8_t* screen;  // the monitor's text memory, null while closed
    uint8_t* output;  // where printing goes
    uint8_t* shadow;  // "Mono Buffer"
    int32_t mode;
} g_mono;

}  // namespace

void dbg_MonoAttach(uint8_t* screen) {
    g_mono.screen = g_mono.output = screen;
    g_mono.mode = DBG_MONO_DIRECT;
}

void dbg_MonoOpen(void) {
    // There is no monochrome monitor to map on this platform.
    dbg_MonoAttach(nullptr);
}

void dbg_MonoClose(void) {
    if (g_mono.shadow) mem_Free(g_mono.shadow);
    g_mono = MonoState{};
}

void dbg_MonoSetMode(int32_t mode) {
    if (!g_mono.screen) return;
    if (mode == DBG_MONO_BUFFERED) {
        if (!g_mono.shadow) g_mono.shadow = static_cast<uint8_t*>(mem_AllocEx(DBG_MONO_BYTES, 16, "Mono Buffer"));
        if (!g_mono.shadow) return;
        g_mono.output = g_mono.shadow;
    } else {
        g_mono.output = g_mono.screen;
    }
    g_mono.mode = mode;
}

void dbg_MonoPrint(const char* text, int32_t column, int32_t row, int32_t attribute) {
    if (!g_mono.screen || !text || row < 0 || row >= DBG_MONO_ROWS || column < 0) return;
    uint8_t* line = g_mono.output + row * DBG_MONO_COLUMNS * 2;
    auto put = [&](uint8_t c) {
        line[column * 2] = c;
        line[column * 2 + 1] = (uint8_t)attribute;
        column++;
    };
    for (; *text && column < DBG_MONO_COLUMNS; text++) {
        if (*text != '\t') {
            put((uint8_t)*text);
            continue;
        }
        do put(' ');
        while (column % 4 && column < DBG_MONO_COLUMNS);
    }
}

void dbg_MonoWrite(int32_t column, int32_t row, const char* text, uint8_t attribute) {
    dbg_MonoPrint(text, column, row, attribute);
}

void dbg_MonoClear(void) {
    if (!g_mono.screen) return;
    for (uint32_t i = 0; i < DBG_MONO_BYTES; i += 2) {
        g_mono.output[i] = ' ';
        g_mono.output[i + 1] = 0;
    }
}

void dbg_MonoFlush(void) {
    if (!g_mono.screen || g_mono.mode != DBG_MONO_BUFFERED || !g_mono.shadow) return;
    memcpy(g_mono.screen, g_mono.shadow, DBG_MONO_BYTES);
}

void dbg_MonoSetWindow(int32_t attribute, int32_t a, int32_t b, int32_t c) {
    dbg_MonoWindow = DbgMonoWindow{attribute, {a, b, c}};
}
