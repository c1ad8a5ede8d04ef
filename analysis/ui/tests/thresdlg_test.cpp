// The threshold dialog on a copy of a threshold over a test owner: the
// sliders keep each lower limit at or below its upper one, learning moves
// the limits by mode and learn state, "Automatic" finds the valley of a
// bimodal page, the preview page is black where the threshold accepts,
// and closing reports (result, 422) to the owner. "Pseudo Live" grabs from
// the simulated camera on a worker and hands its frames to the owner's
// window; it is started and stopped many times while limits move and the
// dialog closes, and leaves no worker and the overlay clearing on.

#include "dialogtesting.h"

#include "analysis/aoi.h"
#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/thresdlg.h"
#include "analysis/ui/thresextdlg.h"
#include "analysis/ui/thresowner.h"

#include "outside/grabwell/fgboard.h"
#include "outside/pixmere/dib.h"
#include "platform/core/messages.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/rangectrls.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using namespace kestrun::analysisui;
using kestrun::testing::OnNextDialog;
using kestrun::testing::Press;
using kestrun::testing::TextOf;
using kestrun::testing::Type;

using Report = std::pair<WPARAM, LPARAM>;

class CReportedWnd : public CWnd
{
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == CThresDlg::kCloseReport)
            m_reports.emplace_back(wParam, lParam);
        if (message == CThresDlg::LiveFrameMessage() && m_pLive != nullptr)
            m_pLive->TakeLiveFrame();
        return CWnd::WindowProc(message, wParam, lParam);
    }

    std::vector<Report> m_reports;
    CThresDlg* m_pLive = nullptr; // the dialog live frames go to
};

// The view's side: one page, its preview page and the active area.
class CTestOwner : public CThresOwner
{
public:
    CWnd* GetOwnerWnd() override { return &m_wnd; }
    void SetTrackerStyle(int nStyle) override { m_nTrackerStyle = nStyle; }
    CDIB* GetActivePage() override { return m_page.get(); }
    CDIB* EnsurePreviewPage() override
    {
        if (!m_preview && m_page) {
            m_preview = std::make_unique<CDIB>();
            m_preview->InitDIB(m_page->GetWidth(), m_page->GetHeight(), 8);
        }
        return m_preview.get();
    }
    void DeletePreviewPage() override { m_preview.reset(); }
    CAOI* GetActiveAOI() override { return m_area.get(); }
    void RedrawView() override { ++m_nRedraws; }
    bool IsVideo() override { return m_bVideo; }
    bool GrabFrame() override
    {
        FGBoard* board = GetFG();
        if (board == nullptr || board->GrabFrame(0) == 0.0 || !board->LockBuffer(INFINITE))
            return false;
        m_page = std::make_unique<CDIB>(*board->GetDIB());
        board->UnlockBuffer();
        return true;
    }
    void TakeLiveFrame(CDIB& frame) override
    {
        *m_page = frame;
        ++m_nLiveFrames;
    }

    CReportedWnd m_wnd;
    std::unique_ptr<CDIB> m_page;
    std::unique_ptr<CDIB> m_preview;
    std::unique_ptr<CAOI> m_area;
    int m_nTrackerStyle = 0;
    int m_nRedraws = 0;
    bool m_bVideo = false;
    int m_nLiveFrames = 0;
};

class ThresDlgTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.m_wnd.CreateEx(0, nullptr, "view", WS_OVERLAPPED, CRect(0, 0, 300, 200), nullptr, 0));
    }

    std::unique_ptr<CThresDlg> Open(const CSegThres& thres)
    {
        auto dialog = std::make_unique<CThresDlg>(&m_owner);
        dialog->m_SegThres = thres;
        EXPECT_TRUE(dialog->Create(&m_owner.m_wnd));
        return dialog;
    }

    static void Scroll(CThresDlg& dialog, UINT id, UINT code, int pos = 0)
    {
        CWnd* slider = dialog.GetDlgItem(static_cast<int>(id));
        dialog.SendMessage(WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(slider->GetSafeHwnd()));
    }

    static int SliderPos(CThresDlg& dialog, UINT id)
    {
        return static_cast<CSliderCtrl*>(dialog.GetDlgItem(static_cast<int>(id)))->GetPos();
    }

    std::vector<Report> Reports()
    {
        kestrun::PumpMessages();
        return m_owner.m_wnd.m_reports;
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    CTestOwner m_owner;
};

struct ScrollCase
{
    int perChannel;
    UINT slider;
    UINT code;
    int pos;
    COLORREF lower;
    COLORREF upper;
};

TEST_F(ThresDlgTest, SlidersStepAndKeepEachLowerAtOrBelowItsUpper)
{
    // Starting from lower (80, 90, 100), upper (200, 210, 220), band mode.
    const ScrollCase cases[] = {
        {1, IDC_THRES_LOWER_RED, SB_LINERIGHT, 0, RGB(81, 90, 100), RGB(200, 210, 220)},
        {1, IDC_THRES_LOWER_GREEN, SB_LINELEFT, 0, RGB(80, 89, 100), RGB(200, 210, 220)},
        {1, IDC_THRES_LOWER_BLUE, SB_PAGERIGHT, 0, RGB(80, 90, 110), RGB(200, 210, 220)},
        {1, IDC_THRES_UPPER_RED, SB_PAGELEFT, 0, RGB(80, 90, 100), RGB(190, 210, 220)},
        {1, IDC_THRES_UPPER_GREEN, SB_THUMBPOSITION, 150, RGB(80, 90, 100), RGB(200, 150, 220)},
        {1, IDC_THRES_UPPER_BLUE, SB_THUMBTRACK, 30, RGB(80, 90, 100), RGB(200, 210, 220)},
        // a lower limit stops at the upper one, an upper one at the lower one
        {1, IDC_THRES_LOWER_RED, SB_THUMBPOSITION, 250, RGB(200, 90, 100), RGB(200, 210, 220)},
        {1, IDC_THRES_UPPER_BLUE, SB_THUMBPOSITION, 10, RGB(80, 90, 100), RGB(200, 210, 100)},
        // the range ends at 0
        {1, IDC_THRES_LOWER_RED, SB_THUMBPOSITION, 0, RGB(0, 90, 100), RGB(200, 210, 220)},
        // one grey for all: the green slider moves the row; the bounds start grey (90, 210)
        {0, IDC_THRES_LOWER_GREEN, SB_THUMBPOSITION, 100, RGB(100, 100, 100), RGB(210, 210, 210)},
        {0, IDC_THRES_UPPER_GREEN, SB_PAGERIGHT, 0, RGB(90, 90, 90), RGB(220, 220, 220)},
    };
    for (const ScrollCase& c : cases) {
        CSegThres thres(RGB(80, 90, 100), RGB(200, 210, 220), CSegThres::modeBand);
        thres.m_bPerChannel = c.perChannel;
        auto dialog = Open(thres);
        Scroll(*dialog, c.slider, c.code, c.pos);
        EXPECT_EQ(dialog->m_SegThres.GetLower(), c.lower) << c.slider << " code " << c.code;
        EXPECT_EQ(dialog->m_SegThres.GetUpper(), c.upper) << c.slider << " code " << c.code;
        EXPECT_EQ(SliderPos(*dialog, IDC_THRES_LOWER_GREEN), GetGValue(c.lower));
        EXPECT_EQ(TextOf(*dialog, IDC_THRES_UPPER_GREEN + 1), CString(std::to_string(GetGValue(c.upper)).c_str()));
    }
}

TEST_F(ThresDlgTest, ModesEnableTheLimitsTheyTest)
{
    struct
    {
        WORD mode;
        int perChannel;
        bool lowerRed, lowerGreen, upperRed, upperGreen;
    } const cases[] = {
        {CSegThres::modeDark, 1, true, true, false, false},
        {CSegThres::modeBright, 1, false, false, true, true},
        {CSegThres::modeBand, 1, true, true, true, true},
        {CSegThres::modeBand, 0, false, true, false, true},
    };
    for (const auto& c : cases) {
        CSegThres thres(RGB(80, 80, 80), RGB(240, 240, 240), c.mode);
        thres.m_bPerChannel = c.perChannel;
        auto dialog = Open(thres);
        EXPECT_EQ(dialog->GetDlgItem(IDC_THRES_LOWER_RED)->IsWindowEnabled() != FALSE, c.lowerRed) << c.mode;
        EXPECT_EQ(dialog->GetDlgItem(IDC_THRES_LOWER_GREEN)->IsWindowEnabled() != FALSE, c.lowerGreen) << c.mode;
        EXPECT_EQ(dialog->GetDlgItem(IDC_THRES_UPPER_RED)->IsWindowEnabled() != FALSE, c.upperRed) << c.mode;
        EXPECT_EQ(dialog->GetDlgItem(IDC_THRES_UPPER_GREEN)->IsWindowEnabled() != FALSE, c.upperGreen) << c.mode;
    }
    // A mode button switches and enables.
    auto dialog = Open(CSegThres(RGB(80, 80, 80), RGB(240, 240, 240), CSegThres::modeDark));
    dialog->CheckRadioButton(IDC_THRES_DARK, IDC_THRES_DARK_BRIGHT, IDC_THRES_BRIGHT);
    Press(*dialog, IDC_THRES_BRIGHT);
    EXPECT_EQ(dialog->m_SegThres.m_Mode, CSegThres::modeBright);
    EXPECT_FALSE(dialog->GetDlgItem(IDC_THRES_LOWER_GREEN)->IsWindowEnabled());
    EXPECT_TRUE(dialog->GetDlgItem(IDC_THRES_UPPER_GREEN)->IsWindowEnabled());
}

struct LearnCase
{
    WORD mode;
    UINT button;
    COLORREF color;
    COLORREF lower;
    COLORREF upper;
};

TEST_F(ThresDlgTest, LearningMovesTheLimitsByModeAndLearnState)
{
    constexpr UINT object = IDC_THRES_LEARN_OBJECT;
    constexpr UINT back = IDC_THRES_LEARN_BACK;
    // Starting from lower (80, 80, 80), upper (200, 200, 200).
    const LearnCase cases[] = {
        // dark: an object colour becomes dark enough, a background colour too bright
        {CSegThres::modeDark, object, RGB(100, 50, 90), RGB(100, 80, 90), RGB(200, 200, 200)},
        {CSegThres::modeDark, back, RGB(60, 120, 0), RGB(59, 80, 0), RGB(200, 200, 200)},
        // the upper limit follows a lower one learned past it
        {CSegThres::modeDark, object, RGB(230, 10, 10), RGB(230, 80, 80), RGB(230, 200, 200)},
        // bright: the same from above
        {CSegThres::modeBright, object, RGB(150, 220, 190), RGB(80, 80, 80), RGB(150, 200, 190)},
        {CSegThres::modeBright, back, RGB(210, 100, 255), RGB(80, 80, 80), RGB(211, 200, 255)},
        {CSegThres::modeBright, object, RGB(40, 90, 90), RGB(40, 80, 80), RGB(40, 90, 90)},
        // middle: an object widens the band, a background colour moves the
        // nearer bound just past itself
        {CSegThres::modeBand, object, RGB(70, 100, 210), RGB(70, 80, 80), RGB(200, 200, 210)},
        {CSegThres::modeBand, back, RGB(180, 170, 190), RGB(80, 80, 80), RGB(179, 169, 189)},
        {CSegThres::modeBand, back, RGB(90, 100, 85), RGB(91, 101, 86), RGB(200, 200, 200)},
        // not strictly inside in every channel: nothing moves
        {CSegThres::modeBand, back, RGB(180, 200, 190), RGB(80, 80, 80), RGB(200, 200, 200)},
        // dark/bright: the roles swap
        {CSegThres::modeOutside, object, RGB(180, 170, 190), RGB(80, 80, 80), RGB(179, 169, 189)},
        {CSegThres::modeOutside, back, RGB(70, 100, 210), RGB(70, 80, 80), RGB(200, 200, 210)},
    };
    for (const LearnCase& c : cases) {
        auto dialog = Open(CSegThres(RGB(80, 80, 80), RGB(200, 200, 200), c.mode));
        Press(*dialog, c.button);
        dialog->LearnFromColor(c.color);
        EXPECT_EQ(dialog->m_SegThres.GetLower(), c.lower) << c.mode << " " << c.button << " " << c.color;
        EXPECT_EQ(dialog->m_SegThres.GetUpper(), c.upper) << c.mode << " " << c.button << " " << c.color;
        EXPECT_EQ(SliderPos(*dialog, IDC_THRES_LOWER_RED), GetRValue(c.lower));
        // The clicked colour lands on its side whenever the limits moved.
        const bool moved = c.lower != RGB(80, 80, 80) || c.upper != RGB(200, 200, 200);
        if (moved) {
            EXPECT_EQ(dialog->m_SegThres.IsObjectColor(c.color) != FALSE, c.button == object) << c.color;
        }
    }
}

TEST_F(ThresDlgTest, LearnButtonsToggleTheStateTheStatusAndTheTracker)
{
    auto dialog = Open(CSegThres());
    EXPECT_EQ(TextOf(*dialog, IDC_THRES_STATUS), "Ready");
    Press(*dialog, IDC_THRES_LEARN_OBJECT);
    EXPECT_EQ(dialog->m_nLearn, CThresDlg::learnObject);
    EXPECT_EQ(m_owner.m_nTrackerStyle, 1);
    EXPECT_EQ(TextOf(*dialog, IDC_THRES_STATUS), "Learn Threshold Object - Push again to leave");
    Press(*dialog, IDC_THRES_LEARN_BACK);
    EXPECT_EQ(dialog->m_nLearn, CThresDlg::learnBackground);
    EXPECT_EQ(TextOf(*dialog, IDC_THRES_STATUS), "Learn Threshold Background - Push again to leave");
    Press(*dialog, IDC_THRES_LEARN_BACK);
    EXPECT_EQ(dialog->m_nLearn, CThresDlg::learnNone);
    EXPECT_EQ(m_owner.m_nTrackerStyle, 0);
    EXPECT_EQ(TextOf(*dialog, IDC_THRES_STATUS), "Ready");

    // "Default" ends learning and hands clicks back to the view.
    Scroll(*dialog, IDC_THRES_LOWER_RED, SB_THUMBPOSITION, 10);
    Press(*dialog, IDC_THRES_LEARN_OBJECT);
    Press(*dialog, IDC_DEFAULT);
    EXPECT_EQ(dialog->m_SegThres.GetLower(), RGB(80, 80, 80));
    EXPECT_EQ(dialog->m_SegThres.GetUpper(), RGB(240, 240, 240));
    EXPECT_EQ(dialog->m_nLearn, CThresDlg::learnNone);
    EXPECT_EQ(m_owner.m_nTrackerStyle, 0);
    EXPECT_EQ(SliderPos(*dialog, IDC_THRES_LOWER_RED), 80);

    // Closing while learning does the same.
    Press(*dialog, IDC_THRES_LEARN_BACK);
    Press(*dialog, IDCANCEL);
    EXPECT_EQ(m_owner.m_nTrackerStyle, 0);
}

// 40 x 30, 24 bits: dark discs (about 50) on a bright ground (about 200),
// with seeded noise.
std::unique_ptr<CDIB> bimodalPage()
{
    auto page = std::make_unique<CDIB>();
    EXPECT_TRUE(page->InitDIB(40, 30, 24));
    std::mt19937 random(34);
    std::uniform_int_distribution<int> noise(-8, 8);
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool dark = (x - 10) * (x - 10) + (y - 15) * (y - 15) < 36 || (x - 28) * (x - 28) + (y - 12) * (y - 12) < 49;
            const int base = dark ? 50 : 200;
            page->SetPixelColor(x, y, RGB(base + noise(random), base + noise(random), base + noise(random)));
        }
    }
    return page;
}

TEST_F(ThresDlgTest, AutomaticFindsTheValleyAndThePreviewShowsTheObjectsBlack)
{
    m_owner.m_page = bimodalPage();
    m_owner.m_area = std::make_unique<CAOI2>(CRect(0, 0, 40, 30));
    auto dialog = Open(CSegThres(RGB(10, 10, 10), RGB(240, 240, 240), CSegThres::modeDark));
    Type(*dialog, IDC_THRES_OFFSET, "5");
    Press(*dialog, IDC_THRES_AUTOMATIC);
    const CSegThres& thres = dialog->m_SegThres;
    EXPECT_EQ(thres.m_AutoOffset, 5);
    for (int channel = 0; channel < 3; ++channel) {
        const int lower = (thres.GetLower() >> (8 * channel)) & 0xFF;
        EXPECT_GT(lower, 58) << channel;
        EXPECT_LT(lower, 192) << channel;
    }
    EXPECT_EQ(SliderPos(*dialog, IDC_THRES_LOWER_GREEN), GetGValue(thres.GetLower()));

    Press(*dialog, IDC_THRES_PREVIEW);
    EXPECT_EQ(TextOf(*dialog, IDC_THRES_STATUS), "Preview on - Push Preview again to leave");
    ASSERT_NE(m_owner.m_preview, nullptr);
    const CDIB& preview = *m_owner.m_preview;
    int objects = 0;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const bool accepted = thres.IsObjectColor(m_owner.m_page->GetPixelColor(x, y)) != FALSE;
            ASSERT_EQ(preview.GetPixelIndex(x, y), accepted ? 0 : 255) << x << "," << y;
            objects += accepted ? 1 : 0;
        }
    }
    EXPECT_EQ(preview.GetPixelIndex(10, 15), 0);
    EXPECT_EQ(preview.GetPixelIndex(1, 1), 255);
    EXPECT_GT(objects, 100);

    // A slider moved with the preview on refreshes it.
    Scroll(*dialog, IDC_THRES_LOWER_RED, SB_THUMBPOSITION, 0);
    EXPECT_EQ(m_owner.m_preview->GetPixelIndex(10, 15), 255);

    Press(*dialog, IDC_THRES_PREVIEW);
    EXPECT_EQ(m_owner.m_preview, nullptr);
    EXPECT_EQ(TextOf(*dialog, IDC_THRES_STATUS), "Ready");
}

TEST_F(ThresDlgTest, TheOffsetIsTakenOnlyAsAnIntegerFromMinus50To50)
{
    struct
    {
        const char* text;
        int offset;
        bool refused;
    } const cases[] = {
        {"-50", -50, false}, {"50", 50, false}, {"", 20, false}, {"-", 20, false}, {"51", 20, true}, {"-51", 20, true}, {"x", 20, true},
    };
    for (const auto& c : cases) {
        kestrun::PumpMessages(); // the report of the last case's dialog
        m_owner.m_wnd.m_reports.clear();
        m_boxes->Clear();
        auto dialog = Open(CSegThres());
        Type(*dialog, IDC_THRES_OFFSET, c.text);
        Press(*dialog, IDOK);
        EXPECT_EQ(dialog->m_SegThres.m_AutoOffset, c.offset) << c.text;
        EXPECT_EQ(m_boxes->Texts().size(), c.refused ? 1u : 0u) << c.text;
        EXPECT_EQ(dialog->GetSafeHwnd() != nullptr, c.refused) << c.text;
        const std::vector<Report> expected = c.refused ? std::vector<Report>{} : std::vector<Report>{{1, 422}};
        EXPECT_EQ(Reports(), expected) << c.text;
    }
}

TEST_F(ThresDlgTest, OKReportsOneAndCancelTwoAndTheDialogDropsThePreview)
{
    m_owner.m_page = bimodalPage();
    auto dialog = Open(CSegThres(RGB(80, 80, 80), RGB(200, 200, 200), CSegThres::modeBand));
    CString title;
    dialog->GetWindowText(title);
    EXPECT_EQ(title.Find("Thresholds [Channel:"), 0) << static_cast<LPCTSTR>(title);
    Press(*dialog, IDC_THRES_PREVIEW);
    ASSERT_NE(m_owner.m_preview, nullptr);
    Scroll(*dialog, IDC_THRES_LOWER_RED, SB_THUMBPOSITION, 30);
    Press(*dialog, IDOK);
    EXPECT_EQ(dialog->GetSafeHwnd(), nullptr);
    EXPECT_EQ(m_owner.m_preview, nullptr);
    EXPECT_EQ(dialog->m_nResult, 1);
    EXPECT_EQ(dialog->m_SegThres.GetLower(), RGB(30, 80, 80));
    EXPECT_EQ(Reports(), (std::vector<Report>{{1, 422}}));

    m_owner.m_wnd.m_reports.clear();
    auto cancelled = Open(CSegThres());
    Press(*cancelled, IDCANCEL);
    EXPECT_EQ(cancelled->m_nResult, 2);
    EXPECT_EQ(Reports(), (std::vector<Report>{{2, 422}}));
}

TEST_F(ThresDlgTest, TheExpertSavesLoadsAndRefusesADamagedFileKeepingTheThreshold)
{
    const std::filesystem::path folder = std::filesystem::path(::testing::TempDir()) / "thresexpert";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const CString saved = (folder / "saved.ini").string().c_str();
    const CString damaged = (folder / "damaged.ini").string().c_str();
    // Lower above upper in red, and an unknown mode.
    std::ofstream(damaged.GetString()) << "[Threshold]\nRedLower=250\nRedUpper=10\nMode=9\n";
    kestrun::testing::CFileAnswers files;

    auto dialog = Open(CSegThres(RGB(30, 40, 50), RGB(130, 140, 150), CSegThres::modeBand));
    const COLORREF mark = dialog->m_SegThres.m_MarkColor;
    CString markShown;
    OnNextDialog([&](CDialog& d) {
        Press(d, IDC_THRES_MARK);
        markShown = TextOf(d, IDC_THRES_MARK_VALUE);
        files.m_answer = saved;
        Press(d, IDC_THRES_SAVE);
        files.m_answer = damaged;
        Press(d, IDC_THRES_LOAD);
        d.CheckDlgButton(IDC_THRES_AUTO_ON, BST_CHECKED);
        Press(d, IDOK);
    });
    Press(*dialog, IDC_THRES_EXPERT);
    const COLORREF inverted = 0xFFFFFF - mark;
    EXPECT_EQ(dialog->m_SegThres.m_MarkColor, inverted);
    EXPECT_EQ(markShown, CString(std::to_string(GetGValue(inverted)).c_str()));
    EXPECT_EQ(m_boxes->Texts().size(), 1u); // the damaged file, named
    EXPECT_NE(m_boxes->Texts().front().Find("damaged.ini holds no usable threshold"), -1);
    EXPECT_EQ(dialog->m_SegThres.GetLower(), RGB(30, 40, 50));
    EXPECT_EQ(dialog->m_SegThres.m_Mode, CSegThres::modeBand);
    EXPECT_EQ(dialog->m_bExpert, 1);

    // The saved file comes back into another dialog, sliders and all.
    auto other = Open(CSegThres());
    OnNextDialog([&](CDialog& d) {
        files.m_answer = saved;
        Press(d, IDC_THRES_LOAD);
        Press(d, IDOK);
    });
    Press(*other, IDC_THRES_EXPERT);
    EXPECT_EQ(other->m_SegThres.GetLower(), RGB(30, 40, 50));
    EXPECT_EQ(other->m_SegThres.GetUpper(), RGB(130, 140, 150));
    EXPECT_EQ(other->m_SegThres.m_Mode, CSegThres::modeBand);
    EXPECT_EQ(SliderPos(*other, IDC_THRES_UPPER_BLUE), 150);
    EXPECT_EQ(other->IsDlgButtonChecked(IDC_THRES_MIDDLE), static_cast<UINT>(BST_CHECKED));

    // Cancel leaves the threshold as it was.
    OnNextDialog([&](CDialog& d) {
        Press(d, IDC_THRES_MARK);
        Press(d, IDCANCEL);
    });
    const COLORREF before = other->m_SegThres.m_MarkColor;
    Press(*other, IDC_THRES_EXPERT);
    EXPECT_EQ(other->m_SegThres.m_MarkColor, before);
}

} // namespace

namespace {

namespace p = kestrun::fgparam;

class ThresDlgLiveTest : public ThresDlgTest
{
protected:
    void SetUp() override
    {
        ThresDlgTest::SetUp();
        m_board = GetFG();
        ASSERT_NE(m_board, nullptr);
        m_board->StopLive();
        m_board->DisconnectDisplay();
        ASSERT_TRUE(m_board->SetVideoSource(0));
        ASSERT_TRUE(m_board->SetParameter(p::kSimulatedType, 1));
        ASSERT_TRUE(m_board->SetParameter(p::kLiveWidth, 64));
        ASSERT_TRUE(m_board->SetParameter(p::kLiveHeight, 48));
        m_owner.m_bVideo = true;
        ASSERT_TRUE(m_owner.GrabFrame());
    }

    void TearDown() override { m_board->DisconnectDisplay(); }

    // A band from black to the median of the frame's brightest channel:
    // about half the pixels accepted.
    std::unique_ptr<CThresDlg> OpenLive()
    {
        std::vector<int> brightest;
        const CDIB& page = *m_owner.m_page;
        for (int y = 0; y < page.GetHeight(); ++y) {
            for (int x = 0; x < page.GetWidth(); ++x) {
                const COLORREF c = page.GetPixelColor(x, y);
                brightest.push_back(std::max({GetRValue(c), GetGValue(c), GetBValue(c)}));
            }
        }
        std::nth_element(brightest.begin(), brightest.begin() + brightest.size() / 2, brightest.end());
        const int m = brightest[brightest.size() / 2];
        auto dialog = Open(CSegThres(RGB(0, 0, 0), RGB(m, m, m), CSegThres::modeBand));
        m_owner.m_wnd.m_pLive = dialog.get();
        return dialog;
    }

    // Handles messages until the owner took n more live frames.
    bool WaitForFrames(int n)
    {
        const int until = m_owner.m_nLiveFrames + n;
        // The worker runs at the lowest priority: a busy machine may keep it waiting.
        for (int i = 0; i < 120000 && m_owner.m_nLiveFrames < until; ++i) {
            kestrun::PumpMessages();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return m_owner.m_nLiveFrames >= until;
    }

    FGBoard* m_board = nullptr;
};

TEST_F(ThresDlgLiveTest, LiveFramesGetAPreviewBlackWhereTheThresholdAccepts)
{
    auto dialog = OpenLive();
    EXPECT_FALSE(dialog->GetDlgItem(IDC_THRES_PSEUDO_LIVE)->IsWindowEnabled());
    Press(*dialog, IDC_THRES_PREVIEW);
    EXPECT_TRUE(dialog->GetDlgItem(IDC_THRES_PSEUDO_LIVE)->IsWindowEnabled());
    Press(*dialog, IDC_THRES_PSEUDO_LIVE);
    EXPECT_TRUE(dialog->IsWorkerRunning());
    EXPECT_EQ(m_board->GetParameter(p::kClearOverlay), 0);
    ASSERT_TRUE(WaitForFrames(2));

    const CDIB& page = *m_owner.m_page;
    ASSERT_NE(m_owner.m_preview, nullptr);
    ASSERT_EQ(m_owner.m_preview->GetWidth(), page.GetWidth());
    int accepted = 0;
    for (int y = 0; y < page.GetHeight(); ++y) {
        for (int x = 0; x < page.GetWidth(); ++x) {
            const bool object = dialog->m_SegThres.IsObjectColor(page.GetPixelColor(x, y)) != 0;
            accepted += object ? 1 : 0;
            ASSERT_EQ(m_owner.m_preview->GetPixelIndex(x, y), object ? 0 : 255) << x << "," << y;
        }
    }
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, page.GetWidth() * page.GetHeight());

    Press(*dialog, IDC_THRES_PSEUDO_LIVE);
    EXPECT_FALSE(dialog->IsWorkerRunning());
    EXPECT_EQ(m_board->GetParameter(p::kClearOverlay), 1);
}

TEST_F(ThresDlgLiveTest, OnADocumentWithoutLiveVideoPseudoLiveDoesNothing)
{
    m_owner.m_bVideo = false;
    auto dialog = OpenLive();
    Press(*dialog, IDC_THRES_PREVIEW);
    EXPECT_FALSE(dialog->GetDlgItem(IDC_THRES_PSEUDO_LIVE)->IsWindowEnabled());
    Press(*dialog, IDC_THRES_PSEUDO_LIVE);
    EXPECT_FALSE(dialog->IsWorkerRunning());
    EXPECT_EQ(m_board->GetParameter(p::kClearOverlay), 1);
}

// The worker is stopped by its button, by leaving the preview, by OK or
// Cancel and by the owner dropping the dialog, each while limits move.
TEST_F(ThresDlgLiveTest, StartingAndStoppingManyTimesLeavesNoWorker)
{
    enum class Stop { button, preview, ok, cancel, drop };
    const Stop stops[] = {Stop::button, Stop::preview, Stop::ok, Stop::cancel, Stop::drop};
    for (int round = 0; round < 4; ++round) {
        for (const Stop stop : stops) {
            auto dialog = OpenLive();
            Press(*dialog, IDC_THRES_PREVIEW);
            for (int i = 0; i < 3; ++i) {
                Press(*dialog, IDC_THRES_PSEUDO_LIVE);
                ASSERT_TRUE(dialog->IsWorkerRunning());
                Scroll(*dialog, IDC_THRES_UPPER_GREEN, SB_PAGERIGHT);
                Scroll(*dialog, IDC_THRES_LOWER_RED, SB_LINELEFT);
                Press(*dialog, IDC_THRES_TIGHTEN);
                kestrun::PumpMessages();
                if (i < 2)
                    Press(*dialog, IDC_THRES_PSEUDO_LIVE);
                EXPECT_EQ(dialog->IsWorkerRunning(), i == 2);
            }
            switch (stop) {
            case Stop::button:
                Press(*dialog, IDC_THRES_PSEUDO_LIVE);
                break;
            case Stop::preview:
                Press(*dialog, IDC_THRES_PREVIEW);
                EXPECT_EQ(m_owner.m_preview, nullptr);
                break;
            case Stop::ok:
                Press(*dialog, IDOK);
                break;
            case Stop::cancel:
                Press(*dialog, IDCANCEL);
                break;
            case Stop::drop:
                dialog->ForgetOwnerWindow();
                m_owner.m_wnd.m_pLive = nullptr;
                dialog.reset();
                break;
            }
            EXPECT_TRUE(dialog == nullptr || !dialog->IsWorkerRunning());
            EXPECT_EQ(m_board->GetParameter(p::kClearOverlay), 1);
            m_owner.m_wnd.m_pLive = nullptr;
            dialog.reset();
            kestrun::PumpMessages(); // a frame posted late finds no dialog
        }
    }
}

} // namespace
