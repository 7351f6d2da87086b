// "SaveROI", "Save", "SaveBMP" and "LoadBMP".
#include "app/form1.h"
#include "common/errors.h"
#include "common/numeric.h"
#include "io/rawsave.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/imagecontrol.h"
#include "viewer/roi.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPainter>

using namespace tarven;

namespace {
std::string localName(const QString& path) { return QFile::encodeName(path).toStdString(); }

[[noreturn]] void cannotCreate(const QString& path)
{
    throw FileError(formatMessage("ファイル %s を作成できません", path.toStdString()));
}
} // namespace

void TForm1::ButtonSave512Click()
{
    const double s = floatDiv(100, toInt(EditMF2)); // image pixels per display pixel
    const std::int32_t cx = toInt(EditroiPosX);
    const std::int32_t cy = toInt(EditroiPosY);
    const std::int64_t w = std::int64_t{roiRect.right()} - roiRect.left() + 1;
    const std::int64_t h = std::int64_t{roiRect.bottom()} - roiRect.top() + 1;
    headerOffset = toInt(EditHeader);
    viewCentre.setX(toInt(EditrawPosX));
    viewCentre.setY(toInt(EditrawPosY));
    const SaveRoiGeometry g = saveRoiGeometry(s, cx, cy, w, h, viewCentre.x(), viewCentre.y(), matrixX, matrixY);

    // A ROI reaching beyond the image is cut at its border (never continued
    // into the next row); one with nothing inside is the zero-sized ROI.
    const PixelAccess px = pixelAccess();
    const PixelRegion wanted{g.x0, g.y0, g.cols, g.rows};
    const PixelRegion region = requirePixels(wanted, matrixX, matrixY, px);
    std::vector<std::uint8_t> saveData = regionWords(px, region);

    EditHSBP->setText(intText(w));
    // The proposed name tells the matrix of the file; a cut ROI is named by
    // what is written.
    const QString name = region == wanted
                             ? generalText(g.width) + QLatin1Char(' ') + generalText(g.height)
                             : intText(region.width) + QLatin1Char(' ') + intText(region.height);
    const QString chosen = runFileDialog(SaveDialogImg, name);
    if (chosen.isEmpty())
        return;
    filePath = chosen;
    writeWholeFile(localName(chosen), saveData);
}

void TForm1::BitBtnSaveClick()
{
    // The pixel matrix as stored (no byte exchange), without the header, so
    // that the file loads again as the same image.
    headerOffset = toInt(EditHeader);
    const PixelAccess px(imageData, headerOffset, matrixX, false);
    const PixelRegion region = clipToPixelData({0, 0, matrixX, matrixY}, matrixX, matrixY, px);
    if (region.empty())
        throw FileError("保存する画素データがありません");
    const QString name = intText(region.width) + QLatin1Char(' ') + intText(region.height);
    const QString chosen = runFileDialog(SaveDialogImg, name);
    if (chosen.isEmpty())
        return;
    filePath = chosen;
    EditPathFileName->setText(chosen);
    std::vector<std::uint8_t> saveData = regionWords(px, region);
    writeWholeFile(localName(chosen), saveData);
}

void TForm1::ButtonSaveBMPClick()
{
    // The open dialog picks the name; a new file must be allowed for once.
    const auto mode = OpenDialogImg->fileMode();
    OpenDialogImg->setFileMode(QFileDialog::AnyFile);
    const QString chosen = runFileDialog(OpenDialogImg);
    OpenDialogImg->setFileMode(mode);
    if (chosen.isEmpty())
        return;
    if (viewBitmap.isNull() || !viewBitmap.save(chosen, "BMP"))
        cannotCreate(chosen);
}

void TForm1::ButtonLoadBMPClick()
{
    const QString chosen = runFileDialog(OpenDialogImg);
    if (chosen.isEmpty())
        return;
    const QFileInfo info(chosen);
    if (!info.isFile() || !info.isReadable())
        throwCannotOpen(chosen.toStdString());
    QImage img;
    if (!img.load(chosen, "BMP"))
        throw FileError("ビットマップ イメージが不正です");
    viewBitmap = img;
    // Drawn unscaled at the top-left corner of the display, over what was
    // there; the next rendering replaces it.
    QImage& canvas = Image1->canvas();
    if (canvas.isNull()) {
        canvas = QImage(displayWidth, displayHeight, QImage::Format_RGB888);
        canvas.fill(Qt::white);
    }
    QPainter p(&canvas);
    p.drawImage(0, 0, img);
    p.end();
    Image0->hide();
    Image1->show();
    Image1->update();
}
