// The main screen and what every front-end screen shares: the menu
// start-up, the menu display mode, the frame and draw routines, the idle
// routine, the menu music and the movies.
#include <cstdio>
#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pal_hicolor.h"
#include "menu/front.h"
#include "menu/launch.h"
#include "menu/newcamp.h"
#include "platform/files.h"
#include "platform/window.h"
#include "shell/cursor.h"
#include "shell/keyqueue.h"
#include "shell/loadwin.h"
#include "shell/mouse.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/wndproc.h"
#include "sound/anim.h"
#include "sound/music.h"
#include "sound/snd.h"
#include "world/level.h"

int32_t mnu_FirstEntry = 0;
int32_t mnu_MusicPlaying = 0;
int32_t mnu_HoverCount = 0;
int32_t mnu_Allow1024 = 0;
int32_t mnu_LeaveFlag = 0;
int32_t mnu_TransForward = 4, mnu_TransBack = 5;

namespace {

MnuContext g_context;

bool Windowed(void) { return otw_State.windowed != 0; }

// A movie sets its own video mode behind the display manager's back: the
// next set-up sets the menu mode again whatever the manager remembers.
bool g_movieMode = false;

// The 3D card's answer for 1024 x 768 x 16: 0 when it has the mode, -1
// when it has not, 1 when no card driver is loaded.
int32_t Card1024(void) {
    if (!hw3d_Loaded || !hw3d_Descriptor.modeTest) return 1;
    return hw3d_Descriptor.modeTest(1024, 768, 16, 0) == 0 ? 0 : -1;
}

void CursorsForMode(void) {
    if (Windowed()) {
        mnu_CursorHide();
        app_CursorShowLoop();
    } else {
        mnu_CursorShow();
        app_CursorHideLoop();
    }
}

void MainPage(void) {
    mnu_Draw(mnu_Context);
    mnu_WindowTextDraw(mnu_Context, "WndMain");
    mnu_ImageAreasDraw(mnu_Context);
}

void MainEnter(void) {
    // The launch route of the environment skips the intro and the screen.
    if (!app_Runner.prevState && mnu_LaunchFromEnvironment()) {
        app_LoadingProgressSet(101);
        mnu_LeaveFlag = 1;
        return;
    }
    if (!app_Runner.prevState) {
        mnu_FirstEntry = 1;
        mnu_MusicPlaying = 0;
    }
    mnu_LeaveFlag = 0;
    mnu_KeyCaptureSet(0);
    app_KeyStateClear();
    mnu_SystemStart();
    MnuContext* c = mnu_Context;
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, "WndMain");
    mnu_WindowShow(c, "WndMain");
    mnu_AcceptKeyCallbackSet(nullptr);
    mnu_CancelKeyCallbackSet(nullptr);
    mnu_HoverCount = 0;
    snd_SetMasterVolume(app_Settings.SFX_VOLUME);
    mnu_CursorSet(c, "Cursor1");
    mnu_PageCallbackSet(nullptr);
    if (Card1024() < 0 && app_Settings.GAME_RESOLUTION == 2) app_Settings.GAME_RESOLUTION = 0;
    if (mnu_FirstEntry) {
        app_LoadingProgressSet(101);
        mnu_FirstEntry = 0;
        mnu_MusicStop();
        if (app_ProductRecord.introMovie && *app_ProductRecord.introMovie)
            mnu_MoviePlay(app_ProductRecord.introMovie, "WndMain", c);
        mnu_CursorSet(c, "Cursor1");
        mnu_MusicStart();
        music_SetVariable(1, 0);
        if (mnu_ScreenFromEnvironment()) mnu_LeaveFlag = 1;
        return;
    }
    mnu_Update(c);
    mnu_TransitionSet(c, mnu_TransBack, "WndMain", MainPage, "TRANSITION_IN", nullptr);
}

void MainDraw(void) {
    if (!mnu_Context || !mnu_Context->callbacks) return;
    mnu_ScreenDraw(MainPage);
}

}  // namespace

const AppStateRecord WndMain = {MainEnter, mnu_StateFrame, MainDraw, nullptr, 0};

void mnu_DisplaySetup(void) {
    mnu_Allow1024 = 0;
    int32_t force = g_movieMode ? OTW_MODE_FORCE : 0;
    if (app_Settings.menuWindowed)
        otw_SetDisplayMode(-33 | force, 640, 480, 2, 1, 0);
    else if (Windowed() || g_movieMode)
        otw_SetDisplayMode(-33 | force, 640, 480, 2, 0, 0);
    g_movieMode = false;
    if (Card1024() == 0 || !app_Settings.ENABLE_3D) mnu_Allow1024 = 1;
    if (app_Settings.GAME_RESOLUTION == 2 && !mnu_Allow1024) app_Settings.GAME_RESOLUTION = 1;
    pal_SetRgbMasks(0x7C00, 0x03E0, 0x001F);
    otw_ResetViewportFull();
    pal_DeriveSurfaceMasks();
    pal_BuildHighColourTables();
    level_PaletteApply();
    mnu_ImagesConvertAll(mnu_Context);
    if (Windowed()) {
        mnu_CursorHide();
        app_CursorShowLoop();
    } else {
        mnu_CursorShow();
        app_CursorHideLoop();
        if (mnu_Context) mnu_CursorSet(mnu_Context, "Cursor1");
    }
}

void mnu_SystemStart(void) {
    if (mnu_Context && mnu_Context->callbacks == mnu_CallbackTable) return;
    app_TickIncrement = 1;
    mnu_Context = &g_context;
    mnu_DisplaySetup();
    mnu_IdleCallbackSet(mnu_IdleRoutine);
    // A context freed before a flight keeps its table blocks: release them.
    mnu_Shutdown(&g_context);
    mnu_FontsClear(&g_context);
    free(g_context.fonts);
    g_context = MnuContext{};
    g_context.callbacks = mnu_CallbackTable;
    mnu_ScriptLoad(app_ProductRecord.menuScript, &g_context);
    mnu_TransForward = 4;
    mnu_TransBack = 5;
    if (!mnu_FirstEntry) {
        mnu_MusicStop();
        mnu_MusicStart();
    }
    CursorsForMode();
}

int32_t mnu_StateFrame(void) {
    app_PumpMessagesEx();
    if (mnu_LeaveFlag) return 1;
    if (mnu_Context) mnu_Update(mnu_Context);
    return 0;
}

void mnu_ScreenDraw(MnuPageRoutine body) {
    if (mnu_Transition.running) {
        mnu_TransitionFrame();
        return;
    }
    uint8_t* pixels = otw_LockSurface();
    if (pixels && body) body();
    otw_UnlockSurface();
    otw_PresentFrame();
}

void mnu_IdleRoutine(void) {
    if (mnu_FirstEntry) {
        if (Windowed())
            app_LoadingProgressSet(75 + (int32_t)(25.0f * app_LoadingFraction));
        else
            app_LoadingProgressSet(101);
    }
    if (mnu_MusicPlaying) music_StreamUpdate();
    app_PumpMessagesEx();
}

void mnu_MusicStart(void) {
    if (!app_Settings.MUSIC_PLAY) {
        mnu_MusicStop();
        return;
    }
    if (mnu_MusicPlaying) return;
    snd_SetBufferLength(5);
    music_StreamOpen(app_ProductRecord.musicStream, app_ProductRecord.musicScript, app_ProductRecord.musicStart);
    music_SetVolume(app_Settings.MUSIC_PLAY ? app_Settings.MUSIC_VOLUME : 0);
    mnu_MusicPlaying = 1;
}

void mnu_MusicStop(void) {
    if (mnu_MusicPlaying) music_StreamClose();
    mnu_MusicPlaying = 0;
}

void mnu_MoviePlay(const char* movie, const char* windowName, MnuContext* c) {
    if (!movie || !*movie) return;
    int32_t savedDiskFirst = file_DiskFirstSet(1);
    char path[300];
    bool found = false;
    if (file_Exists(movie)) {
        snprintf(path, sizeof path, "%s", movie);
        found = true;
    } else if (file_ExistsOnDisk("KRX.CD")) {
        // The install source: its first two bytes name the drive ("D:"),
        // on this platform an ordinary folder name.
        char drive[3] = {};
        int h = plat_FileOpen("KRX.CD", PLAT_OPEN_READ);
        int32_t got = h >= 0 ? plat_FileRead(h, drive, 2) : -1;
        if (h >= 0) plat_FileClose(h);
        if (got == 2 && drive[0] && drive[1]) {
            snprintf(path, sizeof path, "%s\\%s\\%s", drive, app_ProductRecord.setupName, movie);
            found = file_Exists(path) != 0;
        }
    }
    if (found) {
        mnu_CursorHide();
        if (Windowed()) app_CursorHideLoop();
        app_MouseModeSet(1);
        snd_SetStreamVolume(255);
        anim_PlayMovie(path, 1);
        g_movieMode = true;
        snd_SetStreamVolume(app_Settings.MUSIC_VOLUME);
        mnu_DisplaySetup();
        app_MouseModeSet(0);
        if (Windowed()) {
            app_CursorShowLoop();
            mnu_CursorHide();
        } else {
            if (c) mnu_CursorSet(c, "Cursor1");
            mnu_CursorShow();
        }
    }
    file_DiskFirstSet(savedDiskFirst);
    if (found && c && windowName) mnu_WindowRefresh(c, windowName, nullptr, 0);
}

// --- The main screen's callbacks ---

namespace {

// Leaves the main screen for the state.
void LeaveFor(const AppStateRecord* state) {
    app_Runner.nextState = state;
    mnu_LeaveFlag = 1;
}

}  // namespace

void cbSingle(int32_t) { LeaveFor(&WndQuickMis); }
void cbNewCamp(int32_t) { LeaveFor(&WndNewCamp); }
void cbMulti(int32_t) { LeaveFor(&WndMulti); }
void cbOptions(int32_t) { LeaveFor(&WndOption); }
void cbCredits(int32_t) { LeaveFor(&WndCredits); }

void cbOverview(int32_t) {
    if (!app_ProductRecord.overMovie || !*app_ProductRecord.overMovie) return;
    mnu_MusicStop();
    mnu_MoviePlay(app_ProductRecord.overMovie, "WndMain", mnu_Context);
    mnu_MusicStart();
}

void cbUpdate(int32_t) {
    const char output[] = "$$TMPEXE.$$";
    snprintf(mnu_CommandBuffer, sizeof mnu_CommandBuffer, "update.exe %lu /FORCE /LOG /WIZ:%s",
             (unsigned long)app_MainHwnd, app_ProductRecord.wizardName);
    mnu_RunProcess(mnu_CommandBuffer, 1, nullptr, output);
    plat_FileDelete(output);
    if (app_MainHwnd) {
        plat_WindowRaise(app_MainHwnd);
        plat_WindowShow(app_MainHwnd, PLAT_SW_RESTORE);
    }
}

void cbExit(int32_t) {
    mnu_MusicStop();
    app_Runner.nextState = nullptr;
    mnu_LeaveFlag = 1;
}

void cbInHover(int32_t) {
    mnu_CursorSet(mnu_Context, "Cursor2");
    mnu_HoverCount++;
}

void cbOutHover(int32_t) {
    if (--mnu_HoverCount <= 0) {
        mnu_HoverCount = 0;
        mnu_CursorSet(mnu_Context, "Cursor1");
    }
}
