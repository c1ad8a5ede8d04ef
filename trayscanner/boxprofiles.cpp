#include "trayscanner/boxprofiles.h"

#include "platform/core/messagebox.h"

CBoxProfiles::CBoxProfiles() = default;

void CBoxProfiles::ReportFailure(bool bLoad, const CString& strError)
{
    CString text;
    text.Format(bLoad ? "Failed to open document %s.\n%s" : "Failed to save document %s.\n%s",
                m_strFilePath.GetString(), strError.GetString());
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}
