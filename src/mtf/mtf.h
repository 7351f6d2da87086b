#pragma once
// LSF and MTF of a slit image from the pixel table: the line sum through the
// table maximum, the base removal and FWHM, the direct discrete Fourier
// transform, the summary row, and the plot and listing values. No Qt.
//
// Every step either completes or throws one of our errors before anything is
// returned, so a window that commits the result only on success keeps its
// earlier results when an input is bad.
#include "mtf/celltable.h"
#include "mtf/pixeltable.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarven::mtf {

// X: the profile runs along a table row; Y: along a table column.
enum class Direction { X = 0, Y = 1 };

// The lines summed for a line count L, as grid rows (X) or grid columns (Y),
// both ends included: L adjacent lines with the peak line among them.
struct LineSpan {
    std::int32_t first = 0, last = 0;
};
LineSpan chosenLines(Direction direction, std::int32_t peakLine, std::int32_t lineCount);

// The sum of the chosen lines, one value per data column (X) or data row (Y).
std::vector<double> lineSum(const CellTable& table, Direction direction, CellPos peak, std::int32_t lineCount);

// Subtracts the mean of the 32 points at each end (fewer when the profile is
// shorter) from every point.
void subtractEndPointMean(std::span<double> y);

struct BaseFwhm {
    std::int32_t leftBase = 0, rightBase = 0; // lb, rb: indices of the base points
    double base = 0;
    double left = 0, right = 0; // half-maximum crossings, in samples
    double widthSamples() const { return right - left; }
};
// Base handling and FWHM on y (changed in place), stepping over baseCount
// bumps of each tail.
BaseFwhm baseAndFwhm(std::span<double> y, std::int32_t baseCount);

struct Spectrum {
    std::vector<double> re, im, mag;
};
// Direct transform of the profile onto as many bins as it has points: no
// window, no zero padding, no shift.
Spectrum directTransform(std::span<const double> profile);

struct SummaryValues {
    double maxFrequency = 0; // c/mm of the spectrum maximum below M/2, to four decimals
    double maxRatio = 0;     // that maximum relative to bin 0
    std::int64_t bin02 = 0;  // the bin at or just below 0.2 c/mm
    std::optional<double> mtf02; // MTF in that bin; none when it lies outside the spectrum
};
SummaryValues summaryValues(std::span<const double> mag, double dx);

inline constexpr std::string_view kSummaryHeader = "No\tMax c/mm \tMax MTF            \t0.2c/mm MTF\r\n";
// One row of the summary table, labelled with the line-count text.
std::string summaryRow(std::string_view label, const SummaryValues& s);

struct MtfInput {
    Direction direction = Direction::X;
    std::int32_t lineCount = 1; // L
    std::int32_t baseCount = 1; // K
    double dx = 0;              // pixel size, mm
    CellPos peak;
};

struct MtfResult {
    std::vector<double> lineSum;
    std::vector<double> lsf; // after base handling
    Spectrum spectrum;
    std::optional<BaseFwhm> baseFwhm; // none when the end-point mean was used
    std::optional<double> fwhm;       // mm
    SummaryValues summary;
};
MtfResult computeMtf(const CellTable& table, const MtfInput& in);

// Plot of the LSF (position in mm) or the MTF (c/mm, relative to bin 0).
struct PlotData {
    std::vector<double> x, y;
    std::int32_t count = 0; // points handed to the chart
};
PlotData lsfPlot(std::span<const double> lsf, std::int32_t points, double dx);
PlotData mtfPlot(std::span<const double> mag, std::int32_t points, double dx);

// Listings as memo lines: the heading, one line per value, and the empty
// last line that the closing CR LF leaves.
std::vector<std::string> lsfListing(std::string_view fileName, std::span<const double> lsf, double pixelSize);
std::vector<std::string> mtfListing(std::string_view fileName, std::span<const double> mag, double pixelSize);

} // namespace tarven::mtf
