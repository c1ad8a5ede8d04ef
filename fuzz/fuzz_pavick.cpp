// The PowerShot plug-in's profile file "Pavick.xml": a damaged file is
// refused whole; a file that loads is stored and loads again to the same
// profiles. cameraplugins/powershot/tests/golden/Pavick.xml is a good first
// seed.

#include "cameraplugins/powershot/cameraprofiles.h"
#include "fuzz/fuzzsupport.h"

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    kestrun::fuzz::Quiet();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string path = kestrun::fuzz::WriteScratchFile(data, size, ".xml");
    CCameraProfiles profiles;
    profiles.m_strFilePath = path.c_str();
    if (!profiles.SerializeFile(true))
        return 0;
    if (!profiles.SerializeFile(false))
        std::abort(); // what was read cannot be written
    CCameraProfiles again;
    again.m_strFilePath = profiles.m_strFilePath;
    if (!again.SerializeFile(true) || again.GetProfileCount() != profiles.GetProfileCount() ||
        !(again.Current() == profiles.Current()) || again.m_strCurrentName != profiles.m_strCurrentName)
        std::abort(); // what was stored does not load as it was
    return 0;
}
