// Stored pictures of the menu tests: an RGB picture (8 bits a channel, rows
// from the top) against tests/fixtures/menu/NAME. KRX_GOLDEN_UPDATE=1 writes
// the stored file anew; a difference writes the picture drawn into the
// test's own folder.
#pragma once
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/bmp.h"
#include "fixtures/workdir.h"

inline void test_GoldenCompare(const std::vector<uint8_t>& rgb, int32_t width, int32_t height, const char* name) {
    ASSERT_EQ(rgb.size(), (size_t)width * height * 3);
    const std::string path = std::string(KRX_FIXTURE_DIR) + "/menu/" + name;
    const char* update = getenv("KRX_GOLDEN_UPDATE");
    if (update && update[0] == '1') {
        ASSERT_EQ(bmp_Write24(path.c_str(), width, height, rgb.data()), 0);
        return;
    }
    std::vector<uint8_t> want = test_ReadFile(path);
    std::vector<uint8_t> got((size_t)bmp_Encode24(nullptr, 0, width, height, rgb.data()));
    ASSERT_GT(bmp_Encode24(got.data(), got.size(), width, height, rgb.data()), 0);
    ASSERT_EQ(want.size(), got.size()) << path;
    size_t differ = 0;
    for (size_t i = 54; i < got.size(); i++) differ += got[i] != want[i];
    EXPECT_EQ(differ, 0u) << name << ": bytes differ; the picture drawn is in the test's folder";
    if (differ) bmp_Write24(name, width, height, rgb.data());
}
