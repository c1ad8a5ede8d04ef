#pragma once
// The shape of one object as the scan-ray measurement starts from it: its
// innermost point, its outline sampled in 64 directions around that point,
// the mean of the samples as the measuring centre and, with smoothing, the
// outline with only its coarsest Fourier terms.

#include "platform/core/arrays.h"

class CAOI;
class CDIB;
class CRPolygon;
class CScanRayResult1;

// 1 when result was filled; 0 when the object gives no mask or no sample,
// or without a result (the contour's centre is set all the same). The page
// and the area do not enter the result.
int CalcObjectShapeFeatures(CDIB* image, CAOI* aoi, CRPolygon& contour, const CArray<CRPolygon*, CRPolygon*>* holes,
                            CScanRayResult1* result, int smoothing);
