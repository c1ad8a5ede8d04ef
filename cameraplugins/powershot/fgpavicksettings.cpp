// CFGPavick's camera settings: the setters, the value lists the camera
// offers, the zoom range and ApplySettings, which sends the whole record.

#include "cameraplugins/fgplugin.h"
#include "cameraplugins/powershot/fgpavick.h"
#include "cameraplugins/powershot/pavickapp.h"

#include "outside/prsdk/prsdk.h"

#include "platform/core/messages.h"

#include <algorithm>
#include <vector>

using namespace kestrun::camplugin;
using namespace kestrun::pavick;

namespace {

constexpr std::uint32_t kDescBufferSize = 20480;
constexpr std::uint16_t kPropImageSize = 0xD008;
constexpr std::uint16_t kPropD006 = 0xD006;
constexpr std::uint16_t kPropAFDistance = 0xD011;
constexpr std::uint16_t kPropZoom = 0xD02A;
constexpr std::uint16_t kPropZoomUpper = 0xD03D;
constexpr std::uint16_t kPropStrobe = 0xD00A;
constexpr std::uint16_t kPropCameraOutput = 0xD036;
constexpr std::uint16_t kPropPhotoEffect = 0xD040;
constexpr std::uint16_t kPropAFLight = 0xD041;
constexpr std::uint8_t kTypeUInt8 = 2;
constexpr std::uint8_t kTypeUInt16 = 4;
constexpr std::uint8_t kFormRange = 1;
constexpr std::uint8_t kFormEnum = 2;

// Reads a property descriptor, never past what the camera returned.
class CDescriptorReader
{
public:
    CDescriptorReader(const std::uint8_t* pData, std::uint32_t nSize) : m_pData(pData), m_nSize(nSize) {}
    bool Read(std::uint32_t nBytes, std::uint32_t& value)
    {
        if (m_nPos > m_nSize || nBytes > m_nSize - m_nPos)
            return false;
        value = 0;
        for (std::uint32_t i = 0; i < nBytes; ++i)
            value |= static_cast<std::uint32_t>(m_pData[m_nPos + i]) << (8 * i);
        m_nPos += nBytes;
        return true;
    }

private:
    const std::uint8_t* m_pData;
    std::uint32_t m_nSize;
    std::uint32_t m_nPos = 0;
};

struct CDescriptorHead
{
    std::uint32_t nCode = 0;
    std::uint32_t nType = 0;
    std::uint32_t nSettable = 0;
    std::uint32_t nCurrent = 0;
    std::uint32_t nForm = 0;
};

// The fixed part of a descriptor of a property nBytes wide.
bool ReadHead(CDescriptorReader& reader, std::uint32_t nBytes, CDescriptorHead& head)
{
    std::uint32_t nDefault = 0;
    return reader.Read(2, head.nCode) && reader.Read(2, head.nType) && reader.Read(1, head.nSettable) &&
           reader.Read(nBytes, nDefault) && reader.Read(nBytes, head.nCurrent) && reader.Read(1, head.nForm);
}

bool Contains(const CModeSettingList& list, std::uint32_t nCode)
{
    for (INT_PTR i = 0; i < list.GetSize(); ++i) {
        if (list[i].m_nCode == nCode)
            return true;
    }
    return false;
}

} // namespace

std::uint32_t CFGPavick::SendProperty(std::uint16_t nProperty, std::uint32_t nValue, std::uint32_t nBytes)
{
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(nValue & 0xFF), static_cast<std::uint8_t>(nValue >> 8)};
    return PR_SetDevicePropValue(m_hCamera, nProperty, nBytes, bytes);
}

void CFGPavick::SendReported(std::uint16_t nProperty, std::uint32_t nValue, std::uint32_t nBytes)
{
    ReportErrorCode(SendProperty(nProperty, nValue, nBytes));
}

std::uint32_t CFGPavick::ReadProperty(std::uint16_t nProperty, std::uint32_t& nValue)
{
    std::uint8_t bytes[4] = {};
    std::uint32_t size = sizeof bytes;
    const std::uint32_t e = PR_GetDevicePropValue(m_hCamera, nProperty, &size, bytes);
    if (e != 0)
        return e;
    nValue = size >= 2 ? static_cast<std::uint32_t>(bytes[0] | (bytes[1] << 8)) : bytes[0];
    return 0;
}

void CFGPavick::SendIfChanged(std::uint16_t nProperty, std::uint32_t nValue, std::uint32_t nBytes)
{
    std::uint32_t camera = 0;
    // A value that cannot be read is sent, so that the camera follows the
    // record.
    if (const std::uint32_t e = ReadProperty(nProperty, camera); e == 0 && camera == nValue)
        return;
    SendProperty(nProperty, nValue, nBytes);
}

std::uint32_t CFGPavick::SetImageSize(std::uint8_t nCode)
{
    Settings().m_nImageSize = nCode;
    return SendProperty(kPropImageSize, nCode, 1);
}

void CFGPavick::SetZoom(std::uint16_t nPosition)
{
    const std::uint32_t e = SendProperty(kPropZoom, nPosition, 2);
    if (e != 0) {
        ReportErrorCode(e);
        return;
    }
    Settings().m_nCurrentZoom = nPosition;
}

void CFGPavick::SetMacro(bool bMacro)
{
    Settings().m_nAFDistance = bMacro ? 3 : 1;
    SendReported(kPropAFDistance, Settings().m_nAFDistance, 1);
}

void CFGPavick::SetAFLight(bool bOn)
{
    Settings().m_nAFLight = bOn ? 1 : 0;
    SendReported(kPropAFLight, Settings().m_nAFLight, 2);
}

void CFGPavick::SetAutoFocus(std::int32_t nValue)
{
    Settings().m_bAFOn = nValue;
    if (nValue != 0)
        PR_RC_FocusUnlock(m_hCamera);
    else
        PR_RC_FocusLock(m_hCamera);
}

void CFGPavick::SetCameraOutput(int nIndex)
{
    Settings().m_nCameraOutput = static_cast<std::uint8_t>(nIndex + 1);
    SendReported(kPropCameraOutput, Settings().m_nCameraOutput, 1);
}

void CFGPavick::SetPhotoEffect(std::uint16_t nValue)
{
    Settings().m_nPhotoEffect = nValue;
    SendReported(kPropPhotoEffect, nValue, 2);
}

void CFGPavick::SetStrobe(std::uint8_t nCode)
{
    Settings().m_nStrobe = nCode;
    SendReported(kStrobeProperty.nProperty, nCode, 1);
}

void CFGPavick::SetAFField(std::uint16_t nCode)
{
    Settings().m_nAFField = nCode;
    SendReported(kAFFieldProperty.nProperty, nCode, 2);
}

void CFGPavick::SetExposureMode(std::uint8_t nCode)
{
    Settings().m_wExposureMode = nCode;
    SendReported(kExposureModeProperty.nProperty, nCode, 1);
}

void CFGPavick::SetMetering(std::uint8_t nCode)
{
    Settings().m_nMetering = nCode;
    SendReported(kMeteringProperty.nProperty, nCode, 1);
}

void CFGPavick::SetWhiteBalance(std::uint8_t nCode)
{
    Settings().m_nWhiteBalance = nCode;
    SendReported(kWhiteBalanceProperty.nProperty, nCode, 1);
}

void CFGPavick::SetExposureCompensation(std::uint8_t nCode)
{
    Settings().m_nExposureCompensation = nCode;
    SendReported(kExposureCompensationProperty.nProperty, nCode, 1);
}

void CFGPavick::SetISO(std::uint16_t nCode)
{
    Settings().m_nISO = nCode;
    SendReported(kIsoProperty.nProperty, nCode, 2);
}

int CFGPavick::GetZoomRange()
{
    std::vector<std::uint8_t> buffer(kDescBufferSize);
    std::uint32_t size = kDescBufferSize;
    if (const std::uint32_t e = PR_GetDevicePropDesc(m_hCamera, kPropZoom, &size, buffer.data())) {
        ReportErrorCode(e);
        return 0;
    }
    CDescriptorReader reader(buffer.data(), std::min(size, kDescBufferSize));
    CDescriptorHead head;
    std::uint32_t nMin = 0;
    std::uint32_t nMax = 0;
    std::uint32_t nStep = 0;
    if (!ReadHead(reader, 2, head) || head.nCode != kPropZoom || head.nType != kTypeUInt16 || head.nSettable != 1 ||
        head.nForm != kFormRange || !reader.Read(2, nMin) || !reader.Read(2, nMax) || !reader.Read(2, nStep))
        return 0;
    std::uint32_t nUpper = 0;
    if (const std::uint32_t e = ReadProperty(kPropZoomUpper, nUpper)) {
        ReportErrorCode(e);
        return 0;
    }
    m_nZoomCurrent = static_cast<std::uint16_t>(head.nCurrent);
    m_nZoomMin = static_cast<std::uint16_t>(nMin);
    m_nZoomMax = static_cast<std::uint16_t>(nMax);
    m_nZoomStep = static_cast<std::uint16_t>(nStep);
    m_nZoomUpper = static_cast<std::uint16_t>(nUpper);
    return 1;
}

int CFGPavick::LoadModeList(const CModeProperty& property, CModeSettingList& list)
{
    std::vector<std::uint8_t> buffer(kDescBufferSize);
    std::uint32_t size = kDescBufferSize;
    if (const std::uint32_t e = PR_GetDevicePropDesc(m_hCamera, property.nProperty, &size, buffer.data())) {
        ReportErrorCode(e);
        return 0;
    }
    CDescriptorReader reader(buffer.data(), std::min(size, kDescBufferSize));
    CDescriptorHead head;
    std::uint32_t nCount = 0;
    if (!ReadHead(reader, property.nBytes, head) || head.nCode != property.nProperty ||
        head.nType != (property.nBytes == 1 ? kTypeUInt8 : kTypeUInt16) || head.nSettable != 1 ||
        head.nForm != kFormEnum || !reader.Read(2, nCount))
        return 0;
    std::vector<std::uint32_t> codes(nCount);
    for (std::uint32_t& code : codes) {
        if (!reader.Read(property.nBytes, code))
            return 0;
    }
    list.RemoveAll();
    for (const std::uint32_t code : codes) {
        if (const char* text = ModeText(property, code))
            list.Add(CModeSetting(code, text));
    }
    return 1;
}

void CFGPavick::SendListed(const CModeProperty& property, CModeSettingList& list, std::uint32_t nCode)
{
    // A code the camera does not offer stays in the record, unsent.
    if (LoadModeList(property, list) && Contains(list, nCode))
        SendProperty(property.nProperty, nCode, property.nBytes);
}

int CFGPavick::ApplySettings()
{
    if (!m_bConnected)
        return 0;
    const CCameraSettings& s = Settings();
    std::uint32_t nImageSize = 0;
    if (ReadProperty(kPropImageSize, nImageSize) != 0 || nImageSize != s.m_nImageSize) {
        SendProperty(kPropImageSize, s.m_nImageSize, 1);
        if (m_hHostWnd != nullptr)
            ::SendMessage(m_hHostWnd, m_nMsgVideoFormatChanged, m_bViewFinder ? kFormatChangedLive : kFormatChangedStopped,
                          0);
    }
    SendProperty(kPropD006, 5, 1);
    SendIfChanged(kPropAFDistance, s.m_nAFDistance, 1);
    if (!GetZoomRange())
        return 0;
    if (s.m_nCurrentZoom != m_nZoomCurrent)
        SetZoom(s.m_nCurrentZoom);
    SendIfChanged(kPropStrobe, s.m_nStrobe, 1);
    SendProperty(kPropCameraOutput, s.m_nCameraOutput, 1);
    SendProperty(kPropPhotoEffect, s.m_nPhotoEffect, 2);
    SetAutoFocus(s.m_bAFOn);
    SetAFLight(s.m_nAFLight != 0);
    SendListed(kExposureModeProperty, m_exposureModes, s.m_wExposureMode);
    SendListed(kIsoProperty, m_isos, s.m_nISO);
    SendListed(kExposureCompensationProperty, m_compensations, s.m_nExposureCompensation);
    SendListed(kWhiteBalanceProperty, m_whiteBalances, s.m_nWhiteBalance);
    SendListed(kMeteringProperty, m_meterings, s.m_nMetering);
    SendListed(kAFFieldProperty, m_afFields, s.m_nAFField);
    SendListed(kStrobeProperty, m_strobes, s.m_nStrobe);
    return 1;
}

bool CFGPavick::SelectProfile(const CString& strName)
{
    return m_profiles.SelectProfile(strName);
}

void CFGPavick::SaveProfileAs(const CString& strName)
{
    m_profiles.StoreProfile(strName);
    // Saving by name is the user's choice, also over a damaged file.
    m_bKeepProfileFile = false;
    SaveProfiles();
}

void CFGPavick::SaveProfiles()
{
    if (m_bConnected)
        m_profiles.SerializeFile(false);
}
