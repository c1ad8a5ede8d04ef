#include "imaging/uwscanner.h"

#include "analysis/ui/infodlgs.h"
#include "platform/core/folders.h"
#include "platform/core/library.h"
#include "platform/core/messagebox.h"
#include "platform/core/profile.h"
#include "platform/ui/winapp.h"

namespace {

constexpr const char* kIniName = "scanner.ini";
constexpr const char* kSection = "Video";
constexpr const char* kDelayKey = "Delay";

} // namespace

CUwScanner::CUwScanner(const char* lpszLibrary, const char* lpszIniFolder)
    : m_strLibrary(lpszLibrary), m_strIniFolder(lpszIniFolder)
{
}

CUwScanner::~CUwScanner()
{
    if (!m_strIniPath.IsEmpty())
        WritePrivateProfileString(kSection, kDelayKey, FormatString("%d", m_nDelay), m_strIniPath);
    m_pInfoDlg.reset();
    if (m_hModule != nullptr)
        FreeLibrary(m_hModule);
}

CUwScanner& CUwScanner::Get()
{
    static CUwScanner scanner;
    return scanner;
}

void CUwScanner::Load()
{
    const CString folder = m_strIniFolder.IsEmpty() ? kestrun::ModuleFolder() : m_strIniFolder;
    m_strIniPath = folder + "/" + kIniName;
    m_nDelay = static_cast<int>(GetPrivateProfileInt(kSection, kDelayKey, m_nDelay, m_strIniPath));
    if (m_hModule != nullptr)
        return;
    m_hModule = LoadLibrary(m_strLibrary);
    if (m_hModule == nullptr)
        return; // no scanner on this workstation
    m_pUwScannerSet = reinterpret_cast<SetFn>(Resolve("UwScannerSet"));
    m_pCheckDeckelAuf = reinterpret_cast<IndexFn>(Resolve("CheckDeckelAuf"));
    m_pCheckDeckelZu = reinterpret_cast<IndexFn>(Resolve("CheckDeckelZu"));
    m_pGetDeckelPos = reinterpret_cast<IndexFn>(Resolve("GetDeckelPos"));
    m_pVideoSelect = reinterpret_cast<IndexFn>(Resolve("VideoSelect"));
}

void* CUwScanner::Resolve(const char* lpszName)
{
    void* function = GetProcAddress(m_hModule, lpszName);
    if (function == nullptr)
        AfxMessageBox(FormatString("Function %s not found", lpszName));
    return function;
}

BOOL CUwScanner::SetScanner(int a, int b, int c)
{
    if (m_hModule == nullptr || m_pUwScannerSet == nullptr)
        return FALSE;
    if (m_pUwScannerSet(a, b, c) == 0) {
        ShowDeviceError(FormatString("Error Set Scanner:%d", a));
        return FALSE;
    }
    return TRUE;
}

BOOL CUwScanner::IsLidClosed(int nIndex)
{
    if (m_hModule == nullptr || m_pCheckDeckelZu == nullptr)
        return FALSE;
    return m_pCheckDeckelZu(nIndex + 1) == 1;
}

int CUwScanner::GetLidPosition(int n)
{
    if (m_hModule == nullptr || m_pGetDeckelPos == nullptr)
        return -1;
    return m_pGetDeckelPos(n);
}

BOOL CUwScanner::SelectVideo(int n)
{
    if (m_hModule == nullptr || m_pVideoSelect == nullptr)
        return FALSE;
    if (m_pVideoSelect(n) == 0) {
        ShowDeviceError(FormatString("Error VideoSelect Scanner:%d", n));
        return FALSE;
    }
    return TRUE;
}

void CUwScanner::ShowDeviceError(const CString& strText)
{
    // One window at a time: a new error replaces the one still showing.
    m_pInfoDlg = std::make_unique<CInfoDlg>(strText, kErrorTime, AfxGetMainWnd());
    if (!m_pInfoDlg->Create())
        m_pInfoDlg.reset();
}
