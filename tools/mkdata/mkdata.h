// The sample-data builder: one writer per data format, each adding its files
// to the data set in the output folder.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Writes `size` bytes to DIR/name, creating DIR. 0 on success; prints the
// reason and returns -1 on failure.
int mkdata_WriteFile(const std::string& dir, const std::string& name, const void* data, size_t size);
int mkdata_WriteFile(const std::string& dir, const std::string& name, const std::vector<uint8_t>& bytes);
int mkdata_WriteText(const std::string& dir, const std::string& name, const std::string& text);

// PFF archives (pff_write.cpp). Member names are at most 15 characters.
struct MkPffMember {
    std::string name;
    std::vector<uint8_t> data;
    bool scrambled = false; // stored with the member-data scramble
};
// The archive image; empty (with a message) when a name is too long.
std::vector<uint8_t> mkdata_PffBuild(const std::vector<MkPffMember>& members);
int mkdata_PffWrite(const std::string& dir, const std::string& name, const std::vector<MkPffMember>& members);
// Members of the data set's archives ("KRX.PFF", "COMMON.PFF", "UPDATED.PFF"),
// collected by the writers and written by mkdata_WriteArchives, which runs
// last. A later member of the same name replaces the earlier one.
void mkdata_PffAdd(const std::string& archive, const std::string& name, std::vector<uint8_t> data,
                   bool scrambled = false);
int mkdata_WriteArchives(const std::string& dir);
// The visual effects' data (fx_write.cpp): the ejection models and the
// particle density map; and the frame count byte of a fixed effect model.
int mkdata_WriteEffects(const std::string& dir);
void mkdata_EffectFramesPatch(const std::string& file, std::vector<uint8_t>* pak);

// Indexed data files (idf_write.cpp). Entries are numbered in group order.
struct MkTableItem {
    std::string name;
    std::string text;
    uint32_t word1 = 0; // the number stored with the item (version items)
    uint32_t word2 = 0;
    uint32_t word3 = 0;
};
struct MkTableGroup {
    std::string name;
    std::vector<MkTableItem> items;
};
constexpr uint32_t MK_TABLE_MAGIC = 0x54585452; // "RTXT"
std::vector<uint8_t> mkdata_TableBuild(const std::vector<MkTableGroup>& groups, uint32_t word0 = MK_TABLE_MAGIC,
                                       uint32_t word8 = 0);
int mkdata_TableWrite(const std::string& dir, const std::string& name, const std::vector<MkTableGroup>& groups);

// The application string file "APPSTR.BIN" (appstr_write.cpp).
int mkdata_WriteAppStrings(const std::string& dir);

// "censor.txt" beside the program.
int mkdata_WriteCensorList(const std::string& dir);

// PCX and BMP images (pcx_write.cpp). PCX files are written by the program's
// own writer; mkdata_PcxBuild returns the file's bytes (written through a
// scratch file in scratchDir), empty on failure.
int mkdata_PcxWrite(const std::string& dir, const std::string& name, int32_t width, int32_t height,
                    const uint8_t* pixels, const uint8_t* palette);
std::vector<uint8_t> mkdata_PcxBuild(const std::string& scratchDir, int32_t width, int32_t height,
                                     const uint8_t* pixels, const uint8_t* palette);
// The sky's cloud deck and star images in the archive (sky_write.cpp).
int mkdata_WriteSkyImages(const std::string& dir);
// rgb: width x 3 bytes a row, top row first.
int mkdata_BmpWrite24(const std::string& dir, const std::string& name, int32_t width, int32_t height,
                      const uint8_t* rgb);
int mkdata_BmpWrite8(const std::string& dir, const std::string& name, int32_t width, int32_t height,
                     const uint8_t* pixels, const uint8_t* palette);

// The game palette (palette_write.cpp; layout in docs/formats.md): writes
// "genpak.pcx", its remap companions "genpak.CR1" and "genpak.CR2", and the
// start picture "INIT.BMP". Art of other writers is drawn in this palette.
void mkdata_GamePalette(uint8_t* rgb768);
// Nearest entry 1-255 (entry 0 is transparent).
int mkdata_PaletteNearest(const uint8_t* rgb768, int red, int green, int blue);
// A remap file whose buckets cover every entry 1-255.
std::vector<uint8_t> mkdata_RemapFileBuild(const uint8_t* rgb768);
int mkdata_WritePalettes(const std::string& dir);

// APP.INI and the version-checked data files of the start-up
// (startup_data.cpp).
int mkdata_WriteStartupData(const std::string& dir);

// The input-map text resource "INPUTMAP.BIN" (inputmap_write.cpp), added to
// COMMON.PFF.
std::vector<uint8_t> mkdata_InputMapBuild(void);
int mkdata_WriteInputMap(const std::string& dir);

// The bitmap fonts (font_write.cpp; layout in docs/formats.md): the band
// grid of one font, and the data set's fonts added to KRX.PFF.
std::vector<uint8_t> mkdata_FontImage(int32_t cellHeight, bool bold, int32_t* width, int32_t* height);
int mkdata_WriteFonts(const std::string& dir);

// WAVE samples (wave_write.cpp; the accepted form in docs/formats.md): the
// canonical 44-byte header, PCM, one channel. Frames are given as 16-bit
// values; 8-bit files store (value >> 8) + 128.
std::vector<uint8_t> mkdata_WaveBuild(int32_t bits, uint32_t rate, const std::vector<int16_t>& frames);
// A sine tone of `hz` for `ms` milliseconds at `amplitude` (of 32767), with
// short fades at both ends.
std::vector<int16_t> mkdata_WaveTone(uint32_t rate, double hz, int32_t ms, int32_t amplitude);
// The data set's samples, on disk: S08_11K.WAV .. S16_44K.WAV (each depth
// at 11025, 22050 and 44100 Hz), ENGINE.WAV (a loop) and BOOM.WAV.
int mkdata_WriteSounds(const std::string& dir);

// Streamed music and the music-logic script (music_write.cpp; layouts and
// the assembler's syntax in docs/formats.md).
struct MkSbfEntry {
    std::string name;              // at most 15 characters kept
    uint32_t blockSize = 4096;     // bytes a block, its 8-byte header included
    uint32_t format = 0;           // the blocks' format word (gain shifts)
    std::vector<uint8_t> frames;   // left and right unsigned 8-bit, interleaved
};
std::vector<uint8_t> mkdata_SbfBuild(const std::vector<MkSbfEntry>& entries);
// Assembles a script source into an SCR0 image; 0, or -1 with the reason
// ("line N: ...") in *error.
int mkdata_MusicAssemble(const std::string& source, std::vector<uint8_t>* image, std::string* error);
// The data set's script (from the source kept beside the builder) and
// entries; "KRXMUSIC.BIN" and "KRXMUSIC.SBF" on disk.
std::vector<uint8_t> mkdata_MusicScriptBuild(void);
std::vector<MkSbfEntry> mkdata_MusicEntries(void);
int mkdata_WriteMusic(const std::string& dir);
// Sound-trigger files (sndtrig_write.cpp; layout in docs/formats.md). A
// member names its sound by index; layers and members beyond the file's
// limits (9 and 8) make the build fail (empty image).
struct MkSndSound {
    std::string name;           // at most 23 characters
    std::vector<uint8_t> wave;  // the WAVE image; empty: size 0
    uint8_t volume = 0;         // 0 counts as 255
    uint8_t preload = 0;
};
struct MkSndTrigger {
    uint16_t type = 0, subtype = 0, id = 0;
    bool isSet = false;
    uint16_t index = 0;
};
struct MkSndMember {
    uint32_t sound = 0;
    int32_t pitchBase = 0x10000;
    uint32_t pitchSpread = 0;
    uint32_t volume = 255;
    uint32_t volumeCap = 255;
};
struct MkSndLayer {
    uint32_t range = 0;
    uint32_t flags = 0;
    uint16_t next = 0;
    std::vector<MkSndMember> members;
};
struct MkSndSet {
    int32_t pitchBase = 0x10000;
    uint32_t pitchSpread = 0;
    uint32_t flags = 0;
    std::vector<MkSndLayer> layers;
};
struct MkSndTrig {
    std::vector<MkSndSound> sounds;
    std::vector<MkSndTrigger> triggers;
    std::vector<MkSndSet> sets;
};
std::vector<uint8_t> mkdata_SndTrigBuild(const MkSndTrig& table);
// The menu's sound table: sounds "CLICK", "HOVER", "TRANSITION_IN",
// "TRANSITION_OUT" and "TYPING" (a sequential set of three key clicks), each
// an event (MK_MENU_SOUND_TYPE, 0, MK_MENU_SOUND_*).
constexpr const char* MK_MENU_SOUND_FILE = "KRXMENU.PWF";
constexpr uint16_t MK_MENU_SOUND_TYPE = 1;
constexpr uint16_t MK_MENU_SOUND_CLICK = 1;
constexpr uint16_t MK_MENU_SOUND_HOVER = 2;
constexpr uint16_t MK_MENU_SOUND_TRANSITION_IN = 3;
constexpr uint16_t MK_MENU_SOUND_TRANSITION_OUT = 4;
constexpr uint16_t MK_MENU_SOUND_TYPING = 5;
MkSndTrig mkdata_MenuSoundTable(void);
// The level's sound table (the product's "SKARVEL.PWF"): engine sets with a
// cockpit and an outside layer, cockpit cues with a layer for each voice
// variant, explosions and the engine loop "ENGINE" for positional sources.
constexpr const char* MK_LEVEL_SOUND_FILE = "SKARVEL.PWF";
MkSndTrig mkdata_LevelSoundTable(void);
// Both tables, and the radio messages MSGE01.WAV, MSGR01.WAV, MSGE02.WAV and
// MSGR02.WAV (the 'E' and 'R' voice variants).
int mkdata_WriteSoundTriggers(const std::string& dir);
// SZDD compression (szdd_write.cpp): the file image of `data`, greedy LZSS
// over the 4096-byte window of blanks.
std::vector<uint8_t> mkdata_SzddBuild(const std::vector<uint8_t>& data);
// The update wizard's files (update_write.cpp): KRX.WIZ, its configuration
// KRXUPD.CFG, the resource utility's source list KRXUPD.SRC, the files the
// update installs, and the resource utility `krxres` copied from beside the
// builder.
int mkdata_WriteUpdate(const std::string& dir);
// The menu script "KRX.MNU" (mnu_write.cpp; layout in docs/formats.md).
// Each section holds the values of its key lines, written in order; the
// RESOURCE and PWF lines come first in their sections when set.
struct MkMenuScript {
    std::string resource;               // STRINGS: RESOURCE
    std::vector<std::string> strings;   // STRING: key,text
    std::vector<std::string> images;    // IMAGE
    std::string pwf;                    // SOUNDS: PWF
    std::vector<std::string> sounds;    // SOUND
    std::vector<std::string> soundEvents;
    std::vector<std::string> rgbs;
    std::vector<std::string> fonts;
    std::vector<std::string> cursors;
    std::vector<std::string> windows;
    std::vector<std::string> buttons;
    std::vector<std::string> entries;
    std::vector<std::string> scrolls;
    std::vector<std::string> texts;
    std::vector<std::string> imageAreas;
};
// The script's text, CR LF line ends.
std::string mkdata_MenuScriptBuild(const MkMenuScript& script);
// A SOUNDEVENT value: volume 255 on any voice, event (type, 0, id).
std::string mkdata_MenuSoundEvent(const std::string& name, uint16_t type, uint16_t id);
// The data set's script: the resources every screen uses and the main
// screen's window and buttons; screens add their own windows and widgets.
MkMenuScript mkdata_MenuScript(void);
// The credits file "KRXCRE.TXT" (mnu_write.cpp; layout in docs/formats.md):
// the GLOBAL keys with their numbers, in order, and the CREDIT values
// ("text, font, flags").
struct MkCredits {
    std::vector<std::pair<std::string, int32_t>> global;
    std::vector<std::string> lines;
};
std::string mkdata_CreditsBuild(const MkCredits& credits);
MkCredits mkdata_Credits(void);
// The menu's texts: the first items of the menu data file "KRXMENU.BIN",
// which the script names as its RESOURCE (the file keeps its version item).
struct MkMenuText {
    const char* name;
    const char* text;
};
std::vector<MkMenuText> mkdata_MenuTexts(void);
// Items of the game data file QJGAME.BIN that carry a text.
struct MkGameText {
    uint32_t item;
    const char* name;
    const char* text;
};
// The flight status line's pieces and formats (items 0x35E to 0x374).
std::vector<MkGameText> mkdata_FlightTexts(void);
// The HUD's labels, mode and warning lines (items 0..8, 419..449, 858..861).
std::vector<MkGameText> mkdata_HudTexts(void);
// The MFD page titles (items 0x346 to 0x358).
std::vector<MkGameText> mkdata_MfdTexts(void);
// The MFD's range line and the bezel labels that are no page title (items
// 504, 0x34A, 0x34B, 0x351, 0x359).
std::vector<MkGameText> mkdata_MfdLabelTexts(void);
// The MFD systems and stores pages' texts (items 498, 500, 735 to 761).
std::vector<MkGameText> mkdata_MfdPageTexts(void);
// The in-flight command menus' texts (items 474 and 678 to 689).
std::vector<MkGameText> mkdata_CommandMenuTexts(void);
// The information pages' texts (items 20..26, 475..483, 488, 489, 690..734,
// 764..780), and the numbers of the debriefing's column items.
std::vector<MkGameText> mkdata_PageTexts(void);
void mkdata_PageColumnsSet(MkTableGroup* group);
// The sample mission's goals (group "MISS 1 GOALS"): one of each list, and
// goals behind mission-counter conditions.
std::vector<MkTableItem> mkdata_SampleGoals(void);
std::vector<uint8_t> mkdata_MenuDataBuild(void);
// Menu pictures, 8-bit pixels in the palette given: a strip of `frames`
// framed boxes of w x h stacked vertically (the button states normal, hover,
// pressed, disabled), a 16 x 16 pointer in `frames` frames, a scroll thumb
// and a strip of square scroll arrows.
std::vector<uint8_t> mkdata_ButtonStrip(const uint8_t* palette, int32_t w, int32_t h, int32_t frames);
std::vector<uint8_t> mkdata_CursorFrames(const uint8_t* palette, int32_t frames, bool hand);
std::vector<uint8_t> mkdata_ScrollThumb(const uint8_t* palette, int32_t w, int32_t h);
std::vector<uint8_t> mkdata_ArrowStrip(const uint8_t* palette, int32_t size, int32_t frames, bool down);
// The options screen's part of the script and of the menu texts, and its
// pictures (option_write.cpp).
void mkdata_OptionScript(MkMenuScript& script);
void mkdata_OptionTexts(std::vector<MkMenuText>& texts);
int mkdata_WriteOptionArt(const std::string& dir, const uint8_t* palette);
// KRX.MNU with the menu fonts, pictures and cursors it names (KRXMENU.BIN
// goes to KRX.PFF with the start-up data, the sound table comes from the
// sound-trigger writer).
int mkdata_WriteMenuScript(const std::string& dir);

// The briefing, teletype, loading and loadout screens (flight_screens_write.cpp):
// their widgets, texts, region maps and teletype pages.
void mkdata_FlightScreensScript(MkMenuScript& script);
// The multiplayer, host and launch screens (multi_write.cpp): their widgets,
// their texts, the two texts the multiplayer screen reads by item number
// (placed last, once every screen has added its texts), and the
// deathmatch and capture-the-flag maps of regions 3 to 8.
void mkdata_MultiScript(MkMenuScript& script);
void mkdata_MultiTexts(std::vector<MkMenuText>& texts);
void mkdata_MultiTextsPlace(std::vector<MkMenuText>& texts);
int mkdata_WriteMultiMaps(const std::string& dir);
std::vector<MkMenuText> mkdata_FlightScreensTexts(void);
int mkdata_WriteFlightScreens(const std::string& dir);

// The mission map screen (map_write.cpp): its window, buttons and texts, the
// name words of its labels (game data items 177 on, where free), and the
// region pictures and icon strips.
void mkdata_MapScript(MkMenuScript& script);
void mkdata_MapTexts(std::vector<MkMenuText>& texts);
std::vector<MkGameText> mkdata_MapGameTexts(void);
int mkdata_WriteMapArt(const std::string& dir);

// The campaign, statistics, splash and contest screens (camp_screens_write.cpp):
// widgets and texts, the campaign strings "KRX_CC.BIN" (group CAMPAIGN:
// CC_CAMPn, CC_CAMPDESCn), the medal pictures MEDAL1..5.PCX and the first
// campaign's file. A contest picture: a PCX put through the inverse of the
// keyed byte transform with the given key.
void mkdata_CampScreensScript(MkMenuScript& script);
std::vector<MkMenuText> mkdata_CampScreensTexts(void);
std::vector<MkTableGroup> mkdata_CampaignStrings(void);
std::vector<uint8_t> mkdata_ContestPictureBuild(const std::string& scratchDir, int32_t width, int32_t height,
                                                const uint8_t* pixels, const uint8_t* palette, const char* key);
int mkdata_WriteCampScreens(const std::string& dir);

// Game data entries "QJGAME.BIN" carries for the game-type rules: the team
// names by colour (27 + colour, 27..64) and the announcements; item number
// to {item name, text}.
std::vector<MkGameText> mkdata_RulesGameTexts(void);
// The mission map's item name words (177 on) and the flight-end banner's
// lines (16 to 18) of "QJGAME.BIN" (mapname_texts.cpp).
std::vector<MkGameText> mkdata_MapNameTexts(void);
// "BANNER.ORF" (and its reference file): the sample mission, won as it
// starts (banner_mission.cpp).
int mkdata_WriteBannerMission(const std::string& dir);
// The dedicated server status page's items, region, time-of-day and game
// type names of "QJGAME.BIN".
std::vector<MkGameText> mkdata_ServerTexts(void);

// The cockpit gauges' images, masks and the panel file "KRXPANEL.VHB"
// (avionics_art.cpp).
int mkdata_WriteAvionicsArt(const std::string& dir);
std::vector<uint8_t> mkdata_PanelFileBuild(void);

// The console's and time compression's game data texts (item 377 and items
// 938..1019), and the scrambled engine message file "ENGINE.MSG" with its
// plain text (console_texts.cpp).
std::vector<MkGameText> mkdata_ConsoleTexts(void);
std::string mkdata_EngineMessagePlain(void);
int mkdata_WriteEngineMessage(const std::string& dir);
