#pragma once
// CMaskEdit: an edit field whose text must fit a mask when the field loses
// the focus. A text that does not fit gives the simple beep and keeps the
// focus in the field; an empty text always passes.
//
// Mask elements (white space in the text is skipped before each element
// and never appears in the mask):
//   #  a digit            &  an upper-case letter     ?  a letter
//   @  any character      /x the character x itself   [..] an optional part
//   {..} a group          a|b  a, else b from the same place
//   *n e  the element e repeated: without a count (or 0, 1) up to the end of
//         the text; with n >= 2 exactly n - 1 times
//   any other character stands for itself.

#include "platform/ui/staticedit.h"

class CMaskEdit : public CEdit
{
    DECLARE_DYNAMIC(CMaskEdit)

public:
    explicit CMaskEdit(LPCTSTR lpszMask = nullptr);

    void SetMask(LPCTSTR lpszMask) { m_strMask = lpszMask ? lpszMask : ""; }
    const CString& GetMask() const { return m_strMask; }

    // Whether the text fits the mask. An empty mask takes every text; an
    // empty text fits no other mask, nor does any text a malformed mask.
    BOOL IsValidText(const CString& text) const;
    static BOOL IsValidText(const CString& mask, const CString& text);
    // A mask that ends in an open escape or repetition, or whose brackets
    // or braces do not pair up, is malformed.
    static BOOL IsValidMask(const CString& mask);

protected:
    void OnKillFocus(CWnd* pNewWnd) override;

    CString m_strMask;
};
