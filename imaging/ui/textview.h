#pragma once
// CTextView: shows a text document in an edit window and prints it. The
// window shows the document's text again at every update, so edits in the
// window stay in the window. The frame's placement is kept in the profile
// section "TextView".

#include "platform/ui/persistentframe.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/view.h"

#include <vector>

class CTextDoc;

class CTextView : public CView
{
    DECLARE_DYNCREATE(CTextView)

public:
    static constexpr UINT kEditId = 1;

    CTextView();
    ~CTextView() override;

    CTextDoc* GetTextDoc() const;
    CEdit& GetEditCtrl() { return m_edit; }

    void OnInitialUpdate() override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    // The edit window paints the text.
    void OnDraw(CDC* pDC) override;

    // Printing: the window's text, line by line, as many pages as it takes.
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnDestroy() override;
    void OnSize(UINT nType, int cx, int cy) override;
    void OnSetFocus(CWnd* pOldWnd) override;

private:
    // Lines a printed page holds on this device.
    static int LinesPerPage(CDC* pDC, const CPrintInfo* pInfo, int lineHeight);

    CEdit m_edit;
    CPersistentFrame m_placement;
    std::vector<CString> m_printLines;
    int m_nLineHeight = 1;
    int m_nLinesPerPage = 1;
};
