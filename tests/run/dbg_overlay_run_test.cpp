// The weapon overlay in a single-player flight: with a ground target
// selected (the AGM65G's target list) and the target view on, "weapon
// overlay" typed on the input line draws the green target box.
#include <gtest/gtest.h>


#include <string>

#include "base/bmp.h"
#include "run_util.h"

namespace {

std::string Say(int tick, const std::string& text) {
    const std::string t = std::to_string(tick + 4);
    return std::to_string(tick) + " key T\n" + run_TypeLine(tick + 2, text) + t + " keydown RETURN\n" + t +
           " char 13\n" + t + " keyup RETURN\n";
}

// Rows holding a bright green run of exactly the box's width (65 pixels),
// as (row, first column); the box's top and bottom edges are 48 rows apart.
bool HasTargetBox(const _EIMAGE2* img) {
    auto green = [img](int32_t x, int32_t y) {
        const RunRgb c = run_Rgb(img, x, y);
        return c.g > 200 && c.r < 80 && c.b < 80;
    };
    auto runAt = [&](int32_t x, int32_t y) {
        if (x > 0 && green(x - 1, y)) return false;
        for (int32_t i = 0; i < 65; i++)
            if (x + i >= img->width || !green(x + i, y)) return false;
        return x + 65 >= img->width || !green(x + 65, y);
    };
    for (int32_t y = 0; y + 48 < img->height; y++)
        for (int32_t x = 0; x + 65 <= img->width; x++)
            if (runAt(x, y) && runAt(x, y + 48) && green(x, y + 24) && green(x + 64, y + 24)) return true;
    return false;
}

TEST(KrxDebugRun, WeaponOverlayBoxesTheSelectedTarget) {
    for (bool overlay : {true, false}) {
        SCOPED_TRACE(overlay);
        // Four weapon steps reach the AGM65G, whose list holds the ground
        // targets; the closing bracket takes the first, F5 views it.
        std::string script = "40 key 0xC0\n45 key 0xC0\n50 key 0xC0\n55 key 0xC0\n90 key 0xDD\n110 key F5\n";
        if (overlay) script += Say(100, "weapon overlay");
        std::string log;
        const std::string dump = run_DumpedFlight(overlay ? "dbgoverlay" : "dbgoverlay_off", script, 140, 130, 0, &log);
        ASSERT_FALSE(dump.empty());
        ASSERT_NE(log.find("90 target id="), std::string::npos) << log;
        ASSERT_EQ(log.find("90 target id=-1"), std::string::npos) << log;
        EXPECT_EQ(log.find("WEAPON OVERLAY ON") != std::string::npos, overlay) << log;
        _EIMAGE2* frame = run_LoadFrame(dump, 130);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(HasTargetBox(frame), overlay);
        img_Free(frame);
    }
}

}  // namespace
