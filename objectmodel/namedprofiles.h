#pragma once
// CNamedProfiles: settings stored under names, as the profile files of the
// program, the engine and the scanning box keep them. Every name maps to an
// index of the stored settings; a name whose index lies outside them (a file
// edited by hand) counts as not stored.
//
// The file holds, under its root element:
//   CurrentProfileName   the current profile's name
//   <settings>           the current settings (their own element)
//   ProfileNames         "key"/"value" pairs: name -> index, in the name
//                        map's order
//   SettingsArray        one settings element per stored profile, by index

#include "objectmodel/arrayobjectsxml.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"
#include "platform/core/maps.h"

#include <set>

template <class TSettings>
class CNamedProfiles
{
public:
    using CNameMap = CMap<CString, LPCTSTR, int, int>;

    // The bucket count fixes the order in which names are listed and stored.
    explicit CNamedProfiles(UINT nameBuckets) { m_mapNames.InitHashTable(nameBuckets); }
    CNamedProfiles(const CNamedProfiles& other) : m_mapNames(other.m_mapNames) { m_arrSettings.Append(other.m_arrSettings); }
    CNamedProfiles& operator=(const CNamedProfiles& other)
    {
        if (this != &other) {
            m_mapNames = other.m_mapNames;
            m_arrSettings.RemoveAll();
            m_arrSettings.Append(other.m_arrSettings);
        }
        return *this;
    }

    int GetCount() const { return static_cast<int>(m_arrSettings.GetSize()); }
    const TSettings& GetAt(int nIndex) const { return m_arrSettings[nIndex]; }
    const CNameMap& GetNames() const { return m_mapNames; }

    // -1 when the name is not stored.
    int IndexOf(const CString& strName) const
    {
        int index = -1;
        if (!m_mapNames.Lookup(strName, index) || index < 0 || index >= GetCount())
            return -1;
        return index;
    }

    const TSettings* Lookup(const CString& strName) const
    {
        const int index = IndexOf(strName);
        return index < 0 ? nullptr : &m_arrSettings[index];
    }

    // Over the stored settings of that name, else appended.
    void Store(const CString& strName, const TSettings& settings)
    {
        const int index = IndexOf(strName);
        if (index >= 0) {
            m_arrSettings[index] = settings;
        } else {
            TSettings copy(settings);
            m_mapNames[strName] = static_cast<int>(m_arrSettings.Add(copy));
        }
    }

    // Indices stay dense: every one above the removed entry moves down.
    // False when the name was not there.
    bool Remove(const CString& strName)
    {
        int removed = -1;
        if (!m_mapNames.Lookup(strName, removed))
            return false;
        m_mapNames.RemoveKey(strName);
        if (removed < 0 || removed >= GetCount())
            return true;
        m_arrSettings.RemoveAt(removed);
        for (POSITION pos = m_mapNames.GetStartPosition(); pos != nullptr;) {
            CString name;
            int index = 0;
            m_mapNames.GetNextAssoc(pos, name, index);
            if (index > removed)
                m_mapNames[name] = index - 1;
        }
        return true;
    }

    void Clear()
    {
        m_arrSettings.RemoveAll();
        m_mapNames.RemoveAll();
    }

    // The stored names in index order.
    CStringArray GetNamesByIndex() const
    {
        CStringArray names;
        names.SetSize(GetCount());
        for (POSITION pos = m_mapNames.GetStartPosition(); pos != nullptr;) {
            CString name;
            int index = 0;
            m_mapNames.GetNextAssoc(pos, name, index);
            if (index >= 0 && index < GetCount())
                names[index] = name;
        }
        return names;
    }

    void TakeOver(CNamedProfiles& other)
    {
        *this = other;
        other.Clear();
    }

    // Reads the file into currentName, current and this list; elements the
    // file lacks leave them as they were. Raises the archive's or file's
    // exception; read into copies so that a damaged file changes nothing.
    void ReadFile(const CString& strPath, const CString& strRoot, CString& currentName, TSettings& current)
    {
        ReadFileWith(strPath, strRoot, currentName, [&current](CXMLArchive& xml) { current.Serialize(xml); });
    }
    // As ReadFile, with the current settings' own serialisation inside the
    // root element.
    template <class TSerializeCurrent>
    void ReadFileWith(const CString& strPath, const CString& strRoot, CString& currentName,
                      TSerializeCurrent&& serializeCurrent)
    {
        CXMLArchive xml(strPath, CArchive::load);
        if (xml.GetChildNode(strRoot) == nullptr)
            AfxThrowArchiveException(CArchiveException::badIndex, strPath);
        Serialize(xml, strPath, currentName, serializeCurrent);
    }

    // Writes the whole file; a failed write raises and leaves the old file.
    void WriteFile(const CString& strPath, const CString& strRoot, CString& currentName, TSettings& current)
    {
        WriteFileWith(strPath, strRoot, currentName, [&current](CXMLArchive& xml) { current.Serialize(xml); });
    }
    template <class TSerializeCurrent>
    void WriteFileWith(const CString& strPath, const CString& strRoot, CString& currentName,
                       TSerializeCurrent&& serializeCurrent)
    {
        CXMLArchive xml(strPath, CArchive::store);
        xml.GetChildNode(strRoot);
        Serialize(xml, strPath, currentName, serializeCurrent);
    }

    // Every name leads to its own record and every record has a name; else
    // the file is damaged.
    void CheckDenseIndices(const CString& strPath) const
    {
        std::set<int> used;
        for (POSITION pos = m_mapNames.GetStartPosition(); pos != nullptr;) {
            CString name;
            int index = 0;
            m_mapNames.GetNextAssoc(pos, name, index);
            if (index < 0 || index >= GetCount() || !used.insert(index).second)
                AfxThrowArchiveException(CArchiveException::badIndex, strPath);
        }
        if (static_cast<int>(used.size()) != GetCount())
            AfxThrowArchiveException(CArchiveException::badIndex, strPath);
    }

private:
    template <class TSerializeCurrent>
    void Serialize(CXMLArchive& xml, const CString& strPath, CString& currentName, TSerializeCurrent& serializeCurrent)
    {
        Node(xml, strPath).SerializeString("CurrentProfileName", currentName);
        serializeCurrent(xml);
        Node(xml, strPath).SerializeMap("ProfileNames", m_mapNames);
        Node(xml, strPath).SerializeObject("SettingsArray", m_arrSettings);
        Node(xml, strPath).EndNode();
        xml.Close();
    }

    static CXMLArchiveNode& Node(CXMLArchive& xml, const CString& strPath)
    {
        CXMLArchiveNode* node = xml.GetCurrentNode();
        if (node == nullptr)
            AfxThrowArchiveException(CArchiveException::badIndex, strPath);
        return *node;
    }

    CNameMap m_mapNames;
    CArrayObjectsXML<TSettings> m_arrSettings;
};
