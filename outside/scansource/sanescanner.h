#pragma once
// Scanners through SANE: the devices SANE lists and one whole-page scan of a
// device into an image page. Lineart and 16-bit scans become 8-bit pages,
// colour scans (one pass or three) 24-bit pages. A scan of unknown length
// is read to its end, and no scan may grow beyond kMaxScanBytes.

#include "outside/pixmere/cximage.h"

#include "platform/core/cstring.h"

#include <cstddef>
#include <functional>
#include <vector>

struct CSaneDeviceInfo
{
    CString name; // what SANE opens it by
    CString vendor;
    CString model;
    CString type;
};

class CSaneScanner
{
public:
    static constexpr std::size_t kMaxScanBytes = std::size_t{512} << 20;

    // Initialises SANE for the life of the object.
    CSaneScanner();
    ~CSaneScanner();
    CSaneScanner(const CSaneScanner&) = delete;
    CSaneScanner& operator=(const CSaneScanner&) = delete;

    bool IsReady() const { return m_bReady; }
    // Asks SANE afresh (local and network devices).
    std::vector<CSaneDeviceInfo> Devices() const;

    // One page from the device. cancelled is asked between reads; when it
    // answers true the scan ends without a page. On failure the page is
    // unchanged and error names the device and the reason.
    bool Scan(const CString& device, CxImage& page, CString& error, const std::function<bool()>& cancelled = {}) const;

    // Test hook: the byte limit of one scan (kMaxScanBytes by default).
    void SetMaxScanBytes(std::size_t bytes) { m_maxScanBytes = bytes; }

private:
    bool m_bReady = false;
    std::size_t m_maxScanBytes = kMaxScanBytes;
};
