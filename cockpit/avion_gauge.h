// Gauge laws of the cockpit instruments: aircraft quantities to needle
// angles (units of 1/512 turn) and strip or drum offsets, and the change
// detector that decides which panels are repainted.
#pragma once
#include <cstdint>

// Needles.
float avion_AirspeedNeedle(float knots);
// The Mach needle shows only while 1.1 < mach < 1.7; false outside.
bool avion_MachNeedle(float mach, float* angle);
float avion_AltimeterPointer(int32_t feet);
// Station pressure in inches of mercury at that altitude (feet).
float avion_PressureSetting(int32_t feet);
float avion_NozzleNeedle(float x);
float avion_RpmNeedle(float fraction);
float avion_TemperatureNeedle(float t);
// Fuel gauge: f = fuel x 2.2 x 0.00022222.
float avion_FuelNeedle(float fuel);
// Tapes: the vertical velocity from the record's climb word, the angle of
// attack from its AOA value and limit word (negative: stop at +1, positive:
// -1).
float avion_VviTape(float climbWord);
float avion_AoaTape(float aoa, int32_t limit);
// Indexer lamp 1, 2 or 3.
int32_t avion_AoaCategory(float aoa, int32_t limit);

// Digit drums: `count` drums of value (most significant first) into
// out[count], each the digit plus the fraction it has rolled towards the
// next one: a drum rolls by the fraction of the drum below while every
// lower digit shows 9 (the lowest drum by the value's own fraction).
void avion_DrumDigits(float value, int32_t count, float* out);

// The samples of the change detector, in units the thresholds use.
struct AvionGaugeSample {
    float heading, pitch, roll;  // 1/512 turn
    float airspeed, mach;
    float aoa;
    int32_t category;
    float vvi;
    float fuelFlow;
    float altitude;              // feet
    float nozzle, rpm, temperature;  // needle angles
    float fuel;                  // fuel needle angle
    int32_t gearBits;            // bit 0 gear word nonzero, bit 1 gear-down flag
};
// The set last drawn (the detector updates it).
extern AvionGaugeSample avion_GaugeDrawn;
// One detector run on this sample against avion_GaugeDrawn, setting dirty
// bytes of vcp_DirtyFlags; view is the current cockpit view.
void avion_GaugeChangeDetectSample(const AvionGaugeSample& now, int32_t view);
