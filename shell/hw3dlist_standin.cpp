// Stand-in until the 3D-card driver list lands: no candidates are found.
#include "shell/hw3dlist.h"

__attribute__((weak)) int32_t app_Hw3dLoadResult = 0;

__attribute__((weak)) void app_Hw3dListBuild(void) {}
__attribute__((weak)) void app_Hw3dListFree(void) {}
__attribute__((weak)) _APP_HW3D_ENTRY* app_Hw3dFindByFile(const char*) { return nullptr; }
__attribute__((weak)) int32_t app_Hw3dSelect(_APP_HW3D_ENTRY*) {
    app_Hw3dLoadResult = 0;
    return 0;
}
__attribute__((weak)) int32_t app_BadDriverDialog(void) { return 0; }
