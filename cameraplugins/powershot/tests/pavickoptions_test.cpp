// The settings dialog and the save dialog offscreen, on the simulated
// camera: each change goes to the camera and leaves no profile name.

#include "cameraplugins/fgplugin.h"
#include "cameraplugins/powershot/fgpavick.h"
#include "cameraplugins/powershot/pavickapp.h"
#include "cameraplugins/powershot/tests/pavicktesting.h"
#include "cameraplugins/powershot/ui/optionsdialog.h"
#include "cameraplugins/powershot/ui/pavickresources.h"
#include "cameraplugins/powershot/ui/savecameraprofiledlg.h"

#include "outside/prsdk/prsdksimulator.h"

#include "platform/core/library.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/button.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/rangectrls.h"
#include "platform/ui/widgetbridge.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

using namespace kestrun;
using namespace kestrun::camplugin;
using namespace kestrun::pavick;
using kestrun::prsdk::PrsdkSimulator;

namespace {

CComboBox* ComboOf(CWnd& dialog, UINT id)
{
    return static_cast<CComboBox*>(dialog.GetDlgItem(static_cast<int>(id)));
}

CString SelectedText(CWnd& dialog, UINT id)
{
    CComboBox* combo = ComboOf(dialog, id);
    CString text;
    if (combo->GetCurSel() >= 0)
        combo->GetLBText(combo->GetCurSel(), text);
    return text;
}

// Picks the entry with the item data and tells the dialog, as a user would.
void ChooseCode(CWnd& dialog, UINT id, DWORD_PTR code)
{
    CComboBox* combo = ComboOf(dialog, id);
    for (int i = 0; i < combo->GetCount(); ++i) {
        if (combo->GetItemData(i) == code) {
            combo->SetCurSel(i);
            combo->NotifyParent(CBN_SELCHANGE);
            return;
        }
    }
    ADD_FAILURE() << "no entry " << code << " in " << id;
}

class PavickOptionsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PrsdkSimulator().Reset();
        PrsdkSimulator().SetManualFrames(true);
        PrsdkSimulator().SetCameras({u"PowerShot Lab"});
        m_module = ::LoadLibrary("Pavick.dll");
        ASSERT_NE(m_module, nullptr) << LastLibraryError().GetString();
        PavickApp().SetReportToWindow(0);
        pavick::testing::ResetProfiles();
        ASSERT_EQ(FGPavick().Init(nullptr), 1);
    }
    void TearDown() override
    {
        FGPavick().Exit();
        PrsdkSimulator().Reset();
        ::FreeLibrary(m_module);
    }

    // Runs the dialog modally; body sees it open and ends it.
    void RunOptions(const std::function<void(COptionsDialog&)>& body)
    {
        const CPavickResourceScope resources;
        COptionsDialog dialog(FGPavick());
        bool ran = false;
        QTimer::singleShot(0, [&] {
            ran = true;
            body(dialog);
            dialog.EndDialog(IDCANCEL);
        });
        dialog.DoModal();
        EXPECT_TRUE(ran);
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
    HMODULE m_module = nullptr;
};

TEST_F(PavickOptionsTest, ManualModeSetsCompensationToZeroAndGreysItOut)
{
    FGPavick().Settings().m_nExposureCompensation = 0x10;
    FGPavick().ApplySettings();
    RunOptions([&](COptionsDialog& dialog) {
        CWnd* compensation = dialog.GetDlgItem(IDC_COMPENSATION);
        EXPECT_TRUE(compensation->IsWindowEnabled());
        EXPECT_EQ(SelectedText(dialog, IDC_COMPENSATION), "+1");
        ChooseCode(dialog, IDC_EXPOSURE_MODE, 4);
        EXPECT_FALSE(compensation->IsWindowEnabled());
        EXPECT_EQ(FGPavick().Settings().m_nExposureCompensation, 24);
        EXPECT_EQ(PrsdkSimulator().GetPropertyValue(0xD00C), 4);
        EXPECT_EQ(PrsdkSimulator().GetPropertyValue(0xD01F), 24);
        EXPECT_EQ(SelectedText(dialog, IDC_COMPENSATION), "0");
        ChooseCode(dialog, IDC_EXPOSURE_MODE, 1);
        EXPECT_TRUE(compensation->IsWindowEnabled());
        EXPECT_EQ(FGPavick().Settings().m_nExposureCompensation, 24) << "mode 1 leaves it";
    });
    EXPECT_TRUE(m_boxes->Texts().empty());
}

TEST_F(PavickOptionsTest, ZoomBarRunsTheOtherWayRound)
{
    FGPavick().SetZoom(32);
    RunOptions([&](COptionsDialog& dialog) {
        auto* zoom = static_cast<CSliderCtrl*>(dialog.GetDlgItem(IDC_ZOOM));
        // 0xD03D 144 minus the step 16.
        EXPECT_EQ(zoom->GetRangeMin(), 0);
        EXPECT_EQ(zoom->GetRangeMax(), 128);
        EXPECT_EQ(zoom->GetPos(), 96);
        for (const int position : {0, 112}) {
            zoom->SetPos(position);
            dialog.SendMessage(WM_VSCROLL, MAKEWPARAM(TB_ENDTRACK, position), reinterpret_cast<LPARAM>(zoom->m_hWnd));
            EXPECT_EQ(PrsdkSimulator().GetPropertyValue(0xD02A), 128 - position);
            EXPECT_EQ(FGPavick().Settings().m_nCurrentZoom, 128 - position);
        }
    });
}

TEST_F(PavickOptionsTest, AnyChangeEmptiesTheProfileNameAndTheNextSaveProposesIt)
{
    FGPavick().SaveProfileAs("Lab");
    FGPavick().Profiles().m_strCurrentName.Empty();
    RunOptions([&](COptionsDialog& dialog) {
        CComboBox* profiles = ComboOf(dialog, IDC_PROFILES);
        profiles->SetCurSel(0);
        profiles->NotifyParent(CBN_SELCHANGE);
        EXPECT_EQ(FGPavick().Profiles().m_strCurrentName, "Lab");
        static_cast<CButton*>(dialog.GetDlgItem(IDC_MACRO))->Click();
        EXPECT_EQ(FGPavick().Settings().m_nAFDistance, 3);
        EXPECT_EQ(PrsdkSimulator().GetPropertyValue(0xD011), 3);
        EXPECT_EQ(FGPavick().GetParameterString(kParamProfileName), CString(""));
        EXPECT_EQ(profiles->GetCurSel(), -1);
        EXPECT_EQ(dialog.m_strKeptName, "Lab");
        ChooseCode(dialog, IDC_METERING, 1);
        EXPECT_EQ(dialog.m_strKeptName, "Lab") << "kept while nothing is selected";
    });
}

TEST_F(PavickOptionsTest, ProfileListSelectsTheEqualNameOnly)
{
    FGPavick().SaveProfileAs("AB");
    FGPavick().SaveProfileAs("A");
    RunOptions([&](COptionsDialog& dialog) { EXPECT_EQ(SelectedText(dialog, IDC_PROFILES), "A"); });
}

TEST_F(PavickOptionsTest, SaveDialogNeedsANameAndAsksBeforeOverwriting)
{
    FGPavick().SaveProfileAs("Lab");
    const CPavickResourceScope resources;
    CSaveCameraProfileDlg save(FGPavick(), "");
    QTimer::singleShot(0, [&] {
        CWnd* ok = save.GetDlgItem(IDOK);
        EXPECT_FALSE(ok->IsWindowEnabled());
        save.SetDlgItemText(IDC_PROFILE_NAME, "Lab");
        EXPECT_TRUE(ok->IsWindowEnabled());
        m_boxes->QueueAnswer(IDNO);
        save.SendMessage(WM_COMMAND, IDOK, 0);
        EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"This profile already exists. Do you want to overwrite it?"});
        CString text;
        save.GetDlgItemText(IDC_PROFILE_NAME, text);
        EXPECT_EQ(text, "Lab") << "still open, text unchanged";
        m_boxes->QueueAnswer(IDYES);
        save.SendMessage(WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(save.DoModal(), IDOK);
    EXPECT_EQ(save.m_strName, "Lab");
}

TEST_F(PavickOptionsTest, OpenDialogExportShowsTheCameraAndAppliesOnClose)
{
    const auto openDialog = reinterpret_cast<PFN_OpenDialog>(::GetProcAddress(m_module, kExportOpenDialog));
    ASSERT_NE(openDialog, nullptr);
    bool ran = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        ASSERT_NE(modal, nullptr);
        auto* dialog = WindowOf<COptionsDialog>(modal);
        ASSERT_NE(dialog, nullptr);
        ran = true;
        CString caption;
        dialog->GetWindowText(caption);
        EXPECT_EQ(caption, "PowerShot Lab settings");
        static_cast<CButton*>(dialog->GetDlgItem(IDC_ZOOM_LIVE))->Click();
        PrsdkSimulator().ClearLogs();
        dialog->SendMessage(WM_COMMAND, IDOK, 0);
    });
    openDialog(nullptr);
    EXPECT_TRUE(ran);
    EXPECT_EQ(FGPavick().Settings().m_bZoomLive, 1);
    EXPECT_FALSE(PrsdkSimulator().PropertyWrites().empty()) << "the settings were sent on close";
}

} // namespace
