// The MTF window's computation, plots and listings: the boxes are converted
// here, the numbers come from the engine (mtf/mtf.h), and the results are
// written back only when the whole computation succeeded, so a bad input
// leaves the previous LSF, MTF, summary table and plots as they were.
#include "mtf/form2.h"

#include "app/form1.h"
#include "app/startup.h"
#include "mtf/chartfit.h"
#include "platform/convert.h"
#include "platform/memo.h"

#include <QChart>
#include <QChartView>
#include <QGroupBox>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTabWidget>

#include <algorithm>

using tarven::generalText;
using tarven::intText;
using tarven::toFloat;
using tarven::toInt;
using namespace tarven::mtf;

QWidget* TForm2::activeTab() const { return PageControl1->currentWidget(); }

void TForm2::setLineCountText(int position)
{
    lineCountUpdating_ = true;
    EditYL->setText(intText(position));
    lineCountUpdating_ = false;
}

void TForm2::ButtonCalMTFClick()
{
    setLineCountText(UpDown1->value());
    computeIfCounted();
}

void TForm2::UpDown1Click() { ButtonCalMTFClick(); }

void TForm2::RadioGroup1Click() { ButtonCalMTFClick(); }

void TForm2::EditYLChange()
{
    // The rule writes the clamped position back into the box; that write
    // must not run the rule (and the computation) a second time.
    if (lineCountUpdating_)
        return;
    const std::int32_t value = toInt(EditYL);
    const int position = std::clamp<std::int32_t>(value, UpDown1->minimum(), UpDown1->maximum());
    {
        const QSignalBlocker block(UpDown1);
        UpDown1->setValue(position);
    }
    if (EditYL->text() != intText(position))
        setLineCountText(position);
    if (!quietSettings_)
        computeIfCounted();
}

void TForm2::resetDirectionAndLineCount()
{
    quietSettings_ = true;
    const auto buttons = RadioGroup1->findChildren<QRadioButton*>();
    if (!buttons.isEmpty())
        buttons.first()->setChecked(true);
    EditYL->setText(QStringLiteral("0"));
    quietSettings_ = false;
}

void TForm2::computeIfCounted()
{
    if (UpDown1->value() < 1)
        return;
    const int direction = TForm1::radioIndex(RadioGroup1);
    if (direction == 0)
        CalcX();
    else if (direction == 1)
        CalcY();
    else
        return;
    if (activeTab() == TabSheetLSF || activeTab() == TabSheetMTF) {
        ButtonDrawGClick();
        ButtonDrawDClick();
    }
}

void TForm2::CalcX() { calculate(Direction::X); }

void TForm2::CalcY() { calculate(Direction::Y); }

void TForm2::calculate(Direction direction)
{
    selectAllData();
    const double dx = toFloat(Editdx);
    const std::int32_t lineCount = toInt(EditYL);
    const std::int32_t baseCount = toInt(EditGeta);
    MtfResult r = computeMtf(table(), {direction, lineCount, baseCount, dx, {peakCol, peakRow}});
    const QString label = EditYL->text();
    const std::string row = summaryRow(label.toStdString(), r.summary);

    pixelSize = dx;
    const auto n = static_cast<std::int32_t>(r.lsf.size());
    workCount = n;
    lsfCount = n;
    dftSize = n;
    lineSum = std::move(r.lineSum);
    workProfile = r.lsf;
    lsfData = std::move(r.lsf);
    specRe = std::move(r.spectrum.re);
    specIm = std::move(r.spectrum.im);
    magSpectrum = std::move(r.spectrum.mag);
    if (r.fwhm)
        EditWork4->setText(QStringLiteral("FWHM=") + generalText(*r.fwhm));

    if (lineCount == 1)
        tarven::memoClear(MemoMTF);
    if (label == QStringLiteral("1"))
        tarven::memoSetLine(MemoMTF, 0, QString::fromStdString(std::string(kSummaryHeader) + row));
    else
        tarven::memoSetLine(MemoMTF, lineCount, QString::fromStdString(row));
}

// ---------------------------------------------------------------- plots

void TForm2::ButtonDrawDClick()
{
    const std::int32_t n = toInt(Editdnd);
    const double dx = toFloat(Editdx);
    pixelSize = dx;
    PlotData p;
    if (activeTab() == TabSheetLSF)
        p = lsfPlot(lsfData, n, dx);
    else if (activeTab() == TabSheetMTF)
        p = mtfPlot(magSpectrum, n, dx);
    // The count handed over stays within the computed points (see lsfPlot).
    workCount = std::clamp<std::int32_t>(n, 0, lsfCount);
    if (activeTab() != TabSheetLSF && activeTab() != TabSheetMTF)
        return;
    const std::vector<double>& plotted = activeTab() == TabSheetLSF ? lsfData : magSpectrum;
    workProfile.assign(plotted.begin(), plotted.begin() + static_cast<std::ptrdiff_t>(p.x.size()));
    plotX = std::move(p.x);
    plotY = std::move(p.y);
    plotCount = p.count;
    FillSeries();
}

void TForm2::FillSeries()
{
    QLineSeries* series = nullptr;
    QChartView* view = nullptr;
    if (activeTab() == TabSheetLSF) {
        series = Series1;
        view = Chart1;
    } else if (activeTab() == TabSheetMTF) {
        series = Series2;
        view = Chart2;
    } else {
        return;
    }
    QList<QPointF> points;
    points.reserve(plotCount);
    for (std::int32_t i = 0; i < plotCount; ++i)
        points.append(QPointF(plotX[static_cast<std::size_t>(i)], plotY[static_cast<std::size_t>(i)]));
    // The MTF's vertical axis starts at 0; its top follows the data.
    tarven::showPoints(view->chart(), series, points,
                       series == Series2 ? std::optional<double>(0.0) : std::nullopt);
}

void TForm2::ButtonDrawGClick()
{
    QLineEdit* count = nullptr;
    QLineEdit* interval = nullptr;
    if (activeTab() == TabSheetLSF) {
        count = EditLSFgnd;
        interval = EditLSFgdx;
    } else if (activeTab() == TabSheetMTF) {
        count = EditMTFgnd;
        interval = EditMTFgdx;
    } else {
        return;
    }
    const std::int32_t points = count->text().isEmpty() ? 0 : toInt(count);
    const double step = interval->text().isEmpty() ? 0.0 : toFloat(interval);
    if (points <= 0)
        count->setText(intText(workCount));
    if (!(step > 0))
        interval->setText(Editdx->text());
}

void TForm2::PageControl1Change()
{
    if (UpDown1->value() >= 1 && (activeTab() == TabSheetLSF || activeTab() == TabSheetMTF)) {
        ButtonDrawGClick();
        ButtonDrawDClick();
    }
}

// ---------------------------------------------------------------- listings

namespace {
QString fileNameOfMainWindow()
{
    const TForm1* f1 = tarven::windows().form1;
    return f1 && f1->EditFileName ? f1->EditFileName->text() : QString();
}

void showLines(QPlainTextEdit* memo, const std::vector<std::string>& lines)
{
    QStringList out;
    out.reserve(static_cast<qsizetype>(lines.size()));
    for (const auto& l : lines)
        out << QString::fromStdString(l);
    memo->setPlainText(out.join(QLatin1Char('\n')));
}
} // namespace

void TForm2::ButtonMemoLSFClick()
{
    showLines(MemoLSF, lsfListing(fileNameOfMainWindow().toStdString(), lsfData, pixelSize));
}

void TForm2::ButtonToMemoMTFClick()
{
    showLines(MemoMTF, mtfListing(fileNameOfMainWindow().toStdString(), magSpectrum, pixelSize));
}
