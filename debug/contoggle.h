// The developer console's toggle block.
#pragma once

// Clears the console toggles (start-up).
void con_ClearToggles(void);
