// The MIDI player on the stand-in MIDI device (buffers timed on the
// platform clock and handed back from the message pump), and the CD-audio
// player on the test CD device.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/harness.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "shell/runner.h"
#include "shell/wndproc.h"
#include "sound/music.h"

namespace {

typedef std::vector<uint8_t> Bytes;

// A song of the given tracks with `buffers` stream buffers of `length`
// bytes on its free list. Stays in place: the player points into it.
struct TestSong {
    Bytes image;
    std::vector<MusicTrack> tracks;
    MusicMidiPlayer player{};
    std::vector<PlatMidiHeader> headers;
    std::vector<Bytes> data;

    TestSong(const std::vector<Bytes>& trackData, int buffers = 2, uint32_t length = 256) {
        for (const Bytes& t : trackData) {
            MusicTrack k{};
            k.offset = (uint32_t)image.size();
            k.length = (uint32_t)t.size();
            tracks.push_back(k);
            image.insert(image.end(), t.begin(), t.end());
        }
        image.push_back(0);  // a song image is never empty
        player.state = MUSIC_MIDI_IDLE;
        player.playEnd = 0xFFFFFFFF;
        player.timeDivision = 96;
        player.song.image = image.data();
        player.song.imageSize = (uint32_t)image.size();
        player.song.trackCount = (uint32_t)tracks.size();
        player.song.tracks = tracks.data();
        headers.resize((size_t)buffers);
        data.resize((size_t)buffers);
        for (int i = buffers - 1; i >= 0; i--) {
            data[i].assign(length, 0);
            headers[i] = PlatMidiHeader{};
            headers[i].data = data[i].data();
            headers[i].bufferLength = length;
            headers[i].next = player.freeList;
            player.freeList = &headers[i];
        }
    }
    ~TestSong() { free(player.startState); }
    // Rewinds every track, as a cue does; the scan's result.
    int32_t Rewind(void) {
        PlatMidiHeader h{};
        uint8_t room[64];
        h.data = room;
        h.bufferLength = sizeof room;
        return music_MidiScanTo(&player.song, 0, &h);
    }
};

// Records of a stream buffer: delta, event word, and a long event's bytes.
struct Rec {
    uint32_t delta, word;
    Bytes bytes;
};
uint32_t Le32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | ((uint32_t)p[3] << 24); }
std::vector<Rec> Records(const uint8_t* data, uint32_t n) {
    std::vector<Rec> out;
    for (uint32_t at = 0; at + 12 <= n;) {
        Rec r{Le32(data + at), Le32(data + at + 8), {}};
        EXPECT_EQ(Le32(data + at + 4), 0u);
        at += 12;
        if (r.word & 0x80000000u) {
            uint32_t len = r.word & 0xFFFFFF;
            r.bytes.assign(data + at, data + at + len);
            at += (len + 3) & ~3u;
        }
        out.push_back(r);
    }
    return out;
}
std::vector<Rec> Records(const PlatMidiHeader& h) { return Records(h.data, h.bytesRecorded); }

// Two notes and the end of the track.
const Bytes kNotes = {0x00, 0x90, 0x3C, 0x40, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00};

int g_endHookCalls = 0;
void EndHook(void) { g_endHookCalls++; }
int g_trackEndTrack = 0;
void TrackEndHook(int32_t track) { g_trackEndTrack = track; }

class MidiTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 1);
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        plat_MidiTestDevices(1);
        plat_CdTestDevice(nullptr, 0);
        music_Midi = MusicMidiState{};
        music_Midi.preferredDevice = -1;
        music_Cd = MusicCdState{};
        app_ClockHigh.store(1000);
        g_endHookCalls = 0;
        g_trackEndTrack = 0;
    }
    void TearDown() override {
        music_Midi = MusicMidiState{};
        music_Midi.preferredDevice = -1;
        music_Cd = MusicCdState{};
        plat_MidiTestDevices(1);
        plat_CdTestDevice(nullptr, 0);
        plat_Shutdown();
    }
    void Use(TestSong& s) {
        music_Midi.ready = 1;
        music_Midi.player = &s.player;
    }
    // Lets the platform clock run, pumping, until the player is idle.
    void RunUntilIdle(TestSong& s, int maxMs = 20000) {
        for (int t = 0; t < maxMs && s.player.state != MUSIC_MIDI_IDLE; t += 10) {
            plat_Sleep(10);
            plat_MidiPump();
        }
    }
};

TEST(MidiReader, VariableLengthNumbers) {
    struct Case {
        Bytes bytes;
        uint32_t limit, used, value;
    } cases[] = {
        {{0x00}, 1, 1, 0},
        {{0x7F}, 1, 1, 127},
        {{0x81, 0x00}, 2, 2, 128},
        {{0xFF, 0x7F}, 2, 2, 16383},
        {{0x81, 0x80, 0x80, 0x00}, 4, 4, 0x200000},
        {{0x81, 0x81, 0x81}, 3, 0, 0},  // no last byte within the limit
        {{0x81, 0x00}, 1, 0, 0},
        {{0x00}, 0, 0, 0},
    };
    for (const Case& c : cases) {
        uint32_t value = 0;
        EXPECT_EQ(music_MidiReadVarLen(c.bytes.data(), c.limit, &value), c.used);
        if (c.used) {
            EXPECT_EQ(value, c.value);
        }
    }
}

TEST(MidiReader, TiesGoToTheLowerTrack) {
    TestSong s({{0x0A, 0x91, 0x3E, 0x40, 0x00, 0xFF, 0x2F, 0x00}, {0x0A, 0x92, 0x3F, 0x40, 0x00, 0xFF, 0x2F, 0x00},
                {0x05, 0x93, 0x40, 0x40, 0x00, 0xFF, 0x2F, 0x00}});
    ASSERT_EQ(s.Rewind(), 0);
    MusicMidiEvent ev;
    const std::pair<uint8_t, uint32_t> order[] = {{0x93, 5}, {0xFF, 0}, {0x91, 5}, {0xFF, 0}, {0x92, 0}};
    for (auto& o : order) {
        ASSERT_EQ(music_MidiNextEvent(&s.player.song, &ev, 0xFFFFFFFF), 0);
        EXPECT_EQ(ev.status, o.first);
        EXPECT_EQ(ev.delta, o.second);
    }
}

TEST(MidiReader, EventsAndBadData) {
    struct Case {
        const char* what;
        Bytes track;
        std::vector<int32_t> results;  // of successive reads up to 0xFFFFFFFF
    } cases[] = {
        {"running status", {0x00, 0x90, 0x3C, 0x40, 0x0A, 0x3E, 0x40, 0x00, 0xC0, 0x05, 0x00, 0xFF, 0x2F, 0x00},
         {0, 0, 0, 0, 11, 11}},
        {"data byte first", {0x00, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}, {1}},
        {"data byte after a meta event", {0x00, 0xFF, 0x01, 0x01, 0x41, 0x00, 0x3C, 0x40, 0x00}, {0, 1}},
        {"data byte after sysex", {0x00, 0xF0, 0x01, 0x7F, 0x00, 0x3C, 0x40, 0x00}, {0, 1}},
        {"status 0xF1", {0x00, 0xF1, 0x00, 0x00}, {1}},
        {"status 0xFE", {0x00, 0xFE, 0x00, 0x00}, {1}},
        {"sysex past the track", {0x00, 0xF0, 0x09, 0x01, 0x02}, {1}},
        {"delta without its end", {0x81, 0x81}, {1}},
        {"event cut short", {0x00, 0x90}, {1}},
    };
    for (const Case& c : cases) {
        TestSong s({c.track});
        s.Rewind();  // a delta that cannot be read fails here already
        MusicMidiEvent ev;
        for (size_t i = 0; i < c.results.size(); i++)
            EXPECT_EQ(music_MidiNextEvent(&s.player.song, &ev, 0xFFFFFFFF), c.results[i]) << c.what << " " << i;
    }
    // At the end position nothing is consumed.
    TestSong s({{0x0A, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00}});
    ASSERT_EQ(s.Rewind(), 0);
    MusicMidiEvent ev;
    EXPECT_EQ(music_MidiNextEvent(&s.player.song, &ev, 10), 12);
    EXPECT_EQ(music_MidiNextEvent(&s.player.song, &ev, 11), 0);
    EXPECT_EQ(ev.delta, 10u);
}

TEST(MidiReader, AMarkerKeepsTheNoteTiming) {
    TestSong s({{0x00, 0x90, 0x3C, 0x40, 0x0A, 0xFF, 0x06, 0x01, 'A', 0x0A, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x51, 0x03,
                 0x07, 0xA1, 0x20, 0x00, 0xFF, 0x2F, 0x00}});
    ASSERT_EQ(s.Rewind(), 0);
    PlatMidiHeader& h = s.headers[0];
    EXPECT_EQ(music_MidiFillBuffer(&s.player.song, &h, 0xFFFFFFFF), 11);
    std::vector<Rec> r = Records(h);
    ASSERT_EQ(r.size(), 3u);
    EXPECT_EQ(r[0].delta, 0u);
    EXPECT_EQ(r[0].word, 0x403C90u);
    EXPECT_EQ(r[1].delta, 20u);
    EXPECT_EQ(r[1].word, 0x003C80u);
    EXPECT_EQ(r[2].word, 0x0107A120u);  // tempo, most significant byte first

    TestSong bad({{0x00, 0xFF, 0x51, 0x02, 0x07, 0xA1, 0x00, 0xFF, 0x2F, 0x00}});
    ASSERT_EQ(bad.Rewind(), 0);
    EXPECT_EQ(music_MidiFillBuffer(&bad.player.song, &bad.headers[0], 0xFFFFFFFF), 1);
}

TEST(MidiReader, LongSysexGoesInPieces) {
    Bytes track = {0x00, 0xF0, 40};
    for (int i = 0; i < 40; i++) track.push_back((uint8_t)(i + 1));
    track.insert(track.end(), {0x05, 0xF7, 0x03, 0x61, 0x62, 0x63, 0x00, 0xFF, 0x2F, 0x00});
    TestSong s({track}, 1, 32);
    ASSERT_EQ(s.Rewind(), 0);
    PlatMidiHeader& h = s.headers[0];
    Bytes sent;
    std::vector<std::vector<Rec>> fills;
    for (int i = 0; i < 6 && !(s.player.song.flags & MUSIC_SONG_ENDED); i++) {
        music_MidiFillBuffer(&s.player.song, &h, 0xFFFFFFFF);
        fills.push_back(Records(h));
    }
    ASSERT_GE(fills.size(), 3u);
    ASSERT_EQ(fills[0].size(), 1u);
    EXPECT_EQ(fills[0][0].word, 0x80000000u | 20);
    EXPECT_EQ(fills[0][0].bytes[0], 0xF0);
    EXPECT_EQ(fills[0][0].bytes[1], 1);
    EXPECT_EQ(fills[1][0].word, 0x80000000u | 20);
    EXPECT_EQ(fills[1][0].bytes[0], 20);  // continues where the first ended
    EXPECT_EQ(fills[2][0].word, 0x80000000u | 1);
    EXPECT_EQ(fills[2][0].bytes[0], 40);
    ASSERT_GE(fills[2].size(), 1u);
    // The 0xF7 message goes as its own bytes, with its delta.
    Rec last = fills[2].size() > 1 ? fills[2][1] : fills[3][0];
    EXPECT_EQ(last.delta, 5u);
    EXPECT_EQ(last.bytes, (Bytes{0x61, 0x62, 0x63}));

    // A rewind in the middle of a message starts it again from its 0xF0.
    ASSERT_EQ(s.Rewind(), 0);
    music_MidiFillBuffer(&s.player.song, &h, 0xFFFFFFFF);
    ASSERT_EQ(s.Rewind(), 0);
    music_MidiFillBuffer(&s.player.song, &h, 0xFFFFFFFF);
    std::vector<Rec> again = Records(h);
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].bytes[0], 0xF0);
    EXPECT_EQ(again[0].bytes[1], 1);
}

TEST(MidiReader, ScanWritesTheStartState) {
    Bytes track = {0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20, 0x00, 0xC1, 0x05, 0x00, 0xB1, 0x07, 0x64,
                   0x00, 0xB1, 0x7B, 0x00, 0x00, 0xC1, 0x06, 0x0A, 0x90, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00};
    TestSong s({track});
    PlatMidiHeader& h = s.headers[0];
    ASSERT_EQ(music_MidiScanTo(&s.player.song, 5, &h), 0);
    std::vector<Rec> r = Records(h);
    ASSERT_EQ(r.size(), 3u);  // controller 123 has no slot
    EXPECT_EQ(r[0].word, 0x0107A120u);
    EXPECT_EQ(r[1].word, 0x06C1u);  // the last program
    EXPECT_EQ(r[2].word, 0x6407B1u);
    for (const Rec& x : r) EXPECT_EQ(x.delta, 0u);
    h.bufferLength = 24;
    EXPECT_EQ(music_MidiScanTo(&s.player.song, 5, &h), 2);
    h.bufferLength = 256;
    EXPECT_EQ(music_MidiScanTo(&s.player.song, 1000, &h), 11);
    EXPECT_EQ(music_MidiScanTo(&s.player.song, 0, &h), 0);
    EXPECT_EQ(h.bytesRecorded, 0u);
}

TEST_F(MidiTest, HooksStayIdleWithoutASongOrTrack) {
    PlatHwnd hwnd = plat_WindowCreate("MIDITEST", "KRX", 64, 64, plat_DefWindowProc, 0);
    ASSERT_NE(hwnd, 0u);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(app_PumpMessages(), 0);
        EXPECT_EQ(music_MidiPoll(), 0);
        EXPECT_EQ(music_MidiLoopCountdown(), -1);
        music_CdTrackPump();
    }
    EXPECT_EQ(music_MidiPlay(), -1);
    EXPECT_EQ(music_MidiStop(), -1);
    EXPECT_EQ(music_MidiCue(0, 100), -1);
    EXPECT_EQ(music_CdPlayTrack(1, 1), 0);
    EXPECT_EQ(plat_MidiTestOpenStreams(), 0);
    PlatCdTestLog log;
    plat_CdTestLog(&log);
    EXPECT_EQ(log.plays, 0);
    EXPECT_EQ(music_Cd.playing, 0);
}

TEST_F(MidiTest, CueAtZeroSendsAnEmptyStartStateAheadOfTheSong) {
    TestSong s({kNotes});
    Use(s);
    ASSERT_EQ(music_MidiCue(0, 0xFFFFFFFF), 0);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_CUED);
    PlatMidiSent sent[8];
    int32_t n = plat_MidiTestTakeSent(sent, 8);
    ASSERT_EQ(n, 2);
    EXPECT_EQ(sent[0].bytes, 0u);
    EXPECT_EQ(Records(sent[1].data, sent[1].bytes).size(), 2u);
    EXPECT_TRUE(s.player.flags & MUSIC_MIDI_END_QUEUED);
    EXPECT_EQ(plat_MidiTestQueued(s.player.stream), 2);
}

TEST_F(MidiTest, ASongPlaysToItsEndAndLoops) {
    TestSong s({kNotes});
    Use(s);
    music_Midi.endHook = EndHook;
    ASSERT_EQ(music_MidiPlay(), 0);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_PLAYING);
    EXPECT_EQ(music_Midi.songStarted, 1);
    // 96 ticks at 96 a quarter note and 120 a minute: half a second.
    plat_Sleep(400);
    plat_MidiPump();
    EXPECT_EQ(s.player.state, MUSIC_MIDI_PLAYING);
    RunUntilIdle(s, 1000);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_IDLE);
    EXPECT_EQ(g_endHookCalls, 1);
    EXPECT_EQ(music_Midi.songStarted, 0);
    EXPECT_EQ(plat_MidiTestOpenStreams(), 0);

    music_Midi.looping = 1;
    ASSERT_EQ(music_MidiPlay(), 0);
    for (int t = 0; t < 800; t += 10) {
        plat_Sleep(10);
        plat_MidiPump();
    }
    EXPECT_EQ(g_endHookCalls, 2);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_PLAYING);  // started again
    EXPECT_EQ(plat_MidiTestOpenStreams(), 1);
    EXPECT_EQ(music_MidiStop(), 0);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_IDLE);
    EXPECT_EQ(plat_MidiTestOpenStreams(), 0);
    EXPECT_EQ(music_Midi.songStarted, 0);
}

TEST_F(MidiTest, WatchdogRestartsAfterMoreThan2400) {
    TestSong s({{0x00, 0x90, 0x3C, 0x40, 0x83, 0x60, 0x80, 0x3C, 0x00, 0x00, 0xFF, 0x2F, 0x00}});
    Use(s);
    music_Midi.looping = 1;
    ASSERT_EQ(music_MidiPlay(), 0);
    uint32_t mark = music_Midi.restartMark;
    plat_MidiTestTakeSent(nullptr, 0);
    app_ClockHigh.store(mark + 2400);
    EXPECT_EQ(music_MidiPoll(), 0);
    EXPECT_EQ(music_Midi.restartMark, mark);
    PlatMidiSent sent[8];
    EXPECT_EQ(plat_MidiTestTakeSent(sent, 8), 0);
    app_ClockHigh.store(mark + 2401);
    EXPECT_EQ(music_MidiPoll(), 0);
    EXPECT_EQ(music_Midi.restartMark, mark + 2401);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_PLAYING);
    EXPECT_EQ(plat_MidiTestTakeSent(sent, 8), 2);  // cued again from the start
    EXPECT_EQ(plat_MidiTestOpenStreams(), 1);
}

TEST_F(MidiTest, CountdownResumesAtZero) {
    TestSong s({kNotes});
    Use(s);
    ASSERT_EQ(music_MidiPlay(), 0);
    s.player.state = MUSIC_MIDI_PAUSED;
    music_Midi.countdown = 1;
    EXPECT_EQ(music_MidiLoopCountdown(), 0);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_PLAYING);
    EXPECT_EQ(music_Midi.countdown, 0);
    s.player.state = MUSIC_MIDI_PAUSED;
    EXPECT_EQ(music_MidiLoopCountdown(), 0);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_PAUSED);
    EXPECT_EQ(music_Midi.countdown, -1);
    music_Midi.songStarted = 0;
    EXPECT_EQ(music_MidiLoopCountdown(), -1);
}

TEST_F(MidiTest, BadTrackDataStopsTheSong) {
    Bytes track;
    for (int i = 0; i < 12; i++) track.insert(track.end(), {0x10, 0x90, 0x3C, 0x40});
    track.insert(track.end(), {0x00, 0xFF, 0x01, 0x00, 0x00, 0x3C, 0x40, 0x00, 0xFF, 0x2F, 0x00});
    TestSong s({track}, 2, 48);
    Use(s);
    ASSERT_EQ(music_MidiPlay(), 0);
    RunUntilIdle(s, 5000);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_IDLE);
    EXPECT_EQ(plat_MidiTestOpenStreams(), 0);
    PlatMidiSent sent[64];
    EXPECT_LT(plat_MidiTestTakeSent(sent, 64), 10);  // nothing sent again and again
    EXPECT_EQ(g_endHookCalls, 0);
}

TEST_F(MidiTest, ABadTempoInTheLastBufferClosesTheStream) {
    // No song buffers: the start-state buffer is the only one out.
    TestSong s({{0x00, 0x90, 0x3C, 0x40, 0x10, 0xFF, 0x51, 0x02, 0x07, 0xA1, 0x00, 0xFF, 0x2F, 0x00}}, 0);
    Use(s);
    ASSERT_EQ(music_MidiPlay(), 0);
    plat_MidiPump();
    EXPECT_EQ(s.player.state, MUSIC_MIDI_IDLE);
    EXPECT_EQ(s.player.stream, 0u);
    EXPECT_EQ(plat_MidiTestOpenStreams(), 0);
}

TEST_F(MidiTest, FailedCuesLeaveTheIdleState) {
    struct Case {
        const char* what;
        int32_t fail;
        int32_t openAfter;
    } cases[] = {
        {"open refused", PLAT_MIDI_FAIL_OPEN, 0},
        {"time division refused", PLAT_MIDI_FAIL_TIMEDIV, 0},
        {"send refused", PLAT_MIDI_FAIL_OUT, 1},
    };
    for (const Case& c : cases) {
        plat_MidiTestDevices(1);
        TestSong s({kNotes});
        Use(s);
        plat_MidiTestFail(c.fail);
        EXPECT_EQ(music_MidiCue(0, 0xFFFFFFFF), -1) << c.what;
        EXPECT_EQ(s.player.state, MUSIC_MIDI_IDLE) << c.what;
        EXPECT_EQ(plat_MidiTestOpenStreams(), c.openAfter) << c.what;
        // The next cue works, on the stream left open if there is one.
        EXPECT_EQ(music_MidiCue(0, 0xFFFFFFFF), 0) << c.what;
        music_Midi.player = nullptr;
    }
    // Bad data in the song, and a start past its end.
    TestSong bad({{0x00, 0x3C, 0x40, 0x00}});
    Use(bad);
    EXPECT_EQ(music_MidiCue(0, 0xFFFFFFFF), -1);
    TestSong s({kNotes});
    Use(s);
    EXPECT_EQ(music_MidiCue(5000, 0xFFFFFFFF), -1);
    s.player.state = MUSIC_MIDI_PLAYING;
    EXPECT_EQ(music_MidiCue(0, 0xFFFFFFFF), -1);
    EXPECT_EQ(s.player.state, MUSIC_MIDI_PLAYING);
}

TEST_F(MidiTest, DeviceChoice) {
    struct Case {
        int32_t preferred;
        std::vector<int32_t> accepted;
        std::vector<std::pair<int32_t, int32_t>> devices;  // number, kind
        int32_t expect;
    } cases[] = {
        {-1, {}, {}, 0},
        {3, {1, 3}, {{0, 2}}, 3},
        {4, {1, 3}, {{0, 2}, {2, 2}, {5, 5}}, 2},
        {-1, {}, {{0, 1}, {5, 5}, {6, 5}}, 6},
        {-1, {}, {{0, 1}, {7, 1}, {8, 3}}, 7},
    };
    for (const Case& c : cases) {
        TestSong s({kNotes});
        Use(s);
        music_Midi.preferredDevice = c.preferred;
        music_Midi.acceptedCount = (int32_t)c.accepted.size();
        for (size_t i = 0; i < c.accepted.size(); i++) music_Midi.accepted[i] = c.accepted[i];
        music_Midi.deviceCount = (int32_t)c.devices.size();
        for (size_t i = 0; i < c.devices.size(); i++) {
            music_Midi.devices[i][0] = c.devices[i].first;
            music_Midi.devices[i][1] = c.devices[i].second;
        }
        plat_MidiTestDevices(10);
        music_MidiCue(0, 0xFFFFFFFF);
        EXPECT_EQ(s.player.device, c.expect);
        music_Midi.player = nullptr;
    }
}

TEST_F(MidiTest, CdTrackPlaysAgainAtItsEnd) {
    EXPECT_NE(plat_CdOpen(&music_Cd.device), 0);  // no drive in the program
    const uint32_t tracks[] = {0x000201, 0x1E1403};  // 1:02.00, 3:20.30
    plat_CdTestDevice(tracks, 2);
    ASSERT_EQ(plat_CdOpen(&music_Cd.device), 0);
    music_Cd.open = 1;
    music_Cd.trackEndHook = TrackEndHook;
    int32_t m, sec, f;
    ASSERT_EQ(music_CdTrackLength(2, &m, &sec, &f), 1);
    EXPECT_EQ(m, 3);
    EXPECT_EQ(sec, 20);
    EXPECT_EQ(f, 30);
    EXPECT_EQ(music_CdTrackLength(9, &m, &sec, &f), 0);

    app_ClockHigh.store(5000);
    ASSERT_EQ(music_CdPlayTrack(2, 1), 1);
    uint32_t length = (60 * 3 + 20 + 1) * 120 + 30 + 15;
    EXPECT_EQ(music_Cd.trackLength, length);
    EXPECT_EQ(music_Cd.endTime, 5000 + length);
    PlatCdTestLog log;
    plat_CdTestLog(&log);
    EXPECT_EQ(log.from, 2u);
    EXPECT_EQ(log.to, 0x1E140302u);
    app_ClockHigh.store(5000 + length);
    music_CdTrackPump();
    plat_CdTestLog(&log);
    EXPECT_EQ(log.plays, 1);
    app_ClockHigh.store(5000 + length + 1);
    music_CdTrackPump();
    plat_CdTestLog(&log);
    EXPECT_EQ(log.plays, 2);
    EXPECT_EQ(log.stops, 1);
    EXPECT_EQ(g_trackEndTrack, 2);
    EXPECT_EQ(music_Cd.endTime, 5000 + length + 1 + length);

    // Without a repeat value the track is left to end.
    ASSERT_EQ(music_CdPlayTrack(1, 0), 1);
    app_ClockHigh.store(100000);
    music_CdTrackPump();
    plat_CdTestLog(&log);
    EXPECT_EQ(log.plays, 3);

    // A failed play stops the track that was playing; the pump leaves it.
    ASSERT_EQ(music_CdPlayTrack(1, 1), 1);
    EXPECT_EQ(music_CdPlayTrack(7, 1), 0);
    EXPECT_EQ(music_Cd.playing, 0);
    app_ClockHigh.store(200000);
    music_CdTrackPump();
    plat_CdTestLog(&log);
    EXPECT_EQ(log.plays, 4);
    music_CdStop();
    EXPECT_EQ(music_Cd.playing, 0);
}

}  // namespace
