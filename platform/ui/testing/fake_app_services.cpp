#include "platform/ui/testing/fake_app_services.h"

#include "platform/core/folders.h"

namespace kestrun::testing {

CFakeAppServices::CFakeAppServices() : m_pPrevious(SetAppServices(this))
{
    m_strDataRoot = DataFolder();
    if (!m_strDataRoot.IsEmpty() && m_strDataRoot[m_strDataRoot.GetLength() - 1] != '/')
        m_strDataRoot += '/';
    m_strImageDir = m_strDataRoot + "images/";
    m_strDataDir = m_strDataRoot + "data/";
}

CFakeAppServices::~CFakeAppServices()
{
    SetAppServices(m_pPrevious);
}

} // namespace kestrun::testing
