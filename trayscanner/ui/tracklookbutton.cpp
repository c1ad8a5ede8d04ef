#include "trayscanner/ui/tracklookbutton.h"

void CTrackLookButton::SetOwner(kestrun::tablon::ITrackLookOwner* pOwner, UINT nID)
{
    m_pOwner = pOwner;
    m_nReportID = nID;
}

LRESULT CTrackLookButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_LBUTTONDOWN:
        Press();
        break;
    case WM_LBUTTONUP:
        if (m_bPressed)
            Release();
        break;
    case WM_MOUSEMOVE:
        OnMouseMove(lParam);
        break;
    case WM_SETFOCUS:
        m_nLook = m_bPressed ? kSunken : kRaised;
        break;
    case WM_KILLFOCUS:
        m_nLook = kRaised;
        break;
    default:
        break;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

void CTrackLookButton::OnMouseMove(LPARAM lParam)
{
    CRect client;
    GetClientRect(&client);
    const CPoint at(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    if (!m_bTracking) {
        m_bTracking = true;
        m_nLook = m_bPressed ? kSunken : kRaised;
        return;
    }
    if (client.PtInRect(at))
        return;
    // Left while held: the run must not go on unattended.
    if (m_bPressed)
        Release();
    m_bTracking = false;
}

void CTrackLookButton::Press()
{
    m_bPressed = true;
    m_nLook = kSunken;
    if (m_pOwner != nullptr)
        m_pOwner->OnTrackPressed(m_nReportID);
}

void CTrackLookButton::Release()
{
    m_bPressed = false;
    m_nLook = kRaised;
    if (m_pOwner != nullptr)
        m_pOwner->OnTrackReleased(m_nReportID);
}
