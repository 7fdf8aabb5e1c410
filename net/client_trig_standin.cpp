// Stand-in until the client lands: no message is queued.
#include "net/client.h"

__attribute__((weak)) void Client_SendPlayerTrig(int32_t, int32_t) {}
