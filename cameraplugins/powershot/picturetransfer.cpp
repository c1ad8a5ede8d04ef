#include "cameraplugins/powershot/picturetransfer.h"

#include "outside/pixmere/dib.h"
#include "outside/prsdk/prsdk.h"

#include <algorithm>

namespace {

constexpr std::uint32_t kTransferBlock = 131072;
constexpr std::size_t kMemoryStep = 102400;
// No camera picture comes near this; a block beyond it is a fault.
constexpr std::uint64_t kMaxPictureBytes = 256ull * 1024 * 1024;
// The answer that stops the SDK's transfer after a failure on this side.
constexpr std::uint32_t kTransferAborted = 0x0000FFFF;

} // namespace

CPictureTransfer::CPictureTransfer(std::uintptr_t hCamera, std::uint32_t nObject, std::uint16_t nEventCode,
                                   CDIB* pImage, const CString& strFolder, CLocalClock clock)
    : m_hCamera(hCamera), m_nObject(nObject), m_nEventCode(nEventCode), m_pImage(pImage), m_strFolder(strFolder),
      m_clock(clock ? std::move(clock) : CLocalClock(LocalNow))
{
}

CPictureTransfer::~CPictureTransfer()
{
    if (m_pFile != nullptr)
        std::fclose(m_pFile);
}

void CPictureTransfer::RunWorker(const std::function<void(int)>& progress)
{
    if (m_pImage == nullptr)
        m_strFileName = PictureFileName(m_strFolder, m_clock());
    m_pProgress = &progress;
    m_nResult = PR_RC_GetReleasedData(m_hCamera, m_nObject, m_nEventCode, kTransferBlock,
                                      reinterpret_cast<prContext>(this), &CPictureTransfer::OnTransferProgress);
    m_pProgress = nullptr;
    if (m_pFile != nullptr) {
        std::fclose(m_pFile);
        m_pFile = nullptr;
    }
    if (m_nResult == 0 && !m_bComplete)
        m_strFailure = "The picture transfer ended before the picture was complete.";
}

std::uint32_t CPictureTransfer::OnTransferProgress(std::uintptr_t /*hCamera*/, std::uintptr_t context,
                                                   const prProgress* pProgress)
{
    if (context == 0 || pProgress == nullptr)
        return 0;
    return reinterpret_cast<CPictureTransfer*>(context)->OnProgress(*pProgress);
}

std::uint32_t CPictureTransfer::OnProgress(const prProgress& progress)
{
    switch (progress.lStatus) {
    case kPrProgressStart:
        m_memory.clear();
        m_bComplete = false;
        if (m_pImage == nullptr) {
            m_pFile = std::fopen(m_strFileName.GetString(), "wb");
            if (m_pFile == nullptr) {
                m_strFailure.Format("Could not create the picture file %s", m_strFileName.GetString());
                return kTransferAborted;
            }
        }
        m_bOpen = true;
        return 0;
    case kPrProgressData:
        if (!m_bOpen)
            return 0;
        if (!WriteBlock(progress.lOffset, progress.pbData, progress.lLength))
            return kTransferAborted;
        if (m_pProgress != nullptr && *m_pProgress)
            (*m_pProgress)(static_cast<int>(std::min<std::uint32_t>(progress.lPercentComplete, 100)));
        return 0;
    case kPrProgressEnd:
        if (!m_bOpen)
            return 0;
        if (m_pFile != nullptr) {
            const bool closed = std::fclose(m_pFile) == 0;
            m_pFile = nullptr;
            if (!closed) {
                m_strFailure.Format("Could not write the picture file %s", m_strFileName.GetString());
                m_bOpen = false;
                return kTransferAborted;
            }
        }
        m_bOpen = false;
        m_bComplete = true;
        return 0;
    default:
        return 0;
    }
}

bool CPictureTransfer::WriteBlock(std::uint32_t nOffset, const std::uint8_t* pData, std::uint32_t nLength)
{
    const std::uint64_t end = std::uint64_t{nOffset} + nLength;
    if (nLength > 0 && (pData == nullptr || end > kMaxPictureBytes)) {
        m_strFailure = "The camera sent picture data that does not fit a picture.";
        return false;
    }
    if (m_pFile != nullptr) {
        if (std::fseek(m_pFile, static_cast<long>(nOffset), SEEK_SET) != 0 ||
            std::fwrite(pData, 1, nLength, m_pFile) != nLength) {
            m_strFailure.Format("Could not write the picture file %s", m_strFileName.GetString());
            return false;
        }
        return true;
    }
    if (end > m_memory.size()) {
        // Grows in whole steps, as the picture arrives.
        m_memory.reserve((end + kMemoryStep - 1) / kMemoryStep * kMemoryStep);
        m_memory.resize(end);
    }
    if (nLength > 0)
        std::copy_n(pData, nLength, m_memory.begin() + nOffset);
    return true;
}

bool CPictureTransfer::Finish()
{
    if (m_nResult != 0 || !m_strFailure.IsEmpty() || !m_bComplete)
        return false;
    if (m_pImage == nullptr)
        return true;
    const bool decoded = m_pImage->Decode(m_memory.data(), m_memory.size(), CxImage::FormatJpg);
    m_memory.clear();
    if (!decoded) {
        m_strFailure = "The picture from the camera could not be decoded.";
        return false;
    }
    return true;
}
