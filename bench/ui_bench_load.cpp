// Load to first paint of an 18 MB raw file (3000 x 3000 x 2 behind a 2048-byte
// header) through the real main window, beside reading the file's bytes into
// memory, in the same run.
#include "app/form1.h"
#include "app/startup.h"
#include "io/rawload.h"
#include "platform/dialogs.h"
#include "platform/imagecontrol.h"

#include <QApplication>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <vector>

namespace {

QString bigRawFile()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = QDir(dir.path()).filePath(QStringLiteral("dx_3000x3000.raw"));
        std::vector<std::uint8_t> bytes(2048 + 3000 * 3000 * 2);
        std::mt19937 rng(3);
        for (auto& b : bytes)
            b = static_cast<std::uint8_t>(rng());
        std::FILE* f = std::fopen(p.toLocal8Bit().constData(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return p;
    }();
    return path;
}

void BM_ReadFileBytes(benchmark::State& state)
{
    const std::string path = bigRawFile().toStdString();
    for (auto _ : state) {
        auto bytes = tarven::readWholeFile(path);
        benchmark::DoNotOptimize(bytes.data());
    }
}
BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond);

void BM_LoadToFirstPaint(benchmark::State& state)
{
    const QString path = bigRawFile();
    tarven::createWindows();
    TForm1* f = tarven::windows().form1;
    TForm1::setRadioIndex(f->RadioGroupMode, 1);
    tarven::setInputHook([](const QString&, const QString&, const QString& proposal) {
        return std::optional<QString>(proposal == QStringLiteral("2048 2048") ? QStringLiteral("3000 3000") : proposal);
    });
    for (auto _ : state) {
        f->dropFiles({path});
        f->Image1->repaint(); // the first paint, synchronously
    }
    if (f->EditHeader->text() != QStringLiteral("2048"))
        state.SkipWithError("the load did not take the matrix");
    tarven::setInputHook({});
    tarven::destroyWindows();
}
BENCHMARK(BM_LoadToFirstPaint)->Unit(benchmark::kMillisecond);

// A render of the loaded 3000 x 3000 image with its repaint: what every pan
// or window-drag step costs on top of the mouse handling.
void BM_RenderAndPaint(benchmark::State& state)
{
    const QString path = bigRawFile();
    tarven::createWindows();
    TForm1* f = tarven::windows().form1;
    TForm1::setRadioIndex(f->RadioGroupMode, 1);
    tarven::setInputHook([](const QString&, const QString&, const QString&) { return std::optional<QString>(QStringLiteral("3000 3000")); });
    f->dropFiles({path});
    tarven::setInputHook({});
    for (auto _ : state) {
        f->RenderView();
        f->Image1->repaint();
    }
    tarven::destroyWindows();
}
BENCHMARK(BM_RenderAndPaint)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
