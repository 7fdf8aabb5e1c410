// Cockpit view state the eye routines set and the cockpit passes read.
#pragma once
#include <cstdint>

// The cockpit panel (view) number of the current eye.
extern int32_t vcp_CockpitPanel;
// The scale the cockpit model pass draws with (96, or 120 in panel views).
extern int32_t vcp_CockpitScale;
// Nonzero while the virtual cockpit is available (its model is loaded).
extern int32_t vcp_Available;

// The cockpit passes of the frame: the cockpit model (panel views) and the
// 3D cockpit; the cockpit-glass flag the 3D pass sets for the HUD.
void vcp_CockpitModelPass(void);
void vcp_Cockpit3dPass(void);
extern int32_t vcp_CockpitGlass;
