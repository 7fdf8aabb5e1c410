// The dispatch loop and app_Main: start-up order behind the loading window,
// the front end's state chain, and the shutdown order.
#include "shell/mainloop.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/dlist.h"
#include "base/efile.h"
#include "base/file.h"
#include "base/filetable.h"
#include "base/mem.h"
#include "debug/console.h"
#include "display/dsurf.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/poly.h"
#include "display/vid.h"
#include "input/ejoy.h"
#include "input/ekey.h"
#include "input/ffb.h"
#include "input/inmapfile.h"
#include "menu/menu.h"
#include "net/censor.h"
#include "net/driver.h"
#include "net/server.h"
#include "platform/files.h"
#include "shell/appstr.h"
#include "shell/dump.h"
#include "shell/fatal.h"
#include "shell/hw3dlist.h"
#include "shell/loadwin.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/wndproc.h"
#include "sound/snd.h"

AppDispatchState app_Dispatch;
void (*app_CrashCallback)(void) = nullptr;

const AppDataFileVersion app_DataFileVersions[3] = {
    {"QJGAME.BIN", 1021, 6},
    {"INPUTMAP.BIN", 491, 1},
    {"KRXMENU.BIN", 392, 7},
};

// ---- Dispatch array ---------------------------------------------------------------

int32_t app_DispatchCreate(int32_t count) {
    if (app_Dispatch.array) return -1;
    if (count <= 0) count = 1;
    auto* array = static_cast<_DISPATCH_FUNCTION*>(
        mem_GlobalAllocNamed("_DISPATCH_FUNCTION array", (int32_t)(sizeof(_DISPATCH_FUNCTION) * (size_t)count)));
    if (!array) return -1;
    memset(&app_Dispatch, 0, sizeof app_Dispatch);
    app_Dispatch.array = array;
    app_Dispatch.size = count;
    for (int32_t i = 0; i < count; i++) dlist_AddTail(&app_Dispatch.freeList, &array[i]);
    return 0;
}

void app_DispatchFree(void) {
    if (app_Dispatch.array) mem_GlobalFreeNamed(app_Dispatch.array);
    memset(&app_Dispatch, 0, sizeof app_Dispatch);
}

int32_t app_DispatchPost(AppDispatchRoutine routine, int32_t first, int32_t second) {
    _DISPATCH_FUNCTION* e = app_Dispatch.freeList.head;
    if (!e) {
        const AppDispatchCallback& o = app_Dispatch.overflow;
        if (o.routine) o.routine(o.first, o.second);
        return -1;
    }
    dlist_Unlink(&app_Dispatch.freeList, e);
    e->routine = routine;
    e->first = first;
    e->second = second;
    dlist_AddHead(&app_Dispatch.callList, e);
    return 0;
}

int32_t app_DispatchFlush(void) {
    int32_t moved = 0;
    while (_DISPATCH_FUNCTION* e = app_Dispatch.callList.head) {
        dlist_Unlink(&app_Dispatch.callList, e);
        dlist_AddTail(&app_Dispatch.freeList, e);
        moved++;
    }
    return moved;
}

int32_t app_DispatchRun(void) {
    app_Dispatch.exitFlag = 0;
    while (!app_Dispatch.exitFlag) {
        _DISPATCH_FUNCTION* e = app_Dispatch.callList.head;
        if (!e) {
            const AppDispatchCallback& idle = app_Dispatch.idle;
            if (idle.routine) idle.routine(idle.first, idle.second);
            continue;
        }
        dlist_Unlink(&app_Dispatch.callList, e);
        dlist_AddTail(&app_Dispatch.freeList, e);
        if (e->routine) e->routine(e->first, e->second);
    }
    return app_Dispatch.exitCode;
}

int32_t app_DispatchExit(int32_t code) {
    app_Dispatch.exitFlag = 1;
    app_Dispatch.exitCode = code;
    const AppDispatchCallback& x = app_Dispatch.exit;
    return x.routine ? x.routine(x.first, x.second) : 0;
}

void app_StopCallbackSet(void (*routine)(void)) { app_TimerStopCallbackSet(routine); }
void app_CrashCallbackSet(void (*routine)(void)) { app_CrashCallback = routine; }

// ---- Start-up steps ---------------------------------------------------------------

namespace {

// Runs when the main window is destroyed.
void app_StopCallback(void) {
    snd_Shutdown();
    vid_RestoreDesktop();
    net_DriverClose();
    app_CursorShowOnce();
    app_Runner.done = 1;
}

void app_CrashCallbackRoutine(void) { cfg_SettingsWrite(); }

void Progress(int32_t percent) {
    app_LoadingProgressSet(percent);
    app_PumpMessagesEx();
}

void ProgressNoPump(int32_t percent) { app_LoadingProgressSet(percent); }

// The version item reads the number it must (the item's text is the
// number, as in every data file the program was built with).
bool VersionItemIs(const FileTable* table, uint32_t item, int32_t number) {
    const FileTableEntry* e = file_TableEntryGet(table, item);
    return e && e->text && atol(e->text) == number;
}

// The directories archives are mounted from: the game directory first,
// then the program's own when it is another one.
int DataDirectories(std::string dirs[3]) {
    char path[512];
    int n = 0;
    if (plat_GetCwd(path, sizeof path) == 0) dirs[n++] = path;
    if (plat_ProgramDir(path, sizeof path) == 0) {
        std::string p = path;
        while (p.size() > 1 && p.back() == '/') p.pop_back();
        if (n == 0 || p != dirs[0]) dirs[n++] = p;
    }
    return n;
}

PffRecord* MountOne(const std::string& dir, const char* name) {
    if (dir.empty()) return nullptr;
    char path[1024];
    snprintf(path, sizeof path, "%s\\%s", dir.c_str(), name);
    if (!file_ExistsOnDisk(path)) return nullptr;
    PffRecord* pff = pff_Open(path);
    if (!pff) return nullptr;
    pff->missReport = 0;
    if (file_PffSlotAdd(pff) < 0) {
        pff_Close(pff);
        return nullptr;
    }
    return pff;
}

PffRecord* g_productArchive = nullptr;
PffRecord* g_commonArchive = nullptr;
int32_t g_savedNumLock = 0;

}  // namespace

void app_ArchivesMount(void) {
    std::string d[3];
    int n = DataDirectories(d);
    const std::string& a = d[0];
    const std::string& b = n > 1 ? d[1] : std::string();
    const std::string c;  // no third data directory
    MountOne(a, "UPDATED.PFF");
    MountOne(c, "UPDATED.PFF");
    MountOne(b, "UPDATED.PFF");
    g_productArchive = MountOne(a, app_Record.productPff);
    MountOne(b, app_Record.productPff);
    g_commonArchive = MountOne(a, app_Record.commonPff);
    MountOne(c, app_Record.commonPff);
    MountOne(b, app_Record.commonPff);
}

void app_DataFilesCheck(void) {
    for (const AppDataFileVersion& v : app_DataFileVersions) {
        FileTable* table = file_TableLoad(v.name);
        if (!table) app_FatalErrorBox("app_Main", v.name);
        bool ok = VersionItemIs(table, v.item, v.number);
        mem_Free(table);
        if (!ok) app_FatalErrorBoxC("app_Main", v.name);
    }
}

void app_Main(void) {
    // 1-3: the heaps.
    Progress(5);
    mem_HeapInit();
    Progress(10);
    mem_Heap2Init();
    Progress(20);
    mem_Heap1Init();
    Progress(30);

    // 4: key message state, display, file layer, palettes.
    Progress(35);
    app_KeyStateClear();
    otw_OpenDisplay(640, 480, 2, 1, 0);
    draw_SelectSurface(&otw_ScreenSurface);
    file_StateInit();
    pal_ClearSecond();
    pal_ClearCurrent();

    // 5: console toggles, keyboard, mouse, joysticks, force feedback.
    Progress(40);
    con_ClearToggles();
    ekey_Reset();
    app_MouseReset();
    ejoy_Init(app_Record.instance, app_MainHwnd);
    ffb_Init(20);
    if (ffb_SettingsRead(app_Record.ffbName) != 0) ffb_SettingsWrite(app_Record.ffbName);

    // 6: draw context, Num Lock, transport driver.
    Progress(45);
    draw_Init();
    app_PumpMessagesEx();
    g_savedNumLock = ekey_NumLock;
    ekey_SetNumLock(1);
    net_DriverSelect(1);

    // 7-8: open the driver; the file layer searches the disk first.
    Progress(50);
    net_DriverInit();
    app_DumpSettings.stackWords = 256;
    // The blit block of the draw context and the server record start from
    // zero before anything uses them (draw_Init set only the rest of the
    // context).
    DrawContext& dc = draw_Context;
    dc.blitSource = dc.blitDest = nullptr;
    dc.sourceRowWidth = dc.destRowWidth = dc.sourceX = dc.sourceY = dc.destX = dc.destY = 0;
    dc.width = dc.height = dc.value = 0;
    dc.shadeMap = nullptr;
    dc.shadeMapRowWidth = dc.xStep = dc.yStep = dc.sourceDepth = 0;
    Server = ServerRecord{};
    Progress(55);
    ProgressNoPump(56);
    file_ModeWordSet(1);
    file_DiskFirstSet(1);

    // 9: archives and the data files' versions.
    ProgressNoPump(57);
    app_ArchivesMount();
    app_DataFilesCheck();

    // 10: settings and sound.
    ProgressNoPump(58);
    ProgressNoPump(59);
    cfg_SettingsLoad();
    snd_Init(app_Settings.DIRECT_SOUND ? 0 : 2);
    if (!snd_Running) plat_MessageBox(app_MainHwnd, app_StringGet(1), app_Title, MB_OK);

    // 11: callbacks, float constants, the display mode.
    app_StopCallbackSet(app_StopCallback);
    app_CrashCallbackSet(app_CrashCallbackRoutine);
    app_FpuConstantsInit();
    vid_SetModeOption(app_Settings.PAGE_FLIP);
    otw_SetDisplayMode(-33, 640, 480, 2, 1, 0);

    // 12: the 3D-card driver candidates.
    ProgressNoPump(60);
    app_Hw3dListBuild();
    app_Hw3dSelect(app_Hw3dFindByFile(app_Settings.HW3D_DLL_FILENAME));
    if (app_Hw3dLoadResult == -4) {
        int32_t skipBefore = app_Ini.SKIP_BAD3DFXDLLS_CHECK;
        if (app_BadDriverDialog() != 0) {
            app_Hw3dListFree();
            app_DispatchExit(0);
            return;
        }
        if (app_Ini.SKIP_BAD3DFXDLLS_CHECK != skipBefore) app_IniWrite();
    }

    // 13: the rasteriser's pixel mode.
    poly_SetPixelMode(app_Record.mmxPresent ? 2 : 1);

    // 14-16: input map, chat censor, mission list, then the front end.
    Progress(61);
    inmap_ResourceLoad();
    chat_CensorInit();
    Progress(65);
    mnu_MissionListReset();
    Progress(75);
    app_StateChainRun(&WndMain);

    // Shutdown.
    mnu_Shutdown(mnu_Context);
    inmap_ResourceFree();
    cfg_SettingsWrite();
    ekey_SetNumLock(g_savedNumLock);
    ffb_Shutdown();
    ejoy_Shutdown();
    app_Hw3dListFree();
    app_DispatchExit(0);
}
