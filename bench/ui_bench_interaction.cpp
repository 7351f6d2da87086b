// One step of a pan and of a right-button window drag on the main window,
// offscreen: the mouse-move handler, the render of a 512 x 512 view of a
// 2048 x 2048 image and the immediate repaint of the display. Reported as the
// median over repetitions.
#include "app/form1.h"
#include "app/startup.h"
#include "platform/imagecontrol.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QRadioButton>

#include <benchmark/benchmark.h>

#include <random>

namespace {

TForm1* form()
{
    static TForm1* f = [] {
        tarven::createWindows();
        TForm1* w = tarven::windows().form1;
        constexpr int side = 2048;
        w->imageData.resize(std::size_t(side) * side * 2);
        std::mt19937 rng(5);
        for (auto& b : w->imageData)
            b = static_cast<std::uint8_t>(rng() & 0x0F);
        w->EditFileSize->setText(QString::number(w->imageData.size()));
        w->EditHeader->setText(QStringLiteral("0"));
        w->EditrawSizeX->setText(QString::number(side));
        w->EditrawSizeY->setText(QString::number(side));
        w->EditrawPosX->setText(QString::number(side / 2));
        w->EditrawPosY->setText(QString::number(side / 2));
        w->EditMF->setText(QStringLiteral("1"));
        w->Image0->hide();
        w->RenderView();
        return w;
    }();
    return f;
}

tarven::MouseArgs at(int x, int y, Qt::MouseButton b)
{
    return tarven::MouseArgs{b, b, Qt::NoModifier, x, y};
}

void BM_PanStep(benchmark::State& state)
{
    TForm1* f = form();
    f->RadioButtonPAN->setChecked(true);
    f->Image1MouseDown(at(200, 200, Qt::LeftButton));
    int x = 200, dir = 1;
    for (auto _ : state) {
        x += dir;
        if (x > 260 || x < 140)
            dir = -dir;
        f->Image1MouseMove(at(x, 200, Qt::LeftButton));
        f->Image1->repaint();
    }
    f->Image1MouseUp(at(x, 200, Qt::LeftButton));
}
BENCHMARK(BM_PanStep)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

void BM_WindowDragStep(benchmark::State& state)
{
    TForm1* f = form();
    f->Image1MouseDown(at(300, 300, Qt::RightButton));
    int x = 300, dir = 1;
    for (auto _ : state) {
        x += dir;
        if (x > 340 || x < 260)
            dir = -dir;
        f->Image1MouseMove(at(x, 300, Qt::RightButton));
        f->Image1->repaint();
    }
    f->Image1MouseUp(at(x, 300, Qt::RightButton));
}
BENCHMARK(BM_WindowDragStep)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tarven::destroyWindows();
    return 0;
}
