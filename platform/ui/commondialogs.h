#pragma once
// The common dialogs: file open and save, font, colour and folder. Each
// shows the Qt dialog modally; a program or a test may answer them instead
// through kestrun::SetCommonDialogHandler.

#include "platform/core/gdi.h"
#include "platform/ui/dialog.h"

#include <functional>
#include <vector>

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;

inline constexpr DWORD CF_SCREENFONTS = 0x00000001;
inline constexpr DWORD CF_PRINTERFONTS = 0x00000002;
inline constexpr DWORD CF_BOTH = 0x00000003;
inline constexpr DWORD CF_INITTOLOGFONTSTRUCT = 0x00000040;
inline constexpr DWORD CF_EFFECTS = 0x00000100;

inline constexpr DWORD CC_RGBINIT = 0x00000001;
inline constexpr DWORD CC_FULLOPEN = 0x00000002;
inline constexpr DWORD CC_ANYCOLOR = 0x00000100;

struct OPENFILENAME
{
    DWORD Flags = 0;
    DWORD nFilterIndex = 1;
    LPCTSTR lpstrTitle = nullptr;
    LPCTSTR lpstrInitialDir = nullptr;
    LPCTSTR lpstrDefExt = nullptr;
};

struct CHOOSEFONT
{
    DWORD Flags = 0;
    LOGFONT* lpLogFont = nullptr;
    int iPointSize = 0; // tenths of a point
    COLORREF rgbColors = 0;
};

struct CHOOSECOLOR
{
    DWORD Flags = 0;
    COLORREF rgbResult = 0;
    COLORREF* lpCustColors = nullptr; // 16 entries
};

class CCommonDialog : public CDialog
{
    DECLARE_DYNAMIC(CCommonDialog)

public:
    explicit CCommonDialog(CWnd* pParentWnd) : CDialog(0, pParentWnd) {}
    // IDOK or IDCANCEL; the handler answers when one is set.
    INT_PTR DoModal() override;

protected:
    // Shows the Qt dialog and keeps the choice; IDOK or IDCANCEL.
    virtual INT_PTR ShowQtDialog() = 0;
};

// A file dialog without a folder of its own (m_ofn.lpstrInitialDir, or a
// folder in the file name) starts where the last one of its kind ended in
// this run, else in the folder the settings name for its kind: images in
// the image folder, every other file in the data folder.
class CFileDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFileDialog)

public:
    // lpszFilter: "Name|*.a;*.b|Other|*.c||"; lpszDefExt without the dot.
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr, LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = nullptr,
                         CWnd* pParentWnd = nullptr);

    INT_PTR DoModal() override;
    // Image files by the default extension, else by the filter's first pattern.
    bool IsImageDialog() const;

    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    CString GetFolderPath() const;
    // Multiple selection.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;

    BOOL IsOpenDialog() const { return m_bOpenFileDialog; }
    const CString& InitialFileName() const { return m_strFileName; }
    const CString& Filter() const { return m_strFilter; }
    // The choice, as a handler gives it; a missing extension gets the
    // default one.
    void SetResult(const std::vector<CString>& paths, DWORD filterIndex = 0);

    OPENFILENAME m_ofn;

protected:
    INT_PTR ShowQtDialog() override;

private:
    BOOL m_bOpenFileDialog;
    CString m_strDefExt;
    CString m_strFileName;
    CString m_strFilter;
    CString m_strStartFolder;
    std::vector<CString> m_paths;
};

class CFontDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFontDialog)

public:
    explicit CFontDialog(const LOGFONT* lplfInitial = nullptr, DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS,
                         CDC* pdcPrinter = nullptr, CWnd* pParentWnd = nullptr);

    void GetCurrentFont(LOGFONT* lplf) const;
    CString GetFaceName() const;
    // Tenths of a point.
    int GetSize() const;
    COLORREF GetColor() const { return m_cf.rgbColors; }
    int GetWeight() const { return m_lf.lfWeight; }
    BOOL IsBold() const { return m_lf.lfWeight >= FW_SEMIBOLD; }
    BOOL IsItalic() const { return m_lf.lfItalic != 0; }
    BOOL IsUnderline() const { return m_lf.lfUnderline != 0; }
    BOOL IsStrikeOut() const { return m_lf.lfStrikeOut != 0; }

    CHOOSEFONT m_cf;
    LOGFONT m_lf{};

protected:
    INT_PTR ShowQtDialog() override;
};

class CColorDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CColorDialog)

public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);

    COLORREF GetColor() const { return m_cc.rgbResult; }
    void SetCurrentColor(COLORREF clr) { m_cc.rgbResult = clr; }

    CHOOSECOLOR m_cc;

protected:
    INT_PTR ShowQtDialog() override;
};

// The folder chooser.
class CFolderDialog : public CCommonDialog
{
    DECLARE_DYNAMIC(CFolderDialog)

public:
    explicit CFolderDialog(LPCTSTR lpszTitle = nullptr, LPCTSTR lpszInitialFolder = nullptr,
                           CWnd* pParentWnd = nullptr);

    CString GetPathName() const { return m_strPath; }
    const CString& Title() const { return m_strTitle; }
    void SetResult(const CString& path) { m_strPath = path; }

protected:
    INT_PTR ShowQtDialog() override;

private:
    CString m_strTitle;
    CString m_strPath;
};

namespace kestrun {

// Answers common dialogs instead of showing them (tests, scripted runs):
// the handler fills in the choice (SetResult, m_cc, m_lf, ...) and returns
// IDOK or IDCANCEL. An empty function shows the dialogs again. Returns the
// previous handler.
using CommonDialogHandler = std::function<INT_PTR(CCommonDialog&)>;
CommonDialogHandler SetCommonDialogHandler(CommonDialogHandler handler);

// Qt's filter text for a filter of the "Name|*.a;*.b|...||" form.
CString QtFileFilter(const char* filter);

// Forgets the folders the file dialogs ended in: a new run starts in the
// settings' folders again.
void ForgetFileDialogFolders();

} // namespace kestrun
