#include "net/console.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

#include "display/hw3d.h"
#include "display/vid.h"
#include "net/server.h"
#include "platform/simlog.h"
#include "platform/window.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/wndproc.h"
#include "world/gamemode.h"
#include "net/server_calls.h"

#include <strings.h>

ServerChatLog Server_Chat;
static int32_t ChatCapacity;

static void ListRemove(ServerChatList* l, ServerChatEntry* e) {
    if (e->prev) e->prev->next = e->next; else l->head = e->next;
    if (e->next) e->next->prev = e->prev; else l->tail = e->prev;
    e->prev = e->next = nullptr;
    l->count--;
}

static void ListAppend(ServerChatList* l, ServerChatEntry* e) {
    e->next = nullptr;
    e->prev = l->tail;
    if (l->tail) l->tail->next = e; else l->head = e;
    l->tail = e;
    l->count++;
}

void Server_ChatLogFree(void) {
    free(Server_Chat.entries);
    Server_Chat = {};
    ChatCapacity = 0;
}

ServerChatEntry* Server_ChatLogCreateArray(int32_t count) {
    Server_ChatLogFree();
    if (count <= 0) return nullptr;
    ServerChatEntry* e = (ServerChatEntry*)calloc((size_t)count, sizeof(ServerChatEntry));
    if (!e) return nullptr;
    Server_Chat.entries = e;
    ChatCapacity = count;
    for (int32_t i = 0; i < count; ++i) ListAppend(&Server_Chat.freeList, &e[i]);
    return e;
}

void Server_ChatLogCreate(int32_t lines) { Server_ChatLogCreateArray(lines); }

int32_t Server_ChatLogAdd(const char* text) {
    if (!Server_Chat.entries) return 0;
    ServerChatEntry* e = Server_Chat.freeList.head;
    if (e) ListRemove(&Server_Chat.freeList, e);
    else if ((e = Server_Chat.used.head) != nullptr) ListRemove(&Server_Chat.used, e);
    else return 0;
    ListAppend(&Server_Chat.used, e);
    e->inUse = 1;
    size_t i = 0;
    for (; text && text[i] && i < 127; ++i) e->text[i] = text[i];
    e->text[i] = 0;
    e->sequence = Server_Chat.nextSequence++;
    plat_SimLog("server", "chat %s", e->text);
    return 0;
}

void Server_FormatClock(char* out, size_t cap, uint32_t ticks) {
    snprintf(out, cap, "%2.2ld:%2.2ld:%2.2ld", (long)(ticks / 144000 % 60), (long)(ticks / 2400 % 60),
             (long)(ticks / 40 % 60));
}

int32_t sys_LocalTimeGet(SysDateTime* t) {
    if (!t) return 0;
    *t = {1, 1, 0, 0, 0, 0, 0};
    time_t now = time(nullptr);
    struct tm tmv;
    if (!localtime_r(&now, &tmv)) return 0;
    *t = {tmv.tm_mon + 1, tmv.tm_mday, tmv.tm_year + 1900, tmv.tm_hour, tmv.tm_min, tmv.tm_sec, tmv.tm_wday};
    return 0;
}

void sys_DateTimeFormat(char* out, size_t cap, const SysDateTime* t) {
    static const char* const months[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    static const char* const days[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    if (!out || cap == 0) return;
    if (!t) {
        out[0] = 0;
        return;
    }
    int32_t m = t->month < 1 ? 1 : t->month > 12 ? 12 : t->month;
    int32_t h = t->hour % 12;
    if (h == 0) h = 12;
    const char* suffix = t->hour < 12 ? "am" : "pm";
    if (t->weekday < 0 || t->weekday > 6)
        snprintf(out, cap, "%s %2.2ld, %4.4ld %2.2ld:%2.2ld:%2.2ld%s", months[m - 1], (long)t->day,
                 (long)t->year, (long)h, (long)t->minute, (long)t->second, suffix);
    else
        snprintf(out, cap, "%s %s %2.2ld, %4.4ld %2.2ld:%2.2ld:%2.2ld%s", days[t->weekday], months[m - 1],
                 (long)t->day, (long)t->year, (long)h, (long)t->minute, (long)t->second, suffix);
}

int32_t Server_PlaneCounts[5];

void Server_PlaneCountsUpdate(void) {
    for (int32_t& c : Server_PlaneCounts) c = 0;
    if (!Server.player) return;
    for (int32_t i = 0; i < SERVER_PLAYERS; ++i) {
        const PlayerSlot& s = Server.player[i];
        if (!s.inUse) continue;
        char name[sizeof s.block.name + 1];
        memcpy(name, s.block.name, sizeof s.block.name);
        name[sizeof s.block.name] = 0;
        if (strcasecmp(name, "KRX") == 0) Server_PlaneCounts[0]++;
        else if (strcasecmp(name, "TVLAR") == 0) Server_PlaneCounts[1]++;
        else if (strcasecmp(name, "WXN") == 0) Server_PlaneCounts[2]++;
        else Server_PlaneCounts[3]++;
        Server_PlaneCounts[4]++;
    }
}

void Server_PlaneCountersClear(void) {
    for (int32_t& c : Server_PlaneCounts) c = 0;
}

int32_t Server_WindowTitleText(char* out, size_t cap, int32_t minimised) {
    if (level_GameMode.sharedProcess || (Server.frame & 31) != 0 || hw3d_Active) return 0;
    if (minimised) {
        snprintf(out, cap, "%ld/%ld %s", (long)Server.playerCount, (long)Server.peakPlayers,
                 app_Settings.HOST_GAME_NAME);
        return 1;
    }
    if (!vid_State.modeSetDone) return 0;
    snprintf(out, cap, "%s", app_Title);
    return 1;
}

void Server_WindowTitleUpdate(void) {
    if (!app_MainHwnd) return;
    char title[160];
    if (Server_WindowTitleText(title, sizeof title, plat_WindowIsMinimized(app_MainHwnd)))
        plat_WindowSetTitle(app_MainHwnd, title);
}
