// Client debug records: debug paths, debug virtual keys, the bomb debug
// lists and the object listing line. Every record is a named global block
// kept in a doubly linked list, oldest first.
#include "debug/dbgobj.h"

#include <cstring>

#include "base/mem.h"
#include "base/text.h"
#include "debug/dbgoverlay.h"
#include "display/draw3d.h"
#include "net/client.h"
#include "sim/obj.h"

_CLIENT_DEBUGVIRTUALKEY* dbg_VirtualKeyHead = nullptr;
int32_t dbg_VirtualKeyCount = 0;
_CLIENT_DEBUGCOMMANDLINE* dbg_CommandLineHead = nullptr;
DbgDebugObject* dbg_DebugObjectHead = nullptr;
int32_t dbg_DebugObjectCount = 0;
int32_t dbg_DebugObjectsShown = 0;
uint32_t dbg_DebugColour = DBG_GREEN;
int32_t dbg_BombRecording = 0;
_WEAPON_BOMBDEBUG* dbg_BombDebugHead = nullptr;
_WEAPON_BOMBDEBUGPATH* dbg_BombPathHead = nullptr;
int32_t dbg_DebugKeyTextShown = 0;
int32_t dbg_DebugObjectInputShown = 0;
int32_t dbg_ObjectLabelMode = 0;

namespace {

// A list of records with previous and next links: head, tail, count.
template <class T>
struct Chain {
    T*& head;
    T*& tail;
    int32_t& count;

    void Append(T* node) {
        node->previous = tail;
        node->next = nullptr;
        if (tail)
            tail->next = node;
        else
            head = node;
        tail = node;
        count++;
    }
    void Unlink(T* node) {
        if (node->previous)
            node->previous->next = node->next;
        else
            head = node->next;
        if (node->next)
            node->next->previous = node->previous;
        else
            tail = node->previous;
        node->previous = node->next = nullptr;
        count--;
    }
    // A record for one more entry: the oldest one taken off the list once
    // `keep` are held, else a new block (null when none can be had).
    T* Take(int32_t keep, const char* tag) {
        if (keep > 0 && count >= keep && head) {
            T* oldest = head;
            Unlink(oldest);
            return oldest;
        }
        return static_cast<T*>(mem_GlobalAllocNamed(tag, (int32_t)sizeof(T)));
    }
    void FreeAll(void) {
        while (T* node = head) {
            Unlink(node);
            mem_GlobalFreeNamed(node);
        }
    }
    // Frees every record the test picks.
    template <class Test>
    void FreeIf(Test test) {
        for (T* node = head; node;) {
            T* next = node->next;
            if (test(node)) {
                Unlink(node);
                mem_GlobalFreeNamed(node);
            }
            node = next;
        }
    }
};

_CLIENT_DEBUGVIRTUALKEY* g_keyTail = nullptr;
DbgDebugObject* g_objectTail = nullptr;
_WEAPON_BOMBDEBUG* g_bombTail = nullptr;
_WEAPON_BOMBDEBUGPATH* g_pathTail = nullptr;
int32_t g_bombCount = 0, g_pathCount = 0;

Chain<_CLIENT_DEBUGVIRTUALKEY> Keys(void) { return {dbg_VirtualKeyHead, g_keyTail, dbg_VirtualKeyCount}; }
Chain<DbgDebugObject> Objects(void) { return {dbg_DebugObjectHead, g_objectTail, dbg_DebugObjectCount}; }
Chain<_CLIENT_DEBUGOBJECT_COORD> Points(DbgDebugObject* o) { return {o->first, o->last, o->count}; }
Chain<_WEAPON_BOMBDEBUG> Bombs(void) { return {dbg_BombDebugHead, g_bombTail, g_bombCount}; }
Chain<_WEAPON_BOMBDEBUGPATH> Paths(void) { return {dbg_BombPathHead, g_pathTail, g_pathCount}; }

bool SamePoint(const FixWorldPos& a, const FixWorldPos& b) { return a.x == b.x && a.y == b.y && a.z == b.z; }

}  // namespace

// ---- Debug virtual keys ----

void dbg_VirtualKeyAdd(uint32_t key) {
    Chain<_CLIENT_DEBUGVIRTUALKEY> keys = Keys();
    _CLIENT_DEBUGVIRTUALKEY* k = keys.Take(DBG_VIRTUAL_KEYS, "_CLIENT_DEBUGVIRTUALKEY");
    if (!k) return;
    k->key = key;
    keys.Append(k);
}

void dbg_VirtualKeysClear(void) { Keys().FreeAll(); }

// ---- Debug objects ----

DbgDebugObject* dbg_DebugObjectFind(int32_t key1, int32_t key2) {
    for (DbgDebugObject* o = dbg_DebugObjectHead; o; o = o->next)
        if (o->key1 == key1 && o->key2 == key2) return o;
    return nullptr;
}

DbgDebugObject* dbg_DebugObjectCreate(int32_t key1, int32_t key2, uint32_t colour) {
    auto* o = static_cast<DbgDebugObject*>(mem_GlobalAllocNamed("_CLIENT_DEBUGOBJECT", (int32_t)sizeof(DbgDebugObject)));
    if (!o) return nullptr;
    o->key1 = key1;
    o->key2 = key2;
    o->colour = colour;
    Objects().Append(o);
    return o;
}

_CLIENT_DEBUGOBJECT_COORD* dbg_DebugObjectAddCoord(DbgDebugObject* object, const FixWorldPos* point) {
    if (!object || !point) return nullptr;
    if (object->last && SamePoint(object->last->point, *point)) return nullptr;
    Chain<_CLIENT_DEBUGOBJECT_COORD> points = Points(object);
    _CLIENT_DEBUGOBJECT_COORD* c = points.Take(DBG_PATH_POINTS, "_CLIENT_DEBUGOBJECT_COORD");
    if (!c) return nullptr;
    c->owner = object;
    c->point = *point;
    points.Append(c);
    return c;
}

void dbg_DebugObjectDestroy(DbgDebugObject* object) {
    if (!object) return;
    Points(object).FreeAll();
    Objects().Unlink(object);
    mem_GlobalFreeNamed(object);
}

void dbg_DebugObjectsClear(void) {
    while (dbg_DebugObjectHead) dbg_DebugObjectDestroy(dbg_DebugObjectHead);
}

void dbg_DebugObjectsDraw(void) {
    constexpr int32_t DIAMOND = 2;
    for (const DbgDebugObject* o = dbg_DebugObjectHead; o; o = o->next) {
        const int32_t slot = (int32_t)(o->colour & 0xFF);
        for (const _CLIENT_DEBUGOBJECT_COORD* c = o->first; c && c->next; c = c->next)
            draw_Line3D(&c->point, &c->next->point, slot);
        for (const _CLIENT_DEBUGOBJECT_COORD* c = o->first; c; c = c->next) draw_Diamond3D(&c->point, DIAMOND, slot);
    }
}

// ---- Bomb debug lists ----

void dbg_BombDebugOn(void) {
    Bombs().FreeAll();
    Paths().FreeAll();
    dbg_BombRecording = 1;
}

void dbg_BombDebugOff(void) {
    Bombs().FreeAll();
    Paths().FreeAll();
    dbg_BombRecording = 0;
}

void dbg_BombDebugAdd(const ObjectRecord* weapon) {
    if (!dbg_BombRecording || !weapon) return;
    Chain<_WEAPON_BOMBDEBUG> bombs = Bombs();
    _WEAPON_BOMBDEBUG* b = bombs.Take(0, "_WEAPON_BOMBDEBUG");
    if (!b) return;
    b->weapon = weapon;
    b->handle = obj_HandleMake(weapon);
    b->release = weapon->position;
    // Only a bomb aimed at an object has the target and aim triples.
    const ObjectRecord* target = weapon->target;
    b->hasTarget = target ? 1 : 0;
    b->target = target ? target->position : FixWorldPos{};
    b->aim = target ? reinterpret_cast<const _COMMON_DCB*>(weapon)->weapon.aimPoint : FixWorldPos{};
    bombs.Append(b);
}

void dbg_BombDebugRemove(const ObjectRecord* weapon) {
    if (!dbg_BombRecording || !weapon) return;
    Bombs().FreeIf([weapon](const _WEAPON_BOMBDEBUG* b) { return b->weapon == weapon; });
}

void dbg_BombPathAdd(uint32_t key, const FixWorldPos* from, const FixWorldPos* to) {
    if (!dbg_BombRecording || !key || !from || !to) return;
    Chain<_WEAPON_BOMBDEBUGPATH> paths = Paths();
    _WEAPON_BOMBDEBUGPATH* p = paths.Take(0, "_WEAPON_BOMBDEBUGPATH");
    if (!p) return;
    p->key = key;
    p->from = *from;
    p->to = *to;
    paths.Append(p);
}

void dbg_BombPathRemove(uint32_t key) {
    Paths().FreeIf([key](const _WEAPON_BOMBDEBUGPATH* p) { return p->key == key; });
}

// ---- Object listing line ----

void dbg_ObjectListingLine(const ObjectRecord* object, char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    buffer[0] = 0;
    if (!object) return;
    char name[64];
    obj_DisplayName(object, name, sizeof name);
    size_t n = (size_t)text_Format("$%08lx \"%s\" ", buffer, size, object->serial, name);
    static const char* const kFlagWords[8] = {"STATIC ", "PLAYER ", "ENEMY ", "FRIENDLY ",
                                              "NEUTRAL ", "WINGMAN ", nullptr, "NOAI "};
    for (int32_t bit = 0; bit < 8; bit++)
        if (kFlagWords[bit] && (object->flags & (1u << bit))) text_CatZ(buffer, kFlagWords[bit], size);
    n = strlen(buffer);
    const ObjectRecord* from = Client_PlayerObject;
    const int32_t d = from ? obj_Distance(from, object) : 0;
    n += (size_t)text_Format("d=%3.3lfnm", buffer + n, size - n, (double)d * 4.008877257799672e-8);
    const uint8_t f = object->flags;
    if ((f & OBJ_FLAG_PLAYER) || !(f & (OBJ_FLAG_STATIC | OBJ_FLAG_WINGMAN))) {
        const int32_t d2 = from ? obj_DistanceHalf(from, object) >> 14 : 0;
        text_Format(" d2=%3.3lfnm", buffer + n, size - n, (double)d2 * 0.0006103515625);
    }
}
