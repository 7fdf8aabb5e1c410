// Pointer zones.
#include "menu/chs.h"

#include <cstring>

#include "base/mem.h"
#include "shell/mouse.h"
#include "shell/runner.h"

chs_ZoneList* chs_Current = nullptr;

namespace {
uint32_t Now(void) { return app_TickCount.load(); }
}  // namespace

void chs_ListInit(chs_ZoneList* list) {
    if (!list) return;
    *list = chs_ZoneList{};
    list->x = -1;
    list->y = -1;
    list->nextRepeat = Now();
    list->interval = 10;
    chs_Current = list;
}

chs_Zone* chs_ZoneAdd(chs_ZoneList* list, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t user) {
    if (!list) return nullptr;
    auto* z = static_cast<chs_Zone*>(mem_AllocEx(sizeof(chs_Zone), 8, "chs PTR"));
    if (!z) return nullptr;
    *z = chs_Zone{};
    z->list = list;
    z->left = left, z->top = top, z->right = right, z->bottom = bottom;
    z->enabled = 1;
    z->user = user;
    z->next = list->first;
    list->first = z;
    list->count++;
    return z;
}

int32_t chs_ZoneRemove(chs_ZoneList* list, chs_Zone* zone) {
    if (!list || !zone) return 0;
    for (chs_Zone** p = &list->first; *p; p = &(*p)->next) {
        if (*p != zone) continue;
        *p = zone->next;
        list->count--;
        list->hovered = nullptr;
        mem_Free(zone);
        return 1;
    }
    return 0;
}

int32_t chs_ZoneHandlerAdd(chs_Zone* zone, int32_t mask, chs_Handler routine, int32_t argument) {
    if (!zone || zone->handlerCount >= CHS_HANDLERS) return -1;
    zone->handlers[zone->handlerCount++] = chs_ZoneHandler{mask, routine, argument};
    return 0;
}

void chs_ZoneEnable(chs_Zone* zone) {
    if (zone) zone->enabled = 1;
}
void chs_ZoneDisable(chs_Zone* zone) {
    if (zone) zone->enabled = 0;
}

int32_t chs_ZoneSend(chs_Zone* zone, int32_t event) {
    if (!zone || !zone->enabled) return 0;
    int32_t ran = 0;
    for (int32_t i = 0; i < zone->handlerCount && i < CHS_HANDLERS; i++) {
        const chs_ZoneHandler& h = zone->handlers[i];
        if ((h.mask & event) && h.routine) {
            h.routine(zone, h.argument);
            ran = 1;
        }
    }
    return ran;
}

int32_t chs_ListDispatch(chs_ZoneList* list, int32_t event, int32_t x, int32_t y) {
    if (!list) return 0;
    list->x = static_cast<int16_t>(x);
    list->y = static_cast<int16_t>(y);
    chs_Zone* hit = nullptr;
    for (chs_Zone* z = list->first; z; z = z->next)
        if (z->enabled && x >= z->left && x <= z->right && y >= z->top && y <= z->bottom) {
            hit = z;
            break;
        }
    if (!hit) return 0;
    if (hit != list->hovered) {
        chs_Zone* previous = list->hovered;
        list->hovered = hit;
        chs_ZoneSend(hit, CHS_ENTER);
        if (previous) chs_ZoneSend(previous, CHS_LEAVE);
    }
    return chs_ZoneSend(hit, event);
}

int32_t chs_MouseEvent(int32_t event, int32_t buttons) {
    chs_ZoneList* list = chs_Current;
    if (!list) return 0;
    if (event == 1 && list->move) list->move(app_MouseState.x, app_MouseState.y);
    list->buttons = buttons;
    return chs_ListDispatch(list, event, app_MouseState.x, app_MouseState.y);
}

void chs_HookInstall(void) { app_MouseHookSet(chs_MouseEvent); }

void chs_HookRemove(void) {
    if (app_MouseState.callback == chs_MouseEvent) app_MouseHookSet(nullptr);
}

void chs_RepeatTick(chs_ZoneList* list) {
    if (!list) return;
    uint32_t now = Now();
    if (static_cast<int32_t>(now - list->nextRepeat) < 0) return;
    list->nextRepeat = now + static_cast<uint32_t>(list->interval);
    list->repeating = 1;
    if (list->buttons & 1) chs_ListDispatch(list, 2, list->x, list->y);
    if (list->buttons & 2) chs_ListDispatch(list, 8, list->x, list->y);
    list->repeating = 0;
}

void chs_RepeatRestart(chs_ZoneList* list) {
    if (list) list->nextRepeat = Now() + static_cast<uint32_t>(list->interval);
}

void chs_RepeatIntervalSet(chs_ZoneList* list, int32_t ticks) {
    if (!list) return;
    list->interval = ticks;
    chs_RepeatRestart(list);
}
