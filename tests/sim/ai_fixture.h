// The AI tests' world on top of SimEnv: a pool of AI units, the mission
// errors kept as text, the units' placed records kept alive while they run,
// and a mission whose route 0 has four waypoints 1000.0 apart along x at
// height 100.0.
#pragma once
#include <array>
#include <deque>
#include <string>
#include <vector>

#include "base/le.h"
#include "sim/ai.h"
#include "sim_fixture.h"
#include "world/level.h"
#include "world/orf.h"

class AiEnv : public SimEnv {
protected:
    // `units` in the AI pool; `waypointByte5` is the byte after each
    // waypoint's position and two words.
    AiEnv(uint32_t units, uint8_t waypointByte5) : units_(units), waypointByte5_(waypointByte5) {}

    static inline std::vector<std::string> missionErrors;
    std::deque<std::array<uint8_t, ORF_PLACED_SIZE>> records;
    _ORF mission{};
    OrfGroup routes[1] = {};
    std::vector<uint8_t> waypoints;
    AiMissionErrorHandler savedHandler = nullptr;

    void SetUp() override {
        savedHandler = ai_MissionErrorHandler;
        SimEnv::SetUp();
        MakePool(&level_ServerArrays.ai, sizeof(_AI_DCB), units_);
        ai_ClearModuleData();
        ai_MissionErrorHandler = [](const char* text) { missionErrors.push_back(text); };
        missionErrors.clear();
        obj_TypeListReset();
        LeWriter w;
        for (uint32_t i = 0; i < 4; i++) {
            w.u32(0x10000000u + i * 0x3E80000u);
            w.i32(0x640000);
            w.u32(0x10000000u);
            w.u16(0);
            w.u16(0);
            w.u8(0);
            w.u8(waypointByte5_);
            w.zeros(6);
        }
        waypoints = w.buf;
        routes[0] = OrfGroup{4, waypoints.data()};
        mission.starts.groups = routes;
        mission.starts.count = 1;
        level_Mission = &mission;
    }
    void TearDown() override {
        level_Mission = nullptr;
        ai_MissionErrorHandler = savedHandler;
        SimEnv::TearDown();
    }
    static _AI_DCB* U(ObjectRecord* o) { return reinterpret_cast<_AI_DCB*>(o); }

private:
    uint32_t units_;
    uint8_t waypointByte5_;
};
