// The front end's screens and the services they share: the process runner
// and the online-service launch, menu start-up, the shared frame and draw
// routines, the idle routine, menu music and movies, the main screen and
// the credits screen. Main thread only.
#pragma once
#include <cstdint>

#include "display/dsurf.h"
#include "menu/menu.h"
#include "menu/mnu.h"

// Screens.
extern const AppStateRecord WndCredits;
extern const AppStateRecord WndMulti;
extern const AppStateRecord WndLaunch;
extern const AppStateRecord WndOption;
extern const AppStateRecord WndQuickMis;
extern const AppStateRecord WndNewCamp;
extern const AppStateRecord WndMap;
extern const AppStateRecord WndStats;
extern const AppStateRecord WndLoadOut;
extern const AppStateRecord WndLoading;

// --- Process runner and online-service launch (mnu_process.cpp) ---
// 0 started (and ended when waited for; the exit code stored when exitCode
// is given), -1 the output file or the process could not be made, 2 the
// program is quitting (the child is left running).
int32_t mnu_RunProcess(const char* commandLine, int32_t wait, uint32_t* exitCode, const char* outputFile);
// 1 when a top-level window whose title holds "[NK=" exists; remembers the
// page window ("KVT Zelvoria Page").
int32_t mnu_ServicePageFind(void);
// Mode -1 starts the launcher and waits; any other mode only waits.
void mnu_OnlineServiceLaunch(int32_t mode);
extern int64_t mnu_PageWindow;  // -1: none known
extern int32_t mnu_PageSeen;
extern char mnu_CommandBuffer[256];

// --- Start-up and shared routines (mnu_main.cpp) ---
extern int32_t mnu_FirstEntry;
extern int32_t mnu_MusicPlaying;
extern int32_t mnu_HoverCount;
extern int32_t mnu_Allow1024;
// The current screen's leave flag: its frame routine ends the state.
extern int32_t mnu_LeaveFlag;
// The page transition kinds of the screens: forward 4, back 5.
extern int32_t mnu_TransForward, mnu_TransBack;

void mnu_SystemStart(void);
void mnu_DisplaySetup(void);
int32_t mnu_StateFrame(void);
void mnu_IdleRoutine(void);
void mnu_MusicStart(void);
void mnu_MusicStop(void);
void mnu_MoviePlay(const char* movie, const char* windowName, MnuContext* c);
// Every screen's draw routine: the transition frame while one runs, else
// lock, the page-draw body, unlock, present.
void mnu_ScreenDraw(MnuPageRoutine body);

void cbSingle(int32_t);
void cbNewCamp(int32_t);
void cbMulti(int32_t);
void cbOptions(int32_t);
void cbCredits(int32_t);
void cbOverview(int32_t);
void cbUpdate(int32_t);
void cbInHover(int32_t);
void cbOutHover(int32_t);

// --- Credits (mnu_credits.cpp) ---
struct MnuCredit {
    char text[MNU_NAME];
    char fontName[MNU_NAME];
    int32_t flags;  // MNU_CREDIT_*
    MnuFontBlock* font;
    MnuRgb colours[2];
    int32_t x;
    float y;
    int32_t lineHeight;
    int32_t width;
    MnuCredit* next;
};
enum : int32_t {
    MNU_CREDIT_RIGHT = 0x1,
    MNU_CREDIT_CENTRED = 0x2,
    MNU_CREDIT_SPACER = 0x4,
    MNU_CREDIT_DISABLED = 0x8,
    MNU_CREDIT_HIGHLIGHT = 0x10,
};
struct MnuCreditsState {
    _DRAW_SURFACE viewport;
    int32_t left, top, right, bottom;
    int32_t countdown, tickDelay, scrollRate, crSpacer, lineSpacer;
    int32_t running, finished, stepPending;
    MnuCredit* first;
};
extern MnuCreditsState mnu_Credits;

void mnu_CreditsLoad(MnuContext* c, const char* file);
void mnu_CreditsStart(MnuContext* c);
void mnu_CreditsDraw(MnuContext* c, const char* windowName);
void mnu_CreditsFree(MnuContext* c);
void mnu_CreditAdd(MnuContext* c, const MnuCredit* line);
void mnu_CreditsBack(int32_t);
void mnu_CreditsPage(void);

// Stops the multiplayer screen's session search (mnu_multi.cpp).
void mnu_MultiSearchStop(void);
