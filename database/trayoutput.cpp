#include "database/trayoutput.h"

#include <fstream>

namespace kestrun::tray {

namespace {

CString ReadyText(const CTrayStatusValues& values)
{
    CString text = "Ready";
    if (values.nPrevious == statusCounted)
        text += FormatString("-Count: %d", values.nCount);
    text += "-";
    text += values.strNextBarcode.IsEmpty() ? CString("No Barcode") : "Next Barcode:" + values.strNextBarcode;
    return text;
}

} // namespace

CString TrayStatusText(int nCode, const CTrayStatusValues& values)
{
    switch (nCode) {
    case statusReady:
        return ReadyText(values);
    case statusNoBarcode:
        return "Error: no barcode";
    case statusBarcodeNotValid:
        return "Error: barcode not valid";
    case statusNotEnoughBarcodes:
        return "Error: not enough barcodes";
    case statusNoImage:
        return "Error: no image available";
    case statusImageWrite:
        return "Error: writing image file";
    case statusDataWrite:
        return "Error: writing data file";
    case statusReadyOnly:
        return "Ready";
    case statusStarted:
        return "Measurement started";
    case statusCounted:
        return FormatString("Ready-Count: %d", values.nCount);
    case statusGoingDown:
        return "Halvorn is going down";
    case statusProfile:
        return "Profil:" + values.strProfile;
    case statusTray:
        return "Tray:" + values.strTray;
    case statusBatch:
        return FormatString("Batch:%d", values.nBatch);
    case statusProfileFailed:
        return "Error: loading profile";
    case statusTrayFailed:
        return "Error: loading tray";
    case statusBatchFailed:
        return "Error: loading batch";
    case statusSideFileWrite:
        return "Error: writing side file";
    default:
        return CString();
    }
}

CTrayFileNamer::CTrayFileNamer(CNow now) : m_now(std::move(now)), m_tLastName(m_now()) {}

CString CTrayFileNamer::Make(const CString& strBarcode, int n)
{
    const std::time_t now = m_now();
    std::tm local{};
    localtime_r(&now, &local);
    char stamp[32] = {};
    std::strftime(stamp, sizeof(stamp), "%Y%m%d %H%M%S", &local);
    CString name = stamp;
    if (n >= 1 && now == m_tLastName)
        name += FormatString("-%d", n);
    m_tLastName = now;
    return name + " " + strBarcode;
}

CString SideFileText(const CSideFile& side)
{
    return FormatString("Profile:%s\nImage:%s\nRaster:%s\nBatch:%d\nIndexAOI:%d\n", side.strProfile.GetString(),
                        side.strImage.GetString(), side.strTray.GetString(), side.nBatch, side.nIndexAOI);
}

bool WriteSideFile(const CString& strPath, const CSideFile& side)
{
    std::ofstream out(strPath.GetString(), std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    const CString text = SideFileText(side);
    out.write(text.GetString(), static_cast<std::streamsize>(text.GetLength()));
    out.close();
    return !out.fail();
}

} // namespace kestrun::tray
