// Stand-in until the trigger runtime lands: a mission without triggers; the
// action keywords perform nothing.
#include "sim/trig.h"

TriggerEvent trig_Event;

void trig_PostEvent(void) {}
void trig_Reset(void) {}
void trig_CounterTick(void) {}

namespace {
int32_t ActionNop(const int32_t* arguments) {
    (void)arguments;
    return 0;
}
}  // namespace

const TriggerActionEntry trig_ActionTable[] = {
    {"nop", 0, 0, ActionNop},
    {"activate_g", 1, 1, ActionNop},
    {"activate_o", 2, 1, ActionNop},
    {"award_wn", 3, 2, ActionNop},
    {"breakescort_f", 4, 1, ActionNop},
    {"changealliance_fa", 5, 2, ActionNop},
    {"changepath_fy", 6, 2, ActionNop},
    {"changepath_oy", 7, 2, ActionNop},
    {"clear_v", 8, 1, ActionNop},
    {"deactivate_g", 9, 1, ActionNop},
    {"deactivate_o", 10, 1, ActionNop},
    {"dec_c", 11, 1, ActionNop},
    {"deduct_w", 12, 1, ActionNop},
    {"destroy_g", 13, 1, ActionNop},
    {"escort_ff", 14, 2, ActionNop},
    {"hudflash", 15, 0, ActionNop},
    {"inc_c", 16, 1, ActionNop},
    {"missionbonus_n", 17, 1, ActionNop},
    {"missionfailure", 18, 0, ActionNop},
    {"missionprimary_n", 19, 1, ActionNop},
    {"missionsecondary_n", 20, 1, ActionNop},
    {"play_m", 21, 1, ActionNop},
    {"reset_c", 22, 1, ActionNop},
    {"set_v", 23, 1, ActionNop},
    {"start_c", 24, 1, ActionNop},
    {"stop_c", 25, 1, ActionNop},
    {"takeoff_f", 26, 1, ActionNop},
    {"takeoff_o", 27, 1, ActionNop},
    {nullptr, 0, 0, nullptr},
};
