#pragma once
// CFilterSelDlg: chooses the image-filter steps that run before an analysis
// and their order. A step may be chosen more than once.

#include "platform/core/arrays.h"
#include "platform/ui/dialog.h"

class CListBox;

class CFilterSelDlg : public CDialog
{
public:
    explicit CFilterSelDlg(CArray<int, int>& steps, CWnd* pParentWnd = nullptr);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnAdd();
    void OnRemove();

    DECLARE_MESSAGE_MAP()

private:
    CListBox& Selected() const;
    CListBox& Available() const;

    CArray<int, int>& m_steps;
};
