// "SaveROI", "Save", "SaveBMP" and "LoadBMP" through their buttons and the
// window's own file dialogs.
#include "app/form1.h"
#include "app/startup.h"
#include "platform/imagecontrol.h"
#include "support/driver.h"

#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

using namespace tarven::test;

namespace {
// Answers the next file dialog with a path; a cancelled one with a null path.
std::shared_ptr<FileAnswer> answerNextFile(const QString& path, bool confirm = true)
{
    return answerNextFileDialog(confirm ? path : QString());
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Little-endian words of the image block (x0, y0, cols x rows) of pixel(x, y).
QByteArray block(int x0, int y0, int cols, int rows, const std::function<std::uint16_t(int, int)>& pixel)
{
    QByteArray b;
    for (int y = y0; y < y0 + rows; ++y)
        for (int x = x0; x < x0 + cols; ++x) {
            const std::uint16_t v = pixel(x, y);
            b.append(static_cast<char>(v & 0xFF));
            b.append(static_cast<char>(v >> 8));
        }
    return b;
}

std::uint16_t pattern(int x, int y) { return static_cast<std::uint16_t>(x * 3 + y * 1031); }
} // namespace

class TestSaving : public QObject {
    Q_OBJECT
private:
    TForm1* f = nullptr;
    QTemporaryDir tmp;

    QString path(const QString& name) const { return QDir(tmp.path()).filePath(name); }
    void load(int cols, int rows, int header = 0)
    {
        TForm1::setRadioIndex(f->RadioGroupMode, 1);
        const QString p = writeRaw(QDir(tmp.path()), QStringLiteral("src%1.raw").arg(cols), cols, rows, header, pattern);
        auto a = answerNextInput(QStringLiteral("%1 %2").arg(cols).arg(rows));
        f->dropFiles({p});
        QVERIFY(a->seen);
    }
    void roiFrame(int cx, int cy, int left, int right)
    {
        f->EditroiPosX->setText(QString::number(cx));
        f->EditroiPosY->setText(QString::number(cy));
        f->roiRect = QRect(QPoint(left, left), QPoint(right, right));
    }

private slots:
    void initTestCase() { qputenv("TARVEN_PRESET_DIR", QFile::encodeName(tmp.path())); }
    void init()
    {
        f = startWindows();
        QVERIFY(f);
    }
    void cleanup() { tarven::destroyWindows(); }

    void saveRoi_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<int>("centre");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("right");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels"); // the image block written
        QTest::newRow("s = 1") << 512 << "100" << 256 << 224 << 287 << "64 64.raw" << QRect(224, 224, 64, 64);
        QTest::newRow("s = 2") << 1024 << "50" << 256 << 224 << 287 << "128 128.raw" << QRect(448, 448, 128, 128);
        QTest::newRow("negative origin") << 512 << "100" << 10 << 0 << 63 << "64 64.raw" << QRect(0, 0, 64, 64);
        // Beyond the right and bottom edges: cut at the border, named by what is written.
        QTest::newRow("cut at the edge") << 512 << "100" << 500 << 468 << 531 << "44 44.raw" << QRect(468, 468, 44, 44);
        QTest::newRow("s = 0.5") << 256 << "200" << 256 << 224 << 287 << "32 32.raw" << QRect(112, 112, 32, 32);
    }
    void saveRoi()
    {
        QFETCH(int, cols);
        QFETCH(QString, percent);
        QFETCH(int, centre);
        QFETCH(int, left);
        QFETCH(int, right);
        QFETCH(QRect, pixels);
        load(cols, cols);
        f->EditMF2->setText(percent);
        roiFrame(centre, centre, left, right);
        static int serial = 0;
        const QString out = path(QStringLiteral("roi_%1.raw").arg(++serial));
        auto a = answerNextFile(out);
        MessageCapture m;
        f->ButtonSaveROI->click();
        QCOMPARE(m.messages, QStringList());
        QVERIFY(a->seen);
        QCOMPARE(a->dialogName, QStringLiteral("SaveDialogImg"));
        QTEST(a->proposedName, "name");
        QCOMPARE(fileBytes(out), block(pixels.x(), pixels.y(), pixels.width(), pixels.height(), pattern));
        QCOMPARE(f->filePath, out);
        QCOMPARE(f->EditHSBP->text(), QString::number(right - left + 1));
    }

    void saveRoiInDisplayedByteOrder()
    {
        // Loaded with "Swap": the file gets the words as displayed.
        load(512, 512);
        f->CheckBoxSwp->setChecked(true);
        roiFrame(256, 256, 255, 256); // 2 x 2 at (255, 255)
        const QString out = path(QStringLiteral("swapped.raw"));
        auto a = answerNextFile(out);
        f->ButtonSaveROI->click();
        QVERIFY(a->seen);
        QCOMPARE(fileBytes(out), block(255, 255, 2, 2, [](int x, int y) {
                     const std::uint16_t v = pattern(x, y);
                     return static_cast<std::uint16_t>((v >> 8) | (v << 8));
                 }));
    }

    void saveRoiCancelledOrRefused()
    {
        load(512, 512);
        roiFrame(256, 256, 224, 287);
        const QString out = path(QStringLiteral("cancelled.raw"));
        auto a = answerNextFile(out, false);
        f->ButtonSaveROI->click();
        QVERIFY(a->seen);
        QVERIFY(!QFile::exists(out));

        MessageCapture m;
        f->EditMF2->setText(QStringLiteral("0"));
        f->ButtonSaveROI->click();
        f->EditMF2->setText(QStringLiteral("100"));
        roiFrame(256, 256, 224, 223); // zero width
        f->ButtonSaveROI->click();
        QCOMPARE(m.messages, QStringList(2, QStringLiteral("0 による浮動小数点数除算")));
    }

    void saveWritesThePixelMatrix()
    {
        // A 100-byte header: "Save" writes the matrix alone, as stored, so the
        // file loads again as the same image.
        load(64, 32, 100);
        f->CheckBoxSwp->setChecked(true); // as stored: no exchange
        const QString out = path(QStringLiteral("whole.raw"));
        auto a = answerNextFile(out);
        f->BitBtnSave->click();
        QVERIFY(a->seen);
        QCOMPARE(a->proposedName, QStringLiteral("64 32.raw")); // the dialog adds the default extension
        QCOMPARE(fileBytes(out), block(0, 0, 64, 32, pattern));
        QCOMPARE(f->EditPathFileName->text(), out);
        QCOMPARE(f->filePath, out);

        // A header past the pixel data: nothing to save, nothing written.
        MessageCapture m;
        f->EditHeader->setText(QStringLiteral("100000"));
        f->BitBtnSave->click();
        QCOMPARE(m.messages.size(), 1);
    }

    void bitmapSaveAndLoad()
    {
        load(64, 64);
        f->EditLLVL->setText(QStringLiteral("4000"));
        f->EditULVL2->setText(QStringLiteral("2000"));
        f->ButtonDisp->click();
        const QImage shown = f->viewBitmap.convertToFormat(QImage::Format_RGB888);
        const QString out = path(QStringLiteral("view_no_extension"));
        auto a = answerNextFile(out);
        f->ButtonSaveBMP->click();
        QVERIFY(a->seen);
        QCOMPARE(a->dialogName, QStringLiteral("OpenDialogImg"));
        QVERIFY(QFile::exists(out)); // the name is used unchanged
        QImage saved(out, "BMP");
        QCOMPARE(saved.convertToFormat(QImage::Format_RGB888), shown);

        // "LoadBMP" draws it at the top-left corner; the next rendering replaces it.
        f->EditULVL2->setText(QStringLiteral("-30000"));
        f->ButtonDisp->click();
        QCOMPARE(greyAt(f, 0, 0), 255);
        auto b = answerNextFile(out);
        f->ButtonLoadBMP->click();
        QVERIFY(b->seen);
        QCOMPARE(f->Image1->canvas().pixelColor(5, 7), shown.pixelColor(5, 7));
        f->ButtonDisp->click();
        QCOMPARE(greyAt(f, 0, 0), 255);

        MessageCapture m;
        const QString notBmp = writeBytes(QDir(tmp.path()), QStringLiteral("text.bmp"), {'h', 'i'});
        auto c = answerNextFile(notBmp);
        f->ButtonLoadBMP->click();
        QVERIFY(c->seen);
        QCOMPARE(m.messages, QStringList{QStringLiteral("ビットマップ イメージが不正です")});
    }
};

QTEST_MAIN(TestSaving)
#include "tst_saving.moc"
