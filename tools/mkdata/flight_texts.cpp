// Texts of the in-flight status line in the game data file: the pieces, the
// number formats (one number each) and the autopilot captions.
#include "mkdata.h"

std::vector<MkGameText> mkdata_FlightTexts(void) {
    return {
        {0x35E, "STATUS_PERCENT", "%d%%"},
        {0x35F, "STATUS_JET", "JET"},
        {0x360, "STATUS_BRAKE", "BRAKE"},
        {0x361, "STATUS_REFUEL", "REFUEL"},
        {0x362, "STATUS_LOCK", "LOCK"},
        {0x364, "STATUS_SIGHT", "SIGHT"},
        {0x366, "STATUS_SPEED", "%d KTS"},
        {0x367, "STATUS_ALTITUDE", "%d FT"},
        {0x368, "STATUS_MACH", "M %.2f"},
        {0x369, "STATUS_STALL", "STALL %d"},
        {0x36B, "STATUS_FUEL", "FUEL %d"},
        {0x36C, "STATUS_PAUSED", "HOLD"},
        {0x36D, "STATUS_AOA", "AOA %d"},
        {0x370, "AUTOPILOT_LEVEL", "AUTOPILOT: WINGS LEVEL"},
        {0x371, "AUTOPILOT_WAYPOINT", "AUTOPILOT: WAYPOINT"},
        {0x374, "AUTOPILOT_LANDING", "AUTOPILOT: LANDING"},
    };
}
