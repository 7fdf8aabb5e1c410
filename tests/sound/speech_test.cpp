// The speech player: one message at a time, missing files, the voice
// variant of the name, and messages that report no end.
#include <gtest/gtest.h>

#include "output_fixture.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "sound/sndtrig.h"
#include "sound/speech.h"

namespace {

class SpeechTest : public SoundOutputTest {
protected:
    void SetUp() override {
        SoundOutputTest::SetUp();
        app_VariantWord = 0;
        app_Settings.AUX_VOICE_DIALOG = 1;
        app_Settings.DIALOG_VOLUME = 255;
        test_WriteFile("LONG.WAV", test_Wave(60000));
        test_WriteFile("SHORT.WAV", test_Wave(3000));
        speech_Init();
    }
    void TearDown() override {
        speech_Shutdown();
        app_VariantWord = 0;
        SoundOutputTest::TearDown();
    }
};

TEST_F(SpeechTest, ANewMessageCutsOffTheOneBefore) {
    app_Settings.DIALOG_VOLUME = 180;
    ASSERT_EQ(speech_Play("LONG.WAV", 1), 0);
    uint32_t first = speech_State.key;
    ASSERT_NE(first, 0u);
    int32_t voice = test_VoiceOf(static_cast<MixSample*>(speech_State.sample));
    ASSERT_GE(voice, 0);
    EXPECT_EQ((uint32_t)mix_RequestBank[voice].flags, 1u | SPEECH_VOICE_BIT);
    EXPECT_EQ((uint32_t)mix_RequestBank[voice].volume, 180u);
    EXPECT_EQ((uint32_t)mix_RequestBank[voice].pan, 0u);
    Step();
    EXPECT_EQ(speech_MessagePlaying(1), 1);
    EXPECT_EQ(speech_MessagePlaying(2), 0);

    ASSERT_EQ(speech_Play("SHORT.WAV", 2), 0);
    EXPECT_NE(speech_State.key, first);
    EXPECT_EQ(speech_MessagePlaying(1), 0);
    EXPECT_EQ(speech_MessagePlaying(2), 1);
    Step();
    EXPECT_EQ(snd_VoiceFind(first), 0u);
    int32_t playing = 0;
    for (int32_t v = 0; v < MIX_VOICES; v++) playing += mix_VoiceIsPlaying(v) && mix_PlayingBank[v].key != 0u;
    EXPECT_EQ(playing, 1);
}

TEST_F(SpeechTest, AMessageThatCannotStartKeepsTheCurrentOne) {
    ASSERT_EQ(speech_Play("LONG.WAV", 1), 0);
    uint32_t key = speech_State.key;
    test_WriteFile("BAD.WAV", std::vector<uint8_t>(60, 7));
    for (const char* name : {"MISSING.WAV", "BAD.WAV", "", (const char*)nullptr}) {
        EXPECT_EQ(speech_Play(name, 2), -1) << (name ? name : "null");
        EXPECT_EQ(speech_State.key, key);
        EXPECT_EQ(snd_VoiceFind(key), key);
        EXPECT_EQ(speech_MessagePlaying(1), 1);
    }
}

TEST_F(SpeechTest, PlayOnlyBetweenInitAndShutdown) {
    speech_Shutdown();
    EXPECT_EQ(speech_Play("LONG.WAV", 1), -1);
    speech_Init();
    EXPECT_EQ(speech_Play("LONG.WAV", 1), 0);
    speech_Shutdown();
    EXPECT_EQ(speech_State.sample, nullptr);
    EXPECT_EQ(speech_Play("LONG.WAV", 1), -1);
    EXPECT_EQ(speech_MessagePlaying(1), 0);
}

TEST_F(SpeechTest, TheNameVariantFollowsTheVoiceSetting) {
    struct Case {
        int32_t variant, aux;
        const char* name;
        const char* file;  // the only file there
        int32_t result;
    } cases[] = {
        {1, 0, "MSGR01.WAV", "MSGE01.WAV", 0},  {1, 0, "msgr01.wav", "MSGE01.WAV", 0},
        {1, 1, "MSGE01.WAV", "MSGR01.WAV", 0},  {1, 1, "MSGE01.WAV", "MSGE01.WAV", -1},
        {0, 0, "MSGR01.WAV", "MSGE01.WAV", -1}, {0, 0, "MSGR01.WAV", "MSGR01.WAV", 0},
        {1, 0, "ABCR", "ABCE", -1},             {1, 0, "ABCR", "ABCR", 0},
        {1, 0, "ABXY01.WAV", "ABXY01.WAV", 0},
    };
    for (const Case& c : cases) {
        speech_Stop();
        for (const char* f : {"MSGE01.WAV", "MSGR01.WAV", "ABCE", "ABCR", "ABXY01.WAV"}) remove(f);
        test_WriteFile(c.file, test_Wave(1000));
        app_VariantWord = c.variant;
        app_Settings.AUX_VOICE_DIALOG = c.aux;
        EXPECT_EQ(speech_Play(c.name, 0), c.result) << c.name << " with " << c.file;
    }
}

TEST_F(SpeechTest, TheEndOfAMessageIsNotTakenForASoundEntry) {
    snd_SetEndHook(sndtrig_VoiceEnded);
    Pump();
    ASSERT_EQ(speech_Play("SHORT.WAV", 5), 0);
    EXPECT_EQ(speech_MessagePlaying(5), 1);
    for (int i = 0; i < 3; i++) Step();
    EXPECT_EQ(speech_MessagePlaying(5), 0);
    EXPECT_EQ(plat_MessageCount(), 0u);
    // Stopping frees the sample; no block mixes it afterwards.
    ASSERT_EQ(speech_Play("LONG.WAV", 6), 0);
    Step();
    speech_Stop();
    EXPECT_EQ(speech_State.sample, nullptr);
    EXPECT_EQ(speech_State.key, 0u);
    Step();
    Step();
    EXPECT_TRUE(Silent());
}

}  // namespace
