// The MTF window through its controls: the hand-off from the main window's
// ROI, the activation with its field-of-view prompt, the selection and the
// clipboard copies with their statistics, the computation with the summary
// table, the plots and listings, the histogram, the line copy, and the graph
// window.
#include "app/form1.h"
#include "app/form4.h"
#include "app/startup.h"
#include "mtf/celltablemodel.h"
#include "mtf/form2.h"
#include "platform/memo.h"
#include "support/driver.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTimer>
#include <QValueAxis>
#include <QtTest>

#include <cmath>

using namespace tarven::test;

namespace {


constexpr double kSigma = 3.0;     // LSF of the slit phantom, pixels
constexpr double kCentre = 100.3;  // slit position, image column

// A vertical slit: every row holds a sampled Gaussian over a pedestal, the
// brightest in row 104 (so that lines on both sides of the peak row exist).
std::uint16_t slit(int x, int y)
{
    const double amplitude = 2000.0 - 20.0 * std::abs(y - 104);
    return static_cast<std::uint16_t>(100 + std::lround(amplitude * std::exp(-(x - kCentre) * (x - kCentre) / (2 * kSigma * kSigma))));
}

QStringList lines(const QString& crlfText) { return crlfText.split(QStringLiteral("\r\n")); }

} // namespace

class TestMtf : public QObject {
    Q_OBJECT
private:
    TForm1* f = nullptr;
    TForm2* m = nullptr;
    QTemporaryDir tmp;
    std::unique_ptr<MessageCapture> messages;

    QDir dir() const { return QDir(tmp.path()); }

    void load(const QString& name, int columns, int rows, const std::function<std::uint16_t(int, int)>& pixel,
              const QString& matrix = QString())
    {
        auto a = answerNextInput(matrix);
        f->dropFiles({writeRaw(dir(), name, columns, rows, 0, pixel)});
        QVERIFY(a->seen);
    }
    // ROI boxes for the image rectangle (x0, y0, w, h) of a 256 x 256 image
    // at zoom code 1 (one image pixel per display pixel, view centre 128).
    void setRoi(int x0, int y0, int w, int h)
    {
        f->EditroiPosX->setText(QString::number(x0 + w / 2 + 128));
        f->EditroiPosY->setText(QString::number(y0 + h / 2 + 128));
        f->EditroiSizeX->setText(QString::number(w));
        f->EditroiSizeY->setText(QString::number(h));
    }
    // "CalMTF" on the main window, answering the activation's prompt.
    std::unique_ptr<InputWatch> handOff(const QString& fov = QStringLiteral("250"))
    {
        auto watch = std::make_unique<InputWatch>(fov);
        f->ButtonToTable->click();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(watch->seen >= 1, 5000); }();
        QTest::qWait(50);
        return watch;
    }
    void setTable(const std::vector<std::vector<QString>>& rows)
    {
        m->editTable([&](tarven::mtf::CellTable& t) {
            t.resize(static_cast<int>(rows[0].size()) + 1, static_cast<int>(rows.size()) + 1);
            for (std::size_t r = 0; r < rows.size(); ++r)
                for (std::size_t c = 0; c < rows[r].size(); ++c)
                    t.setCell(static_cast<int>(c) + 1, static_cast<int>(r) + 1, rows[r][c].toStdString());
        });
    }
    QString clip() const { return QApplication::clipboard()->text(); }
    QRadioButton* direction(int item) const { return m->RadioGroup1->findChildren<QRadioButton*>().value(item); }

private slots:
    void init()
    {
        f = startWindows();
        QVERIFY(f);
        m = tarven::windows().form2;
        QVERIFY(m);
        messages = std::make_unique<MessageCapture>();
        TForm1::setRadioIndex(f->RadioGroupMode, 1); // "16bit"
    }
    void cleanup()
    {
        messages.reset();
        tarven::destroyWindows();
    }

    void windowAndControls()
    {
        QCOMPARE(m->windowTitle(), QStringLiteral("MTF"));
        QVERIFY(m->isHidden());
        QCOMPARE(m->PageControl1->currentWidget(), m->PixelValue);
        QCOMPARE(m->PageControl1->tabText(1), QStringLiteral("LSF"));
        QCOMPARE(m->PageControl1->tabText(2), QStringLiteral("MTF"));
        QCOMPARE(m->StringGrid1->model()->rowCount(), 257);
        QCOMPARE(m->StringGrid1->model()->columnCount(), 257);
        QCOMPARE(m->Editdx->text(), QStringLiteral("0"));
        QCOMPARE(m->EditGeta->text(), QStringLiteral("1"));
        QCOMPARE(m->Chart1->chart()->title(), QStringLiteral("LSF"));
        QCOMPARE(m->Chart2->chart()->title(), QStringLiteral("MTF"));
        QCOMPARE(m->UpDown1->minimum(), 1);
        QCOMPARE(m->UpDown1->maximum(), 100);
        for (const char* name : {"StringGrid1", "EditXMtrx", "EditFOV", "Editdx", "Editdnd", "EditLSFgnd", "EditLSFgdx",
                                 "EditMTFgnd", "EditMTFgdx", "RadioGroup1", "EditYL", "UpDown1", "EditGeta", "EditAve",
                                 "EditSD", "EditMax", "EditMin", "EditWork1", "EditWork2", "EditWork3", "EditWork4",
                                 "ButtonAll", "CheckBoxSwapRC", "ButtonSelected", "Button1", "ButtonHist", "StatusBar1",
                                 "ButtonForm1", "ButtonCalMTF", "ButtonDrawD", "ButtonDrawG", "MemoLSF", "MemoMTF",
                                 "ButtonMemoLSF", "ButtonToMemoMTF", "Chart1", "Chart2", "PaintBoxLSF", "PaintBoxMTF",
                                 "EditMTF", "Memo1", "TabSheetLSF", "TabSheetMTF", "PixelValue", "PageControl1"})
            QVERIFY2(m->findChild<QWidget*>(QString::fromLatin1(name)), name);
        QCOMPARE(m->Chart1->chart()->series().value(0), m->Series1);
        QCOMPARE(m->Series1->objectName(), QStringLiteral("Series1"));
        QCOMPARE(m->Chart2->chart()->series().value(0), m->Series2);
        QCOMPARE(m->Series2->objectName(), QStringLiteral("Series2"));
    }

    void handOffWritesTableAndSettingsAndActivationFindsThePeak()
    {
        load("h.raw", 256, 256, [](int x, int y) { return static_cast<std::uint16_t>(x + 100 * y); });
        setRoi(10, 20, 3, 2);
        const QString before = tarven::memoLines(m->MemoMTF).join('|');
        auto watch = handOff(QStringLiteral("240"));
        QVERIFY(m->isVisible());
        auto* model = m->StringGrid1->model();
        QCOMPARE(model->columnCount(), 4);
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(m->cell(1, 0), QStringLiteral("10"));
        QCOMPARE(m->cell(3, 0), QStringLiteral("12"));
        QCOMPARE(m->cell(0, 1), QStringLiteral("20"));
        QCOMPARE(m->cell(0, 2), QStringLiteral("21"));
        QCOMPARE(m->cell(0, 0), QString());
        QCOMPARE(m->cell(1, 1), QStringLiteral("2010"));
        QCOMPARE(m->cell(3, 2), QStringLiteral("2112"));
        QCOMPARE(model->data(model->index(2, 3)).toString(), QStringLiteral("2112")); // model (row, column) = cell (c, r)
        QCOMPARE(m->EditXMtrx->text(), QStringLiteral("256"));
        QCOMPARE(m->Editdnd->text(), QStringLiteral("3"));
        QCOMPARE(m->EditLSFgnd->text(), QStringLiteral("3"));
        QCOMPARE(m->EditMTFgnd->text(), QStringLiteral("3"));
        QCOMPARE(m->EditLSFgdx->text(), QStringLiteral("0.5"));
        QCOMPARE(m->EditMTFgdx->text(), QStringLiteral("0.1"));
        QVERIFY(direction(0)->isChecked());
        QCOMPARE(m->EditYL->text(), QStringLiteral("1")); // the up-down raises the 0
        QCOMPARE(m->UpDown1->value(), 1);
        QCOMPARE(tarven::memoLines(m->MemoMTF).join('|'), before); // nothing computed yet
        // Activation: the peak, the prompt once, the pixel size from the viewer.
        QCOMPARE(m->peakCol, 3);
        QCOMPARE(m->peakRow, 2);
        QCOMPARE(watch->prompt, QStringLiteral("FOV(mm)"));
        QCOMPARE(watch->title, QString());
        QCOMPARE(watch->proposal, QString()); // a raw file has no field of view
        QCOMPARE(m->EditFOV->text(), QStringLiteral("240"));
        QCOMPARE(m->Editdx->text(), QStringLiteral("0"));
        QTest::qWait(300);
        QCOMPARE(watch->seen, 1); // coming back from the prompt is not a new activation
        QVERIFY(messages->messages.isEmpty());
    }

    void activationAgainPromptsAgainAndCancelKeepsTheField()
    {
        load("a.raw", 256, 256, [](int x, int) { return static_cast<std::uint16_t>(x); });
        setRoi(0, 0, 8, 8);
        handOff(QStringLiteral("300"));
        f->pixelSpacing = 0.25;
        m->Editdx->setText(QStringLiteral("9"));
        InputWatch cancel(QStringLiteral("999"), false);
        f->activateWindow();
        QTRY_VERIFY(f->isActiveWindow());
        m->activateWindow();
        QTRY_VERIFY_WITH_TIMEOUT(cancel.seen >= 1, 5000);
        QTest::qWait(300);
        QCOMPARE(cancel.seen, 1);
        QCOMPARE(cancel.proposal, QStringLiteral("300"));
        QCOMPARE(m->EditFOV->text(), QStringLiteral("300"));
        QCOMPARE(m->Editdx->text(), QStringLiteral("0.25")); // a typed pixel size holds until the next activation
    }

    void handOffPixelRule_data()
    {
        QTest::addColumn<int>("word");
        QTest::addColumn<bool>("swap");
        QTest::addColumn<bool>("rescale");
        QTest::addColumn<QString>("slope");
        QTest::addColumn<QString>("intercept");
        QTest::addColumn<QString>("cell");
        QTest::newRow("34 12") << 0x1234 << false << false << "1" << "0" << "4660";
        QTest::newRow("34 12 swapped") << 0x1234 << true << false << "1" << "0" << "13330";
        QTest::newRow("FF FF") << 0xFFFF << false << false << "1" << "0" << "-1";
        QTest::newRow("intercept -1024") << 0 << false << true << "1" << "-1024" << "-1024";
        QTest::newRow("slope 2 wraps") << 20000 << false << true << "2" << "0" << "-25536";
        QTest::newRow("slope 0.5 of 5") << 5 << false << true << "0.5" << "0" << "2";
        QTest::newRow("slope 0.5 of 7") << 7 << false << true << "0.5" << "0" << "4";
    }
    void handOffPixelRule()
    {
        QFETCH(int, word);
        QFETCH(bool, swap);
        QFETCH(bool, rescale);
        QFETCH(QString, slope);
        QFETCH(QString, intercept);
        QFETCH(QString, cell);
        load("p.raw", 256, 256, [word](int x, int y) { return static_cast<std::uint16_t>(x == 5 && y == 6 ? word : 0); });
        f->CheckBoxSwp->setChecked(swap);
        f->CheckBoxRes->setChecked(rescale);
        f->EditRSlope->setText(slope);
        f->EditRInterupt->setText(intercept);
        setRoi(5, 6, 2, 2);
        handOff();
        QCOMPARE(m->cell(1, 1), cell);
    }

    void handOffClipsToTheImageAndRefusesWhatCannotBeTabled()
    {
        load("c.raw", 256, 256, [](int x, int) { return static_cast<std::uint16_t>(x); });
        // Reaching 4 columns past the right edge: only the columns inside.
        setRoi(250, 0, 10, 2);
        handOff();
        QCOMPARE(m->StringGrid1->model()->columnCount(), 7);
        QCOMPARE(m->cell(6, 0), QStringLiteral("255"));
        QCOMPARE(m->cell(6, 2), QStringLiteral("255"));
        // A bad header box: the message, and the table stays.
        f->EditHeader->setText(QStringLiteral("x"));
        f->ButtonToTable->click();
        QCOMPARE(messages->messages.value(0), QStringLiteral("'x' は整数ではありません"));
        QCOMPARE(m->StringGrid1->model()->columnCount(), 7);
        QCOMPARE(m->cell(6, 2), QStringLiteral("255"));
        // A ROI wholly outside the image.
        f->EditHeader->setText(QStringLiteral("0"));
        setRoi(300, 300, 4, 4);
        f->ButtonToTable->click();
        QCOMPARE(messages->messages.value(1), QStringLiteral("0 による浮動小数点数除算"));
        QCOMPARE(m->cell(6, 2), QStringLiteral("255"));
    }

    void handOffRefusesARoiWiderThan2048()
    {
        load("w.raw", 2100, 2, [](int x, int) { return static_cast<std::uint16_t>(x); }, QStringLiteral("2100 2"));
        f->EditMF->setText(QStringLiteral("1"));
        f->EditrawPosX->setText(QStringLiteral("1050"));
        f->EditrawPosY->setText(QStringLiteral("1"));
        f->EditroiPosX->setText(QStringLiteral("256"));
        f->EditroiPosY->setText(QStringLiteral("256"));
        f->EditroiSizeX->setText(QStringLiteral("2100"));
        f->EditroiSizeY->setText(QStringLiteral("2"));
        f->ButtonToTable->click();
        QCOMPARE(messages->messages.size(), 1);
        QVERIFY2(messages->messages[0].contains(QStringLiteral("2048")), qPrintable(messages->messages[0]));
        QCOMPARE(m->StringGrid1->model()->columnCount(), 257);
        QVERIFY(m->isHidden());
    }

    void largestRoiFitsTheTable()
    {
        load("big.raw", 2048, 2048, [](int x, int y) { return static_cast<std::uint16_t>((x * 7 + y) & 0x3FFF); });
        f->EditMF->setText(QStringLiteral("4")); // every 4th pixel: 512 display pixels cover 2048
        f->EditroiPosX->setText(QStringLiteral("256"));
        f->EditroiPosY->setText(QStringLiteral("256"));
        f->EditroiSizeX->setText(QStringLiteral("512"));
        f->EditroiSizeY->setText(QStringLiteral("512"));
        handOff();
        QCOMPARE(m->StringGrid1->model()->columnCount(), 2049);
        QCOMPARE(m->StringGrid1->model()->rowCount(), 2049);
        QCOMPARE(m->cell(2048, 0), QStringLiteral("2047"));
        QCOMPARE(m->cell(2048, 2048), QString::number((2047 * 7 + 2047) & 0x3FFF));
        QCOMPARE(m->Editdnd->text(), QStringLiteral("2048"));
        QVERIFY(messages->messages.isEmpty());
    }

    void eightBitHandOffWritesHeadingsButNoValues()
    {
        load("e.raw", 256, 256, [](int x, int) { return static_cast<std::uint16_t>(x + 1); });
        setRoi(0, 0, 2, 2);
        handOff();
        QCOMPARE(m->cell(2, 2), QStringLiteral("2"));
        TForm1::setRadioIndex(f->RadioGroupMode, 0);
        setRoi(4, 4, 2, 2);
        f->ButtonToTable->click();
        QTest::qWait(100);
        QCOMPARE(m->cell(1, 0), QStringLiteral("4"));
        QCOMPARE(m->cell(2, 2), QString()); // not the earlier ROI's value
    }

    void allAndSelectedTextsAndStatistics()
    {
        setTable({{"1", "2"}, {"3", "4"}});
        m->ButtonAll->click();
        QCOMPARE(clip(), QStringLiteral("1\t2\r\n3\t4\r\n"));
        QCOMPARE(m->EditAve->text(), QStringLiteral("2.5"));
        QCOMPARE(m->EditSD->text(), QStringLiteral("1.11803398874989"));
        QCOMPARE(m->EditMax->text(), QStringLiteral("4"));
        QCOMPARE(m->EditMin->text(), QStringLiteral("1"));
        QCOMPARE(m->EditWork1->text(), QStringLiteral("2"));
        QCOMPARE(m->EditWork2->text(), QStringLiteral("2"));
        QCOMPARE(m->StringGrid1->selectionRect(), (tarven::mtf::GridRect{1, 1, 2, 2}));
        m->CheckBoxSwapRC->setChecked(true);
        m->ButtonAll->click();
        QCOMPARE(clip(), QStringLiteral("1\t3\r\n2\t4\r\n"));
        // "Slctd" moves the LSF centre to the maximum of the selection.
        m->gridSel = {1, 1, 1, 2};
        m->ButtonSelected->click();
        QCOMPARE(clip(), QStringLiteral("1\r\n3\r\n"));
        QCOMPARE(m->StatusPanel[1]->text(), QStringLiteral("1  2"));
        QCOMPARE(m->EditMax->text(), QStringLiteral("3"));
        QCOMPARE(m->peakCol, 1);
        QCOMPARE(m->peakRow, 2);
        // Reaching past the table: the text with empty fields, then the conversion error.
        m->gridSel = {2, 2, 3, 2};
        m->ButtonSelected->click();
        QCOMPARE(clip(), QStringLiteral("4\t\r\n"));
        QCOMPARE(messages->messages.value(0), QStringLiteral("'' は浮動小数点数ではありません"));
        QCOMPARE(m->EditMax->text(), QStringLiteral("3"));
    }

    void dragSelectionKeepsTheStartCorner()
    {
        std::vector<std::vector<QString>> rows(8, std::vector<QString>(8, QStringLiteral("1")));
        setTable(rows);
        InputWatch fov(QStringLiteral("250"));
        m->show();
        QVERIFY(QTest::qWaitForWindowExposed(m));
        auto* view = m->StringGrid1;
        auto* model = view->model();
        auto centre = [&](int c, int r) { return view->visualRect(model->index(r, c)).center(); };
        QTest::mousePress(view->viewport(), Qt::LeftButton, {}, centre(5, 5));
        QCOMPARE(m->gridDragging, 1);
        QTest::mouseMove(view->viewport(), centre(4, 6));
        QTest::mouseMove(view->viewport(), centre(3, 7));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, centre(3, 7));
        QCOMPARE(m->gridSel, (tarven::mtf::GridRect{5, 5, 5, 7}));
        QCOMPARE(m->StatusPanel[0]->text(), QStringLiteral("5  7"));
        QCOMPARE(m->gridDragging, 0);

        // The heading row and column are fixed: a press or a drag starting on
        // one leaves the selection as it was, so the image coordinates of the
        // headings never enter "Slctd" and its statistics.
        m->ButtonAll->click();
        for (auto [c, r] : {std::pair{3, 0}, std::pair{0, 4}}) {
            QTest::mousePress(view->viewport(), Qt::LeftButton, {}, centre(c, r));
            QTest::mouseMove(view->viewport(), centre(6, 6));
            QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, centre(6, 6));
            QCOMPARE(m->gridSel, (tarven::mtf::GridRect{1, 1, 8, 8}));
            QCOMPARE(view->selectionRect(), (tarven::mtf::GridRect{1, 1, 8, 8}));
            QCOMPARE(m->gridDragging, 0);
        }
    }

    void summaryTableForLineCountsOneTwoThreeAndBackToOne()
    {
        load("s.raw", 256, 256, slit);
        setRoi(0, 100, 256, 8);
        handOff();
        QCOMPARE(m->peakCol, 101);
        QCOMPARE(m->peakRow, 5);
        m->Editdx->setText(QStringLiteral("0.5"));
        m->ButtonCalMTF->click();
        QVERIFY(messages->messages.isEmpty());
        // The FWHM of the slit: 2.3548 sigma dx.
        const QString fwhm = m->EditWork4->text();
        QVERIFY(fwhm.startsWith(QStringLiteral("FWHM=")));
        // Linear interpolation between samples widens a 3-pixel Gaussian by
        // well under 1 %.
        const double fwhmExpected = 2.0 * std::sqrt(2.0 * std::log(2.0)) * kSigma * 0.5;
        QVERIFY2(std::abs(fwhm.mid(5).toDouble() - fwhmExpected) < 0.01 * fwhmExpected, qPrintable(fwhm));
        m->UpDown1->stepUp();
        m->UpDown1->stepUp();
        QCOMPARE(m->EditYL->text(), QStringLiteral("3"));
        QStringList l = tarven::memoLines(m->MemoMTF);
        QCOMPARE(l.size(), 5);
        QCOMPARE(l[0], QStringLiteral("No\tMax c/mm \tMax MTF            \t0.2c/mm MTF"));
        for (int i = 1; i <= 3; ++i)
            QVERIFY2(l[i].startsWith(QString::number(i) + QStringLiteral("\t0\t      1\t")), qPrintable(l[i]));
        QCOMPARE(l[4], QString());
        // The 0.2 c/mm MTF of the Gaussian: exp(-2 pi^2 sigma^2 f^2) at bin trunc(0.2 * 256 * 0.5) = 25.
        const double f02 = 25.0 / (256 * 0.5), s = kSigma * 0.5;
        const double expected = std::exp(-2 * M_PI * M_PI * s * s * f02 * f02);
        QVERIFY2(std::abs(l[1].section('\t', 3).toDouble() - expected) < 0.01, qPrintable(l[1]));
        m->EditYL->setText(QStringLiteral("1"));
        l = tarven::memoLines(m->MemoMTF);
        QCOMPARE(l.size(), 3);
        QVERIFY(l[1].startsWith(QStringLiteral("1\t")));
        // Line count 9 around the peak row reaches past the 8 rows: refused, table kept.
        m->EditYL->setText(QStringLiteral("9"));
        QCOMPARE(messages->messages.size(), 1);
        QCOMPARE(tarven::memoLines(m->MemoMTF).size(), 3);
        // The direction group computes too: in Y the profile is the peak column, 8 rows.
        m->EditYL->setText(QStringLiteral("1"));
        QCOMPARE(m->lsfCount, 256);
        direction(1)->setChecked(true);
        QCOMPARE(messages->messages.size(), 1);
        QCOMPARE(m->lsfCount, 8);
        QCOMPARE(m->lineSum[4], m->cell(m->peakCol, 5).toDouble());
    }

    void badInputsKeepEarlierResults()
    {
        load("b.raw", 256, 256, slit);
        setRoi(0, 100, 256, 4);
        handOff();
        m->Editdx->setText(QStringLiteral("0.5"));
        m->ButtonCalMTF->click();
        const QString memo = m->MemoMTF->toPlainText();
        const QString work4 = m->EditWork4->text();
        const auto lsf = m->lsfData;
        m->Editdx->setText(QStringLiteral("0"));
        m->ButtonCalMTF->click();
        QCOMPARE(messages->messages.value(0), QStringLiteral("0 による浮動小数点数除算"));
        m->Editdx->setText(QStringLiteral("0.5"));
        m->EditGeta->setText(QStringLiteral("x"));
        m->ButtonCalMTF->click();
        QCOMPARE(messages->messages.value(1), QStringLiteral("'x' は整数ではありません"));
        m->EditGeta->setText(QStringLiteral("1"));
        m->setCell(50, m->peakRow, QStringLiteral("abc"));
        m->ButtonCalMTF->click();
        QCOMPARE(messages->messages.value(2), QStringLiteral("'abc' は浮動小数点数ではありません"));
        QCOMPARE(m->MemoMTF->toPlainText(), memo);
        QCOMPARE(m->EditWork4->text(), work4);
        QVERIFY(m->lsfData == lsf);
    }

    void plotsFollowTheTabAndStayWithinTheData()
    {
        load("d.raw", 256, 256, slit);
        setRoi(0, 100, 256, 2);
        handOff();
        m->Editdx->setText(QStringLiteral("0.5"));
        m->EditLSFgnd->setText(QString());
        m->EditLSFgdx->setText(QStringLiteral("0"));
        m->ButtonCalMTF->click();
        m->PageControl1->setCurrentWidget(m->TabSheetLSF);
        QCOMPARE(m->EditLSFgnd->text(), QStringLiteral("256"));
        QCOMPARE(m->EditLSFgdx->text(), QStringLiteral("0.5"));
        auto pts = m->Series1->points();
        QCOMPARE(pts.size(), 256);
        QCOMPARE(pts[1].x(), 0.5);
        QCOMPARE(pts[255].x(), 127.5);
        m->PageControl1->setCurrentWidget(m->TabSheetMTF);
        pts = m->Series2->points();
        QCOMPARE(pts.size(), 128);
        QCOMPARE(pts[0], QPointF(0, 1));
        QCOMPARE(pts[127].x(), 127.0 / 128);
        auto* yAxis = qobject_cast<QValueAxis*>(m->Chart2->chart()->axes(Qt::Vertical).value(0));
        QVERIFY(yAxis);
        QCOMPARE(yAxis->min(), 0.0);
        // "Disp#" beyond the computed profile draws the computed points only.
        m->Editdnd->setText(QStringLiteral("5000"));
        m->ButtonDrawD->click();
        QCOMPARE(m->Series2->points().size(), 128);
        m->PageControl1->setCurrentWidget(m->TabSheetLSF);
        QCOMPARE(m->Series1->points().size(), 256);
        QVERIFY(messages->messages.isEmpty());
        // On the LSF tab the computation redraws the LSF.
        m->Editdnd->setText(QStringLiteral("10"));
        m->ButtonCalMTF->click();
        QCOMPARE(m->Series1->points().size(), 10);
    }

    void listings()
    {
        load("slit.raw", 256, 256, slit);
        setRoi(0, 100, 256, 2);
        handOff();
        m->Editdx->setText(QStringLiteral("0.3"));
        m->ButtonCalMTF->click();
        m->ButtonMemoLSF->click();
        QStringList l = tarven::memoLines(m->MemoLSF);
        QCOMPARE(l.size(), 258);
        QCOMPARE(l[0], QStringLiteral("mm\tslit.raw"));
        QVERIFY(l[1].startsWith(QStringLiteral("0\t")));
        QVERIFY(l[2].startsWith(QStringLiteral("0.3\t")));
        QVERIFY(l[4].startsWith(QStringLiteral("0.9\t")));
        QCOMPARE(l[257], QString());
        m->ButtonToMemoMTF->click(); // replaces the summary table
        l = tarven::memoLines(m->MemoMTF);
        QCOMPARE(l.size(), 258);
        QCOMPARE(l[0], QStringLiteral("c/mm\tslit.raw"));
        QCOMPARE(l[1], QStringLiteral("0\t1"));
        QVERIFY(l[2].startsWith(QStringLiteral("0.013\t"))); // 1 / (256 * 0.3) to four decimals
    }

    void histogramOfTheTable()
    {
        setTable({{"0", "8", "16"}, {"7", "15", "1023"}});
        {
            InputWatch keep; // confirms the proposal
            m->ButtonHist->click();
            QCOMPARE(keep.title, QStringLiteral("Inpt GrayScale"));
            QCOMPARE(keep.prompt, QStringLiteral("bit"));
            QCOMPARE(keep.proposal, QStringLiteral("10"));
        }
        const QStringList l = lines(clip());
        QCOMPARE(l.size(), 129); // 128 lines and what follows the last CR LF
        QCOMPARE(l[0], QStringLiteral("0"));
        QCOMPARE(l[1], QStringLiteral("0.5"));
        QCOMPARE(l[2], QStringLiteral("0.25"));
        QCOMPARE(l[127], QStringLiteral("0.25"));
        QCOMPARE(m->gridSel, (tarven::mtf::GridRect{1, 1, 3, 2}));
        QApplication::clipboard()->setText(QStringLiteral("kept"));
        {
            InputWatch six(QStringLiteral("6"));
            m->ButtonHist->click();
        }
        QCOMPARE(messages->messages.value(0), QStringLiteral("ゼロによる除算"));
        {
            InputWatch empty(QStringLiteral(""));
            m->ButtonHist->click();
        }
        QCOMPARE(messages->messages.size(), 1);
        QCOMPARE(clip(), QStringLiteral("kept"));
    }

    void lineCopyOfTheSelection()
    {
        setTable({{"1", "2"}, {"3", "4"}});
        m->gridSel = {1, 1, 2, 2};
        m->peakCol = 7;
        m->Button1->click();
        QCOMPARE(clip(), QStringLiteral("1\r\n2\r\n3\r\n4\r\n"));
        QCOMPARE(m->StatusPanel[1]->text(), QStringLiteral("2  2"));
        QCOMPARE(m->peakCol, 7);
        m->gridSel = {2, 2, 3, 2};
        m->Button1->click();
        QCOMPARE(clip(), QStringLiteral("4\r\n\r\n"));
    }

    void toForm1ShowsTheMainWindow()
    {
        InputWatch fov(QStringLiteral("250"));
        m->show();
        f->hide();
        m->ButtonForm1->click();
        QVERIFY(f->isVisible());
        QVERIFY(m->isVisible());
    }

    void graphWindowDrawsTheBufferOnAClick()
    {
        TForm4* g = tarven::windows().form4;
        QVERIFY(g);
        QCOMPARE(g->size(), QSize(477, 318));
        QCOMPARE(g->Chart1->size(), QSize(449, 265));
        f->graphBuffer.first = 3;
        f->graphBuffer.last = 5;
        f->graphBuffer.offset = 100;
        f->graphBuffer.values[3] = 7;
        f->graphBuffer.values[4] = -8;
        f->graphBuffer.values[5] = 9;
        f->graphBuffer.title = QStringLiteral("histgram");
        g->show();
        QVERIFY(QTest::qWaitForWindowExposed(g));
        QVERIFY(g->Series1->points().isEmpty()); // filled by a click only
        QTest::mouseClick(g->Chart1->viewport(), Qt::LeftButton, {}, QPoint(200, 130));
        const QList<QPointF> expected = {{103, 7}, {104, -8}, {105, 9}};
        QCOMPARE(g->Series1->points(), expected);
        QCOMPARE(g->Chart1->chart()->title(), QStringLiteral("histgram"));
        f->graphBuffer.last = 2;
        f->graphBuffer.title = QStringLiteral("profile");
        QTest::mouseClick(g->Chart1->viewport(), Qt::LeftButton, {}, QPoint(200, 130));
        QVERIFY(g->Series1->points().isEmpty());
        QCOMPARE(g->Chart1->chart()->title(), QStringLiteral("profile"));
        // Indices beyond the buffer's 50001 values are skipped.
        f->graphBuffer.first = 49999;
        f->graphBuffer.last = 60000;
        g->FormCreate();
        QCOMPARE(g->Series1->points().size(), 2);
    }
};

QTEST_MAIN(TestMtf)
#include "tst_mtf.moc"
