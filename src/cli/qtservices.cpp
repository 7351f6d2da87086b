#include "cli/qtservices.h"

#include "common/errors.h"

#include <QApplication>
#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>

namespace tarven::cli {

namespace {

// Charts are graphics widgets and need the widget application; without a
// display it runs on the offscreen platform.
void ensureApplication()
{
    if (QCoreApplication::instance())
        return;
    // Standard error carries the command's own messages only; Qt's notes
    // about the environment (runtime folders, fonts) are not failures.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tarven-cli";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QApplication> app = std::make_unique<QApplication>(argc, argv);
}

std::vector<std::uint8_t> encode(const QImage& image, const char* format)
{
    QByteArray data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format))
        throw FileError(std::string("the image could not be encoded as ") + format);
    return std::vector<std::uint8_t>(data.begin(), data.end());
}

std::vector<std::uint8_t> encodeDisplay(const Bitmap24& display, ImageFormat format)
{
    ensureApplication();
    const QImage view(display.bits, static_cast<int>(display.width), static_cast<int>(display.height),
                      static_cast<qsizetype>(display.stride), QImage::Format_RGB888);
    return encode(view.copy(), format == ImageFormat::Png ? "PNG" : "BMP");
}

// A range that shows every value; an empty or flat set gets a range around it.
std::pair<double, double> spanOf(double lo, double hi)
{
    if (!(lo <= hi))
        return {0.0, 1.0};
    if (lo == hi) {
        const double pad = lo == 0 ? 1.0 : std::abs(lo) * 0.5;
        return {lo - pad, hi + pad};
    }
    return {lo, hi};
}

std::vector<std::uint8_t> drawChart(const ChartSpec& chartDef)
{
    ensureApplication();
    QGraphicsScene scene;
    auto* chart = new QChart;
    scene.addItem(chart);
    chart->setTitle(QString::fromStdString(chartDef.title));
    chart->legend()->hide();
    auto* series = new QLineSeries(chart);
    series->setPen(QPen(QColor(255, 0, 0), 1));
    chart->addSeries(series);

    QList<QPointF> points;
    double x0 = 0, x1 = -1, y0 = 0, y1 = -1;
    bool first = true;
    for (const auto& [x, y] : chartDef.points) {
        if (!std::isfinite(x) || !std::isfinite(y) || (chartDef.logY && !(y > 0)))
            continue; // a logarithmic axis has no place for 0 or less
        points.append(QPointF(x, y));
        x0 = first ? x : std::min(x0, x);
        x1 = first ? x : std::max(x1, x);
        y0 = first ? y : std::min(y0, y);
        y1 = first ? y : std::max(y1, y);
        first = false;
    }
    series->replace(points);

    auto* axisX = new QValueAxis;
    const auto [xl, xh] = spanOf(x0, x1);
    axisX->setRange(xl, xh);
    chart->addAxis(axisX, Qt::AlignBottom);
    series->attachAxis(axisX);
    if (chartDef.logY) {
        auto* axisY = new QLogValueAxis;
        axisY->setBase(10.0);
        axisY->setLabelFormat(QStringLiteral("%g"));
        if (!first)
            axisY->setRange(y0, y1 > y0 ? y1 : y0 * 10);
        chart->addAxis(axisY, Qt::AlignLeft);
        series->attachAxis(axisY);
    } else {
        auto* axisY = new QValueAxis;
        if (chartDef.yMin) {
            const double top = first ? *chartDef.yMin + 1 : std::max(y1, *chartDef.yMin);
            const auto [yl, yh] = spanOf(*chartDef.yMin, top > *chartDef.yMin ? top : *chartDef.yMin + 1);
            axisY->setRange(yl, yh);
        } else {
            const auto [yl, yh] = spanOf(y0, y1);
            axisY->setRange(yl, yh);
        }
        chart->addAxis(axisY, Qt::AlignLeft);
        series->attachAxis(axisY);
    }

    const QRectF area(0, 0, chartDef.width, chartDef.height);
    chart->setGeometry(area);
    scene.setSceneRect(area);
    QImage image(chartDef.width, chartDef.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene.render(&painter, area, area);
    }
    return encode(image, "PNG");
}

} // namespace

Services qtServices()
{
    Services s;
    s.encodeImage = encodeDisplay;
    s.drawChart = drawChart;
    return s;
}

} // namespace tarven::cli
