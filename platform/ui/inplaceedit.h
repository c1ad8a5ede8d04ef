#pragma once
// CInPlaceEdit: the edit box a list control places over one cell to edit
// its text. It takes the list's font, starts with the cell's text selected
// and widens itself as the text grows. Enter, Escape and losing the focus
// end the edit: the list's parent receives LVN_ENDLABELEDIT (an
// NMLVDISPINFO from the list) with the item, the sub-item and the text, or
// a null text after Escape. The notice arrives once the focus change has
// finished, so the owner may destroy the edit in its handler.

#include "platform/ui/listctrl.h"
#include "platform/ui/staticedit.h"

#include <memory>

inline constexpr UINT LVN_BEGINLABELEDIT = static_cast<UINT>(-105);
inline constexpr UINT LVN_ENDLABELEDIT = static_cast<UINT>(-106);

class CInPlaceEdit : public CEdit
{
    DECLARE_DYNAMIC(CInPlaceEdit)

public:
    CInPlaceEdit(int iItem, int iSubItem, const CString& sInitText);
    ~CInPlaceEdit() override;

    // Widens the box to the text (and for a multi-line box makes it taller),
    // within the list's client area.
    void FitToText();

    int GetItem() const { return m_iItem; }
    int GetSubItem() const { return m_iSubItem; }
    BOOL WasEscaped() const { return m_bESC; }

protected:
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnKillFocus(CWnd* pNewWnd) override;

private:
    class CKeyFilter;
    // Escape or Enter typed: hands the focus back to the list.
    void EndByKey(bool escape);
    void SendEndNotice();

    int m_iItem;
    int m_iSubItem;
    CString m_sInitText;
    BOOL m_bESC = FALSE;
    bool m_bEnded = false;
    std::unique_ptr<CKeyFilter> m_keyFilter;
};
