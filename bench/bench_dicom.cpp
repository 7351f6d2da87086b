// The DICOM reader's walk on a synthetic 3000 x 3000 16-bit DX file (18 MB,
// about 40 elements), beside reading the file's bytes from disk; and the
// whole engine path of a load up to the first paint (read, walk, render).
#include "dicom/anonymise.h"
#include "dicom/walk.h"
#include "io/rawload.h"
#include "viewer/render.h"

#include "../tests/unit/dicom/dicom_bytes.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

using tarven::dicom::testing::DicomBytes;
constexpr std::uint32_t kSide = 3000;

std::vector<std::uint8_t> dxFile()
{
    DicomBytes d = DicomBytes::withMeta(tarven::dicom::testing::explicitUid);
    d.ex(0x0002, 0x0016, "AE", "DXSTATION01 ");
    d.ex(0x0008, 0x0005, "CS", "ISO_IR 100");
    d.ex(0x0008, 0x0008, "CS", "ORIGINAL\\PRIMARY");
    d.ex(0x0008, 0x0016, "UI", "1.2.840.10008.5.1.4.1.1.1.1");
    d.ex(0x0008, 0x0018, "UI", "1.2.3.4.5.6.7.8.9.10.11.12.13.14");
    d.ex(0x0008, 0x0020, "DA", "20240101").ex(0x0008, 0x0030, "TM", "120000");
    d.ex(0x0008, 0x0060, "CS", "DX").ex(0x0008, 0x0070, "LO", "MAKER ").ex(0x0008, 0x0080, "LO", "HOSPITAL");
    d.ex(0x0008, 0x1090, "LO", "MODEL-X ").ex(0x0008, 0x103E, "LO", "CHEST PA");
    d.exHead(0x0008, 0x1140, "SQ", 0xFFFFFFFF).tag(0xFFFE, 0xE000).u32(0xFFFFFFFF);
    d.ex(0x0008, 0x1150, "UI", "1.2.840.10008.5.1.4.1.1.1.1").itemDelimiter().seqDelimiter();
    d.ex(0x0010, 0x0010, "PN", "DOE^JOHN").ex(0x0010, 0x0020, "LO", "12345678");
    d.ex(0x0010, 0x0030, "DA", "19700101").ex(0x0010, 0x0040, "CS", "M ");
    d.ex(0x0018, 0x0015, "CS", "CHEST ").ex(0x0018, 0x0060, "DS", "125 ");
    d.ex(0x0018, 0x1110, "DS", "1800").ex(0x0018, 0x1111, "DS", "1750");
    d.ex(0x0018, 0x1150, "IS", "10").ex(0x0018, 0x1151, "IS", "320 ").ex(0x0018, 0x1152, "IS", "3 ");
    d.ex(0x0018, 0x1164, "DS", "0.143\\0.143 ");
    d.ex(0x0020, 0x000D, "UI", "1.2.3.4.5.6.7.8.1").ex(0x0020, 0x000E, "UI", "1.2.3.4.5.6.7.8.2");
    d.ex(0x0020, 0x0013, "IS", "1 ").ex(0x0020, 0x0020, "CS", "L\\F ");
    d.ex(0x0028, 0x0002, "US", d.us(1)).ex(0x0028, 0x0004, "CS", "MONOCHROME2 ");
    d.ex(0x0028, 0x0010, "US", d.us(kSide)).ex(0x0028, 0x0011, "US", d.us(kSide));
    d.ex(0x0028, 0x0030, "DS", "0.143\\0.143 ");
    d.ex(0x0028, 0x0100, "US", d.us(16)).ex(0x0028, 0x0101, "US", d.us(14)).ex(0x0028, 0x0102, "US", d.us(13));
    d.ex(0x0028, 0x0103, "US", d.us(0));
    d.ex(0x0028, 0x1050, "DS", "8192").ex(0x0028, 0x1051, "DS", "16384 ");
    d.ex(0x0028, 0x1052, "DS", "0 ").ex(0x0028, 0x1053, "DS", "1 ").ex(0x0028, 0x1054, "LO", "US");
    d.exHead(0x7FE0, 0x0010, "OW", kSide * kSide * 2);
    d.b.resize(d.b.size() + std::size_t{kSide} * kSide * 2);
    for (std::size_t i = d.b.size() - std::size_t{kSide} * kSide * 2; i < d.b.size(); i += 2) {
        d.b[i] = static_cast<std::uint8_t>(i * 7);
        d.b[i + 1] = static_cast<std::uint8_t>((i >> 9) & 0x3F);
    }
    return std::move(d.b);
}

// The file on disk, written once; read back it comes from the page cache,
// as a file just opened from a local disk usually does.
const std::string& dxPath()
{
    static const std::string path = [] {
        const auto p = std::filesystem::temp_directory_path() / "tarven_bench_dx.dcm";
        const auto bytes = dxFile();
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }();
    return path;
}

void BM_ReadFileBytes(benchmark::State& state)
{
    const std::string& path = dxPath();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const auto data = tarven::readWholeFile(path);
        bytes += static_cast<std::int64_t>(data.size());
        benchmark::DoNotOptimize(data.data());
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

void BM_WalkDicom(benchmark::State& state)
{
    const auto data = tarven::readWholeFile(dxPath());
    const auto& dict = tarven::dicom::builtinDictionary();
    for (auto _ : state) {
        const auto r = tarven::dicom::walkDicom(data, dict, false);
        if (!r.pixelOffset || r.rows.size() < 40)
            state.SkipWithError("walk did not reach the pixels");
        benchmark::DoNotOptimize(r.rows.data());
    }
    state.counters["elements"] = static_cast<double>(tarven::dicom::walkDicom(data, dict, false).rows.size());
}
BENCHMARK(BM_WalkDicom)->Unit(benchmark::kMillisecond);

// Read the file, walk it, build the grey table and paint the 512 x 512 view.
void BM_LoadToFirstPaint(benchmark::State& state)
{
    const std::string& path = dxPath();
    const auto& dict = tarven::dicom::builtinDictionary();
    std::vector<std::uint8_t> display(512 * 512 * 3);
    auto table = std::make_unique<tarven::GreyTable>();
    for (auto _ : state) {
        const auto data = tarven::readWholeFile(path);
        const auto r = tarven::dicom::walkDicom(data, dict, false);
        const auto view = tarven::computeView({kSide, kSide, kSide / 2, kSide / 2, 1, 512, 512});
        tarven::buildGreyTable({16384, 8192, false}, false, *table);
        tarven::renderDisplay(view, data, r.pixelOffset.value_or(0), kSide, *table,
                              tarven::Bitmap24{512, 512, 512 * 3, display.data()});
        benchmark::DoNotOptimize(display.data());
    }
}
BENCHMARK(BM_LoadToFirstPaint)->Unit(benchmark::kMillisecond);

void BM_AnonymisedCopy(benchmark::State& state)
{
    const auto data = tarven::readWholeFile(dxPath());
    const auto& dict = tarven::dicom::builtinDictionary();
    for (auto _ : state) {
        const auto c = tarven::dicom::anonymisedCopy(data, static_cast<std::int64_t>(data.size()), dict);
        benchmark::DoNotOptimize(c.bytes.data());
    }
}
BENCHMARK(BM_AnonymisedCopy)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
