// Crash dumps and the diagnostic overlays of the shell.
#pragma once

// Draw hook (before each present): lists the network message trace.
void app_MessageQueueOverlay(void);
