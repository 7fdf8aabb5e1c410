// Start-up: the entry routine, the application record, the version string,
// the main window and the run step that leads into app_Main.
#pragma once
#include <cstdint>

#include "platform/window.h"

// Class name of the main window (also the name of the single-instance
// registry) and of the loading window.
constexpr const char* APP_MAIN_CLASS = "SKARVELCLASS";
constexpr const char* APP_LOADING_CLASS = "SKARVELCLASSLOADING";

// Version numbers of this build.
constexpr int32_t APP_VERSION_MAJOR = 1;
constexpr int32_t APP_VERSION_MINOR = 1;
constexpr int32_t APP_VERSION_THIRD = 0;
constexpr int32_t APP_VERSION_BUILD = 14;
constexpr int32_t APP_RELEASE_NUMBER = 10;
constexpr char APP_RELEASE_LETTER = 'R';
// The version word peers exchange in the player stamp.
constexpr int32_t APP_NETWORK_VERSION = APP_VERSION_MAJOR * 100 + APP_VERSION_MINOR;

// The version record: the version numbers and the build stamp as numbers,
// filled by app_VersionStringBuild. The third version number is the build
// major, the build number the build minor; the network word is
// APP_NETWORK_VERSION; number, date and time are the three numbers of the
// version string; instance counts the running copies of the program, this
// one included.
struct AppVersionRecord {
    int32_t major, minor, buildMajor, network, number, date, time;
    int32_t hours, minutes, seconds, month, day, year, instance, buildMinor;
};
extern AppVersionRecord app_VersionRecord;

// The names the engine reads for this product (constants).
struct AppProductRecord {
    const char* exeName;
    const char* fullTitle;
    const char* cfgName;
    const char* savName;
    const char* iniName;
    const char* commonPff;
    const char* productPff;
    const char* pwfName;
    const char* gameDataName;
    const char* sbBitmap;
    const char* creditsName;
    const char* menuDataName;
    const char* mrfName;
    const char* setupName;
    const char* introMovie;
    const char* overMovie;
    const char* inputMapName;
    const char* gameName;
    const char* callSign;
    const char* playerName;
    const char* defaultPak;
    const char* defaultPcx;
    const char* ffbName;
    const char* musicStream;
    const char* musicScript;
    const char* musicStart;
    const char* menuScript;
    const char* wizardName;
    const char* missionPattern;
    const char* slotPrefix;
    const char* campaignStrings;
    const char* campaignPrefix;
    const char* aircraftName;
    int32_t iconId;
    const char* hw3dEntryName;
};
extern const AppProductRecord app_ProductRecord;

// The application record: the start-up words the rest of the program reads.
struct AppRecord {
    uintptr_t instance;
    uintptr_t previousInstance;
    const char* commandLine;
    int32_t showCommand;
    int32_t desktopWidth, desktopHeight;
    int32_t versionInTitle;
    int32_t width, height, depth, word4;  // 640, 480, 16, 2
    int32_t cpuClass;                     // 0x386, 0x486 or 0x586
    int32_t fpuPresent;
    int32_t mmxPresent;
    uint32_t heapMain, heapSecond, heapThird;
    int32_t buildHour, buildMinute, buildSecond;
    int32_t buildMonth, buildDay, buildYear;
    int32_t runSerial;
    char versionString[72];
    // Copies of the product record's names.
    char exeName[16];
    char fullTitle[64];
    char cfgName[16];
    char savName[16];
    char iniName[16];
    char commonPff[16];
    char productPff[16];
    char gameDataName[16];
    char menuDataName[16];
    char inputMapName[16];
    char ffbName[16];
    char gameName[24];
    char playerName[22];
    char aircraftName[16];
    int32_t iconId;
};
extern AppRecord app_Record;

// Title of the main window and of every message box.
extern char app_Title[128];

// Product variant word: 1 selects the variant's speech names and loading art
// (0 otherwise). Nothing in the shell sets it.
extern int32_t app_VariantWord;
// Renderer mode word: 4 drops the aircraft depth bias and shadow and lets the
// keys turn the light. Set by the cockpit displays, read by the renderer.
extern int32_t app_ModeWord;

// The program's entry: builds the command line from the arguments and runs
// app_WinMainBody on the platform layer. Returns the process exit code.
int app_WinMain(int argc, char** argv);
int32_t app_WinMainBody(uintptr_t instance, uintptr_t previousInstance, const char* commandLine,
                        int32_t showCommand);

// Loads "APPSTR.BIN"; ends the program with a box when it is missing,
// damaged or out of date.
void app_StringFileLoad(void);
void app_VersionStringBuild(void);
// Fills the version and build words from the compiler's date and time texts
// ("Mmm DD YYYY", "HH:MM:SS").
void app_BuildTimeParse(const char* date, const char* time);
void app_ProductRecordInit(void);
void app_TitleCompose(void);
// 1 to go on, 0 to stop.
int32_t app_DepthCheck(void);
void app_CpuDetect(int32_t* cpuClass, int32_t* fpuPresent, int32_t* mmxPresent);
int32_t app_MainWindowClassRegister(void);
int32_t app_MainWindowCreate(void);
void app_StartPictureShow(void);
void app_FpuConstantsInit(void);
// The 1/65536 and 1/128 constants of the float conversions.
extern double app_FpuScale16, app_FpuScale7;
int32_t app_UsageBox(void);
int32_t app_VersionBox(void);
// Returns the dispatch loop's exit code, or -1 when start-up fails.
int32_t app_RunStep(void);
// The first dispatched call: loading window, player aircraft block, draw
// hooks, app_Main.
int32_t app_StartEntry(int32_t first, int32_t second);
