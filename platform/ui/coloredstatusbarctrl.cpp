#include "platform/ui/coloredstatusbarctrl.h"

#include "platform/core/dc.h"
#include "platform/ui/qtdc.h"
#include "platform/ui/systemlook.h"
#include "platform/ui/widgetbridge.h"

#include <QChildEvent>
#include <QEvent>
#include <QLabel>
#include <QPainter>

IMPLEMENT_DYNAMIC(CColoredStatusBarCtrl, CStatusBar)

// The status bar's panes are labels inside the bar; this watcher follows
// them as they come and paints the owner-drawn ones before the label
// draws its frame.
class CColoredStatusBarCtrl::CPaneWatcher : public QObject
{
public:
    explicit CPaneWatcher(CColoredStatusBarCtrl& bar) : m_bar(bar) {}

    void Watch(QObject* object)
    {
        object->installEventFilter(this);
        for (QObject* child : object->children())
            Watch(child);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::ChildAdded) {
            if (QObject* child = static_cast<QChildEvent*>(event)->child(); child && child->isWidgetType())
                Watch(child);
        } else if (event->type() == QEvent::Paint) {
            if (auto* label = qobject_cast<QLabel*>(watched))
                Paint(*label);
        }
        return false;
    }

private:
    // The pane of a label: its place among the labels of its row.
    static int PaneOf(const QLabel& label)
    {
        int index = 0;
        for (const QObject* sibling : label.parent()->children()) {
            if (sibling == &label)
                return index;
            if (qobject_cast<const QLabel*>(sibling))
                ++index;
        }
        return -1;
    }

    void Paint(QLabel& label)
    {
        const int pane = PaneOf(label);
        if (pane < 0 || !m_bar.IsOwnerDrawn(pane))
            return;
        const CString text = m_bar.GetPaneText(pane);
        QPainter painter(&label);
        CQtDC dc(painter);
        CFont font;
        SelectControlFont(&dc, &m_bar, font);
        DRAWITEMSTRUCT item{};
        item.CtlID = static_cast<UINT>(m_bar.GetDlgCtrlID());
        item.itemID = static_cast<UINT>(pane);
        item.itemAction = ODA_DRAWENTIRE;
        item.hwndItem = m_bar.m_hWnd;
        item.hDC = &dc;
        item.rcItem = CRect(0, 0, label.width(), label.height());
        item.itemData = reinterpret_cast<ULONG_PTR>(text.GetString());
        kestrun::GuardedCall([&] { m_bar.DrawItem(&item); });
    }

    CColoredStatusBarCtrl& m_bar;
};

CColoredStatusBarCtrl::CColoredStatusBarCtrl() = default;

CColoredStatusBarCtrl::~CColoredStatusBarCtrl()
{
    DestroyHandleNow();
}

QWidget* CColoredStatusBarCtrl::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    QWidget* bar = CStatusBar::CreateWidget(parent, cs);
    if (bar) {
        m_watcher = std::make_unique<CPaneWatcher>(*this);
        m_watcher->Watch(bar);
    }
    return bar;
}

bool CColoredStatusBarCtrl::IsOwnerDrawn(int nPane) const
{
    if (nPane < 0 || nPane >= GetCount())
        return false;
    int type = 0;
    GetStatusBarCtrl().GetText(nPane, &type);
    return ((GetPaneStyle(nPane) | static_cast<UINT>(type)) & SBPS_OWNERDRAW) != 0;
}

void CColoredStatusBarCtrl::SetPane4Text(LPCTSTR lpszText)
{
    m_strPane4Text = lpszText ? lpszText : "";
    if (GetCount() > 3)
        SetPaneText(3, GetPaneText(3)); // repaints the pane
}

void CColoredStatusBarCtrl::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = lpDrawItemStruct ? lpDrawItemStruct->hDC : nullptr;
    if (pDC == nullptr)
        return;
    const CRect rect(lpDrawItemStruct->rcItem);
    const auto* paneText = reinterpret_cast<const char*>(lpDrawItemStruct->itemData);
    CString text = paneText ? paneText : "";
    const int saved = pDC->SaveDC();
    pDC->SetBkMode(OPAQUE);
    switch (lpDrawItemStruct->itemID) {
    case 0:
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkColor(RGB(255, 75, 75));
        break;
    case 1:
        pDC->SetTextColor(RGB(255, 0, 0));
        break;
    case 2:
        pDC->SetTextColor(RGB(0, 128, 64));
        break;
    case 3:
        pDC->SetTextColor(RGB(0, 0, 0));
        text = m_strPane4Text;
        break;
    default:
        pDC->RestoreDC(saved);
        return;
    }
    pDC->TextOut(rect.left + 2, rect.top, text);
    pDC->RestoreDC(saved);
}
