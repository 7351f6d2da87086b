// Loading by the "Load" button, by dropping files and from the command line.
#include "app/form1.h"
#include "io/rawload.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/imagecontrol.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

using namespace tarven;

namespace {
std::int32_t bytesPerPixelOfMode(int modeIndex) { return modeIndex == 0 ? 1 : 2; }
} // namespace

void TForm1::BitBtnLoadClick()
{
    Label10->setText(QString());
    const QString name = runFileDialog(OpenDialogImg);
    if (name.isEmpty())
        return;
    bytesPerPixel = bytesPerPixelOfMode(radioIndex(RadioGroupMode));
    loadFile(name, false);
}

void TForm1::dropFiles(const QStringList& fileNames)
{
    Label10->setText(QString());
    bytesPerPixel = bytesPerPixelOfMode(radioIndex(RadioGroupMode));
    if (fileNames.isEmpty())
        return;
    loadFile(fileNames.last(), true); // each name replaces the previous one
}

void TForm1::loadFile(const QString& fileName, bool dropped)
{
    filePath = fileName;
    EditPathFileName->setText(fileName);
    EditFileName->setText(QFileInfo(fileName).fileName());

    // Read into a fresh buffer: a file that cannot be read leaves the image
    // the user had.
    std::vector<std::uint8_t> bytes = readWholeFile(QFile::encodeName(fileName).toStdString());
    imageData.swap(bytes);
    bytes = {};
    const auto fileSize = static_cast<std::int64_t>(imageData.size());
    EditFileSize->setText(intText(fileSize));

    for (QLineEdit* box : {EditBitAllo, EditBitStore, EditBitHigh, EditRType, EditPixelSpacing, EditFOV})
        box->setText(QString());
    EditRInterupt->setText(QStringLiteral("0"));
    EditRSlope->setText(QStringLiteral("1"));

    const bool dicom = radioIndex(RadioGroupMode) == 2;
    const bool locked = CheckBoxWLock->isChecked();
    QString proposal;
    if (dicom) {
        ReadDicom();
        proposal = EditrawSizeX->text() + QLatin1Char(' ') + EditrawSizeY->text();
    } else if (locked) {
        proposal = EditrawSizeX->text() + QLatin1Char(' ') + EditrawSizeY->text();
    } else {
        const Matrix m = proposeMatrix(fileSize, bytesPerPixel);
        proposal = QString::fromStdString(matrixText(m.x, m.y));
    }

    const QString answer = inputBox(this, QString(), QStringLiteral("Matrix Size"), proposal);
    const Matrix m = parseMatrixAnswer(answer.toStdString(), fileSize, bytesPerPixel);
    matrixX = static_cast<std::int32_t>(m.x);
    matrixY = static_cast<std::int32_t>(m.y);
    EditrawSizeX->setText(intText(matrixX));
    EditrawSizeY->setText(intText(matrixY));
    if (!dicom)
        EditHeader->setText(intText(rawHeader(fileSize, m, bytesPerPixel)));

    if (!locked) {
        for (QLineEdit* box : {EditroiPosX, EditroiPosY, EditroiSizeX, EditroiSizeY})
            box->setText(QStringLiteral("256"));
        viewCentre = QPoint(matrixX / 2, matrixY / 2);
        EditrawPosX->setText(intText(viewCentre.x()));
        EditrawPosY->setText(intText(viewCentre.y()));
        EditMF->setText(QStringLiteral("1"));
    }
    Image0->hide();
    if (dropped)
        Image2->hide();
    RenderView();
}
