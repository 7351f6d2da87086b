// RenderView: re-reads the boxes, keeps the view centre inside the image and
// draws the windowed view onto Image1.
#include "app/form1.h"
#include "platform/convert.h"
#include "platform/imagecontrol.h"
#include "viewer/render.h"

#include <QCheckBox>
#include <QLineEdit>


using namespace tarven;

namespace {
Bitmap24 bitmapOf(QImage& img)
{
    return Bitmap24{img.width(), img.height(), img.bytesPerLine(), img.bits()};
}
} // namespace

void TForm1::RenderView()
{
    // Header check: the DICOM reader's " " (no pixel data found) or a header
    // equal to the file size takes the pixels as the last X * Y words.
    const QString headerText = EditHeader->text();
    if (headerText == EditFileSize->text() || headerText == QStringLiteral(" ")) {
        const std::int64_t x = toInt(EditrawSizeX), y = toInt(EditrawSizeY);
        EditHeader->setText(intText(static_cast<std::int64_t>(imageData.size()) - x * y * 2));
    }

    // A fresh white surface: a render stopped by a bad box leaves it white.
    Image1->show();
    Image1->setGeometry(0, 0, displayWidth, displayHeight);
    QImage display(displayWidth, displayHeight, QImage::Format_RGB888);
    display.fill(Qt::white);
    Image1->setCanvas(display);

    const std::int32_t level = toInt(EditULVL2);
    const std::int32_t width = toInt(EditLLVL);
    matrixX = toInt(EditrawSizeX);
    matrixY = toInt(EditrawSizeY);
    viewCentre = QPoint(toInt(EditrawPosX), toInt(EditrawPosY));
    const std::int32_t zoom = toInt(EditMF);

    const ViewGeometry view =
        computeView({matrixX, matrixY, viewCentre.x(), viewCentre.y(), zoom, displayWidth, displayHeight});
    viewScale = static_cast<double>(view.scale);
    viewCentre = QPoint(static_cast<int>(view.centreX), static_cast<int>(view.centreY));
    if (view.percent)
        EditMF2->setText(intText(*view.percent));
    EditrawPosX->setText(intText(view.centreX));
    EditrawPosY->setText(intText(view.centreY));

    rescaleIntercept = toInt(EditRInterupt);
    rescaleSlope = toFloat(EditRSlope);
    headerOffset = toInt(EditHeader);

    GreyTable table;
    buildGreyTable({width, level, CheckBoxInvrt->isChecked()}, CheckBoxSwp->isChecked(), table);
    renderDisplay(view, imageData, headerOffset, matrixX, table, bitmapOf(display));

    // The view bitmap as drawn (for "SaveBMP"): n x m, or w x h when enlarged.
    if (!view.enlarge) {
        viewBitmap = display.copy(QRect(static_cast<int>(view.left), static_cast<int>(view.top),
                                        static_cast<int>(view.cols), static_cast<int>(view.rows)));
    } else {
        viewBitmap = QImage(static_cast<int>(view.cols), static_cast<int>(view.rows), QImage::Format_RGB888);
        if (!viewBitmap.isNull())
            renderViewBitmap(view, imageData, headerOffset, matrixX, table, bitmapOf(viewBitmap));
    }
    Image1->setCanvas(display);
}
