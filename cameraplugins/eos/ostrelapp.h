#pragma once
// COstrelApp: the EOS plug-in's application object: the report of every
// message for the user, and the settings folder with "Ostrel.ini" (the
// plug-in keeps no keys in it; the folder is where pictures go until the
// host names a picture folder).

#include "cameraplugins/common/pluginreport.h"

#include "outside/edsdk/edsdk.h"

class COstrelApp : public kestrun::camplugin::CPlugInReport
{
public:
    COstrelApp() : CPlugInReport("Ostrel report from a camera thread") {}

    // The folder of "Ostrel.ini" with its final separator; made when
    // missing.
    CString SettingsFolder() const;
    CString SettingsFile() const { return SettingsFolder() + "Ostrel.ini"; }
};

COstrelApp& OstrelApp();

// Reports a camera error with its text; code 7 says nothing. From any
// thread.
void ReportCameraError(EdsError error);
// The text of a code; empty for one that is not told.
CString CameraErrorText(EdsError error);
