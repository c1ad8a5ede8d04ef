#pragma once
// CArrayXML: the owning record list of the table documents. Each entry is
// a record of the CBaseObj family with its selection flag (0 shown, 1
// selected: left out of the shown rows). In an XML archive the list is one
// element per record, named after the record's class; the flags are not
// stored.

#include "objectmodel/baseobj.h"

#include <memory>
#include <vector>

class CArrayXML : public CObject
{
public:
    CArrayXML() = default;
    ~CArrayXML() override;
    CArrayXML(const CArrayXML&) = delete;
    CArrayXML& operator=(const CArrayXML&) = delete;

    int GetSize() const { return static_cast<int>(m_entries.size()); }
    // Every index is checked: CInvalidArgException outside 0..size-1.
    CBaseObj* GetAt(int index) const;
    BYTE GetFlag(int index) const;
    void SetFlag(int index, BYTE flag);

    // Takes the record over, unselected; a null record is an invalid
    // argument.
    void Add(std::unique_ptr<CBaseObj> record);
    // Hands the record back without deleting it.
    std::unique_ptr<CBaseObj> RemoveAt(int index);
    // Puts a new record (unselected) in place of the old one, which is
    // handed back. A null record is an invalid argument.
    std::unique_ptr<CBaseObj> SetAt(int index, std::unique_ptr<CBaseObj> record);
    // Deletes every record.
    void RemoveAll();

    // Inside the archive's open element. Storing writes each record with
    // its own Serialize. Loading deletes every record first, then makes a
    // record for each child element by its name and lets it read itself;
    // comments and names that make no record of this family are skipped.
    void Serialize(CArchive& ar) override;

private:
    struct CEntry
    {
        std::unique_ptr<CBaseObj> record;
        BYTE flag = 0;
    };

    const CEntry& EntryAt(int index) const;
    CEntry& EntryAt(int index);

    std::vector<CEntry> m_entries;
};
