#include "platform/core/resources.h"
#include "platform/ui/commandicons.h"
#include "platform/ui/controlbar.h"
#include "platform/ui/frameworkstrings.h"
#include "platform/ui/uitext.h"

#include <QAction>
#include <QMainWindow>
#include <QToolBar>

#include <map>
#include <mutex>

IMPLEMENT_DYNAMIC(CControlBar, CWnd)
IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace kestrun {

namespace {

struct ToolBarResources
{
    std::mutex mutex;
    std::map<UINT, std::vector<UINT>> bars;
};

ToolBarResources& toolBarResources()
{
    static ToolBarResources instance;
    return instance;
}

// A tool-bar button asked for its state.
class CToolCmdUI : public CCmdUI
{
public:
    explicit CToolCmdUI(QAction& action) : m_action(action) {}
    void Enable(BOOL bOn) override
    {
        CCmdUI::Enable(bOn);
        m_action.setEnabled(bOn != FALSE);
    }
    void SetCheck(int nCheck) override
    {
        CCmdUI::SetCheck(nCheck);
        if (nCheck != 0)
            m_action.setCheckable(true);
        m_action.setChecked(nCheck != 0);
    }
    void SetText(LPCTSTR) override {}

private:
    QAction& m_action;
};

Qt::ToolBarArea areaOf(DWORD style)
{
    if (style & CBRS_ALIGN_BOTTOM)
        return Qt::BottomToolBarArea;
    if (style & CBRS_ALIGN_LEFT)
        return Qt::LeftToolBarArea;
    if (style & CBRS_ALIGN_RIGHT)
        return Qt::RightToolBarArea;
    return Qt::TopToolBarArea;
}

} // namespace

void RegisterToolBarResource(UINT id, std::vector<UINT> commands)
{
    ToolBarResources& r = toolBarResources();
    std::lock_guard lock(r.mutex);
    r.bars[id] = std::move(commands);
}

bool HasToolBarResource(UINT id)
{
    ToolBarResources& r = toolBarResources();
    std::lock_guard lock(r.mutex);
    return r.bars.count(id) != 0;
}

} // namespace kestrun

int CControlBar::GetCount() const
{
    return ItemCount();
}

LRESULT CControlBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if ((message != WM_COMMAND && message != WM_NOTIFY) || HasMessageHandler(message))
        return CWnd::WindowProc(message, wParam, lParam);
    if (message == WM_COMMAND) {
        if (OnCommand(wParam, lParam))
            return TRUE;
    } else {
        LRESULT result = 0;
        if (OnNotify(wParam, lParam, &result))
            return result;
    }
    CWnd* owner = GetOwner();
    return (owner && owner != this) ? owner->SendMessage(message, wParam, lParam) : 0;
}

// ---- CToolBar ------------------------------------------------------------------------

CToolBar::CToolBar() = default;

CToolBar::~CToolBar()
{
    DestroyHandleNow();
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, TBSTYLE_FLAT, dwStyle, CRect(), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD, DWORD dwStyle, CRect, UINT nID)
{
    m_dwBarStyle = dwStyle & (CBRS_ALIGN_ANY | CBRS_TOOLTIPS | CBRS_FLYBY | CBRS_SIZE_DYNAMIC);
    return CWnd::Create("ToolbarWindow32", nullptr, dwStyle | WS_CHILD, CRect(), pParentWnd, nID);
}

QWidget* CToolBar::CreateWidget(QWidget* parent, const CREATESTRUCT& cs)
{
    auto* bar = new QToolBar(parent);
    bar->setObjectName(QString("toolbar-%1").arg(static_cast<qulonglong>(reinterpret_cast<uintptr_t>(cs.hMenu))));
    bar->setIconSize(QSize(16, 16));
    if (auto* window = qobject_cast<QMainWindow*>(parent))
        window->addToolBar(kestrun::areaOf(static_cast<DWORD>(cs.style)), bar);
    return bar;
}

void CToolBar::PlaceChildWidget(CWnd& child, const CRect& rect)
{
    auto* bar = qobject_cast<QToolBar*>(GetWidget());
    QWidget* w = child.GetWidget();
    if (bar && w) {
        for (CButtonEntry& entry : m_buttons) {
            if (entry.id == static_cast<UINT>(child.GetDlgCtrlID()) && (entry.style & TBBS_SEPARATOR) && entry.image > 0 &&
                entry.action) {
                // The child takes the place kept for it.
                QAction* placeholder = entry.action;
                w->setFixedWidth(entry.image);
                entry.action = bar->insertWidget(placeholder, w);
                bar->removeAction(placeholder);
                delete placeholder;
                return;
            }
        }
    }
    CWnd::PlaceChildWidget(child, rect);
}

BOOL CToolBar::LoadToolBar(UINT nIDResource)
{
    std::vector<UINT> commands;
    {
        kestrun::ToolBarResources& r = kestrun::toolBarResources();
        std::lock_guard lock(r.mutex);
        const auto it = r.bars.find(nIDResource);
        if (it == r.bars.end())
            return FALSE;
        commands = it->second;
    }
    return SetButtons(commands.data(), static_cast<int>(commands.size()));
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0)
        return FALSE;
    m_buttons.clear();
    for (int i = 0; i < nIDCount; ++i) {
        CButtonEntry entry;
        entry.id = lpIDArray ? lpIDArray[i] : 0;
        entry.style = entry.id == ID_SEPARATOR ? TBBS_SEPARATOR : TBBS_BUTTON;
        entry.image = i;
        m_buttons.push_back(entry);
    }
    Rebuild();
    return TRUE;
}

void CToolBar::Rebuild()
{
    auto* bar = qobject_cast<QToolBar*>(GetWidget());
    if (bar == nullptr)
        return;
    bar->clear();
    kestrun::EnsureFrameworkStrings();
    for (CButtonEntry& entry : m_buttons) {
        if (entry.style & TBBS_SEPARATOR) {
            if (entry.image > 0 && entry.id != ID_SEPARATOR) {
                auto* gap = new QWidget(bar);
                gap->setFixedWidth(entry.image);
                entry.action = bar->addWidget(gap);
            } else {
                entry.action = bar->addSeparator();
            }
            continue;
        }
        const kestrun::CCommandText text = kestrun::CommandText(entry.id);
        // A button without a picture shows its name instead of nothing.
        entry.action = bar->addAction(kestrun::CommandIcon(entry.id), kestrun::ToQString(text.tip));
        entry.action->setToolTip(kestrun::ToQString(text.tip));
        entry.action->setStatusTip(kestrun::ToQString(text.prompt));
        entry.action->setCheckable((entry.style & TBBS_CHECKBOX) != 0);
        entry.action->setChecked((entry.style & TBBS_CHECKED) != 0);
        entry.action->setEnabled(!(entry.style & TBBS_DISABLED));
        entry.action->setVisible(!(entry.style & TBBS_HIDDEN));
        const UINT id = entry.id;
        QObject::connect(entry.action, &QAction::triggered, entry.action, [this, id] { Pressed(id); });
    }
}

void CToolBar::Pressed(UINT id)
{
    // Tool-bar buttons report to the frame that owns the bar.
    CWnd* target = GetParentFrame();
    if (target == nullptr)
        target = GetParent();
    if (target)
        target->SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), BN_CLICKED), 0);
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size()))
        return;
    CButtonEntry& entry = m_buttons[static_cast<size_t>(nIndex)];
    entry.id = nID;
    entry.style = nStyle;
    entry.image = iImage;
    Rebuild();
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    nID = nStyle = 0;
    iImage = 0;
    if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size()))
        return;
    const CButtonEntry& entry = m_buttons[static_cast<size_t>(nIndex)];
    nID = entry.id;
    nStyle = GetButtonStyle(nIndex);
    iImage = entry.image;
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size()))
        return 0;
    const CButtonEntry& entry = m_buttons[static_cast<size_t>(nIndex)];
    UINT style = entry.style & ~(TBBS_CHECKED | TBBS_DISABLED);
    if (entry.action && !(entry.style & TBBS_SEPARATOR)) {
        if (entry.action->isChecked())
            style |= TBBS_CHECKED;
        if (!entry.action->isEnabled())
            style |= TBBS_DISABLED;
    }
    return style;
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size()))
        return;
    CButtonEntry& entry = m_buttons[static_cast<size_t>(nIndex)];
    const bool wasSeparator = (entry.style & TBBS_SEPARATOR) != 0;
    entry.style = nStyle;
    if (wasSeparator != ((nStyle & TBBS_SEPARATOR) != 0) || entry.action == nullptr) {
        Rebuild();
        return;
    }
    if (!wasSeparator) {
        entry.action->setCheckable((nStyle & (TBBS_CHECKBOX | TBBS_CHECKED)) != 0);
        entry.action->setChecked((nStyle & TBBS_CHECKED) != 0);
        entry.action->setEnabled(!(nStyle & TBBS_DISABLED));
        entry.action->setVisible(!(nStyle & TBBS_HIDDEN));
    }
}

UINT CToolBar::GetItemID(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size()))
        return 0;
    return m_buttons[static_cast<size_t>(nIndex)].id;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        if (m_buttons[i].id == nIDFind)
            return static_cast<int>(i);
    }
    return -1;
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    if (lpRect == nullptr)
        return;
    *lpRect = CRect();
    auto* bar = qobject_cast<QToolBar*>(GetWidget());
    if (bar == nullptr || nIndex < 0 || nIndex >= static_cast<int>(m_buttons.size()))
        return;
    QAction* action = m_buttons[static_cast<size_t>(nIndex)].action;
    if (QWidget* w = action ? bar->widgetForAction(action) : nullptr) {
        const QRect g = w->geometry();
        *lpRect = CRect(g.left(), g.top(), g.left() + g.width(), g.top() + g.height());
    }
}

void CToolBar::SetSizes(SIZE, SIZE sizeImage)
{
    if (auto* bar = qobject_cast<QToolBar*>(GetWidget()))
        bar->setIconSize(QSize(sizeImage.cx, sizeImage.cy));
}

void CToolBar::SetHeight(int cyHeight)
{
    if (QWidget* w = GetWidget())
        w->setMinimumHeight(cyHeight);
}

void CToolBar::SetWidgetText(const CString& text)
{
    if (QWidget* w = GetWidget())
        w->setWindowTitle(kestrun::ToQString(text));
}

CString CToolBar::GetWidgetText() const
{
    QWidget* w = GetWidget();
    return w ? kestrun::FromQString(w->windowTitle()) : CString();
}

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    if (pTarget == nullptr)
        return;
    for (size_t i = 0; i < m_buttons.size(); ++i) {
        CButtonEntry& entry = m_buttons[i];
        if ((entry.style & TBBS_SEPARATOR) || entry.action == nullptr)
            continue;
        kestrun::CToolCmdUI state(*entry.action);
        state.m_nID = entry.id;
        state.m_nIndex = static_cast<UINT>(i);
        state.m_nIndexMax = static_cast<UINT>(m_buttons.size());
        state.m_pOther = this;
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}
