#pragma once
// CRunTableRow: one row of a measurement's result table - its column titles
// and the texts of its cells, as "&Show Table " makes them.

#include "objectmodel/baseobj.h"
#include "platform/core/arrays.h"

class CRunTableRow : public CBaseObj
{
    DECLARE_SERIAL(CRunTableRow)

public:
    static constexpr WORD kind = 10; // a flat row

    CRunTableRow();
    CRunTableRow(const CStringArray& titles, const CStringArray& values);

    // Element "CRunTableRow": the base record, "m_Titles", "m_Values".
    void Serialize(CArchive& ar) override;
    void GetColumnTitles(CStringArray& titles, int selection) override;
    // Empty outside the row.
    CString GetColumnValues(int column) override;

    CStringArray m_Titles;
    CStringArray m_Values;
};
