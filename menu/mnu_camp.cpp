// The campaign loadout lists and their file.
#include <cstdio>
#include <cstring>

#include "base/efile.h"
#include "base/file.h"
#include "base/le.h"
#include "base/mem.h"
#include "menu/camp.h"
#include "menu/loadout.h"
#include "menu/quick.h"
#include "shell/startup.h"
#include "world/orf.h"

MnuCampBlock mnu_CampLoadout = {MNU_CAMP_MAGIC, {}};

namespace {

bool Quick(void) { return mnu_GameMode == 1; }

void FileName(int32_t slot, char* out, size_t size) {
    snprintf(out, size, "%s%02d.cmp", app_ProductRecord.slotPrefix, (int)slot);
}

MnuCampPair* Find(MnuCampList* l, int32_t key) {
    if (!l) return nullptr;
    for (int32_t i = 0; i < l->count; i++)
        if (l->pairs[i].key == (uint16_t)key) return &l->pairs[i];
    return nullptr;
}

void Append(MnuCampList* l, int32_t key, int32_t count) {
    uint32_t bytes = (uint32_t)(l->count + 1) * sizeof(MnuCampPair);
    void* grown = l->pairs ? mem_Realloc(l->pairs, bytes, 4) : mem_AllocEx(bytes, 4, "mnuCamp OrfLoadout");
    if (!grown) return;
    l->pairs = static_cast<MnuCampPair*>(grown);
    l->pairs[l->count++] = MnuCampPair{(uint16_t)key, (uint16_t)count, 0};
}

uint16_t Clamp16(int32_t v) { return (uint16_t)(v < 0 ? 0 : v > 0xFFFF ? 0xFFFF : v); }

}  // namespace

void mnu_CampLoadoutFree(void) {
    for (MnuCampList& l : mnu_CampLoadout.lists) {
        if (l.pairs) mem_Free(l.pairs);
        l = MnuCampList{};
    }
    mnu_CampLoadout.magic = MNU_CAMP_MAGIC;
}

int32_t mnu_CampLoadoutCount(void* list, int32_t storeKey) {
    if (Quick()) return 1;
    MnuCampPair* p = Find(static_cast<MnuCampList*>(list), storeKey);
    return p ? p->count : 0;
}

void mnu_CampLoadoutSet(void* list, int32_t storeKey, int32_t count) {
    if (Quick() || !list) return;
    MnuCampList* l = static_cast<MnuCampList*>(list);
    if (MnuCampPair* p = Find(l, storeKey))
        p->count = Clamp16(count);
    else
        Append(l, storeKey, Clamp16(count));
}

int32_t mnu_CampLoadoutAdjust(void* list, int32_t storeKey, int32_t delta) {
    if (Quick() || !list) return 1;
    MnuCampList* l = static_cast<MnuCampList*>(list);
    if (MnuCampPair* p = Find(l, storeKey)) {
        p->count = Clamp16((int32_t)p->count + delta);
        return p->count;
    }
    if (delta > 0) Append(l, storeKey, Clamp16(delta));
    return delta;
}

void mnu_CampLoadoutFromMission(void* list, const char* missionFile) {
    MnuCampList* l = static_cast<MnuCampList*>(list);
    if (!l || !missionFile || !file_Exists(missionFile)) return;
    _ORF* m = orf_Load(missionFile, 0);
    if (!m) return;
    if (l->pairs) mem_Free(l->pairs);
    *l = MnuCampList{};
    uint32_t n = m->array2.count;
    if (n > 0) {
        l->pairs = static_cast<MnuCampPair*>(mem_AllocEx(n * sizeof(MnuCampPair), 4, "mnuCamp OrfLoadout"));
        if (l->pairs) {
            LeReader r(m->array2.records, (size_t)n * ORF_ARRAY2_SIZE);
            for (uint32_t i = 0; i < n; i++) {
                l->pairs[i].key = r.u16();
                l->pairs[i].count = r.u16();
                l->pairs[i].word = 0;
                r.u32();
            }
            l->count = (int32_t)n;
        }
    }
    orf_Free(m);
}

std::vector<uint8_t> mnu_CampLoadoutImage(void) {
    LeWriter w;
    w.u32(MNU_CAMP_MAGIC);
    for (const MnuCampList& l : mnu_CampLoadout.lists) {
        w.u32((uint32_t)l.count);
        for (int32_t i = 0; i < l.count; i++) {
            w.u16(l.pairs[i].key);
            w.u16(l.pairs[i].count);
            w.u32(l.pairs[i].word);
        }
    }
    return w.buf;
}

int32_t mnu_CampLoadoutParse(const uint8_t* data, size_t size) {
    mnu_CampLoadoutFree();
    LeReader r(data, size);
    if (!data || r.u32() != MNU_CAMP_MAGIC || !r.ok()) return 0;
    for (MnuCampList& l : mnu_CampLoadout.lists) {
        uint32_t n = r.u32();
        // The count must fit the bytes left.
        if (!r.ok() || n > r.remaining() / 8) {
            mnu_CampLoadoutFree();
            return 0;
        }
        for (uint32_t i = 0; i < n; i++) {
            uint16_t key = r.u16(), count = r.u16();
            r.u32();
            if (MnuCampPair* p = Find(&l, key))
                p->count = count;
            else
                Append(&l, key, count);
        }
    }
    return 1;
}

int32_t mnu_FileRead(const char* name, std::vector<uint8_t>* image, size_t maxSize) {
    image->clear();
    if (!file_ExistsOnDisk(name)) return 0;
    int32_t size = file_SizeOnDisk(name);
    if (size < 0 || (size_t)size > maxSize) return -1;
    image->resize((size_t)size);
    if (file_LoadRaw(name, image->data(), image->size()) != size) {
        image->clear();
        return -1;
    }
    return 1;
}

void mnu_FileSetAside(const char* name, const char* what) {
    char bad[80];
    snprintf(bad, sizeof bad, "%s.bad", name);
    fprintf(stderr, "krx: the %s file %s is damaged; it is kept as %s\n", what, name, bad);
    std::rename(name, bad);
}

int32_t mnu_FileSaveReplace(const char* name, const std::vector<uint8_t>& image) {
    char temp[80];
    snprintf(temp, sizeof temp, "%s.tmp", name);
    // Written aside and renamed over the old file, so a failed write keeps it.
    if (file_SaveRaw(temp, image.data(), (int32_t)image.size()) != 0 || std::rename(temp, name) != 0) {
        std::remove(temp);
        return 0;
    }
    return 1;
}

int32_t mnu_CampLoadoutLoad(int32_t slot) {
    mnu_CampLoadoutFree();
    char name[64];
    FileName(slot, name, sizeof name);
    std::vector<uint8_t> image;
    int32_t read = mnu_FileRead(name, &image, 0x1000000);
    if (read != 0) {
        if (read > 0 && mnu_CampLoadoutParse(image.data(), image.size())) return 1;
        // Kept for a look; the slot plays on with empty lists.
        mnu_FileSetAside(name, "campaign");
        mnu_CampLoadoutFree();
        return 0;
    }
    for (int32_t c = 1; c <= MNU_CAMP_LISTS; c++) {
        char mission[64];
        snprintf(mission, sizeof mission, app_ProductRecord.missionPattern, (int)c, 1);
        mnu_CampLoadoutFromMission(&mnu_CampLoadout.lists[c - 1], mission);
    }
    mnu_CampLoadoutSave(slot);
    return 1;
}

int32_t mnu_CampLoadoutSave(int32_t slot) {
    char name[64];
    FileName(slot, name, sizeof name);
    return mnu_FileSaveReplace(name, mnu_CampLoadoutImage());
}

void mnu_CampLoadoutDelete(int32_t slot) {
    mnu_CampLoadoutFree();
    char name[64];
    FileName(slot, name, sizeof name);
    file_Delete(name);
}
