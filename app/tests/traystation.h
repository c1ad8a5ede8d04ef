#pragma once
// The scanning station of Mode 1 in the application tests: the simulated
// box ticked by the test on a clock of its own, the tray's areas of
// interest, the camera's picture, barcodes typed into the tray form and the
// box's push button.

#include "app/tests/apptesting.h"

#include "analysis/aoi.h"
#include "analysis/aoidoc.h"
#include "database/ui/formtray.h"
#include "database/ui/formtrayresources.h"
#include "outside/grabwell/fgboard.h"
#include "outside/tcatio/simulatedbox.h"
#include "platform/core/clock.h"
#include "platform/core/messages.h"
#include "trayscanner/tablonapp.h"

#include <opencv2/imgcodecs.hpp>
#include <opencv2/imgproc.hpp>

namespace kestrun::testing {

class CTrayStationTest : public CAppTest
{
protected:
    // Two vessels of tray 72, batch 1.
    static constexpr CRect kVessels[] = {{40, 100, 200, 260}, {440, 100, 600, 260}};

    void SetUp() override
    {
        CAppTest::SetUp();
        tcatio::SimulatedBox().Reset();
        tcatio::SimulatedBox().SetClock(&m_clock, 1);
        // The test ticks the box itself.
        TablonApp().m_box.SetOwnTimer(false);
    }
    void TearDown() override
    {
        TablonApp().m_box.SetOwnTimer(true);
        tcatio::SimulatedBox().Reset();
        if (FGBoard* board = GetFG()) {
            board->StopLive();
            board->DisconnectDisplay();
            board->SetVideoSource(0);
        }
        CAppTest::TearDown();
    }

    // "72_1.AOI" with the two vessels, in the data root.
    void WriteTrayAreas() const
    {
        std::filesystem::create_directories(DataRoot().GetString());
        CAOIDoc areas;
        areas.SetImageSize(640, 480, true);
        for (const CRect& r : kVessels) {
            std::unique_ptr<CAOI> area = std::make_unique<CAOI2>(r);
            ASSERT_NE(areas.AddAOI(area), 0);
        }
        ASSERT_TRUE(areas.SaveAOIFile(DataRoot() + "72_1.AOI"));
    }

    // The camera's picture: three objects in the first vessel, two in the
    // other; the folder the board plays back.
    std::filesystem::path WriteCameraPicture() const
    {
        const std::filesystem::path playback = m_folder / "camera";
        std::filesystem::create_directories(playback);
        cv::Mat picture(480, 640, CV_8UC3, cv::Scalar::all(245));
        for (cv::Point centre : {cv::Point(80, 140), cv::Point(150, 150), cv::Point(110, 220), cv::Point(490, 150),
                                 cv::Point(550, 210)})
            cv::circle(picture, centre, 10, cv::Scalar::all(30), cv::FILLED);
        EXPECT_TRUE(cv::imwrite((playback / "tray.bmp").string(), picture));
        return playback;
    }

    // InitInstance as Start does, but with the scanning-box library itself
    // (over the simulated box) in place of the fake.
    void StartWithBoxLibrary(CKestrunApp& app) const
    {
        app.m_strProgramFolder = m_programFolder.c_str();
        app.m_strTablonLibrary = "Tablon.dll";
        app.m_arguments = {"kestrun"};
        ASSERT_TRUE(app.InitInstance());
        ASSERT_TRUE(app.GetTablon().IsLoaded());
    }

    // The push button pressed and let go, each seen by a tick of the box.
    static void PressBoxButton()
    {
        tcatio::SimulatedBox().SetButton(true);
        TablonApp().m_box.Tick();
        tcatio::SimulatedBox().SetButton(false);
        TablonApp().m_box.Tick();
        PumpMessages();
    }

    static void Enter(CFormTray& form, const char* text)
    {
        form.GetDlgItem(static_cast<int>(trayform::IDC_TRAY_BARCODE))->SetWindowText(text);
        MSG msg{};
        msg.message = WM_KEYDOWN;
        msg.wParam = VK_RETURN;
        form.PreTranslateMessage(&msg);
    }

    ManualClock m_clock{100000};
};

} // namespace kestrun::testing
