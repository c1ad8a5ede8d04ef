#include "platform/ui/dialog.h"

#include "platform/ui/button.h"
#include "platform/ui/menu.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"
#include "platform/ui/winapp.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMenuBar>
#include <QVBoxLayout>
#include <QPushButton>

#include <functional>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

namespace {

// The dialog window: Escape, Enter and the window's own accept and reject
// become the commands IDCANCEL and IDOK of the CDialog.
class CDialogWidget : public QDialog
{
public:
    CDialogWidget(QWidget* parent, std::function<void(UINT)> command)
        : QDialog(parent), m_command(std::move(command))
    {
    }

    void reject() override { m_command(IDCANCEL); }
    void accept() override { m_command(IDOK); }

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
            for (QPushButton* button : findChildren<QPushButton*>()) {
                if (button->isDefault() && button->isVisible() && button->isEnabled()) {
                    button->click();
                    return;
                }
            }
            m_command(IDOK);
            return;
        }
        QDialog::keyPressEvent(event);
    }

private:
    std::function<void(UINT)> m_command;
};

} // namespace

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog()
{
    BuildMessageMap();
}

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
{
    BuildMessageMap();
}

CDialog::~CDialog()
{
    DestroyHandleNow();
}

QWidget* CDialog::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    if (static_cast<DWORD>(cs.style) & WS_CHILD)
        return new QWidget(parent);
    auto* dialog = new CDialogWidget(parent, [this](UINT id) {
        SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
    });
    dialog->setSizeGripEnabled((static_cast<DWORD>(cs.style) & WS_THICKFRAME) != 0);
    return dialog;
}

BOOL CDialog::CreateDialogWindow(CWnd* pParentWnd, bool modal, bool child)
{
    const std::shared_ptr<const CDialogTemplate> layout = kestrun::FindDialogTemplate(m_nIDTemplate);
    DWORD style = layout ? layout->style : (WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME);
    if (child)
        style = (style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | WS_THICKFRAME)) | WS_CHILD;
    m_bModal = modal;
    m_bEnded = false;
    m_nResult = IDCANCEL;
    m_pParentWnd = pParentWnd;
    m_controls.clear();

    const CString caption = layout ? layout->caption : CString();
    if (!CWnd::CreateEx(0, "#32770", caption, style & ~WS_VISIBLE, CRect(), pParentWnd,
                        child ? m_nIDTemplate : 0))
        return FALSE;

    if (layout)
        kestrun::CreateDialogControls(*this, *layout, m_controls);
    OnCreateControls();

    CSize size = layout ? kestrun::DialogUnitsToPixels(layout->rect).Size() : CSize();
    if (size.cx <= 0 || size.cy <= 0)
        size = DefaultClientSize();
    if (QWidget* widget = GetWidget())
        widget->resize(size.cx, size.cy);

    Deliver(WM_INITDIALOG);
    if (m_hWnd && !modal && (style & WS_VISIBLE) && !m_bEnded)
        ShowWindow(SW_SHOW);
    return m_hWnd != nullptr;
}

CSize CDialog::DefaultClientSize() const
{
    CRect bounds;
    for (CWnd* child : GetChildren()) {
        if (QWidget* w = child->GetWidget()) {
            const QRect g = w->geometry();
            bounds |= CRect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
        }
    }
    if (bounds.IsRectEmpty())
        return CSize(300, 200);
    const CRect margin = kestrun::DialogUnitsToPixels(CRect(0, 0, 7, 7));
    return CSize(bounds.right + margin.right, bounds.bottom + margin.bottom);
}

void CDialog::OnCreateControls()
{
}

INT_PTR CDialog::DoModal()
{
    if (m_hWnd != nullptr)
        return -1;
    CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (!CreateDialogWindow(parent, true, false)) {
        m_bModal = false;
        return -1;
    }
    if (!m_bEnded) {
        if (auto* dialog = qobject_cast<QDialog*>(GetWidget())) {
            CenterWindow();
            dialog->exec();
        }
    }
    const int result = m_nResult;
    if (m_hWnd)
        DestroyWindow();
    m_bModal = false;
    return result;
}

BOOL CDialog::SetMenu(CMenu* pMenu)
{
    QWidget* widget = GetWidget();
    if (widget == nullptr || pMenu == nullptr || m_pMenu)
        return FALSE;
    m_pMenu = std::make_unique<CMenu>();
    m_pMenu->ShareData(*pMenu);
    auto* bar = new QMenuBar(widget);
    m_pMenu->FillQMenuBar(*bar, this);
    const int height = bar->sizeHint().height();
    // The controls make room below the bar; a layout keeps the bar as
    // wide as the dialog.
    for (QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child != bar)
            child->move(child->pos() + QPoint(0, height));
    }
    if (widget->layout() == nullptr) {
        auto* layout = new QVBoxLayout(widget);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setMenuBar(bar);
        layout->addStretch();
    }
    widget->resize(widget->width(), widget->height() + height);
    bar->show();
    return TRUE;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    if (m_hWnd != nullptr)
        return FALSE;
    m_nIDTemplate = nIDTemplate;
    return CreateDialogWindow(pParentWnd ? pParentWnd : AfxGetMainWnd(), false, false);
}

LRESULT CDialog::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    return CWnd::WindowProc(message, wParam, lParam);
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::OnClose()
{
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(IDCANCEL), 0), 0);
}

void CDialog::EndDialog(int nResult)
{
    m_nResult = nResult;
    m_bEnded = true;
    if (auto* dialog = qobject_cast<QDialog*>(GetWidget())) {
        if (m_bModal)
            dialog->done(nResult);
        else
            dialog->hide();
    }
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if ((nCode != CN_COMMAND && nCode != CN_UPDATE_COMMAND_UI) || nID >= 0xF000)
        return FALSE;
    CWnd* owner = GetParent();
    if (owner && owner != this && owner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return (app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) ? TRUE : FALSE;
}

void CDialog::GotoDlgCtrl(CWnd* pWndCtrl)
{
    if (pWndCtrl == nullptr)
        return;
    pWndCtrl->SetFocus();
    if (auto* edit = DYNAMIC_DOWNCAST(CEdit, pWndCtrl))
        edit->SetSel(0, -1);
}

void CDialog::NextDlgCtrl() const
{
    if (QWidget* focus = QApplication::focusWidget())
        focus->nextInFocusChain()->setFocus(Qt::TabFocusReason);
}

void CDialog::PrevDlgCtrl() const
{
    if (QWidget* focus = QApplication::focusWidget())
        focus->previousInFocusChain()->setFocus(Qt::BacktabFocusReason);
}

void CDialog::SetDefID(UINT nID)
{
    m_nDefID = nID;
    for (CWnd* child : GetChildren()) {
        if (auto* button = qobject_cast<QPushButton*>(child->GetWidget()))
            button->setDefault(static_cast<UINT>(child->GetDlgCtrlID()) == nID);
    }
}

DWORD CDialog::GetDefID() const
{
    return MAKELONG(static_cast<WORD>(m_nDefID), 0x534B); // DC_HASDEFID
}

void CDialog::MapDialogRect(LPRECT lpRect) const
{
    if (lpRect)
        *lpRect = kestrun::DialogUnitsToPixels(CRect(*lpRect));
}
