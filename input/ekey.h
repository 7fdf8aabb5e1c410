// The keyboard layer: key tables, event ring, watchers, lock keys.
#pragma once

void ekey_ClearAll(void);
void ekey_ClearEdges(void);
