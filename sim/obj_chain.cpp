// The client object chain over the client's object lists.
#include "net/client.h"
#include "sim/obj.h"

ObjClientChain obj_ClientChain(void) {
    ObjectRecord* head = Client.packetObjects ? Client.packetObjects : Client.knownObjects;
    if (!head && obj_ClientStaticCount > 0) head = obj_ClientStatics[0];
    return {head, Client_PlayerObject};
}

void obj_ClientChainWalk(void (*visit)(ObjectRecord* object, void* context), void* context) {
    if (!visit) return;
    for (ObjectRecord* list : {Client.packetObjects, Client.knownObjects}) {
        for (ObjectRecord *o = list, *next; o; o = next) {
            next = o->next;
            visit(o, context);
        }
    }
    const int32_t statics = obj_ClientStaticCount < OBJ_CLIENT_STATICS ? obj_ClientStaticCount : OBJ_CLIENT_STATICS;
    for (int32_t i = 0; i < statics; i++)
        if (obj_ClientStatics[i]) visit(obj_ClientStatics[i], context);
}
