// The threat warning instrument (a 128 x 128 panel image) and the rolling
// failure bar that a failed display shows.
#pragma once
#include <cstdint>

struct ObjectRecord;

// The system whose failure blanks the threat instrument and the MFD stores
// and situation pictures.
constexpr int32_t AVION_DISPLAY_SYSTEM = 9;
// Nonzero while that system has failed (any nonzero damage word).
bool avion_DisplayFailed(void);

// The instrument's own zoom (16.16), used in place of the MFD zoom.
constexpr int32_t AVION_THREAT_ZOOM = 0x28000;
// The object masks of the instrument's walk: aircraft, threat sites and
// missiles; state bits 1, 2 and 6.
constexpr uint8_t AVION_THREAT_CLASS_MASK = 0x0D;
constexpr uint8_t AVION_THREAT_STATE_MASK = 0x46;

// One frame of the instrument into the current surface; the player's
// aircraft is the viewer. With the display system failed only the failure
// bar is drawn.
void avion_ThreatDisplayDraw(void);
// The walk over the client objects (never the viewer or its target), then
// the site list.
void avion_ThreatDisplayObjects(void);
void avion_ThreatMarkSiteList(const ObjectRecord* own);
// One marker each, at the fixed position of the object's direction; nothing
// when the object fails its state test or projects outside the clip window.
void avion_ThreatMarkGround(const ObjectRecord* object, const ObjectRecord* own);
void avion_ThreatMarkSite(const ObjectRecord* object, const ObjectRecord* own);
void avion_ThreatMarkAircraft(const ObjectRecord* object, const ObjectRecord* own);
void avion_ThreatMarkMissile(const ObjectRecord* object, const ObjectRecord* own);
// Marker positions of a projected point: one of eight around the centre
// (64, 64), or one of four for missiles.
void avion_ThreatOctant(int32_t px, int32_t py, int32_t* x, int32_t* y);
void avion_ThreatQuadrant(int32_t px, int32_t py, int32_t* x, int32_t* y);
// True when the object points at the player: its bearing to the player
// within 0x2B0000 of its heading and its elevation within 0x150000 of its
// pitch, both compared around the circle.
bool avion_ThreatAimedAtPlayer(const ObjectRecord* object, const ObjectRecord* own);

// The failure bar: three lines from x 10 to 620 that move 4 + extra rows a
// frame and wrap back by 450 rows past row 470. The row is kept between
// frames.
extern int32_t mfd_FailureBarRow;
void mfd_DrawFailureBar(int32_t extra);
