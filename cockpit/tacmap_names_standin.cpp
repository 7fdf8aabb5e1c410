// Stand-in: map item names.
#include "cockpit/tacmap.h"

const char* tacmap_ItemNameGetC(const LevelMapItem*) { return "???"; }
