// The DICOM load through the main window, without the matrix dialog: the
// file's bytes read, ReadDicom (walk, tag table, log, boxes) and the first
// RenderView, on the synthetic 3000 x 3000 DX file of bench_dicom, beside
// reading the bytes alone.
#include "app/form1.h"
#include "app/startup.h"
#include "io/rawload.h"

#include "../tests/unit/dicom/dicom_bytes.h"

#include <QApplication>
#include <QLineEdit>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>

namespace {

std::string writeDx()
{
    using tarven::dicom::testing::DicomBytes;
    constexpr std::uint32_t side = 3000;
    DicomBytes d = DicomBytes::withMeta(tarven::dicom::testing::explicitUid);
    for (std::uint32_t e = 0x20; e < 0x20 + 30; ++e)
        d.ex(0x0008, e, "LO", "VALUE 123456");
    d.ex(0x0018, 0x0060, "DS", "125 ").ex(0x0018, 0x1152, "IS", "3 ");
    d.ex(0x0028, 0x0010, "US", d.us(side)).ex(0x0028, 0x0011, "US", d.us(side));
    d.ex(0x0028, 0x0030, "DS", "0.143\\0.143 ");
    d.ex(0x0028, 0x0100, "US", d.us(16)).ex(0x0028, 0x0101, "US", d.us(14)).ex(0x0028, 0x0102, "US", d.us(13));
    d.ex(0x0028, 0x1050, "DS", "8192").ex(0x0028, 0x1051, "DS", "16384 ");
    d.exHead(0x7FE0, 0x0010, "OW", side * side * 2);
    d.b.resize(d.b.size() + std::size_t{side} * side * 2, 0x11);
    const auto p = std::filesystem::temp_directory_path() / "tarven_ui_bench_dx.dcm";
    std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(d.b.data()), static_cast<std::streamsize>(d.b.size()));
    return p.string();
}

const std::string& path()
{
    static const std::string p = writeDx();
    return p;
}

void BM_ReadFileBytes(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(tarven::readWholeFile(path()).data());
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

void BM_ReadDicomAndFirstPaint(benchmark::State& state)
{
    TForm1* f = tarven::windows().form1;
    for (auto _ : state) {
        f->imageData = tarven::readWholeFile(path());
        f->EditPixelSpacing->setText(QString());
        f->EditFOV->setText(QString());
        f->ReadDicom();
        f->EditrawPosX->setText(QStringLiteral("1500"));
        f->EditrawPosY->setText(QStringLiteral("1500"));
        f->EditMF->setText(QStringLiteral("1"));
        f->RenderView();
    }
}
BENCHMARK(BM_ReadDicomAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_ReadDicomOnly(benchmark::State& state)
{
    TForm1* f = tarven::windows().form1;
    f->imageData = tarven::readWholeFile(path());
    for (auto _ : state) {
        f->EditPixelSpacing->setText(QString());
        f->EditFOV->setText(QString());
        f->ReadDicom();
    }
}
BENCHMARK(BM_ReadDicomOnly)->Unit(benchmark::kMillisecond);

void BM_FirstPaintOnly(benchmark::State& state)
{
    TForm1* f = tarven::windows().form1;
    f->imageData = tarven::readWholeFile(path());
    f->ReadDicom();
    for (auto _ : state) {
        f->EditrawPosX->setText(QStringLiteral("1500"));
        f->EditrawPosY->setText(QStringLiteral("1500"));
        f->RenderView();
    }
}
BENCHMARK(BM_FirstPaintOnly)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    tarven::createWindows();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    tarven::destroyWindows();
    return 0;
}
