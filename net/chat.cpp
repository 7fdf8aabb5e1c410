#include "net/chat.h"

#include <cstring>

#include "base/filetable.h"
#include "base/text.h"
#include "debug/cheat.h"
#include "debug/console.h"
#include "display/draw_fill.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "input/ekey.h"
#include "input/inmap.h"
#include "net/client.h"
#include "render/render.h"
#include "shell/appstr.h"
#include "shell/settings.h"
#include "world/gamemode.h"
#include "world/level.h"

uint32_t chat_Mode = 0;
char chat_Text[CHAT_TEXT_SIZE];
uint8_t chat_Active = 0;
char chat_Line[CHAT_TEXT_SIZE];
int32_t chat_MacrosOn = 1;

namespace {

constexpr int32_t FONT_CHAT = 1;
constexpr int32_t PANEL_COLOUR = 8;
constexpr uint32_t TEXT_SQUADRON = 495;
constexpr uint8_t KEY_SHIFT = 16, KEY_ALT = 18;

const BitmapFont* Font(void) { return level_Fonts[FONT_CHAT]; }

// An application string, or null when the file lacks it.
const char* Text(uint32_t n) {
    const FileTableEntry* e = app_StringTable ? file_TableEntryGet(app_StringTable, n) : nullptr;
    return e && e->text && e->text[0] ? e->text : nullptr;
}

// Layout units are a 640-wide screen.
int32_t Scaled(int32_t v) {
    const int64_t scale = draw_CurrentSurface.widthScale ? draw_CurrentSurface.widthScale / 2 : 65536;
    return (int32_t)(((int64_t)v * scale) >> 16);
}

void Close(void) {
    render_ScreenStateCurrent = render_ScreenStatePrevious;
    chat_Active = 0;
}

// The first macro whose key is down, or -1.
int32_t MacroKey(void) {
    if (!chat_MacrosOn || !ekey_StateTable[KEY_ALT]) return -1;
    for (int32_t i = 0; i < APP_CHAT_MACROS; i++)
        if (ekey_StateTable['0' + i]) return i;
    return -1;
}

void Type(uint8_t c) {
    chat_Compose();
    const BitmapFont* font = Font();
    const int32_t width = font ? font_StringWidth(chat_Line, font) : 0;
    const size_t length = strlen(chat_Text);
    if (width >= CHAT_LINE_WIDTH_MAX || strlen(chat_Line) >= CHAT_LINE_CHARS_MAX || length + 1 >= CHAT_TEXT_SIZE)
        return;
    chat_Text[length] = (char)c;
    chat_Text[length + 1] = 0;
}

void Enter(void) {
    if (chat_Mode == 0 || chat_Mode == 1) {
        // A text the console does not take goes out, unless it looks like a
        // command code.
        if (!con_Execute(chat_Text) && chat_Text[0] != ':') chat_Send();
    } else if (chat_Text[0] == ':') {
        cheat_Command(chat_Text + 1);
    } else {
        con_Execute(chat_Text);
    }
    Close();
}

// One pixel down and right in the shadow colour, then in colour 0.
void Shadowed(const char* text, int32_t x, int32_t y) {
    if (const BitmapFont* font = Font()) font_DrawShadowedString(text, font, x, y, 0, FONT_MODE_CODED);
}

const char* Label(void) {
    static const uint32_t entries[] = {477, 478, 494, 490, 492};
    static const char* const defaults[] = {"All:", "Squadron:", "Team:", "Side:", "Code:"};
    const uint32_t i = chat_Mode < 5 ? chat_Mode : 5;
    const char* text = Text(i < 5 ? entries[i] : 493);
    if (text) return text;
    return i < 5 ? defaults[i] : "Chat:";
}

void Panel(void) {
    const int32_t x = Scaled(10), y = Scaled(90), w = Scaled(300), h = Scaled(23);
    if (hw3d_Active && hw3d_Descriptor.shadedRect) {
        otw_UnlockSurface();
        hw3d_Descriptor.shadedRect(x, y, x + w, y + h, PANEL_COLOUR);
        otw_LockSurface();
        return;
    }
    draw_Context.destX = x;
    draw_Context.destY = y;
    draw_Context.width = w;
    draw_Context.height = h;
    draw_FillRectSlot(PANEL_COLOUR);
}

}  // namespace

void chat_InputClear(void) {
    chat_Active = 0;
    memset(chat_Text, 0, sizeof chat_Text);
}

void chat_Compose(void) {
    const char* name = app_Settings.PLAYER_NAME;
    if (chat_Mode == 0) {
        text_Format("%s ~0- %s", chat_Line, sizeof chat_Line, name, chat_Text);
    } else if (chat_Mode == 1) {
        if (const char* squadron = Text(TEXT_SQUADRON))
            text_Format("~1[%s] %s ~1- %s", chat_Line, sizeof chat_Line, squadron, name, chat_Text);
        else
            text_Format("~1[SQD] %s ~1- %s", chat_Line, sizeof chat_Line, name, chat_Text);
    } else {
        text_Format("%s", chat_Line, sizeof chat_Line, chat_Text);
    }
}

void chat_Send(void) {
    chat_Compose();
    if (level_GameMode.singlePlayer) return;
    Client_SendChat((uint16_t)chat_Mode, chat_Line);
}

void chat_LineKeys(void) {
    const int32_t macro = MacroKey();
    if (macro >= 0) {
        char* m = app_Ini.chat[macro];
        if (ekey_StateTable[KEY_SHIFT]) {
            text_CopyZ(m, chat_Text, APP_CHAT_MACRO_SIZE);
            app_IniWrite();
            Close();
        } else {
            memset(chat_Text, 0, sizeof chat_Text);
            text_CopyZ(chat_Text, m, sizeof chat_Text);
        }
        return;
    }
    if (inmap_KeyEvent.keyValue == 27) {
        Close();
        return;
    }
    if (!chat_Active) return;
    const uint8_t c = inmap_KeyEvent.character;
    if (c == 8) {
        const size_t length = strlen(chat_Text);
        if (length) chat_Text[length - 1] = 0;
    } else if (c == 13) {
        Enter();
    } else if (c >= 0x20 && c != 0x7F) {
        Type(c);
    }
}

void chat_InputTextFormat(char* out, size_t size) {
    if (!out || size == 0) return;
    if (chat_Text[0] != ':') {
        text_Format("~0]~5 %s_", out, size, chat_Text);
        return;
    }
    // A command code is never shown.
    text_CopyZ(out, "~0]~5 ", size);
    size_t n = strlen(out);
    for (size_t i = 0; chat_Text[i] && n + 2 < size; i++) out[n++] = '?';
    if (n + 1 < size) out[n++] = '_';
    out[n] = 0;
}

void chat_LineDraw(void) {
    chat_Active = 1;
    Panel();
    Shadowed(Label(), Scaled(24), Scaled(92));
    char line[CHAT_TEXT_SIZE + 16];
    chat_InputTextFormat(line, sizeof line);
    Shadowed(line, Scaled(15), Scaled(100));
}
