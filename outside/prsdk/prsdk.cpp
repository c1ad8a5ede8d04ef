#include "outside/prsdk/prsdk.h"

#include "outside/prsdk/prsdksimulator.h"

using kestrun::prsdk::PrsdkSimulator;

extern "C" {

prResponse PR_StartSDK()
{
    return PrsdkSimulator().StartSdk();
}

prResponse PR_FinishSDK()
{
    return PrsdkSimulator().FinishSdk();
}

prResponse PR_GetDeviceList(std::uint32_t* pBufferSize, void* pDeviceList)
{
    return PrsdkSimulator().GetDeviceList(pBufferSize, pDeviceList);
}

prResponse PR_CreateCameraObject(const void* pDeviceEntry, prHandle* phCamera)
{
    return PrsdkSimulator().CreateCameraObject(pDeviceEntry, phCamera);
}

prResponse PR_DestroyCameraObject(prHandle hCamera)
{
    return PrsdkSimulator().DestroyCameraObject(hCamera);
}

prResponse PR_SetEventCallBack(prHandle hCamera, prContext context, prEventCallBack pCallBack)
{
    return PrsdkSimulator().SetEventCallBack(hCamera, context, reinterpret_cast<void*>(pCallBack));
}

prResponse PR_ClearEventCallBack(prHandle hCamera)
{
    return PrsdkSimulator().ClearEventCallBack(hCamera);
}

prResponse PR_ConnectCamera(prHandle hCamera)
{
    return PrsdkSimulator().Connect(hCamera, true);
}

prResponse PR_DisconnectCamera(prHandle hCamera)
{
    return PrsdkSimulator().Connect(hCamera, false);
}

prResponse PR_GetDeviceInfo(prHandle hCamera, std::uint32_t* pBufferSize, void* pDeviceInfo)
{
    return PrsdkSimulator().GetDeviceInfo(hCamera, pBufferSize, pDeviceInfo);
}

prResponse PR_InitiateReleaseControl(prHandle hCamera)
{
    return PrsdkSimulator().ReleaseControl(hCamera, true);
}

prResponse PR_TerminateReleaseControl(prHandle hCamera)
{
    return PrsdkSimulator().ReleaseControl(hCamera, false);
}

prResponse PR_RC_Release(prHandle hCamera)
{
    return PrsdkSimulator().Release(hCamera);
}

prResponse PR_RC_GetReleasedData(prHandle hCamera, std::uint32_t objectHandle, std::uint16_t eventCode,
                                 std::uint32_t transSize, prContext context, prProgressCallBack pCallBack)
{
    return PrsdkSimulator().GetReleasedData(hCamera, objectHandle, eventCode, transSize, context,
                                            reinterpret_cast<void*>(pCallBack));
}

prResponse PR_RC_StartViewFinder(prHandle hCamera, prContext context, prViewFinderCallBack pCallBack)
{
    return PrsdkSimulator().StartViewFinder(hCamera, context, reinterpret_cast<void*>(pCallBack));
}

prResponse PR_RC_TermViewFinder(prHandle hCamera)
{
    return PrsdkSimulator().TermViewFinder(hCamera);
}

prResponse PR_RC_FocusLock(prHandle hCamera)
{
    return PrsdkSimulator().FocusLock(hCamera, true);
}

prResponse PR_RC_FocusUnlock(prHandle hCamera)
{
    return PrsdkSimulator().FocusLock(hCamera, false);
}

prResponse PR_GetDevicePropDesc(prHandle hCamera, std::uint16_t propCode, std::uint32_t* pBufferSize, void* pDesc)
{
    return PrsdkSimulator().GetPropDesc(hCamera, propCode, pBufferSize, pDesc);
}

prResponse PR_GetDevicePropValue(prHandle hCamera, std::uint16_t propCode, std::uint32_t* pBufferSize,
                                 void* pValue)
{
    return PrsdkSimulator().GetPropValue(hCamera, propCode, pBufferSize, pValue);
}

prResponse PR_SetDevicePropValue(prHandle hCamera, std::uint16_t propCode, std::uint32_t size, const void* pValue)
{
    return PrsdkSimulator().SetPropValue(hCamera, propCode, size, pValue);
}

std::uint32_t CDStartSDK(const void* pVersion, std::uint32_t /*option*/)
{
    return PrsdkSimulator().CdStart(pVersion);
}

std::uint32_t CDFinishSDK()
{
    return PrsdkSimulator().CdFinish();
}

} // extern "C"
