// The campaign loadout file: per pilot slot, the store counts of each of the
// 64 campaigns ("%s%02d.cmp", magic "PLT1"; layout in docs/formats.md).
#pragma once
#include <cstdint>
#include <vector>

constexpr int32_t MNU_CAMP_LISTS = 64;
constexpr uint32_t MNU_CAMP_MAGIC = 0x31544C50;  // "PLT1"

struct MnuCampPair {
    uint16_t key;
    uint16_t count;
    uint32_t word;  // kept 0
};
struct MnuCampList {
    int32_t count;
    MnuCampPair* pairs;  // "mnuCamp OrfLoadout"
};
struct MnuCampBlock {
    uint32_t magic;
    MnuCampList lists[MNU_CAMP_LISTS];
};
extern MnuCampBlock mnu_CampLoadout;

// 1 when the lists are ready; 0 for a bad or short file (kept beside as
// ".bad", the lists left empty).
int32_t mnu_CampLoadoutLoad(int32_t slot);
// 1, or 0 when the file could not be written (the old file is kept).
int32_t mnu_CampLoadoutSave(int32_t slot);
void mnu_CampLoadoutDelete(int32_t slot);
void mnu_CampLoadoutFree(void);
void mnu_CampLoadoutSet(void* list, int32_t storeKey, int32_t count);
void mnu_CampLoadoutFromMission(void* list, const char* missionFile);
// The file's image, and the lists from one (1, or 0 when damaged).
std::vector<uint8_t> mnu_CampLoadoutImage(void);
int32_t mnu_CampLoadoutParse(const uint8_t* data, size_t size);

// Slot files of the front end. mnu_FileRead: 1 read (at most maxSize
// bytes), 0 no such file, -1 unreadable or too large. mnu_FileSetAside
// reports a damaged file and renames it to NAME.bad. mnu_FileSaveReplace
// writes NAME.tmp and renames it over NAME: 1, or 0 with the old file kept.
int32_t mnu_FileRead(const char* name, std::vector<uint8_t>* image, size_t maxSize);
void mnu_FileSetAside(const char* name, const char* what);
int32_t mnu_FileSaveReplace(const char* name, const std::vector<uint8_t>& image);
