#pragma once
// The report of a measurement series: the column titles, one record's
// values in title order, and the hand-over of either to a script's array
// ("DBFront"). Floating values use a decimal comma, as the lab's
// spreadsheets expect.
#include "platform/core/cstring.h"
#include "platform/database/ado.h"

#include <functional>
#include <vector>

class COleVariant;

// 13 titles, or 15 in form mode 1 (the two further class shares).
std::vector<CString> BuildReportTitleList(int formMode);

// printf of one value with the first '.' turned into ','.
CString FormatDecimalComma(const char* format, double value);

// The values of the current record in title order. nIndex is the running
// number from 1; dilutionText gives the dilution step's description of a
// vessel (form mode 1 only).
void AppendReportValues(const _RecordsetPtr& rs, int formMode, int nIndex,
                        const std::function<CString(long glasNr)>& dilutionText, std::vector<CString>& values);

// The strings into the script's array (directly, by reference, or a
// reference to a variant holding it): one dimension of variants, resized to
// the strings keeping its lower bound. Answers nResult, or 0 after the
// message box for an argument that is no such array (none for no strings).
// With nResize > 0 an array whose length differs from the strings gets that
// many elements instead; elements past the strings are left as they are.
short FillScriptArray(COleVariant& argument, const std::vector<CString>& strings, short nResult, long nResize = 0);

// The count matrix of a series: a row per vessel, a column per measurement
// day, each count under its own record's day ("0" where the vessel has no
// record that day; of two records on one day the later one).
struct sMatrixRecord
{
    int vessel = 0;
    int day = 0;
    int count = 0;
};

struct sCountMatrix
{
    std::vector<int> days;    // ascending
    std::vector<int> vessels; // ascending
    std::vector<std::vector<int>> counts; // [vessel][day]
};

sCountMatrix BuildCountMatrixCells(const std::vector<sMatrixRecord>& records);

// Where a report script finds the workbook Print Report filled, to put it
// in place of "report.xls" in the script's code.
class IReportWorkbook
{
public:
    virtual CString GetReportWorkbook() const = 0;

protected:
    ~IReportWorkbook() = default;
};
