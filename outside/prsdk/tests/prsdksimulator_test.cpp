#include "outside/prsdk/prsdk.h"
#include "outside/prsdk/prsdksimulator.h"

#include <gtest/gtest.h>

#include <opencv2/core.hpp>
#include <opencv2/imgcodecs.hpp>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

using namespace kestrun;
using namespace kestrun::prsdk;

namespace {

// What the call-backs saw; written on the simulator's threads.
struct CSeen
{
    std::mutex mutex;
    std::vector<std::pair<std::uint16_t, std::uint32_t>> events;
    std::vector<std::thread::id> eventThreads;
    std::vector<std::vector<std::uint8_t>> frames;
    std::vector<std::thread::id> frameThreads;
    std::vector<prProgress> progress;
    std::vector<std::uint8_t> data;
    prHandle hCamera = 0;
    bool bStopOnC006 = false;
    bool bStopInFrame = false;
};

prResponse OnEvent(prHandle hCamera, prContext context, void* pEventData)
{
    auto* seen = reinterpret_cast<CSeen*>(context);
    const auto* p = static_cast<const std::uint8_t*>(pEventData);
    std::uint16_t code = 0;
    std::uint32_t parameter = 0;
    std::memcpy(&code, p + 6, 2);
    std::memcpy(&parameter, p + 12, 4);
    {
        std::lock_guard lock(seen->mutex);
        seen->events.emplace_back(code, parameter);
        seen->eventThreads.push_back(std::this_thread::get_id());
    }
    if (code == kEventViewFinderStopped && seen->bStopOnC006)
        PR_RC_TermViewFinder(hCamera);
    return 0;
}

prResponse OnFrame(prHandle hCamera, prContext context, std::uint32_t size, const void* pData)
{
    auto* seen = reinterpret_cast<CSeen*>(context);
    const auto* p = static_cast<const std::uint8_t*>(pData);
    {
        std::lock_guard lock(seen->mutex);
        seen->frames.emplace_back(p, p + size);
        seen->frameThreads.push_back(std::this_thread::get_id());
    }
    if (seen->bStopInFrame)
        PR_RC_TermViewFinder(hCamera);
    return 0;
}

prResponse OnProgress(prHandle, prContext context, const prProgress* pProgress)
{
    auto* seen = reinterpret_cast<CSeen*>(context);
    seen->progress.push_back(*pProgress);
    if (pProgress->lStatus == kPrProgressData) {
        if (seen->data.size() < pProgress->lOffset + pProgress->lLength)
            seen->data.resize(pProgress->lOffset + pProgress->lLength);
        std::memcpy(seen->data.data() + pProgress->lOffset, pProgress->pbData, pProgress->lLength);
    }
    return 0;
}

double MeanDifference(const cv::Mat& a, const cv::Mat& b)
{
    if (a.size() != b.size() || a.type() != b.type())
        return 1e9;
    cv::Mat diff;
    cv::absdiff(a, b, diff);
    const cv::Scalar m = cv::mean(diff);
    return (m[0] + m[1] + m[2]) / 3;
}

std::u16string NameAt(const std::vector<std::uint8_t>& list, std::size_t entry)
{
    std::u16string name;
    const std::uint8_t* p = list.data() + 4 + entry * kPrDeviceEntrySize + kPrDeviceNameOffset;
    for (std::size_t i = 0; p[2 * i] || p[2 * i + 1]; ++i)
        name.push_back(static_cast<char16_t>(p[2 * i] | (p[2 * i + 1] << 8)));
    return name;
}

class PrsdkSimulatorTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PrsdkSimulator().Reset();
        PrsdkSimulator().SetClock(&m_clock);
        PrsdkSimulator().SetManualFrames(true);
        ASSERT_EQ(PR_StartSDK(), 0u);
    }
    void TearDown() override { PrsdkSimulator().Reset(); }

    std::vector<std::uint8_t> DeviceList()
    {
        std::uint32_t size = 0;
        EXPECT_EQ(PR_GetDeviceList(&size, nullptr) & 0xFFFF, 99u);
        std::vector<std::uint8_t> list(size);
        EXPECT_EQ(PR_GetDeviceList(&size, list.data()), 0u);
        return list;
    }

    // Create, call-back, connect, release control: the plug-in's chain.
    prHandle Connect()
    {
        const std::vector<std::uint8_t> list = DeviceList();
        prHandle h = 0;
        EXPECT_EQ(PR_CreateCameraObject(list.data() + 4, &h), 0u);
        EXPECT_EQ(PR_SetEventCallBack(h, reinterpret_cast<prContext>(&m_seen), OnEvent), 0u);
        EXPECT_EQ(PR_ConnectCamera(h), 0u);
        EXPECT_EQ(PR_InitiateReleaseControl(h), 0u);
        m_seen.hCamera = h;
        return h;
    }

    std::vector<std::uint8_t> Descriptor(prHandle h, std::uint16_t code)
    {
        std::vector<std::uint8_t> desc(20480);
        std::uint32_t size = static_cast<std::uint32_t>(desc.size());
        EXPECT_EQ(PR_GetDevicePropDesc(h, code, &size, desc.data()), 0u);
        desc.resize(size);
        return desc;
    }

    ManualClock m_clock;
    CSeen m_seen;
};

TEST_F(PrsdkSimulatorTest, DeviceListHoldsEveryCameraWithItsUtf16NameAtByte1024)
{
    const std::vector<std::u16string> twelve(12, u"PowerShot A");
    for (const auto& cameras : {std::vector<std::u16string>{}, std::vector<std::u16string>{u"PowerShot \u00e9"}, twelve}) {
        PrsdkSimulator().SetCameras(cameras);
        const std::uint32_t needed = 4 + static_cast<std::uint32_t>(cameras.size()) * 1108;
        std::uint32_t size = 11064;
        std::vector<std::uint8_t> list(size);
        const prResponse first = PR_GetDeviceList(&size, list.data());
        if (needed > 11064) {
            EXPECT_EQ(first & 0xFFFF, 99u);
            EXPECT_EQ(size, needed);
            list.resize(size);
            ASSERT_EQ(PR_GetDeviceList(&size, list.data()), 0u);
        } else {
            ASSERT_EQ(first, 0u);
        }
        std::uint32_t count = 0;
        std::memcpy(&count, list.data(), 4);
        ASSERT_EQ(count, cameras.size());
        for (std::size_t i = 0; i < cameras.size(); ++i)
            EXPECT_EQ(NameAt(list, i), cameras[i]);
    }
}

TEST_F(PrsdkSimulatorTest, LongNameIsCutAndTerminatedInsideTheEntry)
{
    PrsdkSimulator().SetCameras({std::u16string(100, u'x')});
    const std::vector<std::uint8_t> list = DeviceList();
    EXPECT_EQ(NameAt(list, 0), std::u16string(31, u'x'));
}

TEST_F(PrsdkSimulatorTest, ConnectChainOpensTheCameraAndCallsOutOfTurnFail)
{
    const std::vector<std::uint8_t> list = DeviceList();
    prHandle h = 0;
    ASSERT_EQ(PR_CreateCameraObject(list.data() + 4, &h), 0u);
    EXPECT_EQ(PR_InitiateReleaseControl(h), kErrSequence);
    EXPECT_EQ(PR_ConnectCamera(h + 100), kErrInvalidHandle);
    ASSERT_EQ(PR_ConnectCamera(h), 0u);
    std::vector<std::uint8_t> info(20480);
    std::uint32_t size = static_cast<std::uint32_t>(info.size());
    EXPECT_EQ(PR_GetDeviceInfo(h, &size, info.data()), 0u);
    EXPECT_EQ(PR_RC_Release(h), kErrSequence);
    ASSERT_EQ(PR_InitiateReleaseControl(h), 0u);
    EXPECT_TRUE(PrsdkSimulator().HasReleaseControl());
    EXPECT_EQ(PR_DestroyCameraObject(h), kErrSequence);
    EXPECT_EQ(PR_TerminateReleaseControl(h), 0u);
    EXPECT_EQ(PR_DisconnectCamera(h), 0u);
    EXPECT_EQ(PR_DestroyCameraObject(h), 0u);
    EXPECT_EQ(PrsdkSimulator().CameraObjects(), 0);
    EXPECT_EQ(PR_FinishSDK(), 0u);
    EXPECT_EQ(PR_GetDeviceList(&size, info.data()), kErrNotStarted);
}

TEST_F(PrsdkSimulatorTest, ZoomDescriptorIsARangeAndIsoAnEnumeration)
{
    const prHandle h = Connect();
    const std::vector<std::uint8_t> zoom = Descriptor(h, 0xD02A);
    // code, type 4, settable, default 0, current 0, range 0..128 step 16
    const std::vector<std::uint8_t> zoomWanted{0x2A, 0xD0, 4, 0, 1, 0, 0, 0, 0, 1, 0, 0, 128, 0, 16, 0};
    EXPECT_EQ(zoom, zoomWanted);
    const std::vector<std::uint8_t> iso = Descriptor(h, 0xD01C);
    ASSERT_GE(iso.size(), 12u);
    EXPECT_EQ(iso[2], 4);
    EXPECT_EQ(iso[9], 2);
    EXPECT_EQ(iso[10] | (iso[11] << 8), 5);
    const std::vector<std::uint8_t> mode = Descriptor(h, 0xD00C);
    EXPECT_EQ(mode[2], 2);
    EXPECT_EQ(mode[7], 2);
    std::uint16_t upper = 0;
    std::uint32_t size = 2;
    ASSERT_EQ(PR_GetDevicePropValue(h, 0xD03D, &size, &upper), 0u);
    EXPECT_EQ(upper, 144);
}

TEST_F(PrsdkSimulatorTest, PropertyWritesAreCheckedAgainstTheDescriptorAndLogged)
{
    const prHandle h = Connect();
    struct Case
    {
        std::uint16_t code;
        std::uint32_t size;
        std::uint16_t value;
        prResponse result;
    };
    const Case cases[] = {
        {0xD02A, 2, 48, 0},                      // on the zoom's step
        {0xD02A, 2, 50, kErrInvalidParameter},   // between steps
        {0xD02A, 2, 144, kErrInvalidParameter},  // above the range
        {0xD01C, 2, 0x50, 0},                    // an offered ISO
        {0xD01C, 2, 0x70, kErrInvalidParameter}, // one the camera lacks
        {0xD01C, 1, 0x50, kErrInvalidParameter}, // wrong width
        {0xD006, 1, 5, 0},                       // plain: any value
        {0xD03D, 2, 1, kErrInvalidParameter},    // read only
        {0xD0FF, 1, 1, kErrNotSupported},
    };
    for (const Case& c : cases) {
        const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(c.value & 0xFF), static_cast<std::uint8_t>(c.value >> 8)};
        EXPECT_EQ(PR_SetDevicePropValue(h, c.code, c.size, bytes), c.result) << std::hex << c.code << " " << c.value;
    }
    EXPECT_EQ(PrsdkSimulator().GetPropertyValue(0xD02A), 48);
    EXPECT_EQ(PrsdkSimulator().GetPropertyValue(0xD01C), 0x50);
    EXPECT_EQ(PrsdkSimulator().GetPropertyValue(0xD006), 5);
    const std::vector<CPropertyWrite> writes = PrsdkSimulator().PropertyWrites();
    // Every write of the right width is logged, refused ones marked.
    ASSERT_EQ(writes.size(), 7u);
    EXPECT_EQ(writes[0], (CPropertyWrite{0xD02A, 2, 48, true}));
    EXPECT_EQ(writes[4], (CPropertyWrite{0xD01C, 2, 0x70, false}));
    EXPECT_EQ(writes[6], (CPropertyWrite{0xD03D, 2, 1, false}));
    std::uint8_t small = 0;
    std::uint32_t size = 1;
    EXPECT_EQ(PR_GetDevicePropValue(h, 0xD02A, &size, &small), kErrBufferTooSmall);
    EXPECT_EQ(size, 2u);
}

TEST_F(PrsdkSimulatorTest, ReleaseDeliversBothObjectEventsOnTheEventThreadBeforeItReturns)
{
    const prHandle h = Connect();
    ASSERT_EQ(PR_RC_Release(h), 0u);
    std::lock_guard lock(m_seen.mutex);
    ASSERT_EQ(m_seen.events.size(), 2u);
    EXPECT_EQ(m_seen.events[0].first, kEventReleased);
    EXPECT_EQ(m_seen.events[1].first, kEventReleasedSecond);
    EXPECT_NE(m_seen.events[0].second, 0u);
    EXPECT_NE(m_seen.eventThreads[0], std::this_thread::get_id());
}

TEST_F(PrsdkSimulatorTest, RaisedEventsArriveUntilTheCallBackIsCleared)
{
    const prHandle h = Connect();
    PrsdkSimulator().RaiseEvent(kEventShutDown);
    PrsdkSimulator().WaitForEvents();
    ASSERT_EQ(PR_ClearEventCallBack(h), 0u);
    PrsdkSimulator().RaiseEvent(kEventShutDown);
    PrsdkSimulator().WaitForEvents();
    std::lock_guard lock(m_seen.mutex);
    ASSERT_EQ(m_seen.events.size(), 1u);
    EXPECT_EQ(m_seen.events[0].first, kEventShutDown);
}

TEST_F(PrsdkSimulatorTest, ViewFinderSendsJpegFramesOfTheSceneOnItsOwnThread)
{
    const prHandle h = Connect();
    PrsdkSimulator().SetSceneSeed(5);
    ASSERT_EQ(PR_RC_StartViewFinder(h, reinterpret_cast<prContext>(&m_seen), OnFrame), 0u);
    EXPECT_EQ(PR_RC_StartViewFinder(h, reinterpret_cast<prContext>(&m_seen), OnFrame), kErrSequence);
    EXPECT_EQ(PrsdkSimulator().DeliverFrames(3), 3);
    ASSERT_EQ(PR_RC_TermViewFinder(h), 0u);
    EXPECT_FALSE(PrsdkSimulator().IsViewFinderRunning());
    std::lock_guard lock(m_seen.mutex);
    ASSERT_EQ(m_seen.frames.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const cv::Mat frame = cv::imdecode(m_seen.frames[i], cv::IMREAD_COLOR);
        EXPECT_LT(MeanDifference(frame, PrsdkSimulator().SceneFrame(i)), 3.0) << i;
        EXPECT_NE(m_seen.frameThreads[i], std::this_thread::get_id());
    }
    EXPECT_GT(MeanDifference(PrsdkSimulator().SceneFrame(0), PrsdkSimulator().SceneFrame(2)), 0.0);
}

TEST_F(PrsdkSimulatorTest, FreeRunningFramesArePacedByTheInjectedClock)
{
    const prHandle h = Connect();
    PrsdkSimulator().SetManualFrames(false);
    ASSERT_EQ(PR_RC_StartViewFinder(h, reinterpret_cast<prContext>(&m_seen), OnFrame), 0u);
    EXPECT_GE(PrsdkSimulator().DeliverFrames(2), 2);
    ASSERT_EQ(PR_RC_TermViewFinder(h), 0u);
    EXPECT_GE(m_clock.NowMs(), 2u * 33u);
}

TEST_F(PrsdkSimulatorTest, ViewFinderStopsFromItsOwnFrameAndFromTheEventThread)
{
    const prHandle h = Connect();
    m_seen.bStopInFrame = true;
    ASSERT_EQ(PR_RC_StartViewFinder(h, reinterpret_cast<prContext>(&m_seen), OnFrame), 0u);
    EXPECT_EQ(PrsdkSimulator().DeliverFrames(3), 1);
    EXPECT_FALSE(PrsdkSimulator().IsViewFinderRunning());

    m_seen.bStopInFrame = false;
    m_seen.bStopOnC006 = true;
    ASSERT_EQ(PR_RC_StartViewFinder(h, reinterpret_cast<prContext>(&m_seen), OnFrame), 0u);
    EXPECT_EQ(PrsdkSimulator().DeliverFrames(1), 1);
    PrsdkSimulator().RaiseEvent(kEventViewFinderStopped);
    PrsdkSimulator().WaitForEvents();
    EXPECT_FALSE(PrsdkSimulator().IsViewFinderRunning());
    EXPECT_EQ(PrsdkSimulator().DeliverFrames(1), 0);
}

TEST_F(PrsdkSimulatorTest, CorruptFramesDoNotDecode)
{
    const prHandle h = Connect();
    PrsdkSimulator().CorruptNextFrames(1);
    ASSERT_EQ(PR_RC_StartViewFinder(h, reinterpret_cast<prContext>(&m_seen), OnFrame), 0u);
    EXPECT_EQ(PrsdkSimulator().DeliverFrames(2), 2);
    ASSERT_EQ(PR_RC_TermViewFinder(h), 0u);
    std::lock_guard lock(m_seen.mutex);
    EXPECT_TRUE(cv::imdecode(m_seen.frames[0], cv::IMREAD_COLOR).empty());
    EXPECT_FALSE(cv::imdecode(m_seen.frames[1], cv::IMREAD_COLOR).empty());
}

TEST_F(PrsdkSimulatorTest, ReleasedDataComesAsStartDataEndBlocksOfThePicture)
{
    const prHandle h = Connect();
    PrsdkSimulator().SetPictureSize({400, 300});
    ASSERT_EQ(PR_RC_Release(h), 0u);
    const std::uint32_t object = m_seen.events.at(0).second;
    EXPECT_EQ(PR_RC_GetReleasedData(h, object + 1, kEventReleased, 4096, reinterpret_cast<prContext>(&m_seen),
                                    OnProgress),
              kErrInvalidParameter);
    ASSERT_EQ(PR_RC_GetReleasedData(h, object, kEventReleased, 4096, reinterpret_cast<prContext>(&m_seen), OnProgress),
              0u);
    ASSERT_GE(m_seen.progress.size(), 3u);
    EXPECT_EQ(m_seen.progress.front().lStatus, kPrProgressStart);
    EXPECT_EQ(m_seen.progress.back().lStatus, kPrProgressEnd);
    std::uint32_t expectedOffset = 0;
    for (std::size_t i = 1; i + 1 < m_seen.progress.size(); ++i) {
        EXPECT_EQ(m_seen.progress[i].lStatus, kPrProgressData);
        EXPECT_EQ(m_seen.progress[i].lOffset, expectedOffset);
        EXPECT_LE(m_seen.progress[i].lLength, 4096u);
        expectedOffset += m_seen.progress[i].lLength;
    }
    EXPECT_EQ(m_seen.progress[m_seen.progress.size() - 2].lPercentComplete, 100u);
    const cv::Mat picture = cv::imdecode(m_seen.data, cv::IMREAD_COLOR);
    EXPECT_LT(MeanDifference(picture, PrsdkSimulator().ScenePicture(1, {400, 300})), 3.0);
}

TEST_F(PrsdkSimulatorTest, PictureSizeFollowsTheImageSizeProperty)
{
    const prHandle h = Connect();
    const std::uint8_t code = 2;
    ASSERT_EQ(PR_SetDevicePropValue(h, 0xD008, 1, &code), 0u);
    EXPECT_EQ(PrsdkSimulator().PictureSize(), cv::Size(640, 480));
}

TEST_F(PrsdkSimulatorTest, FaultsFailTheNamedCallAfterSkipForTimes)
{
    PrsdkSimulator().AddFault({"PR_GetDeviceList", 0x80000007, 1, 2});
    std::vector<prResponse> results;
    for (int i = 0; i < 4; ++i) {
        std::uint32_t size = 0;
        results.push_back(PR_GetDeviceList(&size, nullptr));
    }
    const std::vector<prResponse> wanted{kErrBufferTooSmall, 0x80000007, 0x80000007, kErrBufferTooSmall};
    EXPECT_EQ(results, wanted);
    const std::vector<std::string> log = PrsdkSimulator().CallLog();
    EXPECT_EQ(std::count(log.begin(), log.end(), "PR_GetDeviceList"), 4);
}

TEST_F(PrsdkSimulatorTest, CdStartKeepsTheVersionRecord)
{
    std::uint8_t record[40] = {40, 0, 7, 0, 3, 0};
    ASSERT_EQ(CDStartSDK(record, 0), 0u);
    const std::vector<std::uint8_t> kept = PrsdkSimulator().CdStartRecord();
    ASSERT_EQ(kept.size(), 40u);
    EXPECT_EQ(kept[0], 40);
    EXPECT_EQ(kept[2], 7);
    EXPECT_EQ(kept[4], 3);
    PrsdkSimulator().AddFault({"CDFinishSDK", 0x00010005});
    EXPECT_EQ(CDFinishSDK(), 0x00010005u);
}

} // namespace
