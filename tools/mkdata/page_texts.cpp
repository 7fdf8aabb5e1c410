// Texts of the in-flight information pages in the game data file: the
// goals page, the debriefing and its table, the pause notice, the player
// type choice, the player and score lists, the results, the start texts,
// the recent-messages title and the squadron announcements.
#include "mkdata.h"

std::vector<MkGameText> mkdata_PageTexts(void) {
    return {
        {20, "GOALS_PRIMARY", "PRIMARY OBJECTIVES"},
        {21, "GOALS_SECONDARY", "SECONDARY OBJECTIVES"},
        {22, "GOALS_BONUS", "BONUS OBJECTIVES"},
        {23, "GOALS_FAIL", "THE MISSION FAILS IF"},
        {24, "GOALS_TITLE", "MISSION OBJECTIVES"},
        {25, "GOALS_DONE", "COMPLETED"},
        {26, "GOALS_FAILED", "FAILED"},
        {475, "PAUSE_TEXT", "PAUSED - PRESS PAUSE TO CONTINUE"},
        {479, "RECENT_TITLE", "RECENT MESSAGES"},
        {482, "START_TEXT", "PRESS ANY KEY TO BEGIN"},
        {483, "SCORE_TITLE", "PLAYERS"},
        {0x1E8, "START_WAIT", "WAITING FOR THE GAME TO START"},
        {0x1E9, "START_READY", "THE GAME IS ABOUT TO START"},
        {690, "DEBRIEF_BACK", "2 / ESC - BACK TO THE MENUS"},
        {691, "DEBRIEF_AGAIN", "1 - FLY AGAIN"},
        {693, "DEBRIEF_BONUS", "Bonus objectives: %d of %d"},
        {695, "DEBRIEF_KILLS", "Aircraft destroyed: %d   Ground targets destroyed: %d"},
        {696, "DEBRIEF_LANDINGS", "Landings: %d   Crashes: %d"},
        {697, "DEBRIEF_SHOTS", "Rounds and stores fired: %d"},
        {698, "DEBRIEF_HITS", "Hits: %d"},
        {700, "DEBRIEF_PRIMARY", "Primary objectives: %d of %d"},
        {701, "DEBRIEF_SECONDARY", "Secondary objectives: %d of %d"},
        {703, "DEBRIEF_RESULT", "Mission result: %s"},
        {704, "OUTCOME_OPEN", "INCOMPLETE"},
        {705, "OUTCOME_SUCCESS", "SUCCESS"},
        {706, "OUTCOME_FAILED", "FAILED"},
        {707, "OUTCOME_ABANDONED", "ABANDONED"},
        {708, "DEBRIEF_TITLE", "DEBRIEFING"},
        {713, "COL_WEAPON", "WEAPON"},
        {714, "COL_SHOTS", "FIRED"},
        {715, "COL_HITS", "HITS"},
        {716, "COL_AIR", "AIR"},
        {717, "COL_GROUND", "GND"},
        {718, "COL_SPARE", ""},
        {719, "COL_PERCENT", "HIT"},
        {720, "DEBRIEF_PERCENT", "%d%%"},
        {721, "COL_WEAPON2", "TYPE"},
        {722, "COL_SHOTS2", ""},
        {723, "COL_HITS2", ""},
        {724, "COL_AIR2", "KILLS"},
        {725, "COL_GROUND2", "KILLS"},
        {726, "COL_SPARE2", ""},
        {727, "COL_PERCENT2", "RATE"},
        {728, "COL_CLASS", "CLASS"},
        {729, "COL_CLASS2", ""},
        {730, "CLASS_GUN", "Gun"},
        {731, "CLASS_AAM", "Air-to-air"},
        {732, "CLASS_AGM", "Air-to-ground"},
        {733, "CLASS_BOMB", "Bombs"},
        {734, "CLASS_TOTAL", "Total"},
        {764, "TYPE_TITLE", "CHOOSE YOUR AIRCRAFT"},
        {765, "TYPE_FIRST", "1 - FIGHTER"},
        {766, "TYPE_SECOND", "2 - STRIKE"},
        {769, "RESULT_WINS", "TEAM WINS"},
        {772, "LIST_TITLE", "%s"},
        {773, "STATUS_0", "FLYING"},
        {774, "STATUS_1", "WAITING"},
        {777, "SQUADRON_WORD", "SQUADRON"},
        {778, "SQUADRON_JOINS", "JOINS THE"},
        {779, "SQUADRON_FORMS", "FORMS THE"},
        {780, "SQUADRON_REFUSED", "WRONG PASSWORD FOR THE"},
    };
}

void mkdata_PageColumnsSet(MkTableGroup* group) {
    // The debriefing's numeric columns: x = 2.8 x the number + 20.
    static const uint32_t kColumn[6] = {55, 70, 82, 92, 0, 98};
    for (uint32_t i = 0; i < 6; i++)
        if (group && 714 + i < group->items.size()) group->items[714 + i].word1 = kColumn[i];
}

std::vector<MkTableItem> mkdata_SampleGoals(void) {
    return {
        {"PRIMARY 1", "Destroy the SAM site north of the runway."},
        {"PRIMARY 2", "(CV 5)+Destroy the flak site beside it."},
        {"SECONDARY 1", "Keep your wingman alive."},
        {"BONUS 1", "(CV !5)+Land back at the airfield."},
        {"FAIL 1", "Your aircraft is lost."},
    };
}
