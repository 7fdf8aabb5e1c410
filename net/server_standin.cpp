// Stand-in until the server lands: no server runs.
#include "net/server.h"

__attribute__((weak)) ServerRecord Server;
__attribute__((weak)) PlayerSlot* ServerPlayerPtr = nullptr;

// No clients to tell yet.
void Server_DymodEvent(int32_t, const char*, int32_t) {}
