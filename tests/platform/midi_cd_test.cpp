// The stand-in MIDI device and the test CD device: buffers come back from
// the message pump after the time their events take, at once when stopped
// or reset, and never inside another callback; a CD play is timed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "platform/cdaudio.h"
#include "platform/harness.h"
#include "platform/midi.h"
#include "platform/timer.h"
#include "platform/window.h"

namespace {

struct Buffer {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(256, 0);
    PlatMidiHeader h{};
    Buffer() {
        h.data = bytes.data();
        h.bufferLength = (uint32_t)bytes.size();
    }
    void Event(uint32_t delta, uint32_t word) {
        uint8_t* p = h.data + h.bytesRecorded;
        for (int i = 0; i < 4; i++) {
            p[i] = (uint8_t)(delta >> (8 * i));
            p[4 + i] = 0;
            p[8 + i] = (uint8_t)(word >> (8 * i));
        }
        h.bytesRecorded += 12;
    }
};

std::vector<PlatMidiHeader*> g_done;
void Callback(PlatMidiStream, uint32_t message, uintptr_t, uintptr_t p1, uintptr_t) {
    if (message != PLAT_MOM_DONE) return;
    g_done.push_back(reinterpret_cast<PlatMidiHeader*>(p1));
    plat_MidiPump();  // a callback that pumps gets nothing more
}

class MidiDeviceTest : public ::testing::Test {
protected:
    PlatMidiStream s = 0;
    void SetUp() override {
        setenv("KRX_PLATFORM", "headless", 1);
        plat_HarnessReset();
        ASSERT_EQ(plat_Init(), 0);
        plat_MidiTestDevices(1);
        g_done.clear();
        ASSERT_EQ(plat_MidiStreamOpen(&s, 0, Callback, 0), PLAT_MIDI_NOERROR);
    }
    void TearDown() override {
        plat_MidiTestDevices(1);
        plat_Shutdown();
    }
    void Send(Buffer& b) {
        ASSERT_EQ(plat_MidiOutPrepareHeader(s, &b.h), PLAT_MIDI_NOERROR);
        ASSERT_EQ(plat_MidiStreamOut(s, &b.h), PLAT_MIDI_NOERROR);
    }
    // Milliseconds until the first buffer comes back (pumping every ms).
    uint32_t TimeToDone(uint32_t limit = 5000) {
        uint32_t t0 = plat_TimeMs();
        while (g_done.empty() && plat_TimeMs() - t0 < limit) {
            plat_Sleep(1);
            plat_MidiPump();
        }
        return plat_TimeMs() - t0;
    }
};

TEST_F(MidiDeviceTest, ABufferLastsAsLongAsItsEvents) {
    struct Case {
        uint32_t division;
        uint32_t tempo;  // 0: none in the buffer
        uint32_t ticks;
        uint32_t ms;
    } cases[] = {
        {96, 0, 96, 500},            // the default tempo: 120 quarter notes a minute
        {96, 250000, 96, 250},
        {480, 1000000, 240, 500},
        {0xE728, 0, 50, 50},         // 25 frames of 40 ticks a second
    };
    for (const Case& c : cases) {
        plat_MidiTestDevices(1);
        g_done.clear();
        ASSERT_EQ(plat_MidiStreamOpen(&s, 0, Callback, 0), PLAT_MIDI_NOERROR);
        ASSERT_EQ(plat_MidiStreamTimeDivision(s, c.division), PLAT_MIDI_NOERROR);
        Buffer b;
        if (c.tempo) b.Event(0, (PLAT_MEVT_TEMPO << 24) | c.tempo);
        b.Event(c.ticks, 0x403C90);
        Send(b);
        plat_Sleep(2 * c.ms);
        plat_MidiPump();
        EXPECT_TRUE(g_done.empty()) << c.ms;  // opened paused
        ASSERT_EQ(plat_MidiStreamRestart(s), PLAT_MIDI_NOERROR);
        uint32_t t = TimeToDone();
        EXPECT_GE(t, c.ms);
        EXPECT_LE(t, c.ms + 2);
        ASSERT_EQ(g_done.size(), 1u);
        EXPECT_TRUE(b.h.flags & PLAT_MHDR_DONE);
        EXPECT_EQ(plat_MidiStreamClose(s), PLAT_MIDI_NOERROR);
    }
}

TEST_F(MidiDeviceTest, StopAndResetHandEverythingBack) {
    Buffer a, b;
    a.Event(960, 0x403C90);
    b.Event(960, 0x403C90);
    Send(a);
    Send(b);
    EXPECT_EQ(plat_MidiStreamClose(s), PLAT_MIDI_STILLPLAYING);
    EXPECT_EQ(plat_MidiOutUnprepareHeader(s, &a.h), PLAT_MIDI_STILLPLAYING);
    plat_MidiStreamRestart(s);
    plat_Sleep(100);
    plat_MidiStreamPause(s);  // time stands still while paused
    plat_Sleep(5000);
    plat_MidiPump();
    EXPECT_TRUE(g_done.empty());
    ASSERT_EQ(plat_MidiStreamStop(s), PLAT_MIDI_NOERROR);
    EXPECT_TRUE(g_done.empty());  // back at the next pump, not within the call
    plat_MidiPump();
    ASSERT_EQ(g_done.size(), 2u);  // one callback each, none nested
    EXPECT_EQ(g_done[0], &a.h);
    EXPECT_EQ(plat_MidiTestQueued(s), 0);

    g_done.clear();
    Send(a);
    plat_MidiOutReset(s);
    PlatMsg m;
    plat_PeekMessage(&m, 0, 0, 0, PM_REMOVE);  // the message pump delivers them
    EXPECT_EQ(g_done.size(), 1u);
    EXPECT_EQ(plat_MidiOutUnprepareHeader(s, &a.h), PLAT_MIDI_NOERROR);
    EXPECT_EQ(plat_MidiStreamOut(s, &a.h), PLAT_MIDI_UNPREPARED);
    EXPECT_EQ(plat_MidiStreamClose(s), PLAT_MIDI_NOERROR);
    EXPECT_EQ(plat_MidiStreamRestart(s), PLAT_MIDI_INVALHANDLE);
}

TEST_F(MidiDeviceTest, NoDeviceNoStream) {
    plat_MidiTestDevices(0);
    PlatMidiStream t = 7;
    EXPECT_EQ(plat_MidiStreamOpen(&t, 0, Callback, 0), PLAT_MIDI_BADDEVICEID);
    EXPECT_EQ(t, 0u);
}

TEST(CdDevice, TimesAPlay) {
    setenv("KRX_PLATFORM", "headless", 1);
    plat_HarnessReset();
    ASSERT_EQ(plat_Init(), 0);
    uint32_t id = 0;
    plat_CdTestDevice(nullptr, 0);
    EXPECT_EQ(plat_CdOpen(&id), PLAT_CD_NODEVICE);
    const uint32_t tracks[] = {0x000201};  // 1:02.00
    plat_CdTestDevice(tracks, 1);
    ASSERT_EQ(plat_CdOpen(&id), PLAT_CD_NOERROR);
    uint32_t msf = 0;
    EXPECT_EQ(plat_CdTrackLength(id, 1, &msf), PLAT_CD_NOERROR);
    EXPECT_EQ(msf, 0x000201u);
    EXPECT_EQ(plat_CdTrackLength(id, 2, &msf), PLAT_CD_BADTRACK);
    ASSERT_EQ(plat_CdPlay(id, 1, 0x00020101), PLAT_CD_NOERROR);
    PlatCdTestLog log;
    plat_Sleep(61900);
    plat_CdTestLog(&log);
    EXPECT_EQ(log.playing, 1);
    plat_Sleep(200);
    plat_CdTestLog(&log);
    EXPECT_EQ(log.playing, 0);
    EXPECT_EQ(plat_CdClose(id), PLAT_CD_NOERROR);
    EXPECT_EQ(plat_CdPlay(id, 1, 0x00020101), PLAT_CD_NOTOPEN);
    plat_CdTestDevice(nullptr, 0);
    plat_Shutdown();
}

}  // namespace
