// Image acquisition against a scripted source manager: the protocol's
// states, the transfer loop and the manager's failures; and without any
// manager library at all.

#include "imaging/twain.h"
#include "imaging/tests/scripteddsm.h"

#include "outside/pixmere/packeddib.h"
#include "platform/core/library.h"
#include "platform/core/messages.h"
#include "platform/ui/wnd.h"

#include <gtest/gtest.h>

#include <deque>

namespace kestrun::testing {
namespace {

class CWindowStub : public CMessageTarget
{
public:
    CWindowStub() : m_hWnd(CreateWindowHandle(this)) {}
    ~CWindowStub() override { DestroyWindowHandle(m_hWnd); }
    LRESULT OnWindowMessage(UINT, WPARAM, LPARAM) override { return 0; }
    HWND m_hWnd;
};

class CRecordingTwain : public CTwain
{
public:
    using CTwain::CTwain;
    ~CRecordingTwain() override { UnloadSourceManager(); }

    int ShouldTransfer(const TW_IMAGEINFO&) override
    {
        if (m_answers.empty())
            return transferImage;
        const int answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    void OnImage(TW_HANDLE hBitmap, const TW_IMAGEINFO& info) override
    {
        CxImage page;
        CString error;
        ASSERT_TRUE(UnpackPage({static_cast<const BYTE*>(GlobalLock(hBitmap)), GlobalSize(hBitmap)}, page, error));
        GlobalUnlock(hBitmap);
        EXPECT_EQ(page.GetWidth(), info.ImageWidth);
        m_images.push_back(page.GetPixelIndex(0, 0));
    }

    std::deque<int> m_answers;
    std::vector<BYTE> m_images; // the first pixel of each
};

constexpr CScriptedDsmCall kOpenManager{DG_CONTROL, DAT_PARENT, MSG_OPENDSM};
constexpr CScriptedDsmCall kCloseManager{DG_CONTROL, DAT_PARENT, MSG_CLOSEDSM};
constexpr CScriptedDsmCall kGetDefault{DG_CONTROL, DAT_IDENTITY, MSG_GETDEFAULT};
constexpr CScriptedDsmCall kUserSelect{DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT};
constexpr CScriptedDsmCall kOpenSource{DG_CONTROL, DAT_IDENTITY, MSG_OPENDS};
constexpr CScriptedDsmCall kCloseSource{DG_CONTROL, DAT_IDENTITY, MSG_CLOSEDS};
constexpr CScriptedDsmCall kGetCapability{DG_CONTROL, DAT_CAPABILITY, MSG_GET};
constexpr CScriptedDsmCall kSetCapability{DG_CONTROL, DAT_CAPABILITY, MSG_SET};
constexpr CScriptedDsmCall kEnable{DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS};
constexpr CScriptedDsmCall kDisable{DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS};
constexpr CScriptedDsmCall kEvent{DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT};
constexpr CScriptedDsmCall kImageInfo{DG_IMAGE, DAT_IMAGEINFO, MSG_GET};
constexpr CScriptedDsmCall kTransfer{DG_IMAGE, DAT_IMAGENATIVEXFER, MSG_GET};
constexpr CScriptedDsmCall kEndTransfer{DG_CONTROL, DAT_PENDINGXFERS, MSG_ENDXFER};
constexpr CScriptedDsmCall kReset{DG_CONTROL, DAT_PENDINGXFERS, MSG_RESET};

using Calls = std::vector<CScriptedDsmCall>;

class TwainTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_library = LoadLibrary(KESTRUN_SCRIPTED_DSM);
        ASSERT_NE(m_library, nullptr);
        m_dsm = reinterpret_cast<CScriptedDsm* (*)()>(GetProcAddress(m_library, "ScriptedDsm"))();
        m_dsm->Reset();
    }
    void TearDown() override { FreeLibrary(m_library); }

    std::unique_ptr<CRecordingTwain> Loaded()
    {
        auto twain = std::make_unique<CRecordingTwain>(m_window.m_hWnd, KESTRUN_SCRIPTED_DSM);
        EXPECT_TRUE(twain->IsLoaded());
        EXPECT_TRUE(twain->IsManagerOpen());
        return twain;
    }
    // A source enabled for acquisition; the calls so far forgotten.
    std::unique_ptr<CRecordingTwain> Enabled()
    {
        auto twain = Loaded();
        EXPECT_TRUE(twain->Acquire(-1));
        EXPECT_TRUE(twain->IsSourceEnabled());
        m_dsm->m_calls.clear();
        return twain;
    }
    BOOL Event(CTwain& twain, TW_UINT16 message)
    {
        m_dsm->m_nEventMessage = message;
        const MSG msg{m_window.m_hWnd, RegisterWindowMessage(kSourceEventMessage), message, 0, 0, {}};
        return twain.ProcessMessage(msg);
    }

    CWindowStub m_window;
    HMODULE m_library = nullptr;
    CScriptedDsm* m_dsm = nullptr;
};

TEST_F(TwainTest, WithoutTheManagerLibraryEveryCallFailsWithResultOne)
{
    CWindowStub window;
    const char* libraries[] = {"twain_not_installed", KESTRUN_UWS_LIBRARY /* no entry */};
    for (const char* library : libraries) {
        SCOPED_TRACE(library);
        CRecordingTwain twain(nullptr, library);
        EXPECT_FALSE(twain.LoadSourceManager(window.m_hWnd));
        EXPECT_FALSE(twain.IsLoaded());
        EXPECT_FALSE(twain.IsManagerOpen());
        EXPECT_FALSE(twain.SelectSource());
        EXPECT_EQ(twain.GetLastResult(), TWRC_FAILURE);
        EXPECT_FALSE(twain.Acquire(-1));
        EXPECT_EQ(twain.GetLastResult(), TWRC_FAILURE);
        EXPECT_FALSE(twain.GetDefaultSource());
        TW_UINT32 value = 0;
        EXPECT_FALSE(twain.GetCapability(CAP_XFERCOUNT, value));
        EXPECT_FALSE(twain.SetImageCount(3));
        EXPECT_FALSE(twain.CallDSM(DG_CONTROL, DAT_PARENT, MSG_OPENDSM, nullptr));
        EXPECT_EQ(twain.GetLastResult(), TWRC_FAILURE);
        EXPECT_FALSE(twain.ProcessMessage(MSG{window.m_hWnd, WM_TIMER, 0, 0, 0, {}}));
    }
    EXPECT_TRUE(m_dsm->m_calls.empty());
}

TEST_F(TwainTest, AHandleThatIsNoWindowLoadsNothing)
{
    CRecordingTwain twain(nullptr, KESTRUN_SCRIPTED_DSM);
    EXPECT_FALSE(twain.LoadSourceManager(reinterpret_cast<HWND>(0x1234)));
    EXPECT_FALSE(twain.IsLoaded());
    EXPECT_TRUE(m_dsm->m_calls.empty());
}

TEST_F(TwainTest, AcquiringOpensTheDefaultSourceAndClosingUndoesEachStateInTurn)
{
    m_dsm->m_nModalUI = 0;
    auto twain = Loaded();
    const TW_IDENTITY& app = twain->GetAppIdentity();
    EXPECT_STREQ(app.ProductName, "Twain Test");
    EXPECT_STREQ(app.ProductFamily, "Generic");
    EXPECT_STREQ(app.Version.Info, "3.5");
    EXPECT_EQ(app.Version.MajorNum, 3);
    EXPECT_EQ(app.Version.MinorNum, 5);
    EXPECT_EQ(app.Version.Language, 13);
    EXPECT_EQ(app.Version.Country, 1);
    EXPECT_EQ(app.ProtocolMajor, 1);
    EXPECT_EQ(app.ProtocolMinor, 8);
    EXPECT_EQ(app.SupportedGroups, 3u);
    EXPECT_EQ(m_dsm->m_lastOrigin.ProductName, std::string("Twain Test"));

    ASSERT_TRUE(twain->Acquire(-1));
    EXPECT_STREQ(twain->GetSourceIdentity().ProductName, "Scripted");
    EXPECT_EQ(m_dsm->m_lastUi.ShowUI, 1);
    EXPECT_EQ(m_dsm->m_lastUi.hParent, m_window.m_hWnd);
    EXPECT_EQ(twain->GetModalAnswer(), 0);
    ASSERT_EQ(m_dsm->m_setValues.size(), 1u);
    const TW_ONEVALUE set = m_dsm->m_setValues[0];
    EXPECT_EQ(set.ItemType, TWTY_INT16);
    EXPECT_EQ(set.Item & 0xFFFF, 0xFFFFu);
    EXPECT_EQ(twain->GetImageCount(), -1);

    twain->UnloadSourceManager();
    EXPECT_EQ(m_dsm->m_calls, (Calls{kOpenManager, kGetDefault, kOpenSource, kSetCapability, kEnable, kDisable,
                                     kCloseSource, kCloseManager}));
    EXPECT_FALSE(twain->IsLoaded());
}

TEST_F(TwainTest, ProcessMessageAsksNothingBeforeASourceIsEnabled)
{
    auto twain = Loaded();
    m_dsm->m_calls.clear();
    EXPECT_FALSE(Event(*twain, MSG_XFERREADY));
    EXPECT_TRUE(m_dsm->m_calls.empty());
    // Enabled, a message the source does not claim goes on.
    twain.reset();
    m_dsm->m_nEventMessage = MSG_NULL;
    twain = Enabled();
    EXPECT_FALSE(twain->ProcessMessage(MSG{m_window.m_hWnd, WM_TIMER, 0, 0, 0, {}}));
    EXPECT_EQ(m_dsm->m_calls, Calls{kEvent});
}

TEST_F(TwainTest, ASourceThatWantsTheCountUnsignedGetsItOnTheSecondAttempt)
{
    auto twain = Loaded();
    ASSERT_TRUE(twain->OpenSource());
    m_dsm->m_calls.clear();
    m_dsm->Queue(DG_CONTROL, DAT_CAPABILITY, MSG_SET, TWRC_CHECKSTATUS);
    m_dsm->m_nCurrentCount = 5;
    EXPECT_TRUE(twain->SetImageCount(-1));
    EXPECT_EQ(m_dsm->m_calls, (Calls{kSetCapability, kGetCapability, kSetCapability}));
    ASSERT_EQ(m_dsm->m_setValues.size(), 1u);
    const TW_ONEVALUE set = m_dsm->m_setValues[0];
    EXPECT_EQ(set.ItemType, TWTY_UINT16);
    EXPECT_EQ(static_cast<TW_UINT32>(set.Item), 5u);
    EXPECT_EQ(twain->GetImageCount(), 5);
}

TEST_F(TwainTest, ACloseRequestClosesTheSourceAndKeepsTheManager)
{
    auto twain = Enabled();
    EXPECT_TRUE(Event(*twain, MSG_CLOSEDSREQ));
    EXPECT_EQ(m_dsm->m_calls, (Calls{kEvent, kDisable, kCloseSource}));
    EXPECT_FALSE(twain->IsSourceOpen());
    EXPECT_FALSE(twain->IsSourceEnabled());
    EXPECT_TRUE(twain->IsManagerOpen());
}

TEST_F(TwainTest, TheTransferLoopFollowsTheApplicationsAnswersAndTheSourcesResults)
{
    struct Case
    {
        const char* name;
        int pending;
        std::deque<int> answers;
        std::vector<CScriptedDsmAnswer> failures;
        std::vector<BYTE> images;
        Calls calls;
    };
    const Case cases[] = {
        {"two images", 2, {}, {}, {10, 20},
         {kEvent, kImageInfo, kTransfer, kEndTransfer, kImageInfo, kTransfer, kEndTransfer}},
        {"first skipped", 2, {CTwain::skipImage}, {}, {10},
         {kEvent, kImageInfo, kEndTransfer, kImageInfo, kTransfer, kEndTransfer}},
        {"stopped", 2, {CTwain::stopTransfers}, {}, {}, {kEvent, kImageInfo, kReset}},
        // The source cannot describe its image: the transfer ends at once.
        {"image info fails", 2, {}, {{kImageInfo, TWRC_FAILURE, TWCC_BUMMER}}, {}, {kEvent, kImageInfo, kReset}},
        {"transfer fails", 2, {}, {{kTransfer, TWRC_FAILURE, TWCC_LOWMEMORY}}, {},
         {kEvent, kImageInfo, kTransfer, kReset}},
        {"transfer cancelled", 1, {}, {{kTransfer, TWRC_CANCEL, TWCC_SUCCESS}}, {},
         {kEvent, kImageInfo, kTransfer, kEndTransfer}},
        {"end transfer fails", 2, {}, {{kEndTransfer, TWRC_FAILURE, TWCC_SEQERROR}}, {10},
         {kEvent, kImageInfo, kTransfer, kEndTransfer}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_dsm->Reset();
        auto twain = Enabled();
        m_dsm->m_nPending = c.pending;
        twain->m_answers = c.answers;
        for (const CScriptedDsmAnswer& failure : c.failures)
            m_dsm->Queue(failure.call.dg, failure.call.dat, failure.call.msg, failure.result, failure.condition);
        EXPECT_TRUE(Event(*twain, MSG_XFERREADY));
        EXPECT_EQ(m_dsm->m_calls, c.calls);
        EXPECT_EQ(twain->m_images, c.images);
        // Every image handed over was freed.
        for (TW_HANDLE image : m_dsm->m_images)
            EXPECT_EQ(GlobalSize(image), 0u);
        if (!c.failures.empty()) {
            EXPECT_EQ(twain->GetConditionCode(), c.failures.back().condition);
        }
    }
}

TEST_F(TwainTest, AFailedRequestLeavesItsConditionAndACancelledChoiceTheSource)
{
    auto twain = Loaded();
    ASSERT_TRUE(twain->SelectSource());
    EXPECT_TRUE(twain->HasSource());
    EXPECT_STREQ(twain->GetSourceIdentity().ProductName, "Scripted");

    m_dsm->Queue(DG_CONTROL, DAT_IDENTITY, MSG_USERSELECT, TWRC_CANCEL);
    EXPECT_FALSE(twain->SelectSource());
    EXPECT_STREQ(twain->GetSourceIdentity().ProductName, "Scripted");
    EXPECT_EQ(twain->GetLastResult(), TWRC_CANCEL);

    m_dsm->Queue(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, TWRC_FAILURE, TWCC_NODS);
    EXPECT_FALSE(twain->Acquire(-1));
    EXPECT_EQ(twain->GetLastResult(), TWRC_FAILURE);
    EXPECT_EQ(twain->GetConditionCode(), TWCC_NODS);
    EXPECT_FALSE(twain->IsSourceOpen());
    EXPECT_EQ(twain->GetModalAnswer(), 1);
}

} // namespace
} // namespace kestrun::testing
