// The keyboard layer: which keys are down, which went down or up since the
// last edge clear, a ring of key events with the modifiers of the moment, the
// typed characters, the lock-key states and the watchers told of every key
// change. Fed by the main window procedure; main thread only.
#pragma once
#include <cstdint>

// Tables indexed by the low byte of the virtual-key code; Shift, Ctrl and Alt
// are entries 16, 17 and 18 of the key-down table.
constexpr int32_t EKEY_TABLE_SIZE = 256;
extern int32_t ekey_StateTable[EKEY_TABLE_SIZE];     // 1 while the key is down
extern int32_t ekey_PressedTable[EKEY_TABLE_SIZE];   // went down (not on repeat)
extern int32_t ekey_ReleasedTable[EKEY_TABLE_SIZE];  // went up
// The same three tables as other code reaches them.
extern int32_t* const ekey_pStateTable;
extern int32_t* const ekey_pPressedTable;
extern int32_t* const ekey_pReleasedTable;

// Key event ring: an event word is the key code (0..255) plus these bits for
// the modifiers held at the moment of the press.
constexpr int32_t EKEY_EVENT_RING = 80;
constexpr uint32_t EKEY_EVENT_ALT = 0x40000000u;
constexpr uint32_t EKEY_EVENT_CTRL = 0x20000000u;
constexpr uint32_t EKEY_EVENT_SHIFT = 0x10000000u;
extern uint32_t ekey_EventRing[EKEY_EVENT_RING];
extern int32_t ekey_EventWrite;
extern int32_t ekey_EventRead;

// Typed characters: a ring of the last 80 and the line typed since the last
// edge clear (at most 79 characters, zero-terminated).
constexpr int32_t EKEY_CHAR_RING = 80;
constexpr int32_t EKEY_LINE_MAX = 79;
extern int32_t ekey_CharFlag;   // a character came since the last edge clear
extern int32_t ekey_CharLast;
extern char ekey_CharRing[EKEY_CHAR_RING];
extern int32_t ekey_CharRingPos;
extern char ekey_Line[EKEY_LINE_MAX + 1];
extern int32_t ekey_LineLength;

// Lock-key states, 0 or 1, as the system reports them.
extern int32_t ekey_CapsLock;
extern int32_t ekey_NumLock;
extern int32_t ekey_ScrollLock;

// A watcher is told of every key change with (key code, 1 down / 0 up); its
// result is ignored.
typedef int32_t (*EkeyWatchRoutine)(int32_t key, int32_t down);
struct _EKEY_WATCHDOG {
    _EKEY_WATCHDOG* prev;
    _EKEY_WATCHDOG* next;
    EkeyWatchRoutine callback;
};
extern int32_t ekey_WatchdogCount;

// ekey_ClearAll, then reads the three lock states (once at start-up).
void ekey_Reset(void);
// Zeroes the key tables, the characters, the line, the lock states and the
// event ring.
void ekey_ClearAll(void);
// Per-frame edges: the character flag, the line length, the event ring and
// the pressed and released tables; the key-down table stays.
void ekey_ClearEdges(void);
// Fed by the main window procedure: key is the low byte of the virtual-key
// code, keyData the key message's lParam (bit 30: auto-repeat).
void ekey_KeyDown(int32_t key, uint32_t keyData);
void ekey_KeyUp(int32_t key);
void ekey_CharAdd(int32_t character);
// The next event word, or 0 when the ring is empty.
uint32_t ekey_EventPop(void);
// Appends a watcher; null for a null callback or when memory is short.
_EKEY_WATCHDOG* ekey_WatchdogAdd(EkeyWatchRoutine callback);
// Unlinks and frees a watcher; null is accepted. A watcher may remove itself
// or another one while it is being told of a key.
void ekey_WatchdogRemove(_EKEY_WATCHDOG* node);
// Sets the system's Num Lock state (start-up forces it on and puts the
// remembered state back at exit).
void ekey_SetNumLock(int32_t on);
