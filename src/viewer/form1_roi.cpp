// The ROI of the main window: its reader, the frame on Image1, the mouse
// editing, the size menu and the background clearing on double click.
#include "app/form1.h"
#include "common/pixels.h"
#include "platform/convert.h"
#include "platform/imagecontrol.h"
#include "viewer/roi.h"

#include <QCheckBox>
#include <QLineEdit>

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
