#include "series/ui/gridedit.h"

#include "platform/automation/dispatchable.h"
#include "platform/core/messages.h"

#include <array>

IMPLEMENT_DYNAMIC(CGridEdit, CMaskEdit)

namespace {

UINT gridDataChangedMessage()
{
    static const UINT message = RegisterWindowMessage("GridDataChanged");
    return message;
}

} // namespace

CGridEdit::CGridEdit() = default;

CGridEdit::~CGridEdit()
{
    DestroyHandleNow();
}

void CGridEdit::AttachGrid(CWnd* pGridWnd, kestrun::CDispatchable* pGrid)
{
    m_pGridWnd = pGridWnd;
    m_pGrid = pGrid;
}

COleVariant CGridEdit::GetGridProperty(DISPID dispid)
{
    return m_pGrid->Invoke(dispid, DISPATCH_PROPERTYGET);
}

void CGridEdit::SetGridProperty(DISPID dispid, const COleVariant& value)
{
    const std::array<COleVariant, 1> args{value};
    m_pGrid->Invoke(dispid, DISPATCH_PROPERTYPUT, args);
}

void CGridEdit::CommitText()
{
    if (m_pGrid != nullptr) {
        CString text;
        GetWindowText(text);
        SetGridProperty(kCellTextProperty, COleVariant(text));
    }
    ShowWindow(SW_HIDE);
}

bool CGridEdit::TextFits() const
{
    CString text;
    GetWindowText(text);
    return text.IsEmpty() || IsValidText(text);
}

BOOL CGridEdit::Validate()
{
    if (TextFits())
        return TRUE;
    MessageBeep(0xFFFFFFFF);
    SetFocus();
    return FALSE;
}

void CGridEdit::ReturnToGrid()
{
    if (m_pGridWnd != nullptr)
        m_pGridWnd->SetFocus();
    if (m_pGrid != nullptr)
        SetGridProperty(kEditStateProperty, COleVariant(short{0}, VT_BOOL));
}

BOOL CGridEdit::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_KEYDOWN) {
        switch (pMsg->wParam) {
        case VK_TAB:
            if (Validate())
                ReturnToGrid();
            return TRUE;
        case VK_RETURN:
            ShowWindow(SW_HIDE);
            ReturnToGrid();
            return TRUE;
        case VK_ESCAPE:
            if (m_pGrid != nullptr)
                SetWindowText(GetGridProperty(kCellTextProperty).ToString());
            ShowWindow(SW_HIDE);
            ReturnToGrid();
            return TRUE;
        default:
            break;
        }
    }
    return CMaskEdit::PreTranslateMessage(pMsg);
}

void CGridEdit::MoveRow(int nDelta)
{
    if (!Validate())
        return;
    ReturnToGrid();
    COleVariant row = GetGridProperty(kRowProperty);
    row.ChangeType(VT_I2);
    SetGridProperty(kRowProperty, COleVariant(static_cast<short>(row.iVal + nDelta)));
}

void CGridEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CMaskEdit::OnKeyDown(nChar, nRepCnt, nFlags);
    if (m_pGrid == nullptr)
        return;
    if (nChar == VK_UP)
        MoveRow(-1);
    else if (nChar == VK_DOWN)
        MoveRow(1);
}

void CGridEdit::OnKillFocus(CWnd* pNewWnd)
{
    // The mask edit beeps at a text that does not fit and takes the focus back.
    CMaskEdit::OnKillFocus(pNewWnd);
    if (!TextFits())
        return;
    CommitText();
    if (CWnd* owner = m_pGridWnd ? m_pGridWnd->GetParent() : nullptr)
        owner->SendMessage(gridDataChangedMessage(), 0, 0);
}
