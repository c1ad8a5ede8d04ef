// Property sheets: pages made when shown, leaving a page only with valid
// data, OK and Apply for every page, and the wizard's way through.

#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/ddx.h"
#include "platform/ui/propsheet.h"
#include "platform/ui/staticedit.h"

#include <QTimer>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr UINT kFirst = 7201;
constexpr UINT kSecond = 7202;
constexpr UINT kThird = 7203;
constexpr UINT IDC_VALUE = 1100;

std::vector<std::string> g_events;

void registerPages()
{
    using namespace kestrun;
    for (const auto& [id, caption] : {std::pair{kFirst, "First"}, {kSecond, "Second"}, {kThird, "Third"}})
        RegisterDialogTemplate(id, {caption, CRect(0, 0, 160, 80), {EditText(IDC_VALUE, 7, 7, 60, 12)}});
}

class CValuePage : public CPropertyPage
{
public:
    CValuePage(UINT id, const char* name) : CPropertyPage(id), m_name(name) {}

    int m_value = 1;
    LRESULT m_next = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        DDX_Text(pDX, IDC_VALUE, m_value);
        DDV_MinMaxInt(pDX, m_value, 0, 9);
    }
    BOOL OnInitDialog() override
    {
        g_events.push_back("init " + m_name);
        return CPropertyPage::OnInitDialog();
    }
    BOOL OnSetActive() override
    {
        g_events.push_back("show " + m_name);
        if (GetSheet()->IsWizard())
            GetSheet()->SetWizardButtons(m_name == "third" ? PSWIZB_BACK | PSWIZB_FINISH : PSWIZB_BACK | PSWIZB_NEXT);
        return TRUE;
    }
    BOOL OnApply() override
    {
        g_events.push_back("apply " + m_name);
        return CPropertyPage::OnApply();
    }
    LRESULT OnWizardNext() override { return m_next; }

private:
    std::string m_name;
};

void setValue(CPropertyPage& page, const char* text)
{
    page.GetDlgItem(IDC_VALUE)->SetWindowText(text);
}

class PropertySheetTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        registerPages();
        g_events.clear();
        for (CValuePage* page : {&m_first, &m_second, &m_third})
            m_sheet.AddPage(page);
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CValuePage m_first{kFirst, "first"};
    CValuePage m_second{kSecond, "second"};
    CValuePage m_third{kThird, "third"};
    CPropertySheet m_sheet{"Options"};
};

TEST_F(PropertySheetTest, PagesAreMadeWhenShownAndLeftOnlyWithValidData)
{
    ASSERT_TRUE(m_sheet.Create());
    EXPECT_EQ(g_events, (std::vector<std::string>{"init first", "show first"}));
    EXPECT_EQ(m_second.m_hWnd, nullptr);

    setValue(m_first, "12");
    EXPECT_FALSE(m_sheet.SetActivePage(1));
    EXPECT_EQ(m_sheet.GetActiveIndex(), 0);
    EXPECT_EQ(m_boxes->Texts().size(), 1u);

    setValue(m_first, "4");
    EXPECT_TRUE(m_sheet.SetActivePage(&m_second));
    EXPECT_EQ(m_first.m_value, 4);
    EXPECT_NE(m_second.m_hWnd, nullptr);
    EXPECT_EQ(m_sheet.GetActivePage(), &m_second);
}

TEST_F(PropertySheetTest, OkAppliesEveryPageThatWasShown)
{
    QTimer::singleShot(0, [&] {
        setValue(m_first, "6");
        m_sheet.SetActivePage(2);
        setValue(m_third, "8");
        m_sheet.PressButton(PSBTN_OK);
    });
    EXPECT_EQ(m_sheet.DoModal(), IDOK);
    EXPECT_EQ(m_first.m_value, 6);
    EXPECT_EQ(m_third.m_value, 8);
    EXPECT_EQ(std::count(g_events.begin(), g_events.end(), "apply first"), 1);
    EXPECT_EQ(std::count(g_events.begin(), g_events.end(), "apply second"), 0);
    EXPECT_EQ(std::count(g_events.begin(), g_events.end(), "apply third"), 1);
    EXPECT_EQ(m_sheet.m_hWnd, nullptr);
}

TEST_F(PropertySheetTest, WizardWalksThePagesAndFinishes)
{
    m_sheet.SetWizardMode();
    m_first.m_next = kThird; // skips the second page
    QTimer::singleShot(0, [&] {
        m_sheet.PressButton(PSBTN_NEXT);
        EXPECT_EQ(m_sheet.GetActivePage(), &m_third);
        m_sheet.PressButton(PSBTN_BACK);
        EXPECT_EQ(m_sheet.GetActivePage(), &m_second);
        setValue(m_second, "x");
        m_sheet.PressButton(PSBTN_NEXT); // refused: not a number
        EXPECT_EQ(m_sheet.GetActivePage(), &m_second);
        setValue(m_second, "3");
        m_sheet.PressButton(PSBTN_NEXT);
        setValue(m_third, "7");
        m_sheet.PressButton(PSBTN_FINISH);
    });
    EXPECT_EQ(m_sheet.DoModal(), ID_WIZFINISH);
    EXPECT_EQ(m_second.m_value, 3);
    EXPECT_EQ(m_third.m_value, 7);
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
}

TEST_F(PropertySheetTest, CancelLeavesTheMembersAsTheyWere)
{
    QTimer::singleShot(0, [&] {
        setValue(m_first, "5");
        m_sheet.PressButton(PSBTN_CANCEL);
    });
    EXPECT_EQ(m_sheet.DoModal(), IDCANCEL);
    EXPECT_EQ(m_first.m_value, 1);
}

TEST_F(PropertySheetTest, RemovingAnEarlierPageKeepsTheActiveOne)
{
    ASSERT_TRUE(m_sheet.Create());
    ASSERT_TRUE(m_sheet.SetActivePage(&m_second));
    m_sheet.RemovePage(&m_first);
    EXPECT_EQ(m_sheet.GetPageCount(), 2);
    EXPECT_EQ(m_sheet.GetActivePage(), &m_second);
    EXPECT_EQ(m_first.GetSheet(), nullptr);
}

// Pages declared after their sheet go first and leave it on their way.
TEST(PropertySheetLifetimeTest, PagesMayGoBeforeTheirSheet)
{
    registerPages();
    kestrun::testing::ScopedMessageBoxes boxes;
    CPropertySheet sheet("Options");
    CValuePage first(kFirst, "first");
    sheet.AddPage(&first);
    {
        CValuePage second(kSecond, "second");
        sheet.AddPage(&second);
        QTimer::singleShot(0, [&] {
            sheet.SetActivePage(&second);
            sheet.PressButton(PSBTN_CANCEL);
        });
        EXPECT_EQ(sheet.DoModal(), IDCANCEL);
    }
    EXPECT_EQ(sheet.GetPageCount(), 1);
    EXPECT_EQ(sheet.GetActivePage(), &first);

    // So does a page of a modeless sheet whose window has gone.
    ASSERT_TRUE(sheet.Create());
    {
        CValuePage third(kThird, "third");
        sheet.AddPage(&third);
        EXPECT_TRUE(sheet.SetActivePage(&third));
        sheet.DestroyWindow();
    }
    EXPECT_EQ(sheet.GetPageCount(), 1);
    ASSERT_TRUE(sheet.Create());
    EXPECT_EQ(sheet.GetActivePage(), &first);
    EXPECT_NE(first.m_hWnd, nullptr);
}

} // namespace
