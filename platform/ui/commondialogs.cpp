#include "platform/ui/commondialogs.h"

#include "platform/core/folders.h"
#include "platform/ui/appservices.h"
#include "platform/ui/qtdc.h"
#include "platform/ui/uitext.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QFontInfo>

#include <algorithm>
#include <iterator>
#include <mutex>

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)
IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFontDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CColorDialog, CCommonDialog)
IMPLEMENT_DYNAMIC(CFolderDialog, CCommonDialog)

using kestrun::FromQString;
using kestrun::ToQString;

namespace {

std::mutex g_handlerMutex;
kestrun::CommonDialogHandler g_handler;

QWidget* parentWidget(CWnd* parent)
{
    return parent ? parent->GetWidget() : nullptr;
}

CString fileNameOf(const CString& path)
{
    const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    return path.Mid(slash + 1);
}

// Where the last image dialog and the last dialog of other files ended.
std::mutex g_folderMutex;
CString g_lastImageFolder;
CString g_lastDataFolder;

CString withoutTrailingSeparator(CString folder)
{
    while (folder.GetLength() > 1 && (folder.Right(1) == "/" || folder.Right(1) == "\\"))
        folder.Truncate(folder.GetLength() - 1);
    return folder;
}

bool isFolder(const CString& folder)
{
    if (folder.IsEmpty())
        return false;
    const DWORD attributes = GetFileAttributes(folder);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

CString startFolder(bool image)
{
    {
        std::lock_guard lock(g_folderMutex);
        const CString& last = image ? g_lastImageFolder : g_lastDataFolder;
        if (isFolder(last))
            return last;
    }
    const CAppServices* services = kestrun::AppServices();
    const CString settings = services ? withoutTrailingSeparator(image ? services->GetImageDir() : services->GetDataDir())
                                      : CString();
    return isFolder(settings) ? settings : CString();
}

void rememberFolder(bool image, const CString& folder)
{
    if (folder.IsEmpty())
        return;
    std::lock_guard lock(g_folderMutex);
    (image ? g_lastImageFolder : g_lastDataFolder) = withoutTrailingSeparator(folder);
}

bool isImageExtension(CString ext)
{
    ext.Trim();
    ext.TrimLeft("*.");
    ext.MakeLower();
    static const char* const images[] = {"bmp", "dib", "jpg", "jpeg", "jp2", "j2k", "tif", "tiff", "png",
                                         "pga", "pcx", "wmf", "jbg", "pgx", "gif", "ppm", "pgm"};
    return std::any_of(std::begin(images), std::end(images), [&](const char* one) { return ext == one; });
}

} // namespace

namespace kestrun {

CommonDialogHandler SetCommonDialogHandler(CommonDialogHandler handler)
{
    std::lock_guard lock(g_handlerMutex);
    std::swap(g_handler, handler);
    return handler;
}

CString QtFileFilter(const char* filter)
{
    CString out;
    if (filter == nullptr)
        return out;
    CString all(filter);
    int start = 0;
    while (true) {
        const int bar1 = all.Find('|', start);
        if (bar1 < 0)
            break;
        const int bar2 = all.Find('|', bar1 + 1);
        const CString name = all.Mid(start, bar1 - start);
        const CString patterns = bar2 < 0 ? all.Mid(bar1 + 1) : all.Mid(bar1 + 1, bar2 - bar1 - 1);
        if (name.IsEmpty())
            break;
        CString spaced = patterns;
        spaced.Replace(";", " ");
        spaced.Trim();
        CString shown = name;
        shown.Trim();
        // Qt reads the patterns from the parentheses; a name that shows
        // them already keeps its own text before them.
        const int paren = shown.Find('(');
        if (paren > 0)
            shown = shown.Left(paren).TrimRight();
        if (!out.IsEmpty())
            out += ";;";
        out += shown + " (" + spaced + ")";
        if (bar2 < 0)
            break;
        start = bar2 + 1;
    }
    return out;
}

void ForgetFileDialogFolders()
{
    std::lock_guard lock(g_folderMutex);
    g_lastImageFolder.Empty();
    g_lastDataFolder.Empty();
}

} // namespace kestrun

// ---- CCommonDialog ------------------------------------------------------------------------

INT_PTR CCommonDialog::DoModal()
{
    kestrun::CommonDialogHandler handler;
    {
        std::lock_guard lock(g_handlerMutex);
        handler = g_handler;
    }
    if (handler)
        return handler(*this);
    return ShowQtDialog();
}

// ---- CFileDialog ----------------------------------------------------------------------------

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog), m_strDefExt(lpszDefExt ? lpszDefExt : ""),
      m_strFileName(lpszFileName ? lpszFileName : ""), m_strFilter(lpszFilter ? lpszFilter : "")
{
    m_ofn.Flags = dwFlags;
    m_ofn.lpstrDefExt = m_strDefExt.IsEmpty() ? nullptr : m_strDefExt.GetString();
}

bool CFileDialog::IsImageDialog() const
{
    if (!m_strDefExt.IsEmpty())
        return isImageExtension(m_strDefExt);
    const int bar = m_strFilter.Find('|');
    if (bar < 0)
        return false;
    const int end = m_strFilter.Find('|', bar + 1);
    CString patterns = end < 0 ? m_strFilter.Mid(bar + 1) : m_strFilter.Mid(bar + 1, end - bar - 1);
    int start = 0;
    return isImageExtension(patterns.Tokenize(";", start));
}

INT_PTR CFileDialog::DoModal()
{
    const bool image = IsImageDialog();
    const bool nameHasFolder = m_strFileName.Find('/') >= 0 || m_strFileName.Find('\\') >= 0;
    if (m_ofn.lpstrInitialDir == nullptr && !nameHasFolder) {
        m_strStartFolder = startFolder(image);
        if (!m_strStartFolder.IsEmpty())
            m_ofn.lpstrInitialDir = m_strStartFolder.GetString();
    }
    const INT_PTR result = CCommonDialog::DoModal();
    if (result == IDOK)
        rememberFolder(image, GetFolderPath());
    return result;
}

void CFileDialog::SetResult(const std::vector<CString>& paths, DWORD filterIndex)
{
    m_paths.clear();
    for (CString path : paths) {
        if (!m_strDefExt.IsEmpty() && fileNameOf(path).Find('.') < 0)
            path += "." + m_strDefExt;
        m_paths.push_back(path);
    }
    if (filterIndex > 0)
        m_ofn.nFilterIndex = filterIndex;
}

INT_PTR CFileDialog::ShowQtDialog()
{
    QFileDialog dialog(parentWidget(m_pParentWnd));
    dialog.setAcceptMode(m_bOpenFileDialog ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    if (m_bOpenFileDialog)
        dialog.setFileMode((m_ofn.Flags & OFN_ALLOWMULTISELECT) ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    else
        dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !(m_ofn.Flags & OFN_OVERWRITEPROMPT));
    if (m_ofn.lpstrTitle)
        dialog.setWindowTitle(ToQString(m_ofn.lpstrTitle));
    const QStringList filters = ToQString(kestrun::QtFileFilter(m_strFilter)).split(";;", Qt::SkipEmptyParts);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        const int index = static_cast<int>(std::max<DWORD>(m_ofn.nFilterIndex, 1)) - 1;
        if (index < filters.size())
            dialog.selectNameFilter(filters[index]);
    }
    if (!m_strDefExt.IsEmpty())
        dialog.setDefaultSuffix(ToQString(m_strDefExt));
    if (m_ofn.lpstrInitialDir)
        dialog.setDirectory(ToQString(m_ofn.lpstrInitialDir));
    if (!m_strFileName.IsEmpty())
        dialog.selectFile(ToQString(m_strFileName));
    if (dialog.exec() != QDialog::Accepted)
        return IDCANCEL;
    std::vector<CString> paths;
    for (const QString& file : dialog.selectedFiles())
        paths.push_back(FromQString(file));
    SetResult(paths, static_cast<DWORD>(filters.indexOf(dialog.selectedNameFilter()) + 1));
    return paths.empty() ? IDCANCEL : IDOK;
}

CString CFileDialog::GetPathName() const
{
    return m_paths.empty() ? CString() : m_paths.front();
}

CString CFileDialog::GetFileName() const
{
    return fileNameOf(GetPathName());
}

CString CFileDialog::GetFileExt() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? CString() : name.Mid(dot + 1);
}

CString CFileDialog::GetFileTitle() const
{
    const CString name = GetFileName();
    const int dot = name.ReverseFind('.');
    return dot < 0 ? name : name.Left(dot);
}

CString CFileDialog::GetFolderPath() const
{
    const CString path = GetPathName();
    const int slash = std::max(path.ReverseFind('/'), path.ReverseFind('\\'));
    return slash < 0 ? CString() : path.Left(slash);
}

POSITION CFileDialog::GetStartPosition() const
{
    return m_paths.empty() ? nullptr : reinterpret_cast<POSITION>(static_cast<uintptr_t>(1));
}

CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    const auto index = reinterpret_cast<uintptr_t>(pos);
    if (index == 0 || index > m_paths.size()) {
        pos = nullptr;
        return {};
    }
    pos = index < m_paths.size() ? reinterpret_cast<POSITION>(index + 1) : nullptr;
    return m_paths[index - 1];
}

// ---- CFontDialog -------------------------------------------------------------------------------

CFontDialog::CFontDialog(const LOGFONT* lplfInitial, DWORD dwFlags, CDC*, CWnd* pParentWnd) : CCommonDialog(pParentWnd)
{
    if (lplfInitial)
        m_lf = *lplfInitial;
    else
        SetFaceName(m_lf, "MS Sans Serif");
    if (m_lf.lfHeight == 0)
        m_lf.lfHeight = -13;
    if (m_lf.lfWeight == 0)
        m_lf.lfWeight = FW_NORMAL;
    m_cf.Flags = dwFlags;
    m_cf.lpLogFont = &m_lf;
    m_cf.iPointSize = std::abs(m_lf.lfHeight) * 720 / 96;
}

INT_PTR CFontDialog::ShowQtDialog()
{
    QFont initial = kestrun::QtFont(m_lf, m_lf.lfHeight);
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, initial, parentWidget(m_pParentWnd));
    if (!ok)
        return IDCANCEL;
    const QFontInfo info(chosen);
    const double points = info.pointSizeF() > 0 ? info.pointSizeF() : chosen.pointSizeF();
    m_lf.lfHeight = -static_cast<LONG>(points * 96.0 / 72.0 + 0.5);
    m_lf.lfWeight = chosen.bold() ? FW_BOLD : FW_NORMAL;
    m_lf.lfItalic = chosen.italic() ? 1 : 0;
    m_lf.lfUnderline = chosen.underline() ? 1 : 0;
    m_lf.lfStrikeOut = chosen.strikeOut() ? 1 : 0;
    SetFaceName(m_lf, chosen.family().toUtf8().constData());
    m_cf.iPointSize = static_cast<int>(points * 10.0 + 0.5);
    return IDOK;
}

void CFontDialog::GetCurrentFont(LOGFONT* lplf) const
{
    if (lplf)
        *lplf = m_lf;
}

CString CFontDialog::GetFaceName() const
{
    return CString(m_lf.lfFaceName);
}

int CFontDialog::GetSize() const
{
    return m_cf.iPointSize;
}

// ---- CColorDialog -------------------------------------------------------------------------------

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd) : CCommonDialog(pParentWnd)
{
    m_cc.Flags = dwFlags | (clrInit != 0 ? CC_RGBINIT : 0);
    m_cc.rgbResult = clrInit;
}

INT_PTR CColorDialog::ShowQtDialog()
{
    const QColor initial(GetRValue(m_cc.rgbResult), GetGValue(m_cc.rgbResult), GetBValue(m_cc.rgbResult));
    if (m_cc.lpCustColors) {
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
            const COLORREF c = m_cc.lpCustColors[i];
            QColorDialog::setCustomColor(i, QColor(GetRValue(c), GetGValue(c), GetBValue(c)));
        }
    }
    const QColor chosen = QColorDialog::getColor(initial, parentWidget(m_pParentWnd));
    if (!chosen.isValid())
        return IDCANCEL;
    m_cc.rgbResult = RGB(chosen.red(), chosen.green(), chosen.blue());
    if (m_cc.lpCustColors) {
        for (int i = 0; i < 16 && i < QColorDialog::customCount(); ++i) {
            const QColor c = QColorDialog::customColor(i);
            m_cc.lpCustColors[i] = RGB(c.red(), c.green(), c.blue());
        }
    }
    return IDOK;
}

// ---- CFolderDialog --------------------------------------------------------------------------------

CFolderDialog::CFolderDialog(LPCTSTR lpszTitle, LPCTSTR lpszInitialFolder, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_strTitle(lpszTitle ? lpszTitle : ""), m_strPath(lpszInitialFolder ? lpszInitialFolder : "")
{
}

INT_PTR CFolderDialog::ShowQtDialog()
{
    const QString chosen = QFileDialog::getExistingDirectory(parentWidget(m_pParentWnd), ToQString(m_strTitle),
                                                             ToQString(m_strPath));
    if (chosen.isEmpty())
        return IDCANCEL;
    m_strPath = FromQString(chosen);
    return IDOK;
}
