#include "analysis/ui/aoilistdlg.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/aoiraster.h"
#include "analysis/aoistatistics.h"
#include "analysis/ui/aoidlgresources.h"
#include "analysis/ui/aoiowner.h"

#include "outside/pixmere/dib.h"
#include "platform/core/atomicfile.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/listselection.h"

#include <vector>

using namespace kestrun::analysisui;

namespace {

struct Column
{
    const char* title;
    int width;
};

constexpr Column kColumns[CAOIListDlg::kColumnCount] = {
    {"Pos", 30},        {"X", 30},          {"Y", 30},       {"Area", 50},     {"Col Avg", 50},
    {"Col Var", 50},    {"Energy", 50},     {"Kontrast", 50}, {"Entropy", 50}, {"Homogenity", 63},
    {"Channel", 52},    {"Function", 52},   {"Status", 60},
};

// The rows: the cells of the active area's raster, else every area.
std::vector<const CAOI*> ListedAreas(CAOIDoc& doc)
{
    std::vector<const CAOI*> areas;
    const CAOI* active = doc.GetAOICount() > 0 ? doc.GetActiveAOI(true) : nullptr;
    const CAOIRaster* raster = active != nullptr ? active->GetRaster() : nullptr;
    if (raster != nullptr && raster->GetSize() > 0) {
        for (INT_PTR i = 0; i < raster->GetSize(); ++i)
            areas.push_back(&raster->GetAt(i));
        return areas;
    }
    for (int i = 0; i < doc.GetAOICount(); ++i)
        areas.push_back(doc.GetAOI(i));
    return areas;
}

CString formatInt(int value)
{
    CString text;
    text.Format("%d", value);
    return text;
}

CString formatDouble(double value)
{
    CString text;
    text.Format("%.2lf", value);
    return text;
}

} // namespace

BEGIN_MESSAGE_MAP(CAOIListDlg, CResizingDialog)
    ON_BN_CLICKED(IDC_AOI_LIST_DELETE, OnDelete)
    ON_BN_CLICKED(IDC_AOI_LIST_EXPORT, OnExport)
END_MESSAGE_MAP()

CAOIListDlg::CAOIListDlg(CAOIOwner* pOwner, CWnd* pParentWnd)
    : CResizingDialog((RegisterAOIDialogs(), IDD_AOI_LIST), pParentWnd), m_pOwner(pOwner)
{
    BuildMessageMap();
    AddAnchor(IDC_AOI_LIST, kStretchX | kStretchY);
    AddAnchor(IDOK, kMoveY);
    AddAnchor(IDC_AOI_LIST_DELETE, kMoveY);
    AddAnchor(IDC_AOI_LIST_EXPORT, kMoveY);
}

CAOIListDlg::~CAOIListDlg()
{
    DestroyHandleNow();
}

BOOL CAOIListDlg::OnInitDialog()
{
    m_List.SubclassDlgItem(IDC_AOI_LIST, this);
    const BOOL result = CResizingDialog::OnInitDialog();
    for (int i = 0; i < kColumnCount; ++i)
        m_List.InsertColumn(i, kColumns[i].title, LVCFMT_LEFT, kColumns[i].width);
    FillList();
    return result;
}

void CAOIListDlg::FillList()
{
    m_List.DeleteAllItems();
    CAOIDoc* doc = m_pOwner != nullptr ? m_pOwner->GetAOIDoc() : nullptr;
    if (doc == nullptr)
        return;
    const CDIB* page = m_pOwner->GetActivePage();
    const std::vector<const CAOI*> areas = ListedAreas(*doc);
    for (size_t i = 0; i < areas.size(); ++i) {
        const CAOI& aoi = *areas[i];
        const int row = m_List.InsertItem(static_cast<int>(i), formatInt(static_cast<int>(i) + 1));
        m_List.SetItemText(row, 1, formatInt(aoi.GetLeft()));
        m_List.SetItemText(row, 2, formatInt(aoi.GetTop()));
        m_List.SetItemText(row, 3, formatInt(aoi.GetPixelCount()));
        double stats[6] = {};
        if (!aoi.m_bExcluded && page != nullptr) {
            Color_Double mean;
            Color_Double spread;
            ComputeColorStatistics(aoi, *page, mean, spread);
            stats[0] = mean.green;
            stats[1] = spread.green;
            ComputeTexture(aoi, *page, 0, &stats[2], &stats[3], &stats[4], &stats[5], 1);
        }
        for (int k = 0; k < 6; ++k)
            m_List.SetItemText(row, 4 + k, formatDouble(stats[k]));
        m_List.SetItemText(row, 10, formatInt(aoi.m_nChannel));
        m_List.SetItemText(row, 11, formatInt(aoi.m_nFunction));
        m_List.SetItemText(row, 12, aoi.m_bExcluded == 1 ? "Excluded" : "Included");
    }
}

void CAOIListDlg::DeleteSelected()
{
    CAOIDoc* doc = m_pOwner != nullptr ? m_pOwner->GetAOIDoc() : nullptr;
    if (doc == nullptr)
        return;
    doc->DeleteAOI(GetFirstSelectedItem(m_List));
    m_pOwner->UpdateViews();
    FillList();
    Invalidate();
}

void CAOIListDlg::ExportAOIList()
{
    CFileDialog dialog(FALSE, "txt", nullptr, OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY, "ASCII File (*.txt) |*.txt||",
                       this);
    dialog.m_ofn.lpstrTitle = "Create File";
    if (dialog.DoModal() != IDOK)
        return;
    ExportTo(dialog.GetPathName());
}

bool CAOIListDlg::ExportTo(const CString& path)
{
    CString text;
    for (int c = 0; c < kColumnCount; ++c) {
        if (c > 0)
            text += '\t';
        text += kColumns[c].title;
    }
    text += '\n';
    const int rows = m_List.GetItemCount();
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < kColumnCount; ++c) {
            if (c > 0)
                text += '\t';
            text += m_List.GetItemText(r, c);
        }
        if (r + 1 < rows)
            text += '\n';
    }
    try {
        kestrun::CAtomicFileWriter file(path);
        file.Write(static_cast<LPCTSTR>(text), static_cast<size_t>(text.GetLength()));
        file.Commit();
    } catch (const CException&) {
        AfxMessageBox("Cannot open file!!");
        return false;
    }
    return true;
}
