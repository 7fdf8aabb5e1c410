// Texts of the in-flight command menus in the game data file: the
// leave-flight line and the wing command menu's orders, title and the line
// shown without a wingman.
#include "mkdata.h"

std::vector<MkGameText> mkdata_CommandMenuTexts(void) {
    return {
        {474, "MENU_LEAVE_FLIGHT", "End this flight? (Y/N)"},
        {678, "WING_TIGHT", "Tight formation"},
        {679, "WING_LOOSE", "Loose formation"},
        {680, "WING_ENGAGE", "Engage"},
        {681, "WING_ATTACK_MY_TARGET", "Attack my target"},
        {682, "WING_BREAK_RIGHT", "Break right"},
        {683, "WING_BREAK_LEFT", "Break left"},
        {684, "WING_ENGAGE_ATTACKER", "Engage my attacker"},
        {685, "WING_ESCORT", "Escort"},
        {686, "WING_COVER", "Cover me"},
        {687, "WING_GO_HOME", "Go home"},
        {688, "WING_TITLE", "WINGMAN"},
        {689, "WING_NONE", "No wingman"},
    };
}
