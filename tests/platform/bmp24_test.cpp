// The platform's 24-bit BMP encoder writes the same files as the project's
// image writer, byte for byte, and refuses what it cannot encode.
#include <gtest/gtest.h>

#include <vector>

#include "base/bmp.h"
#include "platform/bmp24.h"

namespace {

TEST(Bmp24, SameBytesAsTheImageWriter) {
    const struct {
        int32_t w, h;
    } sizes[] = {{1, 1}, {2, 3}, {3, 2}, {4, 4}, {5, 1}, {640, 2}};
    for (const auto& s : sizes) {
        std::vector<uint8_t> rgb((size_t)s.w * s.h * 3);
        for (size_t i = 0; i < rgb.size(); i++) rgb[i] = (uint8_t)(i * 37 + 11);
        int64_t n = plat_BmpEncode24(nullptr, 0, s.w, s.h, rgb.data());
        ASSERT_EQ(n, bmp_Encode24(nullptr, 0, s.w, s.h, rgb.data())) << s.w << "x" << s.h;
        std::vector<uint8_t> a((size_t)n, 0xAA), b((size_t)n, 0x55);
        ASSERT_EQ(plat_BmpEncode24(a.data(), a.size(), s.w, s.h, rgb.data()), n);
        ASSERT_EQ(bmp_Encode24(b.data(), b.size(), s.w, s.h, rgb.data()), n);
        EXPECT_EQ(a, b) << s.w << "x" << s.h;
    }
}

TEST(Bmp24, RefusesBadSizesAndShortBuffers) {
    uint8_t rgb[12] = {};
    uint8_t out[128];
    EXPECT_EQ(plat_BmpEncode24(nullptr, 0, 0, 1, rgb), -1);
    EXPECT_EQ(plat_BmpEncode24(nullptr, 0, 1, -1, rgb), -1);
    EXPECT_EQ(plat_BmpEncode24(nullptr, 0, 100000, 100000, rgb), -1);  // past 2 GB
    EXPECT_EQ(plat_BmpEncode24(out, 54 + 7, 2, 2, rgb), -1);           // needs 54 + 2 x 8
    EXPECT_EQ(plat_BmpEncode24(out, sizeof out, 2, 2, nullptr), -1);
    EXPECT_EQ(plat_BmpEncode24(out, sizeof out, 2, 2, rgb), 54 + 16);
}

}  // namespace
