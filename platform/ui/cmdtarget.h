#pragma once
// Command targets: objects that take menu commands, control notifications
// and update requests by command id. Each class fills its tables in its
// constructor; the BEGIN_MESSAGE_MAP ... END_MESSAGE_MAP block defines the
// function that does it, so a class reads as it did with message maps:
//
//     // header:  DECLARE_MESSAGE_MAP()
//     BEGIN_MESSAGE_MAP(CMyView, CView)
//         ON_COMMAND(ID_EDIT_COPY, OnEditCopy)
//         ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, OnUpdateEditCopy)
//     END_MESSAGE_MAP()
//     CMyView::CMyView() { BuildMessageMap(); }
//
// A later registration of the same id and code replaces an earlier one, so
// a derived class overrides the entries of its bases.

#include "platform/core/object.h"
#include "platform/ui/windefs.h"

#include <functional>
#include <type_traits>
#include <vector>

class CCmdTarget;
class CMenu;
class CWnd;

// Filled by OnCmdMsg when it is only asked whether a handler exists.
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget = nullptr;
};

// One menu item, tool-bar button or status pane being asked for its state.
// The base records what the handlers set; the bars and menus derive from
// it to show the state.
class CCmdUI
{
public:
    CCmdUI() = default;
    virtual ~CCmdUI() = default;
    CCmdUI(const CCmdUI&) = delete;
    CCmdUI& operator=(const CCmdUI&) = delete;

    virtual void Enable(BOOL bOn = TRUE);
    // 0 unchecked, 1 checked, 2 indeterminate.
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);
    // Lets the next target in the route handle the update as well.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Asks target for the state. Without an update handler the item is
    // enabled when some target takes the command and, with
    // bDisableIfNoHndler, disabled when none does.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);

    UINT m_nID = 0;
    UINT m_nIndex = 0;
    UINT m_nIndexMax = 0;
    CMenu* m_pMenu = nullptr;
    CMenu* m_pSubMenu = nullptr;
    CWnd* m_pOther = nullptr;
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    // The state the handlers left.
    BOOL m_bEnabled = TRUE;
    int m_nCheck = 0;
    BOOL m_bTextChanged = FALSE;
    CString m_strText;
};

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)

public:
    CCmdTarget() = default;
    ~CCmdTarget() override = default;
    CCmdTarget(const CCmdTarget&) = delete;
    CCmdTarget& operator=(const CCmdTarget&) = delete;

    // Handles a command (nCode CN_COMMAND or a control notification code),
    // or an update (CN_UPDATE_COMMAND_UI with a CCmdUI* in pExtra). With
    // pHandlerInfo only tells whether a handler exists. Derived classes
    // route on to the targets behind them.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    void BeginWaitCursor();
    void EndWaitCursor();
    void RestoreWaitCursor();

    // Automation is the script host's business; kept for the callers.
    void EnableAutomation() {}

    using CommandHandler = std::function<BOOL(UINT nID)>;
    using UpdateHandler = std::function<void(CCmdUI* pCmdUI)>;
    using NotifyHandler = std::function<void(UINT nID, NMHDR* pNMHDR, LRESULT* pResult)>;

protected:
    // The tables. Handlers of commands answer whether they took it.
    void AddCommandHandler(UINT nFirst, UINT nLast, int nCode, CommandHandler handler);
    void AddUpdateHandler(UINT nFirst, UINT nLast, UpdateHandler handler);
    void AddNotifyHandler(UINT nCode, UINT nFirst, UINT nLast, NotifyHandler handler);
    // The handler of a WM_NOTIFY from control nID; false when none.
    bool DispatchNotify(UINT nCode, UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

    template <class T>
    void RegisterCommand(UINT nID, void (T::*fn)(), int nCode = CN_COMMAND)
    {
        T* self = static_cast<T*>(this);
        AddCommandHandler(nID, nID, nCode, [self, fn](UINT) { (self->*fn)(); return TRUE; });
    }
    template <class T>
    void RegisterCommandEx(UINT nID, BOOL (T::*fn)(UINT))
    {
        T* self = static_cast<T*>(this);
        AddCommandHandler(nID, nID, CN_COMMAND, [self, fn](UINT id) { return (self->*fn)(id); });
    }
    template <class T>
    void RegisterCommandRange(UINT nFirst, UINT nLast, void (T::*fn)(UINT), int nCode = CN_COMMAND)
    {
        T* self = static_cast<T*>(this);
        AddCommandHandler(nFirst, nLast, nCode, [self, fn](UINT id) { (self->*fn)(id); return TRUE; });
    }
    template <class T>
    void RegisterUpdate(UINT nFirst, UINT nLast, void (T::*fn)(CCmdUI*))
    {
        T* self = static_cast<T*>(this);
        AddUpdateHandler(nFirst, nLast, [self, fn](CCmdUI* ui) { (self->*fn)(ui); });
    }
    template <class T>
    void RegisterNotify(UINT nCode, UINT nID, void (T::*fn)(NMHDR*, LRESULT*))
    {
        T* self = static_cast<T*>(this);
        AddNotifyHandler(nCode, nID, nID, [self, fn](UINT, NMHDR* hdr, LRESULT* result) { (self->*fn)(hdr, result); });
    }
    template <class T>
    void RegisterNotifyRange(UINT nCode, UINT nFirst, UINT nLast, void (T::*fn)(UINT, NMHDR*, LRESULT*))
    {
        T* self = static_cast<T*>(this);
        AddNotifyHandler(nCode, nFirst, nLast,
                         [self, fn](UINT id, NMHDR* hdr, LRESULT* result) { (self->*fn)(id, hdr, result); });
    }

private:
    struct CCommandEntry
    {
        UINT first;
        UINT last;
        int code;
        CommandHandler handler;
    };
    struct CUpdateEntry
    {
        UINT first;
        UINT last;
        UpdateHandler handler;
    };
    struct CNotifyEntry
    {
        UINT code;
        UINT first;
        UINT last;
        NotifyHandler handler;
    };

    std::vector<CCommandEntry> m_commands;
    std::vector<CUpdateEntry> m_updates;
    std::vector<CNotifyEntry> m_notifies;
    int m_nWaitCursors = 0;
};

// Shows the wait cursor for its lifetime.
class CWaitCursor
{
public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
    void Restore() {}
};

// ---- message-map macros ---------------------------------------------------

#define DECLARE_MESSAGE_MAP() \
protected:                    \
    void BuildMessageMap();

#define BEGIN_MESSAGE_MAP(theClass, baseClass)      \
    void theClass::BuildMessageMap()                \
    {                                               \
        using ThisClass = theClass;                 \
        static_assert(std::is_base_of_v<baseClass, theClass>);

#define END_MESSAGE_MAP() }

#define ON_COMMAND(id, memberFxn) RegisterCommand<ThisClass>((id), &ThisClass::memberFxn);
#define ON_COMMAND_EX(id, memberFxn) RegisterCommandEx<ThisClass>((id), &ThisClass::memberFxn);
#define ON_COMMAND_RANGE(idFirst, idLast, memberFxn) \
    RegisterCommandRange<ThisClass>((idFirst), (idLast), &ThisClass::memberFxn);
#define ON_UPDATE_COMMAND_UI(id, memberFxn) RegisterUpdate<ThisClass>((id), (id), &ThisClass::memberFxn);
#define ON_UPDATE_COMMAND_UI_RANGE(idFirst, idLast, memberFxn) \
    RegisterUpdate<ThisClass>((idFirst), (idLast), &ThisClass::memberFxn);
#define ON_CONTROL(code, id, memberFxn) RegisterCommand<ThisClass>((id), &ThisClass::memberFxn, static_cast<int>(code));
#define ON_BN_CLICKED(id, memberFxn) ON_CONTROL(BN_CLICKED, id, memberFxn)
#define ON_BN_DOUBLECLICKED(id, memberFxn) ON_CONTROL(BN_DOUBLECLICKED, id, memberFxn)
#define ON_EN_CHANGE(id, memberFxn) ON_CONTROL(EN_CHANGE, id, memberFxn)
#define ON_EN_KILLFOCUS(id, memberFxn) ON_CONTROL(EN_KILLFOCUS, id, memberFxn)
#define ON_EN_SETFOCUS(id, memberFxn) ON_CONTROL(EN_SETFOCUS, id, memberFxn)
#define ON_CBN_SELCHANGE(id, memberFxn) ON_CONTROL(CBN_SELCHANGE, id, memberFxn)
#define ON_CBN_SELENDOK(id, memberFxn) ON_CONTROL(CBN_SELENDOK, id, memberFxn)
#define ON_CBN_EDITCHANGE(id, memberFxn) ON_CONTROL(CBN_EDITCHANGE, id, memberFxn)
#define ON_CBN_DBLCLK(id, memberFxn) ON_CONTROL(CBN_DBLCLK, id, memberFxn)
#define ON_LBN_SELCHANGE(id, memberFxn) ON_CONTROL(LBN_SELCHANGE, id, memberFxn)
#define ON_LBN_DBLCLK(id, memberFxn) ON_CONTROL(LBN_DBLCLK, id, memberFxn)
#define ON_STN_CLICKED(id, memberFxn) ON_CONTROL(STN_CLICKED, id, memberFxn)
#define ON_NOTIFY(code, id, memberFxn) RegisterNotify<ThisClass>((code), (id), &ThisClass::memberFxn);
#define ON_NOTIFY_RANGE(code, idFirst, idLast, memberFxn) \
    RegisterNotifyRange<ThisClass>((code), (idFirst), (idLast), &ThisClass::memberFxn);
// Window messages by number (WM_USER + n) or by registered id.
#define ON_MESSAGE(message, memberFxn) RegisterMessage<ThisClass>((message), &ThisClass::memberFxn);
#define ON_REGISTERED_MESSAGE(idVariable, memberFxn) RegisterMessage<ThisClass>((idVariable), &ThisClass::memberFxn);
