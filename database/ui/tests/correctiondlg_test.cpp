#include "database/ui/correctiondlg.h"
#include "database/ui/dbdlgresources.h"
#include "dialogtesting.h"
#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

namespace {

using namespace kestrun::testing;
using kestrun::dbui::IDC_BARCODE;
using kestrun::dbui::IDC_FACTOR60;

TEST(CorrectionDlg, FactorsAcceptACommaAndStayInRange)
{
    struct Case
    {
        const char* input;
        bool accepted;
        float value;
    };
    const Case cases[] = {
        {"1,25", true, 1.25F}, {"1.5", true, 1.5F},  {"0.1", true, 0.1F},   {"2.0", true, 2.0F},
        {"1,2,5", false, 0},   {"0.05", false, 0},   {"2.5", false, 0},     {"abc", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        ScopedMessageBoxes boxes;
        CCorrectionDlg dlg;
        for (float& factor : dlg.m_fFactor) {
            factor = 1.0F;
        }
        bool stayedOpen = false;
        OnNextDialog([&](CDialog& d) {
            // The 90 ml field.
            Type(d, IDC_FACTOR60 + 3, c.input);
            Press(d, IDOK);
            stayedOpen = d.GetSafeHwnd() != nullptr && d.IsWindowVisible();
            if (stayedOpen) {
                Press(d, IDCANCEL);
            }
        });
        const INT_PTR result = dlg.DoModal();
        EXPECT_EQ(result == IDOK, c.accepted);
        EXPECT_EQ(stayedOpen, !c.accepted);
        EXPECT_EQ(boxes->Texts().size(), c.accepted ? 0U : 1U);
        if (c.accepted) {
            EXPECT_FLOAT_EQ(dlg.m_fFactor[3], c.value);
            EXPECT_FLOAT_EQ(dlg.m_fFactor[6], 1.0F);
        }
    }
}

TEST(CorrectionDlg, CancelKeepsTheCallersFactors)
{
    CCorrectionDlg dlg;
    dlg.m_fFactor[0] = 1.5F;
    OnNextDialog([](CDialog& d) {
        EXPECT_EQ(TextOf(d, IDC_FACTOR60), CString("1.5"));
        Type(d, IDC_FACTOR60, "0.5");
        Press(d, IDCANCEL);
    });
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FLOAT_EQ(dlg.m_fFactor[0], 1.5F);
}

TEST(DBSearchOptDlg, ReturnsTheBarcode)
{
    CDBSearchOptDlg dlg;
    OnNextDialog([](CDialog& d) {
        Type(d, IDC_BARCODE, "4006381333931");
        Press(d, IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.m_strBarCode, CString("4006381333931"));
}

} // namespace
