#pragma once
// The page filters over OpenCV: one OpenCV operation (or a short chain) on
// an image page, the result written back into the page or handed to the
// caller. Pages are 8-bit (their palette indices are filtered as grey
// values) or 24-bit; OpenCV sees them top down through the page's own
// matrix, so every position handed back is a page position, y downwards.
//
// Each filter is a boundary: a missing page, a setting OpenCV would
// misread (an even kernel width, an unknown operation) or an OpenCV error
// is reported in a message box, the filter answers FALSE and the page
// stays as it was. Tunable values come from the parameter record, by
// default the program's sFilterParams.

#include "analysis/filterparams.h"
#include "outside/pixmere/dib.h"
#include "platform/core/arrays.h"

#include <opencv2/core/mat.hpp>

#include <vector>

// Smoothing types of SmoothFilter, in OpenCV's old numbering.
inline constexpr int SMOOTH_GAUSSIAN = 2;
inline constexpr int SMOOTH_MEDIAN = 3;

// MorphologyFilter operations besides those of MorphologyType (2..6).
inline constexpr int MORPH_OP_DILATE = 0;
inline constexpr int MORPH_OP_ERODE = 1;

// What MatchTemplate answers when the search window cannot hold the
// template; a found match is never negative.
inline constexpr double MATCH_NONE = -1.0;

// Finds the template around pos, which moves to the best match: the search
// window reaches dx and dy beyond the template on each side and is clipped
// to the page. Pages of several channels are compared in their green
// plane. Returns the normed squared difference there (0 for a perfect
// match), or MATCH_NONE with pos unchanged when the window is smaller
// than the template (also near the border, or for a missing page).
double MatchTemplate(CDIB* page, CDIB* templ, POINT& pos, int dx, int dy);

// Mean-adaptive binary threshold (block KernelWidth, constant 5). On a
// colour page each channel is thresholded and their AND goes to all three.
BOOL AdaptiveThresholdFilter(CDIB* page, const sFilterParameters& params = sFilterParams);

// Canny edges of the grey image (ThresholdCanny1, ThresholdCanny2,
// ApertureSize) set to black; every other pixel stays.
BOOL CannyFilter(CDIB* page, const sFilterParameters& params = sFilterParams);

// operation MORPH_OP_DILATE, MORPH_OP_ERODE, or 2..6 as MorphologyType,
// with an elliptic KernelWidth x KernelWidth element, Iterations times.
BOOL MorphologyFilter(CDIB* page, int operation, const sFilterParameters& params = sFilterParams);

// type SMOOTH_GAUSSIAN or SMOOTH_MEDIAN, KernelWidth wide.
BOOL SmoothFilter(CDIB* page, int type, const sFilterParameters& params = sFilterParams);

// Absolute Laplacian per channel (aperture KernelWidth).
BOOL LaplaceFilter(CDIB* page, const sFilterParameters& params = sFilterParams);

// Absolute Sobel derivative of the orders per channel (ApertureSize).
BOOL SobelFilter(CDIB* page, int xOrder, int yOrder, const sFilterParameters& params = sFilterParams);

// Per channel the larger of the absolute first x and y derivatives.
BOOL SobelMaxFilter(CDIB* page, const sFilterParameters& params = sFilterParams);

// Per channel |A - B| > threshold gives 255, else 0, written into output,
// or into A when output is null. FALSE, writing nothing and showing
// nothing, when B or output differs from A in size or depth: it runs on
// live frames, where a box per frame would not help.
BOOL DifferenceThreshold(CDIB* pageA, CDIB* pageB, CDIB* output, int threshold);

// Euclidean distance of every object pixel (non-zero) of an 8-bit mask to
// the nearest zero pixel (5 x 5 mask). Returns the position of the first
// largest distance less 2 in x and y, the distance in maximum. A missing
// or colour page answers as an empty mask does: (-2, -2) and 0.
POINT DistanceTransform(CDIB* page, double& maximum);

// Line segments of the Canny edges (probabilistic Hough transform:
// 1 pixel, 1 degree, 80 votes, 30 pixels long, gaps up to 10), two points
// appended per segment. The page is unchanged.
BOOL HoughLinesFilter(CDIB* page, CArray<POINT, const POINT&>& lines, const sFilterParameters& params = sFilterParams);

// Removes the lens distortion measured by the camera calibration
// (CCameraCalibration::DefaultPath). Without a usable calibration the
// page stays as it is, FALSE, and the user is told once, not at every
// frame of a filter chain; after a calibration has loaded again, a new
// loss is told again.
BOOL UndistortFilter(CDIB* page);

// The polygon search: corners of the convex, nearly regular polygons of
// five or more corners whose area lies between 1/36 and 1/4 of the
// image, looked for in each channel thresholded at the low byte of
// threshold (inverted when invert is 1). The page gets them drawn in
// orange (a grey page keeps its depth and gets them in grey); their
// corners are appended to corners, polygon after polygon.
BOOL SquaresFilter(CDIB* page, CArray<POINT, const POINT&>& corners, COLORREF threshold, int invert);

// The search of SquaresFilter on a three-channel image; the even part of
// an odd width or height is searched.
std::vector<std::vector<cv::Point>> FindSquares(const cv::Mat& image, int threshold, int invert);

// Draws each polygon closed (antialiased, 1 pixel) and appends its corners.
void DrawSquares(cv::Mat& image, const std::vector<std::vector<cv::Point>>& polygons, CArray<POINT, const POINT&>& corners);
