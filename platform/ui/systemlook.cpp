#include "platform/ui/systemlook.h"

#include "platform/core/dc.h"
#include "platform/ui/wnd.h"

#include <QApplication>
#include <QFontInfo>
#include <QPalette>
#include <QWidget>

namespace {

struct CSysColorRole
{
    int index;
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
    COLORREF classic;
};

// Palette roles in the places of the classic scheme's colours.
constexpr CSysColorRole kRoles[] = {
    {COLOR_SCROLLBAR, QPalette::Active, QPalette::Mid, RGB(200, 200, 200)},
    {COLOR_BACKGROUND, QPalette::Active, QPalette::Dark, RGB(0, 128, 128)},
    {COLOR_ACTIVECAPTION, QPalette::Active, QPalette::Highlight, RGB(10, 36, 106)},
    {COLOR_INACTIVECAPTION, QPalette::Inactive, QPalette::Mid, RGB(128, 128, 128)},
    {COLOR_MENU, QPalette::Active, QPalette::Window, RGB(212, 208, 200)},
    {COLOR_WINDOW, QPalette::Active, QPalette::Base, RGB(255, 255, 255)},
    {COLOR_WINDOWFRAME, QPalette::Active, QPalette::Shadow, RGB(0, 0, 0)},
    {COLOR_MENUTEXT, QPalette::Active, QPalette::WindowText, RGB(0, 0, 0)},
    {COLOR_WINDOWTEXT, QPalette::Active, QPalette::Text, RGB(0, 0, 0)},
    {COLOR_CAPTIONTEXT, QPalette::Active, QPalette::HighlightedText, RGB(255, 255, 255)},
    {COLOR_HIGHLIGHT, QPalette::Active, QPalette::Highlight, RGB(10, 36, 106)},
    {COLOR_HIGHLIGHTTEXT, QPalette::Active, QPalette::HighlightedText, RGB(255, 255, 255)},
    {COLOR_BTNFACE, QPalette::Active, QPalette::Button, RGB(212, 208, 200)},
    {COLOR_BTNSHADOW, QPalette::Active, QPalette::Dark, RGB(128, 128, 128)},
    {COLOR_GRAYTEXT, QPalette::Disabled, QPalette::Text, RGB(128, 128, 128)},
    {COLOR_BTNTEXT, QPalette::Active, QPalette::ButtonText, RGB(0, 0, 0)},
    {COLOR_INACTIVECAPTIONTEXT, QPalette::Inactive, QPalette::HighlightedText, RGB(212, 208, 200)},
    {COLOR_BTNHIGHLIGHT, QPalette::Active, QPalette::Light, RGB(255, 255, 255)},
    {COLOR_3DDKSHADOW, QPalette::Active, QPalette::Shadow, RGB(64, 64, 64)},
    {COLOR_3DLIGHT, QPalette::Active, QPalette::Midlight, RGB(212, 208, 200)},
    {COLOR_INFOTEXT, QPalette::Active, QPalette::ToolTipText, RGB(0, 0, 0)},
    {COLOR_INFOBK, QPalette::Active, QPalette::ToolTipBase, RGB(255, 255, 225)},
};

} // namespace

COLORREF GetSysColor(int nIndex)
{
    for (const CSysColorRole& entry : kRoles) {
        if (entry.index != nIndex)
            continue;
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return entry.classic;
        const QColor c = QApplication::palette().color(entry.group, entry.role);
        return RGB(c.red(), c.green(), c.blue());
    }
    return RGB(0, 0, 0);
}

void DrawFocusRect(CDC* pDC, const RECT* lpRect)
{
    if (pDC == nullptr || lpRect == nullptr)
        return;
    const int saved = pDC->SaveDC();
    CPen pen(PS_DOT, 1, RGB(0, 0, 0));
    pDC->SelectObject(&pen);
    pDC->SelectStockObject(NULL_BRUSH);
    pDC->SetBkMode(TRANSPARENT);
    pDC->Rectangle(lpRect);
    pDC->RestoreDC(saved);
}

void SelectControlFont(CDC* pDC, const CWnd* pWnd, CFont& holder)
{
    if (pDC == nullptr || pWnd == nullptr)
        return;
    if (CFont* font = pWnd->GetFont(); font && font->GetSafeHandle()) {
        pDC->SelectObject(font);
        return;
    }
    const QWidget* widget = pWnd->GetWidget();
    if (widget == nullptr)
        return;
    const QFont& shown = widget->font();
    LOGFONT description{};
    description.lfHeight = -QFontInfo(shown).pixelSize();
    description.lfWeight = shown.weight();
    description.lfItalic = shown.italic() ? 1 : 0;
    description.lfCharSet = DEFAULT_CHARSET;
    SetFaceName(description, QFontInfo(shown).family().toUtf8().constData());
    holder.DeleteObject();
    if (holder.CreateFontIndirect(&description))
        pDC->SelectObject(&holder);
}
