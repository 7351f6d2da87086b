// tarven-cli against the windows: the same file measured through the
// windows' controls and by the command gives the same texts, numbers and
// images. The files are the fixtures of tst_cli, the bundled samples and the
// real DICOM files of pydicom's corpus.
#include "fixtures.h"

#include "app/form1.h"
#include "app/startup.h"
#include "mtf/form2.h"
#include "platform/imagecontrol.h"
#include "platform/memo.h"
#include "support/driver.h"
#include "wiener/form3.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QGroupBox>
#include <QInputDialog>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cmath>
#include <memory>
#include <random>

using namespace tarven::cli::test;
using namespace tarven::test;

namespace {

const QString corpus = QStringLiteral("/usr/lib/python3/dist-packages/pydicom/data/test_files");

// The command writes control characters of values as their visible symbols.
QString visible(QString s)
{
    for (QChar& c : s)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar(c.unicode() == 0x7F ? 0x2421 : 0x2400 + c.unicode());
    return s;
}

// Lines of a memo as the command prints them with --crlf.
QString memoText(const QPlainTextEdit* memo)
{
    QStringList lines = tarven::memoLines(memo);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    QString s;
    for (const QString& l : lines)
        s += l + QStringLiteral("\r\n");
    return s;
}

QStringList roi(int x, int y, int w, int h)
{
    return {QStringLiteral("--roi"), QString::number(x), QString::number(y), QString::number(w), QString::number(h)};
}

} // namespace

class TestCliWindows : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    TForm1* f = nullptr;
    std::unique_ptr<MessageCapture> messages;

    QDir dir() const { return QDir(tmp.path()); }

    // The files every comparison runs on: name, path, whether they are raw
    // (columns, rows) or DICOM.
    struct Sample {
        QString path;
        int rawColumns = 0, rawRows = 0;
    };
    QMap<QString, Sample> samples;

    QStringList rawOptions(const Sample& s) const
    {
        return s.rawColumns ? QStringList{"--raw", QString::number(s.rawColumns), QString::number(s.rawRows)}
                            : QStringList{};
    }

    // Loads the file as the user does: the mode, the drop, the matrix dialog.
    bool load(const Sample& s)
    {
        TForm1::setRadioIndex(f->RadioGroupMode, s.rawColumns ? 1 : 2);
        auto a = answerNextInput(s.rawColumns ? QStringLiteral("%1 %2").arg(s.rawColumns).arg(s.rawRows) : QString());
        f->dropFiles({s.path});
        return a->seen;
    }
    // ROI boxes that make the ROI reader give (left, top, w, h) at zoom code
    // 1: the view centre on the ROI's centre, the ROI on the display centre.
    void setRoi(int left, int top, int w, int h)
    {
        f->EditrawPosX->setText(QString::number(left + w / 2));
        f->EditrawPosY->setText(QString::number(top + h / 2));
        f->EditroiPosX->setText(QStringLiteral("256"));
        f->EditroiPosY->setText(QStringLiteral("256"));
        f->EditroiSizeX->setText(QString::number(w));
        f->EditroiSizeY->setText(QString::number(h));
    }
    CliResult cli(const QString& command, const Sample& s, const QStringList& options)
    {
        return runCli(QStringList{command, s.path} + rawOptions(s) + options + QStringList{"--crlf"});
    }

private slots:
    void initTestCase()
    {
        QVERIFY(tmp.isValid());
        DicomImage ramp;
        ramp.columns = ramp.rows = 64;
        ramp.pixel = [](int x, int y) { return 300 + 7 * x + 13 * y + (x * y) % 17; };
        ramp.intercept = "-1024";
        ramp.fov = "40";
        samples["ramp"] = {writeFile(dir(), "ramp.dcm", dicomBytes(ramp))};
        DicomImage big = ramp;
        big.big = true;
        samples["big endian"] = {writeFile(dir(), "big.dcm", dicomBytes(big))};
        samples["raw"] = {writeFile(dir(), "ramp.raw", rawBytes(64, 64, 96, ramp.pixel)), 64, 64};
        // A horizontal slit (a Gaussian across rows), for the Y direction.
        DicomImage hslit;
        hslit.columns = hslit.rows = 64;
        hslit.pixel = [](int x, int y) {
            return 100 + x % 3 + static_cast<int>(std::lround(800 * std::exp(-(y - 30.4) * (y - 30.4) / 8.0)));
        };
        samples["horizontal slit"] = {writeFile(dir(), "hslit.dcm", dicomBytes(hslit))};

        QProcess gen;
        gen.start(QStringLiteral(TARVEN_SAMPLES), {tmp.path()});
        QVERIFY(gen.waitForFinished(60000));
        QCOMPARE(gen.exitCode(), 0);
        samples["slit"] = {dir().filePath("slit_512x512.dcm")};
        samples["noise"] = {dir().filePath("noise_512x512.dcm")};
        samples["phantom"] = {dir().filePath("phantom_512x512.dcm")};
        for (const char* name : {"CT_small.dcm", "MR_small.dcm", "MR_small_implicit.dcm", "MR_small_bigendian.dcm"})
            if (QFile::exists(corpus + "/" + name))
                samples[QString::fromLatin1(name)] = {corpus + "/" + name};
    }
    void init()
    {
        f = startWindows();
        QVERIFY(f);
        messages = std::make_unique<MessageCapture>();
    }
    void cleanup()
    {
        messages.reset();
        tarven::destroyWindows();
    }

    void tagsAndSummary_data()
    {
        QTest::addColumn<QString>("sample");
        for (const QString& name : samples.keys())
            if (!samples[name].rawColumns)
                QTest::newRow(qPrintable(name)) << name;
    }
    void tagsAndSummary()
    {
        QFETCH(QString, sample);
        const Sample& s = samples[sample];
        QVERIFY(load(s));
        QString table;
        QTableWidget* grid = f->StringGridDTag;
        for (int r = 0; r < grid->rowCount(); ++r) {
            QStringList cells;
            for (int c = 0; c < 7; ++c)
                cells << visible(grid->item(r, c) ? grid->item(r, c)->text() : QString());
            table += cells.join(QLatin1Char('\t')) + "\r\n";
        }
        const CliResult tags = cli("tags", s, {});
        QCOMPARE(tags.errText(), messages->messages.isEmpty() ? QString() : messages->messages.first() + "\n");
        QCOMPARE(tags.outText(), table);
        if (!messages->messages.isEmpty())
            return; // the load stopped: there is no summary to compare

        QString summary;
        QStringList memo = f->Memo1->toPlainText().split(QLatin1Char('\n'));
        if (!memo.isEmpty() && memo.last().isEmpty())
            memo.removeLast();
        for (const QString& l : memo)
            summary += visible(l) + "\r\n";
        summary += "matrix " + f->EditrawSizeX->text() + " " + f->EditrawSizeY->text() + "\r\n";
        summary += "header " + f->EditHeader->text() + "\r\n";
        summary += "pixel-spacing " + f->EditPixelSpacing->text() + "\r\n";
        summary += "window " + f->EditLLVL->text() + " " + f->EditULVL2->text() + "\r\n";
        const CliResult r = cli("summary", s, {});
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.outText(), summary);
    }

    void stats_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QList<int>>("box");
        QTest::addColumn<QString>("mode"); // "", "pixels", "hist"
        QTest::addColumn<bool>("rescale");
        QTest::newRow("ramp") << "ramp" << QList<int>{3, 5, 20, 10} << "" << false;
        QTest::newRow("ramp pixels rescaled") << "ramp" << QList<int>{3, 5, 20, 10} << "pixels" << true;
        QTest::newRow("ramp partly outside") << "ramp" << QList<int>{50, 60, 20, 10} << "pixels" << false;
        QTest::newRow("big endian hist") << "big endian" << QList<int>{0, 0, 64, 64} << "hist" << false;
        QTest::newRow("raw hist rescaled") << "raw" << QList<int>{10, 10, 8, 8} << "hist" << true;
        QTest::newRow("phantom hist") << "phantom" << QList<int>{200, 180, 100, 60} << "hist" << true;
        if (samples.contains("CT_small.dcm"))
            QTest::newRow("CT_small pixels rescaled") << "CT_small.dcm" << QList<int>{30, 40, 16, 12} << "pixels" << true;
        if (samples.contains("MR_small_bigendian.dcm"))
            QTest::newRow("MR big endian hist") << "MR_small_bigendian.dcm" << QList<int>{10, 20, 32, 32} << "hist" << false;
    }
    void stats()
    {
        QFETCH(QString, sample);
        QFETCH(QList<int>, box);
        QFETCH(QString, mode);
        QFETCH(bool, rescale);
        const Sample& s = samples[sample];
        QVERIFY(load(s));
        setRoi(box[0], box[1], box[2], box[3]);
        f->CheckBoxRes->setChecked(rescale);
        (mode == "hist" ? f->RadioButtonHist : f->RadioButtonPixel)->setChecked(true);
        QApplication::clipboard()->setText(QStringLiteral("untouched"));
        f->ButtonStat->click();
        QCOMPARE(messages->messages, QStringList());
        QString expected = f->EditHSBP->text() + "\t" + f->EditVSBP->text() + "\r\n";
        QStringList options = roi(box[0], box[1], box[2], box[3]);
        if (!mode.isEmpty()) {
            expected += QApplication::clipboard()->text();
            options << "--" + mode;
        }
        if (rescale)
            options << "--rescale";
        const CliResult r = cli("stats", s, options);
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.outText(), expected);
    }

    void render_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("ramp as loaded") << "ramp" << QStringList{};
        QTest::newRow("ramp window, invert") << "ramp" << QStringList{"--window", "300", "700", "--invert"};
        QTest::newRow("ramp enlarged, centred") << "ramp" << QStringList{"--zoom", "-2", "--centre", "10", "50"};
        QTest::newRow("big endian auto") << "big endian" << QStringList{"--auto"};
        QTest::newRow("raw swapped") << "raw" << QStringList{"--swap", "--window", "20000", "0"};
        QTest::newRow("phantom reduced") << "phantom" << QStringList{"--zoom", "2"};
        QTest::newRow("phantom auto") << "phantom" << QStringList{"--auto"};
        if (samples.contains("MR_small_implicit.dcm"))
            QTest::newRow("MR implicit auto") << "MR_small_implicit.dcm" << QStringList{"--auto", "--zoom", "-1"};
    }
    void render()
    {
        QFETCH(QString, sample);
        QFETCH(QStringList, options);
        const Sample& s = samples[sample];
        QVERIFY(load(s));
        for (int i = 0; i < options.size(); ++i) {
            const QString& o = options[i];
            if (o == "--window") {
                f->EditLLVL->setText(options[i + 1]);
                f->EditULVL2->setText(options[i + 2]);
            } else if (o == "--zoom") {
                f->EditMF->setText(options[i + 1]);
            } else if (o == "--centre") {
                f->EditrawPosX->setText(options[i + 1]);
                f->EditrawPosY->setText(options[i + 2]);
            } else if (o == "--invert") {
                f->CheckBoxInvrt->setChecked(true);
            } else if (o == "--swap") {
                f->CheckBoxSwp->setChecked(true);
            }
        }
        if (options.contains("--auto"))
            f->ButtonAutoWL->click();
        f->ButtonDisp->click();
        QCOMPARE(messages->messages, QStringList());
        const QImage window = f->Image1->canvas().convertToFormat(QImage::Format_RGB32);

        const QString out = dir().filePath("render.png");
        QFile::remove(out);
        const CliResult r = cli("render", s, options + QStringList{"--out", out});
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.code, 0);
        const QImage image = QImage(out).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(image.size(), window.size());
        QVERIFY(image == window);
    }

    void mtf_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QList<int>>("box");
        QTest::addColumn<int>("direction");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("base");
        QTest::addColumn<bool>("rescale");
        QTest::addColumn<QString>("pixelSize"); // typed into "PixelSize"; empty: the file's
        QTest::newRow("slit") << "slit" << QList<int>{216, 240, 80, 32} << 0 << 1 << 1 << false << "";
        QTest::newRow("slit, 5 lines") << "slit" << QList<int>{216, 230, 80, 52} << 0 << 5 << 2 << false << "";
        QTest::newRow("slit, end-point mean") << "slit" << QList<int>{216, 240, 80, 32} << 0 << 2 << 0 << true << "";
        QTest::newRow("phantom slit") << "phantom" << QList<int>{264, 200, 48, 40} << 0 << 3 << 1 << false << "";
        QTest::newRow("slit along y") << "horizontal slit" << QList<int>{20, 0, 8, 64} << 1 << 3 << 1 << false << "";
        QTest::newRow("slit along y, base 0") << "horizontal slit" << QList<int>{0, 0, 64, 64} << 1 << 1 << 0 << false
                                              << "";
        QTest::newRow("raw, pixel size typed") << "raw" << QList<int>{0, 0, 64, 40} << 0 << 2 << 1 << false << "0.25";
    }
    void mtf()
    {
        QFETCH(QString, sample);
        QFETCH(QList<int>, box);
        QFETCH(int, direction);
        QFETCH(int, lines);
        QFETCH(int, base);
        QFETCH(bool, rescale);
        QFETCH(QString, pixelSize);
        const Sample& s = samples[sample];
        QVERIFY(load(s));
        setRoi(box[0], box[1], box[2], box[3]);
        f->CheckBoxRes->setChecked(rescale);
        TForm2* m = tarven::windows().form2;
        {
            InputWatch fov(QStringLiteral("250"));
            f->ButtonToTable->click();
            QTRY_VERIFY_WITH_TIMEOUT(fov.seen >= 1, 5000);
            QTest::qWait(50);
            m->EditGeta->setText(QString::number(base));
            if (!pixelSize.isEmpty())
                m->Editdx->setText(pixelSize);
            m->RadioGroup1->findChildren<QRadioButton*>().value(direction)->setChecked(true);
            // Stepping "Line#" from 1 to L builds the summary table: "CalMTF"
            // for 1, then one step of the up-down control for each count.
            m->UpDown1->setValue(1);
            m->ButtonCalMTF->click();
            for (int l = 2; l <= lines; ++l)
                m->UpDown1->stepUp();
        }
        QStringList options = roi(box[0], box[1], box[2], box[3]);
        options << "--direction" << (direction ? "y" : "x") << "--lines" << QString::number(lines) << "--base"
                << QString::number(base);
        if (rescale)
            options << "--rescale";
        if (!pixelSize.isEmpty())
            options << "--pixel-size" << pixelSize;
        if (!messages->messages.isEmpty()) {
            // The window refused: the command refuses with the same message.
            const CliResult r = cli("mtf", s, options + QStringList{"--table", "summary"});
            QCOMPARE(r.code, 1);
            QCOMPARE(r.errText(), messages->messages.first() + "\n");
            return;
        }
        const QString summary = memoText(m->MemoMTF);
        const QString fwhm = m->EditWork4->text();
        m->ButtonToMemoMTF->click();
        const QString mtfListing = memoText(m->MemoMTF);
        m->ButtonMemoLSF->click();
        const QString lsfListing = memoText(m->MemoLSF);

        QCOMPARE(cli("mtf", s, options + QStringList{"--table", "summary"}).outText(), summary);
        QCOMPARE(cli("mtf", s, options).outText(), mtfListing);
        QCOMPARE(cli("mtf", s, options + QStringList{"--table", "lsf"}).outText(), lsfListing);
        const CliResult w = cli("mtf", s, options + QStringList{"--table", "fwhm"});
        if (base > 0 || direction == 1)
            QCOMPARE(w.outText(), fwhm + "\r\n");
        else
            QCOMPARE(w.code, 1); // the end-point mean measures no width
    }

    void ws_data()
    {
        QTest::addColumn<QString>("sample");
        QTest::addColumn<QList<int>>("box");
        QTest::addColumn<int>("direction");
        QTest::addColumn<QStringList>("extra"); // --segment N M --shift A C --trend K --trend-average K
        QTest::newRow("noise") << "noise" << QList<int>{128, 128, 256, 256} << 0 << QStringList{};
        QTest::newRow("noise along y") << "noise" << QList<int>{100, 60, 128, 256} << 1 << QStringList{};
        QTest::newRow("noise, trends")
            << "noise" << QList<int>{0, 0, 512, 128} << 0
            << QStringList{"--segment", "64", "16", "--shift", "32", "16", "--trend", "2", "--trend-average", "1"};
        QTest::newRow("phantom, few segments")
            << "phantom" << QList<int>{150, 150, 200, 100} << 1 << QStringList{"--segment", "32", "20", "--max-segments", "7"};
        QTest::newRow("raw, pixel size typed") << "raw" << QList<int>{0, 0, 64, 64} << 0 << QStringList{"--pixel-size", "0.5"};
    }
    void ws()
    {
        QFETCH(QString, sample);
        QFETCH(QList<int>, box);
        QFETCH(int, direction);
        QFETCH(QStringList, extra);
        const Sample& s = samples[sample];
        QVERIFY(load(s));
        setRoi(box[0], box[1], box[2], box[3]);
        TForm3* w = tarven::windows().form3;
        f->ButtonCalWS->click();
        if (direction == 1)
            w->RadioGroupXY->findChildren<QRadioButton*>().value(1)->setChecked(true);
        // Along and across are X and Y of the fields in direction X, Y and X in direction Y.
        const auto along = [&](QLineEdit* x, QLineEdit* y) { return direction ? y : x; };
        const auto across = [&](QLineEdit* x, QLineEdit* y) { return direction ? x : y; };
        for (int i = 0; i < extra.size(); ++i) {
            const QString& o = extra[i];
            if (o == "--segment") {
                along(w->EditSgmntX, w->EditSgmntY)->setText(extra[i + 1]);
                across(w->EditSgmntX, w->EditSgmntY)->setText(extra[i + 2]);
            } else if (o == "--shift") {
                along(w->EditShftX, w->EditShftY)->setText(extra[i + 1]);
                across(w->EditShftX, w->EditShftY)->setText(extra[i + 2]);
            } else if (o == "--max-segments") {
                w->EditNSgmnt2->setText(extra[i + 1]);
            } else if (o == "--trend") {
                w->CheckBoxTrnd->setChecked(true);
                w->EditN->setText(extra[i + 1]);
            } else if (o == "--pixel-size") {
                f->EditPixelSpacing->setText(extra[i + 1]);
            } else if (o == "--trend-average") {
                w->CheckBoxTrnd1->setChecked(true);
                w->EditN1->setText(extra[i + 1]);
            }
        }
        w->ButtonCal->click();
        const QStringList options =
            roi(box[0], box[1], box[2], box[3]) + QStringList{"--direction", direction ? "y" : "x"} + extra;
        if (!messages->messages.isEmpty()) {
            const CliResult r = cli("ws", s, options);
            QCOMPARE(r.code, 1);
            QCOMPARE(r.errText(), messages->messages.first() + "\n");
            return;
        }
        w->ButtonResult->click();
        const QString result = memoText(w->MemoWS);
        w->ButtonSmooth->click();
        const QString smooth = memoText(w->MemoWS);

        const CliResult r = cli("ws", s, options);
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.outText(), result);
        QCOMPARE(cli("ws", s, options + QStringList{"--table", "smooth"}).outText(), smooth);
    }

    void anonymise_data()
    {
        QTest::addColumn<QString>("sample");
        for (const QString& name : samples.keys())
            if (!samples[name].rawColumns)
                QTest::newRow(qPrintable(name)) << name;
    }
    void anonymise()
    {
        QFETCH(QString, sample);
        const Sample& s = samples[sample];
        load(s);
        messages->messages.clear(); // a file that does not load can still be copied
        const QString byWindow = dir().filePath("window_anonymous.dcm");
        const QString byCli = dir().filePath("cli_anonymous.dcm");
        QFile::remove(byWindow);
        QFile::remove(byCli);
        auto answer = answerNextFileDialog(byWindow);
        f->ButtonSAVE_DICOMtag->click();
        QTRY_VERIFY_WITH_TIMEOUT(answer->seen, 5000);
        QCOMPARE(messages->messages, QStringList{QStringLiteral("Save OK")});
        const CliResult r = runCli({QStringLiteral("anonymise"), s.path, QStringLiteral("--out"), byCli});
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.code, 0);
        QCOMPARE(readFile(byCli), readFile(byWindow));
        QVERIFY(readFile(byCli) != readFile(s.path));
    }
};

QTEST_MAIN(TestCliWindows)
#include "tst_cli_windows.moc"
