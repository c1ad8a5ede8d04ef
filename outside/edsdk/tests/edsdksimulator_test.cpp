// The simulated EOS SDK through its ordinals, as the plug-in binds it.

#include "outside/edsdk/edsdk.h"
#include "outside/edsdk/edsdksimulator.h"

#include <gtest/gtest.h>
#include <opencv2/imgcodecs.hpp>

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <vector>

using namespace kestrun::edsdk;

namespace {

template <class F>
F Ordinal(unsigned n)
{
    return reinterpret_cast<F>(EdsProcByOrdinal(n));
}

// What the event handlers received.
struct CEdsEventLog
{
    std::mutex mutex;
    std::vector<std::pair<EdsUInt32, EdsUInt32>> properties;
    std::vector<EdsBaseRef> items;
    std::vector<EdsUInt32> states;
};

EdsError OnEdsProperty(EdsPropertyEvent event, EdsPropertyID id, EdsUInt32, void* context)
{
    auto* log = static_cast<CEdsEventLog*>(context);
    std::lock_guard lock(log->mutex);
    log->properties.emplace_back(event, id);
    return 0;
}

EdsError OnEdsObject(EdsObjectEvent, EdsBaseRef ref, void* context)
{
    auto* log = static_cast<CEdsEventLog*>(context);
    std::lock_guard lock(log->mutex);
    log->items.push_back(ref);
    return 0;
}

EdsError OnEdsState(EdsStateEvent event, EdsUInt32, void* context)
{
    auto* log = static_cast<CEdsEventLog*>(context);
    std::lock_guard lock(log->mutex);
    log->states.push_back(event);
    return 0;
}

std::vector<int> g_progress;
EdsError OnEdsProgress(EdsUInt32 percent, void*, int*)
{
    g_progress.push_back(static_cast<int>(percent));
    return 0;
}

class EdsdkSimulatorTest : public ::testing::Test
{
protected:
    void SetUp() override { EdsdkSimulator().Reset(); }
    void TearDown() override { EdsdkSimulator().Reset(); }

    // Started, first camera, session open, handlers set.
    void OpenCamera()
    {
        ASSERT_EQ(Ordinal<PFN_EdsInitializeSDK>(1)(), 0u);
        EdsCameraListRef list = nullptr;
        ASSERT_EQ(Ordinal<PFN_EdsGetCameraList>(12)(&list), 0u);
        ASSERT_EQ(Ordinal<PFN_EdsGetChildAtIndex>(6)(list, 0, &m_camera), 0u);
        Ordinal<PFN_EdsRelease>(4)(list);
        ASSERT_EQ(Ordinal<PFN_EdsOpenSession>(14)(m_camera), 0u);
        Ordinal<PFN_EdsSetPropertyEventHandler>(50)(m_camera, kEdsPropertyEvent_All, &OnEdsProperty, &m_events);
        Ordinal<PFN_EdsSetObjectEventHandler>(51)(m_camera, kEdsObjectEvent_All, &OnEdsObject, &m_events);
        Ordinal<PFN_EdsSetCameraStateEventHandler>(52)(m_camera, kEdsStateEvent_All, &OnEdsState, &m_events);
    }

    EdsCameraRef m_camera = nullptr;
    CEdsEventLog m_events;
};

TEST_F(EdsdkSimulatorTest, OrdinalsOutsideTheTableAreNotExported)
{
    EXPECT_EQ(EdsProcByOrdinal(3), nullptr);
    EXPECT_EQ(EdsProcByOrdinal(0), nullptr);
    EXPECT_NE(EdsProcByOrdinal(52), nullptr);
}

TEST_F(EdsdkSimulatorTest, CameraListTellsHowManyAndWhatKind)
{
    EdsdkSimulator().SetCameras({{"Canon EOS 40D", 0}, {"Canon EOS 50D", 1}});
    ASSERT_EQ(Ordinal<PFN_EdsInitializeSDK>(1)(), 0u);
    EdsCameraListRef list = nullptr;
    ASSERT_EQ(Ordinal<PFN_EdsGetCameraList>(12)(&list), 0u);
    EdsUInt32 count = 0;
    ASSERT_EQ(Ordinal<PFN_EdsGetChildCount>(5)(list, &count), 0u);
    EXPECT_EQ(count, 2u);
    EdsCameraRef camera = nullptr;
    ASSERT_EQ(Ordinal<PFN_EdsGetChildAtIndex>(6)(list, 1, &camera), 0u);
    EdsDeviceInfo info{};
    ASSERT_EQ(Ordinal<PFN_EdsGetDeviceInfo>(13)(camera, &info), 0u);
    EXPECT_STREQ(info.szDeviceDescription, "Canon EOS 50D");
    EXPECT_EQ(info.deviceSubType, 1u);
    EXPECT_NE(Ordinal<PFN_EdsGetChildAtIndex>(6)(list, 2, &camera), 0u);
    Ordinal<PFN_EdsRelease>(4)(camera);
    Ordinal<PFN_EdsRelease>(4)(list);
    EXPECT_EQ(EdsdkSimulator().OpenReferences(), 0);

    EdsdkSimulator().SetCameras({});
    ASSERT_EQ(Ordinal<PFN_EdsGetCameraList>(12)(&list), 0u);
    ASSERT_EQ(Ordinal<PFN_EdsGetChildCount>(5)(list, &count), 0u);
    EXPECT_EQ(count, 0u);
    Ordinal<PFN_EdsRelease>(4)(list);
}

TEST_F(EdsdkSimulatorTest, FaultsAnswerByCallCount)
{
    OpenCamera();
    EdsdkSimulator().AddFault({"EdsSendCommand", EDS_ERR_DEVICE_BUSY, 1, 2});
    const auto send = Ordinal<PFN_EdsSendCommand>(16);
    EXPECT_EQ(send(m_camera, kEdsCameraCommand_PressShutterButton, 1), 0u);
    EXPECT_EQ(send(m_camera, kEdsCameraCommand_PressShutterButton, 1), EDS_ERR_DEVICE_BUSY);
    EXPECT_EQ(send(m_camera, kEdsCameraCommand_PressShutterButton, 1), EDS_ERR_DEVICE_BUSY);
    EXPECT_EQ(send(m_camera, kEdsCameraCommand_PressShutterButton, 1), 0u);
    EXPECT_EQ(EdsdkSimulator().Commands().size(), 2u);
}

TEST_F(EdsdkSimulatorTest, PictureArrivesAsItemAndDownloadsIntoAFileWithProgress)
{
    OpenCamera();
    ASSERT_EQ(Ordinal<PFN_EdsSendCommand>(16)(m_camera, kEdsCameraCommand_TakePicture, 0), 0u);
    EdsdkSimulator().WaitForEvents();
    ASSERT_EQ(m_events.items.size(), 1u);
    const EdsDirectoryItemRef item = m_events.items[0];
    EdsDirectoryItemInfo info{};
    ASSERT_EQ(Ordinal<PFN_EdsGetDirectoryItemInfo>(21)(item, &info), 0u);
    EXPECT_GT(info.size, 0u);

    const std::string path = (std::filesystem::temp_directory_path() / "edsdk_sim_picture.jpg").string();
    EdsStreamRef stream = nullptr;
    ASSERT_EQ(Ordinal<PFN_EdsCreateFileStream>(29)(path.c_str(), kEdsFileCreateDisposition_CreateAlways,
                                                   kEdsAccess_ReadWrite, &stream),
              0u);
    g_progress.clear();
    Ordinal<PFN_EdsSetProgressCallback>(40)(stream, &OnEdsProgress, kEdsProgressOption_Periodically, nullptr);
    ASSERT_EQ(Ordinal<PFN_EdsDownload>(23)(item, info.size, stream), 0u);
    EXPECT_EQ(Ordinal<PFN_EdsDownloadComplete>(25)(item), 0u);
    EXPECT_EQ(g_progress, (std::vector<int>{25, 50, 75, 100}));
    Ordinal<PFN_EdsRelease>(4)(item);
    Ordinal<PFN_EdsRelease>(4)(stream);
    const cv::Mat picture = cv::imread(path);
    EXPECT_EQ(picture.size(), EdsdkSimulator().ScenePicture(1).size());
    std::filesystem::remove(path);
    EXPECT_EQ(EdsdkSimulator().OpenReferences(), 1); // the camera
}

TEST_F(EdsdkSimulatorTest, LiveViewIsNotReadyUntilTheComputerBitAndAFrame)
{
    OpenCamera();
    EdsdkSimulator().SetManualFrames(true);
    EdsStreamRef stream = nullptr;
    EdsEvfImageRef image = nullptr;
    ASSERT_EQ(Ordinal<PFN_EdsCreateMemoryStream>(30)(0x200000, &stream), 0u);
    ASSERT_EQ(Ordinal<PFN_EdsCreateEvfImageRef>(47)(stream, &image), 0u);
    const auto download = Ordinal<PFN_EdsDownloadEvfImage>(48);
    EXPECT_EQ(download(m_camera, image), EDS_ERR_OBJECT_NOTREADY);

    const EdsUInt32 device = kEdsEvfOutputDevice_PC | 1;
    ASSERT_EQ(Ordinal<PFN_EdsSetPropertyData>(10)(m_camera, kEdsPropID_Evf_OutputDevice, 0, 4, &device), 0u);
    EXPECT_EQ(download(m_camera, image), EDS_ERR_OBJECT_NOTREADY);
    EdsdkSimulator().MakeFramesReady(1);
    ASSERT_EQ(download(m_camera, image), 0u);

    void* data = nullptr;
    EdsUInt64 length = 0;
    ASSERT_EQ(Ordinal<PFN_EdsGetPointer>(33)(stream, &data), 0u);
    ASSERT_EQ(Ordinal<PFN_EdsGetLength>(38)(stream, &length), 0u);
    const cv::Mat frame = cv::imdecode(cv::Mat(1, static_cast<int>(length), CV_8U, data), cv::IMREAD_COLOR);
    EXPECT_EQ(frame.size(), EdsdkSimulator().SceneFrame(1).size());
    EdsUInt32 zoom = 0;
    EXPECT_EQ(Ordinal<PFN_EdsGetPropertyData>(9)(image, kEdsPropID_Evf_Zoom, 0, 4, &zoom), 0u);
    EXPECT_EQ(zoom, 1u);

    EdsdkSimulator().WaitForEvents();
    EXPECT_EQ(m_events.properties,
              (std::vector<std::pair<EdsUInt32, EdsUInt32>>{{kEdsPropertyEvent_PropertyChanged,
                                                             kEdsPropID_Evf_OutputDevice}}));
    Ordinal<PFN_EdsRelease>(4)(image);
    Ordinal<PFN_EdsRelease>(4)(stream);
}

TEST_F(EdsdkSimulatorTest, DescriptorsClaimEveryValueButCarryAtMost128)
{
    OpenCamera();
    EdsdkSimulator().SetDescriptor(kEdsPropID_Tv, std::vector<std::int32_t>(130, 0x60));
    EdsPropertyDesc desc{};
    ASSERT_EQ(Ordinal<PFN_EdsGetPropertyDesc>(11)(m_camera, kEdsPropID_Tv, &desc), 0u);
    EXPECT_EQ(desc.numElements, 130);
    EXPECT_EQ(desc.propDesc[127], 0x60);

    EdsDataType type = 0;
    EdsUInt32 size = 0;
    ASSERT_EQ(Ordinal<PFN_EdsGetPropertySize>(8)(m_camera, kEdsPropID_FocusInfo, 0, &type, &size), 0u);
    EXPECT_EQ(type, kEdsDataType_FocusInfo);
    EXPECT_EQ(size, sizeof(EdsFocusInfo));
}

TEST_F(EdsdkSimulatorTest, ShutDownReachesTheStateHandler)
{
    OpenCamera();
    EdsdkSimulator().RaiseStateEvent(kEdsStateEvent_Shutdown);
    EdsdkSimulator().WaitForEvents();
    EXPECT_EQ(m_events.states, std::vector<EdsUInt32>{kEdsStateEvent_Shutdown});
    EXPECT_EQ(Ordinal<PFN_EdsTerminateSDK>(2)(), 0u);
    EXPECT_FALSE(EdsdkSimulator().IsStarted());
}

} // namespace
