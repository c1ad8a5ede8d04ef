// Packed bitmaps from an acquisition source: any bytes. A block that is no
// bitmap we read is a failure with a reason; one that reads is a whole page.

#include "fuzz/fuzzsupport.h"
#include "outside/pixmere/packeddib.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    CxImage page;
    CString error;
    if (!kestrun::UnpackPage({data, size}, page, error)) {
        if (error.IsEmpty())
            std::abort(); // a failure without a reason
        return 0;
    }
    if (!page.IsValid() || (page.GetBpp() != 8 && page.GetBpp() != 24))
        std::abort();
    volatile BYTE sum = 0;
    for (int y = 0; y < page.GetHeight(); ++y)
        sum = static_cast<BYTE>(sum + page.GetRow(y).back());
    return 0;
}
