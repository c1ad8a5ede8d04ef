#pragma once
// CDataView: the base view of the measurement documents. It prints the
// view's client area scaled onto the page inside two margins, and knows
// whether it draws for paper or a picture (m_bPrint), so its charts keep
// their screen layout there.

#include "platform/ui/view.h"

class CDataView : public CView
{
    DECLARE_DYNCREATE(CDataView)

public:
    CDataView();
    ~CDataView() override;

    void OnDraw(CDC* pDC) override;
    // Printing: the client area mapped into the page less the margins.
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;

    // Margins on paper, millimetres.
    int m_nMarginX = 5;
    int m_nMarginY = 5;
    int m_bFlag = 0;
    // 1 while drawing for a printer or a picture.
    int m_bPrint = 0;
};
