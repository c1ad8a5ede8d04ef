#include "analysis/thresholdarea.h"

#include "analysis/aoiwalk.h"
#include "analysis/classes.h"
#include "analysis/segthres.h"
#include "objectmodel/normstat.h"

void MeasureThresholdArea(const CAOI& aoi, const Device& image, const CSegThres& threshold,
                          IThresholdAreaRecord& record, const CClasses* classes,
                          const std::function<void(int)>& progress)
{
    CNormStat red;
    CNormStat green;
    CNormStat blue;
    record.ResetTotals();
    if (progress)
        progress(0);

    const bool sample = image.GetSize() > thresholdAreaSampleLimit;
    DWORD total = 0;
    DWORD passing = 0;
    const int top = aoi.GetTop();
    const int height = aoi.GetHeight();
    for (int y = top; y < top + height; ++y) {
        if (progress)
            progress(height > 1 ? static_cast<int>(static_cast<double>(y - top) / (height - 1) * 100.0) : 100);
        kestrun::ForEachRunPixelInRow(aoi, y, [&](int x, int yy) {
            if (!kestrun::IsInImage(image, x, yy))
                return;
            const COLORREF c = image.GetPixel(x, yy);
            ++total;
            red.AddValue(GetRValue(c));
            green.AddValue(GetGValue(c));
            blue.AddValue(GetBValue(c));
            if (!threshold.IsObjectColor(c))
                return;
            ++passing;
            if (classes == nullptr || (sample && (x % 4 != 0 || yy % 4 != 0)))
                return;
            record.AddPixel(x, yy, c, FindColorClass(*classes, c, CClasses::colorFeatureType));
        });
    }
    red.Finish();
    green.Finish();
    blue.Finish();
    const COLORREF mean = RGB(static_cast<BYTE>(red.GetMean()), static_cast<BYTE>(green.GetMean()),
                              static_cast<BYTE>(blue.GetMean()));
    const int share = total == 0 ? 0 : static_cast<int>(static_cast<unsigned long long>(passing) * 100 / total);
    record.SetTotals(total, mean, passing, share);
    record.FinishStatistics();
}

int FindColorClass(const CClasses& classes, COLORREF color, int featureType)
{
    return classes.ClassifyValue(static_cast<double>(color), featureType);
}
