// Client debug records: debug virtual keys, debug paths (kind 0: the
// client's object paths, kind 1: paths the server sends), the bomb debug
// recording and the one-line object listing; and the overlays that draw
// them. Every record is a named global block tagged with its record's name.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"
#include "debug/dbgoverlay.h"
#include "sim/obj.h"

// A debug virtual key: the key code in the low 16 bits, Alt 0x40000000,
// Ctrl 0x20000000, Shift 0x10000000.
struct _CLIENT_DEBUGVIRTUALKEY {
    _CLIENT_DEBUGVIRTUALKEY* previous;
    _CLIENT_DEBUGVIRTUALKEY* next;
    uint32_t key;
};
// At most this many keys are held; a further one reuses the oldest record.
constexpr int32_t DBG_VIRTUAL_KEYS = 21;

// The held debug virtual keys, oldest first, and their count.
extern _CLIENT_DEBUGVIRTUALKEY* dbg_VirtualKeyHead;
extern int32_t dbg_VirtualKeyCount;
void dbg_VirtualKeyAdd(uint32_t key);
void dbg_VirtualKeysClear(void);

// A recent debug command line.
struct _CLIENT_DEBUGCOMMANDLINE {
    _CLIENT_DEBUGCOMMANDLINE* next;
    const char* text;
};
extern _CLIENT_DEBUGCOMMANDLINE* dbg_CommandLineHead;

// A debug object: a path of world points under a key pair, drawn in the
// low byte of its colour word.
struct _CLIENT_DEBUGOBJECT;
struct _CLIENT_DEBUGOBJECT_COORD {
    _CLIENT_DEBUGOBJECT_COORD* previous;
    _CLIENT_DEBUGOBJECT_COORD* next;
    _CLIENT_DEBUGOBJECT* owner;
    FixWorldPos point;
};
struct _CLIENT_DEBUGOBJECT {
    _CLIENT_DEBUGOBJECT* previous;
    _CLIENT_DEBUGOBJECT* next;
    int32_t key1, key2;
    uint32_t colour;
    _CLIENT_DEBUGOBJECT_COORD* first;
    _CLIENT_DEBUGOBJECT_COORD* last;
    int32_t count;
};
using DbgDebugObject = _CLIENT_DEBUGOBJECT;
// A path keeps at most this many points; a further one reuses the oldest.
constexpr int32_t DBG_PATH_POINTS = 501;

// Every debug object, in creation order, and their count.
extern DbgDebugObject* dbg_DebugObjectHead;
extern int32_t dbg_DebugObjectCount;
// Null when none / when it cannot be made.
DbgDebugObject* dbg_DebugObjectFind(int32_t key1, int32_t key2);
DbgDebugObject* dbg_DebugObjectCreate(int32_t key1, int32_t key2, uint32_t colour);
void dbg_DebugObjectDestroy(DbgDebugObject* object);
// Appends a point to its path; null when it equals the last point or cannot
// be stored.
_CLIENT_DEBUGOBJECT_COORD* dbg_DebugObjectAddCoord(DbgDebugObject* object, const FixWorldPos* point);
void dbg_DebugObjectsClear(void);
// Each path as 3D lines between its points and a small diamond at each.
void dbg_DebugObjectsDraw(void);
// The client debug objects switch (the client records its copies' reported
// points as paths and the bomb markers draw the paths while it is on) and
// the colour word a new client path takes.
extern int32_t dbg_DebugObjectsShown;
extern uint32_t dbg_DebugColour;

// A released bomb's record: release point and, with a target, the target's
// position and the bomb's aim point (both zero without one). The weapon is
// kept as a checked handle as well, so that a record outliving its bomb
// draws no marker.
struct _WEAPON_BOMBDEBUG {
    _WEAPON_BOMBDEBUG* previous;
    _WEAPON_BOMBDEBUG* next;
    const ObjectRecord* weapon;
    ObjHandle handle;
    int32_t hasTarget;
    FixWorldPos release;
    FixWorldPos target;
    FixWorldPos aim;
};
// One step of a falling bomb's path, under the bomb's key.
struct _WEAPON_BOMBDEBUGPATH {
    _WEAPON_BOMBDEBUGPATH* previous;
    _WEAPON_BOMBDEBUGPATH* next;
    uint32_t key;
    FixWorldPos from;
    FixWorldPos to;
};
// Bomb recording: its switch and the two lists, oldest first.
extern int32_t dbg_BombRecording;
extern _WEAPON_BOMBDEBUG* dbg_BombDebugHead;
extern _WEAPON_BOMBDEBUGPATH* dbg_BombPathHead;
// On: both lists emptied, recording on. Off: both lists freed, recording off.
void dbg_BombDebugOn(void);
void dbg_BombDebugOff(void);
// While bomb recording is on: a bomb's release record, its removal, and the
// path segments of its fall under a key.
void dbg_BombDebugAdd(const ObjectRecord* weapon);
void dbg_BombDebugRemove(const ObjectRecord* weapon);
void dbg_BombPathAdd(uint32_t key, const FixWorldPos* from, const FixWorldPos* to);
void dbg_BombPathRemove(uint32_t key);

// One line describing an object: "$HANDLE ", its name in quotes, its flag
// words, its distance from the player's aircraft in nautical miles and,
// for players and objects neither static nor wingmen, the second distance
// (the half-scale distance shifted right by 14, scaled by 10/16384).
void dbg_ObjectListingLine(const ObjectRecord* object, char* buffer, size_t size);

// Overlays of the frame's screen pass after the developer overlays: the
// weapon overlay (single player only) and the bomb and object markers.
void dbg_DrawObjectLabels(void);
void dbg_DrawBombDebug(void);
// The label buffer the object value labels are formatted into; it keeps the
// last label drawn (empty before the first).
constexpr size_t DBG_LABEL_SIZE = 48;
extern char dbg_LabelBuffer[DBG_LABEL_SIZE];
// The debug virtual keys ("CODE : [NAME] + ALT + CTRL + SHIFT") and the
// debug command lines ("--> TEXT"), one per 16 pixels from (10, 10).
void Client_DebugKeyText(void);
void Client_DebugObjectInput(void);
// One line of the key list for a key word.
void Client_DebugKeyTextFormat(uint32_t key, char* line, size_t size);
// Their flags, and the object label mode (0 off, 1 the player's target,
// 2 every known object in view).
extern int32_t dbg_DebugKeyTextShown;
extern int32_t dbg_DebugObjectInputShown;
extern int32_t dbg_ObjectLabelMode;
