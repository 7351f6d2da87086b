// Writes the sample raw images the README uses: deterministic test phantoms of
// 16-bit little-endian pixels behind a header.
//
//   tarven-samples DIR
//
// DIR/phantom_512x512_h2048.raw  512 x 512 behind a 2048-byte header (526336 bytes)
// DIR/phantom_256x256.raw        256 x 256, no header
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

// A water disc with low-contrast rods, a thin bright slit for MTF and mild
// Gaussian noise, on a dark surround; values sit around the default window
// (width 600, level 600).
std::vector<std::uint16_t> phantom(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 12.0);
    std::vector<std::uint16_t> px(static_cast<std::size_t>(n) * n);
    const double c = (n - 1) / 2.0, radius = 0.42 * n;
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double dx = x - c, dy = y - c;
            double v = 100;
            if (dx * dx + dy * dy < radius * radius) {
                v = 600;
                for (int k = 0; k < 6; ++k) {
                    const double a = k * M_PI / 3, rx = c + 0.25 * n * std::cos(a), ry = c + 0.25 * n * std::sin(a);
                    const double rr = 0.035 * n;
                    if ((x - rx) * (x - rx) + (y - ry) * (y - ry) < rr * rr)
                        v += 20.0 * (k + 1);
                }
                if (x == static_cast<int>(c) + n / 16 && std::abs(dy) < 0.15 * n)
                    v = 1500; // the slit
            }
            v += noise(rng);
            px[static_cast<std::size_t>(y) * n + x] = static_cast<std::uint16_t>(std::lround(std::fmax(0.0, v)));
        }
    return px;
}

bool write(const std::string& path, std::size_t header, const std::vector<std::uint16_t>& px)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    std::vector<std::uint8_t> bytes(header, 0);
    for (std::size_t i = 0; i < header && i < 32; ++i)
        bytes[i] = static_cast<std::uint8_t>("TARVEN sample raw header\0\0\0\0\0\0\0"[i]);
    for (std::uint16_t v : px) {
        bytes.push_back(static_cast<std::uint8_t>(v & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
        return 2;
    }
    const std::string dir = argv[1];
    if (!write(dir + "/phantom_512x512_h2048.raw", 2048, phantom(512, 1)) ||
        !write(dir + "/phantom_256x256.raw", 0, phantom(256, 2))) {
        std::perror("tarven-samples");
        return 1;
    }
    return 0;
}
