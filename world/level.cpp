// Level loading.
#include "world/level.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "base/file.h"
#include "base/filetable.h"
#include "base/ini.h"
#include "base/math.h"
#include "base/mem.h"
#include "base/text.h"
#include "cockpit/avion.h"
#include "cockpit/tacmap.h"
#include "cockpit/vcursor.h"
#include "debug/console.h"
#include "display/dsurf.h"
#include "display/font.h"
#include "display/hw3d.h"
#include "display/otw.h"
#include "display/pal.h"
#include "display/rast.h"
#include "display/vid.h"
#include "net/client.h"
#include "platform/simlog.h"
#include "platform/timer.h"
#include "render/sky.h"
#include "shell/appstr.h"
#include "shell/fatal.h"
#include "shell/hw3dlist.h"
#include "shell/loadwin.h"
#include "shell/runner.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/wndproc.h"
#include "sim/plane.h"
#include "sim/weapon.h"
#include "sound/snd.h"
#include "world/gamemode.h"
#include "world/levelseq.h"
#include "render/fx.h"
#include "render/particle.h"
#include "world/objarray.h"
#include "world/orf.h"
#include "world/pak.h"
#include "world/terrain.h"
#include "world/terrain_draw.h"

GameModeFlags level_GameMode = {};
LevelMissionNames level_MissionNames = {};
char level_UserMission[256] = {};
int32_t level_Region = 0;
int32_t level_TimeOfDay = 0;
int32_t level_Night = 0;
int32_t level_TimeOfDayForced = -1;
int32_t level_MapIndex = 0;
int32_t level_LocaleOverride = 0;
_ORF* level_Mission = nullptr;
PALREF* level_Palref = nullptr;
int32_t level_Brighten[5] = {128, 128, 128, 128, 128};
uint32_t level_OwnerKey = 0;
LevelMarkers level_Markers = {};
LevelModelTable level_Models = {};
_PAK_HEADER* level_PlayerModel[3] = {};
const char* const* level_SinglePlayerModels = nullptr;
LevelColourTables level_Colours = {};
const uint8_t* level_ColourCurrent[LEVEL_COLOUR_KEYS] = {};
int32_t level_HazeDepth = 0x8000000;
int32_t level_HazeShift = 6;
uint32_t level_Grey239Value = 0;
uint32_t level_SpaceValue = 0;
int32_t level_MfdColour = 0;
uint8_t level_PaletteCopy[768] = {};
uint8_t* level_ShadeTable = nullptr;
LevelLists level_Lists = {};
uint8_t level_MissionOptions[LEVEL_MISSION_OPTIONS_SIZE] = {};
uint8_t level_MissionOptionsFrontEnd[LEVEL_MISSION_OPTIONS_SIZE] = {};
uint8_t level_SoundTriggerRecords[2][200] = {};
uint8_t level_FlagArea[76] = {};
uint32_t level_LoadTicks = 0;
int32_t level_Loading = 0;
BitmapFont* level_Fonts[LEVEL_FONTS] = {};
int32_t level_ServerPlayerLimits[3] = {};
int32_t level_ClientPlayerLimits[3] = {};
void* level_MenuTable = nullptr;
void* level_GameData = nullptr;

const char* level_GameText(uint32_t n) {
    if (!level_GameData) return nullptr;
    const FileTableEntry* e = file_TableEntryGet(static_cast<const FileTable*>(level_GameData), n);
    return e ? e->text : nullptr;
}
const char* level_PackedNames = nullptr;
uint32_t level_PackedNamesSize = 0;
uint8_t level_FlightState[LEVEL_FLIGHT_STATE_SIZE] = {};
LevelWaypointList level_WaypointList = {};

const char* const level_ColourKeyNames[LEVEL_COLOUR_KEYS] = {
    "r1_start", "r1_end", "r2_start", "r2_end", "r3_start", "r3_end", "r4_start",
    "r4_end", "cloud_start", "cloud_end", "haze", "smoke", "space",
};

namespace {

constexpr const char* kDefaultModel = "boo.pak";
constexpr const char* kLevelPalette = "genpak.pcx";
constexpr uint32_t kGameDataVersionItem = 1021;

const char* const kEffectModels[] = {
    "paper.pak", "husk1.pak", "husk2.pak", "husk3.pak", "husk4.pak", "flak.pak",   "ex1.pak",
    "ex2.pak",   "ex5.pak",   "ex4.pak",   "ex6.pak",   "debris.pak", "strail.pak", "fsmoke.pak",
    "chaff.pak", "flare.pak", "flames.pak", "splash1.pak", "splash3.pak", "splash2.pak",
};

const char* const kFontNames[5] = {"small640.pcx", "arial11n.pcx", "key13bna.pcx", "key16bna.pcx", "key11bna.pcx"};

// Colour slots the level palette refills: {red, green, blue, slot}, ended by
// a null slot.
const uint8_t kColourSlots[][4] = {
    {0, 0, 0, 1},     {255, 255, 255, 2}, {255, 0, 0, 3},     {0, 255, 0, 4},
    {0, 0, 255, 5},   {255, 255, 0, 6},   {128, 128, 128, 7}, {0, 128, 0, 8},
    {0, 255, 255, 9}, {0, 0, 0, 0},
};

// Whether the palette of the level was made by a loader (and so must be
// freed with it).
bool g_palrefsMade = false;
bool g_palrefsReset = false;

int32_t Clamp(int32_t v, int32_t lo, int32_t hi, int32_t otherwise) { return (v < lo || v > hi) ? otherwise : v; }

int32_t CurrentEntry(void) {
    int32_t r = Clamp(level_Region, 0, LEVEL_REGIONS - 1, 0);
    int32_t t = Clamp(level_TimeOfDay, 0, LEVEL_TIMES_OF_DAY - 1, 0);
    return r * LEVEL_TIMES_OF_DAY + t;
}

void* Marker(const char* tag) {
    void* m = mem_AllocEx(0, 4, tag);
    if (!m) app_FatalErrorBox("level", tag);
    return m;
}

void GameDataLoad(const char* loader) {
    const char* name = app_Record.gameDataName;
    FileTable* table = file_TableLoad(name);
    if (!table) app_FatalErrorBox(loader, name);
    FileTableEntry* e = file_TableEntryGet(table, kGameDataVersionItem);
    if (!e || !e->text || atoi(e->text) != 6) app_FatalErrorBoxB(loader, name);
    level_GameData = table;
}

void FontsLoad(bool dedicated) {
    static BitmapFont fonts[LEVEL_FONTS];
    for (int32_t i = 0; i < LEVEL_FONTS; i++) {
        fonts[i] = BitmapFont{};
        const char* name = i == 5 ? app_ProductRecord.defaultPcx : kFontNames[i];
        if (i == 0 && dedicated) name = "small320.pcx";
        int32_t flags = i == 5 ? (FONT_LOAD_SCAN | FONT_LOAD_GREY) : FONT_LOAD_SCAN;
        level_Fonts[i] = font_Load(name, &fonts[i], flags) == 0 ? &fonts[i] : nullptr;
    }
}

void LevelPaletteLoad(const char* loader) {
    level_Palref = pal_LoadPalref(kLevelPalette);
    if (!level_Palref) app_FatalErrorBox(loader, kLevelPalette);
    g_palrefsMade = true;
    pal_ApplyRemap(level_Palref, 1);
    pal_SelectMatcher(PAL_MATCH_FULL);
}

// The display mode of the level; only where a display was set up.
void DisplayModeSet(void) {
    if (!level_GameMode.display || !vid_State.modeSetDone || hw3d_Active) return;
    static const int32_t widths[3] = {640, 800, 1024};
    static const int32_t heights[3] = {480, 600, 768};
    int32_t mode = Clamp(app_Settings.GAME_RESOLUTION, 0, 2, 0);
    if (!level_GameMode.sharedProcess && level_GameMode.hosting) mode = 0;
    // The colour depth of the software display comes from the settings: 8
    // bits, else 16 (the world is drawn in 8 or 16 bits only).
    const int32_t bytes = app_Settings.BITDEPTH_SOFTWARE == 8 ? 1 : 2;
    // With hardware acceleration on and a usable card selected, the flight
    // is drawn on the card in 16 bits; a card that refuses the mode leaves
    // the software display.
    const bool card = app_Settings.ENABLE_3D && app_Hw3dUsable && hw3d_Loaded;
    const int32_t flags = OTW_MODE_WIDTH | OTW_MODE_HEIGHT | OTW_MODE_DEPTH | OTW_MODE_USE3D;
    bool set = false;
    if (otw_DisplayOpen && card) set = otw_SetDisplayMode(flags, widths[mode], heights[mode], 2, 0, 1) == 0;
    if (!set && (!otw_DisplayOpen || otw_SetDisplayMode(flags, widths[mode], heights[mode], bytes, 0, 0) != 0))
        vid_SetModeWithFallback(widths[mode], heights[mode]);
    plat_SimLog("display", "width=%d height=%d bits=%d card=%d", (int)otw_State.screen.width,
                (int)otw_State.screen.height, (int)otw_State.screen.bytesPerPixel * 8, hw3d_Active ? 1 : 0);
    // The rasteriser's pixel mode follows the depth.
    poly_SelectPixelMode(app_Record.mmxPresent);
}

void ListsMake(void) {
    level_Lists.sam = static_cast<ObjectRecord**>(mem_AllocEx(512 * sizeof(ObjectRecord*), 4, "SAM List"));
    level_Lists.bombTarget =
        static_cast<ObjectRecord**>(mem_AllocEx(512 * sizeof(ObjectRecord*), 4, "Level.bomb_target_list"));
    level_Lists.baseMarker =
        static_cast<ObjectRecord**>(mem_AllocEx(256 * sizeof(ObjectRecord*), 4, "Level.base_marker_list"));
    level_Lists.wildWeasel =
        static_cast<ObjectRecord**>(mem_AllocEx(512 * sizeof(ObjectRecord*), 4, "Level.wild_weasel_list"));
    level_Lists.lasedTarget =
        static_cast<ObjectRecord**>(mem_AllocEx(512 * sizeof(ObjectRecord*), 4, "Level.lased_target_list"));
    if (!level_Lists.sam || !level_Lists.bombTarget || !level_Lists.baseMarker || !level_Lists.wildWeasel ||
        !level_Lists.lasedTarget)
        app_FatalErrorBox("level_LoadServer", "Level lists");
    memset(level_Lists.sam, 0, 512 * sizeof(ObjectRecord*));
    memset(level_Lists.bombTarget, 0, 512 * sizeof(ObjectRecord*));
    memset(level_Lists.baseMarker, 0, 256 * sizeof(ObjectRecord*));
    memset(level_Lists.wildWeasel, 0, 512 * sizeof(ObjectRecord*));
    memset(level_Lists.lasedTarget, 0, 512 * sizeof(ObjectRecord*));
}

// Step 13: the level tables and the fixed models.
void LevelTablesBuild(bool forServer) {
    if (level_TimeOfDay < 0 || level_TimeOfDay > 4) level_TimeOfDay = 0;
    if (level_Region < 0 || level_Region > 9) level_Region = 0;
    level_Loading = 1;
    pak_TextureTableReset();
    depth_Init();
    level_Models.count = 0;
    weapon_LoadModels();
    LevelPakRef ref;
    for (const char* name : kEffectModels) {
        level_LoadPak(&ref, name);
        // The decoys' object types are the slots of their models.
        if (!strcmp(name, "flare.pak")) weapon_DecoyTypes[0] = ref.slot;
        if (!strcmp(name, "chaff.pak")) weapon_DecoyTypes[1] = ref.slot;
        fx_TypeFromModel(name, ref.slot);
    }
    if (level_GameMode.singlePlayer && level_SinglePlayerModels)
        for (const char* const* n = level_SinglePlayerModels; *n; n++) level_LoadPak(&ref, *n);
    level_LoadPak(&ref, level_TimeOfDay == 0 ? "sun.pak" : "moon.pak");
    if (!level_GameMode.singlePlayer) {
        if (level_Models.count > LEVEL_MULTIPLAYER_FIRST_MODEL)
            app_FatalErrorBox("level_LoadServer", "fixed models");
        level_Models.count = LEVEL_MULTIPLAYER_FIRST_MODEL;
    }
    sky_ColourSetSelect();
    if (level_GameMode.display && !level_Palref) {
        level_Palref = pal_LoadPalref(kLevelPalette);
        if (level_Palref) g_palrefsMade = true;
    }
    // The terrain's palette object, from the depth tiles' own palette.
    if (level_GameMode.display && !terrain_Palref && depth_Level.tiles) {
        uint8_t rgbx[1024] = {};
        for (int32_t n = 0; n < 256; n++) {
            rgbx[n * 4 + 0] = depth_Level.tilePalette[n * 3 + 2];
            rgbx[n * 4 + 1] = depth_Level.tilePalette[n * 3 + 1];
            rgbx[n * 4 + 2] = depth_Level.tilePalette[n * 3 + 0];
        }
        terrain_Palref = pal_CreatePalrefFromRgbx(rgbx);
        if (terrain_Palref) g_palrefsMade = true;
    }
    if (forServer && (level_GameMode.sharedProcess || !level_GameMode.hosting)) ListsMake();
    memset(level_FlagArea, 0, sizeof level_FlagArea);
    level_Loading = 0;
}

// Step 15: sky and fog colours.
void SkyAndFog(void) {
    if (!level_GameMode.display) return;
    level_HazeDepth = level_Colours.coolHaze ? 0x4000000 : 0x8000000;
    level_HazeShift = level_Colours.coolHaze ? 7 : 6;
    level_CurrentColoursSelect();
    sky_TextureLoad();
    level_ColourTablesBuild();
}

// The loading-status line, while the loading window is up.
void StatusShow(const char* text) {
    if (app_Loading.open) app_LoadingCaptionSet(text);
}

void ModelNameStore(int32_t slot, const char* name) { level_Models.name[slot] = name; }

// The next free slot of the table, or the fatal box.
int32_t NextSlot(const char* loader, const char* name) {
    if (level_Models.count < 0 || level_Models.count >= LEVEL_MODEL_SLOTS) app_FatalErrorBox(loader, name);
    return level_Models.count++;
}

// A colour of ART.CFG: "%s_rgb" (three numbers separated by commas or line
// ends), else "%s_red", "%s_green", "%s_blue".
bool ColourRead(const char* section, const char* colour, uint8_t* out) {
    char key[40];
    char value[128];
    snprintf(key, sizeof key, "%s_rgb", colour);
    if (ini_SectionKeyGet(section, key, value, sizeof value, nullptr)) {
        int32_t got[3] = {0, 0, 0};
        int32_t n = 0;
        const char* p = value;
        char line[128];
        for (;;) {
            while (n < 3 && *p) {
                while (*p == ' ' || *p == ',') p++;
                if (!*p) break;
                got[n++] = atoi(p);
                while (*p && *p != ',') p++;
            }
            if (n >= 3) break;
            if (!ini_LineNext(line, sizeof line)) break;
            if (line[0] == '[') break;
            p = line;
            if (!((*p >= '0' && *p <= '9') || *p == '-' || *p == ' ' || *p == ',')) break;
        }
        for (int32_t i = 0; i < 3; i++) out[i] = static_cast<uint8_t>(got[i]);
        return true;
    }
    static const char* const parts[3] = {"red", "green", "blue"};
    bool any = false;
    for (int32_t i = 0; i < 3; i++) {
        int32_t number = 0;
        snprintf(key, sizeof key, "%s_%s", colour, parts[i]);
        if (ini_SectionKeyGet(section, key, nullptr, 0, &number)) {
            out[i] = static_cast<uint8_t>(number);
            any = true;
        }
    }
    return any;
}

}  // namespace

bool level_NameIsPlain(const char* name, size_t field) {
    if (!name) return false;
    size_t n = strnlen(name, field);
    if (n == 0 || n >= field) return false;
    if (strstr(name, "..")) return false;
    for (size_t i = 0; i < n; i++)
        if (name[i] == '/' || name[i] == '\\' || name[i] == ':') return false;
    return true;
}

int32_t level_LoadPak(LevelPakRef* out, const char* name) {
    _PAK_HEADER* pak = pak_Load(name);
    if (!pak) app_FatalErrorBox("level_LoadPak", name);
    int32_t slot = NextSlot("level_LoadPak", name);
    if (out) {
        out->pak = pak;
        out->slot = static_cast<uint16_t>(slot);
    }
    level_Models.pak[slot] = pak;
    // The name text of the loaded-PAK node outlives the caller's.
    ModelNameStore(slot, nullptr);
    for (_PAK_ENTRY* e = pak_List.head; e; e = e->next)
        if (e->pak == pak) level_Models.name[slot] = e->name;
    return slot + 1;
}

void level_LoadPakInSlot(int32_t slot, const char* name) {
    if (slot < 0 || slot >= LEVEL_NUMBERED_SLOTS) {
        char text[256];
        snprintf(text, sizeof text, "Error! level_LoadPakInSlot (%ld, \"%s\")!", static_cast<long>(slot),
                 name ? name : "");
        app_FatalMessage(text);
    }
    _PAK_HEADER* pak = pak_Load(name);
    if (!pak) app_FatalErrorBox("level_LoadPakInSlot", name);
    level_Models.pak[slot] = pak;
    level_Models.name[slot] = nullptr;
}

void level_LoadModels(const uint8_t* names, int32_t count) {
    level_Models.firstLevelSlot = level_Models.count;
    char status[96];
    for (int32_t i = 0; i < count; i++) {
        const char* field = reinterpret_cast<const char*>(names + 16 * i);
        char name[17];
        memcpy(name, field, 16);
        name[16] = 0;
        int32_t slot = NextSlot("level_LoadModels", name);
        if (name[0] == 0) {
            level_Models.pak[slot] = nullptr;
        } else {
            snprintf(status, sizeof status, "level_LoadModels : Loading '%s'", name);
            StatusShow(status);
            _PAK_HEADER* pak = pak_Load(name);
            if (!pak) app_FatalErrorBox("level_LoadModels", name);
            level_Models.pak[slot] = pak;
        }
        // A 16-character field has no terminator: the slot keeps the loaded
        // node's copy of the name.
        level_Models.name[slot] = "";
        for (_PAK_ENTRY* e = pak_List.head; e && name[0]; e = e->next)
            if (e->pak == level_Models.pak[slot]) level_Models.name[slot] = e->name;
    }
    snprintf(status, sizeof status, "level_LoadModels : Models loaded successfully");
    StatusShow(status);
}

void level_LoadModelsPacked(const char* names, size_t size, int32_t count) {
    level_Models.firstLevelSlot = level_Models.count;
    size_t at = 0;
    for (int32_t i = 0; i < count; i++) {
        // Each name must end inside the buffer the server sent and be a plain
        // file name; anything else stops the list.
        if (!names || at >= size) app_FatalErrorBox("level_LoadModelsPacked", "model names");
        const char* name = names + at;
        size_t n = strnlen(name, size - at);
        if (n == size - at) app_FatalErrorBox("level_LoadModelsPacked", "model names");
        at += n + 1;
        int32_t slot = NextSlot("level_LoadModelsPacked", name);
        if (n == 0) {
            level_Models.pak[slot] = nullptr;
        } else {
            if (!level_NameIsPlain(name, n + 1)) app_FatalErrorBox("level_LoadModelsPacked", name);
            _PAK_HEADER* pak = pak_Load(name);
            if (!pak) app_FatalErrorBox("level_LoadModelsPacked", name);
            level_Models.pak[slot] = pak;
        }
        level_Models.name[slot] = name;
    }
}

void level_LoadPlayersPlane(const char* name) {
    _PAK_HEADER* pak = pak_Load(name);
    if (!pak) app_FatalErrorBox("level_LoadPlayersPlane", name);
    level_PlayerModel[0] = pak;
}

void level_CurrentColoursSelect(void) {
    int32_t entry = CurrentEntry();
    for (int32_t k = 0; k < LEVEL_COLOUR_KEYS; k++) level_ColourCurrent[k] = level_Colours.rgb[k][entry];
    for (int32_t i = 0; i < 5; i++) level_Brighten[i] = level_Colours.brighten[entry][i];
}

void level_ArtCfgRead(void) {
    char section[32];
    char value[128];
    int32_t number = 0;
    if (level_LocaleOverride && level_GameMode.hosting && level_GameMode.singlePlayer) {
        if (ini_SectionKeyGet("LOCALE", "MISSION", value, sizeof value, nullptr) && value[0] &&
            strlen(value) + 4 < LEVEL_NAME_SIZE) {
            text_CopyZ(level_MissionNames.mission, value, sizeof level_MissionNames.mission);
            text_CatZ(level_MissionNames.mission, ".orf", sizeof level_MissionNames.mission);
            text_CopyZ(level_MissionNames.reference, value, sizeof level_MissionNames.reference);
            text_CatZ(level_MissionNames.reference, ".ref", sizeof level_MissionNames.reference);
        }
        if (ini_SectionKeyGet("LOCALE", "REGION", nullptr, 0, &number))
            level_Region = Clamp(number - 1, 0, LEVEL_REGIONS - 1, 0);
        if (ini_SectionKeyGet("LOCALE", "TIMEOFDAY", nullptr, 0, &number))
            level_TimeOfDay = Clamp(number - 1, 0, LEVEL_TIMES_OF_DAY - 1, 0);
        if (ini_SectionKeyGet("LOCALE", "NIGHT", nullptr, 0, &number)) level_Night = number ? 1 : 0;
    }
    int32_t entry = CurrentEntry();
    snprintf(section, sizeof section, "REG%d_TOD%d", entry / 5 + 1, entry % 5 + 1);
    if (ini_SectionKeyGet(section, "cool_haze", nullptr, 0, &number)) level_Colours.coolHaze = number;
    for (int32_t r = 1; r <= LEVEL_REGIONS; r++) {
        for (int32_t t = 1; t <= LEVEL_TIMES_OF_DAY; t++) {
            snprintf(section, sizeof section, "REG%d_TOD%d", r, t);
            if (!ini_SectionFind(section)) continue;
            int32_t e = (r - 1) * LEVEL_TIMES_OF_DAY + (t - 1);
            for (int32_t k = 0; k < LEVEL_COLOUR_KEYS; k++) ColourRead(section, level_ColourKeyNames[k], level_Colours.rgb[k][e]);
            if (ini_SectionKeyGet(section, "brighten", value, sizeof value, nullptr)) {
                const char* p = value;
                for (int32_t i = 0; i < 5 && *p; i++) {
                    while (*p == ' ' || *p == ',') p++;
                    if (!*p) break;
                    long v = strtol(p, nullptr, 10);
                    level_Colours.brighten[e][i] = static_cast<int32_t>(((v % 256) + 256) % 256);
                    while (*p && *p != ',') p++;
                }
            }
        }
    }
}

void level_ParseArtCfg(void) {
    if (!ini_LoadKeepCase("ART.CFG")) app_FatalErrorBox("level_ParseArtCfg", "ART.CFG");
    level_ArtCfgRead();
    ini_Unload();
}

void level_PaletteApply(void) {
    PALREF* p = level_Palref;
    if (p) pal_ApplyRemap(p, 2);
    if (!level_GameMode.display) return;
    for (const auto& s : kColourSlots) {
        if (s[3] == 0) break;
        draw_SetColourSlot(s[3], s[0], s[1], s[2]);
    }
}

namespace {
// One channel into its mask of the display's pixel format.
uint32_t Channel(uint8_t value, uint32_t mask) {
    if (!mask) return 0;
    int32_t shift = __builtin_ctz(mask);
    int32_t width = __builtin_popcount(mask);
    uint32_t v = width >= 8 ? static_cast<uint32_t>(value) << (width - 8) : static_cast<uint32_t>(value) >> (8 - width);
    return (v << shift) & mask;
}
uint32_t Pack16(const uint8_t* rgb) {
    return (Channel(rgb[0], vid_State.redMask) | Channel(rgb[1], vid_State.greenMask) |
            Channel(rgb[2], vid_State.blueMask)) & 0xFFFF;
}
}  // namespace

void level_ColourTablesBuild(void) {
    // The palette objects' working palettes and their light and haze tables
    // follow the level's brighten record and the screen's depth.
    if (level_GameMode.display)
        pal_RebuildAllPalrefs(level_Brighten[0], level_Brighten[1], level_Brighten[2], level_Brighten[3],
                              level_Brighten[4]);
    const uint8_t* space = level_ColourCurrent[LEVEL_SPACE] ? level_ColourCurrent[LEVEL_SPACE] : level_Colours.rgb[LEVEL_SPACE][0];
    const uint8_t* cloudEnd =
        level_ColourCurrent[LEVEL_CLOUD_END] ? level_ColourCurrent[LEVEL_CLOUD_END] : level_Colours.rgb[LEVEL_CLOUD_END][0];
    if (vid_State.bitsPerPixel == 16) {
        uint32_t c = Pack16(cloudEnd);
        uint32_t s = Pack16(space);
        level_Grey239Value = c | c << 16;
        level_SpaceValue = s | s << 16;
    } else {
        uint32_t g = static_cast<uint32_t>(pal_NearestIndex(239, 239, 239)) & 0xFF;
        uint32_t s = static_cast<uint32_t>(pal_NearestIndex(space[0], space[1], space[2])) & 0xFF;
        level_Grey239Value = g * 0x01010101u;
        level_SpaceValue = s * 0x01010101u;
    }
    level_MfdColour = pal_NearestIndex(16, 48, 16);
    sky_ColourSetSelect();
    sky_RampsBuild();
    level_PaletteApply();
    avionkrx_InitGreenTable();
}

namespace {
// Whether fades run: 8-bit software display that was set up.
bool FadesOn(void) { return vid_State.modeSetDone && !hw3d_Active && vid_State.bitsPerPixel == 8; }

void FadeStep(const uint8_t* palette, int32_t level) {
    vid_SetFadedPalette(palette, level);
    app_PumpMessages();
    vid_Flip();
}

// Waits for the next game tick (a bounded number of idle waits: without a
// running timer the wait gives up).
void WaitOneTick(void) {
    uint32_t start = app_TickCount.load(std::memory_order_acquire);
    for (int32_t waits = 0; waits < 8 && app_TickCount.load(std::memory_order_acquire) == start; waits++) {
        if (app_PumpMessages()) return;
        plat_IdleWait();
    }
}
}  // namespace

void level_PaletteFadeOut(const uint8_t* palette, int32_t step) {
    if (!FadesOn() || !palette || step <= 0) return;
    for (int32_t level = 256; level >= 0; level -= step) {
        FadeStep(palette, level);
        WaitOneTick();
    }
    FadeStep(palette, 0);
}

void level_PaletteFadeIn(const uint8_t* palette, int32_t step) {
    if (!FadesOn() || !palette || step <= 0) return;
    for (int32_t level = 0; level <= 256; level += step) {
        FadeStep(palette, level);
        WaitOneTick();
    }
    FadeStep(palette, 256);
}

void level_WaitTicks(void) {
    snd_StopAllVoices();
    for (int32_t i = 0; i < 40; i++) WaitOneTick();
}

int32_t level_MultiplayerMapNames(uint32_t modeBits) {
    if (!(modeBits & 3)) return 0;
    bool deathmatch = (modeBits & 1) != 0;
    int32_t mode = deathmatch ? app_Settings.DEATHMATCH_CHANGE_TYPE : app_Settings.RAW_CHANGE_TYPE;
    int32_t map = Clamp(level_MapIndex, 0, 9, 0);
    int32_t tod = Clamp(level_TimeOfDay, 0, 4, 0);
    char ref[LEVEL_NAME_SIZE];
    char orf[LEVEL_NAME_SIZE];
    for (int32_t tries = 0; tries < 51; tries++) {
        switch (mode) {
        case 0: map = (map + 1) % 10; break;
        case 1:
            map = static_cast<int32_t>(math_Random() % 10);
            tod = static_cast<int32_t>(math_Random() % 5);
            break;
        case 2: tod = (tod + 1) % 5; break;
        case 3:
            tod = (tod + 1) % 5;
            if (tod == 0) map = (map + 1) % 10;
            break;
        default: map = (map + 1) % 10; break;
        }
        snprintf(ref, sizeof ref, deathmatch ? "QJDM%02d.REF" : "QJCTF%02d.REF", map + 1);
        snprintf(orf, sizeof orf, deathmatch ? "QJDM%02d.ORF" : "QJCTF%02d.ORF", map + 1);
        if (file_Exists(ref) && file_Exists(orf)) {
            level_MapIndex = map;
            level_TimeOfDay = tod;
            snprintf(level_MissionNames.mission, sizeof level_MissionNames.mission, "%s", orf);
            snprintf(level_MissionNames.reference, sizeof level_MissionNames.reference, "%s", ref);
            return 1;
        }
    }
    return 0;
}

void level_PalrefRelease(void) {
    if (g_palrefsMade) pal_FreeAllPalrefs();
    g_palrefsMade = false;
    level_Palref = nullptr;
    terrain_Palref = nullptr;
}

void level_PalrefReset(void) {
    if (g_palrefsReset) return;
    pal_ResetPalrefs();
    g_palrefsMade = false;
    level_Palref = nullptr;
    terrain_Palref = nullptr;
    g_palrefsReset = true;
}

void level_VcursorRelease(void) { vcursor_Free(); }

bool level_MapItem(uint32_t n, LevelMapItem* out) {
    if (!out) return false;
    *out = LevelMapItem{};
    if (!level_Mission || n >= level_Mission->array1.count) return false;
    const uint8_t* r = level_Mission->array1.records + n * ORF_ARRAY1_SIZE;
    out->kind = r[0];
    out->revealMode = r[1];
    out->index = static_cast<uint16_t>(r[2] | r[3] << 8);
    out->triggerFlag = static_cast<uint16_t>(r[4] | r[5] << 8);
    out->descKind = LEVEL_DESC_NONE;
    if (out->index < level_Mission->placed.count) {
        const uint8_t* d = level_Mission->placed.records + (size_t)out->index * ORF_PLACED_SIZE;
        out->descKind = d[34];
        out->nameIndex = d[35];
    }
    return true;
}

const void* level_ItemDescTable(void) { return level_ServerTables.placed; }

void level_LoadServer(void) {
    // Each flight's named blocks get an owner key of their own, so that its
    // stop frees them and nothing else (key 0 is every unowned block).
    level_OwnerKey = mem_GlobalOwnerKeyNew();
    con_LevelToggles();
    pak_UnloadAll();
    g_palrefsReset = false;
    level_PalrefReset();
    memset(level_SoundTriggerRecords, 0, sizeof level_SoundTriggerRecords);
    level_Markers.serverStart = Marker("Server level_mem_start");
    if (level_GameMode.sharedProcess) LevelPaletteLoad("level_LoadServer");
    {
        LevelPakRef ref;
        level_Models.count = 0;
        level_LoadPak(&ref, kDefaultModel);
        for (int32_t i = 0; i < LEVEL_NUMBERED_SLOTS; i++) {
            level_Models.pak[i] = ref.pak;
            level_Models.name[i] = level_Models.name[0];
        }
        for (int32_t i = LEVEL_NUMBERED_SLOTS; i < LEVEL_MODEL_SLOTS; i++) {
            level_Models.pak[i] = nullptr;
            level_Models.name[i] = nullptr;
        }
    }
    if (level_GameMode.quickMission)
        memset(level_MissionOptions, 0, sizeof level_MissionOptions);
    else
        memcpy(level_MissionOptions, level_MissionOptionsFrontEnd, sizeof level_MissionOptions);
    uint32_t startTicks = app_TickCount.load(std::memory_order_acquire);
    if (level_GameMode.singlePlayer) level_Region = -1;
    if (level_UserMission[0]) {
        // A name that does not fit the names block is refused, not cut.
        if (strlen(level_UserMission) >= LEVEL_NAME_SIZE) app_FatalErrorBox("level_LoadServer", level_UserMission);
        text_CopyZ(level_MissionNames.mission, level_UserMission, sizeof level_MissionNames.mission);
    }
    level_Mission = orf_Load(level_MissionNames.mission, ORF_FATAL);
    if (!level_Mission) app_FatalErrorBox("level_LoadServer", level_MissionNames.mission);
    for (uint32_t i = 0; i < level_Mission->placed.count; i++) {
        uint8_t* r = level_Mission->placed.records + i * ORF_PLACED_SIZE;
        if (r[ORF_PLACED_CATEGORY] == 1 && r[ORF_PLACED_DYNAMIC] == 0) r[ORF_PLACED_CATEGORY] = 16;
    }
    GameDataLoad("level_LoadServer");
    bool dedicated = !level_GameMode.sharedProcess;
    FontsLoad(dedicated);
    level_PaletteApply();
    DisplayModeSet();
    level_ParseArtCfg();
    LevelTablesBuild(true);
    if (level_Mission->models.count > 0)
        level_LoadModels(level_Mission->models.records, static_cast<int32_t>(level_Mission->models.count));
    else
        level_Models.firstLevelSlot = level_Models.count;
    SkyAndFog();
    level_ServerArraysCreate();
    level_ServerSetUp();
    tacmap_GoalsLoad();
    level_LoadTicks = app_TickCount.load(std::memory_order_acquire) - startTicks;
    if (level_GameMode.singlePlayer) {
        level_ServerPlayerLimits[0] = 2;
        level_ServerPlayerLimits[1] = 1;
        level_ServerPlayerLimits[2] = 1;
    } else {
        level_ServerPlayerLimits[0] = 16;
        level_ServerPlayerLimits[1] = 4;
        level_ServerPlayerLimits[2] = 15;
    }
    if (!level_GameMode.sharedProcess) {
        level_MenuTable = file_TableLoad(app_Record.menuDataName);
        if (!level_MenuTable) app_FatalErrorBox("level_LoadServer", app_Record.menuDataName);
    }
    level_Markers.serverEnd = Marker("Server level_mem_end");
}

void level_LoadClient(const uint8_t* levelRecord, size_t recordSize) {
    bool shared = level_GameMode.sharedProcess != 0;
    // A client beside the server uses the server's key.
    if (!shared || !level_OwnerKey) level_OwnerKey = mem_GlobalOwnerKeyNew();
    if (!shared) pak_UnloadAll();
    g_palrefsReset = false;
    if (!shared) level_PalrefReset();
    level_Markers.clientStart = Marker("Client level_mem_start");
    if (!shared) LevelPaletteLoad("level_LoadTerrain");
    Client_LevelSoundsLoad();
    if (!shared) {
        GameDataLoad("level_LoadClient");
        FontsLoad(false);
        level_PaletteApply();
    }
    DisplayModeSet();
    if (!shared) {
        level_ParseArtCfg();
        if (level_Region < 0 || level_Region > 9) level_Region = 0;
        level_LoadPak(nullptr, kDefaultModel);
        {
            _PAK_HEADER* boo = level_Models.pak[0];
            const char* booName = level_Models.name[0];
            for (int32_t i = 0; i < LEVEL_NUMBERED_SLOTS; i++) {
                level_Models.pak[i] = boo;
                level_Models.name[i] = booName;
            }
        }
        LevelTablesBuild(false);
        SkyAndFog();
        int32_t count = 0;
        if (levelRecord && recordSize >= LEVEL_RECORD_NAME_COUNT + 2)
            count = levelRecord[LEVEL_RECORD_NAME_COUNT] | levelRecord[LEVEL_RECORD_NAME_COUNT + 1] << 8;
        level_LoadModelsPacked(level_PackedNames, level_PackedNamesSize, count);
    }
    if (hw3d_Active) {
        // The card's fog: state 4, option (2, 1), then colour registers 0, 1,
        // 2 and 4 from the haze, cloud and smoke colours when it says yes.
        if (hw3d_Descriptor.setState) hw3d_Descriptor.setState(4);
        if (hw3d_Descriptor.option && hw3d_Descriptor.option(2, 1) && hw3d_Descriptor.colourRegister) {
            static const int32_t regs[4] = {0, 1, 2, 4};
            static const LevelColourKey keys[4] = {LEVEL_HAZE, LEVEL_CLOUD_START, LEVEL_CLOUD_END, LEVEL_SMOKE};
            for (int32_t i = 0; i < 4; i++) {
                const uint8_t* c = level_ColourCurrent[keys[i]];
                if (c) hw3d_Descriptor.colourRegister(regs[i], c[0], c[1], c[2]);
            }
        }
    }
    const char* cursors[3] = {"VCURSOR1.PCX", "VCURSOR2.PCX", "VCURSOR3.PCX"};
    if (level_GameMode.display && vcursor_Load(cursors) != 0) {
        char text[256];
        AppFormatArg args[3] = {cursors[0], cursors[1], cursors[2]};
        app_StringFormat(text, sizeof text, app_StringGet(9), args, 3);
        app_FatalMessage(text);
    }
    level_ClientArraysCreate();
    if (level_GameMode.display) render_ParticleFieldSetup();
    if (level_GameMode.singlePlayer) {
        level_ClientPlayerLimits[0] = 2;
        level_ClientPlayerLimits[1] = 1;
        level_ClientPlayerLimits[2] = 1;
    } else {
        level_ClientPlayerLimits[0] = 16;
        level_ClientPlayerLimits[1] = 4;
        level_ClientPlayerLimits[2] = 15;
    }
    const _PLANE_TYPE* type = plane_TypeFind(plane_CurrentDescriptor.name);
    if (!type || !type->exteriorModel[0]) {
        app_VariantWord = 0;
        level_LoadPlayersPlane(kDefaultModel);
    } else {
        char model[17];
        memcpy(model, type->exteriorModel, 16);
        model[16] = 0;
        level_LoadPlayersPlane(model);
    }
    if (level_Palref) {
        memcpy(level_PaletteCopy, pal_Current.palette, sizeof level_PaletteCopy);
        level_ShadeTable = level_GameMode.display ? pal_CreateShadeTable() : nullptr;
    }
    level_Markers.clientEnd = Marker("Client level_mem_end");
}
