// Fatal error boxes and the safe formatting of application strings.
#include "shell/fatal.h"

#include <cstdio>
#include <cstring>

#include "platform/window.h"
#include "shell/appstr.h"
#include "shell/startup.h"
#include "shell/wndproc.h"

size_t app_StringFormat(char* out, size_t size, const char* format, const AppFormatArg* args, size_t count) {
    if (!out || size == 0) return 0;
    size_t used = 0;
    size_t next = 0;
    auto put = [&](const char* s, size_t n) {
        for (size_t i = 0; i < n && used + 1 < size; i++) out[used++] = s[i];
    };
    const char* p = format ? format : "";
    while (*p) {
        if (*p != '%') {
            put(p++, 1);
            continue;
        }
        const char* start = p++;
        if (*p == '%') {
            put("%", 1);
            p++;
            continue;
        }
        // Flags, width, precision and length, as far as they go.
        char spec[32];
        size_t specLen = 0;
        spec[specLen++] = '%';
        auto keep = [&](char c) {
            if (specLen < sizeof spec - 4) spec[specLen++] = c;
        };
        while (*p && strchr("-+ 0#", *p)) keep(*p++);
        int digits = 0;
        while (*p >= '0' && *p <= '9') {
            if (++digits <= 3) keep(*p);
            p++;
        }
        if (*p == '.') {
            keep(*p++);
            digits = 0;
            while (*p >= '0' && *p <= '9') {
                if (++digits <= 3) keep(*p);
                p++;
            }
        }
        while (*p == 'l' || *p == 'h') p++;
        char conv = *p;
        if (!conv || !strchr("scdiuxX", conv) || next >= count) {
            // Not ours to fill: the text stands as it is.
            if (conv) p++;
            put(start, (size_t)(p - start));
            continue;
        }
        p++;
        const AppFormatArg& a = args[next++];
        char piece[512];
        int n;
        if (conv == 's' || (a.text && conv != 'c')) {
            // A number given for a text prints as its digits.
            char digits[24];
            if (!a.text) snprintf(digits, sizeof digits, "%ld", a.number);
            spec[specLen++] = 's';
            spec[specLen] = 0;
            n = snprintf(piece, sizeof piece, spec, a.text ? a.text : digits);
        } else if (conv == 'c') {
            spec[specLen++] = 'c';
            spec[specLen] = 0;
            int c = a.text ? (unsigned char)a.text[0] : (int)(unsigned char)a.number;
            n = snprintf(piece, sizeof piece, spec, c);
        } else {
            spec[specLen++] = 'l';
            spec[specLen++] = conv;
            spec[specLen] = 0;
            if (conv == 'u' || conv == 'x' || conv == 'X')
                n = snprintf(piece, sizeof piece, spec, (unsigned long)a.number);
            else
                n = snprintf(piece, sizeof piece, spec, a.number);
        }
        if (n > 0) put(piece, strnlen(piece, sizeof piece));
    }
    out[used] = 0;
    return used;
}

namespace {

// The box pattern shared by the three data-error boxes: the string with
// both texts, with the name, with the detail, or with neither.
[[noreturn]] void ErrorBox(const char* name, const char* detail, uint32_t both, uint32_t nameOnly,
                           uint32_t detailOnly, uint32_t neither) {
    app_CursorShowAll();
    app_CursorUnclip();
    char text[1024];
    if (name && detail) {
        AppFormatArg args[] = {name, detail};
        app_StringFormat(text, sizeof text, app_StringGet(both), args, 2);
    } else if (name) {
        AppFormatArg args[] = {name};
        app_StringFormat(text, sizeof text, app_StringGet(nameOnly), args, 1);
    } else if (detail) {
        AppFormatArg args[] = {detail};
        app_StringFormat(text, sizeof text, app_StringGet(detailOnly), args, 1);
    } else {
        app_StringFormat(text, sizeof text, app_StringGet(neither), nullptr, 0);
    }
    plat_MessageBox(0, text, app_Title, MB_OK | MB_ICONERROR);
    // Stopped by a data or memory failure: the exit code says so.
    plat_Exit(APP_EXIT_DATA_ERROR);
}

}  // namespace

void app_FatalMessage(const char* text) {
    app_CursorShowAll();
    app_CursorUnclip();
    plat_MessageBox(app_MainHwnd, text ? text : "", app_Title, MB_OK);
    app_FatalExit();
}

void app_FatalErrorBox(const char* name, const char* detail) { ErrorBox(name, detail, 4, 28, 5, 27); }
void app_FatalErrorBoxB(const char* name, const char* detail) { ErrorBox(name, detail, 13, 14, 15, 29); }
void app_FatalErrorBoxC(const char* name, const char* detail) { ErrorBox(name, detail, 17, 18, 19, 20); }
