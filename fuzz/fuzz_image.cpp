// The image page loader: any bytes, any expected format. A damaged file is
// a failed load with a reason; a page that loads is a whole page.

#include "fuzz/fuzzsupport.h"
#include "outside/pixmere/dib.h"

#include <opencv2/core/utils/logger.hpp>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    // The codecs' complaints about damaged files would drown the fuzzer's report.
    cv::utils::logging::setLogLevel(cv::utils::logging::LOG_LEVEL_SILENT);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;
    static constexpr int formats[] = {CxImage::FormatUnknown, CxImage::FormatBmp, CxImage::FormatJpg,
                                      CxImage::FormatPng, CxImage::FormatTif, CxImage::FormatJp2};
    const int format = formats[data[0] % std::size(formats)];
    CDIB page;
    if (!page.Decode(data + 1, size - 1, format)) {
        if (page.GetLastError().IsEmpty())
            std::abort(); // a failure without a reason
        return 0;
    }
    if (!page.IsValid() || (page.GetBpp() != 8 && page.GetBpp() != 24) || page.GetEffWidth() % 4 != 0)
        std::abort();
    // Every row is there.
    volatile BYTE sum = 0;
    for (int y = 0; y < page.GetHeight(); ++y)
        sum = static_cast<BYTE>(sum + page.GetRow(y).back());
    return 0;
}
