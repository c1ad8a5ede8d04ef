#pragma once
// What the frame-grabber board and a camera plug-in share: the exports the
// board looks up by their decorated names, the numbered parameters and the
// registered messages a plug-in sends to the window it was given.
//
// Texts travel as typed strings (GetParameterString / SetParameterString
// beside the twelve exports): an address does not fit in a double.

#include "platform/core/types.h"

#include <opencv2/core/mat.hpp>

class CWnd;
class CDIB;

namespace kestrun::camplugin {

// Numbered parameters of _GetParameter@4 / _SetParameter@12.
inline constexpr int kParamPictureWidth = 110;
inline constexpr int kParamPictureHeight = 111;
inline constexpr int kParamBitsPerPixel = 112;
inline constexpr int kParamLiveWidth = 115;
inline constexpr int kParamLiveHeight = 116;
inline constexpr int kParamStretchLive = 119;
inline constexpr int kParamProfileName = 150;
inline constexpr int kParamSaveProfile = 151;
inline constexpr int kParamReportToWindow = 152;

// Registered messages, in the order a plug-in registers them.
inline constexpr char kMsgShutDown[] = "MSG_CAMERAEVENT_SHUT_DOWN";
inline constexpr char kMsgVideoFormatChanged[] = "MSG_VIDEOFORMAT_CHANGED";
inline constexpr char kMsgGrabber[] = "MSG_GRABBER";

// wParam of "MSG_GRABBER".
inline constexpr WPARAM kGrabberPictureReady = 23;
inline constexpr WPARAM kGrabberReleaseStarted = 24;
inline constexpr WPARAM kGrabberReport = 25;

// wParam of "MSG_VIDEOFORMAT_CHANGED".
inline constexpr WPARAM kFormatChangedLive = 5;
inline constexpr WPARAM kFormatChangedStopped = 6;

// Where a plug-in's live frames go: the board copies each into its display
// page under the buffer lock and posts "MSG_GRABBER" 23 to the view. Called
// on the camera SDK's thread, so it never touches a window itself. The board
// changes the sink only while live frames are stopped.
class CPluginFrameSink
{
public:
    virtual ~CPluginFrameSink() = default;
    virtual void OnLiveFrame(const cv::Mat& frame) = 0;
};

// The exports, by the names the board looks them up under.
inline constexpr char kExportInit[] = "_Init@4";
inline constexpr char kExportExit[] = "_Exit@0";
inline constexpr char kExportSnapshot[] = "_Snapshot@4";
inline constexpr char kExportContFrGr[] = "_ContFrGr@0";
inline constexpr char kExportGetPixelAddr[] = "_GetPixelAddr@8";
inline constexpr char kExportUpdateImage[] = "_UpdateImage@0";
inline constexpr char kExportGetParameter[] = "_GetParameter@4";
inline constexpr char kExportSetParameter[] = "_SetParameter@12";
inline constexpr char kExportOpenDialog[] = "_OpenDialog@4";
inline constexpr char kExportGetInfo[] = "_GetInfo@0";
inline constexpr char kExportGetFGVersion[] = "_GetFGVersion@0";
inline constexpr char kExportSetImageDir[] = "_SetImageDir@4";
inline constexpr char kExportGetParameterString[] = "GetParameterString";
inline constexpr char kExportSetParameterString[] = "SetParameterString";
inline constexpr char kExportSetFrameSink[] = "SetFrameSink";

using PFN_Init = int (*)(CWnd* pHostWnd);
using PFN_Exit = void (*)();
using PFN_Snapshot = int (*)(CDIB* pImage);
using PFN_ContFrGr = void (*)();
using PFN_GetPixelAddr = void* (*)(int, int);
using PFN_UpdateImage = void (*)();
using PFN_GetParameter = double (*)(int nId);
using PFN_SetParameter = void (*)(int nId, double dValue);
using PFN_OpenDialog = void (*)(CWnd* pParent);
using PFN_GetInfo = const char* (*)();
using PFN_GetFGVersion = const char* (*)();
using PFN_SetImageDir = void (*)(const char* lpszFolder);
// Never null; valid until the next call.
using PFN_GetParameterString = const char* (*)(int nId);
using PFN_SetParameterString = void (*)(int nId, const char* lpszValue);
using PFN_SetFrameSink = void (*)(CPluginFrameSink* pSink);

} // namespace kestrun::camplugin
