#include "analysis/bvprofilelist.h"

#include "objectmodel/toolfunctions.h"
#include "platform/core/folders.h"
#include "platform/core/messagebox.h"
#include "platform/core/paths.h"

#include <exception>

namespace {

constexpr const char* kRootName = "BV_Profiles";
constexpr const char* kFileName = "bv.xml";

} // namespace

void CBVProfileList::InitProfileFile(const CString& directory)
{
    m_strRootName = kRootName;
    m_strFilePath = AddTrailingBackslash(directory) + kFileName;
}

bool CBVProfileList::LoadProfileFile()
{
    const DWORD attributes = GetFileAttributes(m_strFilePath);
    if (m_strFilePath.IsEmpty() || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return false;
    return SerializeFile(true);
}

bool CBVProfileList::SerializeFile(bool load)
{
    if (m_strFilePath.IsEmpty() || m_strRootName.IsEmpty())
        return false;
    try {
        if (load) {
            m_bReadFailed = true;
            Read();
            m_bReadFailed = false;
        } else {
            Write();
        }
        return true;
    } catch (const std::exception& e) {
        CString text;
        text.Format(load ? "Failed to open document %s.\n%s" : "Failed to save document %s.\n%s",
                    m_strFilePath.GetString(), e.what());
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return false;
    }
}

// Everything is read into copies first, so that a damaged file leaves the
// list as it was.
void CBVProfileList::Read()
{
    CString currentName = m_strCurrentProfileName;
    CBVSettings current(*this);
    CNamedProfiles<CBVSettings> stored(m_stored.GetNames().GetHashTableSize());
    stored.ReadFile(m_strFilePath, m_strRootName, currentName, current);
    kestrun::CheckPlainFileNames(m_strFilePath, currentName, stored.GetNames());

    m_strCurrentProfileName = currentName;
    AssignAll(current);
    m_stored.TakeOver(stored);
}

void CBVProfileList::Write()
{
    m_stored.WriteFile(m_strFilePath, m_strRootName, m_strCurrentProfileName, *this);
}

bool CBVProfileList::Select(const CString& name)
{
    const CBVSettings* stored = m_stored.Lookup(name);
    if (stored == nullptr)
        return false;
    CBVSettings::operator=(*stored);
    m_strCurrentProfileName = name;
    return true;
}

void CBVProfileList::Store(const CString& name)
{
    m_stored.Store(name, *this);
    m_strCurrentProfileName = name;
}

const CBVSettings* CBVProfileList::GetProfile(const CString& name) const
{
    return m_stored.Lookup(name);
}
