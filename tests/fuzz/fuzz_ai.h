// Set-up shared by the AI fuzz targets: a single-player server whose mission
// errors are counted, and for each run a flat, dry world with an empty object
// grid and a mission of one route and one route-step list.
#pragma once
#include <algorithm>
#include <cstdint>
#include <vector>

#include "fuzz_util.h"
#include "sim/ai.h"
#include "sim/obj.h"
#include "world/gamemode.h"
#include "world/level.h"
#include "world/orf.h"
#include "world/terrain.h"

// The mission errors of the current run.
inline int32_t fuzz_AiErrors;

inline void fuzz_AiInit() {
    fuzz_MemInit(0x200000, 0x10000, 0x10000, 0);
    ai_MissionErrorHandler = [](const char*) { fuzz_AiErrors++; };
    level_GameMode.singlePlayer = 1;
}

// The world of a fresh run; `heads` is the object grid's storage.
inline void fuzz_AiWorldReset(std::vector<ObjectRecord*>& heads) {
    heads.assign((size_t)OBJ_GRID_SIZE * OBJ_GRID_SIZE, nullptr);
    depth_Level = DepthLevel{};
    depth_Level.heightMap = depth_FlatHeights();
    depth_Level.waterMap = depth_DryWater();
    depth_Level.staticHeads = heads.data();
    obj_ListsReset();
    obj_TypeListReset();
}

// `mission` made the level's mission with `route` as its one start group and
// `steps` as its one route-step group; the AI's module data and the error
// count start afresh.
inline void fuzz_AiMissionStart(_ORF* mission, OrfGroup* route, OrfGroup* steps) {
    *mission = _ORF{};
    mission->starts.groups = route;
    mission->starts.count = 1;
    mission->array5.groups = steps;
    mission->array5.count = 1;
    level_Mission = mission;
    ai_ClearModuleData();
    fuzz_AiErrors = 0;
}
