// Titles of the MFD pages in the game data file (items 0x346 to 0x358).
#include "mkdata.h"

std::vector<MkGameText> mkdata_MfdTexts(void) {
    return {
        {0x346, "MFD_GROUND_MAP", "GND MAP"},
        {0x347, "MFD_GROUND_TRACK", "GND TRK"},
        {0x348, "MFD_SEARCH", "SEARCH"},
        {0x349, "MFD_RADAR", "RADAR"},
        {0x34C, "MFD_TEXT", "TEXT"},
        {0x34D, "MFD_STATUS", "STATUS"},
        {0x34E, "MFD_POD", "POD"},
        {0x34F, "MFD_POD_SETUP", "POD SET"},
        {0x350, "MFD_SITUATION", "SIT"},
        {0x352, "MFD_STORES", "STORES"},
        {0x353, "MFD_AIR", "AIR"},
        {0x354, "MFD_GROUND", "GROUND"},
        {0x355, "MFD_MENU", "MENU"},
        {0x356, "MFD_TRACK", "TRACK"},
        {0x357, "MFD_MORE_STORES", "MORE"},
        {0x358, "MFD_OTHER_STORES", "OTHER"},
    };
}
