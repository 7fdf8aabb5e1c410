// The 3D-card driver candidate list.
#pragma once
#include <cstdint>

struct _APP_HW3D_ENTRY;

// Load result of the selected driver (-4: the library refuses the installed
// card drivers); 0 without a selection.
extern int32_t app_Hw3dLoadResult;

void app_Hw3dListBuild(void);
void app_Hw3dListFree(void);
_APP_HW3D_ENTRY* app_Hw3dFindByFile(const char* fileName);
int32_t app_Hw3dSelect(_APP_HW3D_ENTRY* entry);
// The "BAD3DFXDLLS" dialog: 0 to go on, -1 when cancelled.
int32_t app_BadDriverDialog(void);
