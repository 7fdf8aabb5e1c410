// The wizard's dialogs, drawn into a 32-bit frame with the built-in 8x8
// glyphs and shown through the display service. Places are the dialogs'
// own, in dialog units, two pixels each.
#include "update/wiz_ui.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "display/dtext.h"
#include "platform/display.h"

namespace {

constexpr int32_t kScale = 2;
constexpr uint32_t kFace = 0xC0C0C0, kLight = 0xFFFFFF, kShadow = 0x808080, kDark = 0x000000;
constexpr uint32_t kInk = 0x000000, kGreyInk = 0x808080, kBar = 0x000080, kField = 0xFFFFFF;

enum Kind { kLabel, kEdit, kButton, kProgress, kPicture, kTextBox };

struct Control {
    int32_t id;  // 0 for controls without one
    Kind kind;
    int32_t x, y, w, h;  // dialog units
    std::string text;
    bool enabled;
    bool isDefault;
};

struct Dialog {
    PlatHwnd hwnd = 0;
    int32_t width = 0, height = 0;  // pixels
    std::vector<Control> controls;
    std::vector<uint32_t> frame;
    int32_t low = 0, high = 100, pos = 0, step = 10;  // progress bar
    std::vector<std::string> lines;  // wrapped text of the text box
    int32_t top = 0;                 // first line shown
    PlatWndProc user = nullptr;
    int32_t answer = -1;             // modal answer
};

Dialog g_license, g_progress;

Dialog* DialogOf(PlatHwnd hwnd) {
    if (hwnd && g_progress.hwnd == hwnd) return &g_progress;
    if (hwnd && g_license.hwnd == hwnd) return &g_license;
    return nullptr;
}

Control* ControlOf(Dialog* d, int32_t id) {
    if (!d) return nullptr;
    for (Control& c : d->controls)
        if (c.id == id && id != 0) return &c;
    return nullptr;
}

// Proportional widths of the built-in glyphs.
int32_t GlyphWidth(unsigned char ch, int32_t* first) {
    *first = 0;
    if (ch < DTEXT_FIRST || ch > DTEXT_LAST) return 4;
    const uint8_t* art = dtext_Glyphs.data() + (ch - DTEXT_FIRST) * 64;
    int32_t lo = 8, hi = -1;
    for (int32_t y = 0; y < 8; y++)
        for (int32_t x = 0; x < 8; x++)
            if (art[y * 8 + x]) lo = lo < x ? lo : x, hi = hi > x ? hi : x;
    if (hi < 0) return 4;
    *first = lo;
    return hi - lo + 2;
}

int32_t TextWidth(const std::string& s) {
    int32_t w = 0, first;
    for (unsigned char c : s) w += GlyphWidth(c, &first);
    return w;
}

void Fill(Dialog& d, int32_t x, int32_t y, int32_t w, int32_t h, uint32_t colour) {
    for (int32_t j = y < 0 ? 0 : y; j < y + h && j < d.height; j++)
        for (int32_t i = x < 0 ? 0 : x; i < x + w && i < d.width; i++) d.frame[(size_t)j * d.width + i] = colour;
}

void Bevel(Dialog& d, int32_t x, int32_t y, int32_t w, int32_t h, bool raised) {
    uint32_t tl = raised ? kLight : kShadow, br = raised ? kDark : kLight;
    Fill(d, x, y, w, 1, tl);
    Fill(d, x, y, 1, h, tl);
    Fill(d, x, y + h - 1, w, 1, br);
    Fill(d, x + w - 1, y, 1, h, br);
}

void Text(Dialog& d, int32_t x, int32_t y, const std::string& s, uint32_t colour, int32_t right) {
    for (unsigned char c : s) {
        int32_t first = 0, w = GlyphWidth(c, &first);
        if (x + w > right) break;
        if (c >= DTEXT_FIRST && c <= DTEXT_LAST) {
            const uint8_t* art = dtext_Glyphs.data() + (c - DTEXT_FIRST) * 64;
            for (int32_t j = 0; j < 8; j++)
                for (int32_t i = first; i < 8; i++)
                    if (art[j * 8 + i]) Fill(d, x + i - first, y + j, 1, 1, colour);
        }
        x += w;
    }
}

// A made-up picture of the wizard: sky over hills.
void Picture(Dialog& d, int32_t x, int32_t y, int32_t w, int32_t h) {
    for (int32_t j = 0; j < h; j++)
        for (int32_t i = 0; i < w; i++) {
            int32_t hill = h * 3 / 4 + (int32_t)((i * 7 + j) % 11) / 4 - (i < w / 2 ? i / 6 : (w - i) / 6);
            uint32_t c = j > hill ? 0x2F6F2F + ((uint32_t)(j - hill) << 8)
                                  : ((uint32_t)(0x40 + j * 0x80 / h) << 16) | ((uint32_t)(0x60 + j * 0x60 / h) << 8) | 0xE0;
            Fill(d, x + i, y + j, 1, 1, c);
        }
    Bevel(d, x, y, w, h, false);
}

void Draw(Dialog& d) {
    if (!plat_WindowIsValid(d.hwnd)) return;
    d.frame.assign((size_t)d.width * d.height, kFace);
    for (const Control& c : d.controls) {
        int32_t x = c.x * kScale, y = c.y * kScale, w = c.w * kScale, h = c.h * kScale;
        uint32_t ink = c.enabled ? kInk : kGreyInk;
        switch (c.kind) {
        case kLabel: Text(d, x, y + (h - 8) / 2, c.text, ink, x + w + 40); break;
        case kEdit:
            Fill(d, x, y, w, h, kFace);
            Bevel(d, x, y, w, h, false);
            Text(d, x + 4, y + (h - 8) / 2, c.text, ink, x + w - 3);
            break;
        case kButton:
            Bevel(d, x, y, w, h, true);
            if (c.isDefault) {
                Fill(d, x - 1, y - 1, w + 2, 1, kDark);
                Fill(d, x - 1, y + h, w + 2, 1, kDark);
                Fill(d, x - 1, y - 1, 1, h + 2, kDark);
                Fill(d, x + w, y - 1, 1, h + 2, kDark);
            }
            Text(d, x + (w - TextWidth(c.text)) / 2, y + (h - 8) / 2, c.text, ink, x + w);
            break;
        case kProgress: {
            Bevel(d, x, y, w, h, false);
            int32_t range = d.high - d.low;
            if (c.enabled && range > 0) {
                int32_t p = d.pos < d.low ? 0 : d.pos > d.high ? range : d.pos - d.low;
                Fill(d, x + 2, y + 2, (int32_t)((int64_t)(w - 4) * p / range), h - 4, kBar);
            }
            break;
        }
        case kPicture: Picture(d, x, y, w, h); break;
        case kTextBox: {
            Fill(d, x, y, w, h, kField);
            Bevel(d, x, y, w, h, false);
            Fill(d, x + w - 18, y + 2, 16, h - 4, kFace);
            Bevel(d, x + w - 18, y + 2, 16, h - 4, true);
            int32_t rows = (h - 8) / 10;
            for (int32_t r = 0; r < rows && d.top + r < (int32_t)d.lines.size(); r++)
                Text(d, x + 4, y + 4 + r * 10, d.lines[(size_t)(d.top + r)], kInk, x + w - 20);
            break;
        }
        }
    }
    PlatPixelFormat fmt{32, 0xFF0000, 0xFF00, 0xFF, 0};
    plat_DisplayPresent(d.frame.data(), d.width, d.height, d.width * 4, &fmt);
}

const Control* Hit(Dialog& d, int32_t px, int32_t py) {
    for (const Control& c : d.controls)
        if (px >= c.x * kScale && px < (c.x + c.w) * kScale && py >= c.y * kScale && py < (c.y + c.h) * kScale)
            return &c;
    return nullptr;
}

bool MakeWindow(Dialog& d, const char* className, const char* title, int32_t wDu, int32_t hDu, PlatWndProc proc) {
    d.width = wDu * kScale;
    d.height = hDu * kScale;
    d.hwnd = plat_WindowCreate(className, title, d.width, d.height, proc, 1);
    if (!d.hwnd) return false;
    PlatPixelFormat fmt;
    plat_DisplaySetMode(d.hwnd, d.width, d.height, 32, 0, &fmt);
    return true;
}

void Wrap(Dialog& d, const char* text, int32_t width) {
    d.lines.clear();
    std::string line, word;
    auto flushWord = [&]() {
        if (word.empty()) return;
        std::string tryLine = line.empty() ? word : line + " " + word;
        if (!line.empty() && TextWidth(tryLine) > width) {
            d.lines.push_back(line);
            line = word;
        } else {
            line = tryLine;
        }
        word.clear();
    };
    for (const char* p = text;; p++) {
        if (*p == ' ' || *p == '\n' || *p == 0) {
            flushWord();
            if (*p == '\n' || *p == 0) {
                d.lines.push_back(line);
                line.clear();
            }
            if (*p == 0) break;
        } else if (*p != '\r') {
            word.push_back(*p);
        }
    }
}

void Scroll(Dialog& d, int32_t by) {
    int32_t rows = (153 * kScale - 8) / 10;
    int32_t maxTop = (int32_t)d.lines.size() - rows;
    d.top += by;
    if (d.top > maxTop) d.top = maxTop;
    if (d.top < 0) d.top = 0;
    Draw(d);
}

intptr_t LicenseProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    Dialog& d = g_license;
    switch (msg) {
    case WM_LBUTTONUP: {
        const Control* c = Hit(d, plat_LoWordSigned(lParam), plat_HiWordSigned(lParam));
        if (c && c->kind == kButton) d.answer = c->id == WIZ_ID_ACCEPT ? 1 : 0;
        if (c && c->kind == kTextBox) {
            int32_t rows = (c->h * kScale - 8) / 10;
            bool bar = plat_LoWordSigned(lParam) >= (c->x + c->w) * kScale - 18;
            if (bar) Scroll(d, plat_HiWordSigned(lParam) < (c->y + c->h / 2) * kScale ? -rows : rows);
        }
        return 0;
    }
    case WM_KEYDOWN:
        switch (wParam) {
        case 0x0D: d.answer = 1; break;  // Enter: the default button
        case 0x1B: d.answer = 0; break;
        case 0x26: Scroll(d, -1); break;
        case 0x28: Scroll(d, 1); break;
        case 0x21: Scroll(d, -10); break;
        case 0x22: Scroll(d, 10); break;
        default: break;
        }
        return 0;
    case WM_PAINT: Draw(d); return 0;
    case WM_CLOSE: d.answer = 0; return 0;
    default: return plat_DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

intptr_t ProgressProc(PlatHwnd hwnd, uint32_t msg, uintptr_t wParam, intptr_t lParam) {
    Dialog& d = g_progress;
    if (msg == WM_CREATE) {
        d.hwnd = hwnd;
        return d.user(hwnd, msg, wParam, lParam);
    }
    switch (msg) {
    case WM_LBUTTONUP: {
        const Control* c = Hit(d, plat_LoWordSigned(lParam), plat_HiWordSigned(lParam));
        if (c && c->kind == kButton && c->enabled) plat_PostMessage(hwnd, WM_COMMAND, (uintptr_t)c->id, 0);
        return 0;
    }
    case WM_KEYDOWN:
        if (wParam == 0x1B) plat_PostMessage(hwnd, WM_COMMAND, WIZ_ID_CANCEL, 0);
        if (wParam == 0x0D) {
            const Control* f = ControlOf(&d, WIZ_ID_FINISH);
            if (f && f->enabled) plat_PostMessage(hwnd, WM_COMMAND, WIZ_ID_FINISH, 0);
        }
        return 0;
    case WM_PAINT: Draw(d); return 0;
    case WM_DESTROY: {
        intptr_t r = d.user(hwnd, msg, wParam, lParam);
        d.hwnd = 0;
        return r;
    }
    default: return d.user(hwnd, msg, wParam, lParam);
    }
}

}  // namespace

int32_t wizui_License(const char* text) {
    if (plat_IsHeadless()) {
        PlatDialogSpec spec = {"LICENSE", "Tarvesk User Agreement", "Tarvesk User Agreement",
                               WIZ_ID_ACCEPT, "Accept", WIZ_ID_CANCEL, "Cancel", nullptr, 0};
        return plat_DialogShow(&spec) == WIZ_ID_ACCEPT;
    }
    Dialog& d = g_license;
    d = Dialog{};
    d.controls = {
        {WIZ_ID_ACCEPT, kButton, 237, 168, 50, 14, "Accept", true, true},
        {WIZ_ID_CANCEL, kButton, 7, 168, 50, 14, "Cancel", true, false},
        {WIZ_ID_LICENSE_TEXT, kTextBox, 7, 7, 280, 153, "", true, false},
    };
    Wrap(d, text ? text : "", 280 * kScale - 28);
    if (!MakeWindow(d, "WizLicense", "Tarvesk User Agreement", 294, 189, LicenseProc)) return 0;
    Draw(d);
    PlatMsg m;
    while (d.answer < 0) {
        if (!plat_GetMessage(&m)) {
            d.answer = 0;
            break;
        }
        plat_TranslateMessage(&m);
        plat_DispatchMessage(&m);
    }
    plat_WindowDestroy(d.hwnd);
    d.hwnd = 0;
    return d.answer;
}

PlatHwnd wizui_ProgressCreate(const char* title, PlatWndProc proc) {
    Dialog& d = g_progress;
    d = Dialog{};
    d.user = proc;
    d.controls = {
        {0, kPicture, 15, 7, 80, 161, "", true, false},
        {0, kLabel, 116, 8, 66, 8, "Destination Directory", true, false},
        {WIZ_ID_DIRECTORY, kEdit, 116, 19, 162, 14, "", true, false},
        {0, kLabel, 116, 41, 21, 8, "Status", true, false},
        {WIZ_ID_STATUS, kEdit, 116, 52, 162, 14, "", true, false},
        {WIZ_ID_RESOURCE_LABEL, kLabel, 116, 82, 72, 8, "Processing Resources", false, false},
        {WIZ_ID_PROGRESS, kProgress, 116, 92, 162, 14, "", false, false},
        {WIZ_ID_CANCEL_BUTTON, kButton, 116, 153, 50, 14, "Cancel", true, false},
        {WIZ_ID_FINISH, kButton, 228, 153, 50, 14, "Finish", false, false},
    };
    if (!proc || !MakeWindow(d, "WizProgress", title, 293, 175, ProgressProc)) return 0;
    Draw(d);
    return d.hwnd;
}

void wizui_SetText(PlatHwnd dialog, int32_t id, const char* text) {
    Dialog* d = DialogOf(dialog);
    Control* c = ControlOf(d, id);
    if (!c) return;
    c->text = text ? text : "";
    if (id == WIZ_ID_STATUS) fprintf(stderr, "status: %s\n", c->text.c_str());
    Draw(*d);
}

void wizui_Enable(PlatHwnd dialog, int32_t id, int32_t enabled) {
    Dialog* d = DialogOf(dialog);
    Control* c = ControlOf(d, id);
    if (!c) return;
    c->enabled = enabled != 0;
    Draw(*d);
    // Nobody is there to press it.
    if (id == WIZ_ID_FINISH && enabled && plat_IsHeadless())
        plat_PostMessage(dialog, WM_COMMAND, WIZ_ID_FINISH, 0);
}

void wizui_ProgressRange(PlatHwnd dialog, int32_t low, int32_t high) {
    if (Dialog* d = DialogOf(dialog)) {
        d->low = low;
        d->high = high;
        Draw(*d);
    }
}

void wizui_ProgressSetStep(PlatHwnd dialog, int32_t step) {
    if (Dialog* d = DialogOf(dialog)) d->step = step;
}

void wizui_ProgressSetPos(PlatHwnd dialog, int32_t pos) {
    if (Dialog* d = DialogOf(dialog)) {
        d->pos = pos;
        Draw(*d);
    }
}

void wizui_ProgressStepIt(PlatHwnd dialog) {
    if (Dialog* d = DialogOf(dialog)) {
        d->pos += d->step;
        if (d->pos > d->high) d->pos = d->low;  // as the control wraps
        Draw(*d);
    }
}

int32_t wizui_ControlCentre(int32_t id, int32_t* x, int32_t* y) {
    static const struct { int32_t id, x, y, w, h; } kPlaces[] = {
        {WIZ_ID_ACCEPT, 237, 168, 50, 14},       {WIZ_ID_CANCEL, 7, 168, 50, 14},
        {WIZ_ID_CANCEL_BUTTON, 116, 153, 50, 14}, {WIZ_ID_FINISH, 228, 153, 50, 14},
    };
    for (const auto& p : kPlaces)
        if (p.id == id) {
            if (x) *x = (p.x + p.w / 2) * kScale;
            if (y) *y = (p.y + p.h / 2) * kScale;
            return 0;
        }
    return -1;
}
