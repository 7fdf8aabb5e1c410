// The client half in a whole single-player flight: its sounds of objects.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "run_util.h"

namespace {

// The player's engine, the two warning tones and one engine per copy of the
// server's objects.
TEST(KrxClientRun, EveryCopyAndThePlayerHaveTheirEngineSound) {
    const std::string log = run_FlightLog("clientsound", "", 400);
    ASSERT_FALSE(log.empty());
    const size_t at = log.find(" client frame=256 ");
    ASSERT_NE(at, std::string::npos) << log.substr(0, 4000);
    int sources = -1, copies = -1;
    ASSERT_EQ(sscanf(log.c_str() + at, " client frame=256 copies=%d sources=%d", &copies, &sources), 2)
        << log.substr(at, 200);
    EXPECT_GT(copies, 0);
    EXPECT_EQ(sources, copies + 3);
}

}  // namespace
