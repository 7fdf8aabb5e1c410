// The mission map screen's data: the region map pictures "MAP%d.PCX" (one
// pixel 1 << 22 world units, north up), the four icon strips, the "WndMap"
// window with its buttons, the MM_ texts, the name words the labels take
// from the game data, and the map parts of the sample mission's objects.
#include <cmath>
#include <cstdio>
#include <cstring>

#include "mission_write.h"
#include "mkdata.h"
#include "terrain_write.h"

namespace {

constexpr int32_t kIconSize = 16, kIconFrames = 8;
constexpr int32_t kButtonWidth = 150, kButtonHeight = 26;

void Button(MkMenuScript& s, const char* image, const char* name, int32_t x, int32_t y, const char* text,
            const char* action) {
    char buf[256];
    bool plain = strcmp(text, "NULL") == 0;
    snprintf(buf, sizeof buf, "WndMap, %s, %s, 0, %d, %d, %s, %s, %d, %s, %s, %s, BUTTON_CLICK", image, name, (int)x,
             (int)y, text, plain ? "NULL" : "ARIAL12", plain ? 0 : 512, action, plain ? "NULL" : "cbInHover",
             plain ? "NULL" : "cbOutHover");
    s.buttons.push_back(buf);
}

// A region's picture: width x height pixels of land with a grid, and on the
// first region the sample terrain's runway and lake where the world has them.
std::vector<uint8_t> RegionPicture(const uint8_t* palette, int32_t region, int32_t w, int32_t h) {
    static const uint8_t kLand[3][3] = {{70, 130, 80}, {200, 170, 100}, {130, 120, 110}};
    const uint8_t* l = kLand[region % 3];
    uint8_t land = (uint8_t)mkdata_PaletteNearest(palette, l[0], l[1], l[2]);
    uint8_t dark = (uint8_t)mkdata_PaletteNearest(palette, l[0] / 2, l[1] / 2, l[2] / 2);
    uint8_t grid = (uint8_t)mkdata_PaletteNearest(palette, 200, 200, 200);
    uint8_t water = (uint8_t)mkdata_PaletteNearest(palette, 40, 80, 190);
    uint8_t strip = (uint8_t)mkdata_PaletteNearest(palette, 90, 90, 90);
    std::vector<uint8_t> px((size_t)w * h);
    for (int32_t y = 0; y < h; y++)
        for (int32_t x = 0; x < w; x++)
            px[(size_t)y * w + x] = (x % 64 == 0 || y % 64 == 0) ? grid : ((x / 8 + y / 8) % 2 ? land : dark);
    if (region != 0) return px;
    // Terrain cells are 1 << 23 units: two pixels; rows count from the north.
    auto pixelY = [h](int32_t cellZ) { return h - 1 - 2 * cellZ; };
    for (int32_t y = 0; y < h; y++)
        for (int32_t x = 0; x < w; x++) {
            double dx = x - 2.0 * MK_LAKE_CELL_X, dy = y - pixelY(MK_LAKE_CELL_Z);
            if (dx * dx + dy * dy <= 4.0 * MK_LAKE_RADIUS * MK_LAKE_RADIUS) px[(size_t)y * w + x] = water;
        }
    for (int32_t y = pixelY(MK_RUNWAY_CELL_Z) - 2; y <= pixelY(MK_RUNWAY_CELL_Z) + 2; y++)
        for (int32_t x = 2 * MK_RUNWAY_CELL_X0; x < 2 * (MK_RUNWAY_CELL_X0 + MK_RUNWAY_CELLS); x++)
            if (y >= 0 && y < h && x < w) px[(size_t)y * w + x] = strip;
    return px;
}

// A strip of 16 x 16 icons: frame 0 the waypoint ring, then square,
// triangle, diamond, cross, disc, bar and flag.
std::vector<uint8_t> IconStrip(const uint8_t* palette, uint8_t r, uint8_t g, uint8_t b) {
    uint8_t ink = (uint8_t)mkdata_PaletteNearest(palette, r, g, b);
    uint8_t edge = (uint8_t)mkdata_PaletteNearest(palette, 10, 10, 10);
    if (ink == 0) ink = 1;
    if (edge == 0) edge = 1;
    std::vector<uint8_t> px((size_t)kIconSize * kIconSize * kIconFrames, 0);
    for (int32_t f = 0; f < kIconFrames; f++)
        for (int32_t y = 0; y < kIconSize; y++)
            for (int32_t x = 0; x < kIconSize; x++) {
                int32_t cx = x - 8, cy = y - 8, ax = std::abs(cx), ay = std::abs(cy);
                bool in = false;
                switch (f) {
                    case 0: in = cx * cx + cy * cy <= 36 && cx * cx + cy * cy >= 12; break;
                    case 1: in = ax <= 5 && ay <= 5; break;
                    case 2: in = y >= 3 && y <= 13 && 2 * ax <= y - 2; break;
                    case 3: in = ax + ay <= 6; break;
                    case 4: in = ax <= 1 || ay <= 1; break;
                    case 5: in = cx * cx + cy * cy <= 30; break;
                    case 6: in = ay <= 2 && ax <= 7; break;
                    default: in = (x >= 4 && x <= 5) || (x > 5 && x <= 12 && y >= 3 && y <= 8); break;
                }
                if (in) px[((size_t)f * kIconSize + y) * kIconSize + x] = (ax == 7 || ay == 7) ? edge : ink;
            }
    return px;
}

}  // namespace

void mkdata_MapScript(MkMenuScript& s) {
    s.images.push_back("ImageMap1, MAP1.PCX, 0, 1, 0, 0, 0");
    s.images.push_back("ImageMap2, MAP2.PCX, 0, 1, 0, 0, 0");
    s.images.push_back("ImageMap3, MAP3.PCX, 0, 1, 0, 0, 0");
    char buf[96];
    for (const char* n : {"B", "Bl", "R", "Rl"}) {
        snprintf(buf, sizeof buf, "ImageMapIcons%s, MAPIC%s.PCX, 0, %d, 0, 0, 0", n, n, (int)kIconFrames);
        s.images.push_back(buf);
    }
    s.images.push_back("MapButton, MAPBTN.PCX, 4, 4, 0, 0, 1");
    s.windows.push_back("WndMap, 0, 0, 0, MainBack, ARIAL12");
    s.texts.push_back("WndMap, MapTitle, MM_TITLE, ARIAL16B, 470, 10, 640, 40, 512");
    Button(s, "ScrollUp", "BtnMapUp", 544, 60, "NULL", "cbMapMoveU");
    Button(s, "ScrollDown", "BtnMapDown", 544, 100, "NULL", "cbMapMoveD");
    Button(s, "ScrollUp", "BtnMapLeft", 514, 80, "NULL", "cbMapMoveL");
    Button(s, "ScrollDown", "BtnMapRight", 574, 80, "NULL", "cbMapMoveR");
    Button(s, "MapButton", "BtnMapZoomIn", 552, 150, "MM_ZOOMIN", "cbMapZoomIn");
    Button(s, "MapButton", "BtnMapZoomOut", 552, 190, "MM_ZOOMOUT", "cbMapZoomOut");
    Button(s, "MapButton", "BtnMapWPL", 552, 230, "MM_WPL", "cbMapWPL");
    Button(s, "MapButton", "BtnMapWPR", 552, 270, "MM_WPR", "cbMapWPR");
    Button(s, "MapButton", "BtnMapCenter", 552, 310, "MM_CENTER", "cbMapCenter");
    Button(s, "MapButton", "BtnMapReset", 552, 350, "MM_RESET", "cbMapReset");
    Button(s, "MapButton", "BtnMapBack", 552, 400, "MM_BACK", "cbMapBack");
    Button(s, "MapButton", "BtnMapAccept", 552, 440, "MM_ACCEPT", "cbMapAccept");
}

void mkdata_MapTexts(std::vector<MkMenuText>& texts) {
    const MkMenuText kTexts[] = {
        {"MM_TITLE", "Mission Map"}, {"MM_ZOOMIN", "Zoom {hot}In"},  {"MM_ZOOMOUT", "Zoom {hot}Out"},
        {"MM_WPL", "{hot}Prev WP"},  {"MM_WPR", "{hot}Next WP"},     {"MM_CENTER", "{hot}Centre"},
        {"MM_RESET", "{hot}Reset"},  {"MM_BACK", "{hot}Cancel"},     {"MM_ACCEPT", "{hot}Accept"},
        {"MM_HDR_1", "Object:"},     {"MM_HDR_2", "Airbase:"},       {"MM_HDR_3", "Target:"},
        {"MM_HDR_4", "Friendly:"},   {"MM_HDR_5", "Armour:"},        {"MM_HDR_6", "Truck:"},
        {"MM_HDR_7", "SAM:"},        {"MM_HDR_8", "AAA:"},           {"MM_HDR_9", "Radar:"},
        {"MM_HDR_10", "Flak:"},      {"MM_BULLSEYE", "Bullseye"},
    };
    for (const MkMenuText& t : kTexts) texts.push_back(t);
}

std::vector<MkGameText> mkdata_MapGameTexts(void) {
    // Name words of the map's labels: 177 + n for ground objects.
    return {
        {177, "MAPN_HANGAR", "Hangar"},   {178, "MAPN_TOWER", "Tower"},   {179, "MAPN_SAM", "Lake SAM site"},
        {180, "MAPN_TANKS", "Tank column"}, {181, "MAPN_APC", "APC park"}, {182, "MAPN_GUNS", "Gun pit"},
        {183, "MAPN_FLAK", "Flak battery"}, {184, "MAPN_RADAR", "Search radar"}, {185, "MAPN_DEPOT", "Depot"},
    };
}

void mkdata_MissionMapParts(MkMission* m) {
    // Placed objects 16..19 are the statics beside the runway, 20..22 the
    // tanks and the SAM site, 23..28 the taxiway statics, the last three
    // the landing towers (65..67).
    struct Part {
        size_t index;
        OrfMapPart map;
    } parts[] = {
        {16, {2, 0, 0, 1, 0, 1, 0}},       // hangar: a target
        {17, {2, 0, 0, 1, 0, 1, 0}},
        {18, {3, 0, 1, 2, 0, 1, 0}},       // tower: friendly
        {19, {0, 0, 0, 3, 3, 1, 0}},       // the bullseye
        {20, {4, 0, 1, 1, 0, 5, 0}},       // tanks: hostile, ringed
        {21, {4, 0, 2, 1, 0, 1, 0}},
        {22, {1, 2, 2, 5, 0, 1, 0}},       // SAM: ringed by its control word 0
        {23, {1, 0, 3, 1, 0, 1, 0}},       // armour
        {24, {1, 1, 4, 6, 0, 1, 0}},       // APC
        {25, {1, 3, 5, 4, 0, 1, 0}},       // AAA
        {26, {1, 4, 6, 4, 0, 1, 0}},       // flak
        {27, {1, 6, 7, 3, 0, 1, 0}},       // radar
        {28, {1, 5, 8, 7, 0, 1, 0}},       // another subtype
        {67, {0, 0, 1, 7, 0, 1, 0}},       // a landing tower: the airbase
    };
    for (const Part& p : parts)
        if (p.index < m->placed.size()) m->placed[p.index].map = p.map;
}

int mkdata_WriteMapArt(const std::string& dir) {
    uint8_t palette[768];
    mkdata_GamePalette(palette);
    // Region 1 covers the world; regions 2 and 3 are smaller than the view.
    const struct {
        int32_t w, h;
    } kSizes[] = {{1024, 1024}, {400, 300}, {464, 480}};
    for (int32_t r = 0; r < 3; r++) {
        std::vector<uint8_t> px = RegionPicture(palette, r, kSizes[r].w, kSizes[r].h);
        char name[32];
        snprintf(name, sizeof name, "MAP%d.PCX", (int)r + 1);
        if (mkdata_PcxWrite(dir, name, kSizes[r].w, kSizes[r].h, px.data(), palette) != 0) return -1;
    }
    const struct {
        const char* file;
        uint8_t r, g, b;
    } kStrips[] = {{"MAPICB.PCX", 60, 140, 250},
                   {"MAPICBL.PCX", 180, 230, 255},
                   {"MAPICR.PCX", 230, 50, 40},
                   {"MAPICRL.PCX", 255, 170, 150}};
    std::vector<uint8_t> button = mkdata_ButtonStrip(palette, kButtonWidth, kButtonHeight, 4);
    if (mkdata_PcxWrite(dir, "MAPBTN.PCX", kButtonWidth, kButtonHeight * 4, button.data(), palette) != 0) return -1;
    for (const auto& s : kStrips) {
        std::vector<uint8_t> px = IconStrip(palette, s.r, s.g, s.b);
        if (mkdata_PcxWrite(dir, s.file, kIconSize, kIconSize * kIconFrames, px.data(), palette) != 0) return -1;
    }
    return 0;
}
