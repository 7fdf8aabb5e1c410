// Pointer zones: rectangles with handlers for mouse events, enter and leave
// events as the pointer moves between them, and an auto-repeat of the
// button-down events while a button is held. Main thread only.
#pragma once
#include <cstdint>

enum : int32_t {
    CHS_LEAVE = 0x1000,
    CHS_ENTER = 0x2000,
};
constexpr int32_t CHS_HANDLERS = 8;

struct chs_Zone;
struct chs_ZoneList;
typedef void (*chs_Handler)(chs_Zone* zone, int32_t argument);

struct chs_ZoneHandler {
    int32_t mask;
    chs_Handler routine;
    int32_t argument;
};

struct chs_Zone {
    chs_ZoneList* list;
    int32_t left, top, right, bottom;  // inclusive
    chs_Zone* next;
    chs_ZoneHandler handlers[CHS_HANDLERS];
    int32_t handlerCount;
    int32_t enabled;
    int32_t user;
};

struct chs_ZoneList {
    int16_t x, y;  // last dispatch position
    int32_t count;
    chs_Zone* first;
    chs_Zone* hovered;
    int32_t buttons;  // bit 0 left, bit 1 right held
    int32_t repeating;
    uint32_t nextRepeat;
    int32_t interval;
    void (*move)(int32_t x, int32_t y);
};

void chs_ListInit(chs_ZoneList* list);
chs_Zone* chs_ZoneAdd(chs_ZoneList* list, int32_t left, int32_t top, int32_t right, int32_t bottom, int32_t user);
int32_t chs_ZoneRemove(chs_ZoneList* list, chs_Zone* zone);
// 0, or -1 when the zone already holds eight handlers (the ninth is refused).
int32_t chs_ZoneHandlerAdd(chs_Zone* zone, int32_t mask, chs_Handler routine, int32_t argument);
void chs_ZoneEnable(chs_Zone* zone);
void chs_ZoneDisable(chs_Zone* zone);
int32_t chs_ZoneSend(chs_Zone* zone, int32_t event);
int32_t chs_ListDispatch(chs_ZoneList* list, int32_t event, int32_t x, int32_t y);
void chs_HookInstall(void);
void chs_HookRemove(void);
int32_t chs_MouseEvent(int32_t event, int32_t buttons);
void chs_RepeatTick(chs_ZoneList* list);
void chs_RepeatRestart(chs_ZoneList* list);
void chs_RepeatIntervalSet(chs_ZoneList* list, int32_t ticks);
// The current list (the last one initialised), or null.
extern chs_ZoneList* chs_Current;
