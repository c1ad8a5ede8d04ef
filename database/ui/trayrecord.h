#pragma once
// What a count writes into a tray-scan record: the object count, the area
// statistics, the area classes of the objects and the shares of the tray's
// vessels. Worked out apart from the recordset, so the arithmetic stands on
// its own.
#include "platform/core/cstring.h"
#include "platform/database/ado.h"

#include <optional>
#include <vector>

class CBaseObj;

namespace kestrun::tray {

inline constexpr int kKindAreaOnly = 4;
inline constexpr int kKindObject = 5;
inline constexpr int kKindEllipse = 13;
inline constexpr int kDefaultVessels = 72;

// One measured object: its kind, its value (area, skeleton length) and its
// calibrated area, which the area classes compare.
struct CTrayObjectValue
{
    int kind = 0;
    double value = 0.0;
    double area = 0.0;
};

// A learned class that has an area feature: its limits in percent of the
// image's median value.
struct CTrayClassLimit
{
    int number = 0;
    double minPercent = 0.0;
    double maxPercent = 0.0;
    CString name;
    unsigned long colour = 0;
};

struct CTrayObjectClass
{
    bool assigned = false; // kind 5 only; the others keep their class
    int number = 0;
    CString name;
    unsigned long colour = 0;
};

struct CTrayRecordValues
{
    // Some object of kind 4: their summed areas go to Flaeche_Total.
    std::optional<double> total;
    // Not only kind-4 objects: count, vessels, shares and statistics.
    bool writesCount = true;
    int count = 0;
    int vessels = 0;
    // Normal, light, yellowish, bleached; absent when there are no vessels.
    std::optional<std::vector<double>> shares;
    double sum = 0.0;
    double mean = 0.0;
    double deviation = 0.0;
    double median = 0.0;
    std::vector<CTrayObjectClass> classes; // one per object
    std::vector<CString> warnings;
};

// The leading decimal number of a text; 0 without one.
int LeadingNumber(const CString& text);

// The tray's number of vessels: the tray type's number (72 below 1); a
// batch above 1 on an area with a raster of cells takes the cell count.
int TrayVessels(const CString& strTray, int nBatch, std::optional<int> rasterCells);

CTrayRecordValues ComputeTrayRecord(const std::vector<CTrayObjectValue>& objects,
                                    const std::vector<CTrayClassLimit>& classes, int vessels,
                                    const CString& strDefaultClassName);

// The values of the measured records, in order.
std::vector<CTrayObjectValue> TrayObjectValues(const std::vector<const CBaseObj*>& objects);
// Writes the assigned classes back into the objects.
void ApplyTrayClasses(const std::vector<CBaseObj*>& objects, const std::vector<CTrayObjectClass>& classes);

// Writes the values into the current record and stores it: Flaeche_Total
// for kind-4 objects; with a count, Anzahl, Anzahl_Manuell (the vessels),
// Fuellstand, the shares when there are vessels, then the statistics.
// A failing call raises _com_error to the caller.
void WriteTrayRecord(const _RecordsetPtr& rs, const CTrayRecordValues& values, int nActiveAoi);
// The record of an imported image, added at the end of the recordset,
// which then stands on it. The tray is the tray type's number, at least
// 72; the date comes from the data name; an empty profile or image name is
// not written.
struct CImportedRecord
{
    long nSeriesId = -1;
    CString strTray;
    int nBatch = 1;
    int nActiveAoi = 0;
    CString strComment;
    CString strDataName;
    CString strImageName;
    CString strProfile;
};
void AddImportedRecord(const _RecordsetPtr& rs, const CImportedRecord& record);

// A count typed by hand: Anzahl_Manuell only.
void WriteManualCount(const _RecordsetPtr& rs, int count);

} // namespace kestrun::tray
