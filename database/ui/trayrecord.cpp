#include "database/ui/trayrecord.h"

#include "analysis/objdatabase.h"
#include "analysis/skeldata.h"
#include "database/traynames.h"
#include "database/ui/countresults.h"
#include "objectmodel/normstat.h"
#include "platform/core/cstring.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cmath>

namespace kestrun::tray {

namespace {

// The record's counts are short columns: a larger number is stored as the
// largest, not wrapped to a negative one.
COleVariant ShortValue(int value)
{
    return COleVariant(static_cast<short>(std::clamp(value, SHRT_MIN, SHRT_MAX)));
}

// Share of c vessels in V, one decimal, truncated.
double Share(int c, int vessels)
{
    return static_cast<double>(static_cast<long long>(c) * 1000 / vessels) / 10.0;
}

CTrayObjectClass ClassOf(double area, double median, const std::vector<CTrayClassLimit>& classes,
                         const CString& strDefaultClassName)
{
    CTrayObjectClass result{true, 0, strDefaultClassName, 0};
    for (const CTrayClassLimit& limit : classes) {
        const double lo = std::trunc(limit.minPercent / 100.0 * median);
        const double hi = std::trunc(limit.maxPercent / 100.0 * median);
        if (lo <= area && area <= hi)
            return CTrayObjectClass{true, limit.number, limit.name, limit.colour};
    }
    return result;
}

// Normal takes the vessels left over, never fewer than none.
void SetShares(CTrayRecordValues& record, const int (&counted)[4])
{
    const int vessels = record.vessels;
    if (vessels <= 0) {
        record.warnings.push_back("The tray has no vessels: no shares written.");
        return;
    }
    int normal = vessels - counted[1] - counted[2] - counted[3];
    if (normal < 0) {
        record.warnings.push_back(FormatString("%d classified objects in %d vessels: Normal set to 0.",
                                               counted[1] + counted[2] + counted[3], vessels));
        normal = 0;
    }
    record.shares = std::vector<double>{Share(normal, vessels), Share(counted[1], vessels),
                                        Share(counted[2], vessels), Share(counted[3], vessels)};
}

} // namespace

int LeadingNumber(const CString& text)
{
    long long number = 0;
    for (int i = 0; i < text.GetLength() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        number = number * 10 + (text[i] - '0');
        if (number > 0x7FFFFFFF)
            return 0x7FFFFFFF;
    }
    return static_cast<int>(number);
}

int TrayVessels(const CString& strTray, int nBatch, std::optional<int> rasterCells)
{
    int vessels = LeadingNumber(strTray);
    if (vessels < 1)
        vessels = kDefaultVessels;
    if (nBatch > 1 && rasterCells)
        vessels = *rasterCells;
    return vessels;
}

CTrayRecordValues ComputeTrayRecord(const std::vector<CTrayObjectValue>& objects,
                                    const std::vector<CTrayClassLimit>& classes, int vessels,
                                    const CString& strDefaultClassName)
{
    CTrayRecordValues record;
    record.count = static_cast<int>(objects.size());
    record.vessels = vessels;
    record.classes.resize(objects.size());
    CNormStat stat;
    std::vector<double> values;
    values.reserve(objects.size());
    double areaOnly = 0.0;
    int areaOnlyObjects = 0;
    for (const CTrayObjectValue& object : objects) {
        if (object.kind == kKindObject || object.kind == kKindEllipse) {
            stat.AddValue(object.value, 1);
            values.push_back(object.value);
        } else if (object.kind == kKindAreaOnly) {
            areaOnly += object.area;
            ++areaOnlyObjects;
        }
    }
    if (areaOnlyObjects > 0)
        record.total = areaOnly;
    record.writesCount = areaOnlyObjects == 0 || areaOnlyObjects < record.count;
    const CValueStatistics statistics = FinishStatistics(stat);
    record.sum = statistics.sum;
    record.mean = statistics.mean;
    record.deviation = statistics.deviation;
    // The median of the values added only.
    if (!values.empty()) {
        std::sort(values.begin(), values.end());
        record.median = values[values.size() / 2];
    }
    int counted[4] = {0, 0, 0, 0};
    for (size_t i = 0; i < objects.size(); ++i) {
        if (objects[i].kind != kKindObject)
            continue;
        record.classes[i] = ClassOf(objects[i].area, record.median, classes, strDefaultClassName);
        const int number = record.classes[i].number;
        if (number >= 1 && number <= 3)
            ++counted[number];
    }
    record.median = TruncateTo2Decimals(record.median);
    SetShares(record, counted);
    return record;
}

std::vector<CTrayObjectValue> TrayObjectValues(const std::vector<const CBaseObj*>& objects)
{
    std::vector<CTrayObjectValue> values;
    values.reserve(objects.size());
    for (const CBaseObj* object : objects) {
        CTrayObjectValue value{object != nullptr ? object->m_ID : 0, 0.0, 0.0};
        if (const auto* measured = dynamic_cast<const CObjDataBase*>(object)) {
            value.area = measured->GetArea();
            value.value = value.kind == kKindObject && dynamic_cast<const CSkelData*>(measured) != nullptr
                              ? measured->GetLength()
                              : value.area;
        }
        values.push_back(value);
    }
    return values;
}

void ApplyTrayClasses(const std::vector<CBaseObj*>& objects, const std::vector<CTrayObjectClass>& classes)
{
    for (size_t i = 0; i < objects.size() && i < classes.size(); ++i) {
        if (objects[i] == nullptr || !classes[i].assigned)
            continue;
        objects[i]->m_dClass = static_cast<WORD>(classes[i].number);
        objects[i]->m_strClassName = classes[i].name;
        objects[i]->m_ClassColor = classes[i].colour;
    }
}

void WriteTrayRecord(const _RecordsetPtr& rs, const CTrayRecordValues& values, int nActiveAoi)
{
    if (values.total)
        rs->PutCollect("Flaeche_Total", COleVariant(*values.total));
    if (values.writesCount) {
        rs->PutCollect("Anzahl", ShortValue(values.count));
        rs->PutCollect("Anzahl_Manuell", ShortValue(values.vessels));
        rs->PutCollect("Fuellstand", ShortValue(nActiveAoi));
        if (values.shares) {
            static const char* const columns[] = {"Prozent_Normal", "Prozent_Hell", "Prozent_Gelblich",
                                                  "Prozent_Ausgebleicht"};
            for (size_t i = 0; i < 4; ++i)
                rs->PutCollect(columns[i], COleVariant(static_cast<float>((*values.shares)[i])));
        }
        rs->PutCollect("Flaeche_Fronds", COleVariant(values.sum));
        rs->PutCollect("Flaeche_MittelWert", COleVariant(static_cast<float>(values.mean)));
        rs->PutCollect("Flaeche_Standardabw", COleVariant(static_cast<float>(values.deviation)));
        rs->PutCollect("Flaeche_Median", COleVariant(static_cast<float>(values.median)));
    }
    rs->Update();
}

void AddImportedRecord(const _RecordsetPtr& rs, const CImportedRecord& record)
{
    const int tray = std::max(LeadingNumber(record.strTray), kDefaultVessels);
    rs->AddNew();
    rs->PutCollect("MessreihenID", COleVariant(static_cast<LONG>(record.nSeriesId)));
    rs->PutCollect("GlasNr", ShortValue(record.nBatch));
    rs->PutCollect("Messtag", ShortValue(tray));
    rs->PutCollect("Fuellstand", ShortValue(record.nActiveAoi));
    if (!record.strProfile.IsEmpty())
        rs->PutCollect("Messparameter", COleVariant(record.strProfile));
    rs->PutCollect("Comment", COleVariant(record.strComment));
    rs->PutCollect("DatumZeit", COleVariant::Date(ImportDateFromName(record.strDataName)));
    if (!record.strImageName.IsEmpty())
        rs->PutCollect("Bildname", COleVariant(record.strImageName));
    rs->PutCollect("DataName", COleVariant(record.strDataName));
    rs->Update();
    rs->Requery();
    if (rs->GetRecordCount() > 0)
        rs->MoveLast();
}

void WriteManualCount(const _RecordsetPtr& rs, int count)
{
    rs->PutCollect("Anzahl_Manuell", ShortValue(count));
    rs->Update();
}

} // namespace kestrun::tray
