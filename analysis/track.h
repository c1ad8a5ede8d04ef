#pragma once
// CTrack: one moving cell followed over the frames of an image sequence -
// an element per frame (position, area, perimeter, main-axis angle, green
// sums) with its frame number, the stops of the cell and the motility
// values of the track. The series that loads a track delivers the speeds,
// WHO class, BCF, ALH and stops; the track derives smoothed paths, path
// directions, linearity, wobble and the class letter, and answers the two
// tables: one row per track and, in single-track mode, one row per frame.

#include "analysis/stopreaction.h"
#include "objectmodel/data.h"

#include <cstdint>
#include <vector>

// One frame of a track, 32 bytes stored little-endian in this order.
struct C3DTrackElement2009
{
    DWORD m_dwTime = 0; // milliseconds; in element 0 of a stored track the element count
    WORD m_wX = 0;
    WORD m_wY = 0;
    WORD m_wZ = 0;
    WORD m_wPad1 = 0;
    DWORD m_dwArea = 0;
    WORD m_wPerimeter = 0;
    WORD m_wPad2 = 0;
    float m_fAngle = 0.0f; // main-axis angle, radians, stored with inverted sign
    DWORD m_dwGreenEven = 0;
    DWORD m_dwGreenOdd = 0;

    static constexpr int kSize = 32;
    bool operator==(const C3DTrackElement2009&) const = default;
};
static_assert(sizeof(C3DTrackElement2009) == C3DTrackElement2009::kSize);

class CTrack : public CData
{
    DECLARE_SERIAL(CTrack)

public:
    // Frame interval used when frame numbers are derived from times.
    static constexpr int kFrameInterval = 40;
    static constexpr int kMaxElements = 65535;
    static constexpr int kFrameColumnCount = 14;

    // Element layouts of SerializeFrames.
    enum
    {
        layout2DShort = -1,
        layout3DShort = -3,
        layoutAngle = -11,
        layoutAngleB = -13,
        layoutAngleC = -21,
        layoutAngleD = -23,
        layoutGreen = -31,
        layoutGreenB = -33,
        layoutGreenC = -40,
        layout2009 = -41,
    };

    CTrack();
    ~CTrack() override = default;
    CTrack(const CTrack&) = delete;
    CTrack& operator=(const CTrack&) = delete;

    // XML only: element "CTrack" with the summary values, the frames (each
    // an element "C3DTrackElement2009" with its frame number and fields in
    // field order) and the stops, then the base element. Missing items keep
    // their values. A byte archive is the archive error.
    void Serialize(CArchive& ar) override;

    // ---- the row interface of the tables ----
    // One row per frame in single-track mode.
    int GetRowCount() const override { return GetCount(); }
    // selection 1: the frame titles; else the track titles.
    void GetColumnTitles(CStringArray& titles, int selection) override;
    CString GetColumnValues(int column) override;
    CString GetColumnValuesAt(int row, int column) override;

    // ---- the track ----
    int GetCount() const { return m_nCount; }
    void GetColumnHeaders(CStringArray& titles, int frameFlag) const;
    CString GetColumnText(int column) const;
    // "overflow" for an index at or beyond the count; empty for a column
    // outside 0-13; invalid argument for a negative index.
    CString GetFrameColumnText(int index, int column) const;
    // Elements and frame numbers for n elements; count 0. More than
    // 65,535 or fewer than 0 is an invalid argument.
    void SetSize(int n);
    int GetFrameNumber() const { return m_nCount; }
    double GetScale() const { return 1.0; }
    double GetX(int i) const { return Element(i).m_wX; }
    double GetY(int i) const { return Element(i).m_wY; }
    double GetZ(int i) const { return Element(i).m_wZ; }
    // The raw value at both ends, else the mean over i-2 .. i+2 with the
    // indices clamped to the track.
    double GetSmoothedX(int i) const;
    double GetSmoothedY(int i) const;
    void ResetCount() { m_nCount = 0; }
    int GetFrameColumnCount() const { return kFrameColumnCount; }
    CString GetFrameColumnHeaders(int column) const;
    // -1.0 for a column outside 0-13.
    double GetFrameValue(int i, int column) const;
    // Stores the elements (32 bytes each, element 0's time the count) or
    // loads them in the layout given. Loading checks the count and every
    // element against the bytes left before anything is allocated; a
    // truncated or oversized archive or an unknown layout is the archive
    // error and leaves the track as it was.
    void SerializeFrames(CArchive& ar, int layout);

    // False when the track is full; with advance 1 the count moves on.
    bool AddPoint(const C3DTrackElement2009& element, WORD frameNumber, int advance);
    int GetFrameNumberAt(int i) const;
    // Element 0 keeps no time of its own: element 1's less one frame
    // interval (0 for a track of one element).
    std::int64_t GetTime(int i) const;
    DWORD GetArea(int i) const { return Element(i).m_dwArea; }
    WORD GetPerimeter(int i) const { return Element(i).m_wPerimeter; }
    double GetMainAxisAngle(int i) const { return -static_cast<double>(Element(i).m_fAngle); }
    DWORD GetGreenEven(int i) const { return Element(i).m_dwGreenEven; }
    DWORD GetGreenOdd(int i) const { return Element(i).m_dwGreenOdd; }
    double GetLinearity() const { return m_dVCL == 0.0 ? 0.0 : m_dVSL / m_dVCL; }
    double GetWobble() const { return m_dVCL == 0.0 ? 0.0 : m_dVAP / m_dVCL; }
    CString GetWHOClassText() const;
    int CountStops(int stopClass) const;
    // Radians, from a straight-line fit over window elements (made odd)
    // centred on i and kept inside the track; 0.0 when the track is
    // shorter than the window.
    double GetPathDirection(int i, int window) const;
    // Pixels between elements i and j; 0.0 when either lies outside the
    // track.
    double FrameDistance(int i, int j) const;

    const std::vector<CStopReaction>& GetStops() const { return m_arrStops; }
    void AddStop(const CStopReaction& stop) { m_arrStops.push_back(stop); }

    int m_nWHOClass = 0;
    // 0 none, 1 hyperactive, 2 transitional.
    int m_nHyperactivated = 0;
    double m_dRadius = 0.0;
    double m_dDistance = 0.0;
    double m_dVCL = 0.0;
    double m_dVSL = 0.0;
    double m_dVAP = 0.0;
    double m_dBCF = 0.0;
    double m_dALH = 0.0;

private:
    // Invalid argument outside 0 .. count - 1.
    const C3DTrackElement2009& Element(int i) const;
    double Smoothed(int i, double (CTrack::*value)(int) const) const;
    void LoadFrames(CArchive& ar, int layout);
    void SerializeFramesXML(CArchive& ar);
    void SerializeStopsXML(CArchive& ar);

    std::vector<C3DTrackElement2009> m_arrElements;
    std::vector<WORD> m_arrFrameNumbers;
    int m_nCapacity = 0;
    int m_nCount = 0;
    std::vector<CStopReaction> m_arrStops;
};
