#pragma once
// CCameraSettings: one set of PowerShot camera settings, the current one or
// a stored profile. Fields grouped by width; values are sent to the camera
// straight from them. XML: the sixteen keys in the order of
// SerializeFields, inside an element "CCameraSettings" for a stored profile.

#include "platform/core/cstring.h"
#include "platform/core/object.h"

#include <cstdint>

class CXMLArchiveNode;

class CCameraSettings : public CObject
{
    DECLARE_SERIAL(CCameraSettings)

public:
    CCameraSettings() = default;
    CCameraSettings(const CCameraSettings&) = default;
    CCameraSettings& operator=(const CCameraSettings&) = default;
    ~CCameraSettings() override = default;

    void Serialize(CArchive& ar) override;
    // The sixteen keys inside an open element.
    void SerializeFields(CXMLArchiveNode& node);

    bool operator==(const CCameraSettings& other) const;

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
