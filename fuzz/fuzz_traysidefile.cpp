// The side files beside tray result tables: any bytes as a side file; the
// values read stay inside the limits and name nothing outside a folder.

#include "database/traysettings.h"
#include "database/traysidefile.h"
#include "fuzz/fuzzsupport.h"

#include "platform/core/paths.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kestrun::tray;
    const std::string path = kestrun::fuzz::WriteScratchFile(data, size, ".txt");
    const CSideFileRead read = ReadSideFile(path.c_str(), 2);
    const CSideFile& side = read.values;
    if (!read.bOpened || side.nBatch < 1 || side.nBatch > 4 || side.nIndexAOI < 0 || side.nIndexAOI > 3)
        std::abort();
    if (!IsUsableTrayType(side.strTray))
        std::abort();
    if (!side.strImage.IsEmpty() && !kestrun::IsPlainFileName(side.strImage.GetString()))
        std::abort();
    return 0;
}
