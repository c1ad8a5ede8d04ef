#pragma once
// CGridDlg: the property page "Draw Parameter" that chooses entries of a
// list by selecting them: the table's visible columns, or the drawing
// options of an object table. The owner fills the names and the flags
// (1 = chosen) before the page is shown and reads the flags afterwards.

#include "platform/core/arrays.h"
#include "platform/ui/propsheet.h"

class CListBox;

class CGridDlg : public CPropertyPage
{
    DECLARE_DYNAMIC(CGridDlg)

public:
    enum
    {
        IDD = 419
    };
    static constexpr UINT IDC_ENTRY_LIST = 2931;

    CGridDlg();
    ~CGridDlg() override;

    // The page's tab shows this title instead of the template's caption.
    void SetTitle(LPCTSTR lpszTitle);

    CStringArray m_arrNames;
    CByteArray m_arrSelected;

protected:
    BOOL OnInitDialog() override;
    // The flags follow the list's selection.
    void OnSelChangeList();

    DECLARE_MESSAGE_MAP()

private:
    CListBox* EntryList() const;
    CString m_strTitle;
};
