#pragma once
// The MTF window's pixel table: filling it from the ROI, the search for its
// maximum, the statistics of a rectangle of cells, the clipboard texts and
// the 128-bin histogram. No Qt; every cell is read through its text.
#include "common/pixels.h"
#include "mtf/celltable.h"

#include <cstdint>
#include <optional>
#include <string>

namespace tarven::mtf {

// The analysis arrays hold 2049 values: a profile has at most 2048 points.
inline constexpr std::int32_t kMaxProfile = 2048;

// A rectangle of grid cells, both corners included.
struct GridRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool operator==(const GridRect&) const = default;
};

struct CellPos {
    std::int32_t col = 0, row = 0;
    bool operator==(const CellPos&) const = default;
};

// The ROI in image pixels: left column, top row, width, height.
struct RoiBox {
    std::int64_t left = 0, top = 0, width = 0, height = 0;
};

struct Rescale {
    double slope = 1;
    double intercept = 0;
};

// A ROI that the analysis arrays cannot hold (or an empty one) is refused
// before the table is touched, so the table the user had stays.
void checkRoiSize(std::int64_t width, std::int64_t height);

// Gives the table width + 1 columns and height + 1 rows, writes the column
// headings (image columns), the row headings (image rows) and, when withData,
// every data cell with the pixel's value (rescaled when a rescale is given).
// A pixel outside the image (a column outside 0 .. columns-1, a row outside
// 0 .. imageRows-1) or whose bytes lie outside the loaded bytes has no value:
// its cell is left empty, so that every later step stops on it with the conversion error
// instead of analysing a value that is not in the image. Without data every
// data cell is emptied, so an earlier ROI's values cannot pass for this one's.
void fillTable(CellTable& table, const PixelAccess& pixels, std::int64_t imageRows, const RoiBox& roi,
               const std::optional<Rescale>& rescale, bool withData);

// The first strict maximum over the data cells, row by row, each row from
// left to right; starts at cell (1, 1).
CellPos findPeak(const CellTable& table);

struct AreaStatistics {
    double mean = 0;
    double sd = 0; // population SD (divided by the count)
    double max = 0;
    double min = 0;
    CellPos peak; // first strict maximum in row-by-row order
};
AreaStatistics areaStats(const CellTable& table, const GridRect& rect);

// "All": the data cells row by row (or column by column when transposed),
// TAB between cells, CR LF after every line.
std::string allText(const CellTable& table, bool transpose);
// "Slctd": the rectangle row by row; cells outside the table are empty.
std::string rectText(const CellTable& table, const GridRect& rect);
// "LnSlctd": the rectangle's cells one per line, read row by row.
std::string columnText(const CellTable& table, const GridRect& rect);

// "Histg": 128 bins of width round(2^bits / 128) over the data cells of
// columns 2 .. W of every data row, each bin as its share of the counted
// cells, one per line.
std::string histogramText(const CellTable& table, double bits);

} // namespace tarven::mtf
