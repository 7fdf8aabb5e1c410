// The MFD situation, systems and stores pages on a 256 x 256 8-bit image.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "base/filetable.h"
#include "cockpit/avionkrx.h"
#include "cockpit/mfd.h"
#include "cockpit/mfd_sitpage.h"
#include "cockpit/mfd_threat.h"
#include "cockpit/vcp.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "net/client.h"
#include "sim/obj.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "world/level.h"
#include "mfd_fixture.h"

namespace {

constexpr int32_t W = 256;
constexpr uint8_t kLine = kMfdLine, kDark = kMfdDark, kGreen = kMfdGreen;

struct Pages : MfdSurface<W> {
    std::vector<FileTableEntry> entries = std::vector<FileTableEntry>(900, FileTableEntry{nullptr, 0, 0, 0});
    FileTable table{};
    void* savedData = nullptr;
    void SetUp() override {
        MfdSurface::SetUp();
        avion_LinkFlag = 1;
        table.count = (uint32_t)entries.size();
        table.entries = entries.data();
        savedData = level_GameData;
        level_GameData = &table;
    }
    void TearDown() override {
        level_GameData = savedData;
        avion_LinkFlag = 0;
        mfd_SubMode = 0;
        vcp_CockpitPanel = 0;
        mfd_PageShown[0] = mfd_PageShown[1] = 0;
        MfdSurface::TearDown();
    }
    int32_t LitIn(int32_t x0, int32_t y0, int32_t x1, int32_t y1, uint8_t v = kLine) const {
        return MfdSurface::LitIn(x0, y0, x1, y1, v);
    }
    // The 256-unit frame of the enlarged view mapped one unit to a pixel.
    void Enlarge() {
        mfd_EnlargedFlag = 1;
        const int32_t e = W * 128;
        draw_SetFloatClipWindow({0, 0}, {e, 0}, {e, e}, {0, e});
    }
};

// ---- Systems page ----

TEST_F(Pages, SystemsStateWordsByLine) {
    const struct {
        int32_t system, value;  // -1: none failed
        bool link;
        int32_t line;
        uint32_t text;
    } cases[] = {
        {-1, 0, true, 0, 735},  {-1, 0, false, 0, 748}, {0, 1, false, 0, 748}, {0, 1, true, 0, 736},
        {2, 1, true, 2, 736},   {4, 1, true, 2, 736},   {4, 7, true, 2, 736},  {9, 1, true, 6, 736},
        {18, 1, true, 11, 736}, {17, 1, true, 12, 736}, {15, 1, true, 14, 736},
    };
    for (const auto& c : cases) {
        for (int32_t& w : plane_SystemsDamage) w = 0;
        if (c.system >= 0) plane_SystemsDamage[c.system] = c.value;
        avion_LinkFlag = c.link ? 1 : 0;
        EXPECT_EQ(mfd_SystemsStateText(c.line), c.text) << c.system << " line " << c.line;
        // No other line changes.
        for (int32_t l = 0; l < 15; l++) {
            if (l == c.line || (l == 0 && !c.link)) continue;
            EXPECT_EQ(mfd_SystemsStateText(l), 735u) << l;
        }
    }
    // Systems without a line change nothing.
    avion_LinkFlag = 1;
    for (int32_t s : {7, 8, 16}) {
        for (int32_t& w : plane_SystemsDamage) w = 0;
        plane_SystemsDamage[s] = 1;
        for (int32_t l = 0; l < 15; l++) EXPECT_EQ(mfd_SystemsStateText(l), 735u) << s;
    }
}

TEST_F(Pages, SystemsPageDrawsFifteenLabelAndStateLines) {
    for (uint32_t n = 735; n <= 761; n++) entries[n].text = "ABC";
    mfd_DrawSystemsPage();
    // Labels from x 78, states from x 148, lines 10 pixels apart from 48.
    for (int32_t line = 0; line < 15; line++) {
        const int32_t y = 48 + 10 * line;
        EXPECT_GT(LitIn(78, y - 4, 100, y + 5), 0) << line;
        EXPECT_GT(LitIn(148, y - 4, 170, y + 5), 0) << line;
    }
    EXPECT_EQ(LitIn(0, 0, W, 40), 0);
    EXPECT_EQ(LitIn(0, 196, W, W), 0);
}

// ---- Stores page ----

struct Stores : Pages {
    _ORDNANCE_MANAGER manager{};
    _ORDNANCE_MOUNT mounts[3] = {};
    _ORDNANCE_PANEL gun{};
    _ORDNANCE_MANAGER* savedManager = nullptr;
    void SetUp() override {
        Pages::SetUp();
        savedManager = ord_Manager;
        entries[859].text = "GUN";
        entries[498].text = "CHAFF";
        entries[500].text = "FLARE";
    }
    void TearDown() override {
        ord_Manager = savedManager;
        Pages::TearDown();
    }
    // Stations: E (0) an air-to-air missile pair, P (8) a store without a
    // symbol, F (1) a missile rail with nothing left.
    void Load() {
        const int32_t station[3] = {'E', 'P', 'F'}, type[3] = {1, 20, 1}, amount[3] = {2, 3, 0};
        for (int32_t i = 0; i < 3; i++) {
            mounts[i].station = station[i];
            mounts[i].type = type[i];
            mounts[i].amount = amount[i];
            mounts[i].next = i < 2 ? &mounts[i + 1] : nullptr;
        }
        manager.mounts.head = &mounts[0];
        gun.count = 510;
        manager.panels.head = &gun;
        ord_Manager = &manager;
    }
};

TEST_F(Stores, OutlineTicksAndLinesShowEvenWithNoStores) {
    ord_Manager = nullptr;
    Enlarge();
    mfd_DrawStoresPage();
    EXPECT_GT(LitIn(120, 39, 131, 42), 0);  // the nose
    EXPECT_GT(LitIn(13, 143, 16, 148), 0);  // station 0's tick
    EXPECT_EQ(LitIn(125, 70, 130, 80), 0);  // station 4 has none
    for (int32_t y : {198, 210, 222}) EXPECT_GT(LitIn(15, y - 6, 70, y + 6), 0) << y;
    // Nothing at the stations.
    EXPECT_EQ(LitIn(4, 96, 25, 120), 0);
    EXPECT_EQ(LitIn(4, 153, 25, 165), 0);
}

TEST_F(Stores, StationsShowSymbolsOnlyWithCodeAndCountsOnlyWhenNonzero) {
    Load();
    Enlarge();
    mfd_DrawStoresPage();
    // Station 0: symbol and count.
    EXPECT_GT(LitIn(4, 96, 25, 120), 0);
    EXPECT_GT(LitIn(6, 153, 23, 165), 0);
    // Station 8: a count but no symbol.
    EXPECT_EQ(LitIn(227, 96, 248, 120), 0);
    EXPECT_GT(LitIn(229, 153, 246, 165), 0);
    // Station 1: count 0 shows neither.
    EXPECT_EQ(LitIn(28, 79, 49, 100), 0);
    EXPECT_EQ(LitIn(30, 136, 47, 148), 0);
}

TEST_F(Stores, FailedDisplayBlanksTheEnlargedPageAndBarsThePanel) {
    Load();
    plane_SystemsDamage[AVION_DISPLAY_SYSTEM] = 1;
    Enlarge();
    mfd_DrawStoresPage();
    EXPECT_EQ(LitIn(0, 0, W, W), 0);
    EXPECT_EQ(LitIn(0, 0, W, W, kGreen), 0);
    // The cockpit panel: only the bar.
    mfd_EnlargedFlag = 0;
    mfd_FailureBarRow = 96;
    mfd_DrawStoresPage();
    EXPECT_EQ(LitIn(0, 0, W, W), 0);
    EXPECT_EQ(LitIn(0, 100, W, 101, kGreen), W - 10);
    EXPECT_EQ(LitIn(0, 101, W, 102, kDark), W - 10);
    // Working, the panel draws nothing.
    plane_SystemsDamage[AVION_DISPLAY_SYSTEM] = 0;
    Clear();
    mfd_DrawStoresPage();
    EXPECT_EQ(LitIn(0, 0, W, W, kGreen), 0);
}

// ---- Situation page ----

// The first vertical-ladder tick above the picture centre (row 192).
int32_t FirstTickAbove(const Pages& p) {
    for (int32_t y = 191; y > 0; y--)
        if (p.LitIn(246, y, 252, y + 1) > 0) return y;
    return -1;
}

TEST_F(Pages, SubModesOneAndTwoDoubleTheMapScale) {
    const int32_t factor = vcp_DisplayFactor;
    const struct {
        int32_t sub, tick;
    } cases[] = {{0, 192 - 18}, {1, 192 - 37}, {2, 192 - 37}, {3, 192 - 18}, {5, 192 - 18}};
    for (const auto& c : cases) {
        Clear();
        mfd_SubMode = c.sub;
        mfd_DrawSituationPage();
        EXPECT_EQ(FirstTickAbove(*this), c.tick) << c.sub;
        EXPECT_EQ(vcp_DisplayFactor, factor);
        EXPECT_EQ(mfd_StateMask, 0x0E);
        EXPECT_EQ(mfd_ClassMask, c.sub <= 1 ? 1 : 2);
    }
}

TEST_F(Pages, AttitudeSymbolByPitch) {
    const struct {
        int32_t steps;  // 512ths of a turn
        int32_t up, down;
    } cases[] = {{0, 0, 0}, {8, 0, 0}, {9, 1, 0}, {-8, 0, 0}, {-9, 0, 1}, {247, 1, 0}, {248, 0, 0}, {-248, 0, 0}};
    for (const auto& c : cases) {
        Clear();
        own.angles.pitch = (int32_t)(((uint32_t)c.steps << 16) & 0x1FFFFFFu);
        // The page leaves its picture centre moved; the cockpit sets it anew.
        vcp_DisplayCentre[0] = vcp_DisplayCentre[1] = 128;
        mfd_DrawSituationPage();
        // Symbol at the window centre (128, 128); the ends bend 3 down for
        // nose up, 3 up for nose down.
        EXPECT_GT(LitIn(90, 128, 120, 129, kDark), 0) << c.steps;
        EXPECT_EQ(LitIn(173, 130, 174, 132, kDark) > 0, c.up == 1) << c.steps;
        EXPECT_EQ(LitIn(173, 125, 174, 127, kDark) > 0, c.down == 1) << c.steps;
    }
}

TEST_F(Pages, TargetReadoutOnlyForAnActiveTarget) {
    entries[410].text = "RNG %d";
    entries[412].text = "VC %d";
    ObjectRecord target{};
    target.aiClass = 1;
    target.stateFlags = OBJ_STATE_AIRBORNE;
    target.position = {own.position.x, own.position.y, own.position.z + 0x10000000u};
    const int32_t area[4] = {150, 212, 250, 232};
    mfd_DrawSituationPage();
    EXPECT_EQ(LitIn(area[0], area[1], area[2], area[3], kDark), 0);
    own.target = &target;
    Clear();
    mfd_DrawSituationPage();
    EXPECT_GT(LitIn(area[0], area[1], area[2], area[3], kDark), 0);
    // Still waiting to take off: not active.
    target.stateFlags = OBJ_STATE_WAITING;
    Clear();
    mfd_DrawSituationPage();
    EXPECT_EQ(LitIn(area[0], area[1], area[2], area[3], kDark), 0);
    own.target = nullptr;
}

TEST_F(Pages, TitleOnlyOnAnUnshownMfdAndCutToTheBuffer) {
    entries[840].text = "SEARCH";
    entries[851].text = "AIR";
    entries[854].text = "TRACK-WHILE-SCAN-LONG";
    const struct {
        int32_t view, shown0, shown1, sub;
        const char* title;  // null: the buffer is left as it was
    } cases[] = {
        {3, 0, 0, 0, "SEARCH AIR"}, {5, 0, 0, 0, "SEARCH AIR"},      {3, 1, 0, 0, nullptr}, {5, 0, 1, 0, nullptr},
        {5, 1, 0, 0, "SEARCH AIR"}, {22, 0, 0, 0, nullptr},          {3, 0, 0, 2, nullptr},  // text 839 missing
        {3, 0, 0, 1, "TRACK-WHILE-SCA"},
    };
    for (const auto& c : cases) {
        memcpy(mfd_TitleBuffer, "###############", 16);
        vcp_CockpitPanel = c.view;
        mfd_PageShown[0] = c.shown0;
        mfd_PageShown[1] = c.shown1;
        mfd_SubMode = c.sub;
        mfd_DrawSituationPage();
        EXPECT_STREQ(mfd_TitleBuffer, c.title ? c.title : "###############") << c.view << " " << c.sub;
    }
}

}  // namespace
