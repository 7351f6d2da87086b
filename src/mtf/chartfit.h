#pragma once
// Fills a line series and scales its chart's two value axes to the points.
#include <QList>
#include <QPointF>

#include <optional>

class QChart;
class QLineSeries;

namespace tarven {

// Sets up a chart with one red line series on a bottom and a left value
// axis, no legend.
void setUpLineChart(QChart* chart, QLineSeries* series);

// Replaces the series' points and fits both axes to them; fixedYMin keeps
// the vertical axis's minimum where the chart wants it (0 for the MTF).
void showPoints(QChart* chart, QLineSeries* series, const QList<QPointF>& points,
                std::optional<double> fixedYMin = std::nullopt);

} // namespace tarven
