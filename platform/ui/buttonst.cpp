#include "platform/ui/buttonst.h"

#include "platform/core/dc.h"
#include "platform/core/messagebox.h"
#include "platform/ui/commandicons.h"
#include "platform/ui/qtdc.h"
#include "platform/ui/systemlook.h"
#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QPainter>
#include <QPushButton>
#include <QStyle>
#include <QStyleOption>
#include <QUrl>

#include <algorithm>

IMPLEMENT_DYNAMIC(CButtonST, CButton)

// Qt's side of the hover tracking and the system's notices: leaving,
// disabling, deactivation and a changed palette.
class CButtonST::CEventFilter : public QObject
{
public:
    explicit CEventFilter(CButtonST& button) : m_button(button) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        const auto* widget = qobject_cast<QWidget*>(watched);
        switch (event->type()) {
        case QEvent::Leave:
        case QEvent::WindowDeactivate:
        case QEvent::UngrabMouse:
            kestrun::GuardedCall([&] { m_button.CancelHover(); });
            break;
        case QEvent::EnabledChange:
            if (widget)
                kestrun::GuardedCall([&] { m_button.EnableChanged(widget->isEnabled()); });
            break;
        case QEvent::ApplicationPaletteChange:
            kestrun::GuardedCall([&] { m_button.SystemColorsChanged(); });
            break;
        default:
            break;
        }
        return false;
    }

private:
    CButtonST& m_button;
};

namespace {

constexpr int kMaxUrl = 260;

QImage maskedImage(const QImage& image, COLORREF transparent)
{
    QImage result = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = qRgb(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent));
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if ((line[x] | 0xFF000000u) == key)
                line[x] = 0;
        }
    }
    return result;
}

// Replaces every pixel but the transparent one.
template <class Map>
QImage mapImage(const QImage& image, COLORREF transparent, Map map)
{
    QImage result = image.convertToFormat(QImage::Format_RGB32);
    const QRgb key = qRgb(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent));
    for (int y = 0; y < result.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(result.scanLine(y));
        for (int x = 0; x < result.width(); ++x) {
            if (line[x] != key)
                line[x] = map(line[x]);
        }
    }
    return result;
}

// A command icon as a bitmap on the transparent colour.
QImage iconBitmap(UINT id, int size, COLORREF transparent)
{
    QImage image(size, size, QImage::Format_RGB32);
    image.fill(QColor(GetRValue(transparent), GetGValue(transparent), GetBValue(transparent)));
    QPainter painter(&image);
    painter.drawPixmap(0, 0, kestrun::CommandIcon(id).pixmap(size, size));
    return image;
}

QPainter* painterOf(CDC* pDC)
{
    auto* qtdc = dynamic_cast<CQtDC*>(pDC);
    return qtdc ? &qtdc->Painter() : nullptr;
}

QPixmap disabledLook(const QPixmap& pixmap)
{
    QStyleOption option;
    option.palette = QApplication::palette();
    return QApplication::style()->generatedIconPixmap(QIcon::Disabled, pixmap, &option);
}

} // namespace

CButtonST::CButtonST()
{
    SetDefaultColors(FALSE);
}

CButtonST::~CButtonST()
{
    // The widget's filter refers to this object.
    DestroyHandleNow();
}

// ---- creation ------------------------------------------------------------------------------

void CButtonST::TakeStyle(DWORD dwStyle)
{
    const DWORD kind = dwStyle & BS_TYPEMASK;
    m_bIsDefault = kind == BS_DEFPUSHBUTTON;
    m_bIsCheckBox = kind == BS_CHECKBOX || kind == BS_AUTOCHECKBOX || kind == BS_3STATE || kind == BS_AUTO3STATE;
}

BOOL CButtonST::PreCreateWindow(CREATESTRUCT& cs)
{
    TakeStyle(static_cast<DWORD>(cs.style));
    cs.style = static_cast<LONG>((static_cast<DWORD>(cs.style) & ~BS_TYPEMASK) | BS_OWNERDRAW);
    return CButton::PreCreateWindow(cs);
}

QWidget* CButtonST::CreateWidget(QWidget* parent, const CREATESTRUCT&)
{
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    Attach(button);
    return button;
}

void CButtonST::TakeOverFrom(CWnd& other)
{
    CButton::TakeOverFrom(other);
    TakeStyle(GetStyle());
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    if (auto* button = qobject_cast<QAbstractButton*>(GetWidget())) {
        // The click reaches the button before its parent.
        QObject::disconnect(button, &QAbstractButton::clicked, nullptr, nullptr);
        Attach(button);
    }
}

void CButtonST::Attach(QWidget* widget)
{
    auto* button = qobject_cast<QAbstractButton*>(widget);
    if (button == nullptr)
        return;
    QObject::connect(button, &QAbstractButton::clicked, button, [button] {
        auto* self = kestrun::WindowOf<CButtonST>(button);
        if (self == nullptr || self->m_hWnd == nullptr)
            return;
        kestrun::GuardedCall([&] { self->OnClicked(); });
        if (self->m_hWnd)
            self->NotifyParent(BN_CLICKED);
    });
    button->setMouseTracking(true);
    if (m_filter == nullptr)
        m_filter = std::make_unique<CEventFilter>(*this);
    button->installEventFilter(m_filter.get());
    if (m_bHasCursor)
        button->setCursor(m_cursor);
    if (!m_strToolTip.IsEmpty())
        button->setToolTip(kestrun::ToQString(m_strToolTip));
}

void CButtonST::SetButtonStyle(UINT nStyle, BOOL bRedraw)
{
    m_bIsDefault = (nStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    ModifyStyle(0xFFFF, (nStyle & 0xFFFF & ~BS_TYPEMASK) | BS_OWNERDRAW);
    Repaint(bRedraw);
}

LRESULT CButtonST::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == BM_GETCHECK)
        return GetCheck();
    if (message == BM_SETCHECK) {
        m_bIsChecked = (wParam == BST_CHECKED || wParam == BST_INDETERMINATE) ? TRUE : FALSE;
        Invalidate();
        return 0;
    }
    return CButton::WindowProc(message, wParam, lParam);
}

// ---- settings ------------------------------------------------------------------------------

void CButtonST::Repaint(BOOL bRepaint)
{
    if (bRepaint)
        Invalidate();
}

DWORD CButtonST::SetFlat(BOOL bFlat, BOOL bRepaint)
{
    m_bIsFlat = bFlat;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetAlign(BYTE byAlign, BOOL bRepaint)
{
    if (byAlign > ST_ALIGN_HORIZ_RIGHT)
        return BTNST_INVALIDALIGN;
    m_byAlign = byAlign;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetPressedStyle(BYTE byStyle, BOOL bRepaint)
{
    switch (byStyle) {
    case BTNST_PRESSED_LEFTRIGHT:
        m_ptPressedOffset = CPoint(1, 1);
        break;
    case BTNST_PRESSED_TOPBOTTOM:
        m_ptPressedOffset = CPoint(0, 2);
        break;
    default:
        return BTNST_INVALIDPRESSEDSTYLE;
    }
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::DrawBorder(BOOL bDrawBorder, BOOL bRepaint)
{
    m_bDrawBorder = bDrawBorder;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::DrawFlatFocus(BOOL bDrawFlatFocus, BOOL bRepaint)
{
    m_bDrawFlatFocus = bDrawFlatFocus;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetAlwaysTrack(BOOL bAlwaysTrack)
{
    m_bAlwaysTrack = bAlwaysTrack;
    return BTNST_OK;
}

DWORD CButtonST::SetDisabledBitmapLook(BOOL bDisabledLook, BOOL bRepaint)
{
    m_bShowDisabledBitmap = bDisabledLook;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::DrawTransparent(BOOL bRepaint)
{
    m_bDrawTransparent = TRUE;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetCheck(int nCheck, BOOL bRepaint)
{
    if (m_bIsCheckBox) {
        m_bIsChecked = nCheck != 0 ? TRUE : FALSE;
        Repaint(bRepaint);
    }
    return BTNST_OK;
}

DWORD CButtonST::SetColor(BYTE byColorIndex, COLORREF crColor, BOOL bRepaint)
{
    if (byColorIndex >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    m_crColors[byColorIndex] = crColor;
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::GetColor(BYTE byColorIndex, COLORREF* crpColor) const
{
    if (byColorIndex >= BTNST_MAX_COLORS)
        return BTNST_INVALIDINDEX;
    if (crpColor == nullptr)
        return BTNST_BADPARAM;
    *crpColor = m_crColors[byColorIndex];
    return BTNST_OK;
}

DWORD CButtonST::SetDefaultColors(BOOL bRepaint)
{
    for (const BYTE slot : {BTNST_COLOR_BK_IN, BTNST_COLOR_BK_OUT, BTNST_COLOR_BK_FOCUS})
        m_crColors[slot] = GetSysColor(COLOR_BTNFACE);
    for (const BYTE slot : {BTNST_COLOR_FG_IN, BTNST_COLOR_FG_OUT, BTNST_COLOR_FG_FOCUS})
        m_crColors[slot] = GetSysColor(COLOR_BTNTEXT);
    Repaint(bRepaint);
    return BTNST_OK;
}

// ---- images ---------------------------------------------------------------------------------

void CButtonST::ClearImages()
{
    m_images = CImageSet{};
}

DWORD CButtonST::SetIcon(const QIcon& iconIn, const QIcon& iconOut, int nSize)
{
    ClearImages();
    if (iconIn.isNull() || nSize <= 0)
        return BTNST_INVALIDRESOURCE;
    m_images.iconIn = iconIn;
    m_images.iconOut = iconOut;
    m_images.size = QSize(nSize, nSize);
    Invalidate();
    return BTNST_OK;
}

DWORD CButtonST::SetIcon(UINT nIconIn, UINT nIconOut, int nSize)
{
    return SetIcon(kestrun::CommandIcon(nIconIn), nIconOut ? kestrun::CommandIcon(nIconOut) : QIcon(), nSize);
}

DWORD CButtonST::SetBitmaps(const QImage& bitmapIn, COLORREF crTransColorIn, const QImage& bitmapOut,
                            COLORREF crTransColorOut)
{
    ClearImages();
    if (bitmapIn.isNull())
        return BTNST_INVALIDRESOURCE;
    m_images.in = maskedImage(bitmapIn, crTransColorIn);
    if (!bitmapOut.isNull())
        m_images.out = maskedImage(bitmapOut, crTransColorOut);
    if (m_images.in.isNull() || (!bitmapOut.isNull() && m_images.out.isNull())) {
        ClearImages();
        return BTNST_FAILEDMASK;
    }
    m_images.size = bitmapIn.size();
    Invalidate();
    return BTNST_OK;
}

DWORD CButtonST::SetBitmaps(const QImage& bitmapIn, COLORREF crTransColorIn, int nOut)
{
    switch (nOut) {
    case BTNST_AUTO_GRAY:
        return SetBitmaps(bitmapIn, crTransColorIn, GrayImage(bitmapIn, crTransColorIn), crTransColorIn);
    case BTNST_AUTO_DARKER:
        return SetBitmaps(bitmapIn, crTransColorIn, DarkerImage(bitmapIn, crTransColorIn), crTransColorIn);
    default:
        return SetBitmaps(bitmapIn, crTransColorIn);
    }
}

DWORD CButtonST::SetBitmapsById(UINT nBitmapIn, COLORREF crTransColorIn, int nBitmapOut, COLORREF crTransColorOut,
                                int nSize)
{
    if (nSize <= 0) {
        ClearImages();
        return BTNST_INVALIDRESOURCE;
    }
    const QImage in = iconBitmap(nBitmapIn, nSize, crTransColorIn);
    if (nBitmapOut == BTNST_AUTO_GRAY || nBitmapOut == BTNST_AUTO_DARKER)
        return SetBitmaps(in, crTransColorIn, nBitmapOut);
    if (nBitmapOut > 0)
        return SetBitmaps(in, crTransColorIn, iconBitmap(static_cast<UINT>(nBitmapOut), nSize, crTransColorOut),
                          crTransColorOut);
    return SetBitmaps(in, crTransColorIn);
}

QImage CButtonST::GrayImage(const QImage& image, COLORREF crTransColor)
{
    return mapImage(image, crTransColor, [](QRgb c) {
        const int grey = static_cast<int>(0.299 * qRed(c) + 0.587 * qGreen(c) + 0.114 * qBlue(c));
        return qRgb(grey, grey, grey);
    });
}

QImage CButtonST::DarkerImage(const QImage& image, COLORREF crTransColor)
{
    return mapImage(image, crTransColor, [](QRgb c) {
        const auto darker = [](int v) { return static_cast<int>(v - v * 0.25); };
        return qRgb(darker(qRed(c)), darker(qGreen(c)), darker(qBlue(c)));
    });
}

void CButtonST::FitToImage()
{
    if (GetWidget() && !m_images.IsEmpty())
        GetWidget()->resize(m_images.size);
}

// ---- tool tip, menu, web address, cursor, sounds ----------------------------------------------

void CButtonST::SetTooltipText(LPCTSTR lpszText, BOOL bActivate)
{
    m_strToolTip = lpszText ? lpszText : "";
    ActivateTooltip(bActivate);
}

void CButtonST::ActivateTooltip(BOOL bEnable)
{
    if (QWidget* widget = GetWidget()) {
        // Long tips wrap at 400 pixels.
        const QString tip = kestrun::ToQString(m_strToolTip).toHtmlEscaped();
        widget->setToolTip(bEnable && !tip.isEmpty() ? QString("<p style='max-width: 400px'>%1</p>").arg(tip)
                                                     : QString());
    }
}

DWORD CButtonST::SetMenu(UINT nMenu, CWnd* pParentWnd, BOOL bRepaint)
{
    m_menu.DestroyMenu();
    m_bHasMenu = false;
    m_pMenuOwner = pParentWnd;
    if (nMenu != 0) {
        if (!m_menu.LoadMenu(nMenu))
            return BTNST_INVALIDRESOURCE;
        m_bHasMenu = true;
    }
    Repaint(bRepaint);
    return BTNST_OK;
}

DWORD CButtonST::SetMenuCallback(CWnd* pWnd, UINT nMessage, LPARAM lParam)
{
    m_pMenuCallback = pWnd;
    m_nMenuMessage = nMessage;
    m_lMenuParam = lParam;
    return BTNST_OK;
}

DWORD CButtonST::SetURL(LPCTSTR lpszURL)
{
    m_strURL = lpszURL ? CString(lpszURL).Left(kMaxUrl) : CString();
    return BTNST_OK;
}

DWORD CButtonST::SetBtnCursor(Qt::CursorShape shape, BOOL)
{
    m_bHasCursor = true;
    m_cursor = shape;
    if (QWidget* widget = GetWidget())
        widget->setCursor(shape);
    return BTNST_OK;
}

DWORD CButtonST::SetSound(LPCTSTR lpszSound, BOOL bPlayOnClick)
{
    m_strSound[bPlayOnClick ? 1 : 0] = lpszSound ? lpszSound : "";
    return BTNST_OK;
}

void CButtonST::PlaySoundOf(int which)
{
    if (!m_strSound[which].IsEmpty())
        MessageBeep(0xFFFFFFFF);
}

// ---- behaviour ------------------------------------------------------------------------------------

void CButtonST::OnMouseMove(UINT nFlags, CPoint point)
{
    CButton::OnMouseMove(nFlags, point);
    CRect client;
    GetClientRect(&client);
    CWnd* capture = GetCapture();
    const bool under = client.PtInRect(point) && (capture == nullptr || capture == this);
    bool tracking = m_bAlwaysTrack != FALSE;
    if (!tracking) {
        const QWidget* widget = GetWidget();
        tracking = widget && widget->window()->isActiveWindow();
    }
    if (!under || !tracking) {
        CancelHover();
        return;
    }
    if (!m_bMouseOnButton) {
        m_bMouseOnButton = TRUE;
        Invalidate();
        PlaySoundOf(0);
    }
}

void CButtonST::CancelHover()
{
    if (m_bMouseOnButton) {
        m_bMouseOnButton = FALSE;
        Invalidate();
    }
}

void CButtonST::OnKillFocus(CWnd* pNewWnd)
{
    CButton::OnKillFocus(pNewWnd);
    CancelHover();
}

void CButtonST::EnableChanged(bool enabled)
{
    // Qt hands the focus on to the next control itself.
    if (!enabled)
        CancelHover();
}

void CButtonST::SystemColorsChanged()
{
    SetDefaultColors(TRUE);
}

void CButtonST::OnClicked()
{
    SetFocus();
    PlaySoundOf(1);
    if (m_bIsCheckBox) {
        m_bIsChecked = !m_bIsChecked;
        Invalidate();
        return;
    }
    if (m_bHasMenu) {
        CMenu* popup = m_menu.GetSubMenu(0);
        if (popup == nullptr)
            return;
        m_bMenuOpen = true;
        UpdateWindow();
        CRect rect;
        GetWindowRect(&rect);
        const auto command = static_cast<UINT>(popup->TrackPopupMenu(
            TPM_LEFTALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, rect.left, rect.bottom,
            this));
        m_bMenuOpen = false;
        Invalidate();
        if (m_pMenuCallback)
            m_pMenuCallback->SendMessage(m_nMenuMessage, reinterpret_cast<WPARAM>(popup->GetSafeHmenu()), m_lMenuParam);
        if (command != 0 && m_pMenuOwner)
            m_pMenuOwner->PostMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(command), 0), 0);
        return;
    }
    if (!m_strURL.IsEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(kestrun::ToQString(m_strURL)));
}

// ---- drawing ----------------------------------------------------------------------------------------

void CButtonST::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = lpDrawItemStruct ? lpDrawItemStruct->hDC : nullptr;
    if (pDC == nullptr)
        return;
    const UINT state = lpDrawItemStruct->itemState;
    m_bIsPressed = ((state & ODS_SELECTED) || m_bMenuOpen || (m_bIsCheckBox && m_bIsChecked)) ? TRUE : FALSE;
    m_bIsFocused = (state & ODS_FOCUS) ? TRUE : FALSE;
    m_bIsDisabled = (state & ODS_DISABLED) ? TRUE : FALSE;

    CRect itemRect(lpDrawItemStruct->rcItem);
    CFont font;
    const int saved = pDC->SaveDC();
    SelectControlFont(pDC, this, font);
    pDC->SetBkMode(TRANSPARENT);
    if (!m_bIsFlat && (m_bIsFocused || m_bIsDefault)) {
        CBrush black(RGB(0, 0, 0));
        pDC->FrameRect(&itemRect, &black);
        itemRect.DeflateRect(1, 1);
    }
    OnDrawBackground(pDC, &itemRect);
    OnDrawBorder(pDC, &itemRect);

    CString title;
    GetWindowText(title);
    CRect captionRect(lpDrawItemStruct->rcItem);
    if (m_images.IsIcon())
        DrawTheIcon(pDC, !title.IsEmpty(), lpDrawItemStruct->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);
    else if (!m_images.IsEmpty())
        DrawTheBitmap(pDC, !title.IsEmpty(), lpDrawItemStruct->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);
    if (!title.IsEmpty())
        DrawTheText(pDC, title, lpDrawItemStruct->rcItem, &captionRect, m_bIsPressed, m_bIsDisabled);

    if (m_bIsFocused && (!m_bIsFlat || m_bDrawFlatFocus)) {
        CRect focusRect = itemRect;
        focusRect.DeflateRect(3, 3);
        DrawFocusRect(pDC, &focusRect);
    }
    pDC->RestoreDC(saved);
}

DWORD CButtonST::OnDrawBackground(CDC* pDC, CRect* pRect)
{
    if (m_bDrawTransparent)
        return BTNST_OK;
    COLORREF color = m_crColors[BTNST_COLOR_BK_OUT];
    if (m_bMouseOnButton || m_bIsPressed)
        color = m_crColors[BTNST_COLOR_BK_IN];
    else if (m_bIsFocused)
        color = m_crColors[BTNST_COLOR_BK_FOCUS];
    pDC->FillSolidRect(pRect, color);
    return BTNST_OK;
}

DWORD CButtonST::OnDrawBorder(CDC* pDC, CRect* pRect)
{
    const CRect r = *pRect;
    if (m_bIsPressed) {
        if (m_bIsFlat) {
            if (m_bDrawBorder)
                pDC->Draw3dRect(pRect, GetSysColor(COLOR_BTNSHADOW), GetSysColor(COLOR_BTNHIGHLIGHT));
        } else {
            CBrush shadow(GetSysColor(COLOR_BTNSHADOW));
            pDC->FrameRect(pRect, &shadow);
        }
        return BTNST_OK;
    }
    if (m_bIsFlat) {
        if (m_bMouseOnButton && m_bDrawBorder)
            pDC->Draw3dRect(pRect, GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNSHADOW));
        return BTNST_OK;
    }
    // Two raised frames, each side a line of its own colour.
    const auto line = [pDC](COLORREF color, CPoint a, CPoint b, CPoint c) {
        CPen pen(PS_SOLID, 1, color);
        CPen* old = pDC->SelectObject(&pen);
        pDC->MoveTo(a);
        pDC->LineTo(b);
        pDC->LineTo(c);
        pDC->SelectObject(old);
    };
    line(GetSysColor(COLOR_BTNHIGHLIGHT), CPoint(r.left, r.bottom - 1), CPoint(r.left, r.top), CPoint(r.right, r.top));
    line(GetSysColor(COLOR_3DLIGHT), CPoint(r.left + 1, r.bottom - 2), CPoint(r.left + 1, r.top + 1),
         CPoint(r.right - 1, r.top + 1));
    line(GetSysColor(COLOR_3DDKSHADOW), CPoint(r.left, r.bottom - 1), CPoint(r.right - 1, r.bottom - 1),
         CPoint(r.right - 1, r.top - 1));
    line(GetSysColor(COLOR_BTNSHADOW), CPoint(r.left + 1, r.bottom - 2), CPoint(r.right - 2, r.bottom - 2),
         CPoint(r.right - 2, r.top));
    return BTNST_OK;
}

CRect CButtonST::PrepareImageRect(BOOL bHasTitle, const CRect& rpItem, CRect* rpTitle, BOOL bIsPressed,
                                  QSize image) const
{
    const int cx = image.width();
    const int cy = image.height();
    CPoint at((rpItem.left + rpItem.right - cx) / 2, (rpItem.top + rpItem.bottom - cy) / 2);
    switch (m_byAlign) {
    case ST_ALIGN_VERT:
        if (bHasTitle) {
            at.y = rpItem.top + m_ptImageOrg.y;
            rpTitle->top = at.y + cy;
        }
        break;
    case ST_ALIGN_HORIZ_RIGHT:
        if (bHasTitle) {
            at.x = rpItem.right - cx - m_ptImageOrg.x;
            rpTitle->right = at.x;
        }
        break;
    default:
        if (bHasTitle) {
            at.x = rpItem.left + m_ptImageOrg.x;
            rpTitle->left = at.x + cx + m_ptImageOrg.x;
        }
        break;
    }
    if (bIsPressed && !m_bIsCheckBox)
        at.Offset(m_ptPressedOffset.x, m_ptPressedOffset.y);
    return CRect(at.x, at.y, at.x + cx, at.y + cy);
}

void CButtonST::DrawTheIcon(CDC* pDC, BOOL bHasTitle, const CRect& rpItem, CRect* rpCaption, BOOL bIsPressed,
                            BOOL bIsDisabled)
{
    QPainter* painter = painterOf(pDC);
    const CRect image = PrepareImageRect(bHasTitle, rpItem, rpCaption, bIsPressed, m_images.size);
    if (painter == nullptr)
        return;
    const bool in = m_bMouseOnButton || bIsPressed || m_images.iconOut.isNull();
    const QIcon& icon = in ? m_images.iconIn : m_images.iconOut;
    const QPixmap pixmap = icon.pixmap(m_images.size, bIsDisabled ? QIcon::Disabled : QIcon::Normal);
    painter->drawPixmap(QRect(image.left, image.top, image.Width(), image.Height()), pixmap);
}

void CButtonST::DrawTheBitmap(CDC* pDC, BOOL bHasTitle, const CRect& rpItem, CRect* rpCaption, BOOL bIsPressed,
                              BOOL bIsDisabled)
{
    QPainter* painter = painterOf(pDC);
    const CRect image = PrepareImageRect(bHasTitle, rpItem, rpCaption, bIsPressed, m_images.size);
    if (painter == nullptr)
        return;
    const bool in = m_bMouseOnButton || bIsPressed || m_images.out.isNull();
    const QImage& bitmap = in ? m_images.in : m_images.out;
    const QRect target(image.left, image.top, image.Width(), image.Height());
    if (bIsDisabled && m_bShowDisabledBitmap) {
        QImage composed(bitmap.size(), QImage::Format_RGB32);
        composed.fill(Qt::white);
        QPainter(&composed).drawImage(0, 0, bitmap);
        painter->drawPixmap(target, disabledLook(QPixmap::fromImage(composed)));
        return;
    }
    painter->drawImage(target, bitmap);
}

void CButtonST::DrawTheText(CDC* pDC, LPCTSTR lpszText, const CRect&, CRect* rpCaption, BOOL bIsPressed,
                            BOOL bIsDisabled)
{
    const CString text(lpszText ? lpszText : "");
    const CRect area = *rpCaption;
    if (bIsPressed && !m_bIsCheckBox)
        rpCaption->OffsetRect(m_ptPressedOffset.x, m_ptPressedOffset.y);
    // The block of lines, centred both ways in the caption area; the lines
    // centre themselves across its width.
    CRect block = *rpCaption;
    pDC->DrawText(text, &block, DT_WORDBREAK | DT_CENTER | DT_CALCRECT);
    rpCaption->top += (area.Height() - block.Height()) / 2;
    rpCaption->bottom = std::max(rpCaption->bottom, rpCaption->top + block.Height());

    pDC->SetBkMode(TRANSPARENT);
    if (bIsDisabled) {
        rpCaption->OffsetRect(1, 1);
        pDC->SetTextColor(GetSysColor(COLOR_BTNHIGHLIGHT));
        pDC->DrawText(text, rpCaption, DT_WORDBREAK | DT_CENTER);
        rpCaption->OffsetRect(-1, -1);
        pDC->SetTextColor(GetSysColor(COLOR_BTNSHADOW));
        pDC->DrawText(text, rpCaption, DT_WORDBREAK | DT_CENTER);
        return;
    }
    BYTE fg = BTNST_COLOR_FG_OUT;
    BYTE bk = BTNST_COLOR_BK_OUT;
    if (m_bMouseOnButton || bIsPressed) {
        fg = BTNST_COLOR_FG_IN;
        bk = BTNST_COLOR_BK_IN;
    } else if (m_bIsFocused) {
        fg = BTNST_COLOR_FG_FOCUS;
        bk = BTNST_COLOR_BK_FOCUS;
    }
    pDC->SetTextColor(m_crColors[fg]);
    pDC->SetBkColor(m_crColors[bk]);
    pDC->DrawText(text, rpCaption, DT_WORDBREAK | DT_CENTER);
}
