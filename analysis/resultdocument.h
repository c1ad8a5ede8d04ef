#pragma once
// IResultDocument: what the engine asks of the document that receives the
// records of a run - the object table of an image document, or a
// temporary list. The document owns every record added to it.
// CResultObjectList is the plain owning list (temporary tables and tests).

#include "objectmodel/baseobj.h"

#include <memory>
#include <utility>
#include <vector>

class IResultDocument
{
public:
    virtual ~IResultDocument() = default;

    // Appends the record; the document owns it from then on.
    virtual void AddObject(std::unique_ptr<CBaseObj> object) = 0;
    virtual int GetObjectCount() const = 0;
    // CInvalidArgException for an index outside 0 .. count - 1.
    virtual CBaseObj* GetObjectAt(int index) const = 0;

protected:
    IResultDocument() = default;
    IResultDocument(const IResultDocument&) = default;
    IResultDocument& operator=(const IResultDocument&) = default;
};

class CResultObjectList : public IResultDocument
{
public:
    CResultObjectList() = default;
    CResultObjectList(const CResultObjectList&) = delete;
    CResultObjectList& operator=(const CResultObjectList&) = delete;
    ~CResultObjectList() override = default;

    // A null record is not added.
    void AddObject(std::unique_ptr<CBaseObj> object) override;
    int GetObjectCount() const override { return static_cast<int>(m_Objects.size()); }
    CBaseObj* GetObjectAt(int index) const override;
    void RemoveAll() { m_Objects.clear(); }
    // Puts object (not null) at index and hands back the record that was
    // there; removes the record at index and hands it back. Invalid
    // argument outside 0 .. count - 1.
    std::unique_ptr<CBaseObj> ReplaceObjectAt(int index, std::unique_ptr<CBaseObj> object);
    std::unique_ptr<CBaseObj> RemoveObjectAt(int index);
    // Every record, in order; the list is empty afterwards.
    std::vector<std::unique_ptr<CBaseObj>> TakeAll() { return std::exchange(m_Objects, {}); }

private:
    std::vector<std::unique_ptr<CBaseObj>> m_Objects;
};
