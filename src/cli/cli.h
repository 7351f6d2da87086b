#pragma once
// tarven-cli: the measurements of the windows from the command line, for
// scripts and batch checks. Every number comes from the engines the windows
// call; this layer only stands in for the boxes the windows keep their
// parameters in, and prints the tables the windows show.
//
// Qt-free. The two things that need Qt (encoding the display as PNG or BMP,
// drawing a chart) are handed in as services by main().
#include "viewer/render.h"

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tarven::cli {

enum class ImageFormat { Png, Bmp };

// A chart as the window draws it: one red line series, no legend.
struct ChartSpec {
    std::string title;
    std::vector<std::pair<double, double>> points;
    bool logY = false;           // logarithmic vertical axis
    std::optional<double> yMin;  // the vertical axis starts here (the MTF's 0)
    int width = 526, height = 330; // the window's chart size in pixels
};

struct Services {
    // The 512 x 512 display encoded as an image file; throws Error.
    std::function<std::vector<std::uint8_t>(const Bitmap24& display, ImageFormat format)> encodeImage;
    // The chart drawn offscreen, encoded as PNG; throws Error.
    std::function<std::vector<std::uint8_t>(const ChartSpec& chart)> drawChart;
};

// Exit status: 0 done, 1 the command failed (the window's message on err),
// 2 the command line is wrong (usage on err).
inline constexpr int exitOk = 0;
inline constexpr int exitFailed = 1;
inline constexpr int exitUsage = 2;

// Whether the command line asks for something that needs Qt (an image or a
// plot), so that main() starts Qt only then.
bool needsQt(const std::vector<std::string>& args);

// Runs one command line (without the program name).
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Services& services);

// Writes bytes to path through a temporary file in the same folder, renamed
// over path only when everything was written: a failure leaves path as it
// was. FileError "ファイル <path> は開けません" on failure.
void writeFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes);

} // namespace tarven::cli
