#pragma once
// The splash window shown while the main window is created: a picture with
// the product's lines of text and the version. Qt creates windows on the
// main thread only, so the "thread" is the window's own timers on the main
// thread's event loop: start-up lets it paint between its steps and never
// waits for it. The window ends itself (timer 999, or the demo's end).

#include "app/programpictures.h"

#include "platform/core/gdi.h"
#include "platform/ui/wnd.h"

#include <array>
#include <functional>
#include <vector>

struct CSplashTextGroup
{
    double dPoints = 8;
    int nWeight = FW_NORMAL;
    bool bItalic = false;
    BYTE nPitchAndFamily = 0;
    CString strFace;
    CPoint ptStart;
    COLORREF colour = RGB(0, 0, 0);
    CSize lineOffset;
    std::vector<CString> lines;
};

// The group's font: its height in points on a device of that resolution.
void CreateGroupFont(CFont& font, const CSplashTextGroup& text, int nPixelsPerInch);

class CSplashThread;

class CSplashScreen : public CWnd
{
public:
    explicit CSplashScreen(CSplashThread& thread) : m_thread(thread) {}

protected:
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    int OnCreate(LPCREATESTRUCT lpCreateStruct) override;
    void OnPaint() override;
    void OnTimer(UINT_PTR nIDEvent) override;
    void PostNcDestroy() override;

private:
    CSplashThread& m_thread;
};

class CSplashThread
{
public:
    static constexpr UINT_PTR kCloseTimer = 999;
    static constexpr UINT_PTR kStepTimer = 1;
    enum EGroup { kTitle, kVersion, kBody, kGroup4, kGroup5, kGroupCount };

    CSplashThread();
    virtual ~CSplashThread();
    CSplashThread(const CSplashThread&) = delete;
    CSplashThread& operator=(const CSplashThread&) = delete;

    void SetBitmap(const CString& strName) { m_strBitmap = strName; }
    void SetCloseTime(UINT nMilliseconds) { m_nCloseTime = nMilliseconds; }
    void SetStepTime(UINT nMilliseconds) { m_nStepTime = nMilliseconds; }
    // Groups 1 to 3: title, version, body.
    void SetFont(int nGroup, double dPoints, int nWeight, bool bItalic, BYTE nPitchAndFamily, const CString& strFace);
    void SetTextPosition(int nGroup, int x, int y);
    void AddTitleLine(const CString& strLine) { m_groups[kTitle].lines.push_back(strLine); }
    void AddBodyLine(const CString& strLine) { m_groups[kBody].lines.push_back(strLine); }
    void SetOwner(CWnd* pOwner) { m_pOwner = pOwner; }
    // Milliseconds since some fixed moment; the tick count unless a test sets one.
    void SetClock(std::function<ULONGLONG()> clock) { m_clock = std::move(clock); }

    // Shows the window; FALSE, and no window, when the picture is missing.
    BOOL CreateThread();
    bool IsShowing() const { return m_wndSplash.GetSafeHwnd() != nullptr; }
    CSplashScreen& Window() { return m_wndSplash; }
    const CSplashTextGroup& Group(EGroup group) const { return m_groups[group]; }
    const CString& VersionCaption() const { return m_strVersionCaption; }
    const CProgramPicture* Picture() const { return m_pPicture; }

protected:
    virtual BOOL InitInstance();
    // Timer 1: one animation step.
    virtual void Step() {}
    ULONGLONG Now() const { return m_clock(); }
    const CString& BitmapName() const { return m_strBitmap; }
    CSplashTextGroup& GroupData(EGroup group) { return m_groups[group]; }

private:
    friend class CSplashScreen;
    void OnWindowGone();

    CSplashScreen m_wndSplash;
    CString m_strBitmap;
    const CProgramPicture* m_pPicture = nullptr;

protected:
    UINT m_nCloseTime = 3500;
    UINT m_nStepTime = 0;

private:
    std::array<CSplashTextGroup, kGroupCount> m_groups;
    CString m_strVersionCaption = "Version";
    CWnd* m_pOwner = nullptr;
    ULONGLONG m_nStartTick = 0;
    std::function<ULONGLONG()> m_clock;
};

// The title scrolls in from the picture's right edge to its place, holds
// there for a while, and the window closes.
class CSplashThreadDemo : public CSplashThread
{
public:
    static constexpr ULONGLONG kHoldTime = 1500;
    static constexpr int kStepPixels = 2;

    CSplashThreadDemo();

protected:
    BOOL InitInstance() override;
    void Step() override;

private:
    int m_nEndX = 0;
    CSize m_titleExtent;
    bool m_bArrived = false;
    ULONGLONG m_nArrivedTick = 0;
};
