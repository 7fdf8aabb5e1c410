// Stand-in until the dumps land: the overlay draws nothing.
#include "shell/dump.h"

__attribute__((weak)) void app_MessageQueueOverlay(void) {}
