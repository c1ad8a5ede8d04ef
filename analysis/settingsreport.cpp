#include "analysis/settingsreport.h"

#include "analysis/bvsettings.h"

namespace {

const char* OnOff(bool on)
{
    return on ? "on" : "off";
}

int Red(COLORREF color)
{
    return static_cast<int>(color & 0xFF);
}

int Green(COLORREF color)
{
    return static_cast<int>((color >> 8) & 0xFF);
}

int Blue(COLORREF color)
{
    return static_cast<int>((color >> 16) & 0xFF);
}

void AppendFeatureLine(CString& text, const char* format, const CFormThres& form, DWORD bit, float minimum,
                       float maximum)
{
    const CClassVector& limits = form.m_ObjectFilter;
    text.AppendFormat(format, OnOff((form.m_Type & bit) != 0), minimum,
                      OnOff((limits.m_Min.m_dwFeatureFlags & bit) != 0), maximum,
                      OnOff((limits.m_Max.m_dwFeatureFlags & bit) != 0));
}

const char* ModelLine(UINT model)
{
    switch (model) {
    case CFormThres::modelContour:
        return "Kontur Model aktiv\r\n";
    case CFormThres::modelEdgeObject:
        return "EdgeObject Model aktiv\r\n";
    case CFormThres::modelEllipse:
        return "Ellipsen Model aktiv\r\n";
    case CFormThres::modelSkeleton:
        return "Skelett Model aktiv\r\n";
    case CFormThres::modelContourSegment:
        return "Kontursegment Model aktiv\r\n";
    default:
        return "";
    }
}

const char* ConCutText(int type)
{
    switch (type) {
    case CObjectFilter::conCutConvexDefects:
        return "Konvex Analysis";
    case CObjectFilter::conCutWatershed:
        return "Watershed";
    default:
        return "off";
    }
}

} // namespace

CString FormatSettingsReport(const CBVSettings& settings, const CString& profileName)
{
    const CSegThres& thres = settings.m_SegThres;
    const CFormThres& form = settings.m_FormThres;
    const CClassVector& limits = form.m_ObjectFilter;
    const CObjectFilter& filter = settings.m_ObjectFilter;

    CString text;
    text.AppendFormat("%s%s\r\n", "Actual Threshold File:", profileName.GetString());

    text += "\r\nGray Thresholds:\r\n";
    const COLORREF lower = thres.GetLower();
    const COLORREF upper = thres.GetUpper();
    text.AppendFormat("Red:\t%d-%d\r\n", Red(lower), Red(upper));
    text.AppendFormat("Green:\t%d-%d\r\n", Green(lower), Green(upper));
    text.AppendFormat("Blue:\t%d-%d\r\n", Blue(lower), Blue(upper));

    text += "\r\nForm Parameter (Object):\r\n";
    text += "Mark\t\t Filter\t min (on/off)\t max (on/off)\r\n";
    AppendFeatureLine(text, "Area\t\t %s\t %f %s\t %f %s\r\n", form, featureArea, limits.m_Min.m_fArea,
                      limits.m_Max.m_fArea);
    AppendFeatureLine(text, "Formfactor\t %s\t %f %s\t %f %s\r\n", form, featureFormFactor,
                      limits.m_Min.m_fFormFactor, limits.m_Max.m_fFormFactor);
    AppendFeatureLine(text, "Length\t\t %s\t %f %s\t %f %s\r\n", form, featureLength, limits.m_Min.m_fLength,
                      limits.m_Max.m_fLength);
    AppendFeatureLine(text, "Width\t\t %s\t %f %s\t %f %s\r\n", form, featureWidth, limits.m_Min.m_fWidth,
                      limits.m_Max.m_fWidth);
    const COLORREF minColor = limits.m_Min.m_MeanColor;
    const COLORREF maxColor = limits.m_Max.m_MeanColor;
    text.AppendFormat("Color (Mean)\t%s\t R:%d G:%d B:%d %s\t R:%d G:%d B:%d %s\r\n",
                      OnOff((form.m_Type & featureColors) != 0), Red(minColor), Green(minColor), Blue(minColor),
                      OnOff((limits.m_Min.m_dwFeatureFlags & featureColors) != 0), Red(maxColor),
                      Green(maxColor), Blue(maxColor), OnOff((limits.m_Max.m_dwFeatureFlags & featureColors) != 0));

    text += "\r\nForm Parameter (Extended):\r\n";
    text.AppendFormat("Konvex Analysis:%s\r\n", OnOff((form.m_Parameter & CFormThres::parameterConvex) != 0));
    text.AppendFormat("Konkav Analysis:%s\r\n", OnOff((form.m_Parameter & CFormThres::parameterConcave) != 0));
    text.AppendFormat("Split Analysis:%s\r\n", OnOff((form.m_Parameter & CFormThres::parameterSplit) != 0));
    text += ModelLine(form.m_Model);

    text += filter.m_Smoothing == 1 ? "\r\nSmooth:On\r\n" : "\r\nSmooth:Off\r\n";

    text += "\r\nObjekt Filter for Formanalysis:\r\n";
    text.AppendFormat("Fit Width:%d\r\n", filter.m_CCFit);
    text.AppendFormat("Sensitivity for convex:%.2f\r\n", filter.m_ConvexThres);
    text.AppendFormat("Sensitivity for concav:%.2f\r\n", filter.m_ConcavThres);
    text.AppendFormat("Max Distance for Ellipse Fit:%d\r\n", filter.m_Distance);

    text += "\r\nObjekt Filter for Conglomerat-Cut:\r\n";
    text += ConCutText(filter.m_ConCutType);
    text.AppendFormat("Sensitivity for concav:%.2f\r\n", filter.m_ConCutThres);

    text.AppendFormat("\r\nSystem Calibration: 1Pixel = %lf %s\r\n", settings.m_Calibration.m_dFactor,
                      settings.m_Calibration.GetUnitText(0).GetString());
    return text;
}
