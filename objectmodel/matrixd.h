#pragma once
// Dense matrices and vectors of doubles for the small linear systems of the
// LU decomposition. Indices are checked: one outside raises the
// invalid-argument exception.

#include <cstddef>
#include <initializer_list>
#include <vector>

class CMatrixD
{
public:
    CMatrixD() = default;
    CMatrixD(int rows, int cols);

    // New size, every value 0.
    void SetSize(int rows, int cols);
    int GetRows() const { return m_nRows; }
    int GetCols() const { return m_nCols; }
    bool IsSquare() const { return m_nRows == m_nCols; }

    double GetAt(int row, int col) const { return m_values[Index(row, col)]; }
    void SetAt(int row, int col, double value) { m_values[Index(row, col)] = value; }
    double& operator()(int row, int col) { return m_values[Index(row, col)]; }
    double operator()(int row, int col) const { return m_values[Index(row, col)]; }

private:
    size_t Index(int row, int col) const;

    int m_nRows = 0;
    int m_nCols = 0;
    std::vector<double> m_values; // by row
};

class CVectorD
{
public:
    CVectorD() = default;
    explicit CVectorD(int size);
    CVectorD(std::initializer_list<double> values);

    // New size, every value 0.
    void SetSize(int size);
    int GetSize() const { return static_cast<int>(m_values.size()); }

    double GetAt(int i) const { return m_values[Index(i)]; }
    void SetAt(int i, double value) { m_values[Index(i)] = value; }
    double& operator[](int i) { return m_values[Index(i)]; }
    double operator[](int i) const { return m_values[Index(i)]; }

private:
    size_t Index(int i) const;

    std::vector<double> m_values;
};
