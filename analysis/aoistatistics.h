#pragma once
// Statistics of the pixels inside an area of interest: colour means and
// spreads, histograms, the means of the two fields of an interlaced frame,
// texture, the moments of the blue channel and the edge of a covered part.
// Pixels outside the image are left out of every statistic.

#include "analysis/colordouble.h"
#include "platform/core/geometry.h"
#include "platform/core/types.h"

class CAOI;
class CDataArray;
class CSegThres;
class Device;

// Mean and spread (standard deviation, 0.0 for a variance of 0.0) of red,
// green and blue of the pixels between the row borders.
void ComputeColorStatistics(const CAOI& aoi, const Device& image, Color_Double& mean, Color_Double& spread);

// Counts of the red, green and blue values into three histogram series
// (value type 1) after clearing them; "Wrong Data Type" and nothing counted
// when a series is of another type. A series shorter than 256 bins is an
// invalid argument.
void ComputeColorHistogram(const CAOI& aoi, const Device& image, CDataArray& red, CDataArray& green,
                           CDataArray& blue);
void ComputeGreenHistogram(const CAOI& aoi, const Device& image, CDataArray& series);

// Integer mean colours of the even and of the odd rows, run by run (black
// for rows without pixels). Nothing for an area of no size.
void GetFieldMeanColors(const CAOI& aoi, const Device& image, COLORREF& even, COLORREF& odd);

// Channel: 0 red, 1 green, 2 blue, 3 grey; any other reads 0.
BYTE ChannelValue(COLORREF color, int channel);

// Energy, contrast, entropy and homogeneity of a 32-level co-occurrence
// matrix of horizontal neighbours, every step-th row and pixel; null
// outputs are skipped. False when the area holds no pair. A step below 1
// is an invalid argument.
bool ComputeTexture(const CAOI& aoi, const Device& image, int channel, double* energy, double* contrast,
                    double* entropy, double* homogeneity, int step);

// Moments of the blue values between the row borders (CalcMoments); 0 for
// an area without pixels.
BOOL ComputeBlueMoments(const CAOI& aoi, const Device& image, double& mean, double& averageDeviation,
                        double& standardDeviation, double& variance, double& skewness, double& kurtosis);

// The first column (row, when horizontal) whose share of object pixels
// rises above high while the smallest share before it is at most low:
// point = (x, -1) (or (-1, y)), low = that minimum, high = the share.
// Without one, low = the smallest share and high = the last share (0 for
// an area of no size). Shares in percent.
void FindCoverageEdge(const CAOI& aoi, const Device& image, const CSegThres& threshold, CPoint& point, float& low,
                      float& high, bool horizontal);

// The first and the last x from first to last on row y that the threshold
// counts as object; both -1 when none does.
void FindObjectSpanInRow(const Device& image, int& first, int& last, int y, const CSegThres& threshold);
