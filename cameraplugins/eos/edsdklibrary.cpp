#include "cameraplugins/eos/edsdklibrary.h"

namespace {

template <class F>
bool BindOne(CEdsdkLibrary::ProcByOrdinal byOrdinal, unsigned ordinal, F& function, unsigned& missing)
{
    function = reinterpret_cast<F>(byOrdinal(ordinal));
    if (function == nullptr && missing == 0)
        missing = ordinal;
    return function != nullptr;
}

} // namespace

unsigned CEdsdkLibrary::Bind(ProcByOrdinal byOrdinal)
{
    unsigned missing = 0;
    BindOne(byOrdinal, 1, InitializeSDK, missing);
    BindOne(byOrdinal, 2, TerminateSDK, missing);
    BindOne(byOrdinal, 4, Release, missing);
    BindOne(byOrdinal, 5, GetChildCount, missing);
    BindOne(byOrdinal, 6, GetChildAtIndex, missing);
    BindOne(byOrdinal, 8, GetPropertySize, missing);
    BindOne(byOrdinal, 9, GetPropertyData, missing);
    BindOne(byOrdinal, 10, SetPropertyData, missing);
    BindOne(byOrdinal, 11, GetPropertyDesc, missing);
    BindOne(byOrdinal, 12, GetCameraList, missing);
    BindOne(byOrdinal, 13, GetDeviceInfo, missing);
    BindOne(byOrdinal, 14, OpenSession, missing);
    BindOne(byOrdinal, 15, CloseSession, missing);
    BindOne(byOrdinal, 16, SendCommand, missing);
    BindOne(byOrdinal, 17, SendStatusCommand, missing);
    BindOne(byOrdinal, 18, SetCapacity, missing);
    BindOne(byOrdinal, 21, GetDirectoryItemInfo, missing);
    BindOne(byOrdinal, 23, Download, missing);
    BindOne(byOrdinal, 25, DownloadComplete, missing);
    BindOne(byOrdinal, 29, CreateFileStream, missing);
    BindOne(byOrdinal, 30, CreateMemoryStream, missing);
    BindOne(byOrdinal, 33, GetPointer, missing);
    BindOne(byOrdinal, 38, GetLength, missing);
    BindOne(byOrdinal, 40, SetProgressCallback, missing);
    BindOne(byOrdinal, 47, CreateEvfImageRef, missing);
    BindOne(byOrdinal, 48, DownloadEvfImage, missing);
    BindOne(byOrdinal, 50, SetPropertyEventHandler, missing);
    BindOne(byOrdinal, 51, SetObjectEventHandler, missing);
    BindOne(byOrdinal, 52, SetCameraStateEventHandler, missing);
    m_bBound = missing == 0;
    return missing;
}

CEdsdkLibrary& Edsdk()
{
    static CEdsdkLibrary library;
    return library;
}
