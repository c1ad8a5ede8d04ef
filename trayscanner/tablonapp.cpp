#include "trayscanner/tablonapp.h"

#include <cstring>

CTablonApp::CTablonApp()
{
    // The notices' ids exist from the library's load on.
    kestrun::tablon::CamBoxButtonMessage();
    kestrun::tablon::CamBoxPositionMessage();
}

void CTablonApp::SetInterface(CCamBoxInterface* pInterface)
{
    // Opening failures are silent: the box stays closed.
    if (m_box.GetInterface() == nullptr)
        m_box.Open();
    m_box.SetInterface(pInterface);
    if (pInterface == nullptr)
        m_box.Close();
}

int CTablonApp::SetParam(const char* lpszName, double dValue)
{
    if (lpszName != nullptr && std::strcmp(lpszName, "State") == 0 && dValue >= -2147483648.0 && dValue < 2147483648.0)
        m_box.SetState(static_cast<int>(dValue));
    return 0;
}

int CTablonApp::SetParamString(const char* lpszName, const char* lpszValue)
{
    if (lpszName == nullptr || lpszValue == nullptr || std::strcmp(lpszName, "Profile") != 0)
        return 0;
    return m_box.SelectProfile(lpszValue) ? 1 : 0;
}

const char* CTablonApp::GetParamString(const char* lpszName)
{
    m_strAnswer.Empty();
    if (lpszName != nullptr && std::strcmp(lpszName, "Profile") == 0)
        m_strAnswer = m_box.GetProfileName();
    return m_strAnswer.GetString();
}

CTablonApp& TablonApp()
{
    static CTablonApp app;
    return app;
}

namespace {
// Made as the library loads.
[[maybe_unused]] const CTablonApp& g_app = TablonApp();
} // namespace
