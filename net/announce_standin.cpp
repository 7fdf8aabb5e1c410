// Stand-in until the master-server announcement lands.
#include "net/announce.h"

__attribute__((weak)) void app_ServerDefaultsSet(void) {}
