// Dialog data exchange and validation: a dialog laid out from a template,
// its members shown in the controls and read back, and bad input refused
// with a message.

#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/button.h"
#include "platform/ui/ddx.h"
#include "platform/ui/dialog.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/staticedit.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr UINT kTemplate = 7001;
enum : UINT
{
    IDC_NAME = 1001,
    IDC_COUNT,
    IDC_RATIO,
    IDC_FLAG,
    IDC_RADIO_A,
    IDC_RADIO_B,
    IDC_RADIO_C,
    IDC_OTHER_A,
    IDC_OTHER_B,
    IDC_KIND,
    IDC_NAMES,
    IDC_LEVEL,
};

void registerTemplate()
{
    using namespace kestrun;
    RegisterDialogTemplate(kTemplate, {"Settings", CRect(0, 0, 240, 160),
                                       {
                                           LText("Name:", IDC_STATIC, 7, 9, 40, 8),
                                           EditText(IDC_NAME, 50, 7, 80, 12),
                                           EditText(IDC_COUNT, 50, 22, 40, 12),
                                           EditText(IDC_RATIO, 50, 37, 40, 12),
                                           CheckBox("Flag", IDC_FLAG, 7, 52, 60, 10),
                                           RadioButton("A", IDC_RADIO_A, 7, 66, 30, 10, WS_GROUP),
                                           RadioButton("B", IDC_RADIO_B, 40, 66, 30, 10),
                                           RadioButton("C", IDC_RADIO_C, 73, 66, 30, 10),
                                           RadioButton("X", IDC_OTHER_A, 7, 80, 30, 10, WS_GROUP),
                                           RadioButton("Y", IDC_OTHER_B, 40, 80, 30, 10),
                                           ComboBox(IDC_KIND, 110, 80, 60, 60),
                                           ListBox(IDC_NAMES, 140, 7, 60, 40),
                                           Slider(IDC_LEVEL, 7, 95, 100, 15),
                                           DefPushButton("OK", IDOK, 183, 130, 50, 14),
                                           PushButton("Cancel", IDCANCEL, 130, 130, 50, 14),
                                       }});
}

class CSettingsDlg : public CDialog
{
public:
    CSettingsDlg() : CDialog(kTemplate) {}

    CString m_name = "probe";
    int m_count = 5;
    double m_ratio = 0.25;
    int m_flag = BST_CHECKED;
    int m_radio = 2;
    int m_other = 0;
    int m_kind = 1;
    CString m_listName = "beta";
    int m_level = 40;

    CEdit m_countEdit; // a member control, taken over from the layout

protected:
    BOOL OnInitDialog() override
    {
        auto* kind = static_cast<CComboBox*>(GetDlgItem(IDC_KIND));
        for (const char* k : {"small", "medium", "large"})
            kind->AddString(k);
        auto* names = static_cast<CListBox*>(GetDlgItem(IDC_NAMES));
        for (const char* n : {"alpha", "beta", "gamma"})
            names->AddString(n);
        return CDialog::OnInitDialog();
    }

    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Control(pDX, IDC_COUNT, m_countEdit);
        DDX_Text(pDX, IDC_NAME, m_name);
        DDV_MaxChars(pDX, m_name, 8);
        DDX_Text(pDX, IDC_COUNT, m_count);
        DDV_MinMaxInt(pDX, m_count, 1, 10);
        DDX_Text(pDX, IDC_RATIO, m_ratio);
        DDV_MinMaxDouble(pDX, m_ratio, 0.0, 1.0);
        DDX_Check(pDX, IDC_FLAG, m_flag);
        DDX_Radio(pDX, IDC_RADIO_A, m_radio);
        DDX_Radio(pDX, IDC_OTHER_A, m_other);
        DDX_CBIndex(pDX, IDC_KIND, m_kind);
        DDX_LBString(pDX, IDC_NAMES, m_listName);
        DDX_Slider(pDX, IDC_LEVEL, m_level);
        DDV_MinMaxSlider(pDX, static_cast<DWORD>(m_level), 0, 50);
    }
};

CString textOf(CWnd& dialog, UINT id)
{
    CString text;
    dialog.GetDlgItemText(static_cast<int>(id), text);
    return text;
}

class DdxTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerTemplate();
        ASSERT_TRUE(m_dlg.Create(kTemplate));
    }

    CEdit& Edit(UINT id) { return *static_cast<CEdit*>(m_dlg.GetDlgItem(static_cast<int>(id))); }
    CButton& Button(UINT id) { return *static_cast<CButton*>(m_dlg.GetDlgItem(static_cast<int>(id))); }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CSettingsDlg m_dlg;
};

TEST_F(DdxTest, InitialExchangeShowsTheMembersInTheControls)
{
    EXPECT_EQ(textOf(m_dlg, IDC_NAME), "probe");
    EXPECT_EQ(textOf(m_dlg, IDC_COUNT), "5");
    EXPECT_EQ(textOf(m_dlg, IDC_RATIO), "0.25");
    EXPECT_EQ(Button(IDC_FLAG).GetCheck(), BST_CHECKED);
    EXPECT_EQ(Button(IDC_RADIO_A).GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(Button(IDC_RADIO_C).GetCheck(), BST_CHECKED);
    EXPECT_EQ(Button(IDC_OTHER_A).GetCheck(), BST_CHECKED);
    EXPECT_EQ(static_cast<CComboBox*>(m_dlg.GetDlgItem(IDC_KIND))->GetCurSel(), 1);
    EXPECT_EQ(static_cast<CListBox*>(m_dlg.GetDlgItem(IDC_NAMES))->GetCurSel(), 1);
    auto* level = static_cast<CSliderCtrl*>(m_dlg.GetDlgItem(IDC_LEVEL));
    EXPECT_EQ(level->GetRangeMax(), 50);
    EXPECT_EQ(level->GetPos(), 40);
    // DDV_MaxChars limits the field while it shows the value.
    EXPECT_EQ(Edit(IDC_NAME).GetLimitText(), 8u);
    // The member control took over the layout's control.
    EXPECT_EQ(m_dlg.GetDlgItem(IDC_COUNT), &m_dlg.m_countEdit);
}

TEST_F(DdxTest, SavingReadsEveryControlBack)
{
    Edit(IDC_NAME).SetWindowText("gauge");
    Edit(IDC_COUNT).SetWindowText("  7 ");
    Edit(IDC_RATIO).SetWindowText("0.5e0");
    Button(IDC_FLAG).SetCheck(BST_UNCHECKED);
    Button(IDC_RADIO_A).Click();
    Button(IDC_OTHER_B).Click();
    static_cast<CComboBox*>(m_dlg.GetDlgItem(IDC_KIND))->SetCurSel(2);
    static_cast<CListBox*>(m_dlg.GetDlgItem(IDC_NAMES))->SetCurSel(2);
    static_cast<CSliderCtrl*>(m_dlg.GetDlgItem(IDC_LEVEL))->SetPos(12);

    ASSERT_TRUE(m_dlg.UpdateData(TRUE));
    EXPECT_EQ(m_dlg.m_name, "gauge");
    EXPECT_EQ(m_dlg.m_count, 7);
    EXPECT_DOUBLE_EQ(m_dlg.m_ratio, 0.5);
    EXPECT_EQ(m_dlg.m_flag, BST_UNCHECKED);
    // Clicking A cleared C in its group and left the other group alone.
    EXPECT_EQ(m_dlg.m_radio, 0);
    EXPECT_EQ(m_dlg.m_other, 1);
    EXPECT_EQ(m_dlg.m_kind, 2);
    EXPECT_EQ(m_dlg.m_listName, "gamma");
    EXPECT_EQ(m_dlg.m_level, 12);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

struct BadInput
{
    UINT control;
    const char* text;
    const char* message;
};

TEST_F(DdxTest, BadInputIsRefusedWithItsMessage)
{
    const BadInput cases[] = {
        {IDC_COUNT, "seven", "Please enter a whole number."},
        {IDC_COUNT, "7x", "Please enter a whole number."},
        {IDC_COUNT, "11", "Please enter a whole number from 1 to 10."},
        {IDC_COUNT, "0", "Please enter a whole number from 1 to 10."},
        {IDC_RATIO, "", "Please enter a number."},
        {IDC_RATIO, "1.5", "Please enter a number from 0 to 1."},
        {IDC_NAME, "much too long", "Please enter at most 8 characters."},
    };
    for (const BadInput& c : cases) {
        SCOPED_TRACE(c.text);
        Edit(IDC_NAME).SetWindowText("ok");
        Edit(IDC_COUNT).SetWindowText("3");
        Edit(IDC_RATIO).SetWindowText("0.5");
        Edit(c.control).SetWindowText(c.text);
        m_boxes->Clear();
        m_dlg.m_name = "before";
        m_dlg.m_count = 2;
        m_dlg.m_ratio = 0.75;

        EXPECT_FALSE(m_dlg.UpdateData(TRUE));
        // Nothing changed, also not the members stored before the bad one.
        EXPECT_EQ(m_dlg.m_name, "before");
        EXPECT_EQ(m_dlg.m_count, 2);
        EXPECT_DOUBLE_EQ(m_dlg.m_ratio, 0.75);
        ASSERT_EQ(m_boxes->Texts().size(), 1u);
        EXPECT_EQ(m_boxes->Texts()[0], c.message);
        EXPECT_EQ(m_boxes->Shown()[0].type & MB_ICONMASK, MB_ICONEXCLAMATION);
    }
}

TEST_F(DdxTest, ValidationKeepsTheDialogOpenUntilTheInputIsGood)
{
    Edit(IDC_COUNT).SetWindowText("12");
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_TRUE(m_dlg.IsWindowVisible());
    EXPECT_EQ(m_boxes->Texts().size(), 1u);

    Edit(IDC_COUNT).SetWindowText("9");
    m_dlg.SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    EXPECT_FALSE(m_dlg.IsWindowVisible());
    EXPECT_EQ(m_dlg.m_count, 9);
}

TEST(DdxModalTest, DoModalAnswersWithTheButtonAndKeepsTheData)
{
    registerTemplate();
    kestrun::testing::ScopedMessageBoxes boxes;
    CSettingsDlg dlg;
    // The dialog's own event loop runs these once it shows.
    QTimer::singleShot(0, [&] {
        static_cast<CEdit*>(dlg.GetDlgItem(IDC_NAME))->SetWindowText("modal");
        static_cast<CButton*>(dlg.GetDlgItem(IDOK))->Click();
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_name, "modal");
    EXPECT_EQ(dlg.m_hWnd, nullptr);

    CSettingsDlg cancelled;
    QTimer::singleShot(0, [&] {
        static_cast<CEdit*>(cancelled.GetDlgItem(IDC_NAME))->SetWindowText("dropped");
        cancelled.SendMessage(WM_CLOSE);
    });
    EXPECT_EQ(cancelled.DoModal(), IDCANCEL);
    EXPECT_EQ(cancelled.m_name, "probe");
}

} // namespace
