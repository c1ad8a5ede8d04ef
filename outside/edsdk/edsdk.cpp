#include "outside/edsdk/edsdk.h"

#include "outside/edsdk/edsdksimulator.h"

#include <utility>

using kestrun::edsdk::EdsdkSimulator;

namespace {

EdsError EdsInitializeSDK()
{
    return EdsdkSimulator().InitializeSDK();
}

EdsError EdsTerminateSDK()
{
    return EdsdkSimulator().TerminateSDK();
}

EdsUInt32 EdsRelease(EdsBaseRef ref)
{
    return EdsdkSimulator().Release(ref);
}

EdsError EdsGetChildCount(EdsBaseRef ref, EdsUInt32* count)
{
    return EdsdkSimulator().GetChildCount(ref, count);
}

EdsError EdsGetChildAtIndex(EdsBaseRef ref, EdsInt32 index, EdsBaseRef* child)
{
    return EdsdkSimulator().GetChildAtIndex(ref, index, child);
}

EdsError EdsGetPropertySize(EdsBaseRef ref, EdsPropertyID id, EdsInt32, EdsDataType* type, EdsUInt32* size)
{
    if (type == nullptr || size == nullptr)
        return EDS_ERR_INVALID_PARAMETER;
    return EdsdkSimulator().GetPropertySize(ref, id, type, size);
}

EdsError EdsGetPropertyData(EdsBaseRef ref, EdsPropertyID id, EdsInt32, EdsUInt32 size, void* data)
{
    return EdsdkSimulator().GetPropertyData(ref, id, size, data);
}

EdsError EdsSetPropertyData(EdsBaseRef ref, EdsPropertyID id, EdsInt32, EdsUInt32 size, const void* data)
{
    return EdsdkSimulator().SetPropertyData(ref, id, size, data);
}

EdsError EdsGetPropertyDesc(EdsBaseRef ref, EdsPropertyID id, EdsPropertyDesc* desc)
{
    return EdsdkSimulator().GetPropertyDesc(ref, id, desc);
}

EdsError EdsGetCameraList(EdsCameraListRef* list)
{
    return EdsdkSimulator().GetCameraList(list);
}

EdsError EdsGetDeviceInfo(EdsCameraRef camera, EdsDeviceInfo* info)
{
    return EdsdkSimulator().GetDeviceInfo(camera, info);
}

EdsError EdsOpenSession(EdsCameraRef camera)
{
    return EdsdkSimulator().OpenSession(camera);
}

EdsError EdsCloseSession(EdsCameraRef camera)
{
    return EdsdkSimulator().CloseSession(camera);
}

EdsError EdsSendCommand(EdsCameraRef camera, EdsCameraCommand command, EdsInt32 param)
{
    return EdsdkSimulator().SendCommand(camera, command, param);
}

EdsError EdsSendStatusCommand(EdsCameraRef camera, EdsCameraStatusCommand command, EdsInt32 param)
{
    return EdsdkSimulator().SendStatusCommand(camera, command, param);
}

EdsError EdsSetCapacity(EdsCameraRef camera, EdsCapacity capacity)
{
    return EdsdkSimulator().SetCapacity(camera, capacity);
}

EdsError EdsGetDirectoryItemInfo(EdsDirectoryItemRef item, EdsDirectoryItemInfo* info)
{
    return EdsdkSimulator().GetDirectoryItemInfo(item, info);
}

EdsError EdsDownload(EdsDirectoryItemRef item, EdsUInt64 size, EdsStreamRef stream)
{
    return EdsdkSimulator().Download(item, size, stream);
}

EdsError EdsDownloadComplete(EdsDirectoryItemRef item)
{
    return EdsdkSimulator().DownloadComplete(item);
}

EdsError EdsCreateFileStream(const char* path, EdsUInt32, EdsUInt32, EdsStreamRef* stream)
{
    return EdsdkSimulator().CreateFileStream(path, stream);
}

EdsError EdsCreateMemoryStream(EdsUInt64 size, EdsStreamRef* stream)
{
    return EdsdkSimulator().CreateMemoryStream(size, stream);
}

EdsError EdsGetPointer(EdsStreamRef stream, void** pointer)
{
    return EdsdkSimulator().GetPointer(stream, pointer);
}

EdsError EdsGetLength(EdsStreamRef stream, EdsUInt64* length)
{
    return EdsdkSimulator().GetLength(stream, length);
}

EdsError EdsSetProgressCallback(EdsBaseRef ref, EdsProgressCallback callback, EdsUInt32, void* context)
{
    return EdsdkSimulator().SetProgressCallback(ref, callback, context);
}

EdsError EdsCreateEvfImageRef(EdsStreamRef stream, EdsEvfImageRef* image)
{
    return EdsdkSimulator().CreateEvfImageRef(stream, image);
}

EdsError EdsDownloadEvfImage(EdsCameraRef camera, EdsEvfImageRef image)
{
    return EdsdkSimulator().DownloadEvfImage(camera, image);
}

EdsError EdsSetPropertyEventHandler(EdsCameraRef camera, EdsPropertyEvent, EdsPropertyEventHandler handler,
                                    void* context)
{
    return EdsdkSimulator().SetPropertyEventHandler(camera, handler, context);
}

EdsError EdsSetObjectEventHandler(EdsCameraRef camera, EdsObjectEvent, EdsObjectEventHandler handler, void* context)
{
    return EdsdkSimulator().SetObjectEventHandler(camera, handler, context);
}

EdsError EdsSetCameraStateEventHandler(EdsCameraRef camera, EdsStateEvent, EdsStateEventHandler handler,
                                       void* context)
{
    return EdsdkSimulator().SetStateEventHandler(camera, handler, context);
}

template <class F>
void* Proc(F* f)
{
    return reinterpret_cast<void*>(f);
}

} // namespace

extern "C" __attribute__((visibility("default"))) void* EdsProcByOrdinal(unsigned ordinal)
{
    static const std::pair<unsigned, void*> table[] = {
        {1, Proc(&EdsInitializeSDK)},
        {2, Proc(&EdsTerminateSDK)},
        {4, Proc(&EdsRelease)},
        {5, Proc(&EdsGetChildCount)},
        {6, Proc(&EdsGetChildAtIndex)},
        {8, Proc(&EdsGetPropertySize)},
        {9, Proc(&EdsGetPropertyData)},
        {10, Proc(&EdsSetPropertyData)},
        {11, Proc(&EdsGetPropertyDesc)},
        {12, Proc(&EdsGetCameraList)},
        {13, Proc(&EdsGetDeviceInfo)},
        {14, Proc(&EdsOpenSession)},
        {15, Proc(&EdsCloseSession)},
        {16, Proc(&EdsSendCommand)},
        {17, Proc(&EdsSendStatusCommand)},
        {18, Proc(&EdsSetCapacity)},
        {21, Proc(&EdsGetDirectoryItemInfo)},
        {23, Proc(&EdsDownload)},
        {25, Proc(&EdsDownloadComplete)},
        {29, Proc(&EdsCreateFileStream)},
        {30, Proc(&EdsCreateMemoryStream)},
        {33, Proc(&EdsGetPointer)},
        {38, Proc(&EdsGetLength)},
        {40, Proc(&EdsSetProgressCallback)},
        {47, Proc(&EdsCreateEvfImageRef)},
        {48, Proc(&EdsDownloadEvfImage)},
        {50, Proc(&EdsSetPropertyEventHandler)},
        {51, Proc(&EdsSetObjectEventHandler)},
        {52, Proc(&EdsSetCameraStateEventHandler)},
    };
    for (const auto& [number, proc] : table) {
        if (number == ordinal)
            return proc;
    }
    return nullptr;
}
