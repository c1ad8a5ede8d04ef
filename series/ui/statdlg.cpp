#include "series/ui/statdlg.h"

#include "series/classstatistic.h"

#include "platform/core/messagebox.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/windowdc.h"

#include <algorithm>
#include <mutex>

namespace {

void registerStatDialog()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        RegisterDialogTemplate(CStatDlg::IDD,
                               {"Statistics",
                                CRect(0, 0, 300, 200),
                                {
                                    LText("", CStatDlg::IDC_HISTOGRAM, 7, 7, 286, 164, SS_BLACKFRAME),
                                    DefPushButton("OK", IDOK, 243, 179, 50, 14),
                                }});
    });
}

} // namespace

CStatDlg::CStatDlg(CWnd* pParentWnd) : CDialog((registerStatDialog(), IDD), pParentWnd) {}

BOOL CStatDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    return FillChart() ? TRUE : FALSE;
}

bool CStatDlg::FillChart()
{
    if (m_Counts.empty())
        return false;
    m_Chart.SetTitle(m_strTitle);
    // Counts and labels come from the caller; only the pairs both hold are shown.
    const size_t pairs = std::min(m_Counts.size(), static_cast<size_t>(m_Labels.GetSize()));
    std::vector<CBarChart::CLabelledCount> bars;
    for (size_t k = 0; k < pairs; ++k)
        bars.emplace_back(m_Counts[k], m_Labels[static_cast<INT_PTR>(k)]);
    m_Chart.SetLabelledCounts(std::move(bars));
    return true;
}

void CStatDlg::DrawChart(CDC* pDC, const CRect& rect)
{
    if (!m_Chart.GetLabelledCounts().empty())
        m_Chart.DrawTo(pDC, rect);
}

void CStatDlg::OnPaint()
{
    CPaintDC dc(this);
    CWnd* frame = GetDlgItem(IDC_HISTOGRAM);
    if (frame == nullptr)
        return;
    CRect rect;
    frame->GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.DeflateRect(1, 1);
    DrawChart(&dc, rect);
}

void ShowClassStatistic(const CDataDoc& doc, CWnd* pParentWnd)
{
    CStatDlg dialog(pParentWnd);
    dialog.m_strTitle = "Class Statistic";
    CountClasses(doc, dialog.m_Counts, dialog.m_Labels);
    dialog.DoModal();
}
