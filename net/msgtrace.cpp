#include "net/msgtrace.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/mem.h"
#include "platform/simlog.h"

NetMessageTrace net_MessageTrace;

namespace {

// Old nodes are reused once the ring holds this many.
constexpr int32_t TRACE_RECYCLE = 1;
constexpr int32_t TRACE_RING = 25;

struct TypeName {
    uint16_t type;
    const char* name;
};

constexpr TypeName kNames[] = {
    {0x0000, "MSG_NULL"},           {0x0001, "MSG_CHAT"},          {0x0002, "MSG_OBJECTDATA"},
    {0x0003, "MSG_PLAYERDATA"},     {0x0004, "MSG_STARTUPDATA"},   {0x0005, "MSG_STATICDATA"},
    {0x0006, "MSG_EVENTDATA"},      {0x0007, "MSG_PLAYERINFO"},    {0x1001, "MSG_BULLETFIRED"},
    {0x1002, "MSG_BULLETHIT"},      {0x1003, "MSG_LAUNCHMISSILE"}, {0x1004, "MSG_LAUNCHBOMB"},
    {0x1005, "MSG_JETTISONWEAPON"}, {0x1006, "MSG_PLAYERRESET"},   {0x1007, "MSG_PLAYERCRASH"},
    {0x1008, "MSG_ECMDROP"},        {0x1009, "MSG_PLAYERTRIG"},    {0x100A, "MSG_BULLETHIT_ST"},
    {0x100B, "MSG_WINGCOMMAND"},    {0x100C, "MSG_PLAYERTYPE"},    {0x100D, "MSG_MIDAIR"},
    {0x100E, "MSG_STARTUPCONFIRM"}, {0x100F, "MSG_SQUADREQUEST"},  {0x1010, "MSG_RESPONSE"},
    {0x2001, "MSG_STATICCONFIRM"},  {0x2002, "MSG_MSGCONFIRM"},    {0xFFFF, "MSG_END"},
};

// The trace is a diagnostic: a run switches it on with KRX_NETTRACE=1.
int32_t TraceFromEnvironment(void) {
    const char* v = getenv("KRX_NETTRACE");
    return v && v[0] == '1' ? 1 : 0;
}

void Unlink(_NETSTUFF_MESSAGE* n) {
    NetMessageTrace& t = net_MessageTrace;
    if (n->prev) n->prev->next = n->next; else t.head = n->next;
    if (n->next) n->next->prev = n->prev; else t.tail = n->prev;
    n->prev = n->next = nullptr;
    t.count--;
}

}  // namespace

int32_t net_MsgTraceOn = TraceFromEnvironment();

void net_MsgTypeName(int32_t type, char* output, size_t size) {
    if (!output || size == 0) return;
    for (const TypeName& n : kNames)
        if ((int32_t)n.type == type) {
            snprintf(output, size, "%s", n.name);
            return;
        }
    snprintf(output, size, "<%ld>", (long)type);
}

void net_MsgTrace(int32_t type, int32_t length) {
    NetMessageTrace& t = net_MessageTrace;
    _NETSTUFF_MESSAGE* n = nullptr;
    if (TRACE_RECYCLE && t.count >= TRACE_RING && t.tail) {
        n = t.tail;
        Unlink(n);
    } else {
        n = static_cast<_NETSTUFF_MESSAGE*>(mem_GlobalAllocNamed("_NETSTUFF_MESSAGE", sizeof(_NETSTUFF_MESSAGE)));
        if (!n) return;
    }
    n->sequence = t.sequence++;
    n->type = (uint16_t)type;
    n->length = (uint16_t)length;
    net_MsgTypeName(type, n->name, sizeof n->name);
    n->prev = nullptr;
    n->next = t.head;
    if (t.head) t.head->prev = n; else t.tail = n;
    t.head = n;
    t.count++;
    plat_SimLog("nettrace", "%u %s %u", n->sequence, n->name, (unsigned)n->length);
}
