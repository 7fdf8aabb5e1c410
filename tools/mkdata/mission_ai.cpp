// The sample mission's AI: groups for the patrol aircraft, a parked
// two-ship flight with its taxi and take-off steps and route, an aircraft
// flying a route ahead of the players, a SAM site, a flak site and an
// area-search radar.
#include "base/le.h"
#include "mission_write.h"
#include "terrain_write.h"

namespace {

uint32_t Cell(int32_t cell) { return (uint32_t)cell << 23; }

std::vector<uint8_t> Steps(const std::vector<OrfRouteStep>& steps) {
    LeWriter w;
    for (const OrfRouteStep& s : steps) {
        w.u32(s.x);
        w.u32(s.z);
        w.u16(s.kind);
        w.u16(s.heading);
    }
    return w.buf;
}

OrfWaypoint Waypoint(uint32_t x, int32_t height, uint32_t z, uint16_t action, uint16_t argument, uint8_t behaviour,
                     uint8_t engagement) {
    return OrfWaypoint{x, height, z, action, argument, behaviour, engagement};
}

OrfPlaced Unit(uint32_t x, int32_t height, uint32_t z, uint8_t heading, uint8_t kind, uint16_t model,
               uint16_t number) {
    OrfPlaced p{};
    p.x = x;
    p.height = height;
    p.z = z;
    p.heading = heading;
    p.category = 4;
    p.dynamic = 1;
    p.kind = kind;
    p.modelIndex = model;
    // The enemy alliance; the players fly in the other one (0x08).
    p.categoryFlags = 0x04;
    p.sides[1] = 0x04;
    p.objectNumber = number;
    p.serial = number;
    p.ai.stepList = ORF_AI_NONE;
    p.ai.route = ORF_AI_NONE;
    p.ai.skill = 2;
    p.ai.categoryByte = 0x01;
    // Hostile to the players only. The first mask is compared with the side
    // byte in searches (the players' is 4, every AI unit's 8, so the enemy
    // units leave each other alone) and with the target class when a flight
    // hands out targets (a player's aircraft is class 3): bits 2 and 0.
    for (uint8_t& a : p.ai.alliance) a = 1;
    p.ai.alliance[0] = 0;
    p.ai.alliance[2] = 0;
    return p;
}

}  // namespace

void mkdata_MissionAddAi(MkMission* m) {
    uint16_t number = 0;
    for (const OrfPlaced& p : m->placed)
        if (p.objectNumber >= number) number = (uint16_t)(p.objectNumber + 1);

    // The patrol aircraft fly in the air in fours (groups 10 and up).
    int32_t patrol = 0;
    for (OrfPlaced& p : m->placed) {
        if (p.category != 4 || p.kind != 0 || !p.dynamic) continue;
        p.ai.subtype = 5;
        p.ai.group = (uint8_t)(10 + patrol / 4);
        p.ai.member = (uint8_t)(patrol % 4);
        p.ai.startFlags = ORF_AI_AIRBORNE;
        p.ai.stepList = ORF_AI_NONE;
        p.ai.route = ORF_AI_NONE;
        p.ai.skill = (uint8_t)(patrol % 4);
        for (uint8_t& a : p.ai.alliance) a = 1;
        patrol++;
    }

    // Routes follow the sides' start groups.
    const uint8_t flightRoute = (uint8_t)(m->starts.size() + m->routes.size());
    const uint8_t aheadRoute = (uint8_t)(flightRoute + 1);
    const int32_t airfield = MK_AIRFIELD_HEIGHT * 0x40000;
    const uint32_t z = Cell(MK_RUNWAY_CELL_Z);
    const uint32_t west = Cell(MK_RUNWAY_CELL_X0);
    const uint32_t east = Cell(MK_RUNWAY_CELL_X0 + MK_RUNWAY_CELLS);

    // The flight's steps: taxi to the runway's west end (releasing the
    // wingman on the way), then the take-off run eastwards.
    const uint8_t stepList = (uint8_t)m->array5.size();
    m->array5.push_back(Steps({{west + (1u << 21), z - (3u << 21), 0, 0},
                               {west + (1u << 21), z - (1u << 21), 2, 0},
                               {west + (1u << 21), z, 1, 0x80}}));
    // Its route: out east past the field's end, further east, north over the
    // lake's way, back to the field and a landing.
    m->routes.push_back({Waypoint(east + Cell(4), 30 * 0x40000, z, 0, 0, 1, 3),
                         Waypoint(east + Cell(24), 40 * 0x40000, z, 0, 0, 1, 3),
                         Waypoint(east + Cell(24), 40 * 0x40000, z - Cell(32), 0, 0, 1, 3),
                         Waypoint(west - Cell(16), 20 * 0x40000, z, 0, 0, 0, 0),
                         Waypoint(east, airfield, z, 7, 0, 0, 0)});
    // The route of the aircraft ahead of the players: a loop.
    m->routes.push_back({Waypoint(east + Cell(48), 50 * 0x40000, z, 0, 0, 0, 0),
                         Waypoint(east + Cell(48), 50 * 0x40000, z + Cell(32), 0, 0, 0, 0),
                         Waypoint(west, 50 * 0x40000, z + Cell(32), 1, 0, 0, 0)});

    // The parked two-ship flight of type 0 on the apron south of the runway.
    for (uint8_t i = 0; i < 2; i++) {
        OrfPlaced p = Unit(west + (1u << 21) + i * (1u << 20), airfield, z - (4u << 21), 0, 0, MK_MODEL_JET, number++);
        p.ai.subtype = 0;
        p.ai.group = 1;
        p.ai.member = i;
        p.ai.startFlags = i ? ORF_AI_WAITING : 0;
        p.ai.stepList = stepList;
        p.ai.route = flightRoute;
        p.ai.weapons[0] = 2;
        p.ai.weapons[1] = 2;
        p.ai.weapons[2] = 20;
        m->placed.push_back(p);
    }
    // The aircraft ahead of the players' start, flying its route.
    {
        OrfPlaced p = Unit(east + Cell(12), 50 * 0x40000, z, 64, 0, MK_MODEL_JET, number++);
        p.ai.subtype = 8;
        p.ai.group = 2;
        p.ai.startFlags = ORF_AI_AIRBORNE;
        p.ai.route = aheadRoute;
        p.ai.weapons[2] = 10;
        m->placed.push_back(p);
    }
    // A SAM site and a flak site north of the runway (ground group 20).
    {
        OrfPlaced p = Unit(Cell(MK_RUNWAY_CELL_X0 + 4), 0, z + Cell(8), 0, 1, 3, number++);
        p.ai.subtype = 2;
        p.ai.group = 20;
        m->placed.push_back(p);
        OrfPlaced q = Unit(Cell(MK_RUNWAY_CELL_X0 + 6), 0, z + Cell(8), 0, 1, 2, number++);
        q.ai.subtype = 4;
        q.ai.group = 20;
        m->placed.push_back(q);
    }
    // An area-search radar on the lake's west shore (ground group 21): far
    // from the field, the clients learn of it as a far object.
    {
        OrfPlaced p = Unit(Cell(MK_LAKE_CELL_X - MK_LAKE_RADIUS - 8), 0, Cell(MK_LAKE_CELL_Z + 6), 0, 1, 3, number++);
        p.ai.subtype = 6;
        p.ai.group = 21;
        m->placed.push_back(p);
    }
    // The player's wingman: the one AI aircraft of the player's group (0),
    // parked at the end of the apron row.
    {
        OrfPlaced p = Unit(west + (1u << 21) + 2 * (1u << 20), airfield, z - (4u << 21), 0, 0, MK_MODEL_JET, number++);
        p.ai.subtype = 0;
        p.ai.group = 0;
        p.ai.member = 0;
        // On the players' side, hostile to nobody.
        p.categoryFlags = 0x08;
        p.sides[1] = 0x08;
        for (uint8_t& a : p.ai.alliance) a = 1;
        p.ai.startFlags = ORF_AI_WAITING;
        p.ai.stepList = stepList;
        p.ai.route = flightRoute;
        p.ai.weapons[0] = 2;
        p.ai.weapons[1] = 2;
        p.ai.weapons[2] = 20;
        m->placed.push_back(p);
    }
}
