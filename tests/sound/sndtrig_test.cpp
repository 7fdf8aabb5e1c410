// Sound triggers: loading SNDTRIG files written by the data builder (and
// damaged copies of them), the play rules of one sound and of sets, the
// request at a position, and transient sounds ending on the main thread.
#include <gtest/gtest.h>

#include <cstring>

#include "output_fixture.h"
#include "render/view.h"
#include "sound/sndtrig.h"

namespace {

void Done(uint32_t argument);

class SndTrigTest : public SoundOutputTest {
protected:
    SndTrigFile table = {};

    void SetUp() override {
        SoundOutputTest::SetUp();
        sndtrig_SetConditionMask(6);
        sndtrig_RandomSeed(0);
        view_State.position = FixWorldPos{};
    }
    void TearDown() override {
        sndtrig_Free(&table);
        SoundOutputTest::TearDown();
    }
    int32_t Load(const MkSndTrig& t, const char* name = "T.PWF") {
        test_WriteFile(name, mkdata_SndTrigBuild(t));
        return sndtrig_Load(name, &table);
    }
    MixSample* Sample(const char* name) { return sndtrig_GetSample(name, &table); }
    static SndTrigEvent Event(uint16_t type, uint16_t subtype, uint16_t id, int32_t volume = 255) {
        SndTrigEvent e = {};
        e.volume = volume;
        e.voice = -1;
        e.type = type, e.subtype = subtype, e.id = id;
        return e;
    }
    // One sound, "T", on trigger 5, and the event that plays it as a
    // transient sound reporting its end to Done.
    static MkSndTrig TransientSet() {
        MkSndTrig t;
        t.sounds = {{"T", test_Wave(3000), 0, 0}};
        t.triggers = {{5, 0, 0, false, 0}};
        return t;
    }
    static SndTrigEvent TransientEvent() {
        SndTrigEvent e = Event(5, 0, 0);
        e.flags = SNDTRIG_TRANSIENT;
        e.completion = Done;
        return e;
    }
};

// Three sounds, each its own sample, and a trigger (1, 0, i) for each.
MkSndTrig ThreeSounds(void) {
    MkSndTrig t;
    for (int i = 0; i < 3; i++) {
        t.sounds.push_back({std::string("S") + char('A' + i), test_Wave(30000 + 100 * i), 0, 0});
        t.triggers.push_back({1, 0, (uint16_t)i, false, (uint16_t)i});
    }
    return t;
}

TEST_F(SndTrigTest, TheFirstMatchingTriggerPlaysAndOthersGiveMinusOne) {
    MkSndTrig t = ThreeSounds();
    t.triggers.push_back({7, 7, 7, false, 1});
    t.triggers.push_back({7, 7, 7, false, 2});  // the same event again
    ASSERT_EQ(Load(t), 1);
    SndTrigEvent e = Event(7, 7, 7);
    int32_t key = sndtrig_Trigger(&e, &table);
    EXPECT_GT(key, 0);
    EXPECT_EQ(snd_CountSampleVoices(Sample("SB")), 1);
    EXPECT_EQ(snd_CountSampleVoices(Sample("SC")), 0);

    SndTrigEvent none = Event(7, 7, 8);
    EXPECT_EQ(sndtrig_Trigger(&none, &table), -1);
    EXPECT_EQ(sndtrig_Trigger(nullptr, &table), 0);
    EXPECT_EQ(sndtrig_Trigger(&e, nullptr), 0);

    // A table without triggers.
    sndtrig_Free(&table);
    t.triggers.clear();
    ASSERT_EQ(Load(t), 1);
    EXPECT_EQ(sndtrig_Trigger(&e, &table), -1);
}

TEST_F(SndTrigTest, VolumeOfOneSound) {
    struct Case {
        uint8_t entry;
        int32_t event, minimum, expect;  // -1: nothing starts (result 0)
    } cases[] = {
        {0, 128, 0, 127},  {0, 255, 0, 254},  {128, 255, 0, 127},
        {255, 64, 0, 63},  {0, 31, 32, -1},   {0, 33, 32, 32},
    };
    for (const Case& c : cases) {
        MkSndTrig t;
        t.sounds = {{"S", test_Wave(1000), c.entry, 0}};
        t.triggers = {{1, 2, 3, false, 0}};
        ASSERT_EQ(Load(t), 1);
        sndtrig_SetMinVolume(c.minimum, &table);
        SndTrigEvent e = Event(1, 2, 3, c.event);
        int32_t key = sndtrig_Trigger(&e, &table);
        int32_t voice = test_VoiceOf(Sample("S"));
        if (c.expect < 0) {
            EXPECT_EQ(key, 0) << (int)c.entry << " " << c.event;
            EXPECT_EQ(voice, -1);
        } else {
            ASSERT_GT(key, 0);
            ASSERT_GE(voice, 0);
            EXPECT_EQ((int32_t)(uint32_t)mix_RequestBank[voice].volume, c.expect) << (int)c.entry << " " << c.event;
        }
        snd_StopAllVoices();
        sndtrig_Free(&table);
    }
}

TEST_F(SndTrigTest, VoiceLimitRefusesTheThirdUnlessTheEventIgnoresIt) {
    ASSERT_EQ(Load(ThreeSounds()), 1);
    sndtrig_SetMaxInstances(2, &table);
    SndTrigEvent e = Event(1, 0, 0);
    EXPECT_GT(sndtrig_Trigger(&e, &table), 0);
    Step();
    EXPECT_GT(sndtrig_Trigger(&e, &table), 0);
    EXPECT_EQ(sndtrig_Trigger(&e, &table), -1);
    SndTrigEvent other = Event(1, 0, 1);  // the limit is per sample
    EXPECT_GT(sndtrig_Trigger(&other, &table), 0);
    e.flags = SNDTRIG_IGNORE_LIMIT;
    EXPECT_GT(sndtrig_Trigger(&e, &table), 0);
    EXPECT_EQ(snd_CountSampleVoices(Sample("SA")), 3);
    // A voice given by the event.
    e.voice = 20;
    EXPECT_GT(sndtrig_Trigger(&e, &table), 0);
    EXPECT_EQ((const uint8_t*)mix_RequestBank[20].end, mix_SampleFrames(Sample("SA")) + mix_SampleLength(Sample("SA")));
}

// A set of one layer whose members are the three sounds.
MkSndTrig OneSet(uint32_t layerFlags, uint16_t next = 0) {
    MkSndTrig t = ThreeSounds();
    MkSndLayer layer;
    layer.flags = layerFlags;
    layer.next = next;
    layer.members = {{0}, {1}, {2}};
    t.sets = {{0x10000, 0, 0, {layer}}};
    t.triggers.push_back({2, 0, 0, true, 0});
    return t;
}

TEST_F(SndTrigTest, SequentialLayerStepsThroughItsMembers) {
    ASSERT_EQ(Load(OneSet(SNDTRIG_LAYER_COCKPIT | SNDTRIG_LAYER_SEQUENTIAL)), 1);
    const char* names[] = {"SA", "SB", "SC"};
    int32_t counts[3] = {};
    for (int32_t expect : {0, 1, 2, 0, 1}) {
        SndTrigEvent e = Event(2, 0, 0);
        EXPECT_EQ(sndtrig_Trigger(&e, &table), 1);
        counts[expect]++;
        for (int i = 0; i < 3; i++) EXPECT_EQ(snd_CountSampleVoices(Sample(names[i])), counts[i]) << expect;
    }
    // A stored next beyond the members starts at the first.
    sndtrig_Free(&table);
    ASSERT_EQ(Load(OneSet(SNDTRIG_LAYER_COCKPIT | SNDTRIG_LAYER_SEQUENTIAL, 7)), 1);
    snd_StopAllVoices();
    SndTrigEvent e = Event(2, 0, 0);
    EXPECT_EQ(sndtrig_Trigger(&e, &table), 1);
    EXPECT_EQ(snd_CountSampleVoices(Sample("SA")), 1);
}

TEST_F(SndTrigTest, RandomLayerPicksEveryMember) {
    ASSERT_EQ(Load(OneSet(SNDTRIG_LAYER_OUTSIDE)), 1);
    Pump();
    const char* names[] = {"SA", "SB", "SC"};
    bool seen[3] = {};
    for (int i = 0; i < 40; i++) {
        snd_StopAllVoices();
        SndTrigEvent e = Event(2, 0, 0);
        e.flags = SNDTRIG_TRANSIENT;  // set members never are: nothing is posted
        EXPECT_EQ(sndtrig_Trigger(&e, &table), 1);
        for (int k = 0; k < 3; k++) seen[k] = seen[k] || test_VoiceOf(Sample(names[k])) != -1;
    }
    for (int k = 0; k < 3; k++) EXPECT_TRUE(seen[k]) << names[k];
    for (int i = 0; i < 20; i++) Step();
    EXPECT_EQ(plat_MessageCount(), 0u);
    for (int32_t n : {-5, 0, 1}) EXPECT_EQ(sndtrig_Random(n), 0);
    for (int i = 0; i < 200; i++) {
        int32_t r = sndtrig_Random(3);
        EXPECT_TRUE(r >= 0 && r < 3);
    }
}

TEST_F(SndTrigTest, ConditionMaskChoosesLayers) {
    // Layers: cockpit only, outside only, neither, both; a second set
    // chooses between the voice variants by bit 5.
    MkSndTrig t = ThreeSounds();
    auto layer = [](uint32_t flags, uint32_t sound) {
        MkSndLayer l;
        l.flags = flags;
        l.members = {{sound}};
        return l;
    };
    t.sets = {{0x10000, 0, 0, {layer(0x02, 0), layer(0x04, 1), layer(0x00, 2), layer(0x06, 2)}},
              {0x10000, 0, SNDTRIG_SET_VOICE_CONDITION, {layer(0x06, 0), layer(0x06 | 0x20, 1)}},
              {0x10000, 0, 0, {layer(0x06, 0), layer(0x06 | 0x20, 1)}}};
    t.triggers = {{3, 0, 0, true, 0}, {3, 0, 1, true, 1}, {3, 0, 2, true, 2}};
    ASSERT_EQ(Load(t), 1);
    struct Case {
        int32_t mask;
        uint16_t set;
        int32_t listed;
        int32_t a, b, c;  // voices per sample afterwards
    } cases[] = {
        {2, 0, 2, 1, 0, 1},     {4, 0, 2, 0, 1, 1},    {6, 0, 3, 1, 1, 1},    {1, 0, 0, 0, 0, 0},
        {0x06, 1, 1, 1, 0, 0},  {0x26, 1, 1, 0, 1, 0}, {0x26, 2, 2, 1, 1, 0}, {0x20, 1, 0, 0, 0, 0},
    };
    EXPECT_EQ(sndtrig_SetConditionMask(2), 6);  // the initial mask
    for (const Case& c : cases) {
        snd_StopAllVoices();
        sndtrig_SetConditionMask(c.mask);
        SndTrigEvent e = Event(3, 0, c.set);
        EXPECT_EQ(sndtrig_Trigger(&e, &table), c.listed) << c.mask << " set " << c.set;
        EXPECT_EQ(snd_CountSampleVoices(Sample("SA")), c.a) << c.mask << " set " << c.set;
        EXPECT_EQ(snd_CountSampleVoices(Sample("SB")), c.b) << c.mask << " set " << c.set;
        EXPECT_EQ(snd_CountSampleVoices(Sample("SC")), c.c) << c.mask << " set " << c.set;
    }
}

TEST_F(SndTrigTest, MemberVolumeFollowsTheRangeCurveAndPitchMultiplies) {
    struct Case {
        uint32_t range, distance, volume, cap;
        int32_t expect;
    } cases[] = {
        {100, 0, 200, 255, 199},
        {100, 0, 255, 100, 100},
        {100, 100u << 16, 200, 255, 0},
        {100, (100u << 16) + 1, 200, 255, 0},
        {100, 0xFFFFFFFFu, 200, 255, 0},
        {0x10000, 0x80000000u, 256, 255, 256 * sndtrig_VolumeCurve[128] >> 8},
    };
    for (const Case& c : cases) {
        MkSndTrig t = ThreeSounds();
        MkSndLayer l;
        l.flags = 0x02 | SNDTRIG_LAYER_PAN;
        l.range = c.range;
        l.members = {{0, 0x10000, 0, c.volume, c.cap}};
        t.sets = {{0x10000, 0, 0, {l}}};
        t.triggers = {{4, 0, 0, true, 0}};
        ASSERT_EQ(Load(t), 1);
        SndTrigEvent e = Event(4, 0, 0);
        e.distance = (int32_t)c.distance;
        e.pan = 64;
        ASSERT_EQ(sndtrig_Trigger(&e, &table), 1);
        int32_t voice = test_VoiceOf(Sample("SA"));
        ASSERT_GE(voice, 0);
        EXPECT_EQ((int32_t)(uint32_t)mix_RequestBank[voice].volume, c.expect > 255 ? 255 : c.expect) << c.distance;
        EXPECT_EQ((int32_t)(uint32_t)mix_RequestBank[voice].pan, 64);
        snd_StopAllVoices();
        sndtrig_Free(&table);
    }
    EXPECT_EQ(sndtrig_VolumeCurve[0], 255);
    EXPECT_EQ(sndtrig_VolumeCurve[15], 127);
    EXPECT_EQ(sndtrig_VolumeCurve[255], 0);

    // Pitch: set x member (>> 16) x event (>> 16), in 64 bits; the rate word
    // of a 22050 Hz sample makes the step pitch >> 6.
    struct Pitch {
        int32_t set, member, event;
        uint32_t spread;  // of both the set and the member
        uint32_t step;
    } pitches[] = {
        {0x20000, 0x30000, 0x8000, 0, 0x30000 >> 6},
        {0x10000, 0x10000, 0, 0, 0x10000 >> 6},                     // event pitch 0 counts as 1.0
        {0x7FFF0000, 0x7FFF0000, 0, 0, 0x7FFFFFFF >> 6},            // far beyond 32 bits: the largest
        {0x7FFFFFFF, 0x7FFFFFFF, 0x7FFFFFFF, 0xFFFFFFFF, 0x7FFFFFFF >> 6},  // beyond 64 bits too
        {-0x10000, 0x10000, 0, 0, 0x10000 >> 6},                     // below 0: the natural rate
    };
    for (const Pitch& p : pitches) {
        MkSndTrig t = ThreeSounds();
        MkSndLayer l;
        l.flags = 0x02;
        l.members = {{0, p.member, p.spread, 255, 255}};
        t.sets = {{p.set, p.spread, 0, {l}}};
        t.triggers = {{4, 0, 0, true, 0}};
        ASSERT_EQ(Load(t), 1);
        SndTrigEvent e = Event(4, 0, 0);
        e.pitch = p.event;
        ASSERT_EQ(sndtrig_Trigger(&e, &table), 1);
        int32_t voice = test_VoiceOf(Sample("SA"));
        ASSERT_GE(voice, 0);
        EXPECT_EQ((uint32_t)mix_RequestBank[voice].step, p.step) << p.set << " " << p.member;
        EXPECT_EQ((int32_t)(uint32_t)mix_RequestBank[voice].pan, 0);  // layer without bit 0: ahead
        snd_StopAllVoices();
        sndtrig_Free(&table);
    }
}

TEST_F(SndTrigTest, RequestAtPositionFillsVolumeByDistance) {
    view_State.position = FixWorldPos{0x1000, 0x2000, 0x3000};
    struct Case {
        uint32_t dx;
        int32_t volume;
    } cases[] = {{0, 255}, {1u << 17, 254}, {(255u << 17) - 1, 1}, {255u << 17, 0}, {0x7FFFFFFFu, 0}};
    for (const Case& c : cases) {
        sndtrig_Event = SndTrigEvent{};
        sndtrig_Event.flags = 3;
        FixWorldPos at = {view_State.position.x + c.dx, view_State.position.y, view_State.position.z};
        sndtrig_RequestAtPosition(&at);
        EXPECT_EQ(sndtrig_Event.volume, c.volume) << c.dx;
        EXPECT_EQ(sndtrig_Event.distance, (int32_t)(c.dx * 16u)) << c.dx;
        EXPECT_EQ(sndtrig_Event.voice, -1);
        EXPECT_EQ(sndtrig_Event.flags, 0);
        EXPECT_EQ(sndtrig_Event.pitch, 0);
    }
    // World coordinates wrap: a position just "below" the listener is near.
    FixWorldPos behind = {view_State.position.x - 100, view_State.position.y, view_State.position.z};
    EXPECT_EQ(view_ListenerDistance(&behind), 100);

    // Volume 0 plays nothing when the table has a minimum volume.
    ASSERT_EQ(Load(ThreeSounds()), 1);
    sndtrig_SetMinVolume(32, &table);
    FixWorldPos far = {view_State.position.x + (255u << 17), view_State.position.y, view_State.position.z};
    sndtrig_RequestAtPosition(&far);
    sndtrig_Event.type = 1, sndtrig_Event.subtype = 0, sndtrig_Event.id = 0;
    EXPECT_EQ(sndtrig_Trigger(&sndtrig_Event, &table), 0);
    EXPECT_EQ(test_VoiceOf(Sample("SA")), -1);
}

int g_done = 0;
uint32_t g_doneArgument = 0;
void Done(uint32_t argument) {
    g_done++;
    g_doneArgument = argument;
}

TEST_F(SndTrigTest, TransientSoundIsFreedAndCompletedOnceWhenItsLastVoiceEnds) {
    ASSERT_EQ(Load(TransientSet()), 1);
    g_done = 0;
    SndTrigEvent e = TransientEvent();
    e.completionArgument = 77;
    ASSERT_GT(sndtrig_Trigger(&e, &table), 0);
    Step();
    ASSERT_GT(sndtrig_Trigger(&e, &table), 0);  // a second voice of it
    SndTrigSound* entry = sndtrig_FindSound("T", &table);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(entry->transient, 1);
    void* sample = entry->owner.sample;
    // The sample lives in alternate heap 2.
    EXPECT_NE(sample, nullptr);
    EXPECT_GE((uint8_t*)sample, mem_AltHeap2.base);
    EXPECT_LT((uint8_t*)sample, mem_AltHeap2.base + mem_AltHeap2.size);
    for (int i = 0; i < 3; i++) {
        Step();
        Pump();
    }
    EXPECT_EQ(g_done, 1);
    EXPECT_EQ(g_doneArgument, 77u);
    EXPECT_EQ(entry->owner.playing, 0);
    EXPECT_EQ(entry->owner.sample, nullptr);
    EXPECT_EQ(entry->owner.completion, nullptr);
    // It loads again for the next event.
    e.completion = nullptr;
    ASSERT_GT(sndtrig_Trigger(&e, &table), 0);
    EXPECT_EQ(entry->owner.playing, 1);
    for (int i = 0; i < 3; i++) {
        Step();
        Pump();
    }
    EXPECT_EQ(g_done, 1);
}

TEST_F(SndTrigTest, EndReportsOfFreedTablesAndSpeechWordsFindNoEntry) {
    ASSERT_EQ(Load(TransientSet()), 1);
    g_done = 0;
    SndTrigEvent e = TransientEvent();
    ASSERT_GT(sndtrig_Trigger(&e, &table), 0);
    uint32_t handle = sndtrig_FindSound("T", &table)->handle;
    ASSERT_NE(handle, 0u);
    EXPECT_EQ(handle & 0x80000000u, 0u);
    Step();
    Step();  // it ended: the report is posted
    // The table goes before the report is handled: the stale handle finds
    // nothing, and the completion ran once, at the free.
    sndtrig_Free(&table);
    EXPECT_EQ(g_done, 1);
    Pump();
    EXPECT_EQ(g_done, 1);
    EXPECT_EQ(snd_OwnerFromHandle(handle), nullptr);
    sndtrig_VoiceEnded(0x80000005u);  // a speech voice: nothing posted
    sndtrig_VoiceEnded(0);
    EXPECT_EQ(plat_MessageCount(), 0u);
}

TEST_F(SndTrigTest, FreeStopsVoicesOfTheSamplesItFrees) {
    ASSERT_EQ(Load(OneSet(SNDTRIG_LAYER_COCKPIT | SNDTRIG_LAYER_SEQUENTIAL)), 1);
    SndTrigEvent e = Event(2, 0, 0);
    ASSERT_EQ(sndtrig_Trigger(&e, &table), 1);
    Step();
    EXPECT_FALSE(Silent());
    MixSample* a = Sample("SA");
    const uint8_t* end = mix_SampleFrames(a) + mix_SampleLength(a);
    sndtrig_Free(&table);
    Step();
    Step();  // the last frame's value has died away
    EXPECT_TRUE(Silent());
    for (int32_t v = 0; v < MIX_VOICES; v++) EXPECT_NE((const uint8_t*)mix_PlayingBank[v].end, end) << v;
    EXPECT_EQ(table.sounds, nullptr);
    EXPECT_EQ(table.soundCount, 0u);
    sndtrig_Free(&table);  // twice is harmless
}

TEST_F(SndTrigTest, SoundsByNameAndPreloading) {
    MkSndTrig t = ThreeSounds();
    t.sounds.push_back({"EMPTY", {}, 0, 0});
    t.sounds.push_back({"EMPTY", test_Wave(100), 0, 0});
    t.sounds.push_back({"EARLY", test_Wave(100), 0, 1});
    MkSndLayer l;
    l.flags = 0x02 | SNDTRIG_LAYER_PRELOAD;
    l.members = {{2}};
    t.sets = {{0x10000, 0, 0, {l}}};
    ASSERT_EQ(Load(t), 1);
    // Marked in the file and by the layer's preload flag: loaded with the table.
    EXPECT_EQ(sndtrig_FindSound("early", &table)->owner.playing, 1);
    EXPECT_EQ(sndtrig_FindSound("SC", &table)->owner.playing, 1);
    EXPECT_EQ(sndtrig_FindSound("SA", &table)->owner.playing, 0);
    EXPECT_EQ(sndtrig_FindSound("empty", &table), nullptr);  // the first match has size 0
    EXPECT_EQ(sndtrig_FindSound("NONE", &table), nullptr);
    EXPECT_EQ(sndtrig_MarkSound("sa", &table), 1);
    EXPECT_EQ(sndtrig_MarkSound("NONE", &table), 0);
    EXPECT_EQ(sndtrig_LoadMarked(&table), 3);
    EXPECT_EQ(sndtrig_FindSound("SA", &table)->owner.playing, 1);
    EXPECT_NE(sndtrig_GetSample("sb", &table), nullptr);
    EXPECT_EQ(sndtrig_GetSample("sb", nullptr), nullptr);
    EXPECT_EQ(sndtrig_GetSample("NONE", &table), nullptr);
}

TEST_F(SndTrigTest, HeapIdIsStampedOnEveryBlock) {
    test_WriteFile("T.PWF", mkdata_SndTrigBuild(OneSet(0x02)));
    ASSERT_EQ(sndtrig_LoadEx("T.PWF", &table, 0x4242), 1);
    MixSample* a = Sample("SA");
    for (void* block : {(void*)table.sounds, (void*)table.triggers, (void*)table.sets, (void*)table.sets[0].layers,
                        (void*)table.sets[0].layers[0].members, (void*)a}) {
        const MemBlock* h = static_cast<const MemBlock*>(block) - 1;
        EXPECT_EQ(h->id, 0x4242u);
    }
    // The owner releases them together.
    sndtrig_Free(&table);
    mem_FreeIdRange(0x4242, 0x4242);
}

TEST_F(SndTrigTest, DamagedFilesAreRefusedWithTheTableZeroed) {
    // Layout of OneSet with two sounds and one member: header 28, sounds at
    // 28, the trigger at 132, the set block at 144, the set at 156, the layer
    // at 236, the member at 284, samples from 312.
    MkSndTrig t;
    t.sounds = {{"A", test_Wave(100), 0, 0}, {"B", test_Wave(100), 0, 0}};
    t.triggers = {{1, 1, 1, true, 0}};
    MkSndLayer l;
    l.flags = 0x02;
    l.members = {{1}};
    t.sets = {{0x10000, 0, 0, {l}}};
    std::vector<uint8_t> good = mkdata_SndTrigBuild(t);
    ASSERT_EQ(good.size(), 312u + 2 * (44 + 100));
    uint32_t size = (uint32_t)good.size();
    struct Case {
        const char* what;
        uint32_t at, value;
    } cases[] = {
        {"header length short", 0, 19},        {"header length past the end", 0, size + 1},
        {"sound count", 8, 1000},              {"trigger count", 12, 0x7FFFFFFF},
        {"set block outside", 16, size - 4},   {"set block length short", 144, 4},
        {"set block length long", 144, 0xFFFF}, {"set count", 148, 1000},
        {"set array outside", 152, size},      {"layer count", 192, 10},
        {"layer outside", 196, size - 10},     {"member count", 236, 9},
        {"member outside", 252, 0xFFFFFFF0u},  {"member sound index", 284, 2},
        {"sample outside", 52, size - 10},     {"sample size", 56, 0xFFFFFFFFu},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bad = good;
        if (c.at == 236)
            bad[c.at] = (uint8_t)c.value, bad[c.at + 1] = 0;  // a 16-bit count
        else
            for (int i = 0; i < 4; i++) bad[c.at + i] = (uint8_t)(c.value >> (8 * i));
        test_WriteFile("BAD.PWF", bad);
        memset(&table, 0x5A, sizeof table);
        EXPECT_EQ(sndtrig_Load("BAD.PWF", &table), 0) << c.what;
        SndTrigFile zero = {};
        EXPECT_EQ(memcmp(&table, &zero, sizeof table), 0) << c.what;
    }
    test_WriteFile("BAD.PWF", std::vector<uint8_t>(good.begin(), good.begin() + 100));
    EXPECT_EQ(sndtrig_Load("BAD.PWF", &table), 0);
    EXPECT_EQ(sndtrig_Load("MISSING.PWF", &table), 0);
    EXPECT_EQ(table.sounds, nullptr);
    // The good file loads, and its set plays.
    test_WriteFile("GOOD.PWF", good);
    ASSERT_EQ(sndtrig_Load("GOOD.PWF", &table), 1);
    SndTrigEvent e = Event(1, 1, 1);
    EXPECT_EQ(sndtrig_Trigger(&e, &table), 1);
}

TEST_F(SndTrigTest, AFailedTableAllocationFailsTheLoad) {
    test_WriteFile("T.PWF", mkdata_SndTrigBuild(OneSet(0x02)));
    std::vector<void*> taken;
    for (uint32_t size : {0x10000u, 0x1000u, 0x100u, 0x10u})
        while (void* p = mem_AllocEx(size, 4, "FILL")) taken.push_back(p);
    memset(&table, 0x5A, sizeof table);
    EXPECT_EQ(sndtrig_Load("T.PWF", &table), 0);
    SndTrigFile zero = {};
    EXPECT_EQ(memcmp(&table, &zero, sizeof table), 0);
    for (void* p : taken) mem_Free(p);
    EXPECT_EQ(sndtrig_Load("T.PWF", &table), 1);
    EXPECT_EQ(table.setCount, 1u);
}

TEST_F(SndTrigTest, TheDataSetsTablesLoadAndPlay) {
    ASSERT_EQ(mkdata_WriteSoundTriggers(work.dir), 0);
    ASSERT_EQ(sndtrig_Load(MK_MENU_SOUND_FILE, &table), 1);
    for (const char* name : {"CLICK", "HOVER", "TRANSITION_IN", "TRANSITION_OUT", "TYPING"})
        EXPECT_NE(sndtrig_GetSample(name, &table), nullptr) << name;
    for (uint16_t id : {MK_MENU_SOUND_CLICK, MK_MENU_SOUND_HOVER, MK_MENU_SOUND_TRANSITION_IN,
                        MK_MENU_SOUND_TRANSITION_OUT, MK_MENU_SOUND_TYPING}) {
        SndTrigEvent e = Event(MK_MENU_SOUND_TYPE, 0, id);
        EXPECT_GT(sndtrig_Trigger(&e, &table), 0) << id;
    }
    sndtrig_Free(&table);

    ASSERT_EQ(sndtrig_Load(MK_LEVEL_SOUND_FILE, &table), 1);
    sndtrig_SetMaxInstances(3, &table);
    sndtrig_SetMinVolume(32, &table);
    EXPECT_EQ(sndtrig_FindSound("ENGINE", &table)->owner.playing, 1);  // preloaded
    struct Case {
        int32_t mask;
        uint16_t type, subtype, id;
        int32_t listed;
    } cases[] = {{0x03, 12, 0, 2, 1}, {0x05, 12, 0, 2, 2}, {0x03, 12, 0x13, 2, 1},
                 {0x23, 14, 11, 3, 1}, {0x03, 14, 11, 3, 1}};
    for (const Case& c : cases) {
        sndtrig_SetConditionMask(c.mask);
        SndTrigEvent e = Event(c.type, c.subtype, c.id);
        EXPECT_EQ(sndtrig_Trigger(&e, &table), c.listed) << c.type << "," << c.subtype << "," << c.id;
    }
    sndtrig_SetConditionMask(0x23);
    snd_StopAllVoices();
    SndTrigEvent cue = Event(14, 11, 3);
    sndtrig_Trigger(&cue, &table);
    EXPECT_NE(test_VoiceOf(sndtrig_GetSample("CUE_FUEL_R", &table)), -1);
    EXPECT_EQ(test_VoiceOf(sndtrig_GetSample("CUE_FUEL_E", &table)), -1);
}

}  // namespace
