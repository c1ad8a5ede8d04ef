// The class, counting and information windows: the class buttons and their
// messages, moving features, editing Min and Max (bad input refused),
// learning a clicked object and a clicked colour; the counter's points,
// crosses and "DataChanged" on OK; the information window that closes
// itself when its timer fires; and the close reports to the owner.

#include "dialogtesting.h"

#include "analysis/classes.h"
#include "analysis/objdata.h"
#include "analysis/ui/infodlgresources.h"
#include "analysis/ui/infodlgs.h"
#include "analysis/ui/infolearnclass.h"

#include "platform/core/messages.h"
#include "platform/core/recording_dc.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/winapp.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <utility>
#include <vector>

namespace {

using namespace kestrun::analysisui;
using kestrun::testing::Press;
using kestrun::testing::TextOf;

using Report = std::pair<WPARAM, LPARAM>;

// The owner view's side: close reports and commands.
class COwnerWnd : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CInfoToolDlg::kCloseReport)
            m_reports.emplace_back(wParam, lParam);
        if (message == WM_COMMAND)
            m_commands.push_back(LOWORD(wParam));
        if (message == CInfoManualCount::DataChangedMessage())
            m_dataChanged.push_back(wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }

    std::vector<Report> m_reports;
    std::vector<UINT> m_commands;
    std::vector<WPARAM> m_dataChanged;
};

class InfoDlgsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_main.CreateEx(0, nullptr, "main", WS_OVERLAPPED, CRect(0, 0, 300, 200), nullptr, 0));
        ASSERT_TRUE(m_owner.Create(nullptr, "view", WS_CHILD, CRect(0, 0, 100, 100), &m_main, 1));
        m_app.m_pMainWnd = &m_main;
    }
    void TearDown() override { m_app.m_pMainWnd = nullptr; }

    std::vector<Report> Reports()
    {
        kestrun::PumpMessages();
        return m_owner.m_reports;
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CWinApp m_app{"InfoDlgsTest"};
    CWnd m_main;
    COwnerWnd m_owner;
};

// ---- the class window ------------------------------------------------------------------------

class LearnClassTest : public InfoDlgsTest
{
protected:
    std::unique_ptr<CInfoLearnClass> Open()
    {
        auto dialog = std::make_unique<CInfoLearnClass>(&m_owner, m_classes);
        EXPECT_TRUE(dialog->Create());
        return dialog;
    }

    // Typed into the class box, as the user does.
    static void Name(CInfoLearnClass& dialog, const char* name)
    {
        CWnd* box = dialog.GetDlgItem(IDC_CLASS_NAME);
        box->SetWindowText(name);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CLASS_NAME, CBN_EDITCHANGE),
                           reinterpret_cast<LPARAM>(box->GetSafeHwnd()));
    }

    // Entry n of the class box chosen (0 "Not Classified", then the classes).
    static void ChooseClass(CInfoLearnClass& dialog, int n)
    {
        auto* box = static_cast<CComboBox*>(dialog.GetDlgItem(IDC_CLASS_NAME));
        box->SetCurSel(n);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CLASS_NAME, CBN_SELCHANGE),
                           reinterpret_cast<LPARAM>(box->GetSafeHwnd()));
    }

    static std::vector<CString> Items(CInfoLearnClass& dialog, UINT id)
    {
        auto* list = static_cast<CListBox*>(dialog.GetDlgItem(static_cast<int>(id)));
        std::vector<CString> items;
        for (int i = 0; i < list->GetCount(); ++i) {
            CString text;
            list->GetText(i, text);
            items.push_back(text);
        }
        return items;
    }

    static void Choose(CInfoLearnClass& dialog, UINT id, const char* name)
    {
        auto* list = static_cast<CListBox*>(dialog.GetDlgItem(static_cast<int>(id)));
        list->SetCurSel(list->FindStringExact(-1, name));
    }

    CClasses m_classes;
};

TEST_F(LearnClassTest, ClassButtonsAddRenameDeleteAndResetByName)
{
    auto dialog = Open();
    EXPECT_EQ(dialog->GetCurrentClass(), -1);

    Name(*dialog, "Cocci");
    Press(*dialog, IDC_CLASS_ADD);
    ASSERT_EQ(m_classes.GetCount(), 1);
    EXPECT_EQ(m_classes[0].m_strName, "Cocci");
    ASSERT_EQ(m_classes[0].GetFeatureCount(), 1);
    EXPECT_EQ(m_classes[0].GetFeature(0).m_strName, "Area");
    EXPECT_EQ(m_classes[0].GetFeature(0).m_nType, 1);
    EXPECT_EQ(dialog->GetCurrentClass(), 0);
    EXPECT_EQ(m_owner.m_commands, std::vector<UINT>{ID_CLASS_ADDED});
    EXPECT_EQ(TextOf(*dialog, IDC_CLASS_INDEX), "1");
    EXPECT_EQ(dialog->GetFeatureList().GetItemText(0, CInfoLearnClass::colName), "Area");

    Name(*dialog, "Cocci");
    Press(*dialog, IDC_CLASS_ADD);
    EXPECT_EQ(m_classes.GetCount(), 1);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Klasse existiert bereits"});

    Name(*dialog, "Bacilli");
    Press(*dialog, IDC_CLASS_MODIFY);
    EXPECT_EQ(m_classes[0].m_strName, "Bacilli");

    struct Case
    {
        const char* name;
        UINT button;
        CString message; // empty: none
    };
    const Case cases[] = {
        {"Spores", IDC_CLASS_RESET, "Klasse nicht vorhanden"},
        {"Spores", IDC_CLASS_DELETE, "Klasse nicht vorhanden"},
        {"Bacilli", IDC_CLASS_RESET, ""},
        {"Bacilli", IDC_CLASS_DELETE, ""},
    };
    for (const Case& c : cases) {
        m_boxes->Clear();
        Name(*dialog, c.name);
        Press(*dialog, c.button);
        EXPECT_EQ(m_boxes->Texts(), c.message.IsEmpty() ? std::vector<CString>{} : std::vector<CString>{c.message})
            << c.name << " " << c.button;
    }
    EXPECT_EQ(m_classes.GetCount(), 0);
    EXPECT_EQ(dialog->GetCurrentClass(), -1);
    EXPECT_EQ(dialog->GetFeatureList().GetItemCount(), 0);
}

TEST_F(LearnClassTest, FeaturesMoveBetweenTheAvailableAndTheIncludedList)
{
    ASSERT_TRUE(m_classes.AddClass("Cocci"));
    auto dialog = Open();
    EXPECT_EQ(Items(*dialog, IDC_CLASS_INCLUDED).size(), 0U);
    EXPECT_EQ(Items(*dialog, IDC_CLASS_AVAILABLE).size(), 8U);

    Choose(*dialog, IDC_CLASS_AVAILABLE, "Length");
    Press(*dialog, IDC_CLASS_INCLUDE);
    Choose(*dialog, IDC_CLASS_AVAILABLE, "Color Blue");
    Press(*dialog, IDC_CLASS_INCLUDE);
    EXPECT_EQ(Items(*dialog, IDC_CLASS_INCLUDED), (std::vector<CString>{"Length", "Color Blue"}));
    EXPECT_EQ(m_classes[0].FindFeature(4), 0);
    EXPECT_EQ(m_classes[0].FindFeature(128), 1);
    EXPECT_EQ(dialog->GetFeatureList().GetItemCount(), 2);

    Choose(*dialog, IDC_CLASS_INCLUDED, "Length");
    Press(*dialog, IDC_CLASS_EXCLUDE);
    EXPECT_EQ(Items(*dialog, IDC_CLASS_INCLUDED), std::vector<CString>{"Color Blue"});
    EXPECT_EQ(m_classes[0].FindFeature(4), -1);
    EXPECT_EQ(Items(*dialog, IDC_CLASS_AVAILABLE).size(), 7U);

    const std::pair<const char*, int> codes[] = {{"Area", 1},       {"Roundness", 16}, {"Color Green", 64},
                                                 {"Colour Red", -1}, {"area", -1},      {"", -1}};
    for (const auto& [name, code] : codes)
        EXPECT_EQ(CInfoLearnClass::FeatureCode(name), code) << name;
}

TEST_F(LearnClassTest, MinAndMaxCellsTakeNumbersAndRefuseEverythingElse)
{
    ASSERT_TRUE(m_classes.AddClass("Cocci"));
    m_classes.ElementAt(0).AddFeature("Area", 1, 10.0, 40.0);
    auto dialog = Open();

    struct Case
    {
        int column;
        const char* text;
        bool taken;
        double min;
        double max;
    };
    const Case cases[] = {
        {CInfoLearnClass::colMin, "5", true, 5.0, 40.0},
        {CInfoLearnClass::colMax, " 30.5 ", true, 5.0, 30.5},
        {CInfoLearnClass::colMax, "abc", false, 5.0, 30.5},
        {CInfoLearnClass::colMax, "12abc", false, 5.0, 30.5},
        {CInfoLearnClass::colMin, "", false, 5.0, 30.5},
        {CInfoLearnClass::colMin, "-", false, 5.0, 30.5},
        {CInfoLearnClass::colMin, "1e999", false, 5.0, 30.5},
        {CInfoLearnClass::colMin, "nan", false, 5.0, 30.5},
        {CInfoLearnClass::colMin, "31", false, 5.0, 30.5}, // above the maximum
        {CInfoLearnClass::colAvg, "7", false, 5.0, 30.5},
        {CInfoLearnClass::colName, "7", false, 5.0, 30.5},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dialog->EditCell(0, c.column, c.text), c.taken) << c.text;
        EXPECT_DOUBLE_EQ(m_classes[0].GetFeatureStat(0, CVectorNormal::statMin), c.min) << c.text;
        EXPECT_DOUBLE_EQ(m_classes[0].GetFeatureStat(0, CVectorNormal::statMax), c.max) << c.text;
    }
    EXPECT_EQ(dialog->GetFeatureList().GetItemText(0, CInfoLearnClass::colMin), "5.00");
    EXPECT_EQ(dialog->GetFeatureList().GetItemText(0, CInfoLearnClass::colMax), "30.50");
    EXPECT_FALSE(dialog->EditCell(1, CInfoLearnClass::colMin, "1")); // no such row

    // In place: a double click puts an editor over the cell, leaving it takes the value.
    const std::pair<const char*, double> edits[] = {{"33", 33.0}, {"x", 33.0}};
    for (const auto& [text, max] : edits) {
        NMITEMACTIVATE click{};
        click.hdr.hwndFrom = dialog->GetFeatureList().GetSafeHwnd();
        click.hdr.idFrom = IDC_CLASS_FEATURES;
        click.hdr.code = NM_DBLCLK;
        click.iItem = 0;
        click.iSubItem = CInfoLearnClass::colMax;
        dialog->SendMessage(WM_NOTIFY, IDC_CLASS_FEATURES, reinterpret_cast<LPARAM>(&click));
        CWnd* editor = dialog->GetDlgItem(CInfoLearnClass::kEditorId);
        ASSERT_NE(editor, nullptr) << text;
        editor->SetWindowText(text);
        dialog->SendMessage(WM_COMMAND, MAKEWPARAM(CInfoLearnClass::kEditorId, EN_KILLFOCUS),
                            reinterpret_cast<LPARAM>(editor->GetSafeHwnd()));
        EXPECT_DOUBLE_EQ(m_classes[0].GetFeatureStat(0, CVectorNormal::statMax), max) << text;
    }
}

TEST_F(LearnClassTest, AClickedObjectAndAClickedColourAreLearnedIntoTheCurrentClass)
{
    CObjData object;
    object.m_lArea = 250;
    object.m_MeanColor = RGB(10, 20, 30);
    object.m_Type = 0x4; // the area only

    auto dialog = Open();
    dialog->LearnObject(object);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"No class selected!"});
    m_boxes->Clear();

    ASSERT_TRUE(m_classes.AddClass("Cocci"));
    m_classes.ElementAt(0).AddFeature("Area", 1, 0.0, 0.0);
    m_classes.ElementAt(0).AddFeature("Color Red", 32, 0.0, 0.0);
    m_classes.ElementAt(0).AddFeature("Color Blue", 128, 0.0, 0.0);
    dialog->RefreshClassList();
    EXPECT_EQ(dialog->GetCurrentClass(), -1);
    ChooseClass(*dialog, 1);
    ASSERT_EQ(dialog->GetCurrentClass(), 0);

    // Not learning yet: a click only asks for an object.
    dialog->OnObjectClicked(nullptr);
    EXPECT_EQ(TextOf(*dialog, IDC_CLASS_PROMPT), CInfoLearnClass::kPrompt);
    dialog->OnObjectClicked(&object);
    EXPECT_DOUBLE_EQ(m_classes[0].GetFeatureStat(0, CVectorNormal::statMax), 0.0);

    Press(*dialog, IDC_CLASS_LEARN);
    EXPECT_TRUE(dialog->IsLearning());
    CListCtrl& list = dialog->GetFeatureList();
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    dialog->OnObjectClicked(&object);
    // The area is learned; the object carries no red channel.
    EXPECT_DOUBLE_EQ(m_classes[0].GetFeatureStat(0, CVectorNormal::statMax), 250.0);
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Mark not available for the selected Object"});
    EXPECT_EQ(list.GetItemText(0, CInfoLearnClass::colMax), "250.00");

    // A colour feeds every colour feature of the class, by channel.
    dialog->LearnColor(RGB(10, 20, 30));
    EXPECT_DOUBLE_EQ(m_classes[0].GetFeatureStat(1, CVectorNormal::statMax), 10.0);
    EXPECT_DOUBLE_EQ(m_classes[0].GetFeatureStat(2, CVectorNormal::statMax), 30.0);
    EXPECT_DOUBLE_EQ(m_classes[0].GetFeatureStat(0, CVectorNormal::statMax), 250.0);
}

TEST_F(LearnClassTest, OKKeepsTheColumnWidthsAndReportsToTheOwner)
{
    m_app.SetProfileName((std::filesystem::path(std::getenv("KESTRUN_DATA_ROOT")) / "infolearnclass.ini").c_str());
    auto dialog = Open();
    EXPECT_EQ(dialog->GetFeatureList().GetColumnWidth(CInfoLearnClass::colName), 100);
    dialog->GetFeatureList().SetColumnWidth(CInfoLearnClass::colName, 120);
    Press(*dialog, IDOK);
    EXPECT_EQ(Reports(), std::vector<Report>{Report(1, IDD_INFO_LEARN_CLASS)});
    EXPECT_EQ(m_app.GetProfileInt("InfoLearnClass", "Width1", 0), 120U);
    auto again = Open();
    EXPECT_EQ(again->GetFeatureList().GetColumnWidth(CInfoLearnClass::colName), 120);
    m_app.WriteProfileInt("InfoLearnClass", "Width1", 100);
    m_app.SetProfileName(nullptr);
}

// ---- the counter and the small windows ---------------------------------------------------------

TEST_F(InfoDlgsTest, TheCounterCountsRemovesDrawsAndTellsTheCountOnOK)
{
    CInfoManualCount dialog(&m_owner);
    ASSERT_TRUE(dialog.Create());
    EXPECT_FALSE(dialog.GetDlgItem(IDC_COUNT_REMOVE)->IsWindowEnabled());
    dialog.AddPoint(10, 20);
    dialog.AddPoint(40, 50);
    dialog.AddPoint(70, 80);
    EXPECT_EQ(TextOf(dialog, IDC_COUNT_VALUE), "3");
    EXPECT_TRUE(dialog.GetDlgItem(IDC_COUNT_REMOVE)->IsWindowEnabled());
    Press(dialog, IDC_COUNT_REMOVE);
    EXPECT_EQ(dialog.GetCount(), 2);
    EXPECT_EQ(TextOf(dialog, IDC_COUNT_VALUE), "2");

    CRecordingDC dc;
    dialog.DrawPoints(&dc, RGB(255, 0, 0));
    std::vector<std::pair<CPoint, CPoint>> lines;
    std::vector<std::pair<CPoint, CString>> texts;
    for (const CDCRecord& r : dc.Records()) {
        if (r.op == "LineTo") {
            EXPECT_EQ(r.pen.lopnColor, RGB(255, 0, 0));
            lines.emplace_back(r.points[0], r.points[1]);
        }
        if (r.op == "TextOut")
            texts.emplace_back(r.points[0], r.text);
    }
    const std::vector<std::pair<CPoint, CPoint>> crosses{
        {{4, 20}, {17, 20}}, {{10, 14}, {10, 27}}, {{34, 50}, {47, 50}}, {{40, 44}, {40, 57}}};
    EXPECT_EQ(lines, crosses);
    const std::vector<std::pair<CPoint, CString>> numbers{{{15, 20}, "1"}, {{45, 50}, "2"}};
    EXPECT_EQ(texts, numbers);

    Press(dialog, IDOK);
    EXPECT_EQ(m_owner.m_dataChanged, std::vector<WPARAM>{2});
    EXPECT_EQ(Reports(), std::vector<Report>{Report(1, IDD_INFO_MANUAL_COUNT)});
}

TEST_F(InfoDlgsTest, TheAddObjectPromptReportsItsClosing)
{
    // OK, and Escape (it has no Cancel button).
    const std::pair<UINT, WPARAM> closings[] = {{IDOK, 1}, {IDCANCEL, 2}};
    for (const auto& [command, result] : closings) {
        m_owner.m_reports.clear();
        CInfoLearnThres dialog(&m_owner);
        ASSERT_TRUE(dialog.Create());
        dialog.SendMessage(WM_COMMAND, command, 0);
        EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
        EXPECT_EQ(Reports(), std::vector<Report>{Report(result, IDD_INFO_LEARN_THRES)});
    }
}

TEST_F(InfoDlgsTest, TheInformationWindowClosesItselfWhenItsTimerFires)
{
    CInfoDlg dialog("Running filter operation ...", 100, &m_main);
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(TextOf(dialog, IDC_INFO_TEXT), "Running filter operation ...");
    EXPECT_EQ(dialog.GetTimer(), CInfoDlg::kTimerId);
    dialog.SendMessage(WM_TIMER, CInfoDlg::kTimerId + 1, 0); // not its timer
    EXPECT_NE(dialog.GetSafeHwnd(), nullptr);
    dialog.SendMessage(WM_TIMER, CInfoDlg::kTimerId, 0);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.GetTimer(), 0U);
}

} // namespace
