// libFuzzer target: the reader's element walk over arbitrary bytes.
#include "dicom/walk.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace tarven::dicom;
    const std::span<const std::uint8_t> bytes(data, size);
    const WalkResult r = walkDicom(bytes, builtinDictionary(), size % 2 == 0);
    // The first pixel byte lies inside the file or just past its end.
    if (r.pixelOffset && (*r.pixelOffset < 0 || *r.pixelOffset > static_cast<std::int64_t>(size)))
        std::abort();
    if (r.nextRow < 1 || r.rows.size() > size)
        std::abort();
    return 0;
}
