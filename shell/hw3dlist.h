// The 3D-card driver candidate list: the driver libraries beside the
// program, each named by itself, and the one selected by the
// HW3D_DLL_FILENAME setting.
#pragma once
#include <cstdint>

// One candidate (a named global block "_APP_HW3D_ENTRY"); its texts are
// blocks of their own.
struct _APP_HW3D_ENTRY {
    _APP_HW3D_ENTRY* prev;
    _APP_HW3D_ENTRY* next;
    char* commonName;       // the library's display name
    char* fileName;         // as the settings name it ("hw_pexl.dll")
    int32_t usable;         // 1 when the library loaded
    int32_t loadResult;     // hw3d_Load's answer
    // Read from the driver while its library is loaded (null once it is
    // unloaded: they point into the library).
    const char* description;  // control code 4
    intptr_t noCursorClip;    // control code 7
    const char* text2;        // control code 11
    int32_t version;          // control code 12
    int32_t modeCount;        // control code 16
    int32_t modeIndex;        // the chosen mode
    char* cardName;           // the chosen mode's name, null when none
};

struct AppHw3dList {
    _APP_HW3D_ENTRY* head;
    _APP_HW3D_ENTRY* tail;
    int32_t count;
    int32_t built;
};
extern AppHw3dList app_Hw3dList;

// The current selection and the copies the display layer and the options
// screen read.
extern _APP_HW3D_ENTRY* app_Hw3dSelected;
extern int32_t app_Hw3dUsable;
// Load result of the selected driver (-4: the library refuses the installed
// card drivers); 0 without a selection.
extern int32_t app_Hw3dLoadResult;
extern const char* app_Hw3dDescription;
extern intptr_t app_Hw3dNoCursorClip;
extern const char* app_Hw3dText2;
extern int32_t app_Hw3dVersion;
extern int32_t app_Hw3dModeCount;

// Frees the list, then (unless the SOFTWARE option is set) adds every
// library beside the program that answers hw3d_GetNameStr.
void app_Hw3dListBuild(void);
void app_Hw3dListFree(void);
// The new entry, or null (nothing is left behind).
_APP_HW3D_ENTRY* app_Hw3dEntryAdd(const char* commonName, const char* fileName);
void app_Hw3dEntryRemove(_APP_HW3D_ENTRY* entry);
// Case-insensitive; null when none.
_APP_HW3D_ENTRY* app_Hw3dFindByFile(const char* fileName);
// Unloads the previous selection's library and binds the entry's (null:
// none). Always 0; the outcome is in app_Hw3dLoadResult.
int32_t app_Hw3dSelect(_APP_HW3D_ENTRY* entry);
// Chooses the CARD_NUMBER mode of the selection. -1 without one, else 0.
int32_t app_Hw3dModeApply(void);
// Whether reduced art is used: a 3D card without HWNOCRUNCH, or a
// MEMORY_USAGE below 2 (respectively 0 or less).
int32_t app_Hw3dOrDetailBelow2(void);
int32_t app_Hw3dOrDetailZero(void);
// The "BAD3DFXDLLS" dialog: 0 to go on, -1 when cancelled. Not shown (0)
// when SKIP_BAD3DFXDLLS_CHECK is set.
int32_t app_BadDriverDialog(void);
