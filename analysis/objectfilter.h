#pragma once
// CObjectFilter: the analysis profile's parameters of the steps after
// thresholding (contour smoothing, conglomerate cutting, contour features,
// the convex/concave analysis, the ellipse-fit distance, the skeleton
// segment length) and the ordered image-filter steps that run on the image
// before it is analysed.
//
// The filter steps belong to the workstation, not to a profile: the
// profile copy (Copy) leaves them alone. The parameter dialogs that edit
// these values belong to the window layer: the Edit functions are defined
// in analysis_ui, and only code that links it calls them.

#include "platform/core/arrays.h"
#include "platform/core/object.h"

// Image-filter step ids, in m_arrayFilter.
enum EFilterStep
{
    filterSmooth = 0,
    filterSplitColorChannel = 1,
    filterPerspective = 2,
    filterBinarize = 3,
    filterRasterAutoThreshold = 4,
    filterEdge = 5,
    filterErode = 6,
    filterDilate = 7,
    filterVovod = 8,
    filterUndistort = 9,
};

// "Smooth" ... "Undistort"; "Unknown" for any other id.
CString GetFilterStepName(int id);
// The id of a step name (exact case); -1 for any other name.
int GetFilterStepId(const CString& name);

class CObjectFilter : public CObject
{
    DECLARE_SERIAL(CObjectFilter)

public:
    enum
    {
        smoothPasses = 5,
    };
    // ConCutType
    enum
    {
        conCutOff = 0,
        conCutConvexDefects = 1,
        conCutWatershed = 2,
    };

    CObjectFilter();
    // Copying the object copies everything, the filter steps too.
    CObjectFilter(const CObjectFilter& other) = default;
    CObjectFilter& operator=(const CObjectFilter& other) = default;
    ~CObjectFilter() override = default;

    // XML form: element "CObjectFilter".
    void Serialize(CArchive& ar) override;
    // The profile copy: every value but the filter steps.
    virtual void Copy(const CObjectFilter& other);

    // Parameter file. Sections "ObjectFilter0" and "ObjectFilter1" of a
    // file that still marks values of an older installation
    // ("ConglomeratCutFit" / "ConglomeratCutFitMorph" in "ObjFilter", other
    // than -1) take the values from the application profile once and set
    // the marker to -1; afterwards the section itself is read.
    void LoadIni(const CString& section, const CString& iniFile);
    // Takes over the values of the application profile; morph: only the
    // conglomerate-cutting values of the morphology variant.
    void ReadAppProfile(bool morph);

    // The parameter dialogs on these values; TRUE after OK, which takes the
    // values over. EditSmoothing then tells every window below the main
    // window ("PARAMETER_CHANGED", wParam 2). EditConvexConcave and
    // EditConglomerateCut first bring their sensitivity into 0-10.
    BOOL EditSmoothing();
    BOOL EditCurvature();
    BOOL EditConvexConcave();
    BOOL EditConglomerateCut();
    BOOL EditFilters();

    int GetFilterCount() const { return static_cast<int>(m_arrayFilter.GetSize()); }
    // The step at index; CInvalidArgException outside the steps (a
    // mistaken index must not run a filter nobody chose).
    int GetFilter(int index) const;

    int m_Smoothing = 0;
    int m_SmoothGrade[smoothPasses];
    int m_SmoothMaxTurns[smoothPasses];
    int m_ConCutType = conCutOff;
    float m_ConCutThres = 0.0f; // 0-10
    int m_ContourFeatureMethod = 0;
    int m_ContourFeatureFit = 5;
    float m_ContourFeatureThresLow = 60.0f;
    float m_ContourFeatureThresHigh = 140.0f;
    int m_ContourFeatureSegmentFilterFit = 20;
    float m_ContourFeatureSegmentFilterThres = 0.75f;
    int m_ContourFeatureLineFitThres = 300;
    int m_CCFit = 5;
    float m_ConvexThres = 0.0f; // 0-10
    float m_ConcavThres = 0.0f; // 0-10
    int m_Distance = 35;        // ellipse-fit distance in pixels
    float m_SkeletonSegmentMinLength = 5.0f;
    CArray<int, int> m_arrayFilter;
};
