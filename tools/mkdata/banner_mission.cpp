// "BANNER.ORF": the sample mission won as soon as it starts
// (its one visible primary goal marked at the start), for runs that look at the end of a
// won flight. Its reference file is a copy of the sample one.
#include <fstream>
#include <iterator>

#include "mission_write.h"
#include "mkdata.h"

int mkdata_WriteBannerMission(const std::string& dir) {
    MkMission m = mkdata_SampleMission();
    // Without a compiled trigger block the triggers run their built-in
    // actions: this one alone.
    m.triggerBlock = false;
    m.nodes.clear();
    m.actions.clear();
    m.arguments.clear();
    m.triggers.clear();
    // The single-player mission starts (event 6, code 4): goal action (class 5) on
    // goal 0 of the primary list.
    OrfTrigger t{};
    t.conditionCount = 1;
    t.actionClass = 5;
    t.arguments[2] = 0 << 8 | 0;
    t.conditions[0].kind = ORF_LINK_LAST;
    t.conditions[0].type = 6;
    t.conditions[0].code = 4;
    m.triggers.push_back(t);
    std::ifstream in(dir + "/" + MK_SAMPLE_REFERENCE, std::ios::binary);
    std::vector<uint8_t> reference((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (reference.empty()) return -1;
    if (mkdata_WriteFile(dir, "BANNER.ORF", mkdata_MissionBuild(m)) != 0) return -1;
    return mkdata_WriteFile(dir, "BANNER.REF", reference);
}
