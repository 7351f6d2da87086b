#include "dicom/walk.h"

#include "common/numeric.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tarven::dicom {

namespace {

bool isOneOf(std::string_view v, std::initializer_list<std::string_view> set)
{
    return std::find(set.begin(), set.end(), v) != set.end();
}

// VRs whose value is skipped unread, with a four-byte length after two
// reserved bytes in the explicit syntaxes. Besides SQ, OB, OW and UN the
// binary VRs of later editions (OD, OF, OL, OV, SV, UV) belong here: read
// with a two-byte length they would throw the walk off its track.
bool fourByteBranchVr(std::string_view v)
{
    return isOneOf(v, {"SQ", "OB", "OW", "UN", "OD", "OF", "OL", "OV", "SV", "UV"});
}

// Text VRs of later editions with a four-byte length: read like the other
// text values (listed, decoded, anonymised), with the length they really have.
bool longTextVr(std::string_view v) { return isOneOf(v, {"UC", "UR", "UT"}); }

std::string decimal(std::uint64_t v) { return std::to_string(v); }

// A value as the log and the summary show it: each value converted on its
// own, so that a value in a single-byte character set cannot garble the
// Japanese names around it, and only up to a NUL (the padding of UIDs), as
// a text control shows it; what follows on the line stays.
std::string shownValue(std::string_view bytes) { return displayText(bytes.substr(0, bytes.find('\0'))); }

} // namespace

std::int64_t findDicm(std::span<const std::uint8_t> bytes)
{
    static constexpr std::array<std::uint8_t, 4> dicm{'D', 'I', 'C', 'M'};
    const auto size = static_cast<std::int64_t>(bytes.size());
    for (std::int64_t off = 0; off <= 255 && off + 4 <= size; ++off)
        if (std::memcmp(bytes.data() + off, dicm.data(), 4) == 0)
            return off;
    return -1;
}

Syntax syntaxOfUid(std::string_view uid)
{
    if (!uid.empty() && uid.back() == '\0')
        uid.remove_suffix(1);
    if (uid == "1.2.840.10008.1.2")
        return Syntax::ImplicitLittle;
    if (uid == "1.2.840.10008.1.2.1")
        return Syntax::ExplicitLittle;
    if (uid == "1.2.840.10008.1.2.2")
        return Syntax::ExplicitBig;
    return Syntax::None;
}

std::string hex4(std::int64_t value)
{
    static const char digits[] = "0123456789ABCDEF";
    auto v = static_cast<std::uint32_t>(value);
    std::string s;
    do {
        s.insert(s.begin(), digits[v & 0xF]);
        v >>= 4;
    } while (v != 0);
    if (s.size() < 4)
        s.insert(0, 4 - s.size(), ' ');
    return s;
}

// ---------------------------------------------------------------- the walker

ElementWalker::ElementWalker(std::span<const std::uint8_t> bytes, const Dictionary& dict, std::int64_t start)
    : bytes_(bytes), dict_(dict), pos_(start)
{
}

bool ElementWalker::have(std::int64_t n) const
{
    return n >= 0 && pos_ <= static_cast<std::int64_t>(bytes_.size()) - n;
}

std::uint32_t ElementWalker::u16(std::int64_t at) const
{
    const auto* b = bytes_.data() + at;
    return bigEndian_ ? (std::uint32_t{b[0]} << 8 | b[1]) : (std::uint32_t{b[1]} << 8 | b[0]);
}

std::uint32_t ElementWalker::u32(std::int64_t at, bool big) const
{
    const auto* b = bytes_.data() + at;
    return big ? (std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3])
               : (std::uint32_t{b[3]} << 24 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[1]} << 8 | b[0]);
}

std::optional<Element> ElementWalker::next()
{
    if (done_)
        return std::nullopt;
    // The position moves only when a whole element has been read; an element
    // cut off by the end of the file is not reported.
    const std::int64_t start = pos_;
    auto fail = [&]() -> std::optional<Element> {
        pos_ = start;
        done_ = true;
        truncated_ = true;
        return std::nullopt;
    };
    if (!have(4))
        return fail();

    // The file meta group is always explicit little endian; a big-endian data
    // set starts with the first element of another group.
    if (syntax_ == Syntax::ExplicitBig && !bigEndian_ && (bytes_[pos_] | bytes_[pos_ + 1] << 8) != 0x0002)
        bigEndian_ = true;

    Element el;
    el.tagOffset = pos_;
    el.bigEndian = bigEndian_;
    el.group = static_cast<std::uint16_t>(u16(pos_));
    el.element = static_cast<std::uint16_t>(u16(pos_ + 2));
    el.name = dict_.name(el.group, el.element);
    pos_ += 4;

    if (!have(2))
        return fail();
    std::string v(reinterpret_cast<const char*>(bytes_.data() + pos_), 2);
    pos_ += 2;
    // Items and delimiters carry no VR in any syntax: read them as the
    // implicit syntax reads every element, so that an item met between the
    // elements (after a nested sequence was skipped) keeps the walk on track.
    const bool item = el.group == 0xFFFE && (el.element == 0xE000 || el.element == 0xE00D || el.element == 0xE0DD);
    // The file meta group is explicit whatever the syntax of the data set;
    // besides UI, SH and AE it may carry OB and UR elements after the
    // transfer syntax, which the implicit reading would take for lengths.
    const bool implicit = (syntax_ == Syntax::ImplicitLittle && el.group != 0x0002) || item;
    int lengthSize = 2;
    bool reserved = false;
    if (implicit) {
        if (item || !isOneOf(v, {"UI", "SH", "AE"})) {
            pos_ -= 2;
            lengthSize = 4;
            v.clear();
        }
        if (have(4) && u32(pos_, false) == 0xFFFFFFFFu)
            v = "SQ";
        if (v.empty() && !el.name.empty())
            v = vrOfName(el.name);
    }
    el.fourByteBranch = fourByteBranchVr(v);
    if (el.fourByteBranch) {
        lengthSize = 4;
        reserved = !implicit;
    } else if (!implicit && longTextVr(v)) {
        lengthSize = 4;
        reserved = true;
    }
    el.vr = std::move(v);

    if (reserved) {
        if (!have(2))
            return fail();
        pos_ += 2;
    }
    if (!have(lengthSize))
        return fail();
    el.length = lengthSize == 4 ? static_cast<std::int32_t>(u32(pos_, bigEndian_)) : static_cast<std::int32_t>(u16(pos_));
    pos_ += lengthSize;
    el.valueOffset = pos_;

    if (el.group == 0x7FE0 && el.element == 0x0010) {
        el.pixelData = true;
        el.end = pos_;
        done_ = true;
        return el;
    }
    if (el.fourByteBranch && el.length == -1) {
        // Skip to the first sequence delimitation item with zero length.
        static constexpr std::array<std::uint8_t, 8> little{0xFE, 0xFF, 0xDD, 0xE0, 0, 0, 0, 0};
        static constexpr std::array<std::uint8_t, 8> big{0xFF, 0xFE, 0xE0, 0xDD, 0, 0, 0, 0};
        const auto& pattern = bigEndian_ ? big : little;
        const auto from = bytes_.begin() + pos_;
        const auto at = std::search(from, bytes_.end(), pattern.begin(), pattern.end());
        if (at == bytes_.end())
            return fail();
        el.undefinedLength = true;
        pos_ = (at - bytes_.begin()) + 8;
        el.end = pos_;
        return el;
    }
    if (el.length > 0) {
        if (!have(el.length))
            return fail();
        el.valueSize = el.length;
        pos_ += el.length;
    }
    el.end = pos_;
    if (!el.fourByteBranch && el.valueSize > 0 && el.group == 0x0002 && el.element == 0x0010) {
        const Syntax s = syntaxOfUid(std::string_view(reinterpret_cast<const char*>(bytes_.data() + el.valueOffset),
                                                      static_cast<std::size_t>(el.valueSize)));
        if (s != Syntax::None)
            syntax_ = s;
    }
    return el;
}

// ---------------------------------------------------------------- the reader

namespace {

// Window centre and width: the text before the first "\", and no more
// characters than stand before the value's first blank.
std::string windowText(const std::string& value)
{
    std::string t = value.substr(0, value.find('\\'));
    const std::size_t blank = value.find(' ');
    if (blank != std::string::npos && t.size() > blank)
        t.resize(blank);
    return t;
}

std::string truncatedNumber(const std::string& s) { return formatInt(truncToInt64(parseFloat(s))); }

void applyActions(std::uint16_t g, std::uint16_t e, const std::string& s, bool windowLocked, ViewerValues& out)
{
    if (g == 0x0028) {
        switch (e) {
        case 0x0010: out.rows = s; break;
        case 0x0011: out.columns = s; break;
        case 0x0004: out.photometric = s; break;
        case 0x0030: {
            // A value without "\" gives an empty spacing, which does not convert.
            const std::size_t bs = s.find('\\');
            out.pixelSpacingText = bs == std::string::npos ? std::string() : s.substr(0, bs);
            out.pixelSpacing = parseFloat(*out.pixelSpacingText);
            break;
        }
        case 0x1050:
            if (!windowLocked)
                out.windowCenter = windowText(s);
            break;
        case 0x1051:
            if (!windowLocked)
                out.windowWidth = windowText(s);
            break;
        case 0x0100: out.bitsAllocated = truncatedNumber(s); break;
        case 0x0101: out.bitsStored = truncatedNumber(s); break;
        case 0x0102: out.highBit = truncatedNumber(s); break;
        case 0x1052: out.intercept = truncatedNumber(s); break;
        case 0x1053: out.slope = formatGeneral(parseFloat(s)); break;
        case 0x1054: out.rescaleType = s; break;
        default: break;
        }
    } else if (g == 0x0018) {
        if (e == 0x1100)
            out.fov = s;
        else if (e == 0x1210)
            out.kernel = s;
    }
}

// The acquisition summary line of an element, and whether it goes before
// the summary so far.
struct SummaryLine {
    const char* prefix = nullptr;
    bool before = false;
};

std::optional<SummaryLine> summaryLine(std::uint16_t g, std::uint16_t e)
{
    switch (e) {
    case 0x0060: return SummaryLine{g == 0x0008 ? "" : "kV : "};
    case 0x1090: if (g == 0x0008) return SummaryLine{"", true}; break;
    case 0x1011: if (g == 0x2005) return SummaryLine{"", true}; break;
    case 0x1152: return SummaryLine{"mAs : "};
    case 0x103E: return SummaryLine{"Se : "};
    default: break;
    }
    if (g == 0x0018) {
        switch (e) {
        case 0x1210: return SummaryLine{"RF : "};
        case 0x1100: return SummaryLine{"mmFOV : "};
        case 0x0050: return SummaryLine{"mmST : "};
        case 0x0080: return SummaryLine{"msTR : "};
        case 0x0081: return SummaryLine{"msTE : "};
        case 0x0095: return SummaryLine{"Hz/pxl : "};
        case 0x1312: return SummaryLine{"PE : "};
        case 0x0083: return SummaryLine{"Ac : "};
        case 0x1310: return SummaryLine{"AcMtrx : "};
        case 0x1250: return SummaryLine{"Coil : "};
        case 0x0091: return SummaryLine{"ETL : "};
        case 0x0089: return SummaryLine{"PE# : "};
        default: break;
        }
    }
    if (g == 0x0028) {
        switch (e) {
        case 0x0010: return SummaryLine{"MX : "};
        case 0x0011: return SummaryLine{"MY : "};
        case 0x0101: return SummaryLine{"bit : "};
        case 0x0030: return SummaryLine{"mmPSize : "};
        default: break;
        }
    }
    return std::nullopt;
}

} // namespace

WalkResult walkDicom(std::span<const std::uint8_t> bytes, const Dictionary& dict, bool windowLocked)
{
    WalkResult res;
    const std::int64_t dicm = findDicm(bytes);
    if (dicm < 0)
        return res;
    res.dicmFound = true;

    ElementWalker walker(bytes, dict, dicm + 4);
    std::int64_t r = 1;
    std::string summary;
    while (auto el = walker.next()) {
        TagRow row;
        row.group = el->group;
        row.element = el->element;
        row.vr = el->vr;
        row.length = hex4(el->length);
        const auto value = [&] {
            return std::string(reinterpret_cast<const char*>(bytes.data() + el->valueOffset),
                               static_cast<std::size_t>(el->valueSize));
        };

        if (el->fourByteBranch) {
            res.log.push_back(displayText(el->vr));
            if (el->undefinedLength) {
                row.data = "未定義長さ";
                row.name = std::string(el->name);
            } else if (!el->pixelData) {
                row.data = value();
                row.name = std::string(el->name);
            }
        } else if (!el->pixelData && el->length > 0) {
            std::string s = value();
            std::string extra;
            const auto* b = bytes.data() + el->valueOffset;
            if (el->vr == "US" && el->length == 2) {
                s = decimal(el->bigEndian ? (b[0] << 8 | b[1]) : (b[1] << 8 | b[0]));
                extra = " (" + s + ")";
            } else if (el->vr == "UL" && el->length == 4) {
                const std::uint32_t v = el->bigEndian
                    ? (std::uint32_t{b[0]} << 24 | std::uint32_t{b[1]} << 16 | std::uint32_t{b[2]} << 8 | b[3])
                    : (std::uint32_t{b[3]} << 24 | std::uint32_t{b[2]} << 16 | std::uint32_t{b[1]} << 8 | b[0]);
                s = decimal(v);
            }
            row.data = s;
            row.name = el->name.empty() && (el->group & 1) ? std::string("Private Tag") : std::string(el->name);
            res.log.push_back(std::to_string(r) + '\t' + hex4(el->group) + '\t' + hex4(el->element) + '\t' +
                              displayText(el->vr) + "\t#" + std::to_string(el->length) + '\t' + extra + '\t' +
                              shownValue(s) + '\t' + std::string(el->name));
            try {
                applyActions(el->group, el->element, s, windowLocked, res.values);
            } catch (...) {
                res.error = std::current_exception();
                res.rows.push_back(std::move(row));
                break;
            }
            if (const auto line = summaryLine(el->group, el->element)) {
                const std::string text = line->prefix + shownValue(s) + "\r\n";
                summary = line->before ? text + summary : summary + text;
            }
            res.summary = summary;
        }

        if (el->pixelData) {
            res.pixelOffset = el->end;
            row.name = "Pixel Data";
        }
        res.rows.push_back(std::move(row));
        ++r;
    }
    res.nextRow = r;
    res.syntax = walker.syntax();
    return res;
}

namespace {

// Length of the well-formed UTF-8 sequence at s[i], or 0 when it is not one
// (overlong forms, surrogates and code points above U+10FFFF are not).
std::size_t utf8Sequence(std::string_view s, std::size_t i)
{
    const auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    const unsigned char c = at(i);
    if (c < 0x80)
        return 1;
    std::size_t n = 0;
    unsigned char lo = 0x80, hi = 0xBF; // range of the second byte
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF) {
        n = 3;
        if (c == 0xE0)
            lo = 0xA0;
        if (c == 0xED)
            hi = 0x9F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4;
        if (c == 0xF0)
            lo = 0x90;
        if (c == 0xF4)
            hi = 0x8F;
    } else
        return 0;
    if (i + n > s.size() || at(i + 1) < lo || at(i + 1) > hi)
        return 0;
    for (std::size_t k = 2; k < n; ++k)
        if (at(i + k) < 0x80 || at(i + k) > 0xBF)
            return 0;
    return n;
}

} // namespace

std::string displayText(std::string_view bytes)
{
    std::string_view s = bytes;
    bool utf8 = true;
    for (std::size_t i = 0; i < s.size();) {
        const std::size_t n = utf8Sequence(s, i);
        if (n == 0) {
            utf8 = false;
            break;
        }
        i += n;
    }
    if (utf8)
        return std::string(s.starts_with("\xEF\xBB\xBF") ? s.substr(3) : s); // a byte order mark is not shown
    std::string out;
    out.reserve(s.size() * 2);
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x80)
            out.push_back(static_cast<char>(c));
        else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::vector<TagTableRow> tagTable(const WalkResult& res)
{
    constexpr std::size_t numberedRows = 256;
    std::vector<TagTableRow> table;
    table.push_back({"No", "Grou", "Elem", "VR", "LengVR", "Data", "Name"});
    // A walk stopped by a value that does not convert leaves the row count
    // unset: only the rows it listed count then. Without "DICM" none is listed.
    std::size_t listed = res.nextRow > 1 ? static_cast<std::size_t>(res.nextRow - 1) : 0;
    if (res.error || !res.dicmFound)
        listed = res.dicmFound ? res.rows.size() : 0;
    for (std::size_t i = 0; i < listed; ++i) {
        const std::size_t r = i + 1;
        const std::string blank = r <= numberedRows ? " " : "";
        TagTableRow row{r <= numberedRows ? formatInt(static_cast<std::int64_t>(r)) : std::string(), blank, blank,
                        blank, blank, blank, blank};
        if (i < res.rows.size()) {
            const TagRow& t = res.rows[i];
            row[1] = hex4(t.group);
            row[2] = hex4(t.element);
            row[3] = t.vr;
            row[4] = t.length;
            if (t.data)
                row[5] = displayText(*t.data);
            if (t.name)
                row[6] = *t.name;
        }
        table.push_back(std::move(row));
    }
    return table;
}

} // namespace tarven::dicom
