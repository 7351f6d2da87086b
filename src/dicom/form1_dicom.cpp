// The DICOM reader's window side: tag table, element log, summary and boxes;
// the anonymised copy.
//
// dictionaryText holds the dictionary as Unicode (it is built from the UTF-8
// table); the lookups run on its UTF-8 form, whose VR rule gives the same
// VRs as on the Shift-JIS bytes the rule was made for (see dicom/dictionary.h).
#include "app/form1.h"
#include "app/startup.h"
#include "common/errors.h"
#include "dicom/anonymise.h"
#include "dicom/dictionary.h"
#include "dicom/walk.h"
#include "mtf/form2.h"
#include "platform/convert.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "platform/memo.h"
#include "wiener/form3.h"

#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStyledItemDelegate>
#include <QTableWidget>

#include <memory>

using namespace tarven;

namespace {

constexpr int numberedRows = 256;

// The dictionary that answers the lookups on dictionaryText; rebuilt only
// when the text changes.
const dicom::Dictionary& dictionaryOf(const QString& text)
{
    static QString source;
    static std::unique_ptr<dicom::Dictionary> dict;
    if (!dict || source != text) {
        dict = std::make_unique<dicom::Dictionary>(text.toStdString());
        source = text;
    }
    return *dict;
}

// Values are bytes of the file: shown as UTF-8 when they are (ASCII is), else
// one character per byte, so that every byte stays visible (also the bytes of
// a sequence cut off at the end of a value, which a streaming decoder would
// hold back as incomplete rather than show).
QString valueText(const std::string& bytes)
{
    const std::string text = dicom::displayText(bytes);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString utf8(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The tag table's cells keep a value's bytes but draw them up to the first
// NUL, as a text control draws them: a UID padded with a NUL shows as the
// UID alone, without a glyph for the padding.
class CellUpToNul : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override
    {
        QString text = QStyledItemDelegate::displayText(value, locale);
        const qsizetype nul = text.indexOf(QChar(0));
        if (nul >= 0)
            text.truncate(nul);
        return text;
    }
};

void setCell(QTableWidget* grid, int row, int col, const QString& text)
{
    if (row >= grid->rowCount())
        grid->setRowCount(row + 1);
    if (QTableWidgetItem* item = grid->item(row, col)) {
        if (item->text() != text) // each change is a model signal: the blanking of 256 rows adds up
            item->setText(text);
    } else
        grid->setItem(row, col, new QTableWidgetItem(text));
}

// Rows 1 to 256: the number in column 0, one blank in columns 1 to 6.
void blankRows(QTableWidget* grid, bool onlyMissing)
{
    if (grid->rowCount() < numberedRows + 1)
        grid->setRowCount(numberedRows + 1);
    for (int r = 1; r <= numberedRows; ++r) {
        if (onlyMissing && grid->item(r, 0))
            continue;
        setCell(grid, r, 0, QString::number(r));
        for (int c = 1; c <= 6; ++c)
            setCell(grid, r, c, QStringLiteral(" "));
    }
}

QLineEdit* fieldOf(QWidget* window, const char* name)
{
    return window ? window->findChild<QLineEdit*>(QLatin1String(name)) : nullptr;
}

// The field-of-view boxes of the MTF and Wiener spectrum windows.
void setAnalysisFov(const QString& text)
{
    if (QLineEdit* box = fieldOf(tarven::windows().form2, "EditFOV"))
        box->setText(text);
    if (QLineEdit* box = fieldOf(tarven::windows().form3, "EditFOV"))
        box->setText(text);
}

} // namespace

void TForm1::buildDictionaryText() { dictionaryText = QString::fromStdString(dicom::builtinDictionaryText()); }

void TForm1::ReadDicom()
{
    // Preparation. Without "DICM" the table keeps its row count: only the
    // rows it shows are seen blanked and numbered.
    const int rowsBefore = StringGridDTag->rowCount();
    if (!dynamic_cast<CellUpToNul*>(StringGridDTag->itemDelegate()))
        StringGridDTag->setItemDelegate(new CellUpToNul(StringGridDTag));
    blankRows(StringGridDTag, false);
    EditHeader->setText(QStringLiteral(" "));
    memoClear(Memo_ermnt);

    const dicom::WalkResult res = dicom::walkDicom(imageData, dictionaryOf(dictionaryText), CheckBoxWLock->isChecked());

    if (res.dicmFound) {
        CheckBoxSwp->setChecked(false);
        // The walk starts from 256 rows: rows past them from a longer file
        // read before go, so that no cell of that file is shown for this one.
        if (StringGridDTag->rowCount() > numberedRows + 1)
            StringGridDTag->setRowCount(numberedRows + 1);
        for (std::size_t i = 0; i < res.rows.size(); ++i) {
            const dicom::TagRow& row = res.rows[i];
            const int r = static_cast<int>(i) + 1;
            setCell(StringGridDTag, r, 1, utf8(dicom::hex4(row.group)));
            setCell(StringGridDTag, r, 2, utf8(dicom::hex4(row.element)));
            setCell(StringGridDTag, r, 3, utf8(row.vr));
            setCell(StringGridDTag, r, 4, utf8(row.length));
            if (row.data)
                setCell(StringGridDTag, r, 5, valueText(*row.data));
            if (row.name)
                setCell(StringGridDTag, r, 6, utf8(*row.name));
        }
        // The walk runs with 256 rows (more when it lists more elements).
        if (static_cast<int>(res.rows.size()) < numberedRows)
            StringGridDTag->setRowCount(numberedRows);
        QStringList log;
        log.reserve(static_cast<qsizetype>(res.log.size()));
        for (const std::string& line : res.log)
            log << utf8(line); // shown text already
        if (!log.isEmpty())
            Memo_ermnt->setPlainText(log.join(QLatin1Char('\n')));

        const dicom::ViewerValues& v = res.values;
        const auto put = [](QLineEdit* box, const std::optional<std::string>& text) {
            if (box && text)
                box->setText(valueText(*text));
        };
        put(EditrawSizeX, v.rows);
        put(EditrawSizeY, v.columns);
        if (v.photometric)
            photometric = valueText(*v.photometric);
        put(EditPixelSpacing, v.pixelSpacingText);
        put(fieldOf(tarven::windows().form2, "Editdx"), v.pixelSpacingText);
        if (v.pixelSpacing)
            pixelSpacing = *v.pixelSpacing;
        if (v.fov) {
            fovText = valueText(*v.fov);
            EditFOV->setText(fovText);
            setAnalysisFov(fovText);
        }
        put(EditULVL2, v.windowCenter);
        put(EditLLVL, v.windowWidth);
        put(EditBitAllo, v.bitsAllocated);
        put(EditBitStore, v.bitsStored);
        put(EditBitHigh, v.highBit);
        put(EditRInterupt, v.intercept);
        put(EditRSlope, v.slope);
        put(EditRType, v.rescaleType);
        if (v.kernel)
            Label10->setText(valueText(*v.kernel));
        if (res.summary)
            Memo1->setPlainText(utf8(*res.summary).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
        if (res.pixelOffset)
            EditHeader->setText(intText(*res.pixelOffset));
        if (res.error)
            std::rethrow_exception(res.error);

        // Final step: the walk gave Rows to X and Columns to Y.
        const QString x = EditrawSizeX->text();
        EditrawSizeX->setText(EditrawSizeY->text());
        EditrawSizeY->setText(x);
        if (res.syntax == dicom::Syntax::ExplicitBig)
            CheckBoxSwp->setChecked(true);
        StringGridDTag->setRowCount(static_cast<int>(res.nextRow));
    } else {
        StringGridDTag->setRowCount(rowsBefore);
    }

    const double size = toFloat(EditPixelSpacing);
    if (TForm2* form2 = tarven::windows().form2)
        form2->pixelSize = size;
    if (EditFOV->text().isEmpty()) {
        const QString fov = generalText(toInt(EditrawSizeX) * size);
        EditFOV->setText(fov);
        setAnalysisFov(fov);
    }
}

void TForm1::ButtonSAVE_DICOMtagClick()
{
    const std::int64_t size = toInt(EditFileSize);
    if (size < 0)
        throw Error("The file size must not be negative.");
    dicom::AnonymisedCopy copy = dicom::anonymisedCopy(imageData, size, dictionaryOf(dictionaryText));
    if (copy.dicmFound) {
        CheckBoxSwp->setChecked(false);
        if (copy.syntax == dicom::Syntax::ExplicitBig)
            CheckBoxSwp->setChecked(true);
        blankRows(StringGridDTag, true);
        StringGridDTag->setRowCount(numberedRows);
    }

    // The proposal: the path without its last four characters (".dcm").
    QString proposal = filePath;
    proposal.chop(4);
    proposal += QStringLiteral("_anonymous");
    const QString name = runFileDialog(SaveDialogImg, proposal);
    if (name.isEmpty())
        return;

    // The copy never replaces the file it was made from.
    const QFileInfo target(name);
    if (target.exists() && target.canonicalFilePath() == QFileInfo(filePath).canonicalFilePath())
        throw FileError(formatMessage(msg::cannotOpenFile, name.toStdString()) + " (the loaded file itself)");
    filePath = name;
    EditPathFileName->setText(name);

    // Written through a temporary file, so that a failed write leaves an
    // existing file as it was.
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(reinterpret_cast<const char*>(copy.bytes.data()), static_cast<qint64>(copy.bytes.size())) !=
            static_cast<qint64>(copy.bytes.size()) ||
        !file.commit())
        throwCannotOpen(name.toStdString());
    copy.bytes = {};
    showMessage(this, QStringLiteral("Save OK"));
}

void TForm1::StringGridDTagDblClick()
{
    if (StringGridDTag->height() == 105) {
        StringGridDTag->setGeometry(StringGridDTag->x(), 24, StringGridDTag->width(), 673);
        StringGridDTag->raise();
    } else {
        StringGridDTag->setGeometry(StringGridDTag->x(), 592, StringGridDTag->width(), 105);
    }
}
