// The plug-in's exports, as the frame-grabber board looks them up by name.
// No error leaves an export: it is reported through the plug-in's report.

#include "cameraplugins/common/pluginresources.h"
#include "cameraplugins/fgplugin.h"
#include "cameraplugins/powershot/fgpavick.h"
#include "cameraplugins/powershot/pavickapp.h"
#include "cameraplugins/powershot/ui/optionsdialog.h"
#include "cameraplugins/powershot/ui/pavickresources.h"
#include "cameraplugins/powershot/ui/progress.h"

#include "outside/pixmere/dib.h"

#include "platform/ui/wnd.h"


namespace {

// Runs with the plug-in's resources switched in.
template <class Result, class Body>
Result Guard(Result fallback, Body body)
{
    return kestrun::camplugin::GuardExport<kestrun::pavick::CPavickResourceScope>(PavickApp(), fallback, body);
}

// One progress window per transfer.
class CProgressRunner : public CTransferRunner
{
public:
    bool Run(CPictureTransfer& transfer) override
    {
        CProgress progress;
        return progress.Run(transfer);
    }
};

HWND HandleOf(CWnd* pWnd)
{
    return pWnd != nullptr ? pWnd->GetSafeHwnd() : nullptr;
}

} // namespace

#define PAVICK_EXPORT __attribute__((visibility("default")))

extern "C" {

PAVICK_EXPORT int Init(CWnd* pHostWnd)
{
    return Guard(0, [&] {
        static CProgressRunner runner;
        FGPavick().SetTransferRunner(&runner);
        return FGPavick().Init(HandleOf(pHostWnd));
    });
}

PAVICK_EXPORT int Snapshot(CDIB* pImage)
{
    return Guard(0, [&] { return FGPavick().TakeSnapshot(pImage); });
}

PAVICK_EXPORT void OpenDialog(CWnd* pParent)
{
    Guard(0, [&] {
        COptionsDialog::Open(FGPavick(), pParent);
        return 0;
    });
}

PAVICK_EXPORT void Exit()
{
    Guard(0, [] {
        FGPavick().Exit();
        return 0;
    });
}

PAVICK_EXPORT void ContFrGr()
{
    Guard(0, [] {
        FGPavick().SetViewFinder(1);
        return 0;
    });
}

PAVICK_EXPORT void SetFrameSink(kestrun::camplugin::CPluginFrameSink* pSink)
{
    FGPavick().SetFrameSink(pSink);
}

PAVICK_EXPORT void* GetPixelAddr(int, int)
{
    return nullptr;
}

PAVICK_EXPORT void UpdateImage() {}

PAVICK_EXPORT double GetParameter(int nId)
{
    return Guard(0.0, [&] { return FGPavick().GetParameter(nId); });
}

PAVICK_EXPORT void SetParameter(int nId, double dValue)
{
    Guard(0, [&] {
        FGPavick().SetParameter(nId, dValue);
        return 0;
    });
}

PAVICK_EXPORT const char* GetParameterString(int nId)
{
    return Guard<const char*>("", [&] { return FGPavick().GetParameterString(nId); });
}

PAVICK_EXPORT void SetParameterString(int nId, const char* lpszValue)
{
    Guard(0, [&] {
        FGPavick().SetParameterString(nId, lpszValue);
        return 0;
    });
}

PAVICK_EXPORT const char* GetInfo()
{
    return FGPavick().GetInfo();
}

PAVICK_EXPORT const char* GetFGVersion()
{
    return "Pavick 1.01";
}

PAVICK_EXPORT void SetImageDir(const char* lpszFolder)
{
    Guard(0, [&] {
        FGPavick().SetImageDir(lpszFolder);
        return 0;
    });
}

} // extern "C"
