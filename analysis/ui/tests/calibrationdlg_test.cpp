// The calibration dialog: the pixel scale from a reference line, the image
// and chamber size and volume while the user types, the parameter file,
// and the engine's calibration taken over only when it changed.

#include "dialogtesting.h"

#include "analysis/bv.h"
#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/calibrationdlg.h"

#include "platform/core/folders.h"
#include "platform/core/profile.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/commondialogs.h"
#include "platform/ui/testing/fake_app_services.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>

namespace {

using namespace kestrun::analysisui;
using kestrun::testing::OnNextDialog;
using kestrun::testing::Press;
using kestrun::testing::TextOf;
using kestrun::testing::Type;

struct sCalibrationCase
{
    const char* name;
    double factor; // opening
    int pixels;
    std::function<void(CCalibrationDlg&)> steps;
    double wantFactor;
    double wantX;
    double wantY;
    double wantZ;
    int wantUnit;
    const char* wantUnitsText; // the reference length in units as shown
};

class CalibrationDialogTest : public ::testing::Test
{
protected:
    // The dialog open on an image of 640 x 480 pixels, depth 10, unit µm.
    void Open(CCalibrationDlg& dialog, double factor, int pixels)
    {
        dialog.m_Calibration.m_dFactor = factor;
        dialog.m_Calibration.m_zSize = 10.0;
        dialog.m_nWidth = 640;
        dialog.m_nHeight = 480;
        dialog.m_nPixels = pixels;
        ASSERT_TRUE(dialog.Create(IDD_CALIBRATION));
    }

    kestrun::testing::ScopedMessageBoxes m_boxes;
};

TEST_F(CalibrationDialogTest, TheScaleFollowsWhatTheUserTypes)
{
    const sCalibrationCase cases[] = {
        {"opening", 0.5, 100, [](CCalibrationDlg&) {}, 0.5, 320, 240, 10, 0, "50.000"},
        {"typing L", 0.5, 100, [](CCalibrationDlg& d) { Type(d, IDC_REF_UNITS, "25"); }, 0.25, 160, 120, 10, 0,
         "25"},
        {"typing P", 0.5, 100, [](CCalibrationDlg& d) { Type(d, IDC_REF_PIXELS, "200"); }, 0.25, 160, 120, 10, 0,
         "50.000"},
        {"typing L 0", 0.5, 100, [](CCalibrationDlg& d) { Type(d, IDC_REF_UNITS, "0"); }, 0.5, 320, 240, 10, 0, "0"},
        {"clearing L", 0.5, 100, [](CCalibrationDlg& d) { Type(d, IDC_REF_UNITS, ""); }, 0.5, 320, 240, 10, 0, ""},
        {"negative P", 0.5, 100, [](CCalibrationDlg& d) { Type(d, IDC_REF_PIXELS, "-4"); }, 0.5, 320, 240, 10, 0,
         "50.000"},
        {"opening with P 0", 0.5, 0, [](CCalibrationDlg&) {}, 0.5, 640, 480, 10, 0, "0.000"},
        {"P 0, then L and P", 0.5, 0,
         [](CCalibrationDlg& d) {
             Type(d, IDC_REF_UNITS, "30");
             Type(d, IDC_REF_PIXELS, "100");
         },
         0.3, 192, 144, 10, 0, "30"},
        {"chamber depth", 0.5, 100, [](CCalibrationDlg& d) { Type(d, IDC_Z_SIZE, "20"); }, 0.5, 320, 240, 20, 0,
         "50.000"},
        {"unit mm", 0.5, 100, [](CCalibrationDlg& d) { Press(d, IDC_UNIT_MM); }, 0.5, 320, 240, 10, 1, "50.000"},
    };
    for (const sCalibrationCase& c : cases) {
        SCOPED_TRACE(c.name);
        CCalibrationDlg dialog;
        Open(dialog, c.factor, c.pixels);
        c.steps(dialog);
        EXPECT_DOUBLE_EQ(dialog.m_Calibration.m_dFactor, c.wantFactor);
        EXPECT_FALSE(std::isnan(dialog.m_Calibration.m_dFactor));
        EXPECT_EQ(TextOf(dialog, IDC_REF_UNITS), c.wantUnitsText);
        dialog.UpdateData(TRUE);
        EXPECT_DOUBLE_EQ(dialog.m_Calibration.m_zSize, c.wantZ);
        EXPECT_EQ(dialog.m_Calibration.m_nUnit, c.wantUnit);
        if (c.pixels > 0 || c.wantFactor != c.factor) {
            EXPECT_DOUBLE_EQ(dialog.m_Calibration.m_xSize, c.wantX);
            EXPECT_DOUBLE_EQ(dialog.m_Calibration.m_ySize, c.wantY);
        }
        dialog.DestroyWindow();
    }
}

TEST_F(CalibrationDialogTest, TheTextsNameTheUnitAndTheConcentration)
{
    CCalibrationDlg dialog;
    Open(dialog, 0.5, 100); // 320 x 240 x 10 µm³
    EXPECT_EQ(TextOf(dialog, IDC_X_LABEL), "Width [µm]");
    EXPECT_EQ(TextOf(dialog, IDC_Z_LABEL), "Chamber Depth [µm]");
    EXPECT_EQ(TextOf(dialog, IDC_REF_VOLUME), "7.68e-07");
    EXPECT_EQ(TextOf(dialog, IDC_CONCENTRATION), "Conc. = Number / 0.768 Mio/ml");
    Press(dialog, IDC_UNIT_MM);
    EXPECT_EQ(TextOf(dialog, IDC_Y_LABEL), "Height [mm]");
    EXPECT_EQ(TextOf(dialog, IDC_REF_VOLUME), "768");
    dialog.DestroyWindow();
}

TEST_F(CalibrationDialogTest, ZeroPixelsAreRefusedOnOK)
{
    CCalibrationDlg dialog;
    dialog.m_nPixels = 0;
    OnNextDialog([](CDialog& d) {
        Press(d, IDOK);
        EXPECT_NE(d.GetSafeHwnd(), nullptr);
        d.SendMessage(WM_CLOSE);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(m_boxes->Texts().size(), 1u);
    EXPECT_DOUBLE_EQ(dialog.m_Calibration.m_dFactor, 1.0);
}

class CalibrationFileTest : public CalibrationDialogTest
{
protected:
    void SetUp() override
    {
        m_folder = std::filesystem::path(::testing::TempDir()) / "calibrationfile";
        std::filesystem::remove_all(m_folder);
        std::filesystem::create_directories(m_folder);
    }

    CString PathOf(const char* name) const { return (m_folder / name).string().c_str(); }

    std::filesystem::path m_folder;
    kestrun::testing::CFileAnswers m_files;
    CString& m_answer = m_files.m_answer;
};

TEST_F(CalibrationFileTest, SaveThenLoadRoundTripsTheSection)
{
    CCalibrationDlg dialog;
    Open(dialog, 0.5, 100);
    Press(dialog, IDC_UNIT_MM);
    Type(dialog, IDC_Z_SIZE, "0.1");
    m_answer = PathOf("cal.ini");
    Press(dialog, IDC_CAL_SAVE);
    EXPECT_EQ(GetPrivateProfileString("Calibration", "Unit", "", m_answer), "1");
    dialog.DestroyWindow();

    CCalibrationDlg other;
    Open(other, 2.0, 100);
    Press(other, IDC_CAL_LOAD);
    EXPECT_DOUBLE_EQ(other.m_Calibration.m_dFactor, 0.5);
    EXPECT_EQ(other.m_Calibration.m_nUnit, 1);
    EXPECT_EQ(TextOf(other, IDC_REF_UNITS), "50.000");
    EXPECT_EQ(other.IsDlgButtonChecked(IDC_UNIT_MM), BST_CHECKED);
    ASSERT_TRUE(other.UpdateData(TRUE));
    EXPECT_DOUBLE_EQ(other.m_Calibration.m_zSize, 0.1);
    EXPECT_TRUE(m_boxes->Texts().empty());
    other.DestroyWindow();
}

TEST_F(CalibrationFileTest, AFileWithoutTheSectionOrAFailedSaveChangesNothing)
{
    CCalibrationDlg dialog;
    Open(dialog, 0.5, 100);
    const CString other = PathOf("other.ini");
    WritePrivateProfileString("Formparameter", "Type", "12", other);
    m_answer = other;
    Press(dialog, IDC_CAL_LOAD);
    m_answer = PathOf("missing.ini");
    Press(dialog, IDC_CAL_LOAD);
    m_answer = "";
    Press(dialog, IDC_CAL_LOAD);
    EXPECT_DOUBLE_EQ(dialog.m_Calibration.m_dFactor, 0.5);
    EXPECT_EQ(m_boxes->Texts().size(), 2u);

    // A folder where the file should be: it cannot be written.
    std::filesystem::create_directories(m_folder / "taken.ini");
    m_answer = PathOf("taken.ini");
    Press(dialog, IDC_CAL_SAVE);
    EXPECT_TRUE(std::filesystem::is_directory(m_folder / "taken.ini"));
    EXPECT_EQ(m_boxes->Texts().size(), 3u);
    dialog.DestroyWindow();
}

TEST(EditCalibrationTest, TheEngineIsMarkedOnlyWhenTheCalibrationChanged)
{
    kestrun::testing::ScopedMessageBoxes boxes;
    kestrun::testing::CFakeAppServices services;
    CBV engine;
    engine.GetSettings().m_Calibration.m_dFactor = 0.5;
    engine.GetSettings().m_Calibration.m_xSize = 320;
    engine.GetSettings().m_Calibration.m_ySize = 240;
    // Unchanged: 640 x 480 at 0.5 gives the same sizes.
    OnNextDialog([](CDialog& d) { Press(d, IDOK); });
    EXPECT_TRUE(engine.EditCalibration(640, 480, 100));
    EXPECT_EQ(services.m_nSettingsChanged, 0);
    // Cancelled: nothing changes.
    OnNextDialog([](CDialog& d) {
        Type(d, IDC_REF_UNITS, "10");
        Press(d, IDCANCEL);
    });
    EXPECT_FALSE(engine.EditCalibration(640, 480, 100));
    EXPECT_DOUBLE_EQ(engine.GetSettings().m_Calibration.m_dFactor, 0.5);
    EXPECT_EQ(services.m_nSettingsChanged, 0);
    // A line of 100 pixels over 50 units.
    OnNextDialog([](CDialog& d) {
        Type(d, IDC_REF_UNITS, "25");
        Press(d, IDOK);
    });
    EXPECT_TRUE(engine.EditCalibration(640, 480, 100));
    EXPECT_DOUBLE_EQ(engine.GetSettings().m_Calibration.m_dFactor, 0.25);
    EXPECT_DOUBLE_EQ(engine.GetSettings().m_Calibration.m_xSize, 160);
    EXPECT_EQ(services.m_nSettingsChanged, 1);
}

} // namespace
