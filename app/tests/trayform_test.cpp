// Mode 1 in the program: the tray form opens at start, the scanning-box
// library runs over the simulated box, barcodes are entered and the box's
// push button runs the tray over the board's picture.

#include "app/resource.h"
#include "app/tests/apptesting.h"
#include "app/tests/traystation.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "analysis/bv.h"
#include "database/ui/formtray.h"
#include "database/ui/formtrayresources.h"
#include "imaging/dibdocex.h"
#include "outside/grabwell/fgboard.h"
#include "outside/tcatio/simulatedbox.h"
#include "platform/core/clock.h"
#include "platform/core/messages.h"
#include "platform/core/profile.h"
#include "trayscanner/tablonapp.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

#include <set>

namespace kestrun::testing {
namespace {

namespace fs = std::filesystem;

class TrayFormProgramTest : public CTrayStationTest
{
protected:
    void SetUp() override
    {
        CTrayStationTest::SetUp();
        WriteMode(1);
    }
};

TEST_F(TrayFormProgramTest, BarcodesAndTheBoxButtonWriteImageResultsAndSideFiles)
{
    // Tray 72, batch 1: two vessels, in the data root before the start.
    WriteTrayAreas();
    const fs::path playback = WriteCameraPicture();

    CKestrunApp app;
    StartWithBoxLibrary(app);
    ASSERT_TRUE(TablonApp().m_box.IsOpen());
    // The box library says at start that it has no profile file yet; what
    // follows says nothing.
    m_boxes->Clear();
    auto* form = dynamic_cast<CFormTray*>(app.GetFormView());
    ASSERT_NE(form, nullptr);
    // New does not open a second form.
    EXPECT_FALSE(QueryCommand(MainFrame(app), ID_NEW_MEASUREMENT).enabled);
    EXPECT_EQ(app.GetAOIFileName(), CString("72_1.AOI"));
    EXPECT_EQ(app.GetEngine()->m_AOIDoc.GetAOICount(), 2);
    app.GetEngine()->GetSettings().m_SegThres = CSegThres(RGB(100, 100, 100), RGB(255, 255, 255), CSegThres::modeDark);

    // The start timer is set; its work starts the camera picture.
    EXPECT_NE(form->m_nTimer1, 0U);
    FGBoard* board = GetFG();
    ASSERT_TRUE(board->SetParameterString(fgparam::kPlaybackFolder, CString(playback.c_str())));
    ASSERT_TRUE(board->SetVideoSource(1));
    form->SendMessage(WM_TIMER, 1);
    EXPECT_EQ(form->m_nTimer1, 0U);
    ASSERT_NE(form->GetImageView(), nullptr);
    ASSERT_TRUE(form->GetImageDocument()->IsVideo());
    // The folder source shows its picture with a still grab.
    const CDIB* page = form->GetImageDocument()->GetActiveDIB();
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->GetMat().at<cv::Vec3b>(140, 80), cv::Vec3b(30, 30, 30));

    Enter(*form, "2001");
    Enter(*form, "2002");
    EXPECT_EQ(MainFrame(app).GetMessageText(), CString("Ready-Next Barcode:2001"));
    PressBoxButton();

    EXPECT_EQ(MainFrame(app).GetMessageText(), CString("Ready-Count: 2-No Barcode"));
    EXPECT_TRUE(form->GetQueue().empty());
    const fs::path data = app.GetDataDir().GetString();
    std::set<std::string> extensions;
    std::string image;
    int sideFiles = 0;
    int files = 0;
    for (const auto& entry : fs::directory_iterator(data)) {
        const std::string name = entry.path().filename().string();
        if (name == "vovod.html")
            continue; // the report template every new data root gets
        ++files;
        extensions.insert(entry.path().extension().string());
        if (entry.path().extension() == ".jpg") {
            image = name;
            EXPECT_NE(name.find(" 2001.jpg"), std::string::npos) << name;
        }
        if (entry.path().extension() == ".txt") {
            ++sideFiles;
            EXPECT_NE(ReadFile(entry.path()).find("Raster:72\nBatch:1\n"), std::string::npos);
        }
    }
    EXPECT_EQ(extensions, (std::set<std::string>{".jpg", ".xml", ".txt"}));
    EXPECT_EQ(sideFiles, 2);
    EXPECT_EQ(files, 5);
    for (const auto& entry : fs::directory_iterator(data)) {
        if (entry.path().extension() == ".txt") {
            EXPECT_NE(ReadFile(entry.path()).find("Image:" + image + "\n"), std::string::npos);
        }
    }
    for (const CString& text : m_boxes->Texts())
        ADD_FAILURE() << text.GetString();

    // Closed, the form comes back with New.
    form->GetParentFrame()->SendMessage(WM_CLOSE);
    PumpMessages();
    EXPECT_EQ(app.GetFormView(), nullptr);
    ASSERT_TRUE(QueryCommand(MainFrame(app), ID_NEW_MEASUREMENT).enabled);
    MainFrame(app).SendMessage(WM_COMMAND, ID_NEW_MEASUREMENT);
    EXPECT_NE(dynamic_cast<CFormTray*>(app.GetFormView()), nullptr);
    Stop(app);
    // The tray type is kept for the next start.
    EXPECT_EQ(GetPrivateProfileString("Tray", "Type", "", (m_programFolder / "trayscan.ini").c_str()), CString("72"));
}

} // namespace
} // namespace kestrun::testing
