// The teletype page (loading, typing with word wrap, the end countdown), the
// loading screen's hand-over and the loadout screen's stations, texts and
// preview controls.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/bmp.h"
#include "display/font.h"
#include "display/otw.h"
#include "display/pal_hicolor.h"
#include "input/instate.h"
#include "menu/brief.h"
#include "menu/camp.h"
#include "menu/loadout.h"
#include "menu/quick.h"
#include "golden_compare.h"
#include "mission_fixture.h"
#include "mission_write.h"
#include "mkdata.h"
#include "pak_write.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "sim/ord.h"
#include "sim/weapon.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "render/object.h"
#include "render/view.h"

namespace {

class FlightScreens : public MissionScreensTest {
protected:
    void TearDown() override {
        if (loadout) WndLoadOut.leave();
        ord_LoadoutEnd(0);
        mnu_AnimeFree(&mnu_AnimePageRecord);
        MissionScreensTest::TearDown();
    }
    bool loadout = false;
    // A page over the ARIAL12 font with the text as item 0 of PAGE.BIN.
    void Page(const char* text, int32_t lrx, int32_t textId = 0) {
        char page[512];
        snprintf(page, sizeof page,
                 "[HEADER]\r\nFONT=ARIAL12\r\nSOUND=TYPING\r\nULX=10\r\nULY=20\r\nLRX=%d\r\nLRY=400\r\nRATE=3\r\n"
                 "WHITESPACERATE=1\r\nXSPACER=1\r\nTEXTBIN=PAGE.BIN\r\nTEXTID=%d\r\n",
                 (int)lrx, (int)textId);
        test_WriteText("T.WES", page);
        ASSERT_EQ(mkdata_TableWrite(".", "PAGE.BIN", {{"PAGE", {{"TEXT", text}}}}), 0);
        mnu_AnimeLoad(&mnu_AnimePageRecord, "T.WES");
    }
    // Types until the page is done; the pen's y when each character was
    // typed.
    std::string TypeAll() {
        MnuAnimePage& p = mnu_AnimePageRecord;
        std::string rows;
        otw_LockSurface();
        for (int32_t guard = 0; guard < 1000 && !p.done; guard++) {
            p.countdown = 0;
            const char* before = p.current;
            mnu_AnimeType(&p);
            if (p.current == before + 1 && *before != ' ') rows += (char)('0' + (p.y - p.uly) / p.font->lineHeight);
        }
        otw_UnlockSurface();
        return rows;
    }
    void LoadoutEnter(int32_t gameMode) {
        mnu_GameMode = gameMode;
        snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "%s", "F2M1.ORF");
        WndLoadOut.enter();
        loadout = true;
        mnu_TransitionFree();
    }
};

TEST_F(FlightScreens, MissingItemShowsTheFailureAndEndsAfterEightyTicks) {
    Page("ONE TWO", 600, 5);
    MnuAnimePage& p = mnu_AnimePageRecord;
    EXPECT_EQ(p.length, 0);
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 20);
    mnu_AnimeEndCountdown = 80;
    mnu_LeaveFlag = 0;
    int32_t draws = 0;
    while (!mnu_LeaveFlag && draws < 200) {
        mnu_AnimeType(&p);
        draws++;
    }
    // One draw finds the page empty, 80 more count down.
    EXPECT_EQ(draws, 81);
}

TEST_F(FlightScreens, TypingWrapsWordsAndTakesCrOnlyAsAWord) {
    ASSERT_NE(mnu_FontFind(&ctx, "ARIAL12"), nullptr);
    struct Case {
        const char* text;
        int32_t lrx;
        const char* rows;  // line of every typed character
    } cases[] = {
        {"AB CD", 600, "0000"},
        {"AB <CR> CD", 600, "0011"},
        {"AB<CR>CD", 600, "00000000"},
        {"AB CDEF", 0, "001111"},  // the word starts a line before its first letter
    };
    MnuFont* f = mnu_FontFind(&ctx, "ARIAL12");
    for (const Case& c : cases) {
        // Margin 0: just wide enough for "CDEF" at the line's start.
        int32_t lrx = c.lrx ? c.lrx : 10 + 4 + font_StringWidth("CDEF", f->block.font);
        Page(c.text, lrx);
        ASSERT_NE(mnu_AnimePageRecord.font, nullptr);
        EXPECT_EQ(TypeAll(), c.rows) << c.text;
    }
    // Typed characters wait RATE ticks, blanks WHITESPACERATE.
    Page("A B", 600);
    otw_LockSurface();
    mnu_AnimeType(&mnu_AnimePageRecord);
    EXPECT_EQ(mnu_AnimePageRecord.countdown, 3);
    mnu_AnimePageRecord.countdown = 0;
    mnu_AnimeType(&mnu_AnimePageRecord);
    EXPECT_EQ(mnu_AnimePageRecord.countdown, 1);
    otw_UnlockSurface();
    mnu_AnimeTick(&mnu_AnimePageRecord);
    mnu_AnimeTick(&mnu_AnimePageRecord);
    EXPECT_EQ(mnu_AnimePageRecord.countdown, 0);
}

TEST_F(FlightScreens, TeletypeSkippedInQuickMissionsTypedInCampaigns) {
    mnu_GameMode = 1;
    mnu_MissionSelect(2, 1);
    WndAnime.enter();
    EXPECT_EQ(mnu_LeaveFlag, 1);
    EXPECT_EQ(app_Runner.nextState, &WndLoading);
    WndAnime.leave();
    mnu_GameMode = 0;
    mnu_LeaveFlag = 0;
    WndAnime.enter();
    EXPECT_EQ(mnu_LeaveFlag, 0);
    EXPECT_GT(mnu_AnimePageRecord.length, 0);
    EXPECT_NE(mnu_AnimePageRecord.background.pixels, nullptr);
    WndAnime.leave();
    // A mission without a page is skipped.
    mnu_MissionSelect(2, 2);
    WndAnime.enter();
    EXPECT_EQ(mnu_LeaveFlag, 1);
    WndAnime.leave();
}

TEST_F(FlightScreens, LoadingLeaveFreesTheMenusAndHandsOver) {
    ctx.heapMark = mem_AllocEx(0, 4, "Menu Sentinel");
    void* after = mem_AllocEx(64, 4, "after the mark");
    ASSERT_NE(after, nullptr);
    level_FlightState[100] = 7;
    app_Runner.followOn2 = &WndCredits;
    level_GameMode.singlePlayer = 1;
    inmap_InFlight = 0;
    WndLoading.leave();
    EXPECT_EQ(app_Runner.nextState, &WndCredits);
    EXPECT_EQ(inmap_InFlight, 1);
    EXPECT_EQ(level_FlightState[100], 0);
    EXPECT_EQ(ctx.heapMark, nullptr);
    EXPECT_EQ(ctx.windows, nullptr);
    EXPECT_EQ(ctx.callbacks, nullptr);  // the next screen starts the menus again
    inmap_InFlight = 0;
    level_GameMode = GameModeFlags{};
}

TEST_F(FlightScreens, StationCyclesWrapAndThePartnerMirrors) {
    LoadoutEnter(1);
    ASSERT_NE(ord_Manager, nullptr);
    const OrdHardpoint* h = ord_HardpointFind("HardPoint 2");
    ASSERT_NE(h, nullptr);
    int32_t options = 0;
    for (const OrdOption* o = h->options; o; o = o->next) options++;
    // From the empty store, one press per option comes back to it, each
    // store shown once, mirrored on the partner.
    ord_HardpointClear("HardPoint 2");
    ord_PartnerHardpointClear("HardPoint 2");
    mnu_LoadoutStationTexts();
    EXPECT_STREQ(AreaText("TxtLOSel4"), "Empty");
    int32_t emptySeen = 0;
    for (int32_t i = 0; i < options; i++) {
        mnu_LoadoutStoreNext(3);
        const OrdOption* mine = ord_HardpointGetStore("HardPoint 2");
        const OrdOption* partner = ord_HardpointGetStore("HardPoint 8");
        ASSERT_NE(mine, nullptr);
        ASSERT_NE(partner, nullptr);
        EXPECT_EQ(partner->type, mine->type);
        EXPECT_EQ(partner->count, mine->count);
        EXPECT_EQ(mnu_LoadoutStations[3].type, mine->type);
        emptySeen += mine->type < 0;
    }
    EXPECT_EQ(emptySeen, 1);
    // With the station empty again the weights are those of the start; a
    // store adds its weight to the loaded figure (position 2).
    const std::string emptyWeight = AreaText("TxtLODescPos2");
    mnu_LoadoutStoreNext(3);
    EXPECT_NE(AreaText("TxtLODescPos2"), emptyWeight);
    mnu_LoadoutStorePrev(3);
    EXPECT_EQ(AreaText("TxtLODescPos2"), emptyWeight);
    EXPECT_EQ(mnu_LoadoutStations[3].type, -1);
    EXPECT_EQ(mnu_Loadout.marker, 3);
    EXPECT_EQ(mnu_Loadout.markerBlink, 8);
    // Backwards from the empty store: the option before it in the list.
    const OrdOption* before = nullptr;
    for (const OrdOption* o = h->options; o && o->type >= 0; o = o->next) before = o;
    mnu_LoadoutStorePrev(3);
    ASSERT_NE(before, nullptr);
    EXPECT_EQ(mnu_LoadoutStations[3].type, before->type);
}

TEST_F(FlightScreens, WeaponTextsRangeAndQuantity) {
    int32_t bomb = -1, missile = -1, rangeless = -1;
    for (int32_t i = 0; i < WEAPON_TYPES; i++) {
        if (bomb < 0 && (weapon_Types[i].kind & (WEAPON_BOMB | WEAPON_ANTI_SHIP)) == WEAPON_BOMB) bomb = i;
        if (rangeless < 0 && weapon_Types[i].seekerRange == 0) rangeless = i;
        if (missile < 0 && weapon_Types[i].seekerRange != 0 && (weapon_Types[i].kind & 0x518) == 0x100) missile = i;
    }
    ASSERT_GE(bomb, 0);
    ASSERT_GE(missile, 0);
    ASSERT_GE(rangeless, 0);
    LoadoutEnter(1);
    mnu_LoadoutWeaponTexts(0, bomb);
    EXPECT_STREQ(AreaText("TxtLOWeapText2"), "Bomb");
    mnu_LoadoutWeaponTexts(0, rangeless);
    EXPECT_STREQ(AreaText("TxtLOWeapText4"), "Range: N/A");
    EXPECT_STREQ(AreaText("TxtLOWeapText6"), "");  // quick mission: no stock line
    mnu_LoadoutWeaponTexts(0, missile);
    EXPECT_STREQ(AreaText("TxtLOWeapText2"), "Air to air");
    char range[64];
    snprintf(range, sizeof range, "Range: %d nm", (int)((float)weapon_Types[missile].seekerRange * 16.0f * 0.00016420361f));
    EXPECT_STREQ(AreaText("TxtLOWeapText4"), range);
    char weight[64];
    snprintf(weight, sizeof weight, "Weight: %d lbs",
             (int)((weapon_Types[missile].mass + weapon_Types[missile].fuel) * 2.2046225f));
    EXPECT_STREQ(AreaText("TxtLOWeapText5"), weight);
    WndLoadOut.leave();
    loadout = false;
    ord_LoadoutEnd(0);
    // A campaign shows its stock.
    mnu_PilotSet16(MNU_PILOT_SLOT, 1);
    LoadoutEnter(0);
    mnu_StockCheck = 1;
    mnu_CampLoadoutList = &mnu_CampLoadout.lists[1];
    mnu_CampLoadoutSet(mnu_CampLoadoutList, missile, 6);
    mnu_LoadoutWeaponTexts(0, missile);
    EXPECT_STREQ(AreaText("TxtLOWeapText6"), "In stock: 6");
    mnu_StockCheck = 0;
    mnu_CampLoadoutList = nullptr;
}

TEST_F(FlightScreens, PreviewZoomAfterTheFlyIn) {
    LoadoutEnter(1);
    EXPECT_EQ(mnu_Loadout.distance, 589824);
    mnu_LoadoutPreviewControl(3);  // ignored during the fly-in
    EXPECT_EQ(mnu_Loadout.distance, 589824);
    int32_t pitches = 0;
    while (mnu_Loadout.flyIn > 0) {
        mnu_LoadoutPreviewStep();
        pitches++;
    }
    EXPECT_EQ(mnu_Loadout.distance, 589824 - 33792);
    EXPECT_EQ(mnu_Loadout.pitch, 0);  // the spin table ran out first
    mnu_LoadoutPreviewControl(3);
    EXPECT_EQ(mnu_Loadout.distance, 393216);
    mnu_Loadout.distance = 196608 - 1;
    mnu_LoadoutPreviewControl(2);
    EXPECT_EQ(mnu_Loadout.distance, 192512);
    mnu_Loadout.yaw = 0;
    mnu_LoadoutPreviewControl(0);
    EXPECT_EQ(mnu_Loadout.yaw, 510 * 65536);
    EXPECT_GT(pitches, 0);
}

// The aircraft preview drawn through the orbit camera and the object
// renderer into its rectangle of the screen.
class PreviewDraw : public FlightScreens {
protected:
    static constexpr int32_t kLeft = 16, kTop = 17, kWidth = 609, kHeight = 223;
    void SetUp() override {
        FlightScreens::SetUp();
        ASSERT_EQ(mkdata_WritePalettes("."), 0);
        for (const MkModelFile& f : mkdata_ModelFiles(".")) ASSERT_EQ(mkdata_WriteFile(".", f.name, f.data), 0);
    }
    // Draws over a screen filled with one colour; counts the pixels drawn
    // inside the rectangle (neither the fill nor the cleared black) and
    // the pixels changed outside it, and keeps the rectangle as RGB.
    struct Result {
        int32_t drawn = 0, inside = 0, outside = 0;
        std::vector<uint8_t> rgb;
    };
    Result Draw() {
        const uint16_t fill = 0x1234;
        Result n;
        uint8_t* base = otw_LockSurface();
        EXPECT_NE(base, nullptr);
        if (!base) return n;
        const _DRAW_SURFACE& s = otw_ScreenSurface;
        auto at = [&](int32_t x, int32_t y) { return base + (size_t)y * (size_t)s.bytesPerRow + (size_t)x * 2; };
        for (int32_t y = 0; y < 480; y++)
            for (int32_t x = 0; x < 640; x++) memcpy(at(x, y), &fill, 2);
        n.drawn = mnu_LoadoutPreviewDraw(mnu_Loadout.model, mnu_Loadout.yaw, mnu_Loadout.pitch, mnu_Loadout.distance);
        for (int32_t y = 0; y < 480; y++)
            for (int32_t x = 0; x < 640; x++) {
                uint16_t v;
                memcpy(&v, at(x, y), 2);
                bool in = x >= kLeft && x < kLeft + kWidth && y >= kTop && y < kTop + kHeight;
                if (in && v != 0 && v != fill) n.inside++;
                if (!in && v != fill) n.outside++;
                if (in) {
                    n.rgb.push_back((uint8_t)((v >> 11) << 3));
                    n.rgb.push_back((uint8_t)(((v >> 5) & 63) << 2));
                    n.rgb.push_back((uint8_t)((v & 31) << 3));
                }
            }
        otw_UnlockSurface();
        return n;
    }
};

TEST_F(PreviewDraw, AircraftWithItsStoresMatchesTheStoredPicture) {
    const int32_t ambient = render_Object.ambient, yaw = view_LookYaw;
    LoadoutEnter(1);
    ASSERT_NE(mnu_Loadout.model, nullptr);
    EXPECT_STREQ(mnu_Loadout.modelName, "loadkrx.pak");
    // A store on a station pair, seen from above and aside after the fly-in.
    for (int32_t i = 0; i < 2; i++) mnu_LoadoutStoreNext(2);
    ASSERT_GE(mnu_LoadoutStations[2].type, 0);
    while (mnu_Loadout.flyIn > 0) mnu_LoadoutPreviewStep();
    mnu_Loadout.yaw = 200 * 65536;
    mnu_Loadout.pitch = 40 * 65536;
    Result r = Draw();
    EXPECT_EQ(r.drawn, 1);
    EXPECT_GT(r.inside, 5000);
    EXPECT_EQ(r.outside, 0);
    EXPECT_EQ(view_LookYaw, yaw);  // the flight's view words are left as they were
    test_GoldenCompare(r.rgb, kWidth, kHeight, "loadout_preview.bmp");
    // Leaving gives the renderer its shading back.
    WndLoadOut.leave();
    loadout = false;
    EXPECT_EQ(render_Object.ambient, ambient);
}

TEST_F(PreviewDraw, StandInModelAndNoModel) {
    struct Case {
        bool preview, standIn;
        const char* name;
    };
    const Case cases[] = {{false, true, "boo.pak"}, {false, false, nullptr}};
    for (const Case& c : cases) {
        if (!c.preview) remove("loadkrx.pak");
        if (!c.standIn) remove("boo.pak");
        LoadoutEnter(1);
        EXPECT_STREQ(mnu_Loadout.modelName ? mnu_Loadout.modelName : "", c.name ? c.name : "");
        Result r = Draw();
        EXPECT_EQ(r.drawn, c.name ? 1 : 0);
        EXPECT_EQ(r.inside > 0, c.name != nullptr);
        EXPECT_EQ(r.outside, 0);
        WndLoadOut.leave();
        loadout = false;
        ord_LoadoutEnd(0);
    }
}

}  // namespace
