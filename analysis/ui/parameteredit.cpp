// The engine's and the object filter's parameter dialogs: the openers
// that fill a dialog from the values and take its values back on OK. They
// are declared with their classes in the headless engine and defined here,
// in the window layer.

#include "analysis/bv.h"
#include "analysis/objectfilter.h"
#include "analysis/ui/calibrationdlg.h"
#include "analysis/ui/filterseldlg.h"
#include "analysis/ui/sliderdlgs.h"
#include "analysis/ui/smoothdlg.h"

#include "platform/core/messages.h"
#include "platform/ui/appservices.h"
#include "platform/ui/winapp.h"

#include <algorithm>

BOOL CObjectFilter::EditSmoothing()
{
    CSmoothDLG dialog;
    dialog.m_bSmooth = m_Smoothing;
    std::copy(std::begin(m_SmoothGrade), std::end(m_SmoothGrade), dialog.m_nGrade);
    std::copy(std::begin(m_SmoothMaxTurns), std::end(m_SmoothMaxTurns), dialog.m_nMaxTurns);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    m_Smoothing = dialog.m_bSmooth;
    std::copy(std::begin(dialog.m_nGrade), std::end(dialog.m_nGrade), m_SmoothGrade);
    std::copy(std::begin(dialog.m_nMaxTurns), std::end(dialog.m_nMaxTurns), m_SmoothMaxTurns);
    if (CWnd* main = AfxGetMainWnd())
        main->SendMessageToDescendants(RegisterWindowMessage("PARAMETER_CHANGED"), 2, 0);
    return TRUE;
}

BOOL CObjectFilter::EditCurvature()
{
    CCurvDlg dialog;
    dialog.m_nFit = m_ContourFeatureFit;
    dialog.m_nMethod = m_ContourFeatureMethod;
    dialog.m_fThresLow = m_ContourFeatureThresLow;
    dialog.m_fThresHigh = m_ContourFeatureThresHigh;
    dialog.m_nSegmentFilterFit = m_ContourFeatureSegmentFilterFit;
    dialog.m_fSegmentFilterThres = m_ContourFeatureSegmentFilterThres;
    dialog.m_nLineFitWidth = m_ContourFeatureLineFitThres;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    m_ContourFeatureFit = dialog.m_nFit;
    m_ContourFeatureMethod = dialog.m_nMethod;
    m_ContourFeatureThresLow = dialog.m_fThresLow;
    m_ContourFeatureThresHigh = dialog.m_fThresHigh;
    m_ContourFeatureSegmentFilterFit = dialog.m_nSegmentFilterFit;
    m_ContourFeatureSegmentFilterThres = dialog.m_fSegmentFilterThres;
    m_ContourFeatureLineFitThres = dialog.m_nLineFitWidth;
    return TRUE;
}

BOOL CObjectFilter::EditConvexConcave()
{
    m_ConcavThres = std::clamp(m_ConcavThres, 0.0f, 10.0f);
    CConvexDlg dialog;
    dialog.m_nFit = m_CCFit;
    dialog.m_nConvex = static_cast<int>(m_ConvexThres);
    dialog.m_nConcave = static_cast<int>(m_ConcavThres);
    dialog.m_nDistance = m_Distance;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    m_CCFit = dialog.m_nFit;
    m_ConvexThres = static_cast<float>(dialog.m_nConvex);
    m_ConcavThres = static_cast<float>(dialog.m_nConcave);
    m_Distance = dialog.m_nDistance;
    return TRUE;
}

BOOL CObjectFilter::EditConglomerateCut()
{
    m_ConCutThres = std::clamp(m_ConCutThres, 0.0f, 10.0f);
    CConCutDlg dialog;
    dialog.m_nCutType = m_ConCutType;
    dialog.m_nSensitivity = static_cast<int>(m_ConCutThres);
    if (dialog.DoModal() != IDOK)
        return FALSE;
    m_ConCutType = dialog.m_nCutType;
    m_ConCutThres = static_cast<float>(dialog.m_nSensitivity);
    return TRUE;
}

BOOL CObjectFilter::EditFilters()
{
    CFilterSelDlg dialog(m_arrayFilter);
    return dialog.DoModal() == IDOK;
}

BOOL CBV::EditCalibration(int width, int height, int pixels)
{
    CCalibration& calibration = GetSettings().m_Calibration;
    CCalibrationDlg dialog;
    dialog.m_Calibration = calibration;
    dialog.m_nWidth = width;
    dialog.m_nHeight = height;
    dialog.m_nPixels = pixels;
    if (dialog.DoModal() != IDOK)
        return FALSE;
    if (dialog.m_Calibration != calibration) {
        calibration = dialog.m_Calibration;
        if (CAppServices* services = kestrun::AppServices())
            services->SetSettingsChanged();
    }
    return TRUE;
}
