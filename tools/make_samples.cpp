// Writes the sample raw images the README uses: deterministic test phantoms of
// 16-bit little-endian pixels behind a header.
//
//   tarven-samples DIR
//
// DIR/phantom_512x512_h2048.raw  512 x 512 behind a 2048-byte header (526336 bytes)
// DIR/phantom_256x256.raw        256 x 256, no header
// DIR/phantom_512x512.dcm        the 512 x 512 phantom as a CT DICOM file
//                                (explicit VR little endian, signed HU values,
//                                pixel spacing 0.5 mm, window 40 / 400)
// DIR/slit_512x512.dcm           a vertical slit with a Gaussian line spread
//                                function, sigma 2 pixels (1 mm), on 0 HU, brightest
//                                in row 256: FWHM 2.355 mm, MTF exp(-2 pi^2 f^2):
//                                0.454 at 0.2 c/mm, 0.0072 at 0.5 c/mm
// DIR/noise_512x512.dcm          white Gaussian noise, SD 10 HU around 0 HU:
//                                a flat Wiener spectrum of SD^2 * 0.5^2 = 25 HU^2 mm^2
//                                (same header as the phantom)
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

// The slit sample in HU: a Gaussian profile across columns, centred between
// two columns so that the sampled LSF is not symmetric about one pixel; its
// height falls off from row 256 so that the table maximum lies in the middle
// and line counts above 1 find lines on both sides.
std::vector<std::uint16_t> slitImage(int n)
{
    constexpr double sigma = 2.0, centre = 256.3;
    std::vector<std::uint16_t> px(static_cast<std::size_t>(n) * n);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const double d = x - centre, peak = 2000.0 - 2.0 * std::abs(y - n / 2);
            const auto v = static_cast<std::int16_t>(std::lround(peak * std::exp(-d * d / (2 * sigma * sigma))));
            px[static_cast<std::size_t>(y) * n + x] = static_cast<std::uint16_t>(v);
        }
    return px;
}

// The noise sample in HU: independent Gaussian values, SD 10.
std::vector<std::uint16_t> noiseImage(int n, unsigned seed)
{
    std::mt19937 rng(seed);
    std::normal_distribution<double> noise(0.0, 10.0);
    std::vector<std::uint16_t> px(static_cast<std::size_t>(n) * n);
    for (auto& v : px)
        v = static_cast<std::uint16_t>(static_cast<std::int16_t>(std::lround(noise(rng))));
    return px;
}

// One explicit-VR little-endian element.
void element(std::vector<std::uint8_t>& out, std::uint16_t group, std::uint16_t elem, const char* vr,
             const std::vector<std::uint8_t>& value)
{
    auto u16 = [&](std::uint32_t v) {
        out.push_back(static_cast<std::uint8_t>(v & 0xFF));
        out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    };
    u16(group);
    u16(elem);
    out.push_back(static_cast<std::uint8_t>(vr[0]));
    out.push_back(static_cast<std::uint8_t>(vr[1]));
    const std::string v(vr);
    if (v == "OB" || v == "OW" || v == "SQ" || v == "UN") {
        u16(0);
        u16(static_cast<std::uint32_t>(value.size() & 0xFFFF));
        u16(static_cast<std::uint32_t>(value.size() >> 16));
    } else {
        u16(static_cast<std::uint32_t>(value.size()));
    }
    out.insert(out.end(), value.begin(), value.end());
}

std::vector<std::uint8_t> text(std::string s, char pad = ' ')
{
    if (s.size() % 2)
        s.push_back(pad);
    return {s.begin(), s.end()};
}

std::vector<std::uint8_t> us(std::uint16_t v) { return {static_cast<std::uint8_t>(v & 0xFF), static_cast<std::uint8_t>(v >> 8)}; }

bool writeDicom(const std::string& path, const std::vector<std::uint16_t>& hu, int n)
{
    std::vector<std::uint8_t> meta, out(128, 0);
    const char* sop = "1.2.840.10008.5.1.4.1.1.2";
    const char* instance = "1.2.826.0.1.3680043.10.1071.1.1";
    element(meta, 0x0002, 0x0001, "OB", {0, 1});
    element(meta, 0x0002, 0x0002, "UI", text(sop, '\0'));
    element(meta, 0x0002, 0x0003, "UI", text(instance, '\0'));
    element(meta, 0x0002, 0x0010, "UI", text("1.2.840.10008.1.2.1", '\0'));
    element(meta, 0x0002, 0x0012, "UI", text("1.2.826.0.1.3680043.10.1071", '\0'));
    element(meta, 0x0002, 0x0013, "SH", text("TARVEN_SAMPLE"));
    for (char c : std::string("DICM"))
        out.push_back(static_cast<std::uint8_t>(c));
    const auto groupLength = static_cast<std::uint32_t>(meta.size());
    element(out, 0x0002, 0x0000, "UL",
            {static_cast<std::uint8_t>(groupLength & 0xFF), static_cast<std::uint8_t>(groupLength >> 8), 0, 0});
    out.insert(out.end(), meta.begin(), meta.end());
    element(out, 0x0008, 0x0016, "UI", text(sop, '\0'));
    element(out, 0x0008, 0x0018, "UI", text(instance, '\0'));
    element(out, 0x0008, 0x0060, "CS", text("CT"));
    element(out, 0x0008, 0x0070, "LO", text("TARVEN phantom"));
    element(out, 0x0010, 0x0010, "PN", text("Phantom^Sample"));
    element(out, 0x0010, 0x0020, "LO", text("PH0001"));
    element(out, 0x0018, 0x0050, "DS", text("5"));
    element(out, 0x0018, 0x0060, "DS", text("120"));
    element(out, 0x0018, 0x1100, "DS", text("256"));
    element(out, 0x0018, 0x1210, "SH", text("STD"));
    element(out, 0x0028, 0x0002, "US", us(1));
    element(out, 0x0028, 0x0004, "CS", text("MONOCHROME2"));
    element(out, 0x0028, 0x0010, "US", us(static_cast<std::uint16_t>(n)));
    element(out, 0x0028, 0x0011, "US", us(static_cast<std::uint16_t>(n)));
    element(out, 0x0028, 0x0030, "DS", text("0.5\\0.5"));
    element(out, 0x0028, 0x0100, "US", us(16));
    element(out, 0x0028, 0x0101, "US", us(16));
    element(out, 0x0028, 0x0102, "US", us(15));
    element(out, 0x0028, 0x0103, "US", us(1));
    element(out, 0x0028, 0x1050, "DS", text("40"));
    element(out, 0x0028, 0x1051, "DS", text("400"));
    element(out, 0x0028, 0x1052, "DS", text("0"));
    element(out, 0x0028, 0x1053, "DS", text("1"));
    std::vector<std::uint8_t> pixels;
    for (std::uint16_t v : hu) {
        pixels.push_back(static_cast<std::uint8_t>(v & 0xFF));
        pixels.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    element(out, 0x7FE0, 0x0010, "OW", pixels);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(out.data(), 1, out.size(), f) == out.size();
    return std::fclose(f) == 0 && ok;
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
    // The same phantom in Hounsfield units: 600 -> water (0 HU), 100 -> -500 HU.
    std::vector<std::uint16_t> hu;
    for (std::uint16_t v : phantom(512, 1))
        hu.push_back(static_cast<std::uint16_t>(static_cast<std::int16_t>(v - 600)));
    if (!writeDicom(dir + "/phantom_512x512.dcm", hu, 512)) {
        std::perror("tarven-samples");
        return 1;
    }
    // The two samples with known answers for checking the MTF and the
    // Wiener spectrum (the README's worked example).
    if (!writeDicom(dir + "/slit_512x512.dcm", slitImage(512), 512) ||
        !writeDicom(dir + "/noise_512x512.dcm", noiseImage(512, 7), 512)) {
        std::perror("tarven-samples");
        return 1;
    }
    return 0;
}
