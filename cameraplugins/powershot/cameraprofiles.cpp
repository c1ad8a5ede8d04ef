#include "cameraplugins/powershot/cameraprofiles.h"

#include "cameraplugins/powershot/pavickapp.h"

#include "objectmodel/toolfunctions.h"

CCameraProfiles::CCameraProfiles()
{
    m_strRootName = "Canon_PowerShot_Profiles";
    m_strFilePath = GetModulePathPart(1) + "Pavick.xml";
}

CString CCameraProfiles::FileName() const
{
    const int slash = m_strFilePath.ReverseFind('/');
    return slash < 0 ? m_strFilePath : m_strFilePath.Mid(slash + 1);
}

void CCameraProfiles::SerializeCurrent(CXMLArchive& xml, CCameraSettings& settings)
{
    if (CXMLArchiveNode* root = xml.GetCurrentNode())
        settings.SerializeFields(*root);
}

// One report naming the file; the archive's own text says what was wrong.
void CCameraProfiles::ReportFailure(bool bLoad, const CString& strError)
{
    CString text;
    text.Format(bLoad ? "Could not load camera profile file %s" : "Could not save camera profile file %s",
                FileName().GetString());
    if (!strError.IsEmpty())
        text += "\n" + strError;
    PavickApp().ReportMessage(text);
}
