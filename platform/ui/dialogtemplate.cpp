#include "platform/ui/dialogtemplate.h"

#include "platform/ui/button.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/staticedit.h"
#include "platform/ui/winapp.h"

#include <QApplication>
#include <QFontMetrics>

#include <map>
#include <mutex>

namespace kestrun {

namespace {

struct TemplateTable
{
    std::mutex mutex;
    std::map<UINT, std::shared_ptr<const CDialogTemplate>> templates;
    std::map<std::pair<HINSTANCE, UINT>, std::shared_ptr<const CDialogTemplate>> moduleTemplates;
};

TemplateTable& templateTable()
{
    static TemplateTable instance;
    return instance;
}

CDialogItem item(CControlKind kind, const char* text, UINT id, int x, int y, int cx, int cy, DWORD style)
{
    CDialogItem entry;
    entry.kind = kind;
    entry.text = text ? text : "";
    entry.id = id;
    entry.rect = CRect(x, y, x + cx, y + cy);
    entry.style = style;
    return entry;
}

std::unique_ptr<CWnd> createControl(CWnd& parent, const CDialogItem& entry, const CRect& rect)
{
    const DWORD style = entry.style | WS_CHILD | WS_VISIBLE;
    switch (entry.kind) {
    case CControlKind::Static: {
        auto control = std::make_unique<CStatic>();
        control->Create(entry.text, style, rect, &parent, entry.id);
        return control;
    }
    case CControlKind::Edit: {
        auto control = std::make_unique<CEdit>();
        control->Create(style | WS_TABSTOP, rect, &parent, entry.id);
        return control;
    }
    case CControlKind::Button: {
        auto control = std::make_unique<CButton>();
        control->Create(entry.text, style, rect, &parent, entry.id);
        return control;
    }
    case CControlKind::ComboBox: {
        auto control = std::make_unique<CComboBox>();
        // A combo box's template height includes its drop-down list.
        CRect field(rect);
        field.bottom = field.top + std::min(rect.Height(), DialogUnitsToPixels(CRect(0, 0, 0, 14)).Height());
        control->Create(style | WS_TABSTOP, field, &parent, entry.id);
        return control;
    }
    case CControlKind::ListBox: {
        auto control = std::make_unique<CListBox>();
        control->Create(style | WS_TABSTOP, rect, &parent, entry.id);
        return control;
    }
    case CControlKind::ListCtrl: {
        auto control = std::make_unique<CListCtrl>();
        control->Create(style | WS_TABSTOP, rect, &parent, entry.id);
        return control;
    }
    case CControlKind::Slider: {
        auto control = std::make_unique<CSliderCtrl>();
        control->Create(style | WS_TABSTOP, rect, &parent, entry.id);
        return control;
    }
    case CControlKind::Spin: {
        auto control = std::make_unique<CSpinButtonCtrl>();
        control->Create(style, rect, &parent, entry.id);
        return control;
    }
    case CControlKind::Progress: {
        auto control = std::make_unique<CProgressCtrl>();
        control->Create(style, rect, &parent, entry.id);
        return control;
    }
    }
    return nullptr;
}

} // namespace

void RegisterDialogTemplate(UINT id, CDialogTemplate dialogTemplate)
{
    TemplateTable& table = templateTable();
    std::lock_guard lock(table.mutex);
    table.templates[id] = std::make_shared<const CDialogTemplate>(std::move(dialogTemplate));
}

void RegisterDialogTemplate(HINSTANCE module, UINT id, CDialogTemplate dialogTemplate)
{
    TemplateTable& table = templateTable();
    std::lock_guard lock(table.mutex);
    table.moduleTemplates[{module, id}] = std::make_shared<const CDialogTemplate>(std::move(dialogTemplate));
}

std::shared_ptr<const CDialogTemplate> FindDialogTemplate(UINT id)
{
    const HINSTANCE module = AfxGetResourceHandle();
    TemplateTable& table = templateTable();
    std::lock_guard lock(table.mutex);
    if (module != nullptr) {
        if (const auto own = table.moduleTemplates.find({module, id}); own != table.moduleTemplates.end())
            return own->second;
    }
    const auto it = table.templates.find(id);
    return it == table.templates.end() ? nullptr : it->second;
}

CSize DialogBaseUnits()
{
    if (qApp == nullptr)
        return CSize(6, 13);
    const QFontMetrics metrics(QApplication::font());
    const QString alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    const int average = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    return CSize(std::max(1, average), std::max(1, metrics.height()));
}

CRect DialogUnitsToPixels(const CRect& rect)
{
    const CSize base = DialogBaseUnits();
    auto mapX = [&](int v) { return (v * base.cx + (v >= 0 ? 2 : -2)) / 4; };
    auto mapY = [&](int v) { return (v * base.cy + (v >= 0 ? 4 : -4)) / 8; };
    return CRect(mapX(rect.left), mapY(rect.top), mapX(rect.right), mapY(rect.bottom));
}

void CreateDialogControls(CWnd& parent, const CDialogTemplate& dialogTemplate, std::vector<std::unique_ptr<CWnd>>& owned)
{
    for (const CDialogItem& entry : dialogTemplate.items) {
        if (auto control = createControl(parent, entry, DialogUnitsToPixels(entry.rect)))
            owned.push_back(std::move(control));
    }
}

CDialogItem LText(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Static, text, id, x, y, cx, cy, SS_LEFT | style);
}

CDialogItem RText(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Static, text, id, x, y, cx, cy, SS_RIGHT | style);
}

CDialogItem CText(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Static, text, id, x, y, cx, cy, SS_CENTER | style);
}

CDialogItem EditText(UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Edit, nullptr, id, x, y, cx, cy, style);
}

CDialogItem PushButton(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Button, text, id, x, y, cx, cy, BS_PUSHBUTTON | WS_TABSTOP | style);
}

CDialogItem DefPushButton(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Button, text, id, x, y, cx, cy, BS_DEFPUSHBUTTON | WS_TABSTOP | style);
}

CDialogItem CheckBox(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Button, text, id, x, y, cx, cy, BS_AUTOCHECKBOX | WS_TABSTOP | style);
}

CDialogItem RadioButton(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Button, text, id, x, y, cx, cy, BS_AUTORADIOBUTTON | style);
}

CDialogItem GroupBox(const char* text, UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Button, text, id, x, y, cx, cy, BS_GROUPBOX | style);
}

CDialogItem ComboBox(UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::ComboBox, nullptr, id, x, y, cx, cy, style);
}

CDialogItem ListBox(UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::ListBox, nullptr, id, x, y, cx, cy, style);
}

CDialogItem ListControl(UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::ListCtrl, nullptr, id, x, y, cx, cy, style);
}

CDialogItem Slider(UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Slider, nullptr, id, x, y, cx, cy, style);
}

CDialogItem Spin(UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Spin, nullptr, id, x, y, cx, cy, style);
}

CDialogItem Progress(UINT id, int x, int y, int cx, int cy, DWORD style)
{
    return item(CControlKind::Progress, nullptr, id, x, y, cx, cy, style);
}

} // namespace kestrun
