#pragma once
// CRScanPolygon: the scan-line form of a filled contour, for inside tests
// and row-by-row filling of polygon areas of interest. The points are the
// ends of the inside runs, sorted by row then x, in pairs (left end, right
// end; both inclusive), and a row table gives the index of the first point
// of each row from the box's top down.

#include "objectmodel/rpointarray.h"

class CRScanPolygon : public CRPointArray
{
    DECLARE_SERIAL(CRScanPolygon)

public:
    CRScanPolygon() = default;
    ~CRScanPolygon() override = default;

    // Also empties the row table.
    void RemoveAll() override;
    // The points as every point list stores them; the row table is rebuilt
    // after loading.
    void Serialize(CArchive& ar) override;

    // The runs of an 8-connected pixel contour (a counter-clockwise one is
    // read backwards). Returns whether the row table covers the contour's
    // rows from top to bottom.
    bool SetFromPolygon(const CRPointArray& polygon);
    // Rebuilds the row table from the sorted points; false below 3 points
    // or when the first and last rows are not the box's top and bottom.
    bool BuildRowTable();
    // Adds the run ends of the vertices of a contour traversed clockwise on
    // screen.
    void AddEdgePoints(const CRPointArray& polygon);
    // Adds the horizontal stretches of the top and bottom rows when the
    // scan form misses them.
    void AddTopBottomRuns(const CRPointArray& polygon);

    // Row queries: the row index is y - top (negative counts as 0); a row
    // outside the table is an invalid argument.
    int GetRowFirstIndex(int y) const;
    int GetRowLastIndex(int y) const;
    int GetRowFirstX(int y) const;
    int GetRowLastX(int y) const;
    // Ends of the k-th run of row y; false past the row's runs.
    bool GetRunStart(int k, int y, int& x) const;
    bool GetRunEnd(int k, int y, int& x) const;
    int GetRowCount() const { return static_cast<int>(m_RowTable.GetSize()); }

    bool IsInside(int x, int y) const;

protected:
    // 32-bit entries: a contour may have more than 65,535 run ends.
    CDWordArray m_RowTable;

private:
    int RowIndex(int y) const;
    // The point at the row's first index + offset, when it lies on row y.
    bool RowPoint(int y, int offset, int& x) const;
};
