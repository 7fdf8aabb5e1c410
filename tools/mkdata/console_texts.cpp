// The developer console's and time compression's texts in the game data
// file (item 377 and items 938 to 1019), and the scrambled engine message
// file the cheats show.
#include <cstring>

#include "debug/cheat.h"
#include "mkdata.h"

std::vector<MkGameText> mkdata_ConsoleTexts(void) {
    return {
        {377, "TIME_COMPRESSION", "TIME COMPRESSION %dX"},
        {938, "CON_BLUR_ON", "BLUR ON"},
        {939, "CON_BLUR_OFF", "BLUR OFF"},
        {940, "CON_RELOADED", "STORES RELOADED"},
        {941, "CON_REFUELED", "FUEL TOPPED UP"},
        {942, "CON_FLAG2_ON", "DEBUG SWITCH 2 ON"},
        {943, "CON_FLAG2_OFF", "DEBUG SWITCH 2 OFF"},
        {944, "CON_HEALED", "AIRCRAFT REPAIRED"},
        {945, "CON_FLAG3_ON", "DEBUG SWITCH 3 ON"},
        {946, "CON_FLAG3_OFF", "DEBUG SWITCH 3 OFF"},
        {947, "CON_NO_MMX", "NO MMX ON THIS PROCESSOR"},
        {948, "CON_MMX_ON", "MMX BLITTERS ON"},
        {949, "CON_MMX_OFF", "MMX BLITTERS OFF"},
        {950, "CON_GREETING_1", "HELLO FROM THE FLIGHT LINE"},
        {951, "CON_GREETING_2", "KRX COMBAT FLIGHT"},
        {952, "CON_GREETING_3", "BUILT WITH CARE"},
        {953, "CON_GREETING_4", "THANKS FOR FLYING"},
        {960, "CON_UNLIMITED_ON", "UNLIMITED STORES ON"},
        {961, "CON_UNLIMITED_OFF", "UNLIMITED STORES OFF"},
        {966, "CON_JOY_RESET", "JOYSTICK RESET"},
        {967, "CON_JOY_ON", "JOYSTICK ENABLED"},
        {968, "CON_JOY_OFF", "JOYSTICK DISABLED"},
        {969, "CON_RUDDER_ON", "RUDDER ENABLED"},
        {970, "CON_RUDDER_OFF", "RUDDER DISABLED"},
        {971, "CON_THROTTLE_ON", "THROTTLE ENABLED"},
        {972, "CON_THROTTLE_OFF", "THROTTLE DISABLED"},
        {980, "CON_HW3D_RESET", "3D CARD CACHE RESET"},
        {985, "CON_BLACKOUT_ON", "BLACKOUTS ENABLED"},
        {986, "CON_BLACKOUT_OFF", "BLACKOUTS DISABLED"},
        {991, "CON_CUES_ON", "AVIONICS SOUND CUES ON"},
        {992, "CON_CUES_OFF", "AVIONICS SOUND CUES OFF"},
        {993, "CON_BALANCE_ON", "UNBALANCED LOADOUTS ALLOWED"},
        {994, "CON_BALANCE_OFF", "UNBALANCED LOADOUTS NOT ALLOWED"},
        {995, "CON_FLAMEOUT_ON", "FLAMEOUTS ENABLED"},
        {996, "CON_FLAMEOUT_OFF", "FLAMEOUTS DISABLED"},
        {997, "CON_FLATSPIN_ON", "FLATSPINS ENABLED"},
        {998, "CON_FLATSPIN_OFF", "FLATSPINS DISABLED"},
        {1006, "CON_WEAPON_OVL_ON", "WEAPON OVERLAY ON"},
        {1007, "CON_WEAPON_OVL_OFF", "WEAPON OVERLAY OFF"},
        {1008, "CON_BOMB_OVL_ON", "BOMB OVERLAY ON"},
        {1009, "CON_BOMB_OVL_OFF", "BOMB OVERLAY OFF"},
        {1010, "CON_OBJECT_OVL_ON", "OBJECT OVERLAY ON"},
        {1011, "CON_OBJECT_OVL_OFF", "OBJECT OVERLAY OFF"},
        {1014, "CON_FAST_ON", "FAST MODE ON"},
        {1015, "CON_FAST_OFF", "FAST MODE OFF"},
        {1016, "CON_NOCRASH_ON", "CRASHES DISABLED"},
        {1017, "CON_NOCRASH_OFF", "CRASHES ENABLED"},
        {1018, "CON_DEBUG_ON", "DEBUG SWITCH ON"},
        {1019, "CON_DEBUG_OFF", "DEBUG SWITCH OFF"},
    };
}

std::string mkdata_EngineMessagePlain(void) {
    return "KRX FLIGHT MODEL\r\nTURBOFAN WITH AFTERBURNER\r\nTHRUST LAPSE BY ALTITUDE AND MACH\r\n";
}

int mkdata_WriteEngineMessage(const std::string& dir) {
    std::string text = mkdata_EngineMessagePlain();
    cheat_KeyedScrambleText(text.data(), cheat_Key);
    return mkdata_WriteText(dir, "ENGINE.MSG", text);
}
