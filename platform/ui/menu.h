#pragma once
// Menus: a tree of items (text, command id, flags, pop-ups) that a frame
// shows as its menu bar and TrackPopupMenu shows as a context menu. Before
// a menu opens, each item asks the command route for its state (CCmdUI);
// choosing an item posts WM_COMMAND with its id to the owner window.
//
// Menu resources are registered in code by id, from the command ids and
// texts the program gives them:
//
//     kestrun::RegisterMenuResource(20, {
//         kestrun::Popup("&File", {
//             kestrun::MenuItem("&Open...\tCtrl+O", ID_FILE_OPEN),
//             kestrun::MenuSeparator(),
//             kestrun::MenuItem("E&xit", ID_APP_EXIT),
//         }),
//     });

#include "platform/core/cstring.h"
#include "platform/core/object.h"
#include "platform/ui/windefs.h"

#include <memory>
#include <vector>

class CWnd;
class QMenu;
class QMenuBar;

inline constexpr UINT MF_STRING = 0x0;
inline constexpr UINT MF_ENABLED = 0x0;
inline constexpr UINT MF_UNCHECKED = 0x0;
inline constexpr UINT MF_BYCOMMAND = 0x0;
inline constexpr UINT MF_GRAYED = 0x1;
inline constexpr UINT MF_DISABLED = 0x2;
inline constexpr UINT MF_CHECKED = 0x8;
inline constexpr UINT MF_POPUP = 0x10;
inline constexpr UINT MF_BYPOSITION = 0x400;
inline constexpr UINT MF_SEPARATOR = 0x800;
inline constexpr UINT MF_DEFAULT = 0x1000;

inline constexpr UINT TPM_LEFTALIGN = 0x0;
inline constexpr UINT TPM_LEFTBUTTON = 0x0;
inline constexpr UINT TPM_RIGHTBUTTON = 0x2;
inline constexpr UINT TPM_CENTERALIGN = 0x4;
inline constexpr UINT TPM_RIGHTALIGN = 0x8;
inline constexpr UINT TPM_NONOTIFY = 0x80;
inline constexpr UINT TPM_RETURNCMD = 0x100;

namespace kestrun {
struct CMenuData;

struct CMenuResourceItem
{
    CString text;
    UINT id = 0;
    bool separator = false;
    std::vector<CMenuResourceItem> popup;
};

CMenuResourceItem MenuItem(const char* text, UINT id);
CMenuResourceItem MenuSeparator();
CMenuResourceItem Popup(const char* text, std::vector<CMenuResourceItem> items);

void RegisterMenuResource(UINT id, std::vector<CMenuResourceItem> items);
bool HasMenuResource(UINT id);
} // namespace kestrun

class CMenu : public CObject
{
    DECLARE_DYNAMIC(CMenu)

public:
    CMenu();
    ~CMenu() override;
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    BOOL CreateMenu();
    BOOL CreatePopupMenu();
    // FALSE when no menu resource has the id.
    BOOL LoadMenu(UINT nIDResource);
    BOOL DestroyMenu();
    HMENU GetSafeHmenu() const { return m_hMenu; }
    HMENU m_hMenu = nullptr;

    // With MF_POPUP, nIDNewItem is the m_hMenu of the pop-up menu, which
    // then belongs to this menu as well.
    BOOL AppendMenu(UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL InsertMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL ModifyMenu(UINT nPosition, UINT nFlags, UINT_PTR nIDNewItem = 0, LPCTSTR lpszNewItem = nullptr);
    BOOL RemoveMenu(UINT nPosition, UINT nFlags);
    BOOL DeleteMenu(UINT nPosition, UINT nFlags) { return RemoveMenu(nPosition, nFlags); }
    // Both answer the previous state, 0xFFFFFFFF when the item is missing.
    UINT EnableMenuItem(UINT nIDEnableItem, UINT nEnable);
    UINT CheckMenuItem(UINT nIDCheckItem, UINT nCheck);
    UINT GetMenuState(UINT nID, UINT nFlags) const;
    int GetMenuItemCount() const;
    // 0 for a separator, 0xFFFFFFFF for a pop-up or a missing item.
    UINT GetMenuItemID(int nPos) const;
    int GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const;
    // The pop-up at a position, or null; valid as long as this menu.
    CMenu* GetSubMenu(int nPos) const;

    // Shows the menu at a screen point; the chosen item's WM_COMMAND is
    // posted to pWnd, or, with TPM_RETURNCMD, the id is answered instead.
    BOOL TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect = nullptr);

    // Makes this object another handle of the same menu.
    void ShareData(const CMenu& other) { Attach(other.m_data); }

    // The menu's items as Qt shows them; commands go to owner.
    void FillQMenu(QMenu& menu, CWnd* owner) const;
    // The same as a menu bar: pop-ups open, plain items post their command
    // to owner.
    void FillQMenuBar(QMenuBar& bar, CWnd* owner) const;
    std::shared_ptr<kestrun::CMenuData> Data() const { return m_data; }

private:
    explicit CMenu(std::shared_ptr<kestrun::CMenuData> data);
    void Attach(std::shared_ptr<kestrun::CMenuData> data);

    std::shared_ptr<kestrun::CMenuData> m_data;
};
