// Master-server announcement settings.
#pragma once

// Sets the announcement defaults (ports, identifiers, master server).
void app_ServerDefaultsSet(void);
