// The real program's virtual cursor: in the cockpit view a mouse moved onto
// a labelled button of the left MFD picks it and shows the pick image; off
// the panels the cursor shows its plain image.
#include <gtest/gtest.h>


#include <string>

#include "base/bmp.h"
#include "fixtures/workdir.h"
#include "run_util.h"

namespace {

// The sample cursors are 16 x 16: image 1 a cross on columns and rows 7
// and 8, image 0 an arrow below the diagonal.
bool CrossAt(const _EIMAGE2* img, int32_t x, int32_t y) {
    const uint32_t ink = run_PixelAt(img, x + 7, y + 7);
    for (int32_t i = 0; i < 16; i++)
        if (run_PixelAt(img, x + 7, y + i) != ink || run_PixelAt(img, x + 8, y + i) != ink ||
            run_PixelAt(img, x + i, y + 8) != ink)
            return false;
    return run_PixelAt(img, x + 2, y + 12) != ink && run_PixelAt(img, x + 12, y + 2) != ink;
}
bool ArrowAt(const _EIMAGE2* img, int32_t x, int32_t y) {
    const uint32_t ink = run_PixelAt(img, x + 1, y + 5);
    for (int32_t i = 0; i < 10; i++)
        if (run_PixelAt(img, x + i, y + i) != ink || run_PixelAt(img, x, y + i) != ink) return false;
    return run_PixelAt(img, x + 7, y + 1) != ink;
}

TEST(KrxVcursorRun, CockpitCursorPicksAnMfdButton) {
    std::string log;
    // The left MFD's first button sits at the top of its screen, low left
    // of the view ahead; then the sky.
    const std::string dump = run_DumpedFlight("vcursor", "60 mouse 56 254\n120 mouse 300 60\n", 180, 10, 0, &log);
    ASSERT_FALSE(dump.empty());
    const long picked = run_LogTick(log, " cockpit vcursor pick id=1 label=\"OSB 1\" panel=0 ");
    ASSERT_GE(picked, 60) << log;
    const long lost = run_LogTick(log, " cockpit vcursor pick id=-1 label=\"\" panel=-1 ");
    EXPECT_GE(lost, 120);
    _EIMAGE2* onButton = run_LoadFrame(dump, 100);
    _EIMAGE2* offPanels = run_LoadFrame(dump, 160);
    ASSERT_NE(onButton, nullptr);
    ASSERT_NE(offPanels, nullptr);
    EXPECT_TRUE(CrossAt(onButton, 56, 254));
    EXPECT_FALSE(ArrowAt(onButton, 56, 254));
    EXPECT_TRUE(ArrowAt(offPanels, 300, 60));
    EXPECT_FALSE(CrossAt(offPanels, 300, 60));
    img_Free(onButton);
    img_Free(offPanels);
}

}  // namespace
