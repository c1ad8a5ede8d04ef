#pragma once
// CRGRView: the growth-rate view of a measurement document. It shows a
// chart of its own with the curves and values of the document's first
// chart, evaluated by the chosen growth method (0 the values, 1 RGR,
// 2 gradient, 3 linear rate); the chart does the arithmetic. The method
// is chosen on the page CRGRDlg and kept per document kind in the
// profile ("Method"). The document appends each step's values to the
// view's chart (it is attached to the document while the view lives).

#include "series/ui/linedataview.h"

#include "platform/ui/persistentframe.h"
#include "platform/ui/propsheet.h"

class CListBox;

class CRGRDlg : public CPropertyPage
{
    DECLARE_DYNAMIC(CRGRDlg)

public:
    enum
    {
        IDD = 202
    };
    static constexpr UINT IDC_METHOD_LIST = 2056;

    CRGRDlg();
    ~CRGRDlg() override;

    int m_nMethod = 0;

protected:
    BOOL OnInitDialog() override;
    void OnSelChangeList();

    DECLARE_MESSAGE_MAP()

private:
    CListBox* MethodList() const;
};

class CRGRView : public CLineDataView
{
    DECLARE_DYNCREATE(CRGRView)

public:
    static constexpr UINT ID_RGR_METHOD = 33034; // "&Method"

    CRGRView();
    ~CRGRView() override;

    int GetMethod() const { return m_nMethod; }
    // The chart title of a method ("Undefined" for an unknown one).
    static CString MethodTitle(int method);

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;

    void OnMethod();

protected:
    CCurveChart* DocumentChart() const override { return nullptr; }
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnDestroy() override;
    // "Set Parameter": the method without a new title.
    void OnRButtonDown(UINT nFlags, CPoint point) override;

    DECLARE_MESSAGE_MAP()

private:
    // The sheet with one method page; true (and the page's method) on OK.
    bool ChooseMethod(const char* lpszCaption, int& method);
    // The chart from the document's first one: all of it when rebuild is
    // asked or the values went apart, else only a repaint.
    void CopySource(bool rebuild);

    CPersistentFrame m_Frame;
    int m_nMethod = 1;
    CString m_strTitle;
};
