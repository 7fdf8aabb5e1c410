// The panel file: the data set's panels read back, and damaged panel lists
// refused.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "cockpit/avion_panel.h"
#include "mkdata.h"
#include "pak_write.h"

namespace {

uint32_t Word(float f) {
    uint32_t w;
    memcpy(&w, &f, 4);
    return w;
}

// One panel group: number, corners, axes, size and a hit map of `map`.
MkRelocGroup Panel(int32_t number, int32_t w, int32_t h, const std::vector<int8_t>& map, float corner = 1.0f) {
    MkRelocGroup g;
    g.name = "P" + std::to_string(number);
    g.extra.push_back((uint32_t)number);
    for (int32_t k = 0; k < 12; k++) g.extra.push_back(Word(k == 0 ? corner : 0.5f));
    for (int32_t k = 0; k < 9; k++) g.extra.push_back(Word(0.25f));
    g.extra.push_back((uint32_t)w);
    g.extra.push_back((uint32_t)h);
    std::vector<uint8_t> bytes(map.begin(), map.end());
    bytes.resize((bytes.size() + 3) & ~(size_t)3, 0xFF);
    for (size_t i = 0; i < bytes.size(); i += 4)
        g.extra.push_back(bytes[i] | (uint32_t)bytes[i + 1] << 8 | (uint32_t)bytes[i + 2] << 16 |
                          (uint32_t)bytes[i + 3] << 24);
    g.subs.push_back({"FIRE", {7}});
    return g;
}

TEST(PanelFile, TheDataSetPanelsReadBack) {
    const std::vector<uint8_t> file = mkdata_PanelFileBuild();
    AvionPanelSet set;
    ASSERT_EQ(avion_PanelSetParse(file.data(), file.size(), &set), 0);
    ASSERT_EQ(set.count, 11);
    // The MFDs first, then the HUD and the eight glass panels, chained.
    EXPECT_EQ(set.panels[0].number, 0);
    EXPECT_EQ(set.panels[1].number, 1);
    const VcursorPanel* hud = avion_PanelFind(&set, 21);
    ASSERT_NE(hud, nullptr);
    EXPECT_FLOAT_EQ(hud->corners[0][0], -0.5f);
    EXPECT_FLOAT_EQ(hud->corners[3][1], -0.6953f);
    EXPECT_FLOAT_EQ(hud->normal[2] * hud->normal[2], 1.0f);
    int32_t chained = 0, glass = 0;
    for (const VcursorPanel* p = set.panels; p; p = p->next, chained++)
        glass += p->name && strncmp(p->name, "GLASS", 5) == 0;
    EXPECT_EQ(chained, 11);
    EXPECT_EQ(glass, 8);
    // The left MFD's first button: a label at the top left.
    const VcursorPanel& mfd = set.panels[0];
    ASSERT_EQ(mfd.width, 64);
    const int8_t k = mfd.hitMap[2 * 64 + 6];
    ASSERT_EQ(k, 0);
    EXPECT_STREQ(mfd.labels[k].text, "OSB 1");
    EXPECT_EQ(mfd.labels[k].id, 1);
    EXPECT_EQ(mfd.hitMap[40 * 64 + 40], -1);
    // u along the top edge spans 0..1.
    float u = 0.0f;
    for (int32_t i = 0; i < 3; i++) u += mfd.uAxis[i] * (mfd.corners[1][i] - mfd.corners[0][i]);
    EXPECT_NEAR(u, 1.0f, 1e-5f);
    avion_PanelSetFree(&set);
    EXPECT_EQ(set.storage, nullptr);
}

TEST(PanelFile, DamagedPanelsAreRefusedWhole) {
    const struct {
        const char* what;
        MkRelocGroup group;
    } bad[] = {
        {"a label index past the labels", Panel(1, 2, 2, {0, 0, 1, -1})},
        {"an index below -1", Panel(1, 2, 2, {0, -2, 0, 0})},
        {"a zero width", Panel(1, 0, 2, {})},
        {"a side past the limit", Panel(1, AVION_PANEL_MAX_SIDE + 1, 1, std::vector<int8_t>(1025, -1))},
        {"a hit map past the file's end", Panel(1, 64, 64, {0, 0, 0, 0})},
        {"a corner that is no number", Panel(1, 2, 2, {0, 0, 0, 0}, NAN)},
    };
    const std::vector<uint8_t> good = mkdata_RelocBuild({}, {Panel(9, 2, 2, {0, -1, 0, -1})});
    AvionPanelSet set;
    ASSERT_EQ(avion_PanelSetParse(good.data(), good.size(), &set), 0);
    ASSERT_EQ(set.count, 1);
    EXPECT_EQ(set.panels[0].labels[0].id, 7);
    avion_PanelSetFree(&set);
    for (const auto& b : bad) {
        const std::vector<uint8_t> file = mkdata_RelocBuild({}, {Panel(9, 2, 2, {0, 0, 0, 0}), b.group});
        EXPECT_EQ(avion_PanelSetParse(file.data(), file.size(), &set), -1) << b.what;
        EXPECT_EQ(set.count, 0) << b.what;
        EXPECT_EQ(set.storage, nullptr) << b.what;
    }
    const std::vector<uint8_t> truncated(good.begin(), good.begin() + good.size() / 2);
    EXPECT_EQ(avion_PanelSetParse(truncated.data(), truncated.size(), &set), -1);
}

}  // namespace
