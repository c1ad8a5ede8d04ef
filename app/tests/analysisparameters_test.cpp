// The analysis parameters in the program: the engine's dialogs of the
// Analysis menu, the image's parameter commands and the form-parameter
// sheet open on the current profile.

#include "app/tests/apptesting.h"

#include "app/resource.h"

#include "dialogtesting.h"

#include "analysis/bv.h"
#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/formsheet.h"
#include "imaging/dibdoc.h"
#include "imaging/imagecommands.h"
#include "imaging/ui/dibvwex.h"
#include "platform/core/messages.h"
#include "platform/ui/button.h"
#include "platform/ui/widgetbridge.h"

#include <opencv2/imgcodecs.hpp>

#include <functional>

namespace kestrun::testing {

namespace {

namespace fs = std::filesystem;
using namespace kestrun::analysisui;

CString captionOf(const CWnd& wnd)
{
    CString caption;
    wnd.GetWindowText(caption);
    return caption;
}

class AnalysisParametersTest : public CStartedAppTest<CKestrunApp>
{
protected:
    CObjectFilter& Filter() { return m_app.GetEngine()->GetSettings().m_ObjectFilter; }

    // A dialog of the command shows its caption; the steps end it.
    void Run(UINT id, const char* caption, std::function<void(CDialog&)> steps)
    {
        SCOPED_TRACE(caption);
        EXPECT_TRUE(QueryCommand(Frame(), id).enabled) << id;
        CString shown;
        OnNextDialog([&shown, steps = std::move(steps)](CDialog& d) {
            shown = captionOf(d);
            steps(d);
        });
        Frame().SendMessage(WM_COMMAND, id);
        EXPECT_EQ(shown, caption);
    }
};

TEST_F(AnalysisParametersTest, TheAnalysisMenuEditsTheObjectFilterOfTheProfile)
{
    Filter().m_ConCutType = 0;
    Run(ID_CONGLOMERATE_CUTTING, "Conglomerate Cutting", [](CDialog& d) {
        static_cast<CButton*>(d.GetDlgItem(IDC_RADIO3))->Click();
        d.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(Filter().m_ConCutType, CObjectFilter::conCutWatershed);

    Filter().m_ContourFeatureLineFitThres = 300;
    Run(ID_CURVATURE, "Curvature", [](CDialog& d) {
        d.SetDlgItemText(IDC_LINEFIT_WIDTH, "40");
        d.SendMessage(WM_COMMAND, IDOK);
    });
    EXPECT_EQ(Filter().m_ContourFeatureLineFitThres, 40);

    Filter().m_Distance = 35;
    Run(ID_CONVEX_CONCAVE, "Convex/Concave Analysis", [](CDialog& d) {
        d.SetDlgItemText(IDC_DISTANCE, "9");
        d.SendMessage(WM_COMMAND, IDCANCEL);
    });
    EXPECT_EQ(Filter().m_Distance, 35);
}

TEST_F(AnalysisParametersTest, TheImageCommandsOpenTheirDialogsAndTheFormSheet)
{
    const fs::path file = m_folder / "grey.png";
    ASSERT_TRUE(cv::imwrite(file.string(), cv::Mat(60, 80, CV_8UC3, cv::Scalar(200, 200, 200))));
    auto* doc = DYNAMIC_DOWNCAST(CDIBDoc, m_app.OpenDocumentFile(file.c_str()));
    ASSERT_NE(doc, nullptr);

    Run(ID_IMAGE_SELECTION, "Filter", [](CDialog& d) { d.SendMessage(WM_COMMAND, IDCANCEL); });
    Run(ID_IMAGE_SMOOTH_CONTOUR, "Smooth Options", [](CDialog& d) { d.SendMessage(WM_COMMAND, IDCANCEL); });
    Run(ID_IMAGE_FILTER_SETTINGS, "Filter Settings", [](CDialog& d) { d.SendMessage(WM_CLOSE); });

    EXPECT_TRUE(QueryCommand(Frame(), ID_FORM_PARAMETER).enabled);
    EXPECT_TRUE(QueryCommand(Frame(), ID_CALIBRATION).enabled);
    Frame().SendMessage(WM_COMMAND, ID_FORM_PARAMETER);
    auto* view = DYNAMIC_DOWNCAST(CDIBVwEx, doc->Views().front());
    ASSERT_NE(view, nullptr);
    ASSERT_NE(view->m_pFormSheet, nullptr);
    EXPECT_EQ(captionOf(*view->m_pFormSheet), "Formparameter");
    EXPECT_FALSE(view->m_pFormSheet->m_FormThres.Differs(m_app.GetEngine()->GetSettings().m_FormThres));
    view->m_pFormSheet->SendMessage(WM_COMMAND, IDOK);
    PumpMessages();
    EXPECT_EQ(view->m_pFormSheet, nullptr);
    EXPECT_EQ(m_app.m_nSettingsChanged, 0);
    EXPECT_TRUE(m_boxes->Texts().empty());
}

} // namespace

} // namespace kestrun::testing
