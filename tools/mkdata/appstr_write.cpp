// The application string file "APPSTR.BIN": every user-visible text of the
// shell and the game lines the server and client send, by number.
#include <cstdio>
#include <map>

#include "mkdata.h"

namespace {

// Number of the version item and the number it carries.
const uint32_t kVersionItem = 86;
const uint32_t kVersion = 2;

struct AppString {
    uint32_t number;
    const char* name;
    const char* text;
};

// Formats take "%s" for texts and "%ld" for numbers (32-bit with the
// program's own formatter, long with the C library's).
const AppString kStrings[] = {
    {1, "NO_SOUND", "Sound output could not be opened. The game will run without sound."},
    {3, "DUMP_FAILED", "The system context dump file could not be created."},
    {4, "FATAL_NAME_DETAIL", "%s: cannot load or allocate \"%s\". The program will now exit."},
    {5, "FATAL_DETAIL", "Cannot load or allocate \"%s\". The program will now exit."},
    {9, "NO_CURSORS", "Cannot load the cursor images \"%s\", \"%s\" and \"%s\"."},
    {13, "FATALB_NAME_DETAIL", "%s: the data in \"%s\" is missing or damaged. The program will now exit."},
    {14, "FATALB_NAME", "%s: required data is missing or damaged. The program will now exit."},
    {15, "FATALB_DETAIL", "The data in \"%s\" is missing or damaged. The program will now exit."},
    {17, "OUTDATED_NAME_DETAIL", "%s: the file \"%s\" is out-of-date with the current executable!"},
    {18, "OUTDATED_NAME", "%s: a data file is out-of-date with the current executable!"},
    {19, "OUTDATED_DETAIL", "The file \"%s\" is out-of-date with the current executable!"},
    {20, "OUTDATED", "A data file is out-of-date with the current executable!"},
    {27, "FATAL", "Out of memory or missing data. The program will now exit."},
    {28, "FATAL_NAME", "%s: out of memory or missing data. The program will now exit."},
    {29, "FATALB", "Required data is missing or damaged. The program will now exit."},
    {30, "BAD3D_TEXT1", "The 3D card driver library reports that the installed 3D card drivers are not suitable."},
    {31, "BAD3D_TEXT2", "Install the current drivers for your 3D card, or start the game with the SOFTWARE option."},
    {32, "BAD3D_SKIP", "Do not show this message again"},
    {33, "BAD3D_CONTINUE", "Continue"},
    {34, "BAD3D_QUIT", "Quit"},
    {35, "PACKET_TOO_LARGE", "A server packet grew too large (reason %ld). It was written to _PACKET.TXT."},
    {37, "USAGE", "Usage"},
    {38, "USAGE_OPTION", "option"},
    {39, "USAGE_OPTIONS", "Options"},
    {40, "USAGE_HELP", "show this help"},
    {41, "USAGE_VERSION", "show the version information"},
    {43, "VERSION_NOTICE", "Made by the KRX project"},
    {44, "VERSION_PRODUCT", "Product:"},
    {45, "VERSION_VERSION", "Version:"},
    {46, "VERSION_NUMBER", "Version number:"},
    {47, "VERSION_RELEASE", "Release:"},
    {48, "VERSION_DATE", "Build date:"},
    {49, "VERSION_TIME", "Build time:"},
    {50, "VERSION_MAKER", "Maker:"},
    {52, "VERSION_EXE", "Executable:"},
    {54, "BAD_SWITCH", "Unknown switch -%c. Start the program with -h for help."},
    {55, "BAD_WORD", "Unknown command line word \"%s\". Start the program with -h for help."},
    {56, "TOO_MANY_POLYGONS", "Too many polygons (%ld) in model %ld."},
    {57, "NO_TEXTURE_MEMORY", "Out of memory while loading the texture images."},
    {58, "NO_MODEL_TEXTURE_MEMORY", "Out of memory while reading the texture images of a model."},
    {59, "BAD_MODEL_VERSION", "The model file \"%s\" has an unknown version."},
    {60, "BAD_TEXTURE_SHAPE", "A texture image is more than eight times wider than high, or higher than wide."},
    {61, "NO_MODEL_MEMORY", "Not enough memory for the model file \"%s\"."},
    {62, "NOT_A_MISSION", "\"%s\" is not a mission file."},
    {63, "BAD_MISSION_VERSION", "The mission file \"%s\" has the wrong version."},
    {64, "BAD_MISSION_TEXT", "The mission file \"%s\" has a damaged text table."},
    {65, "TITLE", "KRX"},
    {72, "NOT16BIT_TEXT1", "Your desktop shows fewer than 16 bits per pixel."},
    {73, "NOT16BIT_TEXT2", "The game draws in high colour and may not look right with this desktop setting."},
    {74, "NOT16BIT_TEXT3", "Set the desktop to 16 bits per pixel or more, or continue anyway."},
    {76, "NOT16BIT_SKIP", "Do not check the colour depth again"},
    {77, "NOT16BIT_CONTINUE", "Continue"},
    {78, "NOT16BIT_QUIT", "Quit"},
    {81, "LOADING", "Loading..."},
    {476, "KILL_SUFFIX", " (killed)"},
    {477, "CHAT_ALL", "Say:"},
    {478, "CHAT_SQUADRON", "Squadron:"},
    {477, "CHAT_ALL", "To all:"},
    {478, "CHAT_SQUAD", "To squadron:"},
    {490, "CHAT_MODE3", "Message:"},
    {492, "CHAT_COMMAND", "Command:"},
    {493, "CHAT_OTHER", "Text:"},
    {494, "CHAT_MODE2", "Message:"},
    {495, "CHAT_SQUADRON_TAG", "SQD"},
    {562, "PLAYER_LEFT", "%s has left the game."},
    {563, "RESPAWN_READY", "You may take off again."},
    {564, "CRASH_0", "%s crashed."},
    {565, "CRASH_1", "%s flew into the ground."},
    {566, "CRASH_2", "%s made a very hard landing."},
    {567, "CRASH_3", "%s forgot to pull up."},
    {568, "CRASH_4", "%s found the ground."},
    {569, "CRASH_5", "%s is a smoking hole."},
    {570, "CRASH_6", "%s lost control."},
    {571, "CRASH_7", "%s went down on his own."},
    {580, "KILL_0", "%s shot down %s."},
    {581, "KILL_1", "%s destroyed %s."},
    {582, "KILL_2", "%s got the better of %s."},
    {583, "KILL_3", "%s sent %s home."},
    {584, "KILL_4", "%s splashed %s."},
    {585, "KILL_5", "%s scored a kill on %s."},
    {586, "KILL_6", "%s brought down %s."},
    {587, "KILL_7", "%s outflew %s."},
    {614, "CONNECTION_LOST", "The connection to the session was lost."},
    {617, "GAME_OVER_1", "The server has ended the game."},
    {618, "GAME_OVER_2", "Thank you for playing."},
    {619, "CHAT_REFUSED", "Your message was not sent: please keep the chat clean."},
    {770, "SQUADRON_0", "%s has joined the first squadron."},
    {771, "SQUADRON_1", "%s has joined the second squadron."},
    {829, "SESSION_LOST_NOTICE", "SESSION LOST"},
    {830, "SESSION_LOST", "The connection to the game was lost."},
    {831, "SESSION_NOTICE", "Network notice: %s"},
};

}  // namespace

int mkdata_WriteAppStrings(const std::string& dir) {
    std::map<uint32_t, const AppString*> byNumber;
    for (const AppString& s : kStrings) byNumber[s.number] = &s;
    uint32_t count = byNumber.rbegin()->first + 1;

    // One group holding every item; numbers without a text are empty items.
    MkTableGroup group{"APPSTR", {}};
    for (uint32_t i = 0; i < count; i++) {
        MkTableItem item;
        char name[32];
        snprintf(name, sizeof name, "STR%u", i);
        item.name = name;
        if (auto it = byNumber.find(i); it != byNumber.end()) {
            item.name = it->second->name;
            item.text = it->second->text;
        }
        if (i == kVersionItem) {
            item.name = "VERSION";
            item.text = std::to_string(kVersion);
            item.word1 = kVersion;
        }
        group.items.push_back(item);
    }
    return mkdata_TableWrite(dir, "APPSTR.BIN", {group});
}
