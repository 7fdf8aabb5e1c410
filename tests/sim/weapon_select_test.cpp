// Selecting the current weapon: the nine steps, stepping through panels,
// kind jumps and cycling within a kind, and the weapon keys.
#include <vector>

#include "ord_fixture.h"

MnuCampList test_CampaignStock = {};

namespace {

std::vector<std::pair<int32_t, int32_t>> g_trigs;

}  // namespace

// The test sees the trigger messages the selection queues.
// (linked with --wrap, so the selection's calls come here)
extern "C" void __wrap__Z21Client_SendPlayerTrigtt(uint16_t value, uint16_t trigger) {
    g_trigs.push_back({trigger, value});
}

namespace {

class WeaponSelect : public OrdEnv {
protected:
    void SetUp() override {
        OrdEnv::SetUp();
        g_trigs.clear();
    }
};

TEST_F(WeaponSelect, CopiesTheRowFindsThePanelAndQueuesTheTrigger) {
    Panels({0, 2, 1});
    weapon_Select(2);
    EXPECT_EQ(weapon_CurrentId, 2);
    EXPECT_EQ(weapon_CurrentRow, &weapon_Types[2]);
    EXPECT_EQ(memcmp(&weapon_Current, &weapon_Types[2], sizeof weapon_Current), 0);
    EXPECT_EQ(weapon_CurrentPanelIndex, 1);  // gun, AIM120, AIM9M
    EXPECT_EQ(weapon_CurrentMount, -1);      // carried without mounts
    ASSERT_EQ(g_trigs.size(), 1u);
    EXPECT_EQ(g_trigs[0], std::make_pair(12, 2));

    // Selected again: nothing reruns.
    weapon_SeekerHead[0] = 3.0f;
    weapon_Select(2);
    EXPECT_EQ(weapon_SeekerHead[0], 3.0f);
    EXPECT_EQ(g_trigs.size(), 1u);

    // None: an all-zero record with index -1 and no message.
    weapon_Select(77);
    EXPECT_EQ(weapon_CurrentId, -1);
    EXPECT_EQ(weapon_CurrentRow, nullptr);
    EXPECT_EQ(weapon_Current.index, -1);
    EXPECT_EQ(weapon_Current.kind, 0u);
    EXPECT_EQ(weapon_Current.id, nullptr);
    EXPECT_EQ(weapon_CurrentPanelIndex, -1);
    EXPECT_EQ(weapon_SeekerHead[0], 0.0f);
    EXPECT_EQ(g_trigs.size(), 1u);

    // A type without a panel is current without panel and mount.
    weapon_Select(30);
    EXPECT_EQ(weapon_CurrentId, 30);
    EXPECT_EQ(weapon_CurrentPanelIndex, -1);
    EXPECT_EQ(weapon_CurrentMount, -1);
}

TEST_F(WeaponSelect, TheMountIsTheOneTheNextReleaseUses) {
    ASSERT_NE(ord_ManagerCreate(), nullptr);
    ord_PanelAdd(1, 0, 0, -1);
    ord_MountAddByType(69, 1, 1, 1)->arm = -2.0f;
    ord_MountAddByType(80, 1, 1, 1)->arm = 2.0f;
    ord_Recount();
    weapon_Select(1);
    EXPECT_EQ(weapon_CurrentMount, 0);  // balanced: the smallest arm
}

struct StepCase {
    bool next;
    std::vector<int32_t> panels;  // panel index after each step, -1 none
};

TEST_F(WeaponSelect, StepsRunThroughThePanelsWithNoneBetween) {
    const StepCase cases[] = {
        {true, {0, 1, 2, -1, 0}},
        {false, {2, 1, 0, -1, 2}},
    };
    for (const StepCase& c : cases) {
        SCOPED_TRACE(c.next ? "next" : "previous");
        Panels({0, 2, 1});
        weapon_Select(-1);
        for (int32_t want : c.panels) {
            c.next ? weapon_SelectNext() : weapon_SelectPrev();
            EXPECT_EQ(weapon_CurrentPanelIndex, want);
            EXPECT_EQ(weapon_CurrentId, want < 0 ? -1 : ord_PanelByIndex(want)->weaponId);
        }
    }
}

struct KeyCase {
    const char* what;
    std::vector<int32_t> panels;  // weapon types
    int32_t start;                // current weapon
    int32_t code;                 // key code
    std::vector<int32_t> after;   // current weapon after each press
};

TEST_F(WeaponSelect, WeaponKeys) {
    const KeyCase cases[] = {
        // Panels sort as gun, AIM120, AIM9M, AA8, MK82.
        {"AAM next from a bomb, again, wrapping", {0, 1, 2, 20, 30}, 30, 28, {2, 1, 20, 2}},
        {"AAM previous from a bomb", {0, 1, 2, 20, 30}, 30, 27, {20, 1, 2, 20}},
        {"AAM next with one AAM panel", {0, 2, 30}, 30, 28, {2, 2}},
        {"AAM next without AAM panels", {0, 30}, 30, 28, {30}},
        {"kind next from none, then on to none", {0, 2, 1, 30}, -1, 24, {0, 2, 30, -1}},
        {"kind previous from the last kind", {0, 2, 1, 30}, 30, 23, {2, 0, -1}},
        {"kind previous from none", {0, 2, 1, 30}, -1, 23, {30}},
        {"same next among the air-to-air panels", {0, 2, 1, 30}, 2, 26, {1, 2}},
        {"same next without a weapon", {0, 2, 30}, -1, 26, {-1}},
        {"bomb next", {0, 30, 31, 2}, 2, 32, {30, 31, 30}},
        {"pod previous", {0, 10, 12}, 0, 33, {12, 10, 12}},
        {"weapon 2 selects panel 2", {0, 2, 1}, -1, 14, {1}},
        {"weapon 9 without such a panel", {0, 2, 1}, 2, 21, {2}},
        {"none", {0, 2}, 2, 11, {-1}},
        {"cannon from a missile", {0, 2}, 2, 12, {0}},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        Panels(c.panels);
        weapon_CurrentReset();
        weapon_Select(c.start);
        for (int32_t want : c.after) {
            EXPECT_EQ(weapon_KeyCode(c.code), 1);
            EXPECT_EQ(weapon_CurrentId, want);
        }
    }
    EXPECT_EQ(weapon_KeyCode(35), 0);
    EXPECT_EQ(weapon_KeyCode(8), 0);
}

TEST_F(WeaponSelect, CannonOnTheGunPanelTogglesTheGunMode) {
    Panels({0, 2});
    weapon_KeyCode(12);
    EXPECT_EQ(weapon_CurrentId, 0);
    EXPECT_EQ(weapon_GunMode, 0);
    size_t trigs = g_trigs.size();
    weapon_KeyCode(12);
    EXPECT_EQ(weapon_CurrentId, 0);
    EXPECT_EQ(weapon_GunMode, 1);
    EXPECT_EQ(g_trigs.size(), trigs);
    weapon_KeyCode(12);
    EXPECT_EQ(weapon_GunMode, 0);
}

TEST_F(WeaponSelect, NoManagerNoSelection) {
    weapon_SelectNext();
    EXPECT_EQ(weapon_CurrentId, -1);
    weapon_SelectKindNext();
    weapon_SelectNextInKind(WEAPON_AAM);
    weapon_SelectByIndex(0);
    weapon_SelectByMount(0);
    EXPECT_EQ(weapon_CurrentId, -1);
}

}  // namespace
