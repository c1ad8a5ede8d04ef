// The command framework: actions and observers, the command thread with its
// busy retry and its closing, the controller's action table, error texts.

#include "cameraplugins/eos/actions.h"
#include "cameraplugins/eos/cameracontroller.h"
#include "cameraplugins/eos/cameramodel.h"
#include "cameraplugins/eos/edsdklibrary.h"
#include "cameraplugins/eos/ostrelapp.h"
#include "cameraplugins/eos/tests/ostreltesting.h"

#include "outside/edsdk/edsdksimulator.h"

#include "platform/core/testing/scripted_message_boxes.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

using namespace kestrun::ostrel::testing;
using kestrun::edsdk::CSimCommand;
using kestrun::edsdk::CSimPropertyWrite;
using kestrun::edsdk::EdsdkSimulator;

namespace {

class CRecordingListener : public ActionListener
{
public:
    CRecordingListener(std::vector<std::string>& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    void actionPerformed(const ActionEvent& event) override { m_log.push_back(m_name + ":" + event.getActionCommand()); }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

class CRecordingObserver : public Observer
{
public:
    CRecordingObserver(std::vector<std::string>& log, std::string name) : m_log(log), m_name(std::move(name)) {}
    void update(Observable*, CameraEvent* event) override { m_log.push_back(m_name + ":" + event->name); }

private:
    std::vector<std::string>& m_log;
    std::string m_name;
};

TEST(OstrelActionsTest, ListenersInTheOrderAddedObserversInReverse)
{
    std::vector<std::string> log;
    CRecordingListener first(log, "first");
    CRecordingListener second(log, "second");
    ActionSource source("startEVF");
    source.addActionListener(&first);
    source.addActionListener(&second);
    source.addActionListener(&first); // already there
    source.fireEvent();

    CameraModel model(nullptr);
    CRecordingObserver older(log, "older");
    CRecordingObserver newer(log, "newer");
    model.addObserver(&older);
    model.addObserver(&newer);
    model.notifyObservers("DeviceBusy");
    model.deleteObserver(&newer);
    model.notifyObservers("error");
    EXPECT_EQ(log, (std::vector<std::string>{"first:startEVF", "second:startEVF", "newer:DeviceBusy",
                                             "older:DeviceBusy", "older:error"}));
}

TEST(OstrelErrorTextTest, CodesPickTheirTextsAndSevenSaysNothing)
{
    const struct
    {
        EdsError code;
        const char* text;
    } cases[] = {
        {0x2003, "Error during picture transfer (Code: 2003)"},
        {0xA2001, "Error during picture transfer (Code: A2001)"},
        {0x80, "Camera not found!"},
        {0x8D01, "Autofocus failed (distance too short?)!"},
        {7, ""},
        {0x81, "Error code from camera: 81"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CameraErrorText(c.code), CString(c.text)) << std::hex << c.code;

    kestrun::testing::ScopedMessageBoxes boxes;
    OstrelApp().SetReportToWindow(0);
    ReportCameraError(7);
    ReportCameraError(0x80);
    EXPECT_EQ(boxes->Texts(), std::vector<CString>{"Camera not found!"});
}

// A camera with its session open, a model and a controller whose command
// thread runs on a hand-driven clock.
class OstrelFrameworkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EdsdkSimulator().Reset();
        ASSERT_EQ(Edsdk().Bind(&EdsProcByOrdinal), 0u);
        ASSERT_EQ(Edsdk().InitializeSDK(), 0u);
        EdsCameraListRef list = nullptr;
        ASSERT_EQ(Edsdk().GetCameraList(&list), 0u);
        ASSERT_EQ(Edsdk().GetChildAtIndex(list, 0, &m_camera), 0u);
        Edsdk().Release(list);
        ASSERT_EQ(Edsdk().OpenSession(m_camera), 0u);
        m_model = std::make_unique<CameraModel>(m_camera);
        m_controller = std::make_unique<CameraController>(m_model.get(), std::make_unique<Processor>(m_clock));
        m_controller->processor().start();
        EdsdkSimulator().ClearLogs();
    }
    void TearDown() override
    {
        m_controller.reset();
        Edsdk().Release(m_camera);
        EdsdkSimulator().Reset();
    }
    void Fire(const char* action, void* arg = nullptr) { m_controller->actionPerformed(ActionEvent(action, arg)); }
    void Drain() { kestrun::ostrel::testing::Drain(m_controller->processor(), m_model.get()); }

    CRetryHookClock m_clock;
    EdsCameraRef m_camera = nullptr;
    std::unique_ptr<CameraModel> m_model;
    std::unique_ptr<CameraController> m_controller;
};

TEST_F(OstrelFrameworkTest, BusyCommandRunsAgainEvery500msBehindTheWorkQueuedMeanwhile)
{
    EdsdkSimulator().AddFault({"EdsSetPropertyData", EDS_ERR_DEVICE_BUSY, 0, 3});
    // Each retry pause queues a probe, which must run before the retry.
    std::mutex mutex;
    std::vector<std::string> log;
    const auto attempts = [] {
        int n = 0;
        for (const std::string& call : EdsdkSimulator().CallLog())
            n += call == "EdsSetPropertyData" ? 1 : 0;
        return n;
    };
    m_clock.onRetry = [&] {
        m_controller->processor().enqueue(std::make_unique<CFunctionCommand>(m_model.get(), [&] {
            std::lock_guard lock(mutex);
            log.push_back("probe after " + std::to_string(attempts()));
            return true;
        }));
    };
    struct CBusyTimes : Observer
    {
        CRetryHookClock* clock = nullptr;
        std::vector<ULONGLONG> times;
        void update(Observable*, CameraEvent* event) override
        {
            if (event->name == "DeviceBusy")
                times.push_back(clock->NowMs());
        }
    } busy;
    busy.clock = &m_clock;
    m_model->addObserver(&busy);

    EdsUInt32 av = 0x30;
    Fire("set_Av", &av);
    while (EdsdkSimulator().PropertyWrites().empty())
        std::this_thread::yield();
    Drain();
    m_model->deleteObserver(&busy);

    EXPECT_EQ(attempts(), 4);
    EXPECT_EQ(log, (std::vector<std::string>{"probe after 1", "probe after 2", "probe after 3"}));
    ASSERT_EQ(busy.times.size(), 3u);
    EXPECT_GE(busy.times[1] - busy.times[0], 500u);
    EXPECT_GE(busy.times[2] - busy.times[1], 500u);
    EXPECT_GE(m_clock.NowMs() - busy.times[2], 500u);
    EXPECT_EQ(EdsdkSimulator().PropertyWrites(), (std::vector<CSimPropertyWrite>{{kEdsPropID_Av, 4, 0x30, 0}}));
}

TEST_F(OstrelFrameworkTest, ClosingDropsTheQueueAndClosesTheSession)
{
    // The first command holds the thread until the run flag is cleared.
    m_controller->processor().enqueue(std::make_unique<CFunctionCommand>(m_model.get(), [this] {
        while (m_controller->processor().isRunning())
            std::this_thread::yield();
        return true;
    }));
    Fire("TakePicture");
    Fire("pressingHalfway");
    Fire("zoom_Zoom");
    Fire("closing");
    EXPECT_TRUE(EdsdkSimulator().Commands().empty());
    EXPECT_TRUE(EdsdkSimulator().PropertyWrites().empty());
    EXPECT_FALSE(EdsdkSimulator().IsSessionOpen());
    EXPECT_EQ(EdsdkSimulator().CallLog(), std::vector<std::string>{"EdsCloseSession"});
}

TEST_F(OstrelFrameworkTest, EachActionQueuesItsCommand)
{
    m_model->setEvfZoomPosition({100, 100});
    EdsUInt32 value = 3;
    EdsCapacity capacity{100, 512, 1};
    struct CRow
    {
        const char* action;
        void* arg;
        std::vector<CSimCommand> commands;
        std::vector<CSimPropertyWrite> writes;
    };
    const std::vector<CRow> rows = {
        {"set_AEMode", &value, {}, {{kEdsPropID_AEMode, 4, 3, 0}}},
        {"set_Av", &value, {}, {{kEdsPropID_Av, 4, 3, 0}}},
        {"set_Tv", &value, {}, {{kEdsPropID_Tv, 4, 3, 0}}},
        {"set_ISOSpeed", &value, {}, {{kEdsPropID_ISOSpeed, 4, 3, 0}}},
        {"set_MeteringMode", &value, {}, {{kEdsPropID_MeteringMode, 4, 3, 0}}},
        {"set_ExposureCompensation", &value, {}, {{kEdsPropID_ExposureCompensation, 4, 3, 0}}},
        {"set_ImageQuality", &value, {}, {{kEdsPropID_ImageQuality, 4, 3, 0}}},
        {"set_EvfAFMode", &value, {}, {{kEdsPropID_Evf_AFMode, 4, 3, 0}}},
        {"pressingHalfway", nullptr, {{4, 1}}, {}},
        {"pressingCompletely", nullptr, {{4, 3}}, {}},
        {"pressingOff", nullptr, {{4, 0}}, {}},
        {"TakePicture", nullptr, {{0, 0}}, {}},
        {"focus_Near3", nullptr, {{0x103, 3}}, {}},
        {"focus_Near2", nullptr, {{0x103, 2}}, {}},
        {"focus_Near1", nullptr, {{0x103, 1}}, {}},
        {"focus_Far1", nullptr, {{0x103, 0x8001}}, {}},
        {"focus_Far2", nullptr, {{0x103, 0x8002}}, {}},
        {"focus_Far3", nullptr, {{0x103, 0x8003}}, {}},
        {"focus_Left", nullptr, {}, {{kEdsPropID_Evf_ZoomPosition, 8, 0, 100}}},
        {"focus_Right", nullptr, {}, {{kEdsPropID_Evf_ZoomPosition, 8, 228, 100}}},
        {"focus_Up", nullptr, {}, {{kEdsPropID_Evf_ZoomPosition, 8, 100, 0}}},
        {"focus_Down", nullptr, {}, {{kEdsPropID_Evf_ZoomPosition, 8, 100, 228}}},
        {"zoom_Fit", nullptr, {}, {{kEdsPropID_Evf_Zoom, 4, 1, 0}}},
        {"zoom_Zoom", nullptr, {}, {{kEdsPropID_Evf_Zoom, 4, 5, 0}}},
        {"evfAFOn", nullptr, {{0x102, 1}}, {}},
        {"evfAFOff", nullptr, {{0x102, 0}}, {}},
        {"no_such_action", nullptr, {}, {}},
    };
    for (const CRow& row : rows) {
        EdsdkSimulator().ClearLogs();
        Fire(row.action, row.arg);
        Drain();
        EXPECT_EQ(EdsdkSimulator().Commands(), row.commands) << row.action;
        EXPECT_EQ(EdsdkSimulator().PropertyWrites(), row.writes) << row.action;
    }
    EdsdkSimulator().ClearLogs();
    Fire("set_Capacity", &capacity);
    Drain();
    const std::vector<EdsCapacity> capacities = EdsdkSimulator().Capacities();
    ASSERT_EQ(capacities.size(), 1u);
    EXPECT_EQ(capacities[0].bytesPerSector, 512);
}

TEST_F(OstrelFrameworkTest, PropertiesOfAnUnexpectedSizeAndOverlongDescriptorsAreRefused)
{
    kestrun::edsdk::CSimProperty odd;
    odd.nType = kEdsDataType_UInt32;
    odd.data.assign(6, 1);
    EdsdkSimulator().SetPropertyRaw(kEdsPropID_Tv, odd);
    EdsdkSimulator().SetDescriptor(kEdsPropID_Av, std::vector<std::int32_t>(129, 0x20));
    std::vector<EdsError> errors;
    struct CErrors : Observer
    {
        std::vector<EdsError>* out = nullptr;
        void update(Observable*, CameraEvent* event) override
        {
            if (event->name == "error")
                out->push_back(*static_cast<EdsError*>(event->arg));
        }
    } observer;
    observer.out = &errors;
    m_model->addObserver(&observer);
    m_model->setPropertyUInt32(kEdsPropID_Tv, 0x60);
    EdsPropertyID tv = kEdsPropID_Tv;
    EdsPropertyID av = kEdsPropID_Av;
    Fire("get_Property", &tv);
    Fire("get_PropertyDesc", &av);
    Drain();
    m_model->deleteObserver(&observer);
    EXPECT_EQ(errors, (std::vector<EdsError>{EDS_ERR_PROPERTIES_MISMATCH, EDS_ERR_PROPERTIES_MISMATCH}));
    EXPECT_EQ(m_model->getPropertyUInt32(kEdsPropID_Tv), 0x60u);
    EXPECT_EQ(m_model->getPropertyDesc(kEdsPropID_Av).numElements, 0);
}

} // namespace
