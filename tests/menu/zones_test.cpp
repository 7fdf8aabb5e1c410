// Pointer zones: hits, enter and leave, disabled zones, handler slots and
// the auto-repeat of held buttons.
#include <string>
#include <vector>

#include "menu/chs.h"
#include "menu_fixture.h"
#include "shell/mouse.h"
#include "shell/runner.h"

namespace {

std::vector<std::string> g_log;

void Record(chs_Zone* zone, int32_t argument) {
    g_log.push_back(std::to_string(zone->user) + ":" + std::to_string(argument));
}

class ZoneTest : public MenuTest {
protected:
    chs_ZoneList list = {};
    void SetUp() override {
        MenuTest::SetUp();
        g_log.clear();
        app_TickCount = 1000;
        chs_ListInit(&list);
    }
    void TearDown() override {
        while (list.first) chs_ZoneRemove(&list, list.first);
        chs_HookRemove();
        MenuTest::TearDown();
    }
    // A zone whose handlers log "user:event" for enter, leave, down and up.
    chs_Zone* Zone(int32_t user, int32_t l, int32_t t, int32_t r, int32_t b) {
        chs_Zone* z = chs_ZoneAdd(&list, l, t, r, b, user);
        EXPECT_NE(z, nullptr);
        for (int32_t e : {(int32_t)CHS_ENTER, (int32_t)CHS_LEAVE, 2, 4}) chs_ZoneHandlerAdd(z, e, Record, e);
        return z;
    }
};

TEST_F(ZoneTest, DispatchCases) {
    struct Step {
        int32_t event, x, y;
        std::vector<std::string> log;
        int32_t result;
    };
    const struct Case {
        const char* what;
        std::vector<Step> steps;
    } kCases[] = {
        // Zone 1 at (0,0)-(99,99), zone 2 at (200,0)-(299,99), zone 3 over 1 at (50,50)-(150,150) added last.
        {"enter before leave",
         {{1, 10, 10, {"1:8192"}, 0}, {1, 250, 10, {"2:8192", "1:4096"}, 0}, {2, 250, 10, {"2:2"}, 1}}},
        {"the later zone wins where they overlap", {{2, 60, 60, {"3:8192", "3:2"}, 1}}},
        {"edges are inside", {{4, 99, 99, {"3:8192", "3:4"}, 1}, {4, 0, 0, {"1:8192", "3:4096", "1:4"}, 1}}},
        {"no zone: nothing sent, hover kept", {{2, 500, 400, {}, 0}, {1, 10, 10, {"1:8192"}, 0}}},
        {"events without a handler", {{8, 10, 10, {"1:8192"}, 0}}},
    };
    for (const Case& k : kCases) {
        while (list.first) chs_ZoneRemove(&list, list.first);
        Zone(1, 0, 0, 99, 99);
        Zone(2, 200, 0, 299, 99);
        Zone(3, 50, 50, 150, 150);
        for (const Step& s : k.steps) {
            g_log.clear();
            EXPECT_EQ(chs_ListDispatch(&list, s.event, s.x, s.y), s.result) << k.what;
            EXPECT_EQ(g_log, s.log) << k.what;
        }
    }
}

TEST_F(ZoneTest, ADisabledZoneIsPassedThroughToTheZoneUnderIt) {
    Zone(1, 0, 0, 99, 99);
    chs_Zone* top = Zone(2, 0, 0, 99, 99);
    chs_ZoneDisable(top);
    EXPECT_EQ(chs_ListDispatch(&list, 2, 5, 5), 1);
    EXPECT_EQ(g_log, (std::vector<std::string>{"1:8192", "1:2"}));
    EXPECT_NE(list.hovered, top);
    EXPECT_EQ(chs_ZoneSend(top, 2), 0);
    chs_ZoneEnable(top);
    g_log.clear();
    chs_ListDispatch(&list, 2, 5, 5);
    EXPECT_EQ(g_log, (std::vector<std::string>{"2:8192", "1:4096", "2:2"}));
}

TEST_F(ZoneTest, ANinthHandlerIsRefused) {
    chs_Zone* z = chs_ZoneAdd(&list, 0, 0, 9, 9, 7);
    for (int i = 0; i < CHS_HANDLERS; i++) EXPECT_EQ(chs_ZoneHandlerAdd(z, 2, Record, i), 0);
    EXPECT_EQ(chs_ZoneHandlerAdd(z, 2, Record, 8), -1);
    EXPECT_EQ(z->handlerCount, CHS_HANDLERS);
    chs_ZoneSend(z, 2);
    EXPECT_EQ(g_log.size(), 8u);
}

TEST_F(ZoneTest, RemovingAZoneClearsTheHoveredZone) {
    chs_Zone* z = Zone(1, 0, 0, 9, 9);
    chs_ListDispatch(&list, 1, 1, 1);
    EXPECT_EQ(list.hovered, z);
    EXPECT_EQ(chs_ZoneRemove(&list, z), 1);
    EXPECT_EQ(list.hovered, nullptr);
    EXPECT_EQ(list.count, 0);
    EXPECT_EQ(chs_ZoneRemove(nullptr, z), 0);
    EXPECT_EQ(chs_ZoneRemove(&list, nullptr), 0);
}

TEST_F(ZoneTest, AHeldLeftButtonRepeatsEveryIntervalAtTheLastPosition) {
    Zone(1, 0, 0, 99, 99);
    chs_HookInstall();
    app_MouseState.x = 20;
    app_MouseState.y = 30;
    ASSERT_NE(app_MouseState.callback, nullptr);
    app_MouseState.callback(2, 1);  // left button down, held
    chs_RepeatIntervalSet(&list, 8);
    g_log.clear();
    std::vector<uint32_t> repeats;
    for (uint32_t t = 1; t <= 24; t++) {
        app_TickCount = 1000 + t;
        size_t before = g_log.size();
        chs_RepeatTick(&list);
        if (g_log.size() > before) repeats.push_back(t);
    }
    EXPECT_EQ(repeats, (std::vector<uint32_t>{8, 16, 24}));
    for (const std::string& s : g_log) EXPECT_EQ(s, "1:2");
    // Released: no more repeats.
    app_MouseState.callback(4, 0);
    g_log.clear();
    app_TickCount = 1100;
    chs_RepeatTick(&list);
    EXPECT_TRUE(g_log.empty());
}

TEST_F(ZoneTest, TheMenuResetMakesOneFullScreenZoneAndHooksTheMouse) {
    mnu_Reset(&ctx);
    EXPECT_EQ(chs_Current, &mnu_ZoneList);
    ASSERT_EQ(mnu_ZoneList.count, 1);
    chs_Zone* z = mnu_ZoneList.first;
    EXPECT_EQ(z->left, 0);
    EXPECT_EQ(z->bottom, 480);
    EXPECT_EQ(z->right, 640);
    EXPECT_EQ(mnu_ZoneList.interval, 1);
    EXPECT_EQ(app_MouseState.callback, &chs_MouseEvent);
    chs_Zone* r = mnu_ZoneAddRect(10, 20, 30, 40, 2, 3, Record, 5, 9);
    ASSERT_NE(r, nullptr);
    EXPECT_EQ(r->left, 8);
    EXPECT_EQ(r->top, 17);
    EXPECT_EQ(r->right, 42);
    EXPECT_EQ(r->bottom, 63);
    EXPECT_EQ(r->handlers[0].mask, 4);
    mnu_Shutdown(&ctx);
    EXPECT_EQ(app_MouseState.callback, nullptr);
    EXPECT_EQ(mnu_ZoneList.count, 0);
    chs_ListInit(&list);
}

}  // namespace
