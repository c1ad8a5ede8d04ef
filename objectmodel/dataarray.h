#pragma once
// CDataArray: a one-dimensional measurement series - samples of one numeric
// type over an evenly spaced x axis (x = x0 + i * dx). Timed measurements,
// line profiles, contour curvatures and histograms are all held in it.
//
// Only the array of the current value type is used. The length (GetSize)
// may exceed the number of values written (the used count, write
// position + 1). A ring series is cyclic: indices outside it wrap around;
// an open series reflects them at its ends.
//
// Stored with the class library's binary archive as "CDataArray", schema 6;
// older layouts (schemas 2 to 5 and a layout without class record) load.

#include "objectmodel/data.h"
#include "platform/core/arrays.h"

#include <span>

namespace kestrun {

// The integer a series keeps for v: truncated toward zero, held at the
// 32-bit range; NaN gives 0.
LONG SeriesTruncate(double v);

} // namespace kestrun

class CDataArray : public CData
{
    DECLARE_SERIAL(CDataArray)

public:
    enum ValueType
    {
        typeShort = 0,  // signed 16-bit integers
        typeLong = 1,   // signed 32-bit integers
        typeFloat = 2,  // single precision
        typeDouble = 3, // double precision
    };

    explicit CDataArray(int valueType = typeShort);
    ~CDataArray() override = default;
    CDataArray(const CDataArray&) = default;
    CDataArray& operator=(const CDataArray&) = default;

    // Schema 6 when storing (cuts the series to its used count first);
    // every known older layout when loading.
    void Serialize(CArchive& ar) override;
    // A series contributes one row per value written.
    int GetRowCount() const override { return GetUsedCount(); }

    // --- virtual operations, in their documented order ---

    // Resizes the current array; growBy is kept for later growth. A size
    // the memory cannot hold leaves the series as it was.
    virtual void SetSize(int n, int growBy = -1);
    // Length of the current array (of the borrowed one when set).
    virtual int GetSize() const;
    virtual double GetDX() const { return m_dDX; }
    virtual double GetXAt(int i) const { return i * m_dDX + m_dX0; }
    // Value as double, the index clamped into the series; an empty series
    // raises CInvalidArgException; a value type outside 0-3 reads 0.0.
    virtual double GetAt(int i) const;
    // Reserved readings: 0.0 in every series class of this family.
    virtual double ReservedReading1(int) const { return 0.0; }
    virtual double ReservedReading2(int) const { return 0.0; }
    // Forgets what was written; the values stay.
    virtual void RewindWrite() { m_nWritePos = -1; }
    // The kinds of x coordinate a sample offers: 0 index, 1 x position,
    // 2 the value itself.
    virtual int GetXKindCount() const { return 3; }
    virtual CString GetXKindName(int kind) const;
    virtual double GetXByKind(int i, int kind) const;
    // Copies type, ring flag, axis, write position and the values.
    virtual void Assign(const CDataArray& other);
    // Same record kind, value type and dx.
    virtual BOOL IsCompatible(const CDataArray& other) const;
    // Whether reads go through a regression window (filtered series only;
    // both ask the same).
    virtual BOOL IsFiltered() const { return FALSE; }
    virtual BOOL IsFilterShown() const { return FALSE; }
    // Empty again, with the default dx.
    virtual void Reset();
    // Value at any index: wrapped on a ring series, reflected at the ends
    // of an open one. An empty ring series raises CInvalidArgException.
    virtual double GetAtExtended(int i) const;
    // The x of the sample nearest to x (at most the last sample).
    virtual double SnapX(double x) const;
    virtual double ReservedReading3(int, int) const { return 0.0; }
    virtual double ReservedReading4(int, int) const { return 0.0; }
    virtual double ReservedReading5(int) const { return 0.0; }
    virtual void GetXKinds(CStringArray& names, CWordArray& codes) const;
    // One line "x<separator>value" per value written.
    virtual void WriteText(const char* path, const char* separator) const;

    // --- writing ---

    // Appends at the next write position, growing the array; the value is
    // converted to the value type. FALSE for a value type that holds nothing.
    BOOL AddInt(int v);
    BOOL AddDouble(double v);
    // Writes into the existing array (no growth; wrapped on a ring series)
    // and moves the write position up to i. An index outside the array, or
    // any index of an empty ring, raises CInvalidArgException.
    void SetAtWrapped(int i, double v);
    // Every element of the current array becomes 0.
    void ClearAll();

    // --- whole-series operations ---

    // Sorts the values written, ascending. Integers compare as unsigned bit
    // patterns (stored results depend on that order: -1 sorts after 1).
    void SortAscending();
    // Moving average over n values in place (reflected or wrapped
    // neighbours at the ends). Mode 0 is the only mode; n < 1 does nothing.
    void Smooth(int n, int mode = 0);
    // Gives both ends (n / 2 values each) the value at n / 2.
    void FillEnds(int n);
    void Negate();
    // Smallest and largest value written and their first indices.
    void GetMinMax(double& min, double& max, double& iMin, double& iMax) const;
    // Index of the deepest local minimum (below two neighbours on each
    // side); 0 when there is none.
    int FindDeepestMinimum(double& depth) const;
    // How far the valley around i falls on each side.
    void FindValleyExtent(int i, int& left, int& right) const;

    // --- fields ---

    int GetValueType() const { return m_nValueType; }
    int GetUsedCount() const { return m_nWritePos + 1; }
    int GetWritePos() const { return m_nWritePos; }
    // The values written to a float series, in order, without a call per
    // value (long chart runs); empty for the other types.
    std::span<const float> GetFloatValues() const;
    BOOL IsRing() const { return m_bRing; }
    void SetRing(BOOL ring) { m_bRing = ring ? TRUE : FALSE; }
    double GetX0() const { return m_dX0; }
    void SetX0(double x0) { m_dX0 = x0; }
    void SetDX(double dx) { m_dDX = dx; }
    // The dx that Reset restores.
    void SetDefaultDX(double dx) { m_dDefaultDX = dx; }
    // Reads, the length and clearing of a 32-bit series go to this outside
    // array while it is set (writes still go to the own array). The caller
    // keeps it alive; null detaches it.
    void SetBorrowedLongs(CArray<LONG, LONG>* values) { m_pBorrowedLong = values; }

protected:
    // The array that reads of a 32-bit series see.
    const CArray<LONG, LONG>& ReadLongs() const { return m_pBorrowedLong ? *m_pBorrowedLong : m_aLong; }
    // Stores v, already checked to lie inside the own array.
    void StoreAt(int i, double v);

    int m_nValueType;
    int m_nGrowBy = -1;
    CArray<SHORT, SHORT> m_aShort;
    CArray<LONG, LONG> m_aLong;
    CArray<float, float> m_aFloat;
    CArray<double, double> m_aDouble;
    CArray<LONG, LONG>* m_pBorrowedLong = nullptr;
    BOOL m_bRing = FALSE;
    int m_nWritePos = -1;
    double m_dX0 = 0.0;
    double m_dDX = 1.0;
    double m_dDefaultDX = 1.0;
};
