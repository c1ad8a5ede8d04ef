// The plug-in's exports, as the frame-grabber board looks them up by name.
// No error leaves an export: it is reported through the plug-in's report.

#include "cameraplugins/common/pluginresources.h"
#include "cameraplugins/eos/fgostrel.h"
#include "cameraplugins/eos/ostrelapp.h"
#include "cameraplugins/eos/ui/cameracontroldlg.h"
#include "cameraplugins/eos/ui/ostrelresources.h"
#include "cameraplugins/fgplugin.h"

#include "outside/pixmere/dib.h"

#include "platform/ui/wnd.h"

namespace {

// Runs with the plug-in's resources switched in.
template <class Result, class Body>
Result Guard(Result fallback, Body body)
{
    return kestrun::camplugin::GuardExport<kestrun::ostrel::COstrelResourceScope>(OstrelApp(), fallback, body);
}

HWND HandleOf(CWnd* pWnd)
{
    return pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
}

} // namespace

#define OSTREL_EXPORT __attribute__((visibility("default")))

extern "C" {

OSTREL_EXPORT int Init(CWnd* pHostWnd)
{
    return Guard(0, [&] { return FGOstrel().Init(HandleOf(pHostWnd)); });
}

OSTREL_EXPORT int Snapshot(CDIB* pImage)
{
    return Guard(0, [&] { return FGOstrel().TakeSnapshot(pImage); });
}

OSTREL_EXPORT void OpenDialog(CWnd* pParent)
{
    Guard(0, [&] {
        CCameraControlDlg::Open(FGOstrel(), pParent);
        return 0;
    });
}

OSTREL_EXPORT void Exit()
{
    Guard(0, [] {
        FGOstrel().Exit();
        return 0;
    });
}

OSTREL_EXPORT void ContFrGr()
{
    Guard(0, [] {
        FGOstrel().StartLiveView();
        return 0;
    });
}

OSTREL_EXPORT void SetFrameSink(kestrun::camplugin::CPluginFrameSink* pSink)
{
    FGOstrel().SetFrameSink(pSink);
}

OSTREL_EXPORT void* GetPixelAddr(int, int)
{
    return nullptr;
}

OSTREL_EXPORT void UpdateImage() {}

OSTREL_EXPORT double GetParameter(int nId)
{
    return Guard(0.0, [&] { return FGOstrel().GetParameter(nId); });
}

OSTREL_EXPORT void SetParameter(int nId, double dValue)
{
    Guard(0, [&] {
        FGOstrel().SetParameter(nId, dValue);
        return 0;
    });
}

OSTREL_EXPORT const char* GetParameterString(int nId)
{
    return FGOstrel().GetParameterString(nId);
}

// Names have no effect on this camera.
OSTREL_EXPORT void SetParameterString(int, const char*) {}

OSTREL_EXPORT const char* GetInfo()
{
    return FGOstrel().GetInfo();
}

OSTREL_EXPORT const char* GetFGVersion()
{
    return "Ostrel 1.00";
}

OSTREL_EXPORT void SetImageDir(const char* lpszFolder)
{
    Guard(0, [&] {
        FGOstrel().SetImageDir(lpszFolder);
        return 0;
    });
}

} // extern "C"
