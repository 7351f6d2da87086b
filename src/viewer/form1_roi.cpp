// The ROI of the main window: its reader, the frame on Image1, the mouse
// editing, the size menu and the background clearing on double click.
#include "app/form1.h"
#include "common/pixels.h"
#include "platform/convert.h"
#include "platform/imagecontrol.h"
#include "platform/dialogs.h"
#include "viewer/background.h"
#include "viewer/roi.h"
#include "viewer/stats.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>
#include <limits>

using namespace tarven;

PixelAccess TForm1::pixelAccess() const
{
    return PixelAccess(imageData, headerOffset, matrixX, CheckBoxSwp->isChecked());
}

void TForm1::ReadROI()
{
    viewScale = displayScale(toFloat(EditMF), matrixX); // matrixX as it was before this read
    const std::int32_t vx = toInt(EditrawPosX);
    const std::int32_t vy = toInt(EditrawPosY);
    viewCentre = QPoint(vx, vy);
    matrixX = toInt(EditrawSizeX);
    matrixY = toInt(EditrawSizeY);
    const std::int32_t cx = toInt(EditroiPosX);
    const std::int32_t cy = toInt(EditroiPosY);
    const std::int32_t w = toInt(EditroiSizeX);
    const std::int32_t h = toInt(EditroiSizeY);
    const RoiImage r = roiToImage(cx, cy, w, h, viewScale, vx, vy);
    roiImage = {r.left, r.top, r.width, r.height};
    rescaleIntercept = toInt(EditRInterupt);
    rescaleSlope = toFloat(EditRSlope);
}

namespace {
Bitmap24 bitmapOf(QImage& img)
{
    return Bitmap24{img.width(), img.height(), img.bytesPerLine(), img.bits()};
}

int clampToInt(std::int64_t v)
{
    return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min() / 2,
                                                     std::numeric_limits<int>::max() / 2));
}
} // namespace

void TForm1::drawRoiFrame()
{
    QImage& canvas = Image1->canvas();
    if (canvas.isNull())
        return;
    if (canvas.format() != QImage::Format_RGB888)
        canvas = canvas.convertToFormat(QImage::Format_RGB888);
    invertFocusFrame(bitmapOf(canvas), {roiRect.left(), roiRect.top(), roiRect.right(), roiRect.bottom()});
    Image1->update();
}

void TForm1::CheckBoxROIClick()
{
    if (CheckBoxROI->isChecked()) {
        Image1->raise();
        CheckBoxLine->setChecked(false);
        ButtonDisp->click();
        const std::int32_t cx = toInt(EditroiPosX), cy = toInt(EditroiPosY);
        const std::int32_t w = toInt(EditroiSizeX), h = toInt(EditroiSizeY);
        const DisplayRect r = rectFromBoxes(cx, cy, w, h);
        roiRect.setCoords(clampToInt(r.left), clampToInt(r.top), clampToInt(r.right), clampToInt(r.bottom));
        drawRoiFrame();
        EditroiSizeX->setEnabled(false);
        EditroiSizeY->setEnabled(false);
    } else {
        drawRoiFrame(); // inverting again removes it
        EditroiSizeX->setEnabled(true);
        EditroiSizeY->setEnabled(true);
        ButtonDisp->click();
    }
    Label10->raise();
}

void TForm1::setRoiSizeFromMenu(int size)
{
    EditroiSizeX->setText(intText(size));
    EditroiSizeY->setText(intText(size));
}

void TForm1::N321Click() { setRoiSizeFromMenu(32); }
void TForm1::N641Click() { setRoiSizeFromMenu(64); }
void TForm1::N1281Click() { setRoiSizeFromMenu(128); }
void TForm1::N2561Click() { setRoiSizeFromMenu(256); }
void TForm1::N5121Click() { setRoiSizeFromMenu(512); }
void TForm1::N10241Click() { setRoiSizeFromMenu(1024); }
void TForm1::N20481Click() { setRoiSizeFromMenu(2048); }

void TForm1::Image1DblClick()
{
    matrixX = toInt(EditrawSizeX);
    matrixY = toInt(EditrawSizeY);
    headerOffset = toInt(EditHeader);
    BackgroundRequest q;
    q.centreX = toInt(EditroiPosX);
    q.centreY = toInt(EditroiPosY);
    const std::int64_t k = toInt(EditMF);
    q.width = k * (std::int64_t{roiRect.right()} - roiRect.left() + 1);
    q.height = k * (std::int64_t{roiRect.bottom()} - roiRect.top() + 1);
    q.intercept = toInt(EditRInterupt);
    q.header = headerOffset;
    q.matrixX = matrixX;
    q.matrixY = matrixY;
    q.swap = CheckBoxSwp->isChecked();
    const int mode = radioIndex(RadioGroupMode);
    if (mode == 1 || mode == 2) // " 8bit" images are left alone
        clearBackground(imageData, q);
}

void TForm1::ButtonStatClick()
{
    ReadROI();
    headerOffset = toInt(EditHeader);
    const PixelAccess px = pixelAccess();
    const bool hist = RadioButtonHist->isChecked();
    StatsRequest q;
    q.region = requirePixels({roiImage[0], roiImage[1], roiImage[2], roiImage[3]}, matrixX, matrixY, px);
    q.rescale = CheckBoxRes->isChecked();
    q.slope = rescaleSlope;
    q.intercept = rescaleIntercept;
    q.pixelTable = RadioButtonPixel->isChecked();
    q.histogram = hist;
    const RoiStatistics r = roiStatistics(px, q);

    EditHSBP->setText(generalText(r.mean));
    if (hist) {
        std::fill(graphBuffer.values.begin(), graphBuffer.values.end(), 0);
        graphBuffer.last = 0;
    }
    graphBuffer.offset = r.minimum;
    graphBuffer.first = 0;
    if (hist) {
        // A value range wider than the graph buffer: the graph shows the
        // ROI minimum .. minimum + 50000, the clipboard table every value.
        const auto kept = std::min<std::int64_t>(r.last, static_cast<std::int64_t>(graphBuffer.values.size()) - 1);
        std::copy(r.counts.begin(), r.counts.begin() + kept + 1, graphBuffer.values.begin());
        graphBuffer.last = static_cast<std::int32_t>(kept);
        graphBuffer.title = QStringLiteral("histgram");
    }
    EditVSBP->setText(generalText(r.sd));
    setClipboardText(QString::fromStdString(r.text));
}
