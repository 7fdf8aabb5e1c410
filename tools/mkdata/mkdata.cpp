// mkdata DIR: writes the complete sample data set into DIR.
#include <cstdio>
#include <string>

#include "mission_write.h"
#include "kdv_write.h"
#include "mkdata.h"
#include "pak_write.h"
#include "terrain_write.h"

namespace {

struct Writer {
    const char* name;
    int (*write)(const std::string& dir);
};

int WriteReadme(const std::string& dir) {
    return mkdata_WriteText(dir, "README.TXT",
                            "The sample data set of KRX, made by mkdata. Every file here is generated.\r\n");
}

// In dependency order: later writers may read what earlier ones wrote.
const Writer kWriters[] = {
    {"readme", WriteReadme},
    {"application strings", mkdata_WriteAppStrings},
    {"palettes", mkdata_WritePalettes},
    {"start-up data", mkdata_WriteStartupData},
    {"input map", mkdata_WriteInputMap},
    {"fonts", mkdata_WriteFonts},
    {"models", mkdata_WriteModels},
    {"sounds", mkdata_WriteSounds},
    {"terrain", mkdata_WriteTerrain},
    {"missions", mkdata_WriteMissions},
    {"banner mission", mkdata_WriteBannerMission},
    {"movies", mkdata_WriteMovies},
    {"music", mkdata_WriteMusic},
    {"sound triggers", mkdata_WriteSoundTriggers},
    {"level", mkdata_WriteLevel},
    {"multiplayer maps", mkdata_WriteMultiMaps},
    {"avionics art", mkdata_WriteAvionicsArt},
    {"sky images", mkdata_WriteSkyImages},
    {"menu script", mkdata_WriteMenuScript},
    {"flight screens", mkdata_WriteFlightScreens},
    {"campaign screens", mkdata_WriteCampScreens},
    {"update", mkdata_WriteUpdate},
    {"censor list", mkdata_WriteCensorList},
    {"effects", mkdata_WriteEffects},
    {"engine message", mkdata_WriteEngineMessage},
    // Keep last: writes the archives with the members the writers above added.
    {"archives", mkdata_WriteArchives},
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: mkdata DIR\n");
        return 2;
    }
    std::string dir = argv[1];
    for (const Writer& w : kWriters) {
        if (w.write(dir) != 0) {
            fprintf(stderr, "mkdata: the %s writer failed\n", w.name);
            return 1;
        }
    }
    return 0;
}
