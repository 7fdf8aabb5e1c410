// Goal conditions on arbitrary texts: the result is null or lies inside the
// text, and a text without a condition is never hidden.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "cockpit/tacmap.h"
#include "world/level.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    // The first byte sets every other mission counter, so both outcomes of
    // a condition are reached.
    memset(level_MissionOptions + LEVEL_DESTROYED_TABLE_SIZE, 0, TACMAP_MISSION_COUNTERS);
    for (int32_t i = data[0] & 1; i < TACMAP_MISSION_COUNTERS; i += 2)
        level_MissionOptions[LEVEL_DESTROYED_TABLE_SIZE + i] = 1;
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const char* r = tacmap_GoalConditionTest(text.c_str());
    if (r && (r < text.c_str() || r > text.c_str() + strlen(text.c_str()))) abort();
    if (!r && strncmp(text.c_str(), "(CV ", 4) != 0) abort();
    return 0;
}
