#pragma once
// CDataFilter: a data series read through a smoothing window. The samples
// stay raw; every read by index returns the filtered value, so charts,
// exports and analyses see the filtered curve without a second copy.
// Stored exactly as a plain series (class name "CDataFilter"); the filter
// lives in memory only.

#include "objectmodel/dataarray.h"

class CDataFilter : public CDataArray
{
    DECLARE_SERIAL(CDataFilter)

public:
    enum FilterKind : WORD
    {
        filterOff = 0,
        filterMean = 1,
        filterMedian = 2,
        filterRegression = 3,
        filterRegressionTrend = 4, // as 3; the filter queries answer TRUE for it
    };

    explicit CDataFilter(int valueType = typeShort);
    ~CDataFilter() override = default;
    CDataFilter(const CDataFilter&) = default;
    CDataFilter& operator=(const CDataFilter&) = default;

    // Window width in samples; a width of 1 or less reads the raw values.
    void SetFilter(WORD kind, SHORT width);
    WORD GetFilterKind() const { return m_nFilterKind; }
    SHORT GetFilterWidth() const { return m_nFilterWidth; }

    // The filtered value at i. The window never reaches past the last
    // value written; an unknown kind reads 0.0.
    double GetAt(int i) const override;
    BOOL IsFiltered() const override;
    BOOL IsFilterShown() const override;

    // Assign, plus the record kind and the filter.
    virtual void AssignFilter(const CDataFilter& other);
    virtual double GetFirstX() const { return m_dX0; }
    virtual double GetLastX() const { return (GetSize() - 1) * m_dDX + m_dX0; }

private:
    double RawAt(int k) const { return CDataArray::GetAt(k); }
    // Sample index of window position i + j: never before 0 nor past the
    // last value written.
    int WindowIndex(int i, int j) const;
    double WindowMean(int i, int half) const;
    double WindowMedian(int i, int half) const;
    double WindowRegression(int i, int half) const;

    WORD m_nFilterKind = filterOff;
    SHORT m_nFilterWidth = 1;
};
