// The contest screen: a full-screen picture from the install disc, kept
// there scrambled, under the screen's own widgets; back to the briefing.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file.h"
#include "base/mem.h"
#include "debug/cheat.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/pcx.h"
#include "menu/loadout.h"
#include "menu/newcamp.h"
#include "shell/runner.h"
#include "shell/settings.h"

const char mnu_ContestKey[] = "Keep the skies clear, ace";
MnuContestState mnu_Contest = {};

namespace {

MnuImage g_background;

void BackgroundFree(void) {
    mnu_ImageUnload(&g_background);
    g_background = MnuImage{};
    mnu_Contest.background = nullptr;
    mnu_Contest.width = mnu_Contest.height = 0;
}

// The picture file of the disc into the background; false on any failure.
bool PictureLoad(const char* name) {
    const int32_t size = file_SizeOnDisk(name);
    if (size <= 0) return false;
    auto* buffer = static_cast<uint8_t*>(mem_AllocEx((uint32_t)size, 4, "mnuContest PCX"));
    if (!buffer) return false;
    // The read is bounded by the size found.
    const bool read = file_LoadRaw(name, buffer, (size_t)size) == size;
    const bool decoded = read && mnu_ContestPictureDecode(buffer, size);
    mem_Free(buffer);
    return decoded;
}

void ContestPage(void) {
    MnuContext* c = mnu_Context;
    if (g_background.pixels) {
        MnuRect r = {0, 0, g_background.width, g_background.height};
        mnu_ImageBlitRect(&g_background, &r, 0, 0);
    }
    if (!c) return;
    mnu_Draw(c);
    mnu_WindowTextDraw(c, "WndContest");
    mnu_ImageAreasDraw(c);
    // Drawn again over the picture in the next draw.
    mnu_WindowRefresh(c, "WndContest", nullptr, 0);
}

void ContestEnter(void) {
    mnu_LeaveFlag = 0;
    mnu_Contest.picture = 0;
    BackgroundFree();
    if (MnuContext* c = mnu_Context) {
        mnu_WindowsCloseAll(c);
        mnu_WindowOpen(c, "WndContest");
        mnu_WindowShow(c, "WndContest");
        mnu_CursorSet(c, "Cursor1");
    }
    mnu_AcceptKeyCallbackSet(cbCONTESTBack);
    mnu_CancelKeyCallbackSet(cbCONTESTBack);
    char drive[2] = {};
    bool read = file_OpenRaw("setup.cd") >= 0 && file_ReadRaw(drive, 2) == 2;
    file_CloseRaw();
    if (!read) {
        mnu_LeaveFlag = 1;
        return;
    }
    const uint32_t since = app_TickCount.load(std::memory_order_relaxed) - mnu_FlightStartTick;
    int32_t picture = 1;
    if (since > MNU_CONTEST_TICKS || app_Settings.CONTEST) {
        picture = 2;
        app_Settings.CONTEST = 1;
    }
    char name[64];
    snprintf(name, sizeof name, "%c:\\autorun\\contest%d.pcx", drive[0], (int)picture);
    if (!PictureLoad(name)) {
        mnu_LeaveFlag = 1;
        return;
    }
    mnu_Contest.picture = picture;
}

void ContestDraw(void) {
    if (mnu_Context) mnu_ScreenDraw(ContestPage);
}

void ContestLeave(void) {
    app_Runner.nextState = &WndMisBrief;
    BackgroundFree();
}

}  // namespace

int32_t mnu_ContestPictureDecode(uint8_t* buffer, int32_t size) {
    BackgroundFree();
    if (!buffer || size <= 0) return 0;
    cheat_KeyedTransformBytes(buffer, size, mnu_ContestKey);
    pal_SetRgbMasks(0x7C00, 0x3E0, 0x1F);
    auto* picture = static_cast<uint16_t*>(pcx_LoadIntoBuffer(buffer, size, 16));
    if (!picture) return 0;
    const int32_t w = pal_Second.width, h = pal_Second.height;
    const uint32_t bytes = (uint32_t)w * (uint32_t)h * 2;
    auto* background = static_cast<uint16_t*>(mem_AllocEx(bytes, 4, "mnu CONTEST BG"));
    if (background) memcpy(background, picture, bytes);
    mem_Free(picture);
    if (!background) return 0;
    snprintf(g_background.name, sizeof g_background.name, "%s", "mnu CONTEST BG");
    g_background.pixels = background;
    g_background.width = w;
    g_background.height = h;
    g_background.bitsPerPixel = 16;
    g_background.byteSize = (int32_t)bytes;
    g_background.frameCount = 1;
    mnu_ImageConvert(&g_background);
    mnu_Contest.background = background;
    mnu_Contest.width = w;
    mnu_Contest.height = h;
    return 1;
}

void mnu_ContestFree(void) { BackgroundFree(); }

const AppStateRecord WndContest = {ContestEnter, mnu_StateFrame, ContestDraw, ContestLeave, 0};

void cbCONTESTBack(int32_t) { mnu_LeaveFlag = 1; }

int32_t mnu_ScreenFromEnvironment(void) {
    const char* name = getenv("KRX_SCREEN");
    if (!name) return 0;
    const struct {
        const char* name;
        const AppStateRecord* state;
    } screens[] = {{"contest", &WndContest}, {"splash", &WndSplash}, {"stats", &WndStats}};
    for (const auto& s : screens)
        if (strcmp(name, s.name) == 0) {
            app_Runner.nextState = s.state;
            return 1;
        }
    return 0;
}
