// Real files of pydicom's corpus, cross-checked with two other readers:
// DCMTK's dcmdump for the elements, pydicom for the pixel offset, the pixel
// values and the anonymised copy.
#include "common/pixels.h"
#include "dicom/anonymise.h"
#include "dicom/walk.h"
#include "io/rawload.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>

using namespace tarven;
using namespace tarven::dicom;
namespace fs = std::filesystem;

namespace {

const fs::path corpus = "/usr/lib/python3/dist-packages/pydicom/data/test_files";
const char* python = "/usr/bin/python3";
const char* dcmdump = "/usr/bin/dcmdump";

std::string run(const std::string& cmd, int* status = nullptr)
{
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd.c_str(), "r"), pclose);
    std::string out;
    if (!pipe)
        return out;
    char buf[4096];
    while (std::size_t n = fread(buf, 1, sizeof buf, pipe.get()))
        out.append(buf, n);
    const int rc = pclose(pipe.release());
    if (status)
        *status = rc;
    return out;
}

std::string quoted(const fs::path& p) { return "'" + p.string() + "'"; }

bool toolsPresent() { return fs::exists(python) && fs::exists(dcmdump) && fs::exists(corpus / "CT_small.dcm"); }

struct DumpElement {
    std::uint16_t group = 0, element = 0;
    std::string vr, value, length; // length: decimal or "u/l"
    bool text = false;              // value shown in brackets, complete
};

// Top-level elements of dcmdump's listing (meta group and data set).
std::vector<DumpElement> dump(const fs::path& file)
{
    static const std::regex line(R"(^\(([0-9a-f]{4}),([0-9a-f]{4})\) (\S\S) (.*?) *# *(u/l|\d+), *\S+ .*$)");
    std::vector<DumpElement> out;
    std::istringstream in(run(std::string(dcmdump) + " -q -Un +E " + quoted(file) + " 2>/dev/null"));
    std::string l;
    std::smatch m;
    while (std::getline(in, l)) {
        // Delimiters "for re-encoding" are dcmdump's own, not the file's.
        if (!std::regex_match(l, m, line) || l.find("for re-encod") != std::string::npos)
            continue;
        DumpElement e;
        e.group = static_cast<std::uint16_t>(std::stoul(m[1], nullptr, 16));
        e.element = static_cast<std::uint16_t>(std::stoul(m[2], nullptr, 16));
        e.vr = m[3];
        e.value = m[4];
        e.length = m[5];
        if (e.value.size() >= 2 && e.value.front() == '[' && e.value.back() == ']') {
            e.value = e.value.substr(1, e.value.size() - 2);
            e.text = true;
        } else if (e.value == "(no value available)") {
            e.value.clear();
            e.text = true;
        }
        out.push_back(e);
    }
    return out;
}

bool textVr(const std::string& vr)
{
    for (const char* v : {"AE", "AS", "CS", "DA", "DS", "DT", "IS", "LO", "LT", "PN", "SH", "ST", "TM", "UC", "UI", "UR", "UT"})
        if (vr == v)
            return true;
    return false;
}

std::string trimmed(std::string s)
{
    while (!s.empty() && (s.back() == ' ' || s.back() == '\0'))
        s.pop_back();
    return s;
}

std::vector<std::uint8_t> bytesOf(const fs::path& p) { return readWholeFile(p.string()); }

const char* const files[] = {"CT_small.dcm",     "MR_small.dcm",        "MR_small_implicit.dcm",
                             "MR_small_bigendian.dcm", "ExplVR_BigEnd.dcm", "rtplan.dcm",
                             "nested_priv_SQ.dcm", "UN_sequence.dcm",   "MR_truncated.dcm",
                             "no_meta.dcm",      "JPEG2000.dcm",        "liver_1frame.dcm",
                             "rtdose.dcm",       "MR_small_padded.dcm"};

} // namespace

// The elements the walk lists agree with dcmdump's top level: tag, VR,
// length and text value. Rows that dcmdump shows nested (the rest of an item
// after an undefined-length sequence, whose skip stops at the innermost
// delimiter) may stand between them.
TEST(RealFiles, ElementsAgreeWithDcmdump)
{
    if (!toolsPresent())
        GTEST_SKIP() << "pydicom's corpus, /usr/bin/python3 or dcmdump is missing";
    for (const char* name : files) {
        SCOPED_TRACE(name);
        const auto bytes = bytesOf(corpus / name);
        const WalkResult r = walkDicom(bytes, builtinDictionary(), false);
        ASSERT_FALSE(r.error);
        if (!r.dicmFound) {
            EXPECT_EQ(std::string(name), "no_meta.dcm");
            continue;
        }
        const std::vector<DumpElement> d = dump(corpus / name);
        ASSERT_FALSE(d.empty());
        const bool implicit = r.syntax == Syntax::ImplicitLittle;
        std::size_t j = 0;
        bool skipped = false; // an undefined-length element was skipped before
        int compared = 0;
        for (const TagRow& row : r.rows) {
            // The walk passes the delimiter of a skipped sequence unlisted.
            if (j < d.size() && d[j].group == 0xFFFE && d[j].element == 0xE0DD && j > 0 && d[j - 1].length == "u/l")
                ++j;
            if (j < d.size() && row.group == d[j].group && row.element == d[j].element) {
                const DumpElement& e = d[j++];
                SCOPED_TRACE(hex4(row.group) + "," + hex4(row.element));
                EXPECT_EQ(row.length, e.length == "u/l" ? std::string("FFFFFFFF") : hex4(std::stoll(e.length)));
                const std::string vr = row.vr == "SQ2" ? "SQ" : row.vr;
                // Implicit files: our VR comes from our dictionary, dcmdump's from its
                // own; both are named only where both know the element.
                // Items and delimiters have no VR; an undefined-length UN is
                // shown by dcmdump as the sequence it holds.
                const bool comparable = row.group != 0xFFFE && !(row.vr == "UN" && e.vr == "SQ") &&
                    (!implicit || (!vr.empty() && vrOfName(builtinDictionary().name(row.group, row.element)) == row.vr &&
                                   builtinDictionary().name(row.group, row.element).find(" or ") == std::string_view::npos &&
                                   e.vr != "??" && e.vr != "ox" && e.vr != "xs" && e.vr != "UN"));
                if (comparable) {
                    EXPECT_EQ(vr, e.vr);
                }
                if (row.data && textVr(e.vr) && e.text) {
                    EXPECT_EQ(trimmed(*row.data), e.value);
                }
                if (row.data && (e.vr == "US" || e.vr == "UL") && (row.length == "   2" || row.length == "   4") &&
                    e.vr == row.vr) {
                    EXPECT_EQ(*row.data, e.value);
                }
                ++compared;
                if (row.length == "FFFFFFFF")
                    skipped = true;
                if (row.group == 0x7FE0 && row.element == 0x0010)
                    break;
            } else {
                EXPECT_TRUE(skipped) << "row " << hex4(row.group) << "," << hex4(row.element) << " is not in dcmdump's listing";
            }
        }
        // Every top-level element before the pixel data was listed, or the
        // walk stopped inside a skipped sequence and found no pixel data.
        if (r.pixelOffset) {
            EXPECT_EQ(d[j - 1].group, 0x7FE0);
        } else {
            EXPECT_TRUE(skipped || j == d.size()) << "stopped at " << j << " of " << d.size();
        }
        EXPECT_GT(compared, 5);
    }
}

// EditHeader is the first pixel byte; the pixels read there are pydicom's.
TEST(RealFiles, PixelOffsetAndValuesAgreeWithPydicom)
{
    if (!toolsPresent())
        GTEST_SKIP() << "pydicom's corpus, /usr/bin/python3 or dcmdump is missing";
    const fs::path helper = fs::path(TARVEN_TEST_DATA_DIR) / "dicom" / "pydicom_check.py";
    int images = 0;
    for (const char* name : files) {
        SCOPED_TRACE(name);
        const auto bytes = bytesOf(corpus / name);
        const WalkResult r = walkDicom(bytes, builtinDictionary(), false);
        std::istringstream out(run(std::string(python) + " " + quoted(helper) + " pixel " + quoted(corpus / name) + " 2>/dev/null"));
        std::string word;
        std::int64_t offset = -2;
        out >> word >> offset;
        ASSERT_EQ(word, "offset");
        EXPECT_EQ(r.pixelOffset.value_or(-1), offset);
        std::int64_t cols = 0, rows = 0, sum = 0, first = 0, last = 0;
        if (!(out >> word >> cols >> rows >> sum >> first >> last))
            continue;
        ASSERT_TRUE(r.pixelOffset);
        ++images;
        const PixelAccess px(bytes, *r.pixelOffset, cols, r.syntax == Syntax::ExplicitBig);
        std::int64_t ours = 0;
        for (std::int64_t y = 0; y < rows; ++y)
            for (std::int64_t x = 0; x < cols; ++x)
                ours += px.word(x, y).value_or(0);
        EXPECT_EQ(ours, sum);
        EXPECT_EQ(px.word(0, 0).value_or(0), first);
        EXPECT_EQ(px.word(cols - 1, rows - 1).value_or(0), last);
        // The walk's Rows and Columns (exchanged by the window) are the image's.
        EXPECT_EQ(r.values.rows, std::to_string(rows));
        EXPECT_EQ(r.values.columns, std::to_string(cols));
    }
    EXPECT_GE(images, 4);
}

// The copy has the source's size, differs only in patient-group values made
// of "1", and both readers still parse it.
TEST(RealFiles, AnonymisedCopyParsesAndDiffersOnlyInPatientValues)
{
    if (!toolsPresent())
        GTEST_SKIP() << "pydicom's corpus, /usr/bin/python3 or dcmdump is missing";
    const fs::path helper = fs::path(TARVEN_TEST_DATA_DIR) / "dicom" / "pydicom_check.py";
    const fs::path dir = fs::temp_directory_path() / ("tarven_anon_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    for (const char* name : {"CT_small.dcm", "MR_small.dcm", "MR_small_implicit.dcm", "MR_small_bigendian.dcm",
                             "ExplVR_BigEnd.dcm", "rtplan.dcm", "liver_1frame.dcm", "JPEG2000.dcm"}) {
        SCOPED_TRACE(name);
        const auto bytes = bytesOf(corpus / name);
        const AnonymisedCopy copy = anonymisedCopy(bytes, static_cast<std::int64_t>(bytes.size()), builtinDictionary());
        ASSERT_EQ(copy.bytes.size(), bytes.size());
        const fs::path out = dir / name;
        std::ofstream(out, std::ios::binary).write(reinterpret_cast<const char*>(copy.bytes.data()),
                                                    static_cast<std::streamsize>(copy.bytes.size()));
        int status = -1;
        run(std::string(dcmdump) + " -q " + quoted(out) + " >/dev/null 2>&1", &status);
        EXPECT_EQ(status, 0) << "dcmdump does not parse the copy";
        const std::string verdict =
            run(std::string(python) + " " + quoted(helper) + " anon " + quoted(corpus / name) + " " + quoted(out) + " 2>&1");
        EXPECT_EQ(verdict, "ok " + std::to_string(copy.valuesReplaced) + "\n");
        EXPECT_GT(copy.valuesReplaced, 0);
    }
    fs::remove_all(dir);
}
