#include "common/errors.h"
#include "dicom/walk.h"

#include "dicom_bytes.h"

#include <gtest/gtest.h>

using namespace tarven;
using namespace tarven::dicom;
using tarven::dicom::testing::DicomBytes;
namespace fx = tarven::dicom::testing;

namespace {

WalkResult walk(const DicomBytes& d, bool locked = false) { return walkDicom(d.b, builtinDictionary(), locked); }

const TagRow* rowOf(const WalkResult& r, std::uint16_t g, std::uint16_t e)
{
    for (const auto& row : r.rows)
        if (row.group == g && row.element == e)
            return &row;
    return nullptr;
}

// Explicit little endian file with the given data elements and 4 pixels.
DicomBytes explicitFile(void (*body)(DicomBytes&))
{
    DicomBytes d = DicomBytes::withMeta(fx::explicitUid);
    body(d);
    d.exHead(0x7FE0, 0x0010, "OW", 8).raw({1, 0, 2, 0, 3, 0, 4, 0});
    return d;
}

} // namespace

TEST(WalkBasics, Hex4AndTransferSyntaxes)
{
    EXPECT_EQ(hex4(0x1A), "  1A");
    EXPECT_EQ(hex4(0x7FE0), "7FE0");
    EXPECT_EQ(hex4(0), "   0");
    EXPECT_EQ(hex4(-1), "FFFFFFFF");
    EXPECT_EQ(hex4(0x12345), "12345");
    EXPECT_EQ(syntaxOfUid(std::string("1.2.840.10008.1.2\0", 18)), Syntax::ImplicitLittle);
    EXPECT_EQ(syntaxOfUid("1.2.840.10008.1.2.1"), Syntax::ExplicitLittle);
    EXPECT_EQ(syntaxOfUid(std::string("1.2.840.10008.1.2.2\0", 20)), Syntax::ExplicitBig);
    EXPECT_EQ(syntaxOfUid("1.2.840.10008.1.2.4.50"), Syntax::None);
    EXPECT_EQ(syntaxOfUid(std::string("1.2.840.10008.1.2\0\0", 19)), Syntax::None); // only one NUL goes
}

TEST(WalkBasics, DicmIsLookedForAtTheFirst256Offsets)
{
    DicomBytes atZero = DicomBytes::withMeta(fx::explicitUid, false);
    EXPECT_EQ(findDicm(atZero.b), 0);
    DicomBytes standard = DicomBytes::withMeta(fx::explicitUid);
    EXPECT_EQ(findDicm(standard.b), 128);
    const WalkResult r = walk(standard);
    ASSERT_TRUE(r.dicmFound);
    ASSERT_FALSE(r.rows.empty());
    EXPECT_EQ(r.rows[0].group, 0x0002); // the walk starts at offset 132
    EXPECT_EQ(r.rows[0].element, 0x0010);

    std::vector<std::uint8_t> late(300, 0);
    std::copy_n("DICM", 4, late.begin() + 256);
    EXPECT_EQ(findDicm(late), -1);
    std::copy_n("DICM", 4, late.begin() + 255);
    EXPECT_EQ(findDicm(late), 255);
    EXPECT_EQ(findDicm(std::vector<std::uint8_t>{'D', 'I', 'C'}), -1);
    EXPECT_FALSE(walk(DicomBytes().str("no dicom here")).dicmFound);
}

TEST(WalkExplicit, RowsLogValuesAndPixelOffset)
{
    const DicomBytes d = explicitFile([](DicomBytes& f) {
        f.ex(0x0008, 0x0060, "CS", "MR");
        f.ex(0x0028, 0x0010, "US", f.us(512));
        f.ex(0x0028, 0x0011, "US", f.us(256));
        f.ex(0x0028, 0x0100, "US", f.us(16));
        f.ex(0x0028, 0x0030, "DS", "0.5\\0.5 ");
        f.ex(0x0028, 0x1052, "DS", "-1024.7 ");
        f.ex(0x0028, 0x1053, "DS", "2.50");
        f.ex(0x0028, 0x1054, "LO", "HU");
        f.ex(0x0018, 0x1210, "SH", "FC13");
        f.ex(0x0018, 0x1100, "DS", "320 ");
        f.ex(0x0028, 0x0102, "US", f.us(65535));
        f.ex(0x0009, 0x0010, "LO", "PRIV");
        f.ex(0x0008, 0x0070, "LO", "");
    });
    const WalkResult r = walk(d);
    ASSERT_FALSE(r.error);
    ASSERT_TRUE(r.pixelOffset);
    EXPECT_EQ(*r.pixelOffset, static_cast<std::int64_t>(d.size()) - 8);
    EXPECT_EQ(r.syntax, Syntax::ExplicitLittle);
    EXPECT_EQ(r.nextRow, static_cast<std::int64_t>(r.rows.size()) + 1);

    const TagRow* rows = rowOf(r, 0x0028, 0x0010);
    ASSERT_TRUE(rows);
    EXPECT_EQ(rows->vr, "US");
    EXPECT_EQ(rows->length, "   2");
    EXPECT_EQ(rows->data, "512");
    EXPECT_EQ(rows->name, "横行 Rows US ");
    EXPECT_EQ(rowOf(r, 0x0028, 0x0102)->data, "65535");
    EXPECT_EQ(rowOf(r, 0x0009, 0x0010)->name, "Private Tag");
    const TagRow* empty = rowOf(r, 0x0008, 0x0070);
    EXPECT_FALSE(empty->data); // no value: columns 5 and 6 stay as they were
    EXPECT_FALSE(empty->name);
    const TagRow& pixel = r.rows.back();
    EXPECT_EQ(pixel.group, 0x7FE0);
    EXPECT_EQ(pixel.name, "Pixel Data");
    EXPECT_FALSE(pixel.data);
    EXPECT_EQ(pixel.length, "   8");

    // One log line per valued element; the four-byte branch logs its VR only.
    ASSERT_EQ(r.log.size(), 16u); // three of the meta group first
    EXPECT_EQ(r.log[4], "5\t  28\t  10\tUS\t#2\t (512)\t512\t横行 Rows US ");
    EXPECT_EQ(r.log[13], "14\t  28\t 102\tUS\t#2\t (65535)\t65535\t高位ビット High Bit US ");
    EXPECT_EQ(r.log.back(), "OW");

    const ViewerValues& v = r.values;
    EXPECT_EQ(v.rows, "512");
    EXPECT_EQ(v.columns, "256");
    EXPECT_EQ(v.bitsAllocated, "16");
    EXPECT_EQ(v.pixelSpacingText, "0.5");
    EXPECT_EQ(v.pixelSpacing, 0.5);
    EXPECT_EQ(v.intercept, "-1024"); // truncated toward zero
    EXPECT_EQ(v.slope, "2.5");
    EXPECT_EQ(v.rescaleType, "HU");
    EXPECT_EQ(v.kernel, "FC13");
    EXPECT_EQ(v.fov, "320 ");
    EXPECT_EQ(v.highBit, "65535");
    EXPECT_EQ(r.summary, "MR\r\nMX : 512\r\nMY : 256\r\nmmPSize : 0.5\\0.5 \r\nRF : FC13\r\nmmFOV : 320 \r\n");
}

TEST(WalkExplicit, SummaryPutsModelAndScanNameFirst)
{
    const DicomBytes d = explicitFile([](DicomBytes& f) {
        f.ex(0x0008, 0x0060, "CS", "CT");
        f.ex(0x0008, 0x1090, "LO", "Model");
        f.ex(0x0018, 0x0060, "DS", "120 ");
        f.ex(0x0018, 0x1152, "IS", "200 ");
        f.ex(0x2005, 0x1011, "LO", "Scan");
        f.ex(0x0008, 0x103E, "LO", "Head");
    });
    EXPECT_EQ(walk(d).summary, "Scan\r\nModel\r\nCT\r\nkV : 120 \r\nmAs : 200 \r\nSe : Head\r\n");
}

TEST(WalkExplicit, WindowValuesAndTheLock)
{
    struct Case { std::string centre, expected; };
    const Case cases[] = {
        {"40\\400", "40"}, {"40 ", "40"}, {"40.5", "40.5"}, {"40\\ 400", "40"}, {" 40", ""}, {"-600", "-600"},
    };
    for (const Case& c : cases) {
        DicomBytes d = DicomBytes::withMeta(fx::explicitUid);
        std::string value = c.centre;
        if (value.size() % 2)
            value += ' ';
        d.ex(0x0028, 0x1050, "DS", value).ex(0x0028, 0x1051, "DS", value);
        const WalkResult r = walk(d);
        // Odd values are padded with a blank, which then cuts them.
        EXPECT_EQ(r.values.windowCenter, c.expected) << c.centre;
        EXPECT_EQ(r.values.windowWidth, c.expected) << c.centre;
        const WalkResult locked = walk(d, true);
        EXPECT_FALSE(locked.values.windowCenter);
        EXPECT_FALSE(locked.values.windowWidth);
    }
}

TEST(WalkExplicit, ValuesThatDoNotConvertStopTheWalk)
{
    struct Case { std::uint16_t e; std::string value, message; };
    const Case cases[] = {
        {0x0030, "0.5 ", "'' は浮動小数点数ではありません"}, // no "\": empty spacing
        {0x0100, "ab", "'ab' は浮動小数点数ではありません"},
        {0x1052, "x ", "'x ' は浮動小数点数ではありません"},
        {0x1053, "", ""}, // an empty value is no value: nothing to convert
    };
    for (const Case& c : cases) {
        DicomBytes d = DicomBytes::withMeta(fx::explicitUid);
        d.ex(0x0008, 0x0060, "CS", "CT");
        d.ex(0x0028, c.e, "DS", c.value);
        d.ex(0x0028, 0x0010, "US", d.us(64));
        d.exHead(0x7FE0, 0x0010, "OW", 0);
        const WalkResult r = walk(d);
        if (c.message.empty()) {
            EXPECT_FALSE(r.error);
            continue;
        }
        ASSERT_TRUE(r.error) << c.value;
        try {
            std::rethrow_exception(r.error);
        } catch (const ConvertError& e) {
            EXPECT_EQ(std::string(e.what()), c.message);
        }
        // The element that stopped it is listed; the summary stops before it.
        EXPECT_EQ(r.rows.back().element, c.e);
        EXPECT_EQ(r.rows.back().data, c.value);
        EXPECT_FALSE(r.pixelOffset);
        EXPECT_FALSE(r.values.rows);
        EXPECT_EQ(r.summary, "CT\r\n");
        EXPECT_EQ(r.nextRow, static_cast<std::int64_t>(r.rows.size()));
        if (c.e == 0x0030) {
            EXPECT_EQ(r.values.pixelSpacingText, "");
        }
    }
}

TEST(WalkImplicit, MetaStaysExplicitAndTheDataSetTakesVrsFromTheDictionary)
{
    DicomBytes d = DicomBytes::withMeta(fx::implicitUid);
    d.im(0x0008, 0x0060, "MR");
    d.im(0x0028, 0x0010, d.us(512));
    d.im(0x0028, 0x0101, d.us(12));
    d.im(0x0009, 0x1001, "ab");
    d.im(0x0008, 0x1140, std::string(16, 'q')); // defined-length sequence: SQ2, skipped by its length
    d.imHead(0x7FE0, 0x0010, 4).raw({1, 2, 3, 4});
    const WalkResult r = walk(d);
    EXPECT_EQ(r.syntax, Syntax::ImplicitLittle);
    EXPECT_EQ(rowOf(r, 0x0002, 0x0012)->vr, "UI");
    EXPECT_EQ(rowOf(r, 0x0002, 0x0013)->vr, "SH");
    const TagRow* rows = rowOf(r, 0x0028, 0x0010);
    EXPECT_EQ(rows->vr, "US");
    EXPECT_EQ(rows->length, "   2");
    EXPECT_EQ(rows->data, "512");
    EXPECT_EQ(rowOf(r, 0x0009, 0x1001)->vr, "");
    EXPECT_EQ(rowOf(r, 0x0009, 0x1001)->name, "Private Tag");
    const TagRow* seq = rowOf(r, 0x0008, 0x1140);
    EXPECT_EQ(seq->vr, "SQ2");
    EXPECT_EQ(seq->length, "  10");
    EXPECT_EQ(rowOf(r, 0x7FE0, 0x0010)->vr, "OB");
    ASSERT_TRUE(r.pixelOffset);
    EXPECT_EQ(*r.pixelOffset, static_cast<std::int64_t>(d.size()) - 4);
    EXPECT_EQ(r.summary, "MR\r\nMX : 512\r\nbit : 12\r\n");
}

TEST(WalkImplicit, UndefinedLengthSequencesAreSkippedToTheFirstDelimiter)
{
    // An outer sequence whose item holds an inner undefined-length sequence:
    // the walk resumes after the inner delimiter and lists the rest of the
    // outer item, its delimiters and what follows.
    DicomBytes d = DicomBytes::withMeta(fx::implicitUid);
    d.imHead(0x0008, 0x1140, 0xFFFFFFFF);
    d.imHead(0xFFFE, 0xE000, 0xFFFFFFFF);
    d.imHead(0x0008, 0x1115, 0xFFFFFFFF);
    d.imHead(0xFFFE, 0xE000, 0xFFFFFFFF);
    d.im(0x0008, 0x1150, "1.2");
    // A delimiter tag with a non-zero length is no match.
    d.tag(0xFFFE, 0xE0DD).u32(1);
    d.itemDelimiter();
    d.seqDelimiter(); // inner
    d.im(0x0008, 0x1155, "1.2.3.4 ");
    d.itemDelimiter();
    d.seqDelimiter(); // outer
    d.im(0x0028, 0x0010, d.us(8));
    d.imHead(0x7FE0, 0x0010, 0);
    const WalkResult r = walk(d);
    std::vector<std::pair<int, int>> tags;
    for (const auto& row : r.rows)
        if (row.group != 0x0002)
            tags.emplace_back(row.group, row.element);
    const std::vector<std::pair<int, int>> expected = {
        {0x0008, 0x1140}, {0x0008, 0x1155}, {0xFFFE, 0xE00D}, {0xFFFE, 0xE0DD}, {0x0028, 0x0010}, {0x7FE0, 0x0010}};
    EXPECT_EQ(tags, expected);
    const TagRow* seq = rowOf(r, 0x0008, 0x1140);
    EXPECT_EQ(seq->vr, "SQ");
    EXPECT_EQ(seq->length, "FFFFFFFF");
    EXPECT_EQ(seq->data, "未定義長さ");
    EXPECT_EQ(seq->name, "参照画像シーケンス Referenced Image Sequence SQ ");
    EXPECT_TRUE(r.pixelOffset);
}

TEST(WalkBigEndian, DataSetIsReadHighByteFirstAfterTheMetaGroup)
{
    // The meta group carries an AE after the SH element, as real files do:
    // switching at the SH would misread it.
    DicomBytes d = DicomBytes::withMeta(fx::bigUid);
    d.ex(0x0002, 0x0016, "AE", "TARVEN  ");
    d.big = true;
    d.ex(0x0008, 0x0060, "CS", "MR");
    d.ex(0x0028, 0x0010, "US", d.us(300));
    d.ex(0x0028, 0x0011, "US", d.us(2));
    d.exHead(0x0008, 0x1140, "SQ", 0xFFFFFFFF).tag(0xFFFE, 0xE000).u32(0).seqDelimiter();
    d.ex(0x0028, 0x0100, "UL", std::string{0, 0, 1, 2});
    d.exHead(0x7FE0, 0x0010, "OW", 4).raw({0, 1, 0, 2});
    const WalkResult r = walk(d);
    EXPECT_EQ(r.syntax, Syntax::ExplicitBig);
    EXPECT_EQ(rowOf(r, 0x0002, 0x0016)->data, "TARVEN  ");
    EXPECT_EQ(r.values.rows, "300");
    EXPECT_EQ(rowOf(r, 0x0028, 0x0100)->data, "258");
    EXPECT_EQ(rowOf(r, 0x0008, 0x1140)->data, "未定義長さ");
    ASSERT_TRUE(r.pixelOffset);
    EXPECT_EQ(*r.pixelOffset, static_cast<std::int64_t>(d.size()) - 4);
}

TEST(WalkExplicit, LaterFourByteLengthVrsKeepTheWalkOnTrack)
{
    DicomBytes d = DicomBytes::withMeta(fx::explicitUid);
    d.ex(0x0008, 0x0119, "UC", "long code value ");
    d.ex(0x0040, 0xA160, "UT", std::string(70000, 't'));
    d.ex(0x0064, 0x0009, "OF", std::string(8, '\0'));
    d.ex(0x0028, 0x0010, "US", d.us(4));
    d.exHead(0x7FE0, 0x0010, "OW", 0);
    const WalkResult r = walk(d);
    EXPECT_EQ(rowOf(r, 0x0008, 0x0119)->data, "long code value ");
    EXPECT_EQ(rowOf(r, 0x0040, 0xA160)->length, "11170");
    EXPECT_EQ(r.values.rows, "4");
    EXPECT_TRUE(r.pixelOffset);
}

TEST(WalkExplicit, OddLengthsAreFollowedExactly)
{
    DicomBytes d = DicomBytes::withMeta(fx::explicitUid);
    d.ex(0x0008, 0x0060, "CS", "CTX");
    d.ex(0x0028, 0x0010, "US", d.us(2));
    d.exHead(0x7FE0, 0x0010, "OW", 0);
    const WalkResult r = walk(d);
    EXPECT_EQ(rowOf(r, 0x0008, 0x0060)->data, "CTX");
    EXPECT_EQ(r.values.rows, "2");
    EXPECT_TRUE(r.pixelOffset);
}

// A file that ends early ends the walk as if no pixel data were found: the
// elements read so far are listed, nothing is read past the end.
TEST(WalkTruncated, EndsCleanlyWherever)
{
    DicomBytes d = DicomBytes::withMeta(fx::explicitUid);
    d.ex(0x0008, 0x0060, "CS", "MR");
    d.ex(0x0028, 0x0010, "US", d.us(2));
    const std::size_t whole = d.size();
    d.exHead(0x0010, 0x0010, "PN", 0x0100).str("short"); // length larger than the file
    const std::size_t bad = d.size();
    for (std::size_t n = 0; n <= bad; ++n) {
        std::vector<std::uint8_t> cut(d.b.begin(), d.b.begin() + static_cast<std::ptrdiff_t>(n));
        const WalkResult r = walkDicom(cut, builtinDictionary(), false);
        EXPECT_FALSE(r.pixelOffset);
        if (n == whole || n == bad) {
            ASSERT_EQ(r.rows.size(), 5u) << n;
            EXPECT_EQ(r.rows.back().element, 0x0010);
            EXPECT_EQ(r.nextRow, 6);
        }
    }

    // Undefined length without any delimiter.
    DicomBytes u = DicomBytes::withMeta(fx::explicitUid);
    u.exHead(0x0008, 0x1140, "SQ", 0xFFFFFFFF).str("no delimiter, FE FF DD E0 is absent");
    const WalkResult r = walk(u);
    EXPECT_EQ(r.rows.size(), 3u);
    EXPECT_FALSE(r.pixelOffset);

    // A four-byte length that would overflow a 32-bit sum.
    DicomBytes o = DicomBytes::withMeta(fx::explicitUid);
    o.exHead(0x0009, 0x0010, "OB", 0x7FFFFFFF).str("xx");
    EXPECT_FALSE(walk(o).pixelOffset);
}

// Explicit syntax: after the innermost delimiter the walk meets item tags,
// which carry no VR; read as such, the second item (undefined length) is
// skipped to its nested sequence's delimiter and the walk reaches the pixels.
TEST(WalkExplicit, ItemsMetBetweenElementsKeepTheWalkOnTrack)
{
    DicomBytes d = DicomBytes::withMeta(fx::explicitUid);
    d.exHead(0x5200, 0x9230, "SQ", 0xFFFFFFFF);
    for (int item = 0; item < 2; ++item) {
        d.tag(0xFFFE, 0xE000).u32(0xFFFFFFFF);
        d.exHead(0x0020, 0x9111, "SQ", 0xFFFFFFFF).tag(0xFFFE, 0xE000).u32(8).ex(0x0020, 0x9157, "UL", "\1\0\0\0");
        d.seqDelimiter();
        d.ex(0x0008, 0x9007, "CS", "ORIGINAL");
        d.itemDelimiter();
    }
    d.seqDelimiter();
    d.tag(0xFFFE, 0xE000).u32(4).str("abcd"); // an item with a defined length is skipped by it
    d.ex(0x0028, 0x0010, "US", d.us(16));
    d.exHead(0x7FE0, 0x0010, "OW", 2).raw({1, 2});
    const WalkResult r = walk(d);
    std::vector<std::string> listed;
    for (const auto& row : r.rows)
        if (row.group != 0x0002)
            listed.push_back(hex4(row.group) + "," + hex4(row.element) + " " + row.vr + " " + row.length);
    const std::vector<std::string> expected = {
        "5200,9230 SQ FFFFFFFF", "   8,9007 CS    8", "FFFE,E00D     0", "FFFE,E000 SQ FFFFFFFF",
        "   8,9007 CS    8",     "FFFE,E00D     0",   "FFFE,E0DD     0", "FFFE,E000     4",
        "  28,  10 US    2",     "7FE0,  10 OW    2"};
    EXPECT_EQ(listed, expected);
    ASSERT_TRUE(r.pixelOffset);
    EXPECT_EQ(*r.pixelOffset, static_cast<std::int64_t>(d.size()) - 2);
}

// The log line and the summary are shown text: a value in a single-byte
// character set shows its bytes one by one without garbling the Japanese
// name beside it, and a value padded with NUL shows up to the NUL, as the
// tag table's cell shows it, with the rest of the line kept.
TEST(WalkExplicit, LogAndSummaryShowEachValueOnItsOwn)
{
    const DicomBytes d = explicitFile([](DicomBytes& f) {
        f.ex(0x0010, 0x0010, "PN", "M\xFCller");
        f.ex(0x0008, 0x0018, "UI", std::string("1.2.3\0", 6));
        f.ex(0x0008, 0x1090, "LO", "\xE6\xA8\xAA ");
        f.ex(0x0008, 0x103E, "LO", "K\xF6pf");
    });
    const WalkResult r = walk(d);
    ASSERT_GE(r.log.size(), 7u);
    EXPECT_EQ(r.log[3], "4\t  10\t  10\tPN\t#6\t\tM\xC3\xBCller\t患者の名前 Patient's Name PN ");
    EXPECT_EQ(r.log[4].substr(0, 25), "5\t   8\t  18\tUI\t#6\t\t1.2.3\t");
    EXPECT_EQ(r.summary, "\xE6\xA8\xAA \r\nSe : K\xC3\xB6pf\r\n");
    // The table keeps the value's bytes; its cell draws them up to the NUL.
    EXPECT_EQ(rowOf(r, 0x0008, 0x0018)->data, std::string("1.2.3\0", 6));
}

// The file meta group is explicit in every syntax: meta elements of other
// VRs after the transfer syntax (here OB and UR) are read as such, not as
// implicit elements whose VR bytes would be taken for a length.
TEST(WalkImplicit, WholeMetaGroupIsExplicit)
{
    DicomBytes d = DicomBytes::withMeta(fx::implicitUid);
    d.ex(0x0002, 0x0026, "UR", "http://x/ ");
    d.ex(0x0002, 0x0102, "OB", std::string("\1\2", 2));
    d.im(0x0028, 0x0010, d.us(64));
    d.imHead(0x7FE0, 0x0010, 2).raw({1, 2});
    const WalkResult r = walk(d);
    ASSERT_TRUE(rowOf(r, 0x0002, 0x0102));
    EXPECT_EQ(rowOf(r, 0x0002, 0x0102)->vr, "OB");
    EXPECT_EQ(rowOf(r, 0x0002, 0x0026)->data, "http://x/ ");
    EXPECT_EQ(r.values.rows, "64");
    ASSERT_TRUE(r.pixelOffset);
    EXPECT_EQ(*r.pixelOffset, static_cast<std::int64_t>(d.size()) - 2);
}
