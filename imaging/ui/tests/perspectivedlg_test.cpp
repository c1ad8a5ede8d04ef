// The view's perspective dialog: opened once on the engine's transform,
// fed with the corners clicked in the image, handing them over on OK (with
// "Calibration not valid!" when they give no field), left alone on
// Cancel, and closed with its view.

#include "imaging/ui/tests/viewtesting.h"

#include "imaging/ui/dibviewcommands.h"
#include "imaging/ui/perspectivetransformdlg.h"

#include "platform/core/messages.h"

#include <string>

namespace {

using kestrun::testing::CImageViewTest;
using Dlg = CPerspectiveTransformDlg;

class PerspectiveDlgTest : public CImageViewTest
{
protected:
    Dlg& Open()
    {
        Command(ID_TOOL_PERSPECTIVE);
        EXPECT_NE(m_view->m_pPerspectiveDlg, nullptr);
        return *m_view->m_pPerspectiveDlg;
    }

    static std::string Field(Dlg& dialog, int id)
    {
        CString text;
        dialog.GetDlgItemText(id, text);
        return std::string(static_cast<LPCTSTR>(text));
    }

    CPerspectiveTransform& Transform() { return m_engine.GetSettings().m_Perspective; }
};

TEST_F(PerspectiveDlgTest, ClicksFillTheCornersInOrderAndAFifthStartsAgain)
{
    EXPECT_TRUE(IsEnabled(ID_TOOL_PERSPECTIVE));
    Transform().Set(CPoint(1, 2), CPoint(3, 2), CPoint(5, 6), CPoint(7, 8), 20.0, 10.0);
    Dlg& dialog = Open();
    Command(ID_TOOL_PERSPECTIVE); // one dialog at a time
    EXPECT_EQ(m_view->m_pPerspectiveDlg.get(), &dialog);
    EXPECT_EQ(Field(dialog, Dlg::IDC_FRONT_LEFT), "1,2");
    EXPECT_EQ(Field(dialog, Dlg::IDC_BACK_RIGHT), "7,8");
    EXPECT_EQ(dialog.m_Width, 20.0);

    struct sClick
    {
        CPoint at;
        int field;
        const char* shown;
    };
    const sClick clicks[] = {
        {CPoint(40, 200), Dlg::IDC_FRONT_LEFT, "40,200"},  {CPoint(280, 200), Dlg::IDC_FRONT_RIGHT, "280,200"},
        {CPoint(80, 120), Dlg::IDC_BACK_LEFT, "80,120"},   {CPoint(240, 120), Dlg::IDC_BACK_RIGHT, "240,120"},
        {CPoint(41, 201), Dlg::IDC_FRONT_LEFT, "41,201"},
    };
    for (const sClick& click : clicks) {
        ClickAt(click.at);
        EXPECT_EQ(Field(dialog, click.field), click.shown);
    }
    EXPECT_EQ(dialog.GetCorner(0), CPoint(41, 201));
    EXPECT_EQ(dialog.GetCorner(1), CPoint(280, 200));
    EXPECT_EQ(dialog.GetNextCorner(), 1);

    // A click beyond the page is taken at its edge.
    const CPoint beyond = m_view->ImageToClient(CPoint(kPlateWidth + 40, kPlateHeight + 30));
    m_view->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(beyond.x, beyond.y));
    m_view->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(beyond.x, beyond.y));
    EXPECT_EQ(dialog.GetCorner(1), CPoint(kPlateWidth - 1, kPlateHeight - 1));
}

TEST_F(PerspectiveDlgTest, OKHandsTheCornersOverAndSaysWhenTheyGiveNoField)
{
    struct sCase
    {
        const char* what;
        CPoint frontRight;
        const char* width;
        const char* height;
        bool valid;
    };
    const sCase cases[] = {
        {"a field", CPoint(280, 200), "200", "100", true},
        {"front corners off one row", CPoint(280, 201), "200", "100", false},
        {"width 0", CPoint(280, 200), "0", "100", false},
        {"negative height", CPoint(280, 200), "200", "-5", false},
    };
    for (const sCase& c : cases) {
        SCOPED_TRACE(c.what);
        m_boxes->Clear();
        Dlg& dialog = Open();
        for (const CPoint& p : {CPoint(40, 200), c.frontRight, CPoint(80, 120), CPoint(240, 120)})
            ClickAt(p);
        dialog.SetDlgItemText(Dlg::IDC_WIDTH, c.width);
        dialog.SetDlgItemText(Dlg::IDC_HEIGHT, c.height);
        Press(dialog, IDOK);
        EXPECT_EQ(m_view->m_pPerspectiveDlg, nullptr);
        EXPECT_EQ(Transform().HasMatrix(), c.valid);
        EXPECT_EQ(m_boxes->Texts().empty(), c.valid);
        if (!c.valid) {
            EXPECT_EQ(m_boxes->Texts(), std::vector<CString>{"Calibration not valid!"});
        }
        // Stored all the same.
        EXPECT_EQ(Transform().m_FR, c.frontRight);
        EXPECT_EQ(Transform().m_Width, std::stod(c.width));
    }
}

TEST_F(PerspectiveDlgTest, CancelLeavesTheTransformAlone)
{
    Transform().Set(CPoint(1, 2), CPoint(3, 2), CPoint(5, 6), CPoint(7, 8), 20.0, 10.0);
    Dlg& dialog = Open();
    ClickAt(CPoint(40, 200));
    dialog.SetDlgItemText(Dlg::IDC_WIDTH, "99");
    Press(dialog, IDCANCEL);
    EXPECT_EQ(m_view->m_pPerspectiveDlg, nullptr);
    EXPECT_EQ(Transform().m_FL, CPoint(1, 2));
    EXPECT_EQ(Transform().m_Width, 20.0);
    // With no dialog open a click is the view's own again, and a late
    // report changes nothing.
    m_view->SendMessage(Dlg::kCloseReport, 1, Dlg::kReportId);
    EXPECT_EQ(m_view->m_pPerspectiveDlg, nullptr);
}

TEST_F(PerspectiveDlgTest, AClosedViewTakesItsDialogAlong)
{
    Open();
    ClickAt(CPoint(40, 200));
    m_doc->OnCloseDocument();
    kestrun::PumpMessages();
    m_doc = nullptr;
    m_view = nullptr;
}

} // namespace
