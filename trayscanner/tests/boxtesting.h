#pragma once
// Shared by the box tests: the simulated box on a manual clock that moves
// one millisecond with every input update, message boxes recorded, and a
// window that records what is posted to it.

#include "objectmodel/toolfunctions.h"
#include "outside/tcatio/simulatedbox.h"
#include "platform/core/testing/scripted_message_boxes.h"
#include "platform/ui/wnd.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <vector>

namespace kestrun::tablon::testing {

struct CPosted
{
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    bool operator==(const CPosted&) const = default;
};

// A window of the test's thread: pumping delivers what was posted to it.
class CRecordingWnd : public CWnd
{
public:
    CRecordingWnd() { m_hWnd = CreateWindowHandle(this); }
    ~CRecordingWnd() override
    {
        DestroyWindowHandle(m_hWnd);
        m_hWnd = nullptr;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        m_posted.push_back({message, wParam, lParam});
        return 0;
    }
    // Pumps and hands over what arrived.
    std::vector<CPosted> Take()
    {
        PumpMessages();
        return std::exchange(m_posted, {});
    }

    std::vector<CPosted> m_posted;
};

class CSimulatorFixture : public ::testing::Test
{
public:
    tcatio::CSimulatedBox& Box() { return tcatio::SimulatedBox(); }

protected:
    CSimulatorFixture()
    {
        tcatio::SimulatedBox().Reset();
        tcatio::SimulatedBox().SetClock(&m_clock, 1);
        // Each test starts without the profile file an earlier one saved.
        std::filesystem::remove(std::filesystem::path(GetDataRootPath().GetString()) / "trayvo.xml");
    }
    ~CSimulatorFixture() override { tcatio::SimulatedBox().Reset(); }

    ManualClock m_clock{100000};
    kestrun::testing::ScopedMessageBoxes m_boxes;
};

} // namespace kestrun::tablon::testing
