// BMP images: the _EIMAGE2 block, reading bottom-up files, the writer, and
// damaged or unsupported files.
#include "base/bmp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "fixtures/workdir.h"

namespace {

class Bmp : public ::testing::Test {
protected:
    std::string dir;

    void SetUp() override {
        char tmpl[] = "/tmp/krx_bmp_XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
    }
    void TearDown() override { std::filesystem::remove_all(dir); }

    std::string Path(const char* name) const { return dir + "/" + name; }
    static std::vector<uint8_t> Read(const std::string& path) { return test_ReadFile(path); }
    static void Write(const std::string& path, const std::vector<uint8_t>& bytes) { test_WriteFile(path, bytes); }
};

TEST_F(Bmp, CreateFillsTheHeaderAndRowTable) {
    _EIMAGE2* img = img_Create(64, 32, 24);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->flags, IMG_WIDTH_POW2 | IMG_HEIGHT_POW2);
    EXPECT_EQ(img->widthLog2, 6);
    EXPECT_EQ(img->heightLog2, 5);
    EXPECT_EQ(img->bytesPerPixel, 3);
    EXPECT_EQ(img->rowSize, 192);
    EXPECT_EQ(img->pixelBytes, 192u * 32);
    EXPECT_EQ(img->totalSize, sizeof(_EIMAGE2) + 32 * sizeof(uint8_t*) + 192 * 32);
    for (int i = 0; i < 32; i++) EXPECT_EQ(img->rows[i], img->pixels + i * 192);
    img->rows[31][191] = 1;  // the last byte is inside the block
    img_Free(img);

    img = img_Create(3, 5, 16);
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->flags, 0u);
    EXPECT_EQ(img->widthLog2, 0);
    img_Free(img);
    img_Free(nullptr);

    EXPECT_EQ(img_Create(0, 5, 8), nullptr);
    EXPECT_EQ(img_Create(5, -1, 8), nullptr);
    EXPECT_EQ(img_Create(5, 5, 12), nullptr);
    EXPECT_EQ(img_Create(0x7FFFFFFF, 0x7FFFFFFF, 32), nullptr);

    int32_t log2 = -1;
    uint32_t flags = 0;
    EXPECT_EQ(img_Log2Exact(1024, &log2, &flags, 8), 1);
    EXPECT_EQ(log2, 10);
    EXPECT_EQ(flags, 8u);
    EXPECT_EQ(img_Log2Exact(1, &log2, &flags, 1), 1);
    EXPECT_EQ(log2, 0);
    for (int32_t v : {0, -4, 3, 1000}) EXPECT_EQ(img_Log2Exact(v, &log2, &flags, 2), 0) << v;
    EXPECT_EQ(flags, 9u);
}

TEST_F(Bmp, TwentyFourBitRoundTripsWithRowPadding) {
    for (int w : {1, 2, 3, 4, 5, 33}) {
        const int h = 4;
        std::vector<uint8_t> rgb((size_t)w * h * 3);
        for (size_t i = 0; i < rgb.size(); i++) rgb[i] = (uint8_t)(i * 7 + w);
        ASSERT_EQ(bmp_Write24(Path("t.bmp").c_str(), w, h, rgb.data()), 0);
        std::vector<uint8_t> file = Read(Path("t.bmp"));
        size_t stride = ((size_t)w * 3 + 3) / 4 * 4;
        EXPECT_EQ(file.size(), 54 + stride * h) << w;
        EXPECT_EQ(file[(size_t)54 + stride - 1], w % 4 ? 0 : file[54 + stride - 1]);  // padding is zero

        _EIMAGE2* img = img_LoadBmp(Path("t.bmp").c_str());
        ASSERT_NE(img, nullptr) << w;
        EXPECT_EQ(img->width, w);
        EXPECT_EQ(img->height, h);
        EXPECT_EQ(img->bitsPerPixel, 24);
        // Rows top first, pixels as the file stores them: blue, green, red.
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                const uint8_t* s = &rgb[((size_t)y * w + x) * 3];
                const uint8_t* d = img->rows[y] + x * 3;
                ASSERT_EQ(d[0], s[2]) << w << " " << x << "," << y;
                ASSERT_EQ(d[1], s[1]);
                ASSERT_EQ(d[2], s[0]);
            }
        img_Free(img);
    }
}

TEST_F(Bmp, EightBitPaletteIsSkipped) {
    uint8_t pal[768];
    for (int i = 0; i < 768; i++) pal[i] = (uint8_t)(i * 3);
    std::vector<uint8_t> px = {1, 2, 3, 4, 5, 6};
    ASSERT_EQ(bmp_Write8(Path("e.bmp").c_str(), 3, 2, px.data(), pal), 0);
    std::vector<uint8_t> file = Read(Path("e.bmp"));
    EXPECT_EQ(file.size(), 54u + 1024 + 2 * 4);
    EXPECT_EQ(file[54], pal[2]);  // the table holds blue, green, red, 0
    EXPECT_EQ(file[56], pal[0]);
    _EIMAGE2* img = img_LoadBmp(Path("e.bmp").c_str());
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->bytesPerPixel, 1);
    EXPECT_EQ(std::vector<uint8_t>(img->pixels, img->pixels + 6), px);
    img_Free(img);
}

TEST_F(Bmp, DamagedAndUnsupportedFilesGiveNull) {
    std::vector<uint8_t> rgb(4 * 3 * 3, 9);
    ASSERT_EQ(bmp_Write24(Path("g.bmp").c_str(), 4, 3, rgb.data()), 0);
    const std::vector<uint8_t> good = Read(Path("g.bmp"));
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> f = good;
        for (size_t i = 0; i < bytes.size(); i++) f[at + i] = bytes[i];
        return f;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
    } cases[] = {
        {"signature", patched(0, {'B', 'N'})},
        {"negative height", patched(22, {0xFD, 0xFF, 0xFF, 0xFF})},
        {"zero width", patched(18, {0, 0, 0, 0})},
        {"4 bits", patched(28, {4})},
        {"RLE compression", patched(30, {1})},
        {"pixel offset past the end", patched(10, {0xFF, 0xFF, 0, 0})},
        {"pixel offset inside the headers", patched(10, {20})},
        {"small information header", patched(14, {12})},
        {"pixels end early", std::vector<uint8_t>(good.begin(), good.end() - 1)},
        {"headers only", std::vector<uint8_t>(good.begin(), good.begin() + 54)},
        {"short header", std::vector<uint8_t>(good.begin(), good.begin() + 30)},
        {"huge", patched(18, {0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0x7F})},
    };
    for (const Case& c : cases) {
        Write(Path("bad.bmp"), c.file);
        EXPECT_EQ(img_LoadBmp(Path("bad.bmp").c_str()), nullptr) << c.what;
        EXPECT_EQ(img_ParseBmp(c.file.data(), c.file.size()), nullptr) << c.what;
    }
    EXPECT_EQ(img_LoadBmp(Path("missing.bmp").c_str()), nullptr);
    EXPECT_EQ(img_LoadBmp(nullptr), nullptr);

    // 16 and 32 bits with bit-field masks are read as stored.
    _EIMAGE2* img = img_ParseBmp(good.data(), good.size());
    ASSERT_NE(img, nullptr);
    img_Free(img);
    std::vector<uint8_t> f32 = patched(28, {32, 0, 3});
    f32.resize(54 + 4 * 4 * 3);
    img = img_ParseBmp(f32.data(), f32.size());
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(img->bytesPerPixel, 4);
    img_Free(img);

    EXPECT_EQ(bmp_Encode24(nullptr, 0, 0, 1, rgb.data()), -1);
    uint8_t small[10];
    EXPECT_EQ(bmp_Encode24(small, sizeof small, 4, 3, rgb.data()), -1);
    EXPECT_EQ(bmp_Write24(Path("no/such/dir.bmp").c_str(), 4, 3, rgb.data()), -1);
}

TEST(BmpHeader, FieldsAndPixelExtent) {
    // 3 x 2 at 24 bits: rows of 9 bytes stored in 12.
    std::vector<uint8_t> rgb(3 * 2 * 3, 1);
    std::vector<uint8_t> file((size_t)bmp_Encode24(nullptr, 0, 3, 2, rgb.data()));
    ASSERT_EQ(bmp_Encode24(file.data(), file.size(), 3, 2, rgb.data()), 78);
    BmpHeader h;
    ASSERT_TRUE(bmp_HeaderRead(file.data(), file.size(), &h));
    EXPECT_EQ(h.pixelOffset, 54u);
    EXPECT_EQ(h.infoSize, 40u);
    EXPECT_EQ(h.width, 3);
    EXPECT_EQ(h.height, 2);
    EXPECT_EQ(h.bits, 24);
    EXPECT_EQ(h.compression, 0u);
    EXPECT_EQ(h.coloursUsed, 0u);
    EXPECT_EQ(bmp_StoredRowSize(3, 24), 12u);
    EXPECT_FALSE(bmp_HeaderRead(file.data(), 53, &h));

    ASSERT_TRUE(bmp_HeaderRead(file.data(), file.size(), &h));
    EXPECT_TRUE(bmp_PixelsFit(h, 78));
    EXPECT_TRUE(bmp_PixelsFit(h, 75));  // the last row's padding may be missing
    EXPECT_FALSE(bmp_PixelsFit(h, 74));
    BmpHeader huge = h;
    huge.width = huge.height = 0x7FFFFFFF;
    huge.bits = 0xFFFF;  // rows of 2^44 bytes: the plain product would wrap round
    EXPECT_FALSE(bmp_PixelsFit(huge, SIZE_MAX));
    huge.pixelOffset = 100;
    EXPECT_FALSE(bmp_PixelsFit(huge, 99));
}

}  // namespace
