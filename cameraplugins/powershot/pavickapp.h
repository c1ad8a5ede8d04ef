#pragma once
// CPavickApp: the plug-in's application object. Every message for the user
// goes through its report (cameraplugins/common/pluginreport.h).

#include "cameraplugins/common/pluginreport.h"

class CPavickApp : public kestrun::camplugin::CPlugInReport
{
public:
    CPavickApp() : CPlugInReport("Pavick report from a camera thread") {}
};

CPavickApp& PavickApp();
