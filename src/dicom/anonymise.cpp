#include "dicom/anonymise.h"

#include <algorithm>

namespace tarven::dicom {

AnonymisedCopy anonymisedCopy(std::span<const std::uint8_t> input, std::int64_t outputSize, const Dictionary& dict)
{
    AnonymisedCopy out;
    out.bytes.assign(static_cast<std::size_t>(std::max<std::int64_t>(outputSize, 0)), 0);
    // Every byte that the walk passes, the pixel block and whatever follows
    // it are the original's: copy them all, then overwrite the patient values.
    const std::size_t common = std::min(out.bytes.size(), input.size());
    std::copy_n(input.begin(), common, out.bytes.begin());

    const std::int64_t dicm = findDicm(input);
    if (dicm < 0)
        return out;
    out.dicmFound = true;
    ElementWalker walker(input, dict, dicm + 4);
    while (auto el = walker.next()) {
        if (el->pixelData) {
            out.pixelOffset = el->end;
            break;
        }
        if (el->group != 0x0010 || el->fourByteBranch || el->vr == "SQ2" || el->valueSize <= 0)
            continue;
        const auto size = static_cast<std::int64_t>(out.bytes.size());
        const std::int64_t from = std::min(el->valueOffset, size);
        const std::int64_t to = std::min(el->valueOffset + el->valueSize, size);
        std::fill(out.bytes.begin() + from, out.bytes.begin() + to, std::uint8_t{'1'});
        ++out.valuesReplaced;
    }
    out.syntax = walker.syntax();
    return out;
}

} // namespace tarven::dicom
