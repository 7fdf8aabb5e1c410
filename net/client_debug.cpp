// The client's debug key and command-line overlays, top left of the flight
// picture.
#include <cstring>

#include "base/text.h"
#include "debug/dbgobj.h"
#include "display/font.h"
#include "input/inmap.h"
#include "input/inmapfile.h"
#include "world/level.h"

namespace {

constexpr int32_t FONT_DEBUG = 0;
constexpr int32_t TEXT_COLOUR = 0;
constexpr int32_t LEFT = 10, TOP = 10, LINE_STEP = 16;

void Line(const char* text, int32_t y) {
    if (const BitmapFont* font = level_Fonts[FONT_DEBUG])
        font_DrawShadowedString(text, font, LEFT, y, TEXT_COLOUR, FONT_MODE_ONE_COLOUR);
}

}  // namespace

void Client_DebugKeyTextFormat(uint32_t key, char* line, size_t size) {
    const int32_t code = (int32_t)(key & 0xFFFF);
    const InmapKeyName* name = inmap_KeyNameFind(INMAP_KIND_KEYBOARD, code);
    text_Format("%ld : [%s]", line, size, code, name && name->name ? name->name : "");
    if (key & 0x40000000u) text_CatZ(line, " + ALT", size);
    if (key & 0x20000000u) text_CatZ(line, " + CTRL", size);
    if (key & 0x10000000u) text_CatZ(line, " + SHIFT", size);
}

void Client_DebugKeyText(void) {
    char line[128];
    int32_t y = TOP;
    for (const _CLIENT_DEBUGVIRTUALKEY* k = dbg_VirtualKeyHead; k; k = k->next, y += LINE_STEP) {
        Client_DebugKeyTextFormat(k->key, line, sizeof line);
        Line(line, y);
    }
}

void Client_DebugObjectInput(void) {
    char line[300];
    int32_t y = TOP;
    for (const _CLIENT_DEBUGCOMMANDLINE* c = dbg_CommandLineHead; c; c = c->next, y += LINE_STEP) {
        text_Format("--> %s", line, sizeof line, c->text ? c->text : "");
        Line(line, y);
    }
}
