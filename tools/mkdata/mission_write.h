// The mission writer of the builder (layout in docs/formats.md) and the
// sample mission "F1M1.ORF" on the sample terrain.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "mkdata.h"
#include "world/orf.h"

constexpr const char* MK_SAMPLE_MISSION = "F1M1.ORF";
constexpr const char* MK_SAMPLE_REFERENCE = "F1M1.REF";
// The AI aircraft's model: its index in the sample mission's model list.
constexpr uint16_t MK_MODEL_JET = 4;

struct MkMessage {
    std::string name;    // 32 bytes
    std::string sample;  // 16 bytes: the speech sample
};

struct MkMission {
    uint32_t magic = ORF_MAGIC;
    uint32_t version = ORF_VERSION;
    uint8_t region = 0;     // 0-based
    uint8_t timeOfDay = 1;  // 1-based, as stored
    std::string textName;   // empty: the text table follows the arrays
    std::string depthName, waterName, shadowName, tilesName, referenceName, skyName;
    std::vector<uint8_t> array1;  // records of 8 bytes, as stored
    std::vector<uint8_t> array2;  // records of 8 bytes
    std::vector<std::string> models;
    std::vector<OrfPlaced> placed;
    std::vector<std::vector<uint8_t>> array5;  // groups of 12-byte items, as stored
    std::vector<std::vector<OrfStartItem>> starts;  // by side
    std::vector<std::vector<OrfWaypoint>> routes;   // AI routes: the groups of array 6 after the sides
    std::vector<OrfTrigger> triggers;
    std::vector<uint32_t> counters;
    std::vector<MkMessage> messages;
    bool triggerBlock = false;
    int32_t blockValue = 0;
    std::vector<std::array<int32_t, 9>> nodes;
    std::vector<std::array<int32_t, 7>> actions;
    std::vector<std::array<int32_t, 3>> arguments;
    std::array<int32_t, 3> closingValues = {0, 0, 0};
    std::vector<uint8_t> text;  // the text table image (embedded or not)
    uint8_t options = 0;        // header byte 132; bit 0: always listed
};

// The file image.
std::vector<uint8_t> mkdata_MissionBuild(const MkMission& mission);
// The region-1 names of the sample terrain, and the reference file given.
void mkdata_MissionTerrainNames(MkMission* mission, const std::string& reference);
// The sample mission: 16 player starts on the runway (two sides), statics,
// AI units, a trigger that plays a message when a player enters, the
// compiled action of that trigger, and its text table inside the file.
MkMission mkdata_SampleMission(void);
// The sample mission's text table with the given goals as "MISS 1 GOALS".
std::vector<MkTableGroup> mkdata_SampleMissionText(const std::vector<MkTableItem>& goals);
// The sample mission's AI units, steps and routes (mission_ai.cpp).
void mkdata_MissionAddAi(MkMission* mission);
int mkdata_WriteMissions(const std::string& dir);
// How the mission map shows the sample mission's objects (map_write.cpp).
void mkdata_MissionMapParts(MkMission* mission);

// The sample level's other files (level_write.cpp): the fixed effect
// models, "sun.pak", "moon.pak", the sample mission's models and "B2.PAK";
// ART.CFG's text; the multiplayer maps "QJDM01" and "QJCTF01" (the sample
// mission on the sample terrain with their own reference files). Models,
// "HTN_26.PCX" and "VCURSOR1.PCX".."VCURSOR3.PCX" go into KRX.PFF.
struct MkModelFile;
std::vector<MkModelFile> mkdata_LevelModelFiles(void);
std::string mkdata_ArtCfgText(void);
MkMission mkdata_MultiplayerMission(bool deathmatch);
int mkdata_WriteLevel(const std::string& dir);
