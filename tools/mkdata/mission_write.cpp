// The mission writer and the sample mission.
#include "mission_write.h"

#include <cstdio>

#include "base/le.h"
#include "mkdata.h"
#include "terrain_write.h"

namespace {

void Name16(LeWriter& w, const std::string& s) { w.fixedString(s.c_str(), ORF_NAME_SIZE); }

void Placed(LeWriter& w, const OrfPlaced& p) {
    size_t start = w.size();
    w.u32(p.x);
    w.i32(p.height);
    w.u32(p.z);
    w.u8(p.type);
    w.u8(p.category);
    w.u8(p.dynamic);
    w.u8(p.heading);
    w.u8(p.playerSlot);
    w.u8(p.kind);
    w.u16(p.modelIndex);
    w.u8(p.categoryFlags);
    w.u8(p.hitClass);
    w.u8(p.options);
    w.u8(p.side);
    w.u16(p.objectNumber);
    w.u16(p.serial);
    w.u8(p.stateTest);
    w.u8(p.stateWanted);
    w.u16(p.stateIndex);
    w.u8(p.sides[0]);
    w.u8(p.sides[1]);
    w.zeros(ORF_PLACED_AI - (w.size() - start));
    const OrfAiPart& a = p.ai;
    for (uint8_t b : {a.subtype, a.group, a.stepList, a.route, a.formation, a.startFlags, a.skill, a.member,
                      a.flagByte, a.categoryByte, a.extraByte, a.missionByte})
        w.u8(b);
    for (uint8_t b : a.alliance) w.u8(b);
    for (uint8_t b : a.weapons) w.u8(b);
    w.u8(0);
    w.i32(a.missionWord);
    w.zeros(ORF_PLACED_MAP - (w.size() - start));
    const OrfMapPart& m = p.map;
    for (uint8_t b : {m.type, m.subtype, m.nameIndex, m.iconFrame, m.marker, m.flags}) w.u8(b);
    w.u16(m.control);
    w.zeros(ORF_PLACED_SIZE - (w.size() - start));
}

void Trigger(LeWriter& w, const OrfTrigger& t) {
    w.u8(t.fired);
    w.u8(t.conditionCount);
    w.u16(t.actionList);
    w.u16(t.actionClass);
    for (uint16_t a : t.arguments) w.u16(a);
    for (const OrfCondition& c : t.conditions) {
        w.u8(c.kind);
        w.u8(c.momentary);
        w.u16(c.id);
        w.u8(c.code);
        w.u8(0);
        w.u16(c.argument);
        w.u8(c.type);
        w.u8(c.matched);
        w.u16(0);
        w.i32(c.tick);
    }
}

// Cell corner to world coordinate.
uint32_t Cell(int32_t cell) { return (uint32_t)cell << 23; }

// A one-slot condition of the trigger.
OrfTrigger Condition(uint8_t type, uint16_t id, uint8_t code, uint16_t argument, uint16_t actionList) {
    OrfTrigger t{};
    t.conditionCount = 1;
    t.actionList = actionList;
    t.conditions[0] = OrfCondition{ORF_LINK_LAST, 0, id, code, argument, type, 0, 0};
    return t;
}

// Appends a compiled action list of (keyword id, argument) entries; its
// first node's index.
uint16_t ActionList(MkMission* m, const std::vector<std::pair<int32_t, int32_t>>& entries) {
    const auto first = (int32_t)m->nodes.size();
    for (size_t i = 0; i < entries.size(); i++) {
        const auto n = (int32_t)m->nodes.size();
        const int32_t next = i + 1 < entries.size() ? n + 1 : -1;
        m->nodes.push_back({0, 0, 0, (int32_t)m->actions.size(), 0, next, 0, -1, 0});
        m->actions.push_back({0, 3, 1, entries[i].first, 0, (int32_t)m->arguments.size(), 0});
        m->arguments.push_back({0, 0, entries[i].second});
    }
    return (uint16_t)first;
}

// The AI flight's story (group 1 on the first AI route): airborne, it
// reports and starts counter 0 (the flight's seconds in the air); at its
// second waypoint it reports again (a speech sample only for the ground
// crew: "NULLMSG") and counter 1 counts the legs; 20 seconds into the
// flight counter 0 stops.
void AddFlightTriggers(MkMission* m) {
    const auto route = (uint16_t)m->starts.size();
    constexpr int32_t kPlay = 21, kInc = 16, kStart = 24, kStop = 25;
    m->messages.push_back({"AIRBORNE", "MSGE01.WAV"});
    m->messages.push_back({"OUTBOUND", "MSGE02.WAV"});
    m->messages.push_back({"NULLMSG", "MSGE02.WAV"});
    m->counters = {0, 0};
    // airborn_f: group 1 wholly airborne.
    m->triggers.push_back(Condition(1, 1, 1, 0, ActionList(m, {{kPlay, 1}, {kStart, 0}})));
    // atwaypoint_fy: group 1 at waypoint 0 of its route, past the field's end.
    m->triggers.push_back(Condition(1, 1, 5, (uint16_t)(route << 8 | 0), ActionList(m, {{kPlay, 2}, {kInc, 1}})));
    // Counter 0 greater than 19.
    m->triggers.push_back(Condition(3, 0, 1, 19, ActionList(m, {{kStop, 0}, {kPlay, 3}})));
}

}  // namespace

std::vector<uint8_t> mkdata_MissionBuild(const MkMission& m) {
    LeWriter w;
    w.u32(m.magic);
    w.u32(m.version);
    w.zeros(8);
    w.u8(m.region);
    w.u8(m.timeOfDay);
    w.zeros(2);
    Name16(w, m.textName);
    Name16(w, m.depthName);
    Name16(w, m.waterName);
    Name16(w, m.shadowName);
    Name16(w, m.tilesName);
    Name16(w, m.referenceName);
    Name16(w, m.skyName);
    w.u8(m.options);
    w.zeros(ORF_TRIGGER_BLOCK_FLAG - w.size());
    w.u32(m.triggerBlock ? 1 : 0);
    w.zeros(ORF_HEADER_SIZE - w.size());

    w.u32((uint32_t)(m.array1.size() / ORF_ARRAY1_SIZE));
    w.bytes(m.array1.data(), m.array1.size() / ORF_ARRAY1_SIZE * ORF_ARRAY1_SIZE);
    w.u32((uint32_t)(m.array2.size() / ORF_ARRAY2_SIZE));
    w.bytes(m.array2.data(), m.array2.size() / ORF_ARRAY2_SIZE * ORF_ARRAY2_SIZE);
    w.u32((uint32_t)m.models.size());
    for (const std::string& s : m.models) Name16(w, s);
    w.u32((uint32_t)m.placed.size());
    for (const OrfPlaced& p : m.placed) Placed(w, p);

    w.u32((uint32_t)m.array5.size());
    for (const auto& g : m.array5) {
        w.u32((uint32_t)(g.size() / ORF_ARRAY5_ITEM_SIZE));
        w.u32(0);  // pointer slot
    }
    for (const auto& g : m.array5) w.bytes(g.data(), g.size() / ORF_ARRAY5_ITEM_SIZE * ORF_ARRAY5_ITEM_SIZE);

    w.u32((uint32_t)(m.starts.size() + m.routes.size()));
    auto headers = [&w](const auto& groups) {
        for (const auto& g : groups) {
            w.u32((uint32_t)g.size());
            w.u32(0);  // pointer slot
        }
    };
    headers(m.starts);
    headers(m.routes);
    for (const auto& g : m.starts)
        for (const OrfStartItem& s : g) {
            w.u32(s.x);
            w.i32(s.height);
            w.u32(s.z);
            w.u32(s.heading);
            w.zeros(ORF_START_ITEM_SIZE - 16);
        }
    for (const auto& g : m.routes)
        for (const OrfWaypoint& p : g) {
            w.u32(p.x);
            w.i32(p.height);
            w.u32(p.z);
            w.u16(p.action);
            w.u16(p.argument);
            w.u8(p.behaviour);
            w.u8(p.engagement);
            w.zeros(ORF_START_ITEM_SIZE - 18);
        }

    w.u32((uint32_t)m.triggers.size());
    for (const OrfTrigger& t : m.triggers) Trigger(w, t);
    w.u32((uint32_t)m.counters.size());
    for (uint32_t c : m.counters) w.u32(c);
    w.u32((uint32_t)m.messages.size());
    for (const MkMessage& msg : m.messages) {
        w.fixedString(msg.name.c_str(), 32);
        w.fixedString(msg.sample.c_str(), 16);
    }

    if (m.triggerBlock) {
        w.i32(m.blockValue);
        w.u32((uint32_t)m.nodes.size());
        w.u32((uint32_t)m.actions.size());
        w.u32((uint32_t)m.arguments.size());
        for (const auto& n : m.nodes)
            for (int32_t v : n) w.i32(v);
        for (const auto& a : m.actions)
            for (int32_t v : a) w.i32(v);
        for (const auto& a : m.arguments)
            for (int32_t v : a) w.i32(v);
        for (int32_t v : m.closingValues) w.i32(v);
    }
    w.bytes(m.text.data(), m.text.size());
    return w.buf;
}

void mkdata_MissionTerrainNames(MkMission* m, const std::string& reference) {
    char name[32];
    int r = m->region + 1;
    snprintf(name, sizeof name, "depth%02d.pcx", r);
    m->depthName = name;
    snprintf(name, sizeof name, "water%02d.bmp", r);
    m->waterName = name;
    snprintf(name, sizeof name, "shadow%02d.pcx", r);
    m->shadowName = name;
    snprintf(name, sizeof name, "bmp%02d.bms", r);
    m->tilesName = name;
    m->referenceName = reference;
    m->skyName = "skymono.pcx";
}

MkMission mkdata_SampleMission(void) {
    MkMission m;
    m.region = 0;
    m.timeOfDay = 1;
    mkdata_MissionTerrainNames(&m, MK_SAMPLE_REFERENCE);
    m.models = {"HANGAR.PAK", "TOWER.PAK", "TANK.PAK", "SAMSITE.PAK", "JET.PAK"};

    uint16_t number = 1;
    // Player starts: slots 0 to 7 (side 0) from the west end of the runway,
    // 8 to 15 (side 1) from the east end, two abreast either side of the
    // centre line; heading 64 is a quarter turn.
    for (uint8_t slot = 0; slot < 16; slot++) {
        OrfPlaced p{};
        bool east = slot >= 8;
        int32_t row = (slot % 8) / 2;
        uint32_t along = (uint32_t)(row + 1) << 21;
        p.x = east ? Cell(MK_RUNWAY_CELL_X0 + MK_RUNWAY_CELLS) - along : Cell(MK_RUNWAY_CELL_X0) + along;
        p.z = Cell(MK_RUNWAY_CELL_Z) + ((slot & 1) ? (1u << 19) : (uint32_t)-(1 << 19));
        p.height = MK_AIRFIELD_HEIGHT * 0x40000;
        p.category = 2;
        p.dynamic = 1;
        p.heading = east ? 192 : 64;
        p.playerSlot = slot;
        p.side = east ? 1 : 0;
        p.objectNumber = number++;
        p.serial = p.objectNumber;
        m.placed.push_back(p);
    }
    // Statics beside the runway: hangar and tower (kind 2, with hit
    // classes), and a marker of kind 3.
    struct Static {
        int32_t cx, cz;
        uint16_t model;
        uint8_t kind, hitClass, type;
    } statics[] = {
        {202, 300, 0, 2, 5, 1},
        {204, 300, 0, 2, 5, 1},
        {206, 300, 1, 2, 3, 2},
        {201, 304, 1, 3, 0, 2},
    };
    for (const Static& s : statics) {
        OrfPlaced p{};
        p.x = Cell(s.cx) + (1u << 22);
        p.z = Cell(s.cz) + (1u << 22);
        p.height = MK_AIRFIELD_HEIGHT * 0x40000;
        p.type = s.type;
        p.category = 16;
        p.kind = s.kind;
        p.hitClass = s.hitClass;
        p.modelIndex = s.model;
        p.objectNumber = number++;
        p.serial = p.objectNumber;
        m.placed.push_back(p);
    }
    // AI units: two tanks by the lake and a SAM site on the hills north of
    // the airfield; all three are player targets (category 0x04, which
    // needs the flag 0x04 of the second side byte).
    struct Unit {
        int32_t cx, cz;
        uint16_t model;
        uint8_t category, type;
    } units[] = {
        {MK_LAKE_CELL_X - MK_LAKE_RADIUS - 4, MK_LAKE_CELL_Z, 2, 4, 3},
        {MK_LAKE_CELL_X - MK_LAKE_RADIUS - 6, MK_LAKE_CELL_Z + 2, 2, 4, 3},
        {204, 320, 3, 8, 4},
    };
    for (const Unit& u : units) {
        OrfPlaced p{};
        p.x = Cell(u.cx);
        p.z = Cell(u.cz);
        p.height = 0;  // placed on the ground
        p.type = u.type;
        p.category = u.category;
        p.dynamic = 1;
        p.kind = 2;
        p.hitClass = 3;
        p.modelIndex = u.model;
        p.categoryFlags = 0x04;
        p.sides[1] = 0x04;
        p.objectNumber = number++;
        p.serial = p.objectNumber;
        m.placed.push_back(p);
    }
    // More statics along the taxiway, so that a joining player's static
    // batches run full and end with a part batch.
    for (int32_t i = 0; i < 6; i++) {
        OrfPlaced p{};
        p.x = Cell(202 + 2 * i) + (1u << 22);
        p.z = Cell(296) + (1u << 22);
        p.height = MK_AIRFIELD_HEIGHT * 0x40000;
        p.type = 1;
        p.category = 16;
        p.kind = 2;
        p.hitClass = 2;
        p.modelIndex = (uint16_t)(i & 1);
        p.objectNumber = number++;
        p.serial = p.objectNumber;
        m.placed.push_back(p);
    }
    // Moving AI units: a swarm of 24 aircraft over the west end of the
    // runway (more than a packet's close list holds) and 12 farther out,
    // for the far-object queue; each flies straight on its heading.
    for (int32_t i = 0; i < 36; i++) {
        OrfPlaced p{};
        bool near = i < 24;
        int32_t ring = near ? 1 + i % 3 : 8 + 2 * (i % 6);
        int32_t sector = i % 8;
        static const int32_t dx[8] = {1, 1, 0, -1, -1, -1, 0, 1}, dz[8] = {0, 1, 1, 1, 0, -1, -1, -1};
        p.x = Cell(MK_RUNWAY_CELL_X0) + (uint32_t)(dx[sector] * ring) * (1u << 24);
        p.z = Cell(MK_RUNWAY_CELL_Z) + (uint32_t)(dz[sector] * ring) * (1u << 24);
        p.height = (20 + 4 * (i % 5)) * 0x40000;
        p.type = 5;
        p.category = 4;
        p.dynamic = 1;
        p.kind = 0;
        p.heading = (uint8_t)(i * 37);
        p.hitClass = 3;
        p.modelIndex = MK_MODEL_JET;
        p.objectNumber = number++;
        p.serial = p.objectNumber;
        m.placed.push_back(p);
    }

    // The runway's landing places (kind 3, alliance bit 0x08): three towers
    // a cell and a half north of the centre line, at its ends and middle, so
    // that every point of the strip and every player start lies within the
    // touchdown range of one. They face along the strip, east, the way
    // the approach symbols line the aircraft up with it.
    for (int32_t cell : {MK_RUNWAY_CELL_X0 + 1, MK_RUNWAY_CELL_X0 + MK_RUNWAY_CELLS / 2,
                         MK_RUNWAY_CELL_X0 + MK_RUNWAY_CELLS - 1}) {
        OrfPlaced p{};
        p.x = Cell(cell);
        p.z = Cell(MK_RUNWAY_CELL_Z) + (3u << 22);
        p.height = MK_AIRFIELD_HEIGHT * 0x40000;
        p.category = 16;
        p.heading = 64;
        p.kind = 3;
        p.modelIndex = 1;
        p.sides[1] = 0x08;
        p.objectNumber = number++;
        p.serial = p.objectNumber;
        m.placed.push_back(p);
    }

    // Map items: the hangars from the start, the SAM site (placed object
    // 22) once trigger flag 3 is set.
    m.array1 = {1, 0, 16, 0, 0, 0, 0, 0, 1, 0, 17, 0, 0, 0, 0, 0, 1, 1, 22, 0, 3, 0, 0, 0};

    // Start items of each side: the take-off run and the climb-out point.
    for (int side = 0; side < 2; side++) {
        bool east = side == 1;
        uint32_t heading = (east ? 192u : 64u) << 17;
        uint32_t far = east ? Cell(MK_RUNWAY_CELL_X0) : Cell(MK_RUNWAY_CELL_X0 + MK_RUNWAY_CELLS);
        uint32_t beyond = east ? far - Cell(16) : far + Cell(16);
        if (!east) {
            // The west side's route: out over the lake and back north.
            m.starts.push_back({{far, MK_AIRFIELD_HEIGHT * 0x40000, Cell(MK_RUNWAY_CELL_Z), heading},
                                {Cell(MK_LAKE_CELL_X), 40 * 0x40000, Cell(MK_LAKE_CELL_Z + 40), heading},
                                {Cell(MK_LAKE_CELL_X - 40), 40 * 0x40000, Cell(MK_LAKE_CELL_Z), heading},
                                {Cell(MK_RUNWAY_CELL_X0 - 20), 40 * 0x40000, Cell(MK_RUNWAY_CELL_Z + 30), heading},
                                {beyond, 40 * 0x40000, Cell(MK_RUNWAY_CELL_Z), heading}});
            continue;
        }
        m.starts.push_back({{far, MK_AIRFIELD_HEIGHT * 0x40000, Cell(MK_RUNWAY_CELL_Z), heading},
                            {beyond, 40 * 0x40000, Cell(MK_RUNWAY_CELL_Z), heading}});
    }

    mkdata_MissionAddAi(&m);
    mkdata_MissionMapParts(&m);

    // When a player enters the game (event 6, code 1) message 0 plays.
    OrfTrigger t{};
    t.conditionCount = 1;
    t.actionClass = 3;
    t.arguments[0] = 0;
    t.conditions[0].kind = ORF_LINK_LAST;
    t.conditions[0].type = 6;
    t.conditions[0].code = 1;
    m.triggers.push_back(t);
    m.counters = {0};
    m.messages = {{"WELCOME", "welcome.wav"}};

    // The same as a compiled action list: node 0 runs play_m (id 21) with
    // message 0.
    m.triggerBlock = true;
    m.blockValue = 1;
    m.nodes = {{0, 0, 0, 0, 0, -1, 0, -1, 0}};
    m.actions = {{0, 3, 1, 21, 0, 0, 0}};
    m.arguments = {{0, 0, 0}};
    AddFlightTriggers(&m);

    m.text = mkdata_TableBuild(mkdata_SampleMissionText(mkdata_SampleGoals()));
    return m;
}

std::vector<MkTableGroup> mkdata_SampleMissionText(const std::vector<MkTableItem>& goals) {
    return {
        {"MISSION",
         {{"TITLE", "Range Day"},
          {"BRIEF", "Take off from the runway, look over the lake and come back in one piece."}}},
        {"MESSAGES",
         {{"WELCOME", "Welcome to the range."},
          {"AIRBORNE", "Blue flight is airborne."},
          {"OUTBOUND", "Blue flight turning north."}}},
        {"MISS 1 GOALS", goals},
        // Listed as the first campaign's mission when "FCAMP01.bin" is there.
        {"MISS 1 HEADERS", {{"TITLE", "Range Day"}, {"DESCRIPTION", "One flight over the lake and home."}}},
    };
}

namespace {

// A listed mission's briefing lines, some behind mission-counter
// conditions; the last quick mission has none that pass.
std::vector<MkTableItem> BriefLines(int32_t file, int32_t mission) {
    if (file == 29 && mission == 7) return {{"LINE 1", "(CV 3)+Only after the third goal."}};
    return {{"LINE 1", "Take off from the runway and fly the route.<CR>"},
            {"LINE 2", "(CV 5)+The tower has been warned.<CR>"},
            {"LINE 3", "(CV !5)+<TAB>Watch for the guns around the tower.<CR>"},
            {"LINE 4", "Land back at the airfield."}};
}

// A mission file of the user's own: title in "MISS 0 HEADERS", briefing in
// "MISS 1 BRIEF".
int WriteUserMission(const std::string& dir) {
    MkMission m = mkdata_SampleMission();
    m.text = mkdata_TableBuild({{"MISS 0 HEADERS", {{"TITLE", "My Own Mission"}, {"DESCRIPTION", "Made by hand."}}},
                                {"MISS 1 BRIEF", {{"LINE 1", "A mission of your own."}}},
                                {"MESSAGES", {{"WELCOME", "Welcome to the range."}}}});
    return mkdata_WriteFile(dir, "USERMIS.ORF", mkdata_MissionBuild(m));
}

// A listed mission: the sample mission with its own headers, and for a
// campaign's first mission the campaign's store list (array 2, pairs of
// store key and count).
int WriteListed(const std::string& dir, int32_t file, int32_t mission, uint8_t timeOfDay, const char* title,
                const char* description, const std::vector<std::pair<uint16_t, uint16_t>>& stores) {
    MkMission m = mkdata_SampleMission();
    m.timeOfDay = timeOfDay;
    char group[32];
    snprintf(group, sizeof group, "MISS %d HEADERS", (int)mission);
    char brief[32];
    snprintf(brief, sizeof brief, "MISS %d BRIEF", (int)mission);
    m.text = mkdata_TableBuild({{group, {{"TITLE", title}, {"DESCRIPTION", description}}},
                                {brief, BriefLines(file, mission)},
                                {"MESSAGES", {{"WELCOME", "Welcome to the range."}}}});
    LeWriter w;
    for (const auto& [key, count] : stores) {
        w.u16(key);
        w.u16(count);
        w.u32(0);
    }
    m.array2 = w.buf;
    char name[32];
    snprintf(name, sizeof name, "F%dM%d.ORF", (int)file, (int)mission);
    return mkdata_WriteFile(dir, name, mkdata_MissionBuild(m));
}

}  // namespace

int mkdata_WriteMissions(const std::string& dir) {
    if (mkdata_WriteFile(dir, MK_SAMPLE_MISSION, mkdata_MissionBuild(mkdata_SampleMission())) != 0) return -1;
    // The mission list: campaigns 2 and 3 and the quick missions of file 29.
    // The campaign files themselves are only looked for.
    const std::vector<uint8_t> marker = {'F', 'C', 'A', 'M', 'P'};
    for (const char* f : {"FCAMP02.bin", "FCAMP03.bin", "FCAMP29.bin"})
        if (mkdata_WriteFile(dir, f, marker) != 0) return -1;
    int bad = 0;
    bad |= WriteListed(dir, 2, 1, 1, "Lake Patrol", "Fly the lake's shore and report what you see.", {{1, 8}, {15, 4}});
    bad |= WriteListed(dir, 2, 2, 2, "Tower Strike", "Put the control tower out of action.", {});
    bad |= WriteListed(dir, 3, 1, 3, "Dusk Intercept", "Meet the raiders over the range at dusk.", {{2, 6}, {16, 2}});
    bad |= WriteListed(dir, 3, 2, 4, "Night Watch", "Hold the airfield through the night.", {});
    const char* titles[] = {"Range Practice", "Low Level", "Tank Hunt", "SAM Suppression",
                            "Hangar Raid",    "Escort",    "Free Flight"};
    for (int32_t i = 0; i < 7; i++)
        bad |= WriteListed(dir, 29, i + 1, (uint8_t)(1 + i % 4), titles[i], "A single mission over the sample range.", {});
    bad |= WriteUserMission(dir);
    return bad ? -1 : 0;
}
