#pragma once
// Shared by the plug-in's tests: the profile file goes to a scratch folder
// and starts as the defaults, so that Init finds a file to load.

#include "cameraplugins/powershot/fgpavick.h"

#include <filesystem>
#include <string>
#include <unistd.h>

namespace kestrun::pavick::testing {

inline std::filesystem::path ScratchFolder()
{
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / ("pavick_tests_" + std::to_string(::getpid()));
    std::filesystem::create_directories(folder);
    return folder;
}

inline std::string ScratchProfileFile()
{
    return (ScratchFolder() / "Pavick.xml").string();
}

// Default settings, no profiles, a default file in the scratch folder.
inline void ResetProfiles()
{
    CCameraProfiles fresh;
    fresh.m_strFilePath = ScratchProfileFile().c_str();
    FGPavick().Profiles() = fresh;
    FGPavick().Profiles().SerializeFile(false);
}

} // namespace kestrun::pavick::testing
