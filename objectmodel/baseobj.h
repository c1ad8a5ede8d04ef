#pragma once
// CBaseObj: root of every record that is measured, counted or listed in a
// table. Tables, grids, charts and exports read any record through the
// virtual row/column interface below without knowing its class.

#include "objectmodel/calibration.h"
#include "objectmodel/valueformat.h"
#include "platform/core/arrays.h"
#include "platform/core/variant.h"

class CBaseObj : public CObject
{
    DECLARE_SERIAL(CBaseObj)

public:
    CBaseObj() = default;
    CBaseObj(const CBaseObj& other) = default;
    CBaseObj& operator=(const CBaseObj& other) = default;
    ~CBaseObj() override = default;

    // Stores the base fields in a nested "CBaseObj" element.
    void Serialize(CArchive& ar) override;

    // A record is one table row; series answer their number of values.
    virtual int GetRowCount() const { return 1; }
    // Titles of the columns selected by m_Type; the meaning of selection
    // belongs to the derived record. The base leaves titles unchanged.
    virtual void GetColumnTitles(CStringArray& titles, int selection);
    virtual CString GetColumnValues(int column);
    virtual CString GetColumnValuesAt(int row, int column);
    virtual COleVariant GetColumnVariant(int column);
    virtual COleVariant GetColumnVariantAt(int row, int column);
    // Copies the identity fields; the link word stays.
    virtual CBaseObj& Copy(const CBaseObj& other);

    CString GetClassName() const { return m_strClassName; }

    static CCalibration SystemCalibration;

    WORD m_ID = 0; // kind number of the record
    WORD m_dClass = 0;
    DWORD m_Type = 0; // flag word (column and feature selection bits)
    CString m_strClassName;
    COLORREF m_ClassColor = 255;
    // Free for derived records (the engine keeps its rejected marker here);
    // neither copied nor stored by the base.
    DWORD_PTR m_Link = 0;
};
