// The DICOM reader and the anonymised copy through the real windows, with
// real files of pydicom's corpus; pydicom is the second reader.
#include "app/form1.h"
#include "app/startup.h"
#include "mtf/form2.h"
#include "wiener/form3.h"
#include "platform/dialogs.h"
#include "platform/guard.h"
#include "support/driver.h"
#include "viewer/render.h"

#include "../unit/dicom/dicom_bytes.h"

#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QtTest>

using namespace tarven::test;
using tarven::dicom::testing::DicomBytes;

namespace {

const QString corpus = QStringLiteral("/usr/lib/python3/dist-packages/pydicom/data/test_files");
const QString python = QStringLiteral("/usr/bin/python3");
const QString helper = QStringLiteral(TARVEN_TEST_DATA_DIR "/dicom/pydicom_check.py");

bool havePydicom() { return QFile::exists(python) && QFile::exists(corpus + "/CT_small.dcm"); }

QStringList pydicom(const QStringList& args)
{
    QProcess p;
    p.start(python, QStringList{helper} + args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

QString cell(QTableWidget* t, int row, int col)
{
    const QTableWidgetItem* i = t->item(row, col);
    return i ? i->text() : QString();
}

// Answers the next modal save dialog by typing the path into its name box
// (selectFile() leaves a focused name box as it is) or cancels it; records
// the name the dialog proposed.
struct SaveAnswer {
    bool seen = false;
    QString proposal;
};
std::shared_ptr<SaveAnswer> saveAs(const QString& path)
{
    auto seen = std::make_shared<SaveAnswer>();
    auto* timer = new QTimer;
    timer->setInterval(5);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (d || ++*tries > 2000) {
            timer->stop();
            timer->deleteLater();
        }
        if (!d)
            return;
        seen->seen = true;
        auto* name = d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (name)
            seen->proposal = QDir(d->directory()).filePath(name->text());
        if (path.isNull()) {
            d->reject();
            return;
        }
        d->setDirectory(QFileInfo(path).absolutePath());
        if (name)
            name->setText(QFileInfo(path).fileName());
        static_cast<QDialog*>(d)->done(QDialog::Accepted);
    });
    timer->start();
    return seen;
}

// A load stopped before the matrix dialog leaves its answer waiting: give
// it a dialog of its own so that it does not answer the next load's.
void drainPendingAnswer(QWidget* parent) { tarven::inputBox(parent, QString(), QStringLiteral("drain"), QString()); }

QStringList memoLinesOf(const QPlainTextEdit* m) { return m->toPlainText().split(QLatin1Char('\n')); }

int rowOf(QTableWidget* t, const QString& group, const QString& element)
{
    for (int r = 1; r < t->rowCount(); ++r)
        if (cell(t, r, 1) == group && cell(t, r, 2) == element)
            return r;
    return -1;
}

} // namespace

class TestDicom : public QObject {
    Q_OBJECT
private:
    TForm1* f = nullptr;
    QTemporaryDir tmp;

    QDir dir() const { return QDir(tmp.path()); }
    // Loads in mode "DICOM", keeping the matrix dialog's proposal.
    std::shared_ptr<InputAnswer> load(const QString& path)
    {
        TForm1::setRadioIndex(f->RadioGroupMode, 2);
        auto a = answerNextInput();
        tarven::guarded(f, [&] { f->loadFile(path, false); });
        return a;
    }
    QString copyOf(const QString& name)
    {
        const QString to = dir().filePath(name);
        QFile::remove(to);
        QFile::copy(corpus + "/" + name, to);
        QFile(to).setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return to;
    }

private slots:
    void init()
    {
        f = startWindows();
        QVERIFY(f);
    }
    void cleanup() { tarven::destroyWindows(); }

    void realFilesOfTheThreeSyntaxes_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("swap");
        QTest::newRow("explicit little endian") << "CT_small.dcm" << false;
        QTest::newRow("implicit little endian") << "MR_small_implicit.dcm" << false;
        QTest::newRow("explicit big endian") << "MR_small_bigendian.dcm" << true;
    }
    void realFilesOfTheThreeSyntaxes()
    {
        if (!havePydicom())
            QSKIP("pydicom's corpus is not installed");
        QFETCH(QString, file);
        QFETCH(bool, swap);
        const QStringList expected = pydicom({"pixel", corpus + "/" + file});
        QCOMPARE(expected.size(), 2);
        const QStringList offset = expected[0].split(' '), image = expected[1].split(' ');
        const QString cols = image[1], rows = image[2];

        MessageCapture messages;
        auto answer = load(corpus + "/" + file);
        QVERIFY(messages.messages.isEmpty());
        QVERIFY(answer->seen);
        QCOMPARE(answer->proposal, cols + " " + rows);
        QCOMPARE(f->EditHeader->text(), offset[1]);
        QCOMPARE(f->CheckBoxSwp->isChecked(), swap);

        // Tag table and element log.
        QTableWidget* t = f->StringGridDTag;
        const int r = rowOf(t, "  28", "  10");
        QVERIFY(r > 0);
        QCOMPARE(cell(t, r, 3), QStringLiteral("US"));
        QCOMPARE(cell(t, r, 4), QStringLiteral("   2"));
        QCOMPARE(cell(t, r, 5), rows);
        QCOMPARE(cell(t, r, 6), QStringLiteral("横行 Rows US "));
        QCOMPARE(cell(t, r, 0), QString::number(r));
        const int last = t->rowCount() - 1;
        QCOMPARE(cell(t, last, 1), QStringLiteral("7FE0"));
        QCOMPARE(cell(t, last, 6), QStringLiteral("Pixel Data"));
        QCOMPARE(t->rowHeight(1), 16);
        const QStringList log = f->Memo_ermnt->toPlainText().split('\n');
        QVERIFY(log.contains(QString::number(r) + "\t  28\t  10\tUS\t#2\t (" + rows + ")\t" + rows + "\t横行 Rows US "));
        QVERIFY(f->Memo1->toPlainText().contains("MX : " + rows));
        QCOMPARE(f->EditrawSizeX->text(), cols);
        QCOMPARE(f->EditrawSizeY->text(), rows);

        // The rendered greys are those of pydicom's pixel values.
        const tarven::GreyWindow window{f->EditLLVL->text().toInt(), f->EditULVL2->text().toInt(), false};
        const tarven::ViewGeometry view = tarven::computeView(
            {f->matrixX, f->matrixY, f->viewCentre.x(), f->viewCentre.y(), 1, 512, 512});
        QVERIFY(!view.enlarge);
        const auto grey = [&](const QString& word) { return int(tarven::greyOf(std::uint16_t(word.toUInt()), window)); };
        QCOMPARE(greyAt(f, int(view.left), int(view.top)), grey(image[4]));
        QCOMPARE(greyAt(f, int(view.left + view.cols - 1), int(view.top + view.rows - 1)), grey(image[5]));
    }

    void acquisitionSummaryAndAnalysisWindows()
    {
        if (!havePydicom())
            QSKIP("pydicom's corpus is not installed");
        load(corpus + "/CT_small.dcm");
        QCOMPARE(f->EditPixelSpacing->text(), QStringLiteral("0.661468"));
        QCOMPARE(f->pixelSpacing, 0.661468);
        QCOMPARE(tarven::windows().form2->pixelSize, 0.661468);
        QCOMPARE(f->fovText, f->EditFOV->text());
        // Every line in file order, the model name placed before the rest.
        const QStringList summary = {"RHAPSODE", "CT", "mmST : 5.000000", "kV : 120 ", "mmFOV : 338.671600",
                                     "mAs : 170 ", "RF : STANDARD", "MX : 128", "MY : 128",
                                     "mmPSize : 0.661468\\0.661468 ", "bit : 16", ""};
        QCOMPARE(memoLinesOf(f->Memo1), summary);
        QCOMPARE(f->Label10->text(), QStringLiteral("STANDARD"));
        QCOMPARE(f->photometric.trimmed(), QStringLiteral("MONOCHROME2"));
        if (auto* fov = tarven::windows().form2->findChild<QLineEdit*>("EditFOV"))
            QCOMPARE(fov->text(), f->EditFOV->text());
        if (auto* dx = tarven::windows().form2->findChild<QLineEdit*>("Editdx"))
            QCOMPARE(dx->text(), QStringLiteral("0.661468"));

        // The transfer syntax UID keeps its NUL padding in the cell, which
        // draws the UID alone.
        QTableWidget* t = f->StringGridDTag;
        const int ts = rowOf(t, "   2", "  10");
        QVERIFY(ts > 0);
        const QString uid = QStringLiteral("1.2.840.10008.1.2.1");
        QCOMPARE(cell(t, ts, 5), uid + QChar(0));
        auto* delegate = qobject_cast<QStyledItemDelegate*>(t->itemDelegate());
        QVERIFY(delegate);
        QCOMPARE(delegate->displayText(t->item(ts, 5)->data(Qt::DisplayRole), QLocale()), uid);
        QVERIFY(memoLinesOf(f->Memo_ermnt).contains(
            QString::number(ts) + QStringLiteral("\t   2\t  10\tUI\t#20\t\t") + uid + QStringLiteral("\tTransfer Syntax UID 転送構文ＵＩＤ UI ")));
    }

    void badInputStopsCleanly_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("header");
        namespace fx = tarven::dicom::testing;
        DicomBytes noSpacing = DicomBytes::withMeta(fx::explicitUid);
        noSpacing.ex(0x0028, 0x0010, "US", noSpacing.us(2)).ex(0x0028, 0x0030, "DS", "0.5 ");
        noSpacing.exHead(0x7FE0, 0x0010, "OW", 8).raw({1, 0, 2, 0, 3, 0, 4, 0});
        DicomBytes truncated = DicomBytes::withMeta(fx::explicitUid);
        truncated.ex(0x0028, 0x0030, "DS", "0.5\\0.5 ").exHead(0x0010, 0x0010, "PN", 1000).str("DOE");
        const auto bytes = [](const DicomBytes& d) { return QByteArray(reinterpret_cast<const char*>(d.b.data()), qsizetype(d.size())); };
        QTest::newRow("pixel spacing without backslash") << bytes(noSpacing) << "'' は浮動小数点数ではありません" << "";
        QTest::newRow("no DICM") << QByteArray(600, 'x') << "'' は浮動小数点数ではありません" << " ";
        // Ends inside an element: no pixel data found, the load goes on.
        QTest::newRow("truncated") << bytes(truncated) << "" << "";
    }
    void badInputStopsCleanly()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        QFETCH(QString, header);
        f->Memo1->setPlainText(QStringLiteral("before"));
        const QString path = writeBytes(dir(), "bad.dcm", std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
        MessageCapture messages;
        auto answer = load(path);
        if (message.isEmpty()) {
            QVERIFY(messages.messages.isEmpty());
            QVERIFY(answer->seen);
            // The renderer derived the header from the file size.
            QCOMPARE(f->EditHeader->text(), QString::number(bytes.size() - f->matrixX * f->matrixY * 2));
        } else {
            QCOMPARE(messages.messages, QStringList{message});
            QVERIFY(!answer->seen); // the load stopped before the matrix dialog
            drainPendingAnswer(f);
            if (!bytes.startsWith('x'))
                QCOMPARE(f->StringGridDTag->rowCount(), 256); // the walk stopped: no final row count
            QCOMPARE(f->EditHeader->text(), header.isEmpty() ? f->EditHeader->text() : header);
        }
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes); // the loaded file is never changed
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(f->imageData.data()), qsizetype(f->imageData.size())), bytes);
        if (bytes.startsWith('x')) {
            QCOMPARE(cell(f->StringGridDTag, 1, 0), QStringLiteral("1"));
            QCOMPARE(f->StringGridDTag->rowCount(), 94); // as at start
            QCOMPARE(cell(f->StringGridDTag, 1, 1), QStringLiteral(" "));
            QCOMPARE(f->Memo1->toPlainText(), QStringLiteral("before"));
        }
    }

    // A Window Center of 40.5 is written as it stands; the render after the
    // matrix dialog then stops with the conversion error.
    void windowCentreWithDecimalsStopsTheRender()
    {
        DicomBytes d = DicomBytes::withMeta(tarven::dicom::testing::explicitUid);
        d.ex(0x0028, 0x0010, "US", d.us(2)).ex(0x0028, 0x0011, "US", d.us(2)).ex(0x0028, 0x0030, "DS", "1\\1 ");
        d.ex(0x0028, 0x1050, "DS", "40.5").ex(0x0028, 0x1051, "DS", "80 ");
        d.exHead(0x7FE0, 0x0010, "OW", 8).raw({1, 0, 2, 0, 3, 0, 4, 0});
        MessageCapture messages;
        auto answer = load(writeBytes(dir(), "wc.dcm", d.b));
        QVERIFY(answer->seen);
        QCOMPARE(f->EditULVL2->text(), QStringLiteral("40.5"));
        QCOMPARE(messages.messages, QStringList{QStringLiteral("'40.5' は整数ではありません")});
    }

    void windowLockKeepsWidthAndLevel()
    {
        DicomBytes d = DicomBytes::withMeta(tarven::dicom::testing::explicitUid);
        d.ex(0x0028, 0x0010, "US", d.us(2)).ex(0x0028, 0x0011, "US", d.us(2)).ex(0x0028, 0x0030, "DS", "1\\1 ");
        d.ex(0x0028, 0x1050, "DS", "40\\400").ex(0x0028, 0x1051, "DS", "80 ");
        d.exHead(0x7FE0, 0x0010, "OW", 8).raw({1, 0, 2, 0, 3, 0, 4, 0});
        const QString path = writeBytes(dir(), "w.dcm", d.b);
        load(path);
        QCOMPARE(f->EditULVL2->text(), QStringLiteral("40"));
        QCOMPARE(f->EditLLVL->text(), QStringLiteral("80"));
        QCOMPARE(f->EditFOV->text(), QStringLiteral("2")); // 2 columns of 1 mm
        QCOMPARE(tarven::windows().form2->EditFOV->text(), QStringLiteral("2"));
        QCOMPARE(tarven::windows().form3->EditFOV->text(), QStringLiteral("2"));
        QCOMPARE(tarven::windows().form2->pixelSize, 1.0);
        f->EditLLVL->setText("123");
        f->EditULVL2->setText("45");
        f->CheckBoxWLock->setChecked(true);
        load(path);
        QCOMPARE(f->EditLLVL->text(), QStringLiteral("123"));
        QCOMPARE(f->EditULVL2->text(), QStringLiteral("45"));
    }

    // Rows past 256 of an earlier, longer file do not stay behind: an
    // element without value leaves its cells empty, not the earlier file's.
    void rowsPast256ComeFromThisFileOnly()
    {
        const auto file = [](std::string_view value) {
            DicomBytes d = DicomBytes::withMeta(tarven::dicom::testing::explicitUid);
            d.ex(0x0028, 0x0010, "US", d.us(2)).ex(0x0028, 0x0011, "US", d.us(2)).ex(0x0028, 0x0030, "DS", "1\\1 ");
            for (std::uint32_t e = 0x1000; e < 0x1000 + 300; ++e)
                d.ex(0x0009, e, "LO", value);
            d.exHead(0x7FE0, 0x0010, "OW", 8).raw({1, 0, 2, 0, 3, 0, 4, 0});
            return d;
        };
        load(writeBytes(dir(), "long.dcm", file("x ").b));
        QTableWidget* t = f->StringGridDTag;
        QCOMPARE(cell(t, 290, 5), QStringLiteral("x "));
        QCOMPARE(cell(t, 290, 6), QStringLiteral("Private Tag"));
        load(writeBytes(dir(), "empty.dcm", file("").b));
        QCOMPARE(t->rowCount(), 3 + 3 + 300 + 2);
        QCOMPARE(cell(t, 290, 4), QStringLiteral("   0"));
        QCOMPARE(cell(t, 290, 5), QString());
        QCOMPARE(cell(t, 290, 6), QString());
        QCOMPARE(cell(t, 200, 5), QStringLiteral(" ")); // numbered rows are blanked
        QCOMPARE(cell(t, 256, 0), QStringLiteral("256"));
    }

    void anonymisedCopy()
    {
        if (!havePydicom())
            QSKIP("pydicom's corpus is not installed");
        const QString source = copyOf("CT_small.dcm");
        QFile in(source);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray original = in.readAll();
        in.close();
        load(source);

        const QString target = dir().filePath("copy.dcm");
        MessageCapture messages;
        auto seen = saveAs(target);
        f->ButtonSAVE_DICOMtag->click();
        QVERIFY(seen->seen);
        QCOMPARE(seen->proposal, dir().filePath("CT_small_anonymous")); // ".dcm" dropped
        QCOMPARE(messages.messages, QStringList{QStringLiteral("Save OK")});
        QCOMPARE(f->filePath, target);
        QCOMPARE(f->EditPathFileName->text(), target);
        QFile out(target);
        QVERIFY(out.open(QIODevice::ReadOnly));
        QCOMPARE(out.size(), qint64(original.size()));
        QVERIFY(pydicom({"anon", source, target}).value(0).startsWith(QStringLiteral("ok ")));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), original); // the source is untouched
        QCOMPARE(f->StringGridDTag->rowCount(), 256);
    }

    void anonymisedCopyCancelledOrOntoTheSource()
    {
        if (!havePydicom())
            QSKIP("pydicom's corpus is not installed");
        const QString source = copyOf("MR_small.dcm");
        load(source);
        MessageCapture messages;
        auto cancel = saveAs(QString());
        f->ButtonSAVE_DICOMtag->click();
        QVERIFY(cancel->seen);
        QVERIFY(messages.messages.isEmpty());
        QCOMPARE(f->filePath, source);

        QFile in(source);
        QVERIFY(in.open(QIODevice::ReadOnly));
        const QByteArray original = in.readAll();
        in.close();
        auto same = saveAs(source);
        f->ButtonSAVE_DICOMtag->click();
        QVERIFY(same->seen);
        QCOMPARE(messages.messages.size(), 1);
        QVERIFY(messages.messages[0] != QStringLiteral("Save OK"));
        QVERIFY(in.open(QIODevice::ReadOnly));
        QCOMPARE(in.readAll(), original);
        QCOMPARE(f->filePath, source);

        f->EditFileSize->setText("12a");
        f->ButtonSAVE_DICOMtag->click();
        QCOMPARE(messages.messages.last(), QStringLiteral("'12a' は整数ではありません"));
    }

    void tagTableHeightToggle()
    {
        QCOMPARE(f->StringGridDTag->geometry(), QRect(0, 591, 793, 105));
        f->StringGridDTagDblClick();
        QCOMPARE(f->StringGridDTag->geometry(), QRect(0, 24, 793, 673));
        f->StringGridDTagDblClick();
        QCOMPARE(f->StringGridDTag->geometry(), QRect(0, 592, 793, 105));
    }
};

QTEST_MAIN(TestDicom)
#include "tst_dicom.moc"
