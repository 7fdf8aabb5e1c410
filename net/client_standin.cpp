// Stand-in until the client event handlers land: events do nothing; a
// detached copy is only marked for retirement.
#include "net/client.h"
#include "sim/obj.h"

__attribute__((weak)) void Client_EventWorld(const MsgRecord*) {}
__attribute__((weak)) void Client_EventFlight(const MsgRecord*) {}
__attribute__((weak)) void Client_PlayerNamesFree(void) {}
__attribute__((weak)) void Client_ObjectDetach(ObjectRecord* object) {
    if (!object) return;
    object->copyFlags = 0;
    object->linger = (int16_t)0xB1E0;
}
