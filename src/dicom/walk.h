#pragma once
// The element walk of a DICOM file: from the byte after "DICM" up to the
// pixel data element, element by element, without entering sequences.
//
// ElementWalker does the byte-level work shared by the reader and the
// anonymiser (tags, VRs, length fields, the transfer syntax and byte order,
// skipping of undefined lengths). walkDicom() is the reader: it turns the
// elements into tag table rows, element log lines, the values the viewer
// needs and the acquisition summary.
//
// Every length is checked against the bytes left before it is trusted: a
// file that ends inside an element, or a length that points past the end,
// ends the walk as if no pixel data had been found.
#include "dicom/dictionary.h"

#include <array>
#include <cstdint>
#include <exception>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tarven::dicom {

enum class Syntax { None, ImplicitLittle, ExplicitLittle, ExplicitBig };

// "DICM" at one of the offsets 0 to 255, lowest first; -1 when absent.
std::int64_t findDicm(std::span<const std::uint8_t> bytes);

// Syntax named by a transfer syntax UID (one trailing NUL removed); None
// for any other UID.
Syntax syntaxOfUid(std::string_view uid);

// "%4x": upper-case hexadecimal, right-aligned in four places; a negative
// length shows as its 32-bit pattern (FFFFFFFF).
std::string hex4(std::int64_t value);

struct Element {
    std::int64_t tagOffset = 0;
    std::uint16_t group = 0;
    std::uint16_t element = 0;
    std::string_view name; // dictionary text, empty when not found
    std::string vr;        // as read, or from the dictionary ("SQ2"), or empty
    bool fourByteBranch = false; // SQ, OB, OW, UN and the other binary VRs
    bool bigEndian = false;      // byte order of this element's numbers
    std::int32_t length = 0;     // the length field as a signed 32-bit value
    std::int64_t valueOffset = 0;
    std::int64_t valueSize = 0; // bytes of value passed (0 when none)
    bool undefinedLength = false; // skipped up to the sequence delimitation item
    bool pixelData = false;       // (7FE0,0010): the walk ends after it
    std::int64_t end = 0;         // offset of the byte after the element
};

class ElementWalker {
public:
    ElementWalker(std::span<const std::uint8_t> bytes, const Dictionary& dict, std::int64_t start);

    // The next element, or nothing when the file ends before a whole element
    // (or after the pixel data element).
    std::optional<Element> next();

    Syntax syntax() const { return syntax_; }
    bool bigEndian() const { return bigEndian_; }
    std::int64_t position() const { return pos_; }
    bool truncated() const { return truncated_; } // ended without pixel data

private:
    bool have(std::int64_t n) const;
    std::uint32_t u16(std::int64_t at) const;
    std::uint32_t u32(std::int64_t at, bool big) const;

    std::span<const std::uint8_t> bytes_;
    const Dictionary& dict_;
    std::int64_t pos_;
    Syntax syntax_ = Syntax::None;
    bool bigEndian_ = false;
    bool done_ = false;
    bool truncated_ = false;
};

// One row of the tag table; columns 5 and 6 are written only for some
// elements (an element without value leaves them as they were).
struct TagRow {
    std::uint16_t group = 0;
    std::uint16_t element = 0;
    std::string vr;     // column 3
    std::string length; // column 4, "%4x"
    std::optional<std::string> data; // column 5
    std::optional<std::string> name; // column 6
};

// The values a walk hands to the viewer's boxes; set when the element was met.
struct ViewerValues {
    std::optional<std::string> rows;        // EditrawSizeX (exchanged by the window's final step)
    std::optional<std::string> columns;     // EditrawSizeY
    std::optional<std::string> photometric;
    std::optional<std::string> pixelSpacingText; // EditPixelSpacing and the MTF window's Editdx
    std::optional<double> pixelSpacing;
    std::optional<std::string> fov; // fovText and the three EditFOV
    std::optional<std::string> windowCenter; // EditULVL2
    std::optional<std::string> windowWidth;  // EditLLVL
    std::optional<std::string> bitsAllocated;
    std::optional<std::string> bitsStored;
    std::optional<std::string> highBit;
    std::optional<std::string> intercept;
    std::optional<std::string> slope;
    std::optional<std::string> rescaleType;
    std::optional<std::string> kernel; // Label10
};

struct WalkResult {
    bool dicmFound = false;
    std::vector<TagRow> rows; // table rows 1, 2, ...
    std::vector<std::string> log; // element log lines, as shown (UTF-8)
    ViewerValues values;
    std::optional<std::string> summary; // Memo1's text as last shown (CR LF lines, UTF-8)
    std::optional<std::int64_t> pixelOffset; // EditHeader: the first pixel byte
    Syntax syntax = Syntax::None;
    std::int64_t nextRow = 1; // r at the end of the walk: the table's row count
    // A value that did not convert stopped the walk here; what was gathered
    // before it stays, and the caller rethrows it after writing that.
    std::exception_ptr error;
};

// The reader's walk. windowLocked: "Lock" keeps the window width and level.
WalkResult walkDicom(std::span<const std::uint8_t> bytes, const Dictionary& dict, bool windowLocked);

// The text shown for value bytes: the bytes themselves when they are UTF-8
// (ASCII is), otherwise one character per byte (Latin-1), so that every byte
// stays visible. UTF-8 out.
std::string displayText(std::string_view bytes);

// The tag table as a fresh table shows it after a walk: the heading row
// "No", "Grou", "Elem", "VR", "LengVR", "Data", "Name", then rows 1 ..
// nextRow - 1. The preparation numbers rows 1 to 256 and blanks their other
// cells with " ", so a cell the walk does not write shows " " there and
// nothing beyond row 256. A walk stopped by an error lists the rows it
// wrote; without "DICM" no row is listed.
using TagTableRow = std::array<std::string, 7>;
std::vector<TagTableRow> tagTable(const WalkResult& res);

} // namespace tarven::dicom
