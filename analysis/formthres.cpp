#include "analysis/formthres.h"

#include "analysis/inivalues.h"
#include "objectmodel/ludecomp.h"
#include "objectmodel/toolfunctions.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"

IMPLEMENT_SERIAL(CFormThres, CObject, 1)

void CFormThres::Serialize(CArchive& ar)
{
    CXMLArchive& xml = CXMLArchive::FromArchive(ar);
    if (xml.GetChildNode(RUNTIME_CLASS(CFormThres)->m_lpszClassName) == nullptr)
        return;
    if (CXMLArchiveNode* node = xml.GetCurrentNode()) {
        node->SerializeUInt("Type", m_Type);
        node->SerializeUInt("Type2", m_Type2);
        node->SerializeUInt("Parameter", m_Parameter);
        node->SerializeUInt("Model", m_Model);
        node->SerializeInt("FlagellumDetection", m_FlagellumDetection);
        node->SerializeInt("TailColor", m_TailColor);
        node->SerializeInt("MovementDetection", m_MovementDetection);
        node->SerializeInt("MaxDistance", m_MaxDistance);
    }
    xml.GetCurrentNode()->EndNode();
    m_ObjectFilter.Serialize(ar);
}

void CFormThres::Copy(const CFormThres& other)
{
    m_Type = other.m_Type;
    m_Option = other.m_Option;
    m_Parameter = other.m_Parameter;
    m_Model = other.m_Model;
    m_ObjectFilter.Copy(other.m_ObjectFilter);
    m_SecondFilter.Copy(other.m_SecondFilter);
    m_FlagellumDetection = other.m_FlagellumDetection;
    m_TailColor = other.m_TailColor;
    m_MovementDetection = other.m_MovementDetection;
    m_MaxDistance = other.m_MaxDistance;
}

BOOL CFormThres::Differs(const CFormThres& other) const
{
    return m_Type != other.m_Type || m_Option != other.m_Option || m_Parameter != other.m_Parameter ||
           m_Model != other.m_Model || m_ObjectFilter.Differs(other.m_ObjectFilter) ||
           m_SecondFilter.Differs(other.m_SecondFilter) || m_FlagellumDetection != other.m_FlagellumDetection ||
           m_TailColor != other.m_TailColor || m_MovementDetection != other.m_MovementDetection ||
           m_MaxDistance != other.m_MaxDistance;
}

BOOL CFormThres::CheckValue(double value, DWORD bit) const
{
    if ((m_Type & bit) == 0)
        return TRUE;
    // The on/off filters compare the value truncated to an integer; a
    // value beyond any integer is neither 0 nor 1.
    const std::optional<int> flag = kestrun::TruncateToInt(value);
    if (bit == featureTailOrMovement) {
        if ((m_ObjectFilter.m_Filter & bit) != 0)
            return flag != 0;
        return TRUE;
    }
    if (bit == featureBorderContact) {
        if ((m_ObjectFilter.m_Filter & bit) != 0)
            return flag != 1;
        return TRUE;
    }
    return m_ObjectFilter.CheckRange(value, bit);
}

void CFormThres::SetFlagBit(UINT bits, int state)
{
    if (state == 1)
        m_Type |= bits;
    else
        m_Type &= ~bits;
}

void CFormThres::SetOptionBit(UINT bits, int state)
{
    if (state == 1)
        m_Option |= bits;
    else
        m_Option &= ~bits;
}

void CFormThres::LoadIni(const CString& section, const CString& iniFile)
{
    LoadIni(section, iniFile, IsProgramRunning() != FALSE);
}

void CFormThres::LoadIni(const CString& section, const CString& iniFile, bool withModel)
{
    using namespace kestrun::ini;
    for (int index = 0; index <= 1; ++index) {
        const CString marker = FormatString("Type%d:", index);
        if (section == FormatString("Formparameter%d", index) && IsMarkerPending("Thresholds:", marker, iniFile)) {
            ReadAppProfile(index, withModel);
            Write("Thresholds:", marker, "-1", iniFile);
            // The object filter came from the application profile too: its
            // own marker must not take it over a second time.
            const CString filterMarker = FormatString("Filter%d:", index);
            if (IsMarkerPending("Thresholds:", filterMarker, iniFile))
                Write("Thresholds:", filterMarker, "-1", iniFile);
            return;
        }
    }
    ReadUInt(section, "Type", iniFile, m_Type);
    if (withModel) {
        ReadUInt(section, "Parameter", iniFile, m_Parameter);
        ReadUInt(section, "Model", iniFile, m_Model);
    }
    m_ObjectFilter.LoadIni(section, iniFile);
}

void CFormThres::SaveIni(const CString& section, const CString& iniFile) const
{
    SaveIni(section, iniFile, IsProgramRunning() != FALSE);
}

void CFormThres::SaveIni(const CString& section, const CString& iniFile, bool withModel) const
{
    using kestrun::ini::Write;
    Write(section, "Type", FormatString("%d", static_cast<int>(m_Type)), iniFile);
    if (withModel) {
        Write(section, "Parameter", FormatString("%d", static_cast<int>(m_Parameter)), iniFile);
        Write(section, "Model", FormatString("%d", static_cast<int>(m_Model)), iniFile);
    }
    m_ObjectFilter.SaveIni(section, iniFile);
}

void CFormThres::ReadAppProfile(int index)
{
    ReadAppProfile(index, IsProgramRunning() != FALSE);
}

void CFormThres::ReadAppProfile(int index, bool withModel)
{
    using namespace kestrun::ini;
    ReadProfileUInt("Thresholds:", FormatString("Type%d:", index), m_Type);
    if (withModel) {
        ReadProfileUInt("Thresholds:", FormatString("Parameter%d:", index), m_Parameter);
        ReadProfileUInt("Thresholds:", FormatString("Model%d:", index), m_Model);
    }
    m_ObjectFilter.ReadAppProfile(index);
}
