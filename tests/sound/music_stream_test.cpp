// The streamed music player on the headless audio device: opening, one
// block per frame behind the script, volume and fades, and the music files
// it refuses or plays safely.
#include <gtest/gtest.h>

#include <cstdlib>

#include "fixtures/workdir.h"
#include "music_fixture.h"
#include "platform/harness.h"
#include "platform/window.h"
#include "shell/wndproc.h"
#include "sound/snd.h"
#include "sound_fixture.h"

namespace {

void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    for (int i = 0; i < 4; i++) v[at + i] = (uint8_t)(x >> (8 * i));
}

// Entry fields in a built file.
constexpr size_t EntryField(int entry, int field) { return 24 + 32 * (size_t)entry + (size_t)field; }

MkSbfEntry Entry(uint32_t frames, uint32_t blockSize = 1032, uint8_t level = 200) {
    MkSbfEntry e;
    e.name = "E";
    e.blockSize = blockSize;
    e.frames.assign((size_t)frames * 2, level);
    return e;
}

class StreamTest : public ::testing::Test {
protected:
    TestWorkDir work;
    PlatHwnd hwnd = 0;

    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 1);
        unsetenv("KRX_AUDIO");
        unsetenv("KRX_AUDIODUMP");
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        test_MusicReset();
        ASSERT_EQ(mem_Heap1Init(), 0);
        hwnd = plat_WindowCreate("MUSICTEST", "KRX", 64, 64, plat_DefWindowProc, 0);
        app_MainHwnd = hwnd;
        ASSERT_TRUE(work.Enter("krx_music"));
        test_MixReset();
    }
    void TearDown() override {
        music_StreamClose();
        snd_Shutdown();
        unsetenv("KRX_AUDIO");
        work.Leave();
        plat_Shutdown();
        app_MainHwnd = 0;
    }
    // Writes M.SBF and M.BIN (program "T") and opens them.
    void Open(const std::vector<uint8_t>& sbf, const std::string& code) {
        test_WriteFile("M.SBF", sbf);
        test_WriteFile("M.BIN", test_Assemble(test_Program(code)));
        EXPECT_EQ(music_StreamOpen("M.SBF", "M.BIN", "T"), 0);
    }
    void Updates(int n) {
        for (int i = 0; i < n; i++) music_StreamUpdate();
    }
};

TEST_F(StreamTest, WithoutSoundOutputNothingOpens) {
    setenv("KRX_AUDIO", "none", 1);
    snd_Init(0);
    ASSERT_EQ(snd_Running, 0);
    Open(mkdata_SbfBuild({Entry(2000)}), "play 0\nyield");
    EXPECT_EQ(music_Stream.open, 0);
    EXPECT_EQ(music_Stream.handle, -1);
    EXPECT_EQ(music_ScriptProgramCount(), 0);
    Updates(3);
    music_SetVariable(0, 3);
    EXPECT_EQ(mix_StreamCount(), 0);
}

TEST_F(StreamTest, MissingOrDamagedFilesLeaveItClosed) {
    snd_Init(0);
    ASSERT_EQ(snd_Running, 1);
    test_WriteFile("M.BIN", test_Assemble(test_Program("play 0\nyield")));
    test_WriteFile("M.SBF", mkdata_SbfBuild({Entry(2000)}));
    std::vector<uint8_t> many = mkdata_SbfBuild({Entry(2000)});
    Put32(many, 20, 101);  // more entries than the table holds
    test_WriteFile("MANY.SBF", many);
    test_WriteFile("CUT.SBF", std::vector<uint8_t>(many.begin(), many.begin() + 40));
    const std::pair<const char*, const char*> cases[] = {
        {"NONE.SBF", "M.BIN"}, {"M.SBF", "NONE.BIN"}, {"MANY.SBF", "M.BIN"}, {"CUT.SBF", "M.BIN"}};
    for (auto& c : cases) {
        EXPECT_EQ(music_StreamOpen(c.first, c.second, "T"), 0);
        EXPECT_EQ(music_Stream.open, 0) << c.first;
        EXPECT_EQ(music_Stream.handle, -1) << c.first;
        EXPECT_EQ(music_Script.state, MUSIC_SCRIPT_IDLE) << c.first;
    }
    // Setting a variable while closed changes nothing.
    music_SetVariable(0, 3);
    EXPECT_EQ(music_Script.vars, nullptr);
}

TEST_F(StreamTest, TheDataSetsMenuMusicPlays) {
    snd_Init(0);
    ASSERT_EQ(mkdata_WriteMusic("."), 0);
    music_StreamOpen("KRXMUSIC.SBF", "KRXMUSIC.BIN", "KRX_Menu");
    ASSERT_EQ(music_Stream.open, 1);
    EXPECT_EQ(music_Stream.entryCount, 5);
    music_SetVariable(0, 2);
    music_StreamUpdate();  // the script picks the entry; no block this frame
    EXPECT_EQ(music_Stream.current, 2);
    EXPECT_EQ(mix_StreamCount(), 0);
    EXPECT_EQ(music_Stream.fadeLevel, 0);  // fades in from silence
    int32_t before = music_Stream.fadeLevel;
    for (int i = 0; i < 40; i++) {
        music_StreamUpdate();
        EXPECT_LE(mix_StreamCount(), 13);
        EXPECT_GE(music_Stream.fadeLevel, before);
        before = music_Stream.fadeLevel;
    }
    EXPECT_EQ(mix_StreamCount(), 13);  // never more than 13 wait
    std::vector<int16_t> block(2205 * 2);
    ASSERT_EQ(plat_HarnessAudioStep(block.data(), 2205), 2205);
    bool sound = false;
    for (int16_t s : block) sound |= s != 0;
    EXPECT_TRUE(sound);
    EXPECT_LT(mix_StreamCount(), 13);

    // A sub-choice fades the next entry towards a random level of 144..255.
    music_SetVariable(1, 1);
    music_SetVariable(0, 4);
    for (int i = 0; i < 200 && music_Stream.current != 4; i++) {
        music_StreamUpdate();
        plat_HarnessAudioStep(nullptr, 0);
    }
    EXPECT_EQ(music_Stream.current, 4);
    EXPECT_GE(music_Stream.fadeTarget, 144 << 16);

    music_StreamClose();
    EXPECT_EQ(music_Stream.open, 0);
    EXPECT_EQ(mix_StreamCount(), 0);
    EXPECT_EQ(music_Script.state, MUSIC_SCRIPT_IDLE);
    EXPECT_EQ(music_ScriptProgramCount(), 0);
}

TEST_F(StreamTest, VolumeScalesTheFadeLevel) {
    snd_Init(0);
    Open(mkdata_SbfBuild({Entry(5000)}), "push 255\nout 8\nclear\nplay 0\nyield");
    music_SetVolume(128);
    Updates(2);
    EXPECT_EQ(mix_StreamCount(), 1);
    EXPECT_EQ(mix_StreamVolume, 127);
    const std::pair<int32_t, int32_t> clamp[] = {{-3, 0}, {300, 255}, {77, 77}};
    for (auto& c : clamp) {
        music_SetVolume(c.first);
        EXPECT_EQ(music_Stream.masterVolume, c.second);
    }
}

TEST_F(StreamTest, FadesNeverGoBelowZero) {
    snd_Init(0);
    // Two blocks, but a length of one and a half: the step is taken over one
    // block and the second would go below 0.
    std::vector<uint8_t> sbf = mkdata_SbfBuild({Entry(1024 * 2)});
    Put32(sbf, EntryField(0, 20), 1032 + 516);
    Open(sbf, "push 255\nout 8\nclear\npush 0\nout 9\nclear\nplay 0\nyield");
    music_StreamUpdate();
    EXPECT_EQ(music_Stream.fadeStep, -(255 << 16));
    for (int i = 0; i < 2; i++) {
        music_StreamUpdate();
        EXPECT_GE(music_Stream.fadeLevel, 0);
        EXPECT_GE(mix_StreamVolume, 0);
    }
    EXPECT_EQ(mix_StreamCount(), 2);
    EXPECT_EQ(music_Stream.fadeLevel, 0);
}

TEST_F(StreamTest, AnEntryShorterThanABlockTakesItsFadeAtOnce) {
    snd_Init(0);
    std::vector<uint8_t> sbf = mkdata_SbfBuild({Entry(512)});
    Put32(sbf, EntryField(0, 20), 100);
    Open(sbf, "push 0\nout 8\nclear\npush 200\nout 9\nclear\nplay 0\nyield");
    music_StreamUpdate();
    EXPECT_EQ(music_Stream.fadeLevel, 200 << 16);
    EXPECT_EQ(music_Stream.fadeStep, 0);
    music_StreamUpdate();
    EXPECT_EQ(mix_StreamCount(), 1);  // still one whole block
    EXPECT_EQ(mix_StreamVolume, 199);  // (200 x 255) >> 8
}

// An entry that plays nothing, or ends early, has the script stepped again.
struct EntryCase {
    const char* what;
    uint32_t blockSize;  // patched in; 0 keeps the built one
    uint32_t length;     // patched in; 0 keeps it
    uint32_t lengthWord; // patched into the first block; 0 keeps it
    int32_t queued;      // blocks on the mixer's stream after the updates
    int32_t steps;       // script steps in 12 updates
};

TEST_F(StreamTest, EntriesThePlayerCannotPlay) {
    snd_Init(0);
    const EntryCase cases[] = {
        {"playable", 0, 0, 0, 9, 3},
        {"block size 0x10000", 0x10000, 0, 0, 0, 12},
        {"block over a ring buffer", 20000, 0, 0, 0, 12},
        {"block without room for its header", 8, 0, 0, 0, 12},
        {"shorter than a block", 0, 100, 0, 6, 6},
        {"length word past its block", 0, 0, 1025, 6, 3},
        {"file ends inside the entry", 0, 1032 * 40, 0, 8, 2},
        {"empty", 0, 0xFFFFFFFF, 0, 0, 12},
    };
    for (const EntryCase& c : cases) {
        test_MixReset();
        std::vector<uint8_t> sbf = mkdata_SbfBuild({Entry(512 * 4)});
        if (c.blockSize) Put32(sbf, EntryField(0, 24), c.blockSize);
        if (c.length) Put32(sbf, EntryField(0, 20), c.length == 0xFFFFFFFF ? 0 : c.length);
        if (c.lengthWord) Put32(sbf, 24 + 32, c.lengthWord);
        Open(sbf, "loop:\nincg 0\nplay 0\njmp loop");
        ASSERT_EQ(music_Stream.open, 1) << c.what;
        Updates(12);
        EXPECT_EQ(mix_StreamCount(), c.queued) << c.what;
        EXPECT_EQ(test_Global(0), c.steps) << c.what;
        EXPECT_GE(music_Stream.fadeLevel, 0) << c.what;
    }
}

TEST_F(StreamTest, AnEntryPastTheEndPlaysEntryZero) {
    snd_Init(0);
    Open(mkdata_SbfBuild({Entry(512 * 3), Entry(512 * 5)}), "play 7\nplay 1\nyield");
    music_StreamUpdate();
    EXPECT_EQ(music_Stream.current, 0);
    EXPECT_EQ(music_Stream.bytesToQueue, 3 * 1032);
    Updates(4);
    EXPECT_EQ(music_Stream.current, 1);
    EXPECT_EQ(music_Stream.bytesToQueue, 5 * 1032);
}

TEST_F(StreamTest, AStoppedScriptLetsTheEntryFinish) {
    snd_Init(0);
    Open(mkdata_SbfBuild({Entry(512 * 2)}), "play 0\nbyte 200");
    Updates(3);
    EXPECT_EQ(mix_StreamCount(), 2);
    music_StreamUpdate();  // the unknown opcode stops the machine
    EXPECT_EQ(music_Script.state, MUSIC_SCRIPT_IDLE);
    EXPECT_EQ(music_Script.fault, MUSIC_FAULT_OPCODE);
    Updates(3);
    EXPECT_EQ(music_Stream.open, 1);
    EXPECT_EQ(mix_StreamCount(), 2);
}

}  // namespace
