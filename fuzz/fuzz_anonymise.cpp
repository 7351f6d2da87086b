// libFuzzer target: the anonymised copy over arbitrary bytes and sizes.
#include "dicom/anonymise.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarven::dicom;
    const std::span<const std::uint8_t> bytes(data, size);
    // The requested size differs from the input's now and then, as a typed
    // "EditFileSize" may.
    const auto n = static_cast<std::int64_t>(size);
    const std::int64_t requested = size > 0 && data[0] % 4 == 0 ? n / 2 : size > 0 && data[0] % 4 == 1 ? n + 7 : n;
    const AnonymisedCopy c = anonymisedCopy(bytes, requested, builtinDictionary());
    if (static_cast<std::int64_t>(c.bytes.size()) != requested)
        std::abort();
    // Every byte is the original's or a "1" written over a patient value.
    for (std::size_t i = 0; i < c.bytes.size(); ++i) {
        const std::uint8_t want = i < size ? data[i] : 0;
        if (c.bytes[i] != want && c.bytes[i] != '1')
            std::abort();
    }
    return 0;
}
