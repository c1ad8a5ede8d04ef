#include "analysis/bvprofilelist.h"

#include "objectmodel/toolfunctions.h"
#include "objectmodel/xmlarchive.h"
#include "objectmodel/xmlarchivenode.h"
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
    CNameMap names(m_ProfileNames);
    CArrayObjectsXML<CBVSettings> profiles;
    profiles.Append(m_SettingsArray);

    CXMLArchive xml(m_strFilePath, CArchive::load);
    if (xml.GetChildNode(m_strRootName) == nullptr)
        AfxThrowArchiveException(CArchiveException::badIndex, m_strFilePath);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeString("CurrentProfileName", currentName);
    current.Serialize(xml);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeMap("ProfileNames", names);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeObject("SettingsArray", profiles);
    xml.GetCurrentNode()->EndNode();
    xml.Close();
    kestrun::CheckPlainFileNames(m_strFilePath, currentName, names);

    m_strCurrentProfileName = currentName;
    AssignAll(current);
    m_ProfileNames = names;
    m_SettingsArray.RemoveAll();
    m_SettingsArray.Append(profiles);
}

void CBVProfileList::Write()
{
    CXMLArchive xml(m_strFilePath, CArchive::store);
    xml.GetChildNode(m_strRootName);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeString("CurrentProfileName", m_strCurrentProfileName);
    CBVSettings::Serialize(xml);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeMap("ProfileNames", m_ProfileNames);
    if (CXMLArchiveNode* node = xml.GetCurrentNode())
        node->SerializeObject("SettingsArray", m_SettingsArray);
    xml.GetCurrentNode()->EndNode();
    xml.Close();
}

bool CBVProfileList::FindStored(const CString& name, int& index) const
{
    return m_ProfileNames.Lookup(name, index) && index >= 0 && index < GetProfileCount();
}

bool CBVProfileList::Select(const CString& name)
{
    int index = -1;
    if (!FindStored(name, index))
        return false;
    CBVSettings::operator=(m_SettingsArray[index]);
    m_strCurrentProfileName = name;
    return true;
}

void CBVProfileList::Store(const CString& name)
{
    int index = -1;
    if (FindStored(name, index)) {
        m_SettingsArray[index] = *this;
    } else {
        index = static_cast<int>(m_SettingsArray.Add(*this));
        m_ProfileNames[name] = index;
    }
    m_strCurrentProfileName = name;
}

const CBVSettings* CBVProfileList::GetProfile(const CString& name) const
{
    int index = -1;
    return FindStored(name, index) ? &m_SettingsArray[index] : nullptr;
}
