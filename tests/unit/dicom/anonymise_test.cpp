#include "dicom/anonymise.h"

#include "dicom_bytes.h"

#include <gtest/gtest.h>

using namespace tarven::dicom;
using tarven::dicom::testing::DicomBytes;
namespace fx = tarven::dicom::testing;

namespace {

// Offsets where the copy is not the input: "1" expected, anything else a fault.
std::vector<std::size_t> differences(const std::vector<std::uint8_t>& in, const std::vector<std::uint8_t>& out,
                                     const std::vector<std::size_t>& ones)
{
    std::vector<std::size_t> d;
    for (std::size_t i = 0; i < std::min(in.size(), out.size()); ++i) {
        const bool one = std::find(ones.begin(), ones.end(), i) != ones.end();
        if (one ? out[i] != '1' : out[i] != in[i])
            d.push_back(i);
    }
    return d;
}

std::vector<std::size_t> range(std::size_t from, std::size_t n)
{
    std::vector<std::size_t> r;
    for (std::size_t i = 0; i < n; ++i)
        r.push_back(from + i);
    return r;
}

} // namespace

TEST(Anonymise, PatientValuesBecomeOnesAndNothingElseChanges)
{
    for (const auto uid : {fx::explicitUid, fx::bigUid}) {
        DicomBytes d = DicomBytes::withMeta(uid);
        d.big = uid == fx::bigUid;
        d.ex(0x0008, 0x0080, "LO", "HOSPITAL");
        const std::size_t groupLength = d.size() + 8;
        d.ex(0x0010, 0x0000, "UL", std::string("\x20\0\0\0", 4));
        const std::size_t name = d.size() + 8;
        d.ex(0x0010, 0x0010, "PN", "DOE^JOHN"); // 8 bytes
        d.ex(0x0010, 0x0020, "LO", "");          // no value
        // A sequence of the group is copied as it stands.
        d.exHead(0x0010, 0x1002, "SQ", 0xFFFFFFFF).tag(0xFFFE, 0xE000).u32(0xFFFFFFFF);
        d.ex(0x0010, 0x0020, "LO", "OTHERID ").itemDelimiter().seqDelimiter();
        const std::size_t birth = d.size() + 8;
        d.ex(0x0010, 0x0030, "DA", "19700101");
        d.exHead(0x7FE0, 0x0010, "OW", 4).raw({'D', 'O', 'E', 0});
        d.str("trailing");

        const AnonymisedCopy copy = anonymisedCopy(d.b, static_cast<std::int64_t>(d.size()), builtinDictionary());
        ASSERT_EQ(copy.bytes.size(), d.size());
        EXPECT_EQ(copy.pixelOffset, static_cast<std::int64_t>(d.size()) - 12);
        EXPECT_EQ(copy.syntax, uid == fx::bigUid ? Syntax::ExplicitBig : Syntax::ExplicitLittle);
        std::vector<std::size_t> expected = range(groupLength, 4);
        for (auto i : range(name, 8))
            expected.push_back(i);
        for (auto i : range(birth, 8))
            expected.push_back(i);
        EXPECT_EQ(differences(d.b, copy.bytes, expected), std::vector<std::size_t>{}) << uid;
    }
}

// In the implicit syntax a defined-length sequence of the group takes "SQ2"
// from the dictionary; overwriting it would destroy its item tags and lengths.
TEST(Anonymise, ImplicitSequenceOfThePatientGroupKeepsItsStructure)
{
    DicomBytes d = DicomBytes::withMeta(fx::implicitUid);
    const std::size_t name = d.size() + 8;
    d.im(0x0010, 0x0010, "DOE^JANE");
    DicomBytes item;
    item.im(0x0010, 0x0020, "ID42");
    d.imHead(0x0010, 0x1002, static_cast<std::uint32_t>(item.size() + 8));
    d.imHead(0xFFFE, 0xE000, static_cast<std::uint32_t>(item.size())).str(std::string(item.b.begin(), item.b.end()));
    const std::size_t size = d.size() + 8;
    d.im(0x0010, 0x1020, "1.80");
    d.imHead(0x7FE0, 0x0010, 2).raw({7, 0});

    const AnonymisedCopy copy = anonymisedCopy(d.b, static_cast<std::int64_t>(d.size()), builtinDictionary());
    std::vector<std::size_t> expected = range(name, 8);
    for (auto i : range(size, 4))
        expected.push_back(i);
    EXPECT_EQ(differences(d.b, copy.bytes, expected), std::vector<std::size_t>{});
    EXPECT_EQ(copy.valuesReplaced, 2);
    EXPECT_EQ(copy.pixelOffset, static_cast<std::int64_t>(d.size()) - 2);
}

TEST(Anonymise, CopyHasTheRequestedSizeAndNeverReadsOrWritesOutside)
{
    DicomBytes d = DicomBytes::withMeta(fx::explicitUid);
    d.ex(0x0010, 0x0010, "PN", "DOE^JOHN");
    d.exHead(0x7FE0, 0x0010, "OW", 2).raw({5, 6});
    const auto n = static_cast<std::int64_t>(d.size());

    const AnonymisedCopy longer = anonymisedCopy(d.b, n + 10, builtinDictionary());
    ASSERT_EQ(longer.bytes.size(), d.size() + 10);
    EXPECT_EQ(std::vector<std::uint8_t>(longer.bytes.end() - 10, longer.bytes.end()), std::vector<std::uint8_t>(10, 0));

    // Cut inside the patient name: the part that fits is overwritten.
    const AnonymisedCopy shorter = anonymisedCopy(d.b, n - 18, builtinDictionary());
    ASSERT_EQ(shorter.bytes.size(), d.size() - 18);
    EXPECT_EQ(std::string(shorter.bytes.end() - 4, shorter.bytes.end()), "1111");

    EXPECT_TRUE(anonymisedCopy(d.b, 0, builtinDictionary()).bytes.empty());

    // Truncated input: the walk stops, the bytes are copied.
    std::vector<std::uint8_t> cut(d.b.begin(), d.b.end() - 18); // inside the name
    const AnonymisedCopy c = anonymisedCopy(cut, n, builtinDictionary());
    EXPECT_EQ(c.pixelOffset, -1);
    EXPECT_TRUE(std::equal(cut.begin(), cut.end(), c.bytes.begin()));

    // Without "DICM" the copy is the input.
    std::vector<std::uint8_t> raw(600, 9);
    const AnonymisedCopy r = anonymisedCopy(raw, 600, builtinDictionary());
    EXPECT_FALSE(r.dicmFound);
    EXPECT_EQ(r.bytes, raw);
}
