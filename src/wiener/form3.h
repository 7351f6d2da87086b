#pragma once
// The Wiener spectrum window: the parameters of a run, the run over strips
// and segments of the main window's ROI (engine in wiener/spectrum.h), the
// profile and spectrum drawings, the chart and the spectrum tables.
#include "wiener/spectrum.h"

#include <QColor>
#include <QWidget>

#include <cstdint>

class QChartView;
class QCheckBox;
class QFrame;
class QGroupBox;
class QLineEdit;
class QLineSeries;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace tarven {
class ImageControl;
}

class TForm3 : public QWidget {
    Q_OBJECT
public:
    explicit TForm3(QWidget* parent = nullptr);
    ~TForm3() override;

    // ---- working storage and module variables ----
    tarven::WsState ws; // stripData, lineProfile, fftRe/Im, wsSpectrum, fit arrays, specLength, dataLength
    std::int32_t segSizeX = 0;
    std::int32_t segSizeY = 0;
    std::int32_t roiSizeX = 0;
    std::int32_t roiSizeY = 0;
    std::int32_t runCount = 0;
    std::int32_t profileCount = 0;
    std::int32_t drawCount = 0;
    std::int32_t refLength = 0;
    double logHigh = 0;
    double logLow = 0;
    double profileMax = 0;
    double profileMin = 0;

    // ---- controls (objectName = member name) ----
    QLineEdit* EditROIX = nullptr;
    QLineEdit* EditROIY = nullptr;
    QLineEdit* EditFOV = nullptr;
    QLineEdit* EditXMtrx = nullptr;
    QLineEdit* EditSgmntX = nullptr;
    QLineEdit* EditSgmntY = nullptr;
    QLineEdit* EditShftX = nullptr;
    QLineEdit* EditShftY = nullptr;
    QLineEdit* EditNSgmnt = nullptr;
    QLineEdit* EditNSgmnt2 = nullptr;
    QLineEdit* EditC = nullptr;
    QGroupBox* RadioGroupXY = nullptr;
    QCheckBox* CheckBoxTrnd = nullptr;
    QLineEdit* EditN = nullptr;
    QCheckBox* CheckBoxTrnd1 = nullptr;
    QLineEdit* EditN1 = nullptr;
    QPushButton* ButtonLoad = nullptr;
    QPushButton* ButtontoMain = nullptr;
    QPushButton* ButtonCal = nullptr;
    QPushButton* ButtonClr = nullptr;

    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheetProfile = nullptr;
    QWidget* TabSheetWS = nullptr;
    tarven::ImageControl* ImagePrfl = nullptr;
    tarven::ImageControl* ImageWS = nullptr;
    QChartView* Chart1 = nullptr;
    QLineSeries* Series1 = nullptr;
    QFrame* PanelWS = nullptr;
    QPushButton* ButtonResult = nullptr;
    QPushButton* ButtonSmooth = nullptr;
    QPlainTextEdit* MemoWS = nullptr;
    QLineEdit* Editgnd = nullptr;

    // ---- published methods ----
    void LSM(int order, int count); // fitX/fitY[0 .. count-1] -> fitCoef[0 .. order]
    void FFT();                     // fftRe/fftIm[0 .. dataLength-1] in place
    void DrawProfile();
    void DrawWS();
    void graph();

    // ---- handlers ----
    void ButtonLoadClick();
    void RadioGroupXYClick();
    void ButtontoMainClick();
    void ButtonCalClick();
    void ButtonClrClick();
    void ButtonResultClick();
    void ButtonSmoothClick();
    void PageControl1Change();

private:
    void FormCreate();
    void createControls();
    void connectHandlers();
    double tablePixelSize() const; // FOV / matrix of this window's fields
    void writeTable(bool smooth);

    QColor wsPenColour_{Qt::white}; // pen of the spectrum image, kept from run to run
    bool exchanging_ = false;
};
