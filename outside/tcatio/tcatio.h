#pragma once
// The TwinCAT I/O driver's seven calls, as the scanning-box library makes
// them. Here they run over the simulated box of simulatedbox.h, in-process.
//
// The original names are stdcall-decorated ("_TCatIoOpen@0"); these are
// their plain C names, which the platform's procedure lookup also finds.

#include <cstdint>

extern "C" {

// 0 when the driver is open, -1 when it cannot be opened.
long TCatIoOpen();
long TCatIoClose();
// Store the address of the port's input or output image of nSize bytes in
// *ppImage; 0 on success.
long TCatIoGetInputPtr(unsigned short nPort, void** ppImage, int nSize);
long TCatIoGetOutputPtr(unsigned short nPort, void** ppImage, int nSize);
// Move the port's images between memory and the bus; 0 on success.
long TCatIoInputUpdate(unsigned short nPort);
long TCatIoOutputUpdate(unsigned short nPort);
// The controller's time in 100-nanosecond units; 0 on success.
long TCatIoGetCpuTime(std::uint64_t* pTime);

} // extern "C"
