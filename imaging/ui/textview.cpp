#include "imaging/ui/textview.h"

#include "imaging/textdoc.h"
#include "platform/core/dc.h"
#include "platform/core/gdi.h"
#include "platform/ui/printing.h"
#include "platform/ui/windefs.h"

#include <algorithm>

IMPLEMENT_DYNCREATE(CTextView, CView)

namespace {

constexpr DWORD kEditStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL | ES_MULTILINE | ES_AUTOVSCROLL |
                             ES_AUTOHSCROLL | ES_WANTRETURN;

std::vector<CString> SplitLines(const CString& text)
{
    std::vector<CString> lines;
    int start = 0;
    while (start <= text.GetLength()) {
        int end = text.Find('\n', start);
        if (end < 0)
            end = text.GetLength();
        CString line = text.Mid(start, end - start);
        if (!line.IsEmpty() && line[line.GetLength() - 1] == '\r')
            line = line.Left(line.GetLength() - 1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace

CTextView::CTextView()
{
    EnableAutomation();
}

CTextView::~CTextView() = default;

CTextDoc* CTextView::GetTextDoc() const
{
    return DYNAMIC_DOWNCAST(CTextDoc, GetDocument());
}

int CTextView::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CView::OnCreate(lpCreateStruct) == -1)
        return -1;
    CRect client;
    GetClientRect(&client);
    if (!m_edit.Create(kEditStyle, client, this, kEditId))
        return -1;
    m_placement.Attach(this, "TextView");
    return 0;
}

void CTextView::OnInitialUpdate()
{
    // The frame is placed once it is complete; it shows itself here.
    m_placement.LoadWindowPlacement(FALSE);
    CView::OnInitialUpdate();
}

void CTextView::OnDestroy()
{
    CView::OnDestroy();
    m_placement.SaveWindowPlacement();
}

void CTextView::OnSize(UINT nType, int cx, int cy)
{
    CView::OnSize(nType, cx, cy);
    if (m_edit.m_hWnd != nullptr && cx > 0 && cy > 0)
        m_edit.MoveWindow(0, 0, cx, cy);
}

void CTextView::OnSetFocus(CWnd* pOldWnd)
{
    CView::OnSetFocus(pOldWnd);
    if (m_edit.m_hWnd != nullptr)
        m_edit.SetFocus();
}

void CTextView::OnUpdate(CView* /*pSender*/, LPARAM /*lHint*/, CObject* /*pHint*/)
{
    if (CTextDoc* doc = GetTextDoc(); doc != nullptr && m_edit.m_hWnd != nullptr)
        m_edit.SetWindowText(doc->GetText());
}

void CTextView::OnDraw(CDC* /*pDC*/) {}

BOOL CTextView::OnPreparePrinting(CPrintInfo* pInfo)
{
    return DoPreparePrinting(pInfo);
}

int CTextView::LinesPerPage(CDC* pDC, const CPrintInfo* pInfo, int lineHeight)
{
    const int height = pInfo != nullptr && pInfo->m_rectDraw.Height() > 0 ? pInfo->m_rectDraw.Height()
                                                                            : pDC->GetDeviceCaps(VERTRES);
    return std::max(1, height / std::max(1, lineHeight));
}

void CTextView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    CString text;
    if (m_edit.m_hWnd != nullptr)
        m_edit.GetWindowText(text);
    m_printLines = SplitLines(text);
    m_nLineHeight = std::max(1, static_cast<int>(pDC->GetTextExtent("Xg").cy));
    m_nLinesPerPage = LinesPerPage(pDC, pInfo, m_nLineHeight);
    const int lines = static_cast<int>(m_printLines.size());
    pInfo->SetMaxPage(static_cast<UINT>(std::max(1, (lines + m_nLinesPerPage - 1) / m_nLinesPerPage)));
}

void CTextView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    if (m_printLines.empty())
        OnBeginPrinting(pDC, pInfo);
    const int first = static_cast<int>(pInfo->m_nCurPage - 1) * m_nLinesPerPage;
    const int last = std::min(static_cast<int>(m_printLines.size()), first + m_nLinesPerPage);
    const int top = pInfo->m_rectDraw.top;
    const int left = pInfo->m_rectDraw.left;
    for (int i = first; i < last; ++i)
        pDC->TextOut(left, top + (i - first) * m_nLineHeight, m_printLines[static_cast<size_t>(i)]);
}
