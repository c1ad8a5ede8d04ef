#pragma once
// The binarisation of the sub-areas (raster cells) of an area of interest:
// each cell's rectangle becomes black where the colour threshold accepts
// the pixel and white elsewhere.

class CAOI;
class CDIB;
class CSegThres;
class IAnalysisProgress;

// Cells partly outside the page work on the part inside; an area without
// cells changes nothing. The progress display, when given, counts the
// cells. A page of neither 8 nor 24 bits is an invalid argument.
void BinarizeSubAreas(CDIB& page, const CAOI& area, const CSegThres& threshold, IAnalysisProgress* progress);
