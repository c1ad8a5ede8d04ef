#pragma once
// What a count writes into a growth-test record: the number of shown
// objects, their class shares and the statistics of their areas (lengths
// for skeletons), worked out from the shown records of a result table.
#include <vector>

class CBaseObj;
class CDataDoc;

struct CCountResults
{
    // Kind of the first record: 4 area objects, 5 objects, 13 contour
    // segments; other kinds are counted and carry no values.
    int kind = 0;
    int count = 0;
    // Kind 4: the sum of the areas.
    double total = 0.0;
    double sum = 0.0;
    double mean = 0.0;
    double deviation = 0.0;
    double median = 0.0;
    // Normal, light, yellowish, bleached; one decimal.
    double percent[4] = {0.0, 0.0, 0.0, 0.0};
};

// Value * 100 truncated toward zero, / 100.
double TruncateTo2Decimals(double value);

class CNormStat;
struct CValueStatistics
{
    double sum = 0.0;
    double mean = 0.0;
    double deviation = 0.0;
};
// Sum, and mean and deviation truncated to two decimals, of the values
// added; finishes the accumulator. All 0 without values.
CValueStatistics FinishStatistics(CNormStat& stat);

// Mean, deviation and median truncated to two decimals.
CCountResults ComputeCountResults(const std::vector<const CBaseObj*>& shown);

// The records the table shows, in table order.
std::vector<const CBaseObj*> ShownRecords(const CDataDoc& table);
// The sum of the areas of the shown records.
double ShownAreaSum(const CDataDoc& table);
