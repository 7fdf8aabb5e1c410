// Running other programs: the update program and the online service's
// launcher, with the game's messages pumped while it waits.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/file.h"
#include "menu/front.h"
#include "platform/files.h"
#include "platform/process.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "platform/winmsg.h"
#include "shell/appstr.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/wndproc.h"

int64_t mnu_PageWindow = -1;
int32_t mnu_PageSeen = 0;
char mnu_CommandBuffer[256];

namespace {

const char kTempOutput[] = "$$TMPEXE.$$";

bool Quitting(void) { return app_QuitFlag || app_Runner.done; }

// One pass of a wait for a child: the messages, then a little real time for
// the child. A headless run's virtual clock stands meanwhile, so the script
// goes on where it was once the child has ended, however long it took.
void ChildWaitPass(void) {
    app_PumpMessagesEx();
    if (plat_IsHeadless()) {
        timespec ts{0, 2000000};
        nanosleep(&ts, nullptr);
    } else {
        plat_Sleep(5);
    }
}

// One pass of the wait for another program's window.
void WindowWaitPass(void) {
    app_PumpMessagesEx();
    plat_Sleep(5);
}

struct Search {
    int64_t page;
    int32_t found;
};

int FindPage(int64_t handle, const char* title, void* context) {
    Search* s = static_cast<Search*>(context);
    if (s->page == -1 && strstr(title, "KVT Zelvoria Page")) s->page = handle;
    return 0;
}

int FindNk(int64_t, const char* title, void*) { return strstr(title, "[NK=") ? 1 : 0; }

bool MainMinimised(void) { return app_MainHwnd && plat_WindowIsMinimized(app_MainHwnd); }

void RestoreMain(void) {
    if (app_MainHwnd) plat_WindowShow(app_MainHwnd, PLAT_SW_RESTORE);
    app_PumpMessagesEx();
}

}  // namespace

int32_t mnu_RunProcess(const char* commandLine, int32_t wait, uint32_t* exitCode, const char* outputFile) {
    if (!commandLine || !outputFile) return -1;
    int32_t h = plat_ProcessStart(commandLine, outputFile, nullptr);
    if (h < 0) return -1;
    if (!wait) {
        plat_ProcessClose(h);
        return 0;
    }
    int64_t code = plat_ProcessPoll(h);
    while (code == PLAT_STILL_ACTIVE) {
        ChildWaitPass();
        if (Quitting()) {
            // Left running: the program goes, the child finishes its work.
            plat_ProcessClose(h);
            return 2;
        }
        code = plat_ProcessPoll(h);
    }
    plat_ProcessClose(h);
    if (exitCode) *exitCode = (uint32_t)code;
    return 0;
}

int32_t mnu_ServicePageFind(void) {
    Search s{-1, 0};
    plat_TopLevelEnum(FindPage, &s);
    if (s.page != -1) mnu_PageWindow = s.page;
    return plat_TopLevelEnum(FindNk, nullptr) ? 1 : 0;
}

void mnu_OnlineServiceLaunch(int32_t mode) {
    mnu_MultiSearchStop();
    if (app_MainHwnd) plat_WindowShow(app_MainHwnd, PLAT_SW_MINIMIZE);
    app_PumpMessagesEx();
    switch (app_Settings.CONNECT_AGENT) {
    case 0:
        snprintf(mnu_CommandBuffer, sizeof mnu_CommandBuffer, "%s", "zelvoria.exe");
        if (!file_ExistsOnDisk("zelvoria.exe")) {
            const MnuString* s = mnu_Context ? mnu_StringFind(mnu_Context, "MM_TARV_ERROR") : nullptr;
            plat_MessageBox(app_MainHwnd, s && s->text ? s->text : "MM_TARV_ERROR", app_Title,
                            MB_TOPMOST | MB_SETFOREGROUND | MB_ICONWARNING);
            RestoreMain();
            return;
        }
        break;
    case 1: snprintf(mnu_CommandBuffer, sizeof mnu_CommandBuffer, "%s", "start browser.htm"); break;
    default:
        // No launcher is known for other agents: nothing runs.
        RestoreMain();
        return;
    }
    if (mode == -1) {
        int32_t result = mnu_RunProcess(mnu_CommandBuffer, 0, nullptr, kTempOutput);
        plat_FileDelete(kTempOutput);
        if (result == -1) {
            RestoreMain();
            return;
        }
        mnu_PageWindow = -1;
    }
    while (MainMinimised() && !Quitting()) {
        WindowWaitPass();
        if (mnu_ServicePageFind() == 1) break;
        if (mnu_PageWindow != -1 && !plat_TopLevelExists(mnu_PageWindow)) {
            mnu_PageWindow = -1;
            break;
        }
    }
    RestoreMain();
    if (mnu_ServicePageFind() == 1) {
        app_Runner.nextState = &WndLaunch;
        mnu_PageSeen = 1;
        app_Runner.followOn1 = &WndMulti;
        mnu_LeaveFlag = 1;
    }
}
