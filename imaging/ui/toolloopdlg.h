#pragma once
// CToolLoopDlg: a modeless tool window of the image view whose button runs
// a loop on the user-interface thread that dispatches window messages
// between its passes (focus, integration). While the loop runs, OK, Cancel
// or closing the view must not delete the dialog under it: the owner hands
// the dialog over with Release, the loop ends at its next pass, and the
// dialog deletes itself once the loop has returned.

#include "platform/ui/dialog.h"

#include <memory>

class CDIBDoc;

class CToolLoopDlg : public CDialog
{
    DECLARE_DYNAMIC(CToolLoopDlg)

public:
    static constexpr UINT kCloseReport = WM_USER + 5;

    ~CToolLoopDlg() override;

    // The modeless dialog over its owner, on the document.
    BOOL Create(CDIBDoc* pDoc);
    using CDialog::Create;

    // The document the dialog works on and the window that gets its close
    // report (both not owned).
    void SetDocument(CDIBDoc* pDoc) { m_pDoc = pDoc; }
    CDIBDoc* GetDocument() const { return m_pDoc; }
    void ForgetOwnerWindow() { m_hOwner = nullptr; }
    bool IsInLoop() const { return m_nLoopDepth > 0; }

    // The owner lets go of the dialog: it goes at once when no loop runs;
    // otherwise its window goes now, it forgets the document and the owner,
    // and it deletes itself after the loop.
    template <class T>
    static void Release(std::unique_ptr<T>& dialog)
    {
        if (!dialog)
            return;
        CToolLoopDlg* raw = dialog.release();
        raw->Retire(std::unique_ptr<CToolLoopDlg>(raw));
    }

protected:
    CToolLoopDlg(UINT nIDTemplate, CWnd* pOwner);

    // Runs pass until it answers false or the dialog is retired. False when
    // the dialog is gone afterwards: the caller returns at once.
    template <class Pass>
    [[nodiscard]] bool RunLoop(Pass pass)
    {
        ++m_nLoopDepth;
        while (!m_bRetired && pass()) {
        }
        return LeaveLoop();
    }
    // The loop's flags drop, so the running pass ends the loop.
    virtual void StopLoop() = 0;
    // Posts the close report (wParam, lParam) to the owner window, if any.
    void PostCloseReport(WPARAM wParam, LPARAM lParam);
    // A still frame from the board into the document's active page, shown
    // in its views; messages are not dispatched. False (told once: the
    // board's own report, or that there is no video) without one.
    virtual bool GrabFrame();
    bool IsRetired() const { return m_bRetired; }

    CDIBDoc* m_pDoc = nullptr;
    HWND m_hOwner = nullptr;

private:
    void Retire(std::unique_ptr<CToolLoopDlg> self);
    bool LeaveLoop();

    int m_nLoopDepth = 0;
    bool m_bRetired = false;
    std::unique_ptr<CToolLoopDlg> m_pSelf;
};
