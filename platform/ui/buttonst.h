#pragma once
// CButtonST: a push button that draws itself: flat (a border only while
// the mouse is over it) or raised, with colours for its three looks (in:
// hover or pressed, out, focus), an icon or a bitmap beside, above or
// after its caption, grey or darkened variants made from the bitmap, and
// optionally a check-box mode, a drop-down menu, a web address opened on a
// click, a tool tip, a cursor and sounds.
//
// Sounds play as the simple beep through the message-box service: the
// program has no wave player. The web address opens with the desktop's
// handler.

#include "platform/ui/button.h"
#include "platform/ui/menu.h"

#include <QIcon>
#include <QImage>

#include <memory>

class CButtonST : public CButton
{
    DECLARE_DYNAMIC(CButtonST)

public:
    // Return codes of the setters.
    enum
    {
        BTNST_OK = 0,
        BTNST_INVALIDRESOURCE = 1,
        BTNST_FAILEDMASK = 2,
        BTNST_INVALIDINDEX = 3,
        BTNST_INVALIDALIGN = 4,
        BTNST_BADPARAM = 5,
        BTNST_INVALIDPRESSEDSTYLE = 6,
    };
    // Colour slots.
    enum
    {
        BTNST_COLOR_BK_IN = 0,
        BTNST_COLOR_FG_IN = 1,
        BTNST_COLOR_BK_OUT = 2,
        BTNST_COLOR_FG_OUT = 3,
        BTNST_COLOR_BK_FOCUS = 4,
        BTNST_COLOR_FG_FOCUS = 5,
        BTNST_MAX_COLORS = 6,
    };
    // Image alignment.
    enum
    {
        ST_ALIGN_HORIZ = 0,       // image left of the caption
        ST_ALIGN_VERT = 1,        // image above the caption
        ST_ALIGN_HORIZ_RIGHT = 2, // image right of the caption
    };
    // Pressed styles: how far image and caption move while pressed.
    enum
    {
        BTNST_PRESSED_LEFTRIGHT = 0, // 1 right, 1 down
        BTNST_PRESSED_TOPBOTTOM = 1, // 0 right, 2 down
    };
    // Out images made from the in image.
    static constexpr int BTNST_AUTO_GRAY = -2;
    static constexpr int BTNST_AUTO_DARKER = -3;

    CButtonST();
    ~CButtonST() override;

    DWORD SetFlat(BOOL bFlat = TRUE, BOOL bRepaint = TRUE);
    DWORD SetAlign(BYTE byAlign, BOOL bRepaint = TRUE);
    DWORD SetPressedStyle(BYTE byStyle, BOOL bRepaint = TRUE);
    DWORD DrawBorder(BOOL bDrawBorder = TRUE, BOOL bRepaint = TRUE);
    DWORD DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint = TRUE);
    // When FALSE, hovering shows only while the button's window is active.
    DWORD SetAlwaysTrack(BOOL bAlwaysTrack = TRUE);
    DWORD SetDisabledBitmapLook(BOOL bDisabledLook, BOOL bRepaint = TRUE);
    // A transparent button paints no background: the parent shows through.
    DWORD DrawTransparent(BOOL bRepaint = FALSE);
    // Keeps the button owner-drawn; only the default-button flag follows.
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE);

    // Check-box mode only; the state is kept as TRUE or FALSE.
    DWORD SetCheck(int nCheck, BOOL bRepaint = TRUE);
    int GetCheck() const { return m_bIsChecked ? BST_CHECKED : BST_UNCHECKED; }
    BOOL IsCheckBoxMode() const { return m_bIsCheckBox; }
    BOOL IsDefaultButton() const { return m_bIsDefault; }
    BOOL IsHovering() const { return m_bMouseOnButton; }

    DWORD SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint = TRUE);
    DWORD GetColor(BYTE byColorIndex, COLORREF* crpColor) const;
    DWORD SetDefaultColors(BOOL bRepaint = TRUE);

    // Icons: the in icon for hover and pressed, the out icon (optional)
    // otherwise. By id from the command icons.
    DWORD SetIcon(const QIcon& iconIn, const QIcon& iconOut = QIcon(), int nSize = 32);
    DWORD SetIcon(UINT nIconIn, UINT nIconOut = 0, int nSize = 32);
    // Bitmaps drawn transparently: pixels of the transparent colour do not
    // show. nOut may be BTNST_AUTO_GRAY or BTNST_AUTO_DARKER. Answers
    // BTNST_OK, BTNST_INVALIDRESOURCE for an image that cannot be read or
    // BTNST_FAILEDMASK; on failure no image is left.
    DWORD SetBitmaps(const QImage& bitmapIn, COLORREF crTransColorIn, const QImage& bitmapOut = QImage(),
                     COLORREF crTransColorOut = 0);
    DWORD SetBitmaps(const QImage& bitmapIn, COLORREF crTransColorIn, int nOut);
    DWORD SetBitmapsById(UINT nBitmapIn, COLORREF crTransColorIn, int nBitmapOut = 0, COLORREF crTransColorOut = 0,
                         int nSize = 32);
    // Sizes the window to the image, keeping its position.
    void FitToImage();

    void SetTooltipText(LPCTSTR lpszText, BOOL bActivate = TRUE);
    void ActivateTooltip(BOOL bEnable = TRUE);
    CString GetTooltipText() const { return m_strToolTip; }
    // The menu's first pop-up opens below the button; the chosen command
    // goes to pParentWnd. A callback window hears of it first.
    DWORD SetMenu(UINT nMenu, CWnd* pParentWnd, BOOL bRepaint = TRUE);
    DWORD SetMenuCallback(CWnd* pWnd, UINT nMessage, LPARAM lParam = 0);
    // At most 260 bytes are kept.
    DWORD SetURL(LPCTSTR lpszURL = nullptr);
    CString GetURL() const { return m_strURL; }
    DWORD SetBtnCursor(Qt::CursorShape shape, BOOL bRepaint = TRUE);
    DWORD SetSound(LPCTSTR lpszSound, BOOL bPlayOnClick = FALSE);

    // The out variants of an image: every pixel but the transparent one as
    // its grey (0.299 R + 0.587 G + 0.114 B, truncated), or each channel
    // lowered by a quarter.
    static QImage GrayImage(const QImage& image, COLORREF crTransColor);
    static QImage DarkerImage(const QImage& image, COLORREF crTransColor);

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

protected:
    virtual DWORD OnDrawBackground(CDC* pDC, CRect* pRect);
    virtual DWORD OnDrawBorder(CDC* pDC, CRect* pRect);
    virtual void DrawTheIcon(CDC* pDC, BOOL bHasTitle, const CRect& rpItem, CRect* rpCaption, BOOL bIsPressed,
                             BOOL bIsDisabled);
    virtual void DrawTheBitmap(CDC* pDC, BOOL bHasTitle, const CRect& rpItem, CRect* rpCaption, BOOL bIsPressed,
                               BOOL bIsDisabled);
    virtual void DrawTheText(CDC* pDC, LPCTSTR lpszText, const CRect& rpItem, CRect* rpCaption, BOOL bIsPressed,
                             BOOL bIsDisabled);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    QWidget* CreateWidget(QWidget* parent, const CREATESTRUCT& cs) override;
    void TakeOverFrom(CWnd& other) override;
    void OnMouseMove(UINT nFlags, CPoint point) override;
    void OnKillFocus(CWnd* pNewWnd) override;

    // The state while drawing.
    BOOL m_bIsFlat = TRUE;
    BOOL m_bMouseOnButton = FALSE;
    BOOL m_bDrawTransparent = FALSE;
    BOOL m_bIsPressed = FALSE;
    BOOL m_bIsFocused = FALSE;
    BOOL m_bIsDisabled = FALSE;
    BOOL m_bIsDefault = FALSE;
    BOOL m_bIsCheckBox = FALSE;
    BOOL m_bIsChecked = FALSE;
    BOOL m_bDrawBorder = TRUE;
    BOOL m_bDrawFlatFocus = FALSE;
    BOOL m_bAlwaysTrack = TRUE;
    BYTE m_byAlign = ST_ALIGN_HORIZ;
    CPoint m_ptImageOrg{3, 3};
    CPoint m_ptPressedOffset{1, 1};
    COLORREF m_crColors[BTNST_MAX_COLORS]{};

private:
    class CEventFilter;
    friend class CEventFilter;

    struct CImageSet
    {
        QImage in;
        QImage out;
        QIcon iconIn;
        QIcon iconOut;
        QSize size;
        bool IsIcon() const { return !iconIn.isNull(); }
        bool IsEmpty() const { return iconIn.isNull() && in.isNull(); }
    };

    void TakeStyle(DWORD dwStyle);
    void Attach(QWidget* widget);
    void OnClicked();
    void CancelHover();
    void EnableChanged(bool enabled);
    void SystemColorsChanged();
    void PlaySoundOf(int which);
    void Repaint(BOOL bRepaint);
    void ClearImages();
    // Where the image goes and what is left for the caption.
    CRect PrepareImageRect(BOOL bHasTitle, const CRect& rpItem, CRect* rpTitle, BOOL bIsPressed, QSize image) const;
    BOOL m_bShowDisabledBitmap = TRUE;

    CImageSet m_images;
    CString m_strToolTip;
    CString m_strURL;
    CMenu m_menu;
    bool m_bHasMenu = false;
    CWnd* m_pMenuOwner = nullptr;
    CWnd* m_pMenuCallback = nullptr;
    UINT m_nMenuMessage = 0;
    LPARAM m_lMenuParam = 0;
    CString m_strSound[2]; // hover, click
    bool m_bHasCursor = false;
    Qt::CursorShape m_cursor = Qt::ArrowCursor;
    bool m_bMenuOpen = false;
    std::unique_ptr<CEventFilter> m_filter;
};
