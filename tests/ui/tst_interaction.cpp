// The window controls, zoom, pan and offset stepping of the main window,
// driven through their controls.
#include "app/form1.h"
#include "app/startup.h"
#include "platform/imagecontrol.h"
#include "support/driver.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QtTest>

using namespace tarven::test;

namespace {
void mouse(QWidget* w, QEvent::Type type, Qt::MouseButton button, QPoint p, Qt::MouseButtons held)
{
    QMouseEvent e(type, QPointF(p), w->mapToGlobal(QPointF(p)), button, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void press(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton) { mouse(w, QEvent::MouseButtonPress, b, p, b); }
void moveTo(QWidget* w, QPoint p, Qt::MouseButtons held) { mouse(w, QEvent::MouseMove, Qt::NoButton, p, held); }
void release(QWidget* w, QPoint p, Qt::MouseButton b = Qt::LeftButton)
{
    mouse(w, QEvent::MouseButtonRelease, b, p, Qt::NoButton);
}
} // namespace

class TestInteraction : public QObject {
    Q_OBJECT
private:
    TForm1* f = nullptr;
    QTemporaryDir tmp;
    int renders = 0;

    void load(int cols, int rows, const std::function<std::uint16_t(int, int)>& pixel, int header = 0)
    {
        TForm1::setRadioIndex(f->RadioGroupMode, 1);
        const QString path =
            writeRaw(QDir(tmp.path()), QStringLiteral("i%1x%2.raw").arg(cols).arg(rows), cols, rows, header, pixel);
        auto a = answerNextInput(QStringLiteral("%1 %2").arg(cols).arg(rows));
        f->dropFiles({path});
        QVERIFY(a->seen);
    }
    std::vector<std::uint16_t> words() const
    {
        std::vector<std::uint16_t> w;
        for (std::size_t i = 0; i + 1 < f->imageData.size(); i += 2)
            w.push_back(static_cast<std::uint16_t>(f->imageData[i] | (f->imageData[i + 1] << 8)));
        return w;
    }

private slots:
    void initTestCase() { qputenv("TARVEN_PRESET_DIR", QFile::encodeName(tmp.path())); }
    void init()
    {
        f = startWindows();
        QVERIFY(f);
    }
    void cleanup() { tarven::destroyWindows(); }

    // ---- window ----

    void autoWindow_data()
    {
        QTest::addColumn<int>("cols");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("photometric");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("level");
        QTest::newRow("flat") << 64 << 0 << "" << "4" << "1000";
        QTest::newRow("995..1005 in a bright block") << 512 << 1 << "" << "44" << "1000";
        QTest::newRow("1024 x 1024, 0..4095") << 1024 << 2 << "" << "4095" << "2047";
        QTest::newRow("MONOCHROME1 flat") << 64 << 0 << "MONOCHROME1 " << "1000" << "1000"; // width = high
    }
    void autoWindow()
    {
        QFETCH(int, cols);
        QFETCH(int, kind);
        QFETCH(QString, photometric);
        load(cols, cols, [kind](int x, int y) -> std::uint16_t {
            if (kind == 0)
                return 1000;
            if (kind == 2)
                return static_cast<std::uint16_t>((x * 4 + y) % 4096);
            if (x < 200 || x >= 300 || y < 200 || y >= 300)
                return 0;
            const int k = (x * 7 + y) % 12;
            return static_cast<std::uint16_t>(k == 11 ? 1000 : 995 + k);
        });
        f->photometric = photometric;
        f->ButtonAutoWL->click();
        QTEST(f->EditLLVL->text(), "width");
        QTEST(f->EditULVL2->text(), "level");
        // The display shows the new window: a flat image at its level is grey 128.
        if (kind == 0 && photometric.isEmpty())
            QCOMPARE(greyAt(f, 256, 256), 128);
    }

    void autoWindowStopsOnABadBox()
    {
        load(64, 64, [](int, int) { return 5; });
        MessageCapture m;
        f->EditRSlope->setText(QStringLiteral("a"));
        f->ButtonAutoWL->click();
        QCOMPARE(m.messages, QStringList{QStringLiteral("'a' は浮動小数点数ではありません")});
        QCOMPARE(f->EditLLVL->text(), QStringLiteral("600"));
    }

    void rightDragWithRange()
    {
        load(512, 512, [](int x, int) { return static_cast<std::uint16_t>(x); });
        TForm1::setRadioIndex(f->RadioGroupRange, 2); // "10"
        press(f->Image1, {100, 100}, Qt::RightButton);
        moveTo(f->Image1, {105, 98}, Qt::RightButton);
        QCOMPARE(f->EditLLVL->text(), QStringLiteral("650"));
        QCOMPARE(f->EditULVL2->text(), QStringLiteral("580"));
        moveTo(f->Image1, {106, 98}, Qt::RightButton); // from the new anchor
        QCOMPARE(f->EditLLVL->text(), QStringLiteral("660"));
        release(f->Image1, {106, 98}, Qt::RightButton);
        moveTo(f->Image1, {200, 200}, Qt::NoButton); // released: no more change
        QCOMPARE(f->EditLLVL->text(), QStringLiteral("660"));
        // Level 580, width 660 on pixel 580 (column 580 is off the display):
        // column 256 has value 256 -> round((256 - 580) * 256 / 660) + 128 = 2.
        QCOMPARE(greyAt(f, 256, 10), 2);

        // A bad width stops the drag before anything is written.
        MessageCapture m;
        f->EditLLVL->setText(QStringLiteral("w"));
        press(f->Image1, {10, 10}, Qt::RightButton);
        moveTo(f->Image1, {20, 20}, Qt::RightButton);
        QCOMPARE(f->EditULVL2->text(), QStringLiteral("580"));
        QCOMPARE(m.messages.size(), 1);

        // A zoom code that is not a number stops every move first.
        release(f->Image1, {20, 20}, Qt::RightButton);
        f->EditLLVL->setText(QStringLiteral("660"));
        f->EditMF->setText(QStringLiteral("z"));
        m.messages.clear();
        press(f->Image1, {10, 10}, Qt::RightButton);
        moveTo(f->Image1, {20, 20}, Qt::RightButton);
        QCOMPARE(f->EditLLVL->text(), QStringLiteral("660"));
        QCOMPARE(f->EditULVL2->text(), QStringLiteral("580"));
        QCOMPARE(m.messages, QStringList{QStringLiteral("'z' は浮動小数点数ではありません")});
    }

    void checkBoxesRender()
    {
        load(64, 64, [](int, int) { return 600; });
        QCOMPARE(greyAt(f, 256, 256), 128);
        f->CheckBoxInvrt->click();
        QCOMPARE(greyAt(f, 256, 256), 127);
        // "Swap" on page "-a-" only changes what the next rendering reads.
        f->CheckBoxSwp->click();
        QCOMPARE(greyAt(f, 256, 256), 127);
        f->CheckBoxSwp1->click(); // renders: 600 = 0x0258 reads as 0x5802
        QCOMPARE(greyAt(f, 256, 256), 0);

        f->CheckBoxWide->click();
        QCOMPARE(f->DBGrid1->geometry(), QRect(200, f->DBGrid1->y(), 493, 210));
        f->CheckBoxWide->click();
        QCOMPARE(f->DBGrid1->geometry(), QRect(520, f->DBGrid1->y(), 193, 105));
    }

    void flips()
    {
        load(5, 2, [](int x, int y) { return static_cast<std::uint16_t>(0x0100 * y + x + 1); });
        const auto loaded = words();
        f->ButtonRL->click();
        QCOMPARE(words(), (std::vector<std::uint16_t>{5, 4, 3, 2, 1, 0x105, 0x104, 0x103, 0x102, 0x101}));
        f->ButtonUD->click();
        QCOMPARE(words(), (std::vector<std::uint16_t>{0x105, 0x104, 0x103, 0x102, 0x101, 5, 4, 3, 2, 1}));
        f->ButtonRL->click();
        f->ButtonUD->click();
        QCOMPARE(words(), loaded);
        // A header beyond the data: nothing outside is touched, nothing moves.
        f->EditHeader->setText(QStringLiteral("18"));
        f->ButtonRL->click();
        f->ButtonUD->click();
        QCOMPARE(words(), loaded);
    }

    // ---- zoom ----

    void zoomButtons_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("minus");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("percent");
        QTest::newRow("1 -") << "1" << true << "2" << "50";
        QTest::newRow("2 -") << "2" << true << "3" << "33";
        QTest::newRow("5 -") << "5" << true << "6" << "17";
        QTest::newRow("7 -") << "7" << true << "8" << "12";
        QTest::newRow("15 -") << "15" << true << "16" << "6";
        QTest::newRow("17 -") << "17" << true << "17" << "6"; // no change: the percentage stays
        QTest::newRow("1 +") << "1" << false << "-1" << "100";
        QTest::newRow("-1 -") << "-1" << true << "1" << "100";
        QTest::newRow("-3 +") << "-3" << false << "-4" << "400";
        QTest::newRow("-17 +") << "-17" << false << "-17" << "1700";
    }
    void zoomButtons()
    {
        QFETCH(QString, from);
        QFETCH(bool, minus);
        load(512, 512, [](int, int) { return 0; });
        f->RadioButtonZOOM->click();
        f->EditMF->setText(from);
        (minus ? f->ButtonIncMag : f->ButtonDecMAg)->click();
        QTEST(f->EditMF->text(), "code");
        QTEST(f->EditMF2->text(), "percent");
    }

    void zoomWithoutZoomModeOnlyChangesTheCode()
    {
        load(512, 512, [](int, int) { return 0; });
        f->ButtonIncMag->click();
        QCOMPARE(f->EditMF->text(), QStringLiteral("2"));
        QCOMPARE(f->EditMF2->text(), QStringLiteral("100"));
    }

    void narrowImageKeepsTheShownMagnification()
    {
        // 256 columns enlarged by code -1: the display shows 200 %, and the
        // two writers of EditMF2 do not drive each other.
        load(256, 256, [](int, int) { return 0; });
        f->RadioButtonZOOM->click();
        int changes = 0;
        connect(f->EditMF2, &QLineEdit::textChanged, f, [&changes] { ++changes; });
        f->ButtonDecMAg->click();
        QCOMPARE(f->EditMF->text(), QStringLiteral("-1"));
        QCOMPARE(f->EditMF2->text(), QStringLiteral("200"));
        QVERIFY(changes < 10);
        // Typing into the percentage has no lasting effect.
        f->EditMF2->setText(QStringLiteral("123"));
        QCOMPARE(f->EditMF2->text(), QStringLiteral("200"));
        f->ButtonDecMAg->click();
        QCOMPARE(f->EditMF2->text(), QStringLiteral("400"));
    }

    // ---- pan ----

    void panSteps_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("wantX");
        QTest::newRow("code 2, 10 right") << "2" << 10 << 1004;
        QTest::newRow("code 1: one pixel per move") << "1" << 10 << 1023;
        QTest::newRow("code -2: one pixel per move") << "-2" << -7 << 1025;
    }
    void panSteps()
    {
        QFETCH(QString, code);
        QFETCH(int, dx);
        load(2048, 2048, [](int, int) { return 0; });
        f->EditMF->setText(code);
        f->ButtonDisp->click();
        QCOMPARE(f->EditrawPosX->text(), QStringLiteral("1024"));
        f->RadioButtonPAN->click();
        press(f->Image1, {200, 200});
        moveTo(f->Image1, {200 + dx, 200}, Qt::LeftButton);
        QTEST(f->EditrawPosX->text().toInt(), "wantX");
        QCOMPARE(f->EditrawPosY->text(), QStringLiteral("1024"));
        release(f->Image1, {200 + dx, 200});
        moveTo(f->Image1, {300, 300}, Qt::NoButton);
        QTEST(f->EditrawPosX->text().toInt(), "wantX");
    }

    void zoomModeDoesNotPan()
    {
        load(1024, 1024, [](int, int) { return 0; });
        f->RadioButtonZOOM->click();
        const QString x = f->EditrawPosX->text();
        press(f->Image1, {200, 200});
        moveTo(f->Image1, {230, 200}, Qt::LeftButton);
        release(f->Image1, {230, 200});
        QCOMPARE(f->EditrawPosX->text(), x);
    }

    void panStopsAtTheBorder()
    {
        load(2048, 2048, [](int, int) { return 0; });
        f->EditMF->setText(QStringLiteral("2"));
        f->RadioButtonPAN->click();
        press(f->Image1, {100, 100});
        moveTo(f->Image1, {400, 100}, Qt::LeftButton); // 600 image pixels to the left of 1024
        QCOMPARE(f->EditrawPosX->text(), QStringLiteral("512")); // clamped by the renderer
        release(f->Image1, {400, 100});
    }

    // ---- offsets ----

    void offsetSteps_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("header");
        QTest::newRow("16bit frame U") << 1 << "ButtonFUp" << "524288";
        QTest::newRow("16bit frame D") << 1 << "ButtonFDown" << "-524288";
        QTest::newRow("DICOM row U") << 2 << "ButtonYUp" << "2048";
        QTest::newRow("DICOM row D") << 2 << "ButtonYDown" << "-2048";
        QTest::newRow("DICOM pixel L") << 2 << "ButtonXUp" << "4";
        QTest::newRow("16bit pixel R") << 1 << "Button4" << "-2";
        QTest::newRow("8bit pixel L") << 0 << "ButtonXUp" << "0";
        QTest::newRow("8bit row U") << 0 << "ButtonYUp" << "0";
        QTest::newRow("8bit frame D") << 0 << "ButtonFDown" << "0";
        QTest::newRow("8bit pixel R") << 0 << "Button4" << "-2";
    }
    void offsetSteps()
    {
        QFETCH(int, mode);
        QFETCH(QString, button);
        // A header keeps the file size from looking like a header (which the
        // renderer would replace).
        load(512, 512, [](int x, int) { return static_cast<std::uint16_t>(x); }, 100);
        f->EditHeader->setText(QStringLiteral("0"));
        TForm1::setRadioIndex(f->RadioGroupMode, mode);
        f->EditLLVL->setText(QStringLiteral("1000"));
        f->EditULVL2->setText(QStringLiteral("500"));
        auto* b = child<QPushButton>(f, button.toLatin1().constData());
        QVERIFY(b);
        // Every button redisplays, also when the offset stays.
        QImage before = f->Image1->canvas().copy();
        b->click();
        QTEST(f->EditHeader->text(), "header");
        QVERIFY(f->Image1->canvas() != before);
    }

    void frameStepThereAndBack()
    {
        load(512, 512, [](int, int) { return 0; }, 100);
        f->EditHeader->setText(QStringLiteral("0"));
        f->ButtonFUp->click();
        QCOMPARE(f->EditHeader->text(), QStringLiteral("524288"));
        f->ButtonFDown->click();
        QCOMPARE(f->EditHeader->text(), QStringLiteral("0"));
        MessageCapture m;
        f->EditrawSizeX->setText(QStringLiteral("x"));
        f->Button4->click();
        QCOMPARE(f->EditHeader->text(), QStringLiteral("0"));
        QCOMPARE(m.messages, QStringList{QStringLiteral("'x' は整数ではありません")});
    }
};

QTEST_MAIN(TestInteraction)
#include "tst_interaction.moc"
