#include "wiener/form3.h"

#include "app/form1.h"
#include "app/startup.h"
#include "common/errors.h"
#include "common/numeric.h"
#include "mtf/form2.h"
#include "platform/widgets.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/imagecontrol.h"
#include "platform/memo.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QValueAxis>

#include <algorithm>

using namespace tarven;

namespace {

using tarven::ui::captioned;
using tarven::ui::edit;
using tarven::ui::label;
using tarven::ui::make;

// The colour sequence of both images, run after run until "Clear".
const QColor kColours[6] = {
    QColor(255, 255, 255), QColor(255, 0, 0),   QColor(0, 0, 255),
    QColor(255, 255, 0),   QColor(0, 128, 0), QColor(255, 0, 255),
};

QImage blackCanvas(int w, int h)
{
    QImage img(w, h, QImage::Format_RGB888);
    img.fill(Qt::black);
    return img;
}

void drawPolyline(ImageControl* image, const WsPolyline& line, const QColor& colour, int width)
{
    if (line.empty())
        return;
    QPolygon poly;
    poly.reserve(static_cast<int>(line.size()));
    for (const auto& [x, y] : line)
        poly << QPoint(x, y);
    {
        QPainter p(&image->canvas());
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setPen(QPen(colour, width));
        p.drawPolyline(poly);
    }
    image->update();
}

} // namespace

TForm3::TForm3(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form3"));
    setWindowTitle(QStringLiteral("Wiener Spectral"));
    createControls();
    connectHandlers();
    FormCreate();
}

TForm3::~TForm3() = default;

void TForm3::createControls()
{
    setFixedSize(930, 612);

    label(this, 8, 10, QStringLiteral("ROISize"));
    EditROIX = edit(this, "EditROIX", 80, 8, 56);
    EditROIY = edit(this, "EditROIY", 144, 8, 56);
    label(this, 88, 30, QStringLiteral("≦1024"));
    label(this, 152, 30, QStringLiteral("≦1024"));
    label(this, 8, 54, QStringLiteral("mmFOV(x)"));
    EditFOV = edit(this, "EditFOV", 80, 52, 56);
    label(this, 8, 78, QStringLiteral("XMtrx"));
    EditXMtrx = edit(this, "EditXMtrx", 80, 76, 56);
    label(this, 8, 104, QStringLiteral("SegmentSize"));
    EditSgmntX = edit(this, "EditSgmntX", 80, 102, 56);
    EditSgmntY = edit(this, "EditSgmntY", 144, 102, 56);
    label(this, 8, 128, QStringLiteral("Shift"));
    EditShftX = edit(this, "EditShftX", 80, 126, 56);
    EditShftY = edit(this, "EditShftY", 144, 126, 56);
    label(this, 8, 152, QStringLiteral("SegmentNo."));
    EditNSgmnt = edit(this, "EditNSgmnt", 80, 150, 56);
    label(this, 144, 152, QStringLiteral("Max"));
    EditNSgmnt2 = edit(this, "EditNSgmnt2", 170, 150, 42);
    label(this, 8, 176, QStringLiteral("Data Amplify"));
    EditC = edit(this, "EditC", 80, 174, 56);

    RadioGroupXY = make<QGroupBox>(this, "RadioGroupXY", 8, 200, 120, 44);
    RadioGroupXY->setTitle(QStringLiteral("X/Y"));
    auto* itemX = new QRadioButton(QStringLiteral("X"), RadioGroupXY);
    itemX->setGeometry(8, 18, 50, 20);
    auto* itemY = new QRadioButton(QStringLiteral("Y"), RadioGroupXY);
    itemY->setGeometry(62, 18, 50, 20);
    itemX->setChecked(true);

    CheckBoxTrnd = captioned<QCheckBox>(this, "CheckBoxTrnd", 8, 252, 64, 20, QStringLiteral("Trnd"));
    EditN = edit(this, "EditN", 80, 252, 40);
    EditN->setText(QStringLiteral("1"));
    CheckBoxTrnd1 = captioned<QCheckBox>(this, "CheckBoxTrnd1", 8, 278, 64, 20, QStringLiteral("Trnd1"));
    EditN1 = edit(this, "EditN1", 80, 278, 40);
    EditN1->setText(QStringLiteral("1"));

    ButtonLoad = captioned<QPushButton>(this, "ButtonLoad", 8, 308, 204, 28, QStringLiteral("Recommend Load"));
    ButtonCal = captioned<QPushButton>(this, "ButtonCal", 8, 342, 98, 28, QStringLiteral("Cal"));
    ButtonClr = captioned<QPushButton>(this, "ButtonClr", 114, 342, 98, 28, QStringLiteral("Clear"));
    ButtontoMain = captioned<QPushButton>(this, "ButtontoMain", 8, 376, 204, 28, QStringLiteral("toMain"));

    PageControl1 = make<QTabWidget>(this, "PageControl1", 222, 4, 704, 604);
    TabSheetProfile = new QWidget;
    TabSheetProfile->setObjectName(QStringLiteral("TabSheetProfile"));
    TabSheetWS = new QWidget;
    TabSheetWS->setObjectName(QStringLiteral("TabSheetWS"));
    PageControl1->addTab(TabSheetProfile, QStringLiteral("Profile"));
    PageControl1->addTab(TabSheetWS, QStringLiteral("WS"));

    ImagePrfl = make<ImageControl>(TabSheetProfile, "ImagePrfl", 4, 4, 512, 400);
    ImagePrfl->setCanvas(blackCanvas(512, 400));

    ImageWS = make<ImageControl>(TabSheetWS, "ImageWS", 4, 4, 512, 256);
    ImageWS->setCanvas(blackCanvas(512, 256));

    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Wiener Spectral"));
    chart->legend()->hide();
    Series1 = new QLineSeries(chart);
    Series1->setObjectName(QStringLiteral("Series1"));
    Series1->setPen(QPen(QColor(255, 0, 0), 1));
    chart->addSeries(Series1);
    auto* axisX = new QValueAxis;
    axisX->setObjectName(QStringLiteral("Chart1BottomAxis"));
    auto* axisY = new QLogValueAxis;
    axisY->setObjectName(QStringLiteral("Chart1LeftAxis"));
    axisY->setBase(10.0);
    axisY->setLabelFormat(QStringLiteral("%g"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    Series1->attachAxis(axisX);
    Series1->attachAxis(axisY);
    Chart1 = new QChartView(chart, TabSheetWS);
    Chart1->setObjectName(QStringLiteral("Chart1"));
    Chart1->setGeometry(4, 264, 512, 306);
    Chart1->setRubberBand(QChartView::RectangleRubberBand); // mouse zoom

    PanelWS = make<QFrame>(TabSheetWS, "PanelWS", 522, 4, 172, 566);
    PanelWS->setFrameShape(QFrame::Panel);
    PanelWS->setFrameShadow(QFrame::Raised);
    ButtonResult = captioned<QPushButton>(PanelWS, "ButtonResult", 4, 4, 80, 26, QStringLiteral("Result"));
    ButtonSmooth = captioned<QPushButton>(PanelWS, "ButtonSmooth", 88, 4, 80, 26, QStringLiteral("Smooth"));
    Editgnd = edit(PanelWS, "Editgnd", 4, 36, 60);
    Editgnd->setText(QStringLiteral("0"));
    MemoWS = make<QPlainTextEdit>(PanelWS, "MemoWS", 4, 62, 164, 500);
    MemoWS->setLineWrapMode(QPlainTextEdit::NoWrap);

    PageControl1->setCurrentWidget(TabSheetWS);
}

void TForm3::connectHandlers()
{
    connectGuarded(ButtonLoad, &QPushButton::clicked, this, [this] { ButtonLoadClick(); });
    connectGuarded(ButtontoMain, &QPushButton::clicked, this, [this] { ButtontoMainClick(); });
    connectGuarded(ButtonCal, &QPushButton::clicked, this, [this] { ButtonCalClick(); });
    connectGuarded(ButtonClr, &QPushButton::clicked, this, [this] { ButtonClrClick(); });
    connectGuarded(ButtonResult, &QPushButton::clicked, this, [this] { ButtonResultClick(); });
    connectGuarded(ButtonSmooth, &QPushButton::clicked, this, [this] { ButtonSmoothClick(); });
    // A change of the selected item, by the user or the program, runs the
    // click once: only the item that becomes checked reports it.
    for (auto* item : RadioGroupXY->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly))
        connect(item, &QRadioButton::toggled, this, [this](bool checked) {
            if (checked)
                guarded(this, [this] { RadioGroupXYClick(); });
        });
    connectGuarded(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
}

void TForm3::FormCreate()
{
    runCount = 0;
    EditC->setText(QStringLiteral("1.0"));
    EditNSgmnt2->setText(QStringLiteral("1000"));
    if (EditFOV->text().isEmpty())
        EditFOV->setText(QStringLiteral("320"));
    if (EditROIX->text().isEmpty())
        ButtonLoad->click();
    const TForm1* f1 = windows().form1;
    EditXMtrx->setText(intText(f1 ? f1->roiImage[2] : 0));
}

// ---------------------------------------------------------------- parameters

void TForm3::ButtonLoadClick()
{
    const TForm1* f1 = windows().form1;
    const std::int32_t w = f1 ? f1->roiImage[2] : 0;
    const std::int32_t h = f1 ? f1->roiImage[3] : 0;
    EditROIX->setText(intText(w));
    EditROIY->setText(intText(h));
    EditSgmntX->setText(intText(w / 2));
    EditSgmntY->setText(QStringLiteral("16"));
    EditShftX->setText(intText(w / 8));
    EditShftY->setText(intText(h / 2));
    Editgnd->setText(EditSgmntX->text());
    runCount = 0;
    ButtonClr->click();
}

void TForm3::RadioGroupXYClick()
{
    if (exchanging_)
        return;
    exchanging_ = true;
    const QString sx = EditSgmntX->text(), shx = EditShftX->text();
    EditSgmntX->setText(EditSgmntY->text());
    EditSgmntY->setText(sx);
    EditShftX->setText(EditShftY->text());
    EditShftY->setText(shx);
    exchanging_ = false;
}

void TForm3::ButtontoMainClick()
{
    hide();
    if (auto* f1 = windows().form1)
        f1->show();
}

// ---------------------------------------------------------------- the run

void TForm3::LSM(int order, int count) { wsLsm(order, count, ws.fitX, ws.fitY, ws.fitCoef); }

void TForm3::FFT() { wsFft(ws.fftRe, ws.fftIm, ws.dataLength); }

void TForm3::ButtonCalClick()
{
    TForm1* f1 = windows().form1;
    if (!f1)
        return;

    const std::int32_t matrix = toInt(EditXMtrx);
    (void)toFloat(EditC); // must be a number; the pixel values are always used with the factor 1.0
    const std::int32_t intercept = f1->EditRInterupt->text().isEmpty() ? 0 : toInt(f1->EditRInterupt);
    segSizeX = toInt(EditSgmntX);
    segSizeY = toInt(EditSgmntY);
    roiSizeX = toInt(EditROIX);
    roiSizeY = toInt(EditROIY);
    const std::int32_t shiftX = toInt(EditShftX);
    const std::int32_t shiftY = toInt(EditShftY);
    double delta = toFloat(f1->EditPixelSpacing);

    WsParams p;
    p.directionY = TForm1::radioIndex(RadioGroupXY) == 1;
    p.length = p.directionY ? roiSizeY : roiSizeX;
    p.extent = p.directionY ? roiSizeX : roiSizeY;
    p.segment = p.directionY ? segSizeY : segSizeX;
    p.lines = p.directionY ? segSizeX : segSizeY;
    p.stepAlong = p.directionY ? shiftY : shiftX;
    p.stepAcross = p.directionY ? shiftX : shiftY;
    // The orders cannot change while the run holds the event loop, so each is
    // read once here rather than once per line; that lets a bad order be
    // refused before anything is computed.
    p.trend = CheckBoxTrnd->isChecked();
    if (p.trend)
        p.trendOrder = toInt(EditN);
    p.trendAverage = CheckBoxTrnd1->isChecked();
    if (p.trendAverage)
        p.trendAverageOrder = toInt(EditN1);
    // Parameters that cannot work are refused before the FOV is asked for.
    if (auto why = wsCheckParams(p); !why.empty())
        throw Error(why);

    if (delta == 0) {
        if (runCount == 0) {
            QString answer;
            if (inputQuery(this, QStringLiteral("FOVサイズの確認"), QStringLiteral("FOVサイズ(mm)．．．？"), answer)) {
                EditFOV->setText(answer);
                delta = floatDiv(toFloat(answer), matrix);
            }
        } else {
            // Later runs take the pixel size from the FOV confirmed by the
            // first one (still in this window's field) instead of computing
            // a spectrum of zeros that cannot be drawn.
            delta = floatDiv(toFloat(EditFOV), matrix);
        }
    }
    p.delta = delta;
    p.maxSegments = toInt(EditNSgmnt2);

    try {
        f1->headerOffset = toInt(f1->EditHeader);
    } catch (const ConvertError&) {
        showMessage(this, f1->EditHeader->text());
        f1->headerOffset = 0;
    }

    WsSource src;
    src.bytes = f1->imageData;
    src.header = f1->headerOffset;
    src.columns = f1->matrixX;
    src.left = f1->roiImage[0];
    src.top = f1->roiImage[1];
    src.width = roiSizeX;
    src.height = roiSizeY;
    src.swap = f1->CheckBoxSwp->isChecked();
    src.intercept = intercept;
    if (auto why = wsCheckSource(src); !why.empty())
        throw Error(why);

    Editgnd->setText(intText(segSizeX / 2));
    WsHooks hooks;
    hooks.stripStarted = [this](int n) { Editgnd->setText(intText(n / 2)); };
    hooks.drawProfile = [this] {
        DrawProfile();
        ++profileCount;
    };
    const int segCount = wsRun(ws, p, src, hooks);
    EditNSgmnt->setText(intText(segCount));
    DrawWS();
    graph();
    ++runCount;
}

// ---------------------------------------------------------------- output

void TForm3::DrawProfile()
{
    const int n = ws.dataLength;
    const int H = ImagePrfl->canvas().height(), Wd = ImagePrfl->canvas().width();
    if (profileCount == 0 && n > 0) {
        const auto [lo, hi] = std::minmax_element(ws.fftRe.begin(), ws.fftRe.begin() + n);
        const double r = *hi - *lo;
        // A flat profile (a uniform ROI) has no range to fill the middle half
        // with; it is drawn across the middle on a unit scale instead of
        // stopping the run before its spectrum.
        const double half = r > 0 ? r / 2 : 0.5;
        profileMax = *hi + half;
        profileMin = *lo - half;
    }
    const auto line = wsProfilePolyline(ws.fftRe, n, Wd, H, profileMin, profileMax);
    drawPolyline(ImagePrfl, line, kColours[profileCount % 6], profileCount / 6 + 1);
}

void TForm3::DrawWS()
{
    const int H = ImageWS->canvas().height(), Wd = ImageWS->canvas().width();
    const std::int32_t gnd = toInt(Editgnd);
    drawCount = gnd;
    const int nDraw = std::min(gnd, ws.specLength);
    const auto logs = wsLogSpectrum(ws.wsSpectrum, nDraw);
    if (runCount == 0) {
        refLength = ws.specLength;
        ImageWS->canvas().fill(Qt::black);
        ImageWS->update();
        drawCount = nDraw;
        if (!logs.empty())
            logHigh = *std::max_element(logs.begin(), logs.end());
    }
    if (PageControl1->currentWidget() != TabSheetWS)
        return; // the scale of a first run stays for the runs after it
    if (runCount >= 0 && runCount <= 5)
        wsPenColour_ = kColours[runCount];
    logLow = 0;
    // Every run is placed on its own frequency (index k of N at 2k/N of the
    // width, Nyquist at the right edge), so overlays of another segment
    // length line up in cycles per pixel with the first run.
    const auto line = wsSpectrumPolyline(logs, ws.specLength, Wd, H, logLow, logHigh);
    drawPolyline(ImageWS, line, wsPenColour_, 2);
}

double TForm3::tablePixelSize() const
{
    const double fov = toFloat(EditFOV);
    return floatDiv(fov, toInt(EditXMtrx));
}

void TForm3::graph()
{
    const double p = tablePixelSize();
    Series1->clear();
    const auto points = wsChartPoints(ws.wsSpectrum, ws.specLength, p);
    QList<QPointF> pts;
    pts.reserve(static_cast<qsizetype>(points.size()));
    double xMax = 0, yMin = 0, yMax = 0;
    for (const auto& [x, y] : points) {
        pts << QPointF(x, y);
        xMax = std::max(xMax, x);
        if (y > 0) {
            yMin = yMin > 0 ? std::min(yMin, y) : y;
            yMax = std::max(yMax, y);
        }
    }
    Series1->replace(pts);
    const auto horizontal = Series1->attachedAxes();
    for (auto* axis : horizontal) {
        if (axis->orientation() == Qt::Horizontal && xMax > 0)
            axis->setRange(0.0, xMax);
        else if (axis->orientation() == Qt::Vertical && yMax > 0)
            axis->setRange(yMin, yMax > yMin ? yMax : yMin * 10);
    }
}

void TForm3::writeTable(bool smooth)
{
    const TForm1* f1 = windows().form1;
    memoClear(MemoWS);
    const QString header = QString::fromStdString(wsTableHeader(f1 ? f1->EditFileName->text().toStdString() : ""));
    memoSetLine(MemoWS, 0, header);
    const double p = tablePixelSize();
    if (auto* f2 = windows().form2)
        f2->pixelSize = p;
    const std::string rows = smooth ? wsSmoothRows(ws.wsSpectrum, ws.specLength, p)
                                    : wsResultRows(ws.wsSpectrum, ws.specLength, p);
    memoSetLine(MemoWS, 0, header + QStringLiteral("\r\n") + QString::fromStdString(rows));
}

void TForm3::ButtonResultClick() { writeTable(false); }

void TForm3::ButtonSmoothClick() { writeTable(true); }

void TForm3::ButtonClrClick()
{
    ImageWS->canvas().fill(Qt::black);
    ImageWS->update();
    ImagePrfl->canvas().fill(Qt::black);
    ImagePrfl->update();
    runCount = 0;
    profileCount = 0;
}

void TForm3::PageControl1Change()
{
    // Switching pages redraws nothing: the images keep their bitmaps.
}
