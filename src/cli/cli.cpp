#include "cli/cli.h"

#include "common/errors.h"
#include "common/memo.h"
#include "common/numeric.h"
#include "common/pixels.h"
#include "dicom/anonymise.h"
#include "dicom/dictionary.h"
#include "dicom/walk.h"
#include "io/rawload.h"
#include "mtf/mtf.h"
#include "mtf/pixeltable.h"
#include "viewer/autowindow.h"
#include "viewer/roi.h"
#include "viewer/stats.h"
#include "wiener/spectrum.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <ostream>
#include <set>
#include <sstream>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarven::cli {

namespace {

namespace fs = std::filesystem;

// A refusal of the command line itself (exit 2, with the usage hint).
class UsageError : public Error {
public:
    using Error::Error;
};

// ---------------------------------------------------------------- the command line

struct OptionSpec {
    std::string_view name;
    int arity;
};

// Every option with the number of values it takes.
constexpr OptionSpec kOptions[] = {
    {"--raw", 2},        {"--header", 1},     {"--swap", 0},         {"--rescale", 0},    {"--crlf", 0},
    {"--roi", 4},        {"--out", 1},        {"--window", 2},       {"--auto", 0},       {"--zoom", 1},
    {"--centre", 2},     {"--invert", 0},     {"--pixels", 0},       {"--hist", 0},       {"--direction", 1},
    {"--lines", 1},      {"--base", 1},       {"--pixel-size", 1},   {"--table", 1},      {"--plot", 1},
    {"--segment", 2},    {"--shift", 2},      {"--max-segments", 1}, {"--trend", 1},      {"--trend-average", 1},
    {"--fov", 1},
};

const std::set<std::string_view> kImageOptions = {"--raw", "--header", "--swap", "--rescale", "--crlf"};

struct CommandSpec {
    std::string_view name;
    std::set<std::string_view> options; // besides the image options
    std::string_view usage;
};

const std::vector<CommandSpec>& commands()
{
    static const std::vector<CommandSpec> list = {
        {"tags", {}, "tags FILE\n    the tag table: heading row, then one TAB-separated row per listed element\n"},
        {"summary",
         {},
         "summary FILE\n    the acquisition summary, then the lines\n    matrix X Y, header H, pixel-spacing P, window "
         "WIDTH LEVEL\n"},
        {"render",
         {"--out", "--window", "--auto", "--zoom", "--centre", "--invert"},
         "render FILE --out IMAGE [--window WIDTH LEVEL] [--auto] [--zoom CODE] [--centre X Y] [--invert]\n"
         "    writes the 512 x 512 display (PNG or BMP by the extension); --auto takes the window from \"AutoW\"\n"},
        {"stats",
         {"--roi", "--pixels", "--hist"},
         "stats FILE --roi X Y W H [--pixels | --hist]\n"
         "    mean TAB SD; with --pixels or --hist also the text \"Ave/SD\" puts on the clipboard\n"},
        {"mtf",
         {"--roi", "--direction", "--lines", "--base", "--pixel-size", "--table", "--plot"},
         "mtf FILE --roi X Y W H [--direction x|y] [--lines L] [--base K] [--pixel-size MM]\n"
         "    [--table mtf|lsf|summary|fwhm] [--plot IMAGE]\n"
         "    the MTF listing (default), the LSF listing, the summary table for line counts 1 .. L,\n"
         "    or the line FWHM=; the pixel size defaults to the file's pixel spacing\n"},
        {"ws",
         {"--roi", "--direction", "--segment", "--shift", "--max-segments", "--trend", "--trend-average",
          "--pixel-size", "--fov", "--table", "--plot"},
         "ws FILE --roi X Y W H [--direction x|y] [--segment N M] [--shift ALONG ACROSS] [--max-segments K]\n"
         "    [--trend ORDER] [--trend-average ORDER] [--pixel-size MM] [--fov MM] [--table result|smooth]\n"
         "    [--plot IMAGE]\n"
         "    the \"Result\" table (default) or the \"Smooth\" table of the Wiener spectrum; segment W/2 x H/4\n"
         "    and shifts W/4, H/8 unless given\n"},
        {"anonymise", {"--out"}, "anonymise FILE --out OUT\n    writes the anonymised copy \"S_DICOM\" writes\n"},
    };
    return list;
}

const CommandSpec* findCommand(std::string_view name)
{
    for (const CommandSpec& c : commands())
        if (c.name == name)
            return &c;
    return nullptr;
}

std::string usageText()
{
    std::string s = "usage: tarven-cli COMMAND FILE [OPTIONS]\n\ncommands:\n";
    for (const CommandSpec& c : commands())
        s += "  " + std::string(c.usage);
    s += "\nimage options (every command but anonymise):\n"
         "  --raw COLUMNS ROWS  raw 16-bit pixels; header = file size - COLUMNS * ROWS * 2\n"
         "  --header BYTES      the header of a raw file\n"
         "  --swap              exchange the two bytes of every pixel word (\"Swap\")\n"
         "  --rescale           apply the rescale where \"Res.On\" would\n"
         "  --crlf              end lines with CR LF as the windows do (default LF)\n"
         "A ROI is --roi X Y W H in image pixels: left column, top row, width, height.\n";
    return s;
}

std::string commandUsageText(const CommandSpec& c)
{
    std::string s = "usage: tarven-cli " + std::string(c.usage);
    if (c.name != "anonymise")
        s += "image options: --raw COLUMNS ROWS, --header BYTES, --swap, --rescale, --crlf\n";
    return s;
}

struct CommandLine {
    const CommandSpec* command = nullptr;
    std::string file;
    std::map<std::string, std::vector<std::string>, std::less<>> options;
    bool help = false;

    bool has(std::string_view name) const { return options.find(name) != options.end(); }
    const std::string& value(std::string_view name, std::size_t i = 0) const { return options.find(name)->second.at(i); }
    std::string valueOr(std::string_view name, std::string fallback) const
    {
        return has(name) ? value(name) : std::move(fallback);
    }
};

CommandLine parse(const std::vector<std::string>& args)
{
    CommandLine cl;
    if (args.empty())
        throw UsageError("no command given");
    if (args[0] == "--help" || args[0] == "-h") {
        cl.help = true;
        return cl;
    }
    cl.command = findCommand(args[0]);
    if (!cl.command)
        throw UsageError("unknown command '" + args[0] + "'");
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            cl.help = true;
            return cl;
        }
        if (a.size() > 1 && a[0] == '-' && a != "-") {
            std::string name = a == "--center" ? "--centre" : a;
            const OptionSpec* option = nullptr;
            for (const OptionSpec& o : kOptions)
                if (o.name == name)
                    option = &o;
            const bool allowed = option && (cl.command->options.count(option->name) ||
                                          (cl.command->name != "anonymise" && kImageOptions.count(option->name)));
            if (!allowed)
                throw UsageError("unknown option '" + a + "' for " + std::string(cl.command->name));
            if (cl.has(name))
                throw UsageError("option " + name + " given twice");
            if (option->arity > 0 && i + static_cast<std::size_t>(option->arity) >= args.size())
                throw UsageError("option " + name + " needs " + std::to_string(option->arity) + " value" +
                                 (option->arity == 1 ? "" : "s"));
            std::vector<std::string> values(args.begin() + static_cast<std::ptrdiff_t>(i) + 1,
                                            args.begin() + static_cast<std::ptrdiff_t>(i) + 1 + option->arity);
            cl.options.emplace(name, std::move(values));
            i += static_cast<std::size_t>(option->arity);
            continue;
        }
        if (!cl.file.empty())
            throw UsageError("unexpected argument '" + a + "'");
        cl.file = a;
    }
    if (cl.file.empty())
        throw UsageError("no FILE given");
    const std::string_view name = cl.command->name;
    if ((name == "render" || name == "anonymise") && !cl.has("--out"))
        throw UsageError(std::string(name) + " needs --out");
    if ((name == "stats" || name == "mtf" || name == "ws") && !cl.has("--roi"))
        throw UsageError(std::string(name) + " needs --roi X Y W H");
    if (cl.has("--header") && !cl.has("--raw"))
        throw UsageError("--header is the header of a raw file: give --raw COLUMNS ROWS too");
    if (name == "tags" && cl.has("--raw"))
        throw UsageError("tags lists the elements of a DICOM file; --raw does not apply");
    if (cl.has("--pixels") && cl.has("--hist"))
        throw UsageError("--pixels and --hist exclude each other (the window has one of the two checked)");
    if (cl.has("--window") && cl.has("--auto"))
        throw UsageError("--window and --auto exclude each other");
    if (cl.has("--direction") && cl.value("--direction") != "x" && cl.value("--direction") != "y")
        throw UsageError("--direction is x or y");
    if (cl.has("--table")) {
        const std::string& t = cl.value("--table");
        const bool ok = name == "mtf" ? (t == "mtf" || t == "lsf" || t == "summary" || t == "fwhm")
                                      : (t == "result" || t == "smooth");
        if (!ok)
            throw UsageError(name == "mtf" ? "--table is mtf, lsf, summary or fwhm" : "--table is result or smooth");
    }
    return cl;
}

// ---------------------------------------------------------------- output

// Turns the windows' CR LF into the chosen line end.
std::string lineEnds(std::string_view text, bool crlf)
{
    if (crlf)
        return std::string(text);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out.push_back(text[i]);
    }
    return out;
}

// Memo lines as text: every line ends with the line end; the empty last line
// that a closing CR LF leaves is not a line of its own.
std::string memoText(const std::vector<std::string>& lines, bool crlf)
{
    std::size_t n = lines.size();
    if (n > 0 && lines[n - 1].empty())
        --n;
    std::string s;
    const char* eol = crlf ? "\r\n" : "\n";
    for (std::size_t i = 0; i < n; ++i)
        (s += lines[i]) += eol;
    return s;
}

// Value bytes may hold control characters (NUL padding, binary values shown
// as characters). Printed as they are they would break the TAB-separated
// lines, so each is written as its visible symbol of the Control Pictures
// block (NUL as U+2400, TAB as U+2409, DEL as U+2421); all else is unchanged.
std::string visible(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            const unsigned cp = c == 0x7F ? 0x2421 : 0x2400 + c;
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(ch);
        }
    }
    return out;
}

std::string fileNameOf(const std::string& path) { return fs::path(path).filename().string(); }

// ---------------------------------------------------------------- the viewer state

// What the main window holds after loading a file: the texts of its boxes
// (the store the operations convert at the moment they run) and the few
// module variables the analyses read.
struct Viewer {
    std::vector<std::uint8_t> bytes;
    std::string path;
    std::string fileName; // EditFileName
    std::string header = "0";
    std::string sizeX = "0", sizeY = "0";
    std::string width = "600", level = "600";
    std::string intercept = "0", slope = "1";
    std::string pixelSpacingText; // EditPixelSpacing
    std::string fov;              // EditFOV of the main window
    std::string posX, posY;
    std::string zoom = "1";
    bool swap = false;
    bool rescale = false; // "Res.On"
    std::int32_t matrixX = 0, matrixY = 0;
    std::string photometric;
    std::optional<double> pixelSpacing; // set only by a DICOM pixel spacing
    std::string wsFov = "320";          // the Wiener spectrum window's EditFOV
    std::string summary;                // Memo1, CR LF lines
    dicom::WalkResult walk;
    bool dicom = false;

    PixelAccess pixels() const { return PixelAccess(bytes, parseInt(header), matrixX, swap); }
};

// The header check that opens every rendering: the DICOM reader's " " (no
// pixel data found) or a header equal to the file size takes the pixels as
// the last X * Y words of the file.
void headerCheck(Viewer& v)
{
    const std::string fileSize = formatInt(static_cast<std::int64_t>(v.bytes.size()));
    if (v.header == fileSize || v.header == " ") {
        const std::int64_t x = parseInt(v.sizeX), y = parseInt(v.sizeY);
        v.header = formatInt(static_cast<std::int64_t>(v.bytes.size()) - x * y * 2);
    }
}

// The DICOM reader as the window runs it on a fresh start.
void readDicom(Viewer& v)
{
    v.header = " ";
    v.walk = dicom::walkDicom(v.bytes, dicom::builtinDictionary(), false);
    const dicom::WalkResult& res = v.walk;
    if (res.dicmFound) {
        v.swap = false;
        const dicom::ViewerValues& val = res.values;
        const auto put = [](std::string& box, const std::optional<std::string>& text) {
            if (text)
                box = dicom::displayText(*text);
        };
        put(v.sizeX, val.rows);
        put(v.sizeY, val.columns);
        put(v.photometric, val.photometric);
        put(v.pixelSpacingText, val.pixelSpacingText);
        if (val.pixelSpacing)
            v.pixelSpacing = *val.pixelSpacing;
        if (val.fov) {
            v.fov = dicom::displayText(*val.fov);
            v.wsFov = v.fov;
        }
        put(v.level, val.windowCenter);
        put(v.width, val.windowWidth);
        put(v.intercept, val.intercept);
        put(v.slope, val.slope);
        if (res.summary)
            v.summary = dicom::displayText(*res.summary);
        if (res.pixelOffset)
            v.header = formatInt(*res.pixelOffset);
        if (res.error)
            std::rethrow_exception(res.error);
        std::swap(v.sizeX, v.sizeY); // the walk gave Rows to X and Columns to Y
        if (res.syntax == dicom::Syntax::ExplicitBig)
            v.swap = true;
    }
    const double size = parseFloat(v.pixelSpacingText);
    if (v.fov.empty()) {
        v.fov = formatGeneral(parseInt(v.sizeX) * size);
        v.wsFov = v.fov;
    }
}

// Loading as the "Load" button does, the matrix dialog confirmed with its
// proposal (DICOM) or with --raw; then the header check of the first render.
// Throws the error the window would show; v keeps what was read before it.
void load(const CommandLine& cl, Viewer& v)
{
    v.path = cl.file;
    v.fileName = fileNameOf(cl.file);
    v.bytes = readWholeFile(cl.file);
    const auto fileSize = static_cast<std::int64_t>(v.bytes.size());
    v.pixelSpacingText.clear();
    v.fov.clear();
    std::string answer;
    if (cl.has("--raw")) {
        answer = cl.value("--raw", 0) + " " + cl.value("--raw", 1);
    } else {
        v.dicom = true;
        readDicom(v);
        answer = v.sizeX + " " + v.sizeY;
    }
    const Matrix m = parseMatrixAnswer(answer, fileSize, 2);
    v.matrixX = static_cast<std::int32_t>(m.x);
    v.matrixY = static_cast<std::int32_t>(m.y);
    v.sizeX = formatInt(v.matrixX);
    v.sizeY = formatInt(v.matrixY);
    if (!v.dicom)
        v.header = cl.has("--header") ? formatInt(parseInt(cl.value("--header"))) : formatInt(rawHeader(fileSize, m, 2));
    v.posX = formatInt(v.matrixX / 2);
    v.posY = formatInt(v.matrixY / 2);
    v.zoom = "1";
    if (cl.has("--swap"))
        v.swap = true;
    v.rescale = cl.has("--rescale");
    headerCheck(v);
    // The load ends with a rendering, which keeps the view centre inside the
    // image. A box it cannot convert stops that rendering only; the load
    // stands, as it does in the window.
    try {
        (void)parseInt(v.level);
        (void)parseInt(v.width);
        const ViewGeometry view = computeView({v.matrixX, v.matrixY, parseInt(v.posX), parseInt(v.posY), 1, 512, 512});
        v.posX = formatInt(view.centreX);
        v.posY = formatInt(view.centreY);
    } catch (const Error&) {
    }
}

struct Roi {
    std::int32_t left = 0, top = 0, width = 0, height = 0;
};

Roi roiOf(const CommandLine& cl)
{
    return {parseInt(cl.value("--roi", 0)), parseInt(cl.value("--roi", 1)), parseInt(cl.value("--roi", 2)),
            parseInt(cl.value("--roi", 3))};
}

// ---------------------------------------------------------------- output files

void refuseInputAsOutput(const Viewer& v, const std::string& out)
{
    std::error_code ec;
    if (fs::exists(out, ec) && fs::equivalent(v.path, out, ec))
        throw FileError(formatMessage(msg::cannotOpenFile, out) + " (the input file itself)");
}

std::optional<ImageFormat> imageFormatOf(const std::string& path)
{
    std::string ext = fs::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (ext == ".png")
        return ImageFormat::Png;
    if (ext == ".bmp")
        return ImageFormat::Bmp;
    return std::nullopt;
}

// ---------------------------------------------------------------- commands

struct Context {
    const CommandLine& cl;
    std::ostream& out;
    const Services& services;
    bool crlf() const { return cl.has("--crlf"); }
    const char* eol() const { return crlf() ? "\r\n" : "\n"; }
};

void commandTags(const Context& cx)
{
    Viewer v;
    std::exception_ptr failure;
    try {
        load(cx.cl, v);
    } catch (const Error&) {
        // The window shows the table as far as the reader wrote it, then the
        // message: so does this command, on its two outputs.
        failure = std::current_exception();
    }
    std::string text;
    for (const dicom::TagTableRow& row : dicom::tagTable(v.walk)) {
        for (std::size_t c = 0; c < row.size(); ++c) {
            if (c)
                text += '\t';
            text += visible(row[c]);
        }
        text += cx.eol();
    }
    cx.out << text;
    if (failure)
        std::rethrow_exception(failure);
}

void commandSummary(const Context& cx)
{
    Viewer v;
    load(cx.cl, v);
    std::string text;
    const auto lines = splitCrLf(v.summary);
    for (std::size_t i = 0; i < lines.size(); ++i)
        if (i + 1 < lines.size() || !lines[i].empty())
            text += visible(lines[i]) + cx.eol();
    text += "matrix " + v.sizeX + " " + v.sizeY + cx.eol();
    text += "header " + v.header + cx.eol();
    text += "pixel-spacing " + visible(v.pixelSpacingText) + cx.eol();
    text += "window " + visible(v.width) + " " + visible(v.level) + cx.eol();
    cx.out << text;
}

void commandRender(const Context& cx)
{
    const std::string& outPath = cx.cl.value("--out");
    const auto format = imageFormatOf(outPath);
    if (!format)
        throw UsageError("the image file name must end in .png or .bmp");
    Viewer v;
    load(cx.cl, v);
    refuseInputAsOutput(v, outPath);
    if (cx.cl.has("--window")) {
        v.width = cx.cl.value("--window", 0);
        v.level = cx.cl.value("--window", 1);
    }
    if (cx.cl.has("--zoom"))
        v.zoom = cx.cl.value("--zoom");
    if (cx.cl.has("--centre")) {
        v.posX = cx.cl.value("--centre", 0);
        v.posY = cx.cl.value("--centre", 1);
    }
    if (cx.cl.has("--auto")) {
        // "AutoW": the converted header and rescale boxes, the window from
        // the pixels without rescale, then "ButtonWLRst" converts the texts.
        const std::int64_t header = parseInt(v.header);
        (void)parseFloat(v.intercept);
        (void)parseFloat(v.slope);
        const AutoWindow w = autoWindow(PixelAccess(v.bytes, header, v.matrixX, v.swap), v.matrixX, v.matrixY,
                                        v.photometric == "MONOCHROME1 ");
        if (w.found) {
            v.width = formatInt(w.width);
            v.level = formatInt(w.level);
        }
        (void)parseInt(v.level);
        (void)parseInt(v.width);
    }

    // RenderView, in the order it reads the boxes.
    headerCheck(v);
    const std::int32_t level = parseInt(v.level);
    const std::int32_t width = parseInt(v.width);
    const std::int32_t matrixX = parseInt(v.sizeX);
    const std::int32_t matrixY = parseInt(v.sizeY);
    const std::int32_t centreX = parseInt(v.posX), centreY = parseInt(v.posY);
    const std::int32_t zoom = parseInt(v.zoom);
    const ViewGeometry view = computeView({matrixX, matrixY, centreX, centreY, zoom, 512, 512});
    (void)parseInt(v.intercept);
    (void)parseFloat(v.slope);
    const std::int32_t header = parseInt(v.header);
    auto table = std::make_unique<GreyTable>();
    buildGreyTable({width, level, cx.cl.has("--invert")}, v.swap, *table);
    std::vector<std::uint8_t> pixels(512 * 512 * 3, 255);
    const Bitmap24 display{512, 512, 512 * 3, pixels.data()};
    renderDisplay(view, v.bytes, header, matrixX, *table, display);

    if (!cx.services.encodeImage)
        throw Error("writing images is not available in this build");
    writeFileReplacing(outPath, cx.services.encodeImage(display, *format));
}

void commandStats(const Context& cx)
{
    Viewer v;
    load(cx.cl, v);
    const Roi roi = roiOf(cx.cl);
    // ReadROI converts the rescale boxes whether or not "Res.On" is checked.
    const double intercept = parseInt(v.intercept);
    const double slope = parseFloat(v.slope);
    const PixelAccess px = v.pixels();
    StatsRequest q;
    q.region = requirePixels({roi.left, roi.top, roi.width, roi.height}, v.matrixX, v.matrixY, px);
    q.rescale = v.rescale;
    q.slope = slope;
    q.intercept = intercept;
    q.pixelTable = cx.cl.has("--pixels");
    q.histogram = cx.cl.has("--hist");
    const RoiStatistics r = roiStatistics(px, q);
    std::string text = formatGeneral(r.mean) + "\t" + formatGeneral(r.sd) + cx.eol();
    if (q.pixelTable || q.histogram)
        text += lineEnds(r.text, cx.crlf());
    cx.out << text;
}

// Writes the chart (when --plot asks for it) before anything is printed, so
// a plot that cannot be written leaves standard output empty as well.
void writePlot(const Context& cx, const Viewer& v, const ChartSpec& chart)
{
    if (!cx.cl.has("--plot"))
        return;
    const std::string& path = cx.cl.value("--plot");
    if (imageFormatOf(path) != ImageFormat::Png)
        throw UsageError("the plot file name must end in .png");
    refuseInputAsOutput(v, path);
    if (!cx.services.drawChart)
        throw Error("drawing charts is not available in this build");
    writeFileReplacing(path, cx.services.drawChart(chart));
}

ChartSpec chartOf(std::string title, const mtf::PlotData& p, std::optional<double> yMin)
{
    ChartSpec c;
    c.title = std::move(title);
    for (std::int32_t i = 0; i < p.count && static_cast<std::size_t>(i) < p.x.size() && static_cast<std::size_t>(i) < p.y.size(); ++i)
        c.points.emplace_back(p.x[static_cast<std::size_t>(i)], p.y[static_cast<std::size_t>(i)]);
    c.yMin = yMin;
    return c;
}

void commandMtf(const Context& cx)
{
    Viewer v;
    load(cx.cl, v);
    const Roi roi = roiOf(cx.cl);

    // The hand-off ("CalMTF" on the main window): the ROI reader's boxes,
    // the part of the ROI inside the pixel data, into the pixel table.
    const double intercept = parseInt(v.intercept);
    const double slope = parseFloat(v.slope);
    const PixelAccess px = v.pixels();
    const PixelRegion inside =
        requirePixels({roi.left, roi.top, roi.width, roi.height}, v.matrixX, v.matrixY, px);
    mtf::checkRoiSize(inside.width, inside.height);
    std::optional<mtf::Rescale> rescale;
    if (v.rescale)
        rescale = mtf::Rescale{slope, intercept};
    mtf::CellTable table;
    mtf::fillTable(table, px, v.matrixY, {inside.left, inside.top, inside.width, inside.height}, rescale, true);

    // The window's activation: the table maximum, and the pixel size from
    // the viewer's pixel spacing as "PixelSize" shows it.
    const mtf::CellPos peak = mtf::findPeak(table);
    double dx = 0;
    if (cx.cl.has("--pixel-size"))
        dx = parseFloat(cx.cl.value("--pixel-size"));
    else if (v.pixelSpacing)
        dx = parseFloat(formatGeneral(*v.pixelSpacing));
    else
        throw Error("the image has no pixel spacing: give the pixel size with --pixel-size MM");

    const mtf::Direction direction =
        cx.cl.valueOr("--direction", "x") == "y" ? mtf::Direction::Y : mtf::Direction::X;
    const std::string linesText = cx.cl.valueOr("--lines", "1");
    const std::int32_t lines = parseInt(linesText);
    if (lines < 1 || lines > 100)
        throw UsageError("--lines is a line count from 1 to 100 (the window's \"Line#\")");
    const std::int32_t base = parseInt(cx.cl.valueOr("--base", "1"));
    const std::string tableName = cx.cl.valueOr("--table", "mtf");

    std::string text;
    mtf::MtfResult r;
    if (tableName == "summary") {
        // Stepping "Line#" from 1 to L: line count 1 clears the memo and
        // writes the heading with its row, each further count its own row.
        MemoLines memo;
        for (std::int32_t l = 1; l <= lines; ++l) {
            r = mtf::computeMtf(table, {direction, l, base, dx, peak});
            const std::string row = mtf::summaryRow(formatInt(l), r.summary);
            if (l == 1) {
                memo.clear();
                memo.setLine(0, std::string(mtf::kSummaryHeader) + row);
            } else {
                memo.setLine(l, row);
            }
        }
        text = memoText(memo.lines(), cx.crlf());
    } else {
        r = mtf::computeMtf(table, {direction, lines, base, dx, peak});
        if (tableName == "mtf")
            text = memoText(mtf::mtfListing(v.fileName, r.spectrum.mag, dx), cx.crlf());
        else if (tableName == "lsf")
            text = memoText(mtf::lsfListing(v.fileName, r.lsf, dx), cx.crlf());
        else if (r.fwhm)
            text = "FWHM=" + formatGeneral(*r.fwhm) + cx.eol();
        else
            throw Error("no FWHM: in the X direction a base count of 0 or less removes the end-point mean and "
                        "measures no width; give --base 1 or more");
    }

    // "DrawD" on the tab of the table: "Disp#" holds the ROI width.
    if (tableName == "lsf")
        writePlot(cx, v, chartOf("LSF", mtf::lsfPlot(r.lsf, inside.width, dx), std::nullopt));
    else if (cx.cl.has("--plot"))
        writePlot(cx, v, chartOf("MTF", mtf::mtfPlot(r.spectrum.mag, inside.width, dx), 0.0));
    cx.out << text;
}

void commandWs(const Context& cx)
{
    Viewer v;
    load(cx.cl, v);
    const Roi roi = roiOf(cx.cl);
    const bool dirY = cx.cl.valueOr("--direction", "x") == "y";

    // "CalWS": the fields of the Wiener spectrum window for this ROI. The
    // window's X/Y choice exchanges the segment and shift fields, so the
    // recommendation holds along and across whatever the direction.
    std::string segAlong = formatInt(roi.width / 2), segAcross = formatInt(roi.height / 4);
    std::string shiftAlong = formatInt(roi.width / 4), shiftAcross = formatInt(roi.height / 8);
    if (cx.cl.has("--segment")) {
        segAlong = cx.cl.value("--segment", 0);
        segAcross = cx.cl.value("--segment", 1);
    }
    if (cx.cl.has("--shift")) {
        shiftAlong = cx.cl.value("--shift", 0);
        shiftAcross = cx.cl.value("--shift", 1);
    }
    const std::string& sgmntX = dirY ? segAcross : segAlong;
    const std::string& sgmntY = dirY ? segAlong : segAcross;
    const std::string& shftX = dirY ? shiftAcross : shiftAlong;
    const std::string& shftY = dirY ? shiftAlong : shiftAcross;
    const std::string xMtrx = v.sizeX;

    // "Cal": the inputs in the order the run gathers them.
    const std::int32_t matrix = parseInt(xMtrx);
    const std::int32_t intercept = v.intercept.empty() ? 0 : parseInt(v.intercept);
    const std::int32_t segSizeX = parseInt(sgmntX), segSizeY = parseInt(sgmntY);
    const std::int32_t roiSizeX = roi.width, roiSizeY = roi.height;
    const std::int32_t shiftX = parseInt(shftX), shiftY = parseInt(shftY);
    std::string deltaText = cx.cl.has("--pixel-size") ? cx.cl.value("--pixel-size") : v.pixelSpacingText;
    if (deltaText.empty() && !cx.cl.has("--fov"))
        throw Error("the image has no pixel spacing: give the pixel size with --pixel-size MM or the field of "
                    "view with --fov MM");
    double delta = deltaText.empty() ? 0.0 : parseFloat(deltaText);

    WsParams p;
    p.directionY = dirY;
    p.length = dirY ? roiSizeY : roiSizeX;
    p.extent = dirY ? roiSizeX : roiSizeY;
    p.segment = dirY ? segSizeY : segSizeX;
    p.lines = dirY ? segSizeX : segSizeY;
    p.stepAlong = dirY ? shiftY : shiftX;
    p.stepAcross = dirY ? shiftX : shiftY;
    p.trend = cx.cl.has("--trend");
    if (p.trend)
        p.trendOrder = parseInt(cx.cl.value("--trend"));
    p.trendAverage = cx.cl.has("--trend-average");
    if (p.trendAverage)
        p.trendAverageOrder = parseInt(cx.cl.value("--trend-average"));
    if (auto why = wsCheckParams(p); !why.empty())
        throw Error(why);

    // The field of view: --fov is the window's "mmFOV(x)" and the answer to
    // the FOV query that a pixel size of 0 brings up.
    if (cx.cl.has("--fov"))
        v.wsFov = cx.cl.value("--fov");
    if (delta == 0 && cx.cl.has("--fov"))
        delta = floatDiv(parseFloat(v.wsFov), matrix);
    p.delta = delta;
    p.maxSegments = parseInt(cx.cl.valueOr("--max-segments", "1000"));

    WsSource src;
    src.bytes = v.bytes;
    src.header = parseInt(v.header);
    src.columns = v.matrixX;
    src.left = roi.left;
    src.top = roi.top;
    src.width = roiSizeX;
    src.height = roiSizeY;
    src.swap = v.swap;
    src.intercept = intercept;
    if (auto why = wsCheckSource(src); !why.empty())
        throw Error(why);

    auto state = std::make_unique<WsState>();
    (void)wsRun(*state, p, src);
    const int n = state->specLength;

    // The run ends with the spectrum image of a first run on the "WS" page
    // and the chart; both fail where the window's would (a spectrum value of
    // 0 or less has no logarithm, a flat scale, a matrix of 0).
    const auto logs = wsLogSpectrum(state->wsSpectrum, std::min(n / 2, n));
    if (!logs.empty())
        (void)wsSpectrumPolyline(logs, n, 512, 256, 0.0, *std::max_element(logs.begin(), logs.end()));
    const double tablePixel = floatDiv(parseFloat(v.wsFov), parseInt(xMtrx));

    const bool smooth = cx.cl.valueOr("--table", "result") == "smooth";
    const std::string rows = smooth ? wsSmoothRows(state->wsSpectrum, n, tablePixel)
                                    : wsResultRows(state->wsSpectrum, n, tablePixel);
    const std::string text = wsTableHeader(v.fileName) + "\r\n" + rows;

    if (cx.cl.has("--plot")) {
        ChartSpec chart;
        chart.title = "Wiener Spectral";
        chart.points = wsChartPoints(state->wsSpectrum, n, tablePixel);
        chart.logY = true;
        chart.width = 512;
        chart.height = 306;
        writePlot(cx, v, chart);
    }
    cx.out << lineEnds(text, cx.crlf());
}

void commandAnonymise(const Context& cx)
{
    const std::string& outPath = cx.cl.value("--out");
    Viewer v;
    v.path = cx.cl.file;
    v.bytes = readWholeFile(cx.cl.file);
    refuseInputAsOutput(v, outPath);
    dicom::AnonymisedCopy copy =
        dicom::anonymisedCopy(v.bytes, static_cast<std::int64_t>(v.bytes.size()), dicom::builtinDictionary());
    // A copy that nothing was anonymised in must not pass for an anonymised
    // one: without "DICM" the file is not read as DICOM at all, and a walk
    // that ends before the pixel data has not seen the elements after it.
    if (!copy.dicmFound)
        throw Error("not a DICOM file (no \"DICM\" in the first 256 bytes): nothing was anonymised, no copy written");
    if (copy.pixelOffset < 0)
        throw Error("the elements end before the pixel data: what follows could not be anonymised, no copy written");
    writeFileReplacing(outPath, copy.bytes);
}

} // namespace

// ---------------------------------------------------------------- public

bool needsQt(const std::vector<std::string>& args)
{
    if (args.empty())
        return false;
    if (args[0] == "render")
        return true;
    return std::find(args.begin(), args.end(), "--plot") != args.end();
}

void writeFileReplacing(const std::string& path, const std::vector<std::uint8_t>& bytes)
{
    const fs::path target(path);
    fs::path dir = target.parent_path();
    if (dir.empty())
        dir = ".";
    std::string temp = (dir / ("." + target.filename().string() + ".XXXXXX")).string();
    const int fd = ::mkstemp(temp.data());
    if (fd < 0)
        throwCannotOpen(path);
    // mkstemp makes the file private; the result gets a normal file's mode.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    bool ok = ::fchmod(fd, static_cast<mode_t>(0666 & ~mask)) == 0;
    std::size_t done = 0;
    while (ok && done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<std::size_t>(n);
    }
    ok = ::close(fd) == 0 && ok;
    ok = ok && std::rename(temp.c_str(), path.c_str()) == 0;
    if (!ok) {
        std::remove(temp.c_str());
        throwCannotOpen(path);
    }
}

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, const Services& services)
{
    CommandLine cl;
    try {
        cl = parse(args);
    } catch (const UsageError& e) {
        err << "tarven-cli: " << e.what() << "\n" << usageText();
        return exitUsage;
    }
    if (cl.help) {
        out << (cl.command ? commandUsageText(*cl.command) : usageText());
        return exitOk;
    }
    // Results are gathered whole before any is printed, so a failing command
    // prints nothing but its message (tags prints the table it read, as the
    // window shows it beside the message).
    std::ostringstream buffer;
    const Context cx{cl, buffer, services};
    try {
        const std::string_view name = cl.command->name;
        if (name == "tags")
            commandTags(cx);
        else if (name == "summary")
            commandSummary(cx);
        else if (name == "render")
            commandRender(cx);
        else if (name == "stats")
            commandStats(cx);
        else if (name == "mtf")
            commandMtf(cx);
        else if (name == "ws")
            commandWs(cx);
        else
            commandAnonymise(cx);
    } catch (const UsageError& e) {
        err << "tarven-cli: " << e.what() << "\n" << commandUsageText(*cl.command);
        return exitUsage;
    } catch (const std::bad_alloc&) {
        out << buffer.str();
        err << "out of memory\n";
        return exitFailed;
    } catch (const Error& e) {
        out << buffer.str();
        err << e.what() << "\n";
        return exitFailed;
    } catch (const std::exception& e) {
        // Not one of ours (a file system fault, a bound the engines report
        // with the standard library's types): still a failure with its text.
        out << buffer.str();
        err << e.what() << "\n";
        return exitFailed;
    }
    out << buffer.str();
    out.flush();
    return exitOk;
}

} // namespace tarven::cli
