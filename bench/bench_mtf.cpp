// One "CalMTF" of the MTF window's engine: the sum of three lines around the
// peak row, base and FWHM, the direct transform and the summary row, on a
// slit table 2048 and 512 points wide (the up-down steps the line count
// through this computation, so the 512-point case must stay well under
// 10 ms). The table's cells are text, as the window holds them.
#include "common/numeric.h"
#include "mtf/celltable.h"
#include "mtf/mtf.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>

namespace {

tarven::mtf::CellTable slitTable(std::int32_t width)
{
    constexpr std::int32_t rows = 5;
    tarven::mtf::CellTable t(width + 1, rows + 1);
    std::mt19937 rng(11);
    std::normal_distribution<double> noise(0.0, 3.0);
    const double centre = width / 2.0 + 0.3, sigma = 2.5;
    for (std::int32_t c = 1; c <= width; ++c)
        t.setCell(c, 0, tarven::formatInt(c - 1));
    for (std::int32_t r = 1; r <= rows; ++r) {
        t.setCell(0, r, tarven::formatInt(r - 1));
        for (std::int32_t c = 1; c <= width; ++c) {
            const double x = c - 1 - centre;
            const double v = 100 + 2000 * std::exp(-x * x / (2 * sigma * sigma)) + noise(rng);
            t.setCell(c, r, tarven::formatInt(std::lround(v)));
        }
    }
    return t;
}

void BM_CalMTF(benchmark::State& state)
{
    const auto width = static_cast<std::int32_t>(state.range(0));
    const tarven::mtf::CellTable table = slitTable(width);
    const tarven::mtf::MtfInput in{tarven::mtf::Direction::X, 3, 1, 0.1, {width / 2 + 1, 3}};
    for (auto _ : state) {
        const tarven::mtf::MtfResult r = tarven::mtf::computeMtf(table, in);
        std::string row = tarven::mtf::summaryRow("3", r.summary);
        benchmark::DoNotOptimize(row);
    }
    state.SetLabel(std::to_string(width) + " points");
}
BENCHMARK(BM_CalMTF)->Arg(512)->Arg(2048)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
