#include "cameraplugins/eos/evfcommands.h"

#include "cameraplugins/eos/edsdklibrary.h"

#include <filesystem>
#include <system_error>

namespace {

constexpr EdsUInt64 kEvfStreamSize = 0x200000;
// The camera needs this after the depth-of-field preview ends.
constexpr DWORD kPreviewEndMs = 500;

struct CProductSize
{
    const char* name;
    EdsSize size;
};

constexpr CProductSize kProductSizes[] = {
    {"Canon EOS-1Ds Mark III", {5616, 3744}}, {"Canon EOS 5D Mark II", {5616, 3744}},
    {"Canon EOS-1D Mark III", {3888, 2592}},  {"Canon EOS 40D", {3888, 2592}},
    {"Canon EOS Kiss F", {3888, 2592}},       {"Canon EOS DIGITAL REBEL XS", {3888, 2592}},
    {"Canon EOS 1000D", {3888, 2592}},        {"Canon EOS 50D", {4752, 3168}},
    {"Canon EOS Kiss X3", {4752, 3168}},      {"Canon EOS DIGITAL REBEL T1i", {4752, 3168}},
    {"Canon EOS 500D", {4752, 3168}},         {"Canon EOS Kiss X2", {4272, 2848}},
    {"Canon EOS DIGITAL REBEL XSi", {4272, 2848}}, {"Canon EOS 450D", {4272, 2848}},
};

bool HasComputerBit(EdsUInt32 device)
{
    return (device & kEdsEvfOutputDevice_PC) != 0;
}

} // namespace

EdsSize FullPictureSizeOf(const std::string& productName)
{
    for (const CProductSize& entry : kProductSizes) {
        if (productName == entry.name)
            return entry.size;
    }
    return {0, 0};
}

DownloadCommand::~DownloadCommand()
{
    if (m_item != nullptr)
        Edsdk().Release(m_item);
}

EdsError DownloadCommand::ProgressFunc(EdsUInt32 percent, void* context, int*)
{
    auto* model = static_cast<CameraModel*>(context);
    model->notifyObservers("ProgressReport", &percent);
    return EDS_ERR_OK;
}

bool DownloadCommand::execute()
{
    EdsDirectoryItemInfo info{};
    EdsError error = Edsdk().GetDirectoryItemInfo(m_item, &info);
    if (error == EDS_ERR_OK)
        m_model->notifyObservers("DownloadStart", m_item);
    EdsStreamRef stream = nullptr;
    std::string path;
    const std::string folder = m_model->getPictureFolder();
    if (error == EDS_ERR_OK && !folder.empty()) {
        // A name of its own: the next picture does not overwrite this one.
        path = kestrun::camplugin::TimeStampedPictureName(folder.c_str(), m_clock ? m_clock() : LocalNow())
                   .GetString();
        path = path.substr(0, kOstrelMaxPath);
        error = Edsdk().CreateFileStream(path.c_str(), kEdsFileCreateDisposition_CreateAlways, kEdsAccess_ReadWrite,
                                         &stream);
    }
    if (error == EDS_ERR_OK && stream != nullptr)
        error = Edsdk().SetProgressCallback(stream, &DownloadCommand::ProgressFunc, kEdsProgressOption_Periodically,
                                            m_model);
    if (error == EDS_ERR_OK) {
        error = Edsdk().Download(m_item, info.size, stream);
        if (error == EDS_ERR_OK)
            error = Edsdk().DownloadComplete(m_item);
    }
    Edsdk().Release(m_item);
    m_item = nullptr;
    if (stream != nullptr)
        Edsdk().Release(stream);
    if (error != EDS_ERR_OK) {
        // A broken picture is not left where it could pass for a good one.
        if (!path.empty()) {
            std::error_code ignored;
            std::filesystem::remove(path, ignored);
        }
        notifyError(error);
        return true;
    }
    m_model->setLastDownloadPath(path);
    m_model->notifyObservers("DownloadComplete", const_cast<char*>(path.c_str()));
    return true;
}

bool StartEvfCommand::execute()
{
    EdsError error = EDS_ERR_OK;
    if (m_model->getPropertyUInt32(kEdsPropID_Evf_Mode) == 0) {
        const EdsUInt32 mode = 1;
        error = Edsdk().SetPropertyData(camera(), kEdsPropID_Evf_Mode, 0, sizeof mode, &mode);
    }
    if (error == EDS_ERR_OK) {
        const EdsUInt32 device = m_model->getPropertyUInt32(kEdsPropID_Evf_OutputDevice) | kEdsEvfOutputDevice_PC;
        error = Edsdk().SetPropertyData(camera(), kEdsPropID_Evf_OutputDevice, 0, sizeof device, &device);
    }
    return finish(error, true);
}

bool EndEvfCommand::execute()
{
    const EdsUInt32 device = m_model->getPropertyUInt32(kEdsPropID_Evf_OutputDevice);
    if (!HasComputerBit(device))
        return true;
    EdsError error = EDS_ERR_OK;
    if (m_model->getPropertyUInt32(kEdsPropID_Evf_DepthOfFieldPreview) != 0) {
        const EdsUInt32 off = 0;
        error = Edsdk().SetPropertyData(camera(), kEdsPropID_Evf_DepthOfFieldPreview, 0, sizeof off, &off);
        if (error == EDS_ERR_OK)
            m_clock.SleepMs(kPreviewEndMs);
    }
    if (error == EDS_ERR_OK) {
        const EdsUInt32 without = device & ~kEdsEvfOutputDevice_PC;
        error = Edsdk().SetPropertyData(camera(), kEdsPropID_Evf_OutputDevice, 0, sizeof without, &without);
    }
    if (error == EDS_ERR_OK)
        return true;
    finish(error, true);
    return false;
}

bool DownloadEvfCommand::execute()
{
    if (!HasComputerBit(m_model->getPropertyUInt32(kEdsPropID_Evf_OutputDevice)))
        return true;
    EdsStreamRef stream = nullptr;
    EdsEvfImageRef image = nullptr;
    EdsError error = Edsdk().CreateMemoryStream(kEvfStreamSize, &stream);
    if (error == EDS_ERR_OK)
        error = Edsdk().CreateEvfImageRef(stream, &image);
    if (error == EDS_ERR_OK)
        error = Edsdk().DownloadEvfImage(camera(), image);
    if (error == EDS_ERR_OK) {
        EvfDataSet data;
        data.stream = stream;
        Edsdk().GetPropertyData(image, kEdsPropID_Evf_Zoom, 0, sizeof data.zoom, &data.zoom);
        Edsdk().GetPropertyData(image, kEdsPropID_Evf_ZoomPosition, 0, sizeof data.zoomPosition, &data.zoomPosition);
        Edsdk().GetPropertyData(image, kEdsPropID_Evf_ImagePosition, 0, sizeof data.imagePosition,
                                data.imagePosition);
        Edsdk().GetPropertyData(image, kEdsPropID_Evf_Histogram, 0, sizeof data.histogram, data.histogram);
        data.sizeJpegLarge = FullPictureSizeOf(m_model->getModelName());
        m_model->setPropertyUInt32(kEdsPropID_Evf_Zoom, data.zoom);
        m_model->setEvfZoomPosition(data.zoomPosition);
        m_model->notifyObservers("EvfDataChanged", &data);
    }
    if (image != nullptr)
        Edsdk().Release(image);
    if (stream != nullptr)
        Edsdk().Release(stream);
    // Not ready yet: asked again, without a word.
    if (error == EDS_ERR_OBJECT_NOTREADY)
        return false;
    return finish(error, true);
}
