// "AutoW" on a 3000 x 3000 16-bit image (one pass for the extremes; larger
// than 512 x 512, so no histogram estimate), beside one plain pass that only
// reads the same words and keeps their minimum and maximum.
#include "common/pixels.h"
#include "viewer/autowindow.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr std::int64_t kSide = 3000;
constexpr std::int64_t kHeader = 2048;

const std::vector<std::uint8_t>& image()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> b(static_cast<std::size_t>(kHeader + kSide * kSide * 2));
        std::mt19937 rng(11);
        for (auto& x : b)
            x = static_cast<std::uint8_t>(rng() & 0x0F); // 12-bit-like data
        return b;
    }();
    return bytes;
}

void BM_PlainPass(benchmark::State& state)
{
    const auto& bytes = image();
    for (auto _ : state) {
        const std::uint8_t* p = bytes.data() + kHeader;
        std::int32_t lo = INT32_MAX, hi = INT32_MIN;
        for (std::int64_t i = 0; i < kSide * kSide; ++i, p += 2) {
            const std::int32_t v = static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
            lo = v < lo ? v : lo;
            hi = v > hi ? v : hi;
        }
        benchmark::DoNotOptimize(lo);
        benchmark::DoNotOptimize(hi);
    }
    state.SetBytesProcessed(state.iterations() * kSide * kSide * 2);
}
BENCHMARK(BM_PlainPass)->Unit(benchmark::kMillisecond);

void BM_AutoWindow3000(benchmark::State& state)
{
    const auto& bytes = image();
    const tarven::PixelAccess px(bytes, kHeader, kSide, state.range(0) != 0);
    for (auto _ : state) {
        const tarven::AutoWindow w = tarven::autoWindow(px, kSide, kSide, false);
        benchmark::DoNotOptimize(w.width);
    }
    state.SetBytesProcessed(state.iterations() * kSide * kSide * 2);
}
BENCHMARK(BM_AutoWindow3000)->Arg(0)->Arg(1)->ArgName("swap")->Unit(benchmark::kMillisecond);

// The histogram estimate's two passes on the largest image that gets it.
void BM_AutoWindow512(benchmark::State& state)
{
    const auto& bytes = image();
    const tarven::PixelAccess px(bytes, kHeader, 512, false);
    for (auto _ : state) {
        const tarven::AutoWindow w = tarven::autoWindow(px, 512, 512, false);
        benchmark::DoNotOptimize(w.width);
    }
}
BENCHMARK(BM_AutoWindow512)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
