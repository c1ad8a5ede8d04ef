#include "cameraplugins/powershot/camerasettings.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CCameraSettings, CObject, 1)

namespace {

// A byte field travels as an int element.
void SerializeByte(CXMLArchiveNode& node, LPCTSTR name, std::uint8_t& value)
{
    int copy = value;
    node.SerializeInt(name, copy);
    value = static_cast<std::uint8_t>(copy & 0xFF);
}

} // namespace

void CCameraSettings::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    CXMLArchiveNode* node = xml.GetChildNode("CCameraSettings");
    if (node == nullptr)
        return;
    SerializeFields(*node);
    node->EndNode();
}

void CCameraSettings::SerializeFields(CXMLArchiveNode& node)
{
    node.SerializeString("Name", m_strName);
    SerializeByte(node, "ImageSize", m_nImageSize);
    node.SerializeWord("CurrentZoom", m_nCurrentZoom);
    SerializeByte(node, "Strobe", m_nStrobe);
    SerializeByte(node, "AFDistance", m_nAFDistance);
    SerializeByte(node, "CameraOutput", m_nCameraOutput);
    node.SerializeInt("AFOn", m_bAFOn);
    node.SerializeWord("AFLight", m_nAFLight);
    node.SerializeWord("PhotoEffect", m_nPhotoEffect);
    node.SerializeWord("AFField", m_nAFField);
    SerializeByte(node, "Metering", m_nMetering);
    node.SerializeInt("ZoomLive", m_bZoomLive);
    SerializeByte(node, "ExposureCompensation", m_nExposureCompensation);
    node.SerializeWord("ISO", m_nISO);
    SerializeByte(node, "WhiteBalance", m_nWhiteBalance);
    SerializeByte(node, "m_wExposureMode", m_wExposureMode);
}

bool CCameraSettings::operator==(const CCameraSettings& other) const
{
    return m_strName == other.m_strName && m_nImageSize == other.m_nImageSize && m_nStrobe == other.m_nStrobe &&
           m_nAFDistance == other.m_nAFDistance && m_nCameraOutput == other.m_nCameraOutput &&
           m_nMetering == other.m_nMetering && m_nExposureCompensation == other.m_nExposureCompensation &&
           m_nWhiteBalance == other.m_nWhiteBalance && m_wExposureMode == other.m_wExposureMode &&
           m_nCurrentZoom == other.m_nCurrentZoom && m_nAFLight == other.m_nAFLight &&
           m_nPhotoEffect == other.m_nPhotoEffect && m_nAFField == other.m_nAFField && m_nISO == other.m_nISO &&
           m_bAFOn == other.m_bAFOn && m_bZoomLive == other.m_bZoomLive;
}
