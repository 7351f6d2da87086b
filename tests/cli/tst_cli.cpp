// tarven-cli end to end: the built command run on small files written here,
// its standard output, exit status and messages, and what it leaves on disk.
#include "fixtures.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <memory>
#include <random>

using namespace tarven::cli::test;

namespace {

const QString kUsage = QStringLiteral("usage: tarven-cli COMMAND FILE");

// A 4 x 4 image whose pixels (1, 1), (2, 1), (1, 2), (2, 2) are 10, 20, 30, 40.
int ramp(int x, int y) { return 10 * x + 20 * (y - 1); }

QStringList roi(int x, int y, int w, int h)
{
    return {QStringLiteral("--roi"), QString::number(x), QString::number(y), QString::number(w), QString::number(h)};
}

QString general(double v) { return QString::number(v, 'g', 15); }

} // namespace

class TestCli : public QObject {
    Q_OBJECT
    QTemporaryDir tmp;
    QDir dir() const { return QDir(tmp.path()); }
    QString path(const QString& name) const { return dir().filePath(name); }
    QString dicom(const QString& name, const DicomImage& im) const { return writeFile(dir(), name, dicomBytes(im)); }
    QString rampDicom() const
    {
        DicomImage im;
        im.pixel = ramp;
        return dicom(QStringLiteral("ramp.dcm"), im);
    }

private slots:
    void initTestCase() { QVERIFY(tmp.isValid()); }

    void help()
    {
        const CliResult all = runCli({QStringLiteral("--help")});
        QCOMPARE(all.code, 0);
        QVERIFY(all.outText().startsWith(kUsage));
        for (const char* c : {"tags", "summary", "render", "stats", "mtf", "ws", "anonymise"})
            QVERIFY2(all.outText().contains(QStringLiteral("  %1 FILE").arg(QLatin1String(c))), c);
        const CliResult one = runCli({QStringLiteral("ws"), QStringLiteral("--help")});
        QCOMPARE(one.code, 0);
        QVERIFY(one.outText().startsWith(QStringLiteral("usage: tarven-cli ws FILE --roi X Y W H")));
        QVERIFY(one.err.isEmpty());
    }

    // A wrong command line is refused before any file is read or written.
    void badCommandLines_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        const QString f = QStringLiteral("ramp.dcm");
        QTest::newRow("nothing") << QStringList{} << "no command given";
        QTest::newRow("unknown command") << QStringList{"measure", f} << "unknown command 'measure'";
        QTest::newRow("unknown option") << (QStringList{"stats", f} + roi(0, 0, 2, 2) + QStringList{"--bogus"})
                                        << "unknown option '--bogus' for stats";
        QTest::newRow("option of another command")
            << (QStringList{"mtf", f} + roi(0, 0, 2, 2) + QStringList{"--pixels"}) << "unknown option '--pixels' for mtf";
        QTest::newRow("image option on anonymise")
            << QStringList{"anonymise", f, "--out", "a.dcm", "--swap"} << "unknown option '--swap' for anonymise";
        QTest::newRow("too few values") << QStringList{"stats", f, "--roi", "1", "2", "3"} << "option --roi needs 4 values";
        QTest::newRow("twice") << (QStringList{"stats", f} + roi(0, 0, 2, 2) + roi(0, 0, 2, 2))
                               << "option --roi given twice";
        QTest::newRow("no file") << QStringList{"tags"} << "no FILE given";
        QTest::newRow("two files") << QStringList{"tags", f, f} << "unexpected argument 'ramp.dcm'";
        QTest::newRow("render without out") << QStringList{"render", f} << "render needs --out";
        QTest::newRow("stats without roi") << QStringList{"stats", f} << "stats needs --roi X Y W H";
        QTest::newRow("pixels and hist") << (QStringList{"stats", f, "--pixels", "--hist"} + roi(0, 0, 2, 2))
                                         << "--pixels and --hist exclude each other";
        QTest::newRow("header without raw") << QStringList{"summary", f, "--header", "10"} << "--header is the header";
        QTest::newRow("tags of raw") << QStringList{"tags", f, "--raw", "4", "4"} << "tags lists the elements";
        QTest::newRow("direction") << (QStringList{"mtf", f, "--direction", "z"} + roi(0, 0, 2, 2))
                                   << "--direction is x or y";
        QTest::newRow("mtf table") << (QStringList{"mtf", f, "--table", "result"} + roi(0, 0, 2, 2))
                                   << "--table is mtf, lsf, summary or fwhm";
        QTest::newRow("ws table") << (QStringList{"ws", f, "--table", "lsf"} + roi(0, 0, 2, 2))
                                  << "--table is result or smooth";
        QTest::newRow("window and auto") << QStringList{"render", f, "--out", "a.png", "--window", "1", "2", "--auto"}
                                         << "--window and --auto exclude each other";
    }
    void badCommandLines()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        const CliResult r = runCli(args);
        QCOMPARE(r.code, 2);
        QVERIFY(r.out.isEmpty());
        QVERIFY2(r.errText().startsWith(QStringLiteral("tarven-cli: ") + message), qPrintable(r.errText()));
        QVERIFY(r.errText().contains(QStringLiteral("usage: tarven-cli")));
    }

    void stats_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected");
        const QString sd = QStringLiteral("11.1803398874989");
        const QString d = rampDicom();
        QTest::newRow("mean and SD") << d << QStringList{} << "25\t" + sd + "\n";
        QTest::newRow("pixels") << d << QStringList{"--pixels"} << "25\t" + sd + "\n10\t20\n30\t40\n";
        QTest::newRow("hist") << d << QStringList{"--hist"}
                              << "25\t" + sd + "\nPixelValue\tCount\n10\t1\n20\t1\n30\t1\n40\t1\n";
        QTest::newRow("crlf") << d << QStringList{"--pixels", "--crlf"} << "25\t" + sd + "\r\n10\t20\r\n30\t40\r\n";
        DicomImage ct;
        ct.pixel = ramp;
        ct.intercept = "-1024";
        const QString c = dicom(QStringLiteral("ct.dcm"), ct);
        QTest::newRow("rescale off") << c << QStringList{} << "25\t" + sd + "\n";
        QTest::newRow("rescale on") << c << QStringList{"--rescale", "--pixels"}
                                    << "-999\t" + sd + "\n-1014\t-1004\n-994\t-984\n";
        DicomImage be;
        be.pixel = ramp;
        be.big = true;
        QTest::newRow("big endian swaps by itself") << dicom(QStringLiteral("big.dcm"), be) << QStringList{}
                                                    << "25\t" + sd + "\n";
        const QString raw = writeFile(dir(), QStringLiteral("ramp.raw"), rawBytes(4, 4, 0, ramp));
        QTest::newRow("raw") << raw << QStringList{"--raw", "4", "4"} << "25\t" + sd + "\n";
        QTest::newRow("raw swapped") << raw << QStringList{"--raw", "4", "4", "--swap"}
                                     << "6400\t" + general(std::sqrt(8192000.0)) + "\n";
        // 100 header bytes and 8 trailing ones: the derived header (file size
        // minus the pixels) is one row late; --header puts it right.
        auto bytes = rawBytes(4, 4, 100, ramp);
        bytes.insert(bytes.end(), 8, 0);
        const QString trailing = writeFile(dir(), QStringLiteral("trailing.raw"), bytes);
        QTest::newRow("raw derived header") << trailing << QStringList{"--raw", "4", "4"} << "45\t" + sd + "\n";
        QTest::newRow("raw given header") << trailing << QStringList{"--raw", "4", "4", "--header", "100"}
                                          << "25\t" + sd + "\n";
    }
    void stats()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        QFETCH(QString, expected);
        const CliResult r = runCli(QStringList{"stats", file} + roi(1, 1, 2, 2) + options);
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.code, 0);
        QCOMPARE(r.outText(), expected);
    }

    // Failures: the window's message on standard error, exit status 1,
    // nothing on standard output and nothing written where --out or --plot
    // point (an existing file there stays as it was).
    void failures_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("output");
        const QString d = rampDicom();
        DicomImage flat; // 16 x 16, every pixel 1000: no spectrum to take a logarithm of
        flat.columns = flat.rows = 16;
        flat.pixel = [](int, int) { return 1000; };
        const QString f = dicom(QStringLiteral("flat.dcm"), flat);
        DicomImage noSpacing;
        noSpacing.pixelSpacing.clear();
        const QString n = dicom(QStringLiteral("nospacing.dcm"), noSpacing);
        const QString raw = writeFile(dir(), QStringLiteral("r.raw"), rawBytes(4, 4, 0, ramp));
        const QString keep = path(QStringLiteral("keep.png"));
        const QString missing = path(QStringLiteral("missing.dcm"));
        const QString notInteger = QStringLiteral("'abc' は整数ではありません");
        const QString divZero = QStringLiteral("0 による浮動小数点数除算");

        QTest::newRow("missing file") << (QStringList{"stats", missing} + roi(0, 0, 2, 2))
                                      << "ファイル " + missing + " は開けません" << QString();
        QTest::newRow("stats ROI outside") << (QStringList{"stats", d} + roi(10, 10, 2, 2)) << divZero << QString();
        QTest::newRow("mtf ROI outside") << (QStringList{"mtf", d, "--plot", keep} + roi(4, 0, 2, 2)) << divZero << keep;
        QTest::newRow("mtf pixel size 0") << (QStringList{"mtf", d, "--pixel-size", "0", "--base", "0", "--plot", keep} + roi(0, 0, 4, 4))
                                          << divZero << keep;
        QTest::newRow("mtf raw without pixel size")
            << (QStringList{"mtf", raw, "--raw", "4", "4"} + roi(0, 0, 4, 4))
            << "the image has no pixel spacing: give the pixel size with --pixel-size MM" << QString();
        QTest::newRow("mtf pixel size not a number")
            << (QStringList{"mtf", d, "--pixel-size", "abc"} + roi(0, 0, 4, 4))
            << QStringLiteral("'abc' は浮動小数点数ではありません") << QString();
        QTest::newRow("ws pixel size 0") << (QStringList{"ws", f, "--pixel-size", "0", "--plot", keep} + roi(0, 0, 16, 16))
                                         << QStringLiteral("不正な浮動小数点数演算命令") << keep;
        QTest::newRow("ws flat ROI") << (QStringList{"ws", f} + roi(0, 0, 16, 16))
                                     << QStringLiteral("不正な浮動小数点数演算命令") << QString();
        QTest::newRow("ws raw without pixel size")
            << (QStringList{"ws", raw, "--raw", "4", "4"} + roi(0, 0, 4, 4))
            << "the image has no pixel spacing: give the pixel size with --pixel-size MM or the field of view with "
               "--fov MM"
            << QString();
        QTest::newRow("render width 0") << QStringList{"render", d, "--out", keep, "--window", "0", "600"} << divZero
                                        << keep;
        QTest::newRow("render width not a number") << QStringList{"render", d, "--out", keep, "--window", "abc", "600"}
                                                   << notInteger << keep;
        QTest::newRow("no pixel spacing stops the load")
            << QStringList{"summary", n} << QStringLiteral("'' は浮動小数点数ではありません") << QString();
        QTest::newRow("output over the input") << QStringList{"anonymise", d, "--out", d}
                                               << "ファイル " + d + " は開けません (the input file itself)" << QString();
        QTest::newRow("anonymise raw") << QStringList{"anonymise", raw, "--out", keep}
                                       << "not a DICOM file (no \"DICM\" in the first 256 bytes): nothing was "
                                          "anonymised, no copy written"
                                       << keep;
    }
    void failures()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, message);
        QFETCH(QString, output);
        const QByteArray before = "kept as it was";
        if (!output.isEmpty()) {
            QFile f(output);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        const QByteArray input = args.size() > 1 ? readFile(args[1]) : QByteArray();
        const CliResult r = runCli(args);
        QCOMPARE(r.errText(), message + "\n");
        QCOMPARE(r.code, 1);
        QCOMPARE(r.outText(), QString());
        if (!output.isEmpty()) {
            QCOMPARE(readFile(output), before);
            QFile::remove(output);
        }
        QCOMPARE(readFile(args[1]), input);
        // No temporary file is left behind either.
        QCOMPARE(dir().entryList(QStringList{QStringLiteral(".*.??????")}, QDir::Files | QDir::Hidden), QStringList());
    }

    void tags()
    {
        const CliResult r = runCli({QStringLiteral("tags"), rampDicom()});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.outText().split(QLatin1Char('\n'));
        QCOMPARE(lines.first(), QStringLiteral("No\tGrou\tElem\tVR\tLengVR\tData\tName"));
        QCOMPARE(lines.last(), QString()); // the last line ends with LF too
        QCOMPARE(lines.size(), 1 + 18 + 1); // heading, 18 elements
        // The transfer syntax UID with its NUL padding, shown as a symbol.
        QVERIFY(lines[1].startsWith(QStringLiteral("1\t   2\t  10\tUI\t  14\t1.2.840.10008.1.2.1\u2400\t")));
        QVERIFY(lines[5].startsWith(QStringLiteral("5\t  10\t  10\tPN\t   8\tDoe^Jane\t")));
        QVERIFY(lines[9].startsWith(QStringLiteral("9\t  28\t  10\tUS\t   2\t4\t")));
        QCOMPARE(lines[18], QStringLiteral("18\t7FE0\t  10\tOW\t  20\t \tPixel Data"));
        const CliResult crlf = runCli({QStringLiteral("tags"), rampDicom(), QStringLiteral("--crlf")});
        QCOMPARE(crlf.outText(), r.outText().replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
    }

    // Row numbers stop at 256, as in the window's table.
    void tagsBeyondRow256()
    {
        DicomBytes d = DicomBytes::withMeta(tarven::dicom::testing::explicitUid);
        for (int e = 0x1000; e < 0x1000 + 260; ++e)
            d.ex(0x0009, static_cast<std::uint32_t>(e), "LO", "x ");
        d.ex(0x0028, 0x0030, "DS", "1\\1 ");
        d.exHead(0x7FE0, 0x0010, "OW", 0);
        const CliResult r = runCli({QStringLiteral("tags"), writeFile(dir(), QStringLiteral("many.dcm"), d.b)});
        QCOMPARE(r.code, 0);
        const QStringList lines = r.outText().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 1 + 265 + 1);
        QVERIFY(lines[256].startsWith(QStringLiteral("256\t   9\t10FC\tLO\t   2\tx \tPrivate Tag")));
        QVERIFY(lines[257].startsWith(QStringLiteral("\t   9\t10FD\tLO\t   2\tx \tPrivate Tag")));
    }

    // The table as far as the reader got, and the message that stops the load.
    void tagsOfAFileThatDoesNotLoad()
    {
        DicomImage im;
        im.pixelSpacing.clear();
        const CliResult r = runCli({QStringLiteral("tags"), dicom(QStringLiteral("nops.dcm"), im)});
        QCOMPARE(r.code, 1);
        QCOMPARE(r.errText(), QStringLiteral("'' は浮動小数点数ではありません\n"));
        QCOMPARE(r.outText().count(QLatin1Char('\n')), 1 + 17);
    }

    void summary()
    {
        DicomImage im;
        im.columns = 2;
        im.rows = 4;
        im.fov = "256";
        im.windowCenter = "40\\400";
        im.windowWidth = "400 ";
        const QString file = dicom(QStringLiteral("summary.dcm"), im);
        const CliResult r = runCli({QStringLiteral("summary"), file});
        QCOMPARE(r.code, 0);
        const qint64 header = QFileInfo(file).size() - 2 * 4 * 2;
        QCOMPARE(r.outText(), QStringLiteral("CT\nmmST : 5 \nmmFOV : 256 \nMX : 4\nMY : 2\nmmPSize : 0.5\\0.5 \nbit : 16\n"
                                             "matrix 2 4\nheader %1\npixel-spacing 0.5\nwindow 400 40\n")
                                  .arg(header));
        const CliResult raw = runCli({QStringLiteral("summary"), file, QStringLiteral("--raw"), QStringLiteral("2"),
                                      QStringLiteral("4")});
        QCOMPARE(raw.outText(), QStringLiteral("matrix 2 4\nheader %1\npixel-spacing \nwindow 600 600\n").arg(header));
    }

    void render_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("x"); // display pixel
        QTest::addColumn<int>("y");
        QTest::addColumn<int>("grey");
        // Columns 300, 600, 900, 1200; a 4 x 4 image sits at (254, 254).
        QTest::newRow("level grey") << QStringList{} << "a.png" << 255 << 254 << 128;
        QTest::newRow("below the window") << QStringList{} << "a.png" << 254 << 255 << 0;
        QTest::newRow("above the window") << QStringList{} << "a.png" << 256 << 256 << 255;
        QTest::newRow("background") << QStringList{} << "a.png" << 10 << 10 << 255;
        QTest::newRow("bmp") << QStringList{} << "a.BMP" << 255 << 257 << 128;
        QTest::newRow("invert") << QStringList{"--invert"} << "i.png" << 255 << 254 << 127;
        QTest::newRow("window") << QStringList{"--window", "1200", "0"} << "w.png" << 254 << 254 << 192;
        QTest::newRow("reversed window") << QStringList{"--window", "-600", "600"} << "r.png" << 256 << 254 << 0;
        QTest::newRow("enlarged") << QStringList{"--zoom", "-1"} << "z.png" << 200 << 5 << 128;
        QTest::newRow("enlarged last column") << QStringList{"--zoom", "-1"} << "z.png" << 511 << 5 << 255;
    }
    void render()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, name);
        QFETCH(int, x);
        QFETCH(int, y);
        QFETCH(int, grey);
        DicomImage im;
        im.pixel = [](int px, int) { return 300 * (px + 1); };
        const QString out = path(name);
        QFile::remove(out);
        const CliResult r = runCli(QStringList{"render", dicom(QStringLiteral("cols.dcm"), im), "--out", out} + options);
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        const QImage img(out);
        QCOMPARE(img.size(), QSize(512, 512));
        QCOMPARE(img.pixel(x, y), qRgb(grey, grey, grey));
    }

    // "AutoW" on a uniform image: width 4 around the value, which shows grey 128.
    void renderAuto()
    {
        DicomImage im;
        im.pixel = [](int, int) { return 1234; };
        const QString out = path(QStringLiteral("auto.png"));
        const CliResult r = runCli({QStringLiteral("render"), dicom(QStringLiteral("u.dcm"), im), QStringLiteral("--out"),
                                    out, QStringLiteral("--auto")});
        QCOMPARE(r.code, 0);
        QCOMPARE(QImage(out).pixel(256, 256), qRgb(128, 128, 128));
    }

    // Known answers of the MTF engine through the command: an impulse has a
    // flat MTF, a triangle of height 10 a FWHM of 10 samples.
    void mtf_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("expected");
        auto write = [&](const QString& name, int columns, int rows, std::function<int(int, int)> pixel) {
            DicomImage im;
            im.columns = columns;
            im.rows = rows;
            im.pixel = std::move(pixel);
            return dicom(name, im);
        };
        const QString impulse = write("impulse.dcm", 128, 1, [](int x, int) { return x == 64 ? 100 : 0; });
        const auto triangle = [](int i, int pedestal) { return pedestal + std::max(0, 10 - std::abs(i + 1 - 21)); };
        const QString tri = write("tri.dcm", 41, 1, [&](int x, int) { return triangle(x, 0); });
        const QString pedestal = write("ped.dcm", 41, 1, [&](int x, int) { return triangle(x, 5); });
        const QString column = write("col.dcm", 1, 41, [&](int, int y) { return triangle(y, 0); });
        QTest::newRow("impulse summary")
            << impulse << QStringList{"--base", "0", "--table", "summary"}
            << "No\tMax c/mm \tMax MTF            \t0.2c/mm MTF\n1\t0\t      1\t1\n";
        QTest::newRow("impulse summary, pixel size given")
            << impulse << QStringList{"--base", "0", "--table", "summary", "--pixel-size", "0.25", "--crlf"}
            << "No\tMax c/mm \tMax MTF            \t0.2c/mm MTF\r\n1\t0\t      1\t1\r\n";
        QTest::newRow("triangle fwhm") << tri << QStringList{"--table", "fwhm"} << "FWHM=5\n";
        QTest::newRow("triangle on a pedestal") << pedestal << QStringList{"--table", "fwhm"} << "FWHM=5\n";
        QTest::newRow("column along y") << column << QStringList{"--table", "fwhm", "--direction", "y"} << "FWHM=5\n";
        QTest::newRow("triangle, pixel size 1") << tri << QStringList{"--table", "fwhm", "--pixel-size", "1"}
                                                << "FWHM=10\n";
    }
    void mtf()
    {
        QFETCH(QString, file);
        QFETCH(QStringList, options);
        QFETCH(QString, expected);
        const QStringList size = QFileInfo(file).fileName() == "col.dcm" ? roi(0, 0, 1, 41)
                                 : QFileInfo(file).fileName() == "impulse.dcm" ? roi(0, 0, 128, 1)
                                                                               : roi(0, 0, 41, 1);
        const CliResult r = runCli(QStringList{"mtf", file} + size + options);
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.code, 0);
        QCOMPARE(r.outText(), expected);
    }

    void mtfListings()
    {
        DicomImage im;
        im.columns = 128;
        im.rows = 1;
        im.pixel = [](int x, int) { return x == 64 ? 100 : 0; };
        const QString file = dicom(QStringLiteral("imp.dcm"), im);
        const QString plot = path(QStringLiteral("mtf.png"));
        const CliResult m = runCli(QStringList{"mtf", file, "--base", "0", "--plot", plot} + roi(0, 0, 128, 1));
        QCOMPARE(m.code, 0);
        const QStringList mtf = m.outText().split(QLatin1Char('\n'));
        QCOMPARE(mtf.size(), 1 + 128 + 1);
        QCOMPARE(mtf[0], QStringLiteral("c/mm\timp.dcm"));
        QCOMPARE(mtf[1], QStringLiteral("0\t1"));
        QCOMPARE(mtf[2], QStringLiteral("0.0156\t1")); // 1/64 c/mm to four decimals
        QCOMPARE(mtf[128], QStringLiteral("1.9844\t1"));
        QCOMPARE(QImage(plot).size(), QSize(526, 330));

        const CliResult l = runCli(QStringList{"mtf", file, "--base", "0", "--table", "lsf"} + roi(0, 0, 128, 1));
        const QStringList lsf = l.outText().split(QLatin1Char('\n'));
        QCOMPARE(lsf.size(), 1 + 128 + 1);
        QCOMPARE(lsf[0], QStringLiteral("mm\timp.dcm"));
        QCOMPARE(lsf[2], QStringLiteral("0.5\t0"));
        QCOMPARE(lsf[65], QStringLiteral("32\t100"));
    }

    // The bundled samples carry known answers: the slit's Gaussian LSF
    // (sigma 1 mm) and the noise image's flat spectrum (SD^2 * pixel size^2).
    void samples()
    {
        QProcess gen;
        gen.start(QStringLiteral(TARVEN_SAMPLES), {tmp.path()});
        QVERIFY(gen.waitForFinished(60000));
        QCOMPARE(gen.exitCode(), 0);
        const QString slit = path(QStringLiteral("slit_512x512.dcm"));
        const QStringList slitRoi = roi(216, 240, 80, 32);

        const CliResult fwhm = runCli(QStringList{"mtf", slit, "--table", "fwhm"} + slitRoi);
        QCOMPARE(fwhm.code, 0);
        QVERIFY(fwhm.outText().startsWith(QStringLiteral("FWHM=")));
        QVERIFY2(std::abs(fwhm.outText().mid(5).trimmed().toDouble() - 2.3548) < 0.05, qPrintable(fwhm.outText()));

        const CliResult mtf = runCli(QStringList{"mtf", slit} + slitRoi);
        QCOMPARE(mtf.code, 0);
        const QStringList lines = mtf.outText().split(QLatin1Char('\n'));
        QCOMPARE(lines[9].section(QLatin1Char('\t'), 0, 0), QStringLiteral("0.2"));
        QVERIFY2(std::abs(lines[9].section(QLatin1Char('\t'), 1).toDouble() - std::exp(-2 * M_PI * M_PI * 0.04)) < 0.005,
                 qPrintable(lines[9]));
        QCOMPARE(lines[21].section(QLatin1Char('\t'), 0, 0), QStringLiteral("0.5"));
        QVERIFY(std::abs(lines[21].section(QLatin1Char('\t'), 1).toDouble() - std::exp(-2 * M_PI * M_PI * 0.25)) < 0.002);

        // Line counts 1 .. 3 sum lines around the brightest row, so the
        // normalised values hardly move.
        const CliResult summary = runCli(QStringList{"mtf", slit, "--table", "summary", "--lines", "3"} + slitRoi);
        QCOMPARE(summary.code, 0);
        const QStringList rows = summary.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(rows.size(), 4);
        for (int l = 1; l <= 3; ++l) {
            QCOMPARE(rows[l].section(QLatin1Char('\t'), 0, 0), QString::number(l));
            QVERIFY(std::abs(rows[l].section(QLatin1Char('\t'), 3).toDouble() - 0.454) < 0.005);
        }

        const QString plot = path(QStringLiteral("ws.png"));
        const CliResult ws = runCli(QStringList{"ws", path(QStringLiteral("noise_512x512.dcm")), "--plot", plot} +
                                    roi(0, 0, 512, 512));
        QCOMPARE(ws.code, 0);
        const QStringList table = ws.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(table.size(), 256); // heading and indices 1 .. 255
        QCOMPARE(table[0], QStringLiteral("c/mm\tnoise_512x512.dcm"));
        QCOMPARE(table[1].section(QLatin1Char('\t'), 0, 0), QStringLiteral("0.0078125")); // 1 / (256 * 0.5)
        double sum = 0;
        for (int k = 1; k < table.size(); ++k)
            sum += table[k].section(QLatin1Char('\t'), 1).toDouble();
        QVERIFY2(std::abs(sum / 255 - 25) < 2.5, qPrintable(QString::number(sum / 255)));
        QCOMPARE(QImage(plot).size(), QSize(512, 306));
    }

    // A cosine of 4 cycles per segment puts A^2 N M dx^2 / 4 into bin 4 (and
    // its mirror), whichever direction it runs in.
    void wsCosine_data()
    {
        QTest::addColumn<QString>("direction");
        QTest::newRow("x") << "x";
        QTest::newRow("y") << "y";
    }
    void wsCosine()
    {
        QFETCH(QString, direction);
        const bool y = direction == QStringLiteral("y");
        DicomImage im;
        im.columns = im.rows = 64;
        // A little noise keeps every other bin above 0, which the spectrum's
        // logarithmic drawing needs.
        auto noise = std::make_shared<std::vector<int>>(64 * 64);
        std::mt19937 rng(5);
        std::uniform_int_distribution<int> jitter(-2, 2);
        for (int& v : *noise)
            v = jitter(rng);
        im.pixel = [y, noise](int px, int py) {
            return 1000 + (*noise)[static_cast<std::size_t>(py * 64 + px)] +
                   static_cast<int>(std::lround(100 * std::cos(2 * M_PI * 4 * (y ? py : px) / 32.0)));
        };
        const CliResult r = runCli(QStringList{"ws", dicom(QStringLiteral("cos.dcm"), im), "--direction", direction} +
                                   roi(0, 0, 64, 64));
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.code, 0);
        const QStringList t = r.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(t.size(), 32); // N = 64 div 2: indices 1 .. 31
        QCOMPARE(t[4].section(QLatin1Char('\t'), 0, 0), QStringLiteral("0.25")); // 4 / (32 * 0.5)
        const double expected = 100.0 * 100.0 * 32 * 16 * 0.25 / 4;
        QVERIFY2(std::abs(t[4].section(QLatin1Char('\t'), 1).toDouble() / expected - 1) < 0.01, qPrintable(t[4]));
        QVERIFY(std::abs(t[28].section(QLatin1Char('\t'), 1).toDouble() / expected - 1) < 0.01);
        QVERIFY(t[10].section(QLatin1Char('\t'), 1).toDouble() < expected * 1e-3);

        const CliResult s = runCli(QStringList{"ws", dicom(QStringLiteral("cos.dcm"), im), "--direction", direction,
                                               "--table", "smooth"} +
                                   roi(0, 0, 64, 64));
        const QStringList smooth = s.outText().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(smooth.size(), 32);
        // Line 4 is the mean of indices 1 .. 8: one eighth of the peak.
        QVERIFY(std::abs(smooth[4].section(QLatin1Char('\t'), 1).toDouble() / (expected / 8) - 1) < 0.01);
    }

    void anonymise()
    {
        const QString in = rampDicom();
        const QString out = path(QStringLiteral("anon.dcm"));
        const CliResult r = runCli({QStringLiteral("anonymise"), in, QStringLiteral("--out"), out});
        QCOMPARE(r.errText(), QString());
        QCOMPARE(r.code, 0);
        QVERIFY(r.out.isEmpty());
        QByteArray expected = readFile(in);
        expected.replace("Doe^Jane", "11111111").replace("ID000042", "11111111");
        QCOMPARE(readFile(out), expected);
        QVERIFY(QFileInfo(out).permissions() & QFileDevice::ReadOther);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
