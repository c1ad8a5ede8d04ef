#pragma once
// CCooccurenceMatrix: a symmetric grey-level co-occurrence matrix of pixel
// pairs and the four texture measures taken from it. Values are 8-bit and
// fall into levels by a right shift, so the level count is a power of two.

#include "platform/core/arrays.h"

class CCooccurenceMatrix : public CObject
{
public:
    // 8, 16, 32, 64, 128 or 256 levels; any other count is an invalid
    // argument.
    explicit CCooccurenceMatrix(int levels);

    // Counts the pair both ways round (a pair of equal levels twice on the
    // diagonal).
    void AddPair(BYTE a, BYTE b);
    // Turns the counts into shares; a second call changes nothing.
    void Normalize();

    // Energy, Contrast and Entropy normalise first. Entropy keeps the sign
    // of sum(p ln p), so it is at most 0.
    double Energy();
    double Contrast();
    double Entropy();
    // Reads the cells as they stand: raw counts unless something normalised
    // the matrix before.
    double Homogeneity() const;

    int GetLevels() const { return m_nLevels; }
    int GetShift() const { return m_nShift; }
    // Pairs added since the last normalisation (each pair counts 2).
    int GetPairCount() const { return m_nPairs; }
    double GetCell(int row, int column) const;

private:
    double& Cell(int row, int column) { return m_Cells[static_cast<INT_PTR>(row) * m_nLevels + column]; }

    int m_nLevels;
    int m_nShift = 0;
    CArray<double, double> m_Cells;
    int m_nPairs = 0;
};
