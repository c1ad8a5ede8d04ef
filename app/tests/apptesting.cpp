#include "app/tests/apptesting.h"

#include "imaging/dibdoc.h"
#include "imaging/dibmultidoctemplate.h"
#include "outside/grabwell/fgboard.h"
#include "platform/core/folders.h"
#include "platform/core/library.h"
#include "platform/core/profile.h"

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace kestrun::testing {

namespace {

constexpr const char* kFakeBox = "faketablon";

} // namespace

void CAppTest::SetUp()
{
    // Every test has a data root of its own below the program's.
    if (const char* root = std::getenv("KESTRUN_DATA_ROOT"))
        m_previousRoot = root;
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_folder = std::filesystem::path(m_previousRoot) / (std::string(info->test_suite_name()) + "." + info->name());
    std::filesystem::remove_all(m_folder);
    std::filesystem::create_directories(m_folder);
    m_programFolder = m_folder / "program";
    std::filesystem::create_directories(m_programFolder);
    ::setenv("KESTRUN_DATA_ROOT", (m_folder / "data").c_str(), 1);
    // Held here too, so that its record outlives the application's handle.
    m_hFakeBox = ::LoadLibrary(kFakeBox);
    ASSERT_NE(m_hFakeBox, nullptr) << kestrun::LastLibraryError().GetString();
    SetBoxProfiles("");
}

void CAppTest::TearDown()
{
    if (m_hFakeBox)
        ::FreeLibrary(m_hFakeBox);
    ::setenv("KESTRUN_DATA_ROOT", m_previousRoot.c_str(), 1);
}

void CAppTest::Start(CKestrunApp& app, std::vector<CString> arguments)
{
    app.m_strProgramFolder = m_programFolder.c_str();
    app.m_strTablonLibrary = kFakeBox;
    app.m_arguments = {"kestrun"};
    app.m_arguments.insert(app.m_arguments.end(), arguments.begin(), arguments.end());
    ASSERT_TRUE(app.InitInstance());
    ASSERT_NE(app.m_pMainWnd, nullptr);
}

void CAppTest::Stop(CKestrunApp& app)
{
    if (app.m_pMainWnd)
        app.m_pMainWnd->SendMessage(WM_CLOSE);
    EXPECT_EQ(app.m_pMainWnd, nullptr);
    app.ExitInstance();
}

CString CAppTest::DataRoot() const
{
    return CString((m_folder / "data" / "Tarvex AV" / "Halvorn").c_str()) + "/";
}

void CAppTest::WriteMode(int nMode) const
{
    WritePrivateProfileString("System", "Mode", FormatString("%d", nMode), (m_programFolder / "mode.ini").c_str());
}

std::string CAppTest::BoxLog() const
{
    auto log = reinterpret_cast<const char* (*)()>(::GetProcAddress(m_hFakeBox, "FakeTablonLog"));
    return log ? log() : std::string();
}

void CAppTest::SetBoxProfiles(const char* lpszProfiles) const
{
    if (auto reset = reinterpret_cast<void (*)(const char*)>(::GetProcAddress(m_hFakeBox, "FakeTablonReset")))
        reset(lpszProfiles);
}

CMainFrame& MainFrame(CKestrunApp& app)
{
    CMainFrame* frame = app.GetMainFrame();
    if (frame == nullptr)
        throw std::logic_error("the application has no main window");
    return *frame;
}

CCommandState QueryCommand(CWnd& frame, UINT nID)
{
    CCmdUI ui;
    ui.m_nID = nID;
    ui.DoUpdate(&frame, TRUE);
    return {ui.m_bEnabled, ui.m_nCheck};
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

CDIBDoc* VideoDocument(CKestrunApp& app)
{
    for (CDocument* doc : app.m_pImageTemplate->Documents()) {
        if (auto* image = DYNAMIC_DOWNCAST(CDIBDoc, doc); image && image->IsVideo())
            return image;
    }
    return nullptr;
}

bool WaitForFrames(int count)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (GetFG()->GetFrameCount() < count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

} // namespace kestrun::testing
