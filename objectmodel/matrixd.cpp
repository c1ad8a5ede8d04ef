#include "objectmodel/matrixd.h"

#include "platform/core/exceptions.h"

CMatrixD::CMatrixD(int rows, int cols)
{
    SetSize(rows, cols);
}

void CMatrixD::SetSize(int rows, int cols)
{
    if (rows < 0 || cols < 0)
        AfxThrowInvalidArgException();
    m_values.assign(static_cast<size_t>(rows) * static_cast<size_t>(cols), 0.0);
    m_nRows = rows;
    m_nCols = cols;
}

size_t CMatrixD::Index(int row, int col) const
{
    if (row < 0 || row >= m_nRows || col < 0 || col >= m_nCols)
        AfxThrowInvalidArgException();
    return static_cast<size_t>(row) * static_cast<size_t>(m_nCols) + static_cast<size_t>(col);
}

CVectorD::CVectorD(int size)
{
    SetSize(size);
}

CVectorD::CVectorD(std::initializer_list<double> values) : m_values(values) {}

void CVectorD::SetSize(int size)
{
    if (size < 0)
        AfxThrowInvalidArgException();
    m_values.assign(static_cast<size_t>(size), 0.0);
}

size_t CVectorD::Index(int i) const
{
    if (i < 0 || i >= GetSize())
        AfxThrowInvalidArgException();
    return static_cast<size_t>(i);
}
