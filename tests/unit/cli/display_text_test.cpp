// The text shown for value bytes: UTF-8 as it is, anything else one
// character per byte, so that no byte of a value disappears from view.
#include "dicom/walk.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct Case {
    const char* what;
    std::string bytes;
    std::string shown;
};

TEST(DisplayText, EveryByteStaysVisible)
{
    const Case cases[] = {
        {"ASCII with NUL padding", std::string("1.2.3\0", 6), std::string("1.2.3\0", 6)},
        {"UTF-8 Japanese", "\xE6\xA8\xAA\xE8\xA1\x8C", "\xE6\xA8\xAA\xE8\xA1\x8C"},
        {"Latin-1 byte", "M\xFCller", "M\xC3\xBCller"},
        // A sequence cut off at the end of the value is not UTF-8: its bytes
        // show one by one instead of being held back as incomplete.
        {"cut-off sequence", "\xC4\xA2\x1F\xC3", "\xC3\x84\xC2\xA2\x1F\xC3\x83"},
        {"overlong form", "\xC0\x80", "\xC3\x80\xC2\x80"},
        {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xC2\x80"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80"},
        {"byte order mark", "\xEF\xBB\xBF" "abc", "abc"},
        {"empty", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(tarven::dicom::displayText(c.bytes), c.shown) << c.what;
}

} // namespace
