#pragma once
// CProfileStore<T>: current settings of type T (the store's own T part)
// with named copies of them, kept in one XML file in the layout of
// CNamedProfiles. A file that cannot be read whole changes nothing; every
// name must lead to its own record. Saving goes through the XML archive,
// which writes a temporary file and renames it over the old one. T is a
// serial CObject with Serialize and a copy assignment.

#include "objectmodel/namedprofiles.h"

#include <exception>

template <class T>
class CProfileStore : public T
{
public:
    using CNameMap = typename CNamedProfiles<T>::CNameMap;

    // Reads (bLoad) or writes the whole file. False for an empty path or
    // root name, and after a failure, which goes to ReportFailure.
    bool SerializeFile(bool bLoad)
    {
        if (m_strFilePath.IsEmpty() || m_strRootName.IsEmpty())
            return false;
        try {
            if (bLoad)
                Read();
            else
                Write();
            return true;
        } catch (const std::exception& e) {
            ReportFailure(bLoad, e.what());
            return false;
        }
    }

    // False for a name that is not stored (nothing changes); else its
    // record becomes the current settings and the name the current one.
    bool SelectProfile(const CString& strName)
    {
        const T* stored = m_stored.Lookup(strName);
        if (stored == nullptr)
            return false;
        Current() = *stored;
        m_strCurrentName = strName;
        return true;
    }
    // The current settings under the name: a known name keeps its index.
    void StoreProfile(const CString& strName)
    {
        m_stored.Store(strName, Current());
        m_strCurrentName = strName;
    }
    // Later indices move down by one; the current name empties when it
    // was this one.
    void RemoveProfile(const CString& strName)
    {
        if (m_stored.Remove(strName) && m_strCurrentName == strName)
            m_strCurrentName.Empty();
    }
    bool HasProfile(const CString& strName) const { return IndexOf(strName) >= 0; }

    // The names in the map's order.
    POSITION GetStartPosition() const { return m_stored.GetNames().GetStartPosition(); }
    CString GetNextName(POSITION& pos) const
    {
        CString name;
        int index = 0;
        m_stored.GetNames().GetNextAssoc(pos, name, index);
        return name;
    }
    int GetProfileCount() const { return m_stored.GetCount(); }
    // The stored index of a name; -1 when not stored.
    int IndexOf(const CString& strName) const { return m_stored.IndexOf(strName); }
    const T& GetStored(int nIndex) const { return m_stored.GetAt(nIndex); }

    T& Current() { return *this; }
    const T& Current() const { return *this; }

    CString m_strRootName;
    CString m_strFilePath;
    CString m_strCurrentName;

protected:
    CProfileStore() = default;
    ~CProfileStore() override = default;

    // The current settings inside the open root element.
    virtual void SerializeCurrent(CXMLArchive& xml, T& settings) { settings.Serialize(xml); }
    // Once per failed SerializeFile, with the archive's error text.
    virtual void ReportFailure(bool bLoad, const CString& strError) = 0;

private:
    // Everything is read into copies first, so that a damaged file leaves
    // the settings and profiles as they were.
    void Read()
    {
        CString currentName;
        T current(Current());
        CNamedProfiles<T> stored(m_stored.GetNames().GetHashTableSize());
        stored.ReadFileWith(m_strFilePath, m_strRootName, currentName,
                            [this, &current](CXMLArchive& xml) { SerializeCurrent(xml, current); });
        stored.CheckDenseIndices(m_strFilePath);

        m_strCurrentName = currentName;
        Current() = current;
        m_stored.TakeOver(stored);
    }

    void Write()
    {
        m_stored.WriteFileWith(m_strFilePath, m_strRootName, m_strCurrentName,
                               [this](CXMLArchive& xml) { SerializeCurrent(xml, Current()); });
    }

    // The map's default bucket count keeps the names' stored order.
    CNamedProfiles<T> m_stored{17};
};
