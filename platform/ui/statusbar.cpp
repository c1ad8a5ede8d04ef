#include "platform/core/resources.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/frameworkstrings.h"
#include "platform/ui/qtdc.h"
#include "platform/ui/systemlook.h"
#include "platform/ui/uitext.h"
#include "platform/ui/widgetbridge.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPainter>
#include <QStatusBar>

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)
IMPLEMENT_DYNAMIC(CStatusBarCtrl, CWnd)

using kestrun::FromQString;
using kestrun::ToQString;

namespace kestrun {

// The panes of a status bar: labels in a row inside the bar, the
// stretching ones taking the free width.
class CStatusPanes : public QWidget
{
public:
    struct Pane
    {
        UINT id = 0;
        UINT style = 0;
        int width = 0; // 0: as wide as the text
        CString text;
        UINT textType = 0;
        QLabel* label = nullptr;
    };

    CStatusPanes(QStatusBar* bar, CStatusBarCtrl& owner) : QWidget(bar), m_bar(bar), m_owner(owner)
    {
        m_layout = new QHBoxLayout(this);
        m_layout->setContentsMargins(0, 0, 0, 0);
        m_layout->setSpacing(2);
        bar->addWidget(this, 1);
    }
    ~CStatusPanes() override
    {
        if (m_owner.m_pPanes == this)
            m_owner.m_pPanes = nullptr;
    }

    void SetPanes(std::vector<Pane> panes)
    {
        for (Pane& p : m_panes)
            delete p.label;
        m_panes = std::move(panes);
        for (size_t i = 0; i < m_panes.size(); ++i) {
            Pane& p = m_panes[i];
            p.label = new CPaneLabel(this, *this, static_cast<int>(i));
            p.label->setFrameShape((p.style & SBPS_NOBORDERS) ? QFrame::NoFrame : QFrame::Panel);
            p.label->setFrameShadow((p.style & SBPS_POPOUT) ? QFrame::Raised : QFrame::Sunken);
            m_layout->addWidget(p.label, (p.style & SBPS_STRETCH) ? 1 : 0);
            Apply(p);
        }
        m_layout->activate();
    }

    int Count() const { return static_cast<int>(m_panes.size()); }
    bool Valid(int i) const { return i >= 0 && i < Count(); }
    Pane& At(int i) { return m_panes[static_cast<size_t>(i)]; }
    const Pane& At(int i) const { return m_panes[static_cast<size_t>(i)]; }

    void Apply(Pane& p)
    {
        if (p.label == nullptr)
            return;
        const bool ownerDraw = ((p.textType | p.style) & SBT_OWNERDRAW) != 0;
        p.label->setText(ownerDraw ? QString() : kestrun::ToQStringWithoutMnemonic(p.text));
        p.label->setEnabled(!(p.style & SBPS_DISABLED));
        const bool stretch = (p.style & SBPS_STRETCH) != 0;
        if (!stretch) {
            const int width = p.width > 0 ? p.width : p.label->fontMetrics().horizontalAdvance(ToQString(p.text)) + 8;
            p.label->setMinimumWidth(width);
        }
        m_layout->setStretchFactor(p.label, stretch ? 1 : 0);
        p.label->update();
    }

    // The pane's rectangle in the coordinates of the status bar widget.
    CRect Rect(int i) const
    {
        if (!Valid(i) || At(i).label == nullptr)
            return {};
        const_cast<QHBoxLayout*>(m_layout)->activate();
        const QLabel* label = At(i).label;
        const QPoint topLeft = label->mapTo(m_bar, QPoint(0, 0));
        return CRect(topLeft.x(), topLeft.y(), topLeft.x() + label->width(), topLeft.y() + label->height());
    }

    // Asks the window the panes belong to (the bar, or the control on its
    // own) to paint the pane inside the border the label has drawn.
    void PaintOwnerDrawn(int i, QLabel& label)
    {
        if (!Valid(i))
            return;
        CStatusBar* bar = m_owner.m_pBar;
        CWnd& window = bar ? static_cast<CWnd&>(*bar) : m_owner;
        CFont font;
        QPainter painter(&label);
        CQtDC dc(painter);
        SelectControlFont(&dc, &window, font);
        const QRect inside = label.contentsRect();
        DRAWITEMSTRUCT item{};
        item.CtlID = static_cast<UINT>(window.GetDlgCtrlID());
        item.itemID = static_cast<UINT>(i);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = window.m_hWnd;
        item.hDC = &dc;
        item.rcItem = CRect(inside.left(), inside.top(), inside.left() + inside.width(), inside.top() + inside.height());
        item.itemData = reinterpret_cast<ULONG_PTR>(At(i).text.GetString());
        GuardedCall([&] {
            if (bar)
                bar->DrawItem(&item);
            else
                m_owner.DrawItem(&item);
        });
    }

    bool IsOwnerDrawn(int i) const { return Valid(i) && ((At(i).textType | At(i).style) & SBT_OWNERDRAW); }

private:
    class CPaneLabel : public QLabel
    {
    public:
        CPaneLabel(QWidget* parent, CStatusPanes& panes, int index) : QLabel(parent), m_panes(panes), m_index(index)
        {
            setTextFormat(Qt::PlainText);
        }

    protected:
        void paintEvent(QPaintEvent* event) override
        {
            QLabel::paintEvent(event);
            if (m_panes.IsOwnerDrawn(m_index))
                m_panes.PaintOwnerDrawn(m_index, *this);
        }

    private:
        CStatusPanes& m_panes;
        int m_index;
    };

    QStatusBar* m_bar;
    CStatusBarCtrl& m_owner;
    QHBoxLayout* m_layout = nullptr;
    std::vector<Pane> m_panes;
};

namespace {

QStatusBar* createBar(QWidget* parent)
{
    auto* bar = new QStatusBar(parent);
    bar->setSizeGripEnabled(false);
    if (auto* window = qobject_cast<QMainWindow*>(parent))
        window->setStatusBar(bar);
    return bar;
}

void placeOverPane(QWidget* bar, CWnd& child, const CRect& rect)
{
    QWidget* w = child.GetWidget();
    if (w == nullptr || bar == nullptr)
        return;
    // Children lie over the panes (a progress bar in the message pane).
    w->setParent(bar);
    if (!rect.IsRectEmpty())
        w->setGeometry(rect.left, rect.top, rect.Width(), rect.Height());
    w->raise();
}

} // namespace

} // namespace kestrun

using kestrun::CStatusPanes;

// ---- CStatusBarCtrl --------------------------------------------------------------------

CStatusBarCtrl::CStatusBarCtrl() = default;

CStatusBarCtrl::~CStatusBarCtrl()
{
    DestroyHandleNow();
}

BOOL CStatusBarCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CWnd::Create("msctls_statusbar32", nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

QWidget* CStatusBarCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT&)
{
    QStatusBar* bar = kestrun::createBar(parent);
    m_pPanes = new CStatusPanes(bar, *this);
    std::vector<CStatusPanes::Pane> one(1);
    one[0].style = SBPS_STRETCH | SBPS_NOBORDERS;
    m_pPanes->SetPanes(std::move(one));
    return bar;
}

void CStatusBarCtrl::PlaceChildWidget(CWnd& child, const CRect& rect)
{
    kestrun::placeOverPane(GetWidget(), child, rect);
}

BOOL CStatusBarCtrl::SetParts(int nParts, const int* pWidths)
{
    if (m_pPanes == nullptr || nParts <= 0 || pWidths == nullptr)
        return FALSE;
    std::vector<CStatusPanes::Pane> panes(static_cast<size_t>(nParts));
    int left = 0;
    for (int i = 0; i < nParts; ++i) {
        CStatusPanes::Pane& p = panes[static_cast<size_t>(i)];
        if (i < m_pPanes->Count()) {
            p.text = m_pPanes->At(i).text;
            p.textType = m_pPanes->At(i).textType;
        }
        if (pWidths[i] < 0) {
            p.style = SBPS_STRETCH;
        } else {
            p.width = pWidths[i] - left;
            left = pWidths[i];
        }
    }
    m_pPanes->SetPanes(std::move(panes));
    return TRUE;
}

int CStatusBarCtrl::GetParts(int nParts, int* pParts) const
{
    if (m_pPanes == nullptr)
        return 0;
    for (int i = 0; pParts && i < nParts && i < m_pPanes->Count(); ++i) {
        const CStatusPanes::Pane& p = m_pPanes->At(i);
        pParts[i] = (p.style & SBPS_STRETCH) ? -1 : m_pPanes->Rect(i).right;
    }
    return m_pPanes->Count();
}

BOOL CStatusBarCtrl::SetText(LPCTSTR lpszText, int nPane, int nType)
{
    if (m_pPanes == nullptr || !m_pPanes->Valid(nPane))
        return FALSE;
    CStatusPanes::Pane& p = m_pPanes->At(nPane);
    // The bar keeps its own copy: the caller's text may go away.
    p.text = lpszText ? lpszText : "";
    p.textType = static_cast<UINT>(nType);
    m_pPanes->Apply(p);
    return TRUE;
}

CString CStatusBarCtrl::GetText(int nPane, int* pType) const
{
    if (m_pPanes == nullptr || !m_pPanes->Valid(nPane))
        return {};
    if (pType)
        *pType = static_cast<int>(m_pPanes->At(nPane).textType);
    return m_pPanes->At(nPane).text;
}

int CStatusBarCtrl::GetTextLength(int nPane, int* pType) const
{
    return GetText(nPane, pType).GetLength();
}

BOOL CStatusBarCtrl::GetRect(int nPane, LPRECT lpRect) const
{
    if (m_pPanes == nullptr || lpRect == nullptr || !m_pPanes->Valid(nPane))
        return FALSE;
    *lpRect = m_pPanes->Rect(nPane);
    return TRUE;
}

void CStatusBarCtrl::SetMinHeight(int nMin)
{
    if (QWidget* w = GetWidget() ? GetWidget() : (m_pPanes ? m_pPanes->parentWidget() : nullptr))
        w->setMinimumHeight(nMin);
}

void CStatusBarCtrl::DrawItem(LPDRAWITEMSTRUCT)
{
}

// ---- CStatusBar -----------------------------------------------------------------------------

CStatusBar::CStatusBar() : m_ctrl(std::make_unique<CStatusBarCtrl>())
{
    m_ctrl->m_pBar = this;
    kestrun::EnsureFrameworkStrings();
}

CStatusBar::~CStatusBar()
{
    DestroyHandleNow();
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD, DWORD dwStyle, UINT nID)
{
    m_dwBarStyle = dwStyle & (CBRS_ALIGN_ANY | CBRS_TOOLTIPS | CBRS_FLYBY);
    return CWnd::Create("msctls_statusbar32", nullptr, dwStyle | WS_CHILD, CRect(), pParentWnd, nID);
}

QWidget* CStatusBar::CreateWidget(QWidget* parent, const CREATESTRUCT&)
{
    QStatusBar* bar = kestrun::createBar(parent);
    m_ctrl->m_pPanes = new CStatusPanes(bar, *m_ctrl);
    return bar;
}

void CStatusBar::PlaceChildWidget(CWnd& child, const CRect& rect)
{
    kestrun::placeOverPane(GetWidget(), child, rect);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    CStatusPanes* panes = m_ctrl->m_pPanes;
    if (panes == nullptr || nIDCount < 0 || (nIDCount > 0 && lpIDArray == nullptr))
        return FALSE;
    std::vector<CStatusPanes::Pane> list(static_cast<size_t>(nIDCount));
    for (int i = 0; i < nIDCount; ++i) {
        CStatusPanes::Pane& p = list[static_cast<size_t>(i)];
        p.id = lpIDArray[i];
        if (p.id == ID_SEPARATOR) {
            p.style = SBPS_STRETCH | SBPS_NOBORDERS;
        } else if (const char* text = AfxLoadString(p.id)) {
            p.text = text;
        }
    }
    panes->SetPanes(std::move(list));
    return TRUE;
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL)
{
    CStatusPanes* panes = m_ctrl->m_pPanes;
    if (panes == nullptr || !panes->Valid(nIndex))
        return FALSE;
    CStatusPanes::Pane& p = panes->At(nIndex);
    p.text = lpszNewText ? lpszNewText : "";
    panes->Apply(p);
    return TRUE;
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    return m_ctrl->GetText(nIndex);
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    CStatusPanes* panes = m_ctrl->m_pPanes;
    if (panes == nullptr || !panes->Valid(nIndex))
        return;
    CStatusPanes::Pane& p = panes->At(nIndex);
    p.id = nID;
    p.style = nStyle;
    p.width = cxWidth;
    panes->Apply(p);
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    nID = nStyle = 0;
    cxWidth = 0;
    CStatusPanes* panes = m_ctrl->m_pPanes;
    if (panes == nullptr || !panes->Valid(nIndex))
        return;
    const CStatusPanes::Pane& p = panes->At(nIndex);
    nID = p.id;
    nStyle = p.style;
    cxWidth = p.width > 0 ? p.width : panes->Rect(nIndex).Width();
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    CStatusPanes* panes = m_ctrl->m_pPanes;
    return (panes && panes->Valid(nIndex)) ? panes->At(nIndex).style : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    CStatusPanes* panes = m_ctrl->m_pPanes;
    if (panes == nullptr || !panes->Valid(nIndex))
        return;
    panes->At(nIndex).style = nStyle;
    panes->Apply(panes->At(nIndex));
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    CStatusPanes* panes = m_ctrl->m_pPanes;
    return (panes && panes->Valid(nIndex)) ? panes->At(nIndex).id : 0;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    CStatusPanes* panes = m_ctrl->m_pPanes;
    for (int i = 0; panes && i < panes->Count(); ++i) {
        if (panes->At(i).id == nIDFind)
            return i;
    }
    return -1;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (!m_ctrl->GetRect(nIndex, lpRect) && lpRect)
        *lpRect = CRect();
}

CStatusBarCtrl& CStatusBar::GetStatusBarCtrl() const
{
    return *m_ctrl;
}

void CStatusBar::DrawItem(LPDRAWITEMSTRUCT)
{
}

int CStatusBar::ItemCount() const
{
    return m_ctrl->m_pPanes ? m_ctrl->m_pPanes->Count() : 0;
}

void CStatusBar::SetWidgetText(const CString& text)
{
    SetPaneText(0, text);
}

CString CStatusBar::GetWidgetText() const
{
    return GetPaneText(0);
}

namespace {

// A pane asked for its state: disabled panes show their text greyed.
class CStatusCmdUI : public CCmdUI
{
public:
    CStatusCmdUI(CStatusBar& bar, int index) : m_bar(bar), m_index(index) {}
    void Enable(BOOL bOn) override
    {
        CCmdUI::Enable(bOn);
        const UINT style = m_bar.GetPaneStyle(m_index);
        m_bar.SetPaneStyle(m_index, bOn ? (style & ~SBPS_DISABLED) : (style | SBPS_DISABLED));
    }
    void SetCheck(int nCheck) override
    {
        CCmdUI::SetCheck(nCheck);
        const UINT style = m_bar.GetPaneStyle(m_index);
        m_bar.SetPaneStyle(m_index, nCheck ? (style | SBPS_POPOUT) : (style & ~SBPS_POPOUT));
    }
    void SetText(LPCTSTR lpszText) override
    {
        CCmdUI::SetText(lpszText);
        m_bar.SetPaneText(m_index, lpszText);
    }

private:
    CStatusBar& m_bar;
    int m_index;
};

} // namespace

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    if (pTarget == nullptr)
        return;
    for (int i = 0; i < ItemCount(); ++i) {
        const UINT id = GetItemID(i);
        if (id == ID_SEPARATOR)
            continue;
        CStatusCmdUI state(*this, i);
        state.m_nID = id;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nIndexMax = static_cast<UINT>(ItemCount());
        state.m_pOther = this;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}
