#pragma once
// "Ave/SD": mean and population standard deviation of the ROI, its pixel
// table and its histogram.
#include "common/pixels.h"
#include "viewer/roi.h"

#include <cstdint>
#include <string>
#include <vector>

namespace tarven {

struct StatsRequest {
    PixelRegion region;      // already clipped to the pixel data
    bool rescale = false;    // "Res.On"
    double slope = 1, intercept = 0;
    bool pixelTable = false; // "Pixel": build the tab-separated pixel table
    bool histogram = false;  // "Hist": count every value and build the histogram table
};

struct RoiStatistics {
    double mean = 0;
    double sd = 0;
    std::int32_t minimum = 0;         // the ROI minimum: abscissa of count[0]
    std::vector<std::int32_t> counts; // histogram: counts[d] pixels of value minimum + d
    std::int64_t last = 0;            // the largest d counted
    std::string text;                 // the pixel table or the histogram table
};

// A region with no pixel is the floating-point division error of a zero-sized
// ROI. The histogram covers the ROI's whole value range, which for 16-bit data
// may exceed the 50001 entries of the graph buffer; the table on the clipboard
// lists every value (see the window for what the graph keeps).
RoiStatistics roiStatistics(const PixelAccess& pixels, const StatsRequest& request);

} // namespace tarven
