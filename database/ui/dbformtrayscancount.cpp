// The tray-scan form's new records and counts.
#include "database/ui/dbformtrayscan.h"

#include "platform/core/messagebox.h"

void CDBFormTrayScan::OnNewRecord()
{
    AfxMessageBox("New Record: not available yet", MB_ICONINFORMATION);
}

void CDBFormTrayScan::OnNewCount()
{
    AfxMessageBox("New Count: not available yet", MB_ICONINFORMATION);
}

void CDBFormTrayScan::OnCount()
{
    AfxMessageBox("Count: not available yet", MB_ICONINFORMATION);
}

void CDBFormTrayScan::OnCountAll()
{
    AfxMessageBox("Count All: not available yet", MB_ICONINFORMATION);
}

void CDBFormTrayScan::OnSearchRecord()
{
    AfxMessageBox("Search Record: not available yet", MB_ICONINFORMATION);
}

LRESULT CDBFormTrayScan::OnDataChanged(WPARAM, LPARAM)
{
    return 0;
}

void CDBFormTrayScan::AddImportedRecord(const CString&, const CString&, const CString&)
{
    AfxMessageBox("Import: not available yet", MB_ICONINFORMATION);
}
