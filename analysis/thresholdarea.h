#pragma once
// The share of threshold pixels in an area of interest, with the pixels
// sorted into the learned colour classes on the way. The statistics record
// of an area receives the totals; it implements IThresholdAreaRecord.

#include "platform/core/types.h"

#include <functional>

class CAOI;
class CClasses;
class CSegThres;
class Device;

class IThresholdAreaRecord
{
public:
    virtual ~IThresholdAreaRecord() = default;
    // Sets the running totals to 0 before a measurement.
    virtual void ResetTotals() = 0;
    // A passing pixel of colour class classNumber (0: the area's own class).
    virtual void AddPixel(int x, int y, COLORREF color, int classNumber) = 0;
    // total: pixels inside the image; meanColor: their mean; passing: the
    // pixels the threshold accepted; share: passing in whole percent.
    virtual void SetTotals(DWORD total, COLORREF meanColor, DWORD passing, int share) = 0;
    // Finishes the statistics of the colour classes.
    virtual void FinishStatistics() = 0;

protected:
    IThresholdAreaRecord() = default;
    IThresholdAreaRecord(const IThresholdAreaRecord&) = default;
    IThresholdAreaRecord& operator=(const IThresholdAreaRecord&) = default;
};

// Pixels above this count are sampled for the colour classes (every fourth
// x and y); the counts still take every pixel.
inline constexpr DWORD thresholdAreaSampleLimit = 3000000;

// Counts the pixels of the area inside the image and those the threshold
// accepts; with classes, each passing pixel goes to its nearest colour
// class. progress (when set) receives 0 and then the percentage of rows
// done. An area without pixels in the image has a share of 0.
void MeasureThresholdArea(const CAOI& aoi, const Device& image, const CSegThres& threshold,
                          IThresholdAreaRecord& record, const CClasses* classes,
                          const std::function<void(int)>& progress = {});

// The id of the class whose colour statistics lie nearest to the colour
// (feature type 224: the three channels together), 0 when none lies within
// three standard deviations.
int FindColorClass(const CClasses& classes, COLORREF color, int featureType);
