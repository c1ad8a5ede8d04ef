#include "outside/grabwell/tests/fakeplugin.h"

#include "outside/pixmere/dib.h"

#include <string>

namespace {

CFakePlugInState& State()
{
    static CFakePlugInState state;
    return state;
}

std::string Number(double value)
{
    return std::to_string(static_cast<long long>(value));
}

} // namespace

#define FAKE_EXPORT __attribute__((visibility("default")))

extern "C" {

FAKE_EXPORT CFakePlugInState* FakePlugInState() { return &State(); }

FAKE_EXPORT int Init(CWnd* pHostWnd)
{
    State().Log("Init");
    State().host = pHostWnd;
    return State().initResult;
}

FAKE_EXPORT void Exit() { State().Log("Exit"); }

FAKE_EXPORT void ContFrGr() { State().Log("ContFrGr"); }

FAKE_EXPORT void SetFrameSink(kestrun::camplugin::CPluginFrameSink* pSink)
{
    State().Log(pSink != nullptr ? "SetFrameSink" : "SetFrameSink null");
    State().sink = pSink;
}

FAKE_EXPORT double GetParameter(int nId)
{
    if (nId == kestrun::camplugin::kParamLiveWidth)
        return State().liveWidth;
    if (nId == kestrun::camplugin::kParamLiveHeight)
        return State().liveHeight;
    return 0.0;
}

FAKE_EXPORT void SetParameter(int nId, double dValue)
{
    State().Log("SetParameter " + std::to_string(nId) + " " + Number(dValue));
}

#ifndef FAKE_PLUGIN_LIVE_ONLY

FAKE_EXPORT int Snapshot(CDIB* pImage)
{
    State().Log("Snapshot");
    if (pImage == nullptr || State().picture.empty())
        return 0;
    pImage->AssignMat(State().picture);
    return 1;
}

FAKE_EXPORT void OpenDialog(CWnd* pParent)
{
    State().Log("OpenDialog");
    State().dialogParent = pParent;
}

FAKE_EXPORT const char* GetParameterString(int /*nId*/)
{
    return "";
}

FAKE_EXPORT void SetParameterString(int nId, const char* lpszValue)
{
    State().Log("SetParameterString " + std::to_string(nId) + " " + (lpszValue ? lpszValue : "(null)"));
}

#endif

} // extern "C"
