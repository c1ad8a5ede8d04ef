#include "platform/ui/bitmapbutton.h"

#include "platform/ui/qtdc.h"
#include "platform/ui/signalpictures.h"

#include <QPainter>

IMPLEMENT_DYNAMIC(CBitmapButton, CButton)

BOOL CBitmapButton::LoadBitmaps(LPCTSTR lpszUp, LPCTSTR lpszDown, LPCTSTR lpszFocus, LPCTSTR lpszDisabled)
{
    const std::array<LPCTSTR, 4> names{lpszUp, lpszDown, lpszFocus, lpszDisabled};
    std::array<QImage, 4> pictures;
    for (size_t i = 0; i < names.size(); ++i) {
        if (names[i] == nullptr)
            continue;
        pictures[i] = kestrun::NamedPicture(names[i]);
        if (pictures[i].isNull())
            return FALSE;
    }
    if (pictures[lookUp].isNull())
        return FALSE;
    m_pictures = std::move(pictures);
    if (GetSafeHwnd() != nullptr) {
        // The button paints itself from now on.
        SetButtonStyle((GetButtonStyle() & ~BS_TYPEMASK) | BS_OWNERDRAW, FALSE);
        Invalidate(TRUE);
    }
    return TRUE;
}

void CBitmapButton::SizeToContent()
{
    const QImage& up = m_pictures[lookUp];
    if (up.isNull() || GetSafeHwnd() == nullptr)
        return;
    SetWindowPos(nullptr, 0, 0, up.width(), up.height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

const QImage& CBitmapButton::GetBitmap(Look look) const
{
    const QImage& own = m_pictures[static_cast<size_t>(look)];
    return own.isNull() ? m_pictures[lookUp] : own;
}

void CBitmapButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct == nullptr)
        return;
    const UINT state = lpDrawItemStruct->itemState;
    Look look = lookUp;
    if ((state & ODS_DISABLED) != 0)
        look = lookDisabled;
    else if ((state & ODS_SELECTED) != 0)
        look = lookDown;
    else if ((state & ODS_FOCUS) != 0)
        look = lookFocus;
    const QImage& picture = GetBitmap(look);
    auto* dc = dynamic_cast<CQtDC*>(lpDrawItemStruct->hDC);
    if (picture.isNull() || dc == nullptr)
        return;
    const CRect item(lpDrawItemStruct->rcItem);
    dc->Painter().drawImage(QPoint(item.left, item.top), picture);
}
