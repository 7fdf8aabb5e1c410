// Page transitions (the reveal by steps, each kind's mask, freeing) and the
// software cursor (clamping, save-under, windowed mode).
#include <cstring>
#include <vector>

#include "display/rast.h"
#include "widget_page.h"

namespace {

constexpr uint32_t kOld = 0x000000;

// The new page: one colour over the whole surface.
void DrawNewPage(void) {
    draw_SetBlitDest(otw_ScreenSurface.base, 640);
    draw_FillRectC(0, 0, 640, 480, 0xFFFF);
}

class TransTest : public WidgetPage {
protected:
    void SetUp() override {
        WidgetPage::SetUp();
        Frame([] {
            draw_SetBlitDest(otw_ScreenSurface.base, 640);
            draw_FillRectC(0, 0, 640, 480, 0);
        });
    }
    // Pixels of the last frame that show the new page.
    static int64_t NewPixels(const std::vector<uint32_t>& f) {
        int64_t n = 0;
        for (uint32_t p : f) n += p != kOld;
        return n;
    }
    // One tick of a screen in transition: the update steps, the draw shows.
    std::vector<uint32_t> Tick() {
        mnu_Update(&ctx);
        mnu_TransitionFrame();
        return LastFrame();
    }
};

TEST_F(TransTest, ADissolveShowsASixteenthPerStepAllAfter16AndIsFreedOnThe17th) {
    mnu_TransitionSet(&ctx, 1, "WndTest", DrawNewPage, "", nullptr);
    ASSERT_TRUE(mnu_Transition.running);
    EXPECT_EQ(NewPixels(LastFrame()), 0);
    const int64_t all = 640 * 480;
    const int32_t updatesBefore = mnu_UpdateCount;
    int64_t first = NewPixels(Tick());
    EXPECT_GT(first, all * 5 / 100);
    EXPECT_LT(first, all * 8 / 100);
    for (int32_t step = 2; step <= 16; step++) Tick();
    EXPECT_EQ(NewPixels(LastFrame()), all);
    EXPECT_TRUE(mnu_Transition.finished);
    EXPECT_TRUE(mnu_WindowFind(&ctx, "WndTest")->flags & MNU_WINDOW_REPAINT);  // the page takes over
    mnu_Update(&ctx);  // the 17th step frees it
    EXPECT_FALSE(mnu_Transition.running);
    EXPECT_EQ(mnu_Transition.inPage, nullptr);
    EXPECT_EQ(mnu_Transition.mask, nullptr);
    EXPECT_EQ(mnu_UpdateCount, updatesBefore);  // the normal update did not run meanwhile
    EXPECT_EQ(mnu_TransitionFrame(), 0);
}

TEST_F(TransTest, ANewTransitionFreesTheRunningOneAndStartsFromTheScreen) {
    mnu_TransitionSet(&ctx, 1, "WndTest", DrawNewPage, "", nullptr);
    for (int32_t i = 0; i < 8; i++) Tick();
    const int64_t halfway = NewPixels(LastFrame());
    EXPECT_GT(halfway, 640 * 480 / 3);
    mnu_TransitionSet(&ctx, 1, "WndTest", nullptr, "", nullptr);
    EXPECT_EQ(mnu_Transition.threshold, 0);
    // The old page of the new one is the screen as it was, half revealed.
    int64_t n = 0;
    for (int32_t i = 0; i < 640 * 480; i++) {
        uint16_t v;
        memcpy(&v, mnu_Transition.outPage + i * 2, 2);
        n += v != 0;
    }
    EXPECT_EQ(n, halfway);
}

TEST_F(TransTest, AnUnknownKindRunsNoTransition) {
    for (int32_t kind : {0, 8, -3}) {
        mnu_TransitionSet(&ctx, kind, "WndTest", DrawNewPage, "", nullptr);
        EXPECT_FALSE(mnu_Transition.running) << kind;
        const int32_t before = mnu_UpdateCount;
        mnu_Update(&ctx);
        EXPECT_EQ(mnu_UpdateCount, before + 1) << kind;  // the menus go on
    }
}

TEST_F(TransTest, MasksRevealInTheOrderOfTheirKind) {
    // Which of two points shows first: the one with the larger mask value.
    const struct {
        int32_t kind;
        int32_t firstX, firstY, laterX, laterY;
    } kCases[] = {
        {2, 320, 240, 0, 0},   // iris opening: centre first
        {7, 320, 240, 639, 479},
        {3, 0, 0, 320, 240},   // iris closing: edges first
        {4, 2, 240, 630, 240}, // wipe from the left
        {5, 630, 240, 2, 240}, // wipe from the right
    };
    for (const auto& c : kCases) {
        mnu_TransitionSet(&ctx, c.kind, "WndTest", DrawNewPage, "", nullptr);
        const uint16_t* m = mnu_Transition.mask;
        ASSERT_NE(m, nullptr);
        // Noise adds up to 63: compare the mean of a small block.
        auto mean = [&](int32_t x, int32_t y) {
            int32_t sum = 0;
            for (int32_t dy = 0; dy < 4; dy++)
                for (int32_t dx = 0; dx < 4; dx++) sum += m[(std::min(y + dy, 479)) * 640 + std::min(x + dx, 639)];
            return sum / 16;
        };
        EXPECT_GT(mean(c.firstX, c.firstY), mean(c.laterX, c.laterY) + 64) << c.kind;
    }
}

TEST_F(TransTest, AShapeIsRevealedInTheFirstStepAndTheRestInTheLast) {
    // A square of side 20 around the centre, drawn at five scales (up to 100).
    const int32_t vertices[] = {-10, -10, 0, 10, -10, 0, 10, 10, 0, -10, 10, 0};
    const int32_t triangles[] = {0, 1, 2, 0, 2, 3};
    const MnuShape shape = {2, triangles, vertices, 4};
    mnu_TransitionSet(&ctx, 6, "WndTest", DrawNewPage, "", &shape);
    auto frame = Tick();
    EXPECT_NE(frame[240 * 640 + 320], kOld);      // inside
    EXPECT_NE(frame[(240 - 45) * 640 + 320], kOld); // inside the largest scale
    EXPECT_EQ(frame[20 * 640 + 20], kOld);        // outside: not yet
    for (int32_t step = 2; step < 16; step++) frame = Tick();
    EXPECT_EQ(frame[20 * 640 + 20], kOld);
    frame = Tick();
    EXPECT_EQ(NewPixels(frame), 640 * 480);
}

TEST_F(TransTest, TheNoiseStartsFromItsSeed) {
    mnu_TransNoiseSeed();
    uint32_t s = 721897921u;
    for (int32_t i = 0; i < 3; i++) {
        uint32_t t = (s >> 21) + s * 2049u;
        s = (t << 3) | (t >> 29);
        EXPECT_EQ(mnu_TransNoise(), s);
    }
}

class CursorTest : public TransTest {};

TEST_F(CursorTest, TheCursorNeverLeavesTheScreen) {
    ASSERT_EQ(mnu_CursorSet(&ctx, "Cursor1"), 1);
    EXPECT_EQ(mnu_CursorSet(&ctx, "NoSuchCursor"), 0);
    ASSERT_TRUE(mnu_Cursor.active);
    EXPECT_EQ(mnu_Cursor.frameHeight, 16);
    const struct {
        int32_t mouseX, mouseY, hotX, hotY, x, y;
    } kCases[] = {
        {100, 50, 0, 0, 100, 50},     {5000, 5000, 0, 0, 624, 464}, {639, 0, 0, 0, 624, 0},
        {-40, -40, 3, 4, 3, 4},       {630, 478, 3, 4, 624, 464},
    };
    for (const auto& c : kCases) {
        app_MouseState.x = c.mouseX;
        app_MouseState.y = c.mouseY;
        mnu_CursorHotSpotSet(c.hotX, c.hotY);
        mnu_CursorStep();
        mnu_CursorDrawHook(640, 480);
        EXPECT_EQ(mnu_Cursor.x, c.x) << c.mouseX;
        EXPECT_EQ(mnu_Cursor.y, c.y) << c.mouseY;
        mnu_CursorRestoreHook(640, 480);
    }
}

TEST_F(CursorTest, TheCursorIsDrawnBeforeTheFlipAndTakenOffAfterIt) {
    ASSERT_EQ(mnu_CursorSet(&ctx, "Cursor1"), 1);
    app_MouseState.x = 200;
    app_MouseState.y = 100;
    mnu_CursorStep();
    auto shown = Frame([] {});
    EXPECT_NE(shown[(100 + 8) * 640 + 201], kOld);  // the arrow's body
    // After the flip the screen holds the page alone again.
    ASSERT_NE(otw_LockSurface(), nullptr);
    EXPECT_EQ(ScreenAt(201, 108), 0);
    otw_UnlockSurface();
    // The animation advances every delay + 1 steps and wraps (one step ran
    // above).
    std::vector<int32_t> frames;
    for (int32_t i = 0; i < 12; i++) {
        mnu_CursorStep();
        frames.push_back(mnu_Cursor.current);
    }
    EXPECT_EQ(frames, (std::vector<int32_t>{0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 0, 0}));
    // Hidden, nothing is drawn; shown again, it is.
    mnu_CursorHide();
    EXPECT_EQ(Frame([] {})[(100 + 8) * 640 + 201], kOld);
    mnu_CursorShow();
    EXPECT_NE(Frame([] {})[(100 + 8) * 640 + 201], kOld);
    mnu_CursorRelease();
    EXPECT_FALSE(mnu_Cursor.active);
    EXPECT_EQ(vid_State.preFlip, nullptr);
    EXPECT_EQ(Frame([] {})[(100 + 8) * 640 + 201], kOld);
}

TEST_F(CursorTest, AWindowedDisplayUsesTheSystemCursor) {
    otw_CloseDisplay();
    ASSERT_EQ(otw_OpenDisplay(640, 480, 2, 1, 0), 0);
    ASSERT_EQ(mnu_CursorSet(&ctx, "Cursor1"), 1);
    EXPECT_EQ(vid_State.preFlip, nullptr);
    EXPECT_EQ(vid_State.postFlip, nullptr);
    EXPECT_FALSE(mnu_Cursor.drawing);
    EXPECT_EQ(mnu_Cursor.hotX, 0);
}

}  // namespace
