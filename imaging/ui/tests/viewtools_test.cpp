// The view's tool windows: the form-parameter sheet on a copy of the
// profile, taken over on OK only, and the calibration line.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"

#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/formsheet.h"
#include "platform/core/messages.h"
#include "platform/ui/widgetbridge.h"

#include <QApplication>
#include <QTimer>

#include <functional>

namespace {

using kestrun::testing::CImageViewTest;
using namespace kestrun::analysisui;

// Runs steps on the modal dialog once one shows; the command may run a
// loop of its own first.
void AnswerDialog(std::function<void(CDialog&)> steps, int tries = 2000)
{
    QTimer::singleShot(0, [steps = std::move(steps), tries]() mutable {
        auto* dialog = kestrun::WindowOf<CDialog>(QApplication::activeModalWidget());
        if (dialog != nullptr)
            steps(*dialog);
        else if (tries > 0)
            AnswerDialog(std::move(steps), tries - 1);
        else
            ADD_FAILURE() << "no dialog shows";
    });
}

class ViewToolsTest : public CImageViewTest
{
protected:
    CFormSheet& OpenSheet()
    {
        Command(ID_TOOL_FORM_PARAMETER);
        EXPECT_NE(m_view->m_pFormSheet, nullptr);
        return *m_view->m_pFormSheet;
    }

    void Close(CFormSheet& sheet, UINT button)
    {
        sheet.SendMessage(WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        kestrun::PumpMessages();
    }
};

TEST_F(ViewToolsTest, TheFormSheetEditsACopyThatOKTakesOver)
{
    EXPECT_TRUE(IsEnabled(ID_TOOL_FORM_PARAMETER));
    CFormThres& profile = m_engine.GetSettings().m_FormThres;
    profile.m_Model = CFormThres::modelContour;
    const CFormThres before = profile;

    // OK without a change: nothing to mark.
    CFormSheet& unchanged = OpenSheet();
    EXPECT_EQ(unchanged.GetWindowTextLength(), static_cast<int>(strlen("Formparameter")));
    Command(ID_TOOL_FORM_PARAMETER); // one sheet at a time
    EXPECT_EQ(m_view->m_pFormSheet.get(), &unchanged);
    Close(unchanged, IDOK);
    EXPECT_EQ(m_view->m_pFormSheet, nullptr);
    EXPECT_EQ(m_services.m_nSettingsChanged, 0);
    EXPECT_FALSE(profile.Differs(before));

    // Cancel: the profile stays.
    CFormSheet& cancelled = OpenSheet();
    cancelled.SetActivePage(2);
    cancelled.m_Page3.CheckRadioButton(IDC_MODEL_CONTOUR, IDC_MODEL_SEGMENT, IDC_MODEL_ELLIPSE);
    Close(cancelled, IDCANCEL);
    EXPECT_EQ(m_view->m_pFormSheet, nullptr);
    EXPECT_EQ(profile.m_Model, static_cast<UINT>(CFormThres::modelContour));
    EXPECT_EQ(m_services.m_nSettingsChanged, 0);

    // OK with a change: taken over and marked.
    CFormSheet& changed = OpenSheet();
    changed.SetActivePage(2);
    changed.m_Page3.CheckDlgButton(IDC_MODEL_CONTOUR, BST_UNCHECKED);
    changed.m_Page3.CheckDlgButton(IDC_MODEL_SKELETON, BST_CHECKED);
    Close(changed, IDOK);
    EXPECT_EQ(profile.m_Model, static_cast<UINT>(CFormThres::modelSkeleton));
    EXPECT_EQ(m_services.m_nSettingsChanged, 1);
}

TEST_F(ViewToolsTest, AClosedViewTakesItsSheetAlong)
{
    OpenSheet();
    m_doc->OnCloseDocument();
    kestrun::PumpMessages();
    m_doc = nullptr;
    m_view = nullptr;
}

TEST_F(ViewToolsTest, ALineOfAHundredPixelsOverFiftyUnitsGivesTheFactorOneHalf)
{
    EXPECT_TRUE(IsEnabled(ID_TOOL_CALIBRATION));
    if (m_view->m_bShrinkToFit)
        Command(ID_VIEW_DIRECT);
    ASSERT_FALSE(m_view->m_bShrinkToFit);
    const CPoint from = m_view->ImageToClient(CPoint(20, 30));
    const CPoint to = m_view->ImageToClient(CPoint(80, 110)); // 60 by 80: 100 pixels
    m_view->PostMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    m_view->PostMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    m_view->PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
    CString shownPixels;
    AnswerDialog([&](CDialog& d) {
        d.GetDlgItemText(IDC_REF_PIXELS, shownPixels);
        d.SetDlgItemText(IDC_REF_UNITS, "50");
        d.SendMessage(WM_COMMAND, IDOK);
    });
    Command(ID_TOOL_CALIBRATION);
    EXPECT_EQ(shownPixels, "100");
    const CCalibration& calibration = m_engine.GetSettings().m_Calibration;
    EXPECT_DOUBLE_EQ(calibration.m_dFactor, 0.5);
    EXPECT_DOUBLE_EQ(calibration.m_xSize, kPlateWidth * 0.5);
    EXPECT_EQ(m_services.m_nSettingsChanged, 1);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawFinished);
}

} // namespace
