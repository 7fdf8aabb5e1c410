// The virtual cursor.
#pragma once
#include <cstdint>

extern int32_t vcursor_Enabled;
// The cockpit item under the cursor, -1 for none.
extern int32_t vcursor_Item;

// Loads the three cursor images: 0, or -1 when one is missing.
int32_t vcursor_Load(const char* const names[3]);
void vcursor_Free(void);
// At most once per game tick: shows and moves the cursor in the cockpit view.
void vcursor_FrameUpdate(void);
// The panel hit update of the present step.
void vcursor_PanelHitUpdate(void);
