// The mission map screen. The view works in picture pixels (one pixel is
// 1 << 22 world units, north up); the screen view is the left 464 x 480 of
// the page. Zoom levels run from -1 (half size) to 4 (16 times).
#include <cmath>
#include <cstdio>
#include <cstring>

#include "base/filetable.h"
#include "base/le.h"
#include "base/mem.h"
#include "base/text.h"
#include "cockpit/tacmap.h"
#include "display/draw_line.h"
#include "display/dsurf.h"
#include "menu/brief.h"
#include "menu/map.h"
#include "menu/newcamp.h"
#include "menu/quick.h"
#include "platform/simlog.h"
#include "shell/keyqueue.h"
#include "shell/mouse.h"
#include "shell/runner.h"
#include "shell/startup.h"
#include "shell/wndproc.h"
#include "sound/music.h"
#include "world/level.h"
#include "world/levelseq.h"
#include "world/orf.h"

MnuMapState mnu_Map = {};

namespace {

constexpr int32_t kViewWidth = 464, kViewHeight = 480;
constexpr int32_t kScreenRow = 640;
constexpr uint32_t kDitherSeed = 305419896u;
// The map's colour slots: threat rings of friends and of hostiles, the route.
constexpr int32_t kSlotRing = 25, kSlotHostileRing = 26, kSlotRoute = 27;
const char* const kIconNames[MNU_MAP_ICON_SETS] = {"ImageMapIconsB", "ImageMapIconsBl", "ImageMapIconsR",
                                                   "ImageMapIconsRl"};

MnuMapState& M(void) { return mnu_Map; }

int32_t Min(int32_t a, int32_t b) { return a < b ? a : b; }
int32_t Max(int32_t a, int32_t b) { return a > b ? a : b; }

// Scales a picture distance to the screen at the current level.
int32_t ToScreen(int32_t d) { return M().level >= 0 ? d * (1 << M().level) : d >> -M().level; }

bool Quick(void) { return mnu_GameMode == 1; }

const MnuMissionHeader* Header(void) {
    if (mnu_UserMissionName[0] && Quick()) return &mnu_UserMission;
    return mnu_QuickMissionCurrent();
}

void IconRect(MnuMapObject* o) {
    o->icon = MnuRect{o->x - M().iconWidth / 2, o->y - M().iconHeight / 2, o->x + M().iconWidth / 2,
                      o->y + M().iconHeight / 2};
}

const char* GameText(int32_t item) {
    if (!M().gameData || item < 0) return nullptr;
    FileTableEntry* e = file_TableEntryGet(M().gameData, (uint32_t)item);
    return e ? e->text : nullptr;
}

const char* MenuText(const char* key) {
    MnuString* s = mnu_Context ? mnu_StringFind(mnu_Context, key) : nullptr;
    return s && s->text ? s->text : nullptr;
}

// The origin kept inside the picture; a picture smaller than the view keeps
// the origin at 0.
void ClampOrigin(int32_t bottomMargin) {
    MnuMapState& m = M();
    m.originX = Max(0, Min(m.originX, m.pictureWidth - m.width));
    m.originY = Max(0, Min(m.originY, m.pictureHeight - m.height - bottomMargin));
}

int32_t LevelMargin(void) { return M().level > 0 ? M().level : 0; }

void PopupShow(const char* text) {
    MnuContext* c = mnu_Context;
    if (!c || !text) return;
    mnu_PopupShow(c, text, "ARIAL10W", -1, nullptr, 0, nullptr, 0, 32);
    int32_t w = mnu_Popup.rect.right - mnu_Popup.rect.left + 16;
    int32_t h = mnu_Popup.rect.bottom - mnu_Popup.rect.top + 16;
    mnu_PopupRectSet((kViewWidth - w) / 2, mnu_Popup.rect.top - 8 - 16, w, h, 512);
    // The popup is drawn over the map: the map comes back under it first.
    M().redraw = 1;
}

void WaypointPopup(int32_t i) {
    MnuMapState& m = M();
    if (i < 0 || i >= m.waypointCount) return;
    LevelMapItem item = {};
    item.kind = (uint8_t)MNU_MAP_WAYPOINT_TYPE;
    item.index = (uint16_t)i;
    PopupShow(tacmap_ItemNameGetC(&item));
}

bool InView(const MnuMapObject& o) {
    const MnuMapState& m = M();
    return o.x >= m.originX && o.x < m.originX + m.width && o.y >= m.originY && o.y < m.originY + m.height;
}

bool Under(const MnuMapObject& o, int32_t x, int32_t y) {
    return x >= o.screen.left && x < o.screen.right && y >= o.screen.top && y < o.screen.bottom;
}

bool InsideView(int32_t x, int32_t y) {
    const MnuRect& v = M().view;
    return x >= v.left && x < v.right && y >= v.top && y < v.bottom;
}

void StateClear(void) {
    MnuMapState& m = M();
    m.panning = 0;
    m.panSteps = 0;
    m.dragging = 0;
    m.dragged = nullptr;
    m.selectedObject = -1;
    m.selectedWaypoint = -1;
    m.currentWaypoint = 0;
    m.centreX = m.waypointCount > 0 ? m.waypoints[0].x : kViewWidth / 2;
    m.centreY = m.waypointCount > 0 ? m.waypoints[0].y : kViewHeight / 2;
}

// Objects, waypoints and undo copy from the mission and the briefing's
// point list.
void RecordsBuild(void) {
    _ORF* mission = orf_Load(level_MissionNames.mission, 0);
    if (Quick())
        memset(level_MissionOptions, 0, sizeof level_MissionOptions);
    else
        memcpy(level_MissionOptions, mnu_Pilot.record + MNU_PILOT_MISSION_STATE, sizeof level_MissionOptions);
    mnu_MapObjectsBuild(mission);
    if (mission) orf_Free(mission);
    mnu_MapWaypointsBuild(&mnu_Brief.points[0][0], mnu_Brief.pointCount);
}

void MapCenter(void) {
    while (M().level > 0) mnu_MapZoomOut();
    while (M().level < 0) mnu_MapZoomIn();
    mnu_MapCentreOn(M().centreX, M().centreY);
}

// Buttons pressed while their keys are down.
void KeyPass(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    static const struct {
        uint32_t code;
        const char* button;
    } kKeys[] = {{107, "BtnMapZoomIn"}, {109, "BtnMapZoomOut"}, {36, "BtnMapCenter"}, {35, "BtnMapReset"},
                 {33, "BtnMapWPR"},     {34, "BtnMapWPL"},     {166, "BtnMapUp"},    {167, "BtnMapRight"},
                 {168, "BtnMapDown"},   {165, "BtnMapLeft"}};
    for (const auto& k : kKeys) {
        if (!app_KeyState.downTable[k.code & 0xFF]) continue;
        if (mnu_ButtonGetState(c, k.button) == MNU_STATE_PRESSED) continue;
        mnu_ButtonSetState(c, k.button, MNU_STATE_PRESSED);
        if (k.code == 36) mnu_ButtonSetState(c, "BtnMapCenter2", MNU_STATE_HOVER);
    }
}

void PointerPass(void) {
    if (M().objectCount + M().waypointCount <= 0) return;
    mnu_MapPointer(app_MouseState.x, app_MouseState.y, app_MouseState.buttons & 1);
}

// Blits one frame of an icon strip at the record's screen rectangle.
void IconDraw(MnuImage* strip, const MnuMapObject& o) {
    if (!strip || strip->frameCount <= 0) return;
    if (o.iconFrame < 0 || o.iconFrame >= strip->frameCount) return;
    MnuRect r = {0, o.iconFrame * M().iconHeight, M().iconWidth, (o.iconFrame + 1) * M().iconHeight};
    mnu_ImageBlitRect(strip, &r, o.screen.left - strip->offsetX, o.screen.top - strip->offsetY - r.top);
}

int32_t CentreX(const MnuMapObject& o) { return (o.screen.left + o.screen.right) / 2; }
int32_t CentreY(const MnuMapObject& o) { return (o.screen.top + o.screen.bottom) / 2; }

void ThreatRings(void) {
    MnuMapState& m = M();
    int32_t radius = 10 * (m.pictureWidth / 175);
    radius = m.level > 0 ? radius << m.level : m.level < 0 ? radius >> -m.level : radius;
    for (int32_t i = 0; i < m.objectCount; i++) {
        const MnuMapObject& o = m.objects[i];
        if ((o.flags & (MNU_MAP_SHOWN | MNU_MAP_THREAT)) != (MNU_MAP_SHOWN | MNU_MAP_THREAT)) continue;
        draw_CircleMidpoint(CentreX(o), CentreY(o), radius, o.type == 4 ? kSlotHostileRing : kSlotRing);
    }
}

void IconsAndRoute(void) {
    MnuMapState& m = M();
    for (MnuImage* im : m.iconSets)
        if (!im || !im->pixels) return;
    for (int32_t i = 0; i + 1 < m.waypointCount; i++)
        draw_ClipLineC(CentreX(m.waypoints[i]), CentreY(m.waypoints[i]), CentreX(m.waypoints[i + 1]),
                       CentreY(m.waypoints[i + 1]), kSlotRoute);
    for (int32_t i = 0; i < m.objectCount; i++) {
        const MnuMapObject& o = m.objects[i];
        if (o.flags & MNU_MAP_SHOWN)
            IconDraw(m.iconSets[o.type == 4 ? MNU_MAP_ICONS_R : MNU_MAP_ICONS_B], o);
    }
    for (int32_t i = 0; i < m.waypointCount; i++) IconDraw(m.iconSets[MNU_MAP_ICONS_B], m.waypoints[i]);
    const MnuMapObject* sel = nullptr;
    if (m.selectedObject >= 0 && m.selectedObject < m.objectCount) sel = &m.objects[m.selectedObject];
    else if (m.selectedWaypoint >= 0 && m.selectedWaypoint < m.waypointCount) sel = &m.waypoints[m.selectedWaypoint];
    if (sel) IconDraw(m.iconSets[sel->type == 4 ? MNU_MAP_ICONS_RL : MNU_MAP_ICONS_BL], *sel);
}

void MapPage(void) {
    MnuContext* c = mnu_Context;
    if (!c) return;
    MnuMapState& m = M();
    mnu_Draw(c);
    mnu_WindowTextDraw(c, "WndMap");
    mnu_ImageAreasDraw(c);
    _DRAW_SURFACE& s = draw_CurrentSurface;
    if (m.redraw && s.base && m.picture && (s.bytesPerPixel == 2 || s.bytesPerPixel == 4)) {
        const uint8_t* px = mnu_ImagePicture(m.picture);
        if (px && m.picture->displayCopy) {
            mnu_MapPictureCopy(reinterpret_cast<const uint16_t*>(px), m.picture->width, m.picture->height, s.base,
                               s.bytesPerPixel, kScreenRow);
        }
        m.redraw = 0;
        m.icons = 1;
    }
    if (m.icons && s.base) {
        int32_t x1 = s.clipX1, y1 = s.clipY1, x2 = s.clipX2, y2 = s.clipY2;
        draw_SetClipRect(m.view.left, m.view.top, m.view.right, m.view.bottom);
        // A zoom since the last pointer pass moved every icon.
        mnu_MapScreenRects();
        ThreatRings();
        IconsAndRoute();
        draw_SetClipRect(x1, y1, x2, y2);
        m.icons = 0;
    }
    mnu_PopupDraw(c);
}

void MapEnter(void) {
    MnuMapState& m = M();
    MnuContext* c = mnu_Context;
    mnu_LeaveFlag = 0;
    mnu_HoverCount = 0;
    music_SetVariable(0, 3);
    if (c) {
        mnu_WindowsCloseAll(c);
        mnu_WindowOpen(c, "WndMap");
        mnu_WindowShow(c, "WndMap");
        mnu_CursorSet(c, "Cursor1");
    }
    mnu_AcceptKeyCallbackSet(cbMapAccept);
    mnu_CancelKeyCallbackSet(cbStatsBack);

    const MnuMissionHeader* h = Header();
    char name[32];
    snprintf(name, sizeof name, "ImageMap%d", (h ? (int)h->header[ORF_REGION] : 0) + 1);
    m.picture = c ? mnu_ImageFind(c, name) : nullptr;
    if (m.picture && (mnu_ImageLoad(m.picture) != 0 || mnu_ImageConvert(m.picture) != 0)) m.picture = nullptr;
    for (int32_t i = 0; i < MNU_MAP_ICON_SETS; i++) {
        MnuImage* im = c ? mnu_ImageFind(c, kIconNames[i]) : nullptr;
        if (im && (mnu_ImageLoad(im) != 0 || mnu_ImageConvert(im) != 0)) im = nullptr;
        m.iconSets[i] = im;
    }
    MnuImage* icons = m.iconSets[MNU_MAP_ICONS_B];
    int32_t iw = icons ? icons->width : 0;
    int32_t ih = icons ? icons->height / (icons->frameCount > 0 ? icons->frameCount : 1) : 0;
    mnu_MapViewReset(m.picture ? m.picture->width : 0, m.picture ? m.picture->height : 0, iw, ih);
    draw_SetColourSlot(kSlotRing, 240, 220, 40);
    draw_SetColourSlot(kSlotHostileRing, 230, 40, 30);
    draw_SetColourSlot(kSlotRoute, 250, 250, 250);

    if (c) {
        for (const char* b : {"BtnMapLeft", "BtnMapDown", "BtnMapRight", "BtnMapUp"}) mnu_ButtonSetPressTimes(c, b, 8, 0);
        for (const char* b : {"BtnMapZoomIn", "BtnMapZoomOut", "BtnMapWPR", "BtnMapWPL"})
            mnu_ButtonSetPressTimes(c, b, 8, 8);
    }
    m.anchor = mem_AllocEx(4, 4, "mnu Map Anchor");
    m.gameData = file_TableLoad(app_Record.gameDataName);
    RecordsBuild();
    StateClear();
    MapCenter();
    plat_SimLog("map", "enter objects %d waypoints %d", (int)m.objectCount, (int)m.waypointCount);
    if (!c) return;
    mnu_Update(c);
    KeyPass();
    PointerPass();
    mnu_TransitionSet(c, mnu_TransForward, "WndMap", MapPage, "TRANSITION_IN", nullptr);
    WaypointPopup(0);
}

int32_t MapFrame(void) {
    app_PumpMessagesEx();
    if (mnu_LeaveFlag) return 1;
    if (mnu_Context) mnu_Update(mnu_Context);
    KeyPass();
    PointerPass();
    return 0;
}

void MapDraw(void) {
    if (!mnu_Context) return;
    if (mnu_Transition.running) M().redraw = 1;
    mnu_ScreenDraw(MapPage);
}

void MapLeave(void) {
    MnuMapState& m = M();
    // The route as the flight will take it.
    char line[512];
    size_t at = (size_t)snprintf(line, sizeof line, "waypoints %d", (int)level_WaypointList.count);
    for (int32_t i = 0; i < level_WaypointList.count && i < 32 && at < sizeof line; i++)
        at += (size_t)snprintf(line + at, sizeof line - at, " %d,%d", (int)level_WaypointList.entries[i].x,
                               (int)level_WaypointList.entries[i].z);
    plat_SimLog("map", "%s", line);
    if (m.picture) mnu_ImageUnload(m.picture);
    for (MnuImage* im : m.iconSets)
        if (im) mnu_ImageUnload(im);
    m.picture = nullptr;
    for (MnuImage*& im : m.iconSets) im = nullptr;
    mnu_PopupClear();
    // The transition's pages lie above the anchor too.
    mnu_TransitionFree();
    // The records and the game data table were placed after the anchor.
    if (m.anchor) mem_FreeFrom(m.anchor);
    m.anchor = nullptr;
    m.objects = m.waypoints = m.undo = nullptr;
    m.objectCount = m.waypointCount = 0;
    m.gameData = nullptr;
    m.dragged = nullptr;
    music_SetVariable(0, 0);
}

}  // namespace

const AppStateRecord WndMap = {MapEnter, MapFrame, MapDraw, MapLeave, 0};

void mnu_MapPixelFromWorld(uint32_t x, uint32_t z, int32_t* px, int32_t* py) {
    *px = (int32_t)(x >> 22);
    *py = (int32_t)(~z >> 22);
}

void mnu_MapWorldFromPixel(int32_t px, int32_t py, int32_t pictureHeight, int32_t* x, int32_t* z) {
    *x = (int32_t)((uint32_t)px << 22);
    *z = (int32_t)((uint32_t)(pictureHeight - py) << 22);
}

void mnu_MapViewReset(int32_t pictureWidth, int32_t pictureHeight, int32_t iconWidth, int32_t iconHeight) {
    MnuMapState& m = M();
    m.view = MnuRect{0, 0, kViewWidth, kViewHeight};
    m.pictureWidth = pictureWidth;
    m.pictureHeight = pictureHeight;
    m.level = 0;
    m.originX = m.originY = 0;
    m.step = 8;
    m.width = kViewWidth;
    m.height = kViewHeight;
    m.iconWidth = iconWidth;
    m.iconHeight = iconHeight;
    m.redraw = 1;
}

void mnu_MapZoomIn(void) {
    MnuMapState& m = M();
    if (m.level >= 4) return;
    m.level++;
    m.originX += m.width / 4;
    m.originY += m.height / 4;
    m.width /= 2;
    m.height /= 2;
    m.step = Max(1, m.step / 2);
    ClampOrigin(0);
    m.redraw = 1;
}

void mnu_MapZoomOut(void) {
    MnuMapState& m = M();
    if (m.level < 0) return;
    m.level--;
    m.originX -= m.width / 2;
    m.originY -= m.height / 2;
    m.width *= 2;
    m.height *= 2;
    m.step *= 2;
    ClampOrigin(LevelMargin());
    m.redraw = 1;
}

void mnu_MapMove(int32_t direction) {
    MnuMapState& m = M();
    switch (direction) {
        case 1: m.originY = Max(0, m.originY - m.step); break;
        case 2: m.originX = Max(0, Min(m.originX + m.step, m.pictureWidth - m.width)); break;
        case 3: m.originY = Max(0, Min(m.originY + m.step, m.pictureHeight - m.height - LevelMargin())); break;
        case 4: m.originX = Max(0, m.originX - m.step); break;
        default: return;
    }
    m.redraw = 1;
}

void mnu_MapCentreOn(int32_t x, int32_t y) {
    MnuMapState& m = M();
    m.originX = x - m.width / 2;
    m.originY = y - m.height / 2;
    ClampOrigin(0);
    m.redraw = 1;
    m.icons = 1;
}

const char* mnu_MapLabelKey(int32_t type, int32_t subtype) {
    switch (type) {
        case 0: return "MM_HDR_2";
        case 2: return "MM_HDR_3";
        case 3: return "MM_HDR_4";
        case 1:
            switch (subtype) {
                case 0: return "MM_HDR_5";
                case 1: return "MM_HDR_6";
                case 2: return "MM_HDR_7";
                case 3: return "MM_HDR_8";
                case 4: return "MM_HDR_10";
                case 6: return "MM_HDR_9";
                default: return "MM_HDR_1";
            }
        default: return "MM_HDR_1";
    }
}

void mnu_MapLabelFormat(MnuMapObject* o, const char* header, const char* name, const char* bullseye) {
    if (o->marker == 3) {
        snprintf(o->label, sizeof o->label, "%s", bullseye ? bullseye : "");
        return;
    }
    snprintf(o->label, sizeof o->label, "%s %s", header ? header : "Load Failure", name ? name : "");
}

int32_t mnu_MapObjectsBuild(const _ORF* mission) {
    MnuMapState& m = M();
    m.objects = nullptr;
    m.objectCount = 0;
    if (!mission || !mission->placed.count) return 0;
    // The mark query answers for the level's mission: this one, meanwhile.
    _ORF* saved = level_Mission;
    level_Mission = const_cast<_ORF*>(mission);
    int32_t listed = 0;
    for (uint32_t i = 0; i < mission->placed.count; i++)
        if (level_ObjectMarkQuery(mission->placed.records + (size_t)i * ORF_PLACED_SIZE) == 1) listed++;
    if (listed > 0)
        m.objects = static_cast<MnuMapObject*>(
            mem_AllocEx((uint32_t)(listed * (int32_t)sizeof(MnuMapObject)), 4, "mnu MapObjects"));
    if (m.objects) {
        for (uint32_t i = 0; i < mission->placed.count && m.objectCount < listed; i++) {
            const uint8_t* rec = mission->placed.records + (size_t)i * ORF_PLACED_SIZE;
            if (level_ObjectMarkQuery(rec) != 1) continue;
            OrfPlaced p;
            orf_PlacedGet(mission, i, &p);
            MnuMapObject& o = m.objects[m.objectCount++];
            memset(&o, 0, sizeof o);
            mnu_MapPixelFromWorld(p.x, p.z, &o.x, &o.y);
            o.type = p.map.type;
            o.subtype = p.map.subtype;
            o.nameIndex = p.map.nameIndex;
            o.marker = p.map.marker;
            o.iconFrame = p.map.iconFrame;
            o.flags = p.map.flags;
            if (o.type == 1 && o.subtype == 2 && p.map.control == 0) o.flags |= MNU_MAP_THREAT;
            int32_t nameItem = o.nameIndex + (o.type >= 1 && o.type <= 3 ? 177 : 27);
            mnu_MapLabelFormat(&o, MenuText(mnu_MapLabelKey(o.type, o.subtype)), GameText(nameItem),
                               MenuText("MM_BULLSEYE"));
            IconRect(&o);
        }
    }
    level_Mission = saved;
    return m.objectCount;
}

int32_t mnu_MapWaypointsBuild(const uint8_t* points, int32_t count) {
    MnuMapState& m = M();
    m.waypoints = m.undo = nullptr;
    m.waypointCount = 0;
    if (!points || count <= 0) return 0;
    if (count > MNU_MAP_WAYPOINTS) count = MNU_MAP_WAYPOINTS;
    uint32_t size = (uint32_t)(count * (int32_t)sizeof(MnuMapObject));
    m.waypoints = static_cast<MnuMapObject*>(mem_AllocEx(size, 4, "mnu WaypointList"));
    if (!m.waypoints) return 0;
    for (int32_t i = 0; i < count; i++) {
        LeReader r(points + (size_t)i * MNU_BRIEF_POINT_SIZE, MNU_BRIEF_POINT_SIZE);
        uint32_t x = r.u32();
        r.u32();
        uint32_t z = r.u32();
        MnuMapObject& o = m.waypoints[i];
        memset(&o, 0, sizeof o);
        mnu_MapPixelFromWorld(x, z, &o.x, &o.y);
        o.type = MNU_MAP_WAYPOINT_TYPE;
        o.flags = i < count - 2 ? MNU_MAP_MOVABLE : 0;
        IconRect(&o);
    }
    m.waypointCount = count;
    m.undo = static_cast<MnuMapObject*>(mem_AllocEx(size, 4, "mnu WaypointListUndo"));
    if (m.undo) memcpy(m.undo, m.waypoints, size);
    return count;
}

void mnu_MapRecordsFree(void) {
    MnuMapState& m = M();
    for (MnuMapObject** p : {&m.waypoints, &m.undo, &m.objects}) {
        if (*p) mem_Free(*p);
        *p = nullptr;
    }
    m.waypointCount = m.objectCount = 0;
    m.dragged = nullptr;
}

void mnu_MapPanTo(int32_t i) {
    MnuMapState& m = M();
    if (i < 0 || i >= m.waypointCount) return;
    m.selectedWaypoint = m.currentWaypoint = i;
    m.selectedObject = -1;
    m.panX = m.originX + m.width / 2;
    m.panY = m.originY + m.height / 2;
    m.panTargetX = m.waypoints[i].x;
    m.panTargetY = m.waypoints[i].y;
    int32_t dx = m.panTargetX - m.panX, dy = m.panTargetY - m.panY;
    m.panDeltaX = dx / MNU_MAP_PAN_STEPS;
    m.panDeltaY = dy / MNU_MAP_PAN_STEPS;
    m.panRemainderX = std::abs(dx) % MNU_MAP_PAN_STEPS;
    m.panRemainderY = std::abs(dy) % MNU_MAP_PAN_STEPS;
    m.panSteps = MNU_MAP_PAN_STEPS;
    m.panning = 1;
}

void mnu_MapPanStep(void) {
    MnuMapState& m = M();
    if (!m.panning) return;
    m.panX += m.panDeltaX;
    m.panY += m.panDeltaY;
    if (m.panRemainderX > 0) {
        m.panX += m.panTargetX > m.panX ? 1 : -1;
        m.panRemainderX--;
    }
    if (m.panRemainderY > 0) {
        m.panY += m.panTargetY > m.panY ? 1 : -1;
        m.panRemainderY--;
    }
    mnu_MapCentreOn(m.panX, m.panY);
    if (--m.panSteps <= 0) {
        m.panning = 0;
        WaypointPopup(m.currentWaypoint);
    }
}

void mnu_MapScreenRects(void) {
    MnuMapState& m = M();
    int32_t addX = m.level > 0 ? m.iconWidth << (m.level - 1) : m.level == 0 ? m.iconWidth / 2 : 0;
    int32_t addY = m.level > 0 ? m.iconHeight << (m.level - 1) : m.level == 0 ? m.iconHeight / 2 : 0;
    auto place = [&](MnuMapObject& o) {
        o.screen.left = ToScreen(o.icon.left - m.originX) + addX + m.view.left;
        o.screen.top = ToScreen(o.icon.top - m.originY) + addY + m.view.top;
        o.screen.right = o.screen.left + m.iconWidth;
        o.screen.bottom = o.screen.top + m.iconHeight;
    };
    for (int32_t i = 0; i < m.objectCount; i++) place(m.objects[i]);
    for (int32_t i = 0; i < m.waypointCount; i++) place(m.waypoints[i]);
}

void mnu_MapDragStep(int32_t x, int32_t y, int32_t leftHeld) {
    MnuMapState& m = M();
    if (!m.dragging || !m.dragged) return;
    MnuMapObject& o = *m.dragged;
    if (!InsideView(x, y)) {
        o.x = m.dragFromX;
        o.y = m.dragFromY;
        IconRect(&o);
        m.dragging = 0;
        m.icons = 1;
        m.redraw = 1;
        return;
    }
    if (!leftHeld) {
        m.dragging = 0;
        plat_SimLog("map", "dropped %d at %d %d", (int)(&o - m.waypoints), (int)o.x, (int)o.y);
        return;
    }
    auto scale = [&](int32_t d) { return m.level < 0 ? d * (1 << -m.level) : d >> m.level; };
    int32_t nx = m.originX + scale(x - m.view.left) - (m.iconWidth >> (m.level + 1 > 0 ? m.level + 1 : 0));
    int32_t ny = m.originY + scale(y - m.view.top) - (m.iconHeight >> (m.level + 1 > 0 ? m.level + 1 : 0));
    nx = Max(0, Min(nx, m.pictureWidth - m.iconWidth / 2));
    ny = Max(0, Min(ny, m.pictureHeight - m.iconHeight / 2));
    int32_t snap = 4 * (m.pictureWidth / 175);
    int32_t i = (int32_t)(&o - m.waypoints);
    auto near = [&](int32_t j) {
        if (j < 0 || j >= m.waypointCount) return false;
        double dx = nx - m.waypoints[j].x, dy = ny - m.waypoints[j].y;
        return (int32_t)std::sqrt(dx * dx + dy * dy) < snap;
    };
    if (!near(i - 1) && !near(i + 1)) {
        o.x = nx;
        o.y = ny;
        IconRect(&o);
    }
    m.icons = 1;
    m.redraw = 1;
}

void mnu_MapPointer(int32_t x, int32_t y, int32_t leftHeld) {
    MnuMapState& m = M();
    mnu_MapPanStep();
    mnu_MapDragStep(x, y, leftHeld);
    mnu_MapScreenRects();
    if (m.panning || m.dragging) return;
    for (int32_t i = 0; i < m.objectCount; i++) {
        const MnuMapObject& o = m.objects[i];
        if (!(o.flags & MNU_MAP_SHOWN) || !InView(o) || !Under(o, x, y)) continue;
        if (m.selectedObject != i) {
            m.selectedObject = i;
            m.selectedWaypoint = -1;
            m.icons = 1;
            PopupShow(o.label);
        }
        return;
    }
    for (int32_t i = 0; i < m.waypointCount; i++) {
        MnuMapObject& o = m.waypoints[i];
        if (!InView(o) || !Under(o, x, y)) continue;
        if (m.selectedWaypoint != i) {
            m.selectedWaypoint = m.currentWaypoint = i;
            m.selectedObject = -1;
            m.icons = 1;
            WaypointPopup(i);
        }
        if ((o.flags & MNU_MAP_MOVABLE) && leftHeld) {
            m.dragging = 1;
            m.dragged = &o;
            m.dragFromX = o.x;
            m.dragFromY = o.y;
            plat_SimLog("map", "drag %d from %d %d", (int)i, (int)o.x, (int)o.y);
        }
        return;
    }
}

void mnu_MapWaypointsWrite(void) {
    MnuMapState& m = M();
    int32_t n = Min(m.waypointCount, MNU_MAP_WAYPOINTS);
    for (int32_t i = 0; i < n; i++)
        mnu_MapWorldFromPixel(m.waypoints[i].x, m.waypoints[i].y, m.pictureHeight, &level_WaypointList.entries[i].x,
                              &level_WaypointList.entries[i].z);
    level_WaypointList.count = n;
    // The briefing's accept keeps this route for the mission's flights.
    text_CopyZ(mnu_Brief.routeMission, level_MissionNames.mission, sizeof mnu_Brief.routeMission);
}

void mnu_MapPictureCopy(const uint16_t* picture, int32_t pw, int32_t ph, uint8_t* frame, int32_t bpp,
                        int32_t rowPixels) {
    const MnuMapState& m = M();
    if (!picture || !frame || pw <= 0 || ph <= 0) return;
    const uint8_t* src = reinterpret_cast<const uint8_t*>(picture);
    // 16.16 source step per screen pixel.
    int32_t step = m.level >= 0 ? 65536 >> m.level : 65536 << -m.level;
    uint32_t state = kDitherSeed;
    int32_t rows = m.view.bottom - m.view.top, cols = m.view.right - m.view.left;
    for (int32_t r = 0; r < rows; r++) {
        int64_t sy = (int64_t)m.originY * 65536 + (int64_t)r * step;
        // Four source rows a quarter step apart.
        const uint8_t* rowPtr[4];
        bool any = false;
        for (int32_t k = 0; k < 4; k++) {
            int64_t yy = (sy + (int64_t)k * step / 4) >> 16;
            rowPtr[k] = yy >= 0 && yy < ph ? src + (size_t)yy * pw * bpp : nullptr;
            any = any || rowPtr[k];
        }
        if (!any) continue;
        uint8_t* out = frame + ((size_t)(m.view.top + r) * rowPixels + m.view.left) * bpp;
        for (int32_t c = 0; c < cols; c++, out += bpp) {
            uint32_t t = (state >> 21) + state * 2049u;
            state += t + 1;
            const uint8_t* row = rowPtr[state >> 30];
            if (!row) row = rowPtr[0] ? rowPtr[0] : rowPtr[3];
            int64_t sx = (int64_t)m.originX * 65536 + (int64_t)c * step + (int64_t)((state >> 16) & 3) * step / 4;
            int64_t xx = sx >> 16;
            if (!row || xx < 0 || xx >= pw) continue;
            memcpy(out, row + (size_t)xx * bpp, (size_t)bpp);
        }
    }
}

void cbMapAccept(int32_t) {
    if (mnu_LeaveFlag) return;
    mnu_MapWaypointsWrite();
    app_Runner.nextState = &WndMisBrief;
    mnu_LeaveFlag = 1;
}

void cbMapReset(int32_t) {
    MnuMapState& m = M();
    mnu_MapRecordsFree();
    mnu_Brief.pointCount = 0;
    mnu_BriefPointsLoad();
    RecordsBuild();
    StateClear();
    MapCenter();
    m.redraw = 1;
    WaypointPopup(0);
}

void cbMapCenter(int32_t) { MapCenter(); }
void cbMapZoomIn(int32_t) { mnu_MapZoomIn(); }
void cbMapZoomOut(int32_t) { mnu_MapZoomOut(); }

void cbMapWPR(int32_t) {
    int32_t n = M().waypointCount;
    if (n <= 0) return;
    int32_t i = M().currentWaypoint + 1;
    mnu_MapPanTo(i >= n ? 0 : i);
}

void cbMapWPL(int32_t) {
    int32_t n = M().waypointCount;
    if (n <= 0) return;
    int32_t i = M().currentWaypoint - 1;
    mnu_MapPanTo(i < 0 ? n - 1 : i);
}

void cbMapMove(int32_t direction) { mnu_MapMove(direction); }
