// Stand-in until the client object copies land: no object is copied, a
// static batch is only confirmed.
#include "net/client.h"

__attribute__((weak)) void Client_ObjectData(const MsgRecord*) { Client.objectDataArrived = 1; }
__attribute__((weak)) void Client_StaticData(const MsgRecord* record) {
    MsgStaticData head;
    if (msg_StaticDataDecode(record->data, record->length, &head) != 0) return;
    Client.staticBatch = head.batch;
    Client.staticConfirmPending = 1;
}
__attribute__((weak)) void Client_ObjectsRetire(void) {}
__attribute__((weak)) void Client_ThinkPass(void) {}
