#include "platform/ui/menu.h"

#include "platform/core/exceptions.h"
#include "platform/ui/frame.h"
#include "platform/ui/uitext.h"
#include "platform/ui/wnd.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>

#include <map>
#include <mutex>

IMPLEMENT_DYNAMIC(CMenu, CObject)

namespace kestrun {

// Runs one item's update handlers through the frame, reporting any error.
void GuardedMenuUpdate(CCmdUI& state, CFrameWnd& frame);

struct CMenuData
{
    struct Item
    {
        UINT flags = 0;
        UINT id = 0;
        CString text;
        std::shared_ptr<CMenuData> sub;
        std::shared_ptr<CMenu> wrapper; // what GetSubMenu hands out
    };

    CMenuData();
    ~CMenuData();
    CMenuData(const CMenuData&) = delete;
    CMenuData& operator=(const CMenuData&) = delete;

    // The item by command id (searching pop-ups too) or by position.
    Item* Find(UINT position, UINT flags);
    HMENU Handle() { return reinterpret_cast<HMENU>(this); }

    std::vector<Item> items;
};

namespace {

struct MenuRegistry
{
    std::mutex mutex;
    std::map<HMENU, std::weak_ptr<CMenuData>> live;
    std::map<UINT, std::vector<CMenuResourceItem>> resources;
};

MenuRegistry& menuRegistry()
{
    static MenuRegistry instance;
    return instance;
}

std::shared_ptr<CMenuData> dataOfHandle(HMENU handle)
{
    MenuRegistry& r = menuRegistry();
    std::lock_guard lock(r.mutex);
    const auto it = r.live.find(handle);
    return it == r.live.end() ? nullptr : it->second.lock();
}

std::shared_ptr<CMenuData> newMenuData()
{
    auto data = std::make_shared<CMenuData>();
    MenuRegistry& r = menuRegistry();
    std::lock_guard lock(r.mutex);
    r.live[data->Handle()] = data;
    return data;
}

std::shared_ptr<CMenuData> buildFromResource(const std::vector<CMenuResourceItem>& items)
{
    auto data = newMenuData();
    for (const CMenuResourceItem& entry : items) {
        CMenuData::Item item;
        item.text = entry.text;
        if (entry.separator) {
            item.flags = MF_SEPARATOR;
        } else if (!entry.popup.empty()) {
            item.flags = MF_POPUP;
            item.sub = buildFromResource(entry.popup);
        } else {
            item.id = entry.id;
        }
        data->items.push_back(std::move(item));
    }
    return data;
}

// A menu item asked for its state before its menu opens.
class CMenuItemCmdUI : public CCmdUI
{
public:
    CMenuItemCmdUI(CMenuData::Item& item, QAction& action) : m_item(item), m_action(action) {}

    void Enable(BOOL bOn) override
    {
        CCmdUI::Enable(bOn);
        m_item.flags = bOn ? (m_item.flags & ~(MF_GRAYED | MF_DISABLED)) : (m_item.flags | MF_GRAYED);
        m_action.setEnabled(bOn != FALSE);
    }
    void SetCheck(int nCheck) override
    {
        CCmdUI::SetCheck(nCheck);
        m_item.flags = nCheck ? (m_item.flags | MF_CHECKED) : (m_item.flags & ~MF_CHECKED);
        m_action.setCheckable(nCheck != 0 || m_action.isCheckable());
        m_action.setChecked(nCheck != 0);
    }
    void SetText(LPCTSTR lpszText) override
    {
        CCmdUI::SetText(lpszText);
        m_item.text = lpszText ? lpszText : "";
        m_action.setText(ToQString(m_item.text));
    }

private:
    CMenuData::Item& m_item;
    QAction& m_action;
};

void applyText(QAction& action, const CString& text)
{
    const int tab = text.Find('\t');
    if (tab < 0) {
        action.setText(ToQString(text));
        return;
    }
    action.setText(ToQString(text.Left(tab)));
    const QKeySequence keys = QKeySequence::fromString(ToQString(text.Mid(tab + 1)), QKeySequence::PortableText);
    if (!keys.isEmpty()) {
        action.setShortcut(keys);
        action.setShortcutContext(Qt::WindowShortcut);
    }
}

void fill(QMenu& menu, const std::shared_ptr<CMenuData>& data, CWnd* owner)
{
    const HWND target = owner ? owner->m_hWnd : nullptr;
    for (CMenuData::Item& item : data->items) {
        if (item.flags & MF_SEPARATOR) {
            menu.addSeparator();
            continue;
        }
        if ((item.flags & MF_POPUP) && item.sub) {
            QMenu* sub = menu.addMenu(ToQString(item.text));
            sub->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
            fill(*sub, item.sub, owner);
            continue;
        }
        QAction* action = menu.addAction(QString());
        applyText(*action, item.text);
        action->setData(item.id);
        action->setEnabled(!(item.flags & (MF_GRAYED | MF_DISABLED)));
        if (item.flags & MF_CHECKED) {
            action->setCheckable(true);
            action->setChecked(true);
        }
        const UINT id = item.id;
        QObject::connect(action, &QAction::triggered, action, [target, id] {
            // Like the system's menus: the command arrives after the menu closed.
            if (target)
                ::PostMessage(target, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
        });
    }

    // Frames ask the command route for each item's state before it shows.
    auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, owner);
    if (frame == nullptr)
        return;
    std::weak_ptr<CMenuData> weak = data;
    QPointer<QMenu> guard(&menu);
    QObject::connect(&menu, &QMenu::aboutToShow, &menu, [weak, guard, target] {
        const std::shared_ptr<CMenuData> menuData = weak.lock();
        auto* frameWnd = DYNAMIC_DOWNCAST(CFrameWnd, CWnd::FromHandle(target));
        if (!menuData || !guard || frameWnd == nullptr)
            return;
        const QList<QAction*> actions = guard->actions();
        size_t next = 0;
        for (QAction* action : actions) {
            // Actions follow the items one to one.
            if (next >= menuData->items.size())
                break;
            CMenuData::Item& item = menuData->items[next++];
            if (item.flags & (MF_SEPARATOR | MF_POPUP) || action->isSeparator())
                continue;
            CMenuItemCmdUI state(item, *action);
            state.m_nID = item.id;
            state.m_nIndex = static_cast<UINT>(next - 1);
            state.m_nIndexMax = static_cast<UINT>(menuData->items.size());
            GuardedMenuUpdate(state, *frameWnd);
        }
    });
}

} // namespace

void GuardedMenuUpdate(CCmdUI& state, CFrameWnd& frame)
{
    try {
        state.DoUpdate(&frame, frame.m_bAutoMenuEnable);
    } catch (const CException& e) {
        e.ReportError();
    } catch (const std::exception& e) {
        AfxMessageBox(e.what(), MB_ICONERROR);
    }
}

CMenuData::CMenuData() = default;

CMenuData::~CMenuData()
{
    MenuRegistry& r = menuRegistry();
    std::lock_guard lock(r.mutex);
    r.live.erase(Handle());
}

CMenuData::Item* CMenuData::Find(UINT position, UINT flags)
{
    if (flags & MF_BYPOSITION)
        return position < items.size() ? &items[position] : nullptr;
    for (Item& item : items) {
        if (!(item.flags & (MF_POPUP | MF_SEPARATOR)) && item.id == position)
            return &item;
        if (item.sub) {
            if (Item* found = item.sub->Find(position, flags))
                return found;
        }
    }
    return nullptr;
}

CMenuResourceItem MenuItem(const char* text, UINT id)
{
    CMenuResourceItem item;
    item.text = text;
    item.id = id;
    return item;
}

CMenuResourceItem MenuSeparator()
{
    CMenuResourceItem item;
    item.separator = true;
    return item;
}

CMenuResourceItem Popup(const char* text, std::vector<CMenuResourceItem> items)
{
    CMenuResourceItem item;
    item.text = text;
    item.popup = std::move(items);
    return item;
}

void RegisterMenuResource(UINT id, std::vector<CMenuResourceItem> items)
{
    MenuRegistry& r = menuRegistry();
    std::lock_guard lock(r.mutex);
    r.resources[id] = std::move(items);
}

bool HasMenuResource(UINT id)
{
    MenuRegistry& r = menuRegistry();
    std::lock_guard lock(r.mutex);
    return r.resources.count(id) != 0;
}

} // namespace kestrun

using kestrun::CMenuData;

CMenu::CMenu() = default;

CMenu::CMenu(std::shared_ptr<CMenuData> data)
{
    Attach(std::move(data));
}

CMenu::~CMenu() = default;

void CMenu::Attach(std::shared_ptr<CMenuData> data)
{
    m_data = std::move(data);
    m_hMenu = m_data ? m_data->Handle() : nullptr;
}

BOOL CMenu::CreateMenu()
{
    if (m_data)
        return FALSE;
    Attach(kestrun::newMenuData());
    return TRUE;
}

BOOL CMenu::CreatePopupMenu()
{
    return CreateMenu();
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    std::vector<kestrun::CMenuResourceItem> items;
    {
        kestrun::MenuRegistry& r = kestrun::menuRegistry();
        std::lock_guard lock(r.mutex);
        const auto it = r.resources.find(nIDResource);
        if (it == r.resources.end())
            return FALSE;
        items = it->second;
    }
    Attach(kestrun::buildFromResource(items));
    return TRUE;
}

BOOL CMenu::DestroyMenu()
{
    if (!m_data)
        return FALSE;
    Attach(nullptr);
    return TRUE;
}

BOOL CMenu::AppendMenu(UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    return InsertMenu(static_cast<UINT>(-1), nFlags | MF_BYPOSITION, nIDNewItem, lpszNewItem);
}

BOOL CMenu::InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    if (!m_data)
        return FALSE;
    CMenuData::Item item;
    item.flags = nFlags & ~MF_BYPOSITION;
    item.text = lpszNewItem ? lpszNewItem : "";
    if (nFlags & MF_POPUP) {
        item.sub = kestrun::dataOfHandle(reinterpret_cast<HMENU>(nIDNewItem));
        if (!item.sub || item.sub == m_data)
            return FALSE;
    } else if (!(nFlags & MF_SEPARATOR)) {
        item.id = static_cast<UINT>(nIDNewItem);
    }
    auto& items = m_data->items;
    size_t at = items.size();
    if (nFlags & MF_BYPOSITION) {
        if (nPosition < items.size())
            at = nPosition;
    } else {
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].id == nPosition && !(items[i].flags & (MF_POPUP | MF_SEPARATOR))) {
                at = i;
                break;
            }
        }
    }
    items.insert(items.begin() + static_cast<std::ptrdiff_t>(at), std::move(item));
    return TRUE;
}

BOOL CMenu::ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem, LPCTSTR lpszNewItem)
{
    if (!m_data)
        return FALSE;
    CMenuData::Item* item = m_data->Find(nPosition, nFlags);
    if (item == nullptr)
        return FALSE;
    item->flags = nFlags & ~MF_BYPOSITION;
    item->text = lpszNewItem ? lpszNewItem : "";
    item->sub.reset();
    item->wrapper.reset();
    item->id = 0;
    if (nFlags & MF_POPUP)
        item->sub = kestrun::dataOfHandle(reinterpret_cast<HMENU>(nIDNewItem));
    else if (!(nFlags & MF_SEPARATOR))
        item->id = static_cast<UINT>(nIDNewItem);
    return TRUE;
}

BOOL CMenu::RemoveMenu(UINT nPosition, UINT nFlags)
{
    if (!m_data)
        return FALSE;
    auto& items = m_data->items;
    for (size_t i = 0; i < items.size(); ++i) {
        const bool match = (nFlags & MF_BYPOSITION) ? i == nPosition
                                                    : (items[i].id == nPosition && !(items[i].flags & (MF_POPUP | MF_SEPARATOR)));
        if (match) {
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i));
            return TRUE;
        }
    }
    return FALSE;
}

UINT CMenu::EnableMenuItem(UINT nIDEnableItem, UINT nEnable)
{
    CMenuData::Item* item = m_data ? m_data->Find(nIDEnableItem, nEnable) : nullptr;
    if (item == nullptr)
        return 0xFFFFFFFF;
    const UINT old = item->flags & (MF_GRAYED | MF_DISABLED);
    item->flags = (item->flags & ~(MF_GRAYED | MF_DISABLED)) | (nEnable & (MF_GRAYED | MF_DISABLED));
    return old;
}

UINT CMenu::CheckMenuItem(UINT nIDCheckItem, UINT nCheck)
{
    CMenuData::Item* item = m_data ? m_data->Find(nIDCheckItem, nCheck) : nullptr;
    if (item == nullptr)
        return 0xFFFFFFFF;
    const UINT old = item->flags & MF_CHECKED;
    item->flags = (item->flags & ~MF_CHECKED) | (nCheck & MF_CHECKED);
    return old;
}

UINT CMenu::GetMenuState(UINT nID, UINT nFlags) const
{
    CMenuData::Item* item = m_data ? m_data->Find(nID, nFlags) : nullptr;
    if (item == nullptr)
        return 0xFFFFFFFF;
    if (item->sub)
        return (static_cast<UINT>(item->sub->items.size()) << 8) | (item->flags & 0xFF);
    return item->flags;
}

int CMenu::GetMenuItemCount() const
{
    return m_data ? static_cast<int>(m_data->items.size()) : -1;
}

UINT CMenu::GetMenuItemID(int nPos) const
{
    if (!m_data || nPos < 0 || nPos >= GetMenuItemCount())
        return 0xFFFFFFFF;
    const CMenuData::Item& item = m_data->items[static_cast<size_t>(nPos)];
    if (item.flags & MF_POPUP)
        return 0xFFFFFFFF;
    return (item.flags & MF_SEPARATOR) ? 0 : item.id;
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    CMenuData::Item* item = m_data ? m_data->Find(nIDItem, nFlags) : nullptr;
    rString = item ? item->text : CString();
    return rString.GetLength();
}

CMenu* CMenu::GetSubMenu(int nPos) const
{
    if (!m_data || nPos < 0 || nPos >= GetMenuItemCount())
        return nullptr;
    CMenuData::Item& item = m_data->items[static_cast<size_t>(nPos)];
    if (!item.sub)
        return nullptr;
    if (!item.wrapper)
        item.wrapper.reset(new CMenu(item.sub));
    return item.wrapper.get();
}

void CMenu::FillQMenuBar(QMenuBar& bar, CWnd* owner) const
{
    for (int i = 0; i < GetMenuItemCount(); ++i) {
        CString text;
        GetMenuString(static_cast<UINT>(i), text, MF_BYPOSITION);
        if (CMenu* sub = GetSubMenu(i)) {
            QMenu* menu = bar.addMenu(kestrun::ToQString(text));
            sub->FillQMenu(*menu, owner);
        } else if (const UINT id = GetMenuItemID(i); id != 0 && id != 0xFFFFFFFF) {
            QAction* action = bar.addAction(kestrun::ToQString(text));
            const HWND target = owner != nullptr ? owner->GetSafeHwnd() : nullptr;
            QObject::connect(action, &QAction::triggered, action, [target, id] {
                ::PostMessage(target, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(id), 0), 0);
            });
        }
    }
}

void CMenu::FillQMenu(QMenu& menu, CWnd* owner) const
{
    if (m_data)
        kestrun::fill(menu, m_data, owner);
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT)
{
    if (!m_data)
        return FALSE;
    QMenu menu;
    kestrun::fill(menu, m_data, (nFlags & TPM_RETURNCMD) ? nullptr : pWnd);
    if (nFlags & TPM_RETURNCMD) {
        // Update handlers still run through the owner when it is a frame.
        if (auto* frame = DYNAMIC_DOWNCAST(CFrameWnd, pWnd)) {
            QMenu probe;
            kestrun::fill(probe, m_data, frame);
            Q_EMIT probe.aboutToShow();
            const QList<QAction*> source = probe.actions();
            const QList<QAction*> target = menu.actions();
            for (qsizetype i = 0; i < source.size() && i < target.size(); ++i) {
                target[i]->setEnabled(source[i]->isEnabled());
                target[i]->setCheckable(source[i]->isCheckable());
                target[i]->setChecked(source[i]->isChecked());
                target[i]->setText(source[i]->text());
            }
        }
    }
    QAction* chosen = menu.exec(QPoint(x, y));
    if (nFlags & TPM_RETURNCMD)
        return (chosen && !chosen->menu()) ? static_cast<BOOL>(chosen->data().toUInt()) : 0;
    return TRUE;
}
