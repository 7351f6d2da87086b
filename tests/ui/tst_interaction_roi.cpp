// The ROI of the main window through the real controls: the reader, the
// frame and its mouse editing, the size menu, the background clearing, the
// statistics and the line profile.
#include "app/form1.h"
#include "app/startup.h"
#include "common/errors.h"
#include "platform/imagecontrol.h"
#include "support/driver.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tarven::test;

using Roi4 = std::array<std::int32_t, 4>;
Q_DECLARE_METATYPE(Roi4)

namespace {
void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint p, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) { mouse(w, QEvent::MouseButtonPress, b, p, b); }
void moveTo(QWidget* w, QPoint p, Qt::MouseButtons held = Qt::LeftButton)
{
    mouse(w, QEvent::MouseMove, Qt::NoButton, p, held);
}
void release(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    mouse(w, QEvent::MouseButtonRelease, b, p, Qt::NoButton);
}
QString clipboard() { return QApplication::clipboard()->text(); }
// Value of the test image at (x, y): row and column within 100, as decimal digits.
std::uint16_t rowColumn(int x, int y) { return static_cast<std::uint16_t>((y % 100) * 100 + x % 100); }

Roi4 roi(std::int32_t l, std::int32_t t, std::int32_t w, std::int32_t h) { return {l, t, w, h}; }
} // namespace

class TestInteractionRoi : public QObject {
    Q_OBJECT
private:
    TForm1* f = nullptr;
    QTemporaryDir tmp;

    // Loads a raw 16-bit image by drop, confirming the proposed size "cols rows".
    void load(int cols, int rows, const std::function<std::uint16_t(int, int)>& pixel, int header = 0)
    {
        TForm1::setRadioIndex(f->RadioGroupMode, 1);
        const QString path = writeRaw(QDir(tmp.path()), QStringLiteral("img%1x%2.raw").arg(cols).arg(rows), cols, rows,
                                      header, pixel);
        auto a = answerNextInput(QStringLiteral("%1 %2").arg(cols).arg(rows));
        f->dropFiles({path});
        QVERIFY(a->seen);
        f->EditHeader->setText(QString::number(header));
    }
    void setRoiBoxes(int cx, int cy, int w, int h)
    {
        f->EditroiPosX->setText(QString::number(cx));
        f->EditroiPosY->setText(QString::number(cy));
        f->EditroiSizeX->setText(QString::number(w));
        f->EditroiSizeY->setText(QString::number(h));
    }

private slots:
    void initTestCase() { qputenv("TARVEN_PRESET_DIR", QFile::encodeName(tmp.path())); }
    void init()
    {
        f = startWindows();
        QVERIFY(f);
    }
    void cleanup() { tarven::destroyWindows(); }

    void readRoi_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<QString>("zoom");
        QTest::addColumn<QString>("centre");
        QTest::addColumn<Roi4>("want");
        QTest::addColumn<double>("scale");
        QTest::newRow("512 code 1") << 512 << "1" << "256" << roi(128, 128, 256, 256) << 1.0;
        QTest::newRow("256 code 1") << 256 << "1" << "128" << roi(0, 0, 256, 256) << 1.0;
        QTest::newRow("512 code -2") << 512 << "-2" << "256" << roi(192, 192, 128, 128) << 0.5;
        QTest::newRow("256 code -1") << 256 << "-1" << "128" << roi(64, 64, 128, 128) << 0.5;
        QTest::newRow("1024 code 2") << 1024 << "2" << "512" << roi(256, 256, 512, 512) << 2.0;
    }
    void readRoi()
    {
        QFETCH(int, cols);
        QFETCH(QString, zoom);
        QFETCH(QString, centre);
        QFETCH(Roi4, want);
        QFETCH(double, scale);
        load(cols, cols, [](int, int) { return 0; });
        // After a load with "Lock" off the ROI boxes read 256 each.
        QCOMPARE(f->EditroiSizeY->text(), QStringLiteral("256"));
        f->EditMF->setText(zoom);
        f->EditrawPosX->setText(centre);
        f->EditrawPosY->setText(centre);
        f->ReadROI();
        QCOMPARE(f->roiImage, want);
        QCOMPARE(f->viewScale, scale);
        QCOMPARE(f->matrixX, cols);
        QCOMPARE(f->viewCentre, QPoint(centre.toInt(), centre.toInt()));
    }

    void readRoiStopsAtTheFirstBadBox()
    {
        load(512, 512, [](int, int) { return 0; });
        f->EditRInterupt->setText(QStringLiteral("-1024"));
        f->EditRSlope->setText(QStringLiteral("1.5"));
        f->ReadROI();
        QCOMPARE(f->rescaleIntercept, -1024.0);
        QCOMPARE(f->rescaleSlope, 1.5);
        f->roiImage = {};
        f->EditroiSizeY->setText(QStringLiteral("x"));
        QVERIFY_THROWS_EXCEPTION(tarven::ConvertError, f->ReadROI());
        QCOMPARE(f->roiImage, roi(0, 0, 0, 0)); // nothing after the failing box
        QCOMPARE(f->matrixX, 512);             // what came before stays
    }

    // ---- the frame and its editing ----

    void frameDrawnByInversion()
    {
        load(512, 512, [](int, int) { return 600; }); // grey 128 everywhere
        f->CheckBoxROI->click();
        QCOMPARE(f->roiRect, QRect(QPoint(128, 128), QPoint(383, 383)));
        QCOMPARE(greyAt(f, 128, 128), 127); // dotted frame: inverted ...
        QCOMPARE(greyAt(f, 129, 128), 128); // ... every other pixel
        QCOMPARE(greyAt(f, 383, 383), 127);
        QCOMPARE(greyAt(f, 200, 200), 128);
        QVERIFY(!f->EditroiSizeX->isEnabled());
        QVERIFY(!f->EditroiSizeY->isEnabled());
        f->CheckBoxROI->click();
        QCOMPARE(greyAt(f, 128, 128), 128);
        QVERIFY(f->EditroiSizeX->isEnabled());
    }

    void cornerAndMoveDrags()
    {
        load(512, 512, [](int, int) { return 600; });
        setRoiBoxes(125, 135, 50, 50); // (100, 110) - (149, 159)
        f->CheckBoxROI->click();
        QCOMPARE(f->roiRect, QRect(QPoint(100, 110), QPoint(149, 159)));
        press(f->Image1, {90, 100});
        moveTo(f->Image1, {50, 60});
        QCOMPARE(f->EditroiSizeX->text(), QStringLiteral("100"));
        QCOMPARE(f->EditroiSizeY->text(), QStringLiteral("100"));
        QCOMPARE(f->EditroiPosX->text(), QStringLiteral("100"));
        QCOMPARE(f->EditroiPosY->text(), QStringLiteral("110"));
        release(f->Image1, {50, 60});
        QCOMPARE(f->roiRect, QRect(QPoint(50, 60), QPoint(149, 159)));
        QVERIFY(f->CheckBoxROI->isChecked());
        QCOMPARE(greyAt(f, 50, 60), 127); // drawn again over a fresh rendering

        for (int w : {10, 11}) {
            setRoiBoxes(50, 50, w, w);
            f->CheckBoxROI->click();
            f->CheckBoxROI->click();
            press(f->Image1, {50, 50});
            moveTo(f->Image1, {100, 100});
            QCOMPARE(f->roiRect.left(), 95);
            QCOMPARE(f->roiRect.right(), w == 10 ? 104 : 105);
            QCOMPARE(f->EditroiPosX->text(), QStringLiteral("100"));
            QCOMPARE(f->EditroiSizeX->text(), QString::number(w));
            release(f->Image1, {100, 100});
            QCOMPARE(f->roiRect.left(), 95);
        }

        // A press outside every grip changes nothing when the mouse moves.
        const QRect before = f->roiRect;
        press(f->Image1, {300, 50});
        moveTo(f->Image1, {310, 60});
        QCOMPARE(f->roiRect, before);
        release(f->Image1, {310, 60});
    }

    void sizeMenu()
    {
        load(512, 512, [](int, int) { return 600; });
        f->CheckBoxROI->click();
        const QImage shown = f->Image1->canvas().copy();
        const auto actions = f->PopupMenu1->actions();
        QCOMPARE(actions.size(), 7);
        actions[4]->trigger(); // "512"
        QCOMPARE(f->EditroiSizeX->text(), QStringLiteral("512"));
        QCOMPARE(f->EditroiSizeY->text(), QStringLiteral("512"));
        QCOMPARE(f->Image1->canvas(), shown);
        actions[0]->trigger();
        QCOMPARE(f->EditroiSizeY->text(), QStringLiteral("32"));
    }

    void backgroundClearing()
    {
        // Intercept -1024: 1184 (t = 160) is cleared, 1185 ends the walk.
        load(16, 4, [](int x, int) { return static_cast<std::uint16_t>(x == 12 ? 1185 : 1184); });
        f->EditRInterupt->setText(QStringLiteral("-1024"));
        setRoiBoxes(4, 1, 256, 256);
        f->roiRect = QRect(QPoint(0, 0), QPoint(15, 3)); // 16 x 4
        auto word = [this](int x, int y) {
            const std::size_t o = 2 * (std::size_t(y) * 16 + x);
            return f->imageData[o] | (f->imageData[o + 1] << 8);
        };
        TForm1::setRadioIndex(f->RadioGroupMode, 0); // " 8bit": nothing changes
        f->Image1DblClick();
        QCOMPARE(word(4, 2), 1184);
        TForm1::setRadioIndex(f->RadioGroupMode, 1);
        f->Image1DblClick();
        // Origin column 4, row 2; rows 2, 3 downward (the image ends there), row 1 upward.
        QCOMPARE(word(4, 2), 0);
        QCOMPARE(word(11, 2), 0);
        QCOMPARE(word(12, 2), 1185);
        QCOMPARE(word(13, 2), 1184);
        QCOMPARE(word(0, 3), 0);
        QCOMPARE(word(0, 1), 0);
        QCOMPARE(word(5, 0), 1184); // h div 2 - 1 = 1 row upward only
    }

    // ---- statistics ----

    void statistics()
    {
        load(512, 512, [](int x, int y) {
            if (x == 100 && y == 100) return 10;
            if (x == 101 && y == 100) return 20;
            if (x == 100 && y == 101) return 30;
            if (x == 101 && y == 101) return 40;
            return 0;
        });
        setRoiBoxes(101, 101, 2, 2);
        f->ButtonStat->click();
        QCOMPARE(f->roiImage, roi(100, 100, 2, 2));
        QCOMPARE(f->EditHSBP->text(), QStringLiteral("25"));
        QCOMPARE(f->EditVSBP->text(), QStringLiteral("11.1803398874989"));
        QCOMPARE(clipboard(), QStringLiteral("10\t20\r\n30\t40\r\n"));

        f->RadioButtonHist->click();
        f->ButtonStat->click();
        QCOMPARE(clipboard(), QStringLiteral("PixelValue\tCount\r\n10\t1\r\n20\t1\r\n30\t1\r\n40\t1\r\n"));
        QCOMPARE(f->graphBuffer.offset, 10);
        QCOMPARE(f->graphBuffer.first, 0);
        QCOMPARE(f->graphBuffer.last, 30);
        QCOMPARE(f->graphBuffer.title, QStringLiteral("histgram"));
        QCOMPARE(f->graphBuffer.values[10], 1);

        // "Pixel" leaves the histogram in the buffer but moves its offset.
        setRoiBoxes(101, 101, 1, 1);
        f->RadioButtonPixel->click();
        f->ButtonStat->click();
        QCOMPARE(clipboard(), QStringLiteral("40\r\n")); // left = rnd(101 - 0 - 256) + 256
        QCOMPARE(f->graphBuffer.offset, 40);
        QCOMPARE(f->graphBuffer.last, 30);
        QCOMPARE(f->graphBuffer.title, QStringLiteral("histgram"));

        // "Res.On" with intercept -1024.
        f->CheckBoxRes->setChecked(true);
        f->EditRInterupt->setText(QStringLiteral("-1024"));
        f->ButtonStat->click();
        QCOMPARE(f->EditHSBP->text(), QStringLiteral("-984"));
    }

    void statisticsOfBadRois()
    {
        load(512, 512, [](int x, int y) { return static_cast<std::uint16_t>(x + y); });
        setRoiBoxes(101, 101, 2, 2);
        f->ButtonStat->click();
        const QString before = clipboard();
        MessageCapture m;
        for (const auto& [w, h] : {std::pair{0, 2}, std::pair{2, 0}, std::pair{-4, 2}}) {
            setRoiBoxes(101, 101, w, h);
            f->ButtonStat->click();
        }
        QCOMPARE(m.messages, QStringList(3, QStringLiteral("0 による浮動小数点数除算")));
        QCOMPARE(clipboard(), before);
        QCOMPARE(f->EditHSBP->text(), QStringLiteral("201"));

        // Beyond the image: only the part inside counts. A 4 x 4 ROI centred
        // on the top-left corner covers pixels (0..1, 0..1): values 0, 1, 1, 2.
        m.messages.clear();
        setRoiBoxes(256 - 256, 256 - 256, 4, 4);
        f->EditrawPosX->setText(QStringLiteral("258"));
        f->EditrawPosY->setText(QStringLiteral("258"));
        f->ButtonStat->click();
        QCOMPARE(f->roiImage, roi(0, 0, 4, 4));
        setRoiBoxes(0, 0, 4, 4);
        f->EditrawPosX->setText(QStringLiteral("256"));
        f->EditrawPosY->setText(QStringLiteral("256"));
        f->ButtonStat->click();
        QCOMPARE(f->roiImage, roi(-2, -2, 4, 4));
        QCOMPARE(f->EditHSBP->text(), QStringLiteral("1"));
        QCOMPARE(clipboard(), QStringLiteral("0\t1\r\n1\t2\r\n"));
        // Wholly outside: the zero-sized ROI's error.
        setRoiBoxes(-600, 0, 4, 4);
        f->ButtonStat->click();
        QCOMPARE(m.messages, QStringList{QStringLiteral("0 による浮動小数点数除算")});
    }

    void histogramWiderThanTheGraphBuffer()
    {
        // Values -30000 and 30000: the clipboard lists both, the graph keeps
        // the minimum .. minimum + 50000.
        load(512, 512, [](int x, int) { return static_cast<std::uint16_t>(x % 2 ? 30000 : -30000); });
        setRoiBoxes(101, 101, 2, 2);
        f->RadioButtonHist->click();
        f->ButtonStat->click();
        QCOMPARE(clipboard(), QStringLiteral("PixelValue\tCount\r\n-30000\t2\r\n30000\t2\r\n"));
        QCOMPARE(f->graphBuffer.offset, -30000);
        QCOMPARE(f->graphBuffer.last, 50000);
        QCOMPARE(f->graphBuffer.values[0], 2);
        QCOMPARE(f->EditHSBP->text(), QStringLiteral("0"));
        QCOMPARE(f->EditVSBP->text(), QStringLiteral("30000"));
    }

    // ---- the line profile ----

    void profileBothDirections_data()
    {
        QTest::addColumn<QPoint>("start");
        QTest::addColumn<QPoint>("end");
        QTest::addColumn<QString>("dir");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QPoint>("onLine");
        QTest::newRow("-") << QPoint(100, 100) << QPoint(104, 104) << "-"
                           << "PixelValue\r\n0\r\n101\r\n202\r\n303\r\n404\r\n" << QPoint(102, 102);
        // "+" takes (4, 1) .. (0, 5) and lists them from the bottom row up.
        QTest::newRow("+") << QPoint(100, 104) << QPoint(104, 100) << "+"
                           << "PixelValue\r\n500\r\n401\r\n302\r\n203\r\n104\r\n" << QPoint(102, 103);
    }
    void profileBothDirections()
    {
        QFETCH(QPoint, start);
        QFETCH(QPoint, end);
        load(512, 512, rowColumn); // centre (256, 256), scale 1
        f->CheckBoxLine->click();
        QCOMPARE(f->LabelLine->text(), QStringLiteral("draw*"));
        QVERIFY(f->Image2->isVisible());
        press(f->Image2, start);
        QCOMPARE(f->LabelLine->text(), QStringLiteral("draw1"));
        moveTo(f->Image2, end);
        QTEST(f->lineDir, "dir");
        QCOMPARE(f->Shape1->geometry(), QRect(100, 100, 5, 5));
        QFETCH(QPoint, onLine);
        QCOMPARE(f->Image2->canvas().pixelColor(onLine), QColor(Qt::red));
        QCOMPARE(f->Image2->canvas().pixelColor(QPoint(300, 300)).alpha(), 0); // the image shows through
        release(f->Image2, end);
        QCOMPARE(f->LabelLine->text(), QStringLiteral("move"));

        // A right-button release on the box only redraws and sets "draw2".
        QApplication::clipboard()->setText(QStringLiteral("kept"));
        press(f->Shape1, {2, 2}, Qt::RightButton);
        release(f->Shape1, {2, 2}, Qt::RightButton);
        QCOMPARE(f->LabelLine->text(), QStringLiteral("draw2"));
        QCOMPARE(clipboard(), QStringLiteral("kept"));
        release(f->Image2, end);

        press(f->Shape1, {2, 2});
        release(f->Shape1, {2, 2});
        QTEST(clipboard(), "text");
        QCOMPARE(f->LabelLine->text(), QStringLiteral("draw2"));
        QCOMPARE(f->graphBuffer.first, 1);
        QCOMPARE(f->graphBuffer.last, 5);
        QCOMPARE(f->graphBuffer.offset, 0);
        QCOMPARE(f->graphBuffer.title, QStringLiteral("profile"));
    }

    void profileDragAndEdges()
    {
        load(512, 512, rowColumn);
        f->CheckBoxLine->click();
        press(f->Image2, {100, 100});
        moveTo(f->Image2, {104, 102}); // "-", 5 x 3
        release(f->Image2, {104, 102});
        // Grab the box and move its centre to (200, 300) of the display.
        press(f->Shape1, {1, 1});
        moveTo(f->Shape1, QPoint(200, 300) - f->Shape1->pos() + QPoint(5 / 2, 3 / 2) - QPoint(2, 1));
        QCOMPARE(f->Shape1->geometry(), QRect(198, 299, 5, 3));
        release(f->Shape1, {1, 1});
        // 5 wide, 3 high: rows rnd(0.6 j) = 0, 1, 1, 2, 2 from (198, 299), in
        // scanning order.
        QCOMPARE(clipboard(), QStringLiteral("PixelValue\r\n9998\r\n99\r\n0\r\n101\r\n102\r\n"));
        QCOMPARE(f->graphBuffer.last, 5);
        QCOMPARE(f->graphBuffer.values[1], 9998);
        QCOMPARE(f->graphBuffer.values[5], 102);
        QCOMPARE(f->graphBuffer.values[6], 0);

        // Moved half off the image's left edge: only the pixels inside.
        // Display x -2 .. 2 at scale 1, centre (256, 256): image columns -2 .. 2 of row 256.
        f->lineBox = QRect(-2, 256, 5, 0);
        f->takeProfile();
        QCOMPARE(clipboard(), QStringLiteral("PixelValue\r\n5600\r\n5601\r\n5602\r\n"));
        QCOMPARE(f->graphBuffer.last, 3);

        // A huge zoom code makes the box far wider than the image: the
        // profile is the part over the image (row 256 from column 256 on).
        f->EditMF->setText(QStringLiteral("100000000"));
        f->lineBox = QRect(256, 256, 5, 0);
        f->takeProfile();
        QCOMPARE(f->graphBuffer.last, 256);
        QCOMPARE(f->graphBuffer.values[1], 5656);
        QCOMPARE(f->graphBuffer.values[256], 5611);
    }

    void releaseBeforeAnyLineTakesNoProfile()
    {
        // A click on the start picture, before any load: state "move".
        press(f->Image0, {10, 10});
        release(f->Image0, {10, 10});
        QCOMPARE(f->LabelLine->text(), QStringLiteral("move"));
        f->CheckBoxLine->click(); // does nothing until "PAN" is checked
        QCOMPARE(f->LabelLine->text(), QStringLiteral("move"));
        QApplication::clipboard()->setText(QStringLiteral("kept"));
        f->Shape1MouseUp({Qt::LeftButton, Qt::NoButton, Qt::NoModifier, 0, 0});
        QCOMPARE(clipboard(), QStringLiteral("kept"));
        QCOMPARE(f->graphBuffer.title, QString());
    }

    void checkingOneModeEndsTheOthers()
    {
        load(512, 512, rowColumn);
        f->CheckBoxLine->click();
        f->CheckBoxROI->click();
        QVERIFY(!f->CheckBoxLine->isChecked());
        QCOMPARE(f->LabelLine->text(), QString());
        f->CheckBoxLine->click();
        QVERIFY(!f->CheckBoxROI->isChecked());
        f->RadioButtonPAN->click();
        QVERIFY(!f->CheckBoxLine->isChecked());
        QVERIFY(!f->Image2->isVisible());
        f->CheckBoxLine->click();
        QVERIFY(!f->RadioButtonPAN->isChecked());
    }
};

QTEST_MAIN(TestInteractionRoi)
#include "tst_interaction_roi.moc"
