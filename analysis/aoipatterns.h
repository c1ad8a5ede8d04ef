#pragma once
// Border patterns of an area of interest: the image pixels at the left and
// right border of every row, learned once from a good image and compared
// with later images to tell whether the area still sits where it should.

#include "analysis/colordouble.h"

class CAOI;
class CDIB;
class Device;

// The pattern becomes a one-row page of 2 x height pixels in the image's
// depth: for row r, pixel 2r the left and 2r + 1 the right border pixel.
// False when the page cannot be made (no image, no rows).
bool LearnBorderPattern(const CAOI& aoi, const Device& image, CDIB* pattern);

// Mean and spread of the absolute red, green and blue differences between
// the border pixels and the pattern. False when a border pixel lies outside
// the image; the message "Template pattern size does not match to area
// border size!" and false when the pattern does not hold 2 x height pixels.
bool CompareBorderPattern(const CAOI& aoi, const CDIB* pattern, const Device& image, Color_Double& mean,
                          Color_Double& spread);

// Writes a border pattern back to the row borders, or a pattern of the
// area's width and height to every pixel between them. False without a
// pattern or for one of any other size.
bool PastePattern(const CAOI& aoi, const CDIB* pattern, Device& image);
