// The sky's images in the archive: "sky10.pcx", the cloud deck (256 x 256,
// each pixel the cloud's density, tiling seamlessly), and "star.pcx", the
// card's 16 x 16 star sprite (a soft dot).
#include <algorithm>
#include <cmath>
#include <vector>

#include "mkdata.h"

namespace {

void GreyPalette(uint8_t* palette) {
    for (int i = 0; i < 256; i++) palette[i * 3] = palette[i * 3 + 1] = palette[i * 3 + 2] = (uint8_t)i;
}

// Density from a few waves whose periods divide 256, so the deck tiles.
std::vector<uint8_t> CloudImage(void) {
    std::vector<uint8_t> px(256 * 256);
    constexpr double kTurn = 2.0 * M_PI / 256.0;
    static const struct {
        int fx, fz;
        double phase, weight;
    } kWaves[] = {{1, 2, 0.3, 1.0}, {3, 1, 1.7, 0.7}, {2, -5, 2.9, 0.5}, {7, 4, 0.8, 0.35}, {-9, 11, 4.1, 0.25}};
    for (int z = 0; z < 256; z++)
        for (int x = 0; x < 256; x++) {
            double v = 0;
            for (const auto& w : kWaves) v += w.weight * std::sin((w.fx * x + w.fz * z) * kTurn + w.phase);
            // About half the sky clouded: densities above 0 show.
            const double d = std::clamp(v / 2.8 + 0.15, 0.0, 1.0);
            px[(size_t)z * 256 + x] = (uint8_t)(d * 255.0);
        }
    return px;
}

std::vector<uint8_t> StarImage(void) {
    std::vector<uint8_t> px(16 * 16);
    for (int y = 0; y < 16; y++)
        for (int x = 0; x < 16; x++) {
            const double r = std::hypot(x - 7.5, y - 7.5);
            px[(size_t)y * 16 + x] = (uint8_t)std::clamp(255.0 * (1.0 - r / 8.0), 0.0, 255.0);
        }
    return px;
}

}  // namespace

int mkdata_WriteSkyImages(const std::string& dir) {
    uint8_t palette[768];
    GreyPalette(palette);
    std::vector<uint8_t> cloud = CloudImage(), star = StarImage();
    std::vector<uint8_t> sky = mkdata_PcxBuild(dir, 256, 256, cloud.data(), palette);
    std::vector<uint8_t> dot = mkdata_PcxBuild(dir, 16, 16, star.data(), palette);
    if (sky.empty() || dot.empty()) return -1;
    mkdata_PffAdd("KRX.PFF", "SKY10.PCX", std::move(sky));
    mkdata_PffAdd("KRX.PFF", "STAR.PCX", std::move(dot));
    return 0;
}
