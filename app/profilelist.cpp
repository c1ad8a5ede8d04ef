#include "app/profilelist.h"

#include "objectmodel/toolfunctions.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
#include "platform/core/exceptions.h"
#include "platform/core/paths.h"

namespace {

constexpr UINT kNameBuckets = 10;

// Every name of a profiles file becomes, or names, a file in the data root.
void CheckNames(const CString& fileName, const CString& currentName, const CProfileSettings& current,
                const CProfileList::CNameMap& names, const CArrayObjectsXML<CProfileSettings>& profiles)
{
    kestrun::CheckPlainFileNames(fileName, currentName, names);
    if (const CString* unsafe = current.FindUnsafeName())
        kestrun::CheckPlainFileName(fileName, *unsafe);
    for (const CProfileSettings& profile : profiles) {
        if (const CString* unsafe = profile.FindUnsafeName())
            kestrun::CheckPlainFileName(fileName, *unsafe);
    }
}

} // namespace

CProfileList::CProfileList()
{
    m_mapNames.InitHashTable(kNameBuckets);
}

CProfileList::~CProfileList()
{
    Clear();
}

bool CProfileList::Find(const CString& strName)
{
    const CProfileSettings* stored = Lookup(strName);
    if (stored == nullptr)
        return false;
    CopyNames(*stored);
    m_strCurrentName = strName;
    return true;
}

const CProfileSettings* CProfileList::Lookup(const CString& strName) const
{
    int index = -1;
    if (!m_mapNames.Lookup(strName, index) || index < 0 || index >= GetCount())
        return nullptr;
    return &m_arrProfiles[index];
}

void CProfileList::Store(const CString& strName)
{
    int index = -1;
    const CProfileSettings& current = *this;
    if (m_mapNames.Lookup(strName, index) && index >= 0 && index < GetCount()) {
        m_arrProfiles[index] = current;
    } else {
        CProfileSettings copy(current);
        m_mapNames[strName] = static_cast<int>(m_arrProfiles.Add(copy));
    }
    m_strCurrentName = strName;
}

void CProfileList::Remove(const CString& strName)
{
    int removed = -1;
    if (!m_mapNames.Lookup(strName, removed))
        return;
    m_mapNames.RemoveKey(strName);
    if (removed >= 0 && removed < GetCount()) {
        m_arrProfiles.RemoveAt(removed);
        // Indices stay dense: every one above the removed entry moves down.
        for (POSITION pos = m_mapNames.GetStartPosition(); pos != nullptr;) {
            CString name;
            int index = 0;
            m_mapNames.GetNextAssoc(pos, name, index);
            if (index > removed)
                m_mapNames[name] = index - 1;
        }
    }
    if (m_strCurrentName == strName)
        m_strCurrentName.Empty();
}

void CProfileList::Clear()
{
    m_arrProfiles.RemoveAll();
    m_mapNames.RemoveAll();
}

CStringArray CProfileList::GetNamesByIndex() const
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

void CProfileList::SetLocation(const CString& dataRoot)
{
    m_strFileName = AddTrailingBackslash(dataRoot) + "kestrun.xml";
    m_strRootName = "KESTRUN_Profiles";
}

bool CProfileList::SerializeFile(bool bLoad)
{
    if (m_strFileName.IsEmpty() || m_strRootName.IsEmpty())
        return false;
    if (bLoad)
        Read();
    else
        Write();
    return true;
}

// Everything is read into copies first, so that a damaged file leaves the
// list as it was.
void CProfileList::Read()
{
    CString currentName = m_strCurrentName;
    CProfileSettings current(*this);
    CNameMap names(m_mapNames);
    CArrayObjectsXML<CProfileSettings> profiles;

    CXMLArchive xml(m_strFileName, CArchive::load);
    if (xml.GetChildNode(m_strRootName) == nullptr)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFileName);
    xml.GetCurrentNode()->SerializeString("CurrentProfileName", currentName);
    current.Serialize(xml);
    xml.GetCurrentNode()->SerializeMap("ProfileNames", names);
    xml.GetCurrentNode()->SerializeObject("SettingsArray", profiles);
    xml.GetCurrentNode()->EndNode();
    xml.Close();
    CheckNames(m_strFileName, currentName, current, names, profiles);

    m_strCurrentName = currentName;
    CopyNames(current);
    m_mapNames = names;
    m_arrProfiles.RemoveAll();
    m_arrProfiles.Append(profiles);
}

void CProfileList::Write()
{
    CXMLArchive xml(m_strFileName, CArchive::store);
    xml.GetChildNode(m_strRootName);
    xml.GetCurrentNode()->SerializeString("CurrentProfileName", m_strCurrentName);
    CProfileSettings::Serialize(xml);
    xml.GetCurrentNode()->SerializeMap("ProfileNames", m_mapNames);
    xml.GetCurrentNode()->SerializeObject("SettingsArray", m_arrProfiles);
    xml.GetCurrentNode()->EndNode();
    xml.Close();
}
