// The view's threshold dialog: opened once on a copy of the profile's
// colour threshold, fed with the colours clicked in drawing mode 8, taken
// over after OK (the settings marked changed only when it differs, the
// expert flag as the application's automatic threshold), left alone after
// Cancel, and closed with its view.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"

#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/thresdlg.h"
#include "platform/core/messages.h"

namespace {

using kestrun::testing::CImageViewTest;
using namespace kestrun::analysisui;

class ViewThresTest : public CImageViewTest
{
protected:
    CThresDlg& Open()
    {
        Command(ID_TOOL_THRESHOLDS);
        EXPECT_NE(m_view->m_pThresDlg, nullptr);
        return *m_view->m_pThresDlg;
    }
};

TEST_F(ViewThresTest, OKTakesTheThresholdOverAndMarksTheSettingsOnlyWhenItDiffers)
{
    EXPECT_TRUE(IsEnabled(ID_TOOL_THRESHOLDS));
    CSegThres& profile = m_engine.GetSettings().m_SegThres;
    profile = CSegThres(RGB(80, 80, 80), RGB(200, 200, 200), CSegThres::modeDark);

    CThresDlg& unchanged = Open();
    EXPECT_EQ(unchanged.m_SegThres, profile);
    Command(ID_TOOL_THRESHOLDS); // one dialog at a time
    EXPECT_EQ(m_view->m_pThresDlg.get(), &unchanged);
    Press(unchanged, IDOK);
    EXPECT_EQ(m_view->m_pThresDlg, nullptr);
    EXPECT_EQ(m_services.m_nSettingsChanged, 0);

    CThresDlg& cancelled = Open();
    Press(cancelled, IDC_DEFAULT);
    Press(cancelled, IDCANCEL);
    EXPECT_EQ(m_view->m_pThresDlg, nullptr);
    EXPECT_EQ(profile.GetUpper(), RGB(200, 200, 200));
    EXPECT_EQ(m_services.m_nSettingsChanged, 0);

    CThresDlg& changed = Open();
    Press(changed, IDC_DEFAULT);
    Press(changed, IDOK);
    EXPECT_EQ(profile.GetUpper(), RGB(240, 240, 240));
    EXPECT_EQ(m_services.m_nSettingsChanged, 1);
}

TEST_F(ViewThresTest, AClickWhileLearningTeachesTheDialogTheColourUnderIt)
{
    CSegThres& profile = m_engine.GetSettings().m_SegThres;
    profile = CSegThres(RGB(0, 0, 0), RGB(255, 255, 255), CSegThres::modeDark);
    const kestrun::testing::sColony& colony = m_colonies.front();
    const COLORREF colour = m_doc->GetActiveDIB()->GetPixel(colony.centre.x, colony.centre.y);

    CThresDlg& dialog = Open();
    ClickAt(colony.centre); // not learning: the limits stay
    EXPECT_EQ(dialog.m_SegThres.GetLower(), RGB(0, 0, 0));
    m_doc->m_nDrawMode = CDIBDoc::kDrawModeResult; // a bound table's
    Press(dialog, IDC_THRES_LEARN_OBJECT);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawPickColour);
    ClickAt(colony.centre);
    EXPECT_TRUE(dialog.m_SegThres.IsObjectColor(colour));
    EXPECT_EQ(dialog.m_SegThres.GetLower(), colour);

    // Leaving the learning gives the table's drawing mode back; closing ends the picking.
    Press(dialog, IDC_THRES_LEARN_OBJECT);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBDoc::kDrawModeResult);
    Press(dialog, IDC_THRES_LEARN_BACK);
    EXPECT_EQ(m_doc->m_nDrawMode, CDIBView::kDrawPickColour);
    Press(dialog, IDOK);
    EXPECT_NE(m_doc->m_nDrawMode, CDIBView::kDrawPickColour);
    EXPECT_EQ(profile.GetLower(), colour);
}

TEST_F(ViewThresTest, TheExpertFlagIsTheApplicationsAutomaticThresholdAndComesBackOnOK)
{
    struct Case
    {
        BOOL before;
        int set;
        UINT close;
        BOOL after;
    };
    const Case cases[] = {
        {FALSE, 1, IDOK, TRUE},
        {TRUE, 0, IDOK, FALSE},
        {TRUE, 0, IDCANCEL, TRUE},
    };
    for (const Case& c : cases) {
        m_services.m_bAutoThreshold = c.before;
        CThresDlg& dialog = Open();
        EXPECT_EQ(dialog.m_bExpert, c.before);
        dialog.m_bExpert = c.set;
        Press(dialog, c.close);
        EXPECT_EQ(m_view->m_pThresDlg, nullptr);
        EXPECT_EQ(m_services.m_bAutoThreshold, c.after) << c.close;
    }
}

TEST_F(ViewThresTest, AClosedViewTakesItsDialogAndThePreviewAlong)
{
    CThresDlg& dialog = Open();
    Press(dialog, IDC_THRES_PREVIEW);
    EXPECT_NE(m_doc->GetPreviewImage(), nullptr);
    m_doc->OnCloseDocument();
    kestrun::PumpMessages();
    m_doc = nullptr;
    m_view = nullptr;
}

} // namespace
