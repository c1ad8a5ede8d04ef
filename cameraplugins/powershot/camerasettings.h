#pragma once
// CCameraSettings: one set of PowerShot camera settings, the current one or
// a stored profile. Fields grouped by width; values are sent to the camera
// straight from them.

#include "platform/core/cstring.h"

#include <cstdint>

struct CCameraSettings
{
    CString m_strName = "Default";
    std::uint8_t m_nImageSize = 7;
    std::uint8_t m_nStrobe = 0;
    std::uint8_t m_nAFDistance = 1;
    std::uint8_t m_nCameraOutput = 3;
    std::uint8_t m_nMetering = 0;
    std::uint8_t m_nExposureCompensation = 24;
    std::uint8_t m_nWhiteBalance = 0;
    std::uint8_t m_wExposureMode = 1;
    std::uint16_t m_nCurrentZoom = 0;
    std::uint16_t m_nAFLight = 0;
    std::uint16_t m_nPhotoEffect = 0;
    std::uint16_t m_nAFField = 0x3001;
    std::uint16_t m_nISO = 0;
    std::int32_t m_bAFOn = 1;
    std::int32_t m_bZoomLive = 0;
};
