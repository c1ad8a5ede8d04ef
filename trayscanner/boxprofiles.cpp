#include "trayscanner/boxprofiles.h"

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
    CNamedProfiles<CBoxSettings> stored(m_stored.GetNames().GetHashTableSize());
    stored.ReadFile(m_strFilePath, m_strRootName, currentName, current);
    CheckIndices(m_strFilePath, stored.GetNames(), stored.GetCount());

    m_strCurrentName = currentName;
    Current() = current;
    m_stored.TakeOver(stored);
}

void CBoxProfiles::Write()
{
    m_stored.WriteFile(m_strFilePath, m_strRootName, m_strCurrentName, Current());
}

bool CBoxProfiles::HasProfile(const CString& strName) const
{
    return IndexOf(strName) >= 0;
}

bool CBoxProfiles::SelectProfile(const CString& strName)
{
    const CBoxSettings* stored = m_stored.Lookup(strName);
    if (stored == nullptr)
        return false;
    Current() = *stored;
    m_strCurrentName = strName;
    return true;
}

void CBoxProfiles::StoreProfile(const CString& strName)
{
    m_stored.Store(strName, Current());
    m_strCurrentName = strName;
}

void CBoxProfiles::RemoveProfile(const CString& strName)
{
    if (m_stored.Remove(strName) && m_strCurrentName == strName)
        m_strCurrentName.Empty();
}

CString CBoxProfiles::GetNextName(POSITION& pos) const
{
    CString name;
    int index = 0;
    m_stored.GetNames().GetNextAssoc(pos, name, index);
    return name;
}
