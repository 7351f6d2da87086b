#pragma once
// The DICOM data dictionary: a constant table of records joined at start-up
// into one searchable text, and the two lookups made on that text (the name
// of an element, and the VR found in a name).
//
// The text is UTF-8. The VR rule counts bytes; every record ends with its VR
// (or the note of the item records), so the rule finds the same VR whether a
// Japanese character counts two bytes (Shift-JIS) or three (UTF-8): the
// generator checks this for every record.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>

namespace tarven::dicom {

// Records of strings, each ended by the marker "tarven" (generated table).
extern const std::span<const char* const> dictionaryTable;

inline constexpr std::string_view recordMarker = "tarven";

// Each string followed by one blank, each marker replaced by CR.
std::string joinDictionary(std::span<const char* const> table);

// The joined text of dictionaryTable, built once.
const std::string& builtinDictionaryText();

// The name rule done literally: the first occurrence of the key "GGGG,EEEE"
// (upper-case hexadecimal) in text; the name is the text from 11 characters
// after the key's first character up to the next CR. Empty when not found.
std::string_view findName(std::string_view text, std::uint16_t group, std::uint16_t element);

// The VR found in a name: the last two-byte word standing between blanks;
// "SQ" becomes "SQ2"; empty when there is none.
std::string vrOfName(std::string_view name);

// A dictionary text with an index of its keys, so that a lookup does not scan
// the whole text; the index gives exactly what findName() gives.
class Dictionary {
public:
    explicit Dictionary(std::string text);
    Dictionary(const Dictionary&) = delete;
    Dictionary& operator=(const Dictionary&) = delete;

    std::string_view name(std::uint16_t group, std::uint16_t element) const;
    const std::string& text() const { return text_; }

private:
    std::string text_;
    std::unordered_map<std::uint32_t, std::size_t> first_; // key -> position of its first character
};

// The built-in dictionary, built once.
const Dictionary& builtinDictionary();

} // namespace tarven::dicom
