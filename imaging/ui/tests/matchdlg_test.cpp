// The view's matching windows: the pattern-matching control (learn and
// match, the list and its lamp, live matching on the simulated board) and
// the area pattern check (its messages, OK and the threshold), each opened
// once by its command and gone with its close report or its view.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/matchdlg0.h"
#include "imaging/ui/matchdlg7.h"
#include "imaging/ui/matchdlg8.h"
#include "imaging/dibdocex.h"
#include "imaging/tests/boardprobe.h"

#include "analysis/aoidoc.h"
#include "analysis/aoiraster.h"
#include "analysis/ui/tests/dialogtesting.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/messages.h"

#include <opencv2/imgproc.hpp>

#include <chrono>
#include <future>
#include <thread>

namespace {

using kestrun::testing::CImageViewTest;

class MatchWindowsTest : public CImageViewTest
{
protected:
    void SetUp() override
    {
        CImageViewTest::SetUp();
        // The program's image documents are the extended ones.
        m_imageTemplate->m_pDocClass = RUNTIME_CLASS(CDIBDocEx);
        m_ex = dynamic_cast<CDIBDocEx*>(OpenPlate());
        ASSERT_NE(m_ex, nullptr);
        m_exView = ViewOf(m_ex);
        cv::RNG rng(38);
        rng.fill(m_ex->GetActiveDIB()->GetMat(), cv::RNG::UNIFORM, cv::Scalar::all(40), cv::Scalar::all(220));
    }

    CAOI* AddArea(const CRect& rect)
    {
        std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(rect);
        CAOI* added = area.get();
        EXPECT_EQ(m_engine.m_AOIDoc.AddAOI(area), 1);
        return added;
    }

    CMatchDlg8& OpenMatching()
    {
        m_exView->SendMessage(WM_COMMAND, ID_TOOL_PATTERN_MATCHING, 0);
        EXPECT_NE(m_exView->m_pMatchDlg8, nullptr);
        return *m_exView->m_pMatchDlg8;
    }

    CMatchDlg0& OpenCheck()
    {
        m_exView->SendMessage(WM_COMMAND, ID_VIEW_AOI_MATCH, 0);
        EXPECT_NE(m_exView->m_pMatchDlg0, nullptr);
        return *m_exView->m_pMatchDlg0;
    }

    // A radio button as the user clicks it: checked, then reported.
    static void Click(CWnd& dialog, UINT id)
    {
        kestrun::testing::Press(dialog, id);
        kestrun::PumpMessages();
    }

    CDIBDocEx* m_ex = nullptr;
    CDIBVwEx* m_exView = nullptr;
};

TEST_F(MatchWindowsTest, EachCommandOpensOneWindowThatItsCloseReportTakesAway)
{
    // A plain image document has no matching.
    EXPECT_FALSE(IsEnabled(ID_TOOL_PATTERN_MATCHING));
    EXPECT_FALSE(IsEnabled(ID_VIEW_AOI_MATCH));
    CCmdUI ui;
    for (const UINT id : {ID_TOOL_PATTERN_MATCHING, ID_VIEW_AOI_MATCH}) {
        ui.m_nID = id;
        ui.DoUpdate(m_exView, FALSE);
        EXPECT_TRUE(ui.m_bEnabled) << id;
    }

    CMatchDlg8& matching = OpenMatching();
    OpenMatching();
    EXPECT_EQ(m_exView->m_pMatchDlg8.get(), &matching);
    CMatchDlg0& check = OpenCheck();
    OpenCheck();
    EXPECT_EQ(m_exView->m_pMatchDlg0.get(), &check);

    Press(matching, IDOK);
    EXPECT_EQ(m_exView->m_pMatchDlg8, nullptr);
    EXPECT_NE(m_exView->m_pMatchDlg0, nullptr);
    // A report for a window that is not open changes nothing.
    m_exView->SendMessage(CMatchDlg::kCloseReport, 1, CMatchDlg8::IDD);
    EXPECT_NE(m_exView->m_pMatchDlg0, nullptr);
    Press(check, IDOK);
    EXPECT_EQ(m_exView->m_pMatchDlg0, nullptr);
    // Open again after closing.
    OpenMatching();
}

TEST_F(MatchWindowsTest, AClosedViewTakesBothWindowsAlong)
{
    OpenMatching().OnStart();
    OpenCheck();
    m_ex->OnCloseDocument();
    kestrun::PumpMessages();
    m_ex = nullptr;
    m_exView = nullptr;
}

TEST_F(MatchWindowsTest, MatchFillsTheListAndTheLampLightsOnlyWhileAllAreOK)
{
    CAOI* active = AddArea(CRect(40, 40, 240, 200));
    active->CreateRaster(2, 2, 0);
    CMatchDlg8& dialog = OpenMatching();
    dialog.GetMatch().m_fLower = 5.0f;
    dialog.GetMatch().m_fUpper = 5.0f;
    // Until a match, the cells are there but judged nothing yet.
    EXPECT_EQ(dialog.GetList().GetItemCount(), 4);
    Press(dialog, CMatchDlg8::ID_MATCH_LEARN);
    Press(dialog, CMatchDlg8::ID_MATCH_MATCH);
    ASSERT_EQ(dialog.GetList().GetItemCount(), 4);
    EXPECT_EQ(dialog.GetList().GetItemText(0, 0), "1");
    EXPECT_EQ(dialog.GetList().GetItemText(3, 1), "0.000");
    EXPECT_EQ(dialog.GetList().GetItemText(3, 2), "OK");
    EXPECT_TRUE(dialog.GetSignal().IsWindowEnabled());

    const CRect cell = active->GetRaster()->GetAt(1).GetRect();
    cv::rectangle(m_ex->GetActiveDIB()->GetMat(), cv::Rect(cell.left, cell.top, cell.Width(), cell.Height()),
                  cv::Scalar::all(128), cv::FILLED);
    Press(dialog, CMatchDlg8::ID_MATCH_MATCH);
    EXPECT_EQ(dialog.GetList().GetItemText(1, 2), "Failed");
    EXPECT_FALSE(dialog.GetSignal().IsWindowEnabled());
    CString status;
    dialog.GetDlgItemText(CMatchDlg8::IDC_STATUS, status);
    EXPECT_EQ(status.Find("n:2  mean:"), 0) << status.GetString();

    // The judgement cells are filled green and red before their text.
    CRecordingDC dc;
    for (int row : {0, 1}) {
        DRAWITEMSTRUCT item{};
        item.itemID = static_cast<UINT>(row);
        item.hDC = &dc;
        item.rcItem = CRect(0, 20 * row, 300, 20 * row + 20);
        dialog.GetList().DrawItem(&item);
    }
    std::vector<COLORREF> fills;
    for (const CDCRecord& r : dc.Records())
        if (r.op == "FillSolidRect")
            fills.push_back(r.brush.lbColor);
    ASSERT_EQ(fills.size(), 4u); // row background and judgement cell, twice
    EXPECT_EQ(fills[1], RGB(0, 255, 0));
    EXPECT_EQ(fills[3], RGB(255, 0, 0));

    // The view tells the window when it deletes the area; the list follows.
    m_exView->SendMessage(WM_COMMAND, ID_VIEW_AOI_DELETE, 0);
    EXPECT_EQ(m_engine.m_AOIDoc.GetAOICount(), 0);
    EXPECT_EQ(dialog.GetList().GetItemCount(), 0);
}

TEST_F(MatchWindowsTest, SettingsRefuseWordsForNumbersAndOKTakesThemOver)
{
    CMatchDlg8& dialog = OpenMatching();
    kestrun::testing::OnNextDialog([this](CDialog& settings) {
        kestrun::testing::Type(settings, CMatchDlg7::IDC_LOWER, "ten");
        kestrun::testing::Press(settings, IDOK);
        // Refused: the dialog stays open with the message.
        EXPECT_EQ(m_boxes->Texts().size(), 1u);
        kestrun::testing::Type(settings, CMatchDlg7::IDC_LOWER, "10");
        kestrun::testing::Type(settings, CMatchDlg7::IDC_UPPER, "40");
        kestrun::testing::Press(settings, CMatchDlg7::IDC_HORIZONTAL);
        kestrun::testing::Press(settings, IDOK);
    });
    Press(dialog, CMatchDlg8::ID_MATCH_SETTINGS);
    EXPECT_EQ(dialog.GetMatch().m_fLower, 10.0f);
    EXPECT_EQ(dialog.GetMatch().m_fUpper, 40.0f);
    EXPECT_EQ(dialog.GetMatch().m_nSearchDirection, 1);

    // Written to the profile when the window goes, read by the next one.
    Press(dialog, IDOK);
    EXPECT_EQ(OpenMatching().GetMatch().m_fUpper, 40.0f);
}

TEST_F(MatchWindowsTest, LiveMatchingGoesOnAfterAFailedLockAndStopsWithStop)
{
    FGBoard* board = GetFG();
    static kestrun::ManualClock clock;
    ASSERT_TRUE(kestrun::testing::UseSimulatedBoard(*board, clock));
    AddArea(CRect(40, 40, 120, 120));
    CMatchDlg8& dialog = OpenMatching();
    Press(dialog, CMatchDlg8::ID_MATCH_LEARN);

    auto waitForRuns = [&](int count) {
        for (int i = 0; i < 400 && dialog.GetMatch().GetRunCount() < count; ++i) {
            clock.Advance(100);
            kestrun::PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return dialog.GetMatch().GetRunCount() >= count;
    };
    Press(dialog, CMatchDlg8::IDC_START);
    ASSERT_TRUE(dialog.IsLive());
    EXPECT_EQ(dialog.GetStatusText(), "--- Running ---");
    ASSERT_TRUE(board->StartLive());
    ASSERT_TRUE(waitForRuns(2));

    // Another thread holds the buffer while a frame notice comes.
    std::promise<void> release;
    std::promise<void> held;
    std::thread holder([&] {
        board->LockBuffer(INFINITE);
        held.set_value();
        release.get_future().wait();
        board->UnlockBuffer();
    });
    held.get_future().wait();
    const int before = dialog.GetMatch().GetRunCount();
    dialog.SendMessage(CMatchDlg8::s_msgGrabber, CMatchDlg8::kPictureReady, 0);
    // Frames queued before may have met the held buffer too.
    EXPECT_GE(dialog.GetMissedFrames(), 1);
    EXPECT_EQ(dialog.GetMatch().GetRunCount(), before);
    release.set_value();
    holder.join();
    ASSERT_TRUE(waitForRuns(before + 2));

    Press(dialog, CMatchDlg8::IDC_STOP);
    EXPECT_FALSE(dialog.IsLive());
    CString status;
    dialog.GetDlgItemText(CMatchDlg8::IDC_STATUS, status);
    EXPECT_EQ(status, "Ready");
    kestrun::PumpMessages();
    const int stopped = dialog.GetMatch().GetRunCount();
    for (int i = 0; i < 5; ++i) {
        clock.Advance(100);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        kestrun::PumpMessages();
    }
    EXPECT_EQ(dialog.GetMatch().GetRunCount(), stopped);

    // Closed while live: the callback goes with the window.
    Press(dialog, CMatchDlg8::IDC_START);
    ASSERT_TRUE(waitForRuns(stopped + 1));
    Press(dialog, IDOK);
    EXPECT_EQ(m_exView->m_pMatchDlg8, nullptr);
    for (int i = 0; i < 5; ++i) {
        clock.Advance(100);
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        kestrun::PumpMessages();
    }
    board->StopLive();
    board->SetClock(nullptr);
}

TEST_F(MatchWindowsTest, CheckSaysWhatIsMissingAndKeepsItsWindowOnABadThreshold)
{
    CMatchDlg0& dialog = OpenCheck();
    // Method and threshold come from the document; the direction is "low".
    EXPECT_EQ(dialog.m_nMethod, m_ex->m_nAOIMatchMethod);
    EXPECT_EQ(dialog.m_dThreshold, 0.7);
    EXPECT_EQ(dialog.m_nDirection, CAreaPatternCheck::judgeLow);

    Press(dialog, CMatchDlg0::IDC_MATCH);
    ASSERT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_EQ(m_boxes->Texts()[0], "No region of interest defined");
    CAOI* active = AddArea(CRect(40, 40, 100, 100));
    Press(dialog, CMatchDlg0::IDC_MATCH);
    EXPECT_EQ(m_boxes->Texts().back(), "No pattern defined");
    Click(dialog, CMatchDlg0::IDC_AREA);
    Press(dialog, CMatchDlg0::IDC_LEARN);
    EXPECT_EQ(active->GetPatternCount(), 1);
    Click(dialog, CMatchDlg0::IDC_OFF);
    Press(dialog, CMatchDlg0::IDC_LEARN);
    EXPECT_EQ(m_boxes->Texts().back(), "Wrong method selected");
    EXPECT_EQ(active->GetPatternCount(), 0);

    // Learned by area, matched in place: one row, "OK" under "high".
    Click(dialog, CMatchDlg0::IDC_AREA);
    Click(dialog, CMatchDlg0::IDC_HIGH);
    dialog.SetDlgItemText(CMatchDlg0::IDC_THRESHOLD, "0.05");
    Press(dialog, CMatchDlg0::IDC_LEARN);
    Press(dialog, CMatchDlg0::IDC_MATCH);
    ASSERT_EQ(dialog.GetList().GetItemCount(), 1);
    EXPECT_EQ(dialog.GetList().GetItemText(0, 2), "OK");
    EXPECT_EQ(m_main->m_wndStatusBar.GetPaneText(0).Find("Time: "), 0);

    // A threshold that is no number keeps the window open.
    const size_t messages = m_boxes->Texts().size();
    dialog.SetDlgItemText(CMatchDlg0::IDC_THRESHOLD, "high");
    Press(dialog, IDOK);
    EXPECT_EQ(m_boxes->Texts().size(), messages + 1);
    EXPECT_NE(m_exView->m_pMatchDlg0, nullptr);
    dialog.SetDlgItemText(CMatchDlg0::IDC_THRESHOLD, "0.25");
    Press(dialog, IDOK);
    EXPECT_EQ(m_exView->m_pMatchDlg0, nullptr);
    EXPECT_EQ(m_ex->m_nAOIMatchMethod, CAreaPatternCheck::methodArea);
    EXPECT_EQ(m_ex->m_dAOIMatchThreshold, 0.25);
}

} // namespace
