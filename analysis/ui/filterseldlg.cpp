#include "analysis/ui/filterseldlg.h"

#include "analysis/objectfilter.h"
#include "analysis/ui/analysisdlgresources.h"

#include "platform/ui/listboxes.h"

using namespace kestrun::analysisui;

namespace {

constexpr int kStepCount = 10;

void addStep(CListBox& list, int id)
{
    const int entry = list.AddString(GetFilterStepName(id));
    list.SetItemData(entry, static_cast<DWORD_PTR>(static_cast<UINT>(id)));
}

int stepOf(const CListBox& list, int entry)
{
    return static_cast<int>(static_cast<UINT>(list.GetItemData(entry)));
}

} // namespace

BEGIN_MESSAGE_MAP(CFilterSelDlg, CDialog)
    ON_BN_CLICKED(IDC_ADD_FILTER, OnAdd)
    ON_BN_CLICKED(IDC_REMOVE_FILTER, OnRemove)
END_MESSAGE_MAP()

CFilterSelDlg::CFilterSelDlg(CArray<int, int>& steps, CWnd* pParentWnd)
    : CDialog((RegisterAnalysisDialogs(), IDD_FILTER_SELECT), pParentWnd), m_steps(steps)
{
    BuildMessageMap();
}

CListBox& CFilterSelDlg::Selected() const
{
    return *static_cast<CListBox*>(GetDlgItem(IDC_SELECTED_FILTERS));
}

CListBox& CFilterSelDlg::Available() const
{
    return *static_cast<CListBox*>(GetDlgItem(IDC_AVAILABLE_FILTERS));
}

BOOL CFilterSelDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    // Entries carry their step id, so a step this build has no name for
    // keeps its id.
    for (INT_PTR i = 0; i < m_steps.GetSize(); ++i)
        addStep(Selected(), m_steps[i]);
    for (int id = 0; id < kStepCount; ++id)
        addStep(Available(), id);
    return result;
}

void CFilterSelDlg::OnAdd()
{
    const int entry = Available().GetCurSel();
    if (entry < 0)
        return;
    addStep(Selected(), stepOf(Available(), entry));
}

void CFilterSelDlg::OnRemove()
{
    const int entry = Selected().GetCurSel();
    if (entry >= 0)
        Selected().DeleteString(static_cast<UINT>(entry));
}

void CFilterSelDlg::OnOK()
{
    m_steps.RemoveAll();
    for (int i = 0; i < Selected().GetCount(); ++i)
        m_steps.Add(stepOf(Selected(), i));
    CDialog::OnOK();
}
