// The Wiener spectrum window through its controls: the hand-off from the main
// window's ROI, the recommended parameters, the X/Y exchange, runs with and
// without the FOV query, the refusals, the drawings in the colour sequence,
// the chart and the "Result" and "Smooth" tables.
#include "app/form1.h"
#include "app/startup.h"
#include "mtf/form2.h"
#include "platform/convert.h"
#include "platform/guard.h"
#include "platform/imagecontrol.h"
#include "platform/memo.h"
#include "support/driver.h"
#include "wiener/form3.h"

#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QCheckBox>
#include <QGroupBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <functional>
#include <random>

namespace {

using tarven::test::InputWatch;

class Messages {
public:
    Messages() { tarven::setMessageSink([this](const QString& m) { list << m; }); }
    ~Messages() { tarven::setMessageSink({}); }
    QStringList list;
};

int countColour(const QImage& img, const QColor& c)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += img.pixelColor(x, y) == c;
    return n;
}

bool allBlack(const QImage& img) { return countColour(img, Qt::black) == img.width() * img.height(); }

const QColor kWhite(255, 255, 255), kRed(255, 0, 0), kBlue(0, 0, 255), kYellow(255, 255, 0), kGreen(0, 128, 0),
    kFuchsia(255, 0, 255);

} // namespace

class TestWiener : public QObject {
    Q_OBJECT
private:
    TForm1* f1 = nullptr;
    TForm3* f3 = nullptr;
    // Every message the guard would show; a test takes out those it expects,
    // and cleanup() fails on any left over.
    std::unique_ptr<Messages> messages;
    QStringList takeMessages() { return std::exchange(messages->list, {}); }

    // Puts a columns x rows image of 16-bit words into the main window, shown
    // at zoom 1 around its centre, with the ROI boxes set so that the ROI
    // reader gives (left, top, w, h).
    void loadImage(int columns, int rows, const std::function<int(int, int)>& pixel, int left, int top, int w, int h)
    {
        f1->imageData.assign(static_cast<std::size_t>(columns) * rows * 2, 0);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < columns; ++x) {
                const auto v = static_cast<std::uint16_t>(pixel(x, y));
                const auto off = static_cast<std::size_t>(2 * (y * columns + x));
                f1->imageData[off] = static_cast<std::uint8_t>(v & 0xFF);
                f1->imageData[off + 1] = static_cast<std::uint8_t>(v >> 8);
            }
        f1->EditFileName->setText(QStringLiteral("noise.raw"));
        f1->EditHeader->setText(QStringLiteral("0"));
        f1->EditrawSizeX->setText(QString::number(columns));
        f1->EditrawSizeY->setText(QString::number(rows));
        f1->EditMF->setText(QStringLiteral("1"));
        setRoi(left, top, w, h);
    }
    void setRoi(int left, int top, int w, int h)
    {
        // Display centre 256 shows the view centre; the ROI is centred on it.
        f1->EditrawPosX->setText(QString::number(left + w / 2));
        f1->EditrawPosY->setText(QString::number(top + h / 2));
        f1->EditroiPosX->setText(QStringLiteral("256"));
        f1->EditroiPosY->setText(QStringLiteral("256"));
        f1->EditroiSizeX->setText(QString::number(w));
        f1->EditroiSizeY->setText(QString::number(h));
    }
    static std::function<int(int, int)> noise(int columns, int rows, double sigma, unsigned seed)
    {
        auto v = std::make_shared<std::vector<int>>(static_cast<std::size_t>(columns) * rows);
        std::mt19937 rng(seed);
        std::normal_distribution<double> nd(1000.0, sigma);
        for (auto& x : *v)
            x = static_cast<int>(std::lround(nd(rng)));
        return [v, columns](int x, int y) { return (*v)[static_cast<std::size_t>(y * columns + x)]; };
    }
    // A noise image with a 256 x 256 ROI, handed over by "CalWS", pixel size 0.5.
    void handOverNoise()
    {
        loadImage(512, 512, noise(512, 512, 20, 11), 128, 128, 256, 256);
        f1->EditPixelSpacing->setText(QStringLiteral("0.5"));
        f1->ButtonCalWS->click();
    }
    void setParams(const char* sx, const char* sy, const char* shx, const char* shy)
    {
        f3->EditSgmntX->setText(QString::fromLatin1(sx));
        f3->EditSgmntY->setText(QString::fromLatin1(sy));
        f3->EditShftX->setText(QString::fromLatin1(shx));
        f3->EditShftY->setText(QString::fromLatin1(shy));
    }
    QStringList memo() const { return tarven::memoLines(f3->MemoWS); }

private slots:
    void init()
    {
        messages = std::make_unique<Messages>();
        tarven::createWindows();
        f1 = tarven::windows().form1;
        f3 = tarven::windows().form3;
        QVERIFY(f1 && f3);
    }
    void cleanup()
    {
        tarven::destroyWindows();
        const QStringList left = takeMessages();
        messages.reset();
        QVERIFY2(left.isEmpty(), qPrintable(left.join(QLatin1Char('|'))));
    }

    void startUpState()
    {
        QCOMPARE(f3->objectName(), QStringLiteral("Form3"));
        QCOMPARE(f3->windowTitle(), QStringLiteral("Wiener Spectral"));
        QVERIFY(!f3->isVisible());
        const std::pair<const char*, const char*> texts[] = {
            {"EditROIX", "0"},     {"EditROIY", "0"},     {"EditSgmntX", "0"}, {"EditSgmntY", "16"},
            {"EditShftX", "0"},    {"EditShftY", "0"},    {"Editgnd", "0"},    {"EditXMtrx", "0"},
            {"EditFOV", "320"},    {"EditNSgmnt2", "1000"}, {"EditC", "1.0"},  {"EditN", "1"},
            {"EditN1", "1"},       {"EditNSgmnt", ""},
        };
        for (const auto& [name, text] : texts) {
            auto* e = f3->findChild<QLineEdit*>(QString::fromLatin1(name));
            QVERIFY2(e, name);
            QCOMPARE(e->text(), QString::fromLatin1(text));
        }
        QVERIFY(!f3->findChild<QCheckBox*>(QStringLiteral("CheckBoxTrnd"))->isChecked());
        QVERIFY(!f3->findChild<QCheckBox*>(QStringLiteral("CheckBoxTrnd1"))->isChecked());
        auto* xy = f3->findChild<QGroupBox*>(QStringLiteral("RadioGroupXY"));
        QCOMPARE(TForm1::radioIndex(xy), 0);
        QCOMPARE(xy->findChildren<QRadioButton*>().at(1)->text(), QStringLiteral("Y"));
        auto* pages = f3->findChild<QTabWidget*>(QStringLiteral("PageControl1"));
        QCOMPARE(pages->currentWidget()->objectName(), QStringLiteral("TabSheetWS"));
        QCOMPARE(pages->tabText(0), QStringLiteral("Profile"));
        QCOMPARE(pages->tabText(1), QStringLiteral("WS"));
        for (const char* b : {"ButtonLoad", "ButtontoMain", "ButtonCal", "ButtonClr", "ButtonResult", "ButtonSmooth"})
            QVERIFY2(f3->findChild<QPushButton*>(QString::fromLatin1(b)), b);
        QCOMPARE(f3->findChild<QPushButton*>(QStringLiteral("ButtonLoad"))->text(), QStringLiteral("Recommend Load"));
        auto* chart = f3->findChild<QChartView*>(QStringLiteral("Chart1"));
        QVERIFY(chart);
        QCOMPARE(chart->chart()->title(), QStringLiteral("Wiener Spectral"));
        QVERIFY(!chart->chart()->legend()->isVisible());
        auto* series = qobject_cast<QLineSeries*>(chart->chart()->series().value(0));
        QVERIFY(series);
        QCOMPARE(series->objectName(), QStringLiteral("Series1"));
        QCOMPARE(series->pen().color(), kRed);
        QVERIFY(!chart->chart()->axes(Qt::Vertical).isEmpty());
        QVERIFY(qobject_cast<QLogValueAxis*>(chart->chart()->axes(Qt::Vertical).first()));
        QVERIFY(allBlack(f3->ImageWS->canvas()));
        QVERIFY(allBlack(f3->ImagePrfl->canvas()));
    }

    void calWSKeepsEditsForTheSameRoiAndRecommendsForANewOne()
    {
        loadImage(512, 512, [](int, int) { return 0; }, 128, 128, 256, 256);
        f1->ButtonCalWS->click();
        QVERIFY(f3->isVisible());
        QVERIFY(f1->isVisible()); // not modal
        QCOMPARE(f1->roiImage, (std::array<std::int32_t, 4>{128, 128, 256, 256}));
        QCOMPARE(f3->EditXMtrx->text(), QStringLiteral("512"));
        QCOMPARE(f3->EditROIX->text(), QStringLiteral("256"));
        QCOMPARE(f3->EditROIY->text(), QStringLiteral("256"));
        QCOMPARE(f3->EditSgmntX->text(), QStringLiteral("128")); // w div 2
        QCOMPARE(f3->EditSgmntY->text(), QStringLiteral("64"));  // h div 4
        QCOMPARE(f3->EditShftX->text(), QStringLiteral("64"));   // w div 4
        QCOMPARE(f3->EditShftY->text(), QStringLiteral("32"));   // h div 8

        setParams("64", "8", "16", "4");
        f1->EditrawSizeX->setText(QStringLiteral("640"));
        f1->ButtonCalWS->click();
        QCOMPARE(f3->EditXMtrx->text(), QStringLiteral("640"));
        QCOMPARE(f3->EditSgmntX->text(), QStringLiteral("64"));
        QCOMPARE(f3->EditShftY->text(), QStringLiteral("4"));

        setRoi(100, 60, 200, 120);
        f1->ButtonCalWS->click();
        QCOMPARE(f3->EditROIX->text(), QStringLiteral("200"));
        QCOMPARE(f3->EditROIY->text(), QStringLiteral("120"));
        QCOMPARE(f3->EditSgmntX->text(), QStringLiteral("100"));
        QCOMPARE(f3->EditSgmntY->text(), QStringLiteral("30"));
        QCOMPARE(f3->EditShftX->text(), QStringLiteral("50"));
        QCOMPARE(f3->EditShftY->text(), QStringLiteral("15"));

        f3->ButtontoMain->click();
        QVERIFY(!f3->isVisible());
        QVERIFY(f1->isVisible());
    }

    void recommendLoadAndTheXYExchange()
    {
        loadImage(512, 512, [](int, int) { return 0; }, 128, 128, 256, 256);
        f1->ButtonCalWS->click();
        f3->runCount = 3;
        f3->profileCount = 4;
        f3->ImageWS->canvas().fill(Qt::red);
        f3->ButtonLoad->click();
        QCOMPARE(f3->EditSgmntX->text(), QStringLiteral("128"));
        QCOMPARE(f3->EditSgmntY->text(), QStringLiteral("16"));
        QCOMPARE(f3->EditShftX->text(), QStringLiteral("32"));
        QCOMPARE(f3->EditShftY->text(), QStringLiteral("128"));
        QCOMPARE(f3->Editgnd->text(), QStringLiteral("128"));
        QCOMPARE(f3->runCount, 0);
        QCOMPARE(f3->profileCount, 0);
        QVERIFY(allBlack(f3->ImageWS->canvas()));

        TForm1::setRadioIndex(f3->RadioGroupXY, 1);
        QCOMPARE(f3->EditSgmntX->text(), QStringLiteral("16"));
        QCOMPARE(f3->EditSgmntY->text(), QStringLiteral("128"));
        QCOMPARE(f3->EditShftX->text(), QStringLiteral("128"));
        QCOMPARE(f3->EditShftY->text(), QStringLiteral("32"));
        QCOMPARE(f3->EditROIX->text(), QStringLiteral("256")); // ROI sizes stay
        TForm1::setRadioIndex(f3->RadioGroupXY, 0);
        QCOMPARE(f3->EditSgmntX->text(), QStringLiteral("128"));
        QCOMPARE(f3->EditShftY->text(), QStringLiteral("128"));
    }

    void runWithPixelSpacingAndWithTheFovQuery()
    {
        handOverNoise();
        setParams("64", "16", "64", "16");
        {
            InputWatch watch;
            f3->ButtonCal->click();
            QCOMPARE(watch.seen, 0); // pixel spacing 0.5: no query
        }
        QCOMPARE(f3->EditNSgmnt->text(), QStringLiteral("64")); // 16 strips x 4 segments
        QCOMPARE(f3->Editgnd->text(), QStringLiteral("32"));
        QCOMPARE(f3->runCount, 1);
        const auto withSpacing = f3->ws.wsSpectrum;
        // White noise of sigma 20 with pixel size 0.5: about 400 * 0.25 = 100.
        double mean = 0;
        for (int j = 1; j < 64; ++j)
            mean += withSpacing[static_cast<std::size_t>(j)] / 63;
        QVERIFY2(std::abs(mean - 100.0) < 4 * 100.0 * std::sqrt(2.0 / (64 * 63)), qPrintable(QString::number(mean)));

        // Spacing 0 after a reset: the query, once; FOV 256 over matrix 512 is 0.5 again.
        f1->EditPixelSpacing->setText(QStringLiteral("0"));
        f3->ButtonClr->click();
        {
            InputWatch watch(QStringLiteral("256"));
            f3->ButtonCal->click();
            QCOMPARE(watch.seen, 1);
            QCOMPARE(watch.title, QStringLiteral("FOVサイズの確認"));
            QCOMPARE(watch.prompt, QStringLiteral("FOVサイズ(mm)．．．？"));
            QCOMPARE(watch.proposal, QString());
        }
        QCOMPARE(f3->EditFOV->text(), QStringLiteral("256"));
        QCOMPARE(f3->ws.wsSpectrum, withSpacing);
        // Later runs take the confirmed FOV without asking.
        {
            InputWatch watch;
            f3->ButtonCal->click();
            QCOMPARE(watch.seen, 0);
        }
        QCOMPARE(f3->runCount, 2);
        QCOMPARE(f3->ws.wsSpectrum, withSpacing);
    }

    void cancelledFovQueryGivesZerosThatCannotBeDrawn()
    {
        handOverNoise();
        f1->EditPixelSpacing->setText(QStringLiteral("0"));
        InputWatch watch(QString(), false);
        f3->ButtonCal->click();
        QCOMPARE(watch.seen, 1);
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("不正な浮動小数点数演算命令")});
        QCOMPARE(f3->runCount, 0);
        QCOMPARE(f3->Series1->count(), 0);
        QCOMPARE(f3->EditFOV->text(), QStringLiteral("320"));
    }

    void headerThatDoesNotConvertIsShownAndTakenAsZero()
    {
        handOverNoise();
        f1->EditHeader->setText(QStringLiteral("12x"));
        f1->headerOffset = 99;
        f3->ButtonCal->click();
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("12x")});
        QCOMPARE(f1->headerOffset, 0);
        QCOMPARE(f3->runCount, 1);
    }

    void interceptAndSwapApplyToTheWords()
    {
        // Stored words 40000 .. 40300, read as signed: -25536 .. -25236.
        loadImage(64, 64, [](int x, int y) { return 40000 + (x * x * 7 + y * 3) % 301; }, 0, 0, 64, 64);
        f1->EditPixelSpacing->setText(QStringLiteral("1"));
        f1->ButtonCalWS->click();
        setParams("32", "8", "32", "8");
        f3->ButtonCal->click();
        const auto plain = f3->ws.wsSpectrum;
        // -1024 moves every value by the same amount (40000 - 1024 reads
        // -26560), which the mean removal takes away again.
        f1->EditRInterupt->setText(QStringLiteral("-1024"));
        f3->ButtonCal->click();
        for (int j = 1; j < 32; ++j)
            QVERIFY(std::abs(f3->ws.wsSpectrum[static_cast<std::size_t>(j)] - plain[static_cast<std::size_t>(j)]) <=
                    1e-9 * plain[static_cast<std::size_t>(j)]);
        // -7300 leaves 32700 positive but wraps 32800 to -32736.
        f1->EditRInterupt->setText(QStringLiteral("-7300"));
        f3->ButtonCal->click();
        QVERIFY(f3->ws.wsSpectrum[1] > 1000 * plain[1]);
        // An empty intercept is 0; "Swap" exchanges the bytes of every word.
        f1->EditRInterupt->setText(QString());
        f3->ButtonCal->click();
        QCOMPARE(f3->ws.wsSpectrum, plain);
        f1->CheckBoxSwp->setChecked(true);
        f3->ButtonCal->click();
        QVERIFY(f3->ws.wsSpectrum[1] > 1000 * plain[1]);
        QCOMPARE(f3->runCount, 5);
    }

    void parametersThatCannotWorkAreRefusedBeforeAnyWork()
    {
        handOverNoise();
        f1->EditPixelSpacing->setText(QStringLiteral("0")); // a refused run must not ask either
        struct Case {
            const char* field;
            const char* text;
            const char* says;
        };
        const Case cases[] = {
            {"EditShftX", "0", "Shift X must be at least 1"},
            {"EditShftY", "0", "Shift Y must be at least 1"},
            {"EditSgmntX", "100", "power of two"},
            {"EditSgmntX", "2048", "power of two"},
            {"EditROIX", "1100", "ROISize"},
            {"EditN", "17", "Trnd order"},
        };
        for (const auto& tc : cases) {
            f3->ButtonLoad->click();
            f3->CheckBoxTrnd->setChecked(true);
            f3->EditN->setText(QStringLiteral("1"));
            f3->EditNSgmnt->setText(QStringLiteral("before"));
            f3->Editgnd->setText(QStringLiteral("7"));
            f3->findChild<QLineEdit*>(QString::fromLatin1(tc.field))->setText(QString::fromLatin1(tc.text));
            InputWatch watch;
            f3->ButtonCal->click();
            QCOMPARE(watch.seen, 0);
            const QStringList said = takeMessages();
            QCOMPARE(said.size(), 1);
            QVERIFY2(said.first().contains(QString::fromLatin1(tc.says)), qPrintable(said.first()));
            QCOMPARE(f3->EditNSgmnt->text(), QStringLiteral("before"));
            QCOMPARE(f3->Editgnd->text(), QStringLiteral("7"));
            QCOMPARE(f3->runCount, 0);
        }
        // Fields that do not convert: the framework's message.
        f3->ButtonLoad->click();
        f3->EditSgmntY->setText(QStringLiteral("abc"));
        f3->ButtonCal->click();
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("'abc' は整数ではありません")});
    }

    void aRoiOutsideTheImageIsRefused()
    {
        handOverNoise();
        // The window's ROI size reaches past the image's right edge.
        f3->EditROIX->setText(QStringLiteral("512"));
        f3->ButtonCal->click();
        QCOMPARE(messages->list.size(), 1);
        QVERIFY(messages->list.first().contains(QStringLiteral("does not lie inside the loaded image")));
        QVERIFY(messages->list.first().contains(QStringLiteral("left 128, top 128, 512 x 256")));
        // A header that pushes the ROI past the end of the bytes.
        f3->EditROIX->setText(QStringLiteral("256"));
        f1->EditHeader->setText(QStringLiteral("400000"));
        f3->ButtonCal->click();
        QCOMPARE(messages->list.size(), 2);
        // Nothing loaded at all.
        f1->imageData.clear();
        f1->EditHeader->setText(QStringLiteral("0"));
        f3->ButtonCal->click();
        QCOMPARE(takeMessages().size(), 3);
        QCOMPARE(f3->runCount, 0);
        QCOMPARE(f3->EditNSgmnt->text(), QString());
    }

    void aFlatRoiDrawsItsProfileAndStopsAtTheSpectrumImage()
    {
        loadImage(128, 128, [](int, int) { return 777; }, 0, 0, 128, 128);
        f1->EditPixelSpacing->setText(QStringLiteral("1"));
        f1->ButtonCalWS->click();
        f3->ButtonCal->click();
        // The zero profile has no range: it is drawn across the middle, and
        // the run goes on to the spectrum of zeros, which has no logarithm.
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("不正な浮動小数点数演算命令")});
        QCOMPARE(f3->EditNSgmnt->text(), QStringLiteral("21")); // 7 strips of 32 lines x 3 segments of 64
        // Two profiles (strips 0 and 64), the red one over the white one.
        QCOMPARE(f3->profileCount, 2);
        const QImage prfl = f3->ImagePrfl->canvas();
        QVERIFY(countColour(prfl, kRed) > 100);
        for (int x = 0; x < prfl.width(); ++x)
            for (int y = 0; y < prfl.height(); ++y)
                if (prfl.pixelColor(x, y) != Qt::black)
                    QVERIFY(std::abs(y - prfl.height() / 2) <= 1);
        QVERIFY(allBlack(f3->ImageWS->canvas()));
        QCOMPARE(f3->runCount, 0);
    }

    void noSegmentStopsWithADivisionByZero()
    {
        handOverNoise();
        setParams("64", "512", "16", "16"); // M = 512 > W = 256
        f3->ButtonCal->click();
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("0 による浮動小数点数除算")});
        QCOMPARE(f3->runCount, 0);
    }

    void coloursOverlayRunAfterRunUntilClear()
    {
        handOverNoise();
        setParams("64", "16", "32", "128"); // strips at 0 and 128: two profiles per run
        // Another shift along for every run gives another average, so a
        // curve does not exactly cover the one before it.
        int shift = 40;
        auto run = [&] {
            f3->EditShftX->setText(QString::number(--shift));
            f3->ButtonCal->click();
        };
        run();
        const QImage first = f3->ImageWS->canvas();
        QVERIFY(countColour(first, kWhite) > 0);
        QCOMPARE(countColour(first, kWhite) + countColour(first, Qt::black), first.width() * first.height());
        QVERIFY(countColour(f3->ImagePrfl->canvas(), kWhite) > 0);
        QVERIFY(countColour(f3->ImagePrfl->canvas(), kRed) > 0);
        QCOMPARE(f3->profileCount, 2);
        const double scale = f3->logHigh;

        run();
        QVERIFY(countColour(f3->ImageWS->canvas(), kRed) > 0);
        QVERIFY(countColour(f3->ImageWS->canvas(), kWhite) > 0); // drawn over, not cleared
        QCOMPARE(f3->logHigh, scale);
        run();
        QVERIFY(countColour(f3->ImageWS->canvas(), kBlue) > 0);
        // Profiles 3..6: blue, yellow, green, fuchsia (width 1); the seventh is white with width 2.
        QVERIFY(countColour(f3->ImagePrfl->canvas(), kFuchsia) > 0);
        QCOMPARE(f3->profileCount, 6);
        for (int n = 4; n <= 7; ++n)
            run();
        QCOMPARE(f3->runCount, 7);
        QVERIFY(countColour(f3->ImageWS->canvas(), kYellow) > 0);
        QVERIFY(countColour(f3->ImageWS->canvas(), kGreen) > 0);
        QVERIFY(countColour(f3->ImageWS->canvas(), kFuchsia) > 0);

        f3->ButtonClr->click();
        QVERIFY(allBlack(f3->ImageWS->canvas()));
        QVERIFY(allBlack(f3->ImagePrfl->canvas()));
        QCOMPARE(f3->runCount, 0);
        QCOMPARE(f3->profileCount, 0);
        QVERIFY(f3->Series1->count() > 0); // the chart stays
        run();
        QVERIFY(countColour(f3->ImageWS->canvas(), kWhite) > 0);
        QCOMPARE(countColour(f3->ImageWS->canvas(), kRed), 0);
    }

    void profileWidthGrowsAfterSixProfiles()
    {
        handOverNoise();
        setParams("64", "16", "32", "200"); // one strip, one profile per run
        for (int run = 0; run < 6; ++run)
            f3->ButtonCal->click();
        QCOMPARE(f3->profileCount, 6);
        // The sixth profile is fuchsia with width 1, drawn over the same path as the five before.
        const QImage six = f3->ImagePrfl->canvas();
        QVERIFY(countColour(six, kFuchsia) > 100);
        QCOMPARE(countColour(six, kFuchsia) + countColour(six, Qt::black), six.width() * six.height());
        f3->ButtonCal->click(); // the seventh: white with width 2
        const QImage wide = f3->ImagePrfl->canvas();
        QVERIFY(countColour(wide, kFuchsia) < countColour(six, kFuchsia) / 4); // mostly covered
        QVERIFY(countColour(wide, kWhite) > countColour(six, kFuchsia) * 3 / 2);
    }

    void aRunOnTheProfilePageFixesTheScaleButDrawsNoSpectrum()
    {
        handOverNoise();
        setParams("64", "16", "64", "16");
        f3->PageControl1->setCurrentWidget(f3->TabSheetProfile);
        f3->ButtonCal->click();
        QCOMPARE(f3->runCount, 1);
        QVERIFY(allBlack(f3->ImageWS->canvas()));
        QVERIFY(!allBlack(f3->ImagePrfl->canvas()));
        QVERIFY(f3->logHigh > 1.0);
        f3->PageControl1->setCurrentWidget(f3->TabSheetWS);
        QVERIFY(allBlack(f3->ImageWS->canvas())); // switching pages redraws nothing
        f3->ButtonCal->click();
        QVERIFY(countColour(f3->ImageWS->canvas(), kRed) > 0);
        QCOMPARE(countColour(f3->ImageWS->canvas(), kWhite), 0);
    }

    void resultTableChartAndImageForN256()
    {
        loadImage(512, 512, noise(512, 512, 20, 5), 0, 0, 512, 512);
        f1->EditPixelSpacing->setText(QStringLiteral("0.625"));
        f1->ButtonCalWS->click();
        setParams("256", "16", "64", "64");
        QCOMPARE(f3->EditFOV->text(), QStringLiteral("320"));
        QCOMPARE(f3->EditXMtrx->text(), QStringLiteral("512"));
        f3->ButtonCal->click();
        QCOMPARE(f3->ws.specLength, 256);
        QCOMPARE(f3->Editgnd->text(), QStringLiteral("128"));

        // Chart: indices 1 .. 128, 0.00625 .. 0.8 cycles per mm.
        QCOMPARE(f3->Series1->count(), 128);
        QCOMPARE(f3->Series1->at(0).x(), 0.00625);
        QCOMPARE(f3->Series1->at(0).y(), f3->ws.wsSpectrum[1]);
        QCOMPARE(f3->Series1->at(127).x(), 0.8);

        // Spectrum image: indices 1 .. 127, the last at 2 * 127 / 256 of the width.
        const QImage img = f3->ImageWS->canvas();
        const int lastX = static_cast<int>(std::lround(2.0 * 127 / 256 * img.width()));
        int rightmost = -1;
        for (int x = 0; x < img.width(); ++x)
            for (int y = 0; y < img.height(); ++y)
                if (img.pixelColor(x, y) != Qt::black)
                    rightmost = x;
        QVERIFY2(std::abs(rightmost - lastX) <= 1, qPrintable(QString::number(rightmost)));

        f3->ButtonResult->click();
        const QStringList lines = memo();
        QCOMPARE(lines.size(), 257); // heading, indices 1 .. 255, the empty line after the last CR LF
        QCOMPARE(lines.first(), QStringLiteral("c/mm\tnoise.raw"));
        QVERIFY(lines[1].startsWith(QStringLiteral("0.00625\t")));
        QCOMPARE(lines[1], QStringLiteral("0.00625\t") + tarven::generalText(f3->ws.wsSpectrum[1]));
        QVERIFY(lines[255].startsWith(QStringLiteral("1.59375\t")));
        QCOMPARE(lines.last(), QString());
        f2pixelSizeIs(0.625);
    }

    void smoothTableForN16()
    {
        handOverNoise();
        setParams("16", "16", "16", "16");
        f3->EditFOV->setText(QStringLiteral("16"));
        f3->EditXMtrx->setText(QStringLiteral("16")); // p = 1: frequency k / 16
        f3->ButtonCal->click();
        QCOMPARE(f3->ws.specLength, 16);
        f3->ButtonSmooth->click();
        const QStringList lines = memo();
        QCOMPARE(lines.size(), 17);
        const auto& ws = f3->ws.wsSpectrum;
        auto mean = [&](int a, int b) {
            double s = 0;
            for (int i = a; i <= b; ++i)
                s += ws[static_cast<std::size_t>(i)];
            return s / (b - a + 1);
        };
        auto line = [&](int k, double v) { return tarven::generalText(k / 16.0) + QLatin1Char('\t') + tarven::generalText(v); };
        QCOMPARE(lines[1], line(1, 0.7 * ws[1] + 0.3 * ws[2]));
        QCOMPARE(lines[2], line(2, mean(1, 4)));
        QCOMPARE(lines[3], line(3, mean(1, 6)));
        QCOMPARE(lines[4], line(4, mean(1, 8)));
        QCOMPARE(lines[5], line(5, mean(2, 9)));
        for (int k = 6; k < 16; ++k)
            QCOMPARE(lines[k], line(k, ws[static_cast<std::size_t>(k)]));
        QCOMPARE(tarven::windows().form2->pixelSize, 1.0);

        // A matrix of 0: division by zero after the heading.
        f3->EditXMtrx->setText(QStringLiteral("0"));
        f3->ButtonSmooth->click();
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("0 による浮動小数点数除算")});
        QCOMPARE(memo().first(), QStringLiteral("c/mm\tnoise.raw"));
    }

    void directionYRunsAlongColumns()
    {
        // Stripes along the columns: in direction X every row shows the same
        // irregular pattern, in direction Y every column is constant.
        loadImage(128, 128, [](int x, int) { return 1000 + (x * x * 13) % 97; }, 0, 0, 128, 128);
        f1->EditPixelSpacing->setText(QStringLiteral("1"));
        f1->ButtonCalWS->click();
        setParams("64", "16", "32", "16");
        f3->ButtonCal->click();
        QVERIFY(f3->ws.wsSpectrum[8] > 1e3);
        TForm1::setRadioIndex(f3->RadioGroupXY, 1); // exchanges: N = 64 along Y, M = 16
        QCOMPARE(f3->EditSgmntY->text(), QStringLiteral("64"));
        f3->ButtonCal->click();
        QCOMPARE(takeMessages(), QStringList{QStringLiteral("不正な浮動小数点数演算命令")}); // zeros: nothing to draw
        for (int j = 0; j < 64; ++j)
            QCOMPARE(f3->ws.wsSpectrum[static_cast<std::size_t>(j)], 0.0);
    }

private:
    void f2pixelSizeIs(double v) { QCOMPARE(tarven::windows().form2->pixelSize, v); }
};

QTEST_MAIN(TestWiener)
#include "tst_wiener.moc"
