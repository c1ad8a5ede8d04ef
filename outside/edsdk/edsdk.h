#pragma once
// The EOS digital SDK as the EOS camera plug-in binds it: by ordinal, through
// EdsProcByOrdinal, the library's export table. The calls run over the
// simulated camera of edsdksimulator.h, in-process. Every call answers 0
// on success, else an error code.

#include <cstdint>

extern "C" {

using EdsError = std::uint32_t;
using EdsUInt32 = std::uint32_t;
using EdsInt32 = std::int32_t;
using EdsUInt64 = std::uint64_t;
using EdsPropertyID = std::uint32_t;
using EdsDataType = std::uint32_t;
using EdsCameraCommand = std::uint32_t;
using EdsCameraStatusCommand = std::uint32_t;
using EdsPropertyEvent = std::uint32_t;
using EdsObjectEvent = std::uint32_t;
using EdsStateEvent = std::uint32_t;

// References are opaque; the SDK tells them apart.
struct EdsObjectOpaque;
using EdsBaseRef = EdsObjectOpaque*;
using EdsCameraListRef = EdsBaseRef;
using EdsCameraRef = EdsBaseRef;
using EdsDirectoryItemRef = EdsBaseRef;
using EdsStreamRef = EdsBaseRef;
using EdsEvfImageRef = EdsBaseRef;

// ---- error codes the plug-in tells apart ----
inline constexpr EdsError EDS_ERR_OK = 0;
inline constexpr EdsError EDS_ERR_INTERNAL_ERROR = 0x00000002;
inline constexpr EdsError EDS_ERR_NOT_SUPPORTED = 0x00000007;
inline constexpr EdsError EDS_ERR_INVALID_PARAMETER = 0x00000060;
inline constexpr EdsError EDS_ERR_INVALID_HANDLE = 0x00000061;
inline constexpr EdsError EDS_ERR_PROPERTIES_MISMATCH = 0x00000051;
inline constexpr EdsError EDS_ERR_DEVICE_NOT_FOUND = 0x00000080;
inline constexpr EdsError EDS_ERR_DEVICE_BUSY = 0x00000081;
inline constexpr EdsError EDS_ERR_SESSION_NOT_OPEN = 0x000000C3;
inline constexpr EdsError EDS_ERR_FILE_IO = 0x00000020;
inline constexpr EdsError EDS_ERR_NOT_INITIALIZED = 0x000000A2;
inline constexpr EdsError EDS_ERR_TRANSFER_FAILED = 0x00002001;
inline constexpr EdsError EDS_ERR_AF_FAILED = 0x00008D01;
inline constexpr EdsError EDS_ERR_OBJECT_NOTREADY = 0x0000A102;

// ---- data types of properties ----
inline constexpr EdsDataType kEdsDataType_String = 2;
inline constexpr EdsDataType kEdsDataType_UInt32 = 9;
inline constexpr EdsDataType kEdsDataType_Point = 13;
inline constexpr EdsDataType kEdsDataType_ByteBlock = 14;
inline constexpr EdsDataType kEdsDataType_FocusInfo = 101;

// ---- properties ----
inline constexpr EdsPropertyID kEdsPropID_ProductName = 0x0002;
inline constexpr EdsPropertyID kEdsPropID_FirmwareVersion = 0x0007;
inline constexpr EdsPropertyID kEdsPropID_SaveTo = 0x000B;
inline constexpr EdsPropertyID kEdsPropID_ImageQuality = 0x0100;
inline constexpr EdsPropertyID kEdsPropID_FocusInfo = 0x0104;
inline constexpr EdsPropertyID kEdsPropID_AEMode = 0x0400;
inline constexpr EdsPropertyID kEdsPropID_ISOSpeed = 0x0402;
inline constexpr EdsPropertyID kEdsPropID_MeteringMode = 0x0403;
inline constexpr EdsPropertyID kEdsPropID_Av = 0x0405;
inline constexpr EdsPropertyID kEdsPropID_Tv = 0x0406;
inline constexpr EdsPropertyID kEdsPropID_ExposureCompensation = 0x0407;
inline constexpr EdsPropertyID kEdsPropID_Evf_OutputDevice = 0x0500;
inline constexpr EdsPropertyID kEdsPropID_Evf_Mode = 0x0501;
inline constexpr EdsPropertyID kEdsPropID_Evf_DepthOfFieldPreview = 0x0504;
inline constexpr EdsPropertyID kEdsPropID_Evf_Zoom = 0x0507;
inline constexpr EdsPropertyID kEdsPropID_Evf_ZoomPosition = 0x0508;
inline constexpr EdsPropertyID kEdsPropID_Evf_Histogram = 0x050A;
inline constexpr EdsPropertyID kEdsPropID_Evf_ImagePosition = 0x050B;
inline constexpr EdsPropertyID kEdsPropID_Evf_AFMode = 0x050E;
inline constexpr EdsPropertyID kEdsPropID_Unknown = 0xFFFF;

// Bit of the live-view output device: the computer.
inline constexpr EdsUInt32 kEdsEvfOutputDevice_PC = 2;
// Save-to: the host.
inline constexpr EdsUInt32 kEdsSaveTo_Host = 2;

// ---- camera and status commands ----
inline constexpr EdsCameraCommand kEdsCameraCommand_TakePicture = 0x0000;
inline constexpr EdsCameraCommand kEdsCameraCommand_PressShutterButton = 0x0004;
inline constexpr EdsCameraCommand kEdsCameraCommand_DoEvfAf = 0x0102;
inline constexpr EdsCameraCommand kEdsCameraCommand_DriveLensEvf = 0x0103;
inline constexpr EdsCameraStatusCommand kEdsCameraStatusCommand_UILock = 0;
inline constexpr EdsCameraStatusCommand kEdsCameraStatusCommand_UIUnLock = 1;

// ---- events ----
inline constexpr EdsPropertyEvent kEdsPropertyEvent_All = 0x0100;
inline constexpr EdsPropertyEvent kEdsPropertyEvent_PropertyChanged = 0x0101;
inline constexpr EdsPropertyEvent kEdsPropertyEvent_PropertyDescChanged = 0x0102;
inline constexpr EdsObjectEvent kEdsObjectEvent_All = 0x0200;
inline constexpr EdsObjectEvent kEdsObjectEvent_DirItemRequestTransfer = 0x0208;
inline constexpr EdsStateEvent kEdsStateEvent_All = 0x0300;
inline constexpr EdsStateEvent kEdsStateEvent_Shutdown = 0x0301;

// ---- file streams ----
inline constexpr EdsUInt32 kEdsFileCreateDisposition_CreateAlways = 1;
inline constexpr EdsUInt32 kEdsAccess_ReadWrite = 2;
inline constexpr EdsUInt32 kEdsProgressOption_Periodically = 2;

inline constexpr int kEdsMaxDescValues = 128;
inline constexpr int kEdsMaxFocusPoints = 128;

struct EdsPoint
{
    EdsInt32 x;
    EdsInt32 y;
};

struct EdsSize
{
    EdsInt32 width;
    EdsInt32 height;
};

struct EdsRect
{
    EdsPoint point;
    EdsSize size;
};

// 524 bytes.
struct EdsPropertyDesc
{
    EdsInt32 form;
    EdsInt32 access;
    EdsInt32 numElements;
    EdsInt32 propDesc[kEdsMaxDescValues];
};

struct EdsDeviceInfo
{
    char szPortName[256];
    char szDeviceDescription[256];
    EdsUInt32 deviceSubType;
};

struct EdsCapacity
{
    EdsInt32 numberOfFreeClusters;
    EdsInt32 bytesPerSector;
    EdsUInt32 reset;
};

struct EdsDirectoryItemInfo
{
    EdsUInt32 size;
    EdsUInt32 isFolder;
    EdsUInt32 groupID;
    EdsUInt32 option;
    char szFileName[256];
};

struct EdsFocusPoint
{
    EdsUInt32 valid;
    EdsUInt32 selected;
    EdsUInt32 justFocus;
    EdsRect rect;
    EdsUInt32 reserved;
};

// 4116 bytes, kept whole by the plug-in.
struct EdsFocusInfo
{
    EdsRect imageRect;
    EdsUInt32 pointNumber;
    EdsFocusPoint focusPoint[kEdsMaxFocusPoints];
};

static_assert(sizeof(EdsPropertyDesc) == 524);
static_assert(sizeof(EdsFocusInfo) == 4116);

using EdsPropertyEventHandler = EdsError (*)(EdsPropertyEvent event, EdsPropertyID property, EdsUInt32 param,
                                             void* context);
using EdsObjectEventHandler = EdsError (*)(EdsObjectEvent event, EdsBaseRef ref, void* context);
using EdsStateEventHandler = EdsError (*)(EdsStateEvent event, EdsUInt32 param, void* context);
using EdsProgressCallback = EdsError (*)(EdsUInt32 percent, void* context, int* cancel);

// The functions behind the ordinals.
using PFN_EdsInitializeSDK = EdsError (*)();                                             // 1
using PFN_EdsTerminateSDK = EdsError (*)();                                              // 2
using PFN_EdsRelease = EdsUInt32 (*)(EdsBaseRef ref);                                    // 4
using PFN_EdsGetChildCount = EdsError (*)(EdsBaseRef ref, EdsUInt32* count);             // 5
using PFN_EdsGetChildAtIndex = EdsError (*)(EdsBaseRef ref, EdsInt32 index, EdsBaseRef* child); // 6
using PFN_EdsGetPropertySize = EdsError (*)(EdsBaseRef ref, EdsPropertyID id, EdsInt32 param, EdsDataType* type,
                                            EdsUInt32* size); // 8
using PFN_EdsGetPropertyData = EdsError (*)(EdsBaseRef ref, EdsPropertyID id, EdsInt32 param, EdsUInt32 size,
                                            void* data); // 9
using PFN_EdsSetPropertyData = EdsError (*)(EdsBaseRef ref, EdsPropertyID id, EdsInt32 param, EdsUInt32 size,
                                            const void* data); // 10
using PFN_EdsGetPropertyDesc = EdsError (*)(EdsBaseRef ref, EdsPropertyID id, EdsPropertyDesc* desc); // 11
using PFN_EdsGetCameraList = EdsError (*)(EdsCameraListRef* list);                                      // 12
using PFN_EdsGetDeviceInfo = EdsError (*)(EdsCameraRef camera, EdsDeviceInfo* info);                    // 13
using PFN_EdsOpenSession = EdsError (*)(EdsCameraRef camera);                                           // 14
using PFN_EdsCloseSession = EdsError (*)(EdsCameraRef camera);                                          // 15
using PFN_EdsSendCommand = EdsError (*)(EdsCameraRef camera, EdsCameraCommand command, EdsInt32 param); // 16
using PFN_EdsSendStatusCommand = EdsError (*)(EdsCameraRef camera, EdsCameraStatusCommand command,
                                              EdsInt32 param);                                         // 17
using PFN_EdsSetCapacity = EdsError (*)(EdsCameraRef camera, EdsCapacity capacity);                     // 18
using PFN_EdsGetDirectoryItemInfo = EdsError (*)(EdsDirectoryItemRef item, EdsDirectoryItemInfo* info); // 21
using PFN_EdsDownload = EdsError (*)(EdsDirectoryItemRef item, EdsUInt64 size, EdsStreamRef stream);    // 23
using PFN_EdsDownloadComplete = EdsError (*)(EdsDirectoryItemRef item);                                 // 25
using PFN_EdsCreateFileStream = EdsError (*)(const char* path, EdsUInt32 disposition, EdsUInt32 access,
                                             EdsStreamRef* stream);                         // 29
using PFN_EdsCreateMemoryStream = EdsError (*)(EdsUInt64 size, EdsStreamRef* stream);       // 30
using PFN_EdsGetPointer = EdsError (*)(EdsStreamRef stream, void** pointer);                // 33
using PFN_EdsGetLength = EdsError (*)(EdsStreamRef stream, EdsUInt64* length);              // 38
using PFN_EdsSetProgressCallback = EdsError (*)(EdsBaseRef ref, EdsProgressCallback callback, EdsUInt32 option,
                                                void* context);                             // 40
using PFN_EdsCreateEvfImageRef = EdsError (*)(EdsStreamRef stream, EdsEvfImageRef* image); // 47
using PFN_EdsDownloadEvfImage = EdsError (*)(EdsCameraRef camera, EdsEvfImageRef image);   // 48
using PFN_EdsSetPropertyEventHandler = EdsError (*)(EdsCameraRef camera, EdsPropertyEvent event,
                                                    EdsPropertyEventHandler handler, void* context); // 50
using PFN_EdsSetObjectEventHandler = EdsError (*)(EdsCameraRef camera, EdsObjectEvent event,
                                                  EdsObjectEventHandler handler, void* context); // 51
using PFN_EdsSetCameraStateEventHandler = EdsError (*)(EdsCameraRef camera, EdsStateEvent event,
                                                       EdsStateEventHandler handler, void* context); // 52

// The library's export table: the function of an ordinal, null for an
// ordinal the library does not export.
void* EdsProcByOrdinal(unsigned ordinal);

} // extern "C"
