#include "mtf/chartfit.h"

#include <QChart>
#include <QLineSeries>
#include <QPen>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace tarven {

void setUpLineChart(QChart* chart, QLineSeries* series)
{
    chart->legend()->hide();
    QPen pen(Qt::red);
    pen.setWidth(1);
    series->setPen(pen);
    chart->addSeries(series);
    auto* x = new QValueAxis(chart);
    auto* y = new QValueAxis(chart);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

namespace {
// A range that shows every value: an empty or flat set of values gets a
// range of width 1 (or of its own size) around them.
void fit(QValueAxis* axis, double lo, double hi)
{
    if (!(lo <= hi)) {
        lo = 0;
        hi = 1;
    }
    if (lo == hi) {
        const double pad = lo == 0 ? 1.0 : std::abs(lo) * 0.5;
        lo -= pad;
        hi += pad;
    }
    axis->setRange(lo, hi);
}
} // namespace

void showPoints(QChart* chart, QLineSeries* series, const QList<QPointF>& points, std::optional<double> fixedYMin)
{
    series->replace(points);
    double x0 = 0, x1 = -1, y0 = 0, y1 = -1;
    bool first = true;
    for (const QPointF& p : points) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y()))
            continue;
        if (first) {
            x0 = x1 = p.x();
            y0 = y1 = p.y();
            first = false;
            continue;
        }
        x0 = std::min(x0, p.x());
        x1 = std::max(x1, p.x());
        y0 = std::min(y0, p.y());
        y1 = std::max(y1, p.y());
    }
    const auto horizontal = chart->axes(Qt::Horizontal);
    const auto vertical = chart->axes(Qt::Vertical);
    if (!horizontal.isEmpty())
        if (auto* ax = qobject_cast<QValueAxis*>(horizontal.first()))
            fit(ax, x0, x1);
    if (!vertical.isEmpty())
        if (auto* ay = qobject_cast<QValueAxis*>(vertical.first())) {
            if (fixedYMin) {
                const double top = first ? *fixedYMin + 1 : std::max(y1, *fixedYMin);
                fit(ay, *fixedYMin, top > *fixedYMin ? top : *fixedYMin + 1);
            } else {
                fit(ay, y0, y1);
            }
        }
}

} // namespace tarven
