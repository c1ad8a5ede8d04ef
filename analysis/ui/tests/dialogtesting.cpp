#include "dialogtesting.h"

#include "platform/ui/button.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace kestrun::testing {

void OnNextDialog(std::function<void(CDialog&)> steps)
{
    QTimer::singleShot(0, [steps = std::move(steps)] {
        auto* dialog = WindowOf<CDialog>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            ADD_FAILURE() << "no dialog shows";
            return;
        }
        steps(*dialog);
    });
}

void Press(CWnd& dialog, UINT id)
{
    auto* button = DYNAMIC_DOWNCAST(CButton, dialog.GetDlgItem(static_cast<int>(id)));
    ASSERT_NE(button, nullptr) << id;
    button->Click();
}

void Type(CWnd& dialog, UINT id, const char* text)
{
    dialog.SetDlgItemText(static_cast<int>(id), text);
}

CString TextOf(const CWnd& dialog, UINT id)
{
    CString text;
    dialog.GetDlgItemText(static_cast<int>(id), text);
    return text;
}

void Slide(CWnd& dialog, UINT id, int pos)
{
    auto* slider = DYNAMIC_DOWNCAST(CSliderCtrl, dialog.GetDlgItem(static_cast<int>(id)));
    ASSERT_NE(slider, nullptr) << id;
    slider->SetPos(pos);
    dialog.SendMessage(WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, pos), reinterpret_cast<LPARAM>(slider->GetSafeHwnd()));
}

CFileAnswers::CFileAnswers()
{
    m_previous = SetCommonDialogHandler([this](CCommonDialog& dialog) -> INT_PTR {
        auto* files = dynamic_cast<CFileDialog*>(&dialog);
        if (files == nullptr || m_answer.IsEmpty())
            return IDCANCEL;
        files->SetResult({m_answer});
        return IDOK;
    });
}

CFileAnswers::~CFileAnswers()
{
    SetCommonDialogHandler(m_previous);
}

} // namespace kestrun::testing
