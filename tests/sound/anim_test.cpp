// The movie player on the headless display and audio device: movies made by
// the builder's encoder decode to the pixels they were made from, crafted
// blocks and files show each decoding rule and each error, and the clock,
// the window's activity, keys and quitting drive the playing loop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "base/le.h"
#include "base/mem.h"
#include "display/vid.h"
#include "fixtures/headless.h"
#include "fixtures/workdir.h"
#include "kdv_write.h"
#include "platform/display.h"
#include "platform/harness.h"
#include "platform/window.h"
#include "shell/keyqueue.h"
#include "shell/runner.h"
#include "shell/wndproc.h"
#include "sound/anim.h"
#include "sound/snd.h"
#include "sound_fixture.h"

namespace {

// ---- Crafted files ----------------------------------------------------------

std::vector<uint8_t> Chunk(uint32_t tag, const std::vector<uint8_t>& payload, int32_t lengthFix = 0) {
    LeWriter w;
    w.u32(tag);
    w.u32((uint32_t)((int32_t)payload.size() + 8 + lengthFix));
    w.bytes(payload.data(), payload.size());
    return w.buf;
}

std::vector<uint8_t> Header(int32_t width, int32_t height, uint32_t period = 12, int32_t depth = 8,
                            uint32_t version = ANIM_VERSION) {
    LeWriter w;
    w.u32((uint32_t)width);
    w.u32((uint32_t)height);
    w.u32(0);
    w.u32(period);
    w.u32(version | (depth == 24 ? ANIM_VERSION_24BIT : 0));
    return Chunk(ANIM_TAG_HEADER, w.buf);
}

std::vector<uint8_t> Audio(bool stereo, uint32_t n, uint32_t countField, uint8_t left, uint8_t right) {
    LeWriter w;
    for (int c = 0; c < (stereo ? 2 : 1); c++) {
        w.bytes("SAMP", 4);
        w.u32(countField);
        w.u32(0);
        w.u8((uint8_t)c);  // gain shift: 0 left, 1 right
        w.zeros(3);
        for (uint32_t i = 0; i < n; i++) w.u8(c ? right : left);
    }
    return Chunk(stereo ? ANIM_TAG_STEREO : ANIM_TAG_MONO, w.buf);
}

// An 8-bit frame of fills, one colour for every block.
std::vector<uint8_t> FillFrame8(int32_t blocks, uint8_t colour) {
    std::vector<uint8_t> p;
    for (int32_t k = 0; k < blocks; k++) {
        if ((k & 3) == 0) p.push_back(0xAA);  // four fill codes
        p.push_back(colour);
    }
    return Chunk(ANIM_TAG_FRAME8, p);
}

std::vector<uint8_t> Cat(std::initializer_list<std::vector<uint8_t>> parts) {
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

// ---- The fixture --------------------------------------------------------------

int g_loops = 0;
std::function<void(int)> g_onLoop;
void OnLoop(void) {
    g_loops++;
    if (g_onLoop) g_onLoop(g_loops);
}

class AnimTest : public ::testing::Test {
protected:
    TestWorkDir work;

    void SetUp() override {
        unsetenv("KRX_AUDIO");
        ASSERT_EQ(test_HeadlessStart(), 0);
        mem_HeapSizesSet(0x800000, 0x10000, 0x100000);
        ASSERT_EQ(mem_HeapInit(), 0);
        ASSERT_TRUE(work.Enter("krx_anim"));
        vid_Init();
        test_MixReset();
        app_KeyStateClear();
        app_FocusFlag.store(1);
        app_KeepRunningFlag.store(0);
        app_TimerStopped = 0;
        app_ClockHigh.store(0);
        g_loops = 0;
        g_onLoop = nullptr;
        anim_SetFrameCallback(OnLoop);
    }
    void TearDown() override {
        anim_Stop();
        anim_SetFrameCallback(nullptr);
        g_onLoop = nullptr;
        snd_Shutdown();
        app_TimerStop();
        app_TimerStopped = 0;
        work.Leave();
        plat_Shutdown();
    }

    // The drawing surface as it stands.
    std::vector<uint8_t> Screen(void) {
        uint8_t* p = vid_LockBackBuffer();
        EXPECT_NE(p, nullptr);
        int32_t bytes = vid_State.bitsPerPixel / 8;
        std::vector<uint8_t> out;
        if (p) out.assign(p, p + (size_t)vid_State.surfaceWidth * vid_State.surfaceHeight * bytes);
        vid_UnlockBackBuffer();
        return out;
    }
    uint32_t Frames(void) { return plat_DisplayFrameCount(); }
    uint32_t Clock(void) { return app_ClockHigh.load(); }
};

// ---- Encode, then decode --------------------------------------------------------

uint32_t Exact(int32_t i) {
    // Colours whose rounded and truncated 16-bit forms agree.
    uint32_t r = 8u * (uint32_t)(i % 31 + 1), g = 4u * (uint32_t)((i * 5) % 63 + 1),
             b = 8u * (uint32_t)((i * 7) % 31 + 1);
    return (r << 16) | (g << 8) | b;
}

struct RoundTripCase {
    const char* name;
    int32_t width, height;
    // Pixel of frame f at (x, y): 8-bit index (0 stays) or colour number.
    std::function<int32_t(int32_t f, int32_t x, int32_t y)> pixel;
    int32_t frames;
    int32_t MkKdvStats::*kind;  // a block kind the case must use
};

const RoundTripCase kRoundTrips[] = {
    {"fills, then blocks that stay", 16, 8, [](int32_t f, int32_t x, int32_t) { return f == 1 && x >= 8 ? 0 : 5 + f; },
     2, &MkKdvStats::transparent},
    {"two colours and repeats", 16, 8, [](int32_t, int32_t x, int32_t y) { return (x + y) & 1 ? 3 : 9; }, 1,
     &MkKdvStats::repeat},
    {"two colours", 16, 8, [](int32_t, int32_t x, int32_t y) { return x < 2 + y % 3 ? 3 : 9 + x / 4; }, 1,
     &MkKdvStats::two},
    {"four colours", 16, 8, [](int32_t, int32_t x, int32_t y) { return 10 + (x + 2 * y) % 4; }, 1,
     &MkKdvStats::four},
    {"raw pixels", 16, 8, [](int32_t, int32_t x, int32_t y) { return 1 + x + 16 * y; }, 1, &MkKdvStats::raw},
    {"changes over what stays", 16, 8,
     [](int32_t f, int32_t x, int32_t y) { return f == 0 ? 1 + x + 16 * y : (x + y) % 3 == 0 ? 40 + f : 0; }, 3,
     &MkKdvStats::two},
    {"a wider picture", 320, 8, [](int32_t f, int32_t x, int32_t y) { return 1 + (x * 7 + y * 3 + f) % 11; }, 2,
     &MkKdvStats::raw},
};

class AnimRoundTrip : public AnimTest, public ::testing::WithParamInterface<std::tuple<int32_t, int32_t>> {};

TEST_P(AnimRoundTrip, EncodedFramesDecodeToTheirPixels) {
    const RoundTripCase& c = kRoundTrips[std::get<0>(GetParam())];
    int32_t depth = std::get<1>(GetParam());
    SCOPED_TRACE(c.name);
    MkKdvMovie movie;
    mkdata_KdvHeader(&movie, c.width, c.height, 12, depth);
    std::vector<std::vector<uint8_t>> frames8;
    std::vector<std::vector<uint32_t>> frames24;
    for (int32_t f = 0; f < c.frames; f++) {
        std::vector<uint8_t> p8((size_t)c.width * c.height);
        std::vector<uint32_t> p24(p8.size());
        for (int32_t y = 0; y < c.height; y++)
            for (int32_t x = 0; x < c.width; x++) {
                int32_t v = c.pixel(f, x, y);
                p8[(size_t)y * c.width + x] = (uint8_t)v;
                // 24-bit frames have no "stays": a pixel that stays is the
                // colour of the frame before.
                p24[(size_t)y * c.width + x] = v == 0 && f > 0 ? frames24.back()[(size_t)y * c.width + x] : Exact(v);
            }
        if (depth == 8)
            mkdata_KdvFrame8(&movie, p8.data());
        else
            mkdata_KdvFrame24(&movie, p24.data());
        frames8.push_back(p8);
        frames24.push_back(p24);
    }
    EXPECT_GT(movie.stats.*c.kind, 0);
    test_WriteFile("M.KDV", movie.out.buf);
    ASSERT_EQ(anim_Open("M.KDV"), 0) << anim_ErrorText();
    int32_t screenW = vid_State.surfaceWidth, screenH = vid_State.surfaceHeight;
    size_t centre = (size_t)((screenH - c.height) / 2) * c.width;
    std::vector<uint32_t> expected((size_t)c.width * c.height, 0);
    for (int32_t f = 0; f < c.frames; f++) {
        ASSERT_EQ(anim_Step(), 1);
        std::vector<uint8_t> screen = Screen();
        ASSERT_GE(screen.size(), (size_t)screenW * screenH);
        for (size_t i = 0; i < expected.size(); i++) {
            uint32_t got;
            if (depth == 8) {
                if (frames8[f][i]) expected[i] = frames8[f][i];
                got = screen[centre + i];
            } else {
                uint32_t rgb = frames24[f][i];
                expected[i] = (((rgb >> 19) & 0x1F) << 11) | (((rgb >> 10) & 0x3F) << 5) | ((rgb >> 3) & 0x1F);
                got = (uint32_t)screen[2 * (centre + i)] | ((uint32_t)screen[2 * (centre + i) + 1] << 8);
            }
            ASSERT_EQ(got, expected[i]) << "frame " << f << " pixel " << i;
        }
    }
    EXPECT_EQ(anim_Step(), 0);
    EXPECT_EQ(anim_ErrorText(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Cases, AnimRoundTrip,
                         ::testing::Combine(::testing::Range(0, (int32_t)(sizeof kRoundTrips / sizeof kRoundTrips[0])),
                                            ::testing::Values(8, 24)));

// ---- Crafted blocks -------------------------------------------------------------

struct BlockCase {
    const char* name;
    int32_t blocks;  // across, one row
    std::vector<uint8_t> data;
    std::vector<uint32_t> expected;  // first block's 16 pixels (second block's follow)
};

TEST_F(AnimTest, EightBitBlocks) {
    const uint32_t K = 99;  // what was there
    const BlockCase cases[] = {
        {"four colours, index 0 stays", 1, {0x00, 1, 2, 0, 4, 0xE4, 0xE4, 0xE4, 0xE4},
         {1, 2, K, 4, 1, 2, K, 4, 1, 2, K, 4, 1, 2, K, 4}},
        {"two colours", 1, {0x01, 5, 6, 0xFF, 0x00}, {6, 6, 6, 6, 6, 6, 6, 6, 5, 5, 5, 5, 5, 5, 5, 5}},
        {"two equal bytes: raw", 1, {0x01, 7, 7, 1, 2, 3, 0, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16},
         {1, 2, 3, K, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16}},
        {"fill", 1, {0x02, 8}, std::vector<uint32_t>(16, 8)},
        {"fill with 0 stays", 1, {0x02, 0}, std::vector<uint32_t>(16, K)},
        {"repeat with nothing before stays", 1, {0x03, 0x02, 8}, std::vector<uint32_t>(16, K)},
        {"repeat of two colours takes a new mask", 2, {0x0D, 5, 6, 0xFF, 0x00, 0x00, 0xFF},
         {6, 6, 6, 6, 6, 6, 6, 6, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 6, 6, 6, 6, 6, 6, 6, 6}},
        {"repeat of a fill fills again", 2, {0x0E, 4}, std::vector<uint32_t>(32, 4)},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t w = 4 * c.blocks;
        std::vector<uint8_t> surface((size_t)w * 4, (uint8_t)K);
        ASSERT_EQ(anim_DecodeFrame(ANIM_TAG_FRAME8, c.data.data(), (uint32_t)c.data.size(), surface.data(), w, 4), 0);
        for (size_t i = 0; i < c.expected.size(); i++) {
            size_t b = i / 16, p = i % 16;
            EXPECT_EQ(surface[(p / 4) * w + b * 4 + p % 4], c.expected[i]) << i;
        }
        // One byte short is never read past.
        std::vector<uint8_t> cut(c.data.begin(), c.data.end() - 1);
        if (c.data.size() > 1 && std::string(c.name).find("stays") == std::string::npos) {
            EXPECT_EQ(anim_DecodeFrame(ANIM_TAG_FRAME8, cut.data(), (uint32_t)cut.size(), surface.data(), w, 4), -1);
        }
    }
}

TEST_F(AnimTest, TwentyFourBitBlocks) {
    vid_State.redMask = 0xF800;
    vid_State.greenMask = 0x07E0;
    vid_State.blueMask = 0x001F;
    // L: red 15, green 3, blue 2: truncated 0x0800, rounded 0x1020.
    const uint32_t T = 0x0800, R = 0x1020, K = 0x7777;
    const std::vector<uint32_t> checker = {R, T, R, T, T, R, T, R, R, T, R, T, T, R, T, R};
    std::vector<uint8_t> raw = {0x01, 0, 0, 0, 0, 0, 0};
    for (int p = 0; p < 16; p++) raw.insert(raw.end(), {0x01, 0x03, (uint8_t)(p == 5 ? 0 : 0x0F)});
    std::vector<uint32_t> rawWant(16, T);
    rawWant[5] = 1;  // red 0 is written too in a raw block; black becomes 1
    const BlockCase cases[] = {
        {"fill: rounded and truncated in a checkerboard", 1, {0x02, 0x01, 0x03, 0x0F}, checker},
        {"fill with a transparent literal stays", 1, {0x02, 0x05, 0x06, 0x00}, std::vector<uint32_t>(16, K)},
        {"a colour that converts to black becomes 1", 1, {0x02, 0x00, 0x00, 0x01}, std::vector<uint32_t>(16, 1)},
        {"two colours, the second transparent", 1, {0x01, 0x01, 0x03, 0x0F, 0, 0, 0, 0xF0, 0xFF},
         {R, T, R, T, K, K, K, K, K, K, K, K, K, K, K, K}},
        {"six zero bytes: raw, every pixel written", 1, raw, rawWant},
        {"repeat with nothing before stays", 1, {0x03}, std::vector<uint32_t>(16, K)},
        // Block 1 fills with L (which enters the cache as entry 0); block 2
        // has four colours: the cached L (rounded), L as a literal
        // (truncated), a transparent literal and an empty cache entry.
        {"four colours: cached rounded, literal truncated", 2,
         {0x02, 0x01, 0x03, 0x0F, 0x80, 0x01, 0x03, 0x0F, 0x00, 0x00, 0x00, 0x85, 0xE4, 0xE4, 0xE4, 0xE4},
         [&] {
             std::vector<uint32_t> v = checker;
             for (int p = 0; p < 16; p++) v.push_back(p % 4 == 0 ? R : p % 4 == 1 ? T : K);
             return v;
         }()},
        {"a cache reference in a fill shows the checkerboard", 2, {0x0A, 0x01, 0x03, 0x0F, 0x80},
         [&] {
             std::vector<uint32_t> v = checker;
             v.insert(v.end(), checker.begin(), checker.end());
             return v;
         }()},
    };
    for (const BlockCase& c : cases) {
        SCOPED_TRACE(c.name);
        int32_t w = 4 * c.blocks;
        std::vector<uint16_t> surface((size_t)w * 4, (uint16_t)K);
        ASSERT_EQ(anim_DecodeFrame(ANIM_TAG_FRAME24, c.data.data(), (uint32_t)c.data.size(),
                                   reinterpret_cast<uint8_t*>(surface.data()), w, 4),
                  0);
        for (size_t i = 0; i < c.expected.size(); i++) {
            size_t b = i / 16, p = i % 16;
            EXPECT_EQ(surface[(p / 4) * w + b * 4 + p % 4], c.expected[i]) << i;
        }
    }
}

// ---- Errors -----------------------------------------------------------------------

TEST_F(AnimTest, DamagedFilesRecordTheirText) {
    const char* invalid = "ANIMMGR: Invalid KDV File";
    std::vector<uint8_t> frame = FillFrame8(4, 7);  // a 16x4 movie
    std::vector<uint8_t> cutFrame = Chunk(ANIM_TAG_FRAME8, {0xAA, 7, 7});
    // A stereo tag over one channel's data: the right block is missing.
    std::vector<uint8_t> oneChannel = Audio(false, 10, 10, 1, 1);
    oneChannel[0] = 0x73;
    struct Case {
        const char* name;
        std::vector<uint8_t> file;
        const char* text;
    } cases[] = {
        {"a palette first", Cat({Chunk(ANIM_TAG_PALETTE, std::vector<uint8_t>(768)), Header(16, 4)}), invalid},
        {"too short for a chunk head", {0x78, 0x56}, invalid},
        {"wrong version", Header(16, 4, 12, 8, 0x23), "ANIMMGR: Mismatched Player and KDV file"},
        {"unknown token", Cat({Header(16, 4), Chunk(0x4B44567A, {1, 2, 3, 4}), frame}),
         "ANIMMGR: \"KDVz\" Invalid Digital Video Token"},
        {"an unknown token with a zero byte", Cat({Header(16, 4), Chunk(0x4B000A7A, {1, 2, 3, 4}), frame}),
         "ANIMMGR: \"K??z\" Invalid Digital Video Token"},
        {"a tag without the K", Cat({Header(16, 4), Chunk(0x58445669, {0}), frame}), invalid},
        {"a chunk longer than the file", Cat({Header(16, 4), Chunk(ANIM_TAG_FRAME8, {0xAA, 7, 7, 7, 7}, 100)}),
         "ANIMMGR: [BRE] Invalid KDV File"},
        {"a chunk length below 8", Cat({Header(16, 4), Chunk(ANIM_TAG_MONO, {}, -4), frame}), invalid},
        {"width not a multiple of 4", Header(18, 4), invalid},
        {"height not a multiple of 4", Header(16, 6), invalid},
        {"wider than 640", Header(644, 4), invalid},
        {"320 wide but taller than 240", Header(320, 244), invalid},
        {"a sample count beyond its chunk", Cat({Header(16, 4), Audio(false, 10, 11, 1, 1), frame}), invalid},
        {"a stereo chunk with one channel", Cat({Header(16, 4), oneChannel, frame}), invalid},
        {"frame data past its chunk", Cat({Header(16, 4), cutFrame}), invalid},
        {"a 24-bit frame in an 8-bit movie", Cat({Header(16, 4), Chunk(ANIM_TAG_FRAME24, {0xAA, 0x80, 0x80, 0x80, 0x80})}),
         invalid},
        {"a second header of the other depth", Cat({Header(16, 4), frame, Header(16, 8, 12, 24), frame}), invalid},
        {"a frame period of more than ten seconds", Header(16, 4, ANIM_PERIOD_MAX + 1), invalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test_WriteFile("BAD.KDV", c.file);
        EXPECT_EQ(anim_PlayMovie("BAD.KDV", 0), -2);
        ASSERT_NE(anim_ErrorText(), nullptr);
        EXPECT_STREQ(anim_ErrorText(), c.text);
        // The next open releases what the failed one held.
        test_WriteFile("GOOD.KDV", Cat({Header(16, 4), frame}));
        EXPECT_EQ(anim_PlayMovie("GOOD.KDV", 0), 0);
        EXPECT_EQ(anim_ErrorText(), nullptr);
    }
}

TEST_F(AnimTest, AMissingFileChangesNothing) {
    app_KeepRunningFlag.store(1);
    app_KeyMessageDown('A', 0);
    ASSERT_EQ(mix_StreamQueue(mix_SilenceFrames, 64, 0, 0), 1);
    EXPECT_EQ(anim_PlayMovie("NOSUCH.KDV", 1), -1);
    EXPECT_EQ(vid_State.modeSetDone, 0);
    EXPECT_EQ(app_KeepRunningFlag.load(), 1);
    EXPECT_EQ(mix_StreamCount(), 1);
    EXPECT_EQ(app_KeyQueuePop(), (uint32_t)'A');
    EXPECT_EQ(g_loops, 0);
}

// ---- Modes, centring and headers ---------------------------------------------------

TEST_F(AnimTest, TheModeFitsTheMovieAndCentresIt) {
    struct Case {
        int32_t width, height, depth;
        int32_t modeWidth, modeHeight, bits;
    } cases[] = {
        {320, 200, 8, 320, 240, 8}, {320, 240, 24, 320, 240, 16}, {64, 32, 8, 320, 240, 8},
        {640, 400, 24, 640, 480, 16}, {324, 200, 8, 640, 480, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        MkKdvMovie movie;
        mkdata_KdvHeader(&movie, c.width, c.height, 12, c.depth);
        std::vector<uint8_t> p8((size_t)c.width * c.height, 42);
        std::vector<uint32_t> p24(p8.size(), Exact(3));
        c.depth == 8 ? mkdata_KdvFrame8(&movie, p8.data()) : mkdata_KdvFrame24(&movie, p24.data());
        test_WriteFile("M.KDV", movie.out.buf);
        ASSERT_EQ(anim_Open("M.KDV"), 0);
        EXPECT_EQ(vid_State.modeWidth, c.modeWidth);
        EXPECT_EQ(vid_State.modeHeight, c.modeHeight);
        EXPECT_EQ(vid_State.bitsPerPixel, c.bits);
        ASSERT_EQ(anim_Step(), 1);
        std::vector<uint8_t> s = Screen();
        size_t bytes = (size_t)c.bits / 8;
        size_t first = (size_t)((c.modeHeight - c.height) >> 1) * c.width * bytes;
        size_t last = first + (size_t)c.width * c.height * bytes;
        // Rows are the movie's width apart; nothing outside is touched.
        for (size_t i = 0; i < s.size(); i += bytes) {
            bool inside = i >= first && i < last;
            bool drawn = s[i] != 0;
            EXPECT_EQ(drawn, inside) << i;
            if (drawn != inside) break;
        }
        anim_Stop();
    }
}

TEST_F(AnimTest, WithoutTheModeFramesAreReadButNotDrawn) {
    // A window's 640x480 8-bit surface stays from before when the movie's
    // 16-bit mode is refused.
    ASSERT_EQ(vid_SetWindowedAndMode(640, 480, 1), 0);
    plat_DisplaySetModeFilter([](int32_t, int32_t, int32_t bits, int32_t) { return bits == 16 ? 1 : 0; });
    MkKdvMovie movie;
    mkdata_KdvHeader(&movie, 640, 480, 12, 24);
    std::vector<uint32_t> p(640 * 480, Exact(3));
    mkdata_KdvFrame24(&movie, p.data());
    mkdata_KdvFrame24(&movie, p.data());
    test_WriteFile("M.KDV", movie.out.buf);
    EXPECT_EQ(anim_PlayMovie("M.KDV", 0), 0);
    EXPECT_EQ(anim_ErrorText(), nullptr);
    EXPECT_EQ(g_loops, 3);
    plat_DisplaySetModeFilter(nullptr);
}

TEST_F(AnimTest, ASecondHeaderRecentresAndCountsAsAFrame) {
    MkKdvMovie movie;
    mkdata_KdvHeader(&movie, 320, 200, 12, 8);
    std::vector<uint8_t> p(320 * 200, 42);
    mkdata_KdvFrame8(&movie, p.data());
    mkdata_KdvHeader(&movie, 320, 120, 12, 8);
    p.assign(320 * 120, 43);
    mkdata_KdvFrame8(&movie, p.data());
    test_WriteFile("M.KDV", movie.out.buf);
    ASSERT_EQ(anim_Open("M.KDV"), 0);
    uint32_t frames = Frames();
    ASSERT_EQ(anim_Step(), 1);
    EXPECT_EQ(Screen()[20 * 320], 42);
    ASSERT_EQ(anim_Step(), 1);  // the header: shown, nothing new drawn
    EXPECT_EQ(Frames(), frames + 2);
    EXPECT_EQ(Screen()[60 * 320], 42);
    ASSERT_EQ(anim_Step(), 1);
    std::vector<uint8_t> s = Screen();
    EXPECT_EQ(s[60 * 320], 43);
    EXPECT_EQ(s[20 * 320], 42);
    EXPECT_EQ(s[180 * 320 - 1], 43);
    EXPECT_EQ(s[180 * 320], 42);
    EXPECT_EQ(Frames(), frames + 3);
    EXPECT_EQ(anim_Step(), 0);
}

TEST_F(AnimTest, APaletteIsSetAtTheNextShownFrame) {
    uint8_t rgb[768];
    for (int i = 0; i < 768; i++) rgb[i] = (uint8_t)(i * 7);
    MkKdvMovie movie;
    mkdata_KdvHeader(&movie, 16, 4, 12, 8);
    mkdata_KdvPalette(&movie, rgb);
    std::vector<uint8_t> p(64, 9);
    mkdata_KdvFrame8(&movie, p.data());
    mkdata_KdvFrame8(&movie, p.data());
    test_WriteFile("M.KDV", movie.out.buf);
    ASSERT_EQ(anim_Open("M.KDV"), 0);
    ASSERT_EQ(anim_Step(), 1);
    ASSERT_EQ(anim_Step(), 1);
    int32_t w = 0, h = 0;
    const uint32_t* f = plat_DisplayLastFrame(&w, &h);
    ASSERT_NE(f, nullptr);
    uint32_t want = ((uint32_t)rgb[27] << 16) | ((uint32_t)rgb[28] << 8) | rgb[29];
    // Rows are the movie's 16 pixels apart.
    EXPECT_EQ(f[118 * 16] & 0xFFFFFF, want);
}

// ---- Audio -----------------------------------------------------------------------------

TEST_F(AnimTest, AudioChunksQueueTwoBytesASample) {
    struct Case {
        bool stereo;
        uint32_t n;
    } cases[] = {{false, 1}, {false, 300}, {true, 1}, {true, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stereo ? "stereo" : "mono");
        test_MixReset();
        test_WriteFile("A.KDV", Cat({Header(16, 4), Audio(c.stereo, c.n, c.n, 200, 56), FillFrame8(4, 7)}));
        ASSERT_EQ(anim_Open("A.KDV"), 0);
        ASSERT_EQ(anim_Step(), 1);
        ASSERT_EQ(mix_StreamCount(), 1);
        const MixVoice& r = mix_StreamRing[0];
        ASSERT_EQ((uint32_t)r.length, 2 * c.n);
        const uint8_t* end = r.end;
        const uint8_t* data = end - (uint32_t)r.length;
        for (uint32_t i = 0; i < c.n; i++) {
            ASSERT_EQ(data[2 * i], 200);
            ASSERT_EQ(data[2 * i + 1], c.stereo ? 56 : 200);
        }
        EXPECT_EQ((uint32_t)r.pan, 0u);                      // left shift
        EXPECT_EQ((uint32_t)r.volume, c.stereo ? 1u : 0u);  // right shift
        anim_Stop();
        EXPECT_EQ(mix_StreamCount(), 0);
    }
}

TEST_F(AnimTest, TheSoundReachesTheAudioDevice) {
    snd_Init(0);
    ASSERT_EQ(snd_Running, 1);
    std::vector<uint8_t> file = Header(16, 4, 12);
    for (int f = 0; f < 3; f++) file = Cat({file, Audio(true, 2205, 2205, 228, 28), FillFrame8(4, 7)});
    test_WriteFile("A.KDV", file);
    ASSERT_EQ(anim_Open("A.KDV"), 0);
    ASSERT_EQ(anim_Step(), 1);
    ASSERT_EQ(anim_Step(), 1);
    std::vector<int16_t> block(2 * 2205);
    int32_t got = plat_HarnessAudioStep(block.data(), 2205);
    ASSERT_GT(got, 0);
    // Left well above silence, right well below, once the stream has begun.
    int32_t last = got - 1;
    EXPECT_GT(block[2 * last], 1000);
    EXPECT_LT(block[2 * last + 1], -1000);
}

TEST_F(AnimTest, PendingAudioIsDroppedWhileTheStreamIsFull) {
    std::vector<uint8_t> file = Header(16, 4, 12);
    for (int f = 0; f < 12; f++) file = Cat({file, Audio(false, 50, 50, 100, 0), FillFrame8(4, 7)});
    test_WriteFile("A.KDV", file);
    ASSERT_EQ(anim_Open("A.KDV"), 0);
    for (int f = 0; f < 12; f++) ASSERT_EQ(anim_Step(), 1);
    // Nothing pulls here: the stream stops taking blocks at 10.
    EXPECT_EQ(mix_StreamCount(), 10);
}

// ---- Timing on the game clock --------------------------------------------------------

std::vector<uint8_t> FillMovie(int32_t frames, uint32_t period = 12, bool audio = false) {
    std::vector<uint8_t> file = Header(16, 4, period);
    for (int32_t f = 0; f < frames; f++) {
        if (audio) file = Cat({file, Audio(false, 10, 10, 100, 0)});
        file = Cat({file, FillFrame8(4, (uint8_t)(f + 1))});
    }
    return file;
}

TEST_F(AnimTest, PeriodTwelveShowsTenFramesPerHundredTwentyUnits) {
    app_TimerStart();
    test_WriteFile("M.KDV", FillMovie(30));
    ASSERT_EQ(anim_Open("M.KDV"), 0);
    uint32_t start = Clock(), frames = Frames();
    for (int i = 0; i < 10; i++) ASSERT_EQ(anim_Step(), 1);
    EXPECT_EQ(Frames(), frames + 10);
    // The tenth frame is due at 120 and shown up to 3/4 of a period early.
    EXPECT_GE(Clock() - start, 120u - 9u);
    EXPECT_LE(Clock() - start, 120u);
    for (int i = 0; i < 10; i++) ASSERT_EQ(anim_Step(), 1);
    EXPECT_GE(Clock() - start, 240u - 9u);
    EXPECT_LE(Clock() - start, 240u);
}

TEST_F(AnimTest, AFrameDueWithinThreeQuartersOfAPeriodIsShownAtOnce) {
    app_TimerStart();
    struct Case {
        uint32_t ahead;  // clock units the frame is due after now
        bool waits;
    } cases[] = {{12, true}, {10, true}, {9, true}, {8, false}, {1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ahead);
        test_WriteFile("M.KDV", FillMovie(2));
        ASSERT_EQ(anim_Open("M.KDV"), 0);
        uint32_t now = Clock() + 12 - c.ahead;
        app_ClockHigh.store(now);
        uint32_t frames = Frames();
        ASSERT_EQ(anim_Step(), 1);
        EXPECT_EQ(Frames(), frames + 1);
        EXPECT_EQ(Clock() != now, c.waits);
        anim_Stop();
    }
}

TEST_F(AnimTest, FiveLateFramesAreSkippedAndTheSixthShown) {
    app_TimerStart();
    test_WriteFile("M.KDV", FillMovie(10, 12, true));
    ASSERT_EQ(anim_Open("M.KDV"), 0);
    app_ClockHigh.store(Clock() + 1000);
    uint32_t frames = Frames();
    for (int i = 1; i <= 5; i++) {
        ASSERT_EQ(anim_Step(), 1);
        EXPECT_EQ(Frames(), frames) << i;
        EXPECT_EQ(mix_StreamCount(), i);  // late frames still queue their sound
    }
    uint32_t late = Clock();
    ASSERT_EQ(anim_Step(), 1);
    EXPECT_EQ(Frames(), frames + 1);
    EXPECT_EQ(Clock(), late);
    // The late frames were decoded under the one shown.
    EXPECT_EQ(Screen()[118 * 16], 6);
    // Due counts on from the sixth: the next frame waits for its time.
    ASSERT_EQ(anim_Step(), 1);
    EXPECT_EQ(Frames(), frames + 2);
    EXPECT_GT(Clock(), late);
}

// ---- The playing loop --------------------------------------------------------------

TEST_F(AnimTest, PlayingToTheEndRestoresKeepRunning) {
    app_TimerStart();
    app_KeepRunningFlag.store(1);
    test_WriteFile("M.KDV", FillMovie(5));
    int32_t keepRunningSeen = -1;
    g_onLoop = [&](int) { keepRunningSeen = app_KeepRunningFlag.load(); };
    uint32_t frames = Frames();
    EXPECT_EQ(anim_PlayMovie("M.KDV", 1), 0);
    EXPECT_EQ(Frames(), frames + 5);
    EXPECT_EQ(keepRunningSeen, 0);
    EXPECT_EQ(app_KeepRunningFlag.load(), 1);
    EXPECT_GE(g_loops, 6);
}

TEST_F(AnimTest, WhileTheWindowIsInactiveOnlyMessagesArePumped) {
    app_TimerStart();
    test_WriteFile("M.KDV", FillMovie(5));
    app_FocusFlag.store(0);
    uint32_t frames = Frames(), clock = Clock(), ticks = 0;
    g_onLoop = [&](int loop) {
        if (loop == 1) ticks = plat_HarnessTick();
        if (loop == 200) {
            // Time went by, but not for the game clock.
            EXPECT_GT(plat_HarnessTick(), ticks);
            EXPECT_EQ(Clock(), clock);
            app_FocusFlag.store(1);
        }
    };
    EXPECT_EQ(anim_PlayMovie("M.KDV", 0), 0);
    EXPECT_EQ(Frames(), frames + 5);
    EXPECT_GE(g_loops, 200);
}

TEST_F(AnimTest, AKeySkipsOnlyWhenAllowed) {
    test_WriteFile("M.KDV", FillMovie(8));
    for (int32_t skip : {1, 0}) {
        SCOPED_TRACE(skip);
        g_loops = 0;
        g_onLoop = [](int loop) {
            if (loop == 3) app_KeyMessageDown('A', 0);
        };
        uint32_t frames = Frames();
        EXPECT_EQ(anim_PlayMovie("M.KDV", skip), 0);
        EXPECT_EQ(Frames() - frames, skip ? 2u : 8u);
    }
}

TEST_F(AnimTest, QuittingEndsTheMovie) {
    test_WriteFile("M.KDV", FillMovie(8));
    g_onLoop = [](int loop) {
        if (loop == 4) app_TimerStopped = 1;
    };
    uint32_t frames = Frames();
    EXPECT_EQ(anim_PlayMovie("M.KDV", 0), 0);
    EXPECT_EQ(Frames() - frames, 4u);
}

TEST_F(AnimTest, TheDataSetMoviesPlayThrough) {
    struct Case {
        const char* name;
        int32_t modeWidth, bits;
        uint32_t frames;
    } cases[] = {{"KRXINTRO.KDV", 320, 8, 30}, {"KRXOVER.KDV", 640, 16, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = std::string(KRX_DATA_DIR) + "/" + c.name;
        uint32_t frames = Frames();
        EXPECT_EQ(anim_PlayMovie(path.c_str(), 0), 0);
        EXPECT_EQ(anim_ErrorText(), nullptr);
        EXPECT_EQ(Frames() - frames, c.frames);
        EXPECT_EQ(vid_State.modeWidth, c.modeWidth);
        EXPECT_EQ(vid_State.bitsPerPixel, c.bits);
    }
}

}  // namespace
