// Whole-program runs with sound: the headless device's WAV dump lasts as
// long as the run, and without a device the program says so once and runs
// on silently.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "base/filetable.h"
#include "base/le.h"
#include "base/mem.h"
#include "fixtures/workdir.h"
#include "run_util.h"

namespace {

std::string AppString1(void) {
    mem_HeapSizesSet(0x100000, 0x10000, 0x10000);
    mem_HeapInit();
    FileTable* table = file_TableLoad(KRX_DATA_DIR "/APPSTR.BIN");
    const FileTableEntry* e = file_TableEntryGet(table, 1);
    return e ? e->text : "<missing string>";
}

TEST(KrxSoundRun, TheAudioDumpIsAsLongAsTheRun) {
    std::string dir = run_FreshDataDir("audiodump");
    ASSERT_FALSE(dir.empty());
    std::string wav = dir + "/run.wav";
    RunResult r = run_Program("krx", {}, dir, {"KRX_MAXTICKS=120", "KRX_AUDIODUMP=" + wav});
    ASSERT_EQ(r.exitCode, 0) << r.err;
    std::string bytes = test_ReadText(wav);
    ASSERT_GE(bytes.size(), 44u);
    LeReader h(bytes.data(), bytes.size());
    EXPECT_EQ(bytes.substr(0, 4), "RIFF");
    h.seek(4);
    EXPECT_EQ(h.u32(), bytes.size() - 8);
    EXPECT_EQ(bytes.substr(8, 8), "WAVEfmt ");
    h.seek(20);
    EXPECT_EQ(h.u16(), 1);      // PCM
    EXPECT_EQ(h.u16(), 2);      // stereo
    EXPECT_EQ(h.u32(), 22050u);
    EXPECT_EQ(h.u32(), 88200u);
    EXPECT_EQ(h.u16(), 4);
    EXPECT_EQ(h.u16(), 16);
    EXPECT_EQ(bytes.substr(36, 4), "data");
    h.seek(40);
    uint32_t data = h.u32();
    EXPECT_EQ(data, bytes.size() - 44);
    // 120 ticks of 25 ms: 3 s, 2205 frames every fourth tick from the
    // moment the device opened early in the start-up.
    uint32_t frames = data / 4;
    EXPECT_EQ(frames % 2205, 0u);
    EXPECT_LE(frames, 30u * 2205);
    EXPECT_GE(frames, 28u * 2205);
}

TEST(KrxSoundRun, WithoutADeviceItSaysSoAndRunsOn) {
    std::string dir = run_FreshDataDir("noaudio");
    ASSERT_FALSE(dir.empty());
    RunResult r = run_Program("krx", {}, dir, {"KRX_MAXTICKS=80", "KRX_AUDIO=none"});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    std::string line = ": " + AppString1() + "\n";
    size_t at = r.err.find(line);
    ASSERT_NE(at, std::string::npos) << r.err;
    EXPECT_EQ(r.err.rfind("box: ", at), r.err.rfind('\n', at) + 1);
    EXPECT_EQ(r.err.find(line, at + 1), std::string::npos);  // once
    EXPECT_NE(r.err.find(" frame steps"), std::string::npos) << r.err;
}

// The cockpit's tones come from the level's sound table: selecting the
// heat-seeking missile (the weapon key three times: gun, AIM120, AIM9M)
// starts the seeker tone, the next weapon silences it.
TEST(KrxSoundRun, TheHeatSeekerPlaysItsSeekerTone) {
    const std::string log = run_FlightLog("seekertone", "60 key 0xC0\n80 key 0xC0\n100 key 0xC0\n120 key 0xC0\n", 160);
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.find(" client sounds SKARVEL.PWF warnings=4\n"), std::string::npos) << log.substr(0, 3000);
    size_t aim9 = log.find(" weapon select 1 AIM9M ");
    ASSERT_NE(aim9, std::string::npos) << log;
    size_t tone = log.find(" client tone 2 SEEKER_TONE level=195\n", aim9);
    ASSERT_NE(tone, std::string::npos) << log;
    EXPECT_NE(log.find(" client tone 2 off level=0\n", tone), std::string::npos) << log;
    EXPECT_EQ(log.find(" client tone 1 "), std::string::npos) << "no threat in this flight";
}

}  // namespace
