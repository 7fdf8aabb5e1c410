// Simulation log of headless runs.
#include "platform/simlog.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "platform/harness.h"
#include "platform/window.h"

namespace {
FILE* g_file = nullptr;
bool g_opened = false;

FILE* Stream() {
    if (!g_opened) {
        g_opened = true;
        const char* path = getenv("KRX_SIMLOG");
        if (path && *path) {
            g_file = fopen(path, "w");
            if (!g_file) fprintf(stderr, "krx: cannot write the simulation log \"%s\"\n", path);
        }
    }
    return g_file ? g_file : stderr;
}
}  // namespace

void plat_SimLog(const char* kind, const char* format, ...) {
    if (!kind || !plat_IsHeadless()) return;
    char fields[512] = "";
    if (format) {
        va_list args;
        va_start(args, format);
        vsnprintf(fields, sizeof fields, format, args);
        va_end(args);
    }
    FILE* f = Stream();
    // One write a line, flushed, so that a run that ends abruptly keeps it.
    if (fields[0])
        fprintf(f, "%u %s %s\n", plat_HarnessTick(), kind, fields);
    else
        fprintf(f, "%u %s\n", plat_HarnessTick(), kind);
    fflush(f);
}

void plat_SimLogReset(void) {
    if (g_file) fclose(g_file);
    g_file = nullptr;
    g_opened = false;
}
