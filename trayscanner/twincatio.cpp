#include "trayscanner/twincatio.h"

#include "outside/tcatio/tcatio.h"

namespace kestrun::tablon {

namespace {

// Changed only by the thread that opens and closes the box.
int g_nDriverUses = 0;

class CDriverClock final : public IClock
{
public:
    ULONGLONG NowMs() const override
    {
        std::uint64_t time = 0;
        if (TCatIoGetCpuTime(&time) != 0)
            return DefaultClock().NowMs();
        return time / 10000;
    }
    void SleepMs(DWORD ms) override { DefaultClock().SleepMs(ms); }
};

} // namespace

IClock& DriverClock()
{
    static CDriverClock clock;
    return clock;
}

int DriverUseCount()
{
    return g_nDriverUses;
}

} // namespace kestrun::tablon

using namespace kestrun::tablon;

CTwinCatIO::~CTwinCatIO() = default;

bool CTwinCatIO::Open()
{
    if (m_bOpen)
        return true;
    if (g_nDriverUses == 0 && TCatIoOpen() == -1)
        return false;
    ++g_nDriverUses;
    m_bOpen = true;
    if (!MapImage(GetInputImage(), true) || !MapImage(GetOutputImage(), false)) {
        Close();
        return false;
    }
    return true;
}

bool CTwinCatIO::MapImage(const CImageSlot& slot, bool bInput)
{
    if (slot.ppImage == nullptr || slot.nSize == 0)
        return true;
    void* image = nullptr;
    const auto port = static_cast<unsigned short>(m_nPort);
    const long result =
        bInput ? TCatIoGetInputPtr(port, &image, slot.nSize) : TCatIoGetOutputPtr(port, &image, slot.nSize);
    if (result != 0 || image == nullptr)
        return false;
    *slot.ppImage = static_cast<std::uint8_t*>(image);
    return true;
}

void CTwinCatIO::Close()
{
    if (!m_bOpen)
        return;
    m_bOpen = false;
    for (const CImageSlot& slot : {GetInputImage(), GetOutputImage()}) {
        if (slot.ppImage != nullptr)
            *slot.ppImage = nullptr;
    }
    if (--g_nDriverUses == 0)
        TCatIoClose();
}

bool CTwinCatIO::InputUpdate()
{
    return m_bOpen && TCatIoInputUpdate(static_cast<unsigned short>(m_nPort)) == 0;
}

bool CTwinCatIO::OutputUpdate()
{
    return m_bOpen && TCatIoOutputUpdate(static_cast<unsigned short>(m_nPort)) == 0;
}

void COutput::SetSwitch(std::uint8_t bit, bool bOn)
{
    if (m_pOutputs == nullptr)
        return;
    m_pOutputs[kSwitches] = static_cast<std::uint8_t>(bOn ? m_pOutputs[kSwitches] | bit : m_pOutputs[kSwitches] & ~bit);
}

bool COutput::GetSwitch(std::uint8_t bit) const
{
    return m_pOutputs != nullptr && (m_pOutputs[kSwitches] & bit) != 0;
}

void COutput::SetWord(int nOffset, std::uint16_t nValue)
{
    if (m_pOutputs == nullptr)
        return;
    m_pOutputs[nOffset] = static_cast<std::uint8_t>(nValue & 0xFF);
    m_pOutputs[nOffset + 1] = static_cast<std::uint8_t>(nValue >> 8);
}
