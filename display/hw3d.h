// The 3D-card driver binding: the descriptor table the driver library fills
// and the routines that load, enable and disable it.
#pragma once
#include <cstdint>

// Filled by the driver library; `size` is written by the program first.
// Entries are in the order of the library's table.
struct _HW3D_DESCRIPTOR {
    int32_t size;                  // 132
    void* state;                   // the library's state record
    int32_t (*enable)(void);       // 0: the card is now the display
    void* reserved12;
    int32_t (*setMode)(int32_t width, int32_t height, int32_t bits, int32_t exact);  // negative: refused
    int32_t (*modeTest)(int32_t width, int32_t height, int32_t bits, int32_t depthBuffer);  // 0: available
    void (*disable)(void);
    intptr_t (*control)(int32_t code);
    void (*selectPalette)(int32_t palette);
    void (*setColour)(int32_t red, int32_t green, int32_t blue);
    void (*setValue)(int32_t value);
    void (*viewWindow)(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void (*screenRect)(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
    void (*uploadImage)(void* image, const void* palette, int32_t a, int32_t b);
    void (*prepareImage)(void* image);
    void (*afterSwap)(void);
    void (*clear)(void);           // in colour register 3
    void (*swap)(void);
    void (*setState)(int32_t code);
    void* reserved76;
    void (*triangle)(const void* p1, const void* p2, const void* p3, uint32_t colour, uint32_t flags, int32_t zero);
    void (*quad)(const void* p1, const void* p2, const void* p3, const void* p4, const void* texture, int32_t word);
    void (*line)(const void* v1, const void* v2, uint32_t colour, int32_t four, int32_t extra);
    void (*shadedRect)(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t level);
    uint8_t* (*lock)(int32_t* pitch);  // frame buffer, 0: failed
    void (*unlock)(void);
    void* reserved104;
    void* reserved108;
    void (*readCounters)(void* a, void* b, void* c);
    void (*colourRegister)(int32_t reg, int32_t red, int32_t green, int32_t blue);
    int32_t (*option)(int32_t option, int32_t value);
    void* reserved124;
    void (*recordList)(const void* records, int32_t count, int32_t recordSize);
};

// Control codes the program asks.
enum : int32_t {
    HW3D_CTL_RESET = 1,
    HW3D_CTL_LOCK_MASK = 3,
    HW3D_CTL_DESCRIPTION = 4,
    HW3D_CTL_ACTIVATED = 5,
    HW3D_CTL_DEACTIVATED = 6,
    HW3D_CTL_NO_CURSOR_CLIP = 7,
    HW3D_CTL_RED_MASK = 8,
    HW3D_CTL_GREEN_MASK = 9,
    HW3D_CTL_BLUE_MASK = 10,
    HW3D_CTL_TEXT2 = 11,
    HW3D_CTL_VERSION = 12,  // must answer 16 for the card to be used
    HW3D_CTL_MODE_COUNT = 16,
};

extern _HW3D_DESCRIPTOR hw3d_Descriptor;
extern int32_t hw3d_Loaded;  // a driver library is loaded
extern int32_t hw3d_Active;  // the card is the display

// 0, -2 (library not found), -3 (no descriptor export) or the library's code.
int32_t hw3d_Load(uintptr_t instance, uintptr_t window, const char* fileName);
void hw3d_Unload(void);
// -1 without a library; else the enable entry's answer (0: the card is the
// display, the masks become 5-6-5 and hw3d_Active is set).
int32_t hw3d_Enable(void);
void hw3d_Disable(void);
