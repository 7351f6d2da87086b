#pragma once
// The MTF window: the ROI's pixel table, the LSF through the table maximum
// with its base and FWHM, the MTF by the direct transform, the summary
// table, the plots and listings, and the table's histogram. The numbers come
// from the engine in mtf/mtf.h and mtf/pixeltable.h; this class converts the
// boxes, calls it and writes the results back.
#include "mtf/mtf.h"
#include "mtf/pixeltable.h"

#include <QTableView>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

class QChartView;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QLineSeries;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class QWindow;

namespace tarven::mtf {
class CellTableModel;

// The pixel table's view: reports mouse presses, moves and releases after
// the view has moved its own selection, as a grid's mouse events do.
class GridView : public QTableView {
    Q_OBJECT
public:
    using QTableView::QTableView;
    // The bounding rectangle of the selection (or the current cell).
    GridRect selectionRect() const;

signals:
    void mousePressed();
    void mouseMoved();
    void mouseReleased();

protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    bool fixedPress_ = false; // the pressed button went down on a heading or outside the cells
};
} // namespace tarven::mtf

class TForm2 : public QWidget {
    Q_OBJECT
public:
    explicit TForm2(QWidget* parent = nullptr);
    ~TForm2() override;

    // ---- module state ----
    double pixelSize = 0; // mm, shared by the MTF computations and listings
    tarven::mtf::GridRect gridSel;
    std::int32_t gridDragging = 0;
    std::int32_t peakCol = 0;
    std::int32_t peakRow = 0;
    // Results of the last computation (as many points as its profile had).
    std::vector<double> lineSum, workProfile, lsfData, specRe, specIm, magSpectrum;
    std::vector<double> plotX, plotY;
    std::int32_t workCount = 0;
    std::int32_t lsfCount = 0;
    std::int32_t dftSize = 0;
    std::int32_t plotCount = 0;

    // ---- the pixel table ----
    const tarven::mtf::CellTable& table() const;
    // Replaces the table as a whole (the hand-off); the view is told once.
    void editTable(const std::function<void(tarven::mtf::CellTable&)>& change);
    void setCell(int c, int r, const QString& text);
    QString cell(int c, int r) const;

    // ---- controls (objectName = member name) ----
    QTabWidget* PageControl1 = nullptr;
    QWidget* PixelValue = nullptr;
    QWidget* TabSheetLSF = nullptr;
    QWidget* TabSheetMTF = nullptr;

    tarven::mtf::GridView* StringGrid1 = nullptr;
    tarven::mtf::CellTableModel* StringGrid1Model = nullptr;
    QLineEdit* EditAve = nullptr;
    QLineEdit* EditSD = nullptr;
    QLineEdit* EditMax = nullptr;
    QLineEdit* EditMin = nullptr;
    QGroupBox* PanelClipBoard = nullptr; // " ToClipBoard"
    QPushButton* ButtonAll = nullptr;
    QCheckBox* CheckBoxSwapRC = nullptr;
    QPushButton* ButtonSelected = nullptr;
    QPushButton* Button1 = nullptr; // "LnSlctd"
    QPushButton* ButtonHist = nullptr;
    QPlainTextEdit* Memo1 = nullptr;

    QChartView* Chart1 = nullptr;
    QLineSeries* Series1 = nullptr;
    QWidget* PaintBoxLSF = nullptr;
    QLineEdit* EditLSFgnd = nullptr;
    QLineEdit* EditLSFgdx = nullptr;
    QPlainTextEdit* MemoLSF = nullptr;
    QPushButton* ButtonMemoLSF = nullptr;

    QChartView* Chart2 = nullptr;
    QLineSeries* Series2 = nullptr;
    QWidget* PaintBoxMTF = nullptr;
    QLineEdit* EditMTFgnd = nullptr;
    QLineEdit* EditMTFgdx = nullptr;
    QPlainTextEdit* MemoMTF = nullptr;
    QPushButton* ButtonToMemoMTF = nullptr;
    QLineEdit* EditMTF = nullptr;

    QLineEdit* EditWork1 = nullptr;
    QLineEdit* EditWork2 = nullptr;
    QLineEdit* EditWork3 = nullptr;
    QLineEdit* EditWork4 = nullptr;
    QLineEdit* EditXMtrx = nullptr;
    QLineEdit* EditFOV = nullptr;
    QLineEdit* Editdx = nullptr;
    QLineEdit* Editdnd = nullptr;
    QPushButton* ButtonDrawG = nullptr;
    QPushButton* ButtonDrawD = nullptr;
    QGroupBox* RadioGroup1 = nullptr;
    QLineEdit* EditYL = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QLineEdit* EditGeta = nullptr;
    QPushButton* ButtonCalMTF = nullptr;
    QPushButton* ButtonForm1 = nullptr;

    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel[3] = {nullptr, nullptr, nullptr};

    // ---- handlers ----
    void FormCreate();
    void FormActivate();
    void StringGrid1MouseDown();
    void StringGrid1MouseMove();
    void StringGrid1MouseUp();
    void ButtonAllClick();
    void ButtonSelectedClick();
    void ButtonForm1Click();
    void ButtonCalMTFClick();
    void UpDown1Click();
    void RadioGroup1Click();
    void EditYLChange();
    void ButtonDrawDClick();
    void ButtonDrawGClick();
    void PageControl1Change();
    void ButtonMemoLSFClick();
    void ButtonToMemoMTFClick();
    void ButtonHistClick();
    void Button1Click();

    // The hand-off's last settings: direction "Pnt_X" and a line count that
    // the up-down raises to 1, without computing: the new table's peak is
    // only known after the window's activation.
    void resetDirectionAndLineCount();

protected:
    void changeEvent(QEvent* e) override;

private:
    void trackFocusWindow(QWindow* focus);
    void createControls();
    void connectHandlers();
    void AreaStats(std::int32_t firstCol, std::int32_t lastCol, std::int32_t firstRow, std::int32_t lastRow);
    void selectAllData();
    void selectGrid(const tarven::mtf::GridRect& r);
    void computeIfCounted(); // step 2 of "CalMTF"
    void CalcX();
    void CalcY();
    void calculate(tarven::mtf::Direction direction);
    void FillSeries();
    void setLineCountText(int position);
    QWidget* activeTab() const;

    bool lineCountUpdating_ = false; // EditYL written by the line-count rule itself
    bool quietSettings_ = false;     // hand-off settings: no computation
    bool activating_ = false;             // FormActivate (with its prompt or message) is running
    bool returningFromOwnDialog_ = false; // the last focus window was a dialog of this window
};
