#include "objectmodel/chartheader.h"

#include "platform/core/archive.h"

#include <chrono>

IMPLEMENT_SERIAL(CChartHeader, CObject, VERSIONABLE_SCHEMA | 1)

namespace {

// Days from 30 December 1899 to 1 January 1970.
constexpr double kUnixEpochDate = 25569.0;

double NowAsDate()
{
    const auto seconds = std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
    return kUnixEpochDate + seconds / 86400.0;
}

} // namespace

CChartHeader::CChartHeader() : m_dtDate(NowAsDate())
{
}

void CChartHeader::Serialize(CArchive& ar)
{
    if (ar.IsStoring()) {
        ar.WriteClass(RUNTIME_CLASS(CChartHeader));
        ar << m_nDateStatus << m_dtDate;
        return;
    }
    UINT schema = 0;
    ar.ReadClass(RUNTIME_CLASS(CChartHeader), &schema);
    if (schema == 1) {
        std::int32_t status = 0;
        double date = 0.0;
        ar >> status >> date;
        m_nDateStatus = status;
        m_dtDate = date;
    }
    m_nSchema = static_cast<std::int32_t>(schema);
}
