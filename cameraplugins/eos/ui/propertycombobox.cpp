#include "cameraplugins/eos/ui/propertycombobox.h"

#include "cameraplugins/eos/ui/controlmessages.h"

#include "platform/core/messages.h"

#include <algorithm>

void CPropertyComboBox::update(Observable*, CameraEvent* event)
{
    const bool value = event->name == "PropertyChanged";
    if (!value && event->name != "PropertyDescChanged")
        return;
    if (*static_cast<const EdsPropertyID*>(event->arg) == m_id)
        ::PostMessage(m_hWnd, value ? kMsgPropertyChanged : kMsgPropertyDescChanged, 0, 0);
}

LRESULT CPropertyComboBox::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kMsgPropertyChanged && m_model != nullptr) {
        UpdateProperty(m_model->getPropertyUInt32(m_id));
        return 0;
    }
    if (message == kMsgPropertyDescChanged && m_model != nullptr) {
        UpdatePropertyDesc(m_model->getPropertyDesc(m_id));
        return 0;
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}

void CPropertyComboBox::UpdateProperty(EdsUInt32 value)
{
    const auto it = m_table.find(value);
    if (it != m_table.end())
        SetWindowText(it->second.c_str());
}

void CPropertyComboBox::UpdatePropertyDesc(const EdsPropertyDesc& desc)
{
    CString text;
    GetWindowText(text);
    ResetContent();
    EnableWindow(desc.numElements > 0);
    const int count = std::clamp(desc.numElements, 0, kEdsMaxDescValues);
    for (int i = 0; i < count; ++i) {
        const auto code = static_cast<EdsUInt32>(desc.propDesc[i]);
        const auto it = m_table.find(code);
        if (it == m_table.end())
            continue;
        SetItemData(AddString(it->second.c_str()), code);
    }
    // The shown value stays as it was.
    SetWindowText(text);
}

void CPropertyComboBox::OnSelChange()
{
    const int selection = GetCurSel();
    if (selection < 0)
        return;
    m_selected = static_cast<EdsUInt32>(GetItemData(selection));
    fireEvent(&m_selected);
}
