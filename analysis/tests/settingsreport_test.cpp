#include "analysis/bvsettings.h"
#include "analysis/settingsreport.h"

#include <gtest/gtest.h>

TEST(SettingsReportTest, KnownProfile)
{
    CBVSettings settings;
    CFormThres& form = settings.m_FormThres;
    form.m_Type |= featureGreen;
    form.m_ObjectFilter.m_Min.m_dwFeatureFlags = featureArea | featureRed;
    form.m_ObjectFilter.m_Max.m_dwFeatureFlags = featureArea | featureWidth;
    form.m_ObjectFilter.m_Min.m_MeanColor = RGB(1, 2, 3);
    form.m_Parameter = CFormThres::parameterConvex | CFormThres::parameterSplit;
    form.m_Model = CFormThres::modelSkeleton;
    CObjectFilter& filter = settings.m_ObjectFilter;
    filter.m_Smoothing = 1;
    filter.m_ConvexThres = 2.5f;
    filter.m_ConCutType = CObjectFilter::conCutWatershed;
    filter.m_ConCutThres = 3.75f;
    settings.m_Calibration.m_dFactor = 0.5;
    settings.m_Calibration.m_nUnit = 1;

    const char* expected = "Actual Threshold File:Cells\r\n"
                           "\r\nGray Thresholds:\r\n"
                           "Red:\t80-240\r\n"
                           "Green:\t80-240\r\n"
                           "Blue:\t80-240\r\n"
                           "\r\nForm Parameter (Object):\r\n"
                           "Mark\t\t Filter\t min (on/off)\t max (on/off)\r\n"
                           "Area\t\t on\t 1.000000 on\t 500000.000000 on\r\n"
                           "Formfactor\t on\t 1.000000 off\t 5.000000 off\r\n"
                           "Length\t\t off\t 0.100000 off\t 100.000000 off\r\n"
                           "Width\t\t off\t 0.100000 off\t 100.000000 on\r\n"
                           "Color (Mean)\ton\t R:1 G:2 B:3 on\t R:255 G:255 B:255 off\r\n"
                           "\r\nForm Parameter (Extended):\r\n"
                           "Konvex Analysis:on\r\n"
                           "Konkav Analysis:off\r\n"
                           "Split Analysis:on\r\n"
                           "Skelett Model aktiv\r\n"
                           "\r\nSmooth:On\r\n"
                           "\r\nObjekt Filter for Formanalysis:\r\n"
                           "Fit Width:5\r\n"
                           "Sensitivity for convex:2.50\r\n"
                           "Sensitivity for concav:0.00\r\n"
                           "Max Distance for Ellipse Fit:35\r\n"
                           "\r\nObjekt Filter for Conglomerat-Cut:\r\n"
                           "WatershedSensitivity for concav:3.75\r\n"
                           "\r\nSystem Calibration: 1Pixel = 0.500000 mm\r\n";
    EXPECT_EQ(FormatSettingsReport(settings, "Cells"), expected);
}

TEST(SettingsReportTest, CutOffNoModelAndOwnThresholds)
{
    CBVSettings settings;
    settings.m_SegThres.SetLower(RGB(1, 2, 3));
    settings.m_SegThres.SetUpper(RGB(250, 251, 252));
    settings.m_FormThres.m_Model = 5;
    settings.m_ObjectFilter.m_Smoothing = 2;
    settings.m_ObjectFilter.m_ConCutThres = 1.255f;
    const CString report = FormatSettingsReport(settings, "");
    EXPECT_EQ(report.Left(24), "Actual Threshold File:\r\n");
    EXPECT_NE(report.Find("Red:\t1-250\r\nGreen:\t2-251\r\nBlue:\t3-252\r\n"), -1);
    EXPECT_EQ(report.Find("Model aktiv"), -1);
    EXPECT_NE(report.Find("\r\nSmooth:Off\r\n"), -1);
    EXPECT_NE(report.Find("Conglomerat-Cut:\r\noffSensitivity for concav:1.25\r\n"), -1);
    EXPECT_NE(report.Find("1Pixel = 1.000000 µm\r\n"), -1);
}

TEST(SettingsReportTest, ModelLines)
{
    const char* const lines[] = {"Kontur Model aktiv\r\n", "EdgeObject Model aktiv\r\n", "Ellipsen Model aktiv\r\n",
                                 "Skelett Model aktiv\r\n", "Kontursegment Model aktiv\r\n"};
    for (UINT model = 0; model < 5; ++model) {
        CBVSettings settings;
        settings.m_FormThres.m_Model = model;
        EXPECT_NE(FormatSettingsReport(settings, "p").Find(CString("Split Analysis:off\r\n") + lines[model]), -1)
            << model;
    }
}
