// Names of the mission map's items: name words from the game data texts,
// put into the frame text of the item's kind.
#include "base/text.h"
#include "cockpit/tacmap.h"
#include "sim/trig.h"
#include "world/level.h"

char tacmap_NameResult[TACMAP_NAME_SIZE] = "";
char tacmap_NameScratch[TACMAP_NAME_SIZE] = "";

namespace {

constexpr uint32_t kHiddenText = 0;
constexpr uint32_t kTeamWords = 27;
constexpr uint32_t kNameWords = 177;
constexpr const char* kMissing = "???";

const char* Word(uint32_t n) {
    const char* t = level_GameText(n);
    return t ? t : kMissing;
}

// A frame takes one string: anything but "%s" (once) and "%%" would read
// arguments that are not there.
bool FrameUsable(const char* frame) {
    int32_t strings = 0;
    for (const char* p = frame; *p; p++) {
        if (*p != '%') continue;
        if (p[1] == '%') {
            p++;
        } else if (p[1] == 's' && strings == 0) {
            strings++;
            p++;
        } else {
            return false;
        }
    }
    return true;
}

// The frame text applied to the scratch text, into the result.
const char* Framed(uint32_t frame) {
    const char* f = Word(frame);
    if (!FrameUsable(f)) f = kMissing;
    text_Format(f, tacmap_NameResult, sizeof tacmap_NameResult, tacmap_NameScratch);
    return tacmap_NameResult;
}

const char* Copied(uint32_t n) {
    text_CopyZ(tacmap_NameResult, Word(n), sizeof tacmap_NameResult);
    return tacmap_NameResult;
}

void ScratchWord(uint32_t n) { text_CopyZ(tacmap_NameScratch, Word(n), sizeof tacmap_NameScratch); }

// Mode 0 always shows; mode 1 hides while the flag is clear, any other
// mode while it is set. A flag number past the table reads clear.
bool Hidden(const LevelMapItem* item) {
    if (item->revealMode == 0) return false;
    const bool set = item->triggerFlag < TRIG_FLAGS && trig_Flags[item->triggerFlag] != 0;
    return item->revealMode == 1 ? !set : set;
}

}  // namespace

int32_t tacmap_LabelKind7(int32_t index) {
    ScratchWord(kTeamWords + (uint32_t)index);
    Framed(7);
    return 0;
}

int32_t tacmap_LabelKind8(int32_t index) {
    ScratchWord(kNameWords + (uint32_t)index);
    Framed(8);
    return 0;
}

const char* tacmap_ItemName(const LevelMapItem* item) {
    if (!item) return Copied(kHiddenText);
    if (Hidden(item)) return Copied(kHiddenText);
    if (item->kind == 7) {
        tacmap_LabelKind7(item->index);
        return tacmap_NameResult;
    }
    if (item->kind == 8) {
        tacmap_LabelKind8(item->index);
        return tacmap_NameResult;
    }
    return Copied(item->kind);
}

const char* tacmap_ItemNameKind6(const LevelMapItem* item) {
    if (item && item->descKind == 0) ScratchWord(kTeamWords + item->nameIndex);
    if (item && item->descKind == 2) ScratchWord(kNameWords + item->nameIndex);
    return Framed(6);
}

const char* tacmap_ItemNameGetC(const LevelMapItem* item) {
    if (item && item->kind == 6) return tacmap_ItemNameKind6(item);
    return tacmap_ItemName(item);
}
