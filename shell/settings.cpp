// Settings files: APP.INI, KRX.INI and the two older files KRX.SAV and
// KRX.CFG that KRX.INI replaced.
#include "shell/settings.h"

#include <clocale>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/efile.h"
#include "base/file.h"
#include "base/ini.h"
#include "base/le.h"
#include "base/mem.h"
#include "base/text.h"
#include "input/ejoy.h"
#include "input/inmapfile.h"
#include "platform/files.h"
#include "shell/cmdline.h"
#include "shell/startup.h"

AppIniRecord app_Ini;
AppSettings app_Settings;

namespace {

constexpr int32_t kLineSize = 1024;
constexpr int kMaxWords = 8;
const char kBanner[] = "//############################################";
const char kGroupRule[] = "//---------------------------";
char g_localeName[128] = "";

// Copies at most size - 1 characters and always terminates.
void CopyText(char* dst, size_t size, const char* src) {
    if (size == 0) return;
    if (!src) src = "";
    size_t n = strnlen(src, size - 1);
    memcpy(dst, src, n);
    dst[n] = 0;
}

void UpperAscii(char* s) {
    for (; *s; s++)
        if (*s >= 'a' && *s <= 'z') *s = (char)(*s - 'a' + 'A');
}

int32_t Clamp(int32_t v, int32_t lo, int32_t hi) { return v < lo ? lo : v > hi ? hi : v; }

// A text file read line by line: empty lines and "//" lines are skipped,
// the others split into words (quotes keep blanks inside a word).
struct LineReader {
    _EFILE* file = nullptr;
    char line[kLineSize];
    char wordBuffer[kLineSize + kMaxWords];
    char* words[kMaxWords];

    explicit LineReader(const char* path) { file = efile_Open(path, EFILE_READ | EFILE_SHARED); }
    ~LineReader() {
        if (file) efile_Close(file);
    }
    bool rewind() { return file && efile_Seek(file, 0, 0) == 0; }
    // Words of the next line that holds any; -1 at the end.
    int next() {
        while (file) {
            if (efile_ReadLine(file, line, sizeof line) < 0) return -1;
            if (line[0] == 0 || (line[0] == '/' && line[1] == '/')) continue;
            int n = text_SplitWords(line, wordBuffer, sizeof wordBuffer, words, kMaxWords);
            if (n > 0) return n;
        }
        return -1;
    }
};

// A text file written line by line to a temporary of its own beside the
// real one, then renamed over it: the old file stays whole until the new one
// is complete.
struct LineWriter {
    std::string path;
    char temp[1024];
    _EFILE* file = nullptr;
    bool failed = false;

    explicit LineWriter(const char* name) : path(name) {
        file = efile_CreateTemp(name, temp, sizeof temp);
        failed = file == nullptr;
    }
    ~LineWriter() {
        if (file) efile_CommitTemp(file, temp, nullptr, false);
    }
    void put(const char* text) {
        if (!failed && efile_WriteLine(file, text) < 0) failed = true;
    }
    void putf(const char* format, ...) __attribute__((format(printf, 2, 3))) {
        char buf[kLineSize];
        va_list args;
        va_start(args, format);
        vsnprintf(buf, sizeof buf, format, args);
        va_end(args);
        put(buf);
    }
    int32_t commit() {
        if (!file) return -1;
        _EFILE* f = file;
        file = nullptr;
        return efile_CommitTemp(f, temp, path.c_str(), !failed);
    }
};

// A settings file that exists but was not read (damaged or of another
// version) is kept as NAME.bak before it is first replaced; false when no
// copy could be made and the file must stay.
bool KeepUnread(bool* unread, const char* name) {
    if (!*unread) return true;
    if (efile_KeepBackup(name) != 0) return false;
    *unread = false;
    return true;
}

bool g_iniUnread = false;     // KRX.INI
bool g_appIniUnread = false;  // APP.INI

// ---- The table of KRX.INI keys ----------------------------------------------

enum CfgKind {
    K_FLAG,          // nonzero = 1
    K_CLAMP,         // clamped to lo..hi
    K_ANY,           // any number
    K_ELSE,          // lo..hi, any other value gives `other`
    K_TEXT,          // text of the field's size
    K_TEXT_UPPER,    // the same, upper-cased
    K_RESOLUTION,    // 640, 800, 1024 select modes 0, 1, 2
    K_MENU_FULLSCREEN,
    K_LAYOUT,        // joystick layout name
    K_GUID,          // joystick instance GUID text
    K_FEEDBACK,      // FEEDBACK_ENABLED, kept inverted
    K_BITDEPTH,      // 8, 16, 24 or 32, else 16
    K_LOCALE,
    K_KEY_YES,
    K_KEY_NO,
    K_MISSION,       // index and value, written 64 times
    K_BYTE_FLAG,     // an 8-bit flag
};

struct CfgKey {
    const char* group;  // non-null on the first key of a group
    const char* key;
    CfgKind kind;
    size_t offset;
    size_t size;        // field size in bytes
    int32_t lo, hi, other;
};

#define F(k) offsetof(AppSettings, k), sizeof(AppSettings::k)
#define FLAG(g, k) {g, #k, K_FLAG, F(k), 0, 1, 0}
#define CLAMP(g, k, lo, hi) {g, #k, K_CLAMP, F(k), lo, hi, 0}
#define ANY(g, k) {g, #k, K_ANY, F(k), 0, 0, 0}
#define ELSE(g, k, lo, hi, other) {g, #k, K_ELSE, F(k), lo, hi, other}
#define TEXT(g, k) {g, #k, K_TEXT, F(k), 0, 0, 0}
#define UPPER(g, k) {g, #k, K_TEXT_UPPER, F(k), 0, 0, 0}
#define SPECIAL(g, key, kind, k) {g, key, kind, F(k), 0, 0, 0}

const CfgKey kKeys[] = {
    SPECIAL("VIDEO", "GAME_FULLSCREEN", K_FLAG, GAME_FULLSCREEN),
    SPECIAL(nullptr, "GAME_RESOLUTION", K_RESOLUTION, GAME_RESOLUTION),
    SPECIAL(nullptr, "MENU_FULLSCREEN", K_MENU_FULLSCREEN, menuWindowed),
    FLAG(nullptr, ENABLE_3D),
    CLAMP("AUDIO", SFX_VOLUME, 0, 255),
    FLAG(nullptr, AVIONICS_SOUND_CUES),
    CLAMP(nullptr, MUSIC_VOLUME, 0, 255),
    FLAG(nullptr, MUSIC_PLAY),
    FLAG(nullptr, AUX_VOICE_DIALOG),
    CLAMP(nullptr, DIALOG_VOLUME, 0, 255),
    CLAMP("PERFORMANCE", MEMORY_USAGE, 0, 2),
    CLAMP(nullptr, TEXTURE_DISTANCE, 0, 26),
    FLAG("CONTROL", JOYSTICK_ENABLE),
    SPECIAL(nullptr, "JOYSTICK_LAYOUT", K_LAYOUT, JOYSTICK_LAYOUT),
    FLAG(nullptr, THROTTLE_ENABLE),
    FLAG(nullptr, RUDDER_ENABLE),
    FLAG(nullptr, STEER_WITH_RUDDER),
    FLAG(nullptr, TRIGGER_FIRES_CURRENT_WEAPON),
    FLAG("FLIGHT CHARACTERISTICS", BLACKOUTS),
    FLAG(nullptr, AUTO_SHOOTLIST),
    FLAG(nullptr, AUTO_GEAR),
    FLAG(nullptr, UNBALANCED_LOADOUTS),
    FLAG(nullptr, FLAMEOUTS),
    FLAG(nullptr, FLATSPINS),
    FLAG("MISC OPTIONS", SMOOTH_COCKPIT_CAMERA),
    CLAMP(nullptr, AVIONIC_SOUND_VOLUME, 0, 255),
    CLAMP(nullptr, WEAPON_HUM_VOLUME, 0, 255),
    SPECIAL(nullptr, "JOYSTICK_INSTANCE", K_GUID, JOYSTICK_INSTANCE),
    SPECIAL(nullptr, "FEEDBACK_ENABLED", K_FEEDBACK, feedbackOff),
    SPECIAL(nullptr, "BITDEPTH_SOFTWARE", K_BITDEPTH, BITDEPTH_SOFTWARE),
    SPECIAL(nullptr, "BITDEPTH_HARDWARE", K_BITDEPTH, BITDEPTH_HARDWARE),
    TEXT(nullptr, HW3D_DLL_FILENAME),
    ANY(nullptr, CARD_NUMBER),
    TEXT("MULTIPLAYER", PLAYER_NAME),
    TEXT(nullptr, SQUADRON_NAME),
    UPPER(nullptr, SQUADRON_PASSWORD),
    TEXT(nullptr, IP_ADDRESS),
    UPPER(nullptr, GAME_PASSWORD),
    UPPER(nullptr, SIDE_PASSWORD),
    TEXT(nullptr, PHONE_NUMBER),
    CLAMP(nullptr, PORT, 1, 4),
    ANY(nullptr, BAUD_RATE),
    ELSE(nullptr, STOP_BITS, 0, 2, 0),
    ELSE(nullptr, PARITY, 0, 3, 0),
    ELSE(nullptr, FLOW_CONTROL, 0, 3, 4),
    CLAMP(nullptr, CURRENT_PROVIDER, -1, 3),
    CLAMP(nullptr, RAW_SIDE, 0, 2),
    CLAMP("HOST", DEATHMATCH_REGION, 0, 9),
    CLAMP(nullptr, DEATHMATCH_TIMEOFDAY, 0, 4),
    CLAMP(nullptr, DEATHMATCH_MAX_PLAYERS, 1, 16),
    CLAMP(nullptr, DEATHMATCH_KILLS_PER_ROUND, 1, 99),
    CLAMP(nullptr, DEATHMATCH_ROUNDS_PER_CHANGE, 1, 99),
    CLAMP(nullptr, DEATHMATCH_CHANGE_TYPE, 0, 2),
    FLAG(nullptr, DEATHMATCH_SPIN_DEATHS),
    FLAG(nullptr, DEATHMATCH_BLACKOUTS),
    CLAMP(nullptr, RAW_REGION, 0, 9),
    CLAMP(nullptr, RAW_TIMEOFDAY, 0, 4),
    CLAMP(nullptr, RAW_MAX_PLAYERS, 1, 16),
    CLAMP(nullptr, RAW_GAMES_PER_CHANGE, 1, 99),
    CLAMP(nullptr, RAW_CHANGE_TYPE, 0, 2),
    FLAG(nullptr, RAW_BLACKOUTS),
    FLAG(nullptr, RAW_BOMBERS_GET_MISSILES),
    FLAG(nullptr, RAW_GPS_ENABLED),
    CLAMP(nullptr, RAW_SIDE_SELECTION, 0, 2),
    UPPER(nullptr, RAW_SIDE1_PASSWORD),
    UPPER(nullptr, RAW_SIDE2_PASSWORD),
    TEXT(nullptr, HOST_GAME_NAME),
    UPPER(nullptr, HOST_GAME_PASSWORD),
    CLAMP(nullptr, HOST_SERVER_TYPE, 0, 1),
    CLAMP(nullptr, HOST_GAME_TYPE, 0, 1),
    TEXT(nullptr, HOST_COUNTRY_NAME),
    FLAG("CONFIGURE", PAGE_FLIP),
    FLAG(nullptr, DIRECT_SOUND),
    ANY(nullptr, MIDI_DEVICE),
    SPECIAL("LOCALIZATION", "LOCALE", K_LOCALE, LOCALE),
    SPECIAL(nullptr, "KEY_YES", K_KEY_YES, keyYesUpper),
    SPECIAL(nullptr, "KEY_NO", K_KEY_NO, keyNoUpper),
    CLAMP(nullptr, EKEY_INDEX_END_MISSION, 0, 255),
    CLAMP("MISC", HUD_COLOR, 0, 6),
    SPECIAL(nullptr, "HIGHEST_COMPLETED_MISSION", K_MISSION, HIGHEST_COMPLETED_MISSION),
    CLAMP(nullptr, LOADOUT_TYPE, 0, 1),
    FLAG(nullptr, CONNECT_AGENT),
    CLAMP(nullptr, HUD_COLOR_NIGHT, 0, 6),
    FLAG(nullptr, AVIONICS_OVERLAY),
    FLAG(nullptr, EASY_TARGET_CUE),
    FLAG(nullptr, SHOW_THROTTLE),
    FLAG(nullptr, SHOW_VELOCITY),
    FLAG(nullptr, SHOW_FUEL),
    FLAG(nullptr, SHOW_FUEL_USAGE),
    FLAG(nullptr, SHOW_ALTITUDE),
    FLAG(nullptr, SHOW_AOA),
    FLAG(nullptr, SHOW_MACH),
    SPECIAL(nullptr, "CONTEST", K_BYTE_FLAG, CONTEST),
    FLAG(nullptr, SHOW_GROUNDSPEED),
    TEXT(nullptr, COUNTRY_CODE),
};

#undef F
#undef FLAG
#undef CLAMP
#undef ANY
#undef ELSE
#undef TEXT
#undef UPPER
#undef SPECIAL

char* FieldText(const CfgKey& k) { return reinterpret_cast<char*>(&app_Settings) + k.offset; }
int32_t* FieldInt(const CfgKey& k) { return reinterpret_cast<int32_t*>(FieldText(k)); }

const CfgKey* FindKey(const char* name) {
    for (const CfgKey& k : kKeys)
        if (text_EqualNoCase(k.key, name)) return &k;
    return nullptr;
}

uint16_t UpperChar(int32_t c) { return (uint16_t)(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c); }
uint16_t LowerChar(int32_t c) { return (uint16_t)(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c); }

void ApplyLocale(void) {
    const char* name = setlocale(LC_CTYPE, app_Settings.LOCALE);
    CopyText(g_localeName, sizeof g_localeName, name ? name : "Invalid Locale");
    app_LocaleName = g_localeName;
}

// Stores a number under the key's reading rule (KRX.INI and KRX.SAV alike).
void StoreNumber(const CfgKey& k, int32_t v) {
    switch (k.kind) {
    case K_FLAG: *FieldInt(k) = v != 0; break;
    case K_CLAMP: *FieldInt(k) = Clamp(v, k.lo, k.hi); break;
    case K_ANY: *FieldInt(k) = v; break;
    case K_ELSE: *FieldInt(k) = v < k.lo || v > k.hi ? k.other : v; break;
    case K_RESOLUTION: *FieldInt(k) = v == 800 ? 1 : v == 1024 ? 2 : 0; break;
    case K_MENU_FULLSCREEN: app_Settings.menuWindowed = v == 0; break;
    case K_FEEDBACK: app_Settings.feedbackOff = v == 0; break;
    case K_BITDEPTH: *FieldInt(k) = v == 8 || v == 16 || v == 24 || v == 32 ? v : 16; break;
    case K_KEY_YES:
        app_Settings.keyYesUpper = UpperChar(v & 0xFFFF);
        app_Settings.keyYesLower = LowerChar(v & 0xFFFF);
        break;
    case K_KEY_NO:
        app_Settings.keyNoUpper = UpperChar(v & 0xFFFF);
        app_Settings.keyNoLower = LowerChar(v & 0xFFFF);
        break;
    case K_BYTE_FLAG: app_Settings.CONTEST = v != 0; break;
    default: break;
    }
}

void StoreNumberByName(const char* key, int32_t v) {
    if (const CfgKey* k = FindKey(key)) StoreNumber(*k, v);
}

void StoreText(const CfgKey& k, const char* value) {
    CopyText(FieldText(k), k.size, value);
    if (k.kind == K_TEXT_UPPER) UpperAscii(FieldText(k));
}

// As atol reads it, but a number beyond the 32-bit range takes the nearest
// end of it (then the key's own limits) rather than wrapping.
int32_t ReadNumber(const char* text) { return text_ToInt32(text); }

// One KRX.INI line of a known key.
void ReadKeyLine(const CfgKey& k, char** words, int n) {
    if (k.kind == K_MISSION) {
        if (n != 3) return;
        int32_t index = ReadNumber(words[1]);
        if (index < 0 || index >= CFG_MISSIONS) return;
        app_Settings.HIGHEST_COMPLETED_MISSION[index] = (uint8_t)Clamp(ReadNumber(words[2]), 0, 255);
        return;
    }
    if (n != 2) return;
    const char* value = words[1];
    switch (k.kind) {
    case K_TEXT:
    case K_TEXT_UPPER: StoreText(k, value); break;
    case K_LAYOUT: {
        int32_t layout = inmap_JoystickLayoutByName(value);
        app_Settings.JOYSTICK_LAYOUT = Clamp(layout < 0 ? 0 : layout, 0, CFG_JOYSTICK_LAYOUTS - 1);
        break;
    }
    case K_GUID: ejoy_GuidFromText(value, app_Settings.JOYSTICK_INSTANCE); break;
    case K_LOCALE:
        CopyText(app_Settings.LOCALE, sizeof app_Settings.LOCALE, value);
        ApplyLocale();
        break;
    default: StoreNumber(k, ReadNumber(value)); break;
    }
}

const char* IniName(void) { return app_Record.iniName; }

}  // namespace

const char* app_LocaleName = g_localeName;

// ---- APP.INI ------------------------------------------------------------------

void app_IniDefaults(void) { memset(&app_Ini, 0, sizeof app_Ini); }

int32_t app_IniRead(void) {
    app_IniDefaults();
    g_appIniUnread = false;
    if (!plat_FileExists("APP.INI")) {
        app_IniWrite();
        return 0;
    }
    LineReader r("APP.INI");
    int32_t version = 0;
    for (int n; (n = r.next()) >= 0;)
        if (n >= 2 && text_EqualNoCase(r.words[0], "VERSION")) {
            version = ReadNumber(r.words[1]);
            break;
        }
    if (version <= 0 || !r.rewind()) {
        g_appIniUnread = true;
        return 0;
    }
    for (int n; (n = r.next()) >= 0;) {
        const char* key = r.words[0];
        if (n >= 2 && text_EqualNoCase(key, "SKIP_16BIT_CHECK")) {
            app_Ini.SKIP_16BIT_CHECK = ReadNumber(r.words[1]);
        } else if (n >= 2 && text_EqualNoCase(key, "SKIP_BAD3DFXDLLS_CHECK")) {
            app_Ini.SKIP_BAD3DFXDLLS_CHECK = ReadNumber(r.words[1]);
        } else if (n >= 3 && text_EqualNoCase(key, "CHAT")) {
            int32_t index = ReadNumber(r.words[1]);
            if (index < 0 || index >= APP_CHAT_MACROS || strlen(r.words[2]) >= APP_CHAT_MACRO_SIZE) continue;
            CopyText(app_Ini.chat[index], APP_CHAT_MACRO_SIZE, r.words[2]);
        }
    }
    return 0;
}

int32_t app_IniWrite(void) {
    if (!KeepUnread(&g_appIniUnread, "APP.INI")) return -1;
    LineWriter w("APP.INI");
    w.put(kBanner);
    w.put("// Tarvesk Application Init File");
    w.put(kBanner);
    w.put("");
    w.putf("VERSION %ld", 1L);
    w.put("");
    w.putf("SKIP_16BIT_CHECK %ld", (long)app_Ini.SKIP_16BIT_CHECK);
    w.putf("SKIP_BAD3DFXDLLS_CHECK %ld", (long)app_Ini.SKIP_BAD3DFXDLLS_CHECK);
    w.put("");
    for (int i = 0; i < APP_CHAT_MACROS; i++) {
        char macro[APP_CHAT_MACRO_SIZE];
        CopyText(macro, sizeof macro, app_Ini.chat[i]);
        w.putf("CHAT %ld \"%s\"", (long)i, macro);
    }
    return w.commit();
}

// ---- KRX.INI ------------------------------------------------------------------

void cfg_SettingsDefaults(void) {
    AppSettings& s = app_Settings;
    memset(&s, 0, sizeof s);
    s.GAME_FULLSCREEN = 1;
    s.GAME_RESOLUTION = 0;
    s.menuWindowed = 0;
    s.ENABLE_3D = 1;
    s.SFX_VOLUME = 255;
    s.AVIONICS_SOUND_CUES = 1;
    s.MUSIC_VOLUME = 128;
    s.MUSIC_PLAY = 1;
    s.AUX_VOICE_DIALOG = 1;
    s.DIALOG_VOLUME = 255;
    s.MEMORY_USAGE = 2;
    s.TEXTURE_DISTANCE = 26;
    s.JOYSTICK_ENABLE = 1;
    s.BLACKOUTS = s.AUTO_SHOOTLIST = s.AUTO_GEAR = s.UNBALANCED_LOADOUTS = s.FLAMEOUTS = s.FLATSPINS = 1;
    s.SMOOTH_COCKPIT_CAMERA = 1;
    s.AVIONIC_SOUND_VOLUME = 255;
    s.WEAPON_HUM_VOLUME = 255;
    s.feedbackOff = 0;
    s.BITDEPTH_SOFTWARE = 16;
    s.BITDEPTH_HARDWARE = 16;
    CopyText(s.HW3D_DLL_FILENAME, sizeof s.HW3D_DLL_FILENAME, "hw_pexl.dll");
    CopyText(s.PLAYER_NAME, sizeof s.PLAYER_NAME, app_Record.playerName);
    CopyText(s.PHONE_NUMBER, sizeof s.PHONE_NUMBER, "555-1212");
    s.PORT = 1;
    s.BAUD_RATE = 57600;
    s.FLOW_CONTROL = 4;
    s.CURRENT_PROVIDER = -1;
    s.DEATHMATCH_REGION = 7;
    s.DEATHMATCH_MAX_PLAYERS = 16;
    s.DEATHMATCH_KILLS_PER_ROUND = 10;
    s.DEATHMATCH_ROUNDS_PER_CHANGE = 3;
    s.RAW_REGION = 7;
    s.RAW_MAX_PLAYERS = 16;
    s.RAW_GAMES_PER_CHANGE = 1;
    CopyText(s.HOST_GAME_NAME, sizeof s.HOST_GAME_NAME, app_Record.gameName);
    s.DIRECT_SOUND = 1;
    s.keyYesUpper = 'Y', s.keyYesLower = 'y';
    s.keyNoUpper = 'N', s.keyNoLower = 'n';
    s.EKEY_INDEX_END_MISSION = 69;
    s.HUD_COLOR_NIGHT = 6;
    s.EASY_TARGET_CUE = 1;
    s.SHOW_THROTTLE = 1;
    CopyText(s.COUNTRY_CODE, sizeof s.COUNTRY_CODE, "US");
    s.deathmatchStores1 = 4;
    s.deathmatchStores2 = 2;
}

int32_t cfg_SettingsRead(void) {
    g_iniUnread = false;
    if (!plat_FileExists(IniName())) return -1;
    LineReader r(IniName());
    int32_t version = 0;
    for (int n; (n = r.next()) >= 0;)
        if (n == 2 && text_EqualNoCase(r.words[0], "VERSION")) {
            version = ReadNumber(r.words[1]);
            break;
        }
    if (version != 1 || !r.rewind()) {
        g_iniUnread = true;
        return -1;
    }
    for (int n; (n = r.next()) >= 0;)
        if (const CfgKey* k = FindKey(r.words[0])) ReadKeyLine(*k, r.words, n);
    return 0;
}

int32_t cfg_SettingsWrite(void) {
    const AppSettings& s = app_Settings;
    if (!KeepUnread(&g_iniUnread, IniName())) return -1;
    LineWriter w(IniName());
    w.put(kBanner);
    w.put("// Tarvesk Save Data File");
    w.put(kBanner);
    w.put("");
    w.putf("VERSION %ld", 1L);
    w.put("");
    bool first = true;
    for (const CfgKey& k : kKeys) {
        if (k.group) {
            if (!first) {
                w.put("");
                w.put("");
            }
            first = false;
            w.put(kGroupRule);
            w.putf("// %s", k.group);
            w.put(kGroupRule);
            w.put("");
        }
        const char* key = k.key;
        const char* text = reinterpret_cast<const char*>(&s) + k.offset;
        const int32_t* number = reinterpret_cast<const int32_t*>(text);
        char value[64];
        switch (k.kind) {
        case K_TEXT:
        case K_TEXT_UPPER:
        case K_LOCALE: {
            char copy[64];
            CopyText(copy, k.size < sizeof copy ? k.size : sizeof copy, text);
            w.putf("%s \"%s\"", key, copy);
            break;
        }
        case K_RESOLUTION:
            w.putf("%s %s", key, s.GAME_RESOLUTION == 1 ? "800" : s.GAME_RESOLUTION == 2 ? "1024" : "640");
            break;
        case K_MENU_FULLSCREEN: w.putf("%s %ld", key, (long)(s.menuWindowed == 0)); break;
        case K_FEEDBACK: w.putf("%s %ld", key, (long)(s.feedbackOff == 0)); break;
        case K_LAYOUT: {
            const char* name = inmap_JoystickLayoutName(s.JOYSTICK_LAYOUT);
            w.putf("%s \"%s\"", key, name ? name : "STANDARD");
            break;
        }
        case K_GUID:
            ejoy_GuidToText(s.JOYSTICK_INSTANCE, value, sizeof value);
            w.putf("%s \"%s\"", key, value);
            break;
        case K_KEY_YES: w.putf("%s %ld", key, (long)s.keyYesUpper); break;
        case K_KEY_NO: w.putf("%s %ld", key, (long)s.keyNoUpper); break;
        case K_MISSION:
            for (int i = 0; i < CFG_MISSIONS; i++)
                w.putf("%s %ld %ld", key, (long)i, (long)s.HIGHEST_COMPLETED_MISSION[i]);
            break;
        case K_BYTE_FLAG: w.putf("%s %ld", key, (long)s.CONTEST); break;
        default: w.putf("%s %ld", key, (long)*number); break;
        }
    }
    return w.commit();
}

// ---- KRX.SAV and KRX.CFG -----------------------------------------------------------

int32_t cfg_SaveFileRead(void) {
    int32_t size = 0;
    void* image = efile_LoadWhole(app_Record.savName, &size);
    if (!image) return -1;
    int32_t result = -1;
    LeReader r(image, size > 0 ? (size_t)size : 0);
    char magic[4] = {};
    r.bytes(magic, 4);
    uint32_t recordSize = r.u32();
    uint32_t version = r.u32();
    if (size == (int32_t)CFG_SAVE_FILE_SIZE && r.ok() && memcmp(magic, "SAVD", 4) == 0 &&
        recordSize == CFG_SAVE_FILE_SIZE && version == 14) {
        AppSettings& s = app_Settings;
        auto num = [&](const char* key) { StoreNumberByName(key, r.i32()); };
        auto text = [&](char* field, size_t fieldSize, size_t bytes, bool upper) {
            r.fixedString(field, fieldSize, bytes);
            if (upper) UpperAscii(field);
        };
        num("GAME_FULLSCREEN");
        int32_t mode = r.i32();
        s.GAME_RESOLUTION = mode >= 0 && mode <= 2 ? mode : 0;
        s.menuWindowed = r.i32() != 0;
        for (const char* key : {"ENABLE_3D", "SFX_VOLUME", "AVIONICS_SOUND_CUES", "MUSIC_VOLUME", "MUSIC_PLAY",
                                "AUX_VOICE_DIALOG", "DIALOG_VOLUME", "MEMORY_USAGE", "TEXTURE_DISTANCE",
                                "JOYSTICK_ENABLE"})
            num(key);
        s.JOYSTICK_LAYOUT = Clamp(r.i32(), 0, CFG_JOYSTICK_LAYOUTS - 1);
        for (const char* key : {"THROTTLE_ENABLE", "RUDDER_ENABLE", "STEER_WITH_RUDDER",
                                "TRIGGER_FIRES_CURRENT_WEAPON", "BLACKOUTS", "AUTO_SHOOTLIST", "AUTO_GEAR",
                                "UNBALANCED_LOADOUTS", "FLAMEOUTS", "FLATSPINS", "SMOOTH_COCKPIT_CAMERA",
                                "AVIONIC_SOUND_VOLUME", "WEAPON_HUM_VOLUME"})
            num(key);
        r.bytes(s.JOYSTICK_INSTANCE, 16);
        s.feedbackOff = r.i32() != 0;
        int32_t depth = r.i32();
        StoreNumberByName("BITDEPTH_SOFTWARE", depth == 0 ? 16 : depth);
        depth = r.i32();
        StoreNumberByName("BITDEPTH_HARDWARE", depth == 0 ? 16 : depth);
        char dll[28];
        r.fixedString(dll, sizeof dll, 28);
        // Any driver named there is the one driver library this program has.
        CopyText(s.HW3D_DLL_FILENAME, sizeof s.HW3D_DLL_FILENAME, dll[0] ? "hw_pexl.dll" : "");
        text(s.PLAYER_NAME, sizeof s.PLAYER_NAME, 22, false);
        text(s.SQUADRON_NAME, sizeof s.SQUADRON_NAME, 22, false);
        text(s.SQUADRON_PASSWORD, sizeof s.SQUADRON_PASSWORD, 12, true);
        text(s.IP_ADDRESS, sizeof s.IP_ADDRESS, 32, false);
        text(s.GAME_PASSWORD, sizeof s.GAME_PASSWORD, 12, true);
        text(s.PHONE_NUMBER, sizeof s.PHONE_NUMBER, 32, false);
        for (const char* key : {"PORT", "BAUD_RATE", "STOP_BITS", "PARITY", "FLOW_CONTROL", "CURRENT_PROVIDER",
                                "RAW_SIDE", "DEATHMATCH_REGION", "DEATHMATCH_TIMEOFDAY", "DEATHMATCH_MAX_PLAYERS"})
            num(key);
        r.skip(8);
        for (const char* key : {"DEATHMATCH_KILLS_PER_ROUND", "DEATHMATCH_ROUNDS_PER_CHANGE",
                                "DEATHMATCH_CHANGE_TYPE", "DEATHMATCH_SPIN_DEATHS", "DEATHMATCH_BLACKOUTS"})
            num(key);
        r.skip(8);
        for (const char* key : {"RAW_REGION", "RAW_TIMEOFDAY", "RAW_MAX_PLAYERS", "RAW_GAMES_PER_CHANGE",
                                "RAW_CHANGE_TYPE", "RAW_BLACKOUTS", "RAW_BOMBERS_GET_MISSILES"})
            num(key);
        r.skip(8);
        num("RAW_GPS_ENABLED");
        num("RAW_SIDE_SELECTION");
        text(s.HOST_GAME_NAME, sizeof s.HOST_GAME_NAME, 24, false);
        text(s.HOST_GAME_PASSWORD, sizeof s.HOST_GAME_PASSWORD, 12, true);
        num("HOST_SERVER_TYPE");
        num("HOST_GAME_TYPE");
        text(s.HOST_COUNTRY_NAME, sizeof s.HOST_COUNTRY_NAME, 16, false);
        r.skip(8);
        num("HUD_COLOR");
        r.bytes(s.HIGHEST_COMPLETED_MISSION, CFG_MISSIONS);
        for (const char* key : {"LOADOUT_TYPE", "CONNECT_AGENT", "HUD_COLOR_NIGHT", "AVIONICS_OVERLAY",
                                "EASY_TARGET_CUE", "SHOW_THROTTLE", "SHOW_VELOCITY", "SHOW_FUEL", "SHOW_FUEL_USAGE",
                                "SHOW_ALTITUDE", "SHOW_AOA", "SHOW_MACH"})
            num(key);
        s.CONTEST = r.u8() != 0;
        r.skip(3);
        num("SHOW_GROUNDSPEED");
        text(s.COUNTRY_CODE, sizeof s.COUNTRY_CODE, 32, false);
        if (!s.COUNTRY_CODE[0]) CopyText(s.COUNTRY_CODE, sizeof s.COUNTRY_CODE, "US");
        // The older file knows no card number and no side passwords.
        s.CARD_NUMBER = 0;
        s.RAW_SIDE1_PASSWORD[0] = 0;
        s.RAW_SIDE2_PASSWORD[0] = 0;
        result = r.ok() ? 0 : -1;
    }
    mem_GlobalFreeNamed(image);
    return result;
}

int32_t cfg_ConfigFileRead(void) {
    AppSettings& s = app_Settings;
    int32_t result = -1;
    if (ini_Load(app_Record.cfgName)) {
        char value[64];
        int32_t number = 0;
        if (ini_SectionKeyGet("DISPLAY", "PAGE_FLIPPING", nullptr, 0, &number)) StoreNumberByName("PAGE_FLIP", number);
        if (ini_SectionKeyGet("CONNECTION", "BAUDRATE", nullptr, 0, &number)) StoreNumberByName("BAUD_RATE", number);
        if (ini_SectionKeyGet("AUDIO", "DIRECTSOUND", nullptr, 0, &number)) StoreNumberByName("DIRECT_SOUND", number);
        if (ini_SectionKeyGet("LOCALE", "LANGUAGE", value, sizeof value, &number))
            CopyText(s.LOCALE, sizeof s.LOCALE, value);
        ini_Unload();
        result = 0;
    }
    ApplyLocale();
    return result;
}

void cfg_SettingsApply(void) {
    AppSettings& s = app_Settings;
    if (app_StartupOptions & APP_OPTION_WINDOW) {
        s.GAME_FULLSCREEN = 0;
        s.menuWindowed = 1;
    }
    if (_EJOY_INFO* info = ejoy_InfoFindByGuid(s.JOYSTICK_INSTANCE))
        ejoy_DeviceSelect(info);
    else if (ejoy_ActiveDevice)
        memcpy(s.JOYSTICK_INSTANCE, ejoy_ActiveDevice->instanceGuid, 16);
    else
        memset(s.JOYSTICK_INSTANCE, 0, 16);
}

int32_t cfg_SettingsLoad(void) {
    cfg_SettingsDefaults();
    bool existed = plat_FileExists(IniName()) != 0;
    if (!existed) {
        cfg_SaveFileRead();
        cfg_ConfigFileRead();
    }
    cfg_SettingsRead();
    cfg_SettingsApply();
    if (!existed) cfg_SettingsWrite();
    return 0;
}
