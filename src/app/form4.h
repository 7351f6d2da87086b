#pragma once
// The graph window: draws the main window's last histogram or profile.
#include <QChartView>
#include <QDialog>
#include <QPoint>

class QLineSeries;

namespace tarven {
// A chart view that reports a click (press and release without a drag), so
// that a rubber-band zoom is not taken for one.
class ClickableChartView : public QChartView {
    Q_OBJECT
public:
    using QChartView::QChartView;

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    QPoint pressAt_;
    bool pressed_ = false;
};
} // namespace tarven

class TForm4 : public QDialog {
    Q_OBJECT
public:
    explicit TForm4(QWidget* parent = nullptr);

    tarven::ClickableChartView* Chart1 = nullptr;
    QLineSeries* Series1 = nullptr;

    // The click on Chart1 (the chart is filled by a click, not at creation):
    // the graph buffer's points from first to last, under its title.
    void FormCreate();
};
