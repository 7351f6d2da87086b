// The Wiener spectrum run on a 1024 x 1024 ROI of a 16-bit noise image:
// N = 512, M = 16, shifts 64 along and 16 across (64 strips of 9 segments),
// per-line trend removal of order 2 and trend removal of the averaged
// profile of order 1. Beside it the transform alone, for scale.
#include "wiener/spectrum.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

constexpr std::int64_t kSide = 1024;
constexpr std::int64_t kHeader = 4096;

const std::vector<std::uint8_t>& image()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> b(static_cast<std::size_t>(kHeader + kSide * kSide * 2));
        std::mt19937 rng(3);
        std::normal_distribution<double> nd(1000.0, 30.0);
        for (std::size_t i = kHeader; i + 1 < b.size(); i += 2) {
            const auto v = static_cast<std::uint16_t>(static_cast<int>(nd(rng)));
            b[i] = static_cast<std::uint8_t>(v & 0xFF);
            b[i + 1] = static_cast<std::uint8_t>(v >> 8);
        }
        return b;
    }();
    return bytes;
}

void BM_WienerRun(benchmark::State& state)
{
    tarven::WsState ws;
    tarven::WsParams p;
    p.length = 1024;
    p.extent = 1024;
    p.segment = 512;
    p.lines = 16;
    p.stepAlong = 64;
    p.stepAcross = 16;
    p.maxSegments = 1000;
    p.delta = 0.5;
    p.trend = true;
    p.trendOrder = 2;
    p.trendAverage = true;
    p.trendAverageOrder = 1;
    p.directionY = state.range(0) != 0;
    tarven::WsSource src;
    src.bytes = image();
    src.header = kHeader;
    src.columns = kSide;
    src.width = kSide;
    src.height = kSide;
    src.intercept = -1024;
    int segments = 0;
    for (auto _ : state) {
        segments = tarven::wsRun(ws, p, src);
        benchmark::DoNotOptimize(ws.wsSpectrum.data());
    }
    state.counters["segments"] = segments;
}
BENCHMARK(BM_WienerRun)->Arg(0)->Arg(1)->ArgName("directionY")->Unit(benchmark::kMillisecond);

void BM_Fft512(benchmark::State& state)
{
    std::vector<double> re(512), im(512);
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> u(-1, 1);
    for (auto& v : re)
        v = u(rng);
    for (auto _ : state) {
        std::vector<double> r = re, i = im;
        tarven::wsFft(r, i, 512);
        benchmark::DoNotOptimize(r.data());
    }
}
BENCHMARK(BM_Fft512)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
