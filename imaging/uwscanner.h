#pragma once
// The underwater lid scanner: one object per process over the scanner's own
// library "uws.dll", opened at run time. A workstation without the scanner
// has no library; then every call answers "not available" and shows
// nothing.

#include "platform/core/cstring.h"

#include <memory>

class CInfoDlg;

class CUwScanner
{
public:
    static constexpr int kDefaultDelay = 2000;
    // How long a device error stays in the information window.
    static constexpr UINT kErrorTime = 2000;

    // The library by name and the folder of "scanner.ini" (empty: the
    // program's folder); other values only for tests.
    explicit CUwScanner(const char* lpszLibrary = "uws.dll", const char* lpszIniFolder = "");
    ~CUwScanner();
    CUwScanner(const CUwScanner&) = delete;
    CUwScanner& operator=(const CUwScanner&) = delete;

    // The one scanner of the program.
    static CUwScanner& Get();

    // Reads the delay from "scanner.ini" and, the first time, opens the
    // library; every missing function gets its own message box.
    void Load();
    BOOL IsLoaded() const { return m_hModule != nullptr; }

    // FALSE when the scanner cannot be reached or the device refuses (after
    // the information window says so).
    BOOL SetScanner(int a, int b, int c);
    BOOL IsLidClosed(int nIndex);
    // -1 when not available.
    int GetLidPosition(int n);
    BOOL SelectVideo(int n);

    int GetDelay() const { return m_nDelay; }
    const CString& GetIniPath() const { return m_strIniPath; }
    // The information window of the last device error, if still there.
    CInfoDlg* GetInfoWindow() const { return m_pInfoDlg.get(); }

private:
    using SetFn = int (*)(int, int, int);
    using IndexFn = int (*)(int);

    void* Resolve(const char* lpszName);
    void ShowDeviceError(const CString& strText);

    CString m_strLibrary;
    CString m_strIniFolder;
    CString m_strIniPath;
    int m_nDelay = kDefaultDelay;
    HMODULE m_hModule = nullptr;
    SetFn m_pUwScannerSet = nullptr;
    IndexFn m_pCheckDeckelAuf = nullptr;
    IndexFn m_pCheckDeckelZu = nullptr;
    IndexFn m_pGetDeckelPos = nullptr;
    IndexFn m_pVideoSelect = nullptr;
    std::unique_ptr<CInfoDlg> m_pInfoDlg;
};
