#pragma once
// Small image files for the tarven-cli tests, and a runner for the command.
#include "unit/dicom/dicom_bytes.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarven::cli::test {

using tarven::dicom::testing::DicomBytes;

struct CliResult {
    int code = -1;
    QByteArray out, err;
    QString outText() const { return QString::fromUtf8(out); }
    QString errText() const { return QString::fromUtf8(err); }
};

inline CliResult runCli(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(TARVEN_CLI), args);
    CliResult r;
    if (!p.waitForFinished(300000))
        return r;
    r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// A DICOM image, explicit VR little endian unless big is set: the elements a
// scanner writes that the viewer reads, then the pixels.
struct DicomImage {
    int columns = 4, rows = 4;
    std::function<int(int x, int y)> pixel = [](int, int) { return 0; };
    std::string pixelSpacing = "0.5\\0.5"; // empty: no element
    std::string fov;                          // empty: no element
    std::string windowCenter = "600", windowWidth = "600";
    std::string intercept = "0", slope = "1";
    std::string patientName = "Doe^Jane";
    std::string photometric = "MONOCHROME2 ";
    bool big = false;
};

inline std::string even(std::string s)
{
    if (s.size() % 2)
        s.push_back(' ');
    return s;
}

inline std::vector<std::uint8_t> dicomBytes(const DicomImage& im)
{
    DicomBytes d = DicomBytes::withMeta(im.big ? dicom::testing::bigUid : dicom::testing::explicitUid);
    d.big = im.big; // the meta group stays little endian; the data set follows the syntax
    d.ex(0x0008, 0x0060, "CS", "CT");
    d.ex(0x0010, 0x0010, "PN", even(im.patientName));
    d.ex(0x0010, 0x0020, "LO", "ID000042");
    d.ex(0x0018, 0x0050, "DS", "5 ");
    if (!im.fov.empty())
        d.ex(0x0018, 0x1100, "DS", even(im.fov));
    d.ex(0x0028, 0x0004, "CS", im.photometric);
    d.ex(0x0028, 0x0010, "US", d.us(static_cast<std::uint32_t>(im.rows)));
    d.ex(0x0028, 0x0011, "US", d.us(static_cast<std::uint32_t>(im.columns)));
    if (!im.pixelSpacing.empty())
        d.ex(0x0028, 0x0030, "DS", even(im.pixelSpacing));
    d.ex(0x0028, 0x0100, "US", d.us(16));
    d.ex(0x0028, 0x0101, "US", d.us(16));
    d.ex(0x0028, 0x1050, "DS", even(im.windowCenter));
    d.ex(0x0028, 0x1051, "DS", even(im.windowWidth));
    d.ex(0x0028, 0x1052, "DS", even(im.intercept));
    d.ex(0x0028, 0x1053, "DS", even(im.slope));
    d.exHead(0x7FE0, 0x0010, "OW", static_cast<std::uint32_t>(im.columns * im.rows * 2));
    for (int y = 0; y < im.rows; ++y)
        for (int x = 0; x < im.columns; ++x)
            d.u16(static_cast<std::uint32_t>(static_cast<std::uint16_t>(im.pixel(x, y))));
    return d.b;
}

// Headerless-or-not raw file: header bytes 0xAB, then little-endian words.
inline std::vector<std::uint8_t> rawBytes(int columns, int rows, int header, const std::function<int(int, int)>& pixel)
{
    std::vector<std::uint8_t> b(static_cast<std::size_t>(header), 0xAB);
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < columns; ++x) {
            const auto v = static_cast<std::uint16_t>(pixel(x, y));
            b.push_back(static_cast<std::uint8_t>(v & 0xFF));
            b.push_back(static_cast<std::uint8_t>(v >> 8));
        }
    return b;
}

inline QString writeFile(const QDir& dir, const QString& name, const std::vector<std::uint8_t>& bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
    return path;
}

inline QByteArray readFile(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace tarven::cli::test
