// The tray-scan form's reports, table, image saving and import.
#include "database/ui/dbformtrayscan.h"

#include "platform/core/messagebox.h"

int CDBFormTrayScan::BuildReportRows(std::vector<CString>&)
{
    return 0;
}

void CDBFormTrayScan::OnPrintReport()
{
    AfxMessageBox("Print Report: not available yet", MB_ICONINFORMATION);
}

short CDBFormTrayScan::GetReportValues(COleVariant&)
{
    AfxMessageBox("GetReportValues: not available yet", MB_ICONINFORMATION);
    return 0;
}

void CDBFormTrayScan::OnShowTable()
{
    AfxMessageBox("Show Table: not available yet", MB_ICONINFORMATION);
}

void CDBFormTrayScan::OnSaveImage()
{
    AfxMessageBox("Save Image: not available yet", MB_ICONINFORMATION);
}

void CDBFormTrayScan::OnImport()
{
    AfxMessageBox("Import: not available yet", MB_ICONINFORMATION);
}

bool CDBFormTrayScan::ImportFile(const CString&, const CString&)
{
    AfxMessageBox("Import: not available yet", MB_ICONINFORMATION);
    return false;
}
