// The command line and the single-instance rule.
#include "shell/cmdline.h"

#include <cstring>
#include <vector>

#include "base/efile.h"
#include "base/file.h"
#include "base/text.h"
#include "platform/window.h"
#include "shell/appstr.h"
#include "shell/fatal.h"
#include "shell/startup.h"

uint32_t app_StartupOptions = 0;

void app_CommandLineParse(const char* commandLine, AppCommandLine* out) {
    memset(out, 0, sizeof *out);
    out->action = APP_COMMAND_RUN;
    if (!commandLine) return;
    size_t length = strlen(commandLine);
    // Words are separated by blanks, so there are at most half as many as
    // characters, and each needs its terminator.
    int maxWords = (int)(length / 2 + 2);
    std::vector<char> buffer(length + (size_t)maxWords + 1);
    std::vector<char*> words((size_t)maxWords);
    int count = text_SplitWords(commandLine, buffer.data(), buffer.size(), words.data(), maxWords);

    struct WordBit {
        const char* word;
        uint32_t bit;
    };
    static const WordBit kOptionWords[] = {
        {"HWNOCRUNCH", APP_OPTION_HWNOCRUNCH},
        {"HARDWARE", APP_OPTION_HARDWARE},
        {"SOFTWARE", APP_OPTION_SOFTWARE},
        {"WINDOW", APP_OPTION_WINDOW},
    };

    for (int i = 0; i < count; i++) {
        const char* w = words[(size_t)i];
        if (w[0] == '-' || w[0] == '/') {
            char letter = w[1];
            if (!letter) continue;  // a lone switch sign
            if (letter == 'a' || letter == 'A') {
                out->action = APP_COMMAND_VERSION_BOX;
            } else if (letter == 'h' || letter == 'H') {
                out->action = APP_COMMAND_USAGE_BOX;
            } else {
                out->action = APP_COMMAND_BAD_SWITCH;
                out->badSwitch = letter;
            }
            return;
        }
        if (text_EqualNoCase(w, "VERSION")) {
            out->versionInTitle = 1;
            continue;
        }
        if (text_EqualNoCase(w, "MANY")) {
            out->many = 1;
            continue;
        }
        if (text_EqualNoCase(w, "TRACE")) {
            out->trace = 1;
            continue;
        }
        bool known = false;
        for (const WordBit& o : kOptionWords)
            if (text_EqualNoCase(w, o.word)) {
                out->options |= o.bit;
                known = true;
            }
        if (known) continue;
        out->action = APP_COMMAND_BAD_WORD;
        size_t n = strnlen(w, sizeof out->badWord - 1);
        memcpy(out->badWord, w, n);
        out->badWord[n] = 0;
        return;
    }
}

int32_t app_CommandLineRun(const char* commandLine) {
    app_Record.width = 640;
    app_Record.height = 480;
    app_Record.depth = 16;
    app_Record.word4 = 2;

    AppCommandLine cl;
    app_CommandLineParse(commandLine, &cl);
    if (cl.versionInTitle) app_Record.versionInTitle = 1;
    app_StartupOptions |= cl.options;
    if (cl.trace) {
        file_Delete("_trace.txt");
        file_TraceHookSet(file_TraceLoad);
    }

    char text[512];
    switch (cl.action) {
    case APP_COMMAND_VERSION_BOX: return app_VersionBox();
    case APP_COMMAND_USAGE_BOX: return app_UsageBox();
    case APP_COMMAND_BAD_WORD: {
        AppFormatArg args[] = {cl.badWord};
        app_StringFormat(text, sizeof text, app_StringGet(55), args, 1);
        plat_MessageBox(0, text, app_Title, MB_OK | MB_ICONERROR);
        return -1;
    }
    case APP_COMMAND_BAD_SWITCH: {
        char letter[2] = {cl.badSwitch, 0};
        AppFormatArg args[] = {letter};
        app_StringFormat(text, sizeof text, app_StringGet(54), args, 1);
        plat_MessageBox(0, text, app_Title, MB_OK | MB_ICONERROR);
        return -1;
    }
    case APP_COMMAND_RUN: break;
    }

    if (!cl.many && plat_InstanceCount(APP_MAIN_CLASS) > 0) {
        // Another copy runs: bring it forward instead.
        plat_InstanceRaiseOther(APP_MAIN_CLASS);
        return 0;
    }
    return app_RunStep();
}
