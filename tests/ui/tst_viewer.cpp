// The viewer spine through the real windows: start-up state and layout,
// loading raw files by drop and dialog, the matrix dialog, the grey window.
#include "app/form1.h"
#include "app/startup.h"
#include "platform/guard.h"
#include "platform/imagecontrol.h"
#include "support/driver.h"

#include <QCheckBox>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QtTest>

using namespace tarven::test;

class TestViewer : public QObject {
    Q_OBJECT
private:
    TForm1* f = nullptr;
    QTemporaryDir tmp;

    QDir dir() const { return QDir(tmp.path()); }
    void setMode(int item) { TForm1::setRadioIndex(f->RadioGroupMode, item); }
    // Drops a file on the main window and answers the matrix dialog.
    std::shared_ptr<InputAnswer> drop(const QString& path, const QString& answer = QString())
    {
        auto a = answerNextInput(answer);
        tarven::guarded(f, [&] { f->dropFiles({path}); }); // as the window's drop handler runs it
        return a;
    }
    void render(const QString& width, const QString& level, bool invert = false)
    {
        f->EditLLVL->setText(width);
        f->EditULVL2->setText(level);
        f->CheckBoxInvrt->blockSignals(true);
        f->CheckBoxInvrt->setChecked(invert);
        f->CheckBoxInvrt->blockSignals(false);
        f->ButtonDisp->click();
    }

private slots:
    void init()
    {
        f = startWindows();
        QVERIFY(f);
        setMode(1); // "16bit"
    }
    void cleanup() { tarven::destroyWindows(); }

    void startUpState()
    {
        QCOMPARE(f->windowTitle(), QStringLiteral("DICOM Viewer TARVEN Ver.1.0.a"));
        QCOMPARE(f->size(), QSize(795, 731));
        QCOMPARE(f->minimumSize(), f->maximumSize()); // not resizable
        QCOMPARE(f->pos(), QPoint(51, 20));
        QCOMPARE(f->EditLLVL->text(), QStringLiteral("600"));
        QCOMPARE(f->EditULVL2->text(), QStringLiteral("600"));
        QVERIFY(!f->RadioButtonPAN->isChecked());
        QVERIFY(!f->RadioButtonZOOM->isChecked());
        QVERIFY(f->Image2->isHidden());
        QVERIFY(f->Shape1->isHidden());
        QVERIFY(f->Image1->isHidden());
        QVERIFY(!f->Image0->isHidden());
        QVERIFY(f->acceptDrops());
        setMode(2);
        tarven::destroyWindows();
        f = startWindows();
        QCOMPARE(TForm1::radioIndex(f->RadioGroupMode), 2); // "DICOM" at start
        QCOMPARE(TForm1::radioIndex(f->RadioGroupRange), 1);
        const QStringList headings = {"No", "Grou", "Elem", "VR", "LengVR", "Data", "Name"};
        for (int c = 0; c < 7; ++c)
            QCOMPARE(f->StringGridDTag->item(0, c)->text(), headings[c]);
        QVERIFY(!f->StringGridDTag->item(1, 0));

        // The five windows, in their order, the others hidden.
        const char* names[] = {"Form1", "Form2", "Form3", "Form4", "Form5"};
        for (const char* n : names)
            QVERIFY2(topLevel(QString::fromLatin1(n)), n);
        QVERIFY(topLevel("Form2")->isHidden());
        QVERIFY(topLevel("Form5")->isHidden());
    }

    void controlsHaveTheirNamesCaptionsAndGeometry_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("geometry");
        QTest::addColumn<QString>("text");
        auto row = [](const char* n, QRect g, const char* t) { QTest::newRow(n) << QString::fromLatin1(n) << g << QString::fromLatin1(t); };
        row("EditPathFileName", {3, 1, 782, 20}, "FileName");
        row("Panel1", {1, 23, 513, 25}, "");
        row("Image3", {272, 0, 105, 25}, "");
        row("ScrollBox1", {0, 48, 512, 512}, "");
        row("Panel4", {0, 562, 515, 27}, "");
        row("Memo1", {520, 24, 265, 97}, "");
        row("DBGrid1", {520, 27, 265, 94}, "");
        row("PageControl1", {520, 144, 193, 357}, "");
        row("Panel5", {718, 155, 70, 230}, "");
        row("Panel3", {718, 386, 71, 127}, "");
        row("Panel2", {519, 502, 195, 88}, "");
        row("BitBtn1", {726, 516, 61, 50}, "Close");
        row("Memo_ermnt", {7, 610, 512, 82}, "");
        row("StringGridDTag", {0, 591, 793, 105}, "");
        row("ButtonWLRst", {124, 19, 17, 17}, "");
        const char* captions[][2] = {
            {"RadioButtonPAN", "PAN"}, {"RadioButtonZOOM", "ZOOM"}, {"ButtonIncMag", "-"}, {"EditMF", "1"},
            {"EditMF2", "100"}, {"ButtonDecMAg", "+"}, {"CheckBoxLine", "Line"}, {"CheckBoxROI", "ROI"},
            {"RadioButtonPixel", "Pixel"}, {"RadioButtonHist", "Hist"}, {"ButtonStat", "Ave/SD"},
            {"CheckBoxWLock", "Lock"}, {"BitBtn2", "Load"}, {"ButtonAutoWL", "AutoW"}, {"ButtonToTable", "CalMTF"},
            {"ButtonCalWS", "CalWS"}, {"Button2", "Graph"}, {"BitBtnSave", "Save"}, {"ButtonSAVE_DICOMtag", "S_DICOM"},
            {"ButtonSaveROI", "SaveROI"}, {"ButtonSaveBMP", "SaveBMP"}, {"CheckBoxInvrt", "Invert"},
            {"ButtonDisp", "Disp"}, {"CheckBoxSwp", "Swap"}, {"CheckBoxSwp1", "Swap"}, {"CheckBoxSign", "Sign"},
            {"CheckBoxRes", "Res.On"}, {"ButtonRL", "R/L"}, {"ButtonUD", "U/D"}, {"ButtonFUp", "U"},
            {"ButtonFDown", "D"}, {"ButtonYUp", "U"}, {"ButtonYDown", "D"}, {"ButtonXUp", "L"}, {"Button4", "R"},
            {"ButtonLoadBMP", "LoadBMP"}, {"EditFileName", "FileName"}, {"EditFileSize", "0"}, {"EditHeader", "0"},
            {"EditrawSizeX", "0"}, {"EditrawSizeY", "0"}, {"EditRInterupt", "0"}, {"EditRSlope", "1"},
            {"EditPixelSpacing", "0"}, {"EditFOV", "0"}, {"EditroiSizeX", "0"}, {"EditrawPosX", ""},
            {"EditroiPosX", ""}, {"Label10", ">"},
        };
        for (auto& c : captions)
            QTest::newRow(c[0]) << QString::fromLatin1(c[0]) << QRect() << QString::fromUtf8(c[1]);
    }
    void controlsHaveTheirNamesCaptionsAndGeometry()
    {
        QFETCH(QString, name);
        QFETCH(QRect, geometry);
        QFETCH(QString, text);
        auto* w = f->findChild<QWidget*>(name);
        QVERIFY2(w, qPrintable(name));
        if (!geometry.isNull())
            QCOMPARE(w->geometry(), geometry);
        const QVariant t = w->property("text");
        if (t.isValid())
            QCOMPARE(t.toString(), text);
    }

    void radioGroupsListTheirItems()
    {
        auto items = [](QGroupBox* g) {
            QStringList out;
            for (auto* b : g->findChildren<QRadioButton*>(QString(), Qt::FindDirectChildrenOnly))
                out << b->text();
            return out;
        };
        QCOMPARE(items(f->RadioGroupMode), (QStringList{" 8bit", "16bit", "DICOM"}));
        QCOMPARE(items(f->RadioGroupRange), (QStringList{"1", "3", "10", "30"}));
        QCOMPARE(f->RadioGroupRange->title(), QStringLiteral("Range"));
        QCOMPARE(f->PageControl1->tabText(0), QStringLiteral("-a-"));
        QCOMPARE(f->PageControl1->tabText(1), QStringLiteral("-b-"));
    }

    void aboutWindowOpensFromTheLogo()
    {
        auto* about = qobject_cast<QDialog*>(topLevel("Form5"));
        QVERIFY(about);
        QCOMPARE(about->windowTitle(), QStringLiteral("TARVEN TEAM"));
        QCOMPARE(about->size(), QSize(405, 362));
        QStringList labels;
        for (auto* l : about->findChildren<QLabel*>())
            labels << l->text();
        for (const char* t : {"DICOM", "Viewer", "Version 1.0.a", "Public", "domain", "software"})
            QVERIFY2(labels.contains(QString::fromLatin1(t)), t);
        auto seen = closeNextModal("TForm5");
        QTest::mouseClick(f->Image3, Qt::LeftButton, {}, QPoint(10, 10));
        QVERIFY(*seen);
    }

    void dropLoadsARawFileWithItsHeader()
    {
        // 512 x 512 behind a 2048-byte header; a few pixels with known values.
        const QString path = writeRaw(dir(), "a.raw", 512, 512, 2048, [](int x, int y) -> std::uint16_t {
            if (y == 256 && x == 256)
                return 600;
            if (y == 256 && x == 257)
                return 900;
            if (y == 256 && x == 258)
                return 300;
            return 0;
        });
        auto a = drop(path);
        QVERIFY(a->seen);
        QCOMPARE(a->prompt, QStringLiteral("Matrix Size"));
        QCOMPARE(a->proposal, QStringLiteral("512 512"));
        QCOMPARE(f->EditHeader->text(), QStringLiteral("2048"));
        QCOMPARE(f->EditrawSizeX->text(), QStringLiteral("512"));
        QCOMPARE(f->EditrawSizeY->text(), QStringLiteral("512"));
        QCOMPARE(f->EditFileSize->text(), QStringLiteral("526336"));
        QCOMPARE(f->EditFileName->text(), QStringLiteral("a.raw"));
        QCOMPARE(f->EditPathFileName->text(), path);
        for (auto* box : {f->EditroiPosX, f->EditroiPosY, f->EditroiSizeX, f->EditroiSizeY})
            QCOMPARE(box->text(), QStringLiteral("256"));
        QCOMPARE(f->EditrawPosX->text(), QStringLiteral("256"));
        QCOMPARE(f->EditrawPosY->text(), QStringLiteral("256"));
        QCOMPARE(f->EditRSlope->text(), QStringLiteral("1"));
        QCOMPARE(f->EditPixelSpacing->text(), QString());
        QVERIFY(f->Image0->isHidden());
        QVERIFY(!f->Image1->isHidden());
        // W = 600, L = 600 (the start-up window).
        QCOMPARE(greyAt(f, 256, 256), 128);
        QCOMPARE(greyAt(f, 257, 256), 255);
        QCOMPARE(greyAt(f, 258, 256), 0);
        // What is painted is what the canvas holds.
        const QImage shown = f->Image1->grab().toImage();
        QCOMPARE(shown.pixelColor(256, 256).red(), 128);
        QCOMPARE(shown.pixelColor(257, 256).red(), 255);
    }

    void greyWindow_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("level");
        QTest::addColumn<bool>("invert");
        QTest::addColumn<int>("grey");
        QTest::newRow("W600 L600 at level") << 600 << "600" << "600" << false << 128;
        QTest::newRow("W600 L600 above") << 900 << "600" << "600" << false << 255;
        QTest::newRow("W512 L0 raw 1: round(0.5)=0") << 1 << "512" << "0" << false << 128;
        QTest::newRow("W512 L0 raw 3: round(1.5)=2") << 3 << "512" << "0" << false << 130;
        QTest::newRow("reversed") << 900 << "-600" << "600" << false << 0;
        QTest::newRow("L-10000 wraps") << 30000 << "600" << "-10000" << false << 0;
        QTest::newRow("invert at level") << 600 << "600" << "600" << true << 127;
        QTest::newRow("signed: 0xFFFF is -1") << 0xFFFF << "600" << "0" << false << 128;
    }
    void greyWindow()
    {
        QFETCH(int, raw);
        QFETCH(QString, width);
        QFETCH(QString, level);
        QFETCH(bool, invert);
        QFETCH(int, grey);
        drop(writeRaw(dir(), "g.raw", 512, 512, 0, [raw](int, int) { return static_cast<std::uint16_t>(raw); }));
        render(width, level, invert);
        QCOMPARE(greyAt(f, 100, 100), grey);
        QCOMPARE(greyAt(f, 511, 511), grey);
    }

    void typingAWidthChangesNothingUntilTheNextRender()
    {
        drop(writeRaw(dir(), "t.raw", 512, 512, 0, [](int, int) { return std::uint16_t(900); }));
        QCOMPARE(greyAt(f, 10, 10), 255);
        f->EditLLVL->setText(QStringLiteral("2000"));
        QCOMPARE(greyAt(f, 10, 10), 255);
        f->ButtonDisp->click();
        QCOMPARE(greyAt(f, 10, 10), 166); // 128 + round(300 * 0.128)
    }

    void smallImageUnscaledAndEnlarged()
    {
        // 256 x 256 with pixel value x + y, window W 512 L 256 so grey = 128 + round((v - 256) / 2).
        drop(writeRaw(dir(), "s.raw", 256, 256, 0, [](int x, int y) { return static_cast<std::uint16_t>(x + y); }));
        render("512", "256");
        QCOMPARE(greyAt(f, 127, 127), 255); // white around the image
        QCOMPARE(greyAt(f, 128, 128), 0);   // image (0,0): 128 - 128
        QCOMPARE(greyAt(f, 383, 383), 255);
        QCOMPARE(greyAt(f, 128 + 255, 128), 128); // v = 255: 128 + round(-0.5), ties to even
        QCOMPARE(greyAt(f, 128 + 253, 128), 126); // v = 253: 128 + round(-1.5)
        f->EditMF->setText(QStringLiteral("-1"));
        f->ButtonDisp->click();
        QCOMPARE(f->EditMF2->text(), QStringLiteral("200"));
        QCOMPARE(greyAt(f, 0, 0), 0);     // image (0, 0) stretched twice
        QCOMPARE(greyAt(f, 1, 1), 0);
        QCOMPARE(greyAt(f, 2, 0), greyAt(f, 3, 1));
        QCOMPARE(greyAt(f, 510, 510), 255); // image (255, 255): v = 510
        QCOMPARE(greyAt(f, 200, 0), 128 + qRound((100 - 256) / 2.0 - 0.0001)); // v = 100 -> -78 -> 50
        for (int i = 0; i < 512; i += 51) {
            QCOMPARE(greyAt(f, 511, i), 255);
            QCOMPARE(greyAt(f, i, 511), 255);
        }
    }

    void reduceAndClampTheViewCentre()
    {
        drop(writeRaw(dir(), "k.raw", 1024, 1024, 0, [](int x, int) { return static_cast<std::uint16_t>(x & 1 ? 900 : 300); }));
        f->EditMF->setText(QStringLiteral("2"));
        f->EditrawPosX->setText(QStringLiteral("0"));
        f->EditrawPosY->setText(QStringLiteral("0"));
        f->ButtonDisp->click();
        QCOMPARE(f->EditrawPosX->text(), QStringLiteral("512"));
        QCOMPARE(f->EditrawPosY->text(), QStringLiteral("512"));
        // Every second pixel: only the even columns (300 -> black) are shown.
        for (int x = 0; x < 512; x += 31)
            QCOMPARE(greyAt(f, x, 300), 0);

        drop(writeRaw(dir(), "r.raw", 512, 511, 0, [](int, int y) { return static_cast<std::uint16_t>(y == 510 ? 300 : 600); }), "512 511");
        QCOMPARE(f->EditrawPosY->text(), QStringLiteral("255")); // the block is rows 0..510
        QCOMPARE(greyAt(f, 5, 0), 128);   // (512 - 511) div 2 = 0: image row 0 at the top
        QCOMPARE(greyAt(f, 5, 510), 0);   // image row 510
        QCOMPARE(greyAt(f, 5, 511), 255); // display background
    }

    void dropOfSeveralFilesLoadsTheLast()
    {
        const QString a = writeRaw(dir(), "one.raw", 64, 64, 0, [](int, int) { return std::uint16_t(1); });
        const QString b = writeRaw(dir(), "two.raw", 64, 64, 0, [](int, int) { return std::uint16_t(2); });
        const QString c = writeRaw(dir(), "three.raw", 128, 128, 0, [](int, int) { return std::uint16_t(3); });
        auto answer = answerNextInput();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(a), QUrl::fromLocalFile(b), QUrl::fromLocalFile(c)});
        QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent ev(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(f, &ev);
        QVERIFY(answer->seen);
        QCOMPARE(f->EditFileName->text(), QStringLiteral("three.raw"));
        QCOMPARE(f->EditrawSizeX->text(), QStringLiteral("128"));
    }

    void loadButtonUsesTheOpenDialog()
    {
        const QString path = writeRaw(dir(), "d.raw", 256, 256, 100, [](int, int) { return std::uint16_t(600); });
        MessageCapture messages;
        auto chosen = answerNextFileDialog(path);
        auto matrix = answerNextInput();
        f->BitBtn2->click();
        QVERIFY(chosen->seen);
        QCOMPARE(messages.messages, QStringList());
        QCOMPARE(chosen->dialogName, QStringLiteral("OpenDialogImg"));
        QVERIFY(matrix->seen);
        QCOMPARE(f->EditHeader->text(), QStringLiteral("100"));
        QCOMPARE(greyAt(f, 256, 256), 128);
    }

    void lockKeepsMatrixViewAndRoi()
    {
        drop(writeRaw(dir(), "l1.raw", 300, 200, 512, [](int, int) { return std::uint16_t(600); }), "300 200");
        f->EditroiPosX->setText(QStringLiteral("100"));
        f->EditMF->setText(QStringLiteral("2"));
        f->ButtonDisp->click();
        f->CheckBoxWLock->setChecked(true);
        auto a = drop(writeRaw(dir(), "l2.raw", 300, 200, 512, [](int, int) { return std::uint16_t(600); }));
        QCOMPARE(a->proposal, QStringLiteral("300 200"));
        QCOMPARE(f->EditroiPosX->text(), QStringLiteral("100"));
        QCOMPARE(f->EditMF->text(), QStringLiteral("2"));
        QCOMPARE(f->EditHeader->text(), QStringLiteral("512"));
    }

    void singleNumberAnswerCutsTheRows()
    {
        drop(writeRaw(dir(), "c.raw", 1024, 512, 0, [](int, int) { return std::uint16_t(0); }), "1024");
        QCOMPARE(f->EditrawSizeX->text(), QStringLiteral("1024"));
        QCOMPARE(f->EditrawSizeY->text(), QStringLiteral("512"));
        QCOMPARE(f->EditHeader->text(), QStringLiteral("0"));
    }

    void cancelKeepsTheProposal()
    {
        auto a = answerNextInput(QStringLiteral("7 7"), false);
        const QString p = writeRaw(dir(), "p.raw", 128, 128, 0, [](int, int) { return std::uint16_t(0); });
        tarven::guarded(f, [&] { f->dropFiles({p}); });
        QVERIFY(a->seen);
        QCOMPARE(f->EditrawSizeX->text(), QStringLiteral("128"));
    }

    void badInput()
    {
        MessageCapture messages;
        // A first good image, to see that nothing the user had is lost.
        drop(writeRaw(dir(), "good.raw", 64, 64, 0, [](int, int) { return std::uint16_t(600); }));
        const auto before = f->imageData;

        const QString missing = dir().filePath("missing.raw");
        tarven::guarded(f, [&] { f->dropFiles({missing}); });
        QCOMPARE(messages.messages.value(0), QStringLiteral("ファイル %1 は開けません").arg(missing));
        QCOMPARE(f->imageData, before);
        QCOMPARE(f->EditFileName->text(), QStringLiteral("missing.raw"));

        // An answer that is not a number: conversion error, the old matrix stays.
        drop(writeRaw(dir(), "b.raw", 32, 32, 0, [](int, int) { return std::uint16_t(0); }), "abc");
        QCOMPARE(messages.messages.value(1), QStringLiteral("'abc' は整数ではありません"));
        QCOMPARE(f->EditrawSizeX->text(), QStringLiteral("64"));
        drop(dir().filePath("b.raw"), "0");
        QCOMPARE(messages.messages.value(2), QStringLiteral("ゼロによる除算"));

        // A zero-byte file and a matrix larger than the file: a negative header,
        // the pixels that do not exist show white.
        drop(writeBytes(dir(), "zero.raw", {}));
        QCOMPARE(f->EditHeader->text(), QStringLiteral("-2048"));
        QCOMPARE(greyAt(f, 256, 256), 255);
        drop(writeRaw(dir(), "half.raw", 16, 8, 0, [](int, int) { return std::uint16_t(600); }), "16 16");
        QCOMPARE(f->EditHeader->text(), QStringLiteral("-256"));
        QCOMPARE(greyAt(f, 248, 248), 255); // first rows lie before the file
        QCOMPARE(greyAt(f, 248, 263), 128); // last rows exist
        drop(dir().filePath("half.raw"), "0 0");
        QCOMPARE(greyAt(f, 256, 256), 255);

        // Bad boxes stop the render with the framework's messages; the display is white.
        const int count = static_cast<int>(messages.messages.size());
        drop(writeRaw(dir(), "w.raw", 64, 64, 0, [](int, int) { return std::uint16_t(600); }));
        render("0", "600");
        QCOMPARE(messages.messages.value(count), QStringLiteral("0 による浮動小数点数除算"));
        QCOMPARE(greyAt(f, 256, 256), 255);
        render("wide", "600");
        QCOMPARE(messages.messages.value(count + 1), QStringLiteral("'wide' は整数ではありません"));
        f->EditLLVL->setText(QStringLiteral("600"));
        f->EditRInterupt->setText(QStringLiteral("1.5"));
        f->ButtonDisp->click();
        QCOMPARE(messages.messages.value(count + 2), QStringLiteral("'1.5' は整数ではありません"));
        QCOMPARE(messages.messages.size(), count + 3);
    }

    void errorsAreShownInAMessageBoxAndEndTheHandler()
    {
        drop(writeRaw(dir(), "m.raw", 64, 64, 0, [](int, int) { return std::uint16_t(600); }));
        f->EditrawPosX->setText(QStringLiteral("7"));
        f->EditULVL2->setText(QStringLiteral("x"));
        auto text = closeNextMessageBox();
        f->ButtonDisp->click();
        QCOMPARE(*text, QStringLiteral("'x' は整数ではありません"));
        QCOMPARE(f->EditrawPosX->text(), QStringLiteral("7")); // stopped before the centre was written back
        QCOMPARE(greyAt(f, 256, 256), 255);
    }

    void headerEqualToTheFileSizeTakesTheLastPixels()
    {
        drop(writeRaw(dir(), "h.raw", 64, 64, 10, [](int, int) { return std::uint16_t(600); }));
        f->EditHeader->setText(f->EditFileSize->text());
        f->ButtonDisp->click();
        QCOMPARE(f->EditHeader->text(), QStringLiteral("10"));
        f->EditHeader->setText(QStringLiteral(" "));
        f->ButtonDisp->click();
        QCOMPARE(f->EditHeader->text(), QStringLiteral("10"));
    }
};

QTEST_MAIN(TestViewer)
#include "tst_viewer.moc"
