// The game data texts of the game-type rules: team names by colour and the
// announcements of joins, lost flags and destroyed objects.
#include "mkdata.h"

std::vector<MkGameText> mkdata_RulesGameTexts(void) {
    // Colours 0..31 are drawn at random; 37 stands in when both teams drew
    // the same one.
    static const char* const kColours[38] = {
        "RED",    "BLUE",   "GREEN",  "YELLOW", "ORANGE", "PURPLE",  "WHITE",  "BLACK",
        "GREY",   "SILVER", "GOLD",   "BRONZE", "CRIMSON", "SCARLET", "AZURE", "COBALT",
        "NAVY",   "TEAL",   "CYAN",   "JADE",   "OLIVE",  "LIME",    "AMBER",  "COPPER",
        "RUST",   "MAROON", "VIOLET", "INDIGO", "MAGENTA", "PINK",   "IVORY",  "SAND",
        "SLATE",  "STEEL",  "COAL",   "SNOW",   "STORM",  "COMET",
    };
    static const char* const kNames[38] = {
        "TEAM_0",  "TEAM_1",  "TEAM_2",  "TEAM_3",  "TEAM_4",  "TEAM_5",  "TEAM_6",  "TEAM_7",
        "TEAM_8",  "TEAM_9",  "TEAM_10", "TEAM_11", "TEAM_12", "TEAM_13", "TEAM_14", "TEAM_15",
        "TEAM_16", "TEAM_17", "TEAM_18", "TEAM_19", "TEAM_20", "TEAM_21", "TEAM_22", "TEAM_23",
        "TEAM_24", "TEAM_25", "TEAM_26", "TEAM_27", "TEAM_28", "TEAM_29", "TEAM_30", "TEAM_31",
        "TEAM_32", "TEAM_33", "TEAM_34", "TEAM_35", "TEAM_36", "TEAM_37",
    };
    std::vector<MkGameText> texts;
    for (uint32_t i = 0; i < 38; i++) texts.push_back({27 + i, kNames[i], kColours[i]});
    texts.push_back({476, "DESTROYED", " DESTROYED"});
    texts.push_back({561, "DM_JOINED", "%s HAS ENTERED THE ARENA"});
    texts.push_back({763, "FLAG_LOST", "THE %s TEAM HAS LOST A FLAG"});
    texts.push_back({767, "CTF_JOINED", "%s JOINS THE "});
    texts.push_back({768, "CTF_JOINED_END", " TEAM"});
    return texts;
}
