#include "mtf/form2.h"

#include "app/form1.h"
#include "app/startup.h"
#include "mtf/celltablemodel.h"
#include "mtf/chartfit.h"
#include "platform/widgets.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/guard.h"

#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QApplication>
#include <QEvent>
#include <QWindow>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>

#include <algorithm>

using tarven::generalText;
using tarven::intText;
using tarven::toFloat;
using tarven::toInt;
using namespace tarven::mtf;

// ---------------------------------------------------------------- grid view

namespace tarven::mtf {

GridRect GridView::selectionRect() const
{
    const QItemSelection sel = selectionModel() ? selectionModel()->selection() : QItemSelection();
    if (sel.isEmpty()) {
        const QModelIndex cur = currentIndex();
        if (!cur.isValid())
            return {};
        return {cur.column(), cur.row(), cur.column(), cur.row()};
    }
    GridRect r{sel.first().left(), sel.first().top(), sel.first().right(), sel.first().bottom()};
    for (const QItemSelectionRange& range : sel) {
        r.left = std::min(r.left, range.left());
        r.top = std::min(r.top, range.top());
        r.right = std::max(r.right, range.right());
        r.bottom = std::max(r.bottom, range.bottom());
    }
    return r;
}

void GridView::mousePressEvent(QMouseEvent* e)
{
    // Row 0 and column 0 are the fixed heading cells: a press on one (or
    // beside the cells) leaves the selection where it was, and the drag that
    // follows selects nothing, so the headings' image coordinates never get
    // into a selection's copy or statistics. The press is still reported.
    const QModelIndex at = indexAt(e->position().toPoint());
    fixedPress_ = !at.isValid() || at.row() == 0 || at.column() == 0;
    if (!fixedPress_)
        QTableView::mousePressEvent(e);
    emit mousePressed();
}

void GridView::mouseMoveEvent(QMouseEvent* e)
{
    if (!fixedPress_ || !(e->buttons() & Qt::LeftButton))
        QTableView::mouseMoveEvent(e);
    emit mouseMoved();
}

void GridView::mouseReleaseEvent(QMouseEvent* e)
{
    if (!fixedPress_)
        QTableView::mouseReleaseEvent(e);
    fixedPress_ = false;
    emit mouseReleased();
}

} // namespace tarven::mtf

// ---------------------------------------------------------------- layout

namespace {

using tarven::ui::captioned;
using tarven::ui::edit;
using tarven::ui::label;
using tarven::ui::make;

QChartView* chartView(QWidget* parent, const char* name, const QString& title, QLineSeries*& series,
                      const char* seriesName)
{
    auto* chart = new QChart;
    chart->setTitle(title);
    series = new QLineSeries(chart);
    series->setObjectName(QString::fromLatin1(seriesName));
    series->setName(title);
    tarven::setUpLineChart(chart, series);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(QString::fromLatin1(name));
    view->setGeometry(2, 2, 526, 330);
    view->setRubberBand(QChartView::RectangleRubberBand);
    return view;
}

} // namespace

TForm2::TForm2(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("MTF"));
    resize(720, 560);
    createControls();
    connectHandlers();
    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::createControls()
{
    PageControl1 = make<QTabWidget>(this, "PageControl1", 0, 0, 540, 534);

    // "PixelValue": the table, its statistics and the clipboard buttons.
    PixelValue = new QWidget;
    PixelValue->setObjectName(QStringLiteral("PixelValue"));
    PageControl1->addTab(PixelValue, QStringLiteral("PixelValue"));
    StringGrid1 = make<GridView>(PixelValue, "StringGrid1", 2, 2, 526, 400);
    StringGrid1Model = new CellTableModel(StringGrid1);
    StringGrid1Model->setObjectName(QStringLiteral("StringGrid1Model"));
    StringGrid1->setModel(StringGrid1Model);
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->horizontalHeader()->setMinimumSectionSize(10);
    StringGrid1->horizontalHeader()->setDefaultSectionSize(40);
    StringGrid1->verticalHeader()->setMinimumSectionSize(10);
    StringGrid1->verticalHeader()->setDefaultSectionSize(14);
    StringGrid1->setSelectionMode(QAbstractItemView::ContiguousSelection);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setWordWrap(false);
    {
        QFont f = StringGrid1->font();
        f.setPixelSize(10);
        StringGrid1->setFont(f);
    }

    label(PixelValue, 4, 412, QStringLiteral("Mean"));
    EditAve = edit(PixelValue, "EditAve", 34, 408, 90, QStringLiteral("Ave"));
    label(PixelValue, 132, 412, QStringLiteral("SD"));
    EditSD = edit(PixelValue, "EditSD", 150, 408, 90, QStringLiteral("SD"));
    label(PixelValue, 248, 412, QStringLiteral("Max"));
    EditMax = edit(PixelValue, "EditMax", 274, 408, 90, QStringLiteral("Max"));
    label(PixelValue, 372, 412, QStringLiteral("Min"));
    EditMin = edit(PixelValue, "EditMin", 396, 408, 90, QStringLiteral("Min"));

    PanelClipBoard = make<QGroupBox>(PixelValue, "PanelClipBoard", 4, 434, 300, 56);
    PanelClipBoard->setTitle(QStringLiteral(" ToClipBoard"));
    ButtonAll = captioned<QPushButton>(PanelClipBoard, "ButtonAll", 8, 22, 56, 26, QStringLiteral("All"));
    CheckBoxSwapRC = make<QCheckBox>(PanelClipBoard, "CheckBoxSwapRC", 68, 26, 20, 20);
    ButtonSelected = captioned<QPushButton>(PanelClipBoard, "ButtonSelected", 92, 22, 66, 26, QStringLiteral("Slctd"));
    Button1 = captioned<QPushButton>(PanelClipBoard, "Button1", 162, 22, 72, 26, QStringLiteral("LnSlctd"));
    ButtonHist = captioned<QPushButton>(PixelValue, "ButtonHist", 312, 456, 64, 26, QStringLiteral("Histg"));
    Memo1 = make<QPlainTextEdit>(PixelValue, "Memo1", 384, 436, 144, 54);
    Memo1->setPlainText(QStringLiteral("Memo1"));

    // "LSF" and "MTF": a chart each, with the point-count and grid settings on it.
    TabSheetLSF = new QWidget;
    TabSheetLSF->setObjectName(QStringLiteral("TabSheetLSF"));
    PageControl1->addTab(TabSheetLSF, QStringLiteral("LSF"));
    PaintBoxLSF = make<QWidget>(TabSheetLSF, "PaintBoxLSF", 2, 2, 526, 330);
    Chart1 = chartView(TabSheetLSF, "Chart1", QStringLiteral("LSF"), Series1, "Series1");
    label(Chart1, 300, 8, QStringLiteral("Data#"));
    EditLSFgnd = edit(Chart1, "EditLSFgnd", 336, 4, 56, QStringLiteral("LSFgnd"));
    EditLSFgnd->setToolTip(QStringLiteral("表示データ点数"));
    label(Chart1, 398, 8, QStringLiteral("PixelSize"));
    EditLSFgdx = edit(Chart1, "EditLSFgdx", 456, 4, 56, QStringLiteral("LSFgdx"));
    EditLSFgdx->setToolTip(QStringLiteral("表示グリッド間隔"));
    MemoLSF = make<QPlainTextEdit>(TabSheetLSF, "MemoLSF", 2, 336, 430, 166);
    MemoLSF->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoLSF->setTabChangesFocus(false);
    MemoLSF->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ButtonMemoLSF = captioned<QPushButton>(TabSheetLSF, "ButtonMemoLSF", 440, 336, 84, 26, QStringLiteral("ToMemo"));

    TabSheetMTF = new QWidget;
    TabSheetMTF->setObjectName(QStringLiteral("TabSheetMTF"));
    PageControl1->addTab(TabSheetMTF, QStringLiteral("MTF"));
    PaintBoxMTF = make<QWidget>(TabSheetMTF, "PaintBoxMTF", 2, 2, 526, 330);
    Chart2 = chartView(TabSheetMTF, "Chart2", QStringLiteral("MTF"), Series2, "Series2");
    label(Chart2, 300, 8, QStringLiteral("Data#"));
    EditMTFgnd = edit(Chart2, "EditMTFgnd", 336, 4, 56, QStringLiteral("MTFgnd"));
    EditMTFgnd->setToolTip(QStringLiteral("表示データ点数"));
    label(Chart2, 398, 8, QStringLiteral("PixelSize"));
    EditMTFgdx = edit(Chart2, "EditMTFgdx", 456, 4, 56, QStringLiteral("MTFgdx"));
    EditMTFgdx->setToolTip(QStringLiteral("表示グリッド間隔"));
    MemoMTF = make<QPlainTextEdit>(TabSheetMTF, "MemoMTF", 2, 336, 430, 166);
    MemoMTF->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoMTF->setTabChangesFocus(false);
    MemoMTF->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    MemoMTF->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    ButtonToMemoMTF = captioned<QPushButton>(TabSheetMTF, "ButtonToMemoMTF", 440, 336, 84, 26, QStringLiteral("ToMemo"));
    EditMTF = edit(TabSheetMTF, "EditMTF", 440, 370, 84, QStringLiteral("0"));
    PageControl1->setCurrentWidget(PixelValue);

    // Beside the tabs: work fields, settings and the computation.
    EditWork1 = edit(this, "EditWork1", 548, 24, 70, QStringLiteral("Work1"));
    EditWork2 = edit(this, "EditWork2", 624, 24, 70, QStringLiteral("Work2"));
    EditWork3 = edit(this, "EditWork3", 548, 48, 70, QStringLiteral("Work3"));
    EditWork4 = edit(this, "EditWork4", 548, 72, 146, QStringLiteral("Work4"));
    label(this, 548, 104, QStringLiteral("X-Matix"));
    EditXMtrx = edit(this, "EditXMtrx", 620, 100, 74, QStringLiteral("XMtrix"));
    label(this, 548, 128, QStringLiteral("mmFOV"));
    EditFOV = edit(this, "EditFOV", 620, 124, 74, QStringLiteral("FOV"));
    label(this, 548, 152, QStringLiteral("PixelSize"));
    Editdx = edit(this, "Editdx", 620, 148, 74, QString());
    label(this, 548, 176, QStringLiteral("Disp#"));
    Editdnd = edit(this, "Editdnd", 620, 172, 74, QString());
    ButtonDrawG = captioned<QPushButton>(this, "ButtonDrawG", 548, 198, 70, 26, QStringLiteral("DrawG"));
    ButtonDrawD = captioned<QPushButton>(this, "ButtonDrawD", 624, 198, 70, 26, QStringLiteral("DrawD"));
    RadioGroup1 = make<QGroupBox>(this, "RadioGroup1", 548, 230, 146, 62);
    RadioGroup1->setTitle(QStringLiteral("Direction"));
    captioned<QRadioButton>(RadioGroup1, "RadioGroup1Item0", 8, 18, 120, 20, QStringLiteral("Pnt_X"))->setChecked(true);
    captioned<QRadioButton>(RadioGroup1, "RadioGroup1Item1", 8, 38, 120, 20, QStringLiteral("Pnt_Y "));
    label(this, 548, 302, QStringLiteral("Line#"));
    EditYL = edit(this, "EditYL", 596, 298, 56, QStringLiteral("1"));
    UpDown1 = make<QSpinBox>(this, "UpDown1", 654, 296, 40, 24);
    UpDown1->setRange(1, 100);
    UpDown1->setWrapping(false);
    UpDown1->setValue(1);
    UpDown1->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    label(this, 548, 328, QStringLiteral("Base"));
    EditGeta = edit(this, "EditGeta", 596, 324, 56, QStringLiteral("1"));
    ButtonCalMTF = captioned<QPushButton>(this, "ButtonCalMTF", 548, 354, 146, 30, QStringLiteral("CalMTF"));
    ButtonForm1 = captioned<QPushButton>(this, "ButtonForm1", 548, 500, 146, 28, QStringLiteral("ToForm1"));

    StatusBar1 = make<QStatusBar>(this, "StatusBar1", 0, 536, 720, 24);
    StatusBar1->setSizeGripEnabled(false);
    const int widths[3] = {100, 100, 50};
    for (int i = 0; i < 3; ++i) {
        StatusPanel[i] = new QLabel(StatusBar1);
        StatusPanel[i]->setObjectName(QStringLiteral("StatusBar1Panel%1").arg(i));
        StatusPanel[i]->setFixedWidth(widths[i]);
        StatusBar1->addWidget(StatusPanel[i]);
    }
}

void TForm2::connectHandlers()
{
    using tarven::connectGuarded;
    connect(StringGrid1, &GridView::mousePressed, this, [this] { tarven::guarded(this, [this] { StringGrid1MouseDown(); }); });
    connect(StringGrid1, &GridView::mouseMoved, this, [this] { tarven::guarded(this, [this] { StringGrid1MouseMove(); }); });
    connect(StringGrid1, &GridView::mouseReleased, this, [this] { tarven::guarded(this, [this] { StringGrid1MouseUp(); }); });
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &TForm2::trackFocusWindow);
    connectGuarded(ButtonAll, &QPushButton::clicked, this, [this] { ButtonAllClick(); });
    connectGuarded(ButtonSelected, &QPushButton::clicked, this, [this] { ButtonSelectedClick(); });
    connectGuarded(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connectGuarded(ButtonHist, &QPushButton::clicked, this, [this] { ButtonHistClick(); });
    connectGuarded(ButtonForm1, &QPushButton::clicked, this, [this] { ButtonForm1Click(); });
    connectGuarded(ButtonCalMTF, &QPushButton::clicked, this, [this] { ButtonCalMTFClick(); });
    connectGuarded(ButtonDrawD, &QPushButton::clicked, this, [this] { ButtonDrawDClick(); });
    connectGuarded(ButtonDrawG, &QPushButton::clicked, this, [this] { ButtonDrawGClick(); });
    connectGuarded(ButtonMemoLSF, &QPushButton::clicked, this, [this] { ButtonMemoLSFClick(); });
    connectGuarded(ButtonToMemoMTF, &QPushButton::clicked, this, [this] { ButtonToMemoMTFClick(); });
    connectGuarded(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
    // Programmatic position changes block the spin box's signals, so this
    // runs for the user's clicks (and a test's stepUp) only.
    connectGuarded(UpDown1, &QSpinBox::valueChanged, this, [this] { UpDown1Click(); });
    connectGuarded(EditYL, &QLineEdit::textChanged, this, [this] { EditYLChange(); });
    // A choice in the group toggles two buttons; only the one turned on computes.
    for (QRadioButton* b : RadioGroup1->findChildren<QRadioButton*>())
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on && !quietSettings_)
                tarven::guarded(this, [this] { RadioGroup1Click(); });
        });
}

// ---------------------------------------------------------------- table access

const CellTable& TForm2::table() const { return StringGrid1Model->table(); }

void TForm2::editTable(const std::function<void(CellTable&)>& change) { StringGrid1Model->edit(change); }

void TForm2::setCell(int c, int r, const QString& text) { StringGrid1Model->setCell(c, r, text); }

QString TForm2::cell(int c, int r) const
{
    const auto t = table().cell(c, r);
    return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
}

// ---------------------------------------------------------------- creation and activation

void TForm2::FormCreate()
{
    const TForm1* f1 = tarven::windows().form1;
    Editdx->setText(generalText(f1 ? f1->pixelSpacing : 0.0));
}

void TForm2::changeEvent(QEvent* e)
{
    QWidget::changeEvent(e);
    if (e->type() != QEvent::ActivationChange || !isActiveWindow())
        return;
    // Coming back from a dialog of this window (the field-of-view prompt, an
    // error's message box) is not a new activation: otherwise the prompt
    // would call itself up again without end.
    if (activating_ || returningFromOwnDialog_)
        return;
    FormActivate();
}

void TForm2::trackFocusWindow(QWindow* focus)
{
    // The window activation arrives before the focus-window signal, so at a
    // reactivation this still tells where the focus was. A focus lost to no
    // window of ours (a dialog closing) changes nothing.
    if (!focus)
        return;
    bool ownDialog = false;
    for (QWindow* w = focus->transientParent(); w; w = w->transientParent())
        if (w == windowHandle())
            ownDialog = true;
    returningFromOwnDialog_ = ownDialog;
}

void TForm2::FormActivate()
{
    if (activating_)
        return;
    activating_ = true;
    tarven::guarded(this, [this] {
        const CellPos peak = findPeak(table());
        peakCol = peak.col;
        peakRow = peak.row;
        EditFOV->setText(tarven::inputBox(this, QString(), QStringLiteral("FOV(mm)"), EditFOV->text()));
        (void)toFloat(EditFOV);
        (void)toInt(EditXMtrx);
        const TForm1* f1 = tarven::windows().form1;
        Editdx->setText(generalText(f1 ? f1->pixelSpacing : 0.0));
    });
    activating_ = false;
}

// ---------------------------------------------------------------- selection

void TForm2::StringGrid1MouseDown()
{
    gridSel = StringGrid1->selectionRect();
    gridDragging = 1;
}

void TForm2::StringGrid1MouseMove()
{
    if (gridDragging <= 0)
        return;
    const GridRect s = StringGrid1->selectionRect();
    gridSel.right = s.right;
    gridSel.bottom = s.bottom;
    StatusPanel[0]->setText(intText(gridSel.right) + QStringLiteral("  ") + intText(gridSel.bottom));
}

void TForm2::StringGrid1MouseUp()
{
    const GridRect s = StringGrid1->selectionRect();
    gridSel.right = s.right;
    gridSel.bottom = s.bottom;
    StatusPanel[0]->setText(intText(gridSel.right) + QStringLiteral("  ") + intText(gridSel.bottom));
    gridDragging = 0;
}

void TForm2::selectGrid(const GridRect& r)
{
    auto* m = StringGrid1Model;
    const QModelIndex tl = m->index(r.top, r.left);
    const QModelIndex br = m->index(r.bottom, r.right);
    if (tl.isValid() && br.isValid())
        StringGrid1->selectionModel()->select(QItemSelection(tl, br), QItemSelectionModel::ClearAndSelect);
    else
        StringGrid1->selectionModel()->clearSelection();
}

void TForm2::selectAllData()
{
    gridSel = {1, 1, table().columns() - 1, table().rows() - 1};
    selectGrid(gridSel);
}

// ---------------------------------------------------------------- clipboard and statistics

void TForm2::ButtonAllClick()
{
    selectAllData();
    tarven::setClipboardText(QString::fromStdString(allText(table(), CheckBoxSwapRC->isChecked())));
    AreaStats(1, table().columns() - 1, 1, table().rows() - 1);
}

void TForm2::ButtonSelectedClick()
{
    StatusPanel[1]->setText(intText(gridSel.right) + QStringLiteral("  ") + intText(gridSel.bottom));
    tarven::setClipboardText(QString::fromStdString(rectText(table(), gridSel)));
    AreaStats(gridSel.left, gridSel.right, gridSel.top, gridSel.bottom);
}

void TForm2::AreaStats(std::int32_t firstCol, std::int32_t lastCol, std::int32_t firstRow, std::int32_t lastRow)
{
    const AreaStatistics s = areaStats(table(), {firstCol, firstRow, lastCol, lastRow});
    EditAve->setText(generalText(s.mean));
    EditSD->setText(generalText(s.sd));
    EditMax->setText(generalText(s.max));
    EditMin->setText(generalText(s.min));
    EditWork1->setText(intText(s.peak.row));
    EditWork2->setText(intText(s.peak.col));
    peakCol = s.peak.col;
    peakRow = s.peak.row;
}

void TForm2::ButtonHistClick()
{
    selectAllData();
    const QString answer = tarven::inputBox(this, QStringLiteral("Inpt GrayScale"), QStringLiteral("bit"), QStringLiteral("10"));
    if (answer.isEmpty())
        return;
    const double bits = toFloat(answer);
    tarven::setClipboardText(QString::fromStdString(histogramText(table(), bits)));
}

void TForm2::Button1Click()
{
    StatusPanel[1]->setText(intText(gridSel.right) + QStringLiteral("  ") + intText(gridSel.bottom));
    tarven::setClipboardText(QString::fromStdString(columnText(table(), gridSel)));
}

void TForm2::ButtonForm1Click()
{
    if (TForm1* f1 = tarven::windows().form1) {
        f1->show();
        f1->raise();
        f1->activateWindow();
    }
}
