// Client debug records: debug virtual keys, debug paths (kind 0: the
// client's object paths, kind 1: paths the server sends) and the bomb debug
// recording.
#pragma once
#include <cstddef>
#include <cstdint>

#include "base/fix.h"

// A debug virtual key: the key code in the low 16 bits, Alt 0x40000000,
// Ctrl 0x20000000, Shift 0x10000000.
struct _CLIENT_DEBUGVIRTUALKEY {
    _CLIENT_DEBUGVIRTUALKEY* previous;
    _CLIENT_DEBUGVIRTUALKEY* next;
    uint32_t key;
};

// The held debug virtual keys, oldest first.
extern _CLIENT_DEBUGVIRTUALKEY* dbg_VirtualKeyHead;
void dbg_VirtualKeyAdd(uint32_t key);
void dbg_VirtualKeysClear(void);

// A recent debug command line.
struct _CLIENT_DEBUGCOMMANDLINE {
    _CLIENT_DEBUGCOMMANDLINE* next;
    const char* text;
};
extern _CLIENT_DEBUGCOMMANDLINE* dbg_CommandLineHead;

struct DbgDebugObject;
// Null when none / when it cannot be made.
DbgDebugObject* dbg_DebugObjectFind(int32_t key1, int32_t key2);
DbgDebugObject* dbg_DebugObjectCreate(int32_t key1, int32_t key2, uint32_t colour);
void dbg_DebugObjectDestroy(DbgDebugObject* object);
// Appends a point to its path; null when it equals the last point or cannot
// be stored.
void* dbg_DebugObjectAddCoord(DbgDebugObject* object, const FixWorldPos* point);
void dbg_DebugObjectsClear(void);

void dbg_BombDebugOn(void);
void dbg_BombDebugOff(void);
struct ObjectRecord;
// While bomb recording is on: a bomb's release record, its removal, and the
// path segments of its fall under a key.
void dbg_BombDebugAdd(const ObjectRecord* weapon);
void dbg_BombDebugRemove(const ObjectRecord* weapon);
void dbg_BombPathAdd(uint32_t key, const FixWorldPos* from, const FixWorldPos* to);
void dbg_BombPathRemove(uint32_t key);

// Overlays of the frame's screen and overlay passes.
void dbg_OverlayFrame(void);
void dbg_DrawObjectLabels(void);
void dbg_DrawBombDebug(void);
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
