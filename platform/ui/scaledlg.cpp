#include "platform/ui/scaledlg.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CScaleDlg, CDialog)

CScaleDlg::CScaleDlg(UINT nIDTemplate, CWnd* pParentWnd) : CDialog(nIDTemplate, pParentWnd)
{
}

CScaleDlg::~CScaleDlg()
{
    // The children's fonts must outlive their windows.
    DestroyHandleNow();
}

BOOL CScaleDlg::OnInitDialog()
{
    const BOOL result = CDialog::OnInitDialog();
    CRect client;
    GetClientRect(&client);
    m_cxRecorded = client.Width();
    m_cyRecorded = client.Height();
    if (CFont* font = GetFont()) {
        font->GetLogFont(&m_logFont);
    } else {
        m_logFont = LOGFONT{};
        m_logFont.lfHeight = -11;
        std::strncpy(m_logFont.lfFaceName, "MS Sans Serif", sizeof(m_logFont.lfFaceName) - 1);
    }
    RecordLayout();
    m_bInitialised = TRUE;
    return result;
}

void CScaleDlg::RecordLayout()
{
    m_layout.clear();
    for (CWnd* child : GetChildren()) {
        CChildLayout layout;
        child->GetWindowRect(&layout.rect);
        ScreenToClient(&layout.rect);
        LOGFONT logFont = m_logFont;
        if (CFont* font = child->GetFont())
            font->GetLogFont(&logFont);
        layout.font = std::make_unique<CFont>();
        layout.font->CreateFontIndirect(&logFont);
        m_layout[child->GetSafeHwnd()] = std::move(layout);
    }
}

void CScaleDlg::EnableScaling(BOOL bEnable)
{
    if (m_bScaleFonts) {
        m_bScaleFonts = bEnable;
        return;
    }
    if (bEnable) {
        RecordLayout();
        m_bScaleFonts = TRUE;
    }
}

void CScaleDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (!m_bInitialised || m_cxRecorded <= 0 || m_cyRecorded <= 0)
        return;
    m_dScaleX = static_cast<double>(cx) / m_cxRecorded;
    m_dScaleY = static_cast<double>(cy) / m_cyRecorded;
    for (CWnd* child : GetChildren()) {
        const auto it = m_layout.find(child->GetSafeHwnd());
        if (it == m_layout.end())
            continue;
        CChildLayout& layout = it->second;
        const bool scaleFont = m_bScaleFonts && (child->GetStyle() & 0x7) == 0;
        if (m_nFillControl == 0) {
            const int x = static_cast<int>(layout.rect.left * m_dScaleX);
            const int y = static_cast<int>(layout.rect.top * m_dScaleY);
            const int w = static_cast<int>(layout.rect.Width() * m_dScaleX);
            const int h = static_cast<int>(layout.rect.Height() * m_dScaleY);
            child->SetWindowPos(nullptr, x, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
            if (scaleFont)
                ScaleFont(*child, layout);
        } else if (static_cast<UINT>(child->GetDlgCtrlID()) == m_nFillControl) {
            child->SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
            child->ShowWindow(SW_SHOW);
            if (scaleFont)
                ScaleFont(*child, layout);
        } else {
            child->ShowWindow(SW_HIDE);
        }
    }
}

void CScaleDlg::ScaleFont(CWnd& child, CChildLayout& layout)
{
    if (!layout.font || child.GetWindowTextLength() == 0)
        return;
    CRect client;
    child.GetClientRect(&client);
    LOGFONT logFont{};
    layout.font->GetLogFont(&logFont);
    logFont.lfHeight = static_cast<LONG>(static_cast<long long>(client.Height()) * 80 / 100);
    auto font = std::make_unique<CFont>();
    font->CreateFontIndirect(&logFont);
    // The child keeps using the font: the old one goes after the switch.
    child.SetFont(font.get(), TRUE);
    layout.font = std::move(font);
}
