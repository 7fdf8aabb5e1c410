// The falling particle field's state (the tests read it).
#pragma once
#include <cstdint>

struct _PAK_HEADER;

// The level's density map: 64 x 64 bytes, row z, column x, each cell
// 1 << 22 world units wide.
constexpr const char* PARTICLE_DENSITY_FILE = "PARTICLE.MAP";
constexpr int32_t PARTICLE_NODES = 1024;
constexpr int32_t PARTICLE_SPLASHES = 256;
constexpr int32_t PARTICLE_EMITTERS = 256;

struct ParticleNode {
    ParticleNode* prev;
    ParticleNode* next;
    uint32_t x;
    int32_t y;
    uint32_t z;
    int32_t kind;  // 1 falls fast, 2 slower, 4 slowest
};
struct SplashNode {
    SplashNode* prev;
    SplashNode* next;
    int32_t age;
    uint32_t x;
    int32_t y;
    uint32_t z;
    int32_t kind;  // 1 or 2
};
template <typename Node>
struct ParticleList {
    Node* head;
    Node* tail;
    int32_t count;
};
struct ParticleEmitter {
    int32_t rank;  // releases while the density is above it
    uint32_t x, z;
    int64_t y;
};

struct ParticleField {
    ParticleNode* particleBlock;
    SplashNode* splashBlock;
    ParticleList<ParticleNode> particles, particleFree;
    ParticleList<SplashNode> splashes, splashFree;
    ParticleEmitter emitters[PARTICLE_EMITTERS];
    // The box: x from left, z from nearZ, each 0x80000 wide; height from
    // bottom to top.
    uint32_t left, nearZ;
    int64_t bottom, top;
    int32_t nearGround;
    int32_t elapsed;         // client frames since the last draw
    int32_t phase, phaseTimer;
    int32_t windTarget[2];   // x, z
    int32_t wind[2];
    int32_t density;         // the last draw's particle budget
    uint8_t densityMap[64 * 64];
    // Settings.
    int32_t detail;          // 0 full, 1 half, 2 quarter
    int32_t forceOff, forceFull, windEnabled, showBox, paused, followPlayer;
    int32_t scale;           // 16.16
    _PAK_HEADER* models[3];  // kinds 1, 2, 4
    _PAK_HEADER* splashModels[2];
};
extern ParticleField render_Particles;

// Level start: node pools, emitters, models and the level's density map.
void render_ParticleFieldSetup(void);
// One client frame has passed.
void render_ParticleFrameTick(void);
// Wind, density, box, emitters, particles and splashes by the frames that
// passed since the last call (the draw runs it first).
void render_ParticleFieldStep(void);
