#pragma once
// CResultTable: what an image document asks of the object table bound to
// it. The table is a document of its own (the object tables implement this
// next to CDocument); the image document reaches it through its document
// pointer and never owns it.

#include "platform/core/types.h"

class CBaseObj;
class CBV;
class CMultiDocTemplate;

class CResultTable
{
public:
    virtual ~CResultTable() = default;

    // Appends a record and takes it over.
    virtual void AddObject(CBaseObj* pObj) = 0;
    virtual int GetCount() const = 0;
    // CInvalidArgException for an index outside 0..count-1.
    virtual CBaseObj* GetAt(int nIndex) const = 0;
    // The record the table and the views show as current.
    virtual void SetCurrentIndex(int nIndex) = 0;
    virtual int GetCurrentIndex() const = 0;
    // The image document that made the table hands over the chart and
    // table templates and the engine, none of them owned. Tables that
    // need none of them ignore them.
    virtual void AttachSources(CMultiDocTemplate* /*pChartTemplate*/, CMultiDocTemplate* /*pTableTemplate*/,
                               CBV* /*pEngine*/)
    {
    }

protected:
    CResultTable() = default;
    CResultTable(const CResultTable&) = default;
    CResultTable& operator=(const CResultTable&) = default;
};
