#include "trayscanner/boxprofiles.h"

#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"
#include "platform/core/messagebox.h"

#include <exception>
#include <set>

namespace {

// Every name must lead to its own record: anything else is a damaged file.
void CheckIndices(const CString& fileName, const CBoxProfiles::CNameMap& names, int count)
{
    std::set<int> used;
    for (POSITION pos = names.GetStartPosition(); pos != nullptr;) {
        CString name;
        int index = 0;
        names.GetNextAssoc(pos, name, index);
        if (index < 0 || index >= count || !used.insert(index).second)
            AfxThrowArchiveException(CArchiveException::badIndex, fileName);
    }
    if (static_cast<int>(used.size()) != count)
        AfxThrowArchiveException(CArchiveException::badIndex, fileName);
}

} // namespace

CBoxProfiles::CBoxProfiles() = default;

bool CBoxProfiles::SerializeFile(bool bLoad)
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
        CString text;
        text.Format(bLoad ? "Failed to open document %s.\n%s" : "Failed to save document %s.\n%s",
                    m_strFilePath.GetString(), e.what());
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return false;
    }
}

// Everything is read into copies first, so that a damaged file leaves the
// settings and profiles as they were.
void CBoxProfiles::Read()
{
    CString currentName;
    CBoxSettings current(*this);
    CNameMap names;
    CArrayObjectsXML<CBoxSettings> profiles;

    CXMLArchive xml(m_strFilePath, CArchive::load);
    if (xml.GetChildNode(m_strRootName) == nullptr)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFilePath);
    xml.GetCurrentNode()->SerializeString("CurrentProfileName", currentName);
    current.Serialize(xml);
    xml.GetCurrentNode()->SerializeMap("ProfileNames", names);
    xml.GetCurrentNode()->SerializeObject("SettingsArray", profiles);
    xml.GetCurrentNode()->EndNode();
    xml.Close();
    CheckIndices(m_strFilePath, names, static_cast<int>(profiles.GetSize()));

    m_strCurrentName = currentName;
    Current() = current;
    m_mapNames = names;
    m_arrSettings.RemoveAll();
    m_arrSettings.Append(profiles);
}

void CBoxProfiles::Write()
{
    CXMLArchive xml(m_strFilePath, CArchive::store);
    xml.GetChildNode(m_strRootName);
    xml.GetCurrentNode()->SerializeString("CurrentProfileName", m_strCurrentName);
    CBoxSettings::Serialize(xml);
    xml.GetCurrentNode()->SerializeMap("ProfileNames", m_mapNames);
    xml.GetCurrentNode()->SerializeObject("SettingsArray", m_arrSettings);
    xml.GetCurrentNode()->EndNode();
    xml.Close();
}

int CBoxProfiles::IndexOf(const CString& strName) const
{
    int index = -1;
    if (!m_mapNames.Lookup(strName, index) || index < 0 || index >= GetProfileCount())
        return -1;
    return index;
}

bool CBoxProfiles::HasProfile(const CString& strName) const
{
    return IndexOf(strName) >= 0;
}

bool CBoxProfiles::SelectProfile(const CString& strName)
{
    const int index = IndexOf(strName);
    if (index < 0)
        return false;
    Current() = m_arrSettings[index];
    m_strCurrentName = strName;
    return true;
}

void CBoxProfiles::StoreProfile(const CString& strName)
{
    const int index = IndexOf(strName);
    if (index >= 0) {
        m_arrSettings[index] = Current();
    } else {
        CBoxSettings copy(Current());
        m_mapNames[strName] = static_cast<int>(m_arrSettings.Add(copy));
    }
    m_strCurrentName = strName;
}

void CBoxProfiles::RemoveProfile(const CString& strName)
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

CString CBoxProfiles::GetNextName(POSITION& pos) const
{
    CString name;
    int index = 0;
    m_mapNames.GetNextAssoc(pos, name, index);
    return name;
}
