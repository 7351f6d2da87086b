#pragma once
// The anonymised copy of a DICOM file: the same bytes at the same offsets,
// with every value of the patient group 0010 overwritten by "1" characters.
//
// Only values of the patient group's text and number elements are replaced.
// Sequences of the group (an explicit SQ, or an implicit one that the
// dictionary names SQ) are copied as they stand, so that the copy parses as
// the original does; their nested values are not replaced. Everything else
// (dates, UIDs, institution and physician names, private groups, burned-in
// text in the pixels) is copied unchanged.
#include "dicom/dictionary.h"
#include "dicom/walk.h"

#include <cstdint>
#include <span>
#include <vector>

namespace tarven::dicom {

struct AnonymisedCopy {
    std::vector<std::uint8_t> bytes; // the copy, of the requested size
    bool dicmFound = false;
    Syntax syntax = Syntax::None;
    std::int64_t pixelOffset = -1; // where the walk stopped at the first pixel byte; -1 when it did not get there
    std::int64_t valuesReplaced = 0; // patient-group values overwritten
};

// Output byte i comes from input byte i wherever both exist; bytes beyond the
// input stay zero, input beyond the requested size is left out.
AnonymisedCopy anonymisedCopy(std::span<const std::uint8_t> input, std::int64_t outputSize, const Dictionary& dict);

} // namespace tarven::dicom
