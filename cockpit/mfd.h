// Multi-function displays.
#pragma once
#include <cstdint>

// MFD map zoom, 16.16, kept between MFD_ZOOM_MIN and MFD_ZOOM_MAX.
constexpr int32_t MFD_ZOOM_MIN = 81920;
constexpr int32_t MFD_ZOOM_MAX = 6553600;
extern int32_t mfd_MapZoom;

// Changes the MFD map zoom by delta: zoom = clamp(zoom - delta).
void mfd_MapZoomAdjust(int32_t delta);

// Draw the current page of the left (view 3) and right (view 5) MFD.
void mfd_LeftDraw(void);
void mfd_RightDraw(void);

// Advances the radar sweep picture twice per game tick since the last step
// (at most 96 ticks).
void mfd_RadarSweepStep(void);

// Set while the MFDs are drawn enlarged over the frame.
extern int32_t mfd_EnlargedView;
