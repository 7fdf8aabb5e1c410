// Texts of the MFD systems and stores pages in the game data file: the
// chaff and flare captions (498, 500), the state words (735, 736, 748) and
// the systems' labels (737 to 761).
#include "mkdata.h"

std::vector<MkGameText> mkdata_MfdPageTexts(void) {
    return {
        {498, "MFD_CHAFF", "CHAFF"},
        {500, "MFD_FLARES", "FLARES"},
        {735, "SYS_OK", "OK"},
        {736, "SYS_FAIL", "FAIL"},
        {737, "SYS_DATALINK", "DATA LINK"},
        {738, "SYS_RADAR", "RADAR"},
        {741, "SYS_FUEL", "FUEL"},
        {745, "SYS_ELEVATOR", "ELEVATOR"},
        {746, "SYS_RUDDER", "RUDDER"},
        {747, "SYS_AIRBRAKE", "AIR BRAKE"},
        {748, "SYS_NO_LINK", "NO LINK"},
        {752, "SYS_CMDS", "CMDS"},
        {753, "SYS_HYDRAULICS", "HYDRAULICS"},
        {755, "SYS_NAV", "NAV"},
        {756, "SYS_ENGINE", "ENGINE"},
        {757, "SYS_TGT", "TGT SEARCH"},
        {758, "SYS_SIGHT", "SIGHT"},
        {759, "SYS_COMMS", "COMMS"},
        {760, "SYS_GEAR", "GEAR"},
        {761, "SYS_DISPLAYS", "DISPLAYS"},
    };
}
