// PCX images: writer and reader round trips, run-length edge cases, damaged
// files, conversion to 16 and 32 bits, BMP files through the same entry,
// halving and colour-and-alpha images.
#include "display/pcx.h"

#include <random>

#include "base/bmp.h"
#include "base/le.h"
#include "image_fixture.h"

namespace {

class Pcx : public ImageEnv {
protected:
    uint8_t pal[PAL_BYTES];

    void SetUp() override {
        ImageEnv::SetUp();
        DistinctPalette(pal);
        pal[0] = pal[1] = pal[2] = 255;  // entry 0 still becomes 0 when converted
    }
    // Writes pixels through pcx_WriteFile; returns the file's bytes.
    std::vector<uint8_t> WritePcx(const std::string& name, int w, int h, const std::vector<uint8_t>& px) {
        pal_Second.width = w;
        pal_Second.height = h;
        memcpy(pal_Second.palette, pal, PAL_BYTES);
        EXPECT_EQ(pcx_WriteFile(name.c_str(), px.data()), 0);
        return Read(name);
    }
    // A PCX file around hand-made run-length data.
    std::vector<uint8_t> MakePcx(int bytesPerLine, int yMin, int yMax, const std::vector<uint8_t>& rle) {
        LeWriter w;
        w.u32(PCX_SIGNATURE);
        w.u16(0);
        w.u16((uint16_t)yMin);
        w.u16((uint16_t)(bytesPerLine - 1));
        w.u16((uint16_t)yMax);
        w.zeros(65 - w.size());
        w.u8(1);  // planes
        w.u16((uint16_t)bytesPerLine);
        w.zeros(128 - w.size());
        w.bytes(rle.data(), rle.size());
        w.u8(12);
        w.bytes(pal, PAL_BYTES);
        return w.buf;
    }
    std::vector<uint8_t> Pixels(const void* block, size_t n) {
        const uint8_t* p = static_cast<const uint8_t*>(block);
        return std::vector<uint8_t>(p, p + n);
    }
};

TEST_F(Pcx, RoundTrips) {
    std::mt19937 rng(5);
    for (int w : {1, 2, 63, 64, 65, 130, 200}) {
        for (int h : {1, 3}) {
            std::vector<uint8_t> px((size_t)w * h);
            // Long runs, single bytes and bytes of 192 and more.
            for (size_t i = 0; i < px.size(); i++) px[i] = (rng() % 4 == 0) ? (uint8_t)rng() : (uint8_t)(i / 70 * 61);
            WritePcx("rt.pcx", w, h, px);
            pal_ClearSecond();
            uint8_t* img = pcx_Load("rt.pcx");
            ASSERT_NE(img, nullptr) << w << "x" << h;
            EXPECT_EQ(pal_Second.width, w);
            EXPECT_EQ(pal_Second.height, h);
            EXPECT_EQ(pal_Second.pixelBytes, w * h);
            EXPECT_EQ(Pixels(img, px.size()), px) << w << "x" << h;
            EXPECT_EQ(memcmp(pal_Second.palette, pal, PAL_BYTES), 0);
            EXPECT_STREQ(reinterpret_cast<MemBlock*>(img - MEM_BLOCK_HEADER)->tag, "PCX Image");
            mem_Free(img);

            // The same file from memory.
            std::vector<uint8_t> file = Read("rt.pcx");
            void* img2 = pcx_LoadIntoBuffer(file.data(), (int32_t)file.size(), 8);
            ASSERT_NE(img2, nullptr);
            EXPECT_EQ(Pixels(img2, px.size()), px);
            EXPECT_STREQ(reinterpret_cast<MemBlock*>(static_cast<uint8_t*>(img2) - MEM_BLOCK_HEADER)->tag, "PCX IMAGE");
            mem_Free(img2);
        }
    }
}

TEST_F(Pcx, WriterHeaderAndRuns) {
    struct Case {
        std::vector<uint8_t> row;
        std::vector<uint8_t> data;
    } cases[] = {
        {std::vector<uint8_t>(64, 5), {0xFF, 5, 0xC1, 5}},
        {std::vector<uint8_t>(63, 5), {0xFF, 5}},
        {{1, 2, 3}, {1, 2, 0xC1, 3}},           // a single last pixel is still a pair
        {{200, 7, 7}, {0xC1, 200, 0xC2, 7}},    // a single byte of 192 or more is a pair
        {{9, 9, 9, 4}, {0xC3, 9, 0xC1, 4}},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> f = WritePcx("w.pcx", (int)c.row.size(), 1, c.row);
        ASSERT_EQ(f.size(), 128 + c.data.size() + 769);
        EXPECT_EQ(std::vector<uint8_t>(f.begin() + 128, f.end() - 769), c.data);
        EXPECT_EQ(f[f.size() - 769], 12);
    }
    std::vector<uint8_t> f = WritePcx("w.pcx", 300, 2, std::vector<uint8_t>(600, 1));
    LeReader r(f.data(), f.size());
    EXPECT_EQ(r.u32(), PCX_SIGNATURE);
    EXPECT_EQ(r.u16(), 0);    // x min
    EXPECT_EQ(r.u16(), 0);    // y min
    EXPECT_EQ(r.u16(), 299);  // x max
    EXPECT_EQ(r.u16(), 1);    // y max
    r.seek(65);
    EXPECT_EQ(r.u8(), 1);     // planes
    EXPECT_EQ(r.u16(), 300);  // bytes per line
    EXPECT_EQ(r.u16(), 1);    // palette info
    EXPECT_EQ(r.u16(), 12);
    EXPECT_EQ(r.u16(), 10);
    // Each row is encoded on its own.
    std::vector<uint8_t> row = {0xFF, 1, 0xFF, 1, 0xFF, 1, 0xFF, 1, 0xC0 | 48, 1};
    std::vector<uint8_t> both = row;
    both.insert(both.end(), row.begin(), row.end());
    EXPECT_EQ(std::vector<uint8_t>(f.begin() + 128, f.end() - 769), both);

    EXPECT_EQ(pcx_WriteFile("no/such/dir/x.pcx", row.data()), -1);
    pal_Second.width = 0;
    EXPECT_EQ(pcx_WriteFile("zero.pcx", row.data()), -1);
}

TEST_F(Pcx, RunLengthDecoding) {
    uint8_t out[16];
    struct Case {
        std::vector<uint8_t> data;
        int count;
        std::vector<uint8_t> pixels;
    } cases[] = {
        {{0xC0, 7}, 1, {7}},                       // a count of 0 writes one pixel
        {{0xC3, 200, 1}, 4, {200, 200, 200, 1}},
        {{0xC5, 9}, 3, {9, 9, 9}},                 // a run longer than the image stops at its end
        {{1, 2, 0xC4}, 5, {1, 2}},                 // a count without its pixel
        {{}, 2, {}},
    };
    for (const Case& c : cases) {
        memset(out, 0xEE, sizeof out);
        int n = pcx_DecodeRle(c.data.data(), (int32_t)c.data.size(), out, c.count);
        EXPECT_EQ(n, (int)c.pixels.size());
        EXPECT_EQ(std::vector<uint8_t>(out, out + n), c.pixels);
        EXPECT_EQ(out[c.count], 0xEE);
    }

    // Runs cross rows: one run of 6 fills a 4-wide row and half the next.
    Write("cross.pcx", MakePcx(4, 0, 1, {0xC6, 9, 3, 4}));
    uint8_t* img = pcx_Load("cross.pcx");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(Pixels(img, 8), (std::vector<uint8_t>{9, 9, 9, 9, 9, 9, 3, 4}));
    mem_Free(img);

    // Data that ends early leaves zeros, not stale memory.
    Write("early.pcx", MakePcx(4, 10, 12, {0xC5, 6}));
    img = pcx_Load("early.pcx");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(pal_Second.height, 3);  // y max - y min + 1
    std::vector<uint8_t> expect(12, 0);
    for (int i = 0; i < 5; i++) expect[i] = 6;
    // The marker byte (12) lies inside the data range and is read as a pixel.
    expect[5] = 12;
    EXPECT_EQ(Pixels(img, 12), expect);
    mem_Free(img);

}

// Lines padded beyond the x range: the image is the x range wide, and the
// pad bytes are dropped even where a run crosses them.
TEST_F(Pcx, PaddedLinesAreTheXRangeWide) {
    struct Case {
        const char* what;
        int bytesPerLine, xMin, xMax;
        std::vector<uint8_t> rle;
        int width;
        std::vector<uint8_t> pixels;
    } cases[] = {
        {"one pad byte", 4, 0, 2, {1, 2, 3, 0x33, 4, 5, 6, 0x33}, 3, {1, 2, 3, 4, 5, 6}},
        {"run across the pad", 4, 0, 2, {1, 2, 0xC4, 7, 8, 0}, 3, {1, 2, 7, 7, 7, 8}},
        {"x min counts", 6, 10, 13, {0xC6, 3, 0xC6, 4}, 4, {3, 3, 3, 3, 4, 4, 4, 4}},
        // The marker byte after the data is read as a pixel, then the data ends.
        {"ends early", 4, 0, 1, {1, 2, 9, 9}, 2, {1, 2, 12, 0}},
        {"x range wider: bytes per line", 2, 0, 4, {1, 2, 3, 4}, 2, {1, 2, 3, 4}},
        {"x max below x min: bytes per line", 2, 5, 0, {1, 2, 3, 4}, 2, {1, 2, 3, 4}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<uint8_t> f = MakePcx(c.bytesPerLine, 0, 1, c.rle);
        f[4] = (uint8_t)c.xMin;
        f[8] = (uint8_t)c.xMax;
        Write("pad.pcx", f);
        uint8_t* img = pcx_Load("pad.pcx");
        ASSERT_NE(img, nullptr);
        EXPECT_EQ(pal_Second.width, c.width);
        EXPECT_EQ(pal_Second.height, 2);
        EXPECT_EQ(pal_Second.pixelBytes, c.width * 2);
        EXPECT_EQ(Pixels(img, c.pixels.size()), c.pixels);
        mem_Free(img);
        auto* p32 = static_cast<uint32_t*>(pcx_LoadIntoBuffer(f.data(), (int32_t)f.size(), 32));
        ASSERT_NE(p32, nullptr);
        for (size_t i = 0; i < c.pixels.size(); i++) EXPECT_EQ(p32[i], pal_Second.table32[c.pixels[i]]) << i;
        mem_Free(p32);
    }
}

// Files of outside tools (tests/fixtures/pcx/README.md says how they were
// made): an odd width padded to an even line, and a 24-bit file of three
// planes without a palette.
TEST_F(Pcx, FilesOfOutsideTools) {
    std::vector<uint8_t> padded = test_ReadFile(KRX_FIXTURE_DIR "/pcx/padded5x3.pcx");
    ASSERT_FALSE(padded.empty());
    Write("PADDED.PCX", padded);
    const std::vector<uint8_t> expect = {1, 2, 3, 4, 5, 200, 201, 202, 203, 204, 9, 9, 9, 9, 9};
    uint8_t* img = pcx_Load("PADDED.PCX");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(pal_Second.width, 5);
    EXPECT_EQ(pal_Second.height, 3);
    EXPECT_EQ(Pixels(img, expect.size()), expect);
    EXPECT_EQ(pal_Second.palette[200 * 3 + 1], 55);
    mem_Free(img);
    pal_SetRgbMasks(0xF800, 0x07E0, 0x001F);
    auto* p16 = static_cast<uint16_t*>(pcx_LoadImageEx("PADDED.PCX", 16));
    ASSERT_NE(p16, nullptr);
    EXPECT_EQ(pal_Second.pixelBytes, 5 * 3 * 2);
    for (size_t i = 0; i < expect.size(); i++) EXPECT_EQ(p16[i], pal_Second.table16[expect[i]]) << i;
    mem_Free(p16);

    std::vector<uint8_t> rgb = test_ReadFile(KRX_FIXTURE_DIR "/pcx/rgb24_3plane.pcx");
    ASSERT_GT(rgb.size(), 897u);  // long enough to pass for an 8-bit file
    Write("RGB.PCX", rgb);
    for (int mode : {8, 16, 32}) {
        EXPECT_EQ(pcx_LoadImageEx("RGB.PCX", mode), nullptr) << mode;
        EXPECT_EQ(pcx_LoadIntoBuffer(rgb.data(), (int32_t)rgb.size(), mode), nullptr) << mode;
    }
}

TEST_F(Pcx, DamagedFilesAreRefused) {
    std::vector<uint8_t> good = MakePcx(4, 0, 0, {1, 2, 3, 4});
    std::vector<uint8_t> badSig = good;
    badSig[3] = 4;
    std::vector<uint8_t> yBelow = MakePcx(4, 5, 4, {1, 2, 3, 4});
    std::vector<uint8_t> noLine = MakePcx(4, 0, 0, {1});
    noLine[66] = noLine[67] = 0;
    std::vector<uint8_t> shortFile(good.begin(), good.begin() + 895);
    std::vector<uint8_t> noMarker = good;
    noMarker[noMarker.size() - 769] = 0;
    std::vector<uint8_t> threePlanes = good, noPlanes = good;
    threePlanes[65] = 3;
    noPlanes[65] = 0;
    // Only the marker and the palette: no room for a marker at all.
    std::vector<uint8_t> bare(good.begin(), good.begin() + 128);
    bare.insert(bare.end(), good.end() - 768, good.end());
    std::vector<uint8_t> huge = MakePcx(0xFFFF, 0, 0xFFFF, {1});
    struct Case {
        const char* what;
        std::vector<uint8_t> file;
        int mode;
    } cases[] = {
        {"signature", badSig, 8}, {"y max below y min", yBelow, 8}, {"no bytes per line", noLine, 8},
        {"short", shortFile, 8},  {"too large", huge, 32},          {"bad mode", good, 24},
        {"empty", {}, 8},         {"no palette marker", noMarker, 8}, {"three planes", threePlanes, 32},
        {"no planes", noPlanes, 16}, {"header and palette only", bare, 8},
    };
    for (const Case& c : cases) {
        Write("bad.pcx", c.file);
        EXPECT_EQ(pcx_LoadImageEx("bad.pcx", c.mode), nullptr) << c.what;
        EXPECT_EQ(pcx_LoadIntoBuffer(c.file.data(), (int32_t)c.file.size(), c.mode), nullptr) << c.what;
    }
    EXPECT_EQ(pcx_Load("missing.pcx"), nullptr);
    EXPECT_EQ(pcx_LoadIntoBuffer(good.data(), -5, 8), nullptr);
    // Larger than the heap: the "No Mem" box, then null.
    Write("big.pcx", MakePcx(4000, 0, 3999, {1}));
    EXPECT_EQ(pcx_Load("big.pcx"), nullptr);
}

TEST_F(Pcx, ConversionTo16And32Bits) {
    std::vector<uint8_t> px = {0, 1, 2, 100, 255, 0};
    WritePcx("c.pcx", 3, 2, px);
    pal_SetRgbMasks(0xF800, 0x07E0, 0x001F);
    pal_SetRgbMasksSecond(0xFF0000, 0x00FF00, 0x0000FF);
    auto* p16 = static_cast<uint16_t*>(pcx_LoadImageEx("c.pcx", 16));
    ASSERT_NE(p16, nullptr);
    EXPECT_EQ(pal_Second.pixelBytes, 12);
    auto* p32 = static_cast<uint32_t*>(pcx_LoadImageEx("c.pcx", 32));
    ASSERT_NE(p32, nullptr);
    EXPECT_EQ(pal_Second.pixelBytes, 24);
    EXPECT_EQ(pal_Second.mode, 32);
    for (int i = 0; i < 6; i++) {
        const uint8_t* e = pal + px[i] * 3;
        uint16_t want16 = px[i] ? (uint16_t)((e[0] >> 3) << 11 | (e[1] >> 2) << 5 | e[2] >> 3) : 0;
        uint32_t want32 = px[i] ? (uint32_t)(e[0] << 16 | e[1] << 8 | e[2]) : 0;
        EXPECT_EQ(p16[i], want16) << i;
        EXPECT_EQ(p32[i], want32) << i;
    }
    mem_Free(p16);
    mem_Free(p32);

    // 5-5-5, as the cockpit and menu art is loaded.
    pal_SetRgbMasks(0x7C00, 0x03E0, 0x001F);
    std::vector<uint8_t> file = Read("c.pcx");
    auto* p15 = static_cast<uint16_t*>(pcx_LoadIntoBuffer(file.data(), (int32_t)file.size(), 16));
    ASSERT_NE(p15, nullptr);
    const uint8_t* e = pal + 100 * 3;
    EXPECT_EQ(p15[3], (e[0] >> 3) << 10 | (e[1] >> 3) << 5 | e[2] >> 3);
    EXPECT_EQ(p15[0], 0);
    mem_Free(p15);
}

TEST_F(Pcx, BmpFilesThroughTheSameEntry) {
    // 8 bits, 5 wide: each row carries 3 bytes of padding.
    std::vector<uint8_t> px(5 * 3);
    for (size_t i = 0; i < px.size(); i++) px[i] = (uint8_t)(i * 17);
    ASSERT_EQ(bmp_Write8("a.bmp", 5, 3, px.data(), pal), 0);
    uint8_t* img = pcx_Load("a.bmp");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(Pixels(img, px.size()), px);  // rows flipped top-down
    EXPECT_EQ(pal_Second.colourCount, 256);
    EXPECT_EQ(pal_Second.fileBits, 8);
    EXPECT_EQ(memcmp(pal_Second.palette, pal, PAL_BYTES), 0);
    mem_Free(img);

    // 0 colours used means a 256-colour table; 16 used reads 16.
    std::vector<uint8_t> file = Read("a.bmp");
    ASSERT_EQ(file[47], 1);  // the writer stores 256
    file[46] = file[47] = 0;
    Write("zero.bmp", file);
    img = pcx_Load("zero.bmp");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(pal_Second.colourCount, 256);
    EXPECT_EQ(memcmp(pal_Second.palette, pal, PAL_BYTES), 0);
    mem_Free(img);
    file[46] = 16;
    Write("sixteen.bmp", file);
    img = pcx_Load("sixteen.bmp");
    ASSERT_NE(img, nullptr);
    EXPECT_EQ(pal_Second.colourCount, 16);
    EXPECT_EQ(pal_Second.palette[16 * 3], 0);
    mem_Free(img);

    // 8 bits converted: entry 0 is 0.
    pal_SetRgbMasksSecond(0xFF0000, 0x00FF00, 0x0000FF);
    auto* c32 = static_cast<uint32_t*>(pcx_LoadImageEx("a.bmp", 32));
    ASSERT_NE(c32, nullptr);
    EXPECT_EQ(c32[0], 0u);
    EXPECT_EQ(c32[1], (uint32_t)(pal[17 * 3] << 16 | pal[17 * 3 + 1] << 8 | pal[17 * 3 + 2]));
    mem_Free(c32);

    // 24 bits, 3 wide (3 bytes of padding), packed at 16 and 32 bits.
    std::vector<uint8_t> rgb = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 255, 255, 255, 0, 0, 0};
    ASSERT_EQ(bmp_Write24("b.bmp", 3, 2, rgb.data()), 0);
    pal_SetRgbMasks(0xF800, 0x07E0, 0x001F);
    auto* b16 = static_cast<uint16_t*>(pcx_LoadImageEx("b.bmp", 16));
    ASSERT_NE(b16, nullptr);
    EXPECT_EQ(std::vector<uint16_t>(b16, b16 + 6),
              (std::vector<uint16_t>{0xF800, 0x07E0, 0x001F, (1 << 11) | (5 << 5) | 3, 0xFFFF, 0}));
    mem_Free(b16);
    auto* b32 = static_cast<uint32_t*>(pcx_LoadImageEx("b.bmp", 32));
    ASSERT_NE(b32, nullptr);
    EXPECT_EQ(b32[3], 0x0A141Eu);
    mem_Free(b32);
    EXPECT_EQ(pcx_LoadImageEx("b.bmp", 8), nullptr);  // 24 bits cannot be 8-bit pixels

    // Refused: top-down, compressed, more colours than the bits allow,
    // truncated, more than 256 colours.
    std::vector<uint8_t> good = Read("a.bmp");
    auto patched = [&](size_t at, std::vector<uint8_t> bytes) {
        std::vector<uint8_t> f = good;
        for (size_t i = 0; i < bytes.size(); i++) f[at + i] = bytes[i];
        return f;
    };
    std::vector<std::vector<uint8_t>> bad = {
        patched(22, {0xFD, 0xFF, 0xFF, 0xFF}),  // height -3
        patched(30, {1}),                      // RLE8
        patched(28, {4}),                      // 4 bits with 256 colours
        patched(46, {0x01, 0x01}),             // 257 colours
        std::vector<uint8_t>(good.begin(), good.end() - 9),
        std::vector<uint8_t>(good.begin(), good.begin() + 40),
    };
    for (size_t i = 0; i < bad.size(); i++) {
        Write("bad.bmp", bad[i]);
        EXPECT_EQ(pcx_Load("bad.bmp"), nullptr) << i;
    }
    // From memory only PCX files are read.
    EXPECT_EQ(pcx_LoadIntoBuffer(good.data(), (int32_t)good.size(), 8), nullptr);
}

TEST_F(Pcx, HalveAndAlpha) {
    std::vector<uint8_t> px(5 * 3);
    for (size_t i = 0; i < px.size(); i++) px[i] = (uint8_t)i;
    pal_Second.width = 5;
    pal_Second.height = 3;
    pal_Second.mode = 8;
    pcx_HalveImage(px.data());
    EXPECT_EQ(pal_Second.width, 2);
    EXPECT_EQ(pal_Second.height, 1);
    EXPECT_EQ(px[0], 0);
    EXPECT_EQ(px[1], 2);

    std::vector<uint8_t> big(4 * 4);
    for (size_t i = 0; i < big.size(); i++) big[i] = (uint8_t)i;
    pal_Second.width = 4;
    pal_Second.height = 4;
    pcx_HalveImage(big.data());
    EXPECT_EQ(std::vector<uint8_t>(big.begin(), big.begin() + 4), (std::vector<uint8_t>{0, 2, 8, 10}));

    uint8_t colour[3] = {1, 2, 3}, alpha[3] = {9, 8, 7};
    uint8_t* a = pcx_MakeAlphaImage(colour, alpha, 3);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(Pixels(a, 6), (std::vector<uint8_t>{1, 9, 2, 8, 3, 7}));
    EXPECT_STREQ(reinterpret_cast<MemBlock*>(a - MEM_BLOCK_HEADER)->tag, "alpha image");
    mem_Free(a);
    EXPECT_EQ(pcx_MakeAlphaImage(colour, alpha, 0), nullptr);
}

}  // namespace
