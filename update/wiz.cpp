// The update wizard: agreement, progress dialog, configuration pass and
// processing pass.
#include "update/wiz.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <thread>
#include <vector>

#include "platform/files.h"
#include "platform/process.h"
#include "update/wiz_ini.h"
#include "update/wiz_szdd.h"
#include "update/wiz_ui.h"

namespace {

const char kTitle[] = "Tarvesk Local File Update Wizard v1.0.05";
constexpr size_t kNameSize = 128;

// The agreement, stored as two texts and shown joined.
const char kAgreement1[] =
    "TARVESK USER AGREEMENT\n\n"
    "Please read this agreement before you install the update. By choosing Accept you agree to its terms; "
    "if you do not agree, choose Cancel and nothing will be changed.\n\n"
    "1. The update replaces data files of the product in its folder with newer ones. Keep a copy of the "
    "folder if you may want the old files back.\n\n";
const char kAgreement2[] =
    "2. The update is provided as it is, without warranty of any kind, to the extent the law allows. "
    "Tarvesk is not liable for any loss that comes from installing it or from being unable to.\n\n"
    "3. You may install the update only on a copy of the product that you are entitled to use.\n";

struct WizState {
    char workDir[260];
    char cmd[kNameSize], exe[kNameSize], dst[kNameSize], src[kNameSize], resExe[kNameSize], upd[kNameSize];
    int32_t done;
    int32_t configFailed;
    PlatHwnd dialog;
};
WizState g;

void Box(const char* text) { plat_MessageBox(g.dialog, text, kTitle, MB_OK | MB_ICONWARNING); }

void Status(const char* text, bool pump) {
    wizui_SetText(g.dialog, WIZ_ID_STATUS, text);
    if (pump) wiz_PumpMessages();
}

void SleepMs(uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Deletes a file, retrying a little while it refuses, the dialog serviced
// between tries. 0 when it is gone.
int32_t DeleteRetry(const char* name) {
    for (int tries = 0; tries < 200; tries++) {
        if (plat_FileDelete(name) == 0 || !plat_FileExists(name)) return 0;
        wiz_PumpMessages();
        if (g.done) return -1;
        SleepMs(5);
    }
    return -1;
}

void DecompressionFailed(const char* name) {
    char text[512];
    snprintf(text, sizeof text, "An error occured during decompression of file (%s). Skipping.", name);
    Box(text);
}

// Reads the repeated `key` of `section` into entries with `flag`. -1 when
// an entry cannot be made.
int32_t ReadEntries(const char* section, const char* key, uint32_t flag) {
    if (!wiz_IniFindSection(section)) return 0;
    char value[WIZ_LINE_MAX];
    while (wiz_IniNextKey(key, value, sizeof value, nullptr)) {
        WizEntry* e = wiz_EntryCreate(value);
        if (!e) return -1;
        e->flags |= flag;
    }
    return 0;
}

// The resource utility's command line: "DIR\RESEXE DST ARG /MODE".
void UtilityCommand(char* out, size_t size, const char* arg, const char* mode) {
    snprintf(out, size, "%s\\%s %s %s %s", g.workDir, g.resExe, g.dst, arg, mode);
}

// Runs the utility for /WORK or /DUMP. 0, or -1 when it could not start
// (both boxes shown).
int32_t RunListCommand(const char* mode, const char* listName) {
    char command[1024];
    UtilityCommand(command, sizeof command, g.src, mode);
    uint32_t exitCode = 0;
    int32_t error = 0;
    if (wiz_RunProcess(command, 1, &exitCode, "!tmpexec.$$$", &error) != 0) {
        char text[512];
        snprintf(text, sizeof text, "Could not create process (%s)[%d].  Aborting.", listName, error);
        Box(text);
        Box(command);
        return -1;
    }
    plat_FileDelete("!tmpexec.$$$");
    return 0;
}

const char* FirstWizFile(char* out, size_t size) {
    PlatFindData fd;
    PlatFind* find = plat_FindFirst("*.wiz", &fd);
    out[0] = 0;
    if (!find) return nullptr;
    do {
        if (fd.isDir) continue;
        if (!out[0] || strcasecmp(fd.name, out) < 0) snprintf(out, size, "%s", fd.name);
    } while (plat_FindNext(find, &fd));
    plat_FindClose(find);
    return out[0] ? out : nullptr;
}

}  // namespace

int32_t wiz_NameSafe(const char* name) {
    if (!name || !*name) return 0;
    if (name[0] == '/' || name[0] == '\\' || strchr(name, ':')) return 0;
    // No component may be "..".
    const char* p = name;
    while (*p) {
        size_t n = strcspn(p, "/\\");
        if (n == 2 && p[0] == '.' && p[1] == '.') return 0;
        p += n;
        if (*p) p++;
    }
    return 1;
}

void wiz_PumpMessages(void) {
    PlatMsg m;
    while (plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE)) {
        if (m.message == WM_QUIT) {
            g.done = 1;
            continue;
        }
        plat_TranslateMessage(&m);
        plat_DispatchMessage(&m);
    }
}

void wiz_CenterWindow(PlatHwnd hwnd) {
    PlatRect r;
    if (plat_WindowGetRect(hwnd, &r) != 0) return;
    int dw = 0, dh = 0;
    plat_DesktopSize(&dw, &dh, nullptr);
    int w = r.right - r.left, h = r.bottom - r.top;
    plat_WindowMove(hwnd, (dw >> 1) - (w >> 1), (dh >> 1) - (h >> 1), w, h);
    plat_WindowRaise(hwnd);
}

int32_t wiz_RunProcess(const char* commandLine, int32_t wait, uint32_t* exitCode, const char* output,
                       int32_t* error) {
    int32_t err = 0;
    int32_t h = plat_ProcessStart(commandLine, output, &err);
    if (error) *error = err;
    if (h < 0) return -1;
    if (wait) {
        // Waited for with the dialog serviced, and not for ever: a child
        // that hangs is left running after ten minutes.
        auto until = std::chrono::steady_clock::now() + std::chrono::minutes(10);
        int64_t code = plat_ProcessPoll(h);
        while (code == PLAT_STILL_ACTIVE && std::chrono::steady_clock::now() < until) {
            wiz_PumpMessages();
            SleepMs(2);
            code = plat_ProcessPoll(h);
        }
        if (exitCode) *exitCode = (uint32_t)code;
    }
    plat_ProcessClose(h);
    return 0;
}

int32_t wiz_IsSzdd(const char* name) {
    int h = plat_FileOpen(name, PLAT_OPEN_READ);
    if (h < 0) return 0;
    uint8_t head[SZDD_HEADER_SIZE];
    int32_t got = plat_FileRead(h, head, sizeof head);
    plat_FileClose(h);
    return got == (int32_t)sizeof head && szdd_IsHeader(head, sizeof head);
}

int32_t wiz_ExpandFile(const char* name) {
    if (!name || !*name) return 1;
    if (!wiz_NameSafe(name)) return 0;
    if (!wiz_IsSzdd(name)) return 1;
    char text[768];
    char temp[300];
    int out = plat_FileCreateUnique("WIZ", temp, sizeof temp);
    int in = plat_FileOpen(name, PLAT_OPEN_READ);
    if (out < 0 || in < 0) {
        snprintf(text, sizeof text, "An error occured during file open (%s:%d)(%s:%d).", out < 0 ? "WIZ" : temp, out,
                 name, in);
        Box(text);
        if (out >= 0) {
            plat_FileClose(out);
            plat_FileDelete(temp);
        }
        if (in >= 0) plat_FileClose(in);
        return 0;
    }
    int32_t result = -1;
    int64_t size = plat_FileSizeOf(in);
    std::vector<uint8_t> packed, plain;
    if (size > 0 && size < (int64_t)1 << 30) {
        packed.resize((size_t)size);
        if (plat_FileRead(in, packed.data(), (uint32_t)size) == (int32_t)size)
            result = szdd_Expand(packed.data(), packed.size(), &plain);
    }
    plat_FileClose(in);
    if (result == 0) {
        size_t done = 0;
        while (done < plain.size()) {
            uint32_t chunk = (uint32_t)(plain.size() - done > (1u << 20) ? (1u << 20) : plain.size() - done);
            if (plat_FileWrite(out, plain.data() + done, chunk) != (int32_t)chunk) break;
            done += chunk;
        }
        if (done != plain.size() || plat_FileSync(out) != 0) result = -2;
    }
    plat_FileClose(out);
    if (result != 0) {
        snprintf(text, sizeof text, "An error occured during file copy(%d).", result);
        Box(text);
        DeleteRetry(temp);
        return 0;
    }
    // The expanded file takes the compressed one's place in one step, so it
    // is replaced whole or not at all.
    plat_FileModeCopy(name, temp);
    if (plat_FileRename(temp, name) != 0) {
        DeleteRetry(temp);
        return 0;
    }
    return 1;
}

int32_t wiz_ReadConfig(void) {
    char text[512];
    char wiz[260];
    // A cancel while the dialog was serviced stops here, before anything
    // is changed.
    Status("Reading configuration file (.WIZ)", true);
    if (g.done) return -1;
    if (!FirstWizFile(wiz, sizeof wiz) || !wiz_IniLoadFile(wiz)) {
        Box("Configuration file (.WIZ) could not be located. Aborting.");
        return -1;
    }
    wiz_IniGetKey("HEADER", "CMD", g.cmd, sizeof g.cmd, nullptr);
    wiz_IniFree();
    snprintf(text, sizeof text, "Reading configuration file (%s)", g.cmd);
    Status(text, true);
    if (g.done) return -1;
    if (!wiz_NameSafe(g.cmd) || !wiz_IniLoadFile(g.cmd)) {
        snprintf(text, sizeof text, "Configuration file (%s) could not be located. Aborting.", g.cmd);
        Box(text);
        return -1;
    }
    char value[WIZ_LINE_MAX];
    wiz_IniGetKey("HEADER", "EXE", g.exe, sizeof g.exe, nullptr);
    wiz_IniGetKey("HEADER", "DST", g.dst, sizeof g.dst, nullptr);
    if (wiz_IniGetKey("PRECHECK", "SRC", value, sizeof value, nullptr)) wiz_FirstItem(value, g.src, sizeof g.src);
    if (wiz_IniGetKey("PRECHECK", "RESEXE", value, sizeof value, nullptr))
        wiz_FirstItem(value, g.resExe, sizeof g.resExe);
    if (wiz_IniGetKey("PRECHECK", "UPD", value, sizeof value, nullptr)) wiz_FirstItem(value, g.upd, sizeof g.upd);

    if (!wiz_NameSafe(g.resExe) || !plat_FileExists(g.resExe)) {
        snprintf(text, sizeof text, "Resource Utility (%s) could not be located. Aborting.", g.resExe);
        Box(text);
        wiz_IniFree();
        return -1;
    }
    if (!wiz_NameSafe(g.dst) || !plat_FileExists(g.dst)) {
        snprintf(text, sizeof text, "Resource file (%s) could not be located. Aborting.", g.dst);
        Box(text);
        wiz_IniFree();
        return -1;
    }
    const char* prechecked[] = {g.resExe, g.src, g.upd};
    for (const char* name : prechecked)
        if (!wiz_ExpandFile(name)) {
            DecompressionFailed(name);
            wiz_IniFree();
            return -1;
        }
    if (ReadEntries("COPY", "COPY", WIZ_ENTRY_COPY) != 0 || ReadEntries("EXECUTE", "EXE", WIZ_ENTRY_EXECUTE) != 0 ||
        ReadEntries("REMOVE", "REMOVE", WIZ_ENTRY_REMOVE) != 0) {
        Box("An error occured during memory link. Aborting.");
        wiz_IniFree();
        return -1;
    }
    wiz_IniFree();

    snprintf(text, sizeof text, "Examining resource file. (%s)", g.dst);
    Status(text, true);
    if (g.done) return -1;
    if (RunListCommand("/WORK", "update.lst") != 0) return -1;
    if (wiz_IniLoadFile("update.lst")) {
        int32_t r = ReadEntries("ADD", "FILE", WIZ_ENTRY_RESOURCE);
        wiz_IniFree();
        if (r != 0) return -1;
        plat_FileDelete("update.lst");
    }
    if (RunListCommand("/DUMP", "update.dmp") != 0) return -1;
    if (!wiz_IniLoadFile("update.dmp")) return 0;
    int32_t r = ReadEntries("PFF", "ENTRY", WIZ_ENTRY_DELETE);
    wiz_IniFree();
    if (r != 0) {
        Box("An error occured during memory link. Aborting.");
        return -1;
    }
    plat_FileDelete("update.dmp");
    return 0;
}

void wiz_ProcessList(void) {
    char text[512];
    int32_t total = wiz_EntryCount(WIZ_ENTRY_RESOURCE) + wiz_EntryCount(WIZ_ENTRY_COPY);
    int32_t expanded = 0;
    for (WizEntry* e = wiz_EntryList; e; e = e->next) {
        snprintf(text, sizeof text, "Decompressing file %d of %d.", expanded + 1, total);
        Status(text, true);
        if (e->flags & WIZ_ENTRY_REMOVE) {
            if (wiz_NameSafe(e->name)) plat_FileDelete(e->name);
            else e->flags |= WIZ_ENTRY_FAILED;
        } else if (e->flags & WIZ_ENTRY_EXECUTE) {
            uint32_t code = 0;
            wiz_RunProcess(e->name, 1, &code, "!tmpexec.tmp", nullptr);
            plat_FileDelete("!tmpexec.tmp");
        } else if (e->flags & (WIZ_ENTRY_COPY | WIZ_ENTRY_RESOURCE)) {
            if (wiz_ExpandFile(e->name) && plat_FileSetTimes(e->name, (int64_t)e->time) == 0) {
                expanded++;
            } else {
                DecompressionFailed(e->name);
                e->flags |= WIZ_ENTRY_FAILED;
            }
        }
        if (g.done) return;
    }

    Status("Processing resource files.", false);
    wizui_Enable(g.dialog, WIZ_ID_RESOURCE_LABEL, 1);
    wizui_Enable(g.dialog, WIZ_ID_PROGRESS, 1);
    int32_t resources = wiz_EntryCount(WIZ_ENTRY_RESOURCE);
    if (resources > 0) {
        snprintf(text, sizeof text, "Processing %d resource files.", resources);
        Status(text, false);
        wizui_ProgressRange(g.dialog, 0, resources);
        int32_t n = 0;
        for (WizEntry* e = wiz_EntryList; e; e = e->next) {
            if (!(e->flags & WIZ_ENTRY_RESOURCE) || (e->flags & WIZ_ENTRY_FAILED)) continue;
            wiz_PumpMessages();
            snprintf(text, sizeof text, "Processing resource file %d of %d.", ++n, resources);
            Status(text, false);
            char command[1024];
            UtilityCommand(command, sizeof command, e->name, "/ENCODE");
            uint32_t code = 0;
            wiz_RunProcess(command, 1, &code, "!tmpexec.$$$", nullptr);
            plat_FileDelete(e->name);
            wizui_ProgressStepIt(g.dialog);
            if (g.done) break;
        }
        plat_FileDelete("!tmpexec.$$$");
    }

    Status("Cleaning up.", false);
    for (WizEntry* e = wiz_EntryList; e; e = e->next) {
        if (!(e->flags & WIZ_ENTRY_DELETE)) continue;
        wiz_PumpMessages();
        if (g.done) return;
        if (wiz_NameSafe(e->name)) plat_FileDelete(e->name);
        else e->flags |= WIZ_ENTRY_FAILED;
    }
    Status("All done.", false);
}

intptr_t wiz_ProgressDlgProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    switch (msg) {
    case WM_CREATE:
        g.dialog = hwnd;
        wiz_CenterWindow(hwnd);
        wizui_SetText(hwnd, WIZ_ID_DIRECTORY, g.workDir);
        wizui_ProgressSetStep(hwnd, 1);
        wizui_ProgressSetPos(hwnd, 0);
        plat_PostMessage(hwnd, WIZ_MSG_READCONFIG, 0, 0);
        plat_WindowRaise(hwnd);
        return 0;
    case WIZ_MSG_READCONFIG:
        if (wiz_ReadConfig() == 0) {
            plat_PostMessage(hwnd, WIZ_MSG_PROCESS, 0, 0);
        } else {
            g.configFailed = !g.done;
            plat_PostMessage(hwnd, WM_COMMAND, WIZ_ID_FINISH, 0);
        }
        return 0;
    case WIZ_MSG_PROCESS:
        wiz_ProcessList();
        if (!plat_WindowIsValid(hwnd)) return 0;
        wizui_Enable(hwnd, WIZ_ID_CANCEL_BUTTON, 0);
        wizui_Enable(hwnd, WIZ_ID_FINISH, 1);
        wizui_ProgressRange(hwnd, 0, 100);
        wizui_ProgressSetPos(hwnd, 100);
        return 0;
    case WM_COMMAND:
        switch (wParam & 0xFFFF) {
        case WIZ_ID_FINISH:
        case IDOK:
            g.done = 1;
            plat_WindowDestroy(hwnd);
            break;
        case WIZ_ID_CANCEL_BUTTON:
        case IDCANCEL:
            if (plat_MessageBox(hwnd,
                                "Are you sure you want to cancel?  Doing so will leave this update incomplete and may "
                                "result in product instability.  If this occurs, you will need to re-install the "
                                "product.",
                                kTitle, MB_YESNO | MB_ICONWARNING) != IDNO) {
                g.done = 1;
                plat_WindowDestroy(hwnd);
            }
            break;
        default: break;
        }
        return 0;
    case WM_CLOSE:
        g.done = 1;
        plat_WindowDestroy(hwnd);
        return 0;
    case WM_DESTROY:
        if (g.dialog == hwnd) g.dialog = 0;
        return 0;
    default: return plat_DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

int32_t wiz_Main(const char* commandLine) {
    g = WizState{};
    plat_Init();
    const char* dir = commandLine ? strstr(commandLine, "/DIR=") : nullptr;
    if (dir && plat_SetCwd(dir + 5) != 0) {
        char text[512];
        snprintf(text, sizeof text, "Could not set current directory to (%s).", dir + 5);
        Box(text);
    }
    if (plat_GetCwd(g.workDir, sizeof g.workDir) != 0) g.workDir[0] = 0;

    std::vector<char> agreement(sizeof kAgreement1 + sizeof kAgreement2);
    snprintf(agreement.data(), agreement.size(), "%s%s", kAgreement1, kAgreement2);
    if (!wizui_License(agreement.data())) return 0;

    PlatHwnd dialog = wizui_ProgressCreate(kTitle, wiz_ProgressDlgProc);
    if (!dialog) return 31;
    PlatMsg m;
    while (!g.done) {
        if (!plat_GetMessage(&m)) break;
        plat_TranslateMessage(&m);
        plat_DispatchMessage(&m);
    }
    int32_t failed = 0;
    for (WizEntry* e = wiz_EntryList; e; e = e->next)
        if (e->flags & WIZ_ENTRY_FAILED) failed = 1;
    wiz_EntryFreeAll();
    if (g.dialog) plat_WindowDestroy(g.dialog);
    if (g.configFailed) return 1;
    return failed ? 2 : 0;
}
