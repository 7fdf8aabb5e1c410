// The server's traffic statistics and the dedicated server's status page
// with its receive-load graph.
#include <cstring>

#include "display/draw_line.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/otw.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "platform/simlog.h"
#include "shell/runner.h"
#include "world/gamemode.h"
#include "world/level.h"

int32_t Server_LoadRing[SERVER_LOAD_RING];
int32_t Server_LoadRingAverage = 0;
uint32_t Server_PacketsSent = 0;
int32_t Server_LargestPacket = 0;
int32_t Server_ReceiveLoad = 0;

namespace {

int32_t g_ringIndex = 0;
uint32_t g_rateFrame = 0;
uint32_t g_rateTick = 0;
int32_t g_frameRate = 0;

// The page is laid out for 640 pixels across.
constexpr int32_t PAGE_WIDTH = 640;
constexpr int32_t GRAPH_X = 200;
constexpr int32_t GRAPH_BASE = 40;
constexpr int32_t GRAPH_STEP = 2;
constexpr int32_t GRAPH_UNIT = 4;
constexpr int32_t GRAPH_SLOT = 2;
constexpr int32_t CAPTION_SLOT = 15;
constexpr int32_t SHADOW_SLOT = 10;
constexpr uint32_t TICKS_PER_SECOND = 40;

int32_t Scaled(int32_t v, int32_t scale) { return static_cast<int32_t>((static_cast<int64_t>(v) * scale) >> 16); }

}  // namespace

void Server_LoadRingAdd(int32_t size) {
    Server_LoadRing[g_ringIndex] = size;
    g_ringIndex = (g_ringIndex + 1) % SERVER_LOAD_RING;
    Server_PacketsSent++;
    if (Server_PacketsSent % SERVER_LOAD_RING == 0)
        plat_SimLog("server", "packets sent=%u frame=%u", Server_PacketsSent, Server.frame);
}

void Server_LoadRingClear(void) {
    memset(Server_LoadRing, 0, sizeof Server_LoadRing);
    g_ringIndex = 0;
    Server_LoadRingAverage = 0;
    Server_PacketsSent = 0;
}

void Server_StatsFrameEnd(void) {
    if (level_GameMode.sharedProcess) return;
    int32_t i = Server.statsIndex & (SERVER_STATS - 1);
    if (Server.stats[0]) Server.stats[0][i] = Server_ReceiveLoad;
    if (Server.stats[1]) Server.stats[1][i] = 0;
}

void Server_LoadGraphDraw(void) {
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (!s.base || s.width <= 0 || !Server.stats[0]) return;
    int32_t scale = static_cast<int32_t>((static_cast<int64_t>(s.width) << 16) / PAGE_WIDTH);
    for (int32_t n = 0; n < SERVER_STATS; n++) {
        int32_t value = Server.stats[0][(Server.statsIndex + n) & (SERVER_STATS - 1)];
        if (value < 0) value = 0;
        // Values over 10 reach the top line and no further.
        int64_t top = GRAPH_BASE - static_cast<int64_t>(GRAPH_UNIT) * value;
        int32_t y = top < 0 ? 0 : static_cast<int32_t>(top);
        int32_t x = Scaled(GRAPH_X + GRAPH_STEP * n, scale);
        draw_ClipLineC(x, Scaled(GRAPH_BASE, scale), x, Scaled(y, scale), GRAPH_SLOT);
    }
    const BitmapFont* font = level_Fonts[0];
    if (!font) return;
    static const char caption[] = "PACKET RECEIVE LOAD";
    font_DrawString(caption, font, Scaled(203, scale), Scaled(46, scale), SHADOW_SLOT, FONT_MODE_ONE_COLOUR);
    font_DrawString(caption, font, Scaled(202, scale), Scaled(45, scale), CAPTION_SLOT, FONT_MODE_ONE_COLOUR);
}

void Server_StatusDraw(void) {
    uint32_t now = app_TickCount.load(std::memory_order_relaxed);
    if (now != g_rateTick && Server.frame >= g_rateFrame)
        g_frameRate = static_cast<int32_t>((Server.frame - g_rateFrame) * TICKS_PER_SECOND / (now - g_rateTick));
    g_rateTick = now;
    g_rateFrame = Server.frame;
    int64_t sum = 0;
    for (int32_t v : Server_LoadRing) sum += v;
    Server_LoadRingAverage = static_cast<int32_t>(sum / SERVER_LOAD_RING);

    if (!otw_LockSurface()) return;
    // The surface's own rows, however wide its pitch.
    const _DRAW_SURFACE& s = draw_CurrentSurface;
    if (s.base && s.bytesPerRow > 0 && s.height > 0)
        memset(s.base, 0, static_cast<size_t>(s.bytesPerRow) * static_cast<size_t>(s.height));
    Server_StatusPageDraw();
    Server_LoadGraphDraw();
    otw_UnlockSurface();
    otw_PresentFrame();
}
