#include "platform/ui/propsheet.h"

#include "platform/core/resources.h"
#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"
#include "platform/ui/winapp.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

// The sheet's window: Escape and closing cancel through the sheet. Its
// end, however it comes, tells the sheet, which must then forget the
// tabs, pages' containers and buttons that go with it.
class CSheetWidget : public QDialog
{
public:
    CSheetWidget(QWidget* parent, std::function<void()> cancel, std::function<void()> gone)
        : QDialog(parent), m_cancel(std::move(cancel)), m_gone(std::move(gone))
    {
    }
    ~CSheetWidget() override { m_gone(); }
    void reject() override { m_cancel(); }

private:
    std::function<void()> m_cancel;
    std::function<void()> m_gone;
};

} // namespace

struct CPropertySheet::CWidgets
{
    QTabBar* tabs = nullptr;
    QStackedWidget* stack = nullptr;
    std::vector<QWidget*> containers;
    QPushButton* ok = nullptr;
    QPushButton* cancel = nullptr;
    QPushButton* apply = nullptr;
    QPushButton* back = nullptr;
    QPushButton* next = nullptr;
    QPushButton* finish = nullptr;
};

// ---- CPropertyPage --------------------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT nIDTemplate, UINT nIDCaption) : CDialog(nIDTemplate), m_nIDCaption(nIDCaption)
{
}

CPropertyPage::~CPropertyPage()
{
    if (m_pSheet)
        m_pSheet->RemovePage(this);
}

CString CPropertyPage::GetCaption() const
{
    if ((m_psp.dwFlags & PSP_USETITLE) && m_psp.pszTitle)
        return m_psp.pszTitle;
    if (m_nIDCaption != 0) {
        if (const char* text = AfxLoadString(m_nIDCaption))
            return text;
    }
    if (const auto layout = kestrun::FindDialogTemplate(m_nIDTemplate))
        return layout->caption;
    return {};
}

BOOL CPropertyPage::CreatePage(CPropertySheet* pSheet)
{
    m_pSheet = pSheet;
    if (m_hWnd)
        return TRUE;
    return CreateDialogWindow(pSheet, false, true);
}

BOOL CPropertyPage::OnSetActive()
{
    return TRUE;
}

BOOL CPropertyPage::OnKillActive()
{
    return UpdateData(TRUE);
}

BOOL CPropertyPage::OnApply()
{
    OnOK();
    m_bModified = FALSE;
    return TRUE;
}

void CPropertyPage::OnReset()
{
    OnCancel();
}

BOOL CPropertyPage::OnQueryCancel()
{
    return TRUE;
}

LRESULT CPropertyPage::OnWizardBack()
{
    return 0;
}

LRESULT CPropertyPage::OnWizardNext()
{
    return 0;
}

BOOL CPropertyPage::OnWizardFinish()
{
    return TRUE;
}

void CPropertyPage::OnOK()
{
    // The sheet ends; a page only takes its data over.
}

void CPropertyPage::OnCancel()
{
}

void CPropertyPage::SetModified(BOOL bChanged)
{
    m_bModified = bChanged;
    if (m_pSheet)
        m_pSheet->PageModified();
}

void CPropertyPage::CancelToClose()
{
    if (m_pSheet && m_pSheet->m_widgets && m_pSheet->m_widgets->cancel)
        m_pSheet->m_widgets->cancel->setText("Close");
}

// ---- CPropertySheet ---------------------------------------------------------------------------

CPropertySheet::CPropertySheet(LPCTSTR pszCaption, CWnd* pParentWnd, UINT iSelectPage)
    : m_pParentWnd(pParentWnd), m_strCaption(pszCaption ? pszCaption : "")
{
    m_psh.nStartPage = iSelectPage;
}

CPropertySheet::CPropertySheet(UINT nIDCaption, CWnd* pParentWnd, UINT iSelectPage) : m_pParentWnd(pParentWnd)
{
    if (const char* text = AfxLoadString(nIDCaption))
        m_strCaption = text;
    m_psh.nStartPage = iSelectPage;
}

CPropertySheet::~CPropertySheet()
{
    DestroyHandleNow();
    for (CPropertyPage* page : m_pages)
        page->m_pSheet = nullptr;
}

void CPropertySheet::AddPage(CPropertyPage* pPage)
{
    if (pPage == nullptr || GetPageIndex(pPage) >= 0)
        return;
    m_pages.push_back(pPage);
    pPage->m_pSheet = this;
    if (m_widgets) {
        auto* container = new QWidget(m_widgets->stack);
        auto* layout = new QVBoxLayout(container);
        layout->setContentsMargins(0, 0, 0, 0);
        m_widgets->containers.push_back(container);
        m_widgets->stack->addWidget(container);
        m_widgets->tabs->addTab(kestrun::ToQStringWithoutMnemonic(pPage->GetCaption()));
    }
}

void CPropertySheet::RemovePage(CPropertyPage* pPage)
{
    RemovePage(GetPageIndex(pPage));
}

void CPropertySheet::RemovePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return;
    CPropertyPage* page = m_pages[static_cast<size_t>(nPage)];
    m_pages.erase(m_pages.begin() + nPage);
    page->m_pSheet = nullptr;
    if (page->m_hWnd)
        page->DestroyWindow();
    if (m_widgets) {
        const bool old = std::exchange(m_bSwitching, true);
        m_widgets->tabs->removeTab(nPage);
        QWidget* container = m_widgets->containers[static_cast<size_t>(nPage)];
        m_widgets->containers.erase(m_widgets->containers.begin() + nPage);
        m_widgets->stack->removeWidget(container);
        delete container;
        m_bSwitching = old;
    }
    if (nPage < m_nActive)
        --m_nActive;
    if (m_nActive >= GetPageCount())
        m_nActive = std::max(0, GetPageCount() - 1);
    if (m_widgets && GetPageCount() > 0)
        ShowPage(m_nActive);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const
{
    return (nPage >= 0 && nPage < GetPageCount()) ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(CPropertyPage* pPage) const
{
    const auto it = std::find(m_pages.begin(), m_pages.end(), pPage);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

CPropertyPage* CPropertySheet::GetActivePage() const
{
    return GetPage(m_nActive);
}

void CPropertySheet::SetTitle(LPCTSTR lpszText, UINT)
{
    m_strCaption = lpszText ? lpszText : "";
    if (m_hWnd)
        SetWindowText(m_strCaption);
}

void CPropertySheet::SetWizardMode()
{
    m_bWizard = true;
    m_psh.dwFlags |= PSH_WIZARD;
}

void CPropertySheet::SetFinishText(LPCTSTR lpszText)
{
    m_strFinishText = lpszText ? lpszText : "";
    if (m_widgets && m_widgets->finish && !m_strFinishText.IsEmpty())
        m_widgets->finish->setText(kestrun::ToQString(m_strFinishText));
    m_dwWizardButtons = PSWIZB_FINISH | (m_dwWizardButtons & PSWIZB_BACK);
    UpdateButtons();
}

void CPropertySheet::SetWizardButtons(DWORD dwFlags)
{
    m_dwWizardButtons = dwFlags;
    UpdateButtons();
}

void CPropertySheet::UpdateButtons()
{
    if (!m_widgets)
        return;
    CWidgets& w = *m_widgets;
    if (m_bWizard) {
        const bool finish = (m_dwWizardButtons & (PSWIZB_FINISH | PSWIZB_DISABLEDFINISH)) != 0;
        w.back->setEnabled((m_dwWizardButtons & PSWIZB_BACK) != 0);
        w.next->setVisible(!finish);
        w.next->setEnabled((m_dwWizardButtons & PSWIZB_NEXT) != 0);
        w.finish->setVisible(finish);
        w.finish->setEnabled((m_dwWizardButtons & PSWIZB_FINISH) != 0);
    } else if (w.apply) {
        bool modified = false;
        for (CPropertyPage* page : m_pages)
            modified = modified || page->IsModified();
        w.apply->setEnabled(modified);
    }
}

void CPropertySheet::PageModified()
{
    UpdateButtons();
}

QWidget* CPropertySheet::CreateWidget(QWidget* parent, const CREATESTRUCT&)
{
    m_widgets = std::make_unique<CWidgets>();
    CWidgets& w = *m_widgets;
    auto* dialog = new CSheetWidget(
        parent, [this] { SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(IDCANCEL), BN_CLICKED), 0); },
        [this, mine = &w] {
            if (m_widgets.get() == mine)
                m_widgets.reset();
        });
    auto* layout = new QVBoxLayout(dialog);
    w.tabs = new QTabBar(dialog);
    w.tabs->setVisible(!m_bWizard);
    w.stack = new QStackedWidget(dialog);
    layout->addWidget(w.tabs);
    layout->addWidget(w.stack, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto addButton = [&](const char* text, int id) {
        auto* button = new QPushButton(text, dialog);
        button->setAutoDefault(false);
        QObject::connect(button, &QPushButton::clicked, button, [this, id] {
            SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
        });
        buttons->addWidget(button);
        return button;
    };
    if (m_bWizard) {
        w.back = addButton("< &Back", ID_WIZBACK);
        w.next = addButton("&Next >", ID_WIZNEXT);
        w.finish = addButton(m_strFinishText.IsEmpty() ? "Finish" : m_strFinishText.GetString(), ID_WIZFINISH);
        w.cancel = addButton("Cancel", IDCANCEL);
        w.next->setDefault(true);
    } else {
        w.ok = addButton("OK", IDOK);
        w.cancel = addButton("Cancel", IDCANCEL);
        if (!(m_psh.dwFlags & PSH_NOAPPLYNOW))
            w.apply = addButton("&Apply", ID_APPLY_NOW);
        w.ok->setDefault(true);
    }
    layout->addLayout(buttons);

    // Room for the largest page.
    CSize largest(0, 0);
    for (CPropertyPage* page : m_pages) {
        auto* container = new QWidget(w.stack);
        auto* pageLayout = new QVBoxLayout(container);
        pageLayout->setContentsMargins(0, 0, 0, 0);
        w.containers.push_back(container);
        w.stack->addWidget(container);
        w.tabs->addTab(kestrun::ToQStringWithoutMnemonic(page->GetCaption()));
        if (const auto layoutTemplate = kestrun::FindDialogTemplate(page->m_nIDTemplate)) {
            const CSize size = kestrun::DialogUnitsToPixels(layoutTemplate->rect).Size();
            largest.cx = std::max(largest.cx, size.cx);
            largest.cy = std::max(largest.cy, size.cy);
        }
    }
    if (largest.cx > 0 && largest.cy > 0)
        w.stack->setMinimumSize(largest.cx, largest.cy);
    // Connected once the tabs are there: adding the first one selects it.
    QObject::connect(w.tabs, &QTabBar::currentChanged, dialog, [this](int index) {
        kestrun::GuardedCall([&] { TabChanged(index); });
    });
    return dialog;
}

void CPropertySheet::PlaceChildWidget(CWnd& child, const CRect& rect)
{
    auto* page = DYNAMIC_DOWNCAST(CPropertyPage, &child);
    const int index = page ? GetPageIndex(page) : -1;
    if (m_widgets && index >= 0 && child.GetWidget()) {
        QWidget* container = m_widgets->containers[static_cast<size_t>(index)];
        child.GetWidget()->setParent(container);
        container->layout()->addWidget(child.GetWidget());
        return;
    }
    CWnd::PlaceChildWidget(child, rect);
}

BOOL CPropertySheet::CreateSheetWindow(CWnd* pParentWnd, bool modal)
{
    if (m_hWnd != nullptr)
        return FALSE;
    m_bModal = modal;
    m_bEnded = false;
    m_nResult = IDCANCEL;
    m_nActive = -1;
    m_pParentWnd = pParentWnd;
    if (!CWnd::CreateEx(0, "#32770", m_strCaption, WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME, CRect(),
                        pParentWnd, 0))
        return FALSE;
    return OnInitDialog();
}

BOOL CPropertySheet::OnInitDialog()
{
    if (m_pages.empty())
        return TRUE;
    const int start = std::clamp(static_cast<int>(m_psh.nStartPage), 0, GetPageCount() - 1);
    ShowPage(start);
    UpdateButtons();
    return TRUE;
}

void CPropertySheet::ShowPage(int nPage)
{
    CPropertyPage* page = GetPage(nPage);
    if (page == nullptr || !m_widgets)
        return;
    if (!page->m_hWnd)
        page->CreatePage(this);
    const bool old = std::exchange(m_bSwitching, true);
    if (page->OnSetActive()) {
        m_nActive = nPage;
        m_widgets->stack->setCurrentIndex(nPage);
        if (page->GetWidget())
            page->GetWidget()->show();
    }
    m_widgets->tabs->setCurrentIndex(m_nActive);
    m_bSwitching = old;
}

void CPropertySheet::TabChanged(int index)
{
    if (m_bSwitching || index == m_nActive || m_hWnd == nullptr)
        return;
    CPropertyPage* current = GetActivePage();
    if (current && current->m_hWnd && !current->OnKillActive()) {
        const bool old = std::exchange(m_bSwitching, true);
        m_widgets->tabs->setCurrentIndex(m_nActive);
        m_bSwitching = old;
        return;
    }
    ShowPage(index);
}

BOOL CPropertySheet::SetActivePage(int nPage)
{
    if (nPage < 0 || nPage >= GetPageCount())
        return FALSE;
    if (!m_widgets || m_hWnd == nullptr) {
        m_psh.nStartPage = static_cast<UINT>(nPage);
        return TRUE;
    }
    if (nPage == m_nActive)
        return TRUE;
    if (CPropertyPage* current = GetActivePage(); current && current->m_hWnd && !current->OnKillActive())
        return FALSE;
    ShowPage(nPage);
    return m_nActive == nPage;
}

INT_PTR CPropertySheet::DoModal()
{
    CWnd* parent = m_pParentWnd ? m_pParentWnd : AfxGetMainWnd();
    if (!CreateSheetWindow(parent, true))
        return -1;
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

BOOL CPropertySheet::Create(CWnd* pParentWnd, DWORD, DWORD)
{
    CWnd* parent = pParentWnd ? pParentWnd : AfxGetMainWnd();
    if (!CreateSheetWindow(parent, false))
        return FALSE;
    ShowWindow(SW_SHOW);
    return TRUE;
}

void CPropertySheet::EndDialog(int nEndID)
{
    m_nResult = nEndID;
    m_bEnded = true;
    if (auto* dialog = qobject_cast<QDialog*>(GetWidget())) {
        if (m_bModal)
            dialog->done(nEndID);
        else
            dialog->hide();
    }
}

BOOL CPropertySheet::PressButton(int nButton)
{
    switch (nButton) {
    case PSBTN_OK:
        OnOKButton();
        return TRUE;
    case PSBTN_CANCEL:
        OnCancelButton();
        return TRUE;
    case PSBTN_APPLYNOW:
        OnApplyButton();
        return TRUE;
    case PSBTN_BACK:
        OnBackButton();
        return TRUE;
    case PSBTN_NEXT:
        OnNextButton();
        return TRUE;
    case PSBTN_FINISH:
        OnFinishButton();
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL CPropertySheet::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (nCode == CN_COMMAND && pHandlerInfo == nullptr) {
        switch (nID) {
        case IDOK:
            OnOKButton();
            return TRUE;
        case IDCANCEL:
            OnCancelButton();
            return TRUE;
        case ID_APPLY_NOW:
            OnApplyButton();
            return TRUE;
        case ID_WIZBACK:
            OnBackButton();
            return TRUE;
        case ID_WIZNEXT:
            OnNextButton();
            return TRUE;
        case ID_WIZFINISH:
            OnFinishButton();
            return TRUE;
        default:
            break;
        }
    }
    if ((nCode != CN_COMMAND && nCode != CN_UPDATE_COMMAND_UI) || nID >= 0xF000)
        return FALSE;
    CWnd* owner = GetParent();
    if (owner && owner != this && owner->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* app = AfxGetApp();
    return (app && app->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo)) ? TRUE : FALSE;
}

void CPropertySheet::OnClose()
{
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(IDCANCEL), BN_CLICKED), 0);
}

void CPropertySheet::OnOKButton()
{
    CPropertyPage* current = GetActivePage();
    if (current && current->m_hWnd && !current->OnKillActive())
        return;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (page->m_hWnd && !page->OnApply()) {
            SetActivePage(i);
            return;
        }
    }
    EndDialog(IDOK);
}

void CPropertySheet::OnApplyButton()
{
    CPropertyPage* current = GetActivePage();
    if (current && current->m_hWnd && !current->OnKillActive())
        return;
    for (int i = 0; i < GetPageCount(); ++i) {
        CPropertyPage* page = GetPage(i);
        if (page->m_hWnd && page->IsModified() && !page->OnApply()) {
            SetActivePage(i);
            return;
        }
    }
    UpdateButtons();
}

void CPropertySheet::OnCancelButton()
{
    CPropertyPage* current = GetActivePage();
    if (current && current->m_hWnd && !current->OnQueryCancel())
        return;
    for (CPropertyPage* page : m_pages) {
        if (page->m_hWnd)
            page->OnReset();
    }
    EndDialog(IDCANCEL);
}

namespace {

// The page a wizard step goes to: the neighbour for 0, the page with that
// template id otherwise; -1 to stay.
int wizardTarget(const CPropertySheet& sheet, LRESULT answer, int current, int step)
{
    if (answer == -1)
        return -1;
    if (answer == 0)
        return current + step;
    for (int i = 0; i < sheet.GetPageCount(); ++i) {
        if (sheet.GetPage(i)->m_nIDTemplate == static_cast<UINT>(answer))
            return i;
    }
    return -1;
}

} // namespace

void CPropertySheet::OnBackButton()
{
    CPropertyPage* current = GetActivePage();
    if (current == nullptr)
        return;
    const int target = wizardTarget(*this, current->OnWizardBack(), m_nActive, -1);
    if (target >= 0)
        SetActivePage(target);
}

void CPropertySheet::OnNextButton()
{
    CPropertyPage* current = GetActivePage();
    if (current == nullptr)
        return;
    const int target = wizardTarget(*this, current->OnWizardNext(), m_nActive, +1);
    if (target >= 0 && target < GetPageCount())
        SetActivePage(target);
}

void CPropertySheet::OnFinishButton()
{
    CPropertyPage* current = GetActivePage();
    if (current && current->m_hWnd && !current->OnKillActive())
        return;
    if (current && !current->OnWizardFinish())
        return;
    EndDialog(ID_WIZFINISH);
}
