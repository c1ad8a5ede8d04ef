// The scanning box's profile file "trayvo.xml": a damaged file is refused
// whole; a file that loads is stored and loads again to the same profiles.
// trayscanner/tests/golden/trayvo.xml is a good first seed.

#include "fuzz/fuzzsupport.h"
#include "trayscanner/boxprofiles.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = kestrun::fuzz::WriteScratchFile(data, size, ".xml");
    CBoxProfiles profiles;
    profiles.m_strRootName = "Trayvo_Profiles";
    profiles.m_strFilePath = path.c_str();
    if (!profiles.SerializeFile(true))
        return 0;
    if (!profiles.SerializeFile(false))
        std::abort(); // what was read cannot be written
    CBoxProfiles again;
    again.m_strRootName = profiles.m_strRootName;
    again.m_strFilePath = profiles.m_strFilePath;
    if (!again.SerializeFile(true) || again.GetProfileCount() != profiles.GetProfileCount() ||
        !(again.Current() == profiles.Current()) || again.m_strCurrentName != profiles.m_strCurrentName)
        std::abort(); // what was stored does not load as it was
    return 0;
}
