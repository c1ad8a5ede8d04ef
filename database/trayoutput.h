#pragma once
// What the tray form writes besides images and tables: the status lines,
// the base names of its files and the side file beside each result table.

#include "platform/core/cstring.h"

#include <ctime>
#include <functional>

namespace kestrun::tray {

// Status codes of the tray form.
enum ETrayStatus : int
{
    statusReady = 0,
    statusNoBarcode = 1,
    statusBarcodeNotValid = 2,
    statusNotEnoughBarcodes = 3,
    statusNoImage = 4,
    statusImageWrite = 5,
    statusDataWrite = 6,
    statusReadyOnly = 7,
    statusStarted = 8,
    statusCounted = 9,
    statusGoingDown = 10,
    statusProfile = 11,
    statusTray = 12,
    statusBatch = 13,
    statusProfileFailed = 14,
    statusTrayFailed = 15,
    statusBatchFailed = 16,
    statusSideFileWrite = 17,
};

// What the status texts show besides their fixed words.
struct CTrayStatusValues
{
    // The code shown before; "Ready" after a count names the count.
    int nPrevious = statusReady;
    int nCount = 0;
    CString strProfile;
    CString strTray;
    int nBatch = 1;
    // The first queued barcode; empty when none is queued.
    CString strNextBarcode;
};

// The text of a status code; empty for a code without one.
CString TrayStatusText(int nCode, const CTrayStatusValues& values);

// Base names "%Y%m%d %H%M%S <barcode>"; position n (from 1) written in the
// same second as the name before gets "-n" behind the time.
class CTrayFileNamer
{
public:
    using CNow = std::function<std::time_t()>;
    explicit CTrayFileNamer(CNow now = [] { return std::time(nullptr); });

    CString Make(const CString& strBarcode, int n);

private:
    CNow m_now;
    std::time_t m_tLastName;
};

// The five lines of a side file.
struct CSideFile
{
    CString strProfile;
    CString strImage;
    CString strTray;
    int nBatch = 1;
    int nIndexAOI = 0;
};
CString SideFileText(const CSideFile& side);
// Creates or truncates the file; false when it cannot be written whole.
bool WriteSideFile(const CString& strPath, const CSideFile& side);

} // namespace kestrun::tray
