// MFD texts on an 8-bit test surface: the button labels, the title buffer,
// the page-3 labels, the height and heading footer and the tactical map's
// two hooks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/filetable.h"
#include "cockpit/mfd.h"
#include "cockpit/vcp.h"
#include "display/dsurf.h"
#include "net/client.h"
#include "sim/flight_jet.h"
#include "sim/obj.h"
#include "sim/plane.h"
#include "world/level.h"
#include "mfd_fixture.h"

namespace {

constexpr int32_t N = 256;
constexpr uint8_t kInk = 0xC0;

struct Box {
    int32_t x0 = N, y0 = N, x1 = -1, y1 = -1;
    bool empty() const { return x1 < 0; }
    int32_t width() const { return x1 - x0 + 1; }
    int32_t height() const { return y1 - y0 + 1; }
};

class MfdLabels : public MfdSurface<N> {
protected:
    std::vector<FileTableEntry> entries = std::vector<FileTableEntry>(1000, FileTableEntry{"", 0, 0, 0});
    FileTable table{};
    void* savedData = nullptr;
    std::unique_ptr<_PLANE_JET> jet = std::make_unique<_PLANE_JET>();
    MfdPageRecord savedRecord{};
    // A record whose title the labels show.
    static constexpr int32_t kTitled = 23;

    void SetUp() override {
        MfdSurface::SetUp();
        for (DrawColourSlot& slot : draw_Context.slots) slot.index = kInk;
        for (uint8_t& c : vcp_ColourTable) c = kInk;
        savedData = level_GameData;
        savedRecord = mfd_PageTable[kTitled];
        surface.widthScale = 65536;
        draw_SelectSurface(&surface);
        mfd_StoresFrameFlag = 0;
        mfd_PageTable[kTitled].titleId = 900;
        Texts({{900, "ABCD"}});
        plane_Current = &jet->head;
    }
    void TearDown() override {
        level_GameData = savedData;
        mfd_PageTable[kTitled] = savedRecord;
        mfd_StoresFrameFlag = 0;
        plane_Current = nullptr;
        MfdSurface::TearDown();
    }
    // The game data table with only these texts.
    void Texts(const std::map<uint32_t, const char*>& texts) {
        for (FileTableEntry& e : entries) e.text = "";
        for (const auto& [item, text] : texts) entries[item].text = text;
        table.count = (uint32_t)entries.size();
        table.entries = entries.data();
        level_GameData = &table;
    }
    Box LitBox(int32_t x0, int32_t y0, int32_t x1, int32_t y1) const {
        Box b;
        for (int32_t y = std::max(0, y0); y <= std::min(N - 1, y1); y++)
            for (int32_t x = std::max(0, x0); x <= std::min(N - 1, x1); x++)
                if (pixels[(size_t)(y * N + x)]) {
                    b.x0 = std::min(b.x0, x);
                    b.y0 = std::min(b.y0, y);
                    b.x1 = std::max(b.x1, x);
                    b.y1 = std::max(b.y1, y);
                }
        return b;
    }
    Box LitNear(int32_t x, int32_t y, int32_t r) const { return LitBox(x - r, y - r, x + r, y + r); }
    static MfdPageRecord Page(std::initializer_list<int32_t> buttons) {
        MfdPageRecord p{};
        p.titleId = -1;
        for (int32_t& b : p.buttons) b = -1;
        for (int32_t b : buttons) p.buttons[b] = kTitled;
        return p;
    }
};

// The window spans 0..255: columns and rows step 42, the edges' labels sit
// 8 pixels in.
TEST_F(MfdLabels, ButtonLabelsTakeTheirPlacesAndTheBottomRightIsFixed) {
    // No buttons: only text 842 at the fifth bottom position.
    Texts({{900, "ABCD"}, {842, "DCLT"}});
    MfdPageRecord empty = Page({});
    mfd_DrawButtonLabels(&empty);
    const Box all = LitBox(0, 0, N - 1, N - 1);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(LitBox(0, 0, N - 1, N - 1).x0, LitNear(210, 247, 30).x0);
    EXPECT_TRUE(LitBox(0, 0, N - 1, 220).empty());
    EXPECT_TRUE(LitBox(0, 0, 180, N - 1).empty());
    // Button 15 leads somewhere, but without text 842 nothing is drawn.
    Clear();
    Texts({{900, "ABCD"}});
    MfdPageRecord fifteen = Page({15});
    mfd_DrawButtonLabels(&fifteen);
    EXPECT_TRUE(LitBox(0, 0, N - 1, N - 1).empty());
    // Each other button shows its target's title at its place.
    struct Case {
        int32_t button, x, y;
    } cases[] = {{14, 42, 8}, {10, 210, 8}, {19, 42, 247}, {16, 168, 247},
                 {5, 247, 42}, {9, 247, 210}, {0, 8, 42}, {4, 8, 210}};
    for (const Case& c : cases) {
        Clear();
        MfdPageRecord one = Page({c.button});
        mfd_DrawButtonLabels(&one);
        const Box b = LitBox(0, 0, N - 1, N - 1);
        ASSERT_FALSE(b.empty()) << c.button;
        EXPECT_NEAR((b.x0 + b.x1) / 2, c.x, 3) << c.button;
        EXPECT_NEAR((b.y0 + b.y1) / 2, c.y, 3) << c.button;
    }
    // A title id of -1 and a missing text give no label.
    Clear();
    mfd_PageTable[kTitled].titleId = -1;
    mfd_DrawButtonLabels(&fifteen);
    MfdPageRecord left = Page({0});
    mfd_DrawButtonLabels(&left);
    mfd_PageTable[kTitled].titleId = 901;
    mfd_DrawButtonLabels(&left);
    EXPECT_TRUE(LitBox(0, 0, N - 1, N - 1).empty());
}

TEST_F(MfdLabels, WeaponPagesWriteSideLabelsAcrossExceptTheFifthRight) {
    MfdPageRecord sides = Page({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    for (int32_t weapon = 0; weapon <= 1; weapon++) {
        Clear();
        mfd_StoresFrameFlag = (uint8_t)weapon;
        mfd_DrawButtonLabels(&sides);
        for (int32_t k = 1; k <= 5; k++) {
            const int32_t y = 42 * k;
            const Box right = LitBox(128, y - 20, N - 1, y + 20), left = LitBox(0, y - 20, 127, y + 20);
            const bool across = weapon && k < 5;
            EXPECT_EQ(right.width() > right.height(), across) << weapon << " right " << k;
            EXPECT_EQ(left.width() > left.height(), weapon == 1) << weapon << " left " << k;
            if (across) {
                // Right-aligned at the point, left-aligned at the other side.
                EXPECT_NEAR(right.x1, 247, 3) << k;
                EXPECT_NEAR(left.x0, 8, 3) << k;
            }
        }
    }
}

TEST_F(MfdLabels, TitleBufferHoldsFifteenCharacters) {
    mfd_SetTitle("ABCDEFGHIJKLMNO");
    EXPECT_STREQ(mfd_TitleBuffer, "ABCDEFGHIJKLMNO");
    EXPECT_FALSE(LitNear(13, 13, 12).empty());
    mfd_SetTitle("ABCDEFGHIJKLMNOP");
    EXPECT_STREQ(mfd_TitleBuffer, "ABCDEFGHIJKLMNO");
    // A missing text leaves the title as it was.
    mfd_TitleDraw(901);
    EXPECT_STREQ(mfd_TitleBuffer, "ABCDEFGHIJKLMNO");
    mfd_TitleDraw(900);
    EXPECT_STREQ(mfd_TitleBuffer, "ABCD");
}

TEST_F(MfdLabels, PageThreeLabelsFollowTheModeAndFlagWords) {
    struct Case {
        uint32_t mode, flags;
        std::map<uint32_t, const char*> texts;
        bool first, second;
    } cases[] = {
        {6, 0, {{860, "DSG"}, {861, "NO DSG"}}, true, false},
        {6, 0, {{861, "NO DSG"}}, false, false},  // bit 4 wins even without its text
        {2, 0, {{861, "NO DSG"}}, true, false},
        {0, 0x100000, {{858, "LASER"}}, false, true},
        {0, 0x0FFFFF, {{858, "LASER"}, {860, "DSG"}}, false, false},
    };
    for (const Case& c : cases) {
        Clear();
        Texts(c.texts);
        jet->head.words[0] = c.mode;
        jet->head.flags = c.flags;
        mfd_DrawPage3Labels();
        EXPECT_EQ(!LitNear(42, 247, 18).empty(), c.first) << c.mode;
        EXPECT_EQ(!LitNear(84, 247, 18).empty(), c.second) << c.flags;
    }
}

TEST_F(MfdLabels, HeightAndHeadingReadouts) {
    struct Case {
        float metres;
        int32_t heading;
        const char* height;
        const char* degrees;
    } cases[] = {{0.0f, 0, "ALT 0", "HDG 0"},
                 {1.0f, 0x800000, "ALT 3", "HDG 90"},
                 {100.0f, 0x1000000, "ALT 328", "HDG 180"},
                 {0.1524f, 0x1FFFFFF, "ALT 1", "HDG 360"}};
    for (const Case& c : cases) {
        jet->state.aboveGround = c.metres;
        own.angles.heading = c.heading;
        // Each readout alone, as the title buffer keeps the last one.
        Texts({{434, "ALT"}});
        mfd_DrawHeightHeading();
        EXPECT_STREQ(mfd_TitleBuffer, c.height);
        Texts({{445, "HDG"}});
        mfd_DrawHeightHeading();
        EXPECT_STREQ(mfd_TitleBuffer, c.degrees);
    }
    // Both on one line, the heading from 5 pixels in, the height from 30.
    Clear();
    Texts({{434, "ALT"}, {445, "HDG"}});
    mfd_DrawHeightHeading();
    const Box heading = LitBox(0, 200, 29, N - 1), height = LitBox(30, 200, N - 1, N - 1);
    ASSERT_FALSE(heading.empty());
    ASSERT_FALSE(height.empty());
    EXPECT_EQ(heading.y1, height.y1);
    EXPECT_NEAR(heading.x0, 5, 2);
    EXPECT_NEAR(height.x0, 30, 2);
}

TEST_F(MfdLabels, MapHooksDrawAtTheMapsRangeAndPointThenRestore) {
    LevelWaypointList savedRoute = level_WaypointList;
    mfd_MapZoom = MFD_ZOOM_MIN;
    vcp_DisplayFactorUpdate();
    own.position = {0x40000000u, 0, 0x40000000u};
    // One waypoint 40.5 pixels east at the largest zoom (K 25600).
    level_WaypointList.count = 1;
    level_WaypointList.entries[0] = {(int32_t)(own.position.x + 40 * 167773u + 83886u), (int32_t)own.position.z};
    avion_MapPictureHook(MFD_ZOOM_MAX);
    EXPECT_FALSE(LitNear(168, 128, 6).empty());
    EXPECT_TRUE(LitNear(128, 128, 6).empty());
    EXPECT_EQ(mfd_MapZoom, MFD_ZOOM_MIN);
    EXPECT_EQ(vcp_DisplayFactor, 320);
    EXPECT_EQ(mfd_NorthUp, 0);
    EXPECT_EQ(mfd_ColourPicture, 0);
    level_WaypointList = savedRoute;
    // The ownship symbol's nose (0, -6) follows the heading on the map.
    for (const auto& [heading, nx, ny] : {std::tuple{0, 0, -6}, std::tuple{0x800000, 6, 0}}) {
        Clear();
        own.angles.heading = heading;
        avion_MapOwnshipHook(100, 100);
        EXPECT_FALSE(LitNear(100 + nx, 100 + ny, 0).empty()) << heading;
        EXPECT_TRUE(LitNear(100 - nx, 100 - ny, 0).empty()) << heading;
    }
}

}  // namespace
