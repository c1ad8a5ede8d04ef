#pragma once
// CPatternMatch: what the pattern-matching window does with the image
// document, apart from its window. A reference image is learned from the
// active area of interest; each match run compares every area (or every
// cell of the raster over the active area) of the active page with the
// same area of a reference image - the page with the learned pattern
// written into the active area - by the spread of the channel in which the
// page varies least, judges it against its limit, frames the areas above
// their limit in the document's line list and keeps running statistics
// of the values.

#include "objectmodel/normstat.h"
#include "outside/pixmere/dib.h"
#include "platform/core/arrays.h"
#include "platform/core/cstring.h"
#include "platform/core/geometry.h"

#include <vector>

class CAOI;
class CAOIDoc;
class CDIBDocEx;

class CPatternMatch
{
public:
    // What a run judges: the raster cells of the active area (rows from
    // the top, cells from the left), else the document's areas in order.
    struct sAreas
    {
        std::vector<CAOI*> areas;
        CAOI* active = nullptr;
        int rows = 0;    // 0 without a raster
        int columns = 0;
    };
    static sAreas CollectAreas(CAOIDoc* aoiDoc);

    // The limit of area index: without a raster the lower threshold; with
    // R rows and C columns the upper threshold lowered by (upper - lower)
    // / R for each row above the cell's row, i div C.
    static double Limit(int index, int rows, int columns, float lower, float upper);
    // "OK": the value lies below its limit (and, without a raster, is not
    // -1); a value equal to its limit is "Failed".
    static bool IsOK(double value, double limit, bool raster);
    // Framed: the value lies above its limit (and, without a raster, is
    // not -1).
    static bool IsFramed(double value, double limit, bool raster);
    // The same for area index of the last run.
    bool IsOK(int index) const;
    bool IsFramed(int index) const;
    double GetLimit(int index) const { return Limit(index, m_nRows, m_nColumns, m_fLower, m_fUpper); }

    // Adds a pattern to the active area when it has none and copies the
    // area's rectangle of the active page into pattern 0. False, and
    // nothing changed, without areas or an active area.
    bool Learn(CDIBDocEx& doc);
    // One run over the active page (see the class comment). The document's
    // filter chain runs on the page first.
    void Run(CDIBDocEx& doc);
    // The areas of the last run, their values and the run's layout.
    int GetAreaCount() const { return static_cast<int>(m_values.size()); }
    const std::vector<double>& GetValues() const { return m_values; }

    // Learn profile: without pattern search the profile start search of
    // the document gives the found start; with it, the line at the start
    // position (a column for the vertical search, a row otherwise) across
    // the whole image becomes the profile and is drawn. Either way every
    // area's position is saved for MoveBack.
    void LearnProfile(CDIBDocEx& doc);
    // Every area with a saved position goes back there, kept in the image,
    // and is active again.
    void MoveBack(CDIBDocEx& doc);
    const std::vector<CPoint>& GetSavedPositions() const { return m_savedPositions; }
    const CDIB& GetProfile() const { return m_profile; }
    CPoint GetFoundStart() const { return m_foundStart; }

    // Statistics over every value since the last reset.
    void ResetStatistics();
    int GetRunCount() const { return m_nRuns; }
    // "n:%d  mean:%lf  stddev:%lf  min:%lf  max:%lf  rng:%lf"; minimum,
    // maximum and range 0 while there are no values.
    CString GetStatusText() const;

    float m_fLower = 0.0f;
    float m_fUpper = 0.0f;
    // Profile settings: 0 vertical, 1 horizontal search.
    int m_nSearchDirection = 0;
    int m_nProfileStart = 40;
    int m_nProfilePosition = 10;
    int m_bPatternSearch = 0;

private:
    // The learned pattern into the reference, inside the active area.
    void WritePattern(const CAOI& active, const CDIB& pattern);

    std::vector<double> m_values;
    int m_nRows = 0;
    int m_nColumns = 0;
    int m_nRuns = 0;
    CNormStat m_statistics;
    // Kept between runs: a run of a frame the same size allocates nothing.
    CDIB m_reference;
    CDIB m_profile;
    CPoint m_foundStart;
    std::vector<CPoint> m_savedPositions;
};

// The four frame lines of a rectangle as point pairs: left-top to
// right-top, right-top to right-bottom, right-bottom to left-bottom,
// left-bottom to left-top.
void AddFrameLines(CArray<CPoint, CPoint>& lines, const CAOI& aoi);
