#pragma once
// Small DICOM byte fixtures built in code: each test states the bytes that
// show its fault.
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace tarven::dicom::testing {

inline constexpr std::string_view implicitUid = "1.2.840.10008.1.2";
inline constexpr std::string_view explicitUid = "1.2.840.10008.1.2.1";
inline constexpr std::string_view bigUid = "1.2.840.10008.1.2.2";

class DicomBytes {
public:
    std::vector<std::uint8_t> b;
    bool big = false; // numbers high byte first

    DicomBytes& raw(std::initializer_list<std::uint8_t> bytes)
    {
        b.insert(b.end(), bytes);
        return *this;
    }
    DicomBytes& str(std::string_view s)
    {
        b.insert(b.end(), s.begin(), s.end());
        return *this;
    }
    DicomBytes& u16(std::uint32_t v)
    {
        return big ? raw({std::uint8_t(v >> 8), std::uint8_t(v)}) : raw({std::uint8_t(v), std::uint8_t(v >> 8)});
    }
    DicomBytes& u32(std::uint32_t v)
    {
        return big ? raw({std::uint8_t(v >> 24), std::uint8_t(v >> 16), std::uint8_t(v >> 8), std::uint8_t(v)})
                   : raw({std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
    }
    std::string us(std::uint32_t v) const
    {
        return big ? std::string{char(v >> 8), char(v)} : std::string{char(v), char(v >> 8)};
    }
    DicomBytes& tag(std::uint32_t g, std::uint32_t e) { return u16(g).u16(e); }

    static bool longVr(std::string_view vr)
    {
        for (std::string_view v : {"SQ", "OB", "OW", "UN", "UT", "UC", "UR", "OF", "OD", "OL", "OV", "SV", "UV"})
            if (v == vr)
                return true;
        return false;
    }
    // Explicit element header with a given length field.
    DicomBytes& exHead(std::uint32_t g, std::uint32_t e, std::string_view vr, std::uint32_t length)
    {
        tag(g, e).str(vr);
        return longVr(vr) ? raw({0, 0}).u32(length) : u16(length);
    }
    DicomBytes& ex(std::uint32_t g, std::uint32_t e, std::string_view vr, std::string_view value)
    {
        return exHead(g, e, vr, std::uint32_t(value.size())).str(value);
    }
    // Implicit element: tag, four-byte length, value.
    DicomBytes& imHead(std::uint32_t g, std::uint32_t e, std::uint32_t length) { return tag(g, e).u32(length); }
    DicomBytes& im(std::uint32_t g, std::uint32_t e, std::string_view value)
    {
        return imHead(g, e, std::uint32_t(value.size())).str(value);
    }
    DicomBytes& seqDelimiter() { return tag(0xFFFE, 0xE0DD).u32(0); }
    DicomBytes& itemDelimiter() { return tag(0xFFFE, 0xE00D).u32(0); }

    // 128-byte preamble, "DICM" and a file meta group naming the syntax.
    static DicomBytes withMeta(std::string_view uid, bool preamble = true)
    {
        DicomBytes d;
        if (preamble)
            d.b.assign(128, 0);
        d.str("DICM");
        std::string u(uid);
        if (u.size() % 2)
            u.push_back('\0');
        d.ex(0x0002, 0x0010, "UI", u);
        d.ex(0x0002, 0x0012, "UI", "1.2.3.44");
        d.ex(0x0002, 0x0013, "SH", "TARVEN_TEST ");
        return d;
    }
    std::size_t size() const { return b.size(); }
};

} // namespace tarven::dicom::testing
