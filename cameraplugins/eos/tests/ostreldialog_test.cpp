// The camera control dialog offscreen on the simulated camera: combos from
// the descriptors, actions to the controller, live view with its frames,
// progress, firmware, and the options kept across openings.

#include "cameraplugins/eos/fgostrel.h"
#include "cameraplugins/eos/ostrelapp.h"
#include "cameraplugins/eos/tests/ostreltesting.h"
#include "cameraplugins/eos/ui/cameracontroldlg.h"
#include "cameraplugins/eos/ui/ostrelresources.h"
#include "cameraplugins/fgplugin.h"

#include "outside/edsdk/edsdksimulator.h"

#include "platform/core/library.h"
#include "platform/core/messages.h"
#include "platform/core/recording_dc.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/widgetbridge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <unistd.h>

using namespace kestrun;
using namespace kestrun::camplugin;
using namespace kestrun::ostrel;
using kestrun::edsdk::EdsdkSimulator;

namespace {

class OstrelDialogTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EdsdkSimulator().Reset();
        EdsdkSimulator().SetManualFrames(true);
        std::filesystem::create_directories(m_folder);
        m_module = ::LoadLibrary("Ostrel.dll");
        ASSERT_NE(m_module, nullptr) << LastLibraryError().GetString();
        m_openDialog = reinterpret_cast<PFN_OpenDialog>(::GetProcAddress(m_module, kExportOpenDialog));
        ASSERT_NE(m_openDialog, nullptr);
        FGOstrel().SetClock(&m_clock);
        FGOstrel().SetParameter(kParamReportToWindow, 0);
        FGOstrel().SetAFOnSnapshot(0);
        ASSERT_EQ(FGOstrel().Init(nullptr), 1);
        FGOstrel().SetImageDir(m_folder.c_str());
        Settle();
    }
    void TearDown() override
    {
        FGOstrel().Exit();
        FGOstrel().SetClock(nullptr);
        EdsdkSimulator().Reset();
        std::filesystem::remove_all(m_folder);
        ::FreeLibrary(m_module);
    }
    // The camera's events handled, the queued commands run and their
    // notices delivered to the windows.
    static void Settle()
    {
        EdsdkSimulator().WaitForEvents();
        ostrel::testing::Drain(FGOstrel().Controller()->processor(), FGOstrel().Model());
        EdsdkSimulator().WaitForEvents();
        ostrel::testing::Drain(FGOstrel().Controller()->processor(), FGOstrel().Model());
        PumpMessages();
    }
    // Opens the dialog through the export; body sees it and may end it,
    // else it is closed with "Close".
    void RunControl(const std::function<void(CCameraControlDlg&)>& body)
    {
        bool ran = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = WindowOf<CCameraControlDlg>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            ran = true;
            Settle();
            body(*dialog);
            if (dialog->GetSafeHwnd() != nullptr && dialog->IsWindowVisible())
                dialog->SendMessage(WM_COMMAND, IDOK, 0);
        });
        m_openDialog(nullptr);
        EXPECT_TRUE(ran);
    }
    static std::vector<CString> Entries(CComboBox& combo)
    {
        std::vector<CString> texts;
        for (int i = 0; i < combo.GetCount(); ++i) {
            CString text;
            combo.GetLBText(i, text);
            texts.push_back(text);
        }
        return texts;
    }
    static void Choose(CComboBox& combo, const char* text)
    {
        combo.SetCurSel(combo.FindStringExact(-1, text));
        combo.NotifyParent(CBN_SELCHANGE);
    }

    const std::string m_folder =
        (std::filesystem::temp_directory_path() / ("ostrel_dialog_" + std::to_string(::getpid()))).string();
    ostrel::testing::CGateClock m_clock;
    kestrun::testing::ScopedMessageBoxes m_boxes;
    HMODULE m_module = nullptr;
    PFN_OpenDialog m_openDialog = nullptr;
};

TEST_F(OstrelDialogTest, CombosFollowTheDescriptorsAndQueueTheirSetting)
{
    EdsdkSimulator().SetDescriptor(kEdsPropID_AEMode, {0, 1, 2, 3, 16});
    EdsdkSimulator().SetProperty32(kEdsPropID_AEMode, 2);
    EdsdkSimulator().SetDescriptor(kEdsPropID_ISOSpeed, {});
    RunControl([&](CCameraControlDlg& dialog) {
        CPropertyComboBox& aeMode = *dialog.Combo(IDC_AE_MODE);
        EXPECT_EQ(Entries(aeMode), (std::vector<CString>{"P", "Tv", "Av", "M"}));
        CString shown;
        aeMode.GetWindowText(shown);
        EXPECT_EQ(shown, "Av");
        dialog.Combo(IDC_TV)->GetWindowText(shown);
        EXPECT_EQ(shown, "30");
        dialog.Combo(IDC_IMAGE_QUALITY)->GetWindowText(shown);
        EXPECT_EQ(shown, "Large Fine Jpeg");
        EXPECT_FALSE(dialog.Combo(IDC_ISO)->IsWindowEnabled());
        EXPECT_TRUE(dialog.Combo(IDC_METERING_MODE)->IsWindowEnabled());
        CString firmware;
        dialog.GetDlgItemText(IDC_FIRMWARE, firmware);
        EXPECT_EQ(firmware, "Firmware Version 1.0.9");

        Choose(aeMode, "M");
        Settle();
        EXPECT_EQ(EdsdkSimulator().GetProperty32(kEdsPropID_AEMode), 3u);
    });
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(OstrelDialogTest, LiveViewShowsAFFramesAndTheZoomFrameOutsideFaceDetection)
{
    const auto rectangles = [](CEVFPictureBox& box) {
        CRecordingDC dc;
        box.PaintFrame(dc, CRect(0, 0, 300, 200));
        std::vector<std::pair<COLORREF, CRect>> drawn;
        for (const CDCRecord& record : dc.Records()) {
            if (record.op == "Rectangle")
                drawn.emplace_back(record.pen.lopnColor,
                                   CRect(record.args[0], record.args[1], record.args[2], record.args[3]));
        }
        return drawn;
    };
    const auto setAFMode = [](EdsUInt32 mode) {
        EdsdkSimulator().SetProperty32(kEdsPropID_Evf_AFMode, mode);
        EdsdkSimulator().RaisePropertyEvent(kEdsPropertyEvent_PropertyChanged, kEdsPropID_Evf_AFMode);
        Settle();
    };
    RunControl([&](CCameraControlDlg& dialog) {
        CEVFPictureBox& box = dialog.PictureBox();
        static_cast<CButton*>(dialog.GetDlgItem(IDC_START_EVF))->Click();
        Settle();
        EdsdkSimulator().MakeFramesReady(1);
        while (!box.HasFrame())
            std::this_thread::yield();
        Settle();

        setAFMode(2);
        EXPECT_FALSE(dialog.GetDlgItem(IDC_ZOOM_ZOOM)->IsWindowEnabled());
        // The simulator's three AF frames at 768 x 512, scaled to 300 x 200:
        // in focus, selected, not selected.
        const std::vector<std::pair<COLORREF, CRect>> afFrames = {
            {RGB(0, 255, 0), CRect(39, 78, 64, 96)},
            {RGB(255, 255, 255), CRect(117, 78, 142, 96)},
            {RGB(128, 128, 128), CRect(195, 78, 220, 96)},
        };
        EXPECT_EQ(rectangles(box), afFrames);

        setAFMode(0);
        EXPECT_TRUE(dialog.GetDlgItem(IDC_ZOOM_ZOOM)->IsWindowEnabled());
        std::vector<std::pair<COLORREF, CRect>> withZoom = {{RGB(255, 255, 255), CRect(0, 0, 60, 40)}};
        withZoom.insert(withZoom.end(), afFrames.begin(), afFrames.end());
        EXPECT_EQ(rectangles(box), withZoom);

        static_cast<CButton*>(dialog.GetDlgItem(IDC_ZOOM_ZOOM))->Click();
        Settle();
        EXPECT_EQ(EdsdkSimulator().GetProperty32(kEdsPropID_Evf_Zoom), 5u);
    });
}

TEST_F(OstrelDialogTest, ProgressFirmwareAndAutofocusOptionAcrossOpenings)
{
    RunControl([&](CCameraControlDlg& dialog) {
        auto* progress = static_cast<CProgressCtrl*>(dialog.GetDlgItem(IDC_PROGRESS));
        EdsUInt32 percent = 40;
        CameraEvent report{"ProgressReport", &percent};
        dialog.update(FGOstrel().Model(), &report);
        PumpMessages();
        EXPECT_EQ(progress->GetPos(), 40);
        // A picture taken here goes to the folder; its end empties the bar.
        static_cast<CButton*>(dialog.GetDlgItem(IDC_TAKE_PICTURE))->Click();
        Settle();
        EXPECT_EQ(progress->GetPos(), 0);
        EXPECT_FALSE(std::filesystem::is_empty(m_folder));
        static_cast<CButton*>(dialog.GetDlgItem(IDC_AF_ON_SNAPSHOT))->Click();
    });
    EXPECT_EQ(FGOstrel().GetAFOnSnapshot(), 1);
    EXPECT_TRUE(FGOstrel().Model()->hasObserver(&FGOstrel()));
    RunControl([&](CCameraControlDlg& dialog) {
        EXPECT_EQ(dialog.IsDlgButtonChecked(IDC_AF_ON_SNAPSHOT), static_cast<UINT>(BST_CHECKED));
        EXPECT_FALSE(FGOstrel().Model()->hasObserver(&FGOstrel()));
    });
}

TEST_F(OstrelDialogTest, OpeningEndsLiveViewFirstAndStartsItAgainAfterwards)
{
    FGOstrel().StartLiveView();
    while (!FGOstrel().IsLiveViewActive())
        std::this_thread::yield();
    RunControl([&](CCameraControlDlg&) {
        EXPECT_EQ(EdsdkSimulator().GetProperty32(kEdsPropID_Evf_OutputDevice) & kEdsEvfOutputDevice_PC, 0u);
    });
    Settle();
    EXPECT_NE(EdsdkSimulator().GetProperty32(kEdsPropID_Evf_OutputDevice) & kEdsEvfOutputDevice_PC, 0u);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(OstrelDialogTest, ACameraThatKeepsLiveViewOnIsReportedAndTheDialogOpensAnyway)
{
    FGOstrel().StartLiveView();
    while (!FGOstrel().IsLiveViewActive())
        std::this_thread::yield();
    EdsdkSimulator().AddFault({"EdsSetPropertyData", EDS_ERR_DEVICE_BUSY});
    m_clock.SetRunning(true);
    RunControl([&](CCameraControlDlg&) {});
    EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Live view of the camera did not end in time."});
}

TEST_F(OstrelDialogTest, TheCameraShuttingDownClosesTheDialog)
{
    RunControl([&](CCameraControlDlg& dialog) {
        EdsdkSimulator().RaiseStateEvent(kEdsStateEvent_Shutdown);
        Settle();
        PumpMessages();
        EXPECT_FALSE(dialog.IsWindowVisible());
    });
}

} // namespace
