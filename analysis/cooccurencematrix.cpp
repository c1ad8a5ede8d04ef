#include "analysis/cooccurencematrix.h"

#include "platform/core/exceptions.h"

#include <cmath>

CCooccurenceMatrix::CCooccurenceMatrix(int levels) : m_nLevels(levels)
{
    int shift = 8;
    for (int n = 1; n < levels && shift > 0; n *= 2)
        --shift;
    if (levels < 8 || levels > 256 || (256 >> shift) != levels)
        AfxThrowInvalidArgException();
    m_nShift = shift;
    m_Cells.SetSize(static_cast<INT_PTR>(levels) * levels);
}

void CCooccurenceMatrix::AddPair(BYTE a, BYTE b)
{
    const int i = a >> m_nShift;
    const int j = b >> m_nShift;
    Cell(i, j) += 1.0;
    Cell(j, i) += 1.0;
    m_nPairs += 2;
}

void CCooccurenceMatrix::Normalize()
{
    if (m_nPairs == 0)
        return;
    const double total = m_nPairs;
    for (double& cell : m_Cells)
        cell /= total;
    m_nPairs = 0;
}

double CCooccurenceMatrix::Energy()
{
    Normalize();
    double sum = 0.0;
    for (const double cell : m_Cells)
        sum += cell * cell;
    return sum;
}

double CCooccurenceMatrix::Contrast()
{
    Normalize();
    double sum = 0.0;
    for (int i = 0; i < m_nLevels; ++i)
        for (int j = 0; j < m_nLevels; ++j)
            sum += static_cast<double>((i - j) * (i - j)) * GetCell(i, j);
    return sum;
}

double CCooccurenceMatrix::Entropy()
{
    Normalize();
    double sum = 0.0;
    for (const double cell : m_Cells)
        if (cell > 0.0)
            sum += cell * std::log(cell);
    return sum;
}

double CCooccurenceMatrix::Homogeneity() const
{
    double sum = 0.0;
    for (int i = 0; i < m_nLevels; ++i)
        for (int j = 0; j < m_nLevels; ++j)
            sum += GetCell(i, j) / static_cast<double>((i - j) * (i - j) + 1);
    return sum;
}

double CCooccurenceMatrix::GetCell(int row, int column) const
{
    if (row < 0 || row >= m_nLevels || column < 0 || column >= m_nLevels)
        AfxThrowInvalidArgException();
    return m_Cells[static_cast<INT_PTR>(row) * m_nLevels + column];
}
