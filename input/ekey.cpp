// The keyboard layer.
#include "input/ekey.h"

#include <cstring>

#include "base/dlist.h"
#include "base/mem.h"
#include "platform/keyboard.h"
#include "platform/winmsg.h"

int32_t ekey_StateTable[EKEY_TABLE_SIZE];
int32_t ekey_PressedTable[EKEY_TABLE_SIZE];
int32_t ekey_ReleasedTable[EKEY_TABLE_SIZE];
int32_t* const ekey_pStateTable = ekey_StateTable;
int32_t* const ekey_pPressedTable = ekey_PressedTable;
int32_t* const ekey_pReleasedTable = ekey_ReleasedTable;

uint32_t ekey_EventRing[EKEY_EVENT_RING];
int32_t ekey_EventWrite = 0;
int32_t ekey_EventRead = 0;

int32_t ekey_CharFlag = 0;
int32_t ekey_CharLast = 0;
char ekey_CharRing[EKEY_CHAR_RING];
int32_t ekey_CharRingPos = 0;
char ekey_Line[EKEY_LINE_MAX + 1];
int32_t ekey_LineLength = 0;

int32_t ekey_CapsLock = 0;
int32_t ekey_NumLock = 0;
int32_t ekey_ScrollLock = 0;

int32_t ekey_WatchdogCount = 0;

namespace {

_EKEY_WATCHDOG* g_watchHead = nullptr;
_EKEY_WATCHDOG* g_watchTail = nullptr;
// While watchers are being told of a key, removed nodes only lose their
// callback; they are unlinked once the walk is over.
int32_t g_dispatchDepth = 0;
int32_t g_deadNodes = 0;

void Unlink(_EKEY_WATCHDOG* node) {
    dlist_Unlink(g_watchHead, g_watchTail, ekey_WatchdogCount, node);
    mem_Free(node);
}

void SweepDead(void) {
    _EKEY_WATCHDOG* n = g_watchHead;
    while (n) {
        _EKEY_WATCHDOG* next = n->next;
        if (!n->callback) Unlink(n);
        n = next;
    }
    g_deadNodes = 0;
}

void TellWatchers(int32_t key, int32_t down) {
    g_dispatchDepth++;
    for (_EKEY_WATCHDOG* n = g_watchHead; n; n = n->next)
        if (n->callback) n->callback(key, down);
    g_dispatchDepth--;
    if (g_dispatchDepth == 0 && g_deadNodes) SweepDead();
}

void ReadLocks(void) {
    ekey_CapsLock = plat_KeyToggled(VK_CAPITAL);
    ekey_NumLock = plat_KeyToggled(VK_NUMLOCK);
    ekey_ScrollLock = plat_KeyToggled(VK_SCROLL);
}

}  // namespace

void ekey_ClearAll(void) {
    memset(ekey_StateTable, 0, sizeof ekey_StateTable);
    memset(ekey_PressedTable, 0, sizeof ekey_PressedTable);
    memset(ekey_ReleasedTable, 0, sizeof ekey_ReleasedTable);
    ekey_CharFlag = 0;
    ekey_CharLast = 0;
    memset(ekey_Line, 0, sizeof ekey_Line);
    ekey_LineLength = 0;
    memset(ekey_CharRing, 0, sizeof ekey_CharRing);
    ekey_CharRingPos = 0;
    ekey_CapsLock = ekey_NumLock = ekey_ScrollLock = 0;
    ekey_EventWrite = ekey_EventRead = 0;
}

void ekey_Reset(void) {
    ekey_ClearAll();
    ReadLocks();
}

void ekey_ClearEdges(void) {
    ekey_CharFlag = 0;
    ekey_LineLength = 0;
    ekey_Line[0] = 0;
    ekey_EventWrite = ekey_EventRead = 0;
    memset(ekey_PressedTable, 0, sizeof ekey_PressedTable);
    memset(ekey_ReleasedTable, 0, sizeof ekey_ReleasedTable);
}

void ekey_KeyDown(int32_t key, uint32_t keyData) {
    key &= 0xFF;
    ekey_StateTable[key] = 1;
    ReadLocks();
    if (keyData & KF_REPEAT_BIT) return;
    ekey_PressedTable[key] = 1;
    uint32_t word = (uint32_t)key;
    if (ekey_StateTable[VK_MENU]) word += EKEY_EVENT_ALT;
    if (ekey_StateTable[VK_CONTROL]) word += EKEY_EVENT_CTRL;
    if (ekey_StateTable[VK_SHIFT]) word += EKEY_EVENT_SHIFT;
    // A full ring keeps what it holds and drops the new event, so that
    // unread events are never overwritten.
    int32_t next = (ekey_EventWrite + 1) % EKEY_EVENT_RING;
    if (next != ekey_EventRead) {
        ekey_EventRing[ekey_EventWrite] = word;
        ekey_EventWrite = next;
    }
    TellWatchers(key, 1);
}

void ekey_KeyUp(int32_t key) {
    key &= 0xFF;
    ekey_StateTable[key] = 0;
    ekey_ReleasedTable[key] = 1;
    ReadLocks();
    TellWatchers(key, 0);
}

void ekey_CharAdd(int32_t character) {
    ekey_CharFlag = 1;
    ekey_CharLast = character;
    ekey_CharRing[ekey_CharRingPos] = (char)character;
    ekey_CharRingPos = (ekey_CharRingPos + 1) % EKEY_CHAR_RING;
    if (ekey_LineLength < EKEY_LINE_MAX) {
        ekey_Line[ekey_LineLength++] = (char)character;
        ekey_Line[ekey_LineLength] = 0;
    }
}

uint32_t ekey_EventPop(void) {
    if (ekey_EventRead < 0 || ekey_EventRead >= EKEY_EVENT_RING || ekey_EventWrite < 0 ||
        ekey_EventWrite >= EKEY_EVENT_RING) {
        ekey_EventRead = ekey_EventWrite = 0;
        return 0;
    }
    if (ekey_EventRead == ekey_EventWrite) return 0;
    uint32_t word = ekey_EventRing[ekey_EventRead];
    ekey_EventRead = (ekey_EventRead + 1) % EKEY_EVENT_RING;
    return word;
}

_EKEY_WATCHDOG* ekey_WatchdogAdd(EkeyWatchRoutine callback) {
    if (!callback) return nullptr;
    _EKEY_WATCHDOG* node = (_EKEY_WATCHDOG*)mem_AllocEx(sizeof(_EKEY_WATCHDOG), 4, "_EKEY_WATCHDOG");
    if (!node) return nullptr;
    node->callback = callback;
    dlist_AddTail(g_watchHead, g_watchTail, ekey_WatchdogCount, node);
    return node;
}

void ekey_WatchdogRemove(_EKEY_WATCHDOG* node) {
    if (!node) return;
    // Only nodes of this list are unlinked; a stray pointer changes nothing.
    _EKEY_WATCHDOG* n = g_watchHead;
    while (n && n != node) n = n->next;
    if (!n) return;
    if (g_dispatchDepth > 0) {
        node->callback = nullptr;
        g_deadNodes++;
        return;
    }
    Unlink(node);
}

void ekey_SetNumLock(int32_t on) {
    uint8_t state[256];
    if (plat_KeyboardStateGet(state) != 0) return;
    if (on)
        state[VK_NUMLOCK] |= PLAT_KEY_TOGGLED;
    else
        state[VK_NUMLOCK] &= (uint8_t)~PLAT_KEY_TOGGLED;
    plat_KeyboardStateSet(state);
    ekey_NumLock = plat_KeyToggled(VK_NUMLOCK);
}
