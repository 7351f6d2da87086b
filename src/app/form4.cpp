#include "app/form4.h"

#include "app/form1.h"
#include "app/startup.h"
#include "mtf/chartfit.h"
#include "platform/guard.h"

#include <QApplication>
#include <QChart>
#include <QFont>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPen>
#include <QValueAxis>

#include <algorithm>

namespace tarven {

void ClickableChartView::mousePressEvent(QMouseEvent* e)
{
    pressAt_ = e->position().toPoint();
    pressed_ = e->button() == Qt::LeftButton;
    QChartView::mousePressEvent(e);
}

void ClickableChartView::mouseReleaseEvent(QMouseEvent* e)
{
    const bool click = pressed_ && e->button() == Qt::LeftButton &&
                       (e->position().toPoint() - pressAt_).manhattanLength() < QApplication::startDragDistance();
    pressed_ = false;
    QChartView::mouseReleaseEvent(e);
    if (click)
        emit clicked();
}

} // namespace tarven

TForm4::TForm4(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral("Graph"));
    setFixedSize(477, 318);

    auto* chart = new QChart;
    QFont titleFont = chart->titleFont();
    titleFont.setPixelSize(24);
    titleFont.setBold(true);
    titleFont.setItalic(true);
    chart->setTitleFont(titleFont);
    chart->setTitleBrush(QBrush(Qt::blue));
    chart->setTitle(QStringLiteral("TChart"));
    chart->setAnimationOptions(QChart::GridAxisAnimations);
    Series1 = new QLineSeries(chart);
    Series1->setObjectName(QStringLiteral("Series1"));
    tarven::setUpLineChart(chart, Series1);
    Series1->setPointsVisible(true);
    Series1->setMarkerSize(1);
    Series1->setColor(Qt::red);
    if (auto* x = qobject_cast<QValueAxis*>(chart->axes(Qt::Horizontal).value(0)))
        x->setLinePenColor(Qt::blue);
    if (auto* y = qobject_cast<QValueAxis*>(chart->axes(Qt::Vertical).value(0)))
        y->setLinePenColor(QColor(0, 255, 0));

    Chart1 = new tarven::ClickableChartView(chart, this);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(14, 14, 449, 265);
    Chart1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Chart1->setLineWidth(7);
    Chart1->setRubberBand(QChartView::RectangleRubberBand);
    connect(Chart1, &tarven::ClickableChartView::clicked, this, [this] { tarven::guarded(this, [this] { FormCreate(); }); });
}

void TForm4::FormCreate()
{
    const TForm1* f1 = tarven::windows().form1;
    if (!f1)
        return;
    const GraphBuffer& g = f1->graphBuffer;
    // Indices outside the buffer's 50001 values have no point and are skipped.
    const std::int64_t first = std::max<std::int64_t>(g.first, 0);
    const std::int64_t last = std::min<std::int64_t>(g.last, static_cast<std::int64_t>(g.values.size()) - 1);
    QList<QPointF> points;
    for (std::int64_t i = first; i <= last; ++i)
        points.append(QPointF(static_cast<double>(g.offset + i), g.values[static_cast<std::size_t>(i)]));
    tarven::showPoints(Chart1->chart(), Series1, points);
    Chart1->chart()->setTitle(g.title);
}
