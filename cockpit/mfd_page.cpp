// The MFD page tree: the 41 page records, the two current-page pointers,
// the situation display's sub-mode, the button dispatch with its page
// handlers and the store pages built from the weapons on board.
#include "cockpit/mfd.h"

#include <initializer_list>

#include "render/view.h"
#include "sim/ord.h"
#include "sim/weapon.h"

namespace {

constexpr int32_t N = -1;

struct ButtonLink {
    int32_t index, record;
};
// A page record with the listed buttons (index, record); the rest are null.
constexpr MfdPageRecord Rec(int32_t page, int32_t title, std::initializer_list<ButtonLink> links, int32_t previous,
                            int32_t next, MfdButtonHandler handler = nullptr) {
    MfdPageRecord r{page, title, {}, previous, next, handler, 0};
    for (int32_t& b : r.buttons) b = N;
    for (const ButtonLink& l : links) r.buttons[l.index] = l.record;
    return r;
}

#define AIR_MENU {{1, 19}, {3, 17}, {9, 6}}
#define GROUND_MENU {{0, 18}, {1, 20}, {2, 21}, {3, 22}, {9, 6}}

}  // namespace

MfdPageRecord mfd_PageTable[MFD_PAGE_RECORDS] = {
    Rec(6, 0x355, {{0, 3}, {1, 6}, {2, 5}, {3, 1}, {4, 2}}, 5, 1),
    Rec(0, 0x34C, {{9, 0}}, 0, 2),
    Rec(1, 0x34D, {{9, 0}}, 1, 3),
    Rec(7, 0x352, {{1, 9}, {2, 10}, {3, 11}, {9, 0}}, 2, 4),
    Rec(2, 0x350, {{9, 6}}, 3, 5),  // button 9 follows the sub-mode
    Rec(3, 0x34E, {{9, 0}}, 4, 0),
    Rec(14, 0x350, {{1, 13}, {3, 14}, {9, 0}}, 0, 4),
    Rec(5, 0x34E, {{1, 5}, {3, 8}, {9, 0}}, 0, 5),
    Rec(4, 0x34F, {{9, 7}}, 4, 5),
    Rec(8, 0x353, {{9, 3}}, 3, 4, mfd_WeaponSelectHandler),
    Rec(9, 0x354, {{9, 3}}, 3, 4, mfd_WeaponSelectHandler),
    Rec(13, 0x358, {{9, 3}}, 3, 4, mfd_WeaponSelectHandler),
    Rec(12, 0x357, {{9, 10}}, 3, 4, mfd_WeaponSelectHandler),
    Rec(10, 0x353, AIR_MENU, 3, 4, mfd_AirModeHandler),
    Rec(11, 0x354, GROUND_MENU, 3, 4, mfd_GroundModeHandler),
    Rec(10, 0x350, AIR_MENU, 3, 4, mfd_AirModeHandler),
    Rec(11, 0x350, GROUND_MENU, 3, 4, mfd_GroundModeHandler),
    Rec(16, 0x356, {}, 0, 4),
    Rec(17, 0x348, {}, 0, 4),
    Rec(15, 0x348, {}, 0, 4),
    Rec(18, 0x346, {}, 0, 4),
    Rec(19, 0x347, {}, 0, 4),
    Rec(20, 0x349, {}, 0, 4),
    Rec(37, -1, {}, N, N),
    Rec(38, -1, {}, N, N),
    // The weapon pages: their title names the weapon.
    Rec(21, 0x27E, {}, 0, 4),
    Rec(22, 0x27F, {}, 0, 4),
    Rec(23, 0x280, {}, 0, 4),
    Rec(24, 0x281, {}, 0, 4),
    Rec(25, 0x277, {}, 0, 4),
    Rec(26, 0x278, {}, 0, 4),
    Rec(27, 0x28C, {}, 0, 4),
    Rec(28, 0x28D, {}, 0, 4),
    Rec(29, 0x28E, {}, 0, 4),
    Rec(30, 0x28F, {}, 0, 4),
    Rec(31, 0x290, {}, 0, 4),
    Rec(32, 0x291, {}, 0, 4),
    Rec(33, 0x292, {}, 0, 4),
    Rec(34, 0x296, {}, 0, 4),
    Rec(35, 0x27B, {}, 0, 4),
    Rec(36, 0x27D, {}, 0, 4),
};

#undef AIR_MENU
#undef GROUND_MENU

namespace {

int32_t RecordOf(const MfdPageRecord* page) { return mfd_PageIndex(page); }

MfdPageRecord* At(int32_t record) {
    return record >= 0 && record < MFD_PAGE_RECORDS ? &mfd_PageTable[record] : nullptr;
}

int32_t PageSet(MfdPageRecord*& current, int32_t defaultRecord, int32_t op, int32_t record) {
    switch (op & 0xFF) {
    case 0: current = At(defaultRecord); break;
    case 1:
        if (current && current->next >= 0) {
            current = At(current->next);
            return RecordOf(current);
        }
        break;
    case 2:
        if (current && current->previous >= 0) {
            current = At(current->previous);
            return RecordOf(current);
        }
        break;
    case 3:
        if (MfdPageRecord* r = At(record)) current = r;
        return record;
    default: break;
    }
    return op;
}

// The MFD whose bezel a button code belongs to: 0 left, 1 right, -1 none.
int32_t Side(int32_t code) {
    if (code >= 3 && code <= 22) return 0;
    if (code >= 25 && code <= 44) return 1;
    return -1;
}

void SetPageOf(int32_t code, int32_t record) {
    if (Side(code) == 1) mfd_RightPageSet(3, record);
    else mfd_LeftPageSet(3, record);
}

MfdPageRecord* PageOf(int32_t code) { return Side(code) == 1 ? mfd_RightPage : mfd_LeftPage; }

// Weapon type of a weapon page's title id, -1 for none.
int32_t WeaponOfTitle(int32_t title) {
    static const int32_t kTitles[16][2] = {
        {631, 1},  {632, 2},  {635, 12}, {637, 14}, {638, 15}, {639, 16}, {640, 17}, {641, 18},
        {652, 29}, {653, 30}, {654, 31}, {655, 32}, {656, 33}, {657, 34}, {658, 35}, {662, 10},
    };
    for (const auto& t : kTitles)
        if (t[0] == title) return t[1];
    return -1;
}

// The cockpit view mode that each panel-key code selects.
ViewModeRecord* PanelViewMode(int32_t code) {
    static const int32_t kModes[][2] = {
        {0, VIEW_MODE_HUD},      {23, VIEW_MODE_STORES},     {24, VIEW_MODE_STICK},
        {45, VIEW_MODE_ATTACK},  {46, VIEW_MODE_HORIZON},    {47, VIEW_MODE_NAVIGATION},
        {48, VIEW_MODE_STATUS},  {49, VIEW_MODE_DEFENSE},    {50, VIEW_MODE_THROTTLE},
    };
    for (const auto& m : kModes)
        if (m[0] == code) return &view_ModeTable[m[1]];
    return nullptr;
}

}  // namespace

MfdPageRecord* mfd_LeftPage = &mfd_PageTable[MFD_REC_SITUATION];
MfdPageRecord* mfd_RightPage = &mfd_PageTable[MFD_REC_STATUS];
int32_t mfd_SubMode = 0;
int32_t mfd_LeftDeclutter = 0;
int32_t mfd_RightDeclutter = 0;

const int32_t mfd_PanelButtonCodes[MFD_PANEL_CODES] = {
    0,  0,  45, 23, 47,                  // none, HUD, left MFD, right MFD, centre
    29, 28, 27, 26, 25, 35, 36, 37, 38, 39, 30, 31, 32, 33, 34, 44, 43, 42, 41, 40,  // "left" T, L, R, B
    7,  6,  5,  4,  3,  13, 14, 15, 16, 17, 8,  9,  10, 11, 12, 22, 21, 20, 19, 18,  // "right" T, L, R, B
};

int32_t mfd_PageIndex(const MfdPageRecord* page) {
    if (!page || page < mfd_PageTable || page >= mfd_PageTable + MFD_PAGE_RECORDS) return -1;
    return (int32_t)(page - mfd_PageTable);
}

bool mfd_IsStorePage(const MfdPageRecord* page) {
    const int32_t r = mfd_PageIndex(page);
    return r >= MFD_REC_STORES_AIR && r <= MFD_REC_STORES_MORE;
}

int32_t mfd_LeftPageSet(int32_t op, int32_t record) { return PageSet(mfd_LeftPage, MFD_REC_SITUATION, op, record); }
int32_t mfd_RightPageSet(int32_t op, int32_t record) { return PageSet(mfd_RightPage, MFD_REC_STATUS, op, record); }

void mfd_SubModeSet(int32_t op, int32_t value) {
    switch (op) {
    case 0: mfd_SubMode = 0; break;
    case 1: mfd_SubMode = mfd_SubMode >= 5 ? 0 : mfd_SubMode + 1; break;
    case 2: mfd_SubMode = mfd_SubMode <= 0 ? 5 : mfd_SubMode - 1; break;
    case 3:
        if (value >= 0 && value <= 5) mfd_SubMode = value;
        break;
    default: break;
    }
}

int32_t mfd_ButtonIndex(int32_t code) {
    const int32_t side = Side(code);
    if (side < 0) return -1;
    const int32_t k = code - (side ? 25 : 3);
    if (k < 5) return k + 10;
    if (k < 10) return k;
    if (k < 15) return k - 10;
    return k;
}

int32_t mfd_PanelKey(int32_t flags, int32_t code) {
    if (code > 50) return 0;
    if (code == 18 || code == 40) {
        if (!(flags & MFD_BUTTON_PRESSED)) return 0;
        int32_t& d = code == 18 ? mfd_LeftDeclutter : mfd_RightDeclutter;
        d = !d;
        return 1;
    }
    if (ViewModeRecord* mode = PanelViewMode(code)) {
        if (flags & MFD_BUTTON_PRESSED) view_ModeSelectC(mode);
        return 1;
    }
    return 0;
}

int32_t mfd_ButtonPress(int32_t flags, int32_t code) {
    if (!flags) return 0;
    if (Side(code) < 0) return mfd_PanelKey(flags, code);
    MfdPageRecord* page = PageOf(code);
    if (page && page->handler && page->handler(flags, code)) return 1;
    if (mfd_PanelKey(flags, code)) return 1;
    if (flags & MFD_BUTTON_PRESSED) {
        page = PageOf(code);
        const int32_t index = mfd_ButtonIndex(code);
        if (page && page->buttons[index] >= 0) SetPageOf(code, page->buttons[index]);
    }
    return 0;
}

int32_t mfd_WeaponSelectHandler(int32_t flags, int32_t code) {
    const int32_t index = mfd_ButtonIndex(code);
    const MfdPageRecord* page = PageOf(code);
    if (!(flags & MFD_BUTTON_PRESSED) || index < 0 || index > 8 || !page) return 0;
    const MfdPageRecord* target = At(page->buttons[index]);
    const int32_t type = WeaponOfTitle(target ? target->titleId : -1);
    if (type < 0) return 0;
    weapon_Select(type);
    SetPageOf(code, MFD_REC_STORES);
    return 1;
}

int32_t mfd_AirModeHandler(int32_t flags, int32_t code) {
    if (!(flags & MFD_BUTTON_PRESSED)) return 0;
    const int32_t index = mfd_ButtonIndex(code);
    if (index != 1 && index != 3) return 0;
    mfd_SubModeSet(3, index == 1 ? 0 : 1);
    SetPageOf(code, MFD_REC_SITUATION);
    return 1;
}

int32_t mfd_GroundModeHandler(int32_t flags, int32_t code) {
    if (!(flags & MFD_BUTTON_PRESSED)) return 0;
    const int32_t index = mfd_ButtonIndex(code);
    static const int32_t kModes[4] = {5, 3, 2, 4};
    if (index < 0 || index > 3) return 0;
    mfd_SubModeSet(3, kModes[index]);
    SetPageOf(code, MFD_REC_SITUATION);
    return 1;
}

void mfd_StorePagesSetup(void) {
    static const int32_t kOrder[8] = {1, 3, 2, 0, 4, 7, 6, 5};
    for (int32_t r = MFD_REC_STORES_AIR; r <= MFD_REC_STORES_MORE; r++)
        for (int32_t b = 0; b < 9; b++) mfd_PageTable[r].buttons[b] = N;
    int32_t placed[MFD_PAGE_RECORDS] = {};
    int32_t ground = 0;
    const _ORDNANCE_MANAGER* m = ord_Manager;
    for (const _ORDNANCE_PANEL* p = m ? m->panels.head : nullptr; p; p = p->next) {
        static const int32_t kGround[11][2] = {{15, 25}, {16, 26}, {17, 27}, {18, 28}, {29, 31}, {30, 32},
                                               {31, 33}, {32, 34}, {33, 35}, {34, 36}, {35, 37}};
        int32_t record = N, target = N;
        switch (p->weaponId) {
        case 1: record = MFD_REC_STORES_AIR, target = 29; break;
        case 2: record = MFD_REC_STORES_AIR, target = 30; break;
        case 10: record = MFD_REC_STORES_OTHER, target = 38; break;
        case 12: record = MFD_REC_STORES_OTHER, target = 39; break;
        case 14: record = MFD_REC_STORES_OTHER, target = 40; break;
        default:
            for (const auto& g : kGround)
                if (g[0] == p->weaponId) {
                    ground++;
                    record = ground <= 8 ? MFD_REC_STORES_GROUND : MFD_REC_STORES_MORE;
                    target = g[1];
                    if (ground == 9) mfd_PageTable[MFD_REC_STORES_GROUND].buttons[8] = MFD_REC_STORES_MORE;
                }
            break;
        }
        if (record < 0) continue;
        const int32_t n = placed[record]++;
        if (n < 8) mfd_PageTable[record].buttons[kOrder[n]] = target;
    }
}

void mfd_SubModeFollowWeapon(void) {
    const int32_t type = weapon_CurrentId;
    const bool groundMode = mfd_SubMode == 2 || mfd_SubMode == 3 || mfd_SubMode == 5;
    bool toGround = false, toAir = false;
    if (type == 0) {
        // The gun in its air-to-ground sight mode.
        if (weapon_GunMode != 0) toGround = true;
        else toAir = true;
    } else if (type == 1 || type == 2) {
        toAir = true;
    } else if (type == 3 || (type >= 15 && type <= 18) || (type >= 29 && type <= 35)) {
        toGround = true;
    }
    if (toGround && !groundMode) mfd_SubMode = 5;
    if (toAir && mfd_SubMode != 0 && mfd_SubMode != 1) mfd_SubMode = 0;
}

void mfd_PagesReset(void) {
    mfd_LeftPageSet(0, 0);
    mfd_RightPageSet(0, 0);
    mfd_SubModeSet(0, 0);
}

int32_t mfd_GameKey(int32_t key) {
    switch (key) {
    case 57: mfd_LeftPageSet(2, 0); return 1;
    case 58: mfd_LeftPageSet(1, 0); return 1;
    case 59: mfd_RightPageSet(2, 0); return 1;
    case 60: mfd_RightPageSet(1, 0); return 1;
    case 61: mfd_SubModeSet(2, 0); return 1;
    case 62: mfd_SubModeSet(1, 0); return 1;
    default: return 0;
    }
}

void mfd_ControlsStep(int32_t panel, int32_t cursorItem, uint32_t mouseButtons) {
    if (panel > 0 && panel < MFD_PANEL_CODES)
        mfd_ButtonPress(MFD_BUTTON_DOWN | MFD_BUTTON_PRESSED, mfd_PanelButtonCodes[panel]);
    else if (cursorItem >= 0 && (mouseButtons & 7))
        mfd_ButtonPress((int32_t)(mouseButtons & 7), cursorItem);
}
