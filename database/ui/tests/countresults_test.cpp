#include "database/bandfactors.h"
#include "database/ui/countresults.h"

#include "analysis/objdatabase.h"
#include "analysis/skeldata.h"
#include "series/datadoc.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

// A measured record of a kind, an area and a class.
class CMeasured : public CObjDataBase
{
public:
    CMeasured(int kind, double area, int classWord)
    {
        m_ID = static_cast<WORD>(kind);
        m_dClass = static_cast<WORD>(classWord);
        m_area = area;
    }
    double GetArea() const override { return m_area; }

private:
    double m_area;
};

struct CObjectSpec
{
    int kind;
    double area;
    int classWord;
};

struct CCase
{
    const char* what;
    std::vector<CObjectSpec> objects;
    int count;
    double percent[4];
    double sum;
    double mean;
    double deviation;
    double median;
    double total;
};

TEST(CountResults, RecordValuesFromShownObjects)
{
    const CCase cases[] = {
        {"classes 0, 1, 1", {{5, 10, 0}, {5, 20, 1}, {5, 30, 1}}, 3, {33.3, 66.6, 0, 0}, 60, 20, 10, 20, 0},
        {"no objects", {}, 0, {0, 0, 0, 0}, 0, 0, 0, 0, 0},
        {"median of two is the larger", {{5, 4, 2}, {5, 8, 3}}, 2, {0, 0, 50, 50}, 12, 6, 2.82, 8, 0},
        {"one object has no spread", {{5, 7.257, 9}}, 1, {100, 0, 0, 0}, 7.257, 7.25, 0, 7.25, 0},
        {"kind 4 sums the areas only", {{4, 1.5, 1}, {4, 2.25, 2}}, 2, {0, 0, 0, 0}, 0, 0, 0, 0, 3.75},
        {"contour segments", {{13, 3, 0}, {13, 5, 3}, {13, 1, 0}}, 3, {66.6, 0, 0, 33.3}, 9, 3, 2, 3, 0},
        {"other kinds count only", {{7, 3, 1}, {5, 5, 1}}, 2, {0, 0, 0, 0}, 0, 0, 0, 0, 0},
    };
    for (const CCase& c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<std::unique_ptr<CMeasured>> records;
        std::vector<const CBaseObj*> shown;
        for (const CObjectSpec& o : c.objects) {
            records.push_back(std::make_unique<CMeasured>(o.kind, o.area, o.classWord));
            shown.push_back(records.back().get());
        }
        const CCountResults r = ComputeCountResults(shown);
        EXPECT_EQ(r.count, c.count);
        for (int i = 0; i < 4; ++i)
            EXPECT_DOUBLE_EQ(r.percent[i], c.percent[i]) << i;
        EXPECT_DOUBLE_EQ(r.sum, c.sum);
        EXPECT_DOUBLE_EQ(r.mean, c.mean);
        EXPECT_DOUBLE_EQ(r.deviation, c.deviation);
        EXPECT_DOUBLE_EQ(r.median, c.median);
        EXPECT_DOUBLE_EQ(r.total, c.total);
    }
}

TEST(CountResults, SkeletonsAreMeasuredByLength)
{
    CSkelData skeleton;
    skeleton.m_nSkelLength = 42;
    CMeasured object(5, 10, 0);
    const CCountResults r = ComputeCountResults({&skeleton, &object});
    EXPECT_EQ(r.kind, 5);
    EXPECT_DOUBLE_EQ(r.sum, 42.0 * CBaseObj::SystemCalibration.m_dFactor + 10.0);
}

TEST(CountResults, HiddenRecordsAreNoPartOfTheArea)
{
    CDataDoc table;
    table.m_bAutoDelete = FALSE;
    for (double area : {1.5, 20.0, 0.25})
        table.AddObject(new CMeasured(4, area, 0));
    EXPECT_DOUBLE_EQ(ShownAreaSum(table), 21.75);
    table.SelectObject(1);
    EXPECT_DOUBLE_EQ(ShownAreaSum(table), 1.75);
    const CCountResults r = ComputeCountResults(ShownRecords(table));
    EXPECT_EQ(r.count, 2);
    EXPECT_DOUBLE_EQ(r.total, 1.75);
}

TEST(CountResults, TruncationGoesTowardZero)
{
    const std::pair<double, double> cases[] = {{1.239, 1.23}, {-1.239, -1.23}, {2.0, 2.0}, {0.005, 0.0}};
    for (const auto& [value, truncated] : cases)
        EXPECT_DOUBLE_EQ(TruncateTo2Decimals(value), truncated) << value;
}

} // namespace
