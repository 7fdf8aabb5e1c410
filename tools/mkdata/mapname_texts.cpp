// Texts of the game data file for the mission map's item names and the
// flight-end banner: the banner lines (15 + outcome) and the place and
// object name words from 177 on.
#include "mkdata.h"

std::vector<MkGameText> mkdata_MapNameTexts(void) {
    return {
        {15, "BANNER_NONE", "MISSION IN PROGRESS"},
        {16, "BANNER_WON", "MISSION ACCOMPLISHED"},
        {17, "BANNER_FAILED", "MISSION FAILED"},
        {18, "BANNER_LEFT", "MISSION ABANDONED"},
        {177, "NAME_HANGAR", "HANGAR"},
        {178, "NAME_RUNWAY", "RUNWAY"},
        {179, "NAME_SAM_SITE", "SAM SITE"},
        {180, "NAME_FLAK_SITE", "FLAK SITE"},
        {181, "NAME_RADAR", "RADAR"},
        {182, "NAME_LAKE", "LAKE"},
        {183, "NAME_BRIDGE", "BRIDGE"},
        {184, "NAME_DEPOT", "DEPOT"},
    };
}
