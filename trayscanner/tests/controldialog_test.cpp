// The control dialog offscreen on the simulated box.

#include "trayscanner/tests/boxtesting.h"
#include "trayscanner/trayvobox.h"
#include "trayscanner/ui/saveprofiledlg.h"
#include "trayscanner/ui/tablonresources.h"
#include "trayscanner/ui/vovodscannerdlg.h"

#include "platform/ui/button.h"
#include "platform/ui/listboxes.h"
#include "platform/ui/winapp.h"

#include <QTimer>

using namespace kestrun;
using namespace kestrun::tablon;
using namespace kestrun::tablon::testing;
using tcatio::kCameraPort;

namespace {

class ControlDialogTest : public CSimulatorFixture
{
protected:
    ControlDialogTest()
    {
        m_box.SetOwnTimer(false);
        // As the program does around the dialog.
        m_previous = AfxGetResourceHandle();
        AfxSetResourceHandle(TablonModule());
    }
    ~ControlDialogTest() override
    {
        AfxSetResourceHandle(m_previous);
        m_box.Close();
    }

    CString Text(CWnd& dialog, UINT id)
    {
        CString text;
        dialog.GetDlgItemText(static_cast<int>(id), text);
        return text;
    }

    HINSTANCE m_previous = nullptr;
    CTrayvoBox m_box;
};

TEST_F(ControlDialogTest, TheArrowsMoveTheCarriageWhileHeldAndAManualChangeDeselects)
{
    ASSERT_TRUE(m_box.Open());
    m_box.StopCamera();
    Box().SetPosition(kCameraPort, 10000);
    m_box.Profiles().StoreProfile("Plates");
    CCamBoxInterface host;
    m_box.SetInterface(&host);

    CVovodScannerDlg dialog(m_box);
    bool ran = false;
    QTimer::singleShot(0, [&] {
        ran = true;
        auto* combo = static_cast<CComboBox*>(dialog.GetDlgItem(IDC_PROFILES));
        EXPECT_EQ(combo->GetCurSel(), 0);
        EXPECT_EQ(m_box.GetInterface(), &dialog) << "the dialog takes the notices";

        CWnd* down = dialog.GetDlgItem(IDC_ARROW_DOWN);
        down->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, 0);
        m_clock.Advance(100);
        m_box.Tick();
        EXPECT_TRUE(Box().IsRunning(kCameraPort));
        down->SendMessage(WM_LBUTTONUP, 0, 0);
        EXPECT_FALSE(Box().IsRunning(kCameraPort));
        const unsigned stopped = Box().GetPosition(kCameraPort);
        EXPECT_GT(stopped, 10000u);
        EXPECT_LT(stopped, 40000u);

        // Leaving the arrow while it is held stops the carriage too.
        CWnd* up = dialog.GetDlgItem(IDC_ARROW_UP);
        up->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        up->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(3, 3));
        m_clock.Advance(20);
        m_box.Tick();
        EXPECT_TRUE(Box().IsRunning(kCameraPort));
        up->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(static_cast<WORD>(-5), 3));
        EXPECT_FALSE(Box().IsRunning(kCameraPort));
        EXPECT_FALSE(static_cast<CTrackLookButton*>(up)->IsPressed());
        Box().SetPosition(kCameraPort, stopped);

        // The tick's notice reaches the dialog as a posted message.
        m_clock.Advance(300);
        m_box.Tick();
        PumpMessages();
        EXPECT_EQ(Text(dialog, IDC_POSITION), CString(std::to_string(stopped).c_str()));
        EXPECT_EQ(Text(dialog, IDC_POSITION_MM), CVovodScannerDlg::FormatMm(stopped));
        EXPECT_EQ(Text(dialog, IDC_STATUS), "Trayvo ready");
        EXPECT_EQ(combo->GetCurSel(), -1) << "moving by hand leaves no profile selected";
        EXPECT_EQ(m_box.GetProfileName(), "");

        combo->SetCurSel(0);
        combo->NotifyParent(CBN_SELCHANGE);
        EXPECT_EQ(m_box.GetProfileName(), "Plates");
        static_cast<CButton*>(dialog.GetDlgItem(IDC_WHITE))->Click();
        EXPECT_EQ(m_box.GetProfileName(), "");
        EXPECT_EQ(m_box.IsSwitchOn(COutput::kWhiteBit), false);
        dialog.EndDialog(IDCANCEL);
    });
    dialog.DoModal();
    EXPECT_TRUE(ran);
    EXPECT_EQ(m_box.GetInterface(), &host) << "handed back";
}

TEST_F(ControlDialogTest, TheMmTextFollowsThePosition)
{
    struct Case
    {
        DWORD position;
        const char* mm;
    };
    for (const Case& c : {Case{0, "339.0"}, Case{1000, "334.4"}, Case{40000, "153.5"}, Case{54000, "88.6"}}) {
        SCOPED_TRACE(c.position);
        EXPECT_EQ(CVovodScannerDlg::FormatMm(c.position), c.mm);
    }
}

TEST_F(ControlDialogTest, AClosedBoxEndsTheDialogAtOnce)
{
    CVovodScannerDlg dialog(m_box);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    ASSERT_FALSE(m_boxes->Shown().empty());
    EXPECT_EQ(m_boxes->Shown().back().text, "Device not connected");
    EXPECT_EQ(m_boxes->Shown().back().caption, "Device not found or connected.");
}

TEST_F(ControlDialogTest, SavingAsksBeforeOverwriting)
{
    m_box.Profiles().StoreProfile("Plates");
    kestrun::tablon::CSaveProfileDlg dialog(m_box.Profiles(), "Plates");
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(dialog.GetDlgItem(IDOK)->IsWindowEnabled());
        m_boxes->QueueAnswer(IDNO);
        static_cast<CButton*>(dialog.GetDlgItem(IDOK))->Click();
        EXPECT_TRUE(dialog.IsWindowVisible()) << "No keeps the dialog open";
        dialog.SetDlgItemText(IDC_PROFILE_NAME, "");
        EXPECT_FALSE(dialog.GetDlgItem(IDOK)->IsWindowEnabled());
        dialog.SetDlgItemText(IDC_PROFILE_NAME, "Plates");
        m_boxes->QueueAnswer(IDYES);
        static_cast<CButton*>(dialog.GetDlgItem(IDOK))->Click();
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_strName, "Plates");
    EXPECT_EQ(m_boxes->Texts(), (std::vector<CString>{"This profile already exists. Do you want to overwrite it?",
                                                      "This profile already exists. Do you want to overwrite it?"}));
}

} // namespace
