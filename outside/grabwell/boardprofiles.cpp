#include "outside/grabwell/boardprofiles.h"

#include "platform/core/profile.h"

#include <cstdlib>
#include <utility>
#include <vector>

namespace kestrun {

namespace {

constexpr const char* kFileName = "grabwell.ini";

int readInt(const CString& section, const char* key, int def, const CString& file)
{
    return static_cast<int>(GetPrivateProfileInt(section, key, def, file));
}

} // namespace

CBoardProfiles::CBoardProfiles(const CString& folder) : m_file(folder + "/" + kFileName) {}

bool CBoardProfiles::IsValidName(const CString& name)
{
    if (name.IsEmpty() || name[0] == ' ' || name[name.GetLength() - 1] == ' ')
        return false;
    for (const char c : name.view()) {
        if (c == '[' || c == ']' || static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return false;
    }
    return true;
}

bool CBoardProfiles::Exists(const CString& name) const
{
    if (!IsValidName(name))
        return false;
    // The section's key list: empty when there is no such section.
    return !GetPrivateProfileString(name, nullptr, "", m_file).IsEmpty();
}

bool CBoardProfiles::Load(const CString& name, CBoardSettings& settings) const
{
    if (!Exists(name))
        return false;
    CBoardSettings loaded = settings;
    loaded.videoSource = readInt(name, "VideoSource", settings.videoSource, m_file);
    loaded.inputChannel = readInt(name, "InputChannel", settings.inputChannel, m_file);
    const CString rate = GetPrivateProfileString(name, "FrameRate", "", m_file);
    if (!rate.IsEmpty()) {
        char* end = nullptr;
        const double value = std::strtod(rate, &end);
        if (end != rate.GetString() && value > 0.0)
            loaded.frameRate = value;
    }
    loaded.simulatedWidth = readInt(name, "SimulatedWidth", settings.simulatedWidth, m_file);
    loaded.simulatedHeight = readInt(name, "SimulatedHeight", settings.simulatedHeight, m_file);
    loaded.simulatedSeed = readInt(name, "SimulatedSeed", settings.simulatedSeed, m_file);
    loaded.simulatedBoardType = readInt(name, "SimulatedBoardType", settings.simulatedBoardType, m_file);
    loaded.simulatedScene = readInt(name, "SimulatedScene", settings.simulatedScene, m_file);
    loaded.playbackFolder = GetPrivateProfileString(name, "PlaybackFolder", settings.playbackFolder, m_file);
    loaded.videoFile = GetPrivateProfileString(name, "VideoFile", settings.videoFile, m_file);
    settings = std::move(loaded);
    return true;
}

bool CBoardProfiles::Save(const CString& name, const CBoardSettings& settings) const
{
    if (!IsValidName(name))
        return false;
    const std::vector<std::pair<const char*, CString>> values{
        {"VideoSource", FormatString("%d", settings.videoSource)},
        {"InputChannel", FormatString("%d", settings.inputChannel)},
        {"FrameRate", FormatString("%.6g", settings.frameRate)},
        {"SimulatedWidth", FormatString("%d", settings.simulatedWidth)},
        {"SimulatedHeight", FormatString("%d", settings.simulatedHeight)},
        {"SimulatedSeed", FormatString("%d", settings.simulatedSeed)},
        {"SimulatedBoardType", FormatString("%d", settings.simulatedBoardType)},
        {"SimulatedScene", FormatString("%d", settings.simulatedScene)},
        {"PlaybackFolder", settings.playbackFolder},
        {"VideoFile", settings.videoFile},
    };
    for (const auto& [key, value] : values) {
        if (!WritePrivateProfileString(name, key, value, m_file))
            return false;
    }
    return true;
}

} // namespace kestrun
