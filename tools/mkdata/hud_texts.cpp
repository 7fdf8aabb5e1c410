// Texts of the HUD in the game data file: steerpoint labels (0 to 8, where
// 6 to 8 are formats that take a composed object label), the target
// information lines (402 to 412), the HUD's mode,
// caption and warning lines (419 to 449) and the designation words (858 to
// 861).
#include "mkdata.h"

std::vector<MkGameText> mkdata_HudTexts(void) {
    return {
        {0, "STEER_NONE", "STPT"},
        {1, "STEER_BASE", "HOME BASE"},
        {2, "STEER_TARGET", "TARGET AREA"},
        {3, "STEER_RENDEZVOUS", "RENDEZVOUS"},
        {4, "STEER_PATROL", "PATROL"},
        {5, "STEER_LAND", "LAND"},
        {6, "STEER_ATTACK", "ATTACK %s"},
        {7, "STEER_ESCORT", "ESCORT %s"},
        {8, "STEER_DEFEND", "DEFEND %s"},
        {402, "HUD_TARGET_UNKNOWN", "UNKNOWN"},
        {410, "HUD_TARGET_RANGE", "RNG %d"},
        {412, "HUD_TARGET_CLOSURE", "VC %d"},
        {419, "HUD_SHOOT", "SHOOT"},
        {421, "HUD_RELEASE", "RELEASE"},
        {423, "HUD_WRONG_END", "WRONG END"},
        {424, "HUD_NAV", "NAV"},
        {425, "HUD_OVERSPEED", "OVERSPEED"},
        {427, "HUD_ARM", "ARM"},
        {428, "HUD_MRM", "MRM"},
        {429, "HUD_SRM", "SRM"},
        {430, "HUD_RADAR_ALT", "R"},
        {431, "HUD_GUN_AA", "GUN A-A"},
        {432, "HUD_FEET", "FT"},
        {434, "HUD_ALT", "ALT"},
        {437, "HUD_ROCKETS", "RKT"},
        {438, "HUD_LGB", "LGB"},
        {439, "HUD_GUN_AG", "GUN A-G"},
        {440, "HUD_AGM", "AGM"},
        {441, "HUD_PULL_UP", "PULL UP"},
        {442, "HUD_CAUTION", "CAUTION"},
        {443, "HUD_WARNING", "WARNING"},
        {444, "HUD_CCIP", "CCIP"},
        {445, "HUD_HDG", "HDG"},
        {448, "HUD_GEAR_UP", "GEAR UP"},
        {449, "HUD_GEAR_DOWN", "GEAR DOWN"},
        {858, "HUD_LASER_ARMED", "LASER ARM"},
        {859, "HUD_CANNON", "CANNON"},
        {860, "HUD_DESIGNATED", "DSG"},
        {861, "HUD_NOT_DESIGNATED", "NO DSG"},
    };
}
