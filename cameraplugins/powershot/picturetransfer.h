#pragma once
// CPictureTransfer: one released picture on its way from the camera, into
// memory (for the caller's image) or into a file of the picture folder.
// RunWorker runs on the transfer's worker thread and touches nothing but
// the transfer and the progress call-back it is given; the picture is
// decoded into the image on the host thread afterwards (Finish), so a view
// that paints the image meanwhile never sees it half written.

#include "cameraplugins/common/picturename.h"

#include "platform/core/cstring.h"

#include <cstdint>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

class CDIB;
struct prProgress;

class CPictureTransfer
{
public:
    // Without an image the picture goes into a new file in lpszFolder.
    CPictureTransfer(std::uintptr_t hCamera, std::uint32_t nObject, std::uint16_t nEventCode, CDIB* pImage,
                     const CString& strFolder, CLocalClock clock);
    ~CPictureTransfer();
    CPictureTransfer(const CPictureTransfer&) = delete;
    CPictureTransfer& operator=(const CPictureTransfer&) = delete;

    // folder + "%Y%m%d_%H-%M-%S-" + milliseconds without padding + ".jpg".
    static CString PictureFileName(const CString& strFolder, const CLocalTime& time)
    {
        return kestrun::camplugin::TimeStampedPictureName(strFolder, time);
    }

    // The worker: fetches the released data; progress gets each block's
    // percentage.
    void RunWorker(const std::function<void(int)>& progress);
    // On the host thread after the worker ended: decodes the picture into
    // the image. True when the picture is where it was asked to go.
    bool Finish();

    // The SDK's answer to the transfer (0: complete).
    std::uint32_t Result() const { return m_nResult; }
    // What went wrong on this side, for the user; empty when only the
    // SDK's code tells.
    const CString& Failure() const { return m_strFailure; }
    const CString& FileName() const { return m_strFileName; }

private:
    static std::uint32_t OnTransferProgress(std::uintptr_t hCamera, std::uintptr_t context,
                                            const prProgress* pProgress);
    std::uint32_t OnProgress(const prProgress& progress);
    bool WriteBlock(std::uint32_t nOffset, const std::uint8_t* pData, std::uint32_t nLength);

    std::uintptr_t m_hCamera;
    std::uint32_t m_nObject;
    std::uint16_t m_nEventCode;
    CDIB* m_pImage;
    CString m_strFolder;
    CLocalClock m_clock;
    CString m_strFileName;
    std::uint32_t m_nResult = 0;
    CString m_strFailure;
    const std::function<void(int)>* m_pProgress = nullptr;
    bool m_bOpen = false;
    bool m_bComplete = false;
    std::vector<std::uint8_t> m_memory;
    std::FILE* m_pFile = nullptr;
};
