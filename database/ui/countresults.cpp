#include "database/ui/countresults.h"

#include "analysis/objdatabase.h"
#include "analysis/skeldata.h"
#include "objectmodel/normstat.h"
#include "series/datadoc.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kAreaObjects = 4;
constexpr int kObjects = 5;
constexpr int kContourSegments = 13;

// 1 light, 2 yellowish, 3 bleached, anything else normal (0).
int ShareIndex(const CBaseObj& record)
{
    return record.m_dClass >= 1 && record.m_dClass <= 3 ? record.m_dClass : 0;
}

double ValueOf(const CObjDataBase& record, int kind)
{
    if (kind == kObjects && dynamic_cast<const CSkelData*>(&record) != nullptr)
        return record.GetLength();
    return record.GetArea();
}

} // namespace

double TruncateTo2Decimals(double value)
{
    return std::trunc(value * 100.0) / 100.0;
}

CValueStatistics FinishStatistics(CNormStat& stat)
{
    CValueStatistics result;
    if (stat.GetCount() == 0)
        return result;
    stat.Finish();
    result.sum = stat.GetSum();
    result.mean = TruncateTo2Decimals(stat.GetSum() / stat.GetCount());
    const double variance = stat.GetVariance();
    result.deviation = variance > 0.0 ? TruncateTo2Decimals(std::sqrt(variance)) : 0.0;
    return result;
}

CCountResults ComputeCountResults(const std::vector<const CBaseObj*>& shown)
{
    CCountResults results;
    results.count = static_cast<int>(shown.size());
    if (!shown.empty())
        results.kind = shown.front()->m_ID;
    CNormStat stat;
    // Records that carry no value stand in the series with 0.
    std::vector<double> series(shown.size(), 0.0);
    int shares[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < shown.size(); ++i) {
        const auto* record = dynamic_cast<const CObjDataBase*>(shown[i]);
        if (record == nullptr)
            continue;
        if (results.kind == kAreaObjects) {
            results.total += record->GetArea();
        } else if (results.kind == kObjects || results.kind == kContourSegments) {
            const double value = ValueOf(*record, results.kind);
            stat.AddValue(value, 1);
            series[i] = value;
            ++shares[ShareIndex(*record)];
        }
    }
    const CValueStatistics statistics = FinishStatistics(stat);
    if (!series.empty()) {
        std::sort(series.begin(), series.end());
        results.median = TruncateTo2Decimals(series[series.size() / 2]);
    }
    const int divisor = results.count > 0 ? results.count : 1;
    for (int i = 0; i < 4; ++i)
        results.percent[i] = (shares[i] * 1000 / divisor) / 10.0;
    results.sum = statistics.sum;
    results.mean = statistics.mean;
    results.deviation = statistics.deviation;
    return results;
}

std::vector<const CBaseObj*> ShownRecords(const CDataDoc& table)
{
    std::vector<const CBaseObj*> shown;
    const int n = table.CountUnselected();
    shown.reserve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        shown.push_back(table.GetUnselectedAt(i));
    return shown;
}

double ShownAreaSum(const CDataDoc& table)
{
    double total = 0.0;
    for (const CBaseObj* record : ShownRecords(table)) {
        if (const auto* measured = dynamic_cast<const CObjDataBase*>(record))
            total += measured->GetArea();
    }
    return total;
}
