// The 3D-card driver binding: the descriptor table the driver library fills
// and the routines that load, enable and disable it. The driver library
// (hw3d/ builds ours) includes this header for the table and its records,
// and links nothing of the program.
#pragma once
#include <cstdint>

// Filled by the driver library; `size` is written by the program first.
// Entries are in the order of the library's table.
struct _HW3D_DESCRIPTOR {
    int32_t size;                  // 132
    void* state;                   // the library's state record (_HW3D_STATE)
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

// The table's size as the interface counts it (33 words), stored in `size`,
// and the interface version passed to hw3d_GetDescriptor.
constexpr int32_t HW3D_DESCRIPTOR_SIZE = 132;
constexpr int32_t HW3D_INTERFACE_VERSION = 257;

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
    HW3D_CTL_MODE_NAME = 17,    // + mode number: the mode's name
    HW3D_CTL_MODE_SELECT = 32,  // + mode number: choose the mode
};

// Options of the option entry.
enum : int32_t {
    HW3D_OPTION_LEVEL = 2,    // a level value, at level start
    HW3D_OPTION_PIXEL32 = 3,  // the program draws 32-bit pixels on a 16-bit mode
};

// The part of the library's state record the program uses. (The vertex
// record the drawing entries read is in display/hw3d_draw.h.)
struct _HW3D_STATE {
    int32_t frameAccess;     // nonzero: the program may draw into the card's frame
    int32_t reserved[2];
    const uint8_t* palette;  // 768 bytes of RGB that textures and colour indices are read through
};

// What the program lends the driver library: on this platform the instance
// handle given to hw3d_GetDescriptor is the address of this record (the
// library cannot reach the program's display by itself).
struct _HW3D_HOST {
    int32_t size;  // sizeof(_HW3D_HOST)
    // Shows a finished frame of width x height pixels, pitch bytes a row,
    // at 16 (5-6-5) or 32 (8-8-8) bits. 0, or -1 when it cannot be shown.
    int32_t (*present)(const void* pixels, int32_t width, int32_t height, int32_t pitch, int32_t bits);
};
extern const _HW3D_HOST hw3d_Host;

// The library's exports, as the program calls them.
typedef const char* (*HW3D_GETNAMESTR)(const char* countryCode);
typedef int32_t (*HW3D_GETDESCRIPTOR)(uintptr_t instance, _HW3D_DESCRIPTOR* descriptor, int32_t version);
typedef int32_t (*HW3D_INITONCE)(void);
typedef void (*HW3D_UNINITONCE)(void);

extern _HW3D_DESCRIPTOR hw3d_Descriptor;
extern int32_t hw3d_Loaded;  // a driver library is loaded
extern int32_t hw3d_Active;  // the card is the display

// 0, -2 (library not found or not loadable), -3 (no hw3d_GetDescriptor) or
// the library's own nonzero answer. A library that fails is freed again and
// its entries are forgotten. A library loaded before is unloaded first.
int32_t hw3d_Load(uintptr_t instance, uintptr_t window, const char* fileName);
// Disables the card when it is the display, calls hw3d_UninitOnce when the
// library has it, frees the library and forgets its entries.
void hw3d_Unload(void);
// -1 without a library; else the enable entry's answer (0: the card is the
// display, the masks become 5-6-5 and hw3d_Active is set).
int32_t hw3d_Enable(void);
void hw3d_Disable(void);
