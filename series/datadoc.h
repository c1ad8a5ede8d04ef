#pragma once
// CDataDoc: a document that owns a list of records (measured objects,
// series, tracks, database rows) with a current index and a selection flag
// per record. Image documents (CResultTable), the engine (IResultDocument)
// and the forms push their results into it; the tables show the unselected
// records. Every index operation raises CInvalidArgException for an index
// outside 0..count-1.

#include "analysis/resultdocument.h"
#include "imaging/resulttable.h"
#include "platform/ui/document.h"
#include "series/arrayxml.h"

class CDataDoc : public CDocument, public CResultTable, public IResultDocument
{
    DECLARE_DYNCREATE(CDataDoc)

public:
    CDataDoc();
    ~CDataDoc() override;
    CDataDoc(const CDataDoc&) = delete;
    CDataDoc& operator=(const CDataDoc&) = delete;

    // ---- the records --------------------------------------------------------
    // Appends and takes ownership; a null record is an invalid argument.
    void AddObject(CBaseObj* pObj) override;
    // The engine's way in; goes through AddObject(CBaseObj*).
    void AddObject(std::unique_ptr<CBaseObj> object) final;
    // Removes record i and deletes it.
    virtual void DeleteObject(int nIndex);
    // Selection flag of record i to 0 (shown) or 1; both return i.
    virtual int DeselectObject(int nIndex);
    virtual int SelectObject(int nIndex);
    // Removes record i and hands it to the caller.
    virtual CBaseObj* RemoveObject(int nIndex);
    int GetCount() const override;
    CBaseObj* GetAt(int nIndex) const override;
    int GetObjectCount() const final { return GetCount(); }
    CBaseObj* GetObjectAt(int nIndex) const final { return GetAt(nIndex); }
    // Puts pObj (taken over, unselected) at i and hands the record that was
    // there to the caller.
    virtual CBaseObj* SetAt(int nIndex, CBaseObj* pObj);
    // Records whose selection flag is 0.
    virtual int CountUnselected() const;
    // The n-th unselected record, counting from 0.
    virtual CBaseObj* GetUnselectedAt(int n) const;

    BOOL IsSelected(int nIndex) const;
    // Array index of the n-th unselected record; 0 when there are fewer.
    int FindNthUnselected(int n) const;
    // Unselected records among the first n; 0 for n below 1, an invalid
    // argument for n above the count.
    int CountUnselectedBefore(int n) const;

    // ---- the current record ---------------------------------------------------
    void SetCurrentIndex(int nIndex) override { m_nCurrentIndex = nIndex; }
    // Lowered to count - 1 when it lies beyond the list.
    int GetCurrentIndex() const override;

    // Deletes every record.
    void DeleteContents() override;
    // XML only: element "CDataDoc" with the records in "m_arrayObjects".
    void Serialize(CArchive& ar) override;

    // The table shows the frames of one record (a track or a series)
    // instead of one row per record.
    int m_bSingleTrack = 0;

protected:
    CArrayXML m_arrayObjects;
    int m_nCurrentIndex = -1;
};
