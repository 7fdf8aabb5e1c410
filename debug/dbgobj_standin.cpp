// Stand-in until the client debug records land: nothing is kept.
#include "debug/dbgobj.h"

_CLIENT_DEBUGVIRTUALKEY* dbg_VirtualKeyHead = nullptr;
_CLIENT_DEBUGCOMMANDLINE* dbg_CommandLineHead = nullptr;
void dbg_VirtualKeyAdd(uint32_t) {}
void dbg_VirtualKeysClear(void) {}

DbgDebugObject* dbg_DebugObjectFind(int32_t, int32_t) { return nullptr; }
DbgDebugObject* dbg_DebugObjectCreate(int32_t, int32_t, uint32_t) { return nullptr; }
void dbg_DebugObjectDestroy(DbgDebugObject*) {}
void* dbg_DebugObjectAddCoord(DbgDebugObject*, const FixWorldPos*) { return nullptr; }
void dbg_DebugObjectsClear(void) {}

void dbg_BombDebugOn(void) {}
void dbg_BombDebugOff(void) {}
void dbg_BombDebugAdd(const ObjectRecord*) {}
void dbg_BombDebugRemove(const ObjectRecord*) {}
void dbg_BombPathAdd(uint32_t, const FixWorldPos*, const FixWorldPos*) {}
void dbg_BombPathRemove(uint32_t) {}
void dbg_OverlayFrame(void) {}
void dbg_DrawObjectLabels(void) {}
void dbg_DrawBombDebug(void) {}
int32_t dbg_DebugKeyTextShown = 0;
int32_t dbg_DebugObjectInputShown = 0;
int32_t dbg_ObjectLabelMode = 0;
// Stand-ins until the console's toggle block and the client debug objects
// land: the bomb overlay switch, the client debug objects flag and the
// colour of a new path.
__attribute__((weak)) int32_t con_BombOverlay = 0;
__attribute__((weak)) int32_t dbg_DebugObjectsShown = 0;
__attribute__((weak)) uint32_t dbg_DebugColour = 0;
