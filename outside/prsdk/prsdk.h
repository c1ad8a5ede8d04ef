#pragma once
// The PowerShot remote-capture SDK calls the camera plug-in makes. Here they
// run over the simulated cameras of prsdksimulator.h, in-process, bound by
// name like the real SDK. Every call answers 0 on success, else an error
// code; a caller may rely on nothing else.
//
// Records, little-endian:
// - device list: 32-bit count, then that many 1108-byte entries; an entry
//   holds the device's 32-bit id at byte 0 and its name in UTF-16,
//   zero-terminated, at byte 1024 (at most 31 code units);
// - event record (16 bytes): event code, 16-bit, at byte 6; its parameter,
//   32-bit, at byte 12;
// - property descriptor: code (16), data type (16: 2 unsigned 8-bit,
//   4 unsigned 16-bit), get/set (8: 1 settable), default and current value
//   (each of the type's size), form flag (8: 0 none, 1 range, 2 enumeration),
//   then for a range minimum, maximum and step, for an enumeration a 16-bit
//   count and the values.

#include <cstdint>

extern "C" {

using prResponse = std::uint32_t;
using prHandle = std::uintptr_t;
using prContext = std::uintptr_t;

inline constexpr std::uint32_t kPrDeviceEntrySize = 1108;
inline constexpr std::uint32_t kPrDeviceNameOffset = 1024;
inline constexpr std::uint32_t kPrEventRecordSize = 16;

// Status words of a released-data progress record.
inline constexpr std::uint32_t kPrProgressStart = 1;
inline constexpr std::uint32_t kPrProgressData = 2;
inline constexpr std::uint32_t kPrProgressEnd = 4;

struct prProgress
{
    std::uint32_t lStatus;
    std::uint32_t lPercentComplete;
    std::uint32_t lOffset;
    std::uint32_t lLength;
    const std::uint8_t* pbData;
};

using prEventCallBack = prResponse (*)(prHandle hCamera, prContext context, void* pEventData);
using prViewFinderCallBack = prResponse (*)(prHandle hCamera, prContext context, std::uint32_t size,
                                            const void* pData);
using prProgressCallBack = prResponse (*)(prHandle hCamera, prContext context, const prProgress* pProgress);

prResponse PR_StartSDK();
prResponse PR_FinishSDK();
// *pBufferSize holds the buffer's size; when the list does not fit, the
// answer's low 16 bits are 99 and *pBufferSize the size it needs.
prResponse PR_GetDeviceList(std::uint32_t* pBufferSize, void* pDeviceList);
prResponse PR_CreateCameraObject(const void* pDeviceEntry, prHandle* phCamera);
prResponse PR_DestroyCameraObject(prHandle hCamera);
prResponse PR_SetEventCallBack(prHandle hCamera, prContext context, prEventCallBack pCallBack);
prResponse PR_ClearEventCallBack(prHandle hCamera);
prResponse PR_ConnectCamera(prHandle hCamera);
prResponse PR_DisconnectCamera(prHandle hCamera);
prResponse PR_GetDeviceInfo(prHandle hCamera, std::uint32_t* pBufferSize, void* pDeviceInfo);
prResponse PR_InitiateReleaseControl(prHandle hCamera);
prResponse PR_TerminateReleaseControl(prHandle hCamera);
// Takes a picture; the events 0xC008 (the picture's object id) and 0xC009
// have reached the event call-back when it returns.
prResponse PR_RC_Release(prHandle hCamera);
// Hands the released picture to the call-back in blocks of at most
// transSize bytes, on the calling thread.
prResponse PR_RC_GetReleasedData(prHandle hCamera, std::uint32_t objectHandle, std::uint16_t eventCode,
                                 std::uint32_t transSize, prContext context, prProgressCallBack pCallBack);
prResponse PR_RC_StartViewFinder(prHandle hCamera, prContext context, prViewFinderCallBack pCallBack);
prResponse PR_RC_TermViewFinder(prHandle hCamera);
prResponse PR_RC_FocusLock(prHandle hCamera);
prResponse PR_RC_FocusUnlock(prHandle hCamera);
prResponse PR_GetDevicePropDesc(prHandle hCamera, std::uint16_t propCode, std::uint32_t* pBufferSize,
                                void* pDesc);
prResponse PR_GetDevicePropValue(prHandle hCamera, std::uint16_t propCode, std::uint32_t* pBufferSize,
                                 void* pValue);
prResponse PR_SetDevicePropValue(prHandle hCamera, std::uint16_t propCode, std::uint32_t size,
                                 const void* pValue);

// The older SDK, started only for its side effects. pVersion points to a
// 40-byte record; only the low 16 bits of an answer tell an error.
std::uint32_t CDStartSDK(const void* pVersion, std::uint32_t option);
std::uint32_t CDFinishSDK();

} // extern "C"
