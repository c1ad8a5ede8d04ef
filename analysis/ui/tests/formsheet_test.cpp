// The form-parameter sheet: its pages show the profile's form thresholds,
// OK takes what they show into the sheet's copy and reports to the owner,
// Cancel only reports; the list's texts are checked, and the page's
// parameter files hold what the list shows.

#include "dialogtesting.h"

#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/formsheet.h"

#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/button.h"
#include "platform/ui/listctrl.h"
#include "platform/ui/neulistctrl.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <utility>
#include <vector>

namespace {

using namespace kestrun::analysisui;
using kestrun::testing::OnNextDialog;
using kestrun::testing::Press;
using kestrun::testing::TextOf;
using kestrun::testing::Type;

enum
{
    RowArea,
    RowFormfactor,
    RowLength,
    RowWidth,
    RowColour,
    RowHomogeneity,
    RowConvexity,
    RowHoles,
    RowAppendix,
};
enum
{
    ColumnMin = 1,
    ColumnMinAction,
    ColumnMax,
    ColumnMaxAction,
};

// The owner: keeps the sheet's reports.
class CReportedOwner : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CFormSheet::kCloseReport)
            m_reports.emplace_back(wParam, lParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }

    std::vector<std::pair<WPARAM, LPARAM>> m_reports;
};

class FormSheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateEx(0, nullptr, "owner", WS_OVERLAPPED, CRect(0, 0, 300, 200), nullptr, 0));
        m_profile.m_Type = featureArea | featureFormFactor | featureColors;
        m_profile.m_ObjectFilter.m_Min.m_fArea = 20.0f;
        m_profile.m_ObjectFilter.m_Max.m_fArea = 5000.0f;
        m_profile.m_ObjectFilter.m_Min.SetFeatureFlag(featureArea, 1);
        m_profile.m_ObjectFilter.m_Max.m_MeanColor = RGB(0xC0, 0x80, 0x10);
        m_profile.m_Model = CFormThres::modelContour;
        m_profile.m_FlagellumDetection = 0;
        m_folder = std::filesystem::path(::testing::TempDir()) / "formsheet";
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }

    // A sheet on the profile's form thresholds, shown on every page.
    std::unique_ptr<CFormSheet> OpenSheet()
    {
        auto sheet = std::make_unique<CFormSheet>("Formparameter", &m_owner);
        sheet->m_FormThres = m_profile;
        EXPECT_TRUE(sheet->Create(&m_owner));
        sheet->SetActivePage(2);
        sheet->SetActivePage(1);
        sheet->SetActivePage(0);
        return sheet;
    }

    static CListCtrl& List(CFormSheet& sheet)
    {
        return *DYNAMIC_DOWNCAST(CListCtrl, sheet.m_Page1.GetDlgItem(IDC_FORM_LIST));
    }

    static void Command(CWnd& wnd, UINT id) { wnd.SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

    std::vector<std::pair<WPARAM, LPARAM>> Reports()
    {
        kestrun::PumpMessages();
        return m_owner.m_reports;
    }

    CString PathOf(const char* name) const { return (m_folder / name).string().c_str(); }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CReportedOwner m_owner;
    CFormThres m_profile;
    std::filesystem::path m_folder;
    kestrun::testing::CFileAnswers m_files;
    CString& m_answer = m_files.m_answer;
};

TEST_F(FormSheetTest, TheListShowsTheFeaturesLimitsAndSwitches)
{
    auto sheet = OpenSheet();
    CListCtrl& list = List(*sheet);
    ASSERT_EQ(list.GetItemCount(), 9);
    EXPECT_EQ(list.GetItemText(RowArea, 0), "Area");
    EXPECT_EQ(list.GetItemText(RowArea, ColumnMin), "20");
    EXPECT_EQ(list.GetItemText(RowArea, ColumnMinAction), "+");
    EXPECT_EQ(list.GetItemText(RowArea, ColumnMax), "5000");
    EXPECT_EQ(list.GetItemText(RowArea, ColumnMaxAction), "-");
    EXPECT_EQ(list.GetItemText(RowColour, ColumnMax), "C0-80-10");
    EXPECT_EQ(list.GetItemText(RowAppendix, ColumnMin), "0");
    EXPECT_EQ(list.GetItemText(RowAppendix, ColumnMax), "");
    EXPECT_TRUE(list.GetCheck(RowArea));
    EXPECT_TRUE(list.GetCheck(RowColour));
    EXPECT_FALSE(list.GetCheck(RowLength));
}

TEST_F(FormSheetTest, OKWithoutChangesKeepsTheCopyAsTheProfileIs)
{
    auto sheet = OpenSheet();
    Command(*sheet, IDOK);
    EXPECT_EQ(sheet->GetSafeHwnd(), nullptr);
    EXPECT_EQ(Reports(), (std::vector<std::pair<WPARAM, LPARAM>>{{1, 434}, {1, 431}}));
    EXPECT_FALSE(sheet->m_FormThres.Differs(m_profile));
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(FormSheetTest, OKTakesEveryPageOverAndCancelOnlyReports)
{
    auto sheet = OpenSheet();
    CListCtrl& list = List(*sheet);
    list.SetCheck(RowArea, FALSE);
    list.SetItemText(RowFormfactor, ColumnMin, "0.25");
    list.SetItemText(RowFormfactor, ColumnMinAction, "+");
    list.SetItemText(RowColour, ColumnMin, "FF-00-0"); // 7 characters: black
    list.SetItemText(RowAppendix, ColumnMin, "6");
    sheet->m_Page1.CheckDlgButton(IDC_HIT_BOUNDARY, BST_CHECKED);
    sheet->m_Page3.CheckDlgButton(IDC_CLUSTER, BST_CHECKED);
    Press(sheet->m_Page3, IDC_MODEL_SKELETON);
    Type(sheet->m_Page3, IDC_MAX_DISTANCE, "12");
    Command(*sheet, IDOK);
    EXPECT_EQ(Reports().back(), (std::pair<WPARAM, LPARAM>{1, 431}));
    const CFormThres& copy = sheet->m_FormThres;
    EXPECT_FALSE(copy.TestFlagBit(featureArea));
    EXPECT_TRUE(copy.TestFlagBit(featureBorderContact));
    EXPECT_NE(copy.m_ObjectFilter.m_Filter & featureBorderContact, 0u);
    EXPECT_FLOAT_EQ(copy.m_ObjectFilter.m_Min.m_fFormFactor, 0.25f);
    EXPECT_NE(copy.m_ObjectFilter.m_Min.m_dwFeatureFlags & featureFormFactor, 0u);
    EXPECT_EQ(copy.m_ObjectFilter.m_Min.m_MeanColor, RGB(0, 0, 0));
    EXPECT_EQ(copy.m_FlagellumDetection, 6);
    EXPECT_EQ(copy.m_Parameter, 0x20u);
    EXPECT_EQ(copy.m_Model, static_cast<UINT>(CFormThres::modelSkeleton));
    EXPECT_EQ(copy.m_MaxDistance, 12);

    auto cancelled = OpenSheet();
    m_owner.m_reports.clear();
    Command(*cancelled, IDCANCEL);
    EXPECT_EQ(cancelled->GetSafeHwnd(), nullptr);
    EXPECT_EQ(Reports(), (std::vector<std::pair<WPARAM, LPARAM>>{{2, 434}, {2, 431}}));
}

TEST_F(FormSheetTest, ALimitThatDoesNotReadIsRefusedNamingItsRow)
{
    const struct
    {
        int row;
        int column;
        const char* text;
        const char* name;
    } cases[] = {
        {RowLength, ColumnMax, "12a", "Length"},
        {RowColour, ColumnMin, "GG-00-00", "Color (Avg.)"},
        {RowAppendix, ColumnMin, "2.5", "Appendix"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Reports();
        m_boxes->Clear();
        m_owner.m_reports.clear();
        auto sheet = OpenSheet();
        List(*sheet).SetItemText(c.row, c.column, c.text);
        Command(*sheet, IDOK);
        EXPECT_NE(sheet->GetSafeHwnd(), nullptr);
        ASSERT_EQ(m_boxes->Texts().size(), 1u);
        EXPECT_NE(m_boxes->Texts()[0].Find(c.name), -1) << m_boxes->Texts()[0];
        EXPECT_TRUE(Reports().empty());
        EXPECT_FALSE(sheet->m_FormThres.Differs(m_profile));
    }
}

TEST_F(FormSheetTest, TheClusterGroupFollowsTheModel)
{
    auto sheet = OpenSheet();
    CFormDlg3& page = sheet->m_Page3;
    EXPECT_TRUE(page.GetDlgItem(IDC_CLUSTER)->IsWindowEnabled());
    EXPECT_FALSE(page.GetDlgItem(IDC_MAX_DISTANCE)->IsWindowEnabled());
    Press(page, IDC_MODEL_ELLIPSE);
    EXPECT_FALSE(page.GetDlgItem(IDC_CLUSTER)->IsWindowEnabled());
    EXPECT_FALSE(page.GetDlgItem(IDC_MAX_DISTANCE)->IsWindowEnabled());
    EXPECT_TRUE(page.IsModified());
    Press(page, IDC_MODEL_SKELETON);
    EXPECT_TRUE(page.GetDlgItem(IDC_CLUSTER)->IsWindowEnabled());
    EXPECT_FALSE(page.GetDlgItem(IDC_MAX_DISTANCE)->IsWindowEnabled());
    Press(page, IDC_CLUSTER);
    EXPECT_TRUE(page.GetDlgItem(IDC_MAX_DISTANCE)->IsWindowEnabled());
}

TEST_F(FormSheetTest, SaveWritesWhatTheListShowsAndLoadShowsIt)
{
    auto sheet = OpenSheet();
    List(*sheet).SetItemText(RowArea, ColumnMax, "777");
    List(*sheet).SetItemText(RowWidth, ColumnMaxAction, "+");
    m_answer = PathOf("form.ini");
    Press(sheet->m_Page1, IDC_FORM_SAVE);
    EXPECT_TRUE(m_boxes->Texts().empty());
    Command(*sheet, IDCANCEL);

    auto other = OpenSheet();
    Press(other->m_Page1, IDC_FORM_LOAD);
    CListCtrl& list = List(*other);
    EXPECT_EQ(list.GetItemText(RowArea, ColumnMax), "777");
    EXPECT_EQ(list.GetItemText(RowWidth, ColumnMaxAction), "+");
    EXPECT_EQ(list.GetItemText(RowColour, ColumnMax), "C0-80-10");

    // A file without the section, and a cancelled dialog, change nothing.
    const CString foreign = PathOf("foreign.ini");
    WritePrivateProfileString("Calibration", "Factor", "2", foreign);
    m_answer = foreign;
    Press(other->m_Page1, IDC_FORM_LOAD);
    m_answer = "";
    Press(other->m_Page1, IDC_FORM_LOAD);
    EXPECT_EQ(list.GetItemText(RowArea, ColumnMax), "777");
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
}

TEST_F(FormSheetTest, TheFilterButtonsFollowTheirSwitches)
{
    m_profile.m_Option = featureArea;
    auto sheet = OpenSheet();
    CFormDlg2& page = sheet->m_Page2;
    const UINT areaButton = IDC_NUCLEI_FILTER + 2;
    const UINT nucleiButton = IDC_NUCLEI_FILTER;
    EXPECT_EQ(TextOf(page, areaButton), "+ Filter -");
    EXPECT_TRUE(page.GetDlgItem(areaButton)->IsWindowEnabled());
    EXPECT_FALSE(page.GetDlgItem(nucleiButton)->IsWindowEnabled());

    OnNextDialog([](CDialog& d) {
        EXPECT_EQ(TextOf(d, IDC_LOWER_SWITCH), "Min Area(Units)");
        EXPECT_EQ(TextOf(d, IDC_LOWER_LIMIT), "20");
        Press(d, IDC_LOWER_SWITCH);
        Press(d, IDC_UPPER_SWITCH);
        Type(d, IDC_UPPER_LIMIT, "900");
        Press(d, IDOK);
    });
    Press(page, areaButton);
    EXPECT_EQ(TextOf(page, areaButton), "- Filter +");
    EXPECT_FLOAT_EQ(sheet->m_FormThres.m_ObjectFilter.m_Max.m_fArea, 900.0f);

    Press(page, IDC_NUCLEI);
    EXPECT_TRUE(page.GetDlgItem(nucleiButton)->IsWindowEnabled());
    EXPECT_NE(sheet->m_FormThres.m_Option & featureNuclei, 0u);
    OnNextDialog([](CDialog& d) {
        EXPECT_EQ(TextOf(d, IDC_UPPER_SWITCH), "Max Anz. Nuclei");
        Type(d, IDC_LOWER_LIMIT, "1");
        Type(d, IDC_UPPER_LIMIT, "4");
        Press(d, IDC_LOWER_SWITCH);
        Press(d, IDOK);
    });
    Press(page, nucleiButton);
    EXPECT_EQ(TextOf(page, nucleiButton), "+ Filter -");
    EXPECT_EQ(sheet->m_FormThres.m_ObjectFilter.m_Max.m_wNuclei, 4);
}

TEST_F(FormSheetTest, TheAppendixActionAsksForTheTailSensitivity)
{
    auto sheet = OpenSheet();
    auto* list = DYNAMIC_DOWNCAST(CNeuListCtrl, sheet->m_Page1.GetDlgItem(IDC_FORM_LIST));
    ASSERT_NE(list, nullptr);
    list->SetActiveRow(RowAppendix);
    list->LayoutControls(TRUE);
    auto* action = DYNAMIC_DOWNCAST(CButton, list->GetColumnControl(list->FindColumnControl(ColumnMinAction)));
    ASSERT_NE(action, nullptr);
    OnNextDialog([](CDialog& d) {
        EXPECT_EQ(TextOf(d, IDC_SENSITIVITY_TEXT), "Sensitivity Tail Detection");
        kestrun::testing::Slide(d, IDC_SLIDER1, 7);
        Press(d, IDOK);
    });
    action->Click();
    list->RefreshTexts();
    EXPECT_EQ(list->GetItemText(RowAppendix, ColumnMin), "7");
    Command(*sheet, IDOK);
    EXPECT_EQ(sheet->m_FormThres.m_FlagellumDetection, 7);
}

} // namespace
