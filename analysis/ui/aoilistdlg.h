#pragma once
// CAOIListDlg: the "ROI List" - one row per area of interest (or per cell
// of the active area's raster) with its position, size, colour and texture
// statistics, channel, function and status; deletes the selected area and
// exports the rows as tab-separated text.

#include "platform/ui/listctrl.h"
#include "platform/ui/resizingdialog.h"

class CAOIOwner;

class CAOIListDlg : public CResizingDialog
{
public:
    static constexpr int kColumnCount = 13;

    CAOIListDlg(CAOIOwner* pOwner, CWnd* pParentWnd = nullptr);
    ~CAOIListDlg() override;

    void FillList();
    // Deletes the area of the first selected row.
    void DeleteSelected();
    // Asks for a file and writes the rows into it.
    void ExportAOIList();
    // The header and the rows, tab-separated, a line end after each but the
    // last row. The old file stays when the new one cannot be written
    // ("Cannot open file!!"); false then.
    bool ExportTo(const CString& path);

    CListCtrl m_List;

protected:
    BOOL OnInitDialog() override;
    void OnDelete() { DeleteSelected(); }
    void OnExport() { ExportAOIList(); }

    DECLARE_MESSAGE_MAP()

private:
    CAOIOwner* m_pOwner;
};
