#include "outside/grabwell/pluginsource.h"

#include <utility>

namespace kestrun {

CPlugInSource::CPlugInSource(CPlugInLibrary* library, const CString& loadError, std::function<CPlugInHost()> host)
    : m_library(library), m_loadError(loadError), m_host(std::move(host))
{
}

CPlugInSource::~CPlugInSource()
{
    if (!m_opened)
        return;
    // Exit stops the camera's threads, so no frame reaches the sink after it.
    m_library->Exit();
    m_library->SetFrameSink(nullptr);
}

bool CPlugInSource::Probe()
{
    return m_library != nullptr ? true : Fail(m_loadError);
}

bool CPlugInSource::Open()
{
    if (m_opened)
        return true;
    if (m_library == nullptr)
        return Fail(m_loadError);
    const CPlugInHost host = m_host ? m_host() : CPlugInHost();
    m_library->SetParameter(camplugin::kParamReportToWindow, host.reportToWindow ? 1.0 : 0.0);
    // The sink goes in first: live frames may start with the camera.
    m_library->SetFrameSink(host.sink);
    if (m_library->Init(host.window) != 1) {
        // A failed start may leave the plug-in's SDKs started; Exit ends them.
        m_library->Exit();
        m_library->SetFrameSink(nullptr);
        return Fail("The camera plug-in found no camera it could connect.");
    }
    m_opened = true;
    return true;
}

bool CPlugInSource::ReadFrame(cv::Mat& frame)
{
    if (!m_opened)
        return Fail("The camera is not connected.");
    if (m_library->Snapshot == nullptr)
        return Fail(CString("The camera plug-in has no export ") + camplugin::kExportSnapshot + ".");
    if (m_library->Snapshot(&m_snapshot) != 1)
        return Fail("The camera took no picture.");
    if (m_snapshot.GetWidth() == 0 || m_snapshot.GetHeight() == 0)
        return Fail("The camera's picture is empty.");
    frame = m_snapshot.GetMat();
    return true;
}

CSize CPlugInSource::GetFrameSize() const
{
    if (!m_opened)
        return {};
    const double width = m_library->GetParameter(camplugin::kParamLiveWidth);
    const double height = m_library->GetParameter(camplugin::kParamLiveHeight);
    // A size no page could hold counts as not known.
    if (!(width >= 1.0 && width <= 65536.0 && height >= 1.0 && height <= 65536.0))
        return {};
    return CSize(static_cast<int>(width), static_cast<int>(height));
}

bool CPlugInSource::StartPushing()
{
    if (!m_opened)
        return Fail("The camera is not connected.");
    m_library->ContFrGr();
    return true;
}

} // namespace kestrun
