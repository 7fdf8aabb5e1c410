// The credits scroller: lines from the credits file, their places, the
// scroll steps and the end of the screen.
#include "menu/front.h"
#include "widget_page.h"
#include "shell/runner.h"

namespace {

class CreditsTest : public WidgetPage {
protected:
    void SetUp() override {
        WidgetPage::SetUp();
        mnu_Context = &ctx;
        mnu_LeaveFlag = 0;
        app_Runner = AppRunnerState{};
    }
    void TearDown() override {
        mnu_CreditsFree(&ctx);
        mnu_Context = nullptr;
        WidgetPage::TearDown();
    }
    void LoadCredits(const std::vector<std::string>& lines, int32_t tickDelay = 0) {
        MkCredits c;
        c.global = {{"VIEWPORT_ULX", 100}, {"VIEWPORT_ULY", 50},  {"VIEWPORT_LRX", 500}, {"VIEWPORT_LRY", 300},
                    {"SCROLL_RATE", 10},   {"TICK_DELAY", tickDelay}, {"CR_SPACER", 20}, {"LINE_SPACER", 5}};
        c.lines = lines;
        test_WriteText("CRE.TXT", mkdata_CreditsBuild(c));
        mnu_CreditsLoad(&ctx, "CRE.TXT");
        mnu_CreditsStart(&ctx);
    }
    // One drawn frame of the credits page.
    void DrawStep() {
        ASSERT_NE(otw_LockSurface(), nullptr);
        mnu_CreditsDraw(&ctx, "WndTest");
        otw_UnlockSurface();
    }
    static std::vector<MnuCredit*> Lines() {
        std::vector<MnuCredit*> v;
        for (MnuCredit* l = mnu_Credits.first; l; l = l->next) v.push_back(l);
        return v;
    }
};

TEST_F(CreditsTest, LinesArePlacedByFlagsAndUnknownFontsAreDropped) {
    LoadCredits({"Left, F10, 0", "Right side, F10, 1", "Centred text, F10, 6", "Lost, NOFONT, 0", "<CR>, F10, 16",
                 "Greyed, F10, 8"});
    std::vector<MnuCredit*> l = Lines();
    ASSERT_EQ(l.size(), 5u);
    const int32_t h = l[0]->lineHeight;
    ASSERT_GT(h, 0);
    // y = previous + LINE_SPACER + line height, from LRY + CR_SPACER.
    EXPECT_FLOAT_EQ(l[0]->y, 300 + 20 + 5 + h);
    EXPECT_FLOAT_EQ(l[1]->y, l[0]->y + 5 + h);
    EXPECT_FLOAT_EQ(l[2]->y, l[1]->y + 5 + h);
    // Flag 4 adds CR_SPACER after its line; the dropped line takes no room.
    EXPECT_FLOAT_EQ(l[3]->y, l[2]->y + 20 + 5 + h);
    EXPECT_EQ(l[0]->x, 0);
    EXPECT_EQ(l[1]->x, 400 - l[1]->width - 8);
    EXPECT_EQ(l[2]->x, (400 - l[2]->width) / 2);
    EXPECT_STREQ(l[3]->text, "");
    EXPECT_EQ(l[3]->width, 0);
    // Colours: normal 1-2, highlighted 3-4, disabled 5-6.
    EXPECT_EQ(l[0]->colours[0].red, 255);  // White
    EXPECT_EQ(l[3]->colours[0].green, 190);  // Amber
    EXPECT_EQ(l[4]->colours[0].red, 90);   // Dim
}

TEST_F(CreditsTest, AStepWaitsForItsDrawAndTheDelay) {
    for (int32_t delay : {0, 2}) {
        SCOPED_TRACE(delay);
        mnu_CreditsFree(&ctx);
        LoadCredits({"One, F10, 0"}, delay);
        MnuCredit* l = mnu_Credits.first;
        ASSERT_NE(l, nullptr);
        const float y0 = l->y;
        mnu_CreditsStep(&ctx);
        EXPECT_FLOAT_EQ(l->y, y0 - 10);
        // Not drawn yet: the scroller holds.
        mnu_CreditsStep(&ctx);
        EXPECT_FLOAT_EQ(l->y, y0 - 10);
        DrawStep();
        for (int32_t i = 0; i < delay; i++) {
            mnu_CreditsStep(&ctx);
            EXPECT_FLOAT_EQ(l->y, y0 - 10);
        }
        mnu_CreditsStep(&ctx);
        EXPECT_FLOAT_EQ(l->y, y0 - 20);
    }
}

TEST_F(CreditsTest, ScreenReturnsAfterTheLastLineLeavesTheTop) {
    LoadCredits({"Only line, F10, 2"});
    MnuCredit* l = mnu_Credits.first;
    ASSERT_NE(l, nullptr);
    int32_t frames = 0;
    while (!mnu_Credits.finished && frames < 200) {
        mnu_CreditsStep(&ctx);
        DrawStep();
        frames++;
    }
    EXPECT_TRUE(mnu_Credits.finished);
    EXPECT_LT(l->y, 50.0f - l->lineHeight);
    EXPECT_GE(l->y, 50.0f - l->lineHeight - 10);
    mnu_CreditsBack(0);
    EXPECT_EQ(app_Runner.nextState, &WndMain);
    EXPECT_EQ(mnu_LeaveFlag, 1);
    // A second back does nothing more.
    app_Runner.nextState = nullptr;
    mnu_CreditsBack(0);
    EXPECT_EQ(app_Runner.nextState, nullptr);
}

TEST_F(CreditsTest, ViewportNumbersOutsideTheScreenAreKeptOnIt) {
    MkCredits c;
    c.global = {{"VIEWPORT_ULX", -5}, {"VIEWPORT_ULY", 2000000000}, {"VIEWPORT_LRX", 2147483647},
                {"VIEWPORT_LRY", -2147483647}, {"SCROLL_RATE", 999999}};
    c.lines = {"One, F10, 0"};
    test_WriteText("CRE.TXT", mkdata_CreditsBuild(c));
    mnu_CreditsLoad(&ctx, "CRE.TXT");
    EXPECT_EQ(mnu_Credits.left, 0);
    EXPECT_EQ(mnu_Credits.top, 480);
    EXPECT_EQ(mnu_Credits.right, 640);
    EXPECT_EQ(mnu_Credits.bottom, 480);
    EXPECT_EQ(mnu_Credits.scrollRate, 480);
    mnu_CreditsStart(&ctx);
    mnu_CreditsStep(&ctx);
    DrawStep();
}

TEST_F(CreditsTest, NoCreditLinesKeepTheScreenUp) {
    LoadCredits({});
    for (int i = 0; i < 50; i++) {
        mnu_CreditsStep(&ctx);
        DrawStep();
    }
    EXPECT_EQ(mnu_Credits.first, nullptr);
    EXPECT_FALSE(mnu_Credits.finished);
}

}  // namespace
