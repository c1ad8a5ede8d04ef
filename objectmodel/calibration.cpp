#include "objectmodel/calibration.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/profile.h"

#include <cstdlib>

IMPLEMENT_SERIAL(CCalibration, CObject, 1)

CCalibration& CCalibration::operator=(const CCalibration& other)
{
    m_dFactor = other.m_dFactor;
    m_nUnit = other.m_nUnit;
    m_xSize = other.m_xSize;
    m_ySize = other.m_ySize;
    m_zSize = other.m_zSize;
    return *this;
}

bool CCalibration::operator!=(const CCalibration& other) const
{
    return m_dFactor != other.m_dFactor || m_nUnit != other.m_nUnit || m_xSize != other.m_xSize ||
           m_ySize != other.m_ySize || m_zSize != other.m_zSize;
}

CString CCalibration::GetUnitText(int dimension) const
{
    static const char* const kUnits[] = {"µm", "mm", "cm"};
    if (m_nUnit < 0 || m_nUnit > 2)
        return "[undefined]";
    const CString unit = kUnits[m_nUnit];
    switch (dimension) {
    case 0:
        return unit;
    case 1:
        return "[" + unit + "]";
    case 2:
        return "[" + unit + "²]";
    case 3:
        return "[" + unit + "³]";
    default:
        return {};
    }
}

double CCalibration::GetVoxelVolume() const
{
    return m_xSize * m_ySize * m_zSize;
}

double CCalibration::GetVoxelVolumeCm3() const
{
    const double volume = GetVoxelVolume();
    switch (m_nUnit) {
    case 0:
        return volume / 1e12;
    case 1:
        return volume / 1000.0;
    default:
        return volume;
    }
}

namespace {

// Keys that are absent or empty keep the current value.
void ReadIniDouble(const CString& section, const char* key, const CString& iniFile, double& value)
{
    char buffer[200];
    GetPrivateProfileString(section, key, "", buffer, sizeof buffer, iniFile);
    if (buffer[0] != '\0')
        value = std::atof(buffer);
}

void WriteIni(const CString& section, const char* key, const CString& text, const CString& iniFile)
{
    if (!WritePrivateProfileString(section, key, text, iniFile))
        AfxThrowFileException(CFileException::genericException, -1, iniFile);
}

} // namespace

void CCalibration::ReadCalibrationIni(const CString& section, const CString& iniFile)
{
    ReadIniDouble(section, "Factor", iniFile, m_dFactor);
    m_nUnit = static_cast<int>(GetPrivateProfileInt(section, "Unit", m_nUnit, iniFile));
    ReadIniDouble(section, "xSize", iniFile, m_xSize);
    ReadIniDouble(section, "ySize", iniFile, m_ySize);
    ReadIniDouble(section, "zSize", iniFile, m_zSize);
}

void CCalibration::WriteCalibrationIni(const CString& section, const CString& iniFile) const
{
    WriteIni(section, "Factor", FormatString("%e", m_dFactor), iniFile);
    WriteIni(section, "Unit", FormatString("%d", m_nUnit), iniFile);
    WriteIni(section, "xSize", FormatString("%lf", m_xSize), iniFile);
    WriteIni(section, "ySize", FormatString("%lf", m_ySize), iniFile);
    WriteIni(section, "zSize", FormatString("%lf", m_zSize), iniFile);
}

void CCalibration::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CCalibration)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializeDouble("Factor", m_dFactor);
        node->SerializeInt("Unit", m_nUnit);
        node->SerializeDouble("xSize", m_xSize);
        node->SerializeDouble("ySize", m_ySize);
        node->SerializeDouble("zSize", m_zSize);
    }
    xml.GetCurrentNode()->EndNode();
}
