// The dedicated server's status page: clocks, the game's settings and
// counters, the chat log or the player list, and the console's input line;
// and the line editing of the console.
#include <cstdio>
#include <cstring>

#include "display/dsurf.h"
#include "display/font.h"
#include "display/pal_hicolor.h"
#include "net/console.h"
#include "net/server.h"
#include "net/server_calls.h"
#include "platform/window.h"
#include "shell/settings.h"
#include "shell/runner.h"
#include "shell/wndproc.h"
#include "world/gamemode.h"
#include "world/level.h"

SysDateTime Server_StartTime;
int32_t Server_PageToggle = 0;

namespace {

constexpr int32_t RIGHT_MARGIN = 10;
constexpr int32_t LEFT_X = 10;
constexpr int32_t LINE = 10;
constexpr int32_t BOTTOM = 462;
constexpr int32_t INPUT_Y = 454;
constexpr uint32_t HEARD_TICKS = 1200;

// The colours of the codes "~0".."~7" on the page. A dedicated server
// shows no level, so nothing else sets these slots there.
const uint8_t kPageColours[8][3] = {
    {230, 230, 230}, {255, 220, 64}, {255, 64, 64}, {64, 224, 255},
    {64, 255, 96},   {128, 160, 255}, {255, 160, 48}, {150, 150, 150},
};

void PageColoursSet(void) {
    if (level_GameMode.display) return;
    // Nor does anything there read the screen's pixel format.
    if (!pal_Hc.channels[0].width) pal_DeriveSurfaceMasks();
    for (int32_t i = 0; i < 8; i++)
        draw_SetColourSlot(i, kPageColours[i][0], kPageColours[i][1], kPageColours[i][2]);
}

void Text(const char* text, const BitmapFont* font, int32_t x, int32_t y) {
    font_State.colourOffset = 0;
    font_DrawString(text, font, x, y, 0, FONT_MODE_CODED);
}

void RightText(const char* text, const BitmapFont* font, int32_t y) {
    Text(text, font, draw_CurrentSurface.width - RIGHT_MARGIN - font_StringWidth(text, font), y);
}

void Clock(char* out, size_t cap, const char* colour, const char* item, uint32_t ticks) {
    char clock[16];
    Server_FormatClock(clock, sizeof clock, ticks);
    snprintf(out, cap, "%s%s %s", colour, item, clock);
}

// The right-hand clocks.
void ClocksDraw(const BitmapFont* font) {
    char line[160];
    if (const char* item = level_GameText(597)) {
        snprintf(line, sizeof line, "~5%s %2.2ld:%2.2ld:%2.2ld", item, (long)Server_StartTime.hour,
                 (long)Server_StartTime.minute, (long)Server_StartTime.second);
        RightText(line, font, 10);
    }
    if (const char* item = level_GameText(598)) {
        SysDateTime now;
        sys_LocalTimeGet(&now);
        snprintf(line, sizeof line, "~5%s %2.2ld:%2.2ld:%2.2ld", item, (long)now.hour, (long)now.minute,
                 (long)now.second);
        RightText(line, font, 20);
    }
    if (const char* item = level_GameText(599)) {
        Clock(line, sizeof line, "~5", item, Server.frame);
        RightText(line, font, 30);
    }
    bool players = Server.playerCount > 0;
    if (const char* item = level_GameText(600)) {
        Clock(line, sizeof line, players ? "~4" : "~7", item, Server.framesWithPlayers);
        RightText(line, font, 50);
    }
    if (const char* item = level_GameText(601)) {
        Clock(line, sizeof line, players ? "~7" : "~4", item, Server.framesWithoutPlayers);
        RightText(line, font, 60);
    }
}

// One counter line "item : value" in the left column.
void Counter(const BitmapFont* font, int32_t* y, uint32_t item, long value) {
    const char* text = level_GameText(item);
    if (!text) return;
    char line[160];
    snprintf(line, sizeof line, "%s%s : %s%ld", "~0", text, "~5", value);
    Text(line, font, LEFT_X, *y);
    *y += LINE;
}

// The left column; returns the y below its last line.
int32_t SettingsDraw(const BitmapFont* font) {
    char line[200];
    int32_t y = 10;
    snprintf(line, sizeof line, "~1%s", app_Settings.HOST_GAME_NAME);
    Text(line, font, LEFT_X, y);
    y += LINE;

    int32_t provider = app_Settings.CURRENT_PROVIDER;
    uint32_t kind = provider == -1   ? (app_Settings.HOST_GAME_PASSWORD[0] ? 624u : 623u)
                    : provider == -2 ? 622u
                    : provider < 0   ? 0u
                    : provider > 3   ? 606u
                                     : 602u + (uint32_t)provider;
    const uint32_t names[] = {kind, 832u + (uint32_t)app_Settings.HOST_GAME_TYPE, 450u + (uint32_t)level_Region,
                              467u + (uint32_t)level_TimeOfDay};
    for (uint32_t n : names) {
        const char* text = n ? level_GameText(n) : nullptr;
        if (!text) continue;
        snprintf(line, sizeof line, "~0%s", text);
        Text(line, font, LEFT_X, y);
        y += LINE;
    }

    Counter(font, &y, 607, Server.playerCount);
    Counter(font, &y, 608, Server.peakPlayers);
    Counter(font, &y, 609, (long)Server.frame);
    const char* bytes = level_GameText(611);
    if (bytes) {
        if (const char* text = level_GameText(610)) {
            snprintf(line, sizeof line, "%s%s : %s%ld %s", "~0", text, "~5", (long)Server_LargestPacket, bytes);
            Text(line, font, LEFT_X, y);
            y += LINE;
        }
        if (const char* text = level_GameText(612)) {
            snprintf(line, sizeof line, "%s%s : %s%ld bytes", "~0", text, "~5", (long)Server_LoadRingAverage);
            Text(line, font, LEFT_X, y);
            y += LINE;
        }
    }
    Counter(font, &y, 621, Server.totalJoins);

    // The two flags blink: shown on every other drawing.
    if (Server_PageToggle) {
        if (Server_Victory) {
            if (const char* text = level_GameText(613)) {
                snprintf(line, sizeof line, "~4%s", text);
                Text(line, font, LEFT_X, y);
            }
            y += LINE;
        }
        if (Server_ConnectionFlag) {
            if (const char* text = level_GameText(614)) {
                snprintf(line, sizeof line, "~2%s", text);
                Text(line, font, LEFT_X, y);
            }
            y += LINE;
        }
    }
    return y;
}

void ChatDraw(const BitmapFont* font, int32_t y) {
    char line[200];
    for (const ServerChatEntry* e = Server_Chat.used.head; e && y < BOTTOM; e = e->next, y += 12) {
        snprintf(line, sizeof line, "%s%6.6ld: %s%s", "~5", (long)e->sequence, "~0", e->text);
        Text(line, font, LEFT_X, y);
    }
}

void PlayersDraw(const BitmapFont* small, const BitmapFont* large) {
    if (!Server.player) return;
    int32_t players = Server.playerCount;
    int32_t x0 = players <= 15 ? 161 : players <= 31 ? 240 : players <= 63 ? 161 : players <= 95 ? 81 : 2;
    const BitmapFont* font = players < 16 && large ? large : small;
    int32_t step = players < 16 ? 20 : LINE;
    uint32_t now = app_TickCount.load(std::memory_order_relaxed);
    const char* freeText = level_GameText(615);
    char line[200];
    for (int32_t i = 0; i < SERVER_PLAYERS; i++) {
        int32_t x = x0 + (i / 32) * 159;
        int32_t y = 140 + (i % 32) * step;
        if (y >= BOTTOM) continue;
        const PlayerSlot& s = Server.player[i];
        if (!s.inUse) {
            snprintf(line, sizeof line, "%s%3.3ld: %s%s", "~7", (long)i, "~7", freeText ? freeText : "");
            Text(line, font, x, y);
            continue;
        }
        long count = (long)s.countdown;
        const char* colour = count ? "~5"
                             : now - s.lastDataTick <= HEARD_TICKS ? "~0"
                             : Server_PageToggle                   ? "~2"
                                                                   : "~4";
        char aircraft[sizeof s.block.name + 1];
        memcpy(aircraft, s.block.name, sizeof s.block.name);
        aircraft[sizeof s.block.name] = 0;
        char clock[16];
        Server_FormatClock(clock, sizeof clock, s.frameCount);
        const char* name = s.name ? s.name : "";
        if (count)
            snprintf(line, sizeof line, "%s%3.3ld: %s %s(%s) %s %s[%ld]", colour, (long)i, name, "~6", aircraft, clock,
                     "~5", count);
        else
            snprintf(line, sizeof line, "%s%3.3ld: %s %s(%s) %s", colour, (long)i, name, "~6", aircraft, clock);
        Text(line, font, x, y);
    }
}

void InputLineDraw(const BitmapFont* font) {
    static const uint32_t items[5] = {0, 626, 625, 627, 628};
    static const char* const colours[5] = {"~0", "~5", "~5", "~1", "~4"};
    char line[700];
    int32_t mode = Server_LineMode;
    if (mode >= 1 && mode <= 4) {
        const char* item = level_GameText(items[mode]);
        snprintf(line, sizeof line, "%s%s%s - %s%s%s_", colours[mode], item ? item : "", "~6", "~0", Server_Line,
                 "~4");
        Text(line, font, LEFT_X, INPUT_Y);
    } else if (const char* item = level_GameText(616)) {
        snprintf(line, sizeof line, "~0%s", item);
        Text(line, font, LEFT_X, BOTTOM);
    }
}

}  // namespace

void Server_StatusPageDraw(void) {
    if (app_MainHwnd && plat_WindowIsMinimized(app_MainHwnd)) return;
    const BitmapFont* small = level_Fonts[0];
    if (!small || !draw_CurrentSurface.base) return;
    Server_PageToggle ^= 1;
    PageColoursSet();
    uint8_t savedOffset = font_State.colourOffset;
    ClocksDraw(small);
    int32_t y = SettingsDraw(small);
    if (Server_F12Toggle)
        ChatDraw(small, y + 82);
    else
        PlayersDraw(small, level_Fonts[1]);
    InputLineDraw(small);
    font_State.colourOffset = savedOffset;
}

void Server_ConsoleEditLine(int32_t character) {
    size_t n = strnlen(Server_Line, sizeof Server_Line);
    if (character == '\b') {
        if (n > 0) Server_Line[n - 1] = 0;
        return;
    }
    if (character < 0x20 || character > 0x7E || n >= sizeof Server_Line - 1) return;
    Server_Line[n] = (char)character;
    Server_Line[n + 1] = 0;
}
