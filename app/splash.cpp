#include "app/splash.h"

#include "platform/core/clock.h"
#include "platform/ui/windowdc.h"

#include <QWidget>

#include <algorithm>
#include <cmath>

void CreateGroupFont(CFont& font, const CSplashTextGroup& text, int nPixelsPerInch)
{
    const int height = static_cast<int>(std::lround(text.dPoints * nPixelsPerInch / 72.0));
    font.CreateFont(-height, 0, 0, 0, text.nWeight, text.bItalic ? TRUE : FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                    OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, text.nPitchAndFamily, text.strFace);
}

// ---- the window ---------------------------------------------------------------------------

QWidget* CSplashScreen::CreateWidget(QWidget* parent, const CREATESTRUCT&)
{
    auto* widget = new QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    widget->setAttribute(Qt::WA_ShowWithoutActivating);
    return widget;
}

int CSplashScreen::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (CWnd::OnCreate(lpCreateStruct) == -1)
        return -1;
    CenterWindow();
    if (m_thread.m_nCloseTime != 0)
        SetTimer(CSplashThread::kCloseTimer, m_thread.m_nCloseTime);
    if (m_thread.m_nStepTime != 0)
        SetTimer(CSplashThread::kStepTimer, m_thread.m_nStepTime);
    return 0;
}

void CSplashScreen::OnPaint()
{
    CPaintDC dc(this);
    if (const CProgramPicture* picture = m_thread.Picture()) {
        dc.StretchDIBits(CRect(0, 0, picture->nWidth, picture->nHeight), picture->nWidth, picture->nHeight,
                         picture->bits.data(), picture->Stride(), 24);
    }
    dc.SetBkMode(TRANSPARENT);
    const int pixelsPerInch = dc.GetDeviceCaps(LOGPIXELSY);
    for (int g = 0; g < CSplashThread::kGroupCount; ++g) {
        const auto group = static_cast<CSplashThread::EGroup>(g);
        const CSplashTextGroup& text = m_thread.Group(group);
        std::vector<CString> lines = text.lines;
        if (group == CSplashThread::kVersion)
            lines.insert(lines.begin(), m_thread.VersionCaption());
        if (lines.empty())
            continue;
        CFont font;
        CreateGroupFont(font, text, pixelsPerInch);
        CFont* previous = dc.SelectObject(&font);
        dc.SetTextColor(text.colour);
        CPoint at = text.ptStart;
        for (const CString& line : lines) {
            dc.TextOut(at.x, at.y, line);
            at += text.lineOffset;
        }
        dc.SelectObject(previous);
    }
}

void CSplashScreen::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == CSplashThread::kCloseTimer)
        DestroyWindow();
    else if (nIDEvent == CSplashThread::kStepTimer)
        m_thread.Step();
    else
        CWnd::OnTimer(nIDEvent);
}

void CSplashScreen::PostNcDestroy()
{
    m_thread.OnWindowGone();
}

// ---- the splash ---------------------------------------------------------------------------

CSplashThread::CSplashThread() : m_wndSplash(*this), m_clock([] { return GetTickCount64(); })
{
    const auto set = [this](EGroup group, double points, int weight, bool italic, BYTE pitch, const char* face,
                            CPoint start, CSize offset) {
        CSplashTextGroup& text = m_groups[group];
        text.dPoints = points;
        text.nWeight = weight;
        text.bItalic = italic;
        text.nPitchAndFamily = pitch;
        text.strFace = face;
        text.ptStart = start;
        text.lineOffset = offset;
    };
    set(kTitle, 48, FW_BOLD, true, 4, "Courier New", CPoint(22, 86), CSize(0, 30));
    set(kVersion, 12, FW_BOLD, false, 0, "MS Sans Serif", CPoint(22, 150), CSize(0, 18));
    set(kBody, 8, FW_NORMAL, false, 0, "MS Sans Serif", CPoint(22, 170), CSize(0, 12));
    set(kGroup4, 26, FW_BOLD, true, 4, "Arial", CPoint(22, 10), CSize(0, 30));
    set(kGroup5, 18, FW_BOLD, true, 4, "Arial", CPoint(22, 44), CSize(0, 22));
}

CSplashThread::~CSplashThread()
{
    // The owner may be going too: nothing is brought forward now.
    m_pOwner = nullptr;
    if (m_wndSplash.GetSafeHwnd() != nullptr)
        m_wndSplash.DestroyWindow();
}

void CSplashThread::SetFont(int nGroup, double dPoints, int nWeight, bool bItalic, BYTE nPitchAndFamily,
                            const CString& strFace)
{
    if (nGroup < 1 || nGroup > 3)
        return;
    CSplashTextGroup& text = m_groups[nGroup - 1];
    text.dPoints = dPoints;
    text.nWeight = nWeight;
    text.bItalic = bItalic;
    text.nPitchAndFamily = nPitchAndFamily;
    text.strFace = strFace;
}

void CSplashThread::SetTextPosition(int nGroup, int x, int y)
{
    if (nGroup >= 1 && nGroup <= 3)
        m_groups[nGroup - 1].ptStart = CPoint(x, y);
}

BOOL CSplashThread::CreateThread()
{
    return InitInstance();
}

BOOL CSplashThread::InitInstance()
{
    m_nStartTick = Now();
    m_pPicture = FindProgramPicture(m_strBitmap);
    if (m_pPicture == nullptr)
        return FALSE;
    if (!m_wndSplash.CreateEx(WS_EX_TOPMOST, nullptr, "", WS_POPUP | WS_VISIBLE,
                              CRect(0, 0, m_pPicture->nWidth, m_pPicture->nHeight), nullptr, 0)) {
        return FALSE;
    }
    m_wndSplash.UpdateWindow();
    return TRUE;
}

void CSplashThread::OnWindowGone()
{
    if (m_pOwner != nullptr && m_pOwner->GetSafeHwnd() != nullptr)
        m_pOwner->SetForegroundWindow();
}

// ---- the demo -----------------------------------------------------------------------------

CSplashThreadDemo::CSplashThreadDemo()
{
    m_nCloseTime = 0;
    m_nStepTime = 10;
}

BOOL CSplashThreadDemo::InitInstance()
{
    CSplashTextGroup& title = GroupData(kTitle);
    m_nEndX = title.ptStart.x;
    if (const CProgramPicture* picture = FindProgramPicture(BitmapName()))
        title.ptStart.x = picture->nWidth;
    if (!CSplashThread::InitInstance())
        return FALSE;
    if (!title.lines.empty()) {
        CClientDC dc(&Window());
        CFont font;
        CreateGroupFont(font, title, dc.GetDeviceCaps(LOGPIXELSY));
        CFont* previous = dc.SelectObject(&font);
        m_titleExtent = dc.GetTextExtent(title.lines.front());
        dc.SelectObject(previous);
    }
    return TRUE;
}

void CSplashThreadDemo::Step()
{
    CSplashTextGroup& title = GroupData(kTitle);
    const CRect before(title.ptStart, m_titleExtent);
    int x = title.ptStart.x - kStepPixels;
    if (x <= m_nEndX) {
        x = m_nEndX;
        if (!m_bArrived) {
            m_bArrived = true;
            m_nArrivedTick = Now();
        }
    }
    title.ptStart.x = x;
    CRect area(title.ptStart, m_titleExtent);
    area.UnionRect(area, before);
    Window().InvalidateRect(&area, FALSE);
    if (m_bArrived && Now() - m_nArrivedTick >= kHoldTime)
        Window().DestroyWindow();
}
