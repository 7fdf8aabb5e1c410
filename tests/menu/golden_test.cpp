// Golden frames of the menus on the 16-bit headless display: the page of
// every widget (each button state, every text placement, wrapped text, an
// entry being edited, a scroll list, an image area, the popup and the
// cursor) and a transition half way. The stored pictures are
// tests/fixtures/menu/*.bmp; KRX_GOLDEN_UPDATE=1 writes them anew.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "golden_compare.h"
#include "widget_page.h"

namespace {

char g_entry[16] = "Pilot";
MnuContext* g_pageContext = nullptr;

void DrawWholePage(void) {
    mnu_Draw(g_pageContext);
    mnu_WindowTextDraw(g_pageContext, "WndTest");
    mnu_ImageAreasDraw(g_pageContext);
    mnu_PopupDraw(g_pageContext);
}

class GoldenTest : public WidgetPage {
protected:
    void SetUp() override {
        WidgetPage::SetUp();
        g_pageContext = &ctx;
        snprintf(g_entry, sizeof g_entry, "%s", "Pilot");
        mnu_ButtonSetState(&ctx, "BtnLatch", MNU_STATE_LATCHED);
        mnu_ButtonSetState(&ctx, "BtnRadio1", MNU_STATE_HOVER);
        mnu_ButtonSetState(&ctx, "BtnRadio2", MNU_STATE_PRESSED);
        mnu_ButtonSetState(&ctx, "BtnOnce", MNU_STATE_DISABLED);
        mnu_ButtonSetState(&ctx, "BtnThree", MNU_STATE_DISABLED);
        mnu_EntryBind(&ctx, "EntName", g_entry, sizeof g_entry, nullptr, nullptr);
        mnu_EntryBegin(&ctx, "EntName");
        mnu_TextAreaSetText(&ctx, "TxtWrap", kWrapped);  // longer than a script string
        mnu_ScrollAttach(&ctx, "ScrList");
        mnu_ScrollSetText(&ctx, "ScrList", kScrollText);
        mnu_PopupShow(&ctx, "A popup over the page", "F10", -1, nullptr, 0, nullptr, 0, MNU_POPUP_TOP);
        mnu_CursorSet(&ctx, "Cursor1");
        app_MouseState.x = 300;
        app_MouseState.y = 400;
        mnu_CursorStep();
    }

    void Compare(const std::vector<uint32_t>& frame, const char* name) {
        ASSERT_EQ(frame.size(), 640u * 480u);
        std::vector<uint8_t> rgb(frame.size() * 3);
        for (size_t i = 0; i < frame.size(); i++) {
            rgb[i * 3] = (uint8_t)(frame[i] >> 16);
            rgb[i * 3 + 1] = (uint8_t)(frame[i] >> 8);
            rgb[i * 3 + 2] = (uint8_t)frame[i];
        }
        test_GoldenCompare(rgb, 640, 480, name);
    }
};

TEST_F(GoldenTest, ThePageOfEveryWidget) {
    Compare(Frame([] { DrawWholePage(); }), "page.bmp");
}

TEST_F(GoldenTest, ATransitionHalfWay) {
    // The old page: the backdrop alone; the new one: every widget.
    Frame([] {
        draw_SetBlitDest(otw_ScreenSurface.base, 640);
        draw_FillRectC(0, 0, 640, 480, 0);
    });
    mnu_TransitionSet(&ctx, 2, "WndTest", DrawWholePage, "", nullptr);
    for (int32_t step = 0; step < 8; step++) {
        mnu_Update(&ctx);
        mnu_TransitionFrame();
    }
    Compare(LastFrame(), "transition.bmp");
}

}  // namespace
