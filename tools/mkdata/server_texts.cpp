// Texts of the dedicated server's status page and of the master-server
// announcement in the game data file: status items 597..628, regions
// (450 + region), times of day (467 + time of day) and game types
// (832 + game type).
#include "mkdata.h"

std::vector<MkGameText> mkdata_ServerTexts(void) {
    std::vector<MkGameText> texts = {
        {597, "SRV_STARTED", "Started"},
        {598, "SRV_TIME", "Time"},
        {599, "SRV_RUNNING", "Running"},
        {600, "SRV_WITH_PLAYERS", "With players"},
        {601, "SRV_WITHOUT_PLAYERS", "Without players"},
        {602, "SRV_CONN_0", "IPX network"},
        {603, "SRV_CONN_1", "TCP/IP network"},
        {604, "SRV_CONN_2", "Modem"},
        {605, "SRV_CONN_3", "Serial link"},
        {606, "SRV_CONN_OTHER", "Other connection"},
        {607, "SRV_PLAYERS", "Players"},
        {608, "SRV_PEAK", "Peak players"},
        {609, "SRV_FRAMES", "Frames"},
        {610, "SRV_LARGEST", "Largest packet"},
        {611, "SRV_BYTES", "bytes"},
        {612, "SRV_AVERAGE", "Average packet"},
        {613, "SRV_VICTORY", "GAME OVER"},
        {614, "SRV_CONN_LOST", "CONNECTION LOST"},
        {615, "SRV_FREE", "(free)"},
        {616, "SRV_KEYS", "F1 peak  F2 end game  F3 command  F4 to all  F5/F6 to a side  Esc stop"},
        {617, "SRV_END_1", "THE SERVER HAS ENDED THE GAME"},
        {618, "SRV_END_2", "THANK YOU FOR FLYING"},
        {619, "SRV_CENSORED", "THAT LINE WAS NOT SENT"},
        {621, "SRV_JOINS", "Joins"},
        {622, "SRV_CONN_LOCAL", "Local game"},
        {623, "SRV_CONN_INTERNET", "Internet"},
        {624, "SRV_CONN_PASSWORD", "Internet (password)"},
        {625, "SRV_MODE_ALL", "To all"},
        {626, "SRV_MODE_COMMAND", "Command"},
        {627, "SRV_MODE_SIDE1", "To side 1"},
        {628, "SRV_MODE_SIDE2", "To side 2"},
        {832, "GAME_SINGLE", "Single player"},
        {833, "GAME_CTF", "Capture the flag"},
        {834, "GAME_DEATHMATCH", "Deathmatch"},
    };
    static const char* const regions[10] = {"Desert", "Coast", "Mountains", "Arctic", "Forest",
                                            "Islands", "Plains", "Canyon", "Jungle", "Steppe"};
    static const char* const regionNames[10] = {"REGION_0", "REGION_1", "REGION_2", "REGION_3", "REGION_4",
                                                "REGION_5", "REGION_6", "REGION_7", "REGION_8", "REGION_9"};
    for (uint32_t i = 0; i < 10; i++) texts.push_back({450 + i, regionNames[i], regions[i]});
    static const char* const times[5] = {"Dawn", "Day", "Dusk", "Night", "Overcast"};
    static const char* const timeNames[5] = {"TIME_0", "TIME_1", "TIME_2", "TIME_3", "TIME_4"};
    for (uint32_t i = 0; i < 5; i++) texts.push_back({467 + i, timeNames[i], times[i]});
    return texts;
}
