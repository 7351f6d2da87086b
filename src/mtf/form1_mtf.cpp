// "CalMTF" on the main window: the ROI's pixel values into the MTF window.
#include "app/form1.h"

#include "app/startup.h"
#include "common/pixels.h"
#include "mtf/form2.h"
#include "mtf/pixeltable.h"
#include "platform/convert.h"
#include "viewer/roi.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>

void TForm1::ButtonToTableClick()
{
    TForm2* f2 = tarven::windows().form2;
    if (!f2)
        return;
    ReadROI();
    // Everything that can refuse the hand-off is checked before the table
    // changes, so a bad box or an unusable ROI leaves the old table whole.
    (void)tarven::toInt(EditRInterupt);
    headerOffset = tarven::toInt(EditHeader);
    const tarven::PixelAccess pixels = pixelAccess();
    // Only the part of the ROI that lies in the pixel data is tabled (the
    // viewer's rule for every region reader); a ROI with nothing inside is
    // the division error of a zero-sized ROI.
    const tarven::PixelRegion inside = tarven::requirePixels(
        {roiImage[0], roiImage[1], roiImage[2], roiImage[3]}, matrixX, matrixY, pixels);
    const tarven::mtf::RoiBox roi{inside.left, inside.top, inside.width, inside.height};
    tarven::mtf::checkRoiSize(roi.width, roi.height);

    // The 8-bit mode writes headings but no values (see fillTable).
    const bool withData = radioIndex(RadioGroupMode) != 0;
    std::optional<tarven::mtf::Rescale> rescale;
    if (CheckBoxRes->isChecked())
        rescale = tarven::mtf::Rescale{rescaleSlope, rescaleIntercept};
    f2->editTable([&](tarven::mtf::CellTable& t) { fillTable(t, pixels, matrixY, roi, rescale, withData); });

    const QString width = tarven::intText(roi.width);
    f2->EditXMtrx->setText(EditrawSizeX->text());
    f2->EditFOV->setText(fovText);
    f2->Editdnd->setText(width);
    f2->EditLSFgnd->setText(width);
    f2->EditLSFgdx->setText(QStringLiteral("0.5"));
    f2->EditMTFgnd->setText(width);
    f2->EditMTFgdx->setText(QStringLiteral("0.1"));
    f2->resetDirectionAndLineCount();

    f2->show();
    f2->raise();
    f2->activateWindow();
}
