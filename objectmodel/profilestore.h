#pragma once
// CProfileStore<T>: current settings of type T (the store's own T part)
// with named copies of them, kept in one XML file:
//   <root> CurrentProfileName, the current settings, ProfileNames (pairs of
//   key and value: name and index), SettingsArray (one T per index) </root>
// A file that cannot be read whole changes nothing; saving goes through
// the XML archive, which writes a temporary file and renames it over the
// old one. T is a serial CObject with Serialize and a copy assignment.

#include "objectmodel/arrayobjectsxml.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"
#include "platform/core/maps.h"

#include <exception>
#include <set>

template <class T>
class CProfileStore : public T
{
public:
    using CNameMap = CMap<CString, LPCTSTR, int, int>;

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
        const int index = IndexOf(strName);
        if (index < 0)
            return false;
        Current() = m_arrSettings[index];
        m_strCurrentName = strName;
        return true;
    }
    // The current settings under the name: a known name keeps its index.
    void StoreProfile(const CString& strName)
    {
        const int index = IndexOf(strName);
        if (index >= 0) {
            m_arrSettings[index] = Current();
        } else {
            T copy(Current());
            m_mapNames[strName] = static_cast<int>(m_arrSettings.Add(copy));
        }
        m_strCurrentName = strName;
    }
    // Later indices move down by one; the current name empties when it
    // was this one.
    void RemoveProfile(const CString& strName)
    {
        const int removed = IndexOf(strName);
        if (removed < 0)
            return;
        m_mapNames.RemoveKey(strName);
        m_arrSettings.RemoveAt(removed);
        for (POSITION pos = m_mapNames.GetStartPosition(); pos != nullptr;) {
            CString name;
            int index = 0;
            m_mapNames.GetNextAssoc(pos, name, index);
            if (index > removed)
                m_mapNames[name] = index - 1;
        }
        if (m_strCurrentName == strName)
            m_strCurrentName.Empty();
    }
    bool HasProfile(const CString& strName) const { return IndexOf(strName) >= 0; }

    // The names in the map's order.
    POSITION GetStartPosition() const { return m_mapNames.GetStartPosition(); }
    CString GetNextName(POSITION& pos) const
    {
        CString name;
        int index = 0;
        m_mapNames.GetNextAssoc(pos, name, index);
        return name;
    }
    int GetProfileCount() const { return static_cast<int>(m_arrSettings.GetSize()); }
    // The stored index of a name; -1 when not stored.
    int IndexOf(const CString& strName) const
    {
        int index = -1;
        if (!m_mapNames.Lookup(strName, index) || index < 0 || index >= GetProfileCount())
            return -1;
        return index;
    }
    const T& GetStored(int nIndex) const { return m_arrSettings[nIndex]; }

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
        CNameMap names;
        CArrayObjectsXML<T> profiles;

        CXMLArchive xml(m_strFilePath, CArchive::load);
        if (xml.GetChildNode(m_strRootName) == nullptr)
            AfxThrowArchiveException(CArchiveException::badSchema, m_strFilePath);
        xml.GetCurrentNode()->SerializeString("CurrentProfileName", currentName);
        SerializeCurrent(xml, current);
        xml.GetCurrentNode()->SerializeMap("ProfileNames", names);
        xml.GetCurrentNode()->SerializeObject("SettingsArray", profiles);
        xml.GetCurrentNode()->EndNode();
        xml.Close();
        CheckIndices(names, static_cast<int>(profiles.GetSize()));

        m_strCurrentName = currentName;
        Current() = current;
        m_mapNames = names;
        m_arrSettings.RemoveAll();
        m_arrSettings.Append(profiles);
    }

    void Write()
    {
        CXMLArchive xml(m_strFilePath, CArchive::store);
        xml.GetChildNode(m_strRootName);
        xml.GetCurrentNode()->SerializeString("CurrentProfileName", m_strCurrentName);
        SerializeCurrent(xml, Current());
        xml.GetCurrentNode()->SerializeMap("ProfileNames", m_mapNames);
        xml.GetCurrentNode()->SerializeObject("SettingsArray", m_arrSettings);
        xml.GetCurrentNode()->EndNode();
        xml.Close();
    }

    // Every name must lead to its own record: anything else is a damaged
    // file.
    void CheckIndices(const CNameMap& names, int count) const
    {
        std::set<int> used;
        for (POSITION pos = names.GetStartPosition(); pos != nullptr;) {
            CString name;
            int index = 0;
            names.GetNextAssoc(pos, name, index);
            if (index < 0 || index >= count || !used.insert(index).second)
                AfxThrowArchiveException(CArchiveException::badIndex, m_strFilePath);
        }
        if (static_cast<int>(used.size()) != count)
            AfxThrowArchiveException(CArchiveException::badIndex, m_strFilePath);
    }

    CNameMap m_mapNames;
    CArrayObjectsXML<T> m_arrSettings;
};
