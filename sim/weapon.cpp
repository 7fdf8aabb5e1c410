// Weapon types: the constant rows, the current weapon and its selection,
// and the weapon models of a level.
#include "sim/weapon.h"

#include <cstring>

#include "net/client.h"
#include "platform/simlog.h"
#include "sim/ord.h"
#include "sim/plane.h"
#include "world/level.h"

namespace {

// The rows are written as three tables (identity and routines, stores and
// hits, flight and seeker numbers) and put together at compile time.
enum : int32_t {
    SK_NONE = WEAPON_SEEKER_NONE,
    SK_INFRARED = WEAPON_SEEKER_INFRARED,
    SK_ACTIVE_RADAR = WEAPON_SEEKER_ACTIVE_RADAR,
    SK_SEMI_ACTIVE_RADAR = WEAPON_SEEKER_SEMI_ACTIVE_RADAR,
    SK_ANTI_RADIATION = WEAPON_SEEKER_ANTI_RADIATION,
    SK_INFRARED_IMAGING = WEAPON_SEEKER_INFRARED_IMAGING,
    SK_TELEVISION = WEAPON_SEEKER_TELEVISION,
    SK_LASER = WEAPON_SEEKER_LASER,
    SK_SATELLITE = WEAPON_SEEKER_SATELLITE,
    GD_NONE = WEAPON_GUIDANCE_NONE,
    GD_PURSUIT = WEAPON_GUIDANCE_PURSUIT,
    GD_PURSUIT_REACQUIRE = WEAPON_GUIDANCE_PURSUIT_REACQUIRE,
    LN_NONE = WEAPON_LAUNCH_NONE,
    LN_GUN = WEAPON_LAUNCH_GUN,
    LN_MISSILE = WEAPON_LAUNCH_MISSILE,
    LN_BOMB = WEAPON_LAUNCH_BOMB,
    DC_NONE = WEAPON_DECOYS_NONE,
    DC_FLARES = WEAPON_DECOYS_FLARES,
    DC_CHAFF = WEAPON_DECOYS_CHAFF,
};

struct Identity {
    const char* id;
    const char* displayName;
    const char* mountModel;
    const char* model;
    uint32_t kind;
    int32_t seeker, guidance, launch, designation, removal, decoys;
};
struct Stores {
    int32_t shortText, secondText;
    float mass, fuel;
    int32_t hitValue, hitKind, lifetime, releaseInterval, defaultCount, defaultCapacity, soundNumber, sizeClass,
        rating;
};
struct Flight {
    int32_t seekerRange, secondRange, turnLimit, turnRamp, gimbalLimit;
    float slewRate, seekerField, lockTolerance;
    int32_t speedStep, topSpeed, targetClasses, radiusValue, bombSteeringStep, searchKindA, searchKindB,
        warningBits, dropFrames, dropValue;
};

const Identity kIdentity[WEAPON_TYPES] = {
    {"M61A1", "M61A1 20mm Cannon", nullptr, "bullet.pak", 0x701, SK_NONE, GD_NONE, LN_GUN, 0, 0, DC_NONE},
    {"AIM9M", "AIM9M Sidewinder", "sidewind.pak", "sidewind.pak", 0x3004162, SK_INFRARED, GD_PURSUIT_REACQUIRE, LN_MISSILE, 0, 1, DC_FLARES},
    {"AIM120", "AIM120 AMRAAM", "amraam.pak", "amraam.pak", 0x30009A2, SK_ACTIVE_RADAR, GD_PURSUIT, LN_MISSILE, 0, 1, DC_CHAFF},
    {"JDAM", "JDAM", "jdam.pak", "jdam.pak", 0x11C0208, SK_SATELLITE, GD_PURSUIT, LN_BOMB, 1, 1, DC_NONE},
    {"SAM", "SAM", nullptr, "bullet.pak", 0x1, SK_NONE, GD_PURSUIT, LN_MISSILE, 0, 1, DC_CHAFF},
    {"AI_BULLET", "AI BULLET", nullptr, "bullet.pak", 0x101, SK_NONE, GD_NONE, LN_GUN, 0, 0, DC_NONE},
    {"AI_SR_MISSILE", "AI SR MISSILE", nullptr, "sidewind.pak", 0x1000162, SK_NONE, GD_PURSUIT_REACQUIRE, LN_MISSILE, 0, 1, DC_FLARES},
    {"AI_MR_MISSILE", "AI MR MISSILE", nullptr, "amraam.pak", 0x10001A2, SK_NONE, GD_PURSUIT, LN_MISSILE, 0, 1, DC_CHAFF},
    {"AI_BOMB", "AI BOMB", nullptr, "jdam.pak", 0x1000208, SK_NONE, GD_PURSUIT, LN_BOMB, 0, 1, DC_NONE},
    {"FLAK", "FLAK", nullptr, nullptr, 0x0, SK_NONE, GD_NONE, LN_NONE, 0, 0, DC_NONE},
    {"FUELPOD300", "FUELPOD (300g)", "fuel_c.pak", "fuel_c.pak", 0x10, SK_NONE, GD_NONE, LN_NONE, 0, 1, DC_NONE},
    {"FUELPOD304", "FUELPOD (304g)", "fp300.pak", "fp300.pak", 0x10, SK_NONE, GD_NONE, LN_NONE, 0, 1, DC_NONE},
    {"FUELPOD370", "FUELPOD (370g)", "fuel370.pak", "fuel370.pak", 0x10, SK_NONE, GD_NONE, LN_NONE, 0, 1, DC_NONE},
    {"FUELPOD396", "FUELPOD (396g)", "fp396.pak", "fp396.pak", 0x10, SK_NONE, GD_NONE, LN_NONE, 0, 1, DC_NONE},
    {"FUELPOD600", "FUELPOD (600g)", "fuel600.pak", "fuel600.pak", 0x10, SK_NONE, GD_NONE, LN_NONE, 0, 1, DC_NONE},
    {"AGM65B", "AGM-65B Maverick", "maverick.pak", "maverick.pak", 0x3790264, SK_TELEVISION, GD_PURSUIT, LN_MISSILE, 1, 1, DC_FLARES},
    {"AGM65G", "AGM-65G Maverick", "maverick.pak", "maverick.pak", 0x3788264, SK_INFRARED_IMAGING, GD_PURSUIT, LN_MISSILE, 1, 1, DC_FLARES},
    {"AGM84A", "AGM-84A Harpoon", "harp.pak", "harp.pak", 0x3780CA4, SK_ACTIVE_RADAR, GD_PURSUIT, LN_MISSILE, 1, 1, DC_FLARES},
    {"AGM88", "AGM-88 HARM", "harm.pak", "harm.pak", 0x1382264, SK_ANTI_RADIATION, GD_PURSUIT, LN_MISSILE, 1, 1, DC_FLARES},
    {"AA10", "R-27R1 AA-10 Alamo-A", "alamo.pak", "alamo.pak", 0x10011A2, SK_SEMI_ACTIVE_RADAR, GD_PURSUIT, LN_MISSILE, 0, 1, DC_FLARES},
    {"AA8", "R-60MK AA-8 Aphid", "aphid.pak", "aphid.pak", 0x3004162, SK_INFRARED, GD_PURSUIT_REACQUIRE, LN_MISSILE, 0, 1, DC_FLARES},
    {"AA11", "R-73A/E AA-11 Archer", "archer.pak", "archer.pak", 0x3004162, SK_INFRARED, GD_PURSUIT_REACQUIRE, LN_MISSILE, 0, 1, DC_FLARES},
    {"AA12", "R-77 AA-12 Adder", "adder.pak", "adder.pak", 0x30009A2, SK_ACTIVE_RADAR, GD_PURSUIT, LN_MISSILE, 0, 1, DC_FLARES},
    {"AS10", "Kh-25ML AS-10 Karen", "karen.pak", "karen.pak", 0x19A0264, SK_LASER, GD_PURSUIT, LN_MISSILE, 1, 1, DC_FLARES},
    {"AS12", "Kh-25MP AS-12 Kegler", "kegler.pak", "kegler.pak", 0x13822A4, SK_ANTI_RADIATION, GD_PURSUIT, LN_MISSILE, 1, 1, DC_FLARES},
    {"AS14L", "Kh-29L AS-14 Kedge", "kedgel.pak", "kedgel.pak", 0x19A0264, SK_LASER, GD_PURSUIT, LN_MISSILE, 1, 1, DC_FLARES},
    {"AS14T", "Kh-29T AS-14 Kedge", "kedget.pak", "kedget.pak", 0x3590264, SK_TELEVISION, GD_PURSUIT, LN_MISSILE, 1, 1, DC_FLARES},
    {"AS17", "Kh-31P AS-17 Krypton", "krypton.pak", "krypton.pak", 0x13822A4, SK_ANTI_RADIATION, GD_PURSUIT, LN_MISSILE, 1, 1, DC_FLARES},
    {"GSH301", "Gsh-301 30mm Cannon", nullptr, "bullet.pak", 0x701, SK_NONE, GD_NONE, LN_GUN, 0, 0, DC_NONE},
    {"MK20", "Mk 20 Rockeye Cluster Bomb", "rockeye.pak", "rockeye.pak", 0x1180208, SK_NONE, GD_NONE, LN_BOMB, 1, 1, DC_NONE},
    {"MK82", "Mk 82 500-LB Laser Guided Bomb", "gbu82.pak", "gbu82.pak", 0x1FA0208, SK_LASER, GD_PURSUIT, LN_BOMB, 1, 1, DC_NONE},
    {"MK83", "Mk 83 1000-LB Laser Guided Bomb", "gbu83.pak", "gbu83.pak", 0x1FA0208, SK_LASER, GD_PURSUIT, LN_BOMB, 1, 1, DC_NONE},
    {"MK84", "Mk 84 2000-LB Laser Guided Bomb", "gbu84.pak", "gbu84.pak", 0x1FA0208, SK_LASER, GD_PURSUIT, LN_BOMB, 1, 1, DC_NONE},
    {"JDAM500", "JDAM 500-LB GPS Guided Bomb", "jdam.pak", "jdam.pak", 0x11C0208, SK_SATELLITE, GD_PURSUIT, LN_BOMB, 1, 1, DC_NONE},
    {"JDAM1000", "JDAM 1000-LB GPS Guided Bomb", "jdam10.pak", "jdam10.pak", 0x11C0208, SK_SATELLITE, GD_PURSUIT, LN_BOMB, 1, 1, DC_NONE},
    {"JDAM2000", "JDAM 2000-LB GPS Guided Bomb", "jdam20.pak", "jdam20.pak", 0x11C0208, SK_SATELLITE, GD_PURSUIT, LN_BOMB, 1, 1, DC_NONE},
    {"KAB500KR", "KAB-500KR 500-kb TV Guided Bomb", "kab50.pak", "kab50.pak", 0x3590208, SK_TELEVISION, GD_PURSUIT, LN_BOMB, 1, 1, DC_NONE},
    {"FAB250", "FAB-250 Fuel Air Bomb", "fab25.pak", "fab25.pak", 0x1180208, SK_NONE, GD_NONE, LN_BOMB, 1, 1, DC_NONE},
    {"FAB500", "FAB-500 Fuel Air Bomb", "fab50.pak", "fab50.pak", 0x1180208, SK_NONE, GD_NONE, LN_BOMB, 1, 1, DC_NONE},
};
const Stores kStores[WEAPON_TYPES] = {
    {630, 781, 0.0f, 0.0f, 64, 0, 380, 4, 480, 480, 33, 1, 1},
    {631, 782, 85.5f, 0.0f, 768, 1, 1200, 40, 0, 0, 34, 3, 75},
    {632, 783, 150.75f, 0.0f, 768, 1, 2400, 40, 0, 0, 35, 3, 100},
    {633, 784, 909.0f, 0.0f, 24576, 1, 1200, 40, 0, 0, 36, 6, 0},
    {630, 781, 0.0f, 0.0f, 768, 1, 1600, 40, 0, 0, 37, 1, 0},
    {630, 781, 0.0f, 0.0f, 64, 0, 380, 40, 0, 0, 38, 1, 0},
    {631, 782, 0.0f, 0.0f, 768, 1, 1200, 40, 0, 0, 39, 3, 0},
    {632, 783, 0.0f, 0.0f, 768, 1, 3600, 40, 0, 0, 40, 3, 0},
    {633, 784, 0.0f, 0.0f, 24576, 1, 1200, 40, 0, 0, 41, 6, 0},
    {630, 781, 0.0f, 0.0f, 640, 2, 380, 40, 0, 0, 42, 1, 0},
    {662, 813, 106.0f, 758.0f, 0, 1, 1200, 40, 0, 0, 43, 1, 0},
    {634, 785, 130.0f, 768.0f, 0, 1, 1200, 40, 0, 0, 44, 1, 0},
    {635, 786, 156.0f, 935.0f, 0, 1, 1200, 40, 0, 0, 45, 1, 0},
    {636, 787, 190.0f, 1168.0f, 0, 1, 1200, 40, 0, 0, 46, 1, 0},
    {637, 788, 212.0f, 1516.0f, 0, 1, 1200, 40, 0, 0, 47, 1, 0},
    {638, 789, 270.9f, 0.0f, 3072, 1, 1200, 40, 0, 0, 48, 4, 75},
    {639, 790, 301.5f, 0.0f, 7373, 1, 1200, 40, 0, 0, 49, 4, 100},
    {640, 791, 515.25f, 0.0f, 12288, 1, 2400, 40, 0, 0, 50, 4, 100},
    {641, 792, 360.0f, 0.0f, 3564, 1, 1600, 40, 0, 0, 51, 4, 75},
    {642, 793, 254.0f, 0.0f, 768, 1, 1600, 40, 0, 0, 52, 3, 100},
    {643, 794, 43.5f, 0.0f, 768, 1, 1200, 40, 0, 0, 53, 3, 150},
    {644, 795, 105.0f, 0.0f, 768, 1, 1200, 40, 0, 0, 54, 3, 100},
    {645, 796, 175.0f, 0.0f, 768, 1, 3600, 40, 0, 0, 55, 3, 50},
    {646, 797, 300.0f, 0.0f, 2114, 1, 1200, 40, 0, 0, 56, 4, 75},
    {647, 798, 300.0f, 0.0f, 2212, 1, 2400, 40, 0, 0, 57, 4, 75},
    {648, 799, 660.0f, 0.0f, 7791, 1, 1200, 40, 0, 0, 58, 4, 125},
    {649, 800, 680.0f, 0.0f, 7791, 1, 1200, 40, 0, 0, 59, 4, 75},
    {650, 801, 650.0f, 0.0f, 2212, 1, 2400, 40, 0, 0, 60, 4, 100},
    {651, 802, 0.0f, 0.0f, 96, 0, 380, 8, 150, 150, 61, 1, 1},
    {652, 803, 412.0f, 0.0f, 16384, 1, 1200, 40, 0, 0, 62, 10, 10},
    {653, 804, 227.0f, 0.0f, 8192, 1, 1200, 40, 0, 0, 63, 6, 10},
    {654, 805, 455.0f, 0.0f, 16384, 1, 1200, 40, 0, 0, 64, 6, 10},
    {655, 806, 909.0f, 0.0f, 32767, 1, 1200, 40, 0, 0, 65, 6, 10},
    {656, 807, 227.0f, 0.0f, 8192, 1, 1200, 40, 0, 0, 66, 6, 10},
    {657, 808, 455.0f, 0.0f, 16384, 1, 1200, 40, 0, 0, 67, 6, 10},
    {658, 809, 909.0f, 0.0f, 32767, 1, 1200, 40, 0, 0, 68, 6, 10},
    {659, 810, 560.0f, 0.0f, 16384, 1, 1200, 40, 0, 0, 69, 6, 10},
    {660, 811, 250.0f, 0.0f, 10000, 1, 1200, 40, 0, 0, 70, 10, 10},
    {661, 812, 500.0f, 0.0f, 20000, 1, 1200, 40, 0, 0, 71, 10, 10},
};
const Flight kFlight[WEAPON_TYPES] = {
    {760, 1520, 0x0, 0x0, 0, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 3, 0x0, 0x0, 1, 0x1, 0, 0, 0},
    {2280, 3800, 0x14000, 0x800, 0x400000, 0.5f, 20.0f, 5.0f, 0xDC, 0x40000, 1, 0x0, 0x0, 1, 0x1, 1, 20, 512},
    {9880, 15200, 0x14000, 0x400, 0x400000, 0.025f, 15.0f, 5.0f, 0x64, 0x50000, 1, 0x0, 0x0, 1, 0x1, 2, 20, 512},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x4000, 2, 0x40, 0, 0, 0},
    {9120, 15200, 0x28000, 0x4000, 0x800000, 0.0f, 0.0f, 0.0f, 0x200, 0x40000, 1, 0x0, 0x0, 1, 0x1, 2, 0, 0},
    {760, 1520, 0x0, 0x0, 0, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 3, 0x0, 0x0, 1, 0x1, 0, 0, 0},
    {2280, 7600, 0x14000, 0x400, 0x400000, 0.0f, 0.0f, 0.0f, 0xDC, 0x40000, 1, 0x0, 0x0, 1, 0x1, 1, 20, 512},
    {9120, 15200, 0x14000, 0x400, 0x400000, 0.0f, 0.0f, 0.0f, 0x64, 0x50000, 1, 0x0, 0x0, 1, 0x1, 2, 20, 512},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x8000, 2, 0x40, 0, 0, 0},
    {760, 1520, 0x0, 0x0, 0, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 3, 0x0, 0x0, 1, 0x1, 0, 0, 0},
    {0, 0, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x2000, 0x0, 2, 0x40, 0, 0, 0},
    {0, 0, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x2000, 0x0, 2, 0x40, 0, 0, 0},
    {0, 0, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x2000, 0x0, 2, 0x40, 0, 0, 0},
    {0, 0, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x2000, 0x0, 2, 0x40, 0, 0, 0},
    {0, 0, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x2000, 0x0, 2, 0x40, 0, 0, 0},
    {2280, 3800, 0x204000, 0x800, 0x400000, 10.0f, 180.0f, 5.0f, 0xDC, 0x40000, 2, 0x20000, 0x0, 2, 0x40, 1, 20, 512},
    {4940, 7600, 0x204000, 0x800, 0x400000, 10.0f, 180.0f, 10.0f, 0xDC, 0x40000, 2, 0x20000, 0x0, 2, 0x40, 1, 20, 512},
    {11400, 15200, 0x204000, 0x800, 0x400000, 1.0f, 30.0f, 3.0f, 0xDC, 0x40000, 2, 0x20000, 0x0, 2, 0x40, 1, 20, 512},
    {9500, 15200, 0x204000, 0x800, 0x400000, 0.0f, 0.0f, 0.0f, 0xDC, 0x40000, 2, 0x20000, 0x0, 2, 0x40, 1, 20, 512},
    {9880, 13680, 0x14000, 0x800, 0x400000, 0.0f, 0.0f, 0.0f, 0x64, 0x50000, 1, 0x0, 0x0, 1, 0x1, 1, 20, 512},
    {2280, 3040, 0x14000, 0x800, 0x400000, 0.125f, 45.0f, 10.0f, 0xDC, 0x40000, 1, 0x0, 0x0, 1, 0x1, 1, 20, 512},
    {6080, 12160, 0x14000, 0x800, 0x400000, 0.125f, 45.0f, 10.0f, 0xDC, 0x40000, 1, 0x0, 0x0, 1, 0x1, 1, 20, 512},
    {30400, 36480, 0x14000, 0x800, 0x400000, 1.0f, 30.0f, 3.0f, 0x64, 0x50000, 1, 0x0, 0x0, 1, 0x1, 1, 20, 512},
    {4180, 8360, 0x14000, 0x800, 0x400000, 0.125f, 45.0f, 10.0f, 0xDC, 0x40000, 2, 0x20000, 0x0, 2, 0x40, 1, 20, 512},
    {12160, 18240, 0x14000, 0x800, 0x400000, 0.125f, 45.0f, 10.0f, 0xDC, 0x40000, 2, 0x20000, 0x0, 2, 0x40, 1, 20, 512},
    {2280, 6080, 0x14000, 0x800, 0x400000, 0.125f, 45.0f, 10.0f, 0xDC, 0x40000, 2, 0x20000, 0x0, 2, 0x40, 1, 20, 512},
    {2280, 7600, 0x14000, 0x800, 0x400000, 0.125f, 15.0f, 10.0f, 0xDC, 0x40000, 2, 0x20000, 0x0, 2, 0x40, 1, 20, 512},
    {15200, 36480, 0x14000, 0x800, 0x400000, 0.0f, 0.0f, 0.0f, 0xDC, 0x40000, 2, 0x20000, 0x0, 2, 0x40, 1, 20, 512},
    {760, 1520, 0x0, 0x0, 0, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 3, 0x0, 0x0, 1, 0x1, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x0, 2, 0x40, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x8000, 2, 0x40, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x6400, 2, 0x40, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x5400, 2, 0x40, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x4000, 2, 0x40, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x3800, 2, 0x40, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x3000, 2, 0x40, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.125f, 25.0f, 10.0f, 0x0, 0x0, 2, 0x200000, 0x2000, 2, 0x40, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x0, 2, 0x40, 0, 0, 0},
    {3040, 6080, 0xC000, 0x400, 0x2000000, 0.0f, 0.0f, 0.0f, 0x0, 0x0, 2, 0x200000, 0x0, 2, 0x40, 0, 0, 0},
};

constexpr _WEAPON_TYPE Row(int32_t i) {
    const Identity& a = kIdentity[i];
    const Stores& s = kStores[i];
    const Flight& f = kFlight[i];
    _WEAPON_TYPE r{};
    r.id = a.id;
    r.displayName = a.displayName;
    r.mountModel = a.mountModel;
    r.model = a.model;
    r.index = i;
    r.shortText = s.shortText;
    r.secondText = s.secondText;
    r.kind = a.kind;
    r.designation = a.designation;
    r.seeker = static_cast<WeaponSeekerKind>(a.seeker);
    r.guidance = static_cast<WeaponGuidanceKind>(a.guidance);
    r.bombRoutines = (a.kind & WEAPON_BOMB) ? 1 : 0;
    r.launch = static_cast<WeaponLaunchKind>(a.launch);
    r.removal = a.removal;
    r.mass = s.mass;
    r.fuel = s.fuel;
    r.hitValue = s.hitValue;
    r.radiusValue = f.radiusValue;
    r.bombSteeringStep = f.bombSteeringStep;
    r.lifetime = s.lifetime;
    r.releaseInterval = s.releaseInterval;
    r.seekerRange = f.seekerRange;
    r.secondRange = f.secondRange;
    r.turnLimit = f.turnLimit;
    r.turnRamp = f.turnRamp;
    r.gimbalLimit = f.gimbalLimit;
    r.slewRate = f.slewRate;
    r.seekerField = f.seekerField;
    r.lockTolerance = f.lockTolerance;
    r.speedStep = f.speedStep;
    r.topSpeed = f.topSpeed;
    r.hitKind = s.hitKind;
    r.targetClasses = f.targetClasses;
    r.searchKindA = f.searchKindA;
    r.searchKindB = f.searchKindB;
    r.warningBits = f.warningBits;
    r.decoys = static_cast<WeaponDecoyKind>(a.decoys);
    r.dropFrames = f.dropFrames;
    r.dropValue = f.dropValue;
    r.soundNumber = s.soundNumber;
    // The two player guns (M61A1 and GSH301) carry the gun factors and a
    // firing-sound interval.
    if (i == 0 || i == 28) {
        r.gunFactors[0] = r.gunFactors[1] = r.gunFactors[2] = 0x10000;
        r.firingSoundInterval = i == 0 ? 20 : 40;
    }
    r.rating = s.rating;
    r.defaultCount = s.defaultCount;
    r.defaultCapacity = s.defaultCapacity;
    r.sizeClass = s.sizeClass;
    return r;
}

}  // namespace

const _WEAPON_TYPE weapon_Types[WEAPON_TYPES + 1] = {
    Row(0), Row(1), Row(2), Row(3), Row(4), Row(5), Row(6), Row(7), Row(8), Row(9), Row(10), Row(11), Row(12), Row(13), Row(14), Row(15), Row(16), Row(17), Row(18), Row(19), Row(20), Row(21), Row(22), Row(23), Row(24), Row(25), Row(26), Row(27), Row(28), Row(29), Row(30), Row(31), Row(32), Row(33), Row(34), Row(35), Row(36), Row(37), Row(38), _WEAPON_TYPE{},
};

WeaponRowState weapon_RowState[WEAPON_TYPES];

int32_t weapon_CurrentId = -1;
int32_t weapon_CurrentPanelIndex = -1;
int32_t weapon_CurrentMount = -1;
_WEAPON_TYPE weapon_Current = {nullptr, nullptr, nullptr, nullptr, -1};
const _WEAPON_TYPE* weapon_CurrentRow = nullptr;
float weapon_SeekerHead[2];
float weapon_SeekerTrack[3];
int32_t weapon_GunMode = 0;
const _WEAPON_TYPE* weapon_ProcessedType = &weapon_Types[0];

const _WEAPON_TYPE* weapon_TypeGet(int32_t type) {
    return type >= 0 && type < WEAPON_TYPES ? &weapon_Types[type] : nullptr;
}

int32_t ord_StoreClass(int32_t type) {
    const _WEAPON_TYPE* r = weapon_TypeGet(type);
    if (!r) return 7;
    uint32_t k = r->kind;
    if (k & WEAPON_GUN) return 0;
    if (k & WEAPON_MISSILE) {
        if ((k & WEAPON_AIR_TO_AIR) && (k & WEAPON_FAMILY_A)) return 2;
        if (k & WEAPON_AIR_TO_AIR) return 1;
        if (k & WEAPON_FAMILY_A) return 4;
        return 3;
    }
    if (k & WEAPON_BOMB) return 5;
    if (k & WEAPON_POD) return 6;
    return 7;
}

namespace {

struct BitText {
    uint32_t bit;
    const char* text;
};
const char* FirstText(int32_t type, const BitText* t, size_t n) {
    const _WEAPON_TYPE* r = weapon_TypeGet(type);
    if (!r) return nullptr;
    for (size_t i = 0; i < n; i++)
        if (r->kind & t[i].bit) return t[i].text;
    return nullptr;
}

}  // namespace

const char* weapon_KindText(int32_t type) {
    static const BitText k[] = {{WEAPON_ANTI_SHIP, "LO_AIRTOSHIP"}, {WEAPON_BOMB, "LO_BOMB"},
                                {WEAPON_POD, "LO_FUELPOD"},      {WEAPON_AIR_TO_AIR, "LO_AIRTOAIR"},
                                {WEAPON_AIR_TO_GROUND, "LO_AIRTOGROUND"}};
    return FirstText(type, k, sizeof k / sizeof k[0]);
}

const char* weapon_GuidanceText(int32_t type) {
    static const BitText k[] = {{WEAPON_RADAR_ACTIVE, "LO_RADAR"}, {WEAPON_RADAR_SEMI, "LO_RADAR"},
                                {WEAPON_RADAR_ANTI, "LO_RADAR"},   {WEAPON_IR_IMAGING, "LO_HEAT"},
                                {WEAPON_IR_MISSILE, "LO_HEAT"},    {WEAPON_TV, "LO_TV"},
                                {WEAPON_LASER, "LO_LASER"},        {WEAPON_GPS, "LO_GPS"}};
    return FirstText(type, k, sizeof k / sizeof k[0]);
}

void weapon_CurrentReset(void) {
    weapon_CurrentId = -1;
    weapon_CurrentPanelIndex = -1;
    weapon_CurrentMount = -1;
    weapon_CurrentRow = nullptr;
    memset(&weapon_Current, 0, sizeof weapon_Current);
    weapon_Current.index = -1;
    weapon_SeekerHead[0] = weapon_SeekerHead[1] = 0.0f;
}

void weapon_Select(int32_t type) {
    if (type < 0 || type >= WEAPON_TYPES) type = -1;
    if (type == weapon_CurrentId) return;
    weapon_CurrentId = type;
    weapon_CurrentRow = weapon_TypeGet(type);
    if (weapon_CurrentRow) {
        weapon_Current = *weapon_CurrentRow;
    } else {
        memset(&weapon_Current, 0, sizeof weapon_Current);
        weapon_Current.index = -1;
    }
    weapon_CurrentPanelIndex = -1;
    weapon_CurrentMount = -1;
    if (_ORDNANCE_PANEL* p = ord_PanelFind(type)) {
        weapon_CurrentPanelIndex = p->index;
        const _ORDNANCE_MOUNT* m = ord_MountChoose(p);
        weapon_CurrentMount = m ? m->index : -1;
    }
    plane_HookWeaponChanged(0);
    weapon_SeekerHead[0] = weapon_SeekerHead[1] = 0.0f;
    if (weapon_Current.designation) weapon_TargetListSeed();
    weapon_TargetValidate();
    plat_SimLog("weapon", "select %d %s panel=%d mount=%d", weapon_CurrentId,
                weapon_CurrentRow ? weapon_CurrentRow->id : "none", weapon_CurrentPanelIndex, weapon_CurrentMount);
    if (weapon_Current.index != -1) Client_SendPlayerTrig((uint16_t)weapon_Current.index, 12);
}

void weapon_SetCurrentType(int32_t type) {
    weapon_ProcessedType = weapon_TypeGet(type) ? &weapon_Types[type] : &weapon_Types[0];
}

void weapon_SelectByIndex(int32_t panelIndex) {
    if (const _ORDNANCE_PANEL* p = ord_PanelByIndex(panelIndex)) weapon_Select(p->weaponId);
}

void weapon_SelectByMount(int32_t mountNumber) {
    if (const _ORDNANCE_MOUNT* m = ord_MountByNumber(mountNumber)) weapon_Select(m->type);
}

namespace {

int32_t PanelCount(void) { return ord_Manager ? ord_Manager->panels.count : 0; }

uint32_t PanelKind(const _ORDNANCE_PANEL* p) {
    const _WEAPON_TYPE* r = weapon_TypeGet(p->weaponId);
    return (r ? r : &weapon_Types[0])->kind;
}

void SelectPanel(const _ORDNANCE_PANEL* p) {
    if (p) weapon_Select(p->weaponId);
}

void Step(int32_t delta) {
    int32_t n = PanelCount() - 1;
    int32_t i = weapon_CurrentPanelIndex + delta;
    if (i < -1 || i > n) i = delta < 0 ? n : -1;
    if (i == -1)
        weapon_Select(-1);
    else
        weapon_SelectByIndex(i);
}

// The kind jump: walk from the current panel in one direction to the first
// panel of another kind and select the first panel of that kind.
void KindJump(bool forward) {
    if (!ord_Manager || !ord_Manager->panels.head) return;
    if (weapon_CurrentId < 0) {
        const _ORDNANCE_PANEL* from = forward ? ord_Manager->panels.head : ord_Manager->panels.tail;
        weapon_SelectFirstOfKind(PanelKind(from) & WEAPON_KIND_MASK);
        return;
    }
    uint32_t kind = weapon_Types[weapon_CurrentId].kind & WEAPON_KIND_MASK;
    const _ORDNANCE_PANEL* p = ord_PanelFind(weapon_CurrentId);
    for (; p; p = forward ? p->next : p->prev) {
        uint32_t k = PanelKind(p) & WEAPON_KIND_MASK;
        if (k != kind) {
            weapon_SelectFirstOfKind(k);
            return;
        }
    }
    weapon_Select(-1);
}

void CycleInKind(uint32_t mask, bool forward) {
    if (!ord_Manager) return;
    const _ORDNANCE_PANEL* cur = ord_PanelFind(weapon_CurrentId);
    if (!cur || !(weapon_Types[weapon_CurrentId].kind & mask)) {
        SelectPanel(forward ? weapon_FindFirstOfKind(mask) : weapon_FindLastOfKind(mask));
        return;
    }
    const _ORDNANCE_PANEL* p = cur;
    for (;;) {
        p = forward ? p->next : p->prev;
        if (!p) p = forward ? ord_Manager->panels.head : ord_Manager->panels.tail;
        if (p == cur) return;
        if (PanelKind(p) & mask) {
            SelectPanel(p);
            return;
        }
    }
}

}  // namespace

void weapon_SelectPrev(void) { Step(-1); }
void weapon_SelectNext(void) { Step(1); }

_ORDNANCE_PANEL* weapon_FindFirstOfKind(uint32_t mask) {
    for (_ORDNANCE_PANEL* p = ord_Manager ? ord_Manager->panels.head : nullptr; p; p = p->next)
        if (PanelKind(p) & mask) return p;
    return nullptr;
}

_ORDNANCE_PANEL* weapon_FindLastOfKind(uint32_t mask) {
    for (_ORDNANCE_PANEL* p = ord_Manager ? ord_Manager->panels.tail : nullptr; p; p = p->prev)
        if (PanelKind(p) & mask) return p;
    return nullptr;
}

void weapon_SelectFirstOfKind(uint32_t mask) { SelectPanel(weapon_FindFirstOfKind(mask)); }
void weapon_SelectLastOfKind(uint32_t mask) { SelectPanel(weapon_FindLastOfKind(mask)); }
void weapon_SelectKindPrev(void) { KindJump(false); }
void weapon_SelectKindNext(void) { KindJump(true); }
void weapon_SelectPrevInKind(uint32_t mask) { CycleInKind(mask, false); }
void weapon_SelectNextInKind(uint32_t mask) { CycleInKind(mask, true); }

void weapon_SelectSamePrev(void) {
    if (weapon_CurrentId >= 0) weapon_SelectPrevInKind(weapon_Types[weapon_CurrentId].kind & WEAPON_KIND_MASK);
}

void weapon_SelectSameNext(void) {
    if (weapon_CurrentId >= 0) weapon_SelectNextInKind(weapon_Types[weapon_CurrentId].kind & WEAPON_KIND_MASK);
}

int32_t weapon_KeyCode(int32_t code) {
    // SELECT_WEAPON_AAM_PREV .. SELECT_WEAPON_POD_NEXT: pairs of masks.
    static const uint32_t kMasks[4] = {WEAPON_AAM, WEAPON_AGM, WEAPON_BOMB, WEAPON_POD};
    switch (code) {
    case 9: weapon_SelectPrev(); return 1;
    case 10: weapon_SelectNext(); return 1;
    case 11: weapon_Select(-1); return 1;
    case 12:
        // Pressed again on the gun panel it toggles the gun mode, which the
        // weapon-changed hook applies.
        if (weapon_CurrentPanelIndex == 0 && ord_PanelByIndex(0)) {
            weapon_GunMode ^= 1;
            plane_HookWeaponChanged(0);
        } else {
            weapon_SelectByIndex(0);
        }
        return 1;
    case 23: weapon_SelectKindPrev(); return 1;
    case 24: weapon_SelectKindNext(); return 1;
    case 25: weapon_SelectSamePrev(); return 1;
    case 26: weapon_SelectSameNext(); return 1;
    default: break;
    }
    if (code >= 13 && code <= 22) {
        weapon_SelectByIndex(code - 12);
        return 1;
    }
    if (code >= 27 && code <= 34) {
        uint32_t mask = kMasks[(code - 27) / 2];
        if ((code - 27) % 2 == 0)
            weapon_SelectPrevInKind(mask);
        else
            weapon_SelectNextInKind(mask);
        return 1;
    }
    return 0;
}

void weapon_LoadModels(void) {
    int32_t loaded = 0;
    for (int32_t i = 0; i < WEAPON_TYPES; i++) {
        WeaponRowState& s = weapon_RowState[i];
        s.model = nullptr;
        s.slot = 0;
        if (!weapon_Types[i].model) continue;
        LevelPakRef ref{};
        s.slot = level_LoadPak(&ref, weapon_Types[i].model);
        s.model = ref.pak;
        loaded++;
    }
    plat_SimLog("weapon", "models rows=%d", loaded);
}

void weapon_UnloadModels(void) {
    for (WeaponRowState& s : weapon_RowState) {
        s.model = nullptr;
        s.slot = 0;
    }
}

ObjectRecord* weapon_FlareList = nullptr;
ObjectRecord* weapon_ChaffList = nullptr;
int32_t weapon_LaunchCounters[2];

void weapon_DecoyListsReset(void) {
    weapon_FlareList = weapon_ChaffList = nullptr;
    weapon_LaunchCounters[0] = weapon_LaunchCounters[1] = 0;
}
