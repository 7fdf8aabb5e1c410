// The MFD page tree: page rings, the sub-mode word, the button dispatch and
// its handlers, and the store pages built from the weapons on board.
#include <gtest/gtest.h>

#include "cockpit/mfd.h"
#include "fixtures/heaps.h"
#include "render/view.h"
#include "sim/ord.h"
#include "sim/weapon.h"

namespace {

class MfdPages : public ::testing::Test {
protected:
    void SetUp() override {
        // A heap the earlier tests of this program made is kept (their
        // blocks stay valid).
        if (!mem_MainHeap.base) {
            ASSERT_EQ(test_HeapsFresh(1u << 20, 0, 0), 0);
        }
        mem_CurrentHeap = &mem_MainHeap;
        if (ord_Manager) ord_ManagerDestroy();
        weapon_CurrentReset();
        mfd_PagesReset();
        mfd_LeftDeclutter = mfd_RightDeclutter = 0;
        weapon_GunMode = 0;
    }
    void TearDown() override {
        if (ord_Manager) ord_ManagerDestroy();
        weapon_CurrentReset();
        mfd_StorePagesSetup();
        mfd_PagesReset();
        mfd_LeftDeclutter = mfd_RightDeclutter = 0;
        view_Words.pending = nullptr;
    }
    static int32_t Left() { return mfd_PageIndex(mfd_LeftPage); }
    static int32_t Right() { return mfd_PageIndex(mfd_RightPage); }
    // Button code of bezel index i of the left (base 3) or right (25) MFD.
    static int32_t Code(bool right, int32_t index) {
        for (int32_t c = 0; c < 20; c++)
            if (mfd_ButtonIndex((right ? 25 : 3) + c) == index) return (right ? 25 : 3) + c;
        return -1;
    }
    static void Press(bool right, int32_t index) { mfd_ButtonPress(MFD_BUTTON_DOWN | MFD_BUTTON_PRESSED, Code(right, index)); }
};

TEST_F(MfdPages, TopPagesFormARingAndOpsWork) {
    EXPECT_EQ(Left(), 4);
    EXPECT_EQ(Right(), 2);
    // next/previous around the six top pages, both ways.
    const int32_t ring[6] = {0, 1, 2, 3, 4, 5};
    for (int32_t i = 0; i < 6; i++) {
        mfd_LeftPageSet(3, ring[i]);
        EXPECT_EQ(mfd_LeftPageSet(1, 0), ring[(i + 1) % 6]);
        EXPECT_EQ(mfd_LeftPageSet(2, 0), ring[i]);
    }
    mfd_RightPageSet(3, 5);
    EXPECT_EQ(mfd_RightPageSet(0x101, 0), 0) << "low byte of op";
    EXPECT_EQ(mfd_PageTable[Right()].page, 6);
    EXPECT_EQ(mfd_RightPageSet(2, 0), 5);
    // Records 23 and 24 have no ring: next and previous stay.
    mfd_RightPageSet(3, 23);
    EXPECT_EQ(mfd_RightPageSet(1, 0), 1);
    EXPECT_EQ(Right(), 23);
    // Out-of-range records and unknown ops leave the page.
    EXPECT_EQ(mfd_RightPageSet(3, 41), 41);
    EXPECT_EQ(mfd_RightPageSet(7, 0), 7);
    EXPECT_EQ(Right(), 23);
    EXPECT_EQ(mfd_RightPageSet(0, 0), 0);
    EXPECT_EQ(Right(), 2);
}

TEST_F(MfdPages, SubModeWrapsAndRefusesOutOfRange) {
    const struct {
        int32_t from, op, value, to;
    } cases[] = {{5, 1, 0, 0}, {0, 2, 0, 5}, {2, 1, 0, 3}, {3, 2, 0, 2}, {2, 3, 6, 2},
                 {2, 3, -1, 2}, {2, 3, 5, 5}, {4, 0, 0, 0}, {4, 9, 0, 4}};
    for (const auto& c : cases) {
        mfd_SubMode = c.from;
        mfd_SubModeSet(c.op, c.value);
        EXPECT_EQ(mfd_SubMode, c.to) << c.from << " op " << c.op << " " << c.value;
    }
}

TEST_F(MfdPages, ButtonCodesMapToBezelIndices) {
    // Codes 3..7 are the top row right to left, 8..12 the right column,
    // 13..17 the left column, 18..22 the bottom row; the same from 25.
    const struct {
        int32_t code, index;
    } cases[] = {{3, 10}, {7, 14}, {8, 5}, {12, 9}, {13, 0}, {17, 4}, {18, 15}, {22, 19},
                 {25, 10}, {35, 0}, {40, 15}, {44, 19}, {0, -1}, {23, -1}, {24, -1}, {45, -1}};
    for (const auto& c : cases) EXPECT_EQ(mfd_ButtonIndex(c.code), c.index) << c.code;
    // The panel actions named "left" press the right MFD's buttons.
    EXPECT_EQ(mfd_PanelButtonCodes[10], 35);  // left L1 -> right MFD index 0
    EXPECT_EQ(mfd_PanelButtonCodes[30], 13);  // right L1 -> left MFD index 0
    EXPECT_EQ(mfd_PanelButtonCodes[1], 0);
}

TEST_F(MfdPages, ButtonsFollowTargetsAndNullTargetsDoNothing) {
    mfd_LeftPageSet(3, 0);
    Press(false, 0);  // menu page: button 0 -> stores page (record 3)
    EXPECT_EQ(Left(), 3);
    EXPECT_EQ(Right(), 2);
    Press(false, 9);
    EXPECT_EQ(Left(), 0);
    // A held (not pressed) button does not follow.
    mfd_ButtonPress(MFD_BUTTON_DOWN, Code(false, 0));
    EXPECT_EQ(Left(), 0);
    // A null target on a page without handler: nothing changes.
    mfd_LeftPageSet(3, 1);
    EXPECT_EQ(mfd_ButtonPress(MFD_BUTTON_PRESSED, Code(false, 3)), 0);
    EXPECT_EQ(Left(), 1);
    // No flags: nothing.
    mfd_RightPageSet(3, 0);
    mfd_ButtonPress(0, Code(true, 0));
    EXPECT_EQ(Right(), 0);
    Press(true, 0);
    EXPECT_EQ(Right(), 3);
    EXPECT_EQ(Left(), 1);
}

TEST_F(MfdPages, ButtonFifteenTogglesDeclutterOnAnyPage) {
    for (int32_t rec : {0, 4, 17}) {
        mfd_LeftPageSet(3, rec);
        mfd_RightPageSet(3, rec);
        EXPECT_NE(mfd_ButtonPress(MFD_BUTTON_PRESSED, 18), 0);
        EXPECT_EQ(mfd_LeftDeclutter, 1);
        EXPECT_EQ(mfd_RightDeclutter, 0);
        mfd_ButtonPress(MFD_BUTTON_PRESSED, 40);
        EXPECT_EQ(mfd_RightDeclutter, 1);
        mfd_ButtonPress(MFD_BUTTON_PRESSED, 18);
        mfd_ButtonPress(MFD_BUTTON_PRESSED, 40);
        EXPECT_EQ(mfd_LeftDeclutter + mfd_RightDeclutter, 0);
        EXPECT_EQ(Left(), rec);
    }
}

TEST_F(MfdPages, PanelKeysSelectViewModesAndTakeTheirCodes) {
    view_Words.pending = nullptr;
    EXPECT_NE(mfd_PanelKey(MFD_BUTTON_DOWN, 45), 0) << "taken while only held";
    EXPECT_EQ(view_Words.pending, nullptr);
    for (int32_t code : {0, 23, 24, 45, 46, 47, 48, 49, 50}) EXPECT_NE(mfd_PanelKey(MFD_BUTTON_DOWN, code), 0) << code;
    for (int32_t code : {1, 2, 19, 44, 51, 99}) EXPECT_EQ(mfd_PanelKey(MFD_BUTTON_PRESSED, code), 0) << code;
}

TEST_F(MfdPages, ModeMenusSetTheSubModeAndReturnToTheSituationPage) {
    const struct {
        int32_t record, index, subMode;
    } cases[] = {{15, 1, 0}, {15, 3, 1}, {13, 3, 1}, {16, 0, 5}, {16, 1, 3}, {16, 2, 2}, {16, 3, 4}, {14, 0, 5}};
    for (const auto& c : cases) {
        mfd_SubMode = 3;
        mfd_RightPageSet(3, c.record);
        Press(true, c.index);
        EXPECT_EQ(mfd_SubMode, c.subMode) << c.record << " " << c.index;
        EXPECT_EQ(Right(), MFD_REC_SITUATION);
    }
    // The back button of a menu is not the handler's: it follows its target.
    mfd_RightPageSet(3, 15);
    Press(true, 9);
    EXPECT_EQ(Right(), 6);
}

TEST_F(MfdPages, StorePagesPlaceWeaponsInButtonOrder) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    // Ten ground weapons, one air-to-air, one of the other group, one
    // without a page.
    for (int32_t type : {15, 16, 17, 18, 29, 30, 31, 32, 33, 34, 1, 12, 5}) ASSERT_NE(ord_PanelAdd(type, 2, 2, -1), nullptr) << type;
    mfd_StorePagesSetup();
    const MfdPageRecord& ground = mfd_PageTable[MFD_REC_STORES_GROUND];
    const int32_t order[8] = {1, 3, 2, 0, 4, 7, 6, 5};
    const int32_t targets[8] = {25, 26, 27, 28, 31, 32, 33, 34};
    for (int32_t n = 0; n < 8; n++) EXPECT_EQ(ground.buttons[order[n]], targets[n]) << n;
    EXPECT_EQ(ground.buttons[8], MFD_REC_STORES_MORE);
    EXPECT_EQ(ground.buttons[9], 3);
    const MfdPageRecord& more = mfd_PageTable[MFD_REC_STORES_MORE];
    EXPECT_EQ(more.buttons[1], 35);
    EXPECT_EQ(more.buttons[3], 36);
    EXPECT_EQ(mfd_PageTable[MFD_REC_STORES_AIR].buttons[1], 29);
    EXPECT_EQ(mfd_PageTable[MFD_REC_STORES_OTHER].buttons[1], 39);
    // A set-up without weapons leaves only the back buttons.
    ord_ManagerDestroy();
    mfd_StorePagesSetup();
    for (int32_t r = MFD_REC_STORES_AIR; r <= MFD_REC_STORES_MORE; r++)
        for (int32_t b = 0; b < 9; b++) EXPECT_EQ(mfd_PageTable[r].buttons[b], -1) << r << " " << b;
    EXPECT_EQ(mfd_PageTable[MFD_REC_STORES_AIR].buttons[9], 3);
}

TEST_F(MfdPages, StorePageButtonSelectsItsWeapon) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    ASSERT_NE(ord_PanelAdd(0, 100, 100, -1), nullptr);
    ASSERT_NE(ord_PanelAdd(1, 2, 2, -1), nullptr);
    mfd_StorePagesSetup();
    weapon_Select(0);
    mfd_LeftPageSet(3, MFD_REC_STORES_AIR);
    Press(false, 1);
    EXPECT_EQ(weapon_CurrentId, 1);
    EXPECT_EQ(Left(), MFD_REC_STORES);
    // An empty button is not taken and nothing follows.
    mfd_LeftPageSet(3, MFD_REC_STORES_AIR);
    Press(false, 0);
    EXPECT_EQ(Left(), MFD_REC_STORES_AIR);
}

TEST_F(MfdPages, SubModeFollowsTheWeapon) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    for (int32_t type : {0, 1, 15, 5}) ASSERT_NE(ord_PanelAdd(type, 2, 2, -1), nullptr);
    const struct {
        int32_t weapon, gunMode, from, to;
    } cases[] = {{1, 0, 4, 0}, {1, 0, 1, 1}, {15, 0, 0, 5}, {15, 0, 3, 3}, {0, 0, 2, 0},
                 {0, 1, 0, 5}, {0, 1, 2, 2}, {5, 0, 4, 4}};
    for (const auto& c : cases) {
        weapon_Select(c.weapon);
        weapon_GunMode = c.gunMode;
        mfd_SubMode = c.from;
        mfd_SubModeFollowWeapon();
        EXPECT_EQ(mfd_SubMode, c.to) << c.weapon << " " << c.gunMode << " " << c.from;
    }
}

TEST_F(MfdPages, GameKeysStepPagesAndSubMode) {
    const struct {
        int32_t key, left, right, subMode;
    } cases[] = {{58, 5, 2, 0}, {57, 4, 2, 0}, {60, 4, 3, 0}, {59, 4, 2, 0}, {62, 4, 2, 1}, {61, 4, 2, 0}, {61, 4, 2, 5}};
    for (const auto& c : cases) {
        EXPECT_NE(mfd_GameKey(c.key), 0);
        EXPECT_EQ(Left(), c.left) << c.key;
        EXPECT_EQ(Right(), c.right) << c.key;
        EXPECT_EQ(mfd_SubMode, c.subMode) << c.key;
    }
    EXPECT_EQ(mfd_GameKey(63), 0);
    // A panel action presses its translated button.
    mfd_LeftPageSet(3, 0);
    mfd_ControlsStep(30, -1, 0);  // right L1 -> left MFD index 0
    EXPECT_EQ(Left(), 3);
}

}  // namespace
