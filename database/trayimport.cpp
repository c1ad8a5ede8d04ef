#include "database/trayimport.h"

#include "platform/core/paths.h"

#include <filesystem>
#include <system_error>

namespace kestrun::tray {

namespace fs = std::filesystem;

EImportCopy CopyImportedFile(const CString& strFolder, const CString& strName, const CString& strTargetFolder)
{
    if (strName.IsEmpty() || !IsPlainFileName(strName.GetString()))
        return EImportCopy::BadName;
    const fs::path source = fs::path(strFolder.GetString()) / strName.GetString();
    const fs::path target = fs::path(strTargetFolder.GetString()) / strName.GetString();
    std::error_code error;
    if (fs::exists(fs::symlink_status(target, error)))
        return EImportCopy::NameInUse;
    // skip_existing: a file that appears meanwhile is not overwritten either.
    const bool copied = fs::copy_file(source, target, fs::copy_options::skip_existing, error);
    if (error)
        return EImportCopy::Failed;
    return copied ? EImportCopy::Copied : EImportCopy::NameInUse;
}

CString ImportCopyMessage(EImportCopy result, const CString& strSource, const CString& strTarget)
{
    switch (result) {
    case EImportCopy::Copied:
        return CString();
    case EImportCopy::NameInUse:
        return FormatString("%s exists already - %s not imported", strTarget.GetString(), strSource.GetString());
    case EImportCopy::BadName:
        return FormatString("%s is no plain file name - not imported", strSource.GetString());
    case EImportCopy::Failed:
        break;
    }
    return FormatString("Copy from %s to %s failed\n", strSource.GetString(), strTarget.GetString());
}

} // namespace kestrun::tray
