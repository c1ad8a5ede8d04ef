#pragma once
// The scanning box's process-image tasks over the TwinCAT I/O driver: each
// task is a fixed I/O port with an input and/or output image that the
// driver maps into memory. The driver is opened with the first task and
// closed with the last (a library-wide use count).

#include "platform/core/clock.h"
#include "platform/core/types.h"

#include <cstdint>

namespace kestrun::tablon {

// Where a task's image pointer goes and how many bytes the driver maps.
struct CImageSlot
{
    std::uint8_t** ppImage = nullptr;
    int nSize = 0;
};

// The driver's CPU time in milliseconds: the box's clock, so that every
// wait runs on the same time as the box (the machine's steady clock when
// the driver cannot tell).
IClock& DriverClock();

// How many tasks hold the driver open.
int DriverUseCount();

} // namespace kestrun::tablon

class CTwinCatIO
{
public:
    explicit CTwinCatIO(int nPort) : m_nPort(nPort) {}
    virtual ~CTwinCatIO();
    CTwinCatIO(const CTwinCatIO&) = delete;
    CTwinCatIO& operator=(const CTwinCatIO&) = delete;

    virtual kestrun::tablon::CImageSlot GetInputImage() { return {}; }
    virtual kestrun::tablon::CImageSlot GetOutputImage() { return {}; }

    // Opens the driver when no task holds it, then maps the images. A task
    // whose images cannot be mapped gives its use of the driver back.
    bool Open();
    void Close();
    bool IsOpen() const { return m_bOpen; }
    // Refresh the input image / send the output image; false when closed.
    bool InputUpdate();
    bool OutputUpdate();

    int m_nPort;

private:
    bool MapImage(const kestrun::tablon::CImageSlot& slot, bool bInput);

    bool m_bOpen = false;
};

// The digital inputs: push button (byte 22 bit 1), emergency stop (byte 28
// bit 1).
class CInput : public CTwinCatIO
{
public:
    static constexpr int kSize = 29;
    CInput() : CTwinCatIO(301) {}
    kestrun::tablon::CImageSlot GetInputImage() override { return {&m_pInputs, kSize}; }

    bool IsButtonPressed() const { return m_pInputs != nullptr && (m_pInputs[22] & 0x02) != 0; }
    bool IsEmergencyStop() const { return m_pInputs != nullptr && (m_pInputs[28] & 0x02) != 0; }

    std::uint8_t* m_pInputs = nullptr;
};

// Lights, lamp and intensities.
class COutput : public CTwinCatIO
{
public:
    static constexpr int kSize = 27;
    static constexpr int kGreenIntensity = 4;
    static constexpr int kSwitches = 22;
    static constexpr int kBacklightIntensity = 23;
    static constexpr int kWhiteIntensity = 25;
    static constexpr std::uint8_t kBacklightBit = 0x01;
    static constexpr std::uint8_t kWhiteBit = 0x04;
    static constexpr std::uint8_t kGreenBit = 0x10;
    static constexpr std::uint8_t kLampBit = 0x40;

    COutput() : CTwinCatIO(303) {}
    kestrun::tablon::CImageSlot GetOutputImage() override { return {&m_pOutputs, kSize}; }

    void SetSwitch(std::uint8_t bit, bool bOn);
    bool GetSwitch(std::uint8_t bit) const;
    void SetWord(int nOffset, std::uint16_t nValue);

    std::uint8_t* m_pOutputs = nullptr;
};
