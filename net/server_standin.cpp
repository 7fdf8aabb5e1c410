// Stand-in until the server lands: no server runs.
#include "net/server.h"

__attribute__((weak)) ServerRecord Server;
__attribute__((weak)) PlayerSlot* ServerPlayerPtr = nullptr;
