// The unit type descriptors, the turn factor curve, the skill factors and
// the formation slot tables of the unit AI.
#include <array>
#include <cstddef>

#include "sim/ai.h"

namespace {

constexpr int32_t Fx(double v) { return static_cast<int32_t>(v * 65536.0 + (v < 0 ? -0.5 : 0.5)); }

constexpr int32_t kRange = 0x4740000;  // every type's attack range

// Builds a row; the three height bands of evasion masks are given per band
// as four skill levels.
constexpr AiUnitType Row(double maxSpeed, double takeoff, double cruise, int32_t heading, int32_t pitch,
                         int32_t roll, int32_t accel, uint16_t hp, uint8_t cls, int32_t pause, double slow,
                         int32_t height, uint8_t program, uint8_t attack, std::array<uint16_t, 12> evasion) {
    AiUnitType t{};
    t.maxSpeed = Fx(maxSpeed);
    t.takeoffSpeed = Fx(takeoff);
    t.cruiseSpeed = Fx(cruise);
    t.headingRate = heading;
    t.pitchRate = pitch;
    t.rollRate = roll;
    t.acceleration = accel;
    t.hitPoints = hp;
    t.targetClass = cls;
    t.pauseLength = pause;
    t.slowSpeed = Fx(slow);
    t.attackHeight = height;
    t.attackRange = kRange;
    t.defaultProgram = program;
    t.attackProgram = attack;
    for (int32_t i = 0; i < 12; i++) t.evasion[i] = evasion[static_cast<std::size_t>(i)];
    return t;
}

constexpr uint8_t T = AI_PROGRAM_TAXI, C = AI_PROGRAM_CLIMBOUT, A = AI_PROGRAM_ATTACK, S = AI_PROGRAM_STRIKE;

// Evasion sets: fighters break hard and vary with skill; heavy aircraft
// only turn.
constexpr std::array<uint16_t, 12> kFighter = {0x21, 0x21, 0x12, 0x52, 0x31, 0x33, 0x72, 0xF2, 0x13, 0x1B, 0x5B, 0xFF};
constexpr std::array<uint16_t, 12> kHeavy = {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x41, 0x41, 0x01, 0x41, 0x41, 0x41};
constexpr std::array<uint16_t, 12> kFast = {0x41, 0x70, 0x71, 0x73, 0x43, 0x73, 0x73, 0xF3, 0x53, 0x5B, 0xDB, 0xFF};

// Anchor points of the turn factor: at rest, 50, 100, 150, 198.
constexpr std::array<AiUnitType, AI_UNIT_TYPES> BuildTypes() {
    std::array<AiUnitType, AI_UNIT_TYPES> t{};
    constexpr int32_t kHigh = 0x4650000;
    t[0] = Row(1.346, 0.370, 1.077, 0x20000, 0x20000, 0xA0000, 100, 512, 0x02, 120, 0.8, kHigh, T, A, kFighter);
    // Light fighters and trainers.
    t[1] = Row(1.280, 0.360, 1.020, 0x1E000, 0x1E000, 0x90000, 95, 480, 0x02, 120, 0.8, kHigh, T, A, kFighter);
    t[2] = Row(1.400, 0.380, 1.120, 0x20000, 0x20000, 0xA0000, 100, 512, 0x02, 120, 0.85, kHigh, T, A, kFighter);
    t[3] = Row(1.200, 0.350, 0.960, 0x1C000, 0x1C000, 0x80000, 90, 512, 0x02, 120, 0.75, kHigh, T, A, kFighter);
    t[4] = Row(1.500, 0.400, 1.200, 0x1A000, 0x1A000, 0x90000, 110, 600, 0x02, 120, 0.9, kHigh, T, A, kFighter);
    t[5] = Row(1.346, 0.370, 1.077, 0x20000, 0x20000, 0xA0000, 100, 512, 0x02, 120, 0.8, kHigh, T, A, kFighter);
    t[6] = Row(1.100, 0.360, 0.880, 0x18000, 0x18000, 0x70000, 80, 560, 0x04, 120, 0.7, 0x3A90000, T, A, kFighter);
    t[7] = Row(1.250, 0.370, 1.000, 0x1C000, 0x1C000, 0x80000, 90, 560, 0x04, 120, 0.75, 0x3A90000, T, A, kFighter);
    t[8] = Row(0.589, 0.396, 0.470, 0x8000, 0x8000, 0x10000, 50, 512, 0x08, 320, 0.4, kHigh, T, A,
               {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    t[9] = Row(0.987, 0.396, 0.789, 0xC000, 0xC000, 0x10000, 50, 512, 0x04, 320, 0.6, 0x3A90000, T, S,
               {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    t[10] = Row(0.528, 0.610, 0.475, 0x40000, 0x8000, 0x10000, 50, 400, 0x02, 320, 0.4, 0x1F40000, C, A,
                {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1});
    // Helicopters climb straight out.
    t[11] = Row(0.480, 0.580, 0.420, 0x38000, 0x8000, 0x10000, 45, 420, 0x04, 320, 0.35, 0x1F40000, C, A, kHeavy);
    t[12] = Row(0.450, 0.560, 0.400, 0x30000, 0x8000, 0x10000, 40, 600, 0x08, 320, 0.35, 0x1F40000, C, A, kHeavy);
    t[13] = Row(0.900, 0.400, 0.720, 0xA000, 0xA000, 0x18000, 50, 900, 0x04, 320, 0.6, 0x3A90000, T, S, kHeavy);
    // Transports, tankers and patrol aircraft.
    for (int32_t i = 14; i <= 17; i++)
        t[static_cast<std::size_t>(i)] = Row(0.620 + 0.02 * (i - 14), 0.400, 0.500, 0x8000, 0x8000, 0x10000, 50,
                                        static_cast<uint16_t>(700 + 50 * (i - 14)), 0x08, 320, 0.4, kHigh, T, A, kHeavy);
    // Attack aircraft.
    for (int32_t i = 18; i <= 20; i++)
        t[static_cast<std::size_t>(i)] = Row(1.050 + 0.05 * (i - 18), 0.380, 0.850, 0x14000, 0x14000, 0x60000, 80,
                                        640, 0x04, 120, 0.7, 0x3A90000, T, A, kFighter);
    t[21] = Row(2.239, 0.396, 1.792, 0x1CCCD, 0x1CCCD, 0x90000, 99, 512, 0x02, 120, 1.4, kHigh, T, A, kFast);
    // Fast interceptors and the newest fighters.
    for (int32_t i = 22; i <= 30; i++)
        t[static_cast<std::size_t>(i)] = Row(1.700 + 0.05 * (i - 22), 0.390, 1.360 + 0.04 * (i - 22), 0x1E000, 0x1E000,
                                        0x90000, 99, 512, 0x02, 120, 1.1, kHigh, T, A, kFast);
    return t;
}

constexpr std::array<AiUnitType, AI_UNIT_TYPES> kTypes = BuildTypes();

// Piecewise linear through the anchor points.
constexpr std::array<int32_t, AI_TURN_FACTORS> BuildTurnFactors() {
    constexpr int32_t at[5] = {0, 50, 100, 150, 198};
    constexpr int32_t value[5] = {0x27, Fx(0.64), Fx(1.0), Fx(0.91), Fx(0.58)};
    std::array<int32_t, AI_TURN_FACTORS> f{};
    for (int32_t i = 0; i < AI_TURN_FACTORS; i++) {
        int32_t k = 0;
        while (k < 3 && i > at[k + 1]) k++;
        const int64_t span = at[k + 1] - at[k];
        f[static_cast<std::size_t>(i)] =
            static_cast<int32_t>(value[k] + (static_cast<int64_t>(value[k + 1] - value[k]) * (i - at[k])) / span);
    }
    return f;
}

constexpr std::array<int32_t, AI_TURN_FACTORS> kTurn = BuildTurnFactors();

constexpr int32_t kSpacing = 0x60000;  // 6.0 between neighbours

constexpr AiFormationSlot Slot(int32_t x, int32_t y, int32_t z) { return AiFormationSlot{{x, y, z}, 0, 0}; }

}  // namespace

const AiUnitType ai_UnitTypes[AI_UNIT_TYPES] = {
    kTypes[0],  kTypes[1],  kTypes[2],  kTypes[3],  kTypes[4],  kTypes[5],  kTypes[6],  kTypes[7],
    kTypes[8],  kTypes[9],  kTypes[10], kTypes[11], kTypes[12], kTypes[13], kTypes[14], kTypes[15],
    kTypes[16], kTypes[17], kTypes[18], kTypes[19], kTypes[20], kTypes[21], kTypes[22], kTypes[23],
    kTypes[24], kTypes[25], kTypes[26], kTypes[27], kTypes[28], kTypes[29], kTypes[30],
};

const int32_t ai_TurnFactor[AI_TURN_FACTORS] = {
#define R10(i) kTurn[i], kTurn[i + 1], kTurn[i + 2], kTurn[i + 3], kTurn[i + 4], kTurn[i + 5], kTurn[i + 6], \
               kTurn[i + 7], kTurn[i + 8], kTurn[i + 9]
    R10(0),   R10(10),  R10(20),  R10(30),  R10(40),  R10(50),  R10(60),  R10(70),  R10(80),  R10(90),
    R10(100), R10(110), R10(120), R10(130), R10(140), R10(150), R10(160), R10(170), R10(180),
    kTurn[190], kTurn[191], kTurn[192], kTurn[193], kTurn[194], kTurn[195], kTurn[196], kTurn[197], kTurn[198],
#undef R10
};

const int32_t ai_SpeedSkill[4] = {0xC000, 0xCCCC, 0xE666, 0x10000};
const int32_t ai_TurnSkill[4] = {0xCCCC, 0xD999, 0xE666, 0x10000};
const int32_t ai_PauseSkill[4] = {0x10000, 0xD1EB, 0xA8F5, 0x8000};

// 0 echelon right, 1 echelon left, 2 line abreast, 3 trail.
const AiFormationSlot ai_Formations[AI_FORMATIONS][AI_GROUP_MEMBERS] = {
    {Slot(kSpacing, 0, -kSpacing), Slot(2 * kSpacing, 0, -2 * kSpacing), Slot(3 * kSpacing, 0, -3 * kSpacing),
     Slot(4 * kSpacing, 0, -4 * kSpacing), Slot(5 * kSpacing, 0, -5 * kSpacing), Slot(6 * kSpacing, 0, -6 * kSpacing),
     Slot(7 * kSpacing, 0, -7 * kSpacing), Slot(8 * kSpacing, 0, -8 * kSpacing), Slot(9 * kSpacing, 0, -9 * kSpacing),
     Slot(10 * kSpacing, 0, -10 * kSpacing)},
    {Slot(-kSpacing, 0, -kSpacing), Slot(-2 * kSpacing, 0, -2 * kSpacing), Slot(-3 * kSpacing, 0, -3 * kSpacing),
     Slot(-4 * kSpacing, 0, -4 * kSpacing), Slot(-5 * kSpacing, 0, -5 * kSpacing),
     Slot(-6 * kSpacing, 0, -6 * kSpacing), Slot(-7 * kSpacing, 0, -7 * kSpacing),
     Slot(-8 * kSpacing, 0, -8 * kSpacing), Slot(-9 * kSpacing, 0, -9 * kSpacing),
     Slot(-10 * kSpacing, 0, -10 * kSpacing)},
    {Slot(kSpacing, 0, 0), Slot(-kSpacing, 0, 0), Slot(2 * kSpacing, 0, 0), Slot(-2 * kSpacing, 0, 0),
     Slot(3 * kSpacing, 0, 0), Slot(-3 * kSpacing, 0, 0), Slot(4 * kSpacing, 0, 0), Slot(-4 * kSpacing, 0, 0),
     Slot(5 * kSpacing, 0, 0), Slot(-5 * kSpacing, 0, 0)},
    {Slot(0, 0x8000, -kSpacing), Slot(0, 0x10000, -2 * kSpacing), Slot(0, 0x18000, -3 * kSpacing),
     Slot(0, 0x20000, -4 * kSpacing), Slot(0, 0x28000, -5 * kSpacing), Slot(0, 0x30000, -6 * kSpacing),
     Slot(0, 0x38000, -7 * kSpacing), Slot(0, 0x40000, -8 * kSpacing), Slot(0, 0x48000, -9 * kSpacing),
     Slot(0, 0x50000, -10 * kSpacing)},
};
