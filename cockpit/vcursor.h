// The virtual cursor.
#pragma once
#include <cstdint>

extern int32_t vcursor_Enabled;
// The cockpit item under the cursor, -1 for none.
extern int32_t vcursor_Item;
