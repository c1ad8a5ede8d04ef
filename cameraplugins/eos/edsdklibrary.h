#pragma once
// CEdsdkLibrary: the EOS digital SDK's functions, bound by ordinal from the
// SDK library's export table when the plug-in starts.

#include "outside/edsdk/edsdk.h"

class CEdsdkLibrary
{
public:
    using ProcByOrdinal = void* (*)(unsigned ordinal);

    // 0 when every function is bound, else the first ordinal missing.
    unsigned Bind(ProcByOrdinal byOrdinal);
    bool IsBound() const { return m_bBound; }

    PFN_EdsInitializeSDK InitializeSDK = nullptr;
    PFN_EdsTerminateSDK TerminateSDK = nullptr;
    PFN_EdsRelease Release = nullptr;
    PFN_EdsGetChildCount GetChildCount = nullptr;
    PFN_EdsGetChildAtIndex GetChildAtIndex = nullptr;
    PFN_EdsGetPropertySize GetPropertySize = nullptr;
    PFN_EdsGetPropertyData GetPropertyData = nullptr;
    PFN_EdsSetPropertyData SetPropertyData = nullptr;
    PFN_EdsGetPropertyDesc GetPropertyDesc = nullptr;
    PFN_EdsGetCameraList GetCameraList = nullptr;
    PFN_EdsGetDeviceInfo GetDeviceInfo = nullptr;
    PFN_EdsOpenSession OpenSession = nullptr;
    PFN_EdsCloseSession CloseSession = nullptr;
    PFN_EdsSendCommand SendCommand = nullptr;
    PFN_EdsSendStatusCommand SendStatusCommand = nullptr;
    PFN_EdsSetCapacity SetCapacity = nullptr;
    PFN_EdsGetDirectoryItemInfo GetDirectoryItemInfo = nullptr;
    PFN_EdsDownload Download = nullptr;
    PFN_EdsDownloadComplete DownloadComplete = nullptr;
    PFN_EdsCreateFileStream CreateFileStream = nullptr;
    PFN_EdsCreateMemoryStream CreateMemoryStream = nullptr;
    PFN_EdsGetPointer GetPointer = nullptr;
    PFN_EdsGetLength GetLength = nullptr;
    PFN_EdsSetProgressCallback SetProgressCallback = nullptr;
    PFN_EdsCreateEvfImageRef CreateEvfImageRef = nullptr;
    PFN_EdsDownloadEvfImage DownloadEvfImage = nullptr;
    PFN_EdsSetPropertyEventHandler SetPropertyEventHandler = nullptr;
    PFN_EdsSetObjectEventHandler SetObjectEventHandler = nullptr;
    PFN_EdsSetCameraStateEventHandler SetCameraStateEventHandler = nullptr;

private:
    bool m_bBound = false;
};

// The plug-in's binding.
CEdsdkLibrary& Edsdk();
