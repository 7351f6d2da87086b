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
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

using namespace tarven::test;

using Roi4 = std::array<std::int32_t, 4>;
Q_DECLARE_METATYPE(Roi4)

namespace {
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
};

QTEST_MAIN(TestInteractionRoi)
#include "tst_interaction_roi.moc"
