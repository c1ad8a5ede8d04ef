#include "app/profilelist.h"

#include "objectmodel/toolfunctions.h"
#include "platform/core/paths.h"

namespace {

// Every name of a profiles file becomes, or names, a file in the data root.
void CheckNames(const CString& fileName, const CString& currentName, const CProfileSettings& current,
                const CNamedProfiles<CProfileSettings>& stored)
{
    kestrun::CheckPlainFileNames(fileName, currentName, stored.GetNames());
    if (const CString* unsafe = current.FindUnsafeName())
        kestrun::CheckPlainFileName(fileName, *unsafe);
    for (int i = 0; i < stored.GetCount(); ++i) {
        if (const CString* unsafe = stored.GetAt(i).FindUnsafeName())
            kestrun::CheckPlainFileName(fileName, *unsafe);
    }
}

} // namespace

CProfileList::CProfileList() = default;

CProfileList::~CProfileList() = default;

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
    return m_stored.Lookup(strName);
}

void CProfileList::Store(const CString& strName)
{
    m_stored.Store(strName, *this);
    m_strCurrentName = strName;
}

void CProfileList::Remove(const CString& strName)
{
    if (m_stored.Remove(strName) && m_strCurrentName == strName)
        m_strCurrentName.Empty();
}

void CProfileList::Clear()
{
    m_stored.Clear();
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
    CNamedProfiles<CProfileSettings> stored(m_stored.GetNames().GetHashTableSize());
    stored.ReadFile(m_strFileName, m_strRootName, currentName, current);
    CheckNames(m_strFileName, currentName, current, stored);

    m_strCurrentName = currentName;
    CopyNames(current);
    m_stored.TakeOver(stored);
}

void CProfileList::Write()
{
    m_stored.WriteFile(m_strFileName, m_strRootName, m_strCurrentName, *this);
}
