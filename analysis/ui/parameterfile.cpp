#include "analysis/ui/parameterfile.h"

#include "platform/core/exceptions.h"
#include "platform/core/folders.h"
#include "platform/core/paths.h"
#include "platform/core/messagebox.h"
#include "platform/core/profile.h"
#include "platform/ui/commondialogs.h"

#include <cstdio>
#include <fstream>

namespace kestrun::analysisui {

namespace {

constexpr const char* kFilter = "Parameter Files (*.ini) |*.ini||";

} // namespace

CString AskParameterFile(bool open, LPCTSTR title, CWnd* parent, LPCTSTR folder)
{
    CFileDialog dialog(open ? TRUE : FALSE, "ini", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kFilter, parent);
    dialog.m_ofn.lpstrTitle = title;
    if (folder != nullptr && folder[0] != '\0')
        dialog.m_ofn.lpstrInitialDir = folder;
    if (dialog.DoModal() != IDOK)
        return {};
    return dialog.GetPathName();
}

bool HasParameterSection(const CString& path, LPCTSTR section)
{
    std::ifstream file(static_cast<const char*>(NativePath(path)));
    if (!file) {
        AfxMessageBox(FormatString("%s cannot be read.", static_cast<const char*>(path)), MB_ICONEXCLAMATION);
        return false;
    }
    char keys[256];
    if (GetPrivateProfileString(section, nullptr, "", keys, sizeof keys, path) == 0) {
        AfxMessageBox(FormatString("%s holds no section \"%s\".", static_cast<const char*>(path), section),
                      MB_ICONEXCLAMATION);
        return false;
    }
    return true;
}

bool WriteParameterFile(const CString& path, const std::function<void(const CString&)>& write)
{
    const CString copy = path + ".new";
    bool written = false;
    try {
        DeleteFile(copy);
        if (GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES && !CopyFile(path, copy, FALSE))
            AfxThrowFileException(CFileException::genericException, -1, path);
        write(copy);
        written = std::rename(NativePath(copy), NativePath(path)) == 0;
    } catch (const CException&) {
        written = false;
    }
    if (!written) {
        DeleteFile(copy);
        AfxMessageBox(FormatString("%s could not be written; it is unchanged.", static_cast<const char*>(path)),
                      MB_ICONEXCLAMATION);
    }
    return written;
}

} // namespace kestrun::analysisui
