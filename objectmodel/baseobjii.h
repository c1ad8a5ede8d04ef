#pragma once
// CBaseObjII: a generic table row of ready-made texts under one title list
// shared by all such rows (rows from the database and from grids).

#include "objectmodel/baseobj.h"

class CBaseObjII : public CBaseObj
{
    DECLARE_SERIAL(CBaseObjII)

public:
    CBaseObjII();
    CBaseObjII(const CBaseObjII& other) = default;
    CBaseObjII& operator=(const CBaseObjII& other) = default;
    // Empties SharedTitles: whoever shows rows sets them again.
    ~CBaseObjII() override;

    // Stores nothing: these rows are rebuilt from their source.
    void Serialize(CArchive& ar) override;
    void GetColumnTitles(CStringArray& titles, int selection) override;
    // "####" beyond the values; a negative column is an invalid argument.
    CString GetColumnValues(int column) override;

    static CStringArray SharedTitles;

    CStringArray m_Values;
};
