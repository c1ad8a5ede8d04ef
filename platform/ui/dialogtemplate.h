#pragma once
// Dialogs laid out in code: a template lists the controls of a dialog, a
// form view or a property page as the original resources did, in dialog
// units (x, y, width, height), which become pixels through the dialog
// font's base units (4 horizontal units are one average character width,
// 8 vertical units one character height). Templates are registered by
// their resource id; CDialog, CFormView and CPropertyPage create the
// controls of their id's template before OnInitDialog.
//
//     kestrun::RegisterDialogTemplate(422, {"Threshold", {0, 0, 200, 120}, {
//         kestrun::LText("Lower:", IDC_STATIC, 7, 9, 30, 8),
//         kestrun::EditText(IDC_LOWER, 40, 7, 40, 12),
//         kestrun::DefPushButton("OK", IDOK, 143, 7, 50, 14),
//     }});

#include "platform/core/cstring.h"
#include "platform/ui/windefs.h"

#include <memory>
#include <vector>

class CWnd;

enum class CControlKind
{
    Static,
    Edit,
    Button,
    ComboBox,
    ListBox,
    ListCtrl,
    Slider,
    Spin,
    Progress,
};

struct CDialogItem
{
    CControlKind kind = CControlKind::Static;
    CString text;
    UINT id = IDC_STATIC;
    CRect rect; // dialog units: left, top, right, bottom
    DWORD style = 0;
};

struct CDialogTemplate
{
    CString caption;
    CRect rect; // dialog units; the size counts, the position is ignored
    std::vector<CDialogItem> items;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE | DS_MODALFRAME;
};

namespace kestrun {

void RegisterDialogTemplate(UINT id, CDialogTemplate dialogTemplate);
// A template of a library's own resource module: found first while that
// module is the resource handle (AfxSetResourceHandle), so a library's
// ids may repeat the program's.
void RegisterDialogTemplate(HINSTANCE module, UINT id, CDialogTemplate dialogTemplate);
// Null when no template is registered under the id.
std::shared_ptr<const CDialogTemplate> FindDialogTemplate(UINT id);

// Pixels of one dialog unit times 4 (cx) and times 8 (cy) for the
// program's font.
CSize DialogBaseUnits();
// Dialog units to pixels.
CRect DialogUnitsToPixels(const CRect& rect);

// Creates the template's controls as children of parent, in template
// order; owned receives the control objects.
void CreateDialogControls(CWnd& parent, const CDialogTemplate& dialogTemplate,
                          std::vector<std::unique_ptr<CWnd>>& owned);

// Entries as the resource script spells them; x, y, cx, cy in dialog units.
CDialogItem LText(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style = 0);
CDialogItem RText(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style = 0);
CDialogItem CText(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style = 0);
CDialogItem EditText(UINT id, int x, int y, int cx, int cy, DWORD style = ES_AUTOHSCROLL);
CDialogItem PushButton(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style = 0);
CDialogItem DefPushButton(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style = 0);
CDialogItem CheckBox(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style = 0);
// The first button of a radio group carries WS_GROUP.
CDialogItem RadioButton(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style = 0);
CDialogItem GroupBox(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style = 0);
CDialogItem ComboBox(UINT id, int x, int y, int cx, int cy, DWORD style = CBS_DROPDOWNLIST);
CDialogItem ListBox(UINT id, int x, int y, int cx, int cy, DWORD style = LBS_NOTIFY);
CDialogItem ListControl(UINT id, int x, int y, int cx, int cy, DWORD style = LVS_REPORT);
CDialogItem Slider(UINT id, int x, int y, int cx, int cy, DWORD style = TBS_HORZ);
CDialogItem Spin(UINT id, int x, int y, int cx, int cy, DWORD style = UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_AUTOBUDDY);
CDialogItem Progress(UINT id, int x, int y, int cx, int cy, DWORD style = 0);

} // namespace kestrun
