#include "dicom/dictionary.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <random>
#include <regex>
#include <set>
#include <string>

using namespace tarven::dicom;

namespace {
const char CR = '\r';
}

TEST(DictionaryText, JoinsStringsWithBlanksAndRecordsWithCr)
{
    const char* const table[] = {"(0028,0010)", "横行", "Rows", "US", "tarven", "(0008,0016)", "UI", "tarven"};
    EXPECT_EQ(joinDictionary(table), std::string("(0028,0010) 横行 Rows US \r(0008,0016) UI \r"));
}

TEST(DictionaryLookup, CasesOfTheBuiltInTable)
{
    const Dictionary& d = builtinDictionary();
    struct Case {
        std::uint16_t g, e;
        std::string name; // empty: not found
        std::string vr;
    };
    const Case cases[] = {
        {0x0028, 0x0010, "横行 Rows US ", "US"},
        {0x0002, 0x0010, "Transfer Syntax UID 転送構文ＵＩＤ UI ", "UI"},
        {0x0008, 0x1140, "参照画像シーケンス Referenced Image Sequence SQ ", "SQ2"},
        {0x7FE0, 0x0010, "画素データ Pixel Data OW or OB ", "OB"},
        {0x0028, 0x0106, "最小画像画素値 Smallest Image Pixel Value US or SS ", "SS"},
        {0xFFFE, 0xE000, "項目 Item 注参照 ", ""},
        {0xFFFE, 0xE0DD, "シーケンス区切り項目 Sequence Delimitation Item 注参照 ", ""},
        // The old table never named (0018,7000) and up, and named (0018,1070)
        // by a duplicate English-only record: one record per tag now.
        {0x0018, 0x7000, "検出器条件公称フラグ Detector Conditions Nominal Flag CS ", "CS"},
        {0x0000, 0x5160, "Borders CS ", "CS"}, // the English-only form
        {0x0018, 0x1070, "放射性医薬品経路 Radiopharmaceutical Route LO ", "LO"},
        {0x0009, 0x0010, "", ""}, // odd (private) group
        {0x6000, 0x3000, "", ""}, // repeating groups are written with "xx" and never found
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(d.name(c.g, c.e), c.name);
        EXPECT_EQ(findName(d.text(), c.g, c.e), c.name);
        EXPECT_EQ(vrOfName(d.name(c.g, c.e)), c.vr);
    }
}

TEST(DictionaryLookup, VrRuleTakesTheLastTwoByteWord)
{
    struct Case { std::string name, vr; };
    const Case cases[] = {
        {"Rows US ", "US"},
        {"Length to End, UL ", "UL"},
        {"Length to End, ", "to"}, // a record without VR yields a stray word
        {"Item 注参照 ", ""},
        {"Pixel Data OW or OB ", "OB"},
        {"Seq SQ ", "SQ2"},
        {"", ""},
        {"US", ""},   // no blank before
        {" US", ""},  // no blank after
        {" \x01U ", ""}, // control bytes are not above the blank
        // Bytes, not characters: a two-byte character counts as two.
        {"x \xC3\xA9 ", "\xC3\xA9"},
        {"x 部 ", ""}, // three bytes in UTF-8
    };
    for (const Case& c : cases)
        EXPECT_EQ(vrOfName(c.name), c.vr) << c.name;
}

TEST(DictionaryLookup, IndexAnswersAsTheTextSearch)
{
    // A text where a key also occurs out of a record's tag and twice.
    const Dictionary d(std::string("(0010,0010) First PN \r(0010,0010) Second PN \rx0020,0030) Odd \r(0020,0030 cut\r"));
    EXPECT_EQ(d.name(0x0010, 0x0010), "First PN ");
    EXPECT_EQ(d.name(0x0020, 0x0030), findName(d.text(), 0x0020, 0x0030));
    EXPECT_EQ(d.name(0x0020, 0x0030), "Odd ");

    const Dictionary& b = builtinDictionary();
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        const auto g = static_cast<std::uint16_t>(rng() % 4 == 0 ? rng() : rng() % 0x60);
        const auto e = static_cast<std::uint16_t>(rng());
        ASSERT_EQ(b.name(g, e), findName(b.text(), g, e)) << g << "," << e;
    }
}

TEST(DictionaryTable, OneWellFormedRecordPerTag)
{
    const std::regex tagForm(R"(\(([0-9A-F]{4}|[0-9A-Fx]{4}),([0-9A-F]{4}|[0-9A-Fx]{4})\))");
    std::set<std::string> tags;
    std::vector<std::string> record;
    std::size_t records = 0;
    for (const char* s : dictionaryTable) {
        if (std::string_view(s) != recordMarker) {
            record.emplace_back(s);
            continue;
        }
        ++records;
        ASSERT_GE(record.size(), 3u) << record.front();
        ASSERT_LE(record.size(), 4u) << record.front();
        ASSERT_TRUE(std::regex_match(record.front(), tagForm)) << record.front();
        EXPECT_TRUE(tags.insert(record.front()).second) << "duplicate " << record.front();
        for (const auto& f : record)
            EXPECT_FALSE(f.empty() || f.find(CR) != std::string::npos) << record.front();
        record.clear();
    }
    EXPECT_TRUE(record.empty()) << "the table ends inside a record";
    EXPECT_GT(records, 4900u);
}

TEST(DictionaryTable, JapaneseNamesForTheGroupsTheViewerShows)
{
    // Records with four strings carry a Japanese name; group 0002 has it in
    // the third place, every other group in the second.
    const std::set<std::string> groups = {"0002", "0008", "0010", "0020", "0028", "7FE0", "FFFE"};
    const std::set<std::string> acquisition = {"(0018,0060)", "(0018,1100)", "(0018,0050)", "(0018,1152)",
                                               "(0018,0080)", "(0018,0081)", "(0018,0095)", "(0018,1312)",
                                               "(0018,0083)", "(0018,1310)", "(0018,1250)", "(0018,0091)",
                                               "(0018,0089)", "(0018,1210)"};
    std::vector<std::string> record;
    int checked = 0;
    for (const char* s : dictionaryTable) {
        if (std::string_view(s) != recordMarker) {
            record.emplace_back(s);
            continue;
        }
        const std::string& tag = record.front();
        const bool wanted = (groups.count(tag.substr(1, 4)) && tag.find('x') == std::string::npos) ||
                            acquisition.count(tag);
        if (wanted) {
            ++checked;
            ASSERT_EQ(record.size(), 4u) << tag << " has no Japanese name";
            const std::string& ja = tag.substr(1, 4) == "0002" ? record[2] : record[1];
            EXPECT_GT(static_cast<unsigned char>(ja[0]), 0x7F) << tag << ": " << ja;
        }
        record.clear();
    }
    EXPECT_GT(checked, 600);
}

// Every element of the standard's dictionary (pydicom's machine-readable
// copy) is found, under its English name and with its VR.
TEST(DictionaryTable, EveryElementOfTheStandardIsFound)
{
    const char* cmd = "/usr/bin/python3 -c \"from pydicom._dicom_dict import DicomDictionary as D\n"
                      "for t,v in D.items(): print('%08X|%s|%s' % (t, v[0], v[2]))\" 2>/dev/null";
    std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(cmd, "r"), pclose);
    if (!pipe)
        GTEST_SKIP() << "no /usr/bin/python3";
    const Dictionary& d = builtinDictionary();
    char line[512];
    int n = 0;
    while (fgets(line, sizeof line, pipe.get())) {
        std::string l(line);
        if (!l.empty() && l.back() == '\n')
            l.pop_back();
        const auto bar1 = l.find('|'), bar2 = l.find('|', bar1 + 1);
        const auto tag = static_cast<std::uint32_t>(std::stoul(l.substr(0, bar1), nullptr, 16));
        std::string vr = l.substr(bar1 + 1, bar2 - bar1 - 1);
        const std::string english = l.substr(bar2 + 1);
        const std::string_view name = d.name(static_cast<std::uint16_t>(tag >> 16), static_cast<std::uint16_t>(tag));
        ASSERT_FALSE(name.empty()) << l;
        EXPECT_NE(name.find(english.empty() ? "Retired" : english), std::string_view::npos) << l;
        if (vr == "NONE")
            vr.clear();
        else if (vr.size() > 2)
            vr = vr == "OB or OW" ? "OB" : vr.substr(vr.size() - 2); // written "OW or OB"
        EXPECT_EQ(vrOfName(name), vr == "SQ" ? "SQ2" : vr) << l;
        ++n;
    }
    if (n == 0)
        GTEST_SKIP() << "pydicom is not installed";
    EXPECT_GT(n, 4800);
}
