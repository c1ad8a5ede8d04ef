// CRGRView and its method page CRGRDlg.

#include "series/ui/rgrview.h"

#include "series/curvechart.h"
#include "series/linedatadoc.h"

#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"
#include "platform/core/profile.h"
#include "platform/ui/dialogtemplate.h"
#include "platform/ui/listboxes.h"

#include <array>
#include <exception>
#include <mutex>

IMPLEMENT_DYNAMIC(CRGRDlg, CPropertyPage)
IMPLEMENT_DYNCREATE(CRGRView, CLineDataView)

namespace {

struct sMethod
{
    const char* text;
    const char* title;
};

constexpr std::array<sMethod, 4> kMethods = {{
    {"No Factor", "Undefined"},
    {"RGR", "RGR"},
    {"Gradient", "Gradient"},
    {"Linear rate", "Linear Rate"},
}};

constexpr const char* kPlacementSection = "RGRView";
constexpr const char* kMethodKey = "Method";
constexpr int kDefaultMethod = 1;

void registerTemplate()
{
    static std::once_flag once;
    std::call_once(once, [] {
        using namespace kestrun;
        RegisterDialogTemplate(CRGRDlg::IDD, {"Select Method",
                                              CRect(0, 0, 160, 90),
                                              {
                                                  ListBox(CRGRDlg::IDC_METHOD_LIST, 7, 7, 146, 76,
                                                          LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP),
                                              }});
    });
}

} // namespace

// ---- CRGRDlg ---------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CRGRDlg, CPropertyPage)
    ON_LBN_SELCHANGE(IDC_METHOD_LIST, OnSelChangeList)
END_MESSAGE_MAP()

CRGRDlg::CRGRDlg() : CPropertyPage((registerTemplate(), IDD))
{
    BuildMessageMap();
}

CRGRDlg::~CRGRDlg()
{
    DestroyHandleNow();
}

CListBox* CRGRDlg::MethodList() const
{
    return DYNAMIC_DOWNCAST(CListBox, GetDlgItem(static_cast<int>(IDC_METHOD_LIST)));
}

BOOL CRGRDlg::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    if (CListBox* list = MethodList()) {
        for (size_t i = 0; i < kMethods.size(); ++i)
            list->InsertString(static_cast<int>(i), kMethods[i].text);
        list->SetCurSel(m_nMethod);
    }
    return TRUE;
}

void CRGRDlg::OnSelChangeList()
{
    if (const CListBox* list = MethodList())
        m_nMethod = list->GetCurSel();
}

// ---- CRGRView --------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CRGRView, CLineDataView)
    ON_COMMAND(ID_RGR_METHOD, OnMethod)
    ON_COMMAND(ID_FILE_PRINT, OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, OnFilePrintPreview)
END_MESSAGE_MAP()

CRGRView::CRGRView()
{
    m_bFlag = 1;
    BuildMessageMap();
}

CRGRView::~CRGRView() = default;

CString CRGRView::MethodTitle(int method)
{
    if (method < 0 || method >= static_cast<int>(kMethods.size()))
        return "Undefined";
    return kMethods[static_cast<size_t>(method)].title;
}

int CRGRView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CLineDataView::OnCreate(lpCreateStruct) == -1)
        return -1;
    m_Frame.Attach(this, kPlacementSection);
    m_Frame.LoadWindowPlacement(FALSE);
    return 0;
}

void CRGRView::OnInitialUpdate()
{
    CLineDataDoc* doc = GetLineDataDoc();
    if (doc != nullptr)
        m_nMethod = static_cast<int>(GetProfileInt(doc->GetDocTypeName(), kMethodKey, kDefaultMethod));
    m_strTitle = MethodTitle(m_nMethod);
    CreateChartWindow("Histogram");
    CopySource(true);
    if (doc != nullptr)
        doc->AttachChart(&GetViewChart());
    CDataView::OnInitialUpdate();
}

void CRGRView::CopySource(bool rebuild)
{
    const CLineDataDoc* doc = GetLineDataDoc();
    const CCurveChart* source = doc != nullptr ? doc->GetChart(0) : nullptr;
    CCurveChart& chart = GetViewChart();
    if (source == nullptr || source == &chart)
        return;
    bool apart = source->GetCurveCount() != chart.GetCurveCount();
    for (int i = 0; !apart && i < source->GetCurveCount(); ++i)
        apart = source->GetPointCount(i, false) != chart.GetPointCount(i, false);
    if (rebuild || apart) {
        CCurveChartData data = source->Data();
        data.m_strYTitle = m_strTitle;
        chart.SetData(std::move(data));
        chart.SetMethod(m_nMethod);
    }
    // Rates have their own scale.
    double low = 0.0;
    double high = 0.0;
    if (chart.GetNeededRange(low, high)) {
        chart.SetYMin(low);
        chart.SetYMax(high);
    }
}

void CRGRView::OnUpdate(CView* /*pSender*/, LPARAM lHint, CObject* /*pHint*/)
{
    CopySource(lHint == CLineDataDoc::kHintSetUp);
    SetChartOption(1);
}

bool CRGRView::ChooseMethod(const char* lpszCaption, int& method)
{
    CPropertySheet sheet(lpszCaption, this);
    CRGRDlg page;
    page.m_nMethod = m_nMethod;
    sheet.AddPage(&page);
    if (sheet.DoModal() != IDOK)
        return false;
    method = page.m_nMethod;
    return true;
}

void CRGRView::OnMethod()
{
    int method = m_nMethod;
    if (!ChooseMethod("Select Method", method))
        return;
    m_nMethod = method;
    m_strTitle = MethodTitle(method);
    GetViewChart().SetYTitle(m_strTitle);
    GetViewChart().SetMethod(method);
    CopySource(false);
    SetChartOption(1);
}

void CRGRView::OnRButtonDown(UINT nFlags, CPoint point)
{
    int method = m_nMethod;
    if (ChooseMethod("Set Parameter", method)) {
        m_nMethod = method;
        GetViewChart().SetMethod(method);
        CopySource(false);
        SetChartOption(1);
    }
    CLineDataView::OnRButtonDown(nFlags, point);
}

void CRGRView::OnDestroy()
{
    CLineDataDoc* doc = GetLineDataDoc();
    if (doc != nullptr)
        doc->DetachChart(&GetViewChart());
    CLineDataView::OnDestroy();
    try {
        m_Frame.SaveWindowPlacement();
        if (doc != nullptr)
            WriteProfileInt(doc->GetDocTypeName(), kMethodKey, m_nMethod);
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONEXCLAMATION);
    }
}

void CRGRView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    PrintPage(pDC, pInfo, "CAreaView");
}
