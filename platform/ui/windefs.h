#pragma once
// Window constants and small structures with the numbers the original code
// passes around: styles, messages, notification codes, show commands and
// the standard command ids. Values that stored files or the code above spell
// out as numbers must stay as they are.

#include "platform/core/geometry.h"
#include "platform/core/messages.h"
#include "platform/core/types.h"

using LPRECT = RECT*;
using LPCRECT = const RECT*;
using LPPOINT = POINT*;
using LPSIZE = SIZE*;
using LPINT = int*;
using LPBOOL = BOOL*;
using ULONG_PTR = std::uintptr_t;

constexpr WPARAM MAKEWPARAM(WORD low, WORD high) { return static_cast<WPARAM>(MAKELONG(low, high)); }
constexpr LPARAM MAKELPARAM(WORD low, WORD high) { return static_cast<LPARAM>(MAKELONG(low, high)); }
// The signed coordinates packed into a mouse message's lParam.
constexpr int GET_X_LPARAM(LPARAM lp) { return static_cast<SHORT>(LOWORD(static_cast<DWORD_PTR>(lp))); }
constexpr int GET_Y_LPARAM(LPARAM lp) { return static_cast<SHORT>(HIWORD(static_cast<DWORD_PTR>(lp))); }

// ---- window styles ------------------------------------------------------
inline constexpr DWORD WS_OVERLAPPED = 0x00000000;
inline constexpr DWORD WS_POPUP = 0x80000000;
inline constexpr DWORD WS_CHILD = 0x40000000;
inline constexpr DWORD WS_MINIMIZE = 0x20000000;
inline constexpr DWORD WS_VISIBLE = 0x10000000;
inline constexpr DWORD WS_DISABLED = 0x08000000;
inline constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
inline constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
inline constexpr DWORD WS_MAXIMIZE = 0x01000000;
inline constexpr DWORD WS_CAPTION = 0x00C00000;
inline constexpr DWORD WS_BORDER = 0x00800000;
inline constexpr DWORD WS_DLGFRAME = 0x00400000;
inline constexpr DWORD WS_VSCROLL = 0x00200000;
inline constexpr DWORD WS_HSCROLL = 0x00100000;
inline constexpr DWORD WS_SYSMENU = 0x00080000;
inline constexpr DWORD WS_THICKFRAME = 0x00040000;
inline constexpr DWORD WS_GROUP = 0x00020000;
inline constexpr DWORD WS_TABSTOP = 0x00010000;
inline constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
inline constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
inline constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
inline constexpr DWORD WS_CHILDWINDOW = WS_CHILD;

inline constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
inline constexpr DWORD WS_EX_TOPMOST = 0x00000008;

// Frame styles
inline constexpr DWORD FWS_ADDTOTITLE = 0x00008000;
inline constexpr DWORD FWS_PREFIXTITLE = 0x00040000;

// Dialog styles
inline constexpr DWORD DS_MODALFRAME = 0x80;
inline constexpr DWORD DS_CENTER = 0x0800;

// Static controls
inline constexpr DWORD SS_LEFT = 0x0;
inline constexpr DWORD SS_CENTER = 0x1;
inline constexpr DWORD SS_RIGHT = 0x2;
inline constexpr DWORD SS_ICON = 0x3;
inline constexpr DWORD SS_BLACKRECT = 0x4;
inline constexpr DWORD SS_BLACKFRAME = 0x7;
inline constexpr DWORD SS_ETCHEDFRAME = 0x12;
inline constexpr DWORD SS_SUNKEN = 0x1000;
inline constexpr DWORD SS_NOTIFY = 0x100;

// Edit controls
inline constexpr DWORD ES_LEFT = 0x0;
inline constexpr DWORD ES_CENTER = 0x1;
inline constexpr DWORD ES_RIGHT = 0x2;
inline constexpr DWORD ES_MULTILINE = 0x4;
inline constexpr DWORD ES_UPPERCASE = 0x8;
inline constexpr DWORD ES_LOWERCASE = 0x10;
inline constexpr DWORD ES_PASSWORD = 0x20;
inline constexpr DWORD ES_AUTOVSCROLL = 0x40;
inline constexpr DWORD ES_AUTOHSCROLL = 0x80;
inline constexpr DWORD ES_NOHIDESEL = 0x100;
inline constexpr DWORD ES_READONLY = 0x800;
inline constexpr DWORD ES_WANTRETURN = 0x1000;
inline constexpr DWORD ES_NUMBER = 0x2000;

// Buttons
inline constexpr DWORD BS_PUSHBUTTON = 0x0;
inline constexpr DWORD BS_DEFPUSHBUTTON = 0x1;
inline constexpr DWORD BS_CHECKBOX = 0x2;
inline constexpr DWORD BS_AUTOCHECKBOX = 0x3;
inline constexpr DWORD BS_RADIOBUTTON = 0x4;
inline constexpr DWORD BS_3STATE = 0x5;
inline constexpr DWORD BS_AUTO3STATE = 0x6;
inline constexpr DWORD BS_GROUPBOX = 0x7;
inline constexpr DWORD BS_AUTORADIOBUTTON = 0x9;
inline constexpr DWORD BS_OWNERDRAW = 0xB;
inline constexpr DWORD BS_TYPEMASK = 0xF;
inline constexpr DWORD BS_LEFTTEXT = 0x20;
inline constexpr DWORD BS_MULTILINE = 0x2000;
inline constexpr DWORD BS_PUSHLIKE = 0x1000;

inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;
inline constexpr int BST_INDETERMINATE = 2;

// Combo boxes and list boxes
inline constexpr DWORD CBS_SIMPLE = 0x1;
inline constexpr DWORD CBS_DROPDOWN = 0x2;
inline constexpr DWORD CBS_DROPDOWNLIST = 0x3;
inline constexpr DWORD CBS_AUTOHSCROLL = 0x40;
inline constexpr DWORD CBS_SORT = 0x100;
inline constexpr DWORD CBS_HASSTRINGS = 0x200;

inline constexpr DWORD LBS_NOTIFY = 0x1;
inline constexpr DWORD LBS_SORT = 0x2;
inline constexpr DWORD LBS_MULTIPLESEL = 0x8;
inline constexpr DWORD LBS_HASSTRINGS = 0x40;
inline constexpr DWORD LBS_EXTENDEDSEL = 0x800;
inline constexpr DWORD LBS_STANDARD = 0x00A00003;

inline constexpr int CB_ERR = -1;
inline constexpr int LB_ERR = -1;

// List controls
inline constexpr DWORD LVS_ICON = 0x0;
inline constexpr DWORD LVS_REPORT = 0x1;
inline constexpr DWORD LVS_SMALLICON = 0x2;
inline constexpr DWORD LVS_LIST = 0x3;
inline constexpr DWORD LVS_TYPEMASK = 0x3;
inline constexpr DWORD LVS_SINGLESEL = 0x4;
inline constexpr DWORD LVS_SHOWSELALWAYS = 0x8;
inline constexpr DWORD LVS_EDITLABELS = 0x200;
inline constexpr DWORD LVS_OWNERDRAWFIXED = 0x400;
inline constexpr DWORD LVS_OWNERDATA = 0x1000;
inline constexpr DWORD LVS_NOCOLUMNHEADER = 0x4000;

inline constexpr DWORD LVS_EX_GRIDLINES = 0x1;
inline constexpr DWORD LVS_EX_CHECKBOXES = 0x4;
inline constexpr DWORD LVS_EX_HEADERDRAGDROP = 0x10;
inline constexpr DWORD LVS_EX_FULLROWSELECT = 0x20;

inline constexpr int LVCFMT_LEFT = 0x0;
inline constexpr int LVCFMT_RIGHT = 0x1;
inline constexpr int LVCFMT_CENTER = 0x2;

inline constexpr UINT LVIS_FOCUSED = 0x1;
inline constexpr UINT LVIS_SELECTED = 0x2;

inline constexpr int LVNI_ALL = 0x0;
inline constexpr int LVNI_FOCUSED = 0x1;
inline constexpr int LVNI_SELECTED = 0x2;

// Track bars, up-down controls, progress bars
inline constexpr DWORD TBS_HORZ = 0x0;
inline constexpr DWORD TBS_AUTOTICKS = 0x1;
inline constexpr DWORD TBS_VERT = 0x2;
inline constexpr DWORD TBS_NOTICKS = 0x10;

inline constexpr DWORD UDS_WRAP = 0x1;
inline constexpr DWORD UDS_SETBUDDYINT = 0x2;
inline constexpr DWORD UDS_ALIGNRIGHT = 0x4;
inline constexpr DWORD UDS_AUTOBUDDY = 0x10;
inline constexpr DWORD UDS_ARROWKEYS = 0x20;
inline constexpr DWORD UDS_HORZ = 0x40;
inline constexpr DWORD UDS_NOTHOUSANDS = 0x80;

inline constexpr DWORD PBS_SMOOTH = 0x1;
inline constexpr DWORD PBS_VERTICAL = 0x4;

// ---- messages -----------------------------------------------------------
inline constexpr UINT WM_CREATE = 0x0001;
inline constexpr UINT WM_MOVE = 0x0003;
inline constexpr UINT WM_SIZE = 0x0005;
inline constexpr UINT WM_ACTIVATE = 0x0006;
inline constexpr UINT WM_SETFOCUS = 0x0007;
inline constexpr UINT WM_KILLFOCUS = 0x0008;
inline constexpr UINT WM_ENABLE = 0x000A;
inline constexpr UINT WM_SETTEXT = 0x000C;
inline constexpr UINT WM_GETTEXT = 0x000D;
inline constexpr UINT WM_PAINT = 0x000F;
inline constexpr UINT WM_QUERYENDSESSION = 0x0011;
inline constexpr UINT WM_ERASEBKGND = 0x0014;
inline constexpr UINT WM_SHOWWINDOW = 0x0018;
inline constexpr UINT WM_SETCURSOR = 0x0020;
inline constexpr UINT WM_SETFONT = 0x0030;
inline constexpr UINT WM_GETFONT = 0x0031;
inline constexpr UINT WM_NOTIFY = 0x004E;
inline constexpr UINT WM_CONTEXTMENU = 0x007B;
inline constexpr UINT WM_NCDESTROY = 0x0082;
inline constexpr UINT WM_KEYDOWN = 0x0100;
inline constexpr UINT WM_KEYUP = 0x0101;
inline constexpr UINT WM_CHAR = 0x0102;
inline constexpr UINT BM_GETCHECK = 0x00F0;
inline constexpr UINT BM_SETCHECK = 0x00F1;
inline constexpr UINT WM_INITDIALOG = 0x0110;
inline constexpr UINT WM_HSCROLL = 0x0114;
inline constexpr UINT WM_VSCROLL = 0x0115;
inline constexpr UINT WM_INITMENUPOPUP = 0x0117;
inline constexpr UINT WM_MOUSEMOVE = 0x0200;
inline constexpr UINT WM_LBUTTONDOWN = 0x0201;
inline constexpr UINT WM_LBUTTONUP = 0x0202;
inline constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
inline constexpr UINT WM_RBUTTONDOWN = 0x0204;
inline constexpr UINT WM_RBUTTONUP = 0x0205;
inline constexpr UINT WM_MOUSEWHEEL = 0x020A;
inline constexpr UINT WM_MDIACTIVATE = 0x0222;
inline constexpr UINT WM_CAPTURECHANGED = 0x0215;
// The framework's own: a view's first update, sent by its frame.
inline constexpr UINT WM_INITIALUPDATE = 0x0364;

// Key codes the views and dialogs test for
inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_SHIFT = 0x10;
inline constexpr UINT VK_CONTROL = 0x11;
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_PRIOR = 0x21;
inline constexpr UINT VK_NEXT = 0x22;
inline constexpr UINT VK_END = 0x23;
inline constexpr UINT VK_HOME = 0x24;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_INSERT = 0x2D;
inline constexpr UINT VK_DELETE = 0x2E;
inline constexpr UINT VK_F1 = 0x70;
inline constexpr UINT VK_F2 = 0x71;

// Mouse-key flags of the mouse messages
inline constexpr UINT MK_LBUTTON = 0x1;
inline constexpr UINT MK_RBUTTON = 0x2;
inline constexpr UINT MK_SHIFT = 0x4;
inline constexpr UINT MK_CONTROL = 0x8;

// WM_SIZE kinds
inline constexpr UINT SIZE_RESTORED = 0;
inline constexpr UINT SIZE_MINIMIZED = 1;
inline constexpr UINT SIZE_MAXIMIZED = 2;

// Scroll-bar codes of WM_HSCROLL and WM_VSCROLL
inline constexpr UINT SB_LINEUP = 0;
inline constexpr UINT SB_LINELEFT = 0;
inline constexpr UINT SB_LINEDOWN = 1;
inline constexpr UINT SB_LINERIGHT = 1;
inline constexpr UINT SB_PAGEUP = 2;
inline constexpr UINT SB_PAGEDOWN = 3;
inline constexpr UINT SB_PAGELEFT = 2;
inline constexpr UINT SB_PAGERIGHT = 3;
inline constexpr UINT SB_THUMBPOSITION = 4;
inline constexpr UINT SB_THUMBTRACK = 5;
inline constexpr UINT SB_TOP = 6;
inline constexpr UINT SB_BOTTOM = 7;
inline constexpr UINT SB_ENDSCROLL = 8;
inline constexpr UINT TB_THUMBPOSITION = 4;
inline constexpr UINT TB_THUMBTRACK = 5;
inline constexpr UINT TB_ENDTRACK = 8;
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_BOTH = 3;

// ---- notification codes -------------------------------------------------
// Command notifications travel in the high word of WM_COMMAND's wParam.
// A button click is code 0, the code of a plain command, so that a command
// handler also serves a button of the same id.
inline constexpr int CN_COMMAND = 0;
inline constexpr int CN_UPDATE_COMMAND_UI = -1;
inline constexpr int CN_NOTIFY = -2; // internal: a WM_NOTIFY routed by id

inline constexpr UINT BN_CLICKED = 0;
inline constexpr UINT BN_DOUBLECLICKED = 5;
inline constexpr UINT EN_SETFOCUS = 0x100;
inline constexpr UINT EN_KILLFOCUS = 0x200;
inline constexpr UINT EN_CHANGE = 0x300;
inline constexpr UINT EN_UPDATE = 0x400;
inline constexpr UINT CBN_SELCHANGE = 1;
inline constexpr UINT CBN_DBLCLK = 2;
inline constexpr UINT CBN_SETFOCUS = 3;
inline constexpr UINT CBN_KILLFOCUS = 4;
inline constexpr UINT CBN_EDITCHANGE = 5;
inline constexpr UINT CBN_DROPDOWN = 7;
inline constexpr UINT CBN_SELENDOK = 9;
inline constexpr UINT LBN_SELCHANGE = 1;
inline constexpr UINT LBN_DBLCLK = 2;
inline constexpr UINT STN_CLICKED = 0;

// WM_NOTIFY codes
inline constexpr UINT NM_CLICK = static_cast<UINT>(-2);
inline constexpr UINT NM_DBLCLK = static_cast<UINT>(-3);
inline constexpr UINT NM_RETURN = static_cast<UINT>(-4);
inline constexpr UINT NM_RCLICK = static_cast<UINT>(-5);
inline constexpr UINT NM_SETFOCUS = static_cast<UINT>(-7);
inline constexpr UINT NM_KILLFOCUS = static_cast<UINT>(-8);
inline constexpr UINT LVN_ITEMCHANGED = static_cast<UINT>(-101);
inline constexpr UINT LVN_COLUMNCLICK = static_cast<UINT>(-108);
inline constexpr UINT LVN_KEYDOWN = static_cast<UINT>(-155);
inline constexpr UINT UDN_DELTAPOS = static_cast<UINT>(-722);
inline constexpr UINT TTN_NEEDTEXT = static_cast<UINT>(-520);
inline constexpr UINT PSN_SETACTIVE = static_cast<UINT>(-200);

struct NMHDR
{
    HWND hwndFrom;
    UINT_PTR idFrom;
    UINT code;
};

struct NMLISTVIEW
{
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
};
using NM_LISTVIEW = NMLISTVIEW;

struct NMITEMACTIVATE
{
    NMHDR hdr;
    int iItem;
    int iSubItem;
    UINT uNewState;
    UINT uOldState;
    UINT uChanged;
    POINT ptAction;
    LPARAM lParam;
    UINT uKeyFlags;
};

struct NMUPDOWN
{
    NMHDR hdr;
    int iPos;
    int iDelta;
};
using NM_UPDOWN = NMUPDOWN;

inline constexpr UINT LVIF_TEXT = 0x1;
inline constexpr UINT LVIF_STATE = 0x8;

// ---- show and placement -------------------------------------------------
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_NORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_MAXIMIZE = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;
inline constexpr int SW_SHOWDEFAULT = 10;

inline constexpr UINT SWP_NOSIZE = 0x1;
inline constexpr UINT SWP_NOMOVE = 0x2;
inline constexpr UINT SWP_NOZORDER = 0x4;
inline constexpr UINT SWP_NOREDRAW = 0x8;
inline constexpr UINT SWP_NOACTIVATE = 0x10;
inline constexpr UINT SWP_FRAMECHANGED = 0x20;
inline constexpr UINT SWP_SHOWWINDOW = 0x40;
inline constexpr UINT SWP_HIDEWINDOW = 0x80;

inline constexpr UINT WPF_SETMINPOSITION = 0x1;
inline constexpr UINT WPF_RESTORETOMAXIMIZED = 0x2;

struct WINDOWPLACEMENT
{
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};

struct CREATESTRUCT
{
    LPVOID lpCreateParams;
    HINSTANCE hInstance;
    void* hMenu;
    HWND hwndParent;
    int cy;
    int cx;
    int y;
    int x;
    LONG style;
    LPCTSTR lpszName;
    LPCTSTR lpszClass;
    DWORD dwExStyle;
};
using LPCREATESTRUCT = CREATESTRUCT*;

// System metrics the window code asks for
inline constexpr int SM_CXSCREEN = 0;
inline constexpr int SM_CYSCREEN = 1;
inline constexpr int SM_CXVSCROLL = 2;
inline constexpr int SM_CYHSCROLL = 3;
inline constexpr int SM_CXBORDER = 5;
inline constexpr int SM_CYBORDER = 6;
inline constexpr int SM_CXFRAME = 32;
inline constexpr int SM_CYFRAME = 33;

// Redraw flags
inline constexpr UINT RDW_INVALIDATE = 0x1;
inline constexpr UINT RDW_ERASE = 0x4;
inline constexpr UINT RDW_UPDATENOW = 0x100;
inline constexpr UINT RDW_ALLCHILDREN = 0x80;

// ---- standard ids -------------------------------------------------------
inline constexpr UINT IDC_STATIC = static_cast<UINT>(-1);
inline constexpr UINT ID_SEPARATOR = 0;

inline constexpr UINT ID_FILE_NEW = 0xE100;
inline constexpr UINT ID_FILE_OPEN = 0xE101;
inline constexpr UINT ID_FILE_CLOSE = 0xE102;
inline constexpr UINT ID_FILE_SAVE = 0xE103;
inline constexpr UINT ID_FILE_SAVE_AS = 0xE104;
inline constexpr UINT ID_FILE_PAGE_SETUP = 0xE105;
inline constexpr UINT ID_FILE_PRINT_SETUP = 0xE106;
inline constexpr UINT ID_FILE_PRINT = 0xE107;
inline constexpr UINT ID_FILE_PRINT_DIRECT = 0xE108;
inline constexpr UINT ID_FILE_PRINT_PREVIEW = 0xE109;
inline constexpr UINT ID_FILE_MRU_FILE1 = 0xE110;
inline constexpr UINT ID_FILE_MRU_FILE16 = 0xE11F;
inline constexpr UINT ID_EDIT_CLEAR = 0xE120;
inline constexpr UINT ID_EDIT_COPY = 0xE122;
inline constexpr UINT ID_EDIT_CUT = 0xE123;
inline constexpr UINT ID_EDIT_PASTE = 0xE125;
inline constexpr UINT ID_EDIT_SELECT_ALL = 0xE12A;
inline constexpr UINT ID_EDIT_UNDO = 0xE12B;
inline constexpr UINT ID_WINDOW_NEW = 0xE130;
inline constexpr UINT ID_WINDOW_ARRANGE = 0xE131;
inline constexpr UINT ID_WINDOW_CASCADE = 0xE132;
inline constexpr UINT ID_WINDOW_TILE_HORZ = 0xE133;
inline constexpr UINT ID_WINDOW_TILE_VERT = 0xE134;
inline constexpr UINT ID_APP_ABOUT = 0xE140;
inline constexpr UINT ID_APP_EXIT = 0xE141;
inline constexpr UINT ID_HELP_INDEX = 0xE142;
inline constexpr UINT ID_HELP_FINDER = 0xE143;
inline constexpr UINT ID_HELP_USING = 0xE144;
inline constexpr UINT ID_CONTEXT_HELP = 0xE145;
inline constexpr UINT ID_HELP = 0xE146;
inline constexpr UINT ID_DEFAULT_HELP = 0xE147;
inline constexpr UINT ID_NEXT_PANE = 0xE150;
inline constexpr UINT ID_VIEW_TOOLBAR = 0xE800;
inline constexpr UINT ID_VIEW_STATUS_BAR = 0xE801;
inline constexpr UINT ID_RECORD_FIRST = 0xE900;
inline constexpr UINT ID_RECORD_LAST = 0xE901;
inline constexpr UINT ID_RECORD_NEXT = 0xE902;
inline constexpr UINT ID_RECORD_PREV = 0xE903;

inline constexpr UINT ID_INDICATOR_EXT = 0xE700;
inline constexpr UINT ID_INDICATOR_CAPS = 0xE701;
inline constexpr UINT ID_INDICATOR_NUM = 0xE702;
inline constexpr UINT ID_INDICATOR_SCRL = 0xE703;
inline constexpr UINT ID_INDICATOR_OVR = 0xE704;
inline constexpr UINT ID_INDICATOR_REC = 0xE705;

inline constexpr UINT AFX_IDW_TOOLBAR = 0xE800;
inline constexpr UINT AFX_IDW_STATUS_BAR = 0xE801;
inline constexpr UINT AFX_IDW_PANE_FIRST = 0xE900;
inline constexpr UINT AFX_IDW_DOCKBAR_TOP = 0xE81B;

// Prompt strings of the framework
inline constexpr UINT AFX_IDS_UNTITLED = 0xEF07;
inline constexpr UINT AFX_IDP_ASK_TO_SAVE = 0xF002;
inline constexpr UINT AFX_IDP_FAILED_TO_OPEN_DOC = 0xF003;
inline constexpr UINT AFX_IDP_FAILED_TO_SAVE_DOC = 0xF101;
inline constexpr UINT AFX_IDP_PARSE_INT = 0xF110;
inline constexpr UINT AFX_IDP_PARSE_REAL = 0xF111;
inline constexpr UINT AFX_IDP_PARSE_INT_RANGE = 0xF112;
inline constexpr UINT AFX_IDP_PARSE_REAL_RANGE = 0xF113;
inline constexpr UINT AFX_IDP_PARSE_STRING_SIZE = 0xF114;
inline constexpr UINT AFX_IDP_PARSE_UINT = 0xF116;

class CDC;

// Owner-draw states and actions
inline constexpr UINT ODT_BUTTON = 4;
inline constexpr UINT ODA_DRAWENTIRE = 0x1;
inline constexpr UINT ODA_SELECT = 0x2;
inline constexpr UINT ODA_FOCUS = 0x4;
inline constexpr UINT ODS_SELECTED = 0x1;
inline constexpr UINT ODS_GRAYED = 0x2;
inline constexpr UINT ODS_DISABLED = 0x4;
inline constexpr UINT ODS_CHECKED = 0x8;
inline constexpr UINT ODS_FOCUS = 0x10;
inline constexpr UINT ODS_DEFAULT = 0x20;

// What an owner-drawn control is asked to paint. The context is a CDC
// (our contexts have no handles), valid during the call.
struct DRAWITEMSTRUCT
{
    UINT CtlType;
    UINT CtlID;
    UINT itemID;
    UINT itemAction;
    UINT itemState;
    HWND hwndItem;
    CDC* hDC;
    RECT rcItem;
    ULONG_PTR itemData;
};
using LPDRAWITEMSTRUCT = DRAWITEMSTRUCT*;

// Cursor and icon handles: names of the shapes, not resources.
using HCURSOR = struct HCURSOR__*;
using HICON = struct HICON__*;
using HMENU = struct HMENU__*;
using HACCEL = void*;
