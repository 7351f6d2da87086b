// The renderer's engine on a 512 x 512 view of a 3000 x 3000 16-bit image
// (reduce path, zoom code 1), beside a baseline loop that only reads the same
// 262,144 words and writes 3 bytes each.
#include "viewer/render.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr std::int64_t kSide = 3000;
constexpr std::int64_t kHeader = 2048;

const std::vector<std::uint8_t>& image()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> b(static_cast<std::size_t>(kHeader + kSide * kSide * 2));
        std::mt19937 rng(7);
        for (auto& x : b)
            x = static_cast<std::uint8_t>(rng());
        return b;
    }();
    return bytes;
}

void BM_BaselineReadWrite(benchmark::State& state)
{
    const auto& bytes = image();
    std::vector<std::uint8_t> out(512 * 512 * 3);
    const std::int64_t x0 = kSide / 2 - 256, y0 = kSide / 2 - 256;
    for (auto _ : state) {
        for (std::int64_t r = 0; r < 512; ++r) {
            const std::uint8_t* p = bytes.data() + kHeader + 2 * ((y0 + r) * kSide + x0);
            std::uint8_t* o = out.data() + r * 512 * 3;
            for (std::int64_t q = 0; q < 512; ++q, p += 2, o += 3) {
                const auto w = static_cast<std::uint8_t>((p[0] | (p[1] << 8)) >> 4);
                o[0] = o[1] = o[2] = w;
            }
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BaselineReadWrite)->Unit(benchmark::kMicrosecond);

void BM_RenderReduce(benchmark::State& state)
{
    const auto& bytes = image();
    std::vector<std::uint8_t> display(512 * 512 * 3);
    const tarven::Bitmap24 bmp{512, 512, 512 * 3, display.data()};
    const auto view = tarven::computeView({kSide, kSide, kSide / 2, kSide / 2, 1, 512, 512});
    auto table = std::make_unique<tarven::GreyTable>();
    for (auto _ : state) {
        // The grey table is rebuilt on every render, as RenderView does.
        tarven::buildGreyTable({600, 600, false}, false, *table);
        tarven::renderDisplay(view, bytes, kHeader, kSide, *table, bmp);
        benchmark::DoNotOptimize(display.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_RenderReduce)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
