#include "platform/ui/resizingdialog.h"

#include "platform/core/profile.h"

#include <QDialog>

IMPLEMENT_DYNAMIC(CResizingDialog, CDialog)

CResizingDialog::CResizingDialog(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd)
{
}

CResizingDialog::~CResizingDialog()
{
    // The window goes first: its destruction still writes the size.
    DestroyHandleNow();
}

void CResizingDialog::AddAnchor(UINT nIDControl, DWORD dwFlags)
{
    if (dwFlags == 0)
        return;
    m_arrAnchors.Add((dwFlags << 16) | (nIDControl & 0xFFFF));
}

CString CResizingDialog::GetSectionName() const
{
    CString section;
    section.Format("%x", m_nIDTemplate);
    return section;
}

BOOL CResizingDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    CRect window;
    GetWindowRect(&window);
    m_sizeMinimum = window.Size();
    if (auto* dialog = qobject_cast<QDialog*>(GetWidget())) {
        dialog->setMinimumSize(dialog->size());
        dialog->setSizeGripEnabled(m_bSizeGrip != FALSE);
    }
    if (m_bRememberSize) {
        const int cx = static_cast<int>(GetProfileInt(GetSectionName(), "CX", 0));
        const int cy = static_cast<int>(GetProfileInt(GetSectionName(), "CY", 0));
        if (cx != 0 && cy != 0) {
            // The remembered size is the client's; SetWindowPos wants the
            // window's, frame included.
            CRect client;
            GetClientRect(&client);
            SetWindowPos(nullptr, 0, 0, cx + window.Width() - client.Width(), cy + window.Height() - client.Height(),
                         SWP_NOMOVE | SWP_NOZORDER);
        }
    }
    return FALSE;
}

void CResizingDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (nType == SIZE_MINIMIZED)
        return;
    // The first size change only records the size.
    if (m_cxLast != 0 || m_cyLast != 0) {
        m_bResized = TRUE;
        MoveAnchoredControls(cx - m_cxLast, cy - m_cyLast);
    }
    m_cxLast = cx;
    m_cyLast = cy;
}

void CResizingDialog::MoveAnchoredControls(int dx, int dy)
{
    for (INT_PTR i = 0; i < m_arrAnchors.GetSize(); ++i) {
        const DWORD entry = m_arrAnchors[i];
        const DWORD flags = entry >> 16;
        CWnd* control = GetDlgItem(static_cast<int>(entry & 0xFFFF));
        if (control == nullptr || flags == 0)
            continue;
        CRect rect;
        control->GetWindowRect(&rect);
        ScreenToClient(&rect);
        if (flags & kStretchX)
            rect.right += dx;
        else if (flags & kMoveX)
            rect.OffsetRect(dx, 0);
        if (flags & kStretchY)
            rect.bottom += dy;
        else if (flags & kMoveY)
            rect.OffsetRect(0, dy);
        control->MoveWindow(&rect, TRUE);
    }
}

void CResizingDialog::OnDestroy()
{
    if (m_bRememberSize && m_bResized && m_cxLast != 0 && m_cyLast != 0) {
        // Without the frame the window manager draws around it, which
        // differs between desktops.
        CRect client;
        GetClientRect(&client);
        WriteProfileInt(GetSectionName(), "CX", client.Width());
        WriteProfileInt(GetSectionName(), "CY", client.Height());
    }
    m_cxLast = 0;
    m_cyLast = 0;
    m_bResized = FALSE;
    CDialog::OnDestroy();
}
