// Stand-in until the keyboard layer lands: nothing to clear yet.
#include "input/ekey.h"

void ekey_ClearAll(void) {}
void ekey_ClearEdges(void) {}
