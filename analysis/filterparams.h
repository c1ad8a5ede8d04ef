#pragma once
// The program-wide parameters of the page filters (cvfilters.h): every
// tunable value that is not an argument of a filter call. The filter
// settings dialog edits sFilterParams; the image document keeps its
// stored fields in the application profile.

struct sFilterParameters
{
    int Iterations = 1;  // of dilation, erosion and the morphology operation
    int KernelWidth = 3; // structuring element, adaptive-threshold block, smoothing and Laplace aperture
    int ApertureSize = 3; // Sobel and Canny aperture; not stored
    double ThresholdCanny1 = 50.0;
    double ThresholdCanny2 = 200.0;
    int MorphologyType = 2; // OpenCV's numbering: 2 opening, 3 closing, 4 gradient, 5 top hat, 6 black hat
};

void InitFilterDefaults(sFilterParameters& params);

// The one record of the program, filled with the defaults at start-up.
extern sFilterParameters sFilterParams;

// Section "ImageFilter" of the application profile, keys named as the
// fields; ApertureSize is not stored. A missing key keeps the field.
void ReadFilterParams(sFilterParameters& params);
void WriteFilterParams(const sFilterParameters& params);
