#include "platform/ui/button.h"

#include "platform/ui/qtdc.h"
#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"

#include <QCheckBox>
#include <algorithm>
#include <QGroupBox>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

IMPLEMENT_DYNAMIC(CButton, CWnd)

using kestrun::FromQString;
using kestrun::ToQString;

BOOL CButton::Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
}

QWidget* CButton::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    const DWORD kind = static_cast<DWORD>(cs.style) & BS_TYPEMASK;
    QAbstractButton* button = nullptr;
    switch (kind) {
    case BS_GROUPBOX:
        return new QGroupBox(parent);
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
        button = new QCheckBox(parent);
        break;
    case BS_3STATE:
    case BS_AUTO3STATE: {
        auto* box = new QCheckBox(parent);
        box->setTristate(true);
        button = box;
        break;
    }
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
        button = new QRadioButton(parent);
        // Groups follow WS_GROUP, not the parent widget.
        button->setAutoExclusive(false);
        break;
    case BS_OWNERDRAW:
        button = new QPushButton(parent);
        break;
    default: {
        auto* push = new QPushButton(parent);
        push->setDefault(kind == BS_DEFPUSHBUTTON);
        push->setAutoDefault(false);
        button = push;
        break;
    }
    }
    QObject::connect(button, &QAbstractButton::clicked, button, [button] {
        if (auto* self = kestrun::WindowOf<CButton>(button))
            self->Clicked();
    });
    return button;
}

void CButton::Clicked()
{
    if (m_hWnd == nullptr)
        return;
    if (IsRadio()) {
        if (auto* radio = qobject_cast<QAbstractButton*>(GetWidget()))
            radio->setChecked(true);
        UncheckGroupSiblings();
    }
    NotifyParent(BN_CLICKED);
}

void CButton::UncheckGroupSiblings()
{
    CWnd* parent = GetParent();
    if (parent == nullptr)
        return;
    const std::vector<CWnd*> siblings = parent->GetChildren();
    const auto self = std::find(siblings.begin(), siblings.end(), this);
    if (self == siblings.end())
        return;
    // Back to the start of the group, then forward to its end.
    auto first = self;
    while (first != siblings.begin() && !((*first)->GetStyle() & WS_GROUP))
        --first;
    for (auto it = first; it != siblings.end(); ++it) {
        if (it != first && ((*it)->GetStyle() & WS_GROUP))
            break;
        if (*it == this)
            continue;
        if (auto* other = DYNAMIC_DOWNCAST(CButton, *it); other && other->IsRadio())
            other->SetCheck(BST_UNCHECKED);
    }
}

int CButton::GetCheck() const
{
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    if (button == nullptr || !button->isCheckable())
        return BST_UNCHECKED;
    if (auto* box = qobject_cast<QCheckBox*>(button); box && box->checkState() == Qt::PartiallyChecked)
        return BST_INDETERMINATE;
    return button->isChecked() ? BST_CHECKED : BST_UNCHECKED;
}

void CButton::SetCheck(int nCheck)
{
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    if (button == nullptr || !button->isCheckable())
        return;
    if (auto* box = qobject_cast<QCheckBox*>(button)) {
        box->setCheckState(nCheck == BST_INDETERMINATE && box->isTristate() ? Qt::PartiallyChecked
                           : nCheck != BST_UNCHECKED                      ? Qt::Checked
                                                                          : Qt::Unchecked);
        return;
    }
    button->setChecked(nCheck != BST_UNCHECKED);
}

void CButton::SetButtonStyle(UINT nStyle, BOOL)
{
    ModifyStyle(0xFFFF, nStyle & 0xFFFF);
    if (auto* push = qobject_cast<QPushButton*>(GetWidget()))
        push->setDefault((nStyle & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
}

void CButton::Click()
{
    if (auto* button = qobject_cast<QAbstractButton*>(GetWidget()); button && button->isEnabled())
        button->click();
}

LRESULT CButton::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == BM_GETCHECK)
        return GetCheck();
    if (message == BM_SETCHECK) {
        SetCheck(static_cast<int>(wParam));
        return 0;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void CButton::SetWidgetText(const CString& text)
{
    QWidget* w = GetWidget();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        button->setText(ToQString(text));
    else if (auto* group = qobject_cast<QGroupBox*>(w))
        group->setTitle(ToQString(text));
    else
        CWnd::SetWidgetText(text);
}

CString CButton::GetWidgetText() const
{
    QWidget* w = GetWidget();
    if (auto* button = qobject_cast<QAbstractButton*>(w))
        return FromQString(button->text());
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return FromQString(group->title());
    return CWnd::GetWidgetText();
}

void CButton::DrawItem(LPDRAWITEMSTRUCT)
{
}

bool CButton::WantsPaint() const
{
    return Kind() == BS_OWNERDRAW;
}

void CButton::OnPaint()
{
    if (Kind() == BS_OWNERDRAW)
        PaintOwnerDrawn();
}

void CButton::PaintOwnerDrawn()
{
    auto* button = qobject_cast<QAbstractButton*>(GetWidget());
    if (button == nullptr || m_hWnd == nullptr)
        return;
    QPainter painter(button);
    CQtDC dc(painter);
    DRAWITEMSTRUCT item{};
    item.CtlType = ODT_BUTTON;
    item.CtlID = static_cast<UINT>(GetDlgCtrlID());
    item.itemAction = ODA_DRAWENTIRE;
    if (button->isDown())
        item.itemState |= ODS_SELECTED;
    if (!button->isEnabled())
        item.itemState |= ODS_DISABLED;
    if (button->hasFocus())
        item.itemState |= ODS_FOCUS;
    if (button->isChecked())
        item.itemState |= ODS_CHECKED;
    item.hwndItem = m_hWnd;
    item.hDC = &dc;
    item.rcItem = CRect(0, 0, button->width(), button->height());
    kestrun::GuardedCall([&] { DrawItem(&item); });
}
