// Two variants of the sample mission whose triggers run their built-in
// actions (no compiled trigger block), each with a copy of the sample
// reference file:
// - "BANNER.ORF": won as soon as it starts (its one visible primary goal
//   marked at the start), for runs that look at the end of a won flight;
// - "KILL.ORF": its one primary goal is shooting down the aircraft ahead of
//   the players, marked when that aircraft is destroyed.
#include <fstream>
#include <iterator>

#include "mission_write.h"
#include "mkdata.h"

namespace {

// The sample mission with one trigger: goal action (class 5) on goal 0 of
// the primary list when the condition's event comes.
MkMission GoalMission(uint8_t type, uint16_t id, uint8_t code) {
    MkMission m = mkdata_SampleMission();
    m.triggerBlock = false;
    m.nodes.clear();
    m.actions.clear();
    m.arguments.clear();
    m.triggers.clear();
    OrfTrigger t{};
    t.conditionCount = 1;
    t.actionClass = 5;
    t.arguments[2] = 0 << 8 | 0;
    t.conditions[0].kind = ORF_LINK_LAST;
    t.conditions[0].type = type;
    t.conditions[0].id = id;
    t.conditions[0].code = code;
    m.triggers.push_back(t);
    return m;
}

int WriteWithReference(const std::string& dir, const std::string& stem, const MkMission& m,
                       const std::vector<uint8_t>& reference) {
    if (mkdata_WriteFile(dir, stem + ".ORF", mkdata_MissionBuild(m)) != 0) return -1;
    return mkdata_WriteFile(dir, stem + ".REF", reference);
}

}  // namespace

int mkdata_WriteBannerMission(const std::string& dir) {
    std::ifstream in(dir + "/" + MK_SAMPLE_REFERENCE, std::ios::binary);
    std::vector<uint8_t> reference((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (reference.empty()) return -1;

    // The single-player mission starts: event 6, code 4.
    if (WriteWithReference(dir, "BANNER", GoalMission(6, 0, 4), reference) != 0) return -1;

    // The aircraft ahead of the players (AI group 2) destroyed: event 0 of
    // its mission object, code 0.
    MkMission base = mkdata_SampleMission();
    uint16_t ahead = 0;
    for (const OrfPlaced& p : base.placed)
        if (p.dynamic && p.ai.group == 2 && p.ai.subtype == 8) ahead = p.objectNumber;
    if (!ahead) return -1;
    MkMission kill = GoalMission(0, ahead, 0);
    std::vector<MkTableItem> goals = mkdata_SampleGoals();
    goals.erase(goals.begin(), goals.begin() + 2);
    goals.insert(goals.begin(), {"PRIMARY 1", "Shoot down the aircraft ahead of the runway."});
    kill.text = mkdata_TableBuild(mkdata_SampleMissionText(goals));
    return WriteWithReference(dir, "KILL", kill, reference);
}
