// Start-up: from the program's entry to app_Main. The application record,
// the string file, the version string, the main window, the run step and
// the start entry of the dispatch loop.
#include "shell/startup.h"

#include <cfenv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "base/file.h"
#include "base/filetable.h"
#include "base/bmp.h"
#include "base/mem.h"
#include "display/dsurf.h"
#include "display/hook.h"
#include "display/otw.h"
#include "net/announce.h"
#include "net/player.h"
#include "platform/display.h"
#include "platform/files.h"
#include "platform/timer.h"
#include "render/render.h"
#include "shell/appstr.h"
#include "shell/cmdline.h"
#include "shell/dump.h"
#include "shell/fatal.h"
#include "shell/loadwin.h"
#include "shell/mainloop.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/wndproc.h"
#include "sim/plane.h"

const AppProductRecord app_ProductRecord = {
    "KRX.EXE",
    "KRX",
    "KRX.CFG",
    "KRX.SAV",
    "KRX.INI",
    "COMMON.PFF",
    "KRX.PFF",
    "SKARVEL.PWF",
    "QJGAME.BIN",
    "KRX_SB.BMP",
    "KRXCRE.TXT",
    "KRXMENU.BIN",
    "KRX_MRF",
    "KRXSETUP",
    "KRXINTRO.KDV",
    "KRXOVER.KDV",
    "KRX.INP",
    "KRX Game",
    "NEWBIE",
    "KRX Player",
    "B2.PAK",
    "HTN_26.PCX",
    "KRX.FFB",
    "KRXMUSIC.SBF",
    "KRXMUSIC.BIN",
    "KRX_Menu",
    "KRX.MNU",
    "KRX.WIZ",
    "F%dM%d.ORF",
    "FSLOT",
    "KRX_CC.BIN",
    "FCAMP",
    "KRX",
    110,
    "_APP_HW3D_ENTRY",
};

// The names start out as the product record's, so that the settings and
// data-file code work before the product record is copied in at start-up.
AppRecord app_Record = [] {
    AppRecord r{};
    r.width = 640, r.height = 480, r.depth = 16, r.word4 = 2;
    snprintf(r.exeName, sizeof r.exeName, "%s", "KRX.EXE");
    snprintf(r.fullTitle, sizeof r.fullTitle, "%s", "KRX");
    snprintf(r.cfgName, sizeof r.cfgName, "%s", "KRX.CFG");
    snprintf(r.savName, sizeof r.savName, "%s", "KRX.SAV");
    snprintf(r.iniName, sizeof r.iniName, "%s", "KRX.INI");
    snprintf(r.commonPff, sizeof r.commonPff, "%s", "COMMON.PFF");
    snprintf(r.productPff, sizeof r.productPff, "%s", "KRX.PFF");
    snprintf(r.gameDataName, sizeof r.gameDataName, "%s", "QJGAME.BIN");
    snprintf(r.menuDataName, sizeof r.menuDataName, "%s", "KRXMENU.BIN");
    snprintf(r.inputMapName, sizeof r.inputMapName, "%s", "KRX.INP");
    snprintf(r.ffbName, sizeof r.ffbName, "%s", "KRX.FFB");
    snprintf(r.gameName, sizeof r.gameName, "%s", "KRX Game");
    snprintf(r.playerName, sizeof r.playerName, "%s", "KRX Player");
    snprintf(r.aircraftName, sizeof r.aircraftName, "%s", "KRX");
    r.iconId = 110;
    return r;
}();

char app_Title[128] = "KRX";
AppVersionRecord app_VersionRecord = {};
int32_t app_VariantWord = 0;
int32_t app_ModeWord = 0;
double app_FpuScale16 = 1.0 / 65536.0;
double app_FpuScale7 = 1.0 / 128.0;

namespace {

const char kStringFile[] = "APPSTR.BIN";
constexpr uint32_t kStringVersionItem = 86;
constexpr int32_t kStringVersion = 2;
// The string file is read before the heaps exist (their sizes are set by
// the run step); it gets a small heap of its own.
MemHeap g_stringHeap;

const char kNotice[] = "Built from its own sources by the KRX project.";

template <size_t N>
void Copy(char (&dst)[N], const char* src) {
    snprintf(dst, N, "%s", src ? src : "");
}

[[noreturn]] void StringFileError(const char* format) {
    app_CursorShowAll();
    app_CursorUnclip();
    char text[256];
    snprintf(text, sizeof text, format, kStringFile);
    plat_MessageBox(0, text, app_Title, MB_OK | MB_ICONERROR);
    // A data-file failure: the exit code says so.
    plat_Exit(APP_EXIT_DATA_ERROR);
}

int32_t TwoDigits(const char* s) {
    int32_t v = 0;
    for (int i = 0; i < 2; i++) v = v * 10 + (s[i] >= '0' && s[i] <= '9' ? s[i] - '0' : 0);
    return v;
}

void SurfaceReselect(void) { draw_SelectSurface(&otw_ScreenSurface); }

}  // namespace

// ---- Strings and version -----------------------------------------------------------

void app_StringFileLoad(void) {
    if (!file_Exists(kStringFile)) StringFileError("Error!  File \"%s\" does not exist.");
    int32_t size = file_FileSizeEx(kStringFile);
    // Room for the image and the records built from it.
    if (size <= 0 || size > 0x1000000) StringFileError("Error!  Cannot load file \"%s\"!");
    mem_HeapSizesSet((uint32_t)size * 4 + 0x10000, 0, 0);
    MemHeap* saved = mem_CurrentHeap;
    mem_CurrentHeap = &g_stringHeap;
    FileTable* table = mem_HeapInit() == 0 ? file_TableLoad(kStringFile) : nullptr;
    mem_CurrentHeap = saved;
    if (!table) StringFileError("Error!  Cannot load file \"%s\"!");
    app_StringTable = table;
    const FileTableEntry* e = file_TableEntryGet(table, kStringVersionItem);
    if (!e || !e->text || atol(e->text) != kStringVersion)
        StringFileError("Error!  File \"%s\" is out-of-date with the current executable!");
}

void app_BuildTimeParse(const char* date, const char* time) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    AppRecord& r = app_Record;
    r.buildHour = r.buildMinute = r.buildSecond = 0;
    if (time && strlen(time) >= 8) {
        r.buildHour = TwoDigits(time);
        r.buildMinute = TwoDigits(time + 3);
        r.buildSecond = TwoDigits(time + 6);
    }
    r.buildMonth = 0;
    if (date && strlen(date) >= 11)
        for (int i = 0; i < 12; i++)
            if (strncmp(date, kMonths[i], 3) == 0) r.buildMonth = i + 1;
    if (!r.buildMonth) {
        r.buildMonth = 1;
        r.buildDay = 1;
        r.buildYear = 1999;
        return;
    }
    r.buildDay = TwoDigits(date + 4);  // a blank counts as 0
    r.buildYear = TwoDigits(date + 7) * 100 + TwoDigits(date + 9);
}

void app_VersionStringBuild(void) {
    app_BuildTimeParse(__DATE__, __TIME__);
    const AppRecord& r = app_Record;
    long number = (APP_VERSION_MAJOR % 100) * 1000000L + (APP_VERSION_MINOR % 100) * 10000L +
                  (APP_VERSION_THIRD % 100) * 100L + APP_VERSION_BUILD % 100;
    long date = r.buildYear % 100 + (r.buildDay % 100) * 100L + (r.buildMonth % 100) * 10000L;
    long time = r.buildSecond % 100 + (r.buildMinute % 100) * 100L + (r.buildHour % 100) * 10000L;
    snprintf(app_Record.versionString, sizeof app_Record.versionString, "%s%8.8ld.%6.6ld.%6.6ld-%ld%c", "",
             number, date, time, (long)APP_RELEASE_NUMBER, APP_RELEASE_LETTER);
    int others = plat_InstanceCount(APP_MAIN_CLASS);
    app_VersionRecord = AppVersionRecord{APP_VERSION_MAJOR,
                                         APP_VERSION_MINOR,
                                         APP_VERSION_THIRD,
                                         APP_NETWORK_VERSION,
                                         (int32_t)number,
                                         (int32_t)date,
                                         (int32_t)time,
                                         r.buildHour,
                                         r.buildMinute,
                                         r.buildSecond,
                                         r.buildMonth,
                                         r.buildDay,
                                         r.buildYear,
                                         others > 0 ? others + 1 : 1,
                                         APP_VERSION_BUILD};
    if (others > 0) {
        size_t used = strlen(app_Record.versionString);
        snprintf(app_Record.versionString + used, sizeof app_Record.versionString - used, " (#%ld)",
                 (long)others + 1);
    }
}

void app_TitleCompose(void) {
    const char* title = app_StringGet(65);
    if (app_Record.versionInTitle)
        snprintf(app_Title, sizeof app_Title, "%s (%ld.%2.2ld.%2.2ld.%2.2ld)", title, (long)APP_VERSION_MAJOR,
                 (long)APP_VERSION_MINOR, (long)APP_VERSION_THIRD, (long)APP_VERSION_BUILD);
    else
        Copy(app_Title, title);
}

void app_ProductRecordInit(void) {
    const AppProductRecord& p = app_ProductRecord;
    AppRecord& r = app_Record;
    Copy(r.exeName, p.exeName);
    Copy(r.fullTitle, p.fullTitle);
    Copy(r.cfgName, p.cfgName);
    Copy(r.savName, p.savName);
    Copy(r.iniName, p.iniName);
    Copy(r.commonPff, p.commonPff);
    Copy(r.productPff, p.productPff);
    Copy(r.gameDataName, p.gameDataName);
    Copy(r.menuDataName, p.menuDataName);
    Copy(r.inputMapName, p.inputMapName);
    Copy(r.ffbName, p.ffbName);
    Copy(r.gameName, p.gameName);
    Copy(r.playerName, p.playerName);
    Copy(r.aircraftName, p.aircraftName);
    r.iconId = p.iconId;
    app_TitleCompose();
    if (const _PLANE_TYPE* t = plane_TypeFind(r.aircraftName))
        plane_CurrentDescriptor = *t;
    else
        memset(&plane_CurrentDescriptor, 0, sizeof plane_CurrentDescriptor);
}

// ---- Boxes --------------------------------------------------------------------

int32_t app_UsageBox(void) {
    char text[1024];
    snprintf(text, sizeof text, "%s:  %s [<-%s>]\n\n%s:\n\n\t-h      %s.\n\t-a      %s.\n\n%s\n", app_StringGet(37),
             app_StringGet(38), app_StringGet(38), app_StringGet(39), app_StringGet(40), app_StringGet(41),
             app_Record.exeName);
    plat_MessageBox(0, text, app_Title, MB_OK | MB_ICONINFORMATION);
    return 0;
}

int32_t app_VersionBox(void) {
    char text[2048];
    snprintf(text, sizeof text,
             "%s \t%s\n\n%s \t%s\n%s \t\"%s\"\n%s \t%2.2ld.%2.2ld.%2.2ld.%2.2ld\n%s \t%ld\n%s \t%s\n%s \t%s\n%s "
             "\t%s\n\n\n%s",
             app_StringGet(44), app_Record.fullTitle, app_StringGet(52), app_Record.exeName, app_StringGet(45),
             app_Record.versionString, app_StringGet(46), (long)APP_VERSION_MAJOR, (long)APP_VERSION_MINOR,
             (long)APP_VERSION_THIRD, (long)APP_VERSION_BUILD, app_StringGet(47), (long)APP_RELEASE_NUMBER,
             app_StringGet(48), __DATE__, app_StringGet(49), __TIME__, app_StringGet(50), app_StringGet(43), kNotice);
    plat_MessageBox(0, text, app_Title, MB_OK | MB_ICONINFORMATION);
    return 0;
}

// ---- Run step -----------------------------------------------------------------

int32_t app_DepthCheck(void) {
    int w = 0, h = 0, bpp = 0;
    plat_DesktopSize(&w, &h, &bpp);
    if (bpp > 15 || app_Ini.SKIP_16BIT_CHECK) return 1;
    // Controls 1008, 1009, 1010 (texts), 1013 (go on), 1014 (stop) and the
    // check box 1012. The answer is the button; 0x10000 added when the box
    // was ticked.
    char text[1024];
    snprintf(text, sizeof text, "%s\n%s\n%s", app_StringGet(72), app_StringGet(73), app_StringGet(74));
    PlatDialogSpec dialog = {"NOT16BIT",        app_Title,       text, 1013, app_StringGet(77), 1014,
                             app_StringGet(78), app_StringGet(76), app_Ini.SKIP_16BIT_CHECK != 0};
    int answer = plat_DialogShow(&dialog);
    if ((answer & 0xFFFF) != 1013) return 0;
    int32_t ticked = (answer & PLAT_DIALOG_TICKED) != 0;
    app_Ini.SKIP_16BIT_CHECK = ticked;
    if (ticked) app_IniWrite();
    return 1;
}

void app_CpuDetect(int32_t* cpuClass, int32_t* fpuPresent, int32_t* mmxPresent) {
    int32_t mmx = 0;
#if defined(__x86_64__) || defined(__i386__)
    unsigned a = 0, b = 0, c = 0, d = 0;
    if (__get_cpuid(1, &a, &b, &c, &d)) mmx = (d & 0x800000) != 0;
#endif
    // Every processor this runs on has the identification instruction and
    // a floating-point unit.
    if (cpuClass) *cpuClass = 0x586;
    if (fpuPresent) *fpuPresent = 1;
    if (mmxPresent) *mmxPresent = mmx;
}

void app_FpuConstantsInit(void) {
    // The state FNINIT leaves: round to nearest, no exceptions pending.
    std::fesetround(FE_TONEAREST);
    std::feclearexcept(FE_ALL_EXCEPT);
    app_FpuScale16 = 1.0 / 65536.0;
    app_FpuScale7 = 1.0 / 128.0;
}

int32_t app_MainWindowClassRegister(void) {
    // Our window layer keeps no classes: the class name goes with the window.
    return 0;
}

int32_t app_MainWindowCreate(void) {
    PlatHwnd hwnd = plat_WindowCreate(APP_MAIN_CLASS, app_Title, 640, 480, app_MainWndProc, 1);
    if (!hwnd) return -1;
    app_MainHwnd = hwnd;
    // Client area centred on the desktop (our windows have no frame).
    int32_t left = app_Record.desktopWidth / 2 - 320;
    int32_t top = app_Record.desktopHeight / 2 - 240;
    plat_WindowMove(hwnd, left, top, 640, 480);
    plat_InstanceRegister(APP_MAIN_CLASS);
    plat_WindowShow(hwnd, app_Record.showCommand);
    return 0;
}

void app_StartPictureShow(void) {
    if (!plat_FileExists("INIT.BMP")) return;
    _EIMAGE2* image = img_LoadBmp("INIT.BMP");
    if (!image) return;
    // Stretched over the whole client area, as it was drawn on the window
    // before the display takes it over.
    if (image->bitsPerPixel == 24 || image->bitsPerPixel == 32) {
        constexpr int32_t kW = 640, kH = 480;
        PlatPixelFormat mode{};
        if (plat_DisplaySetMode(app_MainHwnd, kW, kH, 32, 0, &mode) == 0) {
            // Stored blue, green, red (and a fourth byte at 32 bits).
            const PlatPixelFormat format = {image->bitsPerPixel, 0xFF0000u, 0xFF00u, 0xFFu, 0};
            if (image->width == kW && image->height == kH) {
                // The picture's own rows go to the display's frame: no
                // further copy of a whole frame is made for one picture.
                plat_DisplayPresent(image->pixels, kW, kH, image->rowSize, &format);
            } else {
                std::vector<uint32_t> frame((size_t)kW * kH);
                for (int32_t y = 0; y < kH; y++) {
                    const uint8_t* row = image->rows[(int64_t)y * image->height / kH];
                    for (int32_t x = 0; x < kW; x++) {
                        const uint8_t* p = row + (int64_t)x * image->width / kW * image->bytesPerPixel;
                        frame[(size_t)y * kW + (size_t)x] = (uint32_t)p[2] << 16 | (uint32_t)p[1] << 8 | p[0];
                    }
                }
                const PlatPixelFormat rgb = {32, 0xFF0000u, 0xFF00u, 0xFFu, 0};
                plat_DisplayPresent(frame.data(), kW, kH, kW * 4, &rgb);
            }
        }
    }
    img_Free(image);
}

int32_t app_StartEntry(int32_t, int32_t) {
    app_LoadingProgressSet(0);
    if (const _PLANE_TYPE* t = plane_TypeFind("KRX")) {
        player_BlockSetup(t);
    } else {
        memset(&player_AircraftBlock, 0, sizeof player_AircraftBlock);
        Copy(player_AircraftBlock.name, "BAD NEWS");
        Copy(player_AircraftBlock.modelFile, "boo.pak");
    }
    app_LoadingProgressSet(2);
    _OTW_FUNCTION* hooks[3] = {
        otw_AddDrawHook(OTW_HOOK_BEFORE_PRESENT, app_MessageQueueOverlay),
        otw_AddDrawHook(OTW_HOOK_AFTER_LOCK, SurfaceReselect),
        otw_AddDrawHook(OTW_HOOK_BEFORE_UNLOCK, SurfaceReselect),
    };
    app_LoadingProgressSet(4);
    app_Main();
    for (_OTW_FUNCTION* h : hooks) otw_RemoveDrawHook(h);
    return 0;
}

int32_t app_RunStep(void) {
    app_ProductRecordInit();
    if (!app_DepthCheck()) return -1;
    render_UserMessageHookInstall();
    app_Record.runSerial++;
    app_CpuDetect(&app_Record.cpuClass, &app_Record.fpuPresent, &app_Record.mmxPresent);
    app_Record.heapMain = 0x1800000;
    app_Record.heapSecond = 0x100000;
    app_Record.heapThird = 0x200000;
    mem_HeapSizesSet(app_Record.heapMain, app_Record.heapSecond, app_Record.heapThird);
    if (app_MainWindowClassRegister() != 0 || app_MainWindowCreate() != 0) return -1;
    app_StartPictureShow();
    app_CursorLoadSet(APP_CURSOR_ARROW);
    app_TimerInterval = 25;
    app_TickIncrement = 1;
    app_TimerStart();

    int32_t code = -1;
    if (app_DispatchCreate(100) == 0) {
        app_DispatchFlush();
        app_DispatchPost(app_StartEntry, 0, 0);
        // The crash guard also sets the dump words (64 stack words).
        code = app_CrashGuardRun(app_DispatchRun);
    }

    app_TimerStop();
    if (app_MainHwnd && plat_WindowIsValid(app_MainHwnd)) {
        plat_PostMessage(app_MainHwnd, WM_CLOSE, 0, 0);
        PlatMsg m;
        while (plat_GetMessage(&m)) {
            plat_TranslateMessage(&m);
            plat_DispatchMessage(&m);
        }
    }
    plat_InstanceUnregister();
    app_DispatchFree();
    return code;
}

// ---- Entry --------------------------------------------------------------------

int32_t app_WinMainBody(uintptr_t instance, uintptr_t previousInstance, const char* commandLine,
                        int32_t showCommand) {
    app_Record.instance = instance;
    app_Record.previousInstance = previousInstance;
    app_Record.commandLine = commandLine;
    app_Record.showCommand = showCommand;
    int w = 0, h = 0, bpp = 0;
    plat_DesktopSize(&w, &h, &bpp);
    app_Record.desktopWidth = w;
    app_Record.desktopHeight = h;
    app_StringFileLoad();
    app_IniRead();
    app_VersionStringBuild();
    app_ServerDefaultsSet();
    plane_Init();
    int32_t result = app_CommandLineRun(commandLine);
    plane_Shutdown();
    MemHeap* saved = mem_CurrentHeap;
    mem_CurrentHeap = &g_stringHeap;
    app_StringFileFree();
    mem_CurrentHeap = saved;
    return result;
}

int app_WinMain(int argc, char** argv) {
    if (plat_Init() != 0) {
        fprintf(stderr, "krx: no platform backend could start\n");
        return 1;
    }
    // The command line as one text, without the program's name; words with
    // blanks keep them inside double quotes.
    std::string commandLine;
    for (int i = 1; i < argc; i++) {
        if (i > 1) commandLine += ' ';
        const char* a = argv[i];
        bool quote = !*a || strpbrk(a, " \t") != nullptr;
        if (quote) commandLine += '"';
        commandLine += a;
        if (quote) commandLine += '"';
    }
    int32_t code = app_WinMainBody(0, 0, commandLine.c_str(), PLAT_SW_SHOWNORMAL);
    if (plat_IsHeadless()) fprintf(stderr, "krx: %u frame steps\n", app_FrameStepCount);
    plat_Shutdown();
    return code;
}
