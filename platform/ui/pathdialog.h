#pragma once
// CPathDialog: the folder chooser. A folder tree under a prompt, and a
// path box where a folder may be typed; OK takes the typed path and offers
// to create a folder that does not exist yet.

#include "platform/ui/dialog.h"

#include <memory>

class CEdit;
class CStatic;
class CPathDialog;

// The chooser's window: the tree, a status line (hidden) and the path box
// with id 14148.
class CPathDialogSub : public CDialog
{
    DECLARE_DYNAMIC(CPathDialogSub)

public:
    static constexpr UINT IDC_PATH_EDIT = 14148;
    static constexpr UINT IDC_PROMPT = 14149;
    static constexpr UINT IDC_STATUS = 14150;

    explicit CPathDialogSub(CPathDialog& owner);
    ~CPathDialogSub() override;

    // A folder chosen in the tree; an empty path stands for a folder
    // without a place in the file system, which OK cannot take.
    void SelectionChanged(const CString& path);
    // Shows and selects a folder in the tree.
    void SelectFolder(const CString& path);
    CEdit* PathEdit() const;
    BOOL IsOkEnabled() const;

    void OnOK() override;

protected:
    void OnCreateControls() override;
    BOOL OnInitDialog() override;
    void OnPathChange();

    DECLARE_MESSAGE_MAP()

private:
    struct CTree;
    CPathDialog& m_owner;
    std::unique_ptr<CTree> m_tree;
};

class CPathDialog
{
public:
    CPathDialog(LPCTSTR lpszCaption, LPCTSTR lpszTitle, LPCTSTR lpszInitialPath = nullptr, CWnd* pParent = nullptr);
    ~CPathDialog();
    CPathDialog(const CPathDialog&) = delete;
    CPathDialog& operator=(const CPathDialog&) = delete;

    // IDOK or IDCANCEL.
    INT_PTR DoModal();
    CString GetPathName() const { return m_strPath; }

    // The window while the dialog is open (null otherwise).
    CPathDialogSub* GetWindow() const { return m_pSub; }

    // The folder and every missing folder above it; FALSE when one cannot
    // be made.
    static BOOL MakeSurePathExists(const CString& path);

private:
    friend class CPathDialogSub;
    CString m_strCaption;
    CString m_strTitle;
    CString m_strInitialPath;
    CWnd* m_pParent;
    CString m_strPath;
    BOOL m_bOK = FALSE;
    CPathDialogSub* m_pSub = nullptr;
};
