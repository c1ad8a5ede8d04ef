#include "outside/tcatio/tcatio.h"

#include "outside/tcatio/simulatedbox.h"

using kestrun::tcatio::SimulatedBox;

extern "C" {

long TCatIoOpen()
{
    return SimulatedBox().Open();
}

long TCatIoClose()
{
    return SimulatedBox().Close();
}

long TCatIoGetInputPtr(unsigned short nPort, void** ppImage, int nSize)
{
    return SimulatedBox().GetImage(nPort, true, ppImage, nSize);
}

long TCatIoGetOutputPtr(unsigned short nPort, void** ppImage, int nSize)
{
    return SimulatedBox().GetImage(nPort, false, ppImage, nSize);
}

long TCatIoInputUpdate(unsigned short nPort)
{
    return SimulatedBox().InputUpdate(nPort);
}

long TCatIoOutputUpdate(unsigned short nPort)
{
    return SimulatedBox().OutputUpdate(nPort);
}

long TCatIoGetCpuTime(std::uint64_t* pTime)
{
    return SimulatedBox().GetCpuTime(pTime);
}

} // extern "C"
