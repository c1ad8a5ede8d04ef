#pragma once
// "trayscan.ini" as the tray form reads and writes it: the range of sample
// barcodes and the tray type. The file lies in the program's own folder;
// the tray-scan database form reads its own keys itself.

#include "platform/core/cstring.h"

#include <cstdint>
#include <vector>

namespace kestrun::tray {

inline constexpr const char* kSettingsFile = "trayscan.ini";
inline constexpr std::int64_t kDefaultMinBarcode = 1;
inline constexpr std::int64_t kDefaultMaxBarcode = 4294967295LL;
inline constexpr const char* kDefaultTrayType = "72";

// The file in the folder; an empty folder is the program's.
CString TraySettingsPath(const CString& strFolder);

struct CTrayFormSettings
{
    std::int64_t nMinBarcode = kDefaultMinBarcode;
    std::int64_t nMaxBarcode = kDefaultMaxBarcode;
    CString strTray = kDefaultTrayType;

    // [BarCodeRange] Min and Max, [Tray] Type. A missing key, a limit that
    // is no whole 64-bit number, and a tray type that is empty or could
    // name a folder take the default.
    static CTrayFormSettings Read(const CString& strPath);
    // [Tray] Type.
    static void WriteTray(const CString& strPath, const CString& strTray);
};

// The tray-scan database form's keys: [Tray] Type, Batch, Count and
// Number1..Number<Count>, [Batch] Count.
struct CTrayScanSettings
{
    CString strTray = kDefaultTrayType;
    int nBatch = 1;
    int nBatchCount = 4;
    std::vector<CString> trayTypes; // the tray chooser's list

    // A Count above 10 or below 0 lists the four built-in types; types
    // that could name a folder are left out; a batch or batch count outside
    // 1..4 takes its default.
    static CTrayScanSettings Read(const CString& strPath);
    // [Tray] Type and Batch.
    static void Write(const CString& strPath, const CString& strTray, int nBatch);
};

// A tray type that can stand in a file name: not empty, no folder parts.
bool IsUsableTrayType(const CString& text);

} // namespace kestrun::tray
