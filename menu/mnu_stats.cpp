// The pilot's statistics texts (shared by the campaign and statistics
// screens), the statistics screen and the splash screen.
#include <cstdio>
#include <cstring>

#include "menu/newcamp.h"
#include "shell/wndproc.h"
#include "shell/runner.h"

namespace {

enum RowKind { kCallsign, kStatus, kTime, kCount, kPair };
struct StatRow {
    const char* row;
    RowKind kind;
    int32_t at;  // the count, or the fired count of a pair (hits follow)
};
// The flights' totals: counters 0..4 (air kills, landings, ground kills,
// crashes, ejections), then the shots and hits of the gun, the short and
// medium range missiles and the bombs.
const StatRow kRows[] = {
    {"Callsign", kCallsign, MNU_PILOT_CALLSIGN},
    {"Status", kStatus, MNU_PILOT_RETIRED},
    {"Time", kTime, MNU_PILOT_TIME},
    {"AirKills", kCount, MNU_PILOT_TOTALS + 0},
    {"GroundKills", kCount, MNU_PILOT_TOTALS + 8},
    {"Landed", kCount, MNU_PILOT_TOTALS + 4},
    {"Ejected", kCount, MNU_PILOT_TOTALS + 16},
    {"Crashed", kCount, MNU_PILOT_TOTALS + 12},
    {"ShortRange", kPair, MNU_PILOT_TOTALS + 28},
    {"MedRange", kPair, MNU_PILOT_TOTALS + 36},
    {"Cannon", kPair, MNU_PILOT_TOTALS + 20},
    {"Bombs", kPair, MNU_PILOT_TOTALS + 44},
    {"Score", kCount, MNU_PILOT_SCORE},
};
constexpr int32_t kRowCount = (int32_t)(sizeof kRows / sizeof kRows[0]);

// The value texts stay in use by their areas until the next fill.
char g_values[kRowCount][96];
// Marks a value area already moved beside its labels.
constexpr int32_t kAreaMoved = 0x40000000;

const char* StringText(MnuContext* c, const char* key) {
    MnuString* s = mnu_StringFind(c, key);
    return s && s->text ? s->text : "";
}

void ValueName(const char* prefix, const char* row, char* out, size_t size) {
    snprintf(out, size, "%s%sStats", prefix, row);
}

void MoveValuesOnce(MnuContext* c, const char* prefix) {
    int32_t widest = 0;
    for (const StatRow& r : kRows) {
        char name[MNU_NAME];
        snprintf(name, sizeof name, "%s%s", prefix, r.row);
        MnuTextArea* a = mnu_TextAreaFind(c, name);
        if (!a) continue;
        int32_t w = 0;
        mnu_TextMeasure(c, a->fontName, a->text, &w, nullptr);
        if (w > widest) widest = w;
    }
    for (const StatRow& r : kRows) {
        char name[MNU_NAME];
        ValueName(prefix, r.row, name, sizeof name);
        MnuTextArea* a = mnu_TextAreaFind(c, name);
        if (a && !(a->flags & kAreaMoved)) {
            a->flags |= kAreaMoved;
            a->left += widest;
            a->right += widest;
        }
    }
}

}  // namespace

void mnu_StatsPairFormat(MnuContext* c, uint32_t fired, uint32_t hits, char* out, size_t size) {
    // No shots fired shows 0.0 rather than a division by zero.
    double ratio = fired && hits ? (double)hits / (double)fired * 100.0 : 0.0;
    snprintf(out, size, "%s%- 8d%s%- 8d%s %2.1f", StringText(c, "ST_FIRED"), (int)fired, StringText(c, "ST_HIT"),
             (int)hits, StringText(c, "ST_RATIO"), ratio);
}

void mnu_StatsTimeFormat(uint32_t minutes, char* out, size_t size) {
    snprintf(out, size, "%02d:%02d", (int)(minutes / 60), (int)(minutes % 60));
}

void mnu_StatsFill(MnuContext* c, const char* prefix) {
    if (!c || !prefix) return;
    MoveValuesOnce(c, prefix);
    for (int32_t i = 0; i < kRowCount; i++) {
        const StatRow& r = kRows[i];
        char name[MNU_NAME];
        ValueName(prefix, r.row, name, sizeof name);
        char* text = g_values[i];
        switch (r.kind) {
            case kCallsign:
                mnu_PilotCallsign(&mnu_Pilot, text, sizeof g_values[i]);
                break;
            case kStatus:
                snprintf(text, sizeof g_values[i], "%s",
                         StringText(c, mnu_Pilot.record[r.at] ? "ST_RETIRED" : "ST_ACTIVE"));
                break;
            case kTime:
                mnu_StatsTimeFormat(mnu_PilotGet32(r.at), text, sizeof g_values[i]);
                break;
            case kCount:
                snprintf(text, sizeof g_values[i], "%d", (int)mnu_PilotGet32(r.at));
                break;
            case kPair:
                mnu_StatsPairFormat(c, mnu_PilotGet32(r.at), mnu_PilotGet32(r.at + 4), text, sizeof g_values[i]);
                break;
        }
        mnu_TextAreaSetText(c, name, text);
    }
}

void mnu_StatsClear(MnuContext* c, const char* prefix) {
    if (!c || !prefix) return;
    for (const StatRow& r : kRows) {
        char name[MNU_NAME];
        ValueName(prefix, r.row, name, sizeof name);
        mnu_TextAreaSetText(c, name, "");
    }
}

// ---------------------------------------------------------------------------
// The statistics screen.

namespace {

// The draw pass, a window's text areas and the images.
void WindowPage(const char* window) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    mnu_Draw(c);
    mnu_WindowTextDraw(c, window);
    mnu_ImageAreasDraw(c);
}

void StatsPage(void) { WindowPage("WndStats"); }

void StatsEnter(void) {
    mnu_LeaveFlag = 0;
    MnuContext* c = mnu_Context;
    mnu_AcceptKeyCallbackSet(cbStatsBack);
    mnu_CancelKeyCallbackSet(cbStatsBack);
    if (!c) return;
    mnu_WindowsCloseAll(c);
    mnu_WindowOpen(c, "WndStats");
    mnu_WindowShow(c, "WndStats");
    mnu_CursorSet(c, "Cursor1");
    mnu_StatsFill(c, "TxtSt");
}

void StatsDraw(void) {
    if (mnu_Context) mnu_ScreenDraw(StatsPage);
}

}  // namespace

const AppStateRecord WndStats = {StatsEnter, mnu_StateFrame, StatsDraw, nullptr, 0};

void cbStatsBack(int32_t) {
    if (mnu_LeaveFlag) return;
    app_Runner.nextState = &WndMisBrief;
    mnu_LeaveFlag = 1;
}

// ---------------------------------------------------------------------------
// The splash screen.

uint32_t mnu_SplashEnd = 0;

namespace {

constexpr uint32_t kSplashTicks = 1200;

uint32_t Now(void) { return app_TickCount.load(std::memory_order_relaxed); }

void SplashPage(void) { WindowPage("WndSplash"); }

void SplashEnter(void) {
    mnu_LeaveFlag = 0;
    if (MnuContext* c = mnu_Context) {
        mnu_WindowsCloseAll(c);
        mnu_WindowOpen(c, "WndSplash");
        mnu_WindowShow(c, "WndSplash");
        mnu_CursorSet(c, "Cursor1");
        mnu_Update(c);
        mnu_TransitionSet(c, mnu_TransForward, "WndSplash", SplashPage, "TRANSITION_IN", nullptr);
    }
    mnu_SplashEnd = Now() + kSplashTicks;
}

int32_t SplashFrame(void) {
    app_PumpMessagesEx();
    // Unsigned distance, so that the tick count may wrap.
    if ((int32_t)(Now() - mnu_SplashEnd) >= 0) mnu_LeaveFlag = 1;
    if (mnu_LeaveFlag) return 1;
    if (mnu_Context) mnu_Update(mnu_Context);
    return 0;
}

void SplashDraw(void) {
    if (mnu_Context) mnu_ScreenDraw(SplashPage);
}

void SplashLeave(void) {
    app_Runner.nextState = nullptr;
    app_Runner.chainEnded = 1;
}

}  // namespace

const AppStateRecord WndSplash = {SplashEnter, SplashFrame, SplashDraw, SplashLeave, 0};

void cbSplashExit(int32_t) {
    app_Runner.nextState = nullptr;
    app_Runner.chainEnded = 1;
    mnu_LeaveFlag = 1;
}
