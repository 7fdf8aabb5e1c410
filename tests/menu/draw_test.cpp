// Menu drawing: dirty rectangles and the layers above, text placement,
// hot-key underline, caret, the popup box and short button strips.
#include <cstdlib>
#include <cstring>

#include "display/font.h"
#include "widget_page.h"

namespace {

struct Box {
    int32_t x1 = 1 << 30, y1 = 1 << 30, x2 = -1, y2 = -1;
    int32_t count = 0;
    bool Empty() const { return x2 < 0; }
};

// Bounding box of the pixels that differ from `blank` (surface locked).
Box InkBox(uint16_t blank) {
    Box b;
    for (int32_t y = 0; y < 480; y++)
        for (int32_t x = 0; x < 640; x++) {
            uint16_t v;
            memcpy(&v, otw_ScreenSurface.base + (size_t)y * otw_ScreenSurface.bytesPerRow + (size_t)x * 2, 2);
            if (v == blank) continue;
            b.count++;
            if (x < b.x1) b.x1 = x;
            if (y < b.y1) b.y1 = y;
            if (x > b.x2) b.x2 = x;
            if (y > b.y2) b.y2 = y;
        }
    return b;
}

class DrawTest : public WidgetPage {
protected:
    void Clear() {
        draw_SetBlitDest(otw_ScreenSurface.base, 640);
        draw_FillRectC(0, 0, 640, 480, 0);
    }
    const BitmapFont* Font() { return mnu_FontFind(&ctx, "F10")->block.font; }
    int32_t LineHeight() { return mnu_FontFind(&ctx, "F10")->block.lineHeight; }
    // The box of a text drawn through the menus, and of the same text drawn
    // plainly at a known pen position.
    Box MenuInk(const char* text, const MnuRect& r, int32_t flags, char hot = 0) {
        Clear();
        mnu_TextDraw(&ctx, text, "F10", nullptr, &r, 0, 0, flags, MNU_STATE_NORMAL, hot, 0, nullptr);
        return InkBox(0);
    }
    Box PlainInk(const char* text, int32_t x, int32_t y) {
        Clear();
        font_State.tableOverride = draw_TintRamp;
        font_DrawString(text, Font(), x, y, 0, FONT_MODE_IMAGE);
        font_State.tableOverride = nullptr;
        return InkBox(0);
    }
};

TEST_F(DrawTest, TwoRefreshesBeforeADrawRepaintTheirUnion) {
    MnuWindow* w = mnu_WindowFind(&ctx, "WndTest");
    ASSERT_NE(otw_LockSurface(), nullptr);
    mnu_Draw(&ctx);  // the whole window once
    for (int32_t i = 0; i < ctx.buttonCount; i++) ctx.buttons[i].flags &= ~MNU_BUTTON_REDRAW;
    MnuRect a = {10, 300, 60, 330}, b = {40, 320, 90, 350};
    mnu_WindowRefresh(&ctx, "WndTest", &a, 1);
    mnu_WindowRefresh(&ctx, "WndTest", &b, 1);
    EXPECT_EQ(w->dirtyLeft, 10);
    EXPECT_EQ(w->dirtyTop, 300);
    EXPECT_EQ(w->dirtyRight, 90);
    EXPECT_EQ(w->dirtyBottom, 350);
    Clear();
    vid_FrameCounters = VidFrameCounters{};
    mnu_Draw(&ctx);
    EXPECT_EQ(vid_FrameCounters.bytes, 80u * 50u * 2u);
    Box ink = InkBox(0);
    EXPECT_EQ(ink.x1, 10);
    EXPECT_EQ(ink.y1, 300);
    EXPECT_EQ(ink.x2, 89);
    EXPECT_EQ(ink.y2, 349);
    EXPECT_FALSE(w->flags & MNU_WINDOW_REPAINT);
    otw_UnlockSurface();
}

TEST_F(DrawTest, ARefreshPassesToShownWindowsAboveAndMarksWidgetsUnderIt) {
    mnu_WindowShow(&ctx, "WndPopup");
    MnuWindow* top = mnu_WindowFind(&ctx, "WndPopup");
    MnuWindow* bottom = mnu_WindowFind(&ctx, "WndTest");
    top->flags &= ~MNU_WINDOW_REPAINT;
    bottom->flags &= ~MNU_WINDOW_REPAINT;  // nothing pending: the rectangle alone
    for (int32_t i = 0; i < ctx.buttonCount; i++) ctx.buttons[i].flags &= ~MNU_BUTTON_REDRAW;
    for (int32_t i = 0; i < ctx.textAreaCount; i++) ctx.textAreas[i].flags &= ~MNU_AREA_REDRAW;
    MnuRect r = {70, 170, 260, 215};  // over the popup's corner, the short button and two texts
    mnu_WindowRefresh(&ctx, "WndTest", &r, 0);
    EXPECT_TRUE(top->flags & MNU_WINDOW_REPAINT);
    EXPECT_EQ(top->dirtyLeft, 70);  // the same numbers, not moved into the popup's frame
    EXPECT_EQ(top->dirtyBottom, 215);
    EXPECT_TRUE(mnu_ButtonFind(&ctx, "BtnThree")->flags & MNU_BUTTON_REDRAW);
    EXPECT_FALSE(mnu_ButtonFind(&ctx, "BtnOnce")->flags & MNU_BUTTON_REDRAW);
    EXPECT_TRUE(mnu_TextAreaFind(&ctx, "TxtTall")->flags & MNU_AREA_REDRAW);
    EXPECT_FALSE(mnu_TextAreaFind(&ctx, "TxtCentre")->flags & MNU_AREA_REDRAW);
    // A window below is not refreshed by one above.
    bottom->flags &= ~MNU_WINDOW_REPAINT;
    mnu_WindowRefresh(&ctx, "WndPopup", &r, 0);
    EXPECT_FALSE(bottom->flags & MNU_WINDOW_REPAINT);
}

TEST_F(DrawTest, TextPlacementByFlags) {
    ASSERT_NE(otw_LockSurface(), nullptr);
    const char* text = "Place";
    const int32_t width = font_StringWidth(text, Font()), lh = LineHeight();
    ASSERT_GT(lh, 8);
    const MnuRect r = {100, 100, 300, 140};
    const struct {
        int32_t flags;
        MnuRect rect;
        int32_t penX, penY;
    } kCases[] = {
        {0, r, 108, 100 + (40 - lh) / 2},
        {MNU_AREA_RIGHT, r, 300 - width - 8, 100 + (40 - lh) / 2},
        {MNU_AREA_CENTRED, r, 100 + (200 - width) / 2, 100 + (40 - lh) / 2},
        {(int32_t)MNU_AREA_CENTRED | (int32_t)MNU_AREA_WRAPPED, r, 100, 100},
        {MNU_AREA_OUTSIDE_LEFT, r, 100 - width - 8, 140 - lh},
        {MNU_AREA_OUTSIDE_RIGHT, r, 308, 140 - lh},
        // one line taller than its rectangle starts at the top
        {0, MnuRect{100, 100, 300, 104}, 108, 100},
    };
    for (const auto& c : kCases) {
        Box got = MenuInk(text, c.rect, c.flags);
        Box want = PlainInk(text, c.penX, c.penY);
        ASSERT_FALSE(want.Empty());
        EXPECT_EQ(got.x1, want.x1) << "flags " << c.flags;
        EXPECT_EQ(got.y1, want.y1) << "flags " << c.flags;
        EXPECT_EQ(got.x2, want.x2) << "flags " << c.flags;
    }
    otw_UnlockSurface();
}

TEST_F(DrawTest, HotKeyUnderlineOnlyForACharacterOfTheText) {
    ASSERT_NE(otw_LockSurface(), nullptr);
    const MnuRect r = {100, 100, 300, 140};
    Box plain = MenuInk("Alpha", r, 0);
    const struct {
        char hot;
        bool underline;
    } kCases[] = {{'l', true}, {'z', false}, {'L', false}};
    for (const auto& c : kCases) {
        Box b = MenuInk("Alpha", r, 0, c.hot);
        EXPECT_EQ(b.count > plain.count, c.underline) << c.hot;
    }
    otw_UnlockSurface();
}

TEST_F(DrawTest, TheCaretIsDrawnFromACopy) {
    ASSERT_NE(otw_LockSurface(), nullptr);
    char* text = static_cast<char*>(malloc(4));  // exactly "abc": no room for the caret
    memcpy(text, "abc", 4);
    const MnuRect r = {100, 100, 300, 140};
    Box plain = MenuInk(text, r, 0);
    Box caret = MenuInk(text, r, MNU_AREA_CARET);
    EXPECT_STREQ(text, "abc");
    EXPECT_GT(caret.x2, plain.x2);
    free(text);
    otw_UnlockSurface();
}

TEST_F(DrawTest, AWidePopupIsCentredOn320TwoLinesHigh) {
    std::string text = "Wide";
    while (font_StringWidth(text.c_str(), Font()) < 500) text += " popup";
    ASSERT_LT(font_StringWidth(text.c_str(), Font()), 640);
    const int32_t lh = LineHeight();
    const struct {
        int32_t flags, top, bottom;
    } kCases[] = {
        {0, 472 - 2 * lh, 472},
        {MNU_POPUP_TOP, 8, 2 * lh + 8},
        {MNU_POPUP_CENTRED, 240 - lh, 240 + lh},
    };
    for (const auto& c : kCases) {
        mnu_PopupShow(&ctx, text.c_str(), "F10", -1, nullptr, 0, nullptr, 0, c.flags);
        EXPECT_EQ(mnu_Popup.rect.left, 160);
        EXPECT_EQ(mnu_Popup.rect.right, 480);
        EXPECT_EQ(mnu_Popup.rect.top, c.top) << c.flags;
        EXPECT_EQ(mnu_Popup.rect.bottom, c.bottom) << c.flags;
        EXPECT_EQ(mnu_Popup.style, 5);
    }
    ASSERT_NE(otw_LockSurface(), nullptr);
    EXPECT_EQ(mnu_PopupDraw(&ctx), 1);
    EXPECT_EQ(mnu_PopupDraw(&ctx), 0);  // drawn once per show
    otw_UnlockSurface();
}

TEST_F(DrawTest, AShortStripShowsItsLastFrameForTheLaterStates) {
    MnuButton* b = mnu_ButtonFind(&ctx, "BtnThree");
    ASSERT_EQ(b->image->frameCount, 3);
    ASSERT_NE(otw_LockSurface(), nullptr);
    const int32_t x = b->x + 30, y = b->y + 10;  // inside, away from the frame's edge
    uint16_t frame[4];
    for (int32_t picture = 0; picture < 4; picture++) {
        Clear();
        b->picture = picture;
        b->flags |= MNU_BUTTON_REDRAW;
        mnu_ButtonDraw(b, 0, 0);
        frame[picture] = ScreenAt(x, y);
        EXPECT_NE(frame[picture], 0) << picture;
    }
    EXPECT_NE(frame[0], frame[2]);
    EXPECT_EQ(frame[3], frame[2]);
    otw_UnlockSurface();
}

TEST_F(DrawTest, WrappedTextCountsItsLinesAndStartsAtTheFirstVisible) {
    MnuTextArea* a = mnu_TextAreaFind(&ctx, "TxtWrap");
    ASSERT_NE(otw_LockSurface(), nullptr);
    mnu_WindowTextDraw(&ctx, "WndTest");
    EXPECT_GT(a->lineCount, 2);
    Clear();
    MnuRect r = {a->left, a->top, a->right, a->bottom};
    mnu_TextDraw(&ctx, a->text, "F10", nullptr, &r, 0, 0, MNU_AREA_WRAPPED, 1, 0, 0, nullptr);
    Box first = InkBox(0);
    Clear();
    mnu_TextDraw(&ctx, a->text, "F10", nullptr, &r, 0, 0, MNU_AREA_WRAPPED, 1, 0, 1000, nullptr);
    EXPECT_TRUE(InkBox(0).Empty());  // the first line is limited to the count: nothing left to show
    EXPECT_LE(first.y2, a->bottom);
    EXPECT_GE(first.x1, a->left);
    otw_UnlockSurface();
}

}  // namespace
