#include "analysis/ui/calibrationdlg.h"

#include "analysis/ui/analysisdlgresources.h"
#include "analysis/ui/parameterfile.h"

#include "analysis/scopedvalue.h"
#include "platform/ui/ddx.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

using namespace kestrun::analysisui;

namespace {

constexpr const char* kSection = "Calibration";

// The number of a typed text; nothing for an empty text.
bool readNumber(const CString& text, double& value)
{
    const char* begin = text;
    char* end = nullptr;
    value = std::strtod(begin, &end);
    return end != begin;
}

} // namespace

BEGIN_MESSAGE_MAP(CCalibrationDlg, CDialog)
    ON_EN_CHANGE(IDC_REF_UNITS, OnChangeUnits)
    ON_EN_CHANGE(IDC_REF_PIXELS, OnChangePixels)
    ON_EN_CHANGE(IDC_Z_SIZE, OnChangeDepth)
    ON_COMMAND_RANGE(IDC_UNIT_UM, IDC_UNIT_CM, OnUnit)
    ON_BN_CLICKED(IDC_CAL_LOAD, OnLoad)
    ON_BN_CLICKED(IDC_CAL_SAVE, OnSave)
END_MESSAGE_MAP()

CCalibrationDlg::CCalibrationDlg(CWnd* pParentWnd) : CDialog((RegisterAnalysisDialogs(), IDD_CALIBRATION), pParentWnd)
{
    BuildMessageMap();
}

bool CCalibrationDlg::ApplyReference(double units)
{
    // A factor from a length or pixel count of 0 or less is no scale.
    if (!(units > 0.0) || m_nPixels <= 0)
        return false;
    m_dUnits = units;
    m_Calibration.m_dFactor = units / m_nPixels;
    m_Calibration.m_xSize = m_nWidth * m_Calibration.m_dFactor;
    m_Calibration.m_ySize = m_nHeight * m_Calibration.m_dFactor;
    return true;
}

BOOL CCalibrationDlg::OnInitDialog()
{
    m_dUnits = m_nPixels > 0 ? m_nPixels * m_Calibration.m_dFactor : 0.0;
    ApplyReference(m_dUnits);
    const kestrun::CScopedValue<bool> showing(m_bShowing, true);
    const BOOL result = CDialog::OnInitDialog();
    ShowReference();
    CheckRadioButton(IDC_UNIT_UM, IDC_UNIT_CM, IDC_UNIT_UM + std::clamp(m_Calibration.m_nUnit, 0, 2));
    RefreshTexts();
    return result;
}

void CCalibrationDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_REF_PIXELS, m_nPixels);
    DDV_MinMaxInt(pDX, m_nPixels, 1, INT_MAX);
    DDX_Text(pDX, IDC_X_SIZE, m_Calibration.m_xSize);
    DDX_Text(pDX, IDC_Y_SIZE, m_Calibration.m_ySize);
    DDX_Text(pDX, IDC_Z_SIZE, m_Calibration.m_zSize);
}

void CCalibrationDlg::OnChangeUnits()
{
    CString text;
    GetDlgItemText(IDC_REF_UNITS, text);
    double units = 0.0;
    if (m_bShowing || !readNumber(text, units))
        return;
    m_dUnits = units;
    if (!ApplyReference(units))
        return;
    ShowSizes();
    RefreshTexts();
}

void CCalibrationDlg::OnChangePixels()
{
    CString text;
    GetDlgItemText(IDC_REF_PIXELS, text);
    double pixels = 0.0;
    if (m_bShowing || !readNumber(text, pixels) || !(pixels >= 1.0) || pixels > INT_MAX)
        return;
    m_nPixels = static_cast<int>(pixels);
    // The length in units as the field shows it, also when it came while
    // there were no pixels to divide by.
    CString unitsText;
    GetDlgItemText(IDC_REF_UNITS, unitsText);
    double units = 0.0;
    if (readNumber(unitsText, units) && ApplyReference(units))
        ShowSizes();
    RefreshTexts();
}

void CCalibrationDlg::OnChangeDepth()
{
    CString text;
    GetDlgItemText(IDC_Z_SIZE, text);
    double depth = 0.0;
    if (m_bShowing || !readNumber(text, depth) || depth == 0.0)
        return;
    m_Calibration.m_zSize = depth;
    RefreshTexts();
}

void CCalibrationDlg::OnUnit(UINT nID)
{
    m_Calibration.m_nUnit = static_cast<int>(nID - IDC_UNIT_UM);
    RefreshTexts();
}

void CCalibrationDlg::OnLoad()
{
    const CString path = AskParameterFile(true, "Load Parameter", this);
    if (path.IsEmpty() || !HasParameterSection(path, kSection))
        return;
    CCalibration loaded = m_Calibration;
    loaded.ReadCalibrationIni(kSection, path);
    m_Calibration = loaded;
    m_dUnits = m_nPixels * m_Calibration.m_dFactor;
    const kestrun::CScopedValue<bool> showing(m_bShowing, true);
    ShowReference();
    ShowSizes();
    CheckRadioButton(IDC_UNIT_UM, IDC_UNIT_CM, IDC_UNIT_UM + std::clamp(m_Calibration.m_nUnit, 0, 2));
    RefreshTexts();
}

void CCalibrationDlg::OnSave()
{
    // The file gets what the fields show.
    if (!UpdateData(TRUE))
        return;
    const CString path = AskParameterFile(false, "Save Parameter", this);
    if (path.IsEmpty())
        return;
    WriteParameterFile(path, [this](const CString& file) { m_Calibration.WriteCalibrationIni(kSection, file); });
}

void CCalibrationDlg::ShowSizes()
{
    ShowText(IDC_X_SIZE, FormatString("%.15g", m_Calibration.m_xSize));
    ShowText(IDC_Y_SIZE, FormatString("%.15g", m_Calibration.m_ySize));
    ShowText(IDC_Z_SIZE, FormatString("%.15g", m_Calibration.m_zSize));
}

void CCalibrationDlg::ShowReference()
{
    ShowText(IDC_REF_UNITS, FormatString("%.3f", m_dUnits));
}

void CCalibrationDlg::RefreshTexts()
{
    const CString unit = m_Calibration.GetUnitText(1);
    const double volume = m_Calibration.GetVoxelVolumeCm3();
    SetDlgItemText(IDC_REF_VOLUME, FormatString("%g", volume));
    SetDlgItemText(IDC_UNIT_TEXT, unit);
    SetDlgItemText(IDC_X_LABEL, "Width " + unit);
    SetDlgItemText(IDC_Y_LABEL, "Height " + unit);
    SetDlgItemText(IDC_Z_LABEL, "Chamber Depth " + unit);
    SetDlgItemText(IDC_CONCENTRATION, FormatString("Conc. = Number / %g Mio/ml", volume * 1e6));
}

void CCalibrationDlg::ShowText(UINT id, const CString& text)
{
    const kestrun::CScopedValue<bool> showing(m_bShowing, true);
    SetDlgItemText(static_cast<int>(id), text);
}
