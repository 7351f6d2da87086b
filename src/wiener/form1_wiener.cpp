// "CalWS" on the main window: the ROI and parameters into the Wiener spectrum window.
#include "app/form1.h"
#include "app/startup.h"
#include "platform/convert.h"
#include "wiener/form3.h"

#include <QLineEdit>

void TForm1::ButtonCalWSClick()
{
    ReadROI();
    TForm3* f3 = tarven::windows().form3;
    if (!f3)
        return;
    const std::int32_t w = roiImage[2], h = roiImage[3];
    f3->EditXMtrx->setText(EditrawSizeX->text());
    // The user's segment and shift edits survive as long as the ROI keeps its
    // size; a ROI of another size gets the recommended values again.
    if (f3->EditROIX->text() != tarven::intText(w) || f3->EditROIY->text() != tarven::intText(h)) {
        f3->EditROIX->setText(tarven::intText(w));
        f3->EditROIY->setText(tarven::intText(h));
        f3->EditSgmntX->setText(tarven::intText(w / 2));
        f3->EditSgmntY->setText(tarven::intText(h / 4));
        f3->EditShftX->setText(tarven::intText(w / 4));
        f3->EditShftY->setText(tarven::intText(h / 8));
    }
    f3->show();
    f3->raise();
}
