#pragma once
// A camera plug-in for the board's tests: it records what the board calls
// and hands out the board's frame sink, so a test can push live frames from
// a thread of its own as a camera SDK would. Built twice: whole, and with
// only the exports live video needs (no snapshot, dialog or typed texts).

#include "cameraplugins/fgplugin.h"

#include <opencv2/core/mat.hpp>

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

struct CFakePlugInState
{
    std::mutex mutex;
    std::vector<std::string> calls;
    CWnd* host = nullptr;
    CWnd* dialogParent = nullptr;
    int initResult = 1;
    cv::Mat picture; // what a snapshot gives
    double liveWidth = 320.0;
    double liveHeight = 240.0;
    std::atomic<kestrun::camplugin::CPluginFrameSink*> sink = nullptr;

    void Log(const std::string& call)
    {
        std::lock_guard lock(mutex);
        calls.push_back(call);
    }
    std::vector<std::string> Calls()
    {
        std::lock_guard lock(mutex);
        return calls;
    }
};

inline constexpr char kFakePlugInStateExport[] = "FakePlugInState";
using PFN_FakePlugInState = CFakePlugInState* (*)();
