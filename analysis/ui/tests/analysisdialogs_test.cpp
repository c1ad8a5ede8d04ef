// The parameter dialogs: each shows the caller's values, hands back what
// the user set after OK and nothing after Cancel, and refuses values out
// of range with the dialog still open.

#include "dialogtesting.h"

#include "analysis/filterparams.h"
#include "analysis/channelchooserparas.h"
#include "analysis/objectfilter.h"
#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/channelchooser.h"
#include "analysis/ui/filtersettingsdlg.h"
#include "analysis/ui/fpardlgs.h"
#include "analysis/ui/sliderdlgs.h"

#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/winapp.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using namespace kestrun::analysisui;
using kestrun::testing::OnNextDialog;
using kestrun::testing::Press;
using kestrun::testing::Slide;
using kestrun::testing::TextOf;
using kestrun::testing::Type;

using Values = std::vector<double>;

// Every value a dialog of the table edits, wherever it lives.
struct sEdited
{
    CObjectFilter filter;
    sFilterParameters params;
    CChannelChooser channels;
    CSensitivityDlg sensitivity;
    CFParFloat real;
    CFParLong count;
    CFParaRGB colour;
    // What the caller of a dialog run directly took over after OK.
    Values caller;
};

struct sDialogCase
{
    const char* name;
    std::function<void(sEdited&)> prepare;
    std::function<BOOL(sEdited&)> open;
    // Control texts the dialog shows for the prepared values.
    std::vector<std::pair<UINT, CString>> shows;
    std::function<void(CDialog&)> edit;
    std::function<Values(sEdited&)> values;
    Values afterOK;
    Values afterCancel;
};

BOOL ranOK(CDialog& dialog)
{
    return dialog.DoModal() == IDOK;
}

// A dialog run directly: its caller takes its values over after OK only.
template <class Dialog>
std::function<BOOL(sEdited&)> runDirectly(Dialog sEdited::*dialog, Values (*snapshot)(Dialog&))
{
    return [dialog, snapshot](sEdited& e) {
        e.caller = snapshot(e.*dialog);
        if (!ranOK(e.*dialog))
            return FALSE;
        e.caller = snapshot(e.*dialog);
        return TRUE;
    };
}

Values callerValues(sEdited& e)
{
    return e.caller;
}

Values channelValues(CChannelChooser& d)
{
    return {double(d.ChannelSet()), double(d.m_nWeight)};
}

Values sensitivityValues(CSensitivityDlg& d)
{
    return {double(d.m_nValue)};
}

Values realValues(CFParFloat& d)
{
    return {d.m_fLower, d.m_fUpper, double(d.m_bLower), double(d.m_bUpper)};
}

Values countValues(CFParLong& d)
{
    return {double(d.m_nLower), double(d.m_nUpper), double(d.m_bLower)};
}

Values colourValues(CFParaRGB& d)
{
    return {d.m_fLowerRed, d.m_fLowerGreen, d.m_fLowerBlue, d.m_fUpperRed, d.m_fUpperGreen, d.m_fUpperBlue};
}

std::vector<sDialogCase> dialogCases()
{
    return {
        {"conglomerate cutting",
         [](sEdited& e) {
             e.filter.m_ConCutThres = 12.5f;
             e.filter.m_ConCutType = 1;
         },
         [](sEdited& e) { return e.filter.EditConglomerateCut(); },
         {{IDC_SLIDER1_VALUE, "10"}},
         [](CDialog& d) {
             Slide(d, IDC_SLIDER1, 3);
             Press(d, IDC_RADIO3);
         },
         [](sEdited& e) { return Values{e.filter.m_ConCutThres, double(e.filter.m_ConCutType)}; },
         {3.0, 2.0},
         {10.0, 1.0}},
        {"curvature",
         [](sEdited& e) {
             e.filter.m_ContourFeatureFit = 30;
             e.filter.m_ContourFeatureMethod = 1;
             e.filter.m_ContourFeatureSegmentFilterThres = 0.5f;
         },
         [](sEdited& e) { return e.filter.EditCurvature(); },
         {{IDC_SLIDER1_VALUE, "30"}, {IDC_THRES_LOW, "60"}, {IDC_THRES_HIGH, "140"}, {IDC_SEGMENT_WIDTH, "20"},
          {IDC_SEGMENT_THRES, "0.5"}, {IDC_LINEFIT_WIDTH, "300"}},
         [](CDialog& d) {
             Slide(d, IDC_SLIDER1, 12);
             Press(d, IDC_RADIO1);
             Type(d, IDC_THRES_LOW, "50");
             Type(d, IDC_THRES_HIGH, "150");
             Type(d, IDC_SEGMENT_WIDTH, "25");
             Type(d, IDC_SEGMENT_THRES, "1");
             Type(d, IDC_LINEFIT_WIDTH, "10");
         },
         [](sEdited& e) {
             const CObjectFilter& f = e.filter;
             return Values{double(f.m_ContourFeatureFit),           double(f.m_ContourFeatureMethod),
                           f.m_ContourFeatureThresLow,              f.m_ContourFeatureThresHigh,
                           double(f.m_ContourFeatureSegmentFilterFit), f.m_ContourFeatureSegmentFilterThres,
                           double(f.m_ContourFeatureLineFitThres)};
         },
         {12, 0, 50, 150, 25, 1.0, 10},
         {30, 1, 60, 140, 20, 0.5, 300}},
        {"convex/concave",
         [](sEdited& e) {
             e.filter.m_CCFit = 13;
             e.filter.m_ConvexThres = 6.7f;
             e.filter.m_ConcavThres = -2.0f;
             e.filter.m_Distance = 35;
         },
         [](sEdited& e) { return e.filter.EditConvexConcave(); },
         {{IDC_SLIDER1_VALUE, "13"}, {IDC_SLIDER2_VALUE, "6"}, {IDC_SLIDER3_VALUE, "0"}, {IDC_DISTANCE, "35"}},
         [](CDialog& d) {
             Slide(d, IDC_SLIDER1, 33);
             Slide(d, IDC_SLIDER2, 2);
             Slide(d, IDC_SLIDER3, 9);
             Type(d, IDC_DISTANCE, "12");
         },
         [](sEdited& e) {
             const CObjectFilter& f = e.filter;
             return Values{double(f.m_CCFit), f.m_ConvexThres, f.m_ConcavThres, double(f.m_Distance)};
         },
         {33, 2, 9, 12},
         {13, 6.7f, 0, 35}},
        {"filter settings",
         [](sEdited& e) {
             e.params.Iterations = 4;
             e.params.KernelWidth = 5;
             e.params.ThresholdCanny1 = 10.5;
             e.params.ThresholdCanny2 = 99;
             e.params.MorphologyType = 3;
         },
         [](sEdited& e) { return CFilterSettingsDlg::Edit(e.params); },
         {{IDC_ITERATIONS, "4"}, {IDC_KERNEL_WIDTH, "5"}, {IDC_CANNY1, "10.5"}, {IDC_CANNY2, "99"},
          {IDC_MORPHOLOGY, "Closing"}},
         [](CDialog& d) {
             Type(d, IDC_ITERATIONS, "20");
             Type(d, IDC_KERNEL_WIDTH, "25");
             Type(d, IDC_CANNY1, "1");
             Type(d, IDC_CANNY2, "2");
             static_cast<CComboBox*>(d.GetDlgItem(IDC_MORPHOLOGY))->SetCurSel(3);
         },
         [](sEdited& e) {
             const sFilterParameters& p = e.params;
             return Values{double(p.Iterations), double(p.KernelWidth), p.ThresholdCanny1, p.ThresholdCanny2,
                           double(p.MorphologyType)};
         },
         {20, 25, 1, 2, 5},
         {4, 5, 10.5, 99, 3}},
        {"morphology type 0",
         [](sEdited& e) { e.params.MorphologyType = 0; },
         [](sEdited& e) { return CFilterSettingsDlg::Edit(e.params); },
         {{IDC_MORPHOLOGY, "Opening"}},
         [](CDialog&) {},
         [](sEdited& e) { return Values{double(e.params.MorphologyType)}; },
         {2},
         {0}},
        {"morphology type 9",
         [](sEdited& e) { e.params.MorphologyType = 9; },
         [](sEdited& e) { return CFilterSettingsDlg::Edit(e.params); },
         {{IDC_MORPHOLOGY, "Blackhat"}},
         [](CDialog&) {},
         [](sEdited& e) { return Values{double(e.params.MorphologyType)}; },
         {6},
         {9}},
        {"channel chooser",
         [](sEdited& e) {
             e.channels.SetChannels(CChannelChooserParas::channelRed | CChannelChooserParas::channelBlue);
             e.channels.m_nWeight = 1;
         },
         runDirectly(&sEdited::channels, channelValues),
         {},
         [](CDialog& d) {
             EXPECT_EQ(d.IsDlgButtonChecked(IDC_CHANNEL_RED), BST_CHECKED);
             EXPECT_EQ(d.IsDlgButtonChecked(IDC_CHANNEL_GREEN), BST_UNCHECKED);
             EXPECT_EQ(d.IsDlgButtonChecked(IDC_WEIGHT_THIRD), BST_CHECKED);
             Press(d, IDC_CHANNEL_RED);
             Press(d, IDC_CHANNEL_GREEN);
             Press(d, IDC_WEIGHT_HALF);
         },
         callerValues,
         {double(CChannelChooserParas::channelGreen | CChannelChooserParas::channelBlue), 0},
         {double(CChannelChooserParas::channelRed | CChannelChooserParas::channelBlue), 1}},
        {"sensitivity",
         [](sEdited& e) {
             e.sensitivity.m_nMax = 20;
             e.sensitivity.m_nValue = 15;
             e.sensitivity.m_strText = "Sensitivity Tail Detection";
         },
         runDirectly(&sEdited::sensitivity, sensitivityValues),
         {{IDC_SENSITIVITY_TEXT, "Sensitivity Tail Detection"}, {IDC_SLIDER1_VALUE, "15"}},
         [](CDialog& d) { Slide(d, IDC_SLIDER1, 18); },
         callerValues,
         {18},
         {15}},
        {"real limits",
         [](sEdited& e) {
             e.real.m_strLabel1 = "Min Area(Units)";
             e.real.m_strLabel2 = "Max Area(Units)";
             e.real.m_fLower = 2.5f;
             e.real.m_fUpper = 300.0f;
             e.real.m_bUpper = 1;
         },
         runDirectly(&sEdited::real, realValues),
         {{IDC_LOWER_SWITCH, "Min Area(Units)"}, {IDC_UPPER_SWITCH, "Max Area(Units)"}, {IDC_LOWER_LIMIT, "2.5"},
          {IDC_UPPER_LIMIT, "300"}},
         [](CDialog& d) {
             Press(d, IDC_DEFAULT);
             EXPECT_EQ(TextOf(d, IDC_LOWER_LIMIT), "1");
             EXPECT_EQ(TextOf(d, IDC_UPPER_LIMIT), "10000");
             Press(d, IDC_LOWER_SWITCH);
         },
         callerValues,
         {1, 10000, 1, 0},
         {2.5, 300, 0, 1}},
        {"count limits",
         [](sEdited& e) {
             e.count.m_strLabel1 = "Min Anz. Nuclei";
             e.count.m_nLower = 2;
             e.count.m_nUpper = 5;
             e.count.m_bLower = 1;
         },
         runDirectly(&sEdited::count, countValues),
         {{IDC_LOWER_SWITCH, "Min Anz. Nuclei"}, {IDC_LOWER_LIMIT, "2"}, {IDC_UPPER_LIMIT, "5"}},
         [](CDialog& d) {
             Press(d, IDC_DEFAULT);
             Type(d, IDC_LOWER_LIMIT, "0");
         },
         callerValues,
         {0, 1000, 1},
         {2, 5, 1}},
        {"colour limits",
         [](sEdited& e) {
             e.colour.m_fLowerRed = 10;
             e.colour.m_fUpperBlue = 200;
         },
         runDirectly(&sEdited::colour, colourValues),
         {{IDC_LOWER_RED, "10"}, {IDC_UPPER_BLUE, "200"}},
         [](CDialog& d) { Press(d, IDC_DEFAULT); },
         callerValues,
         {0, 0, 0, 255, 255, 255},
         {10, 0, 0, 0, 0, 200}},
    };
}

class AnalysisDialogsTest : public ::testing::TestWithParam<bool>
{
protected:
    kestrun::testing::ScopedMessageBoxes m_boxes;
};

// With OK (true) and with Cancel (false).
TEST_P(AnalysisDialogsTest, EveryDialogShowsTheValuesAndHandsThemBackOnlyAfterOK)
{
    const bool ok = GetParam();
    for (const sDialogCase& c : dialogCases()) {
        SCOPED_TRACE(c.name);
        sEdited edited;
        c.prepare(edited);
        OnNextDialog([&](CDialog& d) {
            for (const auto& [id, text] : c.shows)
                EXPECT_EQ(TextOf(d, id), text) << id;
            c.edit(d);
            if (ok)
                Press(d, IDOK);
            else
                d.SendMessage(WM_CLOSE);
        });
        EXPECT_EQ(c.open(edited), ok ? TRUE : FALSE);
        EXPECT_EQ(c.values(edited), ok ? c.afterOK : c.afterCancel);
    }
    EXPECT_TRUE(m_boxes->Texts().empty());
}

INSTANTIATE_TEST_SUITE_P(OKAndCancel, AnalysisDialogsTest, ::testing::Bool());

struct sRangeCase
{
    const char* name;
    std::function<BOOL(sEdited&)> open;
    UINT field;
    const char* text;
};

TEST(AnalysisDialogRangesTest, AValueOutOfRangeIsRefusedAndTheDialogStaysOpen)
{
    const auto curvature = [](sEdited& e) { return e.filter.EditCurvature(); };
    const auto settings = [](sEdited& e) { return CFilterSettingsDlg::Edit(e.params); };
    const sRangeCase cases[] = {
        {"segment threshold", curvature, IDC_SEGMENT_THRES, "1.01"},
        {"iterations 0", settings, IDC_ITERATIONS, "0"},
        {"iterations 21", settings, IDC_ITERATIONS, "21"},
        {"kernel 2", settings, IDC_KERNEL_WIDTH, "2"},
        {"kernel 4", settings, IDC_KERNEL_WIDTH, "4"},
        {"kernel 26", settings, IDC_KERNEL_WIDTH, "26"},
        {"upper count 0", [](sEdited& e) { return ranOK(e.count); }, IDC_UPPER_LIMIT, "0"},
        {"grade 6", [](sEdited& e) { return e.filter.EditSmoothing(); }, IDC_SMOOTH_GRADE0 + 2, "6"},
    };
    for (const sRangeCase& c : cases) {
        SCOPED_TRACE(c.name);
        kestrun::testing::ScopedMessageBoxes boxes;
        sEdited edited;
        edited.count.m_nUpper = 7;
        const sEdited before;
        bool stayedOpen = false;
        OnNextDialog([&](CDialog& d) {
            Type(d, c.field, c.text);
            Press(d, IDOK);
            stayedOpen = d.GetSafeHwnd() != nullptr && d.IsWindowVisible();
            d.SendMessage(WM_CLOSE);
        });
        EXPECT_FALSE(c.open(edited));
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(boxes->Texts().size(), 1u);
        EXPECT_EQ(edited.filter.m_ContourFeatureSegmentFilterThres, before.filter.m_ContourFeatureSegmentFilterThres);
        EXPECT_EQ(edited.params.Iterations, before.params.Iterations);
        EXPECT_EQ(edited.params.KernelWidth, before.params.KernelWidth);
        EXPECT_EQ(edited.count.m_nUpper, 7);
    }
}

TEST(FilterSelectionTest, AStepAddedTwiceIsStoredTwiceAndRemovedOnce)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    CObjectFilter filter;
    filter.m_arrayFilter.Add(filterSmooth);
    filter.m_arrayFilter.Add(42); // a step this build does not name
    filter.m_arrayFilter.Add(filterEdge);
    OnNextDialog([](CDialog& d) {
        auto* selected = static_cast<CListBox*>(d.GetDlgItem(IDC_SELECTED_FILTERS));
        auto* available = static_cast<CListBox*>(d.GetDlgItem(IDC_AVAILABLE_FILTERS));
        ASSERT_EQ(selected->GetCount(), 3);
        CString text;
        selected->GetText(1, text);
        EXPECT_EQ(text, "Unknown");
        ASSERT_EQ(available->GetCount(), 10);
        available->GetText(9, text);
        EXPECT_EQ(text, "Undistort");
        // Nothing chosen: nothing added.
        Press(d, IDC_ADD_FILTER);
        EXPECT_EQ(selected->GetCount(), 3);
        available->SetCurSel(filterErode);
        Press(d, IDC_ADD_FILTER);
        Press(d, IDC_ADD_FILTER);
        selected->SetCurSel(0);
        Press(d, IDC_REMOVE_FILTER);
        Press(d, IDOK);
    });
    EXPECT_TRUE(filter.EditFilters());
    std::vector<int> steps;
    for (int i = 0; i < filter.GetFilterCount(); ++i)
        steps.push_back(filter.GetFilter(i));
    EXPECT_EQ(steps, (std::vector<int>{42, filterEdge, filterErode, filterErode}));
}

// The main window's children hear of a changed smoothing.
class CParameterListener : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == RegisterWindowMessage("PARAMETER_CHANGED"))
            m_heard.push_back(wParam);
        return CWnd::WindowProc(message, wParam, lParam);
    }

    std::vector<WPARAM> m_heard;
};

TEST(SmoothingDialogTest, OKTakesThePassesOverAndTellsTheWindows)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    CWinApp app("SmoothingDialogTest");
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, nullptr, "main", WS_OVERLAPPED, CRect(0, 0, 200, 100), nullptr, 0));
    CParameterListener listener;
    ASSERT_TRUE(listener.Create(nullptr, "listener", WS_CHILD, CRect(0, 0, 10, 10), &main, 1));
    app.m_pMainWnd = &main;

    CObjectFilter filter;
    filter.m_Smoothing = 0;
    OnNextDialog([](CDialog& d) {
        EXPECT_EQ(d.IsDlgButtonChecked(IDC_SMOOTH), BST_UNCHECKED);
        EXPECT_EQ(TextOf(d, IDC_SMOOTH_GRADE0), "2");
        EXPECT_EQ(TextOf(d, IDC_SMOOTH_TURNS0 + 1), "10");
        Type(d, IDC_SMOOTH_GRADE0, "3");
        Press(d, IDC_SMOOTH);
        Press(d, IDCANCEL);
    });
    EXPECT_FALSE(filter.EditSmoothing());
    EXPECT_EQ(filter.m_SmoothGrade[0], 2);
    EXPECT_TRUE(listener.m_heard.empty());

    OnNextDialog([](CDialog& d) {
        Type(d, IDC_SMOOTH_GRADE0, "5");
        Type(d, IDC_SMOOTH_TURNS0 + 4, "999");
        Press(d, IDC_SMOOTH);
        Press(d, IDOK);
    });
    EXPECT_TRUE(filter.EditSmoothing());
    EXPECT_EQ(filter.m_Smoothing, 1);
    EXPECT_EQ(filter.m_SmoothGrade[0], 5);
    EXPECT_EQ(filter.m_SmoothMaxTurns[4], 999);
    EXPECT_EQ(listener.m_heard, std::vector<WPARAM>{2});
    app.m_pMainWnd = nullptr;
}

} // namespace
