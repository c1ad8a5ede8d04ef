#pragma once
// What the application tests share: a data root and a program folder of
// their own per test, the scripted message boxes, the fake scanning-box
// library, and starting and stopping the application as the program does.

#include "app/kestrunapp.h"
#include "app/mainfrm.h"

#include "outside/grabwell/fgboard.h"
#include "platform/core/clock.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class CDIBDoc;

namespace kestrun::testing {

class CAppTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // InitInstance with this test's folders and the fake scanning box; the
    // arguments follow the program's name.
    void Start(CKestrunApp& app, std::vector<CString> arguments = {});
    // Closes the main window, then ExitInstance.
    void Stop(CKestrunApp& app);

    // The data root of the application, with a final '/'.
    CString DataRoot() const;
    CString IniPath() const { return DataRoot() + "kestrun32.ini"; }
    void WriteMode(int nMode) const;
    // The fake scanning box's calls since the test began.
    std::string BoxLog() const;
    // The box knows these profiles (';'-separated).
    void SetBoxProfiles(const char* lpszProfiles) const;

    ScopedMessageBoxes m_boxes;
    std::filesystem::path m_folder;
    std::filesystem::path m_programFolder;

private:
    HMODULE m_hFakeBox = nullptr;
    std::string m_previousRoot;
};

// The main window of a running application.
CMainFrame& MainFrame(CKestrunApp& app);

// A test with an application started before it and stopped after it.
template <class TApp>
class CStartedAppTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        Start(m_app);
    }
    void TearDown() override
    {
        Stop(m_app);
        CAppTest::TearDown();
    }
    CMainFrame& Frame() { return MainFrame(m_app); }

    TApp m_app;
};

// An application started on the board's simulated camera, paced by a
// manual clock; the board is stopped and given back its own clock after.
class CBoardAppTest : public CAppTest
{
protected:
    void SetUp() override
    {
        CAppTest::SetUp();
        Start(m_app);
        FGBoard* board = GetFG();
        ASSERT_NE(board, nullptr);
        board->StopLive();
        board->DisconnectDisplay();
        ASSERT_TRUE(board->SetClock(&m_clock));
        ASSERT_TRUE(board->SetVideoSource(0));
    }
    void TearDown() override
    {
        Stop(m_app);
        ReleaseBoard();
        CAppTest::TearDown();
    }
    static void ReleaseBoard()
    {
        FGBoard* board = GetFG();
        board->StopLive();
        board->DisconnectDisplay();
        board->SetClock(nullptr);
    }

    ManualClock m_clock;
    CKestrunApp m_app;
};

// A window below the main window that counts a registered message.
class CProbeWnd : public CWnd
{
public:
    CProbeWnd(CWnd& parent, UINT message)
    {
        AddMessageHandler(message, [this](WPARAM, LPARAM) {
            ++m_nReceived;
            return LRESULT(0);
        });
        Create(nullptr, "probe", WS_CHILD, CRect(0, 0, 10, 10), &parent, 4711);
    }
    int m_nReceived = 0;
};

// The state an update handler leaves for a command of the main window.
struct CCommandState
{
    BOOL enabled;
    int check;
};
CCommandState QueryCommand(CWnd& frame, UINT nID);

std::string ReadFile(const std::filesystem::path& path);

// The video document among the application's open images; null.
CDIBDoc* VideoDocument(CKestrunApp& app);

// Frames reach the board on another thread: true once it has taken count
// frames. No result depends on the deadline (30 s), it only keeps a broken
// board from hanging the run.
bool WaitForFrames(int count);

} // namespace kestrun::testing
