// The menu context's tables: name order, lookups over the whole capacity,
// growth, repeated names and the callback table.
#include <cstring>
#include <string>
#include <vector>

#include "menu_fixture.h"

namespace {

MnuWindow Window(const char* name, int32_t layer = 0) {
    MnuWindow w = {};
    snprintf(w.name, sizeof w.name, "%s", name);
    w.layer = layer;
    return w;
}

MnuWindow* AddWindow(MnuContext* c, const char* name, int32_t layer = 0) {
    MnuWindow w = Window(name, layer);
    return mnu_WindowAdd(c, &w);
}

std::vector<std::string> WindowNames(const MnuContext& c) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < c.windowCount; i++) names.push_back(c.windows[i].name);
    return names;
}

TEST_F(MenuTest, NamesSortDescendingWithoutCaseAndEmptySlotsLast) {
    for (const char* n : {"Alpha", "beta", "Gamma"}) ASSERT_NE(AddWindow(&ctx, n), nullptr);
    mnu_WindowsSort(&ctx);
    EXPECT_EQ(WindowNames(ctx), (std::vector<std::string>{"Gamma", "beta", "Alpha", ""}));
    const struct {
        const char* name;
        const char* found;
    } kCases[] = {{"GAMMA", "Gamma"}, {"alpha", "Alpha"}, {"BETA", "beta"}, {"Delta", nullptr}, {"", nullptr}};
    for (const auto& k : kCases) {
        MnuWindow* w = mnu_WindowFind(&ctx, k.name);
        if (k.found) {
            ASSERT_NE(w, nullptr) << k.name;
            EXPECT_STREQ(w->name, k.found);
        } else {
            EXPECT_EQ(w, nullptr) << k.name;
        }
    }
    EXPECT_GT(mnu_NameCompare("Alpha", "beta"), 0);
    EXPECT_EQ(mnu_NameCompare("ALPHA", "alpha"), 0);
    EXPECT_GT(mnu_NameCompare("", "a"), 0);
}

TEST_F(MenuTest, AFifthWindowGrowsTheTableIntoItsFirstNewSlot) {
    for (const char* n : {"A", "B", "C", "D"}) AddWindow(&ctx, n);
    ASSERT_EQ(ctx.windowCount, 4);
    MnuWindow* fifth = AddWindow(&ctx, "E");
    ASSERT_EQ(ctx.windowCount, 8);
    EXPECT_EQ(fifth, &ctx.windows[4]);
    EXPECT_EQ(WindowNames(ctx), (std::vector<std::string>{"A", "B", "C", "D", "E", "", "", ""}));
}

TEST_F(MenuTest, GrowthStepsPerTable) {
    MnuRgb rgb = {};
    MnuString s = {};
    MnuImageArea ia = {};
    strcpy(rgb.name, "x");
    strcpy(s.key, "x");
    strcpy(ia.name, "x");
    s.kind = MNU_STRING_INLINE;
    mnu_RgbAdd(&ctx, &rgb);
    mnu_StringAdd(&ctx, &s);
    mnu_ImageAreaAdd(&ctx, &ia);
    EXPECT_EQ(ctx.rgbCount, 2);
    EXPECT_EQ(ctx.stringCount, 8);
    EXPECT_EQ(ctx.imageAreaCount, 2);
}

TEST_F(MenuTest, RepeatedNamesKeepReplaceOrOverwriteByTable) {
    // Colours are matched linearly: the later record replaces the earlier.
    MnuRgb a = {}, b = {};
    strcpy(a.name, "Sky");
    a.red = 1;
    strcpy(b.name, "SKY");
    b.red = 2;
    mnu_RgbAdd(&ctx, &a);
    mnu_RgbAdd(&ctx, &b);
    EXPECT_EQ(ctx.rgbs[0].red, 2);
    EXPECT_EQ(ctx.rgbs[1].name[0], 0);
    // Sorted windows: a repeated name returns the record already there.
    AddWindow(&ctx, "W", 3);
    mnu_WindowsSort(&ctx);
    MnuWindow* again = AddWindow(&ctx, "w", 9);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->layer, 3);
    // Sorted strings: overwritten.
    MnuString s1 = {}, s2 = {};
    strcpy(s1.key, "K");
    strcpy(s1.inlineText, "one");
    s1.kind = s2.kind = MNU_STRING_INLINE;
    strcpy(s2.key, "K");
    strcpy(s2.inlineText, "two");
    mnu_StringAdd(&ctx, &s1);
    mnu_StringsSort(&ctx);
    mnu_StringAdd(&ctx, &s2);
    ASSERT_NE(mnu_StringFind(&ctx, "k"), nullptr);
    EXPECT_STREQ(mnu_StringFind(&ctx, "k")->text, "two");
}

TEST_F(MenuTest, ButtonAddSetsTimesAndRedrawAndClearsCachedLinks) {
    MnuButton b = {};
    strcpy(b.name, "B");
    b.windowRecord = reinterpret_cast<MnuWindow*>(&b);
    b.caption = reinterpret_cast<MnuTextArea*>(&b);
    MnuButton* r = mnu_ButtonAdd(&ctx, &b);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->pressTime, 12);
    EXPECT_EQ(r->repeatTime, 6);
    EXPECT_EQ(r->flags & MNU_BUTTON_REDRAW, MNU_BUTTON_REDRAW);
    EXPECT_EQ(r->windowRecord, nullptr);
    EXPECT_EQ(r->caption, nullptr);
}

TEST_F(MenuTest, ImageAreaCreateReturnsTheRecordAfterSorting) {
    for (const char* n : {"a", "c", "b"}) {
        MnuImageArea ia = {};
        strcpy(ia.name, n);
        MnuImageArea* r = mnu_ImageAreaCreate(&ctx, &ia);
        ASSERT_NE(r, nullptr);
        EXPECT_STREQ(r->name, n);
    }
    EXPECT_STREQ(ctx.imageAreas[0].name, "c");
}

// The callback table, name by name, with the argument each carries.
struct CallbackCase {
    std::string name;
    int32_t argument;
};

std::vector<CallbackCase> ExpectedCallbacks(void) {
    std::vector<CallbackCase> v;
    auto add = [&](std::string n, int32_t a = 0) { v.push_back({n, a}); };
    for (const char* n : {"cbInHover", "cbOutHover", "cbCredits", "cbExit", "cbMulti", "cbNewCamp", "cbOptions",
                          "cbOverview", "cbSingle", "cbUpdate", "cbOptAccept"})
        add(n);
    add("cbOptPageTogL", -1), add("cbOptPageTogR", 1);
    const char* vols[] = {"SFX", "Mus", "Txtr", "Dlg", "WeapVol", "CuesVol"};
    for (int i = 0; i < 6; i++) add(std::string("cbOpt") + vols[i] + "Add", i + 1), add(std::string("cbOpt") + vols[i] + "Minus", i + 1);
    add("cbOptScreenTog"), add("cbOptForceTog", 1), add("cbOptMusicTog", 2);
    add("cbOptMemoryTogL", 258), add("cbOptMemoryTogR", 65538), add("cbOptGameResTogL", 259),
        add("cbOptGameResTogR", 65539);
    add("cbOpt3DTog", 5), add("cbOpt3DTogL", 25), add("cbOpt3DTogR", 26), add("cbOptJoyTog", 7);
    add("cbOptJoyTypeTogL", 263), add("cbOptJoyTypeTogR", 65543), add("cbOptThrotTogL", 264),
        add("cbOptThrotTogR", 65544);
    const char* togs[] = {"Rudder", "Steer", "BO", "Shoot", "Gear", "Ubal", "Flame", "Flat", "Arm", "Dlg", "Trig"};
    for (int i = 0; i < 11; i++) add(std::string("cbOpt") + togs[i] + "Tog", 10 + i);
    add("cbOptCockTog", 21), add("cbOptCockTog", 21), add("cbOptEasyTog", 22), add("cbOptEasyTog", 22);
    add("cbOpt3DDevL", 27), add("cbOpt3DDevR", 28), add("cbOptBitDepthL", 29), add("cbOptBitDepthR", 30);
    for (const char* n : {"cbOptVidQuestion", "cbOptVidOK", "cbOptOk", "cbOptCancel"}) add(n);
    add("cbOptRemapPageUp", -1), add("cbOptRemapPageDown", 1);
    for (int i = 1; i <= 12; i++) add("cbOptRemap" + std::to_string(i), i - 1);
    add("cbOptRevert"), add("cbOptDefaultAll", 1), add("cbOptDefault1"), add("cbOptDelete1"), add("cbOptCurJoyF"),
        add("cbOptCurJoyB", 1), add("cbOptFFTog", 2);
    for (const char* n : {"cbQMAccept", "cbQMBack", "cbQMUser"}) add(n);
    for (int i = 0; i < 6; i++) add("cbQMSel" + std::to_string(i), i);
    for (const char* n : {"cbQMUp", "cbQMDown", "cbMisAccept", "cbMisBack", "cbMisUp", "cbMisDown", "cbMisLoadOut",
                          "cbMisStats", "cbMisMap", "cbMBSkip", "cbMPBack", "cbMPSearch", "cbMPJoin", "cbMPHost",
                          "cbMPName"})
        add(n);
    add("cbMPConLeft", -1), add("cbMPConRight", 1), add("cbMPLeft", -1), add("cbMPRight", 1), add("cbMPIP"),
        add("cbMPModem");
    for (int i = 0; i <= 12; i++) add("cbMPSel" + std::to_string(i), i);
    for (const char* n : {"cbMPPwOk", "cbMPPwCancel", "cbMPOpt", "cbMPSessionPW", "cbMPOptAcept", "cbMPOptSQName",
                          "cbMPOptSQPW"})
        add(n);
    add("cbMPOptSideTogL", -1), add("cbMPOptSideTogR", 1), add("cbMPOptSidePW");
    for (const char* n : {"cbHostBack", "cbHostMain", "cbHostHost"}) add(n);
    for (int i = 1; i <= 11; i++) add("cbHostL" + std::to_string(i), i - 1);
    for (int i = 1; i <= 11; i++) add("cbHostR" + std::to_string(i), 254 + i);
    add("cbHostServer"), add("cbHostGame", 1);
    for (const char* n : {"cbHostName", "cbHostPw", "cbHostPwA", "cbHostPwB", "cbHostCountry", "cbNCAccept",
                          "cbNCBack", "cbNCEdit", "cbNCClear", "cbNCCancel", "cbNCOk"})
        add(n);
    add("cbNCStatTogL", -1), add("cbNCStatTogR", 1), add("cbNCCampTogL", -1), add("cbNCCampTogR", 1);
    for (int i = 0; i < 10; i++) add("cbNCSlot" + std::to_string(i), i);
    for (const char* n : {"cbCredBack", "cbStatsBack", "cbLaunchBack", "cbMapBack", "cbMapAccept", "cbMapReset",
                          "cbMapCenter", "cbMapZoomIn", "cbMapZoomOut"})
        add(n);
    add("cbMapWPL", 1), add("cbMapWPR");
    add("cbMapMoveU", 1), add("cbMapMoveR", 2), add("cbMapMoveD", 3), add("cbMapMoveL", 4);
    add("cbLOOutHover"), add("cbLOHoverX", -1);
    for (int i = 0; i < 5; i++) add("cbLOHover" + std::to_string(i), i);
    add("cbLOBack"), add("cbLOAccept");
    for (int i = 1; i <= 5; i++) add("cbLOSel" + std::to_string(i) + "L", i - 1);
    for (int i = 1; i <= 5; i++) add("cbLOSel" + std::to_string(i) + "R", i - 1);
    add("cbLOYawL"), add("cbLOYawR", 1), add("cbLOZoomIn", 2), add("cbLOZoomOut", 3), add("cbLOSimTog"), add("cbLODef");
    for (int i = 0; i < 5; i++) add("cbLOInfo" + std::to_string(i), i);
    for (const char* n : {"cbAnimeAccept", "cbAnimeBack", "cbSplashExit", "cbCONTESTBack"}) add(n);
    return v;
}

TEST_F(MenuTest, CallbackTableHoldsEveryNameWithItsArgumentInOrder) {
    std::vector<CallbackCase> expected = ExpectedCallbacks();
    ASSERT_EQ(expected.size(), 238u);
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(mnu_CallbackTable[i].name, expected[i].name) << i;
        EXPECT_EQ(mnu_CallbackTable[i].argument, expected[i].argument) << expected[i].name;
        EXPECT_NE(mnu_CallbackTable[i].handler, nullptr) << expected[i].name;
        const MnuCallback* found = mnu_CallbackFind(&ctx, expected[i].name.c_str());
        ASSERT_NE(found, nullptr) << expected[i].name;
        EXPECT_EQ(found->name, expected[i].name);
        EXPECT_EQ(found->argument, expected[i].argument) << expected[i].name;
    }
    EXPECT_EQ(mnu_CallbackTable[238].name[0], 0);
    for (const char* absent : {"cbNothing", "", "cbOptRemap13"}) EXPECT_EQ(mnu_CallbackFind(&ctx, absent), nullptr);
    const MnuCallback* exitRecord = mnu_CallbackFind(&ctx, "cbExit");
    ASSERT_NE(exitRecord, nullptr);
    EXPECT_EQ(exitRecord->handler, &cbExit);
}

}  // namespace
